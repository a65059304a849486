// A three-page tabbed drive window for the framework's tests, registered and
// made like a real one: each page polls a register of its own and sends one
// value; the sheet sends one of its own first, and can be told to fail it.
#pragma once

#include <vector>

#include "framework/GuiUpdatePpg.h"
#include "framework/GuiUpdatePropSheet.h"

constexpr UINT kSamplePageTemplate = 9201;  // 9201, 9202, 9203: "Page 1" ... "Page 3"
constexpr UINT kSamplePanelTemplate = 9205;
constexpr const char* kSampleSheetName = "SAMPLESHEET";

class CSamplePage : public CGuiUpdatePpg {
    DECLARE_DYNAMIC(CSamplePage)

public:
    CSamplePage(UINT templateId, WORD pollCode, WORD sendCode, LONG sendValue);

    int PrepareQueries() override;
    void OnStatusResponse(const CAmpResponseToGui& response) override;
    int SendGroup(int group) override;
    int ExecuteCommand(const CString& command, CString& reply) override;
    void ExchangeSheetProperties(CDPropertyList& bag, int loading) override;

    WORD m_pollCode;
    WORD m_sendCode;
    LONG m_sendValue;
    int m_setting = 0;
    std::vector<CAmpResponseToGui> m_seen;
    std::vector<int> m_sentGroups;
};

class CSampleSheet : public CGuiUpdatePropSheet {
    DECLARE_DYNCREATE(CSampleSheet)

public:
    CSampleSheet();
    ~CSampleSheet() override { --s_alive; }

    CString GetItemName() const override { return "Sample Sheet"; }
    int SendGroup(int group) override;

    static void Register(class CGuiUpdateDlgIdMap& registry);
    static WORD SheetCode();

    CSamplePage m_page1;
    CSamplePage m_page2;
    CSamplePage m_page3;
    CDialog m_panel;
    std::vector<int> m_sentGroups;
    bool m_failOwnGroup = false;
    static int s_alive;
};
