// The tutorial window and setup wizard on a small fixture of its own files.
#include <string>
#include <vector>

#include "AppTestFixture.h"
#include "app/HtmlTutorialDlg.h"
#include "app/ScriptPlayerDlg.h"
#include "framework/tests/SampleDriveDlg.h"
#include "testing/WindowShot.h"

namespace {

std::string Pages(const CTutorPageList& pages)
{
    std::string text;
    for (POSITION pos = pages.GetHeadPosition(); pos;) {
        const CTutorPage& page = pages.GetNext(pos);
        text += page.m_title.str() + "|" + page.m_url.str() + "|" + page.m_windowName.str() + "|" +
                page.m_pageId.str() + ";";
    }
    return text;
}

class TutorialTest : public AppFixture {
protected:
    void SetUp() override
    {
        AppFixture::SetUp();
        m_files.Write("TutorIndex.dat", "SAMPLEDRIVE, sample.htm\n");
        m_files.Write("sample.htm", "<html><body><p>Sample page</p></body></html>");
        m_files.Write("intro.htm",
                      "<html><head><title>Intro</title></head><body><h2>Welcome</h2>"
                      "<p><a href=\"KVCLI:SAMPLEDRIVE.CLOSE\">close the window</a></p></body></html>");
        m_files.Write("t.dat",
                      "; fixture\n"
                      "TOPIC=\"Fixture\"\n"
                      "PAGEID=\"one\" TITLE=\"Intro\" URL=\"intro.htm\"\n"
                      "TITLE=\"Sample\" DLGID=\"SAMPLEDRIVE\" PAGEID=\"two\"\n"
                      "PAGEID=\"end\"\n"
                      "TITLE=\"Last A\" URL=\"intro.htm\"\n"
                      "URL=\"intro.htm\"\n");
        m_files.Write("other.dat", "TITLE=\"Other\" URL=\"intro.htm\"\nPAGEID=\"o2\" TITLE=\"Other 2\" URL=\"intro.htm\"\n");
        ASSERT_TRUE(Start());
        CSampleDriveDlg::Register(*Frame()->GetDlgIdMap());
        Tutorial().SetTutorialFolder((m_files.File("")).c_str());
        ASSERT_EQ(1, Tutorial().LoadTutorIndex());
        Tutorial().SetHelpShower([this](int topic) { m_helpTopics.push_back(topic); });
    }
    void TearDown() override
    {
        if (CScriptPlayerDlg* player = CScriptPlayerDlg::GetPlayer())
            player->DestroyWindow();
        AppFixture::TearDown();
    }
    CHtmlTutorialDlg& Tutorial() { return Frame()->GetTutorial(); }
    void Command(const char* text)
    {
        Tutorial().QueueCommand(text);
        Tutorial().RunQueuedCommands();
    }
    CString Caption()
    {
        CString text;
        Tutorial().GetWindowText(text);
        return text;
    }
    CSampleDriveDlg* Attached() { return dynamic_cast<CSampleDriveDlg*>(Tutorial().GetOpenedWindow()); }

    TempDir m_files;
    std::vector<int> m_helpTopics;
};

}  // namespace

TEST(TutorFilesTest, IndexLinesAndTheirValues)
{
    TempDir dir;
    dir.Write("TutorIndex.dat",
              "; comment\n"
              "\n"
              "  MOTOR , motor.htm  \n"
              "GEAR,gear.htm\n"
              "MODE, old.htm\n"
              "MODE, mode.htm\n");
    CMapStringToString index;
    ASSERT_EQ(1, ReadTutorIndex(dir.File("TutorIndex.dat").c_str(), index));
    CString value;
    EXPECT_TRUE(index.Lookup("MOTOR", value));
    EXPECT_EQ("motor.htm", value);
    EXPECT_TRUE(index.Lookup("GEAR", value));
    EXPECT_EQ("gear.htm", value) << "no letter is lost when no blank follows the comma";
    EXPECT_TRUE(index.Lookup("MODE", value));
    EXPECT_EQ("mode.htm", value) << "a later line replaces";

    dir.Write("bad.dat", "A, a.htm\nno comma here\nB, b.htm\n");
    EXPECT_EQ(0, ReadTutorIndex(dir.File("bad.dat").c_str(), index));
    EXPECT_EQ(1, index.GetCount());
    EXPECT_EQ(0, ReadTutorIndex(dir.File("missing.dat").c_str(), index));
}

TEST(TutorFilesTest, TutorialLinesMakePagesAndPageIds)
{
    CMapStringToString index;
    index.SetAt("MODE", "mode.htm");
    CTutorPageList pages;
    for (const char* line : {"TOPIC=\"T\"", "PAGEID=\"end\"", "TITLE=\"A\" URL=\"a.htm\"", "DLGID=\"MODE\"",
                             "DLGID=\"NONE\" TITLE=\"N\"", "TITLE=\"unclosed URL=\"x", "URL=a.htm TITLE=\"Q\""})
        pages.ReadLine(line, index);
    EXPECT_EQ("T", pages.m_topic);
    // A value runs from the first quote after its name: an unquoted URL takes the next field's.
    EXPECT_EQ("A|a.htm||;|mode.htm|MODE|;N||NONE|;unclosed URL=|||;Q|Q||;", Pages(pages));
    EXPECT_EQ(0, pages.FindPageId("end"));
    EXPECT_EQ(-1, pages.FindPageId("End"));
}

TEST_F(TutorialTest, PagesCommandsAndTheAttachedWindow)
{
    ASSERT_EQ(1, Tutorial().RunTutorial("t.dat"));
    EXPECT_TRUE(Tutorial().IsWindowVisible());
    EXPECT_EQ(4, Tutorial().GetPageCount());
    EXPECT_EQ("Intro", Caption());
    EXPECT_EQ(m_files.File("") + "intro.htm?intutor=1&lastpage=-None-", Tutorial().GetBrowser().GetLastRequest().str());
    EXPECT_NE(std::string::npos, Tutorial().GetBrowser().GetDocumentText().str().find("Welcome"));
    EXPECT_FALSE(Tutorial().GetDlgItem(CHtmlTutorialDlg::kPrev)->IsWindowEnabled());
    EXPECT_TRUE(Tutorial().GetDlgItem(CHtmlTutorialDlg::kNext)->IsWindowEnabled());

    // The page with a window opens it beside the tutorial.
    Command("NEXTPAGE");
    EXPECT_EQ(1, Tutorial().GetPageIndex());
    EXPECT_EQ(m_files.File("") + "sample.htm?intutor=1&lastpage=one", Tutorial().GetBrowser().GetLastRequest().str());
    CSampleDriveDlg* sample = Attached();
    ASSERT_TRUE(sample);
    CRect tutorialRect;
    CRect sampleRect;
    Tutorial().GetWindowRect(&tutorialRect);
    sample->GetWindowRect(&sampleRect);
    EXPECT_NEAR(tutorialRect.top, sampleRect.top, 4);
    EXPECT_LE(sampleRect.right, 1280 - 20) << "kept on screen";
    if (sampleRect.right < 1280 - 20) {
        EXPECT_NEAR(tutorialRect.right + 10, sampleRect.left, 4);
    }

    // A window with unsent settings holds the user on the page when asked to stay.
    sample->m_unsentSettings = 1;
    Messages();
    AfxQueueScriptedAnswer(IDNO);
    Command("NEXTPAGE");
    EXPECT_EQ(1, Tutorial().GetPageIndex());
    EXPECT_EQ(1u, Messages().size());
    sample->m_unsentSettings = 0;

    // SETPAGE to a line with only a page id goes to the page after it; the window closes.
    Command("SETPAGE/end");
    EXPECT_EQ(2, Tutorial().GetPageIndex());
    EXPECT_EQ("Last A", Caption());
    EXPECT_FALSE(Tutorial().GetOpenedWindow());
    Command("SETPAGE/nowhere");
    EXPECT_EQ(2, Tutorial().GetPageIndex());
    Command("NEXTPAGE");
    EXPECT_EQ("Fixture", Caption()) << "a page without title shows the topic";
    Command("NEXTPAGE");
    EXPECT_EQ(3, Tutorial().GetPageIndex()) << "Next on the last page does nothing";

    // LASTPAGE toggles between two pages.
    Command("LASTPAGE");
    EXPECT_EQ(2, Tutorial().GetPageIndex());
    Command("LASTPAGE");
    EXPECT_EQ(3, Tutorial().GetPageIndex());

    Command("HELPPAGE/250");
    EXPECT_EQ(std::vector<int>{250}, m_helpTopics);

    // A new tutorial, then a page of it, queued in one period: both in that order.
    Tutorial().QueueCommand("RUNTUTOR/other.dat");
    Tutorial().QueueCommand("SETPAGE/o2");
    Tutorial().RunQueuedCommands();
    EXPECT_EQ("Other 2", Caption());
    EXPECT_EQ(1, Tutorial().GetPageIndex());

    Messages();
    EXPECT_EQ(0, Tutorial().RunTutorial("missing.dat"));
    EXPECT_EQ(std::vector<CString>{"ERROR: Could not run tutorial."}, Messages());
}

TEST_F(TutorialTest, LinksAndScriptLinesReachTheirQueues)
{
    ASSERT_TRUE(kvtest::ChooseMenuItem(Frame(), "&File|&Demo"));
    ASSERT_EQ(1, Tutorial().RunTutorial("t.dat"));
    CString reply;
    m_app->ExecuteCommandLine("OPENGUI(\"SAMPLEDRIVE\")", reply);
    ASSERT_EQ(1, Frame()->GetUpdateList()->GetOpenCount("CSampleDriveDlg"));
    ASSERT_TRUE(kvtest::ClickBrowserLink(Tutorial().GetBrowser(), "KVCLI:SAMPLEDRIVE.CLOSE"));
    EXPECT_EQ(1, Tutorial().GetBrowser().m_clientCommands.GetCount()) << "queued, not run inside the link";
    EXPECT_NE(std::string::npos, Tutorial().GetBrowser().GetDocumentText().str().find("Welcome")) << "the page stays";
    EXPECT_TRUE(Wait([&] { return Frame()->GetUpdateList()->GetOpenCount("CSampleDriveDlg") == 0; }));

    // A script's "WIZ:" line goes to the tutorial's queue through the router.
    CScriptPlayerDlg* player = CScriptPlayerDlg::OpenScriptPlayer(Frame());
    ASSERT_TRUE(player);
    CScriptSection section;
    section.m_script = "WIZ:SETPAGE/end\r\n";
    player->RunSection(&section);
    EXPECT_EQ(1, Tutorial().GetBrowser().m_tutorialCommands.GetCount());
    EXPECT_TRUE(Wait([&] { return Tutorial().GetPageIndex() == 2; })) << "the tutorial's timer runs it: page "
                                                                     << Tutorial().GetPageIndex() << " queue "
                                                                     << Tutorial().GetBrowser().m_tutorialCommands.GetCount();
}

TEST_F(TutorialTest, CloseHidesAndReleasesTheWindowAndTheWizardCommand)
{
    ASSERT_EQ(1, Tutorial().RunTutorial("t.dat"));
    Command("SETPAGE/two");
    CSampleDriveDlg* sample = Attached();
    ASSERT_TRUE(sample);
    Screenshot(&Tutorial(), "Tutorial_PageWithWindow");
    kvtest::Click(Tutorial().GetDlgItem(IDCANCEL));
    EXPECT_FALSE(Tutorial().IsWindowVisible());
    EXPECT_FALSE(Tutorial().GetOpenedWindow());
    EXPECT_EQ(1, Frame()->GetUpdateList()->GetOpenCount("CSampleDriveDlg")) << "the window stays open";
    EXPECT_FALSE(sample->GetOpener());

    // The menu command runs the wizard of the program's own files.
    Tutorial().SetTutorialFolder("");
    ASSERT_EQ(1, Tutorial().LoadTutorIndex());
    ASSERT_TRUE(kvtest::ChooseMenuItem(Frame(), "&Tools|Setup &Wizard..."));
    EXPECT_TRUE(Tutorial().IsWindowVisible());
    EXPECT_EQ("Welcome", Caption());
    EXPECT_EQ(2, Tutorial().GetPageCount());
    Screenshot(&Tutorial(), "Tutorial_SetupWizard");
}
