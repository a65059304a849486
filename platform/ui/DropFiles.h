// Files dropped on a window from the desktop. A window that accepts them gets
// WM_DROPFILES with the drop as wParam; the handler asks the drop for its
// files and finishes it. The drop lives until the message returns.
#pragma once

#include <vector>

#include "Wnd.h"

constexpr UINT WM_DROPFILES = 0x0233;

struct DropFilesData;
using HDROP = DropFilesData*;

// Whether the window takes dropped files from now on.
void DragAcceptFiles(CWnd* wnd, BOOL accept);
BOOL IsDragAcceptFiles(CWnd* wnd);
// The index 0xFFFFFFFF gives the number of files; otherwise the path's length,
// copied into the buffer (when given) cut to its size.
UINT DragQueryFile(HDROP drop, UINT index, char* buffer, UINT size);
// The handler is done with the drop.
void DragFinish(HDROP drop);

namespace kvtest {
// Drags the files over the window and drops them there, as the desktop does;
// true when the window took the drop.
bool DropFiles(CWnd* wnd, const std::vector<CString>& paths);
}  // namespace kvtest
