// A drive window for the framework's tests, registered and made like a real
// one: an enable button, all three status polls, and counters of what the
// framework asked of it.
#pragma once

#include <thread>
#include <vector>

#include "framework/GuiUpdateDlg.h"

constexpr UINT kSampleTemplateId = 9100;
constexpr int kSampleEnableButtonId = 9101;
constexpr const char* kSampleWindowName = "SAMPLEDRIVE";

class CSampleDriveDlg : public CGuiUpdateDlg {
    DECLARE_DYNCREATE(CSampleDriveDlg)

public:
    CSampleDriveDlg();

    CString GetItemName() const override { return "Sample Drive"; }
    BOOL OnInitDialog() override;
    int GetPendingChangesState(int) override { return m_unsentSettings ? 1 : 2; }
    void ProcessResponses() override;
    void OnStatusResponse(const CAmpResponseToGui& response) override;
    void OnDelayedMessage(const CString& text) override { m_delayedMessages.push_back(text); }
    int SendGroup(int group) override
    {
        m_sentGroups.push_back(group);
        return 1;
    }
    void UpdateCycle() override;
    void OnChildNotify(CWnd* /*child*/, int code) override { m_childCodes.push_back(code); }

    // Registers the template and the class with a registry.
    static void Register(class CGuiUpdateDlgIdMap& registry);

    int m_unsentSettings = 0;
    int m_processRounds = 0;
    bool m_closeDuringTick = false;
    int m_ticks = 0;
    std::vector<CAmpResponseToGui> m_seen;
    std::vector<std::thread::id> m_seenOnThreads;
    std::vector<CString> m_delayedMessages;
    std::vector<int> m_sentGroups;
    std::vector<int> m_childCodes;
    // Sample windows that still exist, so tests can tell a deleted one.
    static int s_alive;
    ~CSampleDriveDlg() override { --s_alive; }
};
