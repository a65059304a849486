// CQvxGuiTavroCommutationSheet: the commutation setup window of Tavro drives.
// The motor-type panel sits above a configuration and a feedback page; the
// sheet sends both pages, the feedback mask, the motor kind and the three
// commutation count registers, and applies motors picked from the database.
#pragma once

#include <optional>

#include "database/QvxDatabaseRecordsetClient.h"
#include "distribution/DmQueryVar.h"
#include "foundation/HPTimer.h"
#include "framework/GuiUpdatePropSheet.h"
#include "platform/core/Mutex.h"
#include "setup/motor/CommutationSheetCalc.h"
#include "setup/motor/windows/QvxGuiTavroCommutationConfigPpg.h"
#include "setup/motor/windows/QvxGuiTavroCommutationFeedbackConfigPpg.h"
#include "setup/motor/windows/QvxGuiTavroCommutationSubDlg.h"

class CQvxDatabase;
class CQvxDatabaseRecordset;

class CQvxGuiTavroCommutationSheet : public CGuiUpdatePropSheet, public CQvxDatabaseRecordsetClient {
    DECLARE_DYNCREATE(CQvxGuiTavroCommutationSheet)

public:
    static constexpr WORD kMcCode = 419;
    static constexpr WORD kCccCode = 3171;
    static constexpr WORD kCcrCode = 3186;
    static constexpr WORD kCesCode = 3251;
    static constexpr WORD kMftCode = 13524;

    CQvxGuiTavroCommutationSheet();
    ~CQvxGuiTavroCommutationSheet() override;

    // The table database whose "MotorByPartNum" and "AbsEncByModel" recordsets
    // the sheet uses; none while the program has no database.
    static void SetDatabase(CQvxDatabase* database);

    CString GetItemName() const override { return "Commutation Settings"; }
    BOOL OnInitDialog() override;
    int PrepareQueries() override;
    int SubscribeStatusQueries() override;
    int InitialUpdate() override;
    void ProcessResponses() override;
    int GetPendingChangesState(int ignored) override;
    int SendGroup(int group) override;
    void OnCurrentRecordChanged() override { OnRecordChanged(); }
    void OnRefresh() override { OnRecordChanged(); }

    CQvxGuiTavroCommutationConfigPpg& GetConfigPage() { return m_configPage; }
    CQvxGuiTavroCommutationFeedbackConfigPpg& GetFeedbackPage() { return m_feedbackPage; }
    CQvxGuiTavroCommutationSubDlg& GetSubDlg() { return m_sub; }
    int GetLinearOrRotary() const { return m_sub.GetLinearOrRotary(); }
    std::optional<double> GetFirmwareVersion();
    CQvxDatabaseRecordset* GetAbsEncRecordset() const { return m_absEncRecordset; }

    // The motor kind radios: 1 linear, 0 rotary.
    void OnMotorKindChosen(int linear);
    // Counts, cycles and scaling of the working poles and lines; none when they give none.
    std::optional<CommutationCounts> ComputeWorkingCounts();
    CString WhyNoWorkingCounts();
    void ShowAdditionalCalculations();

private:
    void OnRecordChanged();
    void ApplyDatabaseChanges();
    void ApplyMotorType(const CString& type);
    void ApplyLinearOrRotary(const CString& kind);
    void ApplyLines(const CString& lines);
    void ApplyPoles(const CString& poles);
    bool ChecksBeforeSend();
    void WriteFeedbackAndKind();
    void WriteCounts(const CommutationCounts& counts);
    CString RecordField(const char* name) const;

    CQvxGuiTavroCommutationSubDlg m_sub;
    CQvxGuiTavroCommutationConfigPpg m_configPage;
    CQvxGuiTavroCommutationFeedbackConfigPpg m_feedbackPage;
    CDmQueryVar m_mc;
    CDmQueryVar m_ccc;
    CDmQueryVar m_ccr;
    CDmQueryVar m_ces;
    CHPTimer m_stopwatch;
    CMutex m_stopwatchLock;
    int m_motorKind = 0;
    int m_pendingMotorType = 0;
    int m_pendingLinOrRot = 0;
    int m_pendingLines = 0;
    int m_pendingPoles = 0;
    int m_databaseAllowed = 0;
    CQvxDatabaseRecordset* m_motorRecordset = nullptr;
    CQvxDatabaseRecordset* m_absEncRecordset = nullptr;
};
