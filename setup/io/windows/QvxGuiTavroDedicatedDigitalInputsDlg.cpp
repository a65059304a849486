#include "setup/io/windows/QvxGuiTavroDedicatedDigitalInputsDlg.h"

#include <algorithm>
#include <string>

#include "distribution/AmpResponseToGui.h"
#include "platform/core/Rand.h"
#include "platform/core/RuntimeClass.h"
#include "platform/ui/ClientDC.h"
#include "setup/io/windows/StatusCells.h"

IMPLEMENT_DYNCREATE(CQvxGuiTavroDedicatedDigitalInputsDlg, CGuiUpdateDlg)

static const CRuntimeClassRegistrar kRegistrar(RUNTIME_CLASS(CQvxGuiTavroDedicatedDigitalInputsDlg));

BEGIN_MESSAGE_MAP(CQvxGuiTavroDedicatedDigitalInputsDlg, CGuiUpdateDlg)
    ON_WM_SIZE()
    ON_WM_GETMINMAXINFO()
END_MESSAGE_MAP()

namespace {
struct DedicatedRow {
    const char* text;
    int bit;
};
constexpr DedicatedRow kRows[] = {
    {"STO Feedback AE", 2},  {"Hall U", 3},        {"Hall V", 4},        {"Hall W", 5},
    {"Motor Over Temp", 6},  {"STO Monitor A", 7}, {"STO Monitor B", 8}, {"Pwm Buffer Enabled", 9},
    {"STO Feedback BE", 10}, {"Encoder Fault", 11}, {"Drive Over Temp", 12},
};
constexpr int kFeedbackRow = 9;
constexpr WORD kStatePollMs = 100;
constexpr int kMargin = 10;
constexpr int kMinFunctionWidth = 90;
}  // namespace

CQvxGuiTavroDedicatedDigitalInputsDlg::CQvxGuiTavroDedicatedDigitalInputsDlg() : CGuiUpdateDlg(IDD) {}

CString CQvxGuiTavroDedicatedDigitalInputsDlg::FeedbackFaultText(DWORD hardwareFlags, DWORD feedbackKind)
{
    return (hardwareFlags & 0x80) && (feedbackKind & 0x4) ? "Resolver Fault" : "Encoder Fault";
}

BOOL CQvxGuiTavroDedicatedDigitalInputsDlg::OnInitDialog()
{
    CGuiUpdateDlg::OnInitDialog();
    m_list.SubclassDlgItem(IDC_DEDICATED_INPUTS_LIST, this);
    CRect listRect;
    m_list.GetWindowRect(&listRect);
    ScreenToClient(&listRect);
    m_listTop = listRect.top;
    int statusWidth = 60;
    {
        CClientDC dc(&m_list);
        if (CFont* font = m_list.GetFont())
            dc.SelectObject(font);
        statusWidth = dc.GetTextExtent("MMMMMM").cx;
    }
    m_list.InsertColumn(0, "Function", LVCFMT_LEFT, kMinFunctionWidth);
    m_list.InsertColumn(1, "Status", LVCFMT_LEFT, statusWidth);
    for (const DedicatedRow& row : kRows) {
        const int index = m_list.InsertItem(m_list.GetItemCount(), row.text);
        ShowStatusCell(m_list, index, 1, false, 0, -1);
    }
    Layout();
    return TRUE;
}

int CQvxGuiTavroDedicatedDigitalInputsDlg::SubscribeStatusQueries()
{
    const int done = CGuiUpdateDlg::SubscribeStatusQueries();
    if (!done)
        return done;
    const BYTE drive = static_cast<BYTE>(GetDrive());
    SendQuery(drive, kDedicatedInputStateParameter, kStatePollMs);
    SendQueryWithArgument(drive, kHardwareFlagParameter, kHardwareFlagAddressParameter, kHardwareFlagAddress, 0);
    SendQuery(drive, kFeedbackKindParameter, 0, 0x60);
    return done;
}

void CQvxGuiTavroDedicatedDigitalInputsDlg::OnStatusResponse(const CAmpResponseToGui& response)
{
    const WORD code = response.m_code;
    if (response.m_write || (code != kDedicatedInputStateParameter && code != kHardwareFlagParameter &&
                             code != kFeedbackKindParameter)) {
        CGuiUpdateDlg::OnStatusResponse(response);
        return;
    }
    if (response.m_error)
        return;
    const DWORD value = static_cast<DWORD>(response.GetValue());
    if (code == kDedicatedInputStateParameter) {
        m_stateChanged |= !m_stateValid || value != m_stateWord;
        m_stateWord = value;
        m_stateValid = true;
    } else if (code == kHardwareFlagParameter) {
        m_hardwareFlags = value;
        m_feedbackChanged = true;
    } else {
        m_feedbackKind = value;
        m_feedbackChanged = true;
    }
}

void CQvxGuiTavroDedicatedDigitalInputsDlg::ProcessResponses()
{
    CGuiUpdateDlg::ProcessResponses();
    if (m_feedbackChanged) {
        m_feedbackChanged = false;
        ShowFeedbackRow();
    }
    if (!m_stateChanged || !m_list.GetSafeHwnd())
        return;
    m_stateChanged = false;
    for (int row = 0; row < m_list.GetItemCount(); ++row)
        ShowStatusCell(m_list, row, 1, m_stateValid, m_stateWord, kRows[row].bit);
}

void CQvxGuiTavroDedicatedDigitalInputsDlg::ShowFeedbackRow()
{
    const CString text = FeedbackFaultText(m_hardwareFlags, m_feedbackKind);
    if (m_list.GetSafeHwnd() && m_list.GetItemText(kFeedbackRow, 0) != text)
        m_list.SetItemText(kFeedbackRow, 0, text);
}

void CQvxGuiTavroDedicatedDigitalInputsDlg::Layout()
{
    if (!m_list.GetSafeHwnd())
        return;
    CRect client;
    GetClientRect(&client);
    m_list.MoveWindow(kMargin, m_listTop, std::max(40, client.Width() - 2 * kMargin),
                      std::max(40, client.Height() - m_listTop - kMargin));
    CRect listClient;
    m_list.GetClientRect(&listClient);
    m_list.SetColumnWidth(0, std::max(kMinFunctionWidth, listClient.Width() - m_list.GetColumnWidth(1)));
}

void CQvxGuiTavroDedicatedDigitalInputsDlg::OnSize(UINT type, int cx, int cy)
{
    CGuiUpdateDlg::OnSize(type, cx, cy);
    Layout();
}

void CQvxGuiTavroDedicatedDigitalInputsDlg::OnGetMinMaxInfo(MINMAXINFO* info)
{
    CGuiUpdateDlg::OnGetMinMaxInfo(info);
    if (!info)
        return;
    info->ptMinTrackSize.x = 200;
    info->ptMinTrackSize.y = GetSystemMetrics(SM_CYCAPTION) + m_listTop + 80;
    info->ptMaxTrackSize.x = 10000;
    info->ptMaxTrackSize.y = 10000;
}

void CQvxGuiTavroDedicatedDigitalInputsDlg::RandomExercise(int)
{
    if (Rand() % 2 == 0)
        SendCommand(static_cast<BYTE>(GetDrive()), kDedicatedInputStateParameter, Rand() & 0xFFFF);
}
