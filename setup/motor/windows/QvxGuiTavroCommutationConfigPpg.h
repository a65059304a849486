// CQvxGuiTavroCommutationConfigPpg: the "Commutation Config" page of the
// commutation sheet: initialisation method, poles, offsets, phase lead,
// correction method, smart commutation, resolver alignment, shaft direction
// and the auto-phasing results. Its boxes and methods follow the motor type
// and feedback chosen on the sheet; it opens the auto-phasing window.
#pragma once

#include <optional>

#include "distribution/DmQueryVar.h"
#include "foundation/DlgControlGroupList.h"
#include "framework/GuiUpdatePpg.h"
#include "framework/QvxGuiCheckboxCtrl.h"
#include "framework/QvxGuiCheckboxCtrlGroup.h"
#include "framework/QvxGuiEditCtrl.h"
#include "platform/ui/ComboBox.h"
#include "resources/ids/TavroCommutationConfigIds.h"
#include "setup/motor/windows/MotorProcedureChild.h"
#include "setup/motor/windows/MotorProcedureOwner.h"

class CQvxGuiTavroCommutationSheet;

class CQvxGuiTavroCommutationConfigPpg : public CGuiUpdatePpg, public CMotorProcedureOwner {
    DECLARE_DYNAMIC(CQvxGuiTavroCommutationConfigPpg)

public:
    enum { IDD = IDD_TAVRO_COMMUTATION_CONFIG };
    static constexpr WORD kCplCode = 3596;
    static constexpr WORD kCimCode = 3373;
    static constexpr WORD kCcmCode = 3181;
    static constexpr WORD kCirCode = 3378;
    static constexpr WORD kPolesCode = 432;

    explicit CQvxGuiTavroCommutationConfigPpg(CQvxGuiTavroCommutationSheet* sheet);
    ~CQvxGuiTavroCommutationConfigPpg() override;

    BOOL OnInitDialog() override;
    int PrepareQueries() override;
    int SubscribeStatusQueries() override;
    int InitialUpdate() override;
    void ProcessResponses() override;
    int GetPendingChangesState(int ignored) override;
    int SendGroup(int group) override;
    int CustomPoll(int id, double& value, CWnd* control) override;
    int CustomConvert(int id, double& value, CWnd* control) override;
    int CustomSend(int id, double value, CWnd* control) override;
    void ExchangeSheetProperties(CDPropertyList& bag, int loading) override
    {
        m_autoPhasing.ExchangeSheetProperties(bag, loading);
    }

    // CMotorProcedureOwner
    void OnProcedureRunning(bool running) override { SuspendAutoPhasePolling(running ? 1 : 0); }
    void OnProcedureWindowClosed(CWnd* child) override { m_autoPhasing.OnClosed(child); }
    bool IsOwnerDriveEnabled() const override { return GetEnableBit() != 0; }

    void ArrangeForMotorAndFeedback(int motorType, int selectDefault, int takeDriveMethod, int feedbackMask);
    void SetMotorKindLabels(int remember, int kind);
    int CheckAutoPhaseChanges();
    void SuspendAutoPhasePolling(int suspend);
    // The method selected in the combo; 0 with none.
    int GetSelectedMethod() const;
    // The method a drive's initialisation-method register names; 0 for a value that names none.
    static int DriveMethodOf(int cim);
    bool GetWorkingPoles(double& poles);
    // The checks that can stop the page's send, without writing anything.
    bool CanSend();
    CQvxGuiEditCtrl& PolesEdit() { return m_edits[kPolesWork]; }
    CGuiUpdateDlg* GetAutoPhasingWindow() const { return m_autoPhasing.Window(); }
    void OpenAutoPhasing() { m_autoPhasing.Open(); }

    void OnAutoPhasing() { OpenAutoPhasing(); }
    void OnMethodSelected();
    void OnHallEdge() { CheckCorrection(IDC_CCFG_HALL_EDGE_WORK); }
    void OnIndexAuto() { CheckCorrection(IDC_CCFG_INDEX_AUTO_WORK); }
    void OnIndexManual() { CheckCorrection(IDC_CCFG_INDEX_MANUAL_WORK); }
    void OnNone() { CheckCorrection(IDC_CCFG_NONE_WORK); }

protected:
    DECLARE_MESSAGE_MAP()

private:
    enum EditIndex {
        kPolesWork, kPolesDrive, kAngleWork, kAngleDrive, kPhaseWork, kPhaseDrive, kHallWork, kHallDrive,
        kIndexWork, kIndexDrive, kCpgWork, kCpgDrive, kCigWork, kCigDrive, kCdgWork, kCdgDrive,
        kInitialWork, kInitialDrive, kFinalWork, kFinalDrive, kRampWork, kRampDrive, kTimerWork, kTimerDrive,
        kResolverWork, kResolverDrive, kAlignWork, kAlignDrive, kEditCount
    };
    void RefreshOnNewGain();
    void BindControls();
    void BindEdit(EditIndex index, int id, const char* name, unsigned flags);
    void BindAngle(EditIndex work, int workId, EditIndex drive, int driveId, WORD code, const char* name);
    void BindCheckbox(CQvxGuiCheckboxCtrl& box, int id, DWORD mask);
    void BuildGroups();
    void FillMethods(const std::vector<int>& methods);
    void SelectMethodValue(int method);
    void OnMethodChanged();
    void CheckCorrection(int id);
    void ShowCorrection(int value);
    int WorkingCorrection() const;
    void StackRightColumn();
    bool IsChecked(int id) const { return IsDlgButtonChecked(id) == BST_CHECKED; }
    bool PhaseLeadInputs(bool working, double& lines, int& linear, int& shift, double& frequency, int& cs);
    int PhaseLeadRange(double& low, double& high);
    int RampDisplay(int id, double& value);
    std::optional<double> CurrentStep(EditIndex initial, EditIndex final, bool entered);

    CQvxGuiTavroCommutationSheet* m_sheetOwner;
    CDmQueryVar m_mc;
    CDmQueryVar m_poles;
    CDmQueryVar m_lines;
    CDmQueryVar m_gvs;
    CDmQueryVar m_cpl;
    CDmQueryVar m_ccm;
    CDmQueryVar m_cir;
    CDmQueryVar m_cct;
    CDmQueryVar m_cim;
    CDlgControlGroupList m_left;
    CDlgControlGroupList m_right;
    CDlgControlGroupList m_smart;
    CQvxGuiEditCtrl m_edits[kEditCount];
    CQvxGuiCheckboxCtrl m_simHallWork;
    CQvxGuiCheckboxCtrl m_simHallDrive;
    CQvxGuiCheckboxCtrl m_sequenceWork;
    CQvxGuiCheckboxCtrl m_sequenceDrive;
    CQvxGuiCheckboxCtrl m_reverseWork;
    CQvxGuiCheckboxCtrl m_reverseDrive;
    CQvxGuiCheckboxCtrlGroup m_mccGroup;
    CComboBox m_methodCombo;
    int m_driveMethod = 0;
    int m_methodPicked = 0;
    int m_queriedDrive = -1;
    CMotorProcedureChild m_autoPhasing;
    double m_rotaryPoles = 2;
    double m_linearPitch = 5000;
    int m_shownKind = -1;
    int m_autoPhaseApplies = 0;
    double m_rampInitial = 0;
    double m_rampFinal = 0;
    int m_rampShown = 0;
    double m_currentGain = 0;
};
