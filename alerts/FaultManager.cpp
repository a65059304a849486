#include "alerts/FaultManager.h"

#include <vector>

#include "alerts/FaultManagerHost.h"
#include "platform/core/IniFile.h"
#include "platform/core/MessageBox.h"
#include "platform/core/SingleLock.h"

namespace {

const char* const kSection = "FAULT MANAGER";
const char* const kNoKeys = "NONE";

struct IntSetting {
    const char* key;
    int CFaultManager::*member;
};

// In the order the settings are written; the path sits between the switch
// that logs to it and the delete switch.
constexpr IntSetting kIntsBeforePath[] = {
    {"MaxDisplayFaults", &CFaultManager::m_maxDisplayFaults},
    {"ColorCodeFaults", &CFaultManager::m_colorCodeFaults},
    {"EnablePopupFaults", &CFaultManager::m_enablePopupFaults},
    {"SuppressRepeatedPopupFaults", &CFaultManager::m_suppressRepeatedPopupFaults},
    {"EnableStatusBarFaults", &CFaultManager::m_enableStatusBarFaults},
    {"EnableStatusBarFaultSound", &CFaultManager::m_enableStatusBarFaultSound},
    {"EnableFaultFileLogging", &CFaultManager::m_enableFaultFileLogging},
};
constexpr IntSetting kIntsAfterPath[] = {
    {"DeleteLogFileAtStartup", &CFaultManager::m_deleteLogFileAtStartup},
    {"EnableLogFileSizeWarning", &CFaultManager::m_enableLogFileSizeWarning},
    {"MaxLogFileSizeMB", &CFaultManager::m_maxLogFileSizeMB},
};

// Doubled quotes keep a text with quotes one readable field of the CSV line.
CString QuotedForCsv(const CString& text)
{
    CString quoted = text;
    quoted.Replace("\"", "\"\"");
    return quoted;
}

}  // namespace

CFaultManager::CFaultManager() = default;

CFaultManager::~CFaultManager()
{
    CloseLogFile();
}

void CFaultManager::PostFault(const CString& key, const CString& text, int level, int flags)
{
    {
        CSingleLock lock(&m_popupKeyMutex, TRUE);
        if (m_lastPopupKey == key)
            flags &= ~kFaultPopup;  // its popup is on screen already
    }
    SYSTEMTIME now{};
    GetLocalTime(&now);
    m_pending.AddTail(CFaultItem(static_cast<BYTE>(level), static_cast<BYTE>(flags), key, text, now));
    SignalWork();
}

void CFaultManager::SetWorkSignal(std::function<void()> signal)
{
    CSingleLock lock(&m_signalMutex, TRUE);
    m_workSignal = std::move(signal);
}

void CFaultManager::SignalWork()
{
    CSingleLock lock(&m_signalMutex, TRUE);
    if (m_workSignal)
        m_workSignal();
}

bool CFaultManager::HasWork() { return m_pending.GetCount() > 0 || m_statusRefresh; }

void CFaultManager::RequestStatusRefresh()
{
    m_statusRefresh = 1;
    SignalWork();
}

void CFaultManager::ProcessPendingFaults()
{
    if (m_paused)
        return;
    CFaultItem item;
    while (m_pending.PopHead(item))
        ProcessOne(item);
    if (m_statusRefresh)
        RefreshStatusBar();
}

void CFaultManager::ProcessOne(const CFaultItem& item)
{
    const int id = m_history.AddItem(item, m_maxDisplayFaults);
    m_summary.AddOrUpdate(item, id);
    if (!m_summary.IsSuppressed(item.m_key) && m_suppressedKeys.Find(item.m_key))
        m_summary.SetSuppressed(item.m_key, 1);
    if (m_enablePopupFaults && (item.m_flags & kFaultPopup) && !m_summary.IsSuppressed(item.m_key))
        ShowPopupFor(item);
    const bool logWindowShown = m_dialog.GetSafeHwnd() && m_dialog.IsWindowVisible();
    if (m_enableStatusBarFaults && (item.m_flags & kFaultStatusBar) && !logWindowShown)
        QueueForStatusBar(item);
    if (m_enableFaultFileLogging)
        LogFault(item);
}

void CFaultManager::ShowPopupFor(const CFaultItem& item)
{
    {
        CSingleLock lock(&m_popupKeyMutex, TRUE);
        m_lastPopupKey = item.m_key;
    }
    if (ShowPopup(item.m_level, item.m_text))
        MarkSuppressed(item.m_key);
    CSingleLock lock(&m_popupKeyMutex, TRUE);
    m_lastPopupKey.Empty();
}

void CFaultManager::QueueForStatusBar(const CFaultItem& item)
{
    if (item.m_key == m_lastStatusKey)
        m_sameKey = 1;
    else
        m_lastStatusKey = item.m_key;
    m_statusList.AddTail(item, 1);
    m_statusRefresh = 1;
    m_alertShown = 1;
}

void CFaultManager::RefreshStatusBar()
{
    CFaultItem shown;
    const bool haveAlert = m_statusList.PopHead(shown) != 0;
    CString text;
    if (haveAlert) {
        text.Format("[%s](%u):%s", FormatFaultTime(shown.m_time).GetString(),
                    static_cast<unsigned>(m_history.CountUnacknowledged()), shown.m_text.GetString());
    } else {
        text = m_enableStatusBarFaults ? "No new alerts" : "";
        m_alertShown = 0;
    }
    if (m_enableStatusBarFaultSound && haveAlert && !m_sameKey && m_host)
        m_host->Beep();
    m_sameKey = 0;
    SetStatusText(text);
    m_statusRefresh = 0;
}

int CFaultManager::ShowPopup(int level, const CString& text)
{
    if (m_popupAnswerer)
        return m_popupAnswerer(level, text, m_suppressRepeatedPopupFaults);
    m_popup.m_level = level;
    m_popup.m_text = text;
    m_popup.m_suppress = m_suppressRepeatedPopupFaults;
    m_popup.DoModal();
    return m_popup.m_suppress;
}

void CFaultManager::SetStatusText(const CString& text)
{
    if (m_host)
        m_host->SetStatusText(text);
}

void CFaultManager::EmptyLists()
{
    m_summary.Clear();
    m_history.Clear();
    m_statusList.RemoveAll();
}

void CFaultManager::Reset()
{
    if (m_enableFaultFileLogging)
        OpenLogFile();
    EmptyLists();
    RequestStatusRefresh();
    m_sameKey = 0;
    m_lastStatusKey.Empty();
    m_dialog.SetManager(this);
}

void CFaultManager::ClearAll()
{
    EmptyLists();
    RequestStatusRefresh();
    m_dialog.RebuildList();
}

// ---- acknowledgement, removal, suppression

void CFaultManager::SetLogItemAcknowledged(int id, int value)
{
    CFaultLogItem* entry = m_history.FindById(id);
    if (entry && entry->m_acknowledged != value) {
        entry->m_changed = 1;
        entry->m_acknowledged = value;
    }
}

void CFaultManager::SetKeyAcknowledged(const CString& key, int value)
{
    for (CFaultLogItem& entry : m_history) {
        if (entry.m_key == key && entry.m_acknowledged != value) {
            entry.m_changed = 1;
            entry.m_acknowledged = value;
        }
    }
    if (CConsolidatedFaultItem* item = m_summary.Find(key)) {
        item->m_summaryAcknowledged = value;
        item->m_changed = 1;
    }
}

void CFaultManager::SetSummaryItemAcknowledged(int id, int value)
{
    if (const CConsolidatedFaultItem* item = m_summary.FindById(id)) {
        const CString key = item->m_key;
        SetKeyAcknowledged(key, value);
    }
}

void CFaultManager::RemoveLogItem(int id, int onlyIfAcknowledged)
{
    const CFaultLogItem* entry = m_history.FindById(id);
    if (!entry || (onlyIfAcknowledged && !entry->m_acknowledged))
        return;
    m_summary.Release(entry->m_key);
    m_history.RemoveById(id);
}

void CFaultManager::RemoveSummaryItem(const CString& keyToRemove, int onlyIfAcknowledged)
{
    const CString key = keyToRemove;  // the caller's text may live in the item removed
    const CConsolidatedFaultItem* item = m_summary.Find(key);
    if (!item || (onlyIfAcknowledged && !item->m_summaryAcknowledged))
        return;
    m_summary.Remove(key);
    std::vector<int> ids;
    for (const CFaultLogItem& entry : m_history) {
        if (entry.m_key == key)
            ids.push_back(entry.m_id);
    }
    for (int id : ids)
        m_history.RemoveById(id);
}

void CFaultManager::ResetSuppressed()
{
    for (CConsolidatedFaultItem& item : m_summary)
        item.m_suppressed = 0;
    // Else a key reset here is suppressed again by the stored list at its next alert.
    m_suppressedKeys.RemoveAll();
}

void CFaultManager::SuppressKey(const CString& key)
{
    MarkSuppressed(key);
}

void CFaultManager::MarkSuppressed(const CString& key)
{
    m_summary.SetSuppressed(key, 1);
    if (!m_suppressedKeys.Find(key))
        m_suppressedKeys.AddTail(key);
}

// ---- levels and times

void CFaultManager::GetFaultLevelInfo(int level, CString& name, COLORREF& color)
{
    switch (level) {
    case 1:
        name = "Message";
        color = 0xC42020;
        break;
    case 2:
        name = "Warning";
        color = 0x00FFFF;
        break;
    case 3:
    case 4:
    case 5:
        name = "Alert";
        color = 0x0000FF;
        break;
    default:
        name = "<Unknown level>";
        color = 0;
        break;
    }
}

CString CFaultManager::FormatFaultTime(const SYSTEMTIME& time)
{
    CString text;
    text.Format("%02u:%02u:%02u.%03u", static_cast<unsigned>(time.wHour), static_cast<unsigned>(time.wMinute),
                static_cast<unsigned>(time.wSecond), static_cast<unsigned>(time.wMilliseconds));
    return text;
}

// ---- settings

int CFaultManager::LoadSettings(const CString& path)
{
    for (const IntSetting& setting : kIntsBeforePath)
        this->*setting.member = static_cast<int>(GetPrivateProfileInt(kSection, setting.key, this->*setting.member, path));
    char buffer[260] = {};
    GetPrivateProfileString(kSection, "FaultLogFilePath", "", buffer, sizeof buffer, path);
    m_faultLogFilePath = buffer;
    for (const IntSetting& setting : kIntsAfterPath)
        this->*setting.member = static_cast<int>(GetPrivateProfileInt(kSection, setting.key, this->*setting.member, path));
    return 1;
}

int CFaultManager::SaveSettings(const CString& path)
{
    BOOL result = TRUE;
    const auto writeInt = [&](const IntSetting& setting) {
        CString value;
        value.Format("%d", this->*setting.member);
        result = WritePrivateProfileString(kSection, setting.key, value, path);
    };
    for (const IntSetting& setting : kIntsBeforePath)
        writeInt(setting);
    result = WritePrivateProfileString(kSection, "FaultLogFilePath", m_faultLogFilePath, path);
    for (const IntSetting& setting : kIntsAfterPath)
        writeInt(setting);
    return result;
}

int CFaultManager::LoadSuppressedFaults(const CString& path)
{
    char buffer[1000] = {};
    if (GetPrivateProfileString(kSection, "SuppressedFaults", kNoKeys, buffer, sizeof buffer, path) == 0)
        return 0;
    const CString text = buffer;
    m_suppressedKeys.RemoveAll();
    int start = 0;
    for (CString key = text.Tokenize("|", start); start >= 0; key = text.Tokenize("|", start))
        m_suppressedKeys.AddTail(key);
    return 1;
}

int CFaultManager::SaveSuppressedFaults(const CString& path)
{
    CString text;
    for (const CString& key : m_suppressedKeys) {
        if (key != kNoKeys)
            text += key + "|";
    }
    return WritePrivateProfileString(kSection, "SuppressedFaults", text, path);
}

// ---- log file

int CFaultManager::OpenLogFile()
{
    CloseLogFile();
    if (!m_faultLogFilePath.IsEmpty())
        m_logFile = std::fopen(m_faultLogFilePath, m_deleteLogFileAtStartup ? "w" : "a");
    if (!m_logFile) {
        PostFault("OPEN_FAULT_LOG_FILE", "Could not open alert log file", 2, kFaultPopup);
        return 0;
    }
    return 1;
}

void CFaultManager::CloseLogFile()
{
    if (m_logFile) {
        std::fclose(m_logFile);
        m_logFile = nullptr;
    }
}

int CFaultManager::LogFault(const CFaultItem& item)
{
    if (!m_logFile)
        return 0;
    if (m_enableLogFileSizeWarning && !m_sizeWarningGiven) {
        const long long limit = static_cast<long long>(m_maxLogFileSizeMB) * 1000000LL;
        if (static_cast<long long>(std::ftell(m_logFile)) > limit) {
            m_sizeWarningGiven = 1;
            CString text;
            text.Format("WARNING: Alert log file has exceeded %dMB.", m_maxLogFileSizeMB);
            if (m_host)
                m_host->MessageBox(text, MB_OK);
        }
    }
    CString level;
    COLORREF color = 0;
    GetFaultLevelInfo(item.m_level, level, color);
    // Text mode of the original platform: lines end in CR LF.
    const int written = std::fprintf(m_logFile, "%s, \"%s\", \"%s\"\r\n", FormatFaultTime(item.m_time).GetString(),
                                     QuotedForCsv(item.m_text).GetString(), level.GetString());
    return written > 0 && std::fflush(m_logFile) == 0 ? 1 : 0;
}
