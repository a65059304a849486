#include "database/windows/AddManufacturerDlg.h"

#include "platform/ui/DataExchange.h"
#include "resources/ids/AddManufacturerIds.h"

CAddManufacturerDlg::CAddManufacturerDlg(CWnd* parent) : CDialog(IDD_ADD_MANUFACTURER, parent) {}

void CAddManufacturerDlg::DoDataExchange(CDataExchange* dx)
{
    CDialog::DoDataExchange(dx);
    DDX_Text(dx, IDC_ADD_MANUFACTURER_NAME, m_manufacturer);
}
