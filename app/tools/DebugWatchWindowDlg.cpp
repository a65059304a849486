#include "DebugWatchWindowDlg.h"

#include <algorithm>

#include "platform/core/SingleLock.h"
#include "resources/ids/DebugWatchIds.h"

BEGIN_MESSAGE_MAP(CDebugWatchWindowDlg, CDialog)
    ON_WM_TIMER()
END_MESSAGE_MAP()

namespace {
int CountLines(const CString& text) { return static_cast<int>(std::count(text.GetString(), text.GetString() + text.GetLength(), '\n')); }

// The position after the n-th line end, or the length when there are fewer.
int AfterLines(const CString& text, int lines)
{
    int at = 0;
    while (lines-- > 0) {
        const int end = text.Find('\n', at);
        if (end < 0)
            return text.GetLength();
        at = end + 1;
    }
    return at;
}
}  // namespace

CDebugWatchWindowDlg::CDebugWatchWindowDlg() : CDialog(IDD_DEBUG_WATCH) {}

CDebugWatchWindowDlg::~CDebugWatchWindowDlg()
{
    if (GetSafeHwnd())
        DestroyWindow();
    CloseLogFile();
}

int CDebugWatchWindowDlg::RowOf(const char* name)
{
    CSingleLock lock(&m_rowsLock, TRUE);
    auto [at, added] = m_rows.try_emplace(name, static_cast<int>(m_rows.size()));
    if (added) {
        CSingleLock pending(&m_pendingLock, TRUE);
        m_pendingNames.emplace_back(name);
    }
    return at->second;
}

void CDebugWatchWindowDlg::SetRowValue(int row, double value)
{
    CSingleLock lock(&m_valuesLock, TRUE);
    if (static_cast<int>(m_values.size()) <= row)
        m_values.resize(static_cast<size_t>(row) + 1, 0.0);
    m_values[static_cast<size_t>(row)] = value;
}

void CDebugWatchWindowDlg::SetWatchValue(const char* name, double value) { SetRowValue(RowOf(name), value); }

CHPTimer& CDebugWatchWindowDlg::FindOrMakeStopwatch(const char* name)
{
    std::unique_ptr<CHPTimer>& stopwatch = m_stopwatches[name];
    if (!stopwatch) {
        stopwatch = std::make_unique<CHPTimer>();
        stopwatch->Restart();
    }
    return *stopwatch;
}

void CDebugWatchWindowDlg::StartTimer(const char* name)
{
    CSingleLock lock(&m_stopwatchLock, TRUE);
    FindOrMakeStopwatch(name).Restart();
}

double CDebugWatchWindowDlg::LapTimer(const char* name)
{
    CSingleLock lock(&m_stopwatchLock, TRUE);
    CHPTimer& stopwatch = FindOrMakeStopwatch(name);
    const double seconds = stopwatch.GetElapsedSeconds();
    SetWatchValue(name, seconds);
    stopwatch.Restart();
    return seconds;
}

double CDebugWatchWindowDlg::ReadTimer(const char* name)
{
    CSingleLock lock(&m_stopwatchLock, TRUE);
    auto found = m_stopwatches.find(name);
    if (found == m_stopwatches.end())
        return 0.0;
    const double seconds = found->second->GetElapsedSeconds();
    SetWatchValue(name, seconds);
    return seconds;
}

void CDebugWatchWindowDlg::AddMessage(const char* text)
{
    // Nothing is logged before the first show; the flag, not the window, says so,
    // so a writer never looks at a window another thread may be destroying.
    if (!HasBeenShown() || !text)
        return;
    CString line = text;
    // Callers that end their text with a line end still get one line end.
    line.TrimRight("\r\n");
    line += "\r\n";
    {
        CSingleLock lock(&m_bufferLock, TRUE);
        m_buffer += line;
        m_bufferLines += CountLines(line);
        TrimBuffer();
    }
    CSingleLock lock(&m_fileLock, TRUE);
    if (m_logFile) {
        std::fputs(line, m_logFile);
        std::fflush(m_logFile);
    }
}

void CDebugWatchWindowDlg::TrimBuffer()
{
    // A hidden window takes nothing from the buffer, so it is trimmed as the view is.
    if (m_bufferLines <= kTrimAboveLines)
        return;
    m_buffer = m_buffer.Mid(AfterLines(m_buffer, m_bufferLines - kKeepLines));
    m_bufferLines = kKeepLines;
}

BOOL CDebugWatchWindowDlg::OpenLogFile(const char* path)
{
    CSingleLock lock(&m_fileLock, TRUE);
    if (!m_logFile)
        m_logFile = std::fopen(path, "w");
    return m_logFile != nullptr;
}

void CDebugWatchWindowDlg::CloseLogFile()
{
    CSingleLock lock(&m_fileLock, TRUE);
    if (m_logFile)
        std::fclose(m_logFile);
    m_logFile = nullptr;
}

void CDebugWatchWindowDlg::Show(CWnd* parent, int show)
{
    if (!GetSafeHwnd()) {
        if (!show || !Create(IDD_DEBUG_WATCH, parent))
            return;
    }
    if (show) {
        m_shownOnce.store(true, std::memory_order_release);
        ShowWindow(SW_SHOW);
        SetTimer(kRefreshTimer, 100);
    } else {
        KillTimer(kRefreshTimer);
        ShowWindow(SW_HIDE);
    }
}

bool CDebugWatchWindowDlg::IsShown() const { return GetSafeHwnd() && IsWindowVisible(); }

void CDebugWatchWindowDlg::Toggle(CWnd* parent) { Show(parent, IsShown() ? 0 : 1); }

BOOL CDebugWatchWindowDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_list.SubclassDlgItem(IDC_DEBUG_WATCH_LIST, this);
    m_messages.SubclassDlgItem(IDC_DEBUG_WATCH_MESSAGES, this);
    m_list.SetExtendedStyle(0x21);
    CRect client;
    m_list.GetClientRect(&client);
    m_list.InsertColumn(0, "Watch", LVCFMT_LEFT, client.Width() / 2);
    m_list.InsertColumn(1, "Value", LVCFMT_LEFT, client.Width() / 2);
    return TRUE;
}

void CDebugWatchWindowDlg::OnTimer(UINT_PTR id)
{
    if (id == kRefreshTimer)
        Refresh();
}

void CDebugWatchWindowDlg::Refresh()
{
    RefreshList();
    ShowMessages();
}

void CDebugWatchWindowDlg::RefreshList()
{
    if (!m_list.GetSafeHwnd())
        return;
    bool added = false;
    {
        CSingleLock lock(&m_pendingLock, TRUE);
        for (const CString& name : m_pendingNames)
            m_list.InsertItem(m_list.GetItemCount(), name);
        added = !m_pendingNames.empty();
        m_pendingNames.clear();
    }
    if (added)
        FitColumns();
    std::vector<double> values;
    {
        CSingleLock lock(&m_valuesLock, TRUE);
        values = m_values;
    }
    const int rows = std::min(static_cast<int>(values.size()), m_list.GetItemCount());
    for (int row = 0; row < rows; ++row) {
        CString text;
        text.Format("%f", values[static_cast<size_t>(row)]);
        m_list.SetItemText(row, 1, text);
    }
}

void CDebugWatchWindowDlg::FitColumns()
{
    CRect client;
    m_list.GetClientRect(&client);
    m_list.SetColumnWidth(0, client.Width() / 2);
    m_list.SetColumnWidth(1, client.Width() - client.Width() / 2);
}

CString CDebugWatchWindowDlg::GetPendingMessages()
{
    CSingleLock lock(&m_bufferLock, TRUE);
    CString text = m_buffer;
    m_buffer.Empty();
    m_bufferLines = 0;
    return text;
}

void CDebugWatchWindowDlg::ShowMessages()
{
    if (!m_messages.GetSafeHwnd())
        return;
    const CString text = GetPendingMessages();
    if (m_messages.GetLineCount() > kTrimAboveLines) {
        CString all;
        m_messages.GetWindowText(all);
        m_messages.SetWindowText(all.Mid(AfterLines(all, m_messages.GetLineCount() - kKeepLines)));
    }
    if (text.IsEmpty())
        return;
    const long end = m_messages.GetTextLength();
    m_messages.SetSel(end, end);
    m_messages.ReplaceSel(text);
    m_messages.LineScroll(m_messages.GetLineCount());
}

int CDebugWatchWindowDlg::GetRowCount() const { return m_list.GetSafeHwnd() ? m_list.GetItemCount() : 0; }

CString CDebugWatchWindowDlg::GetRowName(int row) const { return m_list.GetItemText(row, 0); }

CString CDebugWatchWindowDlg::GetRowValue(int row) const { return m_list.GetItemText(row, 1); }

CString CDebugWatchWindowDlg::GetMessagesText() const
{
    CString text;
    if (m_messages.GetSafeHwnd())
        m_messages.GetWindowText(text);
    return text;
}
