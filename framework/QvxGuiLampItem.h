// CQvxGuiLampItem: one lamp of a lamp group, lit by a bit mask of the value.
#pragma once

#include "platform/core/String.h"
#include "platform/core/WinTypes.h"
#include "platform/ui/UiTypes.h"

class CDC;
class CFont;

class CQvxGuiLampItem {
public:
    // 1 when it painted; an unchanged state paints nothing unless forced.
    int Draw(CDC* dc, const RECT& rect, int state, int force);

    DWORD m_mask = 0;
    CString m_onText;
    CString m_offText;
    COLORREF m_onColour = RGB(0, 255, 0);
    COLORREF m_offColour = RGB(128, 128, 128);
    COLORREF m_onTextColour = RGB(0, 0, 0);
    COLORREF m_offTextColour = RGB(255, 255, 255);
    UINT m_format = 1;
    CFont* m_font = nullptr;
    int m_lastState = -1;
};
