#include "alerts/FaultPopupDlg.h"

#include "alerts/FaultManager.h"
#include "platform/ui/DataExchange.h"

void CFaultPopupDlg::DoDataExchange(CDataExchange* dx)
{
    CDialog::DoDataExchange(dx);
    DDX_Check(dx, kSuppressBox, m_suppress);
}

BOOL CFaultPopupDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_levelEdit.SubclassDlgItem(kLevelText, this);
    m_textEdit.SubclassDlgItem(kAlertText, this);
    CString name;
    COLORREF color = 0;
    CFaultManager::GetFaultLevelInfo(m_level, name, color);
    name.MakeUpper();
    ShowText(m_levelEdit, name, 0xC42020, RGB(255, 255, 255), 20);
    ShowText(m_textEdit, m_text, 0x808080, RGB(0, 0, 0), 14);
    // A preset box means every popup suppresses its key: the user cannot undo that here.
    if (CWnd* box = GetDlgItem(kSuppressBox))
        box->EnableWindow(!m_suppress);
    MessageBeep(MB_ICONEXCLAMATION);
    return TRUE;
}

void CFaultPopupDlg::ShowText(CDRichEditCtrl& edit, const CString& text, COLORREF background, COLORREF color,
                              int points)
{
    edit.SetBackgroundColor(FALSE, background);
    edit.InitCharFormat(points);
    edit.m_charFormat.crTextColor = color;
    edit.SetSel(0, -1);
    edit.AppendText(text, FALSE);
}
