// CBitmap: an off-screen image, 32 bits a pixel, to select into a memory context.
#pragma once

#include "GdiObject.h"
#include "Size.h"
#include "platform/core/String.h"

class CDC;

namespace kvtest {
// The next bitmap creation fails, as when memory runs out.
void FailNextBitmap();
}  // namespace kvtest
struct CBitmapImpl;

class CBitmap : public CGdiObject {
public:
    CBitmap();
    ~CBitmap() override;

    // Fails (FALSE) for an empty or too large size.
    BOOL CreateCompatibleBitmap(CDC* dc, int width, int height);
    BOOL DeleteObject() override;
    CSize GetBitmapDimension() const;
    // Writes the image; the format follows the extension (.bmp, .png, .jpg/.jpeg).
    BOOL SaveImage(const char* path) const;
    COLORREF GetPixel(int x, int y) const;
    // Copies the pixels, rows top to bottom, 4 bytes a pixel: blue, green, red, unused.
    DWORD GetBitmapBits(DWORD count, void* bits) const;

    // Reads an image file (BMP, PNG, JPEG, GIF) into the bitmap.
    BOOL LoadImage(const char* path);

    CBitmapImpl* GetImpl() const { return m_impl; }

private:
    CBitmapImpl* m_impl;
};
