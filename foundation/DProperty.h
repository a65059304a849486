// CDProperty: one named value of a property bag, kept as text.
#pragma once

#include "platform/core/Archive.h"
#include "platform/core/Object.h"
#include "platform/core/String.h"

class CDProperty : public CObject {
    DECLARE_SERIAL(CDProperty)
public:
    CDProperty() = default;
    explicit CDProperty(const CString& name) : m_name(name) {}

    void Serialize(CArchive& ar) override;

    CString m_name;
    CString m_value;
};
