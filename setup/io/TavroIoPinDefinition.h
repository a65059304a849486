// CTavroIoPinDefinition: one digital pin of a Tavro drive as the factory file
// defines it: its name, connector labels, state bit, level style and the
// functions it may carry.
#pragma once

#include "platform/core/Collections.h"
#include "platform/core/String.h"

class CTavroIoPinDefinition {
public:
    virtual ~CTavroIoPinDefinition() = default;

    // "HIGH"/"LOW" for style 1, "ON"/"OFF" for style 2, "<ERROR>" otherwise.
    CString GetStateText(int level) const;
    // Reads a pin value: name, number, then level style "A<n>", labels "P<text>",
    // ranges "<a>-<b>" and single function numbers.
    int Parse(const CString& text);
    CString GetLabelsText() const;

    CString m_name;
    CStringList m_labels;
    CList<int> m_allowedFunctions;
    int m_number = 0;
    int m_levelStyle = 1;
};

// The bit of the drive's 32-bit state word for a pin or status bit number;
// 0 for a number outside the word, so nothing shifts past it.
unsigned int StateWordBit(int number);
