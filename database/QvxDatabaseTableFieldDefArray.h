// CQvxDatabaseTableFieldDefArray: the owned field definitions of a table; entry i is column i.
#pragma once

#include "QvxDatabaseTableFieldDef.h"
#include "platform/core/Array.h"

class CQvxDatabaseTableFieldDefArray : public CArray<CQvxDatabaseTableFieldDef*, CQvxDatabaseTableFieldDef*> {
public:
    enum SectionResult {
        sectionError = -1,
        sectionMissing = 0,  // the file ended before any <tabledef>
        sectionRead = 1,
        sectionRecordsFirst = 2,  // a record came before </tabledef>
    };

    CQvxDatabaseTableFieldDefArray() = default;
    ~CQvxDatabaseTableFieldDefArray() override;
    CQvxDatabaseTableFieldDefArray(const CQvxDatabaseTableFieldDefArray&) = delete;
    CQvxDatabaseTableFieldDefArray& operator=(const CQvxDatabaseTableFieldDefArray&) = delete;

    void RemoveAll();
    void Swap(CQvxDatabaseTableFieldDefArray& other) noexcept;

    int FindField(const char* name) const;
    CQvxDatabaseTableFieldDef* GetFieldByColumn(int column) const;
    // Same count and, entry by entry, the same names, columns and types.
    bool FieldsEqual(const CQvxDatabaseTableFieldDefArray& other) const;
    void WriteCsvHeader(CStdioFile& file) const;

    // Definitions brought into range are noted in warnings with their line.
    int ReadDefinitionSection(CQvxTableReader& reader, CString* error, CStringList* warnings = nullptr);
    bool WriteDefinitionSection(CStdioFile& file, CString* error) const;
};
