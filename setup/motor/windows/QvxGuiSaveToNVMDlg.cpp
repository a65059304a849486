#include "setup/motor/windows/QvxGuiSaveToNVMDlg.h"

#include "platform/core/MessageBox.h"
#include "setup/motor/NvmSaveReply.h"

IMPLEMENT_DYNCREATE(CQvxGuiSaveToNVMDlg, CGuiUpdateDlg)
// The window factory finds the window by its class name.
static const CRuntimeClassRegistrar kRegistrar(RUNTIME_CLASS(CQvxGuiSaveToNVMDlg));

BEGIN_MESSAGE_MAP(CQvxGuiSaveToNVMDlg, CGuiUpdateDlg)
END_MESSAGE_MAP()

CQvxGuiSaveToNVMDlg::CQvxGuiSaveToNVMDlg() : CGuiUpdateDlg(IDD) {}

void CQvxGuiSaveToNVMDlg::OnOK()
{
    if (m_busy)
        return;
    const int query = GetDrive() == -1 ? -1 : SendCommand(static_cast<BYTE>(GetDrive()), kSaveCode, 1);
    if (query == -1) {
        CGuiUpdateItem::MessageBox("Error sending NVM command.  Please try again.", MB_OK, 0, IDOK);
        return;
    }
    m_saveQuery = query;
    m_busy = 1;
}

void CQvxGuiSaveToNVMDlg::OnStatusResponse(const CAmpResponseToGui& response)
{
    // Only the answer to our own write decides; status polls pass through.
    if (m_busy && static_cast<int>(response.m_queryId) == m_saveQuery) {
        HandleReply(response);
        return;
    }
    CGuiUpdateDlg::OnStatusResponse(response);
}

void CQvxGuiSaveToNVMDlg::HandleReply(const CAmpResponseToGui& response)
{
    m_busy = 0;
    m_saveQuery = -1;
    CGuiUpdateItem::MessageBox(CNvmSaveReply::Text(response.m_error).GetString(), MB_OK, 0, 1);
    PostMessage(WM_CLOSE);
}
