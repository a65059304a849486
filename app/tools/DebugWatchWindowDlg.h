// CDebugWatchWindowDlg: the diagnostic window any thread may feed with named
// watch values, named stopwatches and log lines. Writers only append to the
// object's buffers, each under its own small lock, and never touch a window;
// the window drains the buffers on its own timer. Log lines reach the window
// and the log file only once the window has been shown.
#pragma once

#include <atomic>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "foundation/HPTimer.h"
#include "platform/core/Mutex.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/ListCtrl.h"
#include "platform/ui/MessageMap.h"
#include "platform/ui/RichEditCtrl.h"

class CDebugWatchWindowDlg : public CDialog {
public:
    CDebugWatchWindowDlg();
    ~CDebugWatchWindowDlg() override;

    static constexpr UINT kRefreshTimer = 0;
    static constexpr int kTrimAboveLines = 2000;
    static constexpr int kKeepLines = 1334;

    // Any thread.
    void SetWatchValue(const char* name, double value);
    void StartTimer(const char* name);
    double LapTimer(const char* name);
    double ReadTimer(const char* name);
    void AddMessage(const char* text);
    // Opens the log once; later calls change nothing. FALSE when it could not be opened.
    BOOL OpenLogFile(const char* path);
    void CloseLogFile();

    // GUI thread: show (1) or hide (0); the window is made on first use.
    void Show(CWnd* parent, int show);
    void Toggle(CWnd* parent);
    bool HasBeenShown() const { return m_shownOnce.load(std::memory_order_acquire); }
    bool IsShown() const;
    // One timer tick's work.
    void Refresh();

    // What the window shows.
    int GetRowCount() const;
    CString GetRowName(int row) const;
    CString GetRowValue(int row) const;
    CString GetMessagesText() const;
    CString GetPendingMessages();

    BOOL OnInitDialog() override;
    void OnTimer(UINT_PTR id);

protected:
    void OnCancel() override { Show(nullptr, 0); }

private:
    int RowOf(const char* name);
    void SetRowValue(int row, double value);
    CHPTimer& FindOrMakeStopwatch(const char* name);
    void TrimBuffer();
    void RefreshList();
    void ShowMessages();
    void FitColumns();

    CListCtrl m_list;
    CRichEditCtrl m_messages;
    std::unordered_map<std::string, int> m_rows;
    std::vector<double> m_values;
    std::vector<CString> m_pendingNames;
    std::map<std::string, std::unique_ptr<CHPTimer>> m_stopwatches;
    CString m_buffer;
    int m_bufferLines = 0;
    FILE* m_logFile = nullptr;
    std::atomic<bool> m_shownOnce{false};
    CMutex m_rowsLock;
    CMutex m_valuesLock;
    CMutex m_pendingLock;
    CMutex m_stopwatchLock;
    CMutex m_bufferLock;
    CMutex m_fileLock;

    DECLARE_MESSAGE_MAP()
};
