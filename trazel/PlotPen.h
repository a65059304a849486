// CPlotPen: a trace's marker, a triangle that points at the trace's value at
// the current time, and the gap mark the trace gives each new point.
#pragma once

#include "platform/core/Object.h"
#include "platform/ui/UiTypes.h"

class CArchive;
class CPlotTrace;

class CPlotPen : public CObject {
    DECLARE_SERIAL(CPlotPen)

public:
    enum Shape { shapeTriangle = 1 };

    CPlotPen() = default;
    void Serialize(CArchive& ar) override;

    COLORREF m_color = 0x64C864;
    short m_nWidth = 10;
    short m_nHeight = 10;
    short m_nShape = shapeTriangle;
    int m_bEnable = 1;
    BYTE m_gapMark = 0;
    // Where the marker was last placed, in pixels.
    int m_x = 0;
    int m_y = 0;
    CPlotTrace* m_pOwner = nullptr;
};
