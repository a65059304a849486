// CQvxGuiEditCtrl: a numeric edit bound to a drive register. It shows the
// register in engineering units, reads the typed value back in drive units,
// clamps it to its limits and colours its background by its state.
#pragma once

#include "QvxGuiControl.h"
#include "distribution/parameters/GlobalParameterDataClient.h"
#include "foundation/DWinProcHandler.h"
#include "platform/ui/Brush.h"
#include "platform/ui/Edit.h"
#include "platform/ui/MessageMap.h"

class CDC;
class CQvxGuiCheckboxCtrl;

class CQvxGuiEditCtrl : public CEdit,
                        public CQvxGuiControl,
                        public CDWinProcHandler,
                        public CGlobalParameterDataClient {
public:
    // Reply codes of the control's own.
    static constexpr int kWaiting = 0x10000;
    static constexpr int kError = 0x20000;
    enum ColourState { kColourUnavailable = 0, kColourOffline = 1, kColourModified = 2, kColourNormal = 3 };

    CQvxGuiEditCtrl();
    ~CQvxGuiEditCtrl() override;

    // CQvxGuiControl
    void SetModified(int modified) override;
    void GetValueText(CString& text) override;
    void SetValueText(const char* text) override;
    void RestartPolling() override;
    void Initialise() override;
    void Shutdown() override;
    void StoreResponse(const CAmpResponseToGui& response) override;
    int GetIntValue(int& value) override;
    int GetDoubleValue(double& value) override;
    int ApplyCustomConversion() override;
    void OnConversionChanged() override;
    int AcceptEntry() override;
    void ProcessResponses() override;
    CWnd* GetWnd() override { return this; }
    void OnPollingChanged(int on) override;
    void ClearValue() override;
    int SendValue() override;
    void CommitPendingEntry() override;
    // CQvxDatabaseRecordsetClient: shows the bound field of the current record.
    void OnCurrentRecordChanged() override { ShowRecordsetField(); }
    void OnRecordUpdated() override { ShowRecordsetField(); }
    void OnRequeried() override { ShowRecordsetField(); }
    void OnRefresh() override { ShowRecordsetField(); }
    // CDWinProcHandler: attached by the window to a button of its choice, whose
    // left-button release sends the edit's value.
    LRESULT HandleWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    // CGlobalParameterDataClient
    void OnGlobalParameterChanged() override { m_refreshPending = 1; }

    void SetDisplayFormat(const char* format, int redisplay);
    void SetDisplayScale(double factor);
    // A fixed entry factor (drive value = entry x factor); drops a value parameter binding.
    void SetValueScale(double factor)
    {
        m_valueScale = factor;
        m_value = ParameterBinding{};
    }
    void BindGlobalParameter(int id, int direction, int reciprocal);
    void BindValueParameter(int id, int direction, int reciprocal);
    void SetLimits(double minimum, double maximum) { m_minimum = minimum; m_maximum = maximum; }
    int ConvertValue(double& out, double value, int direction);
    void ShowValue(double value);
    double GetRawValue() const { return m_rawValue; }
    double GetConvertedValue() const { return m_shownValue; }
    double GetEnteredValue();
    void CommitEntry();
    void UpdateDisplay();
    void SetEnablingCheckbox(CQvxGuiCheckboxCtrl* box) { m_enablingBox = box; }
    void SetColour(int state, COLORREF colour) { m_colours[state] = colour; }
    int GetColourState() const;
    int GetReplyError() const { return m_replyError; }
    // WM_CTLCOLOR from the owner dialog: sets the colours, returns the state brush.
    HBRUSH PrepareColours(CDC* dc);

    int m_absolute = 0;
    int m_limitsInUserUnits = 0;
    int m_sendOnEntry = 0;
    COLORREF m_textColour = 0;

    void OnSetFocus(CWnd* previous);
    void OnKillFocus(CWnd* next);
    void OnChar(UINT ch, UINT repeat, UINT flags);
    void OnKeyDown(UINT key, UINT repeat, UINT flags);

private:
    struct ParameterBinding {
        int id = -1;
        int direction = 0;
        int reciprocal = 0;
        int bound = 0;
    };
    bool Convert(const ParameterBinding& binding, double scale, double& value, int direction);
    bool DisplayConversion(double raw, double& shown);
    bool TakesReplies() const;
    bool ShowsNumber();
    bool HoldsUncommittedNumber();
    CString Grouped(const CString& text) const;
    CString FormatShown(double value) const;
    void SetTextIfChanged(const CString& text);
    void ShowRecordsetField();
    void Subscribe(const ParameterBinding& binding);
    void Unsubscribe();
    class CGlobalParameterTable* ParameterTable() const;

    CString m_displayFormat = "%0.0f";
    CString m_lastShown;
    double m_rawValue = 0.0;
    double m_shownValue = 0.0;
    double m_minimum = -32767.0;
    double m_maximum = 32767.0;
    double m_displayScale = 1.0;
    double m_valueScale = 1.0;
    ParameterBinding m_display;
    ParameterBinding m_value;
    int m_replyError = 0;
    int m_unavailable = 0;
    int m_awaitingEcho = 0;
    int m_editing = 0;
    int m_edited = 0;
    int m_inCustomConversion = 0;
    int m_reportedError = 0;
    CQvxGuiCheckboxCtrl* m_enablingBox = nullptr;
    COLORREF m_colours[4] = {RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255)};
    COLORREF m_brushColour = RGB(255, 255, 255);
    CBrush m_brush;

    DECLARE_MESSAGE_MAP()
};
