// CQvxGuiTavroCommutationSubDlg: the panel above the commutation sheet's
// pages in which the user picks the motor type, the feedback devices and the
// motor kind; it follows the drive's CIM, MFT and MC and tells the pages what
// was chosen.
#pragma once

#include <optional>

#include "distribution/DmQueryVar.h"
#include "platform/ui/Dialog.h"
#include "resources/ids/TavroCommutationSubIds.h"

class CQvxGuiTavroCommutationSheet;

class CQvxGuiTavroCommutationSubDlg : public CDialog {
public:
    enum { IDD = IDD_TAVRO_COMMUTATION_SUB };

    explicit CQvxGuiTavroCommutationSubDlg(CQvxGuiTavroCommutationSheet* sheet);
    ~CQvxGuiTavroCommutationSubDlg() override;

    void StartQueries(int drive);
    // After a send: the drive's CIM, MFT and MC once more.
    void RequeryDrive(int drive);
    void CancelQueries();
    bool HasInitialData() const;
    // The sheet's tick: follows the drive and rearranges the pages.
    void Update();
    bool DiffersFromDrive();
    // Replies of CIM, MFT or MC the panel has not shown yet.
    bool DriveChangesPending();

    // 1 linear, 0 rotary, -1 until the drive's kind was shown.
    int GetLinearOrRotary() const;
    int GetMotorType() const { return m_currentType; }
    int GetFeedbackMask() const;
    std::optional<int> GetHardwareWord() const;
    std::optional<int> GetDriveValue(const CDmQueryVar& query) const;
    const CDmQueryVar& DriveCim() const { return m_cim; }
    const CDmQueryVar& DriveMft() const { return m_mft; }
    const CDmQueryVar& DriveMc() const { return m_mc; }
    // A refused write puts the boxes or the kind radios back as the drive holds them.
    void ShowDriveFeedback();
    void ShowDriveKind();

    // What a motor picked from the database does, as the user's clicks would.
    void PickMotorType(int type);
    void PickMotorKind(int linear);
    void PickFeedback(int bit, bool checked);
    void ClearTypeChanged() { m_typeChanged = 0; }
    // The user's type, feedback or kind picked and not sent yet: the drive's
    // read-backs leave it standing.
    bool HasUnsentChoice() const { return m_choicePicked || m_kindPicked; }
    void ChoicesSent();

    BOOL OnInitDialog() override;
    void OnQuadrature() { OnFeedbackBox(IDC_CSUB_QUADRATURE); }
    void OnSinCos() { OnFeedbackBox(IDC_CSUB_SINCOS); }
    void OnResolver() { OnFeedbackBox(IDC_CSUB_RESOLVER); }
    void OnAbsEncoder() { OnFeedbackBox(IDC_CSUB_ABS_ENCODER); }
    void OnHall() { OnFeedbackBox(IDC_CSUB_HALL); }
    void OnTach() { m_feedbackChanged = m_choicePicked = 1; }
    void OnTwoPhase() { OnMotorTypeRadio(1); }
    void OnBrush() { OnMotorTypeRadio(2); }
    void OnBrushless() { OnMotorTypeRadio(3); }
    void OnInduction() { OnMotorTypeRadio(4); }
    void OnLinearWork() { OnKindRadio(1); }
    void OnRotaryWork() { OnKindRadio(0); }

protected:
    DECLARE_MESSAGE_MAP()

private:
    void OnFeedbackBox(int id);
    void OnMotorTypeRadio(int type);
    void OnKindRadio(int linear);
    void SetFeedbackBoxes(int mask);
    void ShowFeedbackFromDrive(std::optional<int> mask);
    void SetTypeFromCim(int cim);
    int ReadTypeFromRadios() const;
    void UpdateAvailability();
    void ArrangePages(int selectDefault, int takeDriveMethod);
    void ShowPosition(LONG position);
    bool IsChecked(int id) const { return IsDlgButtonChecked(id) == BST_CHECKED; }

    CQvxGuiTavroCommutationSheet* m_sheet;
    CDmQueryVar m_cim;
    CDmQueryVar m_mft;
    CDmQueryVar m_psf;
    CDmQueryVar m_mc;
    CDmQueryVar m_hardware;
    int m_driveType = 0;
    int m_currentType = 0;
    int m_rememberedMask[5] = {-1, -1, -1, -1, -1};
    int m_kindSet = 0;
    int m_feedbackChanged = 0;
    int m_typeChanged = 0;
    int m_choicePicked = 0;
    int m_kindPicked = 0;
    int m_queriedDrive = -1;
};
