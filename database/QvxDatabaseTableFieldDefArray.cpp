#include "QvxDatabaseTableFieldDefArray.h"

#include <memory>
#include <utility>

using Base = CArray<CQvxDatabaseTableFieldDef*, CQvxDatabaseTableFieldDef*>;

CQvxDatabaseTableFieldDefArray::~CQvxDatabaseTableFieldDefArray()
{
    RemoveAll();
}

void CQvxDatabaseTableFieldDefArray::RemoveAll()
{
    for (CQvxDatabaseTableFieldDef* field : *this)
        delete field;
    Base::RemoveAll();
}

void CQvxDatabaseTableFieldDefArray::Swap(CQvxDatabaseTableFieldDefArray& other) noexcept
{
    std::swap(static_cast<Base&>(*this), static_cast<Base&>(other));
}

int CQvxDatabaseTableFieldDefArray::FindField(const char* name) const
{
    for (INT_PTR i = 0; i < GetSize(); ++i) {
        if (GetAt(i)->name == name)
            return static_cast<int>(i);
    }
    return -1;
}

CQvxDatabaseTableFieldDef* CQvxDatabaseTableFieldDefArray::GetFieldByColumn(int column) const
{
    for (CQvxDatabaseTableFieldDef* field : *this) {
        if (field->column == column)
            return field;
    }
    return nullptr;
}

bool CQvxDatabaseTableFieldDefArray::FieldsEqual(const CQvxDatabaseTableFieldDefArray& other) const
{
    if (GetSize() != other.GetSize())
        return false;
    for (INT_PTR i = 0; i < GetSize(); ++i) {
        const CQvxDatabaseTableFieldDef* a = GetAt(i);
        const CQvxDatabaseTableFieldDef* b = other.GetAt(i);
        if (a->name != b->name || a->column != b->column || a->type != b->type)
            return false;
    }
    return true;
}

void CQvxDatabaseTableFieldDefArray::WriteCsvHeader(CStdioFile& file) const
{
    CString line;
    for (INT_PTR i = 0; i < GetSize(); ++i) {
        if (i > 0)
            line += ',';
        // A name holding a separator, quote or line end is quoted so the header reads back to its names.
        const CString& name = GetAt(i)->name;
        if (name.FindOneOf(",\"\r\n") >= 0)
            line += "\"" + QvxEscapeQuotes(name) + "\"";
        else
            line += name;
    }
    file.WriteString(line + "\n");
}

int CQvxDatabaseTableFieldDefArray::ReadDefinitionSection(CQvxTableReader& reader, CString* error,
                                                          CStringList* warnings)
{
    RemoveAll();
    bool begun = false;
    for (;;) {
        auto field = std::make_unique<CQvxDatabaseTableFieldDef>();
        char stray = 0;
        CString message;
        CString warning;
        switch (field->ReadFromTag(reader, &message, &stray, &warning)) {
        case CQvxDatabaseTableFieldDef::tagEndOfFile:
            if (!begun)
                return sectionMissing;
            if (error)
                *error = "</tabledef> expected";
            return sectionError;
        case CQvxDatabaseTableFieldDef::tagError:
            if (begun) {
                if (error)
                    *error = message;
                return sectionError;
            }
            break;
        case CQvxDatabaseTableFieldDef::tagTableDef:
            begun = true;
            break;
        case CQvxDatabaseTableFieldDef::tagTableDefEnd:
            if (begun)
                return sectionRead;
            break;
        case CQvxDatabaseTableFieldDef::tagField:
            if (begun) {
                if (!warning.IsEmpty() && warnings) {
                    CString line;
                    line.Format("Line %d: %s", reader.GetLine(), warning.GetString());
                    warnings->AddTail(line);
                }
                field->column = static_cast<LONG>(GetSize());
                Add(field.release());
            }
            break;
        case CQvxDatabaseTableFieldDef::tagStrayChar:
            if (stray == '{')
                return sectionRecordsFirst;
            break;
        }
    }
}

bool CQvxDatabaseTableFieldDefArray::WriteDefinitionSection(CStdioFile& file, CString* error) const
{
    try {
        file.WriteString("<tabledef>\n");
        for (const CQvxDatabaseTableFieldDef* field : *this) {
            if (!field->WriteTag(file, error))
                return false;
        }
        file.WriteString("</tabledef>\n\n");
        return true;
    } catch (const CFileException&) {
        if (error)
            *error = "Could not write to file";
        return false;
    }
}
