// CColorDialog: the standard colour chooser. DoModal returns IDOK with the
// chosen colour in GetColor, IDCANCEL when the user kept the old one.
#pragma once

#include "Wnd.h"

constexpr DWORD CC_RGBINIT = 0x1;
constexpr DWORD CC_FULLOPEN = 0x2;

class CColorDialog {
public:
    explicit CColorDialog(COLORREF initial = 0, DWORD flags = 0, CWnd* parent = nullptr);
    virtual ~CColorDialog() = default;

    virtual INT_PTR DoModal();
    COLORREF GetColor() const { return m_color; }

private:
    COLORREF m_color;
    DWORD m_flags;
    CWnd* m_parent;
};

namespace kvtest {
// The next colour dialog answers IDOK with this colour (a negative value: IDCANCEL).
void QueueColorDialogAnswer(long color);
}  // namespace kvtest
