// CSize: a SIZE with the class library's operations.
#pragma once

#include "UiTypes.h"

class CSize : public SIZE {
public:
    CSize() : SIZE{0, 0} {}
    CSize(int w, int h) : SIZE{w, h} {}
    CSize(SIZE s) : SIZE(s) {}
    bool operator==(SIZE s) const { return cx == s.cx && cy == s.cy; }
    bool operator!=(SIZE s) const { return !(*this == s); }
};
