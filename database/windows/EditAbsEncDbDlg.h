// CEditAbsEncDbDlg: the absolute-encoder database window. It browses and edits
// the encoder table one record at a time, marks records for submission to the
// maker's cloud service, submits them, refreshes the table from the service
// and imports and exports records as JSON. The application keeps one window
// object for the program's life; closing the window only hides it.
#pragma once

#include "database/QvxDatabaseRecordsetClient.h"
#include "database/QvxDatabaseSyncTableCallback.h"
#include "database/windows/QvxDatabaseNavCombo.h"
#include "database/windows/WindowActionGuard.h"
#include "foundation/SortableStringArray.h"
#include "framework/QvxGuiUpdateList.h"
#include "platform/ui/CmdUI.h"
#include "platform/ui/Dialog.h"

class CQvxDatabase;

class CEditAbsEncDbDlg : public CDialog,
                         public CQvxDatabaseRecordsetClient,
                         public CQvxDatabaseSyncTableCallback {
public:
    static constexpr const char* kTableName = "AbsEncDB";
    static constexpr const char* kRecordsetName = "EditAbsEncDlg";
    static constexpr const char* kTempRecordsetName = "ABSENCDLG_TEMP";
    static constexpr const char* kSortSpec = "Manufacturer,Model";
    static constexpr const char* kAddManufacturer = "Add Manufacturer...";
    static constexpr const char* kNoRecordset = "No recordset found (223).  Please contact Quorvex.";
    static constexpr int kMinWidth = 260;
    static constexpr int kMinHeight = 200;

    explicit CEditAbsEncDbDlg(CWnd* parent = nullptr);
    ~CEditAbsEncDbDlg() override;

    // The main frame's question before the program closes: asks about unsaved
    // changes, saves on Yes; false when the user cancelled or the save failed,
    // and while a cloud request waits.
    bool CanClose();

    BOOL OnInitDialog() override;
    // Enter only commits the cell being edited; the window stays.
    void OnOK() override;
    // The close box and Escape: asks about unsaved changes, then hides; while
    // a cloud request waits, once it has ended.
    void OnCancel() override;
    BOOL OnCmdMsg(UINT id, int code) override;

    // What the recordset tells.
    void OnFieldValueSet(int column, const char* value) override;
    void OnCurrentRecordChanged() override { UpdateEnabling(); }
    void OnRequeried() override { UpdateEnabling(); }
    void OnRecordRemoved() override { UpdateEnabling(); }
    void OnRecordAdded() override { UpdateEnabling(); }
    void OnTableReloaded() override { UpdateEnabling(); }

    // What an import's merge asks and tells.
    bool MayDeleteRecord(CQvxDatabaseTable*, CQvxDatabaseTableDataRow*) override { return false; }
    bool MayReplaceRecord(const CQvxDatabaseTable*, const CQvxDatabaseTableDataRow*, CQvxDatabaseTable*,
                          CQvxDatabaseTableDataRow*) override
    {
        return m_overwrite != 0;
    }
    bool MayAddRecord(const CQvxDatabaseTable*, const CQvxDatabaseTableDataRow*) override { return true; }
    void OnRecordReplaced(CQvxDatabaseTable* localTable, CQvxDatabaseTableDataRow* localRecord) override;
    void OnRecordInserted(CQvxDatabaseTable* localTable, CQvxDatabaseTableDataRow* newRecord) override;

    void OnFirst();
    void OnPrevious();
    void OnNext();
    void OnLast();
    void OnAdd();
    void OnDelete();
    void OnWrite();
    void OnSubmitToggle();
    void OnAddManufacturer();
    void OnSizeColumns();
    void OnFileSave();
    void OnFileRestore();
    void OnFileImport();
    void OnFileExport();
    void OnCloudRefresh();
    void OnCloudSubmit();
    void OnView(UINT id);
    void OnUpdateFileSave(CCmdUI* ui);
    void OnUpdateView(CCmdUI* ui);
    void OnUpdateWhenIdle(CCmdUI* ui);
    // A cloud request of this window waits now.
    bool IsBusy() const { return m_guard.IsBusy(); }
    void OnSize(UINT type, int cx, int cy);
    void OnGetMinMaxInfo(MINMAXINFO* info);
    // The record list's line showing a field; -1 when it shows none.
    int LineOfField(const char* name) const;

    CString m_viewFilter = "All";
    CSortableStringArray m_addedNames;
    CSortableStringArray m_replacedNames;
    int m_overwrite = 0;
    int m_readOnly = 1;
    CQvxGuiUpdateList m_list;
    CQvxDatabaseNavCombo m_selector;
    // The record the last "Add" made; naming its manufacturer fills it instead of adding another.
    POSITION m_addedKey = nullptr;

protected:
    DECLARE_MESSAGE_MAP()

private:
    struct Placement {
        UINT id;
        CRect rect;
    };

    CQvxDatabase* Database() const;
    // The recordset; null after the message saying there is none.
    CQvxDatabaseRecordset* RecordsetOrSay() const;
    CQvxDatabaseTable* Table() const;
    bool HasPendingEdit() const;
    CString CurrentValue(const char* field) const;
    void BuildManufacturerChoices();
    void UpdateEnabling();
    void EnableButton(UINT id, bool enable);
    // Moves, adds or writes after committing the record list's edit.
    void ApplyToRecordset(BOOL (CQvxDatabaseRecordset::*operation)());
    // Runs a cloud action under the guard, then any close asked for meanwhile.
    void RunCloudAction(void (CEditAbsEncDbDlg::*action)());
    void SubmitToServer();
    void RefreshFromServer();
    // Asks about unsaved changes; reloads the table afterwards when the window closes.
    bool QueryClose(bool reload);
    bool SaveTable();
    bool NetworkReady();
    int CountReadyRecords();
    void NoteMergedRecord(CQvxDatabaseTable* table, CQvxDatabaseTableDataRow* record, CSortableStringArray& names);
    CString FormatImportReport() const;

    CRect m_initialClient;
    std::vector<Placement> m_placements;
    CWindowActionGuard m_guard;
};
