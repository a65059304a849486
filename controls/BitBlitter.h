// CBitBlitter: an off-screen bitmap with its memory context, made for one
// rectangle and kept for the next capture of the same size.
#pragma once

#include "platform/ui/Bitmap.h"
#include "platform/ui/DC.h"

class CBitBlitter {
public:
    CBitBlitter() = default;
    ~CBitBlitter();
    CBitBlitter(const CBitBlitter&) = delete;
    CBitBlitter& operator=(const CBitBlitter&) = delete;

    // TRUE when the bitmap is ready; an equal rectangle keeps the bitmap there is.
    BOOL Create(CDC* dc, const CRect& rect);
    // The format follows the extension: .bmp, .png, .jpg/.jpeg or .gif. The
    // bitmap stays the blitter's, ready for the next capture.
    BOOL SaveToFile(const char* path);
    void Release();

    CDC* GetDC() { return m_valid ? &m_dc : nullptr; }
    CBitmap& GetBitmap() { return m_bitmap; }
    const CRect& GetRect() const { return m_rect; }
    BOOL IsValid() const { return m_valid; }

private:
    CBitmap m_bitmap;
    CDC m_dc;
    CRect m_rect;
    BOOL m_valid = FALSE;
};
