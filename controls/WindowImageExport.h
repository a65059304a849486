// Exports a window's image, asking where to (file or clipboard), at what size
// and in which format. Non-zero on success; every outcome is reported.
#pragma once

#include "SaveWindowImageCB.h"
#include "platform/ui/Wnd.h"

int ExportWindowImage(CWnd* window, CSaveWindowImageCB* callback);

// Saves the window's client area as the export does once its dialog is answered (the type
// from the file's extension), without the dialog or a message: for a window whose open
// drop-down the dialog would close. Non-zero on success.
BOOL SaveWindowImageFile(CWnd* window, const char* path);
