#include "ImageList.h"

#include <QPainter>

#include "Bitmap.h"
#include "DCImpl.h"
#include "ImageListImpl.h"

CImageList::CImageList() = default;
CImageList::~CImageList() = default;

BOOL CImageList::Create(int cx, int cy, UINT /*flags*/, int initial, int /*grow*/)
{
    if (m_impl || cx <= 0 || cy <= 0)
        return FALSE;
    m_impl = std::make_unique<CImageListImpl>();
    m_impl->cx = cx;
    m_impl->cy = cy;
    m_impl->images.reserve(static_cast<size_t>(std::max(0, initial)));
    return TRUE;
}

BOOL CImageList::DeleteImageList()
{
    const bool had = m_impl != nullptr;
    m_impl.reset();
    return had ? TRUE : FALSE;
}

int CImageList::Add(CBitmap* bitmap, COLORREF mask)
{
    if (!m_impl || !bitmap || !bitmap->GetImpl() || bitmap->GetImpl()->image.isNull())
        return -1;
    const QImage source = bitmap->GetImpl()->image.convertToFormat(QImage::Format_ARGB32);
    const int first = static_cast<int>(m_impl->images.size());
    for (int x = 0; x + m_impl->cx <= source.width(); x += m_impl->cx) {
        QImage picture = source.copy(x, 0, m_impl->cx, std::min(m_impl->cy, source.height()));
        const QRgb clear = kvui::ToQColor(mask).rgb();
        for (int py = 0; py < picture.height(); ++py)
            for (int px = 0; px < picture.width(); ++px)
                if ((picture.pixel(px, py) & 0xFFFFFF) == (clear & 0xFFFFFF))
                    picture.setPixel(px, py, 0);
        m_impl->images.push_back(picture);
    }
    return static_cast<int>(m_impl->images.size()) > first ? first : -1;
}

int CImageList::GetImageCount() const { return m_impl ? static_cast<int>(m_impl->images.size()) : 0; }

CSize CImageList::GetIconSize() const { return m_impl ? CSize(m_impl->cx, m_impl->cy) : CSize(0, 0); }

BOOL CImageList::Draw(CDC* dc, int image, POINT point, UINT /*style*/) const
{
    QPainter* painter = CDCImpl::PainterOf(dc);
    if (!m_impl || !painter || image < 0 || image >= GetImageCount())
        return FALSE;
    painter->drawImage(QPoint(point.x, point.y), m_impl->images[static_cast<size_t>(image)]);
    return TRUE;
}
