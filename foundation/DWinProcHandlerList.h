// CDWinProcHandlerList: the handlers watching one window, in order of
// attachment, with the window's previous procedure. Deleting the list gives
// the window its previous procedure back and detaches the handlers left.
#pragma once

#include "platform/core/List.h"
#include "platform/ui/Wnd.h"

class CDWinProcHandler;

class CDWinProcHandlerList : public CList<CDWinProcHandler*, CDWinProcHandler*> {
public:
    CDWinProcHandlerList(HWND window, WNDPROC previous) : m_hWnd(window), m_previousProc(previous) {}
    ~CDWinProcHandlerList() override;

    HWND GetWindow() const { return m_hWnd; }
    WNDPROC GetPreviousProc() const { return m_previousProc; }
    // The window went: nothing to give back.
    void ForgetWindow() { m_hWnd = nullptr; }

private:
    HWND m_hWnd;
    WNDPROC m_previousProc;
};
