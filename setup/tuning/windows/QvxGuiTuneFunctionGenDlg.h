// CQvxGuiTuneFunctionGenDlg: edits the step a servo tuning test commands (the
// active loop's base and target, duration, dwell, direction, test mode) and
// keeps it in the [TUNING] section of the user settings.
#pragma once

#include "framework/QvxUpdateChildDlg.h"
#include "setup/tuning/TuningModeSet.h"

class CQvxGuiTuneFunctionGenDlg : public CQvxUpdateChildDlg {
public:
    CQvxGuiTuneFunctionGenDlg(CGuiUpdateDlg* owner, CTuningModeSet& modes, const TuningContext& context,
                              const CString& iniPath);

    BOOL OnInitDialog() override;
    void OnOK() override;

    void OnForward() { m_modes.m_settings.Direction = 1; }
    void OnReverse() { m_modes.m_settings.Direction = -1; }
    void OnBidirectional() { m_modes.m_settings.Direction = 0; }
    void OnContinuous();
    void OnSample();
    // Reads and checks every field; the first failure shows its message.
    bool Validate();

protected:
    DECLARE_MESSAGE_MAP()

private:
    bool ValidateSeconds(int id, const char* name, double& out);
    void ShowError(const CString& text);

    CTuningModeSet& m_modes;
    TuningContext m_context;
    CString m_iniPath;
};
