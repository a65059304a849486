// CQvxGuiMoveBuilderDlg: the Profile Generator: edits a working profile of
// steps, sends it to the drive, reads the drive's profiles back, saves them
// to the drive's non-volatile memory, runs or aborts the drive's profile, and
// backs up or restores the profiles.
#pragma once

#include <vector>

#include "controls/DListComboCtrl.h"
#include "framework/GuiUpdateDlg.h"
#include "resources/ids/MoveBuilderIds.h"
#include "setup/tuning/ProfileStepUnits.h"
#include "setup/tuning/QvxMoveBuilderStepArray.h"

constexpr WORD kProfileLoadParameter = 579;
constexpr WORD kProfileSaveParameter = 611;
constexpr WORD kProfileRunParameter = 16901;
constexpr WORD kProfileSelectorParameter = 16915;
constexpr WORD kTorqueWordParameter = 23924;
constexpr WORD kMotorTypeParameter = 419;
constexpr WORD kTorqueOffsetParameter = 1071;
constexpr WORD kHardwareFlagsParameter = 13452;
constexpr WORD kHardwareFlagsIndexParameter = 13449;
constexpr int kProfileSlotBase = 32;
constexpr int kMaxProfiles = 16;

class CQvxGuiMoveBuilderDlg : public CGuiUpdateDlg, public CDListComboCtrlCB {
    DECLARE_DYNCREATE(CQvxGuiMoveBuilderDlg)

public:
    enum { IDD = IDD_MOVE_BUILDER };
    enum Exchange { kNoExchange = 0, kSendingProfile = 1, kReceivingProfile = 2 };

    CQvxGuiMoveBuilderDlg();
    ~CQvxGuiMoveBuilderDlg() override;

    CString GetItemName() const override { return "Profile Generator"; }
    BOOL OnInitDialog() override;
    int PrepareQueries() override;
    int SubscribeStatusQueries() override;
    int InitialUpdate() override;
    void ProcessResponses() override;
    void OnStatusResponse(const CAmpResponseToGui& response) override;
    int GetPendingChangesState(int /*ignored*/) override { return m_workChanged ? 1 : 2; }
    int CanClose() override;
    void SerializeLayout(CArchive& ar, int version) override;

    // CDListComboCtrlCB: the working list's cells.
    int GetColumnEditType(CDListComboCtrl* list, int row, int column) override;
    int GetItemSelection(CDListComboCtrl* list, int row, int column) override;
    void OnItemSelectionChanged(CDListComboCtrl* list, int row, int column, int index, BOOL unchanged) override;
    CString GetItemText(CDListComboCtrl* list, int row, int column) override;
    void OnItemTextChanged(CDListComboCtrl* list, int row, int column, CString text, BOOL unchanged) override;
    int PreCommitEdit(CDListComboCtrl*, LVITEM*) override { return 0; }
    int CanEditItem(CDListComboCtrl*, LVITEM*) override { return 0; }

    // Commands.
    void OnAddStep();
    void OnRemoveStep();
    void OnRemoveAllSteps();
    void OnClearPrograms();
    void OnCopyFromDrive();
    void OnSendToDrive();
    void OnProfileChanged();
    void OnSaveToNvm();
    void OnExecute();
    void OnBackupProfiles();
    void OnRestoreProfiles();
    void OnQuickBackup();
    void OnQuickRestore();
    void OnTorqueConstantCommitted();
    void OnDestroy();

    // What the window holds, for its callers and tests.
    CQvxMoveBuilderStepArray& Working() { return m_working; }
    const CQvxMoveBuilderStepArray& DriveProfile(int n) const { return m_drive[n]; }
    int GetProfileCount() const { return m_profileCount; }
    int GetSelectedProfile() const;
    int GetExchange() const { return m_exchange; }
    // A profile is being loaded into the drive's working profile or exchanged.
    bool IsBusy() const { return m_pendingLoad != 0 || m_exchange != kNoExchange; }
    bool IsWorkChanged() const { return m_workChanged; }
    bool NeedsNvmSave() const { return m_needsNvmSave; }
    bool IsProfileRunning() const { return m_haveRunWord && (m_runWord & 1); }
    CString QuickBackupPath() const { return m_lastQuickBackup; }
    // The working and drive lists' step texts and colours, from the arrays.
    void RefreshLists();
    // The entry codes the list of a working cell offers, in list order.
    std::vector<int> CellCodes(int row, int column) const;
    ProfileUnitContext UnitContext(bool forDrive) const;

protected:
    DECLARE_MESSAGE_MAP()

private:
    void SetUpLists();
    void FillProfileList();
    void FillStepList(CReportCtrl& list, const CQvxMoveBuilderStepArray& steps, const ProfileUnitContext& context);
    void SetCell(CReportCtrl& list, int row, int column, const CString& text);
    void BindPolls();
    void StartLoad(int profile);
    bool BeginReceiveProfile(int profile);
    void OnExchangeResponse(const CAmpResponseToGui& response);
    void EndExchange(int result);
    void UpdateRunState();
    void UpdateTorqueWord();
    void CheckHardwareSelector();
    void UpdateEnabling();
    bool WriteProfileLoad(int profile);
    int Ask(const CString& text, UINT type, int scripted);
    CString DriveName();
    CString DocumentsFolder() const;
    bool DriveEnabled() const { return GetEnableBit() != 0; }
    CComboBox* Combo(int id) const;

    CDListComboCtrl m_workList;
    CReportCtrl m_driveList;
    CQvxMoveBuilderStepArray m_working;
    CQvxMoveBuilderStepArray m_drive[kMaxProfiles];
    int m_profileCount = 0;
    int m_shownProfile = -1;
    bool m_workChanged = false;
    bool m_needsNvmSave = false;
    int m_exchange = kNoExchange;
    int m_exchangeProfile = -1;
    int m_pendingLoad = 0;     // 0 none, 1 requested, 2 confirmed by the drive
    bool m_waitForRunEnd = false;
    bool m_startupLoadDone = false;
    bool m_haveRunWord = false;
    LONG m_runWord = 0;
    bool m_haveSelector = false;
    LONG m_selector = -1;
    LONG m_handledSelector = -1;  // the selector value the window last followed
    bool m_haveTorqueWord = false;
    LONG m_torqueWord = 0;
    LONG m_shownTorqueWord = -1;
    LONG m_motorType = 0;
    LONG m_hardwareFlags = 0;
    LONG m_torqueOffset = 0;
    CString m_moveFolder;
    CString m_lastQuickBackup;
};
