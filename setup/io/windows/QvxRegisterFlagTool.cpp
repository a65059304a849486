#include "setup/io/windows/QvxRegisterFlagTool.h"

#include <algorithm>

#include "platform/ui/DC.h"

IMPLEMENT_DYNCREATE(CQvxRegisterFlagTool, CGuiUpdateDlg)
// The window factory finds the window by its class name.
static const CRuntimeClassRegistrar kRegistrar(RUNTIME_CLASS(CQvxRegisterFlagTool));

BEGIN_MESSAGE_MAP(CQvxRegisterFlagTool, CGuiUpdateDlg)
    ON_MESSAGE(WM_REPORT_CHECKCHANGED, &CQvxRegisterFlagTool::OnCheckChanged)
    ON_WM_SIZE()
END_MESSAGE_MAP()

namespace {
struct FlagRow {
    int bit;
    const char* text;
};
// Bits 0 and 14 have no row.
const FlagRow kRows[] = {{1, "Noise Canceling"},        {2, "Aux is Pos Torq Switch"}, {3, "Two Phase Current HW"},
                         {4, "Sine Cosine Encoder HW"}, {5, "Polarity Bus Sense"},     {6, "Highspeed Spindle"},
                         {7, "Resolver"},               {8, "STO Selected"},           {9, "CPLD Installed"},
                         {10, "Invert Analog Input"},   {11, "Bus Under Rst"},         {12, "Profile Generator Enabled"},
                         {13, "Aux Is Torque Sensor"},  {15, "Absolute Encoder"}};
constexpr DWORD kRowlessBits = (1u << 0) | (1u << 14);
constexpr int kListTop = 30;
}  // namespace

CQvxRegisterFlagTool::CQvxRegisterFlagTool() : CGuiUpdateDlg(IDD) {}

BOOL CQvxRegisterFlagTool::OnInitDialog()
{
    CGuiUpdateDlg::OnInitDialog();
    CWnd* holder = GetDlgItem(IDC_FLAG_TOOL_LIST);
    CRect rect;
    holder->GetWindowRect(&rect);
    ScreenToClient(&rect);
    holder->DestroyWindow();
    m_list.CreateReport(this, IDC_FLAG_TOOL_LIST, &rect);
    m_list.SetExtendedStyle(LVS_EX_GRIDLINES | LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    int width = 60;
    if (CDC* dc = m_list.GetDC()) {
        dc->SelectObject(m_list.GetFont());
        width = dc->GetTextExtent(CString("0000000")).cx;
        m_list.ReleaseDC(dc);
    }
    m_list.InsertColumn(0, "Bit", LVCFMT_LEFT, width);
    m_list.InsertColumn(1, "Description", LVCFMT_LEFT, 100);
    m_filling = 1;
    for (int row = 0; row < static_cast<int>(std::size(kRows)); ++row) {
        CString bit;
        bit.Format("%02u", static_cast<unsigned>(kRows[row].bit));
        m_list.InsertItem(row, bit);
        m_list.SetItemText(row, 1, kRows[row].text);
        m_list.SetItemData(row, static_cast<DWORD_PTR>(kRows[row].bit));
    }
    m_filling = 0;
    // Nothing is written before the drive's word is known.
    m_list.EnableWindow(FALSE);
    SizeLastColumn();
    return TRUE;
}

int CQvxRegisterFlagTool::SubscribeStatusQueries()
{
    const int drive = GetDrive();
    if (drive == -1)
        return 0;
    SendQueryWithArgument(static_cast<BYTE>(drive), kModelDataCode, kModelIndexCode, kHardwareFlagIndex, 0,
                          kQryOneShot);
    return CGuiUpdateDlg::SubscribeStatusQueries();
}

void CQvxRegisterFlagTool::OnStatusResponse(const CAmpResponseToGui& response)
{
    if (response.m_code != kModelDataCode || response.m_write) {
        CGuiUpdateDlg::OnStatusResponse(response);
        return;
    }
    if (response.m_error) {
        m_haveWord = 0;
        m_list.EnableWindow(FALSE);
        return;
    }
    m_word = static_cast<DWORD>(response.m_value) & 0xFFFF;
    m_haveWord = 1;
    ShowWord();
    m_list.EnableWindow(TRUE);
}

void CQvxRegisterFlagTool::ShowWord()
{
    m_filling = 1;
    for (int row = 0; row < static_cast<int>(std::size(kRows)); ++row)
        m_list.SetCheck(row, (m_word >> kRows[row].bit) & 1);
    m_filling = 0;
}

DWORD CQvxRegisterFlagTool::CheckedWord() const
{
    DWORD word = m_word & kRowlessBits;
    for (int row = 0; row < static_cast<int>(std::size(kRows)); ++row)
        if (m_list.GetCheck(row))
            word |= 1u << kRows[row].bit;
    return word;
}

LRESULT CQvxRegisterFlagTool::OnCheckChanged(WPARAM, LPARAM)
{
    if (m_filling || !m_haveWord || GetDrive() == -1)
        return 0;
    m_word = CheckedWord();
    SendCommandWithArgument(static_cast<BYTE>(GetDrive()), kModelDataCode, static_cast<LONG>(m_word), kModelIndexCode,
                            kHardwareFlagIndex);
    return 0;
}

void CQvxRegisterFlagTool::SizeLastColumn()
{
    CRect client;
    m_list.GetClientRect(&client);
    m_list.SetColumnWidth(1, std::max(100, client.Width() - m_list.GetColumnWidth(0)));
}

void CQvxRegisterFlagTool::OnSize(UINT type, int cx, int cy)
{
    CGuiUpdateDlg::OnSize(type, cx, cy);
    if (!m_list.GetSafeHwnd() || cx <= 0 || cy <= kListTop)
        return;
    m_list.MoveWindow(0, kListTop, cx, cy - kListTop);
    SizeLastColumn();
}
