// CCmdUI: the state of one command's menu item, toolbar button or shortcut,
// asked of the window that handles the command just before the user can
// reach it. A window names its update handlers in its message map:
//
//   ON_UPDATE_COMMAND_UI(ID_DEMO, &CMainFrame::OnUpdateDemo)
//
// A command with neither an update handler nor a command handler is greyed.
#pragma once

#include "MessageMap.h"

class CMenu;

// Private message number of update handlers in message maps (wParam: id, lParam: CCmdUI*).
constexpr UINT WM_KV_UPDATECMDUI = 0x0363;

class CCmdUI {
public:
    explicit CCmdUI(UINT id) : m_nID(id) {}
    virtual ~CCmdUI() = default;

    virtual void Enable(BOOL on = TRUE)
    {
        m_enabled = on != FALSE;
        m_enableChanged = true;
    }
    virtual void SetCheck(int check = 1) { m_check = check; }
    virtual void SetText(LPCSTR text) { m_text = text ? text : ""; m_textChanged = true; }

    UINT m_nID;
    bool m_enabled = true;
    bool m_enableChanged = false;
    int m_check = 0;
    CString m_text;
    bool m_textChanged = false;
};

#define ON_UPDATE_COMMAND_UI(id, fn) \
    KV_MSG_ENTRY(WM_KV_UPDATECMDUI, 0, id, id, (self->*(fn))(reinterpret_cast<CCmdUI*>(lParam)))
#define ON_UPDATE_COMMAND_UI_RANGE(id1, id2, fn) \
    KV_MSG_ENTRY(WM_KV_UPDATECMDUI, 0, id1, id2, (self->*(fn))(reinterpret_cast<CCmdUI*>(lParam)))

// Runs the window's update handler for ui.m_nID. Without one, the command is
// enabled when the window has a command handler for it and greyed otherwise.
// TRUE when an update handler ran.
BOOL AfxDoUpdateCmdUI(CWnd* target, CCmdUI& ui);
// Whether the window's message map (or a base's) handles the command.
BOOL AfxHasCommandHandler(CWnd* target, UINT id);
