// CRgn: a clipping region: a rectangle, a rounded rectangle or an ellipse.
#pragma once

#include "GdiObject.h"
#include "Rect.h"

class CRgn : public CGdiObject {
public:
    enum class Shape { Rect, RoundRect, Ellipse };

    BOOL CreateRectRgn(int l, int t, int r, int b) { return Make(Shape::Rect, CRect(l, t, r, b), 0, 0); }
    BOOL CreateRectRgnIndirect(LPCRECT rect) { return rect ? Make(Shape::Rect, CRect(rect), 0, 0) : FALSE; }
    BOOL CreateRoundRectRgn(int l, int t, int r, int b, int w, int h)
    {
        return Make(Shape::RoundRect, CRect(l, t, r, b), w, h);
    }
    BOOL CreateEllipticRgn(int l, int t, int r, int b) { return Make(Shape::Ellipse, CRect(l, t, r, b), 0, 0); }
    BOOL PtInRegion(int x, int y) const { return m_hObject && m_rect.PtInRect(CPoint(x, y)); }

    Shape GetShape() const { return m_shape; }
    const CRect& GetRect() const { return m_rect; }
    CSize GetCorner() const { return m_corner; }

private:
    BOOL Make(Shape shape, const CRect& rect, int w, int h)
    {
        m_shape = shape;
        m_rect = rect;
        m_corner = CSize(w, h);
        MarkCreated();
        return TRUE;
    }
    Shape m_shape = Shape::Rect;
    CRect m_rect;
    CSize m_corner;
};

constexpr int RGN_AND = 1;
constexpr int RGN_COPY = 5;
constexpr int NULLREGION = 1;
constexpr int SIMPLEREGION = 2;
constexpr int COMPLEXREGION = 3;
constexpr int RGN_ERROR = 0;
