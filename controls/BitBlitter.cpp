#include "BitBlitter.h"

#include "GifFile.h"

CBitBlitter::~CBitBlitter() { Release(); }

void CBitBlitter::Release()
{
    m_dc.SelectObject(static_cast<CBitmap*>(nullptr));
    m_dc.DeleteDC();
    m_bitmap.DeleteObject();
    m_rect.SetRectEmpty();
    m_valid = FALSE;
}

BOOL CBitBlitter::Create(CDC* dc, const CRect& rect)
{
    if (m_valid && m_bitmap.GetSafeHandle() && rect == m_rect)
        return TRUE;
    Release();
    if (!m_dc.CreateCompatibleDC(dc))
        return m_valid;
    if (!m_bitmap.CreateCompatibleBitmap(dc, rect.Width(), rect.Height())) {
        m_dc.DeleteDC();
        return m_valid;
    }
    m_dc.SelectObject(&m_bitmap);
    m_rect = rect;
    m_valid = TRUE;
    return TRUE;
}

BOOL CBitBlitter::SaveToFile(const char* path)
{
    if (!m_valid || !path)
        return FALSE;
    const CString target(path);
    const int dot = target.ReverseFind('.');
    const CString extension = dot < 0 ? CString() : target.Mid(dot + 1);
    if (extension.CompareNoCase("gif") == 0)
        return WriteGifFile(m_bitmap, path);
    return m_bitmap.SaveImage(path);
}
