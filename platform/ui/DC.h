// CDC: a device context. It draws on a window while it paints (CPaintDC), on
// a bitmap selected into a memory context, or nowhere (a context used only to
// measure text and to carry colours, as WM_CTLCOLOR's does). COLORREF is
// 0x00BBGGRR throughout.
#pragma once

#include "Brush.h"
#include "Font.h"
#include "Pen.h"
#include "Rect.h"
#include "Rgn.h"
#include "platform/core/String.h"

class CBitmap;
struct CDCImpl;

constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;
constexpr int LOGPIXELSX = 88;
constexpr int LOGPIXELSY = 90;
constexpr int HORZRES = 8;
constexpr int VERTRES = 10;
constexpr int BITSPIXEL = 12;
constexpr DWORD SRCCOPY = 0x00CC0020;
constexpr UINT DT_TOP = 0x0;
constexpr UINT DT_LEFT = 0x0;
constexpr UINT DT_CENTER = 0x1;
constexpr UINT DT_RIGHT = 0x2;
constexpr UINT DT_VCENTER = 0x4;
constexpr UINT DT_BOTTOM = 0x8;
constexpr UINT DT_WORDBREAK = 0x10;
constexpr UINT DT_SINGLELINE = 0x20;
constexpr UINT DT_EXPANDTABS = 0x40;
constexpr UINT DT_NOCLIP = 0x100;
constexpr UINT DT_CALCRECT = 0x400;
constexpr UINT DT_NOPREFIX = 0x800;
constexpr UINT DT_END_ELLIPSIS = 0x8000;
constexpr ULONG GRADIENT_FILL_RECT_H = 0;
constexpr ULONG GRADIENT_FILL_RECT_V = 1;

using COLOR16 = USHORT;
struct TRIVERTEX {
    LONG x;
    LONG y;
    COLOR16 Red;
    COLOR16 Green;
    COLOR16 Blue;
    COLOR16 Alpha;
};
struct GRADIENT_RECT {
    ULONG UpperLeft;
    ULONG LowerRight;
};
struct TEXTMETRIC {
    LONG tmHeight;
    LONG tmAscent;
    LONG tmDescent;
    LONG tmInternalLeading;
    LONG tmExternalLeading;
    LONG tmAveCharWidth;
    LONG tmMaxCharWidth;
    LONG tmWeight;
};

class CDC {
public:
    CDC();
    virtual ~CDC();
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    HDC m_hDC = nullptr;
    HDC GetSafeHdc() const { return m_hDC; }
    static CDC* FromHandle(HDC dc) { return dc; }

    // A memory context: draws on the bitmap selected into it.
    BOOL CreateCompatibleDC(CDC* dc);
    BOOL DeleteDC();

    CBitmap* SelectObject(CBitmap* bitmap);
    CPen* SelectObject(CPen* pen);
    CBrush* SelectObject(CBrush* brush);
    CFont* SelectObject(CFont* font);
    CGdiObject* SelectStockObject(int index);
    int SelectClipRgn(CRgn* region);
    int IntersectClipRect(int l, int t, int r, int b);
    // The smallest rectangle around what drawing may reach now.
    int GetClipBox(LPRECT rect) const;
    int SaveDC();
    BOOL RestoreDC(int saved);

    COLORREF SetTextColor(COLORREF color);
    COLORREF GetTextColor() const;
    COLORREF SetBkColor(COLORREF color);
    COLORREF GetBkColor() const;
    int SetBkMode(int mode);
    int GetBkMode() const;
    int GetDeviceCaps(int index) const;

    // Drawing. Rectangles exclude their right and bottom edges.
    CPoint MoveTo(int x, int y);
    CPoint MoveTo(POINT p) { return MoveTo(p.x, p.y); }
    BOOL LineTo(int x, int y);
    BOOL LineTo(POINT p) { return LineTo(p.x, p.y); }
    BOOL Polyline(const POINT* points, int count);
    BOOL Polygon(const POINT* points, int count);
    BOOL Rectangle(int l, int t, int r, int b);
    BOOL Rectangle(LPCRECT rect) { return Rectangle(rect->left, rect->top, rect->right, rect->bottom); }
    BOOL RoundRect(int l, int t, int r, int b, int w, int h);
    BOOL RoundRect(LPCRECT rect, POINT corner)
    {
        return RoundRect(rect->left, rect->top, rect->right, rect->bottom, corner.x, corner.y);
    }
    BOOL Ellipse(int l, int t, int r, int b);
    void FillRect(LPCRECT rect, CBrush* brush);
    void FillSolidRect(LPCRECT rect, COLORREF color);
    void FillSolidRect(int x, int y, int cx, int cy, COLORREF color);
    void FrameRect(LPCRECT rect, CBrush* brush);
    void Draw3dRect(LPCRECT rect, COLORREF topLeft, COLORREF bottomRight);
    void DrawFocusRect(LPCRECT rect);
    COLORREF SetPixel(int x, int y, COLORREF color);
    COLORREF GetPixel(int x, int y) const;
    BOOL GradientFill(TRIVERTEX* vertices, ULONG vertexCount, void* mesh, ULONG meshCount, ULONG mode);

    // Text.
    int DrawText(const CString& text, LPRECT rect, UINT format);
    int DrawText(LPCSTR text, int count, LPRECT rect, UINT format);
    BOOL TextOut(int x, int y, const CString& text);
    CSize GetTextExtent(const CString& text) const;
    CSize GetTextExtent(LPCSTR text, int count) const;
    BOOL GetTextMetrics(TEXTMETRIC* metrics) const;

    // Copies a rectangle of a memory context's bitmap here.
    BOOL BitBlt(int x, int y, int width, int height, CDC* source, int xSource, int ySource, DWORD rop);
    BOOL StretchBlt(int x, int y, int width, int height, CDC* source, int xSource, int ySource, int widthSource,
                    int heightSource, DWORD rop);

    CDCImpl* GetImpl() const { return m_impl; }

protected:
    CDCImpl* m_impl;
};
