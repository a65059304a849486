// CQvxDatabaseTableDataRow: one record of a table, a text per column.
#pragma once

#include "QvxTableReader.h"
#include "platform/core/Array.h"
#include "platform/core/Collections.h"
#include "platform/core/StdioFile.h"

class CQvxDatabaseTableFieldDefArray;

class CQvxDatabaseTableDataRow {
public:
    enum SyncFlags : DWORD { syncNoOverwrite = 0x1, syncNoDelete = 0x2, syncCloud = 0x4 | 0x8 };
    enum ReadResult { readError = -1, readEndOfFile = 0, readRecord = 1 };
    using KeyColumns = CArray<int, int>;

    CQvxDatabaseTableDataRow() = default;
    virtual ~CQvxDatabaseTableDataRow() = default;

    bool SetValue(int column, const char* text);
    void InitDefaults(const CQvxDatabaseTableFieldDefArray& fields);
    bool KeysEqual(const CQvxDatabaseTableDataRow& other, const KeyColumns& keyColumns) const;
    void CopyValues(const CQvxDatabaseTableDataRow& other, bool withFlags);

    // {"a", "b"} with its line end.
    CString FormatRecordLine() const;
    void WriteCsvLine(CStdioFile& file) const;
    // "a","b" without a line end.
    CString FormatCsvText() const;

    // Reads the next record from "{" to "}" into the values InitDefaults
    // prepared. valueCount receives how many values the record held and line
    // the line of its "{", so a caller can report a record that does not fit.
    int ReadRecord(CQvxTableReader& reader, CString* error, int* valueCount = nullptr, int* line = nullptr);

    CStringArray values;
    DWORD syncFlags = 0;
};
