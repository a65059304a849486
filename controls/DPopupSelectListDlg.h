// CDPopupSelectListDlg: the caption-less popup under a popup select list's
// edit box, built at run time from a dialog template in memory. It deletes
// itself when its window goes.
#pragma once

#include <vector>

#include "DPopupSelectListCtrl.h"
#include "platform/core/Collections.h"
#include "platform/ui/Dialog.h"

class CDPopupSelectListEditCtrl;

constexpr int IDC_POPUP_SELECT_LIST = 10101;
constexpr int kPopupMaxHeight = 200;

class CDPopupSelectListDlg : public CDialog {
public:
    explicit CDPopupSelectListDlg(CDPopupSelectListEditCtrl* edit);
    ~CDPopupSelectListDlg() override;

    void SetChoices(const CStringList& choices) { m_choices.RemoveAll(); m_choices.AddTail(&choices); }
    // Builds the window once: at (x, y) of `owner`'s client area, with its list.
    BOOL CreatePopup(CWnd* owner, int x, int y);
    void FillList(const char* typed, BOOL foldCase, const char* preselected);
    void SizeToContent();
    CDPopupSelectListCtrl& GetList() { return m_list; }
    CDPopupSelectListEditCtrl* GetEdit() const { return m_edit; }
    // The in-memory template, as it was built (for tests).
    const std::vector<BYTE>& GetTemplate() const { return m_template; }

    void OnOK() override;
    void OnCancel() override;

protected:
    void OnDestroy();
    // Up and Down typed in the edit box move the list's selection.
    void OnKeyDown(UINT key, UINT repeat, UINT flags);
    void PostNcDestroy() override;
    DECLARE_MESSAGE_MAP()

private:
    bool BuildTemplate(int x, int y);

    std::vector<BYTE> m_template;
    CDPopupSelectListCtrl m_list;
    CStringList m_choices;
    CDPopupSelectListEditCtrl* m_edit;
    bool m_created = false;
};
