// CPen: a line style, width and colour.
#pragma once

#include "GdiObject.h"

constexpr int PS_SOLID = 0;
constexpr int PS_DASH = 1;
constexpr int PS_DOT = 2;
constexpr int PS_DASHDOT = 3;
constexpr int PS_NULL = 5;

class CPen : public CGdiObject {
public:
    CPen() = default;
    CPen(int style, int width, COLORREF color) { CreatePen(style, width, color); }
    BOOL CreatePen(int style, int width, COLORREF color)
    {
        m_style = style;
        m_width = width;
        m_color = color;
        MarkCreated();
        return TRUE;
    }
    int GetStyle() const { return m_style; }
    int GetWidth() const { return m_width; }
    COLORREF GetColor() const { return m_color; }

private:
    int m_style = PS_SOLID;
    int m_width = 1;
    COLORREF m_color = 0;
};
