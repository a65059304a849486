// CQvxDatabaseTableFieldDef: the definition of one field (column) of a table.
#pragma once

#include <memory>

#include "QvxDatabaseTableSelectionItem.h"
#include "QvxTableReader.h"
#include "platform/core/List.h"
#include "platform/core/StdioFile.h"

class CQvxDatabaseTableFieldDef {
public:
    enum Type { typeUnassigned = 0, typeString = 1, typeNumeric = 2, typeSelector = 3, typeAutoIncId = 4 };
    enum Flags : DWORD { flagReadOnly = 0x1, flagNoShow = 0x2 };
    enum TagResult {
        tagError = -1,
        tagEndOfFile = 0,
        tagTableDef = 1,
        tagTableDefEnd = 2,
        tagField = 3,
        tagStrayChar = 4,
    };
    using SelectionList = CList<CQvxDatabaseTableSelectionItem>;
    // Digits beyond what a double holds only cost time and memory when shown.
    static constexpr LONG kMaxDecimalDigits = 17;

    CQvxDatabaseTableFieldDef() = default;
    virtual ~CQvxDatabaseTableFieldDef() = default;
    CQvxDatabaseTableFieldDef(const CQvxDatabaseTableFieldDef&) = delete;
    CQvxDatabaseTableFieldDef& operator=(const CQvxDatabaseTableFieldDef&) = delete;

    bool GetSelectionItem(int index, CQvxDatabaseTableSelectionItem& item) const;
    bool IsSelector() const { return type == typeSelector && selections; }
    // A Numeric value as a number with the field's decimal digits; others unchanged.
    CString FormatValue(const CString& value) const;

    static CString TypeName(int typeCode);
    // The code of "Numeric", "String", "Selector" or "AutoIncID" in any case; -1 otherwise.
    static int ParseType(const char* text);

    // Reads one tag; fills this definition when it is a field tag. A value
    // that was brought into range is noted in warning.
    int ReadFromTag(CQvxTableReader& reader, CString* error, char* stray = nullptr, CString* warning = nullptr);
    // The definition's line in the table file, without the line end.
    CString FormatTag() const;
    bool WriteTag(CStdioFile& file, CString* error) const;

    CString name;
    CString description;
    LONG column = -1;
    LONG type = typeUnassigned;
    LONG decimalDigits = -1;
    DWORD flags = 0;
    std::unique_ptr<SelectionList> selections;
    CString defaultValue;

private:
    bool ReadAttributes(const CMapStringToString& attributes, CString* error, CString* warning);
    bool ReadSelections(const CString& text, CString* error);
};

// A value for a quoted text in a table file: each double quote doubled.
CString QvxEscapeQuotes(const CString& text);
