// CQvxDatabaseTableCB: what a table tells the database that owns it, so the
// recordsets over the table can follow.
#pragma once

#include "platform/core/WinTypes.h"

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
    // One record's values were changed in place.
    virtual void OnRecordUpdated(CQvxDatabaseTable* /*table*/, POSITION /*key*/) {}
    // One record is leaving the table (its key is its list position).
    virtual void OnRecordDeleted(CQvxDatabaseTable* /*table*/, POSITION /*key*/) {}
    // One record joined the table at the end.
    virtual void OnRecordAdded(CQvxDatabaseTable* /*table*/, POSITION /*key*/) {}
};
