// Reading a window's look from its pixels: a window rendered into a bitmap as
// the screen would show it, and colours compared with a tolerance (text and
// gradients are drawn smoothed, so few pixels are exactly their colour).
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/ui/Bitmap.h"
#include "platform/ui/DC.h"
#include "platform/ui/Wnd.h"

inline void Render(CWnd& wnd, CBitmap& image)
{
    CRect r;
    wnd.GetClientRect(&r);
    ASSERT_TRUE(image.CreateCompatibleBitmap(nullptr, r.Width(), r.Height()));
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    dc.SelectObject(&image);
    ASSERT_TRUE(wnd.PrintWindow(&dc, PW_CLIENTONLY));
    dc.SelectObject(static_cast<CBitmap*>(nullptr));
}

inline bool Near(COLORREF a, COLORREF b, int tolerance = 8)
{
    return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance && std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}
