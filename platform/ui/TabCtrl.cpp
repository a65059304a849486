#include "TabCtrl.h"

#include <QTabBar>

#include "WndImpl.h"

namespace {
QTabBar* Tabs(const CWnd* wnd) { return WidgetAs<QTabBar>(wnd); }
}

BOOL CTabCtrl::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id)
{
    return CreateControl(static_cast<int>(ControlKind::Tab), "", style | WS_CHILD, rect, parent, id);
}

int CTabCtrl::InsertItem(int index, LPCSTR text)
{
    QTabBar* tabs = Tabs(this);
    if (!tabs)
        return -1;
    kvui::ProgrammaticChange change;
    return tabs->insertTab(index, kvui::ToQ(text));
}

BOOL CTabCtrl::DeleteItem(int index)
{
    QTabBar* tabs = Tabs(this);
    if (!tabs || index < 0 || index >= tabs->count())
        return FALSE;
    kvui::ProgrammaticChange change;
    tabs->removeTab(index);
    return TRUE;
}

BOOL CTabCtrl::DeleteAllItems()
{
    QTabBar* tabs = Tabs(this);
    if (!tabs)
        return FALSE;
    kvui::ProgrammaticChange change;
    while (tabs->count() > 0)
        tabs->removeTab(0);
    return TRUE;
}

int CTabCtrl::GetItemCount() const { return Tabs(this) ? Tabs(this)->count() : 0; }
int CTabCtrl::GetCurSel() const { return Tabs(this) ? Tabs(this)->currentIndex() : -1; }

int CTabCtrl::SetCurSel(int index)
{
    QTabBar* tabs = Tabs(this);
    if (!tabs || index < 0 || index >= tabs->count())
        return -1;
    const int old = tabs->currentIndex();
    kvui::ProgrammaticChange change;
    tabs->setCurrentIndex(index);
    return old;
}

CString CTabCtrl::GetItemText(int index) const
{
    QTabBar* tabs = Tabs(this);
    return tabs ? kvui::FromQ(tabs->tabText(index)) : CString();
}

BOOL CTabCtrl::SetItemText(int index, LPCSTR text)
{
    QTabBar* tabs = Tabs(this);
    if (!tabs || index < 0 || index >= tabs->count())
        return FALSE;
    tabs->setTabText(index, kvui::ToQ(text));
    return TRUE;
}

BOOL CTabCtrl::GetItemRect(int index, LPRECT rect) const
{
    QTabBar* tabs = Tabs(this);
    if (!tabs || !rect || index < 0 || index >= tabs->count())
        return FALSE;
    const QRect r = tabs->tabRect(index);
    *rect = RECT{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
    return TRUE;
}
