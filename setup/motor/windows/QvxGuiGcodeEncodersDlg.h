// CQvxGuiGcodeEncodersDlg: the "Setup Electronic Gearing" window. Sets the
// pulse follower's gear out, gear in and gear in factor, and the divisor and
// direction of the drive's encoder output; sends only to a disabled drive.
#pragma once

#include <optional>

#include "distribution/DmQueryVar.h"
#include "framework/GuiUpdateDlg.h"
#include "framework/QvxGuiCheckboxCtrl.h"
#include "framework/QvxGuiEditCtrl.h"
#include "resources/ids/GcodeEncodersIds.h"

class CQvxGuiGcodeEncodersDlg : public CGuiUpdateDlg {
    DECLARE_DYNCREATE(CQvxGuiGcodeEncodersDlg)

public:
    enum { IDD = IDD_GCODE_ENCODERS };
    static constexpr WORD kGearOutCode = 16623;
    static constexpr WORD kGearInCode = 16617;
    static constexpr WORD kGearFactorCode = 16614;
    static constexpr WORD kEncoderOutputCode = 6308;
    static constexpr WORD kVersionCode = 22706;

    CQvxGuiGcodeEncodersDlg();

    CString GetItemName() const override { return "Setup Electronic Gearing"; }
    BOOL OnInitDialog() override;
    int CustomPoll(int id, double& value, CWnd* control) override;
    int CustomSend(int id, double value, CWnd* control) override;
    int SendGroup(int group) override;
    void ProcessResponses() override;
    int PrepareQueries() override;
    int InitialUpdate() override;
    void OnModeWordChanged(int value) override;

    // -1 unknown, 0 no divisor, 1 power-of-two divisor, 2 plain divisor.
    int DivisorKind() const;

protected:
    void OnReverse();
    void OnSendValues();
    DECLARE_MESSAGE_MAP()

private:
    void BindControls();
    std::optional<int> Last(const CDmQueryVar& query) const;
    bool ReverseAvailable() const;
    bool RefusedWhileEnabled();
    int CheckedRadio() const;
    void ShowCaptions();
    void ShowDivisor();
    void UpdateEnables();
    void EnableId(int id, bool on);

    CDmQueryVar m_encoderWord;
    CDmQueryVar m_factor;
    CDmQueryVar m_hardware;
    CDmQueryVar m_version;
    CQvxGuiEditCtrl m_edits[8];
    CQvxGuiCheckboxCtrl m_reverseWork;
    CQvxGuiCheckboxCtrl m_reverseDrive;
    int m_sign = 0;
    bool m_divisorShown = false;
};
