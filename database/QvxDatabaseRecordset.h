// CQvxDatabaseRecordset: a sorted and filtered view of a table's records. Each
// entry is a record's key (its position in the table's record list). The
// current record's values are held in an edit buffer while they are edited.
#pragma once

#include "QvxDatabaseComboTarget.h"
#include "QvxDatabaseRecordsetClientList.h"
#include "QvxDatabaseTable.h"
#include "platform/core/List.h"

class CQvxDatabase;

class CQvxDatabaseRecordset : public CList<POSITION, POSITION> {
public:
    CQvxDatabaseRecordset() = default;
    // Detaches every client still attached.
    ~CQvxDatabaseRecordset() override;
    CQvxDatabaseRecordset(const CQvxDatabaseRecordset&) = delete;
    CQvxDatabaseRecordset& operator=(const CQvxDatabaseRecordset&) = delete;

    BOOL Open(const char* table, const char* sort, const char* field, const char* value, int mode);
    // Null arguments keep the stored settings; mode -1 keeps the stored mode.
    BOOL Requery(const char* sort = nullptr, const char* field = nullptr, const char* value = nullptr, int mode = -1);

    BOOL GetFieldValueAt(BOOL display, int column, CString& text) const;
    BOOL GetFieldValue(const char* fieldName, BOOL display, CString& text) const;
    BOOL SetFieldValueAt(const char* value, int column);
    BOOL SetFieldValue(const char* fieldName, const char* value);
    BOOL Update();
    void CancelUpdate();

    BOOL MoveNext();
    BOOL MovePrev();
    BOOL MoveFirst();
    BOOL MoveLast();
    BOOL FindFirstAt(const char* value, int column);
    BOOL FindFirst(const char* fieldName, const char* value);
    BOOL SelectByRowKey(POSITION key);
    BOOL AddNew();
    BOOL Delete();

    BOOL GetDistinctValues(CStringList& list, int column, BOOL clear) const;
    BOOL GetDistinctValues(CStringList& list, const char* fieldName, BOOL clear) const;
    BOOL ExportJson(CString& text) const;
    // The combo's items: per entry the raw values of the columns joined by the
    // separator, with the record's key as item data; selects the current one.
    BOOL FillComboBox(CQvxDatabaseComboTarget& combo, const CList<int, int>& columns, const char* separator) const;
    void NotifyClientsRefresh();

    // The record of an entry, and the current record (null without one).
    CQvxDatabaseTableDataRow* GetRecord(POSITION entry) const;
    CQvxDatabaseTableDataRow* GetCurrentRecord() const { return current ? GetRecord(current) : nullptr; }
    POSITION GetCurrentKey() const { return current ? GetAt(current) : nullptr; }

    // Called by the database to carry another recordset's changes here.
    void RemoveEntry(POSITION entry, bool deleteRecord);
    void DropAllEntries();
    void AppendKey(POSITION key);
    void ReloadCurrent();
    void TellClients(void (CQvxDatabaseRecordsetClient::*notice)());

    CString name;
    CString tableName;
    CString sortSpec;
    CString filterField;
    CString filterValue;
    LONG filterMode = 0;
    CQvxDatabaseTableDataRow editBuffer;
    CQvxDatabase* database = nullptr;
    CQvxDatabaseTable* table = nullptr;
    CList<int, int> sortColumns;
    POSITION current = nullptr;
    CQvxDatabaseRecordsetClientList clients;
    BOOL editChanged = FALSE;

private:
    bool ParseSortSpec();
    void SortEntries();
    void MakeCurrent(POSITION entry);
    BOOL MoveTo(POSITION entry);
};
