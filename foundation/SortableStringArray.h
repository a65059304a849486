// CSortableStringArray: a string array sorted once it is full.
#pragma once

#include "platform/core/Collections.h"

class CSortableStringArray : public CStringArray {
public:
    ~CSortableStringArray() override = default;
    // Ascending by case-sensitive Compare.
    void Sort();
};
