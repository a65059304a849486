// CStatusBar: panes of text along the bottom of a window.
#pragma once

#include <vector>

#include "Wnd.h"

constexpr UINT SBPS_NORMAL = 0x0;
constexpr UINT SBPS_STRETCH = 0x08000000;
constexpr UINT SBPS_NOBORDERS = 0x00000100;
constexpr UINT SBT_OWNERDRAW = 0x1000;

class CStatusBar : public CWnd {
public:
    BOOL Create(CWnd* parent, DWORD style = WS_CHILD | WS_VISIBLE, UINT id = 0xE801);
    BOOL SetIndicators(const UINT* ids, int count);
    BOOL SetPaneText(int index, LPCSTR text, BOOL update = TRUE);
    CString GetPaneText(int index) const;
    void SetPaneInfo(int index, UINT id, UINT style, int width);
    int CommandToIndex(UINT id) const;
    int GetCount() const;
    // Pane styles (StatusBarPanes.cpp): an owner-drawn pane is painted by DrawItem.
    void SetPaneStyle(int index, UINT style);
    UINT GetPaneStyle(int index) const;
    void GetItemRect(int index, LPRECT rect) const;
    virtual void DrawItem(LPDRAWITEMSTRUCT /*drawItem*/) {}
    // Caps, num and scroll lock indicator panes name their key only while its lock is on.
    void ShowLockKeys();

private:
    std::vector<UINT> m_ids;
    std::vector<UINT> m_styles;
};
