#include "QvxDatabaseRecordset.h"

#include <algorithm>
#include <vector>

#include "QvxDatabase.h"
#include "foundation/TextHelpers.h"

CQvxDatabaseRecordset::~CQvxDatabaseRecordset()
{
    clients.DetachAll();
}

CQvxDatabaseTableDataRow* CQvxDatabaseRecordset::GetRecord(POSITION entry) const
{
    return table->rows.GetAt(GetAt(entry));
}

void CQvxDatabaseRecordset::TellClients(void (CQvxDatabaseRecordsetClient::*notice)())
{
    clients.ForEach([notice](CQvxDatabaseRecordsetClient& client) { (client.*notice)(); });
}

BOOL CQvxDatabaseRecordset::Open(const char* tableName_, const char* sort, const char* field, const char* value,
                                 int mode)
{
    tableName = tableName_;
    table = database ? database->FindTable(tableName) : nullptr;
    if (!table)
        return FALSE;
    return Requery(sort ? sort : "", field ? field : "", value ? value : "", mode);
}

bool CQvxDatabaseRecordset::ParseSortSpec()
{
    sortColumns.RemoveAll();
    int start = 0;
    for (;;) {
        CString part = sortSpec.Tokenize(",", start);
        if (start < 0)
            return true;
        part.Trim();
        if (part.IsEmpty())
            continue;
        const int column = table->fields.FindField(part);
        if (column < 0) {
            sortColumns.RemoveAll();
            return false;
        }
        sortColumns.AddTail(column);
    }
}

BOOL CQvxDatabaseRecordset::Requery(const char* sort, const char* field, const char* value, int mode)
{
    if (!table)
        return FALSE;
    Update();
    const POSITION keep = GetCurrentKey();
    current = nullptr;
    if (sort)
        sortSpec = sort;
    if (!ParseSortSpec())
        return FALSE;
    if (field) {
        if (!value)
            return FALSE;
        filterField = field;
        filterValue = value;
    }
    if (mode != -1)
        filterMode = mode;

    int filterColumn = -1;
    CString wanted;
    const CQvxDatabaseTableFieldDef* filterDef = nullptr;
    if (!filterField.IsEmpty()) {
        filterColumn = table->fields.FindField(filterField);
        if (filterColumn < 0)
            return FALSE;
        filterDef = table->fields.GetAt(filterColumn);
        wanted = filterDef->FormatValue(filterValue);
    }

    RemoveAll();
    for (POSITION pos = table->rows.GetHeadPosition(); pos;) {
        const POSITION key = pos;
        const CQvxDatabaseTableDataRow* record = table->rows.GetNext(pos);
        if (filterDef) {
            // A record lacking the column is taken as empty.
            const CString value_ = filterColumn < record->values.GetSize() ? record->values[filterColumn] : CString();
            const bool equal = filterDef->FormatValue(value_) == wanted;
            if (equal != (filterMode == 0))
                continue;
        }
        AddTail(key);
    }
    SortEntries();

    const POSITION entry = keep ? Find(keep) : nullptr;
    if (entry)
        MakeCurrent(entry);
    else
        MoveFirst();
    TellClients(&CQvxDatabaseRecordsetClient::OnRequeried);
    return TRUE;
}

void CQvxDatabaseRecordset::SortEntries()
{
    if (sortColumns.IsEmpty() || GetCount() < 2)
        return;
    std::vector<std::pair<POSITION, const CQvxDatabaseTableDataRow*>> entries;
    entries.reserve(static_cast<size_t>(GetCount()));
    for (POSITION pos = GetHeadPosition(); pos;) {
        const POSITION key = GetNext(pos);
        entries.emplace_back(key, table->rows.GetAt(key));
    }
    std::vector<int> columns;
    for (POSITION pos = sortColumns.GetHeadPosition(); pos;)
        columns.push_back(sortColumns.GetNext(pos));
    static const CString empty;
    auto valueOf = [](const CQvxDatabaseTableDataRow* row, int column) -> const CString& {
        return column < row->values.GetSize() ? row->values[column] : empty;
    };
    std::stable_sort(entries.begin(), entries.end(), [&](const auto& a, const auto& b) {
        for (int column : columns) {
            const int order = valueOf(a.second, column).Compare(valueOf(b.second, column));
            if (order != 0)
                return order < 0;
        }
        return false;
    });
    RemoveAll();
    for (const auto& entry : entries)
        AddTail(entry.first);
}

void CQvxDatabaseRecordset::MakeCurrent(POSITION entry)
{
    current = entry;
    ReloadCurrent();
}

void CQvxDatabaseRecordset::ReloadCurrent()
{
    editBuffer.values.RemoveAll();
    if (const CQvxDatabaseTableDataRow* record = GetCurrentRecord())
        editBuffer.values.Copy(record->values);
}

BOOL CQvxDatabaseRecordset::GetFieldValueAt(BOOL display, int column, CString& text) const
{
    if (!current) {
        text = "<NO DATA>";
        return TRUE;
    }
    if (column < 0 || column >= editBuffer.values.GetSize()) {
        text = "<INVALID FIELD>";
        return TRUE;
    }
    text = editBuffer.values[column];
    if (display) {
        if (const CQvxDatabaseTableFieldDef* field = table->fields.GetFieldByColumn(column))
            text = field->FormatValue(text);
    }
    return TRUE;
}

BOOL CQvxDatabaseRecordset::GetFieldValue(const char* fieldName, BOOL display, CString& text) const
{
    if (!current) {
        text = "<NO DATA>";
        return TRUE;
    }
    return GetFieldValueAt(display, table ? table->fields.FindField(fieldName) : -1, text);
}

BOOL CQvxDatabaseRecordset::SetFieldValueAt(const char* value, int column)
{
    if (column < 0 || column >= editBuffer.values.GetSize())
        return FALSE;
    if (editBuffer.values[column] != value)
        editChanged = TRUE;
    editBuffer.values[column] = value;
    const CString text = value;
    clients.ForEach([&](CQvxDatabaseRecordsetClient& client) { client.OnFieldValueSet(column, text); });
    return TRUE;
}

BOOL CQvxDatabaseRecordset::SetFieldValue(const char* fieldName, const char* value)
{
    return table ? SetFieldValueAt(value, table->fields.FindField(fieldName)) : FALSE;
}

BOOL CQvxDatabaseRecordset::Update()
{
    CQvxDatabaseTableDataRow* record = GetCurrentRecord();
    if (!record || editBuffer.values.IsEmpty())
        return FALSE;
    if (StringArraysEqual(editBuffer.values, record->values))
        return TRUE;
    record->values.Copy(editBuffer.values);
    table->modified = TRUE;
    editChanged = FALSE;
    TellClients(&CQvxDatabaseRecordsetClient::OnRecordUpdated);
    if (database)
        database->RecordUpdated(table, GetCurrentKey(), this);
    return TRUE;
}

void CQvxDatabaseRecordset::CancelUpdate()
{
    ReloadCurrent();
    TellClients(&CQvxDatabaseRecordsetClient::OnCurrentRecordChanged);
}

BOOL CQvxDatabaseRecordset::MoveTo(POSITION entry)
{
    Update();
    MakeCurrent(entry);
    TellClients(&CQvxDatabaseRecordsetClient::OnCurrentRecordChanged);
    return TRUE;
}

BOOL CQvxDatabaseRecordset::MoveNext()
{
    if (!current || IsEmpty())
        return FALSE;
    POSITION next = current;
    GetNext(next);
    return next ? MoveTo(next) : FALSE;
}

BOOL CQvxDatabaseRecordset::MovePrev()
{
    if (!current || IsEmpty())
        return FALSE;
    POSITION prev = current;
    GetPrev(prev);
    return prev ? MoveTo(prev) : FALSE;
}

BOOL CQvxDatabaseRecordset::MoveFirst()
{
    if (IsEmpty() || current == GetHeadPosition())
        return FALSE;
    return MoveTo(GetHeadPosition());
}

BOOL CQvxDatabaseRecordset::MoveLast()
{
    if (IsEmpty() || current == GetTailPosition())
        return FALSE;
    return MoveTo(GetTailPosition());
}

BOOL CQvxDatabaseRecordset::FindFirstAt(const char* value, int column)
{
    if (!table || column < 0 || column >= table->fields.GetSize())
        return FALSE;
    for (POSITION pos = GetHeadPosition(); pos;) {
        const POSITION entry = pos;
        const CQvxDatabaseTableDataRow* record = GetRecord(entry);
        GetNext(pos);
        if (column < record->values.GetSize() && record->values[column] == value) {
            if (!Update())
                return FALSE;
            MakeCurrent(entry);
            TellClients(&CQvxDatabaseRecordsetClient::OnCurrentRecordChanged);
            return TRUE;
        }
    }
    return FALSE;
}

BOOL CQvxDatabaseRecordset::FindFirst(const char* fieldName, const char* value)
{
    return table ? FindFirstAt(value, table->fields.FindField(fieldName)) : FALSE;
}

BOOL CQvxDatabaseRecordset::SelectByRowKey(POSITION key)
{
    const POSITION entry = Find(key);
    if (!entry)
        return FALSE;
    TellClients(&CQvxDatabaseRecordsetClient::OnBeforeSelect);
    Update();
    MakeCurrent(entry);
    TellClients(&CQvxDatabaseRecordsetClient::OnCurrentRecordChanged);
    return TRUE;
}

BOOL CQvxDatabaseRecordset::AddNew()
{
    if (!table)
        return FALSE;
    Update();
    POSITION key = nullptr;
    if (!table->CreateRecord(&key))
        return FALSE;
    MakeCurrent(AddTail(key));
    if (database)
        database->RecordAdded(table, key, this);
    TellClients(&CQvxDatabaseRecordsetClient::OnRecordAdded);
    return TRUE;
}

BOOL CQvxDatabaseRecordset::Delete()
{
    if (!current)
        return FALSE;
    RemoveEntry(current, true);
    return TRUE;
}

void CQvxDatabaseRecordset::RemoveEntry(POSITION entry, bool deleteRecord)
{
    const POSITION key = GetAt(entry);
    if (entry == current) {
        POSITION next = entry;
        GetNext(next);
        POSITION prev = entry;
        GetPrev(prev);
        current = next ? next : prev;
    }
    RemoveAt(entry);
    if (deleteRecord) {
        // The others drop their entries before the record goes.
        if (database)
            database->RecordDeleted(table, key, this);
        delete table->rows.GetAt(key);
        table->rows.RemoveAt(key);
        table->modified = TRUE;
    }
    ReloadCurrent();
    TellClients(&CQvxDatabaseRecordsetClient::OnRecordRemoved);
}

void CQvxDatabaseRecordset::DropAllEntries()
{
    RemoveAll();
    current = nullptr;
    editBuffer.values.RemoveAll();
    TellClients(&CQvxDatabaseRecordsetClient::OnRecordRemoved);
}

void CQvxDatabaseRecordset::AppendKey(POSITION key)
{
    AddTail(key);
}

BOOL CQvxDatabaseRecordset::GetDistinctValues(CStringList& list, int column, BOOL clear) const
{
    if (clear)
        list.RemoveAll();
    for (POSITION pos = GetHeadPosition(); pos;) {
        const CQvxDatabaseTableDataRow* record = GetRecord(pos);
        GetNext(pos);
        if (column < 0 || column >= record->values.GetSize())
            return FALSE;
        if (!list.Find(record->values[column]))
            list.AddTail(record->values[column]);
    }
    return TRUE;
}

BOOL CQvxDatabaseRecordset::GetDistinctValues(CStringList& list, const char* fieldName, BOOL clear) const
{
    const int column = table ? table->fields.FindField(fieldName) : -1;
    if (column < 0)
        return FALSE;
    return GetDistinctValues(list, column, clear);
}

BOOL CQvxDatabaseRecordset::ExportJson(CString& text) const
{
    if (!table)
        return FALSE;
    CQvxDatabaseTable::CRowRefList records;
    for (POSITION pos = GetHeadPosition(); pos;) {
        records.AddTail(GetRecord(pos));
        GetNext(pos);
    }
    table->ExportJsonRecords(text, &records);
    return TRUE;
}

BOOL CQvxDatabaseRecordset::FillComboBox(CQvxDatabaseComboTarget& combo, const CList<int, int>& columns,
                                         const char* separator) const
{
    combo.ResetContent();
    for (POSITION pos = GetHeadPosition(); pos;) {
        const POSITION key = GetAt(pos);
        const CQvxDatabaseTableDataRow* record = GetRecord(pos);
        GetNext(pos);
        CString text;
        bool first = true;
        for (POSITION c = columns.GetHeadPosition(); c;) {
            const int column = columns.GetNext(c);
            if (column < 0 || column >= record->values.GetSize())
                return FALSE;
            if (!first)
                text += separator;
            first = false;
            text += record->values[column];
        }
        combo.SetItemData(combo.AddString(text), reinterpret_cast<DWORD_PTR>(key));
    }
    const POSITION key = GetCurrentKey();
    return key && combo.SelectItemByData(reinterpret_cast<DWORD_PTR>(key));
}

void CQvxDatabaseRecordset::NotifyClientsRefresh()
{
    TellClients(&CQvxDatabaseRecordsetClient::OnRefresh);
}
