// CScopeTraceData: one line of the plot: its Y source and, in X-Y mode, its X source.
#pragma once

#include "platform/core/WinTypes.h"

class CScopeTraceData {
public:
    virtual ~CScopeTraceData() = default;

    int WidthIndex = 0;
    int Enabled = 0;
    int YSourceID = -1;
    int XSourceID = -1;
    DWORD Color = 0x00FF00;  // COLORREF: red in the low byte
    double LastX = 0.0;  // run time only
};
