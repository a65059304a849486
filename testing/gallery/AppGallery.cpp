// The program's own shell windows in the gallery.
#include <gtest/gtest.h>

#include "GalleryWindows.h"
#include "app/HtmlTutorialDlg.h"
#include "app/ScriptPlayerDlg.h"
#include "platform/ui/UserInput.h"
#include "testing/TempDir.h"

void ShowScriptPlayer(GalleryShots& shots)
{
    TempDir dir;
    CScriptSectionList list;
    const char* titles[][2] = {{"Connect", "Open the demo link"}, {"Mode", "Choose the drive mode"}, {"Tune", "Tune the loops"}};
    for (const auto& text : titles) {
        CScriptSection section;
        section.m_title = text[0];
        section.m_description = text[1];
        section.m_detail = CString("Step: ") + text[1] + ".";
        list.AddCopy(section);
    }
    CString error;
    ASSERT_EQ(1, list.SaveFile(dir.File("demo.kvs").c_str(), error));
    CScriptPlayerDlg* player = CScriptPlayerDlg::OpenScriptPlayer(nullptr);
    ASSERT_TRUE(player);
    player->SetCommandRouter([](const CString&, CString& reply) {
        reply = "SUCCESS";
        return 1;
    });
    ASSERT_EQ(1, player->OpenScript(dir.File("demo.kvs").c_str()));
    player->CheckDlgButton(CScriptPlayerDlg::kShowDetails, BST_CHECKED);
    player->UpdateControls(true);
    player->SelectRow(1);
    shots.Take(player, "play mode");
    kvtest::Click(player->GetDlgItem(CScriptPlayerDlg::kProgram));
    shots.Take(player, "program mode");
    player->DestroyWindow();
}

void ShowTutorial(GalleryShots& shots)
{
    TempDir dir;
    dir.Write("TutorIndex.dat", "; none\n");
    dir.Write("t.dat", "TOPIC=\"Korvane Setup Wizard\"\nTITLE=\"Welcome\" URL=\"p.htm\"\nTITLE=\"Next\" URL=\"p.htm\"\n");
    dir.Write("p.htm", "<html><body><h2>Welcome to Korvane</h2><p>This wizard walks you through setting up a drive."
                       "</p><p><a href=\"TUTORCMD:NEXTPAGE\">Start</a></p></body></html>");
    CHtmlTutorialDlg tutorial;
    tutorial.SetTutorialFolder((dir.File("")).c_str());
    ASSERT_EQ(1, tutorial.LoadTutorIndex());
    ASSERT_EQ(1, tutorial.RunTutorial("t.dat"));
    shots.Take(&tutorial, "first page");
}
