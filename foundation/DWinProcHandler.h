// CDWinProcHandler: an object that watches the messages of one window. Any
// number of handlers may watch a window; they see each message in the order
// they were attached, before the window itself, and cannot stop it.
#pragma once

#include "platform/ui/Wnd.h"

class CDWinProcHandlerList;

class CDWinProcHandler {
public:
    CDWinProcHandler() = default;
    virtual ~CDWinProcHandler();
    CDWinProcHandler(const CDWinProcHandler&) = delete;
    CDWinProcHandler& operator=(const CDWinProcHandler&) = delete;

    virtual LRESULT HandleWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) = 0;

    // Watches `window` from now on (and no other window).
    BOOL AttachToWindow(HWND window);
    void DetachFromWindow();
    BOOL IsAttached() const { return m_attachedList != nullptr; }
    HWND GetAttachedWindow() const;

private:
    friend class CDWinProcHandlerList;
    friend class CDWinProcHandlerListMap;
    CDWinProcHandlerList* m_attachedList = nullptr;
};
