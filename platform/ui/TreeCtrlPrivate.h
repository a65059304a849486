// Private to the window layer: the widget behind a tree control.
#pragma once

class QTreeWidget;
class QWidget;
struct CWndImpl;

namespace kvui {
QTreeWidget* CreateTreeView(QWidget* parent);
void WireTreeView(CWndImpl* impl, QTreeWidget* tree);
}  // namespace kvui
