#include "InPlaceEdit.h"

#include "DListComboCtrl.h"

BEGIN_MESSAGE_MAP(CInPlaceEdit, CEdit)
    ON_WM_CREATE()
    ON_WM_KILLFOCUS()
    ON_WM_CLOSE()
END_MESSAGE_MAP()

CInPlaceEdit::CInPlaceEdit(CDListComboCtrl* list, int row, int column, const char* text)
    : m_list(list), m_row(row), m_column(column), m_initial(text ? text : "")
{
}

int CInPlaceEdit::OnCreate(LPCREATESTRUCT cs)
{
    if (CWnd::OnCreate(cs) == -1)
        return -1;
    SetFont(m_list->GetFont());
    SetWindowText(m_initial);
    SetSel(0, -1);
    SetFocus();
    return 0;
}

BOOL CInPlaceEdit::PreTranslateMessage(MSG* msg)
{
    if (msg->message == WM_KEYDOWN && (msg->wParam == VK_RETURN || msg->wParam == VK_ESCAPE)) {
        End(msg->wParam == VK_RETURN);
        return TRUE;
    }
    return CEdit::PreTranslateMessage(msg);
}

void CInPlaceEdit::End(bool commit)
{
    if (m_ended)
        return;
    m_ended = true;
    CString text;
    GetWindowText(text);
    m_list->SendEndEdit(IDC_INPLACE_EDIT, m_row, m_column, commit ? text.GetString() : nullptr, -1);
    PostMessage(WM_CLOSE, 0, 0);
    if (CWnd::GetFocus() == this)
        m_list->SetFocus();
}

void CInPlaceEdit::OnKillFocus(CWnd* /*newWindow*/)
{
    Default();
    End(true);
}

void CInPlaceEdit::OnClose()
{
    m_list->SetEditorClosed(TRUE);
    DestroyWindow();
}
