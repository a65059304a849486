// CModeBrakingControls: the braking boxes the Current and Velocity pages of
// the drive mode window share: braking on (working and drive) and the brake
// control FET switch, whose working box writes its bit alone.
#pragma once

#include "framework/QvxGuiCheckboxCtrl.h"
#include "framework/QvxGuiCheckboxCtrlGroup.h"

class CGuiUpdateDlg;

struct ModeBrakingIds {
    int brakingWork;
    int brakingDrive;
    int fetWork;
    int fetDrive;
};

class CModeBrakingControls {
public:
    static constexpr WORD kFetCode = 4225;

    void Bind(CGuiUpdateDlg& owner, const ModeBrakingIds& ids, int group);
    // The braking settings apply in every mode: they keep polling when the page's other rows stop.
    void RestartPolling();
    // Asks first; a script that presses the button means to send.
    static bool ConfirmSend(CGuiUpdateDlg& owner);

private:
    CQvxGuiCheckboxCtrlGroup m_fetGroup;
    CQvxGuiCheckboxCtrl m_brakingWork;
    CQvxGuiCheckboxCtrl m_brakingDrive;
    CQvxGuiCheckboxCtrl m_fetWork;
    CQvxGuiCheckboxCtrl m_fetDrive;
};
