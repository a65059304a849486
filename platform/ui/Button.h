// CButton: push button, check box, radio button, group box or owner-drawn button.
#pragma once

#include "Wnd.h"

class CButton : public CWnd {
public:
    BOOL Create(LPCSTR caption, DWORD style, const RECT& rect, CWnd* parent, UINT id);
    int GetCheck() const;
    void SetCheck(int check);
    UINT GetButtonStyle() const;
    void SetButtonStyle(UINT style, BOOL redraw = TRUE);
    // Pressed look of a push button.
    UINT GetState() const;
    // Owner-drawn buttons draw themselves here.
    virtual void DrawItem(LPDRAWITEMSTRUCT drawItem);
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
};

constexpr UINT BST_PUSHED = 0x4;
constexpr UINT BST_FOCUS = 0x8;
