// CTavroIoFunctionDefinition: one drive function a pin may carry, with its
// named bits (outputs), duplication and active-level rules and status bit.
#pragma once

#include "platform/core/List.h"
#include "platform/core/Map.h"
#include "platform/core/String.h"

class CTavroIoFunctionDefinition {
public:
    virtual ~CTavroIoFunctionDefinition() = default;

    bool HasNamedBits() const { return !m_bitOrder.IsEmpty(); }
    // The name, and for a named bit ":" and the bit's name ("<Unknown>" when it has none).
    CString FormatName(int bit) const;
    // Reads "Function<index>" (and its bit keys); 0 on any missing or empty value.
    int Parse(const CString& file, const CString& section, int index, bool hasBits, bool hasCanDupField,
              bool hasSetActiveField);

    int m_number = 0;
    CString m_name;
    CMap<int, int, CString, const CString&> m_bitNames;
    CList<int> m_bitOrder;
    int m_canDuplicate = 0;
    int m_setActive = 0;
    int m_hasStatusBit = 0;
    int m_shown = 0;
    int m_statusBit = 0;
};
