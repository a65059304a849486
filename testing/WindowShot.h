// Saves any window as a PNG through the program's own image export (the
// export dialog answered as a user would), so a test can look at a window.
// With $KORVANE_SCREENSHOTS set, Screenshot() leaves <name>.png in that
// folder for people to look at; such images are never committed.
#pragma once

#include <cstdlib>
#include <string>

#include "controls/WindowImageExport.h"
#include "platform/ui/UserInput.h"
#include "resources/ids/ExportWindowImageIds.h"

inline bool SaveWindowPng(CWnd* window, const std::string& path)
{
    kvtest::OnNextModal([path](CWnd* dialog) {
        kvtest::Click(dialog->GetDlgItem(IDC_EXPORT_TO_FILE));
        kvtest::Click(dialog->GetDlgItem(IDC_EXPORT_PNG));
        dialog->SetDlgItemText(IDC_EXPORT_PATH, path.c_str());
        kvtest::Click(dialog->GetDlgItem(IDOK));
    });
    return ExportWindowImage(window, nullptr) != 0;
}

inline void Screenshot(CWnd* window, const char* name)
{
    const char* folder = std::getenv("KORVANE_SCREENSHOTS");
    if (folder && *folder)
        SaveWindowPng(window, std::string(folder) + "/" + name + ".png");
}
