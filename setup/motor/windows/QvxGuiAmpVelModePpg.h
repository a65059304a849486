// CQvxGuiAmpVelModePpg: the Velocity page of the Drive Mode window. Switches
// velocity mode, chooses the velocity command source and sets up the analog
// input, the zero speed window and the braking behaviour.
#pragma once

#include <optional>

#include "distribution/DmQueryVar.h"
#include "framework/GuiUpdatePpg.h"
#include "framework/QvxGuiCheckboxCtrl.h"
#include "framework/QvxGuiCheckboxCtrlGroup.h"
#include "framework/QvxGuiEditCtrl.h"
#include "resources/ids/AmpVelModeIds.h"
#include "setup/motor/windows/ModeBrakingControls.h"
#include "setup/motor/windows/ModeControlBinder.h"
#include "setup/motor/windows/ModeSpinSteps.h"

class CQvxGuiAmpVelModePpg : public CGuiUpdatePpg {
    DECLARE_DYNAMIC(CQvxGuiAmpVelModePpg)

public:
    enum { IDD = IDD_AMP_VEL_MODE };
    static constexpr WORD kSourceCode = 3188;
    static constexpr WORD kMotorTypeCode = 419;
    static constexpr WORD kZeroSpeedCode = 27255;
    static constexpr int kBrakingGroup = 1;

    CQvxGuiAmpVelModePpg();

    CString GetItemName() const override { return "Velocity"; }
    BOOL OnInitDialog() override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    void OnAttached() override { BindControls(); }
    void ProcessResponses() override;
    int PrepareQueries() override;
    int SubscribeStatusQueries() override;
    int InitialUpdate() override;
    void OnEnableBitChanged(int bit) override;
    int SendGroup(int group) override { return CModeControlBinder::SendShown(m_controls, group); }

    // The enable states of every control, from the Enable box, the last mode word and the drive.
    void UpdateEnables();

protected:
    void OnEnableClicked();
    void OnSourceClicked();
    void OnSendBraking();
    DECLARE_MESSAGE_MAP()

private:
    void BindControls();
    void RestartBrakingDisplays();
    bool ShowRadios();
    void ShowMotorType(LONG type);
    void UpdateZeroSpeedStep();
    void UpdateCaption();
    int LastMode() const;
    bool IsChecked(int id) const { return IsDlgButtonChecked(id) == BST_CHECKED; }
    std::optional<double> Parameter(int id);

    CDmQueryVar m_mode;
    CDmQueryVar m_source;
    CDmQueryVar m_hardware;
    CDmQueryVar m_motorType;
    CQvxGuiEditCtrl m_edits[14];
    CModeBrakingControls m_braking;
    CModeSpinSteps m_spins;
    bool m_zeroStepPending = false;
    bool m_linear = false;
    int m_followedDrive = -1;
    std::optional<double> m_gatedVersion;
};
