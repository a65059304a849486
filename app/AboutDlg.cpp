#include "AboutDlg.h"

#include "ProductInfo.h"

BOOL CAboutDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SetDlgItemText(kNameId, kProductTitle);
    SetDlgItemText(kVersionId, kProductVersion);
    SetDlgItemText(kDateId, kProductBuildDate);
    SetDlgItemText(kNoticeId, kProductNotice);
    return TRUE;
}
