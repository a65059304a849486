// The script player in the running program on the demo link: playing
// sections through the command router, stepping, keys from other windows,
// capture, files and settings.
#include <string>
#include <vector>

#include "AppTestFixture.h"
#include "app/ScriptPlayerDlg.h"
#include "app/ScriptPlayerSettingsDlg.h"
#include "framework/tests/SampleDriveDlg.h"
#include "platform/core/Clock.h"
#include "platform/core/Profile.h"
#include "platform/ui/ColorDialog.h"
#include "platform/ui/Menu.h"
#include "testing/WindowShot.h"

namespace {

struct SectionText {
    const char* title;
    const char* script;
};

class ScriptPlayerTest : public AppFixture {
protected:
    void SetUp() override
    {
        AppFixture::SetUp();
        ASSERT_TRUE(Start());
        CSampleDriveDlg::Register(*Frame()->GetDlgIdMap());
    }
    void TearDown() override
    {
        kvtest::ThawClock();
        if (CScriptPlayerDlg* player = CScriptPlayerDlg::GetPlayer())
            player->DestroyWindow();
        AppFixture::TearDown();
    }
    // The demo's settings restore ends with its own notice; the tests look at what comes after.
    void OpenDemo()
    {
        ASSERT_TRUE(kvtest::ChooseMenuItem(Frame(), "&File|&Demo"));
        Messages();
    }
    // The player as the menu opens it, every routed line and its reply recorded.
    CScriptPlayerDlg* OpenPlayer()
    {
        CScriptPlayerDlg* player = nullptr;
        if (!kvtest::ChooseMenuItem(Frame(), "&Tools|Script Player"))
            CScriptPlayerDlg::OpenScriptPlayer(Frame());
        player = CScriptPlayerDlg::GetPlayer();
        if (player)
            player->SetCommandRouter([this](const CString& line, CString& reply) {
                const int result = m_app->ExecuteCommandLine(line, reply);
                m_routed.push_back(line.str() + " -> " + reply.str());
                return result;
            });
        return player;
    }
    std::string WriteScript(const char* name, const std::vector<SectionText>& sections)
    {
        CScriptSectionList list;
        for (const SectionText& text : sections) {
            CScriptSection section;
            section.m_title = text.title;
            section.m_description = CString("About ") + text.title;
            section.m_detail = CString("Details of ") + text.title;
            section.m_script = text.script;
            list.AddCopy(section);
        }
        CString error;
        EXPECT_EQ(1, list.SaveFile(m_home.File(name).c_str(), error)) << error.str();
        return m_home.File(name);
    }
    CScriptPlayerDlg* PlayerWith(const std::vector<SectionText>& sections)
    {
        CScriptPlayerDlg* player = OpenPlayer();
        if (player) {
            EXPECT_EQ(1, player->OpenScript(WriteScript("test.kvs", sections).c_str()));
        }
        m_routed.clear();
        return player;
    }
    static void Tick(CScriptPlayerDlg* player) { player->SendMessage(WM_TIMER, CScriptPlayerDlg::kPlayTimer, 0); }
    // Plays the armed section now, as the play timer does once the delay is over.
    void PlayNow(CScriptPlayerDlg* player)
    {
        kvtest::AdvanceClock(250);
        Tick(player);
    }
    CWnd* SampleWindow()
    {
        CGuiUpdateList* list = Frame()->GetUpdateList();
        for (POSITION pos = list->GetHeadPosition(); pos;) {
            CGuiUpdateItem* item = list->GetNext(pos);
            if (item->GetItemName() == "Sample Drive")
                return item->GetWnd();
        }
        return nullptr;
    }
    std::vector<std::string> m_routed;
};

const std::vector<SectionText> kThree = {
    {"Open", "OPENGUI(\"SAMPLEDRIVE\")\r\nLISTOPENGUIS\r\n"},
    {"Close", "SAMPLEDRIVE.CLOSE\r\n"},
    {"List", "LISTOPENGUIS\r\n"},
};

}  // namespace

TEST_F(ScriptPlayerTest, PlayingASectionOnTheDemoLinkDrivesTheWindowsByTextCommands)
{
    OpenDemo();
    CScriptPlayerDlg* player = PlayerWith(kThree);
    ASSERT_TRUE(player);
    kvtest::FreezeClock(GetTickCount64());
    EXPECT_EQ(3, player->GetList().GetItemCount());
    EXPECT_EQ("Open", player->GetList().GetItemText(0, 0));
    EXPECT_EQ("About Open", player->GetList().GetItemText(0, 1));

    player->SelectRow(0);
    Tick(player);
    EXPECT_TRUE(m_routed.empty()) << "a selection plays only after the delay";
    PlayNow(player);
    const std::string folder = m_home.File("");
    ASSERT_EQ(4u, m_routed.size());
    EXPECT_EQ("SETWORKINGFOLDER(\"" + folder + "\", 1) -> SUCCESS", m_routed[0]);
    EXPECT_EQ(0u, m_routed[1].find("SETDEFAULTAMP(\"")) << m_routed[1];
    EXPECT_NE(std::string::npos, m_routed[1].find("\") -> SUCCESS"));
    EXPECT_EQ("OPENGUI(\"SAMPLEDRIVE\") -> SUCCESS", m_routed[2]);
    EXPECT_EQ("LISTOPENGUIS -> SAMPLEDRIVE", m_routed[3]);
    EXPECT_TRUE(SampleWindow());
    EXPECT_EQ("Restart", [&] { CString t; player->GetDlgItemText(CScriptPlayerDlg::kRestart, t); return t; }());

    // Selecting the current row again plays it again.
    m_routed.clear();
    player->SelectRow(0);
    PlayNow(player);
    EXPECT_EQ(4u, m_routed.size());

    m_routed.clear();
    player->SelectRow(1);
    PlayNow(player);
    ASSERT_EQ(3u, m_routed.size());
    EXPECT_EQ("SAMPLEDRIVE.CLOSE -> SUCCESS", m_routed[2]);
    EXPECT_TRUE(Wait([&] { return SampleWindow() == nullptr; }));
    EXPECT_TRUE(Messages().empty());
}

TEST_F(ScriptPlayerTest, EveryFailingReplyOfASectionInOneMessage)
{
    OpenDemo();
    CScriptPlayerDlg* player = PlayerWith({{"Bad", "BOGUS1\r\nLISTOPENGUIS\r\n\r\nWIZ:NEXTPAGE\r\nNOPE.CLOSE\r\n"}});
    ASSERT_TRUE(player);
    Messages();
    player->RunSection(player->GetRowSection(0));
    ASSERT_EQ(6u, m_routed.size()) << "every line runs although the first failed";
    EXPECT_EQ("WIZ:NEXTPAGE -> ", m_routed[4]) << "the router writes no reply for the tutorial, nor is the last one kept";
    // Each error names its line as the script shows it, the blank line counted.
    EXPECT_EQ(std::vector<CString>{"The following script error occurred:\r\n"
                                   "Line 1 \"BOGUS1\": ERROR: Unrecognized command\r\n"
                                   "Line 5 \"NOPE.CLOSE\": ERROR: GUI unavailable\r\n"},
              Messages());
}

TEST_F(ScriptPlayerTest, WithoutADriveNothingRunsAndNothingIsShown)
{
    CScriptPlayerDlg* player = PlayerWith(kThree);
    ASSERT_TRUE(player);
    Messages();
    player->RunSection(player->GetRowSection(0));
    ASSERT_EQ(1u, m_routed.size()) << "only the working folder";
    EXPECT_EQ(0, m_routed[0].find("SETWORKINGFOLDER"));
    EXPECT_FALSE(SampleWindow());
    EXPECT_TRUE(Messages().empty());
}

TEST_F(ScriptPlayerTest, QuickSelectionsPlayOnlyTheLast)
{
    OpenDemo();
    CScriptPlayerDlg* player = PlayerWith(kThree);
    ASSERT_TRUE(player);
    kvtest::FreezeClock(GetTickCount64());
    for (int row : {0, 1, 2}) {
        player->SelectRow(row);
        kvtest::AdvanceClock(60);
        Tick(player);
    }
    EXPECT_TRUE(m_routed.empty());
    PlayNow(player);
    ASSERT_EQ(3u, m_routed.size());
    EXPECT_EQ("LISTOPENGUIS -> No open GUIs", m_routed[2]);
    PlayNow(player);
    EXPECT_EQ(3u, m_routed.size()) << "played once";
}

TEST_F(ScriptPlayerTest, SteppingWithChecksAndRestart)
{
    OpenDemo();
    CScriptPlayerDlg* player = PlayerWith(kThree);
    ASSERT_TRUE(player);
    player->Settings().m_showCheckboxes = 1;
    player->Settings().m_autoCheckBoxes = 1;
    player->ApplySettings();
    CReportCtrl& list = player->GetList();

    player->OnBack();
    EXPECT_EQ(-1, player->GetPlayRow());
    player->OnRestart();
    EXPECT_EQ(std::vector<CString>{}, Messages()) << "not started and no steps: nothing to ask";
    EXPECT_EQ(0, player->GetPlayRow());
    player->OnBack();
    EXPECT_EQ(0, player->GetPlayRow()) << "Back on the first row does nothing";

    player->OnNext();
    EXPECT_EQ(1, player->GetPlayRow());
    EXPECT_TRUE(list.GetCheck(0)) << "Next checks the row it leaves";
    player->OnSkip();
    EXPECT_EQ(2, player->GetPlayRow());
    EXPECT_FALSE(list.GetCheck(1)) << "Skip does not";
    player->OnNext();
    EXPECT_EQ(2, player->GetPlayRow());
    EXPECT_FALSE(list.GetCheck(2)) << "Next on the last row does nothing";

    AfxQueueScriptedAnswer(IDYES);
    AfxQueueScriptedAnswer(IDNO);
    player->OnRestart();
    EXPECT_EQ((std::vector<CString>{"Restart Script", "Clear checks?"}), Messages());
    EXPECT_TRUE(list.GetCheck(0)) << "the checks stay when the answer is No";
    EXPECT_EQ(0, player->GetPlayRow());
    player->OnRestart();
    EXPECT_EQ((std::vector<CString>{"Restart Script", "Clear checks?"}), Messages());
    EXPECT_FALSE(list.GetCheck(0));
    player->OnRestart();
    EXPECT_EQ(std::vector<CString>{"Restart Script"}, Messages()) << "no step since the last restart";
}

TEST_F(ScriptPlayerTest, TheThreeKeysStepThePlayerFromADriveWindow)
{
    OpenDemo();
    CScriptPlayerDlg* player = PlayerWith(kThree);
    ASSERT_TRUE(player);
    player->Settings().m_nextKey = 33;  // Page Up
    player->Settings().m_backKey = 37;
    CString reply;
    m_app->ExecuteCommandLine("OPENGUI(\"SAMPLEDRIVE\")", reply);
    CWnd* drive = SampleWindow();
    ASSERT_TRUE(drive);
    player->SelectRow(0);

    kvtest::PressKey(drive, 33);
    EXPECT_EQ(1, player->GetQueuedKeyCount()) << "taken by the player";
    Tick(player);
    EXPECT_EQ(1, player->GetPlayRow());
    kvtest::PressKey(Frame(), 37);
    Tick(player);
    EXPECT_EQ(0, player->GetPlayRow());
    kvtest::PressKey(drive, 34);
    EXPECT_EQ(0, player->GetQueuedKeyCount()) << "not one of the three";

    player->CheckDlgButton(CScriptPlayerDlg::kProgram, BST_CHECKED);
    kvtest::PressKey(drive, 33);
    EXPECT_EQ(0, player->GetQueuedKeyCount()) << "in Program mode the key reaches the window";
}

TEST_F(ScriptPlayerTest, CaptureWritesTheLayoutBesideTheScriptAndReplacesItsLine)
{
    OpenDemo();
    CScriptPlayerDlg* player = PlayerWith({{"First Step", "OPENGUI(\"SAMPLEDRIVE\")\r\nloadlayout(\"old\")\r\n"}});
    ASSERT_TRUE(player);
    CString reply;
    m_app->ExecuteCommandLine("OPENGUI(\"SAMPLEDRIVE\")", reply);
    kvtest::Click(player->GetDlgItem(CScriptPlayerDlg::kProgram));
    ASSERT_TRUE(player->IsProgramMode());
    player->SelectRow(0);
    ASSERT_EQ(0, player->GetCurrentRow());
    EXPECT_FALSE(player->IsModified());
    player->CaptureLayout();
    CScriptSection* section = player->GetRowSection(0);
    EXPECT_EQ("test_First_Step", section->m_layoutName);
    EXPECT_EQ("OPENGUI(\"SAMPLEDRIVE\")\r\nLOADLAYOUT(\"test_First_Step\")\r\n", section->m_script);
    EXPECT_FALSE(m_home.Read("test_First_Step.kvl").empty());
    EXPECT_TRUE(player->IsModified()) << "closing must ask before the captured line is lost";
    player->CaptureLayout();
    EXPECT_EQ("OPENGUI(\"SAMPLEDRIVE\")\r\nLOADLAYOUT(\"test_First_Step\")\r\n", section->m_script);

    // The captured layout plays back: the window comes back from the file.
    m_app->ExecuteCommandLine("SAMPLEDRIVE.CLOSE", reply);
    ASSERT_TRUE(Wait([&] { return SampleWindow() == nullptr; }));
    kvtest::Click(player->GetDlgItem(CScriptPlayerDlg::kProgram));
    m_routed.clear();
    player->SelectRow(0);
    PlayNow(player);
    EXPECT_TRUE(Wait([&] { return SampleWindow() != nullptr; }));
}

TEST_F(ScriptPlayerTest, FilesKeepTheRowOrderAndABadFileKeepsTheRows)
{
    CScriptPlayerDlg* player = PlayerWith(kThree);
    ASSERT_TRUE(player);
    EXPECT_EQ("Script Player - test.kvs", [&] { CString t; player->GetWindowText(t); return t; }());
    kvtest::Click(player->GetDlgItem(CScriptPlayerDlg::kProgram));
    player->GetList().SetItemState(2, LVIS_SELECTED, LVIS_SELECTED);
    player->MoveSelectedRows(0);
    EXPECT_EQ("List", player->GetList().GetItemText(0, 0));
    EXPECT_TRUE(player->IsModified());
    ASSERT_EQ(1, player->SaveScript(m_home.File("moved.kvs").c_str()));
    EXPECT_FALSE(player->IsModified());
    CScriptSectionList loaded;
    CString error;
    ASSERT_EQ(1, loaded.LoadFile(m_home.File("moved.kvs").c_str(), error));
    std::vector<std::string> titles;
    for (POSITION pos = loaded.GetHeadPosition(); pos;)
        titles.push_back(loaded.GetNext(pos)->m_title.str());
    EXPECT_EQ((std::vector<std::string>{"List", "Open", "Close"}), titles);

    Messages();
    m_home.Write("bad.kvs", std::string("\x00\x00", 2));
    EXPECT_EQ(0, player->OpenScript(m_home.File("bad.kvs").c_str()));
    EXPECT_EQ(std::vector<CString>{"Could not load script file."}, Messages());
    EXPECT_EQ(3, player->GetList().GetItemCount());
    EXPECT_EQ(m_home.File("moved.kvs"), player->GetScriptPath().str());

    // "New..." of the "Save Script" drop-down.
    AfxQueueScriptedAnswer(IDNO);
    player->MoveSelectedRows(2);
    kvtest::QueuePopupMenuChoice(CScriptPlayerDlg::kNewCommand);
    player->ShowSaveMenu();
    EXPECT_TRUE(Wait([&] { return player->GetList().GetItemCount() == 0; }));
    EXPECT_EQ(std::vector<CString>{"Save Script \"moved.kvs\"?"}, Messages());
    EXPECT_EQ(0, player->GetList().GetItemCount());
    EXPECT_EQ("Script Player - <New Script>", [&] { CString t; player->GetWindowText(t); return t; }());
}

TEST_F(ScriptPlayerTest, SettingsFirstStartDialogAndProfile)
{
    CScriptPlayerDlg* player = OpenPlayer();
    ASSERT_TRUE(player);
    const CScriptPlayerSettings& s = player->Settings();
    EXPECT_EQ(9.0, s.m_listFontSize);
    EXPECT_EQ(9.0, s.m_detailsFontSize);
    EXPECT_EQ(0u, s.m_listText);
    EXPECT_EQ(0xFFFFFFu, s.m_listBg);
    EXPECT_EQ(0xFFFFFFu, s.m_listTextHighlight);
    EXPECT_EQ(0x800000u, s.m_listBgHighlight);
    EXPECT_EQ(0, s.m_nextKey + s.m_backKey + s.m_skipKey);
    EXPECT_EQ(100, s.m_detailsHeight);
    EXPECT_TRUE(Messages().empty()) << "no question about a last script";

    player->Settings().m_nextKey = 65;
    player->Settings().m_alwaysOnTop = 1;
    player->ApplySettings();
    EXPECT_TRUE(player->GetExStyle() & WS_EX_TOPMOST);
    CString shownNext = "?";
    kvtest::OnNextModal([&](CWnd* dialog) {
        auto* combo = static_cast<CComboBox*>(dialog->GetDlgItem(CScriptPlayerSettingsDlg::kNextKey));
        shownNext.Format("%d", combo->GetCurSel());
        dialog->SetDlgItemText(CScriptPlayerSettingsDlg::kDetailsFontEdit, "10.5");
        kvtest::Click(dialog->GetDlgItem(CScriptPlayerSettingsDlg::kAlwaysOnTop));
        kvtest::PickItem(dialog->GetDlgItem(CScriptPlayerSettingsDlg::kBackKey), 5);
        kvtest::QueueColorDialogAnswer(0x123456);
        kvtest::Click(dialog->GetDlgItem(CScriptPlayerSettingsDlg::kListBgColor));
        kvtest::QueueColorDialogAnswer(-1);
        kvtest::Click(dialog->GetDlgItem(CScriptPlayerSettingsDlg::kDetailsBgColor));
        kvtest::Click(dialog->GetDlgItem(IDOK));
    });
    ASSERT_EQ(1, player->EditSettings());
    EXPECT_EQ("-1", shownNext) << "a code not offered selects nothing";
    EXPECT_EQ(65, player->Settings().m_nextKey);
    EXPECT_EQ(33, player->Settings().m_backKey);
    EXPECT_EQ(0x123456u, player->Settings().m_listBg);
    EXPECT_EQ(0xFFFFFFu, player->Settings().m_detailsBg) << "a cancelled colour keeps the old one";
    EXPECT_EQ(105u, AfxGetProfileInt("SCRIPTPLAYER", "fDetailsFontSize", 0));
    EXPECT_EQ(65u, AfxGetProfileInt("SCRIPTPLAYER", "nNextFkey", 0));
    EXPECT_FALSE(player->GetExStyle() & WS_EX_TOPMOST);

    CScriptPlayerSettings read;
    read.Load();
    EXPECT_EQ(10.5, read.m_detailsFontSize);
}

TEST_F(ScriptPlayerTest, ScreenshotsOfBothModes)
{
    OpenDemo();
    CScriptPlayerDlg* player = PlayerWith(kThree);
    ASSERT_TRUE(player);
    player->CheckDlgButton(CScriptPlayerDlg::kShowDetails, BST_CHECKED);
    player->UpdateControls(true);
    player->SelectRow(1);
    Screenshot(player, "ScriptPlayer_Play");
    kvtest::Click(player->GetDlgItem(CScriptPlayerDlg::kProgram));
    player->SelectRow(0);
    Screenshot(player, "ScriptPlayer_Program");
    EXPECT_TRUE(player->GetDlgItem(CScriptPlayerDlg::kSave)->IsWindowVisible());
}

TEST_F(ScriptPlayerTest, TestModePlaysEveryRowInTurn)
{
    OpenDemo();
    CScriptPlayerDlg* player = PlayerWith(kThree);
    ASSERT_TRUE(player);
    kvtest::QueuePopupMenuChoice(CScriptPlayerDlg::kTestModeCommand);
    player->ShowSaveMenu();
    ASSERT_TRUE(Wait([&] { return player->IsTestMode(); }));
    std::vector<int> rows;
    for (int tick = 0; tick < 4; ++tick) {
        player->SendMessage(WM_TIMER, CScriptPlayerDlg::kTestTimer, 0);
        rows.push_back(player->GetPlayRow());
    }
    EXPECT_EQ((std::vector<int>{0, 1, 2, 0}), rows);
    player->SetTestMode(false);
    EXPECT_FALSE(player->IsTestMode());
}
