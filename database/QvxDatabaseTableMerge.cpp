// Merging another table into this one under a synchronisation callback.
// Records are found through hash indexes of their key values, so a merge
// costs time in proportion to the records, not to their product.
#include <string>
#include <unordered_map>
#include <vector>

#include "QvxDatabaseTable.h"
#include "database/ErrorResult.h"

namespace {
using dberror::Fail;

using KeyColumns = CQvxDatabaseTableDataRow::KeyColumns;

// A key value that names no record: empty, or the placeholder of a number not yet given.
bool IsPlaceholder(const std::string& value) { return value.empty() || value == "-1"; }

// The key values joined with their lengths, so no two key tuples share a text.
// False when the record lacks a key column: such a record matches nothing. With
// realOnly, a record whose key is a placeholder matches nothing either.
bool MakeKey(const CQvxDatabaseTableDataRow& record, const KeyColumns& columns, std::string& key, bool realOnly)
{
    key.clear();
    for (int column : columns) {
        if (column < 0 || column >= record.values.GetSize())
            return false;
        const std::string& value = record.values[column].str();
        if (realOnly && IsPlaceholder(value))
            return false;
        key += std::to_string(value.size());
        key += ':';
        key += value;
    }
    return true;
}

// The first record of each key, in list order.
class CKeyIndex {
public:
    CKeyIndex(const CQvxDatabaseTableDataRowList& rows, const KeyColumns& columns, bool realOnly)
        : m_columns(columns), m_realOnly(realOnly)
    {
        m_rows.reserve(static_cast<size_t>(rows.GetCount()));
        std::string key;
        for (POSITION pos = rows.GetHeadPosition(); pos;) {
            CQvxDatabaseTableDataRow* row = rows.GetNext(pos);
            if (MakeKey(*row, columns, key, m_realOnly))
                m_rows.emplace(key, row);
        }
    }
    CQvxDatabaseTableDataRow* Find(const CQvxDatabaseTableDataRow& record) const
    {
        std::string key;
        if (!MakeKey(record, m_columns, key, m_realOnly))
            return nullptr;
        const auto it = m_rows.find(key);
        return it == m_rows.end() ? nullptr : it->second;
    }
    void Add(const CQvxDatabaseTableDataRow& record, CQvxDatabaseTableDataRow* row)
    {
        std::string key;
        if (MakeKey(record, m_columns, key, m_realOnly))
            m_rows.emplace(key, row);
    }

private:
    const KeyColumns& m_columns;
    const bool m_realOnly;
    std::unordered_map<std::string, CQvxDatabaseTableDataRow*> m_rows;
};

}  // namespace

bool CQvxDatabaseTable::Merge(const CQvxDatabaseTable& incoming, const CStringList& keyFields,
                              CQvxDatabaseSyncTableCallback* callback, CString* error)
{
    if (!fields.FieldsEqual(incoming.fields))
        return Fail(error, "Incompatible table fields");
    KeyColumns keyColumns;
    for (POSITION pos = keyFields.GetHeadPosition(); pos;) {
        const CString& keyName = keyFields.GetNext(pos);
        const int column = fields.FindField(keyName);
        if (column < 0) {
            CString message;
            message.Format("Unknown field \"%s\"", keyName.GetString());
            return Fail(error, message);
        }
        keyColumns.Add(column);
    }
    // Without keys every record would match every other and the incoming
    // records would all be written over one local record.
    if (keyColumns.IsEmpty())
        return Fail(error, "No key fields given");

    CQvxDatabaseSyncTableCallback defaults;
    CQvxDatabaseSyncTableCallback& cb = callback ? *callback : defaults;
    const bool self = &incoming == this;
    if (database)
        database->OnTableEmptied(this);

    // Deletion pass: local records that the incoming table lacks.
    if (!self) {
        const CKeyIndex incomingIndex(incoming.rows, keyColumns, false);
        for (POSITION pos = rows.GetHeadPosition(); pos;) {
            const POSITION at = pos;
            CQvxDatabaseTableDataRow* row = rows.GetNext(pos);
            if ((row->syncFlags & CQvxDatabaseTableDataRow::syncNoDelete) || incomingIndex.Find(*row))
                continue;
            if (!cb.MayDeleteRecord(this, row))
                continue;
            if (database)
                database->OnRecordDeleted(this, at);
            rows.RemoveAt(at);
            delete row;
            modified = TRUE;
        }
    }

    // Update and insertion pass. An incoming record whose keys repeat those of
    // an earlier new one updates that record: one merge never makes two
    // records with the same keys. A record without a real key is new each time.
    CKeyIndex localIndex(rows, keyColumns, true);
    std::vector<CQvxDatabaseTableDataRow*> pending;
    for (POSITION pos = incoming.rows.GetHeadPosition(); pos;) {
        const CQvxDatabaseTableDataRow* source = incoming.rows.GetNext(pos);
        CQvxDatabaseTableDataRow* local = localIndex.Find(*source);
        if (!local && self)
            local = const_cast<CQvxDatabaseTableDataRow*>(source);  // a record always is itself
        if (local) {
            if (local->syncFlags & CQvxDatabaseTableDataRow::syncNoOverwrite)
                continue;
            if (!cb.MayReplaceRecord(&incoming, source, this, local))
                continue;
            if (local != source)
                local->CopyValues(*source, false);
            cb.OnRecordReplaced(this, local);
            continue;
        }
        if (!cb.MayAddRecord(&incoming, source))
            continue;
        auto* record = new CQvxDatabaseTableDataRow;
        record->InitDefaults(fields);
        record->CopyValues(*source, false);
        cb.OnRecordInserted(this, record);
        pending.push_back(record);
        localIndex.Add(*record, record);
    }

    for (CQvxDatabaseTableDataRow* record : pending) {
        const POSITION at = rows.AddTail(record);
        if (database)
            database->OnRecordAdded(this, at);
    }
    // Incoming ids may repeat local ones: every id column stays distinct.
    RenumberIds();
    modified = TRUE;
    if (database)
        database->OnTableChanged(this);
    return true;
}
