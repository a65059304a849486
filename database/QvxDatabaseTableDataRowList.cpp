#include "QvxDatabaseTableDataRowList.h"

#include <memory>

#include "QvxDatabaseTableFieldDefArray.h"

using Base = CList<CQvxDatabaseTableDataRow*, CQvxDatabaseTableDataRow*>;

CQvxDatabaseTableDataRowList::~CQvxDatabaseTableDataRowList()
{
    RemoveAll();
}

void CQvxDatabaseTableDataRowList::RemoveAll()
{
    while (!IsEmpty())
        delete RemoveHead();
}

CQvxDatabaseTableDataRow* CQvxDatabaseTableDataRowList::FindByKeys(
    const CQvxDatabaseTableDataRow& record, const CQvxDatabaseTableDataRow::KeyColumns& keyColumns) const
{
    for (POSITION pos = GetHeadPosition(); pos;) {
        CQvxDatabaseTableDataRow* row = GetNext(pos);
        if (row->KeysEqual(record, keyColumns))
            return row;
    }
    return nullptr;
}

void CQvxDatabaseTableDataRowList::WriteRecordLines(CStdioFile& file) const
{
    for (POSITION pos = GetHeadPosition(); pos;)
        file.WriteString(GetNext(pos)->FormatRecordLine());
}

void CQvxDatabaseTableDataRowList::WriteCsvLines(CStdioFile& file) const
{
    for (POSITION pos = GetHeadPosition(); pos;)
        GetNext(pos)->WriteCsvLine(file);
}

int CQvxDatabaseTableDataRowList::ReadRecords(const CQvxDatabaseTableFieldDefArray& fields, CQvxTableReader& reader,
                                              CString* error, CStringList* warnings)
{
    RemoveAll();
    const int columns = static_cast<int>(fields.GetSize());
    for (;;) {
        auto row = std::make_unique<CQvxDatabaseTableDataRow>();
        row->InitDefaults(fields);
        int count = 0;
        int line = 0;
        const int result = row->ReadRecord(reader, error, &count, &line);
        if (result != CQvxDatabaseTableDataRow::readRecord)
            return result;
        if (count != columns && warnings) {
            CString warning;
            warning.Format("Line %d: the record holds %d values for %d fields.", line, count, columns);
            warnings->AddTail(warning);
        }
        AddTail(row.release());
    }
}
