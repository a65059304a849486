// CDPropertyList: an ordered bag of uniquely named values held as text, with
// typed setters and getters. Names compare exactly; a getter leaves its
// destination alone when the name is missing.
#pragma once

#include "DProperty.h"
#include "platform/core/List.h"

class CDPropertyList {
public:
    CDPropertyList() = default;
    virtual ~CDPropertyList();
    CDPropertyList(const CDPropertyList&) = delete;
    CDPropertyList& operator=(const CDPropertyList&) = delete;

    int SetString(const char* name, const char* value);
    int SetDouble(const char* name, double value);
    int SetInt(const char* name, int value);
    int SetLong(const char* name, long value);

    int GetString(const char* name, CString& value) const;
    int GetDouble(const char* name, double& value) const;
    int GetInt(const char* name, int& value) const;
    int GetLong(const char* name, long& value) const;

    int Remove(const char* name);
    void RemoveAll();
    int GetCount() const { return m_properties.GetCount(); }
    POSITION GetHeadPosition() const { return m_properties.GetHeadPosition(); }
    const CDProperty* GetNext(POSITION& pos) const { return m_properties.GetNext(pos); }

    // The element count, then each property as an archived object. A load
    // replaces the whole list; one that fails leaves the list as it was.
    void Serialize(CArchive& ar);

private:
    CDProperty* Find(const char* name) const;
    CDProperty* FindOrAdd(const char* name);

    CList<CDProperty*, CDProperty*> m_properties;
};
