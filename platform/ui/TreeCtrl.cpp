#include "TreeCtrl.h"

#include <QHeaderView>
#include <QTreeWidget>

#include "TreeCtrlPrivate.h"
#include "WndImpl.h"

namespace {
constexpr int kDataRole = Qt::UserRole;

QTreeWidget* Tree(const CWnd* wnd) { return WidgetAs<QTreeWidget>(wnd); }
QTreeWidgetItem* ItemOf(HTREEITEM item) { return reinterpret_cast<QTreeWidgetItem*>(item); }
HTREEITEM HandleOf(QTreeWidgetItem* item) { return reinterpret_cast<HTREEITEM>(item); }
bool IsSpecial(HTREEITEM item) { return item == TVI_ROOT || item == TVI_FIRST || item == TVI_LAST; }

// The item exists in this tree (a handle of a deleted item is refused).
bool Owns(QTreeWidget* tree, HTREEITEM handle)
{
    if (!tree || !handle || IsSpecial(handle))
        return false;
    QTreeWidgetItem* wanted = ItemOf(handle);
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
        if (*it == wanted)
            return true;
    return false;
}
}  // namespace

namespace kvui {
QTreeWidget* CreateTreeView(QWidget* parent)
{
    auto* tree = new QTreeWidget(parent);
    tree->setColumnCount(1);
    tree->setHeaderHidden(true);
    tree->setSelectionMode(QAbstractItemView::SingleSelection);
    tree->setExpandsOnDoubleClick(true);
    return tree;
}

void WireTreeView(CWndImpl* impl, QTreeWidget* tree)
{
    tree->setRootIsDecorated((impl->style & TVS_LINESATROOT) != 0);
    QObject::connect(tree, &QTreeWidget::currentItemChanged, impl, [impl]() {
        NMHDR header{};
        header.code = TVN_SELCHANGED;
        impl->NotifyParent(header);
    });
}
}  // namespace kvui

BOOL CTreeCtrl::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id)
{
    return CreateEx(0, style, rect, parent, id);
}

BOOL CTreeCtrl::CreateEx(DWORD exStyle, DWORD style, const RECT& rect, CWnd* parent, UINT id)
{
    return CreateControl(static_cast<int>(ControlKind::TreeView), "", style, rect, parent, id, exStyle);
}

HTREEITEM CTreeCtrl::InsertItem(LPCSTR text, HTREEITEM parent, HTREEITEM after)
{
    QTreeWidget* tree = Tree(this);
    if (!tree || (parent && parent != TVI_ROOT && !Owns(tree, parent)))
        return nullptr;
    auto* item = new QTreeWidgetItem(QStringList(kvui::ToQ(text)));
    if (GetStyle() & TVS_CHECKBOXES)
        item->setCheckState(0, Qt::Unchecked);
    kvui::ProgrammaticChange change;
    QTreeWidgetItem* owner = parent && parent != TVI_ROOT ? ItemOf(parent) : nullptr;
    const int count = owner ? owner->childCount() : tree->topLevelItemCount();
    int index = count;
    if (after == TVI_FIRST) {
        index = 0;
    } else if (after && !IsSpecial(after)) {
        const int at = owner ? owner->indexOfChild(ItemOf(after)) : tree->indexOfTopLevelItem(ItemOf(after));
        index = at < 0 ? count : at + 1;
    }
    if (owner)
        owner->insertChild(index, item);
    else
        tree->insertTopLevelItem(index, item);
    return HandleOf(item);
}

BOOL CTreeCtrl::DeleteItem(HTREEITEM item)
{
    if (item == TVI_ROOT)
        return DeleteAllItems();
    if (!Owns(Tree(this), item))
        return FALSE;
    kvui::ProgrammaticChange change;
    delete ItemOf(item);
    return TRUE;
}

BOOL CTreeCtrl::DeleteAllItems()
{
    QTreeWidget* tree = Tree(this);
    if (!tree)
        return FALSE;
    kvui::ProgrammaticChange change;
    tree->clear();
    return TRUE;
}

UINT CTreeCtrl::GetCount() const
{
    UINT count = 0;
    if (QTreeWidget* tree = Tree(this))
        for (QTreeWidgetItemIterator it(tree); *it; ++it)
            ++count;
    return count;
}

CString CTreeCtrl::GetItemText(HTREEITEM item) const
{
    return Owns(Tree(this), item) ? kvui::FromQ(ItemOf(item)->text(0)) : CString();
}

BOOL CTreeCtrl::SetItemText(HTREEITEM item, LPCSTR text)
{
    if (!Owns(Tree(this), item))
        return FALSE;
    ItemOf(item)->setText(0, kvui::ToQ(text));
    return TRUE;
}

DWORD_PTR CTreeCtrl::GetItemData(HTREEITEM item) const
{
    return Owns(Tree(this), item) ? static_cast<DWORD_PTR>(ItemOf(item)->data(0, kDataRole).toULongLong()) : 0;
}

BOOL CTreeCtrl::SetItemData(HTREEITEM item, DWORD_PTR data)
{
    if (!Owns(Tree(this), item))
        return FALSE;
    ItemOf(item)->setData(0, kDataRole, QVariant::fromValue<qulonglong>(data));
    return TRUE;
}

HTREEITEM CTreeCtrl::GetRootItem() const
{
    QTreeWidget* tree = Tree(this);
    return tree && tree->topLevelItemCount() > 0 ? HandleOf(tree->topLevelItem(0)) : nullptr;
}

HTREEITEM CTreeCtrl::GetChildItem(HTREEITEM item) const
{
    if (item == TVI_ROOT || item == nullptr)
        return GetRootItem();
    if (!Owns(Tree(this), item) || ItemOf(item)->childCount() == 0)
        return nullptr;
    return HandleOf(ItemOf(item)->child(0));
}

HTREEITEM CTreeCtrl::GetNextSiblingItem(HTREEITEM item) const
{
    QTreeWidget* tree = Tree(this);
    if (!Owns(tree, item))
        return nullptr;
    QTreeWidgetItem* node = ItemOf(item);
    QTreeWidgetItem* parent = node->parent();
    const int index = parent ? parent->indexOfChild(node) : tree->indexOfTopLevelItem(node);
    const int count = parent ? parent->childCount() : tree->topLevelItemCount();
    if (index + 1 >= count)
        return nullptr;
    return HandleOf(parent ? parent->child(index + 1) : tree->topLevelItem(index + 1));
}

HTREEITEM CTreeCtrl::GetParentItem(HTREEITEM item) const
{
    return Owns(Tree(this), item) ? HandleOf(ItemOf(item)->parent()) : nullptr;
}

HTREEITEM CTreeCtrl::GetSelectedItem() const
{
    QTreeWidget* tree = Tree(this);
    return tree ? HandleOf(tree->currentItem()) : nullptr;
}

HTREEITEM CTreeCtrl::GetNextItem(HTREEITEM item, UINT code) const
{
    switch (code) {
    case TVGN_ROOT: return GetRootItem();
    case TVGN_NEXT: return GetNextSiblingItem(item);
    case TVGN_PARENT: return GetParentItem(item);
    case TVGN_CHILD: return GetChildItem(item);
    case TVGN_CARET: return GetSelectedItem();
    default: return nullptr;
    }
}

BOOL CTreeCtrl::ItemHasChildren(HTREEITEM item) const
{
    return Owns(Tree(this), item) && ItemOf(item)->childCount() > 0 ? TRUE : FALSE;
}

BOOL CTreeCtrl::Expand(HTREEITEM item, UINT code)
{
    if (!Owns(Tree(this), item))
        return FALSE;
    QTreeWidgetItem* node = ItemOf(item);
    switch (code & 3) {
    case TVE_EXPAND: node->setExpanded(true); break;
    case TVE_COLLAPSE: node->setExpanded(false); break;
    case TVE_TOGGLE: node->setExpanded(!node->isExpanded()); break;
    default: return FALSE;
    }
    return TRUE;
}

BOOL CTreeCtrl::IsExpanded(HTREEITEM item) const
{
    return Owns(Tree(this), item) && ItemOf(item)->isExpanded() ? TRUE : FALSE;
}

BOOL CTreeCtrl::SelectItem(HTREEITEM item)
{
    QTreeWidget* tree = Tree(this);
    if (!tree)
        return FALSE;
    if (!item) {
        tree->setCurrentItem(nullptr);
        return TRUE;
    }
    if (!Owns(tree, item))
        return FALSE;
    tree->setCurrentItem(ItemOf(item));
    return TRUE;
}

BOOL CTreeCtrl::EnsureVisible(HTREEITEM item)
{
    QTreeWidget* tree = Tree(this);
    if (!Owns(tree, item))
        return FALSE;
    for (QTreeWidgetItem* p = ItemOf(item)->parent(); p; p = p->parent())
        p->setExpanded(true);
    tree->scrollToItem(ItemOf(item));
    return TRUE;
}

SHORT CTreeCtrl::GetItemHeight() const
{
    QTreeWidget* tree = Tree(this);
    if (!tree)
        return 0;
    if (tree->topLevelItemCount() > 0) {
        const int h = tree->visualItemRect(tree->topLevelItem(0)).height();
        if (h > 0)
            return static_cast<SHORT>(h);
    }
    return static_cast<SHORT>(tree->fontMetrics().height() + 4);
}

BOOL CTreeCtrl::GetItemRect(HTREEITEM item, LPRECT rect, BOOL textOnly) const
{
    QTreeWidget* tree = Tree(this);
    if (!rect || !Owns(tree, item))
        return FALSE;
    QRect r = tree->visualItemRect(ItemOf(item));
    if (r.isEmpty())
        return FALSE;
    if (textOnly)
        r.setWidth(std::min(r.width(), tree->fontMetrics().horizontalAdvance(ItemOf(item)->text(0)) + 6));
    r.translate(tree->viewport()->mapTo(tree, QPoint(0, 0)));
    *rect = RECT{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
    return TRUE;
}

HTREEITEM CTreeCtrl::HitTest(CPoint point, UINT* flags) const
{
    QTreeWidget* tree = Tree(this);
    if (flags)
        *flags = TVHT_NOWHERE;
    if (!tree)
        return nullptr;
    const QPoint inViewport = tree->viewport()->mapFrom(tree, QPoint(point.x, point.y));
    QTreeWidgetItem* item = tree->itemAt(inViewport);
    if (!item)
        return nullptr;
    if (flags) {
        CRect label;
        GetItemRect(HandleOf(item), &label, TRUE);
        const QRect full = tree->visualItemRect(item);
        const int textLeft = tree->viewport()->mapTo(tree, full.topLeft()).x();
        if (point.x < textLeft)
            *flags = item->childCount() > 0 ? TVHT_ONITEMBUTTON : TVHT_ONITEMINDENT;
        else if (label.PtInRect(point))
            *flags = TVHT_ONITEMLABEL;
        else
            *flags = TVHT_ONITEMRIGHT;
    }
    return HandleOf(item);
}

BOOL CTreeCtrl::SetCheck(HTREEITEM item, BOOL check)
{
    if (!Owns(Tree(this), item))
        return FALSE;
    ItemOf(item)->setCheckState(0, check ? Qt::Checked : Qt::Unchecked);
    return TRUE;
}

BOOL CTreeCtrl::GetCheck(HTREEITEM item) const
{
    return Owns(Tree(this), item) && ItemOf(item)->checkState(0) == Qt::Checked ? TRUE : FALSE;
}
