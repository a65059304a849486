// CStatusBar: panes of text along the bottom of a window.
#pragma once

#include <vector>

#include "Wnd.h"

constexpr UINT SBPS_NORMAL = 0x0;
constexpr UINT SBPS_STRETCH = 0x08000000;

class CStatusBar : public CWnd {
public:
    BOOL Create(CWnd* parent, DWORD style = WS_CHILD | WS_VISIBLE, UINT id = 0xE801);
    BOOL SetIndicators(const UINT* ids, int count);
    BOOL SetPaneText(int index, LPCSTR text, BOOL update = TRUE);
    CString GetPaneText(int index) const;
    void SetPaneInfo(int index, UINT id, UINT style, int width);
    int CommandToIndex(UINT id) const;
    int GetCount() const;

private:
    std::vector<UINT> m_ids;
};
