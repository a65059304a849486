// Keys shared by the grid's in-place editors: Enter commits and Esc cancels,
// and both belong to the editor rather than to the dialog around the grid.
#pragma once

#include "platform/ui/Wnd.h"

// Turns Enter and Esc into characters for the editor; true when the key was taken.
inline bool RouteInPlaceEditorKey(CWnd& editor, const MSG* msg)
{
    if (msg->message != WM_KEYDOWN || (msg->wParam != VK_RETURN && msg->wParam != VK_ESCAPE))
        return false;
    editor.SendMessage(WM_CHAR, msg->wParam == VK_RETURN ? '\r' : 0x1B, msg->lParam);
    return true;
}

// Ends the edit on Enter or Esc by giving the focus back to the grid; true when
// the character was one of them. Esc marks the edit cancelled.
inline bool EndInPlaceEditOnKey(UINT ch, CWnd& grid, BOOL& cancelled)
{
    if (ch != 0x1B && ch != '\r')
        return false;
    if (ch == 0x1B)
        cancelled = TRUE;
    grid.SetFocus();
    return true;
}
