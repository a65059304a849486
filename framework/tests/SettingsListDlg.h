// A drive window for the tests of the drive-settings list: one list bound
// to the window's drive, its definition given by the test.
#pragma once

#include <string>
#include <vector>

#include "framework/GuiUpdateDlg.h"
#include "framework/QvxGuiUpdateList.h"

constexpr UINT kSettingsTemplateId = 9300;
constexpr const char* kSettingsWindowName = "SETTINGSLIST";
constexpr int kSettingsListId = 9301;

struct ListEvent {
    std::string id, before, after;
    int byUser;
};

class CSettingsListDlg : public CGuiUpdateDlg, public CQvxGuiUpdateListCallback {
    DECLARE_DYNCREATE(CSettingsListDlg)

public:
    CSettingsListDlg();
    ~CSettingsListDlg() override { --s_alive; }

    CString GetItemName() const override { return "Settings"; }
    BOOL OnInitDialog() override;
    void OnListColumnEvent(CString rowId, CString oldText, CString newText, int byUser) override
    {
        m_events.push_back({rowId.GetString(), oldText.GetString(), newText.GetString(), byUser});
    }
    static void Register(class CGuiUpdateDlgIdMap& registry);

    CQvxGuiUpdateList m_list;
    std::vector<ListEvent> m_events;
    // Set before the window opens.
    static CString s_definition;
    static unsigned s_flags;
    static int s_alive;
};
