// CSliderCtrl: a horizontal trackbar. Moving the thumb tells the parent with
// WM_HSCROLL: TB_THUMBTRACK while dragged, TB_ENDTRACK once released.
#pragma once

#include "Wnd.h"

constexpr UINT TB_THUMBTRACK = 5;
constexpr UINT TB_ENDTRACK = 8;

class CSliderCtrl : public CWnd {
public:
    CSliderCtrl() = default;
    ~CSliderCtrl() override;

    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
    void SetRange(int minimum, int maximum, BOOL redraw = FALSE);
    int GetRangeMin() const;
    int GetRangeMax() const;
    void SetPos(int position);
    int GetPos() const;
    // Whether the user holds the thumb.
    BOOL IsDragging() const;

private:
    struct Impl;
    Impl* m_slider = nullptr;
};

namespace kvtest {
// Drags the thumb to `position` and releases it, as a user would.
void DragSlider(CSliderCtrl& slider, int position);
}  // namespace kvtest
