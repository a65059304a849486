// The tabbed drive window on the demo link, headless: opened by name, its
// pages polling the sheet's drive, drive change, enable, sending settings,
// the tab commands, the remembered tab, keys and tabs, and child dialogs.
#include <algorithm>

#include "DemoFrameFixture.h"
#include "platform/ui/UserInput.h"
#include "testing/WindowShot.h"

namespace {

class SheetTest : public DemoFrameTest {
protected:
    static bool SawFrom(const CSamplePage& page, int address)
    {
        return std::any_of(page.m_seen.begin(), page.m_seen.end(), [&](const CAmpResponseToGui& r) {
            return r.m_address == address && r.m_code == page.m_pollCode;
        });
    }
    static std::vector<CSamplePage*> Pages(CSampleSheet* sheet)
    {
        return {&sheet->m_page1, &sheet->m_page2, &sheet->m_page3};
    }
    static CString Text(CWnd* wnd)
    {
        CString text;
        wnd->GetWindowText(text);
        return text;
    }
    static CWnd* VisiblePage(CSampleSheet* sheet)
    {
        for (CSamplePage* page : Pages(sheet))
            if (page->IsWindowVisible())
                return page;
        return nullptr;
    }
};

}  // namespace

TEST_F(SheetTest, OpenedByNameItsPagesPollTheSheetsDriveAndFollowADriveChange)
{
    CSampleSheet* sheet = OpenSheet();
    ASSERT_NE(sheet, nullptr);
    ASSERT_TRUE(sheet->GetSafeHwnd());
    EXPECT_EQ(sheet->GetPageCount(), 3);
    EXPECT_EQ(Text(sheet), "Sample Sheet - Drive Kreln");
    for (CSamplePage* page : Pages(sheet)) {
        EXPECT_TRUE(page->GetSafeHwnd()) << "every page's window exists from the start";
        EXPECT_TRUE(m_frame.m_list.Contains(page));
        EXPECT_EQ(page->GetDrive(), 1);
    }
    EXPECT_TRUE(m_frame.m_list.Contains(sheet));
    EXPECT_EQ(sheet->m_page2.GetReceiverName(), "Sample Sheet:Page 2");

    // Each page's own poll runs at its period at the distribution manager, on the sheet's drive.
    ASSERT_TRUE(Wait([&] {
        const auto pages = Pages(sheet);
        return std::all_of(pages.begin(), pages.end(), [](CSamplePage* p) { return SawFrom(*p, 1); });
    }));
    for (CSamplePage* page : Pages(sheet)) {
        const CAmpResponseToGui& seen = *std::find_if(page->m_seen.begin(), page->m_seen.end(),
                                                      [&](const CAmpResponseToGui& r) { return r.m_code == page->m_pollCode; });
        WORD period = 0;
        ASSERT_TRUE(m_dist.GetJobInfo(seen.m_jobId, nullptr, &period, nullptr, nullptr));
        EXPECT_EQ(period, 200);
    }
    Screenshot(sheet, "sheet_page1");

    // Picking the Tavro drive restarts every page on it.
    ASSERT_TRUE(kvtest::PickItem(&sheet->GetToolbar().GetSelector(), 1));
    EXPECT_EQ(sheet->GetDrive(), 2);
    EXPECT_EQ(Text(sheet), "Sample Sheet - Drive Tavro");
    for (CSamplePage* page : Pages(sheet)) {
        EXPECT_EQ(page->GetDrive(), 2);
        page->m_seen.clear();
    }
    ASSERT_TRUE(Wait([&] {
        const auto pages = Pages(sheet);
        return std::all_of(pages.begin(), pages.end(), [](CSamplePage* p) { return SawFrom(*p, 2); });
    }));
    for (CSamplePage* page : Pages(sheet))
        EXPECT_FALSE(SawFrom(*page, 1)) << "the old drive's polls were cancelled";
}

TEST_F(SheetTest, TheEnableButtonWritesEnAndTurnsToDisable)
{
    CSampleSheet* sheet = OpenSheet();
    CWnd* button = sheet->GetDlgItem(kSheetEnableButtonId);
    ASSERT_NE(button, nullptr);
    ASSERT_TRUE(Wait([&] { return sheet->AreStagesDone(); }));
    EXPECT_EQ(Text(button), "ENABLE DRIVE");
    kvtest::Click(button);
    ASSERT_TRUE(Wait([&] { return Text(button) == "DISABLE DRIVE"; }));
    EXPECT_EQ(ModelValue(1, "EN"), 1);
    Screenshot(sheet, "sheet_enabled");
}

TEST_F(SheetTest, SendSettingsAsksThenSendsTheSheetsAndEveryPagesGroups)
{
    CSampleSheet* sheet = OpenSheet();
    CWnd* send = sheet->GetDlgItem(kSheetSendButtonId);
    ASSERT_NE(send, nullptr);
    EXPECT_EQ(Text(send), "  Send Settings To Drive  ");

    // No: nothing is sent.
    AfxQueueScriptedAnswer(IDNO);
    kvtest::Click(send);
    EXPECT_TRUE(sheet->m_sentGroups.empty());
    EXPECT_EQ(AfxTakeScriptedMessageLog(), std::vector<CString>{"MSGBOX:Send settings to drive?"});

    // Scripted: the question is logged, the answer is Yes, every group goes to the drive.
    m_frame.m_list.SetInteractive(0);
    kvtest::Click(send);
    EXPECT_EQ(MessageLines().back(), "MSGBOX:Send settings to drive?");
    EXPECT_EQ(sheet->m_sentGroups, std::vector<int>{-1});
    for (CSamplePage* page : {&sheet->m_page1, &sheet->m_page2, &sheet->m_page3})
        EXPECT_EQ(page->m_sentGroups, std::vector<int>{-1});
    ASSERT_TRUE(Wait([&] {
        return ModelValue(1, "UD") == 42 && ModelValue(1, "UA") == 101 && ModelValue(1, "UB") == 102 &&
               ModelValue(1, "UC") == 103;
    }));

    // A sheet group that cannot be sent stops the pages.
    sheet->m_failOwnGroup = true;
    EXPECT_EQ(sheet->ConfirmSendSettings(), 0);
    EXPECT_EQ(sheet->m_page2.m_sentGroups.size(), 1u);
}

TEST_F(SheetTest, TabCommands)
{
    CSampleSheet* sheet = OpenSheet();
    struct Case {
        const char* command;
        const char* replyBefore;
        const char* reply;
        int active;  // the tab selected afterwards, -1: not checked
    };
    const Case cases[] = {
        {"TAB(\"Page 2\").SENDTOAMP(0)", "", "SUCCESS", -1},
        {"tab(\"Page 3\").PING", "", "PONG", -1},
        {"TabX(\"Page 1\").PING", "", "PONG", -1},
        {"TAB(\"Page 2\")", "", "ERROR:Missing Tabs command.", -1},
        {"TAB(\"Page 9\").PING", "", "ERROR: Invalid tab name \"Page 9\".", -1},
        {"TAB(\"Page 2\").BOGUS", "", "ERROR: Invalid tab command \"BOGUS\".", -1},
        {"TAB(\"Page 2).PING", "", "ERROR:", -1},
        {"SETTABINDEX(7)", "", "ERROR: Invalid SetTab parameter", 0},
        {"SETTABINDEX(-1)", "", "ERROR: Invalid SetTab parameter", 0},
        {"SETTABINDEX(2)", "", "SUCCESS", 2},
        {"SETTABINDEX(", "", "ERROR:", 2},
        {"SETTAB(\"Page 1\")", "before", "before", 0},
        {"settab(\"Page 2\")", "", "", 1},
        {"SETTAB(\"Nope\")", "", "ERROR: Invalid tab name \"Nope\".", 1},
        {"LISTTABS", "", "Page 1\r\nPage 2\r\nPage 3", -1},
        {"LISTTABS", "Tabs:", "Tabs:Page 1\r\nPage 2\r\nPage 3", -1},
    };
    for (const Case& c : cases) {
        CString reply = c.replyBefore;
        EXPECT_EQ(sheet->ExecuteCommand(c.command, reply), 1) << c.command;
        if (CString(c.reply) == "ERROR:") {
            EXPECT_EQ(reply.Left(6), "ERROR:") << c.command;
        } else {
            EXPECT_EQ(reply, c.reply) << c.command;
        }
        if (c.active >= 0) {
            EXPECT_EQ(sheet->GetActiveIndex(), c.active) << c.command;
        }
    }
    EXPECT_EQ(sheet->m_page2.m_sentGroups, std::vector<int>{0});

    // Through the command router's window-command form; other commands reach the dialog.
    EXPECT_EQ(Run("SAMPLESHEET.TAB(\"Page 1\").SENDTOAMP(4)"), "SUCCESS");
    EXPECT_EQ(sheet->m_page1.m_sentGroups, std::vector<int>{4});
    EXPECT_EQ(Run("SAMPLESHEET.SENDTOAMP(5)"), "SUCCESS");
    EXPECT_EQ(sheet->m_sentGroups, std::vector<int>{5});
    EXPECT_EQ(sheet->m_page3.m_sentGroups, std::vector<int>{5});

    // A page's tab text can change; commands then address the new text, read back to 99 characters.
    const int active = sheet->GetActiveIndex();
    CGuiUpdatePpg::SetTabText(&sheet->m_page2, "Feedback");
    EXPECT_EQ(CGuiUpdatePpg::GetTabText(&sheet->m_page2), "Feedback");
    EXPECT_EQ(Run("SAMPLESHEET.TAB(\"Feedback\").PING"), "PONG");
    EXPECT_EQ(sheet->GetActiveIndex(), active);
    CGuiUpdatePpg::SetTabText(&sheet->m_page2, CString('x', 120));
    EXPECT_EQ(CGuiUpdatePpg::GetTabText(&sheet->m_page2), CString('x', 99));
}

TEST_F(SheetTest, ASheetReopensOnTheTabItWasClosedOn)
{
    CSampleSheet* sheet = OpenSheet();
    ASSERT_TRUE(Wait([&] { return sheet->GetPendingTab() == -1; }));
    ASSERT_EQ(sheet->SelectPage(&sheet->m_page3), 1);
    kvtest::CloseWindow(sheet);
    ASSERT_TRUE(Wait([] { return CSampleSheet::s_alive == 0; }));
    EXPECT_EQ(AfxGetProfileInt("TABSAVE", "CSampleSheet", 0), 2u);
    EXPECT_EQ(m_frame.m_list.GetCount(), 0) << "the pages left the list with the sheet";

    sheet = OpenSheet();
    ASSERT_TRUE(Wait([&] { return sheet->GetActiveIndex() == 2; }));
    EXPECT_EQ(VisiblePage(sheet), &sheet->m_page3);
    Screenshot(sheet, "sheet_page3");
    kvtest::CloseWindow(sheet);
    ASSERT_TRUE(Wait([] { return CSampleSheet::s_alive == 0; }));

    // A remembered tab the sheet does not have opens the first.
    AfxWriteProfileInt("TABSAVE", "CSampleSheet", 7);
    sheet = OpenSheet();
    ASSERT_TRUE(Wait([&] { return sheet->GetPendingTab() == -1; }));
    EXPECT_EQ(sheet->GetActiveIndex(), 0);
    EXPECT_EQ(VisiblePage(sheet), &sheet->m_page1);
}

TEST_F(SheetTest, TabsKeysAndPageArea)
{
    CSampleSheet* sheet = OpenSheet();
    ASSERT_TRUE(Wait([&] { return sheet->GetPendingTab() == -1; }));
    CTabCtrl* tabs = sheet->GetTabControl();
    ASSERT_NE(tabs, nullptr);
    EXPECT_EQ(tabs->GetDlgCtrlID(), AFX_IDC_TAB_CONTROL);
    EXPECT_TRUE(tabs->GetStyle() & TCS_MULTILINE);
    for (int id : {IDOK, IDCANCEL, ID_APPLY_NOW, IDHELP}) {
        ASSERT_NE(sheet->GetDlgItem(id), nullptr) << id;
        EXPECT_FALSE(sheet->GetDlgItem(id)->IsWindowVisible()) << id;
    }

    // A click on a tab shows its page in the page area, below the tabs and the panel.
    CRect second;
    ASSERT_TRUE(tabs->GetItemRect(1, &second));
    kvtest::ClickAt(tabs, second.CenterPoint());
    EXPECT_EQ(sheet->GetActiveIndex(), 1);
    EXPECT_EQ(VisiblePage(sheet), &sheet->m_page2);
    Settle();
    CRect page, tabArea, panel;
    sheet->m_page2.GetWindowRect(&page);
    tabs->GetWindowRect(&tabArea);
    sheet->m_panel.GetWindowRect(&panel);
    EXPECT_GT(page.top, tabArea.top + second.Height() - 1);
    EXPECT_LE(page.bottom, tabArea.bottom);
    EXPECT_LE(panel.bottom, tabArea.top) << "the top panel sits above the tabs";
    EXPECT_EQ(CRect(sheet->GetPageRect()).Width(), page.Width());

    // Ctrl+Tab, Ctrl+Page Down and Ctrl+Page Up from a control of the page; Tab alone does not change the page.
    CWnd* edit = sheet->m_page2.GetDlgItem(9221);
    kvtest::PressKey(edit, VK_TAB, true);
    EXPECT_EQ(sheet->GetActiveIndex(), 2);
    kvtest::PressKey(sheet->m_page3.GetDlgItem(9231), VK_NEXT, true);
    EXPECT_EQ(sheet->GetActiveIndex(), 0) << "wraps round";
    kvtest::PressKey(sheet->m_page1.GetDlgItem(9211), VK_PRIOR, true);
    EXPECT_EQ(sheet->GetActiveIndex(), 2);
    kvtest::PressKey(sheet->m_page3.GetDlgItem(9231), VK_TAB);
    EXPECT_EQ(sheet->GetActiveIndex(), 2);
    EXPECT_EQ(VisiblePage(sheet), &sheet->m_page3);
}

TEST_F(SheetTest, TheSamePageAddedTwiceGivesOneTab)
{
    CSampleSheet unopened;
    unopened.AddPage(&unopened.m_page2);
    EXPECT_EQ(unopened.GetPageCount(), 3);

    CSampleSheet* sheet = OpenSheet();
    sheet->AddPage(&sheet->m_page1);
    EXPECT_EQ(sheet->GetPageCount(), 3);
    EXPECT_EQ(sheet->GetTabControl()->GetItemCount(), 3);
}

TEST_F(SheetTest, ChildDialogsTellTheirOwnerHowTheyClosedOnce)
{
    CSampleDriveDlg* owner = OpenSample();
    ASSERT_NE(owner, nullptr);
    auto* ok = new CSampleChildDlg(owner);
    EXPECT_EQ(owner->AddChildDialog(ok), 0);
    EXPECT_TRUE(ok->IsWindowVisible());
    Screenshot(ok, "child_dialog");
    kvtest::Click(ok->GetDlgItem(IDOK));
    EXPECT_EQ(owner->m_childCodes, std::vector<int>{1});

    auto* cancel = new CSampleChildDlg(owner);
    EXPECT_EQ(owner->AddChildDialog(cancel), 1);
    kvtest::Click(cancel->GetDlgItem(IDCANCEL));
    auto* closed = new CSampleChildDlg(owner);
    EXPECT_EQ(owner->AddChildDialog(closed), 2);
    kvtest::CloseWindow(closed);
    EXPECT_EQ(owner->m_childCodes, (std::vector<int>{1, 2, 8}));
    EXPECT_EQ(owner->GetChildDialogCount(), 0);
    EXPECT_EQ(CSampleChildDlg::s_alive, 0);

    // Entries that fail their check keep the dialog open and tell nothing.
    auto* invalid = new CSampleChildDlg(owner);
    EXPECT_EQ(owner->AddChildDialog(invalid), 3);
    invalid->m_failExchange = true;
    kvtest::Click(invalid->GetDlgItem(IDOK));
    EXPECT_TRUE(invalid->GetSafeHwnd());
    EXPECT_EQ(owner->m_childCodes.size(), 3u);

    // A child that cannot be made gets no id and the counter stays.
    AfxRegisterDialogTemplates("DIALOG 9301 0 0 10 10 \"x\"\nEND\n");
    class CMissing : public CQvxUpdateChildDlg {
    public:
        explicit CMissing(CGuiUpdateDlg* owner) : CQvxUpdateChildDlg(9399, owner, 1) {}
    } missing(owner);
    EXPECT_EQ(owner->AddChildDialog(&missing), -1);
    EXPECT_EQ(owner->AddChildDialog(new CSampleChildDlg(owner)), 4);

    // The owner closing closes the children left, without telling it again.
    const std::vector<int> told = owner->m_childCodes;
    owner->m_unsentSettings = 1;
    AfxQueueScriptedAnswer(IDNO);  // the owner stays, its children are gone already
    kvtest::CloseWindow(owner);
    EXPECT_EQ(CSampleChildDlg::s_alive, 0);
    EXPECT_EQ(owner->GetChildDialogCount(), 0);
    EXPECT_EQ(owner->m_childCodes, told);
    owner->m_unsentSettings = 0;
    kvtest::CloseWindow(owner);
    EXPECT_EQ(CSampleDriveDlg::s_alive, 0);
}

TEST_F(SheetTest, PageSizeBottomPanelAndASendButtonAlone)
{
    class CSizedSheet : public CSampleSheet {
    public:
        CSizedSheet()
        {
            SetPageSize(480, 260);
            SetTopPanel(nullptr, 0);
            SetBottomPanel(&m_panel, kSamplePanelTemplate);
            SetButtons(kSheetSendButton);
        }
    };
    auto* sheet = new CSizedSheet;
    ASSERT_TRUE(sheet->CreateGuiWindow(1));
    CRect page;
    sheet->m_page1.GetWindowRect(&page);
    EXPECT_EQ(page.Width(), 480);
    EXPECT_EQ(page.Height(), 260);
    ASSERT_TRUE(sheet->SelectPage(&sheet->m_page3));
    sheet->m_page3.GetWindowRect(&page);
    EXPECT_EQ(page.Width(), 480) << "a page shown later takes the same area";
    EXPECT_EQ(page.Height(), 260);

    CWnd* send = sheet->GetDlgItem(kSheetSendButtonId);
    ASSERT_NE(send, nullptr);
    EXPECT_EQ(sheet->GetDlgItem(kSheetEnableButtonId), nullptr);
    CRect sendRect, panel, tabs, client;
    send->GetWindowRect(&sendRect);
    sheet->m_panel.GetWindowRect(&panel);
    sheet->GetTabControl()->GetWindowRect(&tabs);
    EXPECT_EQ(sendRect.right, tabs.right) << "the Send button ends at the tabs' right edge";
    EXPECT_GE(panel.top, sendRect.bottom) << "the bottom panel sits under the buttons";
    sheet->GetClientRect(&client);
    sheet->ClientToScreen(&client);
    EXPECT_LE(panel.bottom, client.bottom);
    Screenshot(sheet, "sheet_sized");
}
