// CBrush: a solid fill colour, or the hollow brush that fills nothing.
#pragma once

#include "GdiObject.h"

class CBrush : public CGdiObject {
public:
    CBrush() = default;
    explicit CBrush(COLORREF color) { CreateSolidBrush(color); }
    BOOL CreateSolidBrush(COLORREF color)
    {
        m_color = color;
        m_hollow = false;
        MarkCreated();
        return TRUE;
    }
    BOOL CreateHollowBrush()
    {
        m_hollow = true;
        MarkCreated();
        return TRUE;
    }
    COLORREF GetColor() const { return m_color; }
    bool IsHollow() const { return m_hollow; }
    operator HBRUSH() { return m_hObject ? this : nullptr; }

private:
    COLORREF m_color = 0;
    bool m_hollow = false;
};
