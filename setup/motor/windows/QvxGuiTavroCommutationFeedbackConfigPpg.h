// CQvxGuiTavroCommutationFeedbackConfigPpg: the "Feedback Config" page of the
// commutation sheet: encoder lines, output divider and EZ mode, fault
// detection, SIN/COS interpolation, resolver resolution, tachometer, the
// absolute encoder and the analog feedback calibration values. Its boxes
// follow the feedback chosen on the sheet.
#pragma once

#include <optional>

#include "database/QvxDatabaseRecordsetClient.h"
#include "distribution/DmQueryVar.h"
#include "foundation/DlgControlGroupList.h"
#include "framework/GuiUpdatePpg.h"
#include "framework/QvxGuiCheckboxCtrl.h"
#include "framework/QvxGuiCheckboxCtrlGroup.h"
#include "framework/QvxGuiEditCtrl.h"
#include "platform/ui/ComboBox.h"
#include "resources/ids/TavroCommutationFeedbackIds.h"
#include "setup/motor/windows/MotorProcedureChild.h"
#include "setup/motor/windows/MotorProcedureOwner.h"

class CQvxGuiTavroCommutationSheet;

class CQvxGuiTavroCommutationFeedbackConfigPpg : public CGuiUpdatePpg,
                                                 public CMotorProcedureOwner,
                                                 public CQvxDatabaseRecordsetClient {
    DECLARE_DYNAMIC(CQvxGuiTavroCommutationFeedbackConfigPpg)

public:
    enum { IDD = IDD_TAVRO_COMMUTATION_FEEDBACK };
    static constexpr WORD kOutputWordCode = 6308;
    // The absolute encoder's words: 1200 (AEP) indexed by 1193 (AEI).
    static constexpr WORD kAbsEncCode = 1200;
    static constexpr WORD kAbsEncIndexCode = 1193;

    explicit CQvxGuiTavroCommutationFeedbackConfigPpg(CQvxGuiTavroCommutationSheet* sheet);
    ~CQvxGuiTavroCommutationFeedbackConfigPpg() override;

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
        m_calibration.ExchangeSheetProperties(bag, loading);
    }
    // CQvxDatabaseRecordsetClient: an encoder picked from the database.
    void OnRefresh() override;
    // The bound fields show the record again: T-format keeps its alignment bits at 0.
    void OnRequeried() override { ApplyProtocolRule(); }

    // CMotorProcedureOwner
    void OnProcedureRunning(bool /*running*/) override {}
    void OnProcedureWindowClosed(CWnd* child) override { m_calibration.OnClosed(child); }
    bool IsOwnerDriveEnabled() const override { return GetEnableBit() != 0; }

    void ArrangeFeedbackPage(int feedbackMask, int motorType);
    void SetLinesLabels(int remember, int kind, int setDriveFormat);
    bool GetWorkingLines(double& lines);
    CQvxGuiEditCtrl& LinesEdit() { return m_edits[kLinesWork]; }
    // The checks that can stop the page's send, without writing anything.
    bool CanSend();
    void BindAbsEncRecordset(CQvxDatabaseRecordset* recordset);
    CGuiUpdateDlg* GetCalibrationWindow() const { return m_calibration.Window(); }
    void OpenCalibration() { m_calibration.Open(); }

    void OnAdditional();
    void OnCalibration() { OpenCalibration(); }
    void OnOutputChoice();
    void OnProtocolChanged();
    void OnLineCountChanged();
    void OnPopulate();
    void OnTachScaleSpin(NMHDR* header, LRESULT* result) { StepEdit(header, result, kTachScaleWork); }
    void OnTachGainSpin(NMHDR* header, LRESULT* result) { StepEdit(header, result, kTachGainWork); }
    void OnTachOffsetSpin(NMHDR* header, LRESULT* result) { StepEdit(header, result, kTachOffsetWork); }
    void OnPositionShiftSpin(NMHDR* header, LRESULT* result) { StepEdit(header, result, kPositionShiftWork); }
    void OnVelocityShiftSpin(NMHDR* header, LRESULT* result) { StepEdit(header, result, kVelocityShiftWork); }

protected:
    DECLARE_MESSAGE_MAP()

private:
    enum EditIndex {
        kLinesWork, kLinesDrive, kInterpolationWork, kInterpolationDrive, kSimBitsWork, kSimBitsDrive,
        kTachScaleWork, kTachScaleDrive, kTachGainWork, kTachGainDrive, kTachOffsetWork, kTachOffsetDrive,
        kSingleWork, kSingleDrive, kMultiWork, kMultiDrive, kClockWork, kClockDrive, kAlignWork, kAlignDrive,
        kCdsWork, kCdsDrive, kPositionShiftWork, kPositionShiftDrive, kVelocityShiftWork, kVelocityShiftDrive,
        kSineOffset, kSineScale, kCosineOffset, kCosineScale, kEditCount
    };
    void RefreshOnNewGain();
    // A spin arrow moves its field by one step within the field's range.
    void StepEdit(NMHDR* header, LRESULT* result, int index);
    void BindControls();
    CQvxGuiEditCtrl& BindEdit(EditIndex index, int id, const char* name, unsigned flags, const char* format);
    void BindFaultGroup(CQvxGuiCheckboxCtrlGroup& group, CQvxGuiCheckboxCtrl& work, int workId,
                        CQvxGuiCheckboxCtrl& drive, int driveId);
    void BuildGroups();
    void RefillDivisorChoices(long long lines);
    void ShowOutputWord();
    void ApplyProtocolRule();
    void EnableAbsoluteEncoderFields(int enable);
    void SelectLineCount(int bits);
    bool IsShownAndEnabled(int id) const;
    bool IsChecked(int id) const { return IsDlgButtonChecked(id) == BST_CHECKED; }
    std::optional<double> DriveLines();
    void ShowDivider(bool takeDriveLines);
    void PostOutputChanged();
    void SetWritable(CQvxGuiControl& control, bool writable);

    CQvxGuiTavroCommutationSheet* m_sheetOwner;
    CDmQueryVar m_mc;
    CDmQueryVar m_lines;
    CDmQueryVar m_outputWord;
    CDmQueryVar m_hardware;
    CDmQueryVar m_itc;
    CDmQueryVar m_absBits;
    CDmQueryVar m_absProtocol;
    CDmQueryVar m_absShifts;
    CDlgControlGroupList m_left;
    CDlgControlGroupList m_right;
    CQvxGuiEditCtrl m_edits[kEditCount];
    CQvxGuiCheckboxCtrl m_faultWork;
    CQvxGuiCheckboxCtrl m_faultDrive;
    CQvxGuiCheckboxCtrl m_absFaultWork;
    CQvxGuiCheckboxCtrl m_absFaultDrive;
    CQvxGuiCheckboxCtrl m_resolverFaultWork;
    CQvxGuiCheckboxCtrl m_resolverFaultDrive;
    CQvxGuiCheckboxCtrl m_encoderReverse;
    CQvxGuiCheckboxCtrl m_absEncoderReverse;
    CQvxGuiCheckboxCtrlGroup m_faultGroup;
    CQvxGuiCheckboxCtrlGroup m_absFaultGroup;
    CQvxGuiCheckboxCtrlGroup m_resolverFaultGroup;
    CComboBox m_divisorCombo;
    CComboBox m_ezCombo;
    CComboBox m_protocolCombo;
    CComboBox m_lineCountCombo;
    double m_rotaryLines = 1000;
    double m_linearResolution = 5;
    int m_shownKind = -1;
    int m_takeDriveLines = 0;
    int m_fillingCombo = 0;
    int m_dividerNoticeShown = 0;
    int m_absFieldsEnabled = 0;
    double m_offsetGain = 0;
    CMotorProcedureChild m_calibration;
};
