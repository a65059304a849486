// CQvxOpenWindowItem: one open window as the Window menu and the Windows List
// see it: a drive-bound window of the open-window list, or a program editor.
#pragma once

#include "platform/core/String.h"

class CGuiUpdateItem;
class CGuiUpdateList;
class CQvxEditorFrameList;
class CWnd;

enum OpenWindowKind : int {
    kOpenWindowDrive = 1,
    kOpenWindowEditor = 2,
};

class CQvxOpenWindowItem {
public:
    CQvxOpenWindowItem() = default;
    CQvxOpenWindowItem(void* window, int kind, CQvxEditorFrameList* editors = nullptr)
        : m_window(window), m_kind(kind), m_editors(editors) {}

    // The editor's title, the drive window's caption, or "<Unknown window type>".
    CString GetName(CGuiUpdateList& list) const;
    // Whether the window still exists: one closed since the list was built is never touched.
    bool IsAlive(CGuiUpdateList& list) const;
    // The window itself while it is alive, else null.
    CWnd* GetWindow(CGuiUpdateList& list) const;
    // Brings it to the front; 0 when it is gone or of no known kind.
    int Activate(CGuiUpdateList& list) const;
    // Asks it to close as its kind does; 1 when it closed.
    int Close(CGuiUpdateList& list) const;

    void* m_window = nullptr;  // not owned
    int m_kind = 0;
    CQvxEditorFrameList* m_editors = nullptr;  // the list an editor must still be in
};
