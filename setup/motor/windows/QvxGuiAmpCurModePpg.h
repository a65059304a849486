// CQvxGuiAmpCurModePpg: the Current page of the Drive Mode window. Current
// mode is the drive's base mode; the page sets up the primary and auxiliary
// analog inputs, switches two-phase current mode and shows the braking settings.
#pragma once

#include "distribution/DmQueryVar.h"
#include "framework/GuiUpdatePpg.h"
#include "framework/QvxGuiCheckboxCtrl.h"
#include "framework/QvxGuiCheckboxCtrlGroup.h"
#include "framework/QvxGuiEditCtrl.h"
#include "resources/ids/AmpCurModeIds.h"
#include "setup/motor/windows/ModeBrakingControls.h"
#include "setup/motor/windows/ModeControlBinder.h"
#include "setup/motor/windows/ModeSpinSteps.h"

class CQvxGuiAmpCurModePpg : public CGuiUpdatePpg {
    DECLARE_DYNAMIC(CQvxGuiAmpCurModePpg)

public:
    enum { IDD = IDD_AMP_CUR_MODE };
    static constexpr int kBrakingGroup = 1;

    CQvxGuiAmpCurModePpg();

    CString GetItemName() const override { return "Current"; }
    BOOL OnInitDialog() override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    void OnAttached() override { BindControls(); }
    void ProcessResponses() override;
    int PrepareQueries() override;
    int SubscribeStatusQueries() override;
    void OnEnableBitChanged(int bit) override;
    int SendGroup(int group) override { return CModeControlBinder::SendShown(m_controls, group); }

    void UpdateEnables();

protected:
    void OnTwoPhaseClicked();
    void OnSendBraking();
    DECLARE_MESSAGE_MAP()

private:
    void BindControls();
    void ShowModeReply();
    void ShowAuxiliary(bool on);
    int LastMode() const;
    bool IsChecked(int id) const { return IsDlgButtonChecked(id) == BST_CHECKED; }
    void EnableIds(std::initializer_list<int> ids, bool on);

    CDmQueryVar m_mode;
    CDmQueryVar m_hardware;
    CQvxGuiEditCtrl m_edits[10];
    CModeBrakingControls m_braking;
    CModeSpinSteps m_spins;
    int m_followedDrive = -1;
    bool m_auxShown = true;
};
