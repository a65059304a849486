// CQvxScopeDlg: the one oscilloscope window. It is the sampling engine
// (CScopeSampler) with a face: the plot is this window's CTrazel part, drawn
// on the GUI thread by timer 1 while the sampling thread adds points; the
// buttons, texts and playback slider follow the engine from timers 2 to 6.
#pragma once

#include <vector>
#include <atomic>
#include <functional>

#include "controls/SaveWindowImageCB.h"
#include "framework/GuiUpdateItem.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/SliderCtrl.h"
#include "platform/ui/SplitButton.h"
#include "scope/ScopeSampler.h"
#include "scope/windows/ScopeWindowServices.h"
#include "trazel/Trazel.h"

struct NMHDR;

class CQvxScopeDlg : public CDialog,
                     public CTrazel,
                     public CTrazelCallback,
                     public CSaveWindowImageCB,
                     public CGuiUpdateItem,
                     public CScopeSampler {
public:
    // Without services the window asks the program (link services, parameter table).
    explicit CQvxScopeDlg(CScopeDriveServices* services = nullptr);
    ~CQvxScopeDlg() override;

    // 0 only when the window could not be made.
    int ShowScope(BOOL show, const char* settingsPath);
    void SetDataFolder(const char* folder);
    // The factory settings file the source catalogue reads ("kvfact.ini" beside the program).
    void SetFactorySettingsPath(const char* path) { m_windowServices.SetFactorySettingsPath(path); }
    int StartMonitoring();
    int StopMonitoring();
    void ApplyMode();
    void ClosePoll();

    // Controls (public so that scripts and tests reach them as the buttons do).
    void OnRecordButton();
    void OnPauseButton();
    void OnMonitorButton();
    void OnLoadFile();
    void OnExportCsv();
    void OnCaptureImage();
    void OnAutoScaleButton();
    void OnLockAutoScale();
    void OnSetTimeRange();
    void OnSetYRange();
    void OnSettings();

    // Plot handling.
    void AutoScale(int shrink);
    void RebuildTraces();
    void ApplyTraceAttributes();
    void PlaceXWindow(double start, double end, bool restartClock);
    void SetXRange(double minimum, double maximum);
    void SetYRange(double minimum, double maximum);
    void LayoutScales();
    // Zooms: a step of 0 or less doubles the span.
    void ZoomY(int step);
    void ZoomTime(int step);
    void ApplySettingsToPlot();
    CRect GetPlotRect() const;

    // Texts the window shows (timer 2).
    CString StatusText() const;
    CString TimeText(double seconds) const;
    static CString FormatTime(double seconds, int timeFormat);
    // The major step and its minor divisions for a span and a division limit.
    static double ScaleStep(double span, double divisionLimit, int& minorDivisions, int& decimals);
    // The menu the right button shows; empty in recording mode.
    void BuildContextMenu(CMenu& menu);
    void OnContextCommand(UINT id);

    void UpdateTexts();
    int GetPauseRequest() const { return m_pauseRequest; }
    int IsAutoScaleLocked() const { return m_autoScaleLocked; }
    void OnHScroll(UINT code, UINT position, CWnd* bar);
    CSliderCtrl& GetSlider() { return m_slider; }
    CSplitButton& GetSettingsSplit() { return m_settingsSplit; }
    void OnLoadSettingsFile();
    void OnSaveSettingsFile();

    // CTrazelCallback
    double TZCB_GetPlotTime() override;
    int TZCB_DrawExtraNonPlotArea(CDC* dc, CRect wholeRect) override;
    // CSaveWindowImageCB
    void BeginImageCapture(int x, int y, int width, int height, int forPrinting) override;
    void EndImageCapture() override;
    // CGuiUpdateItem: the sampling thread takes the responses, not the update cycle.
    CString GetItemName() const override { return "Oscilloscope"; }
    // The name layout files and the window list know the one oscilloscope by.
    CString GetGuiName() const override { return "CQvxScopeDlg"; }
    CWnd* GetWnd() override { return this; }
    void DeleteItem() override {}
    void UpdateCycle() override {}
    void ProcessResponses() override {}
    void ResetQueryStages(int stage1, int stage2, int stage3) override;
    void DetachFromUpdateList(int flags) override;
    // The layout file's record: every setting as a property, a word kept for the file, the placement.
    void SerializeLayout(CArchive& ar, int version) override;

    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    void OnOK() override {}
    void OnCancel() override { ClosePoll(); }
    void OnTimer(UINT_PTR id);
    void OnPaint();
    void OnSize(UINT type, int cx, int cy);
    void OnContextMenu(CWnd* wnd, CPoint point);
    void OnLButtonDblClk(UINT flags, CPoint point);
    HBRUSH OnCtlColor(CDC* dc, CWnd* child, UINT type);
    void OnGetMinMaxInfo(MINMAXINFO* info);
    void OnMouseMove(UINT flags, CPoint point);
    void OnLButtonDown(UINT flags, CPoint point);
    void OnLButtonUp(UINT flags, CPoint point);
    // The plot values under a client point; false outside the plot area.
    bool PointValue(CPoint point, double& x, double& y) const;
    CString FormatValue(double value, bool xAxis) const;

    static constexpr double kMinSpan = 0.0003;
    static constexpr double kRangeQuantum = 0.0001;

protected:
    void PlotSample(int sourceId, double time, double value) override;
    void ClearPlot() override;
    void OnMonitorModeStarted() override { m_pauseRequest = 0; }
    void AutoScaleIfLocked() override;
    void OnRecordRequested() override;

    DECLARE_MESSAGE_MAP()

private:
    void OnTimer1();
    void OnTimer4();
    LRESULT OnPostedRecordRequest(WPARAM, LPARAM);
    void HandleTraceError();
    void CheckRecordSize();
    void UpdateButtonTexts();
    void UpdateStatusTexts();
    void UpdateSlider();
    void SetItemText(int id, const CString& text);
    struct PlotKeyEntry {
        COLORREF colour;
        CString label;
        int error;
        bool operator==(const PlotKeyEntry&) const = default;
    };
    std::vector<PlotKeyEntry> PlotKeyEntries();
    // Takes the key's entries now; true when they differ from the ones drawn.
    bool RefreshPlotKey();
    // Margins and scales the next drawing needs.
    void PreparePlot();
    void InvalidatePlotChanges();
    void DrawPlotKey(CDC* dc, const CRect& whole);
    int SaveDataFile();
    void SaveSettingsInMonitorMode();
    void RememberControlPlaces();
    int ScopeMode() const;

    CScopeWindowServices m_windowServices;
    CSliderCtrl m_slider;
    CSplitButton m_settingsSplit;
    CString m_lastSettingsFile;
    int m_pauseRequest = 0;
    int m_autoScaleLocked = 0;
    int m_relayoutScales = 1;
    int m_blink = 0;
    int m_timerBusy = 0;
    int m_painting = 0;
    std::atomic<double> m_lastPlottedTime{0.0};
    // One pixel column's time, set by the GUI thread and read by the sampling thread.
    std::atomic<double> m_pixelSeconds{0.0};
    int m_printScheme = 0;
    std::vector<PlotKeyEntry> m_plotKey;
    int m_plotKeyScheme = 0;
    CRect m_paintRect;  // the part of the plot being painted
    COLORREF m_savedPlotBk = 0;
    COLORREF m_savedFrameBk = 0;
    int m_controlsTop = 0;
    int m_clientHeight = 0;
    COLORREF m_recordTimeColour = 0x808080;
    CHPTimer m_unusedClock;
    int m_layoutWord = 0;
    enum Drag { kNoDrag, kMeasure, kPanY, kPanX, kCaptureOnly };
    int m_drag = kNoDrag;
    CPoint m_dragFrom;
    double m_dragX = 0.0;
    double m_dragY = 0.0;
    double m_dragMin = 0.0;
    double m_dragMax = 0.0;
    // The time of each trace's newest point, kept under the trace table's lock by the sampling thread.
    double m_lastPointTime[CScopeTraceDataArray::kTraceCount];
    void ForgetLastPoints();
    // Settings the sampling thread reads change only while it rests.
    void ChangeSettings(const std::function<bool()>& change, bool& changed);
};
