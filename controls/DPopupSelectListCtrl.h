// CDPopupSelectListCtrl: the list inside a popup select list. Typing in it
// goes back to the edit box; a double click takes the row.
#pragma once

#include "platform/ui/ListCtrl.h"

class CDPopupSelectListDlg;

class CDPopupSelectListCtrl : public CListCtrl {
public:
    void SetDialog(CDPopupSelectListDlg* dialog) { m_dialog = dialog; }

protected:
    void OnChar(UINT ch, UINT repeat, UINT flags);
    void OnKeyDown(UINT key, UINT repeat, UINT flags);
    void OnKeyUp(UINT key, UINT repeat, UINT flags);
    void OnLButtonDblClk(UINT flags, CPoint point);
    void OnKillFocus(CWnd* newWindow);
    DECLARE_MESSAGE_MAP()

private:
    CDPopupSelectListDlg* m_dialog = nullptr;
};
