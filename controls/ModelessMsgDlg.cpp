#include "ModelessMsgDlg.h"

#include "platform/core/Clock.h"
#include "platform/ui/ProgressCtrl.h"

CModelessMsgDlg::CModelessMsgDlg(CWnd* parent) : CDialog(IDD, parent) {}

BOOL CModelessMsgDlg::Open(const char* title, const char* text, BOOL showCancel)
{
    if (!Create(IDD, m_pParentWnd))
        return FALSE;
    ShowWindow(SW_SHOW);
    m_title = title;
    m_text = text;
    SetWindowText(m_title);
    SetDlgItemText(IDC_MODELESS_TEXT, m_text);
    if (auto* bar = static_cast<CProgressCtrl*>(GetDlgItem(IDC_MODELESS_PROGRESS))) {
        bar->SetRange32(0, 100);
        bar->SetPos(0);
        bar->SetFocus();
    }
    if (CWnd* cancel = GetDlgItem(IDCANCEL))
        cancel->ShowWindow(showCancel ? SW_SHOW : SW_HIDE);
    m_cancelled = FALSE;
    return TRUE;
}

void CModelessMsgDlg::SetProgress(int percent)
{
    if (auto* bar = static_cast<CProgressCtrl*>(GetDlgItem(IDC_MODELESS_PROGRESS)))
        bar->SetPos(percent);
}

void CModelessMsgDlg::OnCancel()
{
    m_cancelled = TRUE;
    CDialog::OnCancel();
}

void CModelessMsgDlg::Close()
{
    if (!GetSafeHwnd())
        return;
    KillTimer(0);
    SetProgress(100);
    Sleep(100);
    DestroyWindow();
}
