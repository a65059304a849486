// CMDIFrameWnd: the program's main frame: a top-level window with a menu bar,
// a toolbar at the top (child id AFX_IDW_TOOLBAR), a status bar at the bottom
// (AFX_IDW_STATUS_BAR) and between them the MDI client window, on which the
// MDI child windows (CMDIChildWnd) live. Menu items and shortcuts ask the
// frame's update handlers (CmdUI.h) before the user reaches them; hovering
// a menu item shows its prompt from the string table in status pane 0.
#pragma once

#include <vector>

#include "CmdUI.h"
#include "Wnd.h"

constexpr UINT AFX_IDW_TOOLBAR = 0xE800;
constexpr UINT AFX_IDW_STATUS_BAR = 0xE801;
constexpr UINT AFX_IDW_PANE_FIRST = 0xE900;
constexpr UINT WM_MDITILE = 0x0226;
constexpr UINT WM_MDICASCADE = 0x0227;
constexpr DWORD CBRS_ALIGN_ANY = 0xF000;
constexpr const char* kIdleMessage = "Ready";

class CMDIChildWnd;
class CMenu;

class CMDIFrameWnd : public CWnd {
public:
    CMDIFrameWnd();
    ~CMDIFrameWnd() override;

    // Creates the frame, titled by string `resourceId`, sized by PreCreateWindow; its icon is icon `resourceId`.
    virtual BOOL LoadFrame(UINT resourceId, DWORD style = WS_OVERLAPPEDWINDOW, CWnd* parent = nullptr);

    // The menu bar shows this menu (owned by the caller); null removes it.
    BOOL SetMenu(CMenu* menu);
    // Rebuilds the menu bar after the installed menu changed.
    void DrawMenuBar();
    CWnd* GetMDIClient() { return &MDIClientObject(); }
    void RecalcLayout();
    void SetMessageText(LPCSTR text);
    void EnableDocking(DWORD /*style*/) {}
    void DockControlBar(CWnd* /*bar*/) {}

    // MDI children.
    void MDICascade();
    void MDITile();
    CMDIChildWnd* MDIGetActive() const { return m_active; }
    void MDIActivate(CMDIChildWnd* child);
    const std::vector<CMDIChildWnd*>& GetMDIChildren() const { return m_children; }
    void AddMDIChild(CMDIChildWnd* child);
    void RemoveMDIChild(CMDIChildWnd* child);

    // The state of a command as its menu item shows it; the frame's update handlers decide.
    virtual void UpdateCommandUI(CCmdUI& ui);
    // A menu of the bar is about to open: the frame may change its items first.
    virtual void OnInitMenuPopup(CMenu* /*popup*/) {}
    // Enables the toolbar's buttons as their update handlers say.
    void UpdateToolBarButtons();

    int OnCreate(LPCREATESTRUCT cs);
    void OnSize(UINT type, int cx, int cy);
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // A shortcut's command (code 1) runs the menu command's handler.
    BOOL OnCmdMsg(UINT id, int code) override { return CWnd::OnCmdMsg(id, code == 1 ? 0 : code); }

protected:
    // The object that becomes the MDI client window when the frame is made; a
    // frame that paints its client area gives its own window object here.
    virtual CWnd& MDIClientObject() { return m_wndMDIClient; }
    CWnd m_wndMDIClient;

private:
    struct MenuBar;
    MenuBar* m_menuBar = nullptr;
    std::vector<CMDIChildWnd*> m_children;
    CMDIChildWnd* m_active = nullptr;

    DECLARE_MESSAGE_MAP()
};

// CMDIChildWnd: a window inside the frame's MDI client.
class CMDIChildWnd : public CWnd {
public:
    ~CMDIChildWnd() override;
    virtual BOOL Create(LPCSTR title, DWORD style, const RECT& rect, CMDIFrameWnd* frame);
    CMDIFrameWnd* GetMDIFrame() const { return m_frame; }
    void MDIActivate();
    void MDIDestroy() { DestroyWindow(); }
    BOOL DestroyWindow() override;

private:
    CMDIFrameWnd* m_frame = nullptr;
};

namespace kvtest {
// These work on any window with a menu bar: the frame or a dialog with a menu.
// Acts as a user choosing a menu item by its texts ("&File|&Demo"): opens each
// menu (so its update handlers run) and chooses the item when it is enabled.
// FALSE when the path does not exist or the item is greyed.
BOOL ChooseMenuItem(CWnd* frame, const char* path);
// The same through the open menu itself, as the keyboard does: the item's menu
// pops up, the item is made current and Enter is pressed on it.
BOOL ChooseMenuItemByKeys(CWnd* frame, const char* path);
// The item's state as the open menu would show it: -1 missing, 0 greyed, 1 enabled.
int MenuItemState(CWnd* frame, const char* path, int* checked = nullptr);
// The texts of the menu bar's top-level items, in order.
std::vector<CString> MenuBarTexts(CWnd* frame);
// Moves the pointer over a menu item (its status-bar prompt shows).
BOOL HoverMenuItem(CWnd* frame, const char* path);
// A key as the keyboard hands it over: to the open popup menu when there is one, else to
// the focus of the frame's window, offered first as a shortcut; with `alt`, held with Alt
// (first pressed alone, as the keyboard sends it).
void PressMenuKey(CWnd* frame, UINT vk, bool alt = false);
// The title of the bar's menu that is open now, and its highlighted item ("" when none).
CString OpenMenuTitle(CWnd* frame);
CString HighlightedMenuItem(CWnd* frame);
}  // namespace kvtest
