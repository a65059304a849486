#include "ListBox.h"

#include <QListWidget>

#include "WndImpl.h"

namespace {
QListWidget* List(const CWnd* wnd) { return WidgetAs<QListWidget>(wnd); }
}  // namespace

BOOL CListBox::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id)
{
    return CreateControl(static_cast<int>(ControlKind::ListBox), "", style | WS_CHILD, rect, parent, id);
}

int CListBox::AddString(LPCSTR text)
{
    QListWidget* list = List(this);
    if (!list)
        return LB_ERR;
    int index = list->count();
    const QString q = kvui::ToQ(text);
    if (GetStyle() & LBS_SORT) {
        index = 0;
        while (index < list->count() && list->item(index)->text().compare(q, Qt::CaseInsensitive) <= 0)
            ++index;
    }
    return InsertString(index, text);
}

int CListBox::InsertString(int index, LPCSTR text)
{
    QListWidget* list = List(this);
    if (!list)
        return LB_ERR;
    if (index < 0 || index > list->count())
        index = list->count();
    kvui::ProgrammaticChange change;
    auto* item = new QListWidgetItem(kvui::ToQ(text));
    item->setData(Qt::UserRole, QVariant::fromValue<qulonglong>(0));
    list->insertItem(index, item);
    return index;
}

int CListBox::DeleteString(UINT index)
{
    QListWidget* list = List(this);
    if (!list || static_cast<int>(index) >= list->count())
        return LB_ERR;
    kvui::ProgrammaticChange change;
    delete list->takeItem(static_cast<int>(index));
    return list->count();
}

void CListBox::ResetContent()
{
    if (QListWidget* list = List(this)) {
        kvui::ProgrammaticChange change;
        list->clear();
    }
}

int CListBox::GetCount() const { return List(this) ? List(this)->count() : 0; }

int CListBox::GetCurSel() const
{
    QListWidget* list = List(this);
    if (!list)
        return LB_ERR;
    const auto selected = list->selectedItems();
    return selected.isEmpty() ? LB_ERR : list->row(selected.first());
}

int CListBox::SetCurSel(int index)
{
    QListWidget* list = List(this);
    if (!list)
        return LB_ERR;
    kvui::ProgrammaticChange change;
    list->clearSelection();
    if (index < 0 || index >= list->count())
        return LB_ERR;
    list->setCurrentRow(index);
    list->item(index)->setSelected(true);
    return index;
}

int CListBox::GetText(int index, CString& text) const
{
    QListWidget* list = List(this);
    if (!list || index < 0 || index >= list->count())
        return LB_ERR;
    text = kvui::FromQ(list->item(index)->text());
    return text.GetLength();
}

int CListBox::SetItemData(int index, DWORD_PTR data)
{
    QListWidget* list = List(this);
    if (!list || index < 0 || index >= list->count())
        return LB_ERR;
    list->item(index)->setData(Qt::UserRole, QVariant::fromValue<qulonglong>(data));
    return 0;
}

DWORD_PTR CListBox::GetItemData(int index) const
{
    QListWidget* list = List(this);
    if (!list || index < 0 || index >= list->count())
        return static_cast<DWORD_PTR>(LB_ERR);
    return static_cast<DWORD_PTR>(list->item(index)->data(Qt::UserRole).toULongLong());
}

int CListBox::FindStringExact(int startAfter, LPCSTR text) const
{
    QListWidget* list = List(this);
    if (!list || !text)
        return LB_ERR;
    const int count = list->count();
    const QString wanted = kvui::ToQ(text);
    const int first = (startAfter < 0 || startAfter >= count) ? 0 : startAfter + 1;
    for (int n = 0; n < count; ++n) {
        const int i = (first + n) % count;
        if (list->item(i)->text().compare(wanted, Qt::CaseInsensitive) == 0)
            return i;
    }
    return LB_ERR;
}

int CListBox::GetSel(int index) const
{
    QListWidget* list = List(this);
    if (!list || index < 0 || index >= list->count())
        return LB_ERR;
    return list->item(index)->isSelected() ? 1 : 0;
}

int CListBox::SetSel(int index, BOOL select)
{
    QListWidget* list = List(this);
    if (!list)
        return LB_ERR;
    kvui::ProgrammaticChange change;
    if (index < 0) {
        for (int i = 0; i < list->count(); ++i)
            list->item(i)->setSelected(select != FALSE);
        return 0;
    }
    if (index >= list->count())
        return LB_ERR;
    list->item(index)->setSelected(select != FALSE);
    return 0;
}

int CListBox::GetSelCount() const { return List(this) ? static_cast<int>(List(this)->selectedItems().size()) : LB_ERR; }

int CListBox::GetTopIndex() const
{
    QListWidget* list = List(this);
    if (!list)
        return 0;
    const int row = list->row(list->itemAt(0, 0));
    return row < 0 ? 0 : row;
}

int CListBox::SetTopIndex(int index)
{
    QListWidget* list = List(this);
    if (!list || index < 0 || index >= list->count())
        return LB_ERR;
    list->scrollToItem(list->item(index), QAbstractItemView::PositionAtTop);
    return 0;
}
