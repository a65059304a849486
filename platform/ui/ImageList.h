// CImageList: a row of same-sized small pictures, drawn by index (list cells,
// combo items, tree items).
#pragma once

#include <memory>

#include "Point.h"
#include "Size.h"
#include "UiTypes.h"

class CBitmap;
class CDC;
struct CImageListImpl;

constexpr UINT ILC_MASK = 0x1;
constexpr UINT ILC_COLOR32 = 0x20;
constexpr UINT ILD_NORMAL = 0x0;
constexpr UINT ILD_TRANSPARENT = 0x1;

class CImageList {
public:
    CImageList();
    ~CImageList();
    CImageList(const CImageList&) = delete;
    CImageList& operator=(const CImageList&) = delete;

    BOOL Create(int cx, int cy, UINT flags, int initial, int grow);
    BOOL DeleteImageList();
    BOOL GetSafeHandle() const { return m_impl != nullptr; }
    // Cuts the bitmap into pictures of the list's width; pixels of the mask colour become clear.
    int Add(CBitmap* bitmap, COLORREF mask);
    int GetImageCount() const;
    CSize GetIconSize() const;
    BOOL Draw(CDC* dc, int image, POINT point, UINT style) const;

    CImageListImpl* GetImpl() const { return m_impl.get(); }

private:
    std::unique_ptr<CImageListImpl> m_impl;
};
