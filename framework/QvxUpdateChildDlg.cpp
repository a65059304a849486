#include "QvxUpdateChildDlg.h"

#include "GuiUpdateDlg.h"
#include "platform/ui/DialogTemplate.h"

BEGIN_MESSAGE_MAP(CQvxUpdateChildDlg, CDialog)
    ON_WM_CLOSE()
END_MESSAGE_MAP()

CQvxUpdateChildDlg::CQvxUpdateChildDlg(UINT templateId, CGuiUpdateDlg* owner, int keepObject)
    : CDialog(templateId, owner), m_keepObject(keepObject), m_pOwner(owner)
{
}

int CQvxUpdateChildDlg::Create()
{
    if (GetSafeHwnd())
        return 0;
    BOOL created = FALSE;
    if (const DialogTemplate* found = AfxFindDialogTemplate(m_templateId)) {
        DialogTemplate withFont = *found;
        if (m_pOwner) {
            withFont.faceName = m_pOwner->GetDialogFontName();
            withFont.pointSize = m_pOwner->GetDialogFontSize();
        }
        created = CreateIndirect(withFont, m_pOwner);
    } else {
        created = CDialog::Create(m_templateId, m_pOwner);
    }
    if (!created)
        return 0;
    ShowWindow(SW_SHOW);
    return 1;
}

BOOL CQvxUpdateChildDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    return TRUE;
}

void CQvxUpdateChildDlg::OnOK()
{
    // Entries that fail their check keep the dialog open, so the owner never
    // takes values the user has not corrected.
    if (!UpdateData(TRUE))
        return;
    CloseWith(kChildClosedOk);
}

void CQvxUpdateChildDlg::OnCancel() { CloseWith(kChildClosedCancel); }

void CQvxUpdateChildDlg::OnClose() { CloseWith(kChildClosedBox); }

void CQvxUpdateChildDlg::CloseWith(int code)
{
    if (CGuiUpdateDlg* owner = m_pOwner) {
        owner->OnChildNotify(this, code);
        owner->RemoveChildDialog(m_childId, this);
    }
    DestroyWindow();  // may delete this object
}

void CQvxUpdateChildDlg::PostNcDestroy()
{
    if (!m_keepObject)
        delete this;
}
