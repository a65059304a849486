// CPoint: a POINT with the class library's operations.
#pragma once

#include "UiTypes.h"

class CPoint : public POINT {
public:
    CPoint() : POINT{0, 0} {}
    CPoint(int px, int py) : POINT{px, py} {}
    CPoint(POINT p) : POINT(p) {}
    explicit CPoint(LPARAM lp) : POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)} {}
    void Offset(int dx, int dy) { x += dx; y += dy; }
    CPoint operator+(POINT p) const { return CPoint(x + p.x, y + p.y); }
    CPoint operator-(POINT p) const { return CPoint(x - p.x, y - p.y); }
    CPoint& operator+=(POINT p) { Offset(p.x, p.y); return *this; }
    CPoint& operator-=(POINT p) { Offset(-p.x, -p.y); return *this; }
    bool operator==(POINT p) const { return x == p.x && y == p.y; }
    bool operator!=(POINT p) const { return !(*this == p); }
};
