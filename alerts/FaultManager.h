// CFaultManager: collects the alerts of the whole program. Any thread posts;
// the GUI thread processes them into the history, the per-key summary, the
// status bar, popups and the alert log file, and feeds the Alert Log window.
#pragma once

#include <cstdio>
#include <functional>

#include "alerts/ConsolidatedFaultItemList.h"
#include "alerts/FaultItemList.h"
#include "alerts/FaultLogItemList.h"
#include "alerts/FaultManagerDlg.h"
#include "alerts/FaultPopupDlg.h"
#include "platform/core/Collections.h"
#include "platform/core/Mutex.h"

class CFaultManagerHost;

class CFaultManager {
public:
    CFaultManager();
    virtual ~CFaultManager();
    CFaultManager(const CFaultManager&) = delete;
    CFaultManager& operator=(const CFaultManager&) = delete;

    void SetHost(CFaultManagerHost* host) { m_host = host; }

    // Any thread.
    void PostFault(const CString& key, const CString& text, int level, int flags);
    // Called (on any thread) when work for ProcessPendingFaults comes up, so
    // its caller can run it then instead of polling. Must not block.
    void SetWorkSignal(std::function<void()> signal);

    // GUI thread.
    void ProcessPendingFaults();
    // Alerts wait, or the status bar wants refreshing.
    bool HasWork();
    void Reset();
    void ClearAll();
    int ShowPopup(int level, const CString& text);
    void SetStatusText(const CString& text);

    // Settings and the log file, in the user settings file's "FAULT MANAGER" section.
    int LoadSettings(const CString& path);
    int SaveSettings(const CString& path);
    int LoadSuppressedFaults(const CString& path);
    int SaveSuppressedFaults(const CString& path);
    int OpenLogFile();
    void CloseLogFile();
    int LogFault(const CFaultItem& item);
    bool IsLogFileOpen() const { return m_logFile != nullptr; }

    // For the Alert Log window.
    void SetLogItemAcknowledged(int id, int value);
    void SetKeyAcknowledged(const CString& key, int value);
    void SetSummaryItemAcknowledged(int id, int value);
    void RemoveLogItem(int id, int onlyIfAcknowledged);
    void RemoveSummaryItem(const CString& key, int onlyIfAcknowledged);
    void ResetSuppressed();
    void SuppressKey(const CString& key);

    // The main frame's "Alert Log" and "Clear Alert".
    void EmptyStatusList() { m_statusList.RemoveAll(); }
    void RequestStatusRefresh();
    void ClearLastStatusKey() { m_lastStatusKey.Empty(); }
    int IsAlertShown() const { return m_alertShown; }

    static void GetFaultLevelInfo(int level, CString& name, COLORREF& color);
    static CString FormatFaultTime(const SYSTEMTIME& time);

    CFaultLogItemList& GetHistory() { return m_history; }
    CConsolidatedFaultItemList& GetSummary() { return m_summary; }
    CStringList& GetSuppressedKeys() { return m_suppressedKeys; }
    CFaultManagerDlg& GetDialog() { return m_dialog; }
    void SetPaused(int paused) { m_paused = paused; }
    int IsPaused() const { return m_paused; }
    int GetPendingCount() { return m_pending.GetCount(); }

    // Tests answer popups here instead of a window.
    void SetPopupAnswerer(std::function<int(int level, const CString& text, int suppress)> answerer)
    {
        m_popupAnswerer = std::move(answerer);
    }

    // Settings (defaults at construction).
    int m_maxDisplayFaults = 100;
    int m_colorCodeFaults = 1;
    int m_enablePopupFaults = 1;
    int m_suppressRepeatedPopupFaults = 0;
    int m_enableStatusBarFaults = 1;
    int m_enableStatusBarFaultSound = 1;
    int m_sameKey = 0;
    int m_enableFaultFileLogging = 0;
    CString m_faultLogFilePath;
    int m_deleteLogFileAtStartup = 1;
    int m_enableLogFileSizeWarning = 0;
    int m_maxLogFileSizeMB = 100;

private:
    void ProcessOne(const CFaultItem& item);
    void ShowPopupFor(const CFaultItem& item);
    void QueueForStatusBar(const CFaultItem& item);
    void RefreshStatusBar();
    void MarkSuppressed(const CString& key);
    void EmptyLists();

    CFaultManagerDlg m_dialog;
    CFaultPopupDlg m_popup;
    CFaultManagerHost* m_host = nullptr;
    FILE* m_logFile = nullptr;
    CFaultItemList m_pending;
    CFaultItemList m_statusList;
    CFaultLogItemList m_history;
    CConsolidatedFaultItemList m_summary;
    CStringList m_suppressedKeys;
    int m_sizeWarningGiven = 0;
    int m_statusRefresh = 1;
    int m_alertShown = 0;
    int m_paused = 0;
    CString m_lastPopupKey;
    CString m_lastStatusKey;
    CMutex m_popupKeyMutex;
    CMutex m_signalMutex;
    std::function<void()> m_workSignal;  // under m_signalMutex
    void SignalWork();
    std::function<int(int, const CString&, int)> m_popupAnswerer;
};
