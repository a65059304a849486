// Exports a window's image, asking where to (file or clipboard), at what size
// and in which format. Non-zero on success; every outcome is reported.
#pragma once

#include "SaveWindowImageCB.h"
#include "platform/ui/Wnd.h"

int ExportWindowImage(CWnd* window, CSaveWindowImageCB* callback);
