// The window text commands on the demo link: every global keyword with its
// replies, window commands by name, the deferred keywords run by the next
// update, the drive enable seen through the status poll, and a short script.
#include "DemoFrameFixture.h"
#include "framework/GuiUpdateItem.h"
#include "platform/core/SpecialFolders.h"

namespace {

// A registered window whose template is missing: it can never be made.
class CUnmakeableDlg : public CGuiUpdateDlg {
    DECLARE_DYNCREATE(CUnmakeableDlg)

public:
    CUnmakeableDlg() : CGuiUpdateDlg(9999) {}
};
IMPLEMENT_DYNCREATE(CUnmakeableDlg, CGuiUpdateDlg)

class TextCommandTest : public DemoFrameTest {
protected:
    CString Documents() const
    {
        CString folder = AfxGetSpecialFolder(CSIDL_PERSONAL);
        if (folder.Right(1) != "/")
            folder += "/";
        return folder;
    }
};

}  // namespace

TEST_F(TextCommandTest, GlobalKeywordsAndTheirReplies)
{
    m_frame.m_list.SetInteractive(0);
    m_frame.m_registry.RegisterGui("BROKEN", RUNTIME_CLASS(CUnmakeableDlg), kFamilyKreln | kFamilyTavro, 0);
    struct Case {
        const char* command;
        const char* reply;  // "ERROR:" alone: any parser error
        int result;
    };
    const Case cases[] = {
        {"GETAMPENABLED", "FALSE", 1},
        {"ENABLEAMP", "ERROR: No amp selected", 1},
        {"DISABLEAMP", "ERROR: No amp selected", 1},
        {"SETDEFAULTAMP(\"Bogus\")", "ERROR: Invalid amp \"Bogus\".", 1},
        {"SETDEFAULTAMP(Kreln)", "ERROR:", 1},
        {"SETDEFAULTAMP(", "ERROR:", 1},
        {"SETDEFAULTAMP(\"Kreln\")", "SUCCESS", 1},
        {"setdefaultamp(\"2\")", "SUCCESS", 1},
        {"disableampNOW", "SUCCESS", 1},
        {"OPENGUI(\"NOPE\")", "ERROR: Could not open GUI \"NOPE\".", 1},
        {"OPENGUI(\"BROKEN\")", "ERROR: Could not open GUI \"BROKEN\".", 1},
        {"OPENGUI(\"SAMPLEDRIVE:2\")", "SUCCESS", 1},
        {"OpenGui(\"SAMPLESHEET\")", "SUCCESS", 1},
        {"LISTGUIS", "SAMPLEDRIVE\r\nSAMPLESHEET\r\nBROKEN", 1},
        {"RESTOREBACKUP(\"drive2\")", "SUCCESS", 1},
        {"RESTOREBACKUP(drive2)", "ERROR:", 1},
        {"SETWORKINGFOLDER(\"/tmp/kv-scripts\", 1)", "SUCCESS", 1},
        {"SETWORKINGFOLDER(\"x\")", "ERROR:", 1},
        {"BOGUS", "ERROR: Unrecognized command", 0},
        {"SAMPLEDRIVE.X", "ERROR: Unrecognized command", 0},
        {"NOPE.CLOSE", "ERROR: GUI unavailable", 0},
        {"SAMPLEDRIVE.BOGUS", "ERROR: Unrecognized command", 0},
        {"SAMPLEDRIVE.SENDTOAMP(1)", "SUCCESS", 1},
    };
    for (const Case& c : cases) {
        CString reply;
        EXPECT_EQ(m_frame.m_list.ExecuteCommand(c.command, reply, 0), c.result) << c.command;
        if (CString(c.reply) == "ERROR:") {
            EXPECT_EQ(reply.Left(6), "ERROR:") << c.command;
            EXPECT_GT(reply.GetLength(), 6) << c.command;
        } else {
            EXPECT_EQ(reply, c.reply) << c.command;
        }
    }
    EXPECT_EQ(m_frame.m_list.GetOwnItem().GetDrive(), 2);
    EXPECT_EQ(m_frame.m_list.GetOpenCount("CSampleDriveDlg"), 1);
    EXPECT_EQ(m_frame.m_list.GetOpenCount("CSampleSheet"), 1);
    EXPECT_EQ(m_frame.m_list.GetLayoutFolder(), "/tmp/kv-scripts/");

    // The restore was queued, then run by the next update through the backup engine's interface.
    ASSERT_TRUE(Wait([&] { return !m_frame.m_restores.empty(); }));
    EXPECT_EQ(m_frame.m_restores.size(), 1u) << "a parse error queues nothing";
    EXPECT_EQ(m_frame.m_restores[0].drive, 2);
    EXPECT_EQ(m_frame.m_restores[0].driveName, "Tavro");
    EXPECT_EQ(m_frame.m_restores[0].helpId, -1762);
    EXPECT_EQ(m_frame.m_restores[0].path, "/tmp/kv-scripts/drive2.bk") << "the folder when the line runs";
    // The frame could not start it: the queued line's error goes to the (scripted) box.
    EXPECT_EQ(MessageLines().back(), "MSGBOX:ERROR: Could not restore backup file");
}

TEST_F(TextCommandTest, WorkingFolderAndListingOpenWindows)
{
    EXPECT_EQ(Run("SETWORKINGFOLDER(\"scripts\", 0)"), "SUCCESS");
    EXPECT_EQ(m_frame.m_list.GetLayoutFolder(), Documents() + "Korvane/scripts/");
    EXPECT_EQ(Run("SETWORKINGFOLDER(\"/abs\", 0)"), "SUCCESS");
    EXPECT_EQ(m_frame.m_list.GetLayoutFolder(), Documents() + "Korvane/abs/");
    EXPECT_EQ(Run("SETWORKINGFOLDER(\"/tmp/kv/\", 1)"), "SUCCESS");
    EXPECT_EQ(m_frame.m_list.GetLayoutFolder(), "/tmp/kv/");

    EXPECT_EQ(Run("LISTOPENGUIS"), "No open GUIs");
    m_frame.m_list.AddItem(&m_scope);
    OpenSample();
    EXPECT_EQ(Run("LISTOPENGUIS"), "SCOPE\r\nSAMPLEDRIVE");
    OpenSheet();
    EXPECT_EQ(Run("listopenguis"), "SCOPE\r\nSAMPLEDRIVE\r\n<UNKNOWN>\r\n<UNKNOWN>\r\n<UNKNOWN>\r\nSAMPLESHEET")
        << "the pages are open windows whose class is not registered";
}

TEST_F(TextCommandTest, RestoreBackupAnswersAnErrorWhileNoEngineCanStartIt)
{
    m_frame.m_list.SetInteractive(0);
    EXPECT_EQ(Run("RESTOREBACKUP(\"b\")", 1), "ERROR: Could not restore backup file");
    m_frame.m_restoreResult = 1;
    EXPECT_EQ(Run("RESTOREBACKUP(\"b\")", 1), "SUCCESS");
}

TEST_F(TextCommandTest, DeferredKeywordsAnswerAtOnceAndRunOnTheNextUpdate)
{
    m_frame.m_list.SetInteractive(0);
    OpenSample();
    // A point inside the quoted argument is no window command.
    EXPECT_EQ(Run("LOADLAYOUT(\"no.such\")"), "SUCCESS");
    EXPECT_EQ(CSampleDriveDlg::s_alive, 1) << "nothing read yet";
    ASSERT_TRUE(Wait([&] { return !MessageLines().empty(); }));
    EXPECT_EQ(MessageLines(), std::vector<std::string>{"MSGBOX:ERROR: Could not open layout file"});
    EXPECT_EQ(CSampleDriveDlg::s_alive, 1) << "a missing file closes nothing";

    CSampleDriveDlg* pending = OpenSample("SAMPLEDRIVE:2");
    pending->m_unsentSettings = 1;
    EXPECT_EQ(Run("CLOSEALLGUIS"), "SUCCESS");
    EXPECT_EQ(CSampleDriveDlg::s_alive, 2);
    ASSERT_TRUE(Wait([] { return CSampleDriveDlg::s_alive == 0; }));
    EXPECT_EQ(MessageLines().size(), 1u) << "no unsent-settings question";
}

TEST_F(TextCommandTest, EnableAmpThenGetAmpEnabledOnceTheStatusPollSaysSo)
{
    EXPECT_EQ(Run("SETDEFAULTAMP(\"1\")"), "SUCCESS");
    EXPECT_EQ(Run("GETAMPENABLED"), "FALSE");
    EXPECT_EQ(Run("ENABLEAMP"), "SUCCESS");
    ASSERT_TRUE(Wait([&] { return Run("GETAMPENABLED") == "TRUE"; }));
    EXPECT_EQ(ModelValue(1, "EN"), 1);
    EXPECT_EQ(Run("DISABLEAMP"), "SUCCESS");
    ASSERT_TRUE(Wait([&] { return Run("GETAMPENABLED") == "FALSE"; }));
}

TEST_F(TextCommandTest, AShortScriptRunLineByLine)
{
    m_frame.m_list.SetInteractive(0);
    ASSERT_EQ(Run("SETWORKINGFOLDER(\"" + CString(m_home.path().c_str()) + "\", 1)"), "SUCCESS");
    const char* before[] = {
        "OPENGUI(\"SAMPLESHEET\")",
        "SAMPLESHEET.SETTAB(\"Page 3\")",
        "SAMPLESHEET.TAB(\"Page 2\").SENDTOAMP(0)",
    };
    for (const char* line : before)
        EXPECT_NE(Run(line).Left(6), "ERROR:") << line;
    CSampleSheet* sheet = dynamic_cast<CSampleSheet*>(m_frame.m_list.FindLastItemOfClass("CSampleSheet"));
    ASSERT_NE(sheet, nullptr);
    ASSERT_TRUE(Wait([&] { return sheet->GetPendingTab() == -1; }));
    EXPECT_EQ(Run("SAMPLESHEET.SETTAB(\"Page 3\")"), "");
    EXPECT_EQ(sheet->m_page2.m_sentGroups, std::vector<int>{0});
    ASSERT_TRUE(Wait([&] { return ModelValue(1, "UB") == 102; }));
    // The layout is saved from the menu.
    ASSERT_EQ(m_frame.m_list.SaveLayout(m_home.File("script.kvl").c_str(), 0, 0), 1);

    EXPECT_EQ(Run("CLOSEALLGUIS"), "SUCCESS");
    EXPECT_EQ(Run("LOADLAYOUT(\"script\")"), "SUCCESS");
    ASSERT_TRUE(Wait([&] {
        auto* loaded = dynamic_cast<CSampleSheet*>(m_frame.m_list.FindLastItemOfClass("CSampleSheet"));
        return CSampleSheet::s_alive == 1 && loaded && loaded != sheet && loaded->GetActiveIndex() == 2;
    }));
    EXPECT_EQ(Run("LISTOPENGUIS").Right(11), "SAMPLESHEET");
    EXPECT_TRUE(MessageLines().empty());
}
