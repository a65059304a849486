// Private to the window layer: list cells' images and the check box's place.
#pragma once

#include <QPoint>

class QTreeWidget;
class QTreeWidgetItem;
struct CWndImpl;

namespace kvui {
constexpr int kListImageRole = 0x0100 + 10;  // Qt::UserRole + 10: the cell's image index
// True when the viewport point lies on the row's check box.
bool OnListCheckBox(QTreeWidget* tree, QTreeWidgetItem* row, QPoint inViewport);
void WireListScrollBars(CWndImpl* impl, QTreeWidget* tree);
void WireListFocus(QTreeWidget* tree);
// How far a cell's text starts from the cell's left edge.
int ListLabelIndent(QTreeWidget* tree, QTreeWidgetItem* row, int column);
}  // namespace kvui
