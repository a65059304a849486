// CWnd: a window of the program. It owns (or is attached to) a widget of the
// toolkit behind it, is reached by a numeric control id, and receives numbered
// messages that its message map routes to handlers. Every message, whether
// from the user, a timer, PostMessage or SendMessage, passes through the
// window's procedure chain, so a subclassing hook sees all of them.
#pragma once

#include "MessageMap.h"
#include "Rect.h"
#include "platform/core/String.h"

class CDC;
class CFont;
class CMenu;
struct CWndImpl;

class CWnd {
public:
    CWnd();
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    // The handle: this window while it has a widget, else null.
    HWND m_hWnd = nullptr;
    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }
    static CWnd* FromHandle(HWND hwnd) { return hwnd; }
    static CWnd* FromHandlePermanent(HWND hwnd) { return hwnd; }

    // Creation. A child window is a plain drawing surface; a popup is a top-level window.
    virtual BOOL Create(LPCSTR className, LPCSTR windowName, DWORD style, const RECT& rect, CWnd* parent,
                        UINT id, void* context = nullptr);
    BOOL CreateEx(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, const RECT& rect,
                  CWnd* parent, UINT id, void* params = nullptr);
    virtual BOOL DestroyWindow();
    // Attaches this object to a control that a dialog template created.
    BOOL SubclassDlgItem(UINT id, CWnd* parent);
    BOOL SubclassWindow(HWND hwnd);
    HWND UnsubclassWindow();

    // Messages.
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    LRESULT SendDlgItemMessage(int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    void SendMessageToDescendants(UINT message, WPARAM wParam = 0, LPARAM lParam = 0, BOOL deep = TRUE);
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL PreTranslateMessage(MSG* msg);
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result);
    virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    virtual BOOL OnCmdMsg(UINT id, int code);
    // Runs the default handling of the message being handled now.
    LRESULT Default();
    const MSG* GetCurrentMessage() const;

    // Timers, delivered as WM_TIMER with the caller's id.
    UINT_PTR SetTimer(UINT_PTR id, UINT elapseMs, TIMERPROC proc = nullptr);
    BOOL KillTimer(UINT_PTR id);

    // Tree and ids.
    CWnd* GetParent() const;
    CWnd* GetOwner() const { return GetParent(); }
    CWnd* SetParent(CWnd* parent);
    CWnd* GetTopLevelParent() const;
    CWnd* GetDlgItem(int id) const;
    int GetDlgCtrlID() const;
    int SetDlgCtrlID(int id);
    CWnd* GetWindow(UINT relation) const;  // GW_CHILD / GW_HWNDNEXT
    CWnd* GetNextDlgGroupItem(CWnd* control, BOOL previous = FALSE) const;
    BOOL IsChild(const CWnd* wnd) const;

    // Text.
    void SetWindowText(LPCSTR text);
    void GetWindowText(CString& text) const;
    int GetWindowText(LPSTR buffer, int maxCount) const;
    int GetWindowTextLength() const;
    void SetDlgItemText(int id, LPCSTR text);
    int GetDlgItemText(int id, CString& text) const;
    void SetDlgItemInt(int id, UINT value, BOOL isSigned = TRUE);
    UINT GetDlgItemInt(int id, BOOL* translated = nullptr, BOOL isSigned = TRUE) const;

    // Buttons by id.
    void CheckDlgButton(int id, UINT check);
    UINT IsDlgButtonChecked(int id) const;
    void CheckRadioButton(int firstId, int lastId, int checkId);
    int GetCheckedRadioButton(int firstId, int lastId) const;

    // State.
    BOOL EnableWindow(BOOL enable = TRUE);
    BOOL IsWindowEnabled() const;
    BOOL ShowWindow(int cmd);
    BOOL IsWindowVisible() const;
    BOOL IsIconic() const;
    BOOL IsZoomed() const;
    DWORD GetStyle() const;
    DWORD GetExStyle() const;
    BOOL ModifyStyle(DWORD remove, DWORD add, UINT flags = 0);
    BOOL ModifyStyleEx(DWORD remove, DWORD add, UINT flags = 0);

    // Geometry. Window rectangles are in screen coordinates, client ones from (0, 0).
    void MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE);
    void MoveWindow(LPCRECT rect, BOOL repaint = TRUE);
    BOOL SetWindowPos(const CWnd* insertAfter, int x, int y, int cx, int cy, UINT flags);
    void GetWindowRect(LPRECT rect) const;
    void GetClientRect(LPRECT rect) const;
    void ClientToScreen(LPPOINT point) const;
    void ClientToScreen(LPRECT rect) const;
    void ScreenToClient(LPPOINT point) const;
    void ScreenToClient(LPRECT rect) const;
    void CenterWindow(CWnd* alternateOwner = nullptr);
    // Normal rectangle in screen coordinates for top-level windows, in the parent's client ones for children.
    BOOL GetWindowPlacement(WINDOWPLACEMENT* placement) const;
    BOOL SetWindowPlacement(const WINDOWPLACEMENT* placement);
    void MapDialogRect(LPRECT rect) const;

    // Focus, capture, redraw.
    CWnd* SetFocus();
    static CWnd* GetFocus();
    CWnd* SetCapture();
    static CWnd* GetCapture();
    void SetRedraw(BOOL redraw = TRUE);
    void Invalidate(BOOL erase = TRUE);
    void InvalidateRect(LPCRECT rect, BOOL erase = TRUE);
    void UpdateWindow();
    void RedrawWindow();
    BOOL SetForegroundWindow();
    void BringWindowToTop();

    // Fonts and drawing.
    void SetFont(CFont* font, BOOL redraw = TRUE);
    CFont* GetFont() const;
    CDC* GetDC();
    int ReleaseDC(CDC* dc);

    // Renders the window into a device context (client area with PW_CLIENTONLY).
    BOOL PrintWindow(CDC* dc, UINT flags) const;

    // The program's message box, owned by this window.
    int MessageBox(LPCSTR text, LPCSTR caption = nullptr, UINT type = 0);

    // Menus (top-level windows).
    CMenu* GetMenu() const;

    BOOL IsWindow() const { return m_hWnd != nullptr; }
    // The class's name as the program spells it ("CMainFrame"), for profile sections.
    virtual CString GetRuntimeClassName() const;
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;
    static LRESULT CtlColorResult(HBRUSH brush) { return reinterpret_cast<LRESULT>(brush); }

    // Handlers a message map names; each runs the default handling unless overridden.
    int OnCreate(LPCREATESTRUCT) { return static_cast<int>(Default()); }
    void OnDestroy() { Default(); }
    void OnNcDestroy() { Default(); }
    void OnClose() { Default(); }
    void OnTimer(UINT_PTR) { Default(); }
    void OnSize(UINT, int, int) { Default(); }
    void OnMove(int, int) { Default(); }
    void OnGetMinMaxInfo(MINMAXINFO*) { Default(); }
    void OnPaint() { Default(); }
    BOOL OnEraseBkgnd(CDC*) { return static_cast<BOOL>(Default()); }
    void OnDrawItem(int, LPDRAWITEMSTRUCT) { Default(); }
    HBRUSH OnCtlColor(CDC*, CWnd*, UINT) { return reinterpret_cast<HBRUSH>(Default()); }
    void OnChar(UINT, UINT, UINT) { Default(); }
    void OnKeyDown(UINT, UINT, UINT) { Default(); }
    void OnKeyUp(UINT, UINT, UINT) { Default(); }
    void OnLButtonDown(UINT, CPoint) { Default(); }
    void OnLButtonUp(UINT, CPoint) { Default(); }
    void OnLButtonDblClk(UINT, CPoint) { Default(); }
    void OnRButtonDown(UINT, CPoint) { Default(); }
    void OnRButtonUp(UINT, CPoint) { Default(); }
    void OnMouseMove(UINT, CPoint) { Default(); }
    BOOL OnMouseWheel(UINT, short, CPoint) { return static_cast<BOOL>(Default()); }
    void OnSetFocus(CWnd*) { Default(); }
    void OnKillFocus(CWnd*) { Default(); }
    void OnShowWindow(BOOL, UINT) { Default(); }
    void OnHScroll(UINT, UINT, CWnd*) { Default(); }
    void OnVScroll(UINT, UINT, CWnd*) { Default(); }
    void OnContextMenu(CWnd*, CPoint) { Default(); }

    // For the layer's own use: the widget behind the window.
    CWndImpl* GetImpl() const { return m_impl; }
    void AttachImpl(CWndImpl* impl);
    void DetachImpl();

    // Creates the widget of a given kind (see ControlKind.h); used by the controls' Create
    // and by dialogs for the controls of their template.
    BOOL CreateControl(int kind, LPCSTR text, DWORD style, const RECT& rect, CWnd* parent, UINT id,
                       DWORD exStyle = 0);

protected:
    // Called after the window is gone; windows made with new delete themselves here.
    virtual void PostNcDestroy() {}
    virtual void PreSubclassWindow() {}
    // May change the style of a window about to be made, or refuse it (FALSE).
    virtual BOOL PreCreateWindow(CREATESTRUCT& /*cs*/) { return TRUE; }
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    BOOL ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
private:
    friend struct CWndImpl;
    CWndImpl* m_impl = nullptr;
};

// The procedure chain: every message enters a window here.
LRESULT AfxCallWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CallWindowProc(WNDPROC proc, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LONG_PTR SetWindowLongPtr(HWND hwnd, int index, LONG_PTR value);
LONG_PTR GetWindowLongPtr(HWND hwnd, int index);
inline LONG_PTR SetWindowLong(HWND hwnd, int index, LONG_PTR value) { return SetWindowLongPtr(hwnd, index, value); }

// Thread-safe: a handle whose window is gone is refused.
BOOL PostMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT SendMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
BOOL IsWindow(HWND hwnd);
BOOL ReleaseCapture();

int GetSystemMetrics(int index);
COLORREF GetSysColor(int index);
void MessageBeep(UINT type);
int MulDiv(int number, int numerator, int denominator);
// The system font's average character width (low word) and height (high word).
LONG GetDialogBaseUnits();

constexpr UINT GW_HWNDNEXT = 2;
constexpr UINT GW_CHILD = 5;
constexpr int COLOR_WINDOW = 5;
constexpr int COLOR_WINDOWTEXT = 8;
constexpr int COLOR_HIGHLIGHT = 13;
constexpr int COLOR_HIGHLIGHTTEXT = 14;
constexpr int COLOR_BTNFACE = 15;
constexpr int COLOR_3DFACE = 15;
constexpr int COLOR_BTNSHADOW = 16;
constexpr int COLOR_GRAYTEXT = 17;
constexpr int COLOR_BTNTEXT = 18;
constexpr int COLOR_BTNHIGHLIGHT = 20;
