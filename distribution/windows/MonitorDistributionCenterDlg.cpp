#include "distribution/windows/MonitorDistributionCenterDlg.h"

#include "comm/protocol/AmpCommand.h"
#include "distribution/DistManager.h"
#include "foundation/WindowBoundHelpers.h"
#include "platform/ui/ListCtrl.h"

#include <cstdarg>

BEGIN_MESSAGE_MAP(CMonitorDistributionCenterDlg, CDialog)
    ON_WM_TIMER()
    ON_WM_DESTROY()
    ON_BN_CLICKED(CMonitorDistributionCenterDlg::kSelectedRadioId, &CMonitorDistributionCenterDlg::OnShowChoice)
    ON_BN_CLICKED(CMonitorDistributionCenterDlg::kAllRadioId, &CMonitorDistributionCenterDlg::OnShowChoice)
    ON_NOTIFY(LVN_ITEMCHANGED, CMonitorDistributionCenterDlg::kQueriesListId,
              &CMonitorDistributionCenterDlg::OnQuerySelectionChanged)
END_MESSAGE_MAP()

namespace {

int FindRowByData(CListCtrl& list, DWORD_PTR data)
{
    for (int row = 0; row < list.GetItemCount(); ++row)
        if (list.GetItemData(row) == data)
            return row;
    return -1;
}

void SetText(CListCtrl& list, int row, int column, const CString& text)
{
    // Rewriting an unchanged cell would only make the list flicker.
    if (list.GetItemText(row, column) != text)
        list.SetItemText(row, column, text);
}

CString Format(const char* format, ...) KV_PRINTF(1, 2);
CString Format(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    CString text;
    text.FormatV(format, args);
    va_end(args);
    return text;
}

}  // namespace

CMonitorDistributionCenterDlg::CMonitorDistributionCenterDlg(CDistManager& manager, CWnd* parent)
    : CDialog(IDD, parent), m_manager(manager)
{
}

CMonitorDistributionCenterDlg::~CMonitorDistributionCenterDlg()
{
    m_manager.SetMonitorQueue(nullptr);
    if (GetSafeHwnd())
        DestroyWindow();
}

BOOL CMonitorDistributionCenterDlg::ShowMonitor()
{
    if (!GetSafeHwnd() && !Create(IDD, m_pParentWnd))
        return FALSE;
    ShowWindow(SW_SHOW);
    return TRUE;
}

CListCtrl* CMonitorDistributionCenterDlg::QueriesList() { return static_cast<CListCtrl*>(GetDlgItem(kQueriesListId)); }
CListCtrl* CMonitorDistributionCenterDlg::SinksList() { return static_cast<CListCtrl*>(GetDlgItem(kSinksListId)); }

BOOL CMonitorDistributionCenterDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    CListCtrl* queries = QueriesList();
    CListCtrl* sinks = SinksList();
    for (CListCtrl* list : {queries, sinks})
        list->SetExtendedStyle(list->GetExtendedStyle() | LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    queries->InsertColumn(0, "Adr", LVCFMT_LEFT, 35);
    queries->InsertColumn(1, "Command", LVCFMT_LEFT, 110);
    queries->InsertColumn(2, "Upd/Act ms", LVCFMT_LEFT, 80);
    queries->InsertColumn(3, "Cm/OvrHd ms", LVCFMT_LEFT, 85);
    queries->InsertColumn(4, "Upd value", LVCFMT_LEFT, 80);
    sinks->InsertColumn(0, "Adr", LVCFMT_LEFT, 35);
    sinks->InsertColumn(1, "QCId", LVCFMT_LEFT, 50);
    sinks->InsertColumn(2, "Source", LVCFMT_LEFT, 150);
    sinks->InsertColumn(3, "UpdMS", LVCFMT_LEFT, 55);
    sinks->InsertColumn(4, "ActUpdMs", LVCFMT_LEFT, 65);
    CheckRadioButton(kSelectedRadioId, kAllRadioId, kSelectedRadioId);
    m_manager.SetMonitorQueue(&m_queue);
    m_refreshWatch.Restart();
    SetTimer(kTimerId, kTimerMs);
    return TRUE;
}

void CMonitorDistributionCenterDlg::OnDestroy()
{
    KillTimer(kTimerId);
    m_manager.SetMonitorQueue(nullptr);
    CDialog::OnDestroy();
}

void CMonitorDistributionCenterDlg::OnTimer(UINT_PTR id)
{
    if (id != kTimerId || m_inTick)
        return;
    m_inTick = true;
    std::unique_ptr<CMonitorDistCenterQueryDataMap> newest;
    while (CMonitorDistCenterQueryDataMap* snapshot = m_queue.Pop())
        newest.reset(snapshot);
    if (newest && m_refreshWatch.GetElapsedSeconds() > kRefreshSeconds) {
        ShowSnapshot(*newest);
        m_shown = std::move(newest);
        m_refreshWatch.Restart();
    }
    m_inTick = false;
}

void CMonitorDistributionCenterDlg::ShowSnapshot(const CMonitorDistCenterQueryDataMap& snapshot)
{
    RefreshQueries(snapshot);
    RefreshSinks(snapshot);
}

CString CMonitorDistributionCenterDlg::CommandText(const CMonitorDistCenterQueryData& job)
{
    const int code = static_cast<int>(job.m_commandKey & 0xFFFF);
    const int sub = static_cast<int>(job.m_commandKey >> 16);
    if (!sub)
        return CodeToMnemonic(code);
    return Format("%s%d+%s", CodeToMnemonic(sub).GetString(), static_cast<int>(job.m_subValue),
                  CodeToMnemonic(code).GetString());
}

void CMonitorDistributionCenterDlg::FillQueryRow(int row, const CMonitorDistCenterQueryData& job)
{
    CListCtrl& list = *QueriesList();
    SetText(list, row, 0, Format("%u", static_cast<unsigned>(job.m_address)));
    SetText(list, row, 1, CommandText(job));
    SetText(list, row, 2, Format("%u / %u", job.m_period, job.m_interval));
    SetText(list, row, 3,
            Format("%d / %d", static_cast<int>(job.m_roundTrip),
                   static_cast<int>(job.m_answerTime) - static_cast<int>(job.m_roundTrip)));
    SetText(list, row, 4, Format("%d", static_cast<int>(job.m_lastValue)));
}

void CMonitorDistributionCenterDlg::RefreshQueries(const CMonitorDistCenterQueryDataMap& snapshot)
{
    CListCtrl& list = *QueriesList();
    for (int row = list.GetItemCount() - 1; row >= 0; --row) {
        CMonitorDistCenterQueryData* job = nullptr;
        if (!snapshot.Lookup(static_cast<DWORD>(list.GetItemData(row)), job))
            list.DeleteItem(row);
    }
    POSITION pos = snapshot.GetStartPosition();
    while (pos) {
        DWORD jobId = 0;
        CMonitorDistCenterQueryData* job = nullptr;
        snapshot.GetNextAssoc(pos, jobId, job);
        int row = FindRowByData(list, jobId);
        if (row < 0) {
            row = list.InsertItem(list.GetItemCount(), "");
            list.SetItemData(row, jobId);
        }
        FillQueryRow(row, *job);
    }
}

void CMonitorDistributionCenterDlg::RefreshSinks(const CMonitorDistCenterQueryDataMap& snapshot)
{
    CListCtrl& queries = *QueriesList();
    const bool all = IsDlgButtonChecked(kAllRadioId) != 0;
    std::set<DWORD> chosenJobs;
    for (int row = 0; row < queries.GetItemCount(); ++row)
        if (all || (queries.GetItemState(row, LVIS_SELECTED) & LVIS_SELECTED))
            chosenJobs.insert(static_cast<DWORD>(queries.GetItemData(row)));
    CMonitorDistCenterRcvrDataMap shown;
    for (DWORD jobId : chosenJobs) {
        CMonitorDistCenterQueryData* job = nullptr;
        if (!snapshot.Lookup(jobId, job))
            continue;
        POSITION pos = job->m_receivers.GetStartPosition();
        while (pos) {
            DWORD queryId = 0;
            CMonitorDistCenterRcvrData data;
            job->m_receivers.GetNextAssoc(pos, queryId, data);
            shown.SetAt(queryId, data);
        }
    }
    CListCtrl& sinks = *SinksList();
    for (int row = sinks.GetItemCount() - 1; row >= 0; --row) {
        CMonitorDistCenterRcvrData data;
        if (!shown.Lookup(static_cast<DWORD>(sinks.GetItemData(row)), data))
            sinks.DeleteItem(row);
    }
    POSITION pos = shown.GetStartPosition();
    while (pos) {
        DWORD queryId = 0;
        CMonitorDistCenterRcvrData data;
        shown.GetNextAssoc(pos, queryId, data);
        int row = FindRowByData(sinks, queryId);
        if (row < 0) {
            row = sinks.InsertItem(sinks.GetItemCount(), "New");
            sinks.SetItemData(row, queryId);
        }
        SetText(sinks, row, 0, Format("%u", static_cast<unsigned>(data.m_address)));
        SetText(sinks, row, 1, Format("%u", data.m_queryId));
        SetText(sinks, row, 2, data.m_receiverName);
        SetText(sinks, row, 3, Format("%u", data.m_time));
        SetText(sinks, row, 4, Format("%u", data.m_lastInterval));
    }
    FitListColumnWidth(sinks, 2, 10);
}

void CMonitorDistributionCenterDlg::OnShowChoice()
{
    if (m_shown)
        RefreshSinks(*m_shown);
}

void CMonitorDistributionCenterDlg::OnQuerySelectionChanged(NMHDR* /*header*/, LRESULT* result)
{
    if (m_shown && IsDlgButtonChecked(kSelectedRadioId))
        RefreshSinks(*m_shown);
    *result = 0;
}
