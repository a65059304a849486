// CListCtrl's items with images and item data, and its columns' formats.
#include <QEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTreeWidget>
#include <cstring>

#include "DCImpl.h"
#include "ImageList.h"
#include "ImageListImpl.h"
#include "ListCtrl.h"
#include "ListCtrlPrivate.h"
#include "WndImpl.h"

namespace {
constexpr int kDataRole = Qt::UserRole;

QTreeWidgetItem* RowOf(const CWnd* wnd, int index)
{
    QTreeWidget* tree = WidgetAs<QTreeWidget>(wnd);
    return tree && index >= 0 && index < tree->topLevelItemCount() ? tree->topLevelItem(index) : nullptr;
}

QVariant PictureOf(const CImageList* images, int image)
{
    if (!images || !images->GetImpl() || image < 0 || image >= images->GetImageCount())
        return QVariant();
    return QVariant::fromValue(images->GetImpl()->images[static_cast<size_t>(image)]);
}
}  // namespace

namespace kvui {
namespace {
// The toolkit makes the first row current when a list gets the focus; a list
// view gives no row the focus until the user or the program does.
class FocusWithoutCurrentRow : public QObject {
public:
    explicit FocusWithoutCurrentRow(QTreeWidget* tree) : QObject(tree), m_tree(tree)
    {
        connect(tree, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* now, QTreeWidgetItem* before) {
            if (m_focusing && now && !before) {
                m_focusing = false;
                m_tree->selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
            }
        });
        tree->installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* event) override
    {
        m_focusing = event->type() == QEvent::FocusIn && !m_tree->currentItem();
        return false;
    }

private:
    QTreeWidget* m_tree;
    bool m_focusing = false;
};
}  // namespace

void WireListFocus(QTreeWidget* tree) { new FocusWithoutCurrentRow(tree); }

// Rows are checkable by the toolkit's default; only a row given a check state shows a box.
static bool HasCheckBox(const QTreeWidgetItem* row) { return row->data(0, Qt::CheckStateRole).isValid(); }

int ListLabelIndent(QTreeWidget* tree, QTreeWidgetItem* row, int column)
{
    if (!tree || !row)
        return 0;
    const bool checkBox = column == 0 && HasCheckBox(row);
    const bool image = row->data(column, Qt::DecorationRole).isValid();
    if (!checkBox && !image)
        return 0;
    QStyleOptionViewItem option;
    option.initFrom(tree->viewport());
    option.rect = tree->visualItemRect(row);
    option.rect.setLeft(0);
    option.rect.setWidth(tree->columnWidth(column));
    option.features = QStyleOptionViewItem::HasDisplay;
    if (checkBox)
        option.features |= QStyleOptionViewItem::HasCheckIndicator;
    if (image) {
        option.features |= QStyleOptionViewItem::HasDecoration;
        option.decorationSize = tree->iconSize().isValid() ? tree->iconSize() : QSize(16, 16);
    }
    option.text = row->text(column);
    const QRect text = tree->style()->subElementRect(QStyle::SE_ItemViewItemText, &option, tree);
    return std::max(0, text.left() - 1);
}

void WireListScrollBars(CWndImpl* impl, QTreeWidget* tree)
{
    // The list hears of a scroll before its rows move, as WM_VSCROLL and WM_HSCROLL.
    auto wire = [impl](QScrollBar* bar, UINT message) {
        QObject::connect(bar, &QAbstractSlider::actionTriggered, impl, [impl, bar, message](int action) {
            UINT code = SB_THUMBTRACK;
            switch (action) {
            case QAbstractSlider::SliderSingleStepAdd: code = SB_LINEDOWN; break;
            case QAbstractSlider::SliderSingleStepSub: code = SB_LINEUP; break;
            case QAbstractSlider::SliderPageStepAdd: code = SB_PAGEDOWN; break;
            case QAbstractSlider::SliderPageStepSub: code = SB_PAGEUP; break;
            default: break;
            }
            if (impl->wnd)
                AfxCallWndProc(impl->wnd, message,
                               MAKEWPARAM(static_cast<WORD>(code), static_cast<WORD>(bar->sliderPosition())), 0);
        });
    };
    wire(tree->verticalScrollBar(), WM_VSCROLL);
    wire(tree->horizontalScrollBar(), WM_HSCROLL);
}

bool OnListCheckBox(QTreeWidget* tree, QTreeWidgetItem* row, QPoint inViewport)
{
    if (!tree || !row || !HasCheckBox(row))
        return false;
    QStyleOptionViewItem option;
    option.initFrom(tree->viewport());
    option.rect = tree->visualItemRect(row);
    option.rect.setWidth(tree->columnWidth(0));
    option.features = QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
    option.text = row->text(0);
    const QRect box = tree->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, tree);
    return box.adjusted(-2, -2, 2, 2).contains(inViewport);
}
}  // namespace kvui

BOOL CListCtrl::SetItem(const LVITEM* item)
{
    QTreeWidgetItem* row = item ? RowOf(this, item->iItem) : nullptr;
    if (!row || item->iSubItem < 0 || item->iSubItem >= std::max(1, GetColumnCount()))
        return FALSE;
    if (item->mask & LVIF_TEXT)
        SetItemText(item->iItem, item->iSubItem, item->pszText ? item->pszText : "");
    if (item->mask & LVIF_PARAM)
        SetItemData(item->iItem, static_cast<DWORD_PTR>(item->lParam));
    if (item->mask & LVIF_STATE)
        SetItemState(item->iItem, item->state, item->stateMask);
    if (item->mask & LVIF_IMAGE) {
        kvui::ProgrammaticChange change;
        row->setData(item->iSubItem, kvui::kListImageRole, item->iImage);
        const bool shown = item->iSubItem == 0 || (GetExStyle() & LVS_EX_SUBITEMIMAGES);
        row->setData(item->iSubItem, Qt::DecorationRole,
                     shown ? PictureOf(m_imageLists[LVSIL_SMALL], item->iImage) : QVariant());
    }
    return TRUE;
}

BOOL CListCtrl::GetItem(LVITEM* item) const
{
    QTreeWidgetItem* row = item ? RowOf(this, item->iItem) : nullptr;
    if (!row || item->iSubItem < 0 || item->iSubItem >= std::max(1, GetColumnCount()))
        return FALSE;
    if ((item->mask & LVIF_TEXT) && item->pszText && item->cchTextMax > 0) {
        const CString text = GetItemText(item->iItem, item->iSubItem);
        const size_t n = std::min(static_cast<size_t>(text.GetLength()), static_cast<size_t>(item->cchTextMax - 1));
        std::memcpy(item->pszText, text.GetString(), n);
        item->pszText[n] = '\0';
    }
    if (item->mask & LVIF_PARAM)
        item->lParam = static_cast<LPARAM>(GetItemData(item->iItem));
    if (item->mask & LVIF_STATE)
        item->state = GetItemState(item->iItem, item->stateMask);
    if (item->mask & LVIF_IMAGE) {
        const QVariant image = row->data(item->iSubItem, kvui::kListImageRole);
        item->iImage = image.isValid() ? image.toInt() : (item->iSubItem == 0 ? 0 : -1);
    }
    return TRUE;
}

BOOL CListCtrl::GetColumn(int column, LVCOLUMN* info) const
{
    QTreeWidget* tree = WidgetAs<QTreeWidget>(this);
    if (!tree || !info || column < 0 || column >= tree->columnCount())
        return FALSE;
    if (info->mask & LVCF_FMT) {
        const int align = tree->headerItem()->data(column, kDataRole).toInt();
        info->fmt = (align & Qt::AlignRight) ? LVCFMT_RIGHT : (align & Qt::AlignHCenter) ? LVCFMT_CENTER : LVCFMT_LEFT;
    }
    if (info->mask & LVCF_WIDTH)
        info->cx = tree->columnWidth(column);
    if ((info->mask & LVCF_TEXT) && info->pszText && info->cchTextMax > 0) {
        const CString text = kvui::FromQ(tree->headerItem()->text(column));
        const size_t n = std::min(static_cast<size_t>(text.GetLength()), static_cast<size_t>(info->cchTextMax - 1));
        std::memcpy(info->pszText, text.GetString(), n);
        info->pszText[n] = '\0';
    }
    return TRUE;
}

CImageList* CListCtrl::SetImageList(CImageList* images, int kind)
{
    if (kind < LVSIL_NORMAL || kind > LVSIL_STATE)
        return nullptr;
    CImageList* old = m_imageLists[kind];
    m_imageLists[kind] = images;
    return old;
}

CImageList* CListCtrl::GetImageList(int kind) const
{
    return kind >= LVSIL_NORMAL && kind <= LVSIL_STATE ? m_imageLists[kind] : nullptr;
}

BOOL CListCtrl::SetBkColor(COLORREF color)
{
    QTreeWidget* tree = WidgetAs<QTreeWidget>(this);
    if (!tree)
        return FALSE;
    QPalette palette = tree->palette();
    palette.setColor(QPalette::Base, kvui::ToQColor(color));
    palette.setColor(QPalette::AlternateBase, kvui::ToQColor(color));
    tree->setPalette(palette);
    return TRUE;
}
