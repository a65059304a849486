// The program driven end to end by a script on the demo link: every section
// opens, uses, lists and closes windows by text commands alone.
#include "AppTestFixture.h"
#include "framework/tests/SampleDriveDlg.h"
#include "testing/ScriptRunner.h"

namespace {

// One section a window; a window that lands adds its own here.
const std::vector<kvtest::ScriptSectionText> kEndToEnd = {
    {"Nothing open", "LISTOPENGUIS"},
    {"Open a drive window by name", "OPENGUI(\"SAMPLEDRIVE\")\nLISTOPENGUIS\nSAMPLEDRIVE.SENDTOAMP(1)"},
    {"Close it", "SAMPLEDRIVE.CLOSE"},
    {"Errors are collected", "OPENGUI(\"NOPE\")\nLISTGUIS\nBOGUS"},
};

class EndToEndScriptTest : public AppFixture {};

}  // namespace

TEST_F(EndToEndScriptTest, EveryWindowBySectionOnTheDemoLink)
{
    ASSERT_TRUE(Start());
    CSampleDriveDlg::Register(*Frame()->GetDlgIdMap());
    ASSERT_TRUE(kvtest::ChooseMenuItem(Frame(), "&File|&Demo"));
    const std::string path = m_home.File("EndToEnd.kvs");
    ASSERT_TRUE(kvtest::WriteScriptFile(path, kEndToEnd));

    const std::vector<kvtest::ScriptSectionResult> results = kvtest::RunScriptFile(path, Frame());
    ASSERT_EQ(kEndToEnd.size(), results.size());
    for (size_t i = 0; i + 1 < results.size(); ++i)
        EXPECT_EQ("", results[i].errors) << results[i].title;
    EXPECT_EQ("Line 1 \"OPENGUI(\"NOPE\")\": ERROR: Could not open GUI \"NOPE\".\r\n"
              "Line 3 \"BOGUS\": ERROR: Unrecognized command\r\n",
              results.back().errors);
    EXPECT_TRUE(Wait([&] { return Frame()->GetUpdateList()->GetOpenCount("CSampleDriveDlg") == 0; }));
    if (CScriptPlayerDlg* player = CScriptPlayerDlg::GetPlayer())
        player->DestroyWindow();
}
