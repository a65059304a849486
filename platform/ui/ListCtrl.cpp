#include "ListCtrl.h"

#include <QHeaderView>
#include <QPainter>
#include <QScrollBar>
#include <QStyleOptionViewItem>
#include <QTreeWidget>
#include <algorithm>
#include <vector>

#include "ControlWidgets.h"
#include "DCImpl.h"
#include "HeaderCtrl.h"
#include "ListCtrlPrivate.h"
#include "WndImpl.h"

namespace {
QTreeWidget* Tree(const CWnd* wnd) { return WidgetAs<QTreeWidget>(wnd); }
constexpr int kDataRole = Qt::UserRole;
constexpr int kTextColorRole = Qt::UserRole + 1;
constexpr int kBackColorRole = Qt::UserRole + 2;
constexpr int kLastCheckRole = Qt::UserRole + 3;  // the check state last reported to the parent

QTreeWidgetItem* Row(const CWnd* wnd, int index)
{
    QTreeWidget* tree = Tree(wnd);
    return tree && index >= 0 && index < tree->topLevelItemCount() ? tree->topLevelItem(index) : nullptr;
}

// The width that shows every cell of a column whole, all rows counted and not only those in view.
int CellsWidth(QTreeWidget* tree, int column)
{
    QStyleOptionViewItem option;
    option.initFrom(tree->viewport());
    option.font = tree->font();
    int widest = 0;
    QAbstractItemDelegate* delegate = tree->itemDelegate();
    for (int row = 0; row < tree->topLevelItemCount(); ++row) {
        const QModelIndex index = tree->model()->index(row, column);
        widest = std::max(widest, delegate->sizeHint(option, index).width());
    }
    return widest;
}

bool HasCheckBoxes(const CWnd* wnd) { return (wnd->GetExStyle() & LVS_EX_CHECKBOXES) != 0; }

// An unchecked box the user can click; the state it reports changes from is known.
void MakeCheckable(QTreeWidgetItem* item)
{
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(0, Qt::Unchecked);
    item->setData(0, kLastCheckRole, false);
}
}  // namespace

int CHeaderCtrl::GetItemCount() const { return m_list->GetColumnCount(); }

CListCtrl::CListCtrl() = default;
CListCtrl::~CListCtrl() { delete m_header; }

BOOL CListCtrl::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id)
{
    return CreateControl(static_cast<int>(ControlKind::ListView), "", style | WS_CHILD, rect, parent, id);
}

DWORD CListCtrl::SetExtendedStyle(DWORD exStyle)
{
    const DWORD old = GetExStyle();
    ModifyStyleEx(0xFFFFFFFF, exStyle);
    QTreeWidget* tree = Tree(this);
    if (tree) {
        tree->setSelectionBehavior(QAbstractItemView::SelectRows);
        if ((exStyle & LVS_EX_CHECKBOXES) && !(old & LVS_EX_CHECKBOXES)) {
            kvui::ProgrammaticChange change;
            for (int i = 0; i < tree->topLevelItemCount(); ++i)
                MakeCheckable(tree->topLevelItem(i));
        }
        tree->viewport()->update();  // grid lines come and go with the style
    }
    return old;
}

DWORD CListCtrl::GetExtendedStyle() const { return GetExStyle(); }

int CListCtrl::InsertColumn(int column, LPCSTR heading, int format, int width, int /*subItem*/)
{
    QTreeWidget* tree = Tree(this);
    if (!tree)
        return -1;
    const int count = tree->columnCount();
    column = std::clamp(column, 0, count);
    QStringList headings;
    for (int i = 0; i < count; ++i)
        headings << tree->headerItem()->text(i);
    headings.insert(column, kvui::ToQ(heading));
    std::vector<int> widths;
    for (int i = 0; i < count; ++i)
        widths.push_back(tree->columnWidth(i));
    widths.insert(widths.begin() + column, width < 0 ? 100 : width);
    tree->setColumnCount(count + 1);
    // Move the cells right of the new column over by one.
    for (int r = 0; r < tree->topLevelItemCount(); ++r) {
        QTreeWidgetItem* item = tree->topLevelItem(r);
        for (int c = count; c > column; --c) {
            item->setText(c, item->text(c - 1));
            item->setData(c, kTextColorRole, item->data(c - 1, kTextColorRole));
            item->setData(c, kBackColorRole, item->data(c - 1, kBackColorRole));
        }
        if (count > 0) {
            item->setText(column, QString());
            item->setData(column, kTextColorRole, QVariant());
            item->setData(column, kBackColorRole, QVariant());
        }
    }
    tree->setHeaderLabels(headings);
    const Qt::Alignment align = format == LVCFMT_RIGHT ? Qt::AlignRight : format == LVCFMT_CENTER ? Qt::AlignHCenter
                                                                                                  : Qt::AlignLeft;
    tree->headerItem()->setTextAlignment(column, align | Qt::AlignVCenter);
    tree->headerItem()->setData(column, kDataRole, static_cast<int>(align));
    for (int i = 0; i <= count; ++i)
        tree->setColumnWidth(i, widths[static_cast<size_t>(i)]);
    return column;
}

BOOL CListCtrl::DeleteColumn(int column)
{
    QTreeWidget* tree = Tree(this);
    if (!tree || column < 0 || column >= tree->columnCount())
        return FALSE;
    const int count = tree->columnCount();
    QStringList headings;
    std::vector<int> widths;
    for (int i = 0; i < count; ++i)
        if (i != column) {
            headings << tree->headerItem()->text(i);
            widths.push_back(tree->columnWidth(i));
        }
    for (int r = 0; r < tree->topLevelItemCount(); ++r) {
        QTreeWidgetItem* item = tree->topLevelItem(r);
        for (int c = column; c < count - 1; ++c) {
            item->setText(c, item->text(c + 1));
            item->setData(c, kTextColorRole, item->data(c + 1, kTextColorRole));
            item->setData(c, kBackColorRole, item->data(c + 1, kBackColorRole));
        }
    }
    tree->setColumnCount(count - 1);
    tree->setHeaderLabels(headings);
    for (int i = 0; i < count - 1; ++i)
        tree->setColumnWidth(i, widths[static_cast<size_t>(i)]);
    return TRUE;
}

int CListCtrl::GetColumnCount() const { return Tree(this) ? Tree(this)->columnCount() : 0; }

BOOL CListCtrl::SetColumnWidth(int column, int width)
{
    QTreeWidget* tree = Tree(this);
    if (!tree || column < 0 || column >= tree->columnCount())
        return FALSE;
    if (width == LVSCW_AUTOSIZE || width == LVSCW_AUTOSIZE_USEHEADER) {
        const bool withHeading = width == LVSCW_AUTOSIZE_USEHEADER || tree->topLevelItemCount() == 0;
        width = CellsWidth(tree, column);
        if (withHeading)
            width = std::max(width, tree->header()->sectionSizeHint(column));
    }
    tree->setColumnWidth(column, std::max(0, width));
    return TRUE;
}

int CListCtrl::GetColumnWidth(int column) const
{
    QTreeWidget* tree = Tree(this);
    return tree && column >= 0 && column < tree->columnCount() ? tree->columnWidth(column) : 0;
}

CHeaderCtrl* CListCtrl::GetHeaderCtrl()
{
    if (!m_header)
        m_header = new CHeaderCtrl(this);
    return m_header;
}

int CListCtrl::InsertItem(int index, LPCSTR text)
{
    QTreeWidget* tree = Tree(this);
    if (!tree)
        return -1;
    if (index < 0 || index > tree->topLevelItemCount())
        index = tree->topLevelItemCount();
    // The row is made whole before it joins the tree, so building it sends no
    // change signals; only lists with check boxes have checkable rows.
    auto* item = new QTreeWidgetItem();
    item->setText(0, kvui::ToQ(text));
    item->setData(0, kDataRole, QVariant::fromValue<qulonglong>(0));
    item->setFlags(item->flags() & ~(Qt::ItemIsEditable | Qt::ItemIsUserCheckable));
    if (HasCheckBoxes(this))
        MakeCheckable(item);
    for (int c = 0; c < tree->columnCount(); ++c) {
        const int align = tree->headerItem()->data(c, kDataRole).toInt();
        if (align)
            item->setTextAlignment(c, static_cast<Qt::Alignment>(align) | Qt::AlignVCenter);
    }
    kvui::ProgrammaticChange change;
    tree->insertTopLevelItem(index, item);
    return index;
}

BOOL CListCtrl::DeleteItem(int index)
{
    QTreeWidget* tree = Tree(this);
    if (!Row(this, index))
        return FALSE;
    NMLISTVIEW note{};
    note.hdr.code = LVN_DELETEITEM;
    note.iItem = index;
    note.lParam = static_cast<LPARAM>(GetItemData(index));
    GetImpl()->NotifyParent(note.hdr);
    kvui::ProgrammaticChange change;
    delete tree->takeTopLevelItem(index);
    return TRUE;
}

BOOL CListCtrl::DeleteAllItems()
{
    QTreeWidget* tree = Tree(this);
    if (!tree)
        return FALSE;
    NMLISTVIEW note{};
    note.hdr.code = LVN_DELETEALLITEMS;
    note.iItem = -1;
    GetImpl()->NotifyParent(note.hdr);
    kvui::ProgrammaticChange change;
    // Sorted rows lie scattered in memory; freed in address order they cost
    // far less than in row order.
    const QList<QTreeWidgetItem*> taken = tree->invisibleRootItem()->takeChildren();
    std::vector<QTreeWidgetItem*> rows(taken.begin(), taken.end());
    std::sort(rows.begin(), rows.end(), std::less<>());
    for (QTreeWidgetItem* row : rows)
        delete row;
    return TRUE;
}

int CListCtrl::GetItemCount() const { return Tree(this) ? Tree(this)->topLevelItemCount() : 0; }

BOOL CListCtrl::SetItemText(int item, int subItem, LPCSTR text)
{
    QTreeWidgetItem* row = Row(this, item);
    if (!row || subItem < 0 || subItem >= std::max(1, GetColumnCount()))
        return FALSE;
    kvui::ProgrammaticChange change;
    row->setText(subItem, kvui::ToQ(text));
    return TRUE;
}

CString CListCtrl::GetItemText(int item, int subItem) const
{
    QTreeWidgetItem* row = Row(this, item);
    return row ? kvui::FromQ(row->text(subItem)) : CString();
}

BOOL CListCtrl::SetItemData(int item, DWORD_PTR data)
{
    QTreeWidgetItem* row = Row(this, item);
    if (!row)
        return FALSE;
    row->setData(0, kDataRole, QVariant::fromValue<qulonglong>(data));
    return TRUE;
}

DWORD_PTR CListCtrl::GetItemData(int item) const
{
    QTreeWidgetItem* row = Row(this, item);
    return row ? static_cast<DWORD_PTR>(row->data(0, kDataRole).toULongLong()) : 0;
}

BOOL CListCtrl::SetItemState(int item, UINT state, UINT mask)
{
    QTreeWidget* tree = Tree(this);
    if (!tree)
        return FALSE;
    if (item < 0) {
        for (int i = 0; i < tree->topLevelItemCount(); ++i)
            SetItemState(i, state, mask);
        return TRUE;
    }
    QTreeWidgetItem* row = Row(this, item);
    if (!row)
        return FALSE;
    if (mask & LVIS_SELECTED) {
        if ((state & LVIS_SELECTED) && (GetStyle() & LVS_SINGLESEL))
            tree->clearSelection();
        row->setSelected(state & LVIS_SELECTED);
    }
    if (mask & LVIS_FOCUSED) {
        if (state & LVIS_FOCUSED)
            tree->setCurrentItem(row, 0, QItemSelectionModel::NoUpdate);
        else if (tree->currentItem() == row)
            tree->setCurrentItem(nullptr, 0, QItemSelectionModel::NoUpdate);
    }
    if ((mask & LVIS_STATEIMAGEMASK) && HasCheckBoxes(this))
        row->setCheckState(0, ((state & LVIS_STATEIMAGEMASK) >> 12) == 2 ? Qt::Checked : Qt::Unchecked);
    return TRUE;
}

UINT CListCtrl::GetItemState(int item, UINT mask) const
{
    QTreeWidget* tree = Tree(this);
    QTreeWidgetItem* row = Row(this, item);
    if (!row)
        return 0;
    UINT state = 0;
    if (row->isSelected()) state |= LVIS_SELECTED;
    if (tree->currentItem() == row) state |= LVIS_FOCUSED;
    if (HasCheckBoxes(this))
        state |= INDEXTOSTATEIMAGEMASK(row->checkState(0) == Qt::Checked ? 2 : 1);
    return state & mask;
}

BOOL CListCtrl::SetCheck(int item, BOOL check)
{
    return SetItemState(item, INDEXTOSTATEIMAGEMASK(check ? 2 : 1), LVIS_STATEIMAGEMASK);
}

BOOL CListCtrl::GetCheck(int item) const { return (GetItemState(item, LVIS_STATEIMAGEMASK) >> 12) == 2; }

int CListCtrl::GetNextItem(int start, UINT flags) const
{
    const int count = GetItemCount();
    for (int i = start + 1; i < count; ++i) {
        const UINT state = GetItemState(i, LVIS_SELECTED | LVIS_FOCUSED);
        if (flags == LVNI_ALL || ((flags & LVNI_SELECTED) && (state & LVIS_SELECTED)) ||
            ((flags & LVNI_FOCUSED) && (state & LVIS_FOCUSED)))
            return i;
    }
    return -1;
}

int CListCtrl::GetSelectedCount() const
{
    int count = 0;
    for (int i = 0; i < GetItemCount(); ++i)
        if (GetItemState(i, LVIS_SELECTED))
            ++count;
    return count;
}

// A position is the selected row's index plus one, so null means none.
POSITION CListCtrl::GetFirstSelectedItemPosition() const
{
    const int first = GetNextItem(-1, LVNI_SELECTED);
    return first < 0 ? nullptr : reinterpret_cast<POSITION>(static_cast<std::intptr_t>(first + 1));
}

int CListCtrl::GetNextSelectedItem(POSITION& position) const
{
    const int current = static_cast<int>(reinterpret_cast<std::intptr_t>(position)) - 1;
    const int next = GetNextItem(current, LVNI_SELECTED);
    position = next < 0 ? nullptr : reinterpret_cast<POSITION>(static_cast<std::intptr_t>(next + 1));
    return current;
}

BOOL CListCtrl::EnsureVisible(int item, BOOL /*partialOk*/)
{
    QTreeWidgetItem* row = Row(this, item);
    if (!row)
        return FALSE;
    Tree(this)->scrollToItem(row);
    return TRUE;
}

int CListCtrl::GetTopIndex() const
{
    QTreeWidget* tree = Tree(this);
    if (!tree)
        return 0;
    QTreeWidgetItem* top = tree->itemAt(0, 0);
    return top ? tree->indexOfTopLevelItem(top) : 0;
}

int CListCtrl::GetCountPerPage() const
{
    QTreeWidget* tree = Tree(this);
    if (!tree)
        return 0;
    const int rowHeight = tree->topLevelItemCount() > 0 ? tree->visualItemRect(tree->topLevelItem(0)).height()
                                                        : tree->fontMetrics().height() + 4;
    return rowHeight > 0 ? tree->viewport()->height() / rowHeight : 0;
}

BOOL CListCtrl::GetItemRect(int item, LPRECT rect, UINT /*code*/) const
{
    QTreeWidget* tree = Tree(this);
    QTreeWidgetItem* row = Row(this, item);
    if (!row || !rect)
        return FALSE;
    QRect r = tree->visualItemRect(row);
    r.translate(tree->viewport()->mapTo(tree, QPoint(0, 0)));
    r.setLeft(tree->viewport()->mapTo(tree, QPoint(0, 0)).x() - tree->horizontalScrollBar()->value());
    int width = 0;
    for (int c = 0; c < tree->columnCount(); ++c)
        width += tree->columnWidth(c);
    r.setWidth(width);
    *rect = RECT{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
    return TRUE;
}

BOOL CListCtrl::GetSubItemRect(int item, int subItem, UINT code, CRect& rect) const
{
    QTreeWidget* tree = Tree(this);
    if (!GetItemRect(item, &rect, code) || subItem < 0 || subItem >= tree->columnCount())
        return FALSE;
    int left = rect.left;
    for (int c = 0; c < subItem; ++c)
        left += tree->columnWidth(c);
    rect.left = left;
    rect.right = left + tree->columnWidth(subItem);
    // The first column's label starts past its check box and image; a sub-item's label is the whole cell.
    if (code == LVIR_LABEL && subItem == 0)
        rect.left += kvui::ListLabelIndent(tree, tree->topLevelItem(item), subItem);
    return TRUE;
}

int CListCtrl::HitTest(CPoint point, UINT* flags) const
{
    LVHITTESTINFO info{};
    info.pt = point;
    const int item = SubItemHitTest(&info);
    if (flags)
        *flags = info.flags;
    return item;
}

int CListCtrl::SubItemHitTest(LVHITTESTINFO* info) const
{
    QTreeWidget* tree = Tree(this);
    if (!tree || !info)
        return -1;
    const QPoint inViewport = tree->viewport()->mapFrom(tree, QPoint(info->pt.x, info->pt.y));
    QTreeWidgetItem* row = tree->itemAt(inViewport);
    info->iItem = row ? tree->indexOfTopLevelItem(row) : -1;
    info->iSubItem = row ? tree->header()->logicalIndexAt(inViewport.x()) : -1;
    // On a row: the check box or the label, as the parts of LVHT_ONITEM.
    info->flags = !row ? LVHT_NOWHERE
                  : info->iSubItem == 0 && kvui::OnListCheckBox(tree, row, inViewport) ? LVHT_ONITEMSTATEICON
                                                                                       : LVHT_ONITEMLABEL;
    return info->iItem;
}

BOOL CListCtrl::SortItems(PFNLVCOMPARE compare, DWORD_PTR sortData)
{
    QTreeWidget* tree = Tree(this);
    if (!tree || !compare)
        return FALSE;
    kvui::ProgrammaticChange change;
    // All rows at once: taking them one by one from the top costs a pass over the rest each time.
    const QList<QTreeWidgetItem*> taken = tree->invisibleRootItem()->takeChildren();
    std::vector<QTreeWidgetItem*> rows(taken.begin(), taken.end());
    std::stable_sort(rows.begin(), rows.end(), [&](QTreeWidgetItem* a, QTreeWidgetItem* b) {
        return compare(static_cast<LPARAM>(a->data(0, kDataRole).toULongLong()),
                       static_cast<LPARAM>(b->data(0, kDataRole).toULongLong()), static_cast<LPARAM>(sortData)) < 0;
    });
    tree->addTopLevelItems(QList<QTreeWidgetItem*>(rows.begin(), rows.end()));
    return TRUE;
}

BOOL CListCtrl::SortItemsEx(PFNLVCOMPARE compare, DWORD_PTR sortData)
{
    QTreeWidget* tree = Tree(this);
    if (!tree || !compare)
        return FALSE;
    kvui::ProgrammaticChange change;
    const QList<QTreeWidgetItem*> taken = tree->invisibleRootItem()->takeChildren();
    std::vector<int> order(static_cast<size_t>(taken.size()));
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = static_cast<int>(i);
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return compare(a, b, static_cast<LPARAM>(sortData)) < 0; });
    QList<QTreeWidgetItem*> rows;
    rows.reserve(taken.size());
    for (int index : order)
        rows.append(taken[index]);
    tree->addTopLevelItems(rows);
    return TRUE;
}

BOOL CListCtrl::Scroll(CSize size)
{
    QTreeWidget* tree = Tree(this);
    if (!tree)
        return FALSE;
    const int rowHeight = tree->topLevelItemCount() > 0 ? std::max(1, tree->visualItemRect(tree->topLevelItem(0)).height()) : 1;
    tree->verticalScrollBar()->setValue(tree->verticalScrollBar()->value() + size.cy / rowHeight);
    tree->horizontalScrollBar()->setValue(tree->horizontalScrollBar()->value() + size.cx);
    return TRUE;
}

// ---------------------------------------------------------------------------
namespace kvui {

void WireListView(CWndImpl* impl, QTreeWidget* tree)
{
    tree->setContextMenuPolicy(Qt::CustomContextMenu);
    WireListScrollBars(impl, tree);
    WireListFocus(tree);
    auto sendState = [impl](int row, UINT newState, UINT oldState) {
        NMLISTVIEW note{};
        note.hdr.code = LVN_ITEMCHANGED;
        note.iItem = row;
        note.uChanged = LVIF_STATE;
        note.uNewState = newState;
        note.uOldState = oldState;
        if (CWnd* w = impl->wnd)
            note.lParam = static_cast<LPARAM>(static_cast<CListCtrl*>(w)->GetItemData(row));
        impl->NotifyParent(note.hdr);
    };
    QObject::connect(tree->selectionModel(), &QItemSelectionModel::selectionChanged, impl,
                     [tree, sendState](const QItemSelection& selected, const QItemSelection& deselected) {
                         for (const QModelIndex& index : deselected.indexes())
                             if (index.column() == 0)
                                 sendState(index.row(), 0, LVIS_SELECTED);
                         for (const QModelIndex& index : selected.indexes())
                             if (index.column() == 0)
                                 sendState(index.row(), LVIS_SELECTED, 0);
                         (void)tree;
                     });
    QObject::connect(tree, &QTreeWidget::itemChanged, impl, [tree, sendState](QTreeWidgetItem* item, int column) {
        if (column != 0 || !(item->flags() & Qt::ItemIsUserCheckable))
            return;
        const bool checked = item->checkState(0) == Qt::Checked;
        const QVariant last = item->data(0, kLastCheckRole);
        if (last.isValid() && last.toBool() == checked)
            return;
        item->setData(0, kLastCheckRole, checked);
        sendState(tree->indexOfTopLevelItem(item), INDEXTOSTATEIMAGEMASK(checked ? 2 : 1),
                  INDEXTOSTATEIMAGEMASK(checked ? 1 : 2));
    });
    auto activate = [impl, tree](UINT code, QTreeWidgetItem* item, int column) {
        NMITEMACTIVATE note{};
        note.hdr.code = code;
        note.iItem = item ? tree->indexOfTopLevelItem(item) : -1;
        note.iSubItem = column;
        impl->NotifyParent(note.hdr);
    };
    QObject::connect(tree, &QTreeWidget::itemClicked, impl,
                     [activate](QTreeWidgetItem* item, int column) { activate(NM_CLICK, item, column); });
    QObject::connect(tree, &QTreeWidget::itemDoubleClicked, impl,
                     [activate](QTreeWidgetItem* item, int column) { activate(NM_DBLCLK, item, column); });
    QObject::connect(tree, &QWidget::customContextMenuRequested, impl, [activate, tree](const QPoint& pos) {
        activate(NM_RCLICK, tree->itemAt(pos), tree->header()->logicalIndexAt(pos.x()));
    });
    QObject::connect(tree->header(), &QHeaderView::sectionClicked, impl, [impl](int column) {
        NMLISTVIEW note{};
        note.hdr.code = LVN_COLUMNCLICK;
        note.iItem = -1;
        note.iSubItem = column;
        impl->NotifyParent(note.hdr);
    });
}

void KvCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyleOptionViewItem cell(option);
    auto* tree = qobject_cast<QTreeWidget*>(parent());
    CWndImpl* impl = tree ? CWndImpl::Of(tree) : nullptr;
    bool postPaint = false;
    if (impl) {
        NMLVCUSTOMDRAW draw{};
        draw.nmcd.hdr.code = NM_CUSTOMDRAW;
        draw.nmcd.dwDrawStage = CDDS_ITEMPREPAINT | CDDS_SUBITEM;
        draw.nmcd.dwItemSpec = static_cast<DWORD_PTR>(index.row());
        draw.nmcd.rc = RECT{option.rect.left(), option.rect.top(), option.rect.right() + 1, option.rect.bottom() + 1};
        draw.iSubItem = index.column();
        draw.nmcd.lItemlParam = tree->topLevelItem(index.row())
                                    ? static_cast<LPARAM>(tree->topLevelItem(index.row())->data(0, kDataRole).toULongLong())
                                    : 0;
        draw.clrText = 0xFFFFFFFFu;
        draw.clrTextBk = 0xFFFFFFFFu;
        const QVariant text = index.data(kTextColorRole);
        const QVariant back = index.data(kBackColorRole);
        if (text.isValid()) draw.clrText = text.toUInt();
        if (back.isValid()) draw.clrTextBk = back.toUInt();
        const LRESULT wanted = impl->NotifyParent(draw.nmcd.hdr);
        postPaint = (wanted & CDRF_NOTIFYPOSTPAINT) != 0;
        const bool selected = option.state & QStyle::State_Selected;
        if (draw.clrTextBk != 0xFFFFFFFFu && !selected)
            painter->fillRect(option.rect, ToQColor(draw.clrTextBk));
        if (draw.clrText != 0xFFFFFFFFu && !selected) {
            cell.palette.setColor(QPalette::Text, ToQColor(draw.clrText));
            cell.palette.setColor(QPalette::WindowText, ToQColor(draw.clrText));
        }
        if (draw.clrTextBk != 0xFFFFFFFFu && !selected)
            cell.backgroundBrush = QBrush(ToQColor(draw.clrTextBk));
    }
    if (index.data(Qt::CheckStateRole).isValid()) {
        // The row's check box is drawn from the base and window colours, which a list on a
        // grey background shares with its rows: keep it a white box with a dark edge.
        cell.palette.setColor(QPalette::Base, Qt::white);
        cell.palette.setColor(QPalette::Window, QColor(0x90, 0x90, 0x90));
    }
    QStyledItemDelegate::paint(painter, cell, index);
    if (impl && (impl->exStyle & LVS_EX_GRIDLINES)) {
        // Drawn here rather than by a style sheet: a sheet takes the selection's painting and
        // the header's font away from the list, leaving a selected row's text white on white.
        painter->save();
        painter->setPen(QColor(0xd0, 0xd0, 0xd0));
        painter->drawLine(option.rect.topRight(), option.rect.bottomRight());
        painter->drawLine(option.rect.bottomLeft(), option.rect.bottomRight());
        painter->restore();
    }
    if (postPaint && impl) {
        // The parent draws over the finished cell, on the same surface.
        CDC dc;
        dc.GetImpl()->painter = painter;
        dc.GetImpl()->baseFont = painter->font();
        painter->save();
        NMLVCUSTOMDRAW draw{};
        draw.nmcd.hdr.code = NM_CUSTOMDRAW;
        draw.nmcd.dwDrawStage = CDDS_ITEMPOSTPAINT | CDDS_SUBITEM;
        draw.nmcd.hdc = &dc;
        draw.nmcd.dwItemSpec = static_cast<DWORD_PTR>(index.row());
        draw.nmcd.rc = RECT{option.rect.left(), option.rect.top(), option.rect.right() + 1, option.rect.bottom() + 1};
        draw.iSubItem = index.column();
        const QVariant text = index.data(kTextColorRole);
        const QVariant back = index.data(kBackColorRole);
        draw.clrText = text.isValid() ? text.toUInt() : 0xFFFFFFFFu;
        draw.clrTextBk = back.isValid() ? back.toUInt() : 0xFFFFFFFFu;
        if (option.state & QStyle::State_Selected) {
            // The cell is drawn in the selection's colours: whatever the parent adds goes on them.
            const QPalette::ColorGroup group = option.state & QStyle::State_Active ? QPalette::Active : QPalette::Inactive;
            const QColor fill = option.palette.color(group, QPalette::Highlight);
            const QColor ink = option.palette.color(group, QPalette::HighlightedText);
            draw.nmcd.uItemState |= CDIS_SELECTED;
            draw.clrTextBk = RGB(fill.red(), fill.green(), fill.blue());
            draw.clrText = RGB(ink.red(), ink.green(), ink.blue());
        }
        impl->NotifyParent(draw.nmcd.hdr);
        painter->restore();
        dc.GetImpl()->painter = nullptr;
    }
}

}  // namespace kvui
