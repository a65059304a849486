// CAcceleratorTable: the keyboard shortcuts of a frame, read from an
// accelerator resource (resources/*.acc), each a key and a command id:
//
//   ACCELERATORS 250
//   "Ctrl+N" 32948
//   "F1" 32909
//   END
//
// Once installed on a window, a shortcut sends WM_COMMAND (id, 1) to it when
// the command's update handler leaves it enabled.
#pragma once

#include <vector>

#include "Wnd.h"
#include "ResourceText.h"

class CAcceleratorTable {
public:
    struct Entry {
        CString key;
        UINT id;
    };

    BOOL Load(UINT id);
    BOOL LoadFromText(const char* text, UINT id);
    BOOL Install(CWnd* window) const;
    const std::vector<Entry>& GetEntries() const { return m_entries; }
    CString GetError() const { return m_error; }
    // The key of a command's first shortcut, or empty.
    CString KeyOf(UINT commandId) const;

private:
    BOOL Parse(const char* text, UINT id, bool& found);
    ResourceParser Parser(UINT id);
    std::vector<Entry> m_entries;
    CString m_error;
};

// Runs a command as its shortcut would: the update handler first, then WM_COMMAND
// when enabled. TRUE when the command was sent.
BOOL AfxRunEnabledCommand(CWnd* window, UINT id);
