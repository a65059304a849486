// Stand-ins for the backup engine's tests: a drive whose registers sit in a
// map, a host that records what the engine asks of the windows, and an editor.
#pragma once

#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "backup/AmpBackupEditor.h"
#include "backup/AmpBackupTool.h"
#include "backup/AmpBackupToolHost.h"
#include "distribution/DistCommLink.h"
#include "distribution/DistManager.h"
#include "platform/core/Clock.h"
#include "platform/core/MessageBox.h"
#include "testing/TempDir.h"
#include "testing/WaitFor.h"

// One drive: reads answer from the map with the register's width, writes store.
class FakeDriveLink : public CDistCommLink {
public:
    struct Register {
        LONG value = 0;
        BYTE width = 4;
        WORD error = 0;
    };

    void SubmitJob(const CAmpQryCmdFromDistMngr& job) override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_answerJobs)
            return;
        CAmpResponseToDistMngr answer;
        static_cast<CCompoundAmpMsg&>(answer) = job;
        answer.m_jobId = job.m_jobId;
        auto it = m_registers.find(job.m_code);
        if (it == m_registers.end())
            answer.m_error = 1;
        else if (job.m_width == 0)
            answer.SetValue(it->second.value, 4);
        m_answers.push_back(answer);
    }
    int CancelJob(DWORD) override { return 1; }
    bool PopResponse(CAmpResponseToDistMngr& out) override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_answers.empty())
            return false;
        out = m_answers.front();
        m_answers.erase(m_answers.begin());
        return true;
    }
    void AddQueryOvertimeSample(int, DWORD) override {}
    int EnterSynchronousMode() override { return 1; }
    void LeaveSynchronousMode() override {}
    int SendReceiveSynchronous(const CAmpMsg& message, CAmpResponseMsg& response, int) override
    {
        if (m_delayMs)
            Sleep(m_delayMs);
        std::lock_guard<std::mutex> lock(m_mutex);
        m_sent.push_back(message);
        static_cast<CAmpMsg&>(response) = message;
        auto it = m_registers.find(message.m_code);
        if (it == m_registers.end()) {
            response.m_error = 1;
            return 1;
        }
        if (it->second.error) {
            response.m_error = it->second.error;
            return it->second.error == 512 ? 0 : 1;
        }
        if (message.m_width == 0) {
            const BYTE width = it->second.width;
            LONG value = it->second.value;
            if (width == 1)
                value &= 0xFF;
            else if (width == 2)
                value &= 0xFFFF;
            response.SetValue(value, width);
        } else {
            it->second.value = message.GetValue();
            m_writes.push_back(CodeToMnemonic(message.m_code) + " " + std::to_string(message.GetValue()).c_str());
        }
        return 1;
    }

    void Set(const char* mnemonic, LONG value, BYTE width = 4, WORD error = 0)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_registers[MnemonicToCode(mnemonic)] = Register{value, width, error};
    }
    LONG Get(const char* mnemonic)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_registers[MnemonicToCode(mnemonic)].value;
    }
    std::vector<CString> Writes()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_writes;
    }
    size_t SentCount()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_sent.size();
    }
    // A drive of configuration 21, firmware 2.10, part number 10-123.
    void SetIdentity(LONG version = 210, LONG configuration = 21, LONG fpn = 123, LONG model = 10)
    {
        Set("VER", version);
        Set("CS", configuration);
        Set("FPN", fpn);
        Set("MDI", 0);
        Set("MDL", model);
    }

    bool m_answerJobs = false;  // answer the distribution manager's jobs too
    std::atomic<DWORD> m_delayMs{0};

private:
    std::mutex m_mutex;
    std::vector<CAmpResponseToDistMngr> m_answers;
    std::map<int, Register> m_registers;
    std::vector<CAmpMsg> m_sent;
    std::vector<CString> m_writes;
};

// The file's bytes as they are; false when it cannot be opened.
inline bool ReadFileBytes(const std::string& path, std::string& text)
{
    FILE* file = fopen(path.c_str(), "rb");
    if (!file)
        return false;
    char buffer[4096];
    size_t count;
    while ((count = fread(buffer, 1, sizeof(buffer), file)) > 0)
        text.append(buffer, count);
    fclose(file);
    return true;
}

class FakeEditor : public CAmpBackupEditor {
public:
    int LoadTextFile(const char* path, int replace) override
    {
        std::string text;
        if (!ReadFileBytes(path, text))
            return 0;
        m_text = replace ? text : m_text + text;
        ++m_loads;
        return 1;
    }
    int SaveTextFile(const char* path) override
    {
        FILE* file = fopen(path, "wb");
        if (!file)
            return 0;
        fwrite(m_text.data(), 1, m_text.size(), file);
        fclose(file);
        return 1;
    }
    void SetTransferBusy(int busy) override { m_busy = busy; }

    std::string m_text;
    int m_busy = 0;
    int m_loads = 0;
};

class FakeHost : public CAmpBackupToolHost {
public:
    int ShowBackupDialog(int restore, int helpId, BackupDialogChoice& choice) override
    {
        m_dialogs.push_back(restore ? "restore" : "backup");
        m_lastHelpId = helpId;
        choice = m_choice;
        return m_dialogAnswer;
    }
    int ShowReportDialog(int, BackupDialogChoice& choice) override
    {
        m_dialogs.push_back("report");
        m_reportFlagIn = choice.flag;
        choice = m_choice;
        return m_dialogAnswer;
    }
    int ShowEditorTransferDialog(int mode, BackupDialogChoice& choice) override
    {
        m_dialogs.push_back("editor" + std::to_string(mode));
        choice = m_choice;
        return m_dialogAnswer;
    }
    void OpenProgress(const char* title, const char* text) override
    {
        m_progressTitle = title;
        m_progressText = text;
        ++m_progressOpened;
    }
    void SetProgress(double percent) override { m_percents.push_back(percent); }
    int IsProgressCancelled() override { return m_cancelPressed; }
    void CloseProgress() override { ++m_progressClosed; }
    int MessageBox(const char* text, unsigned type, int) override
    {
        m_boxes.push_back(text);
        if (!m_answers.empty()) {
            const int answer = m_answers.front();
            m_answers.erase(m_answers.begin());
            return answer;
        }
        return (type & MB_TYPEMASK) == MB_YESNO ? IDNO : IDOK;
    }
    void ShowLog(const char* title, const char* text) override
    {
        m_logTitle = title;
        m_logText = text;
    }
    void SetStatusText(const char* text) override { m_statusTexts.push_back(text); }
    void SetOperationRunning(int running) override { m_running = running; }
    void OpenInNotepad(const char* path) override { m_notepad.push_back(path); }
    void RestartWindowQueries() override { ++m_queryRestarts; }
    int IsScopeVisible() override { return m_scopeVisible; }
    void StopScope() override { ++m_scopeStops; }
    void RestartScopeMonitoring() override { ++m_scopeRestarts; }
    CGlobalParameterTable* GetParameterTable() override { return m_parameters; }
    void RestartStopwatch() override { ++m_stopwatchRestarts; }
    CString GetProgramFolder() override { return m_programFolder; }

    BackupDialogChoice m_choice;
    int m_dialogAnswer = IDOK;
    int m_reportFlagIn = -1;
    int m_lastHelpId = 0;
    std::vector<std::string> m_dialogs;
    CString m_progressTitle, m_progressText;
    int m_progressOpened = 0, m_progressClosed = 0;
    std::vector<double> m_percents;
    int m_cancelPressed = 0;
    std::vector<CString> m_boxes;
    std::vector<int> m_answers;
    CString m_logTitle, m_logText;
    std::vector<CString> m_statusTexts;
    int m_running = 0;
    std::vector<CString> m_notepad;
    int m_queryRestarts = 0;
    int m_scopeVisible = 0, m_scopeStops = 0, m_scopeRestarts = 0;
    CGlobalParameterTable* m_parameters = nullptr;
    int m_stopwatchRestarts = 0;
    CString m_programFolder;
};

// Steps the engine as the main frame's timer would until the run has ended.
inline bool RunToEnd(CAmpBackupTool& engine, std::chrono::milliseconds limit = std::chrono::seconds(20))
{
    const bool ended = WaitFor(
        [&] {
            engine.UpdateStatus();
            return engine.GetOperationStatus() == CAmpBackupTool::kIdleStatus &&
                   engine.GetState() == CDThread::kIdle;
        },
        limit);
    return ended;
}

inline std::string ReadFileText(const std::string& path)
{
    std::string text;
    return ReadFileBytes(path, text) ? text : "<missing>";
}
