#include "database/windows/EditSubmitterDlg.h"

#include "platform/ui/DataExchange.h"
#include "resources/ids/EditSubmitterIds.h"

CEditSubmitterDlg::CEditSubmitterDlg(CWnd* parent) : CDialog(IDD_EDIT_SUBMITTER, parent) {}

void CEditSubmitterDlg::DoDataExchange(CDataExchange* dx)
{
    CDialog::DoDataExchange(dx);
    DDX_Text(dx, IDC_SUBMITTER_NAME, m_submitter);
}
