// CSplitButton: a push button with a drop-down arrow. Its face tells the parent
// BN_CLICKED; the arrow opens the drop-down menu, whose chosen item is sent to
// the parent as WM_COMMAND with the item's id.
#pragma once

#include "Wnd.h"

class CMenu;

class CSplitButton : public CWnd {
public:
    CSplitButton() = default;
    ~CSplitButton() override;

    BOOL Create(LPCSTR text, DWORD style, const RECT& rect, CWnd* parent, UINT id);
    // The items of `menu` (read now; the menu need not live on).
    void SetDropDownMenu(const CMenu& menu);
    int GetDropDownCount() const;

private:
    struct Impl;
    Impl* m_button = nullptr;
};

namespace kvtest {
// Opens the drop-down and chooses the item with this id, as a user would; false when there is none.
bool ChooseDropDownItem(CSplitButton& button, UINT id);
}  // namespace kvtest
