// QvxGuiSetupMode2: the "Setup Command Mode" window. Thirteen check boxes show
// which loops are closed and which input commands them; each box's state is
// computed from several drive settings and a click becomes writes of the
// command mode word and the input type.
#pragma once

#include <optional>

#include "distribution/DmQueryVar.h"
#include "framework/GuiUpdateDlg.h"
#include "framework/QvxGuiCheckboxCtrl.h"
#include "framework/QvxGuiEditCtrl.h"
#include "resources/ids/SetupMode2Ids.h"
#include "setup/motor/CommandModeBoxes.h"

class QvxGuiSetupMode2 : public CGuiUpdateDlg {
    DECLARE_DYNCREATE(QvxGuiSetupMode2)

public:
    enum { IDD = IDD_SETUP_MODE2 };
    static constexpr WORD kInputTypeCode = 16589;
    static constexpr WORD kVersionCode = 22706;
    static constexpr WORD kGearInCode = 16617;
    static constexpr WORD kCimCode = 3373;
    static constexpr WORD kPwmTimeoutCode = 16623;
    // Box ids in custom-id order (1 .. 13).
    static constexpr int kBoxIds[CCommandModeBoxes::kCount] = {
        IDC_CMD_CURRENT_LOOP, IDC_CMD_VELOCITY_LOOP,  IDC_CMD_POSITION_LOOP, IDC_CMD_TWO_PHASE, IDC_CMD_ANALOG,
        IDC_CMD_PWM,          IDC_CMD_NONE,           IDC_CMD_PULSE_FOLLOWER, IDC_CMD_PULSE_DIR, IDC_CMD_CW_CCW,
        IDC_CMD_QUADRATURE,   IDC_CMD_PWM50,          IDC_CMD_FAULT100};

    QvxGuiSetupMode2();

    CString GetItemName() const override { return "Drive Mode"; }
    BOOL OnInitDialog() override;
    void OnAttached() override { BindControls(); }
    int CustomPoll(int id, double& value, CWnd* control) override;
    int CustomSend(int id, double value, CWnd* control) override;
    void ProcessResponses() override;
    int PrepareQueries() override;
    int InitialUpdate() override;

protected:
    DECLARE_MESSAGE_MAP()

private:
    void BindControls();
    // The drive's state once every reply and parameter the boxes need is there.
    std::optional<CommandModeState> State();
    void UpdateEnables();
    void CheckGearIn();

    CDmQueryVar m_mode;
    CDmQueryVar m_version;
    CDmQueryVar m_inputType;
    CDmQueryVar m_gearIn;
    CDmQueryVar m_cim;
    CQvxGuiCheckboxCtrl m_boxes[CCommandModeBoxes::kCount];
    CQvxGuiEditCtrl m_pwmTimeout;
    bool m_enablesPending = true;
};
