#include "QvxDatabaseTableFieldDef.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

#include "foundation/TextHelpers.h"
#include "database/ErrorResult.h"

namespace {
using dberror::Fail;

bool IsTrue(const CMapStringToString& attributes, const char* key)
{
    CString value;
    return attributes.Lookup(key, value) && value.CompareNoCase("TRUE") == 0;
}

}  // namespace

CString QvxEscapeQuotes(const CString& text)
{
    CString escaped = text;
    escaped.Replace("\"", "\"\"");
    return escaped;
}

bool CQvxDatabaseTableFieldDef::GetSelectionItem(int index, CQvxDatabaseTableSelectionItem& item) const
{
    if (!selections)
        return false;
    const POSITION pos = selections->FindIndex(index);
    if (!pos)
        return false;
    item = selections->GetAt(pos);
    return true;
}

CString CQvxDatabaseTableFieldDef::FormatValue(const CString& value) const
{
    if (type != typeNumeric)
        return value;
    return FormatDouble(std::atof(value), std::clamp(decimalDigits, -kMaxDecimalDigits, kMaxDecimalDigits));
}

CString CQvxDatabaseTableFieldDef::TypeName(int typeCode)
{
    switch (typeCode) {
    case typeUnassigned: return "Unassigned";
    case typeString: return "String";
    case typeNumeric: return "Numeric";
    case typeSelector: return "Selector";
    case typeAutoIncId: return "AutoIncID";
    default: return "Invalid Data Type";
    }
}

int CQvxDatabaseTableFieldDef::ParseType(const char* text)
{
    for (int code : {typeString, typeNumeric, typeSelector, typeAutoIncId}) {
        if (TypeName(code).CompareNoCase(text) == 0)
            return code;
    }
    return -1;
}

int CQvxDatabaseTableFieldDef::ReadFromTag(CQvxTableReader& reader, CString* error, char* stray, CString* warning)
{
    CMapStringToString attributes;
    const int result = reader.ReadTag(attributes, error, stray);
    if (result == CQvxTableReader::tagEndOfFile)
        return tagEndOfFile;
    if (result == CQvxTableReader::tagError)
        return tagError;
    if (result == CQvxTableReader::tagStrayChar)
        return tagStrayChar;
    if (attributes.PLookup("tabledef"))
        return tagTableDef;
    if (attributes.PLookup("/tabledef"))
        return tagTableDefEnd;
    return ReadAttributes(attributes, error, warning) ? tagField : tagError;
}

bool CQvxDatabaseTableFieldDef::ReadAttributes(const CMapStringToString& attributes, CString* error,
                                               CString* warning)
{
    CString value;
    if (!attributes.Lookup("fieldname", name))
        return Fail(error, "Missing 'fieldname' attribute");
    if (!attributes.Lookup("fielddesc", description))
        description.Empty();

    if (!attributes.Lookup("type", value))
        return Fail(error, "Missing 'type' attribute");
    type = ParseType(value);
    if (type < 0)
        return Fail(error, "Invalid 'type' attribute: " + value);
    if (type == typeAutoIncId)
        flags |= flagReadOnly;

    decimalDigits = -1;
    if (attributes.Lookup("decdigits", value)) {
        if (type != typeNumeric)
            return Fail(error, "'decdigits' attribute does not apply non-numeric types");
        const long digits = std::strtol(value, nullptr, 10);
        decimalDigits = static_cast<LONG>(std::clamp<long>(digits, -kMaxDecimalDigits, kMaxDecimalDigits));
        if (digits != decimalDigits && warning)
            warning->Format("the field \"%s\" asks for %s decimal digits; %d are used.", name.GetString(),
                            value.GetString(), static_cast<int>(decimalDigits));
    }
    if (attributes.Lookup("selections", value)) {
        if (type != typeSelector)
            return Fail(error, "'selections' attribute does not apply non-selector type");
        if (!ReadSelections(value, error))
            return false;
    }
    if (attributes.Lookup("default", value)) {
        if (type == typeAutoIncId)
            return Fail(error, "'default' attribute does not apply to 'AutoIncID' data type");
        defaultValue = value;
    }
    if (IsTrue(attributes, "readonly"))
        flags |= flagReadOnly;
    if (IsTrue(attributes, "noshow"))
        flags |= flagNoShow;
    return true;
}

bool CQvxDatabaseTableFieldDef::ReadSelections(const CString& text, CString* error)
{
    // The writer gives a selector without a list an empty value; it reads back as no list.
    if (text.IsEmpty()) {
        selections.reset();
        return true;
    }
    auto list = std::make_unique<SelectionList>();
    int start = 0;
    while (start <= text.GetLength()) {
        int end = text.Find('\\', start);
        if (end < 0)
            end = text.GetLength();
        const CString item = text.Mid(start, end - start);
        const int open = item.Find('[');
        const int close = item.Find(']');
        if (open < 0)
            return Fail(error, "'[' expected in selector value");
        if (close < 0)
            return Fail(error, "']' expected in selector value");
        if (close < open)
            return Fail(error, "Syntax error in selector value");
        CQvxDatabaseTableSelectionItem selection;
        // Read as atoi would, but a value past an int is refused instead of wrapping.
        const long long value = std::strtoll(item.Mid(open + 1), nullptr, 10);
        if (value < INT_MIN || value > INT_MAX)
            return Fail(error, "Selection value out of range in selector value");
        selection.value = static_cast<int>(value);
        selection.text = item.Left(open) + item.Mid(close + 1);
        list->AddTail(selection);
        start = end + 1;
    }
    selections = std::move(list);
    return true;
}

CString CQvxDatabaseTableFieldDef::FormatTag() const
{
    CString line = "<";
    line.AppendFormat("fieldname=\"%s\"", QvxEscapeQuotes(name).GetString());
    line.AppendFormat(", fielddesc=\"%s\"", QvxEscapeQuotes(description).GetString());
    CString typeName = TypeName(type);
    line.AppendFormat(", type=%s", typeName.MakeUpper().GetString());
    if (type == typeNumeric)
        line.AppendFormat(", decdigits=%d", decimalDigits);
    if (type == typeSelector) {
        line += ", selections=\"";
        if (selections) {
            bool first = true;
            for (POSITION pos = selections->GetHeadPosition(); pos;) {
                const CQvxDatabaseTableSelectionItem& item = selections->GetNext(pos);
                if (!first)
                    line += '\\';
                line.AppendFormat("%s[%d]", QvxEscapeQuotes(item.text).GetString(), item.value);
                first = false;
            }
        }
        line += '"';
    }
    if (type != typeAutoIncId)
        line.AppendFormat(", default=\"%s\"", QvxEscapeQuotes(defaultValue).GetString());
    if (flags & flagReadOnly)
        line += ", readonly=\"TRUE\"";
    if (flags & flagNoShow)
        line += ", noshow=\"TRUE\"";
    line += '>';
    return line;
}

bool CQvxDatabaseTableFieldDef::WriteTag(CStdioFile& file, CString* error) const
{
    try {
        file.WriteString(FormatTag() + "\n");
        return true;
    } catch (const CFileException&) {
        return Fail(error, "Could not write to file");
    }
}
