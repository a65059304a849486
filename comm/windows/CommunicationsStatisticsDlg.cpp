#include "comm/windows/CommunicationsStatisticsDlg.h"

#include "comm/trace/CommStatistics.h"
#include "platform/ui/ClientDC.h"
#include "platform/ui/ListCtrl.h"

namespace {

constexpr UINT WM_HIDE_STATISTICS = WM_USER + 325;

enum Measure { kCount = 1, kSum = 2, kRate = 3, kSizeRate = 4, kAverage = 5, kMaximum = 7 };

struct StatisticsRow {
    const char* description;
    int id;
    int measure;
};

constexpr StatisticsRow kRows[] = {
    {"Input bytes", kStatBytesIn, kSum},
    {"Input bytes/sec", kStatBytesIn, kSizeRate},
    {"Output bytes", kStatBytesOut, kSum},
    {"Output bytes/sec", kStatBytesOut, kSizeRate},
    {"Received CRC/Header/Data errors", kStatRxFrameError, kCount},
    {"Received CRC/Header/Data errors/sec", kStatRxFrameError, kRate},
    {"Reported CRC/Data errors", kStatDriveCrcError, kCount},
    {"Reported CRC/Data errors/sec", kStatDriveCrcError, kRate},
    {"Write errors", kStatWriteError, kCount},
    {"Write errors/sec", kStatWriteError, kRate},
    {"Input buffer overflow errors", kStatRxOverflow, kCount},
    {"Output buffer overflow errors", kStatTxOverflow, kCount},
    {"Average query update overtime (ms)", kStatQueryOvertime, kAverage},
    {"Max query update overtime (ms)", kStatQueryOvertime, kMaximum},
    {"Serial communications query retries", kStatSerialRetry, kCount},
    {"Data receive timeouts", kStatReplyTimeout, kCount},
};

bool IsWholeNumber(int measure) { return measure == kCount || measure == kSum || measure == kMaximum; }

}  // namespace

BEGIN_MESSAGE_MAP(CCommunicationsStatisticsDlg, CDialog)
    ON_WM_TIMER()
    ON_MESSAGE(WM_HIDE_STATISTICS, &CCommunicationsStatisticsDlg::OnHideStatistics)
END_MESSAGE_MAP()

CCommunicationsStatisticsDlg::CCommunicationsStatisticsDlg(CCommStatistics& statistics, CWnd* parent)
    : CDialog(IDD, parent), m_statistics(statistics)
{
    m_statistics.SetWindow(this);
}

CCommunicationsStatisticsDlg::~CCommunicationsStatisticsDlg()
{
    m_statistics.SetWindow(nullptr);
    if (GetSafeHwnd())
        DestroyWindow();
}

BOOL CCommunicationsStatisticsDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    auto* list = static_cast<CListCtrl*>(GetDlgItem(kListId));
    if (!list)
        return TRUE;
    list->SetExtendedStyle(list->GetExtendedStyle() | LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    CClientDC dc(list);
    const int dataWidth = dc.GetTextExtent("MMMMMMMMMM").cx;
    list->InsertColumn(0, "Description", LVCFMT_LEFT, 200);
    list->InsertColumn(1, "Data", LVCFMT_LEFT, dataWidth);
    for (int row = 0; row < static_cast<int>(_countof(kRows)); ++row)
        list->InsertItem(row, kRows[row].description);
    Refresh();
    return TRUE;
}

BOOL CCommunicationsStatisticsDlg::ShowStatistics()
{
    if (!GetSafeHwnd() && !Create(IDD, m_pParentWnd))
        return FALSE;
    Refresh();
    ShowWindow(SW_SHOW);
    SetTimer(kRefreshTimer, kRefreshMs, nullptr);
    return TRUE;
}

void CCommunicationsStatisticsDlg::HideStatistics()
{
    if (GetSafeHwnd())
        PostMessage(WM_HIDE_STATISTICS, 0, 0);
}

LRESULT CCommunicationsStatisticsDlg::OnHideStatistics(WPARAM, LPARAM)
{
    KillTimer(kRefreshTimer);
    ShowWindow(SW_HIDE);
    return 0;
}

void CCommunicationsStatisticsDlg::OnTimer(UINT_PTR id)
{
    if (id == kRefreshTimer)
        Refresh();
}

void CCommunicationsStatisticsDlg::Refresh()
{
    auto* list = GetSafeHwnd() ? static_cast<CListCtrl*>(GetDlgItem(kListId)) : nullptr;
    if (!list)
        return;
    for (int row = 0; row < static_cast<int>(_countof(kRows)); ++row) {
        const StatisticsRow& r = kRows[row];
        const double value = m_statistics.GetStatistics(static_cast<DWORD>(r.id))->GetMeasure(r.measure);
        CString text;
        if (IsWholeNumber(r.measure))
            text.Format("%u", static_cast<unsigned>(value));
        else
            text.Format("%g", value);
        if (list->GetItemText(row, 1) != text)
            list->SetItemText(row, 1, text);
    }
}
