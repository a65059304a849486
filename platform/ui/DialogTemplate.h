// Dialog templates, kept as text in resources/*.dlg. One template:
//
//   DIALOG IDD_WARNING 0 0 220 90 "Warning"
//   FONT 8 "Arial"
//   STYLE POPUP CAPTION SYSMENU MODALFRAME
//   MENU 405
//   DEFPUSHBUTTON IDOK 160 70 50 14 "OK"
//   LTEXT IDC_WARN_TEXT 10 10 200 40 ""
//   CHECKBOX IDC_WARN_DONT_SHOW 10 55 150 10 "Don't show this message again" TABSTOP
//   PUSHBUTTON IDC_WARN_MORE 190 10 12 12 "6" FONT 9 "Marlett"
//   END
//
// Sizes are dialog units of the template's font. A dialog's or control's id is a
// number, IDOK, IDCANCEL, IDYES, IDNO, IDC_STATIC or a name from an id list in
// resources/ids/ (the same names the code includes). A control line is a kind, an id, x y width height,
// a quoted text ("" inside a text stands for one quote) and style words or
// numbers; FONT size "face" among them gives that one control its own font. '#' starts a comment line. MENU names a menu resource (resources/*.menu)
// that the dialog shows as its menu bar above the template's area.
#pragma once

#include <vector>

#include "ControlKind.h"
#include "platform/core/String.h"
#include "platform/core/WinTypes.h"

struct DialogControlTemplate {
    ControlKind kind = ControlKind::Static;
    int id = -1;
    int x = 0, y = 0, cx = 0, cy = 0;
    CString text;
    DWORD style = 0;
    DWORD exStyle = 0;
    int pointSize = 0;  // 0: the dialog's font
    CString faceName;
};

struct DialogTemplate {
    UINT id = 0;
    int x = 0, y = 0, cx = 0, cy = 0;
    CString caption;
    int pointSize = 8;
    CString faceName = "MS Sans Serif";
    DWORD style = 0;
    UINT menuId = 0;
    std::vector<DialogControlTemplate> controls;
};

// Reads every template of a text; false with a message naming the line on a fault.
bool ParseDialogTemplates(const char* text, std::vector<DialogTemplate>& templates, CString& error);

// The program's templates: every *.dlg in the resources folder, read on first use.
// A template added here (tests) replaces one with the same id.
bool AfxRegisterDialogTemplates(const char* text, CString* error = nullptr);
const DialogTemplate* AfxFindDialogTemplate(UINT id);
// $KORVANE_RESOURCES, else "resources" beside or above the program, else (for a program of the
// build tree) the source tree's.
CString AfxGetResourceFolder();
// The faults met while reading the resources folder (empty when all read).
CString AfxGetResourceErrors();
