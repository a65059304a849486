// CQvxOpenWindowsListDlg: the modal "Windows List", from which the user
// brings one open window to the front or closes several at once.
#pragma once

#include "QvxOpenWindowItemArray.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/ListCtrl.h"
#include "platform/ui/MessageMap.h"

class CQvxOpenWindowsListDlg : public CDialog {
public:
    CQvxOpenWindowsListDlg(CQvxOpenWindowItemArray& items, CGuiUpdateList& list, CWnd* parent = nullptr);

    BOOL OnInitDialog() override;
    void OnBringToFront();
    void OnCloseSelected();
    void OnItemChanged(NMHDR* header, LRESULT* result);
    void OnDoubleClick(NMHDR* header, LRESULT* result);
    CListCtrl& GetList() { return m_list; }

private:
    void RefreshButtons();
    int FirstSelected() const;

    CQvxOpenWindowItemArray& m_items;
    CGuiUpdateList& m_windows;
    CListCtrl m_list;

    DECLARE_MESSAGE_MAP()
};
