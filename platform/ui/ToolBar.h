// CToolBar: a row of command buttons sending WM_COMMAND (id) to the parent;
// a separator of a given width leaves room for an embedded control such as a
// combo box, placed at GetItemRect of that item.
#pragma once

#include "Wnd.h"

constexpr UINT TBBS_BUTTON = 0x0;
constexpr UINT TBBS_SEPARATOR = 0x1;
constexpr UINT ID_SEPARATOR = 0;

class CToolBar : public CWnd {
public:
    BOOL Create(CWnd* parent, DWORD style = WS_CHILD | WS_VISIBLE, UINT id = 0xE800);
    // Buttons from ids (ID_SEPARATOR for a gap) with their captions.
    BOOL SetButtons(const UINT* ids, const char* const* captions, int count);
    void SetButtonInfo(int index, UINT id, UINT style, int width);
    void GetItemRect(int index, LPRECT rect) const;
    int CommandToIndex(UINT id) const;
    int GetCount() const;
    void EnableButton(UINT id, BOOL enable = TRUE);
    BOOL IsButtonEnabled(UINT id) const;
};
