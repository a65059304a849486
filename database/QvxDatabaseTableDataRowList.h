// CQvxDatabaseTableDataRowList: the owned records of a table, in order.
#pragma once

#include "QvxDatabaseTableDataRow.h"
#include "platform/core/List.h"

class CQvxDatabaseTableFieldDefArray;

class CQvxDatabaseTableDataRowList : public CList<CQvxDatabaseTableDataRow*, CQvxDatabaseTableDataRow*> {
public:
    CQvxDatabaseTableDataRowList() = default;
    ~CQvxDatabaseTableDataRowList() override;
    CQvxDatabaseTableDataRowList(const CQvxDatabaseTableDataRowList&) = delete;
    CQvxDatabaseTableDataRowList& operator=(const CQvxDatabaseTableDataRowList&) = delete;

    void RemoveAll();

    CQvxDatabaseTableDataRow* FindByKeys(const CQvxDatabaseTableDataRow& record,
                                         const CQvxDatabaseTableDataRow::KeyColumns& keyColumns) const;
    void WriteRecordLines(CStdioFile& file) const;
    void WriteCsvLines(CStdioFile& file) const;

    // Reads records to the end of the file (0) or the first error (-1). A
    // record whose value count differs from the field count is kept as far as
    // it goes, and its line is reported in warnings when given.
    int ReadRecords(const CQvxDatabaseTableFieldDefArray& fields, CQvxTableReader& reader, CString* error,
                    CStringList* warnings = nullptr);
};
