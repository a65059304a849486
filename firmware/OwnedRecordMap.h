// COwnedRecordMap: a name to record map that owns its records; a record made
// through GetOrCreate carries its own name in the member Key.
#pragma once

#include <vector>

#include "platform/core/Map.h"
#include "platform/core/String.h"

template <class Record, CString Record::*Key>
class COwnedRecordMap : public CMap<CString, LPCSTR, Record*, Record*> {
public:
    COwnedRecordMap() = default;
    ~COwnedRecordMap() override { DeleteAll(); }
    COwnedRecordMap(const COwnedRecordMap&) = delete;
    COwnedRecordMap& operator=(const COwnedRecordMap&) = delete;

    Record* Find(const CString& name) const
    {
        Record* record = nullptr;
        return this->Lookup(name, record) ? record : nullptr;
    }
    Record* GetOrCreate(const CString& name)
    {
        if (Record* known = Find(name))
            return known;
        auto* record = new Record;
        record->*Key = name;
        this->SetAt(name, record);
        return record;
    }
    // In insertion order.
    std::vector<CString> GetNames() const
    {
        std::vector<CString> names;
        for (auto [name, record] : *this)
            names.push_back(name);
        return names;
    }
    void DeleteAll()
    {
        for (auto [name, record] : *this)
            delete record;
        this->RemoveAll();
    }
};
