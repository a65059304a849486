#include "Button.h"

#include <QAbstractButton>
#include <QCheckBox>

#include "WndImpl.h"

BOOL CButton::Create(LPCSTR caption, DWORD style, const RECT& rect, CWnd* parent, UINT id)
{
    return CreateControl(static_cast<int>(ControlKind::Button), caption, style | WS_CHILD, rect, parent, id);
}

int CButton::GetCheck() const { return static_cast<int>(const_cast<CButton*>(this)->SendMessage(BM_GETCHECK)); }

void CButton::SetCheck(int check) { SendMessage(BM_SETCHECK, static_cast<WPARAM>(check)); }

UINT CButton::GetButtonStyle() const { return GetStyle() & 0xFFFF; }

void CButton::SetButtonStyle(UINT style, BOOL redraw)
{
    ModifyStyle(0xFFFF, style & 0xFFFF);
    if (redraw)
        Invalidate();
}

UINT CButton::GetState() const
{
    auto* button = WidgetAs<QAbstractButton>(this);
    UINT state = static_cast<UINT>(GetCheck());
    if (button && button->isDown())
        state |= BST_PUSHED;
    if (button && button->hasFocus())
        state |= BST_FOCUS;
    return state;
}

void CButton::DrawItem(LPDRAWITEMSTRUCT) {}

BOOL CButton::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    if (message == WM_DRAWITEM) {
        DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
        return TRUE;
    }
    return CWnd::OnChildNotify(message, wParam, lParam, result);
}

namespace kvui {
bool ButtonMessage(CWndImpl* impl, UINT message, WPARAM wParam, LPARAM /*lParam*/, LRESULT* result)
{
    auto* button = qobject_cast<QAbstractButton*>(impl->widget.data());
    if (!button)
        return false;
    auto* box = qobject_cast<QCheckBox*>(button);
    switch (message) {
    case BM_GETCHECK:
        if (box && box->isTristate())
            *result = box->checkState() == Qt::PartiallyChecked ? BST_INDETERMINATE : box->isChecked() ? BST_CHECKED : 0;
        else
            *result = button->isCheckable() && button->isChecked() ? BST_CHECKED : BST_UNCHECKED;
        return true;
    case BM_SETCHECK: {
        const QSignalBlocker block(button);
        if (box && box->isTristate() && wParam == BST_INDETERMINATE)
            box->setCheckState(Qt::PartiallyChecked);
        else if (button->isCheckable())
            button->setChecked(wParam == BST_CHECKED);
        return true;
    }
    case BM_CLICK:
        if (button->isEnabled())
            button->click();
        return true;
    default:
        return false;
    }
}
}  // namespace kvui
