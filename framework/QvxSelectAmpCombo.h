// CQvxSelectAmpCombo: the drop-down list of drives on a window's toolbar. It
// lists the drives its toolbar gives, sorted by address, and puts the last
// accepted pick back when the window refuses a new one.
#pragma once

#include "QvxSelectAmpComboCB.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/Font.h"

class CQvxSelectAmpCombo : public CComboBox {
public:
    // Fails when the font or the list cannot be made.
    BOOL CreateSelector(DWORD style, const RECT& rect, CWnd* parent, UINT id);
    void SetCallback(CQvxSelectAmpComboCB* callback) { m_pCallback = callback; }
    CQvxSelectAmpComboCB* GetCallback() const { return m_pCallback; }

    // Refills the list from the callback and selects the current drive.
    void FillList();
    // After the window's drive changed: the window's drive is selected; when
    // it is not listed, the drive selected before stays selected if still there.
    void RefreshKeepingSelection();
    void OnDropDown() { m_previousSelection = GetCurSel(); }
    void OnSelectionChange();
    CString GetSelectedText() const;

private:
    void SelectByData(int address);

    CFont m_font;
    CQvxSelectAmpComboCB* m_pCallback = nullptr;
    int m_previousSelection = -1;
};
