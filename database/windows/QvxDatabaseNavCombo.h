// CQvxDatabaseNavCombo: a combo box listing a recordset's records; picking
// one makes it the recordset's current record. Each item shows the record's
// values of the chosen columns joined by " - " and carries the record's key.
#pragma once

#include "database/QvxDatabaseRecordset.h"
#include "database/QvxDatabaseRecordsetClient.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/MessageMap.h"

class CQvxDatabaseNavCombo : public CComboBox, public CQvxDatabaseRecordsetClient {
public:
    static constexpr const char* kSeparator = " - ";

    CQvxDatabaseNavCombo() = default;
    ~CQvxDatabaseNavCombo() override;

    // Shows column 1 of each record.
    BOOL SetRecordset(CQvxDatabaseRecordset* recordset);
    BOOL SetRecordsetColumns(CQvxDatabaseRecordset* recordset, const CList<int, int>& columnList);
    // Names are turned into columns; an unknown name fails the call and attaches nothing.
    BOOL SetRecordsetFields(const CStringList& fieldNames, CQvxDatabaseRecordset* recordset);
    void DetachRecordset();
    BOOL Refill();

    void OnFieldValueSet(int column, const char* value) override;
    void OnCurrentRecordChanged() override { Refill(); }
    void OnRequeried() override { Refill(); }
    void OnRecordRemoved() override { Refill(); }
    void OnRecordAdded() override { Refill(); }

    CList<int, int> columns;

protected:
    void OnSelChange();
    DECLARE_MESSAGE_MAP()
};
