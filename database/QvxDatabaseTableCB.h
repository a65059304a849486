// CQvxDatabaseTableCB: what a table tells the database that owns it, so the
// recordsets over the table can follow.
#pragma once

class CQvxDatabaseTable;

class CQvxDatabaseTableCB {
public:
    virtual ~CQvxDatabaseTableCB() = default;
    // Every record is about to go: recordsets drop their entries.
    virtual void OnTableEmptied(CQvxDatabaseTable* /*table*/) {}
    // Records changed: recordsets query again.
    virtual void OnTableChanged(CQvxDatabaseTable* /*table*/) {}
    // The table was loaded afresh: the recordsets' clients are told.
    virtual void OnTableReloaded(CQvxDatabaseTable* /*table*/) {}
};
