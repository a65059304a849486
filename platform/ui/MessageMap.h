// Message maps: a window class lists the messages it handles in a small table,
// written with the macros below, and the dispatcher walks the tables from the
// most derived class to CWnd.
//
//   BEGIN_MESSAGE_MAP(CMyDlg, CDialog)
//       ON_BN_CLICKED(IDC_START, &CMyDlg::OnStart)
//       ON_WM_TIMER()
//       ON_MESSAGE(WM_USER + 1, &CMyDlg::OnWorkerDone)
//   END_MESSAGE_MAP()
#pragma once

#include "UiTypes.h"

class CWnd;

struct AFX_MSGMAP_ENTRY {
    UINT message;
    UINT code;     // notification code for WM_COMMAND and WM_NOTIFY
    UINT idFirst;  // control id range for WM_COMMAND and WM_NOTIFY
    UINT idLast;
    // Calls the handler and stores what it returns in *result.
    void (*call)(CWnd* wnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*base)();
    const AFX_MSGMAP_ENTRY* entries;
};

// Reflected messages come back to the control that sent them (WM_REFLECT_BASE + message).
constexpr UINT WM_REFLECT_BASE = 0xBC00;

#define DECLARE_MESSAGE_MAP()                          \
protected:                                             \
    static const AFX_MSGMAP* GetThisMessageMap();      \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                      \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const AFX_MSGMAP* theClass::GetThisMessageMap()                                  \
    {                                                                                \
        using ThisClass [[maybe_unused]] = theClass;                                 \
        using TheBaseClass = baseClass;                                              \
        static const AFX_MSGMAP_ENTRY entries[] = {

#define END_MESSAGE_MAP()                                                  \
            {0, 0, 0, 0, nullptr}};                                        \
        static const AFX_MSGMAP map = {&TheBaseClass::GetThisMessageMap, entries}; \
        return &map;                                                       \
    }

// One entry; `body` runs with `self` (the window as its own class), wParam, lParam and *result.
#define KV_MSG_ENTRY(msg, code, id1, id2, body)                                                      \
    {static_cast<UINT>(msg), static_cast<UINT>(code), static_cast<UINT>(id1), static_cast<UINT>(id2), \
     [](CWnd* kvWnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {                  \
         auto* self = static_cast<ThisClass*>(kvWnd);                                                \
         (void)self; (void)message; (void)wParam; (void)lParam; (void)result;                        \
         body;                                                                                       \
     }},

#define ON_COMMAND(id, fn) KV_MSG_ENTRY(WM_COMMAND, 0, id, id, (self->*(fn))())
#define ON_COMMAND_RANGE(id1, id2, fn) KV_MSG_ENTRY(WM_COMMAND, 0, id1, id2, (self->*(fn))(LOWORD(wParam)))
#define ON_CONTROL(code, id, fn) KV_MSG_ENTRY(WM_COMMAND, code, id, id, (self->*(fn))())
#define ON_CONTROL_RANGE(code, id1, id2, fn) \
    KV_MSG_ENTRY(WM_COMMAND, code, id1, id2, (self->*(fn))(LOWORD(wParam)))
#define ON_BN_CLICKED(id, fn) ON_CONTROL(BN_CLICKED, id, fn)
#define ON_BN_DOUBLECLICKED(id, fn) ON_CONTROL(BN_DOUBLECLICKED, id, fn)
#define ON_STN_CLICKED(id, fn) ON_CONTROL(STN_CLICKED, id, fn)
#define ON_EN_CHANGE(id, fn) ON_CONTROL(EN_CHANGE, id, fn)
#define ON_EN_SETFOCUS(id, fn) ON_CONTROL(EN_SETFOCUS, id, fn)
#define ON_EN_KILLFOCUS(id, fn) ON_CONTROL(EN_KILLFOCUS, id, fn)
#define ON_CBN_SELCHANGE(id, fn) ON_CONTROL(CBN_SELCHANGE, id, fn)
#define ON_CBN_EDITCHANGE(id, fn) ON_CONTROL(CBN_EDITCHANGE, id, fn)
#define ON_CBN_DROPDOWN(id, fn) ON_CONTROL(CBN_DROPDOWN, id, fn)
#define ON_CBN_CLOSEUP(id, fn) ON_CONTROL(CBN_CLOSEUP, id, fn)
#define ON_CBN_KILLFOCUS(id, fn) ON_CONTROL(CBN_KILLFOCUS, id, fn)
#define ON_LBN_SELCHANGE(id, fn) ON_CONTROL(LBN_SELCHANGE, id, fn)
#define ON_LBN_DBLCLK(id, fn) ON_CONTROL(LBN_DBLCLK, id, fn)

#define ON_NOTIFY(code, id, fn) \
    KV_MSG_ENTRY(WM_NOTIFY, code, id, id, (self->*(fn))(reinterpret_cast<NMHDR*>(lParam), result))
#define ON_NOTIFY_RANGE(code, id1, id2, fn) \
    KV_MSG_ENTRY(WM_NOTIFY, code, id1, id2, \
                 (self->*(fn))(static_cast<UINT>(wParam), reinterpret_cast<NMHDR*>(lParam), result))
#define ON_CONTROL_REFLECT(code, fn) KV_MSG_ENTRY(WM_REFLECT_BASE + WM_COMMAND, code, 0, 0, (self->*(fn))())
#define ON_NOTIFY_REFLECT(code, fn) \
    KV_MSG_ENTRY(WM_REFLECT_BASE + WM_NOTIFY, code, 0, 0, (self->*(fn))(reinterpret_cast<NMHDR*>(lParam), result))

#define ON_MESSAGE(msg, fn) KV_MSG_ENTRY(msg, 0, 0, 0, *result = (self->*(fn))(wParam, lParam))

#define ON_WM_CREATE() KV_MSG_ENTRY(WM_CREATE, 0, 0, 0, *result = self->OnCreate(nullptr))
#define ON_WM_DESTROY() KV_MSG_ENTRY(WM_DESTROY, 0, 0, 0, self->OnDestroy())
#define ON_WM_NCDESTROY() KV_MSG_ENTRY(WM_NCDESTROY, 0, 0, 0, self->OnNcDestroy())
#define ON_WM_CLOSE() KV_MSG_ENTRY(WM_CLOSE, 0, 0, 0, self->OnClose())
#define ON_WM_TIMER() KV_MSG_ENTRY(WM_TIMER, 0, 0, 0, self->OnTimer(static_cast<UINT_PTR>(wParam)))
#define ON_WM_SIZE() \
    KV_MSG_ENTRY(WM_SIZE, 0, 0, 0, self->OnSize(static_cast<UINT>(wParam), GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)))
#define ON_WM_MOVE() KV_MSG_ENTRY(WM_MOVE, 0, 0, 0, self->OnMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)))
#define ON_WM_GETMINMAXINFO() \
    KV_MSG_ENTRY(WM_GETMINMAXINFO, 0, 0, 0, self->OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lParam)))
#define ON_WM_PAINT() KV_MSG_ENTRY(WM_PAINT, 0, 0, 0, self->OnPaint())
#define ON_WM_ERASEBKGND() \
    KV_MSG_ENTRY(WM_ERASEBKGND, 0, 0, 0, *result = self->OnEraseBkgnd(reinterpret_cast<CDC*>(wParam)))
#define ON_WM_DRAWITEM() \
    KV_MSG_ENTRY(WM_DRAWITEM, 0, 0, 0, \
                 self->OnDrawItem(static_cast<int>(wParam), reinterpret_cast<LPDRAWITEMSTRUCT>(lParam)))
#define ON_WM_CTLCOLOR()                                                                          \
    KV_MSG_ENTRY(WM_CTLCOLORSTATIC, 0, 0, 0, *result = CWnd::CtlColorResult(self->OnCtlColor(       \
                     reinterpret_cast<CDC*>(wParam), reinterpret_cast<CWnd*>(lParam), CTLCOLOR_STATIC))) \
    KV_MSG_ENTRY(WM_CTLCOLOREDIT, 0, 0, 0, *result = CWnd::CtlColorResult(self->OnCtlColor(         \
                     reinterpret_cast<CDC*>(wParam), reinterpret_cast<CWnd*>(lParam), CTLCOLOR_EDIT)))   \
    KV_MSG_ENTRY(WM_CTLCOLORBTN, 0, 0, 0, *result = CWnd::CtlColorResult(self->OnCtlColor(          \
                     reinterpret_cast<CDC*>(wParam), reinterpret_cast<CWnd*>(lParam), CTLCOLOR_BTN)))    \
    KV_MSG_ENTRY(WM_CTLCOLORDLG, 0, 0, 0, *result = CWnd::CtlColorResult(self->OnCtlColor(          \
                     reinterpret_cast<CDC*>(wParam), reinterpret_cast<CWnd*>(lParam), CTLCOLOR_DLG)))
#define ON_WM_CHAR()                                                                            \
    KV_MSG_ENTRY(WM_CHAR, 0, 0, 0, self->OnChar(static_cast<UINT>(wParam), LOWORD(static_cast<DWORD>(lParam)), \
                                                HIWORD(static_cast<DWORD>(lParam))))
#define ON_WM_KEYDOWN()                                                                         \
    KV_MSG_ENTRY(WM_KEYDOWN, 0, 0, 0, self->OnKeyDown(static_cast<UINT>(wParam), LOWORD(static_cast<DWORD>(lParam)), \
                                                      HIWORD(static_cast<DWORD>(lParam))))
#define ON_WM_KEYUP()                                                                         \
    KV_MSG_ENTRY(WM_KEYUP, 0, 0, 0, self->OnKeyUp(static_cast<UINT>(wParam), LOWORD(static_cast<DWORD>(lParam)), \
                                                  HIWORD(static_cast<DWORD>(lParam))))
#define KV_MOUSE_ENTRY(msg, fn) KV_MSG_ENTRY(msg, 0, 0, 0, self->fn(static_cast<UINT>(wParam), CPoint(lParam)))
#define ON_WM_LBUTTONDOWN() KV_MOUSE_ENTRY(WM_LBUTTONDOWN, OnLButtonDown)
#define ON_WM_LBUTTONUP() KV_MOUSE_ENTRY(WM_LBUTTONUP, OnLButtonUp)
#define ON_WM_LBUTTONDBLCLK() KV_MOUSE_ENTRY(WM_LBUTTONDBLCLK, OnLButtonDblClk)
#define ON_WM_RBUTTONDOWN() KV_MOUSE_ENTRY(WM_RBUTTONDOWN, OnRButtonDown)
#define ON_WM_RBUTTONUP() KV_MOUSE_ENTRY(WM_RBUTTONUP, OnRButtonUp)
#define ON_WM_MOUSEMOVE() KV_MOUSE_ENTRY(WM_MOUSEMOVE, OnMouseMove)
#define ON_WM_MOUSEWHEEL()                                                                              \
    KV_MSG_ENTRY(WM_MOUSEWHEEL, 0, 0, 0,                                                                \
                 *result = self->OnMouseWheel(LOWORD(static_cast<DWORD>(wParam)),                       \
                                              static_cast<short>(HIWORD(static_cast<DWORD>(wParam))), CPoint(lParam)))
#define ON_WM_SETFOCUS() KV_MSG_ENTRY(WM_SETFOCUS, 0, 0, 0, self->OnSetFocus(reinterpret_cast<CWnd*>(wParam)))
#define ON_WM_KILLFOCUS() KV_MSG_ENTRY(WM_KILLFOCUS, 0, 0, 0, self->OnKillFocus(reinterpret_cast<CWnd*>(wParam)))
#define ON_WM_SHOWWINDOW() \
    KV_MSG_ENTRY(WM_SHOWWINDOW, 0, 0, 0, self->OnShowWindow(static_cast<BOOL>(wParam), static_cast<UINT>(lParam)))
#define ON_WM_HSCROLL()                                                                               \
    KV_MSG_ENTRY(WM_HSCROLL, 0, 0, 0, self->OnHScroll(LOWORD(static_cast<DWORD>(wParam)),               \
                                                      HIWORD(static_cast<DWORD>(wParam)), reinterpret_cast<CWnd*>(lParam)))
#define ON_WM_VSCROLL()                                                                               \
    KV_MSG_ENTRY(WM_VSCROLL, 0, 0, 0, self->OnVScroll(LOWORD(static_cast<DWORD>(wParam)),               \
                                                      HIWORD(static_cast<DWORD>(wParam)), reinterpret_cast<CWnd*>(lParam)))
#define ON_WM_CONTEXTMENU() \
    KV_MSG_ENTRY(WM_CONTEXTMENU, 0, 0, 0, self->OnContextMenu(reinterpret_cast<CWnd*>(wParam), CPoint(lParam)))
