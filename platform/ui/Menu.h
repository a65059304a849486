// CMenu: a popup menu of commands. TrackPopupMenu shows it at a screen point
// and sends the chosen command to the window as WM_COMMAND (or returns it with
// TPM_RETURNCMD). In scripted mode the next queued choice is taken instead.
#pragma once

#include <memory>
#include <vector>

#include "Wnd.h"

constexpr UINT MF_STRING = 0x0;
constexpr UINT MF_ENABLED = 0x0;
constexpr UINT MF_GRAYED = 0x1;
constexpr UINT MF_DISABLED = 0x2;
constexpr UINT MF_CHECKED = 0x8;
constexpr UINT MF_UNCHECKED = 0x0;
constexpr UINT MF_POPUP = 0x10;
constexpr UINT MF_BYCOMMAND = 0x0;
constexpr UINT MF_BYPOSITION = 0x400;
constexpr UINT MF_SEPARATOR = 0x800;
constexpr UINT TPM_LEFTALIGN = 0x0;
constexpr UINT TPM_RIGHTBUTTON = 0x2;
constexpr UINT TPM_NONOTIFY = 0x80;
constexpr UINT TPM_RETURNCMD = 0x100;

class CMenu {
public:
    CMenu() = default;
    ~CMenu();
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;

    BOOL CreatePopupMenu();
    BOOL DestroyMenu();
    BOOL AppendMenu(UINT flags, UINT_PTR idOrSubMenu = 0, LPCSTR text = nullptr);
    BOOL InsertMenu(UINT position, UINT flags, UINT_PTR idOrSubMenu = 0, LPCSTR text = nullptr);
    BOOL DeleteMenu(UINT position, UINT flags);
    UINT CheckMenuItem(UINT item, UINT check);
    UINT EnableMenuItem(UINT item, UINT enable);
    int GetMenuItemCount() const;
    UINT GetMenuItemID(int position) const;
    int GetMenuString(UINT item, CString& text, UINT flags) const;
    UINT GetMenuState(UINT item, UINT flags) const;
    CMenu* GetSubMenu(int position) const;
    BOOL TrackPopupMenu(UINT flags, int x, int y, CWnd* wnd, LPCRECT rect = nullptr);

    struct Item {
        UINT id;
        UINT flags;
        CString text;
        CMenu* subMenu;
    };
    const std::vector<Item>& GetItems() const { return m_items; }

private:
    int IndexOf(UINT item, UINT flags) const;
    Item* FindItem(UINT item, UINT flags);
    bool m_created = false;
    std::vector<Item> m_items;
};

namespace kvtest {
// The next popup menu answers with this command (0: dismissed) without showing.
void QueuePopupMenuChoice(UINT id);
}  // namespace kvtest
