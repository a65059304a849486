#include "alerts/FaultManagerDlg.h"

#include <vector>

#include "alerts/FaultManager.h"
#include "alerts/FaultManagerSettingsDlg.h"
#include "platform/ui/ClientDC.h"
#include "platform/ui/MsgBox.h"

namespace {

enum Column { kLevelColumn = 0, kAlertColumn = 1, kTimeColumn = 2, kCountColumn = 3 };
constexpr DWORD kListStyles = 0x27;  // grid lines, sub-item images, check boxes, full-row select
constexpr int kMinWidth = 470;
constexpr int kMinHeight = 200;
constexpr int kMinAlertColumn = 100;

struct TestAlert {
    const char* key;
    int level;
    int flags;
    const char* text;
};

constexpr TestAlert kTestAlerts[] = {
    {"RX_DATA_ERROR", 3, 1,
     "Communications data receive error. Communications will be recovered, though data may have been lost."},
    {"REPORT_DATA_ERROR", 3, 1,
     "Drive reported CRC error. Communications will be recovered, though data may have been lost."},
    {"RX_BUFF_OVRFLW", 4, 2,
     "Communications receive buffer overflow. It is recommended that you close, then re-open communications."},
    {"TX_WRITE_ERROR", 3, 1, "Communications data write error. Data was lost."},
    {"RX_UNEXPECTED_DATA", 5, 2, "Receiving unsolicited data from drive.  Please reset drive and try again."},
    {"SER_READ_RETRY", 2, 1, "Serial communications failure.  Re-trying."},
    {"SER_READ_RETRY", 2, 1, "Serial communications failure.  Re-trying."},
    {"SER_READ_RETRY", 2, 1, "Serial communications failure.  Re-trying."},
    {"SER_READ_TO_ERROR", 4, 2,
     "Serial communications failure.  Please check connection to drive. Then close and re-open communication."},
    {"SER_TX_BUFF_OVRFLW", 3, 2, "Serial communications output buffer overflow.  Data was lost."},
    {"SER_OPEN_ERROR", 5, 2, "Could not open serial port."},
};

// The id a row carries: the owner's value is the first field of the grid's row record.
int RowId(const CReportCtrl& list, int row)
{
    const auto* record = reinterpret_cast<const REPORTITEMDATA*>(list.GetItemData(row));
    return record ? static_cast<int>(record->dwData) : 0;
}

COLORREF RowColor(const CFaultLogItem& item, bool acknowledged, int colorCode)
{
    CString name;
    COLORREF level = 0;
    CFaultManager::GetFaultLevelInfo(item.m_level, name, level);
    if (acknowledged)
        return CFaultManagerDlg::kAcknowledgedColor;
    return colorCode ? level : 0;
}

}  // namespace

BEGIN_MESSAGE_MAP(CFaultManagerDlg, CDialog)
    ON_WM_TIMER()
    ON_WM_CLOSE()
    ON_WM_SIZE()
    ON_WM_GETMINMAXINFO()
    ON_NOTIFY(LVN_ITEMCHANGED, CFaultManagerDlg::kList, &CFaultManagerDlg::OnItemChanged)
    ON_MESSAGE(WM_REPORT_CHANGED, &CFaultManagerDlg::OnSortStarting)
    ON_MESSAGE(WM_REPORT_SORTED, &CFaultManagerDlg::OnSortDone)
    ON_BN_CLICKED(CFaultManagerDlg::kShowSummary, &CFaultManagerDlg::RebuildList)
    ON_BN_CLICKED(CFaultManagerDlg::kShowAcknowledged, &CFaultManagerDlg::RebuildList)
    ON_BN_CLICKED(CFaultManagerDlg::kClearAll, &CFaultManagerDlg::OnClearAll)
    ON_BN_CLICKED(CFaultManagerDlg::kClearAcknowledged, &CFaultManagerDlg::OnClearAcknowledged)
    ON_BN_CLICKED(CFaultManagerDlg::kResetSuppressed, &CFaultManagerDlg::OnResetSuppressed)
    ON_BN_CLICKED(CFaultManagerDlg::kSettings, &CFaultManagerDlg::OnSettings)
    ON_BN_CLICKED(CFaultManagerDlg::kTest, &CFaultManagerDlg::OnTest)
END_MESSAGE_MAP()

CFaultManagerDlg::~CFaultManagerDlg()
{
    if (GetSafeHwnd())
        DestroyWindow();
}

BOOL CFaultManagerDlg::Open(CWnd* parent)
{
    if (!GetSafeHwnd() && !Create(IDD, parent))
        return FALSE;
    ShowWindow(SW_SHOW);
    SetTimer(kRefreshTimer, kRefreshMs, nullptr);
    return TRUE;
}

BOOL CFaultManagerDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_list.SubclassDlgItem(kList, this);
    CheckDlgButton(kShowAcknowledged, BST_CHECKED);
    CRect client;
    GetClientRect(&client);
    Layout(client.Width(), client.Height());
    RefreshList(FALSE);
    return TRUE;
}

void CFaultManagerDlg::OnOK() {}

void CFaultManagerDlg::OnCancel() { OnClose(); }

bool CFaultManagerDlg::SummaryView() const
{
    return const_cast<CFaultManagerDlg*>(this)->IsDlgButtonChecked(kShowSummary) == BST_CHECKED;
}

int CFaultManagerDlg::TextWidth(const char* text)
{
    CClientDC dc(&m_list);
    if (CFont* font = m_list.GetFont())
        dc.SelectObject(font);
    return dc.GetTextExtent(text).cx;
}

void CFaultManagerDlg::InsertColumns()
{
    m_list.InsertColumn(kLevelColumn, "Alert Level", LVCFMT_LEFT, TextWidth("MMMMMMMMMMM"));
    m_list.InsertColumn(kAlertColumn, "Alert", LVCFMT_LEFT, kMinAlertColumn);
    m_list.InsertColumn(kTimeColumn, "Timestamp", LVCFMT_RIGHT, TextWidth("MMMMMMMMMM"));
    if (SummaryView())
        m_list.InsertColumn(kCountColumn, "Count", LVCFMT_RIGHT, TextWidth("MMMMMMM"));
}

void CFaultManagerDlg::RebuildList()
{
    if (!ListExists())
        return;
    m_list.ShowWindow(SW_HIDE);
    RefreshList(FALSE);
    m_list.ShowWindow(SW_SHOW);
}

void CFaultManagerDlg::RefreshList(BOOL incremental)
{
    if (!ListExists() || !m_manager)
        return;
    m_busy = 1;
    const bool showAcknowledged = IsDlgButtonChecked(kShowAcknowledged) == BST_CHECKED;
    const bool summary = SummaryView();
    if (!incremental) {
        m_list.DeleteAllItems();
        m_list.DeleteAllColumns();
        InsertColumns();
        m_list.SetBkColor(kListBackground);
        m_list.SetExtendedStyle(kListStyles);
    }
    std::vector<int> changed;
    const auto visit = [&](CFaultLogItem& item, int count, bool acknowledged) {
        if (item.m_changed) {
            if (incremental)
                changed.push_back(item.m_id);
            item.m_changed = 0;
        }
        const bool skip = (acknowledged && !showAcknowledged) || (incremental && !item.m_new);
        if (!skip) {
            AppendRow(item, count, acknowledged);
            if (!summary && incremental)
                m_list.EnsureVisible(m_list.GetItemCount() - 1, FALSE);
            while (m_list.GetItemCount() > m_manager->m_maxDisplayFaults && m_list.GetItemCount() > 0)
                m_list.DeleteItem(0);
        }
        item.m_new = 0;
    };
    if (summary) {
        for (CConsolidatedFaultItem& item : m_manager->GetSummary())
            visit(item, item.m_count, item.m_summaryAcknowledged != 0);
    } else {
        for (CFaultLogItem& item : m_manager->GetHistory())
            visit(item, 0, item.m_acknowledged != 0);
    }
    for (int id : changed) {
        int row = -1;
        for (int i = 0; i < m_list.GetItemCount() && row < 0; ++i)
            row = RowId(m_list, i) == id ? i : -1;
        if (row < 0)
            continue;
        if (summary) {
            if (CConsolidatedFaultItem* item = m_manager->GetSummary().FindById(id))
                UpdateRow(row, *item, item->m_count, item->m_summaryAcknowledged != 0);
        } else if (CFaultLogItem* item = m_manager->GetHistory().FindById(id)) {
            UpdateRow(row, *item, 0, item->m_acknowledged != 0);
        }
    }
    WidenAlertColumn();
    m_busy = 0;
}

void CFaultManagerDlg::AppendRow(const CFaultLogItem& item, int count, bool acknowledged)
{
    CString level;
    COLORREF unused = 0;
    CFaultManager::GetFaultLevelInfo(item.m_level, level, unused);
    const int row = m_list.InsertItem(m_list.GetItemCount(), level);
    m_list.SetItemText(row, kAlertColumn, item.m_text);
    m_list.SetItemText(row, kTimeColumn, CFaultManager::FormatFaultTime(item.m_time));
    if (SummaryView()) {
        CString text;
        text.Format("%d", count);
        m_list.SetItemText(row, kCountColumn, text);
    }
    m_list.SetItemData(row, static_cast<DWORD_PTR>(item.m_id));
    const COLORREF color = m_manager->m_colorCodeFaults ? RowColor(item, acknowledged, 1) : 0;
    m_list.SetItemColors(row, color, kListBackground, FALSE);
    m_list.SetCheck(row, acknowledged);
}

void CFaultManagerDlg::UpdateRow(int row, const CFaultLogItem& item, int count, bool acknowledged)
{
    if (acknowledged && IsDlgButtonChecked(kShowAcknowledged) != BST_CHECKED) {
        m_list.DeleteItem(row);
        return;
    }
    m_list.SetItemColors(row, RowColor(item, acknowledged, m_manager->m_colorCodeFaults), kListBackground, FALSE);
    m_list.SetCheck(row, acknowledged);
    if (!SummaryView())
        return;
    CString level;
    COLORREF unused = 0;
    CFaultManager::GetFaultLevelInfo(item.m_level, level, unused);
    m_list.SetItemText(row, kLevelColumn, level);
    m_list.SetItemText(row, kAlertColumn, item.m_text);
    CString text;
    text.Format("%d", count);
    m_list.SetItemText(row, kCountColumn, text);
    // The same time text as added rows, so the column reads and sorts alike.
    m_list.SetItemText(row, kTimeColumn, CFaultManager::FormatFaultTime(item.m_time));
}

void CFaultManagerDlg::WidenAlertColumn()
{
    CRect client;
    m_list.GetClientRect(&client);
    int others = 0;
    for (int column = 0; column < m_list.GetColumnCount(); ++column)
        others += column == kAlertColumn ? 0 : m_list.GetColumnWidth(column);
    const int rest = client.Width() - others;
    m_list.SetColumnWidth(kAlertColumn, rest > kMinAlertColumn ? rest : kMinAlertColumn);
}

void CFaultManagerDlg::OnTimer(UINT_PTR id)
{
    if (id != kRefreshTimer)
        return;
    if (ListExists())
        RefreshList(TRUE);
    if (m_manager)
        m_manager->SetPaused(IsDlgButtonChecked(kPauseLogging) == BST_CHECKED);
}

void CFaultManagerDlg::OnClose()
{
    KillTimer(kRefreshTimer);
    ShowWindow(SW_HIDE);
    if (m_manager)
        m_manager->SetPaused(0);
    CheckDlgButton(kPauseLogging, BST_UNCHECKED);
}

void CFaultManagerDlg::OnItemChanged(NMHDR* header, LRESULT* result)
{
    *result = 0;
    const auto* note = reinterpret_cast<NMLISTVIEW*>(header);
    if (m_busy || !m_manager || !(note->uChanged & LVIF_STATE) ||
        !((note->uNewState ^ note->uOldState) & LVIS_STATEIMAGEMASK))
        return;
    const BOOL checked = ((note->uNewState & LVIS_STATEIMAGEMASK) >> 12) == 2;
    const int clicked = note->iItem;
    if (m_list.GetSelectedCount() > 1) {
        m_busy = 1;
        for (int row = m_list.GetNextItem(-1, LVNI_SELECTED); row >= 0; row = m_list.GetNextItem(row, LVNI_SELECTED)) {
            if (row == clicked)
                continue;
            m_list.SetCheck(row, checked);
            ApplyCheck(row, checked);
        }
        m_busy = 0;
    }
    ApplyCheck(clicked, checked);
}

void CFaultManagerDlg::ApplyCheck(int row, BOOL checked)
{
    const int id = RowId(m_list, row);
    if (SummaryView())
        m_manager->SetSummaryItemAcknowledged(id, checked);
    else
        m_manager->SetLogItemAcknowledged(id, checked);
}

LRESULT CFaultManagerDlg::OnSortStarting(WPARAM, LPARAM)
{
    m_busy = 1;
    return 0;
}

LRESULT CFaultManagerDlg::OnSortDone(WPARAM, LPARAM)
{
    m_busy = 0;
    return 0;
}

void CFaultManagerDlg::RemoveListed(BOOL onlyAcknowledged)
{
    if (!m_manager)
        return;
    const char* question = onlyAcknowledged ? "Remove all acknowledged alerts?" : "Remove all alerts?";
    if (AfxMessageBox(question, MB_YESNO) != IDYES)
        return;
    std::vector<int> ids;
    for (int row = 0; row < m_list.GetItemCount(); ++row)
        ids.push_back(RowId(m_list, row));
    const bool summary = SummaryView();
    for (int id : ids) {
        if (!summary) {
            m_manager->RemoveLogItem(id, onlyAcknowledged);
        } else if (const CConsolidatedFaultItem* item = m_manager->GetSummary().FindById(id)) {
            const CString key = item->m_key;
            m_manager->RemoveSummaryItem(key, onlyAcknowledged);
        }
    }
    RebuildList();
}

void CFaultManagerDlg::OnResetSuppressed()
{
    if (m_manager)
        m_manager->ResetSuppressed();
}

void CFaultManagerDlg::OnSettings()
{
    if (!m_manager)
        return;
    CFaultManagerSettingsDlg settings(*m_manager, this);
    if (settings.DoModal() == IDOK)
        settings.ApplyToManager();
}

void CFaultManagerDlg::OnTest()
{
    for (const TestAlert& alert : kTestAlerts) {
        if (m_raiseAlert)
            m_raiseAlert(alert.key, alert.text, alert.level, alert.flags);
        else if (m_manager)
            m_manager->PostFault(alert.key, alert.text, alert.level, alert.flags);
    }
}

void CFaultManagerDlg::OnSize(UINT type, int cx, int cy)
{
    CDialog::OnSize(type, cx, cy);
    if (ListExists())
        Layout(cx, cy);
}

void CFaultManagerDlg::OnGetMinMaxInfo(MINMAXINFO* info)
{
    info->ptMinTrackSize.x = kMinWidth;
    info->ptMinTrackSize.y = kMinHeight;
}

void CFaultManagerDlg::Layout(int cx, int cy)
{
    CWnd* clearAll = GetDlgItem(kClearAll);
    if (!clearAll || cx <= 0 || cy <= 0)
        return;
    CRect list, button;
    m_list.GetWindowRect(&list);
    ScreenToClient(&list);
    clearAll->GetWindowRect(&button);
    ScreenToClient(&button);
    if (!m_measured) {
        m_listRightMargin = cx - list.right;
        m_buttonsFromBottom = cy - button.top;
        m_listToButtons = button.top - list.bottom;
        m_measured = true;
    }
    const int buttonTop = cy - m_buttonsFromBottom;
    const int right = cx - m_listRightMargin;
    m_list.MoveWindow(list.left, list.top, right - list.left, buttonTop - m_listToButtons - list.top);
    for (int id : {kClearAll, kClearAcknowledged, kResetSuppressed, kSettings, kTest}) {
        if (CWnd* control = GetDlgItem(id)) {
            CRect r;
            control->GetWindowRect(&r);
            ScreenToClient(&r);
            control->MoveWindow(r.left, buttonTop, r.Width(), r.Height());
        }
    }
    const auto placeAtRight = [this](int id, int rightEdge, int top) {
        CWnd* control = GetDlgItem(id);
        if (!control)
            return rightEdge;
        CRect r;
        control->GetWindowRect(&r);
        ScreenToClient(&r);
        control->MoveWindow(rightEdge - r.Width(), top < 0 ? r.top : top, r.Width(), r.Height());
        return rightEdge - r.Width();
    };
    CRect pause;
    if (CWnd* box = GetDlgItem(kPauseLogging)) {
        box->GetWindowRect(&pause);
        ScreenToClient(&pause);
        placeAtRight(kPauseLogging, right, buttonTop + (button.Height() - pause.Height()) / 2);
    }
    const int left = placeAtRight(kShowAcknowledged, right, -1);
    placeAtRight(kShowSummary, left - 6, -1);
    WidenAlertColumn();
}
