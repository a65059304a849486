#include "DC.h"

#include <cstddef>

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainterPath>

#include "Bitmap.h"
#include "DCImpl.h"
#include "WndImpl.h"

namespace kvui {
QColor ToQColor(COLORREF c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }
}  // namespace kvui

using kvui::ToQColor;

namespace {
CPen g_blackPen(PS_SOLID, 1, RGB(0, 0, 0));
CPen g_whitePen(PS_SOLID, 1, RGB(255, 255, 255));
CPen g_nullPen(PS_NULL, 0, 0);
CBrush g_whiteBrush(RGB(255, 255, 255));
CBrush g_blackBrush(RGB(0, 0, 0));
CBrush g_grayBrush(RGB(128, 128, 128));
CBrush g_lightGrayBrush(RGB(192, 192, 192));
CBrush& NullBrush()
{
    static CBrush brush;
    if (!brush.GetSafeHandle())
        brush.CreateHollowBrush();
    return brush;
}

QRect ToQRect(const RECT& r) { return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top); }

int AlignmentOf(UINT format)
{
    int align = (format & DT_CENTER) ? Qt::AlignHCenter : (format & DT_RIGHT) ? Qt::AlignRight : Qt::AlignLeft;
    if (format & DT_SINGLELINE)
        align |= (format & DT_VCENTER) ? Qt::AlignVCenter : (format & DT_BOTTOM) ? Qt::AlignBottom : Qt::AlignTop;
    else
        align |= Qt::AlignTop;
    if (format & DT_WORDBREAK)
        align |= Qt::TextWordWrap;
    if (format & DT_EXPANDTABS)
        align |= Qt::TextExpandTabs;
    return align;
}
}  // namespace

QFont CDCImpl::CurrentFont() const
{
    if (state.font && state.font->GetSafeHandle())
        return kvui::ToQFont(state.font->GetLogFontRef(), dpi);
    return baseFont;
}

void CDCImpl::BeginOn(QPaintDevice* device)
{
    End();
    ownedPainter = std::make_unique<QPainter>();
    if (!ownedPainter->begin(device)) {
        ownedPainter.reset();
        return;
    }
    painter = ownedPainter.get();
}

void CDCImpl::End()
{
    if (ownedPainter) {
        ownedPainter->end();
        ownedPainter.reset();
    }
    painter = nullptr;
}

CDC::CDC() : m_impl(new CDCImpl)
{
    m_hDC = this;
    m_impl->baseFont = kvui::FontFor(nullptr);
}

CDC::~CDC()
{
    DeleteDC();
    delete m_impl;
}

BOOL CDC::CreateCompatibleDC(CDC* dc)
{
    DeleteDC();
    if (dc && dc->m_impl)
        m_impl->baseFont = dc->m_impl->baseFont;
    m_hDC = this;
    return TRUE;
}

BOOL CDC::DeleteDC()
{
    if (m_impl->bitmap) {
        m_impl->End();
        m_impl->bitmap->GetImpl()->selectedCount--;
        m_impl->bitmap = nullptr;
    }
    return TRUE;
}

CBitmap* CDC::SelectObject(CBitmap* bitmap)
{
    CBitmap* old = m_impl->bitmap;
    if (old) {
        m_impl->End();
        old->GetImpl()->selectedCount--;
    }
    m_impl->bitmap = nullptr;
    if (bitmap && bitmap->GetSafeHandle()) {
        m_impl->bitmap = bitmap;
        bitmap->GetImpl()->selectedCount++;
        m_impl->BeginOn(&bitmap->GetImpl()->image);
    }
    return old;
}

CPen* CDC::SelectObject(CPen* pen)
{
    CPen* old = m_impl->state.pen ? m_impl->state.pen : &g_blackPen;
    m_impl->state.pen = pen;
    return old;
}

CBrush* CDC::SelectObject(CBrush* brush)
{
    CBrush* old = m_impl->state.brush ? m_impl->state.brush : &g_whiteBrush;
    m_impl->state.brush = brush;
    return old;
}

CFont* CDC::SelectObject(CFont* font)
{
    CFont* old = m_impl->state.font;
    m_impl->state.font = font;
    return old;
}

CGdiObject* CDC::SelectStockObject(int index)
{
    switch (index) {
    case WHITE_BRUSH: return SelectObject(&g_whiteBrush);
    case LTGRAY_BRUSH: return SelectObject(&g_lightGrayBrush);
    case GRAY_BRUSH: return SelectObject(&g_grayBrush);
    case BLACK_BRUSH: return SelectObject(&g_blackBrush);
    case NULL_BRUSH: return SelectObject(&NullBrush());
    case WHITE_PEN: return SelectObject(&g_whitePen);
    case BLACK_PEN: return SelectObject(&g_blackPen);
    case NULL_PEN: return SelectObject(&g_nullPen);
    default: return nullptr;
    }
}

int CDC::SelectClipRgn(CRgn* region)
{
    QPainter* p = m_impl->painter;
    if (!p)
        return RGN_ERROR;
    if (!region || !region->GetSafeHandle()) {
        p->setClipping(false);
        return SIMPLEREGION;
    }
    const QRect r = ToQRect(region->GetRect());
    QPainterPath path;
    switch (region->GetShape()) {
    case CRgn::Shape::Rect: path.addRect(r); break;
    case CRgn::Shape::RoundRect:
        path.addRoundedRect(r, region->GetCorner().cx / 2.0, region->GetCorner().cy / 2.0);
        break;
    case CRgn::Shape::Ellipse: path.addEllipse(r); break;
    }
    p->setClipPath(path);
    return region->GetShape() == CRgn::Shape::Rect ? SIMPLEREGION : COMPLEXREGION;
}

int CDC::IntersectClipRect(int l, int t, int r, int b)
{
    if (!m_impl->painter)
        return RGN_ERROR;
    m_impl->painter->setClipRect(QRect(l, t, r - l, b - t), Qt::IntersectClip);
    return SIMPLEREGION;
}

int CDC::GetClipBox(LPRECT rect) const
{
    const QPainter* p = m_impl->painter;
    if (!p || !rect || !p->device())
        return RGN_ERROR;
    const QRect device(0, 0, p->device()->width(), p->device()->height());
    const QRect box = p->hasClipping() ? p->clipBoundingRect().toAlignedRect() & device : device;
    *rect = RECT{box.left(), box.top(), box.right() + 1, box.bottom() + 1};
    return box.isEmpty() ? NULLREGION : SIMPLEREGION;
}

int CDC::SaveDC()
{
    m_impl->saved.push_back(m_impl->state);
    if (m_impl->painter)
        m_impl->painter->save();
    return static_cast<int>(m_impl->saved.size());
}

BOOL CDC::RestoreDC(int saved)
{
    if (saved < 0)
        saved = static_cast<int>(m_impl->saved.size()) + saved + 1;
    if (saved <= 0 || saved > static_cast<int>(m_impl->saved.size()))
        return FALSE;
    while (static_cast<int>(m_impl->saved.size()) >= saved) {
        m_impl->state = m_impl->saved.back();
        m_impl->saved.pop_back();
        if (m_impl->painter)
            m_impl->painter->restore();
    }
    return TRUE;
}

COLORREF CDC::SetTextColor(COLORREF color)
{
    const COLORREF old = m_impl->state.textColor;
    m_impl->state.textColor = color;
    m_impl->textColorSet = true;
    return old;
}
COLORREF CDC::GetTextColor() const { return m_impl->state.textColor; }

COLORREF CDC::SetBkColor(COLORREF color)
{
    const COLORREF old = m_impl->state.bkColor;
    m_impl->state.bkColor = color;
    m_impl->bkColorSet = true;
    return old;
}
COLORREF CDC::GetBkColor() const { return m_impl->state.bkColor; }

int CDC::SetBkMode(int mode)
{
    const int old = m_impl->state.bkMode;
    m_impl->state.bkMode = mode;
    return old;
}
int CDC::GetBkMode() const { return m_impl->state.bkMode; }

int CDC::GetDeviceCaps(int index) const
{
    QPaintDevice* device = m_impl->painter ? m_impl->painter->device() : nullptr;
    switch (index) {
    case LOGPIXELSX:
    case LOGPIXELSY: return m_impl->dpi;
    case HORZRES: return device ? device->width() : GetSystemMetrics(SM_CXSCREEN);
    case VERTRES: return device ? device->height() : GetSystemMetrics(SM_CYSCREEN);
    case BITSPIXEL: return 32;
    default: return 0;
    }
}

namespace {
void ApplyPen(QPainter* p, const CPen* pen)
{
    if (!pen || pen->GetStyle() == PS_NULL) {
        p->setPen(Qt::NoPen);
        return;
    }
    QPen q(ToQColor(pen->GetColor()));
    q.setWidth(std::max(1, pen->GetWidth()));
    q.setStyle(pen->GetStyle() == PS_DASH ? Qt::DashLine
               : pen->GetStyle() == PS_DOT ? Qt::DotLine
               : pen->GetStyle() == PS_DASHDOT ? Qt::DashDotLine
                                           : Qt::SolidLine);
    q.setJoinStyle(Qt::MiterJoin);
    p->setPen(q);
}

void ApplyBrush(QPainter* p, const CBrush* brush)
{
    if (!brush || brush->IsHollow())
        p->setBrush(Qt::NoBrush);
    else
        p->setBrush(ToQColor(brush->GetColor()));
}

const CPen* PenOf(const CDCImpl* impl) { return impl->state.pen ? impl->state.pen : &g_blackPen; }
const CBrush* BrushOf(const CDCImpl* impl) { return impl->state.brush ? impl->state.brush : &g_whiteBrush; }

// The outline of a shape drawn with a pen of width w sits inside the rectangle.
QRectF ShapeRect(const CDCImpl* impl, int l, int t, int r, int b)
{
    const CPen* pen = PenOf(impl);
    const double w = pen->GetStyle() == PS_NULL ? 0.0 : std::max(1, pen->GetWidth());
    return QRectF(l + w / 2.0, t + w / 2.0, std::max(0.0, r - l - w), std::max(0.0, b - t - w));
}
}  // namespace

CPoint CDC::MoveTo(int x, int y)
{
    const QPoint old = m_impl->state.position;
    m_impl->state.position = QPoint(x, y);
    return CPoint(old.x(), old.y());
}

BOOL CDC::LineTo(int x, int y)
{
    if (QPainter* p = m_impl->painter) {
        ApplyPen(p, PenOf(m_impl));
        p->drawLine(m_impl->state.position, QPoint(x, y));
    }
    m_impl->state.position = QPoint(x, y);
    return TRUE;
}

BOOL CDC::Polyline(const POINT* points, int count)
{
    QPainter* p = m_impl->painter;
    if (!p || !points || count < 2)
        return FALSE;
    ApplyPen(p, PenOf(m_impl));
    // POINT and QPoint are both two ints, x then y: draw the caller's array as it is.
    static_assert(sizeof(QPoint) == sizeof(POINT) && offsetof(POINT, y) == sizeof(int));
    p->drawPolyline(reinterpret_cast<const QPoint*>(points), count);
    return TRUE;
}

BOOL CDC::Polygon(const POINT* points, int count)
{
    QPainter* p = m_impl->painter;
    if (!p || !points || count < 2)
        return FALSE;
    ApplyPen(p, PenOf(m_impl));
    ApplyBrush(p, BrushOf(m_impl));
    p->drawPolygon(reinterpret_cast<const QPoint*>(points), count);
    return TRUE;
}

BOOL CDC::Rectangle(int l, int t, int r, int b)
{
    QPainter* p = m_impl->painter;
    if (!p)
        return FALSE;
    if (!BrushOf(m_impl)->IsHollow())
        p->fillRect(QRect(l, t, r - l, b - t), ToQColor(BrushOf(m_impl)->GetColor()));
    ApplyPen(p, PenOf(m_impl));
    p->setBrush(Qt::NoBrush);
    p->drawRect(ShapeRect(m_impl, l, t, r, b));
    return TRUE;
}

BOOL CDC::RoundRect(int l, int t, int r, int b, int w, int h)
{
    QPainter* p = m_impl->painter;
    if (!p)
        return FALSE;
    p->setRenderHint(QPainter::Antialiasing, false);
    ApplyPen(p, PenOf(m_impl));
    ApplyBrush(p, BrushOf(m_impl));
    p->drawRoundedRect(ShapeRect(m_impl, l, t, r, b), w / 2.0, h / 2.0);
    return TRUE;
}

BOOL CDC::Ellipse(int l, int t, int r, int b)
{
    QPainter* p = m_impl->painter;
    if (!p)
        return FALSE;
    ApplyPen(p, PenOf(m_impl));
    ApplyBrush(p, BrushOf(m_impl));
    p->drawEllipse(ShapeRect(m_impl, l, t, r, b));
    return TRUE;
}

void CDC::FillRect(LPCRECT rect, CBrush* brush)
{
    if (m_impl->painter && rect && brush && !brush->IsHollow())
        m_impl->painter->fillRect(ToQRect(*rect), ToQColor(brush->GetColor()));
}

void CDC::FillSolidRect(LPCRECT rect, COLORREF color)
{
    if (m_impl->painter && rect)
        m_impl->painter->fillRect(ToQRect(*rect), ToQColor(color));
    m_impl->state.bkColor = color;
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF color)
{
    const RECT r{x, y, x + cx, y + cy};
    FillSolidRect(&r, color);
}

void CDC::FrameRect(LPCRECT rect, CBrush* brush)
{
    QPainter* p = m_impl->painter;
    if (!p || !rect || !brush || brush->IsHollow())
        return;
    const QColor c = ToQColor(brush->GetColor());
    const QRect r = ToQRect(*rect);
    p->fillRect(QRect(r.left(), r.top(), r.width(), 1), c);
    p->fillRect(QRect(r.left(), r.bottom(), r.width(), 1), c);
    p->fillRect(QRect(r.left(), r.top(), 1, r.height()), c);
    p->fillRect(QRect(r.right(), r.top(), 1, r.height()), c);
}

void CDC::Draw3dRect(LPCRECT rect, COLORREF topLeft, COLORREF bottomRight)
{
    QPainter* p = m_impl->painter;
    if (!p || !rect)
        return;
    const QRect r = ToQRect(*rect);
    p->fillRect(QRect(r.left(), r.top(), r.width() - 1, 1), ToQColor(topLeft));
    p->fillRect(QRect(r.left(), r.top(), 1, r.height() - 1), ToQColor(topLeft));
    p->fillRect(QRect(r.left(), r.bottom(), r.width(), 1), ToQColor(bottomRight));
    p->fillRect(QRect(r.right(), r.top(), 1, r.height()), ToQColor(bottomRight));
}

void CDC::DrawFocusRect(LPCRECT rect)
{
    QPainter* p = m_impl->painter;
    if (!p || !rect)
        return;
    QPen pen(Qt::black);
    pen.setStyle(Qt::DotLine);
    p->setPen(pen);
    p->setBrush(Qt::NoBrush);
    p->drawRect(ToQRect(*rect).adjusted(0, 0, -1, -1));
}

COLORREF CDC::SetPixel(int x, int y, COLORREF color)
{
    if (QPainter* p = m_impl->painter)
        p->fillRect(QRect(x, y, 1, 1), ToQColor(color));
    return color;
}

COLORREF CDC::GetPixel(int x, int y) const
{
    return m_impl->bitmap ? m_impl->bitmap->GetPixel(x, y) : 0xFFFFFFFFu;
}

BOOL CDC::GradientFill(TRIVERTEX* vertices, ULONG vertexCount, void* mesh, ULONG meshCount, ULONG mode)
{
    QPainter* p = m_impl->painter;
    if (!p || !vertices || !mesh || (mode != GRADIENT_FILL_RECT_H && mode != GRADIENT_FILL_RECT_V))
        return FALSE;
    const auto* rects = static_cast<const GRADIENT_RECT*>(mesh);
    for (ULONG i = 0; i < meshCount; ++i) {
        if (rects[i].UpperLeft >= vertexCount || rects[i].LowerRight >= vertexCount)
            return FALSE;
        const TRIVERTEX& a = vertices[rects[i].UpperLeft];
        const TRIVERTEX& b = vertices[rects[i].LowerRight];
        const QRect area(QPoint(std::min(a.x, b.x), std::min(a.y, b.y)),
                         QPoint(std::max(a.x, b.x) - 1, std::max(a.y, b.y) - 1));
        const QPointF end = mode == GRADIENT_FILL_RECT_V ? QPointF(a.x, b.y) : QPointF(b.x, a.y);
        QLinearGradient gradient(QPointF(a.x, a.y), end);
        gradient.setColorAt(0, QColor(a.Red >> 8, a.Green >> 8, a.Blue >> 8));
        gradient.setColorAt(1, QColor(b.Red >> 8, b.Green >> 8, b.Blue >> 8));
        p->fillRect(area, gradient);
    }
    return TRUE;
}

int CDC::DrawText(const CString& text, LPRECT rect, UINT format)
{
    if (!rect)
        return 0;
    const QFont font = m_impl->CurrentFont();
    const CString shown = m_impl->state.font ? kvui::TranslateSymbolText(m_impl->state.font->GetLogFontRef(), text)
                                             : text;
    const QString q = kvui::ToQ(shown);
    const QFontMetrics metrics(font);
    const int align = AlignmentOf(format);
    const QRect area = ToQRect(*rect);
    const QRect bound = metrics.boundingRect(area.isEmpty() && !(format & DT_WORDBREAK) ? QRect(area.topLeft(), QSize(1 << 20, 1 << 20)) : area,
                                             align, q);
    if (format & DT_CALCRECT) {
        rect->right = rect->left + bound.width();
        rect->bottom = rect->top + bound.height();
        return bound.height();
    }
    if (QPainter* p = m_impl->painter) {
        p->save();
        p->setFont(font);
        if (m_impl->state.bkMode == OPAQUE)
            p->fillRect(bound.intersected(area), ToQColor(m_impl->state.bkColor));
        p->setPen(ToQColor(m_impl->state.textColor));
        if (!(format & DT_NOCLIP))
            p->setClipRect(area, Qt::IntersectClip);
        QString drawn = q;
        if (format & DT_END_ELLIPSIS)
            drawn = metrics.elidedText(q, Qt::ElideRight, area.width());
        p->drawText(area, align, drawn);
        p->restore();
    }
    return bound.height();
}

int CDC::DrawText(LPCSTR text, int count, LPRECT rect, UINT format)
{
    return DrawText(count < 0 ? CString(text) : CString(text, count), rect, format);
}

BOOL CDC::TextOut(int x, int y, const CString& text)
{
    QPainter* p = m_impl->painter;
    if (!p)
        return FALSE;
    const QFont font = m_impl->CurrentFont();
    const QFontMetrics metrics(font);
    const CString shown = m_impl->state.font ? kvui::TranslateSymbolText(m_impl->state.font->GetLogFontRef(), text)
                                             : text;
    const QString q = kvui::ToQ(shown);
    p->save();
    p->setFont(font);
    // A font's escapement turns the text counterclockwise about its start, in tenths of a degree.
    const LONG escapement = m_impl->state.font ? m_impl->state.font->GetLogFontRef().lfEscapement : 0;
    if (escapement != 0) {
        p->translate(x, y);
        p->rotate(-escapement / 10.0);
        x = y = 0;
    }
    if (m_impl->state.bkMode == OPAQUE)
        p->fillRect(QRect(x, y, metrics.horizontalAdvance(q), metrics.height()), ToQColor(m_impl->state.bkColor));
    p->setPen(ToQColor(m_impl->state.textColor));
    p->drawText(QPoint(x, y + metrics.ascent()), q);
    p->restore();
    return TRUE;
}

CSize CDC::GetTextExtent(const CString& text) const
{
    const QFontMetrics metrics(m_impl->CurrentFont());
    return CSize(metrics.horizontalAdvance(kvui::ToQ(text)), metrics.height());
}

CSize CDC::GetTextExtent(LPCSTR text, int count) const
{
    return GetTextExtent(count < 0 ? CString(text) : CString(text, count));
}

BOOL CDC::GetTextMetrics(TEXTMETRIC* tm) const
{
    if (!tm)
        return FALSE;
    const QFont font = m_impl->CurrentFont();
    const QFontMetrics metrics(font);
    tm->tmHeight = metrics.height();
    tm->tmAscent = metrics.ascent();
    tm->tmDescent = metrics.descent();
    tm->tmInternalLeading = std::max(0, metrics.height() - font.pixelSize());
    tm->tmExternalLeading = std::max(0, metrics.leading());
    tm->tmAveCharWidth = metrics.averageCharWidth();
    tm->tmMaxCharWidth = metrics.maxWidth();
    tm->tmWeight = font.weight();
    return TRUE;
}

BOOL CDC::BitBlt(int x, int y, int width, int height, CDC* source, int xSource, int ySource, DWORD rop)
{
    return StretchBlt(x, y, width, height, source, xSource, ySource, width, height, rop);
}

BOOL CDC::StretchBlt(int x, int y, int width, int height, CDC* source, int xSource, int ySource, int widthSource,
                     int heightSource, DWORD rop)
{
    QPainter* p = m_impl->painter;
    if (!p || !source || !source->m_impl->bitmap || rop != SRCCOPY)
        return FALSE;
    const QImage& image = source->m_impl->bitmap->GetImpl()->image;
    p->drawImage(QRect(x, y, width, height), image, QRect(xSource, ySource, widthSource, heightSource));
    return TRUE;
}
