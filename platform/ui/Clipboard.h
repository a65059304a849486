// The clipboard, for images. The clipboard keeps its own copy of an image it
// is given, so the giver may free or reuse its bitmap at once.
#pragma once

#include "Bitmap.h"
#include "Wnd.h"

BOOL OpenClipboard(CWnd* owner);
BOOL CloseClipboard();
BOOL EmptyClipboard();
// Needs the clipboard open; copies the bitmap's pixels.
BOOL SetClipboardImage(const CBitmap& bitmap);
BOOL IsClipboardImageAvailable();
// The clipboard's plain text (empty when it holds none).
CString GetClipboardText();
BOOL GetClipboardImage(CBitmap& bitmap);

namespace kvtest {
// The next OpenClipboard fails, as when another program holds the clipboard.
void FailNextClipboardOpen();
}  // namespace kvtest
