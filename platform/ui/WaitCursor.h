// CWaitCursor: shows the busy cursor over the program while it lives.
#pragma once

class CWaitCursor {
public:
    CWaitCursor();
    ~CWaitCursor();
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;
    // Whether any wait cursor is shown now.
    static bool IsShown();
};
