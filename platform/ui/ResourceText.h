// The program's text resources beside the dialog templates: menus (*.menu),
// accelerators (*.acc), string tables (*.str) and toolbars (*.tbr), all in
// the resources folder, plus bitmaps (bitmaps/<id>.png) and icons
// (icons/<id>.png). The text files share one line syntax: words separated by
// blanks, a quoted word may hold blanks ("" stands for one quote, \t for a
// tab, \n for a line break), and a line starting with '#' is a comment.
#pragma once

#include <functional>
#include <utility>
#include <vector>

#include "platform/core/String.h"
#include "platform/core/WinTypes.h"

class CBitmap;
class CWnd;

struct ResourceLine {
    int number = 0;
    std::vector<CString> words;
};

// False with an error naming the line when a quote is left open.
bool SplitResourceText(const char* text, std::vector<ResourceLine>& lines, CString& error);
// Every file of the resources folder with this extension ("menu"), as (file name, text), by name.
std::vector<std::pair<CString, CString>> AfxReadResourceFiles(const char* extension);
// Reads the files of one kind until one holds resource `id`. `parse` reads one
// text, says whether the id was in it and gives its error; a fault names the
// file, a resource in no file is "<what> <id> not found".
using ResourceParser = std::function<bool(const char* text, bool& found, CString& error)>;
bool AfxFindTextResource(const char* extension, const char* what, UINT id, const ResourceParser& parse,
                         CString& error);
// The same over one text given directly.
bool AfxParseTextResource(const char* text, const char* what, UINT id, const ResourceParser& parse, CString& error);
// A whole decimal number in [0, 65535]; false for anything else.
bool ParseResourceId(const CString& word, UINT& id);

BOOL AfxLoadBitmapResource(CBitmap& bitmap, UINT id);
CString AfxGetBitmapResourcePath(UINT id);
// Sets the window's icon from icons/<id>.png; FALSE when there is none.
BOOL AfxSetWindowIcon(CWnd* window, UINT id);
