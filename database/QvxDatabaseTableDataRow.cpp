#include "QvxDatabaseTableDataRow.h"

#include "QvxDatabaseTableFieldDefArray.h"

bool CQvxDatabaseTableDataRow::SetValue(int column, const char* text)
{
    if (column < 0 || column >= values.GetSize())
        return false;
    values[column] = text;
    return true;
}

void CQvxDatabaseTableDataRow::InitDefaults(const CQvxDatabaseTableFieldDefArray& fields)
{
    values.RemoveAll();
    for (const CQvxDatabaseTableFieldDef* field : fields)
        values.Add(field->defaultValue);
}

bool CQvxDatabaseTableDataRow::KeysEqual(const CQvxDatabaseTableDataRow& other, const KeyColumns& keyColumns) const
{
    for (int column : keyColumns) {
        if (column < 0 || column >= values.GetSize() || column >= other.values.GetSize())
            return false;
        if (values[column] != other.values[column])
            return false;
    }
    return true;
}

void CQvxDatabaseTableDataRow::CopyValues(const CQvxDatabaseTableDataRow& other, bool withFlags)
{
    for (INT_PTR i = 0; i < other.values.GetSize(); ++i)
        values.SetAtGrow(i, other.values[i]);
    if (withFlags)
        syncFlags = other.syncFlags;
}

namespace {

CString JoinQuoted(const CStringArray& values, const char* separator)
{
    CString text;
    for (INT_PTR i = 0; i < values.GetSize(); ++i) {
        if (i > 0)
            text += separator;
        text += '"';
        text += QvxEscapeQuotes(values[i]);
        text += '"';
    }
    return text;
}

}  // namespace

CString CQvxDatabaseTableDataRow::FormatRecordLine() const
{
    return "{" + JoinQuoted(values, ", ") + "}\n";
}

void CQvxDatabaseTableDataRow::WriteCsvLine(CStdioFile& file) const
{
    file.WriteString(FormatCsvText() + "\n");
}

CString CQvxDatabaseTableDataRow::FormatCsvText() const
{
    return JoinQuoted(values, ",");
}

int CQvxDatabaseTableDataRow::ReadRecord(CQvxTableReader& reader, CString* error, int* valueCount, int* line)
{
    const int columns = static_cast<int>(values.GetSize());
    bool inRecord = false;
    bool quoted = false;       // inside quotes now
    bool valueQuoted = false;  // the current value was quoted: what follows its closing quote is dropped
    CString value;
    int index = 0;
    auto storeValue = [&] {
        // Every value that has a column is kept, whatever the record's length.
        if (index < columns)
            values[index] = value;
        value.Empty();
        valueQuoted = false;
    };

    for (;;) {
        const int ch = reader.GetChar();
        if (ch == CQvxTableReader::kEndOfFile) {
            if (!inRecord)
                return readEndOfFile;
            if (error)
                *error = "Unexpected end of file";
            return readError;
        }
        if (ch == '\r' || ch == '\n')
            continue;
        if (!inRecord) {
            if (ch == '{') {
                inRecord = true;
                if (line)
                    *line = reader.GetLine();
            }
            continue;
        }
        if (ch == '"') {
            if (quoted && reader.PeekChar() == '"') {
                reader.GetChar();  // a doubled quote inside a quoted value is one quote
                value += '"';
            } else if (quoted) {
                quoted = false;
            } else {
                quoted = true;
                valueQuoted = true;
                value.Empty();
            }
            continue;
        }
        if (quoted) {
            value += static_cast<char>(ch);
            continue;
        }
        switch (ch) {
        case ',':
            storeValue();
            ++index;
            break;
        case '{':
            if (error)
                *error = "Unexpected '{'";
            return readError;
        case '}':
            storeValue();
            if (valueCount)
                *valueCount = index + 1;
            return readRecord;
        default:
            if (!valueQuoted)
                value += static_cast<char>(ch);
            break;
        }
    }
}
