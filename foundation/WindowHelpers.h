// Window helpers: placement in the profile or a layout archive, showing and
// hiding children, fonts by point size, keeping windows on the screen.
#pragma once

#include "platform/core/Archive.h"
#include "platform/ui/Font.h"
#include "platform/ui/Wnd.h"

// With an archive: the layout file's record; without: the profile, no suffix.
BOOL SaveWindowPlacement(CArchive* archive, CWnd* window);
// With an archive: rescaled to the present screen; without: the profile's size, applied.
BOOL RestoreWindowPlacement(CArchive* archive, CWnd* window, int archiveVersion);
void ShowChildWindows(CWnd* window, BOOL hide);
LOGFONT* MakeLogFontForPointSize(LOGFONT* font, CWnd* window, const char* faceName, int pointSize, int weight);
void MoveWindowOntoScreen(CWnd* window);
CRect GetChildrenBoundingRect(CWnd* window);
