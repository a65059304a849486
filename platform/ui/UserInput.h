// What a user does, done by a test or a script: clicks, keys and typing go
// through the same path as real input, so handlers, notifications and
// subclassing hooks all see them.
#pragma once

#include <functional>

#include "Wnd.h"

namespace kvtest {
// A left click at a client point (the centre when none is given).
void Click(CWnd* wnd);
void ClickAt(CWnd* wnd, CPoint point);
void MouseDown(CWnd* wnd, CPoint point);
void MouseUp(CWnd* wnd, CPoint point);
void DoubleClick(CWnd* wnd, CPoint point);
void RightClick(CWnd* wnd, CPoint point);
// A key press and release; `vk` is a virtual-key code (VK_RETURN, 'A' ...).
void PressKey(CWnd* wnd, UINT vk, bool control = false, bool shift = false);
// Types the text character by character into the window (gives it the focus first).
void TypeText(CWnd* wnd, const char* text);
// Picks an item of a combo box or list as the user would; false when there is none.
bool PickItem(CWnd* wnd, int index);
// Clicks an item of the combo box's open drop-down list with the mouse; false when no list is open.
bool ClickDroppedItem(CWnd* combo, int index);
// The rectangle of the combo box's open drop-down list in screen pixels (empty when closed).
CRect DroppedListRect(CWnd* combo);
// Whether the window shows its vertical (or horizontal) scroll bar.
bool ScrollBarShown(CWnd* wnd, bool vertical);
// The face and pixel size a window's text is shown in ("Face 11"); with `header`, its list header's.
CString ShownFont(CWnd* wnd, bool header = false);
// Closes a top-level window with its close button.
void CloseWindow(CWnd* wnd);
// Runs `action` once the next modal dialog is open (from inside its loop).
void OnNextModal(std::function<void(CWnd* dialog)> action);
// Pretends the screen is width x height with this many monitors side by side (0 x 0: the real one).
void OverrideScreen(int width, int height, int monitors = 1);
// A modal loop still open after this many ms is ended with IDCANCEL (0: never).
void SetModalTimeout(int ms);
}  // namespace kvtest
