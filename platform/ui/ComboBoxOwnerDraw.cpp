// Owner-drawn combo boxes: the owner paints each item (and the chosen item in
// the closed box) through WM_DRAWITEM, learns item heights through
// WM_MEASUREITEM and frees item data on WM_DELETEITEM.
#include <QAbstractItemView>
#include <QComboBox>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QStyledItemDelegate>

#include "ComboBox.h"
#include "ComboBoxWidth.h"
#include "ComboBoxPrivate.h"
#include "DCImpl.h"
#include "WndImpl.h"

namespace {
void SendDrawItem(CWndImpl* impl, QPainter* painter, const QRect& rect, int index, UINT state)
{
    if (!impl || !impl->wnd)
        return;
    auto* combo = qobject_cast<QComboBox*>(impl->widget.data());
    CDC dc;
    dc.GetImpl()->painter = painter;
    dc.GetImpl()->baseFont = kvui::FontFor(impl);
    painter->save();
    painter->setFont(dc.GetImpl()->baseFont);
    DRAWITEMSTRUCT item{};
    item.CtlType = ODT_COMBOBOX;
    item.CtlID = impl->id;
    item.itemID = static_cast<UINT>(index);
    item.itemAction = ODA_DRAWENTIRE;
    item.itemState = state;
    item.hwndItem = impl->wnd;
    item.hDC = &dc;
    item.rcItem = RECT{rect.left(), rect.top(), rect.right() + 1, rect.bottom() + 1};
    item.itemData = combo && index >= 0 && index < combo->count()
                        ? static_cast<DWORD_PTR>(combo->itemData(index).toULongLong())
                        : 0;
    CWnd* parent = impl->wnd->GetParent();
    if (parent)
        AfxCallWndProc(parent, WM_DRAWITEM, impl->id, reinterpret_cast<LPARAM>(&item));
    else
        impl->wnd->OnChildNotify(WM_DRAWITEM, impl->id, reinterpret_cast<LPARAM>(&item), nullptr);
    painter->restore();
    dc.GetImpl()->painter = nullptr;
}

class OwnerDrawDelegate : public QStyledItemDelegate {
public:
    OwnerDrawDelegate(CWndImpl* impl, QObject* parent) : QStyledItemDelegate(parent), m_impl(impl) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const UINT state = (option.state & QStyle::State_Selected) ? ODS_SELECTED : 0;
        SendDrawItem(m_impl, painter, option.rect, index.row(), state);
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        const QVariant height = m_impl && m_impl->widget ? m_impl->widget->property("kvItemHeight") : QVariant();
        if (height.isValid() && height.toInt() > 0)
            size.setHeight(height.toInt());
        return size;
    }

private:
    CWndImpl* m_impl;
};
}  // namespace

namespace kvui {
void WireOwnerDrawCombo(CWndImpl* impl, QComboBox* combo)
{
    combo->setItemDelegate(new OwnerDrawDelegate(impl, combo));
}

bool PaintOwnerDrawCombo(CWndImpl* impl)
{
    auto* combo = qobject_cast<QComboBox*>(impl->widget.data());
    if (!combo)
        return false;
    QPainter painter(combo);
    QStyleOptionComboBox option;
    option.initFrom(combo);
    option.editable = false;
    option.currentText.clear();
    combo->style()->drawComplexControl(QStyle::CC_ComboBox, &option, &painter, combo);
    const QRect field = combo->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo);
    if (combo->currentIndex() >= 0) {
        UINT state = ODS_COMBOBOXEDIT;
        if (combo->hasFocus())
            state |= ODS_SELECTED | ODS_FOCUS;
        SendDrawItem(impl, &painter, field, combo->currentIndex(), state);
    }
    return true;
}

void NotifyComboItemDeleted(CWndImpl* impl, int index)
{
    auto* combo = impl ? qobject_cast<QComboBox*>(impl->widget.data()) : nullptr;
    if (!combo || !impl->wnd || !(impl->style & (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE)) || index < 0 ||
        index >= combo->count())
        return;
    DELETEITEMSTRUCT item{};
    item.CtlType = ODT_COMBOBOX;
    item.CtlID = impl->id;
    item.itemID = static_cast<UINT>(index);
    item.hwndItem = impl->wnd;
    item.itemData = static_cast<DWORD_PTR>(combo->itemData(index).toULongLong());
    impl->wnd->OnChildNotify(WM_DELETEITEM, impl->id, reinterpret_cast<LPARAM>(&item), nullptr);
}
}  // namespace kvui

void CComboBox::DrawItem(LPDRAWITEMSTRUCT /*item*/) {}

void CComboBox::MeasureItem(LPMEASUREITEMSTRUCT /*item*/) {}

void CComboBox::DeleteItem(LPDELETEITEMSTRUCT /*item*/) {}

BOOL CComboBox::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    switch (message) {
    case WM_DRAWITEM: DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam)); break;
    case WM_MEASUREITEM: MeasureItem(reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam)); break;
    case WM_DELETEITEM: DeleteItem(reinterpret_cast<LPDELETEITEMSTRUCT>(lParam)); break;
    default: return CWnd::OnChildNotify(message, wParam, lParam, result);
    }
    if (result)
        *result = TRUE;
    return TRUE;
}

int CComboBox::SetItemHeight(int index, UINT height)
{
    QComboBox* combo = WidgetAs<QComboBox>(this);
    if (!combo || height == 0 || height > 255)
        return CB_ERR;
    if (index < 0) {
        const int closed = static_cast<int>(height) + 3;  // the selection field and its frame
        combo->setProperty("kvFieldHeight", closed);
        combo->setMinimumHeight(closed);
        combo->resize(combo->width(), closed);
    } else {
        combo->setProperty("kvItemHeight", static_cast<int>(height));
    }
    return 0;
}

int CComboBox::GetItemHeight(int index) const
{
    QComboBox* combo = WidgetAs<QComboBox>(this);
    if (!combo)
        return CB_ERR;
    if (index < 0)
        return combo->height() - 3;
    const QVariant height = combo->property("kvItemHeight");
    return height.isValid() ? height.toInt() : combo->fontMetrics().height() + 2;
}

void CComboBox::SetHorizontalExtent(UINT extent)
{
    if (QComboBox* combo = WidgetAs<QComboBox>(this))
        combo->view()->setMinimumWidth(static_cast<int>(extent));
}

int CComboBox::SetDroppedWidth(UINT width)
{
    QComboBox* combo = WidgetAs<QComboBox>(this);
    if (!combo)
        return CB_ERR;
    combo->view()->setMinimumWidth(static_cast<int>(width));
    return static_cast<int>(width);
}

int AfxGetComboFittingWidth(const CComboBox& box)
{
    QComboBox* combo = WidgetAs<QComboBox>(&box);
    if (!combo)
        return 0;
    const QComboBox::SizeAdjustPolicy policy = combo->sizeAdjustPolicy();
    combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    const int width = combo->sizeHint().width();
    combo->setSizeAdjustPolicy(policy);
    return width;
}
