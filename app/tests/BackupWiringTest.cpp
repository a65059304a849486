// The backup engine inside the program: its menu commands follow the link and
// the engine's state, a backup and a report run from the menus to their files
// through the drive dialogs, the demo drives carry the demo library's settings,
// and a script's restore goes through the frame.
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "AppTestFixture.h"
#include "app/AppPaths.h"
#include "app/tools/QvxEditorFrame.h"
#include "app/tools/QvxEditorFrameList.h"
#include "backup/tests/DemoLibraryCommands.h"
#include "backup/windows/BackupAmplifierDlg.h"
#include "backup/windows/SetupAmpReportDlg.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/FileDialog.h"

namespace {
std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// "MNEMONIC value" lines of a backup, by mnemonic.
std::map<std::string, std::string> Commands(const std::string& text)
{
    std::map<std::string, std::string> commands;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const size_t space = line.find(' ');
        if (line.empty() || line[0] == ';' || space == std::string::npos)
            continue;
        commands[line.substr(0, space)] = line.substr(space + 1);
    }
    return commands;
}

class BackupWiringTest : public AppFixture {
protected:
    void SetUp() override
    {
        AppFixture::SetUp();
        ASSERT_TRUE(Start());
        Messages();
    }
    bool EngineIdle() { return Wait([&] { return !Frame()->IsBackupBusy(); }, 60000); }
    // Picks the drive whose name holds `name` in a drive dialog's list.
    static void PickDrive(CWnd* dialog, int comboId, const char* name)
    {
        auto* combo = static_cast<CComboBox*>(dialog->GetDlgItem(comboId));
        for (int i = 0; i < combo->GetCount(); ++i) {
            CString text;
            combo->GetLBText(i, text);
            if (text.Find(name) >= 0) {
                kvtest::PickItem(combo, i);
                return;
            }
        }
        ADD_FAILURE() << "no drive " << name;
    }
};
}  // namespace

TEST_F(BackupWiringTest, TheCommandsWaitForTheLinkAndTheProgramFolderHoldsTheTemplates)
{
    for (const char* item : {"&Backup|&Backup Drive...", "&Backup|&Restore Backup...", "&Backup|Reports|Drive Settings"})
        EXPECT_EQ(0, kvtest::MenuItemState(Frame(), item)) << item;
    EXPECT_TRUE(Wait([&] { return !Frame()->GetToolBar().IsButtonEnabled(ID_OSCILLOSCOPE); }));
    Frame()->SendMessage(WM_COMMAND, ID_OSCILLOSCOPE);
    EXPECT_EQ(Frame()->GetOscilloscope(), nullptr) << "the toolbar button opens no scope without a link";
    const CString folder = Frame()->GetBackupHost().GetProgramFolder();
    EXPECT_EQ("/", folder.Right(1));
    EXPECT_EQ(folder + "Backup Templates", Frame()->GetBackupTool().GetTemplateFolder(1));
    for (const char* sub : {"Backup Templates", "Report Templates", "Demo Library"})
        EXPECT_TRUE(std::filesystem::is_directory((folder + sub).GetString())) << sub;

    ASSERT_TRUE(kvtest::ChooseMenuItem(Frame(), "&File|&Demo"));
    EXPECT_EQ(std::vector<CString>{"DEMO Communications active."}, Messages()) << "the demo library was restored";
    for (const char* item : {"&Backup|&Backup Drive...", "&Backup|&Restore Backup...", "&Backup|Reports|Drive Settings",
                             "&Tools|&Oscilloscope"})
        EXPECT_EQ(1, kvtest::MenuItemState(Frame(), item)) << item;
    EXPECT_TRUE(Wait([&] { return Frame()->GetToolBar().IsButtonEnabled(ID_OSCILLOSCOPE) != FALSE; }));
}

TEST_F(BackupWiringTest, ABackupFromTheMenuHoldsTheDemoLibrarysSettingsAndAReportFollows)
{
    ASSERT_TRUE(kvtest::ChooseMenuItem(Frame(), "&File|&Demo"));
    const std::string backupPath = m_home.File("tavro.bk");
    kvtest::OnNextModal([&](CWnd* dialog) {
        PickDrive(dialog, CBackupAmplifierDlg::kDriveCombo, "Tavro");
        dialog->SetDlgItemText(CBackupAmplifierDlg::kPathEdit, backupPath.c_str());
        kvtest::Click(dialog->GetDlgItem(IDOK));
    });
    ASSERT_TRUE(kvtest::ChooseMenuItem(Frame(), "&Backup|&Backup Drive..."));
    ASSERT_TRUE(EngineIdle());
    ASSERT_TRUE(Wait([&] { return Frame()->GetBackupTool().GetOperationStatus() == 0; }));
    const std::string backup = ReadAll(backupPath);
    EXPECT_EQ(0u, backup.rfind("; KORVANE BACKUP FILE - ", 0)) << backup.substr(0, 200);
    EXPECT_NE(std::string::npos, backup.find("; TAVRO SERIES"));
    const DemoLibraryContent tavro =
        ReadDemoLibrary(ReadAll((AfxGetAppPaths().programFolder + "Demo Library/QX5010-DEMO RevA.bk").GetString()), true);
    std::map<std::string, std::string> library;
    for (const auto& [mnemonic, value] : tavro.commands)
        library[mnemonic] = std::to_string(value);
    const auto saved = Commands(backup);
    ASSERT_FALSE(saved.empty());
    // The library sets every register a backup keeps.
    for (const auto& [mnemonic, value] : saved)
        EXPECT_EQ(library.count(mnemonic) ? library.at(mnemonic) : "<missing>", value) << mnemonic;
    EXPECT_EQ(1, kvtest::MenuItemState(Frame(), "&Backup|&Backup Drive...")) << "idle again";

    const std::string reportPath = m_home.File("report.txt");
    kvtest::OnNextModal([&](CWnd* dialog) {
        PickDrive(dialog, CSetupAmpReportDlg::kDriveCombo, "Kreln");
        if (!dialog->IsDlgButtonChecked(CSetupAmpReportDlg::kViewCheck))
            kvtest::Click(dialog->GetDlgItem(CSetupAmpReportDlg::kViewCheck));
        kvtest::QueueFileDialogAnswer(reportPath.c_str());
        kvtest::Click(dialog->GetDlgItem(IDOK));
    });
    ASSERT_TRUE(kvtest::ChooseMenuItem(Frame(), "&Backup|Reports|Drive Settings"));
    ASSERT_TRUE(EngineIdle());
    EXPECT_TRUE(Wait([&] { return ReadAll(reportPath).size() > 100; })) << ReadAll(reportPath);
    EXPECT_EQ(-1, Frame()->GetBackupTool().GetErrorLog().Find("ERROR")) << Frame()->GetBackupTool().GetErrorLog().GetString();
    // "View in Notepad" shows the report in the program's own editor.
    ASSERT_TRUE(Wait([&] { return Frame()->GetEditors().GetCount() == 1; }));
    CQvxEditorFrame* editor = Frame()->GetEditors().GetTail();
    CString title;
    editor->GetWindowText(title);
    EXPECT_EQ("Editor - report.txt", title);
    EXPECT_TRUE(editor->IsWindowVisible());
    auto firstLine = [](const std::string& text) { return text.substr(0, text.find_first_of("\r\n")); };
    EXPECT_EQ(firstLine(ReadAll(reportPath)), firstLine(editor->GetView().GetTextBytes().GetString()));
}

TEST_F(BackupWiringTest, AScriptsRestoreRunsThroughTheFrameAndABusyEngineRefusesIt)
{
    ASSERT_TRUE(kvtest::ChooseMenuItem(Frame(), "&File|&Demo"));
    const CString library = AfxGetAppPaths().programFolder + "Demo Library/QX5010-DEMO RevA.bk";
    CGuiFrameServices* services = CGuiFrameServices::Get();
    ASSERT_EQ(Frame(), services);
    ASSERT_EQ(1, services->RestoreBackup(2, "Tavro", library, -1762));
    EXPECT_TRUE(Frame()->IsBackupBusy());
    for (const char* item : {"&Backup|&Restore Backup...", "&Tools|Setup &Wizard...", "&Tools|&Oscilloscope"})
        EXPECT_EQ(0, kvtest::MenuItemState(Frame(), item)) << item << " greyed while the engine works";
    EXPECT_EQ(0, services->RestoreBackup(1, "Kreln", library, -1762)) << "one run at a time";
    ASSERT_TRUE(EngineIdle());
    EXPECT_EQ(-1, Frame()->GetBackupTool().GetErrorLog().Find("ERROR")) << Frame()->GetBackupTool().GetErrorLog().GetString();
}
