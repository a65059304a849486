// Private to the window layer: owner-drawn combo boxes.
#pragma once

class QComboBox;
struct CWndImpl;

namespace kvui {
// Items in the drop-down are drawn by the owner through WM_DRAWITEM.
void WireOwnerDrawCombo(CWndImpl* impl, QComboBox* combo);
// The closed combo: frame and arrow by the toolkit, the chosen item by the owner.
bool PaintOwnerDrawCombo(CWndImpl* impl);
// Tells the owner an item is about to go, so it can free the item's data.
void NotifyComboItemDeleted(CWndImpl* impl, int index);
// The height a combo box takes when given `requested` pixels: the requested height is the dropped
// list's, the closed box keeps one item's height. Other windows take what they are given.
int ClosedWindowHeight(CWndImpl* impl, int requested);
}  // namespace kvui
