// CQvxGuiUpdateList: a two-column list (label, value) of drive settings.
// Its rows come from the "!EXTPROC:" lines of a backup template that its
// private engine runs against the drive, or from the fields of a recordset.
// It polls each row's value, lets the user change it in place, through a
// drop-down, the "Modify Drive Setting" dialog or the keys, holds changes in
// hold mode until the window's send, and can restore them.
#pragma once

#include <memory>

#include "QvxGuiControl.h"
#include "QvxGuiUpdateListCallback.h"
#include "QvxGuiUpdateListDataList.h"
#include "QvxGuiUpdateListEngine.h"
#include "QvxGuiUpdateListItemCustomSelectionMap.h"
#include "backup/AmpBackupToolExtProcessorCB.h"
#include "controls/DListComboCtrl.h"
#include "platform/core/Map.h"
#include "platform/core/Mutex.h"

class CQvxDatabase;
class CQvxDatabaseTableFieldDef;
class CQvxDatabaseTableFieldDefArray;

class CQvxGuiUpdateList : public CDListComboCtrl,
                          public CQvxGuiControl,
                          public CAmpBackupToolExtProcessorCB,
                          public CDListComboCtrlCB {
public:
    enum ListFlags { kTypeValues = 0x1, kEditRows = 0x2, kNoStartupBuild = 0x4, kHoldChanges = 0x8 };
    enum SourceMode { kDefinitionMode = 1, kRecordsetMode = 2 };
    enum MenuIds { kMenuModify = 10000, kMenuRestore = 10002, kMenuRestoreAll = 10003, kMenuChoice = 10010 };
    static constexpr int kColours = 9;

    CQvxGuiUpdateList();
    ~CQvxGuiUpdateList() override;

    // CAmpBackupToolExtProcessorCB
    int ProcessExtLine(const char* text) override;
    int SendCommand(const CAmpQryCmdFromGui& query, CAmpResponseToGui& response) override
    {
        return OnExtResponse(query, response);
    }
    int GetNamedValue(const char* name, double& value) override { return GetExtValue(name, value); }
    void ResetExtProcessor();
    int OnExtResponse(const CAmpQryCmdFromGui& query, CAmpResponseToGui& reply);
    int GetExtValue(const char* name, double& value);

    // CQvxGuiControl
    int BindRecordsetField(CQvxDatabaseRecordset*, const char*) override { return 0; }
    int BindRecordsetFieldAt(CQvxDatabaseRecordset*, int) override { return 0; }
    void UnbindRecordset() override {}
    void Initialise() override;
    void Shutdown() override;
    void StoreResponse(const CAmpResponseToGui& response) override;
    void OnFirstUpdate() override;
    void OnUpdateControls() override;
    CWnd* GetWnd() override { return this; }
    void ProcessResponses() override;
    int SendValue() override;
    // Held changes count as unsent settings when the window closes.
    int IsModified() override { return GetModifiedCount() > 0; }

    // CQvxDatabaseRecordsetClient
    void OnBeforeSelect() override { EndEdit(TRUE); }
    void OnCurrentRecordChanged() override { RefreshRecordset(false); }
    void OnRecordUpdated() override { RefreshRecordset(false); }
    void OnRequeried() override { RefreshRecordset(false); }
    void OnRecordRemoved() override { RefreshRecordset(false); }
    void OnRecordAdded() override { RefreshRecordset(false); }
    void OnTableReloaded() override { RefreshRecordset(true); }

    // CDListComboCtrlCB
    int GetItemSelection(CDListComboCtrl* list, int row, int column) override;
    void OnItemSelectionChanged(CDListComboCtrl* list, int row, int column, int index, BOOL unchanged) override;
    CString GetItemText(CDListComboCtrl*, int, int) override { return CString(); }
    int PreCommitEdit(CDListComboCtrl*, LVITEM*) override { return 0; }
    int GetColumnEditType(CDListComboCtrl* list, int row, int column) override;

    // CReportCtrl
    BOOL CanEditSubItem(int row, int column) override;
    void OnEndEdit(int row, int column, CString text, BOOL changed) override;
    BOOL PreTranslateMessage(MSG* msg) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

    void SetDefinition(const char* text);
    int LoadDefinition();
    void SetTemplateVariable(const char* name, const char* value);
    void BindRecordset(CQvxDatabaseRecordset* recordset);
    void ResizeColumns();
    int GetModifiedCount();
    void SetupSelectionCells();
    void RestoreRow(int index);
    void RestoreAllRows();
    // 1 when the row's value was sent (or held).
    int ModifyRow(int index);
    // The value keys on the selected line: space, '+' and '-'; 1 when handled.
    int HandleValueKey(UINT key);
    // The context menu of a line: the entries it would show (id, text, checked).
    struct MenuEntry {
        UINT id;
        CString text;
        int checked;
    };
    std::vector<MenuEntry> BuildContextMenu(int line);
    void OnContextCommand(int line, UINT id);
    // Tab and Shift+Tab; 1 when the selection moved.
    int MoveByTab(bool backwards);

    // Row lookups; the pointer stays valid until the rows are rebuilt.
    CQvxGuiUpdateListData* GetRowAtLine(int line);
    CQvxGuiUpdateListData* GetRowById(const char* id);
    int GetSelectedLine() const;
    int GetRowCount();
    COLORREF GetColour(int index) const { return index >= 0 && index < kColours ? m_colours[index] : 0; }
    double GetColumnSize() const { return m_columnSize; }
    // As a definition's "COLUMNSIZE:" line sets it: mode 1 in pixels, else percent of the width.
    void SetColumnSize(double size, int mode)
    {
        m_columnSize = size;
        m_columnMode = mode;
    }
    int GetColumnMode() const { return m_columnMode; }
    int IsRebuildPending() const { return m_rebuildPending; }
    CQvxGuiUpdateListItemCustomSelectionMap& GetCustomSelections() { return m_customSelections; }
    CQvxGuiUpdateListEngine* GetEngine() const { return m_engine.get(); }

    // The database whose recordsets "RECSETFIELD:" lines and value names refer to.
    void SetDatabase(CQvxDatabase* database) { m_database = database; }

    int m_readOnly = 0;
    CQvxGuiUpdateListCallback* m_callback = nullptr;

    void OnChar(UINT ch, UINT repeat, UINT flags);
    void OnDoubleClick(NMHDR* header, LRESULT* result);
    void OnRightClick(NMHDR* header, LRESULT* result);

private:
    struct StoredReply {
        CAmpResponseToGui reply;
        int received = 0;
    };

    int ListDrive() const;
    // The item data a line was given (the report keeps it in its own record).
    int LineData(int line) const
    {
        const REPORTITEMDATA* record = RecordOf(line);
        return record ? static_cast<int>(record->dwData) : -1;
    }
    bool IsDriveEnabled() const;
    bool IsEditable(const CQvxGuiUpdateListData* row) const;
    bool MayWriteNow(const CQvxGuiUpdateListData* row) const;
    bool IsImmediate(const CQvxGuiUpdateListData* row) const;
    void Tell(const CQvxGuiUpdateListData* row, const CString& oldText, const CString& newText, int byUser);
    void WriteCell(int line, const CString& text);
    void Build(int drive);
    void FillLines();
    void PollRows();
    void RefreshRows();
    void RefreshRecordReferences();
    void RefreshRecordset(bool rebuild);
    void RebuildRecordsetLines();
    int SendRow(CQvxGuiUpdateListData* row, double value);
    bool ClampToRange(CQvxGuiUpdateListData* row, double& value, bool& adjusted, double& low, double& high);
    void TellAdjusted(const CQvxGuiUpdateListData* row, double low, double high);
    bool ExpandLimit(const CString& text, int digits, double& value);
    bool WithinRange(CQvxGuiUpdateListData* row, double value);
    CString FormatRowValue(const CQvxGuiUpdateListData* row, double value) const;
    void HoldChange(CQvxGuiUpdateListData* row, int line, const CString& previous, const CString& text);
    void ApplyValueColour(CQvxGuiUpdateListData* row);
    const CQvxDatabaseTableFieldDef* FieldOfLine(int line) const;
    bool ChoicesOfLine(int line, CStringArray& texts);
    void CancelReplies();
    int ApplyRowLine(const CString& line);

    CMutex m_rowLock;
    CQvxGuiUpdateListDataList m_rows;
    CQvxGuiUpdateListData* m_current = nullptr;
    int m_oneShot = 0;
    COLORREF m_colours[kColours];
    double m_columnSize = 20.0;
    int m_columnMode = 0;
    CQvxGuiUpdateListItemCustomSelectionMap m_customSelections;
    CString m_definition;
    int m_sourceMode = kDefinitionMode;
    std::unique_ptr<CQvxGuiUpdateListEngine> m_engine;
    int m_queryPeriod = 100;
    CMutex m_replyLock;
    std::vector<std::unique_ptr<StoredReply>> m_replies;
    CMap<int, int, StoredReply*, StoredReply*> m_replyById;
    CMap<CString, const char*, StoredReply*, StoredReply*> m_replyByKey;
    int m_editRow = -1;
    CString m_editStartText;
    int m_menuRow = -1;
    int m_builtForDrive = -1;
    int m_rebuildPending = 0;
    int m_internalUpdate = 0;
    int m_inEndEdit = 0;
    int m_expansionOneShot = 0;
    const CQvxDatabaseTableFieldDefArray* m_fields = nullptr;
    CQvxDatabase* m_database = nullptr;

    DECLARE_MESSAGE_MAP()
};
