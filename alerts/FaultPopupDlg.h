// CFaultPopupDlg: the modal popup of one alert: its level in large white
// capitals, its text, and a box that suppresses the key's later popups.
#pragma once

#include "controls/DRichEditCtrl.h"
#include "platform/ui/Dialog.h"

class CFaultPopupDlg : public CDialog {
public:
    enum { IDD = 318 };
    static constexpr int kLevelText = 2295;
    static constexpr int kAlertText = 2296;
    static constexpr int kSuppressBox = 1862;

    explicit CFaultPopupDlg(CWnd* parent = nullptr) : CDialog(IDD, parent) {}

    int m_level = -1;
    CString m_text;
    int m_suppress = 0;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;

private:
    void ShowText(CDRichEditCtrl& edit, const CString& text, COLORREF background, COLORREF color, int points);

    CDRichEditCtrl m_levelEdit;
    CDRichEditCtrl m_textEdit;
};
