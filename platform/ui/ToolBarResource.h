// Toolbar resources (resources/*.tbr): the buttons of a toolbar and the size
// of their pictures, cut in order from the strip bitmaps/<id>.png:
//
//   TOOLBAR 250 16 15
//   BUTTON 32799
//   SEPARATOR
//   END
//
// Each button's tip is the tip part of its command's string (StringTable.h).
#pragma once

#include <vector>

#include "ToolBar.h"

struct ToolBarResource {
    UINT id = 0;
    int buttonWidth = 16;
    int buttonHeight = 15;
    std::vector<UINT> buttons;  // ID_SEPARATOR for a gap
};

bool ParseToolBarResource(const char* text, UINT id, ToolBarResource& out, bool& found, CString& error);
// Loads toolbar `id` into the bar: buttons, pictures and tips. FALSE (with an
// error) when the resource is missing or bad; a missing picture strip leaves
// the buttons with their command numbers.
BOOL AfxLoadToolBar(CToolBar& bar, UINT id, CString* error = nullptr);
