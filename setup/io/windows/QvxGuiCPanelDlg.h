// CQvxGuiCPanelDlg: runs a drive by hand: enable, stop, fault reset, a typed,
// jogged or clicked command on one or two set-point bars in the drive's
// command mode, position zeroing, tach reverse, and three status lamps.
#pragma once

#include <memory>

#include "controls/JogBtn.h"
#include "distribution/DmQueryVar.h"
#include "foundation/HPTimer.h"
#include "framework/GuiUpdateDlg.h"
#include "platform/ui/Pen.h"
#include "resources/ids/ControlPanelIds.h"
#include "setup/io/PanelOptionsModeList.h"
#include "setup/io/PanelScaling.h"
#include "setup/io/windows/PanelCommandBar.h"

class CQvxCPanelOptionsDlg;

class CQvxGuiCPanelDlg : public CGuiUpdateDlg {
    DECLARE_DYNCREATE(CQvxGuiCPanelDlg)

public:
    enum { IDD = IDD_CONTROL_PANEL };

    CQvxGuiCPanelDlg();
    ~CQvxGuiCPanelDlg() override;

    CString GetItemName() const override { return "Control Panel"; }
    BOOL OnInitDialog() override;
    int SubscribeStatusQueries() override;
    int InitialUpdate() override;
    void ProcessResponses() override;
    void OnStatusResponse(const CAmpResponseToGui& response) override;
    void OnModeWordChanged(int value) override;
    void OnEnableBitChanged(int bit) override;
    void OnFaultWordChanged(int value) override;
    // The Options dialog closing: code 1 is OK.
    void OnChildNotify(CWnd* child, int code) override;
    void SetDrive(int drive, int restart) override;
    void OnDriveChanged() override;
    void OnOK() override;

    void OnStop();
    void OnFaultReset();
    void OnSetZeroPos();
    void OnOptions();
    void OnTachReverse();

    int IsReady() const { return m_ready; }
    // The drive's tach reverse as last read; false while a read is under way.
    bool GetTachReading(LONG& value) const { return m_tach.GetValue(value); }
    // The set-point of bar 1 (0) or bar 2 (1).
    double GetBarValue(int bar = 0) const { return Bar(bar).m_value; }
    const CPanelCommandBar& Bar(int bar) const { return bar ? *m_bar2 : *m_bar1; }
    int IsBarTimerRunning() const { return m_barTimerRunning; }
    // The control id of the jog button held down, 0 when none.
    int GetHeldJog() const { return m_heldJog; }
    int IsBar2Shown() const { return m_twoPhaseShown; }
    // The open Options dialog, or null.
    CQvxCPanelOptionsDlg* GetOptionsDialog() const { return m_options; }
    const CPanelOptionsModeList& GetModes() const { return m_modes; }
    // The conversion snapshot; false while a parameter is missing.
    bool BuildScaling(CPanelScaling& scaling);

protected:
    LRESULT OnMouseDown(WPARAM wParam, LPARAM lParam);
    LRESULT OnMouseUp(WPARAM wParam, LPARAM lParam);
    void OnPaint();
    void OnTimer(UINT_PTR id);
    void OnDestroy();
    DECLARE_MESSAGE_MAP()

private:
    int Ask(const char* text, UINT type = MB_OK, int scriptedAnswer = IDOK);
    bool HaveParameter(int id);
    double Parameter(int id);
    int TwoPhase(int quiet);
    int Bar2InUse();
    void SetBarMode(CPanelCommandBar& bar, int linear);
    void SendBar(CPanelCommandBar& bar, double amount, int up);
    void SendZeroCommands();
    void ShowReading(CDmQueryVar& query, CPanelCommandBar& bar, int forced);
    void ShowBar2(int show);
    void UpdateLabels(const CPanelCommandBar& bar);
    void SetText(int id, const CString& text);
    void UpdateLamps();
    void RefreshTachBox();
    void MeasureBar(CPanelCommandBar& bar);
    void DrawBars();
    bool AnyMarkerMoved() const;
    void WakeBarTimer();
    // Wakes the bar timer, on every way out of a step that may have moved a marker.
    struct BarChange {
        explicit BarChange(CQvxGuiCPanelDlg& dlg) : m_dlg(dlg) {}
        ~BarChange() { m_dlg.WakeBarTimer(); }
        BarChange(const BarChange&) = delete;
        BarChange& operator=(const BarChange&) = delete;
        CQvxGuiCPanelDlg& m_dlg;
    };
    void PaintLamps(CDC& dc);
    void PaintBar(CDC& dc, const CPanelCommandBar& bar);
    CRect ItemRect(int id);
    // Jogs: a press steps once and holds; each periodic update repeats the step while held.
    void OnJogPress(int id);
    void StepJog(int id);
    void RepeatHeldJog();
    int JogStillHeld();
    void EndJog() { m_heldJog = 0; }
    CJogBtn* Jog(int id);
    void OnBarClick(CPoint point);
    CString IniPath() const;

    CDmQueryVar m_tach;
    CDmQueryVar m_positionCommand;
    CDmQueryVar m_bar2Command;
    CDmQueryVar m_command;
    CDmQueryVar m_enable;
    CDmQueryVar m_faults;
    CDmQueryVar m_currentMode;
    CDmQueryVar m_inhibit;
    CDmQueryVar m_motorFeatures;
    CPanelOptionsModeList m_modes;
    CPen m_markerPen;
    CJogBtn m_jogs[8];
    CQvxCPanelOptionsDlg* m_options = nullptr;
    int m_heldJog = 0;
    int m_modeChanged = 0;
    int m_firstMode = 1;
    int m_twoPhaseShown = 0;
    std::unique_ptr<CPanelCommandBar> m_bar1;
    std::unique_ptr<CPanelCommandBar> m_bar2;
    int m_inTimer = 0;
    int m_barTimerRunning = 0;
    int m_modeKnown = 0;
    int m_ready = 0;
    int m_lampState = -1;
    CHPTimer m_heldTimer;
    unsigned m_heldBoxSerial = 0;
};
