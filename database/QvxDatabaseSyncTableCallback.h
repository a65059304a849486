// CQvxDatabaseSyncTableCallback: what a merge asks and tells the one who
// started it. Every operation has a default, so a callback overrides only
// what it needs.
#pragma once

class CQvxDatabaseTable;
class CQvxDatabaseTableDataRow;

class CQvxDatabaseSyncTableCallback {
public:
    virtual ~CQvxDatabaseSyncTableCallback() = default;
    virtual bool MayDeleteRecord(CQvxDatabaseTable* /*localTable*/, CQvxDatabaseTableDataRow* /*localRecord*/)
    {
        return true;
    }
    virtual bool MayReplaceRecord(const CQvxDatabaseTable* /*incomingTable*/,
                                  const CQvxDatabaseTableDataRow* /*incomingRecord*/,
                                  CQvxDatabaseTable* /*localTable*/, CQvxDatabaseTableDataRow* /*localRecord*/)
    {
        return true;
    }
    virtual bool MayAddRecord(const CQvxDatabaseTable* /*incomingTable*/,
                              const CQvxDatabaseTableDataRow* /*incomingRecord*/)
    {
        return true;
    }
    // After the local record took the incoming values.
    virtual void OnRecordReplaced(CQvxDatabaseTable* /*localTable*/, CQvxDatabaseTableDataRow* /*localRecord*/) {}
    // Before the new record joins the table.
    virtual void OnRecordInserted(CQvxDatabaseTable* /*localTable*/, CQvxDatabaseTableDataRow* /*newRecord*/) {}
};
