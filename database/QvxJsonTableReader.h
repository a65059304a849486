// CQvxJsonTableReader: reads the records of a table's JSON form into a list
// of their own, so a text that fails leaves the table as it was. The text must
// be strict JSON in ASCII (other bytes arrive as \u00XX escapes) laid out as
// the table writes it: an object holding one array of record objects, each a
// flat object of field names and texts, numbers or true/false.
#pragma once

#include "QvxDatabaseTable.h"

class CQvxJsonTableReader {
public:
    explicit CQvxJsonTableReader(const CQvxDatabaseTable& table);

    // Reads text from start; the records go to rows (emptied first) with ids
    // drawn from ids. False with the message and its line in error.
    bool Read(const CString& text, int start, CQvxDatabaseTableDataRowList& rows, CMap<int, int, int, int>& ids,
              CString& arrayName, CString& error);

private:
    const CQvxDatabaseTable& m_table;
};
