// CQvxGuiCPanelDlg: runs a drive by hand: enable, stop, fault reset, a typed
// or jogged command in the drive's command mode, position zeroing, tach reverse.
#pragma once

#include "distribution/DmQueryVar.h"
#include "framework/GuiUpdateDlg.h"
#include "resources/ids/ControlPanelIds.h"
#include "setup/io/PanelOptionsModeList.h"
#include "setup/io/PanelScaling.h"

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
    void OnModeWordChanged(int value) override { m_modeChanged = 1; (void)value; }
    void OnEnableBitChanged(int bit) override;
    void OnFaultWordChanged(int value) override;
    void OnChildDialogClosed(int code) override;
    void OnOK() override;

    void OnStop();
    void OnFaultReset();
    void OnSetZeroPos();
    void OnOptions();
    void OnTachReverse();
    void OnJog(UINT id);

    int IsReady() const { return m_ready; }
    // The drive's tach reverse as last read; false while a read is under way.
    bool GetTachReading(LONG& value) const { return m_tach.GetValue(value); }
    double GetBarValue() const { return m_value; }
    const CPanelOptionsModeList& GetModes() const { return m_modes; }
    // The conversion snapshot; false while a parameter is missing.
    bool BuildScaling(CPanelScaling& scaling);

protected:
    DECLARE_MESSAGE_MAP()

private:
    int Ask(const char* text);
    bool HaveParameter(int id);
    void SendBar(double amount, int up);
    void SendZeroCommands();
    void ShowReading(int forced);
    void UpdateLabels();
    void UpdateLamps();
    void RefreshTachBox();
    void ShowActual(int id, const CString& text);
    const CPanelOptionsMode* Mode() const;
    CString IniPath() const;

    CDmQueryVar m_tach;
    CDmQueryVar m_positionCommand;
    CDmQueryVar m_command;
    CDmQueryVar m_enable;
    CDmQueryVar m_faults;
    CDmQueryVar m_currentMode;
    CDmQueryVar m_inhibit;
    CDmQueryVar m_motorFeatures;
    CPanelOptionsModeList m_modes;
    CQvxCPanelOptionsDlg* m_options = nullptr;
    double m_value = 0.0;
    double m_previous = 0.0;
    int m_modeKnown = 0;
    int m_modeChanged = 0;
    int m_firstMode = 1;
    int m_ready = 0;
};
