#include <gtest/gtest.h>

#include <unistd.h>

#include "testing/UiPrinters.h"
#include "platform/ui/Bitmap.h"
#include "platform/ui/DC.h"
#include "platform/ui/PaintDC.h"
#include "platform/ui/UserInput.h"
#include "platform/ui/WinApp.h"
#include "testing/TempDir.h"

namespace {
class Canvas {
public:
    Canvas(int w, int h)
    {
        EXPECT_TRUE(bitmap.CreateCompatibleBitmap(nullptr, w, h));
        dc.CreateCompatibleDC(nullptr);
        old = dc.SelectObject(&bitmap);
        dc.FillSolidRect(CRect(0, 0, w, h), RGB(255, 255, 255));
    }
    COLORREF At(int x, int y) { return bitmap.GetPixel(x, y); }
    CBitmap bitmap;
    CDC dc;
    CBitmap* old = nullptr;
};

// A window that paints itself in its WM_PAINT handler.
class CSwatch : public CWnd {
public:
    int paints = 0;
    CRect painted;  // the part the last paint was asked for

protected:
    void OnPaint()
    {
        CPaintDC dc(this);
        ++paints;
        painted = dc.m_ps.rcPaint;
        CRect r;
        GetClientRect(&r);
        dc.FillSolidRect(&r, RGB(0, 128, 0));
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CSwatch, CWnd)
    ON_WM_PAINT()
END_MESSAGE_MAP()
}  // namespace

TEST(DCTest, ColoursAreBlueGreenRedAndShapesStayInsideTheirRectangles)
{
    Canvas c(40, 40);
    c.dc.FillSolidRect(CRect(0, 0, 10, 10), RGB(255, 0, 0));
    EXPECT_EQ(c.At(9, 9), RGB(255, 0, 0));
    EXPECT_EQ(c.At(10, 10), RGB(255, 255, 255)) << "right and bottom edges are outside";
    EXPECT_EQ(RGB(255, 0, 0), 0x0000FFu);

    CPen pen(PS_SOLID, 1, RGB(0, 0, 255));
    CBrush brush(RGB(0, 255, 0));
    CPen* oldPen = c.dc.SelectObject(&pen);
    CBrush* oldBrush = c.dc.SelectObject(&brush);
    c.dc.Rectangle(20, 20, 30, 30);
    EXPECT_EQ(c.At(20, 20), RGB(0, 0, 255));
    EXPECT_EQ(c.At(29, 29), RGB(0, 0, 255));
    EXPECT_EQ(c.At(25, 25), RGB(0, 255, 0));
    EXPECT_EQ(c.At(30, 30), RGB(255, 255, 255));
    c.dc.SelectStockObject(NULL_BRUSH);
    c.dc.Rectangle(0, 20, 10, 30);
    EXPECT_EQ(c.At(5, 25), RGB(255, 255, 255)) << "the hollow brush fills nothing";
    c.dc.SelectObject(oldPen);
    c.dc.SelectObject(oldBrush);
}

TEST(DCTest, GradientClippingAndCopies)
{
    Canvas c(20, 100);
    TRIVERTEX v[2] = {{0, 0, 0xFF00, 0, 0, 0}, {20, 100, 0, 0, 0xFF00, 0}};
    GRADIENT_RECT g{0, 1};
    ASSERT_TRUE(c.dc.GradientFill(v, 2, &g, 1, GRADIENT_FILL_RECT_V));
    EXPECT_GT(GetRValue(c.At(10, 1)), 240);
    EXPECT_GT(GetBValue(c.At(10, 98)), 240);
    EXPECT_FALSE(c.dc.GradientFill(v, 2, &g, 1, 7));

    CRgn round;
    round.CreateRoundRectRgn(0, 0, 20, 20, 10, 10);
    c.dc.SelectClipRgn(&round);
    c.dc.FillSolidRect(CRect(0, 0, 20, 20), RGB(1, 2, 3));
    c.dc.SelectClipRgn(nullptr);
    EXPECT_EQ(c.At(10, 10), RGB(1, 2, 3));
    EXPECT_NE(c.At(0, 0), RGB(1, 2, 3)) << "the rounded corner is clipped away";

    Canvas copy(20, 20);
    ASSERT_TRUE(copy.dc.BitBlt(0, 0, 20, 20, &c.dc, 0, 0, SRCCOPY));
    EXPECT_EQ(copy.At(10, 10), RGB(1, 2, 3));
}

TEST(DCTest, TextIsAlignedMeasuredAndMappedFontsAreThere)
{
    Canvas c(200, 40);
    CFont arial, courier;
    arial.CreatePointFont(100, "Arial");
    courier.CreatePointFont(100, "Courier New");
    c.dc.SelectObject(&courier);
    EXPECT_EQ(c.dc.GetTextExtent("iiii").cx, c.dc.GetTextExtent("MMMM").cx) << "Courier New maps to a fixed face";
    c.dc.SelectObject(&arial);
    EXPECT_LT(c.dc.GetTextExtent("iiii").cx, c.dc.GetTextExtent("MMMM").cx);
    EXPECT_EQ(AfxMapFontFace("MS Sans Serif"), "Liberation Sans");
    EXPECT_EQ(AfxMapFontFace("Courier New"), "Liberation Mono");
    TEXTMETRIC tm{};
    c.dc.GetTextMetrics(&tm);
    EXPECT_EQ(tm.tmHeight - tm.tmInternalLeading, MulDiv(10, 96, 72)) << "a negative height is the character height";

    CRect calc(0, 0, 0, 0);
    c.dc.DrawText("Speed", &calc, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(calc.Width(), c.dc.GetTextExtent("Speed").cx);
    c.dc.SetBkMode(TRANSPARENT);
    c.dc.SetTextColor(RGB(0, 0, 0));
    CRect right(0, 0, 200, 40);
    c.dc.DrawText("W", &right, DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
    bool inkRight = false, inkLeft = false;
    for (int x = 0; x < 200; ++x)
        for (int y = 0; y < 40; ++y)
            if (c.At(x, y) != RGB(255, 255, 255))
                (x > 180 ? inkRight : inkLeft) = true;
    EXPECT_TRUE(inkRight);
    EXPECT_FALSE(inkLeft);
}


TEST(DCTest, EscapementTurnsTextCounterclockwiseAboutItsStart)
{
    Canvas c(100, 100);
    CFont turned;
    turned.CreateFont(-20, 0, 900, 900, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial");
    c.dc.SelectObject(&turned);
    c.dc.SetBkMode(TRANSPARENT);
    const CSize extent = c.dc.GetTextExtent("HHHH");
    c.dc.TextOut(40, 90, "HHHH");
    // Written upward from (40, 90): ink right of x = 40 and above y = 90, taller than wide.
    int left = 100, right = -1, top = 100, bottom = -1;
    for (int x = 0; x < 100; ++x)
        for (int y = 0; y < 100; ++y)
            if (c.At(x, y) != RGB(255, 255, 255)) {
                left = std::min(left, x), right = std::max(right, x);
                top = std::min(top, y), bottom = std::max(bottom, y);
            }
    EXPECT_GE(left, 40);
    EXPECT_LE(right, 40 + extent.cy);
    EXPECT_LE(bottom, 90);
    EXPECT_GE(top, 90 - extent.cx);
    EXPECT_GT(bottom - top, 2 * (right - left));
}
TEST(DCTest, WindowPaintHandlerDrawsWhatTheImageShows)
{
    CSwatch swatch;
    ASSERT_TRUE(swatch.CreateEx(0, nullptr, "Swatch", WS_POPUP | WS_VISIBLE, CRect(0, 0, 30, 20), nullptr, 0));
    Canvas c(30, 20);
    ASSERT_TRUE(swatch.PrintWindow(&c.dc, PW_CLIENTONLY));
    EXPECT_GT(swatch.paints, 0);
    EXPECT_EQ(c.At(15, 10), RGB(0, 128, 0));
}

TEST(DCTest, APaintKnowsThePartOfTheWindowItRepaints)
{
    CSwatch swatch;
    ASSERT_TRUE(swatch.CreateEx(0, nullptr, "Swatch", WS_POPUP | WS_VISIBLE, CRect(0, 0, 60, 40), nullptr, 0));
    ASSERT_TRUE(AfxPumpMessagesUntil([&] { return swatch.paints > 0; }, 5000));
    EXPECT_EQ(swatch.painted, CRect(0, 0, 60, 40)) << "first shown: all of it";
    swatch.paints = 0;
    const CRect part(10, 5, 25, 30);
    swatch.InvalidateRect(&part, FALSE);
    ASSERT_TRUE(AfxPumpMessagesUntil([&] { return swatch.paints > 0; }, 5000));
    EXPECT_EQ(swatch.painted, part);
}

TEST(DCTest, BitmapsRefuseImpossibleSizesAndWriteFilesWhole)
{
    CBitmap bitmap;
    EXPECT_FALSE(bitmap.CreateCompatibleBitmap(nullptr, 0, 10));
    EXPECT_FALSE(bitmap.CreateCompatibleBitmap(nullptr, 40000, 10));
    ASSERT_TRUE(bitmap.CreateCompatibleBitmap(nullptr, 8, 8));
    TempDir dir;
    EXPECT_TRUE(bitmap.SaveImage(dir.File("a.png").c_str()));
    EXPECT_TRUE(bitmap.SaveImage(dir.File("a.bmp").c_str()));
    EXPECT_FALSE(bitmap.SaveImage(dir.File("a.xyz").c_str()));
    EXPECT_FALSE(bitmap.SaveImage(dir.File("missing/a.png").c_str()));
    EXPECT_EQ(dir.CountEntries(), 2) << "no temporary file is left behind";

    // Two writers of one image never share a temporary, and a link placed
    // where a temporary could be is not written through.
    dir.Write("victim", "untouched");
    ASSERT_EQ(symlink(dir.File("victim").c_str(), dir.File("a.png.kvtmp").c_str()), 0);
    EXPECT_TRUE(bitmap.SaveImage(dir.File("a.png").c_str()));
    EXPECT_EQ(dir.Read("victim"), "untouched");
    EXPECT_EQ(dir.Read("a.png").substr(1, 3), "PNG");
}
