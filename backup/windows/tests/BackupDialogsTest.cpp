// The backup, report and editor-transfer dialogs and the window host, used as a user would.
#include <gtest/gtest.h>

#include <filesystem>

#include "backup/windows/AmpBackupToolWindowHost.h"
#include "backup/windows/BackupAmplifierDlg.h"
#include "backup/windows/SetupAmpReportDlg.h"
#include "backup/windows/SetupAmpToEditorTransferDlg.h"
#include "framework/GuiFrameServices.h"
#include "platform/core/IniFile.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/FileDialog.h"
#include "platform/ui/UserInput.h"
#include "testing/TempDir.h"
#include "testing/WindowShot.h"

namespace {

class HelpRecorder : public CGuiFrameServices {
public:
    CGuiUpdateList* GetUpdateList() override { return nullptr; }
    CGuiUpdateDlgIdMap* GetDlgIdMap() override { return nullptr; }
    void ShowHelp(UINT helpId) override { m_helpIds.push_back(static_cast<int>(helpId)); }
    std::vector<int> m_helpIds;
};

class BackupDialogsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_settings = m_home.File("kvsettings.ini").c_str();
        m_drives = {CAmplifierData(1, 2, "Kreln"), CAmplifierData(2, 4, "Tavro/B")};
        AfxTakeScriptedMessageLog();
    }
    CString Setting(const char* section, const char* key)
    {
        char text[512] = "";
        GetPrivateProfileString(section, key, "<none>", text, sizeof(text), m_settings);
        return text;
    }
    // The boxes the dialogs showed; screenshots report their exports too.
    static std::vector<CString> DialogBoxes()
    {
        std::vector<CString> boxes;
        for (const CString& box : AfxTakeScriptedMessageLog()) {
            if (box.Find("Image successfully exported") < 0)
                boxes.push_back(box);
        }
        return boxes;
    }
    static CString Title(CWnd* window)
    {
        CString text;
        window->GetWindowText(text);
        return text;
    }
    static CString Text(CWnd* dialog, int id)
    {
        CString text;
        dialog->GetDlgItemText(id, text);
        return text;
    }

    TempDir m_home;
    CString m_settings;
    std::vector<CAmplifierData> m_drives;
};

}  // namespace

TEST_F(BackupDialogsTest, BackupDefaultNameFollowsTheDriveAndAsksBeforeOverwriting)
{
    WritePrivateProfileString("AMP BACKUP", "BackupAmp", "2", m_settings);
    CBackupAmplifierDlg dialog(m_settings, "/opt/korvane/");
    dialog.m_drives = m_drives;
    std::string existing;
    kvtest::OnNextModal([&](CWnd* d) {
        EXPECT_EQ(Title(d), "Backup Drive");
        EXPECT_FALSE(d->GetDlgItem(CBackupAmplifierDlg::kTemplatesEdit)->IsWindowVisible());
        EXPECT_FALSE(d->GetDlgItem(CBackupAmplifierDlg::kBrowseTemplates)->IsWindowVisible());
        auto* combo = static_cast<CComboBox*>(d->GetDlgItem(CBackupAmplifierDlg::kDriveCombo));
        EXPECT_EQ(combo->GetCurSel(), 1);
        const std::string tavro = Text(d, CBackupAmplifierDlg::kPathEdit).GetString();
        EXPECT_EQ(tavro.rfind(m_home.path() + "/", 0), 0u) << tavro;
        EXPECT_NE(tavro.find("/Korvane/Backup of Drive Tavro_B - "), std::string::npos) << tavro;
        Screenshot(d, "backup_dialog");

        // Another drive renames the file in the folder the path is in.
        d->SetDlgItemText(CBackupAmplifierDlg::kPathEdit, (m_home.path() + "/mine/old.bk").c_str());
        ASSERT_TRUE(kvtest::PickItem(combo, 0));
        const std::string kreln = Text(d, CBackupAmplifierDlg::kPathEdit).GetString();
        EXPECT_EQ(kreln.rfind(m_home.path() + "/mine/Backup of Drive Kreln - ", 0), 0u) << kreln;
        EXPECT_EQ(kreln.substr(kreln.size() - 3), ".bk");

        // An existing file: No keeps the dialog open, Yes goes on.
        existing = m_home.File("there.bk");
        m_home.Write("there.bk", "x");
        d->SetDlgItemText(CBackupAmplifierDlg::kPathEdit, existing.c_str());
        AfxQueueScriptedAnswer(IDNO);
        kvtest::Click(d->GetDlgItem(IDOK));
        EXPECT_TRUE(d->IsWindowVisible());
        AfxQueueScriptedAnswer(IDYES);
        kvtest::Click(d->GetDlgItem(IDOK));
    });
    ASSERT_EQ(dialog.DoModal(), IDOK);
    const auto boxes = DialogBoxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_NE(boxes[0].Find("Overwrite file \"there.bk\"?"), -1) << boxes[0].GetString();
    EXPECT_EQ(dialog.m_drive, 1);
    EXPECT_EQ(dialog.m_driveName, "Kreln");
    EXPECT_EQ(dialog.m_path, existing.c_str());
    EXPECT_EQ(Setting("AMP BACKUP", "BackupAmp"), "1");
    EXPECT_EQ(Setting("AMP BACKUP", "BackupPath"), existing.c_str());
    EXPECT_EQ(Setting("AMP BACKUP", "TemplatesFolderPath"), "/opt/korvane/Backup Templates/");
}

TEST_F(BackupDialogsTest, RestoreOfAMissingFileKeepsTheDialogOpen)
{
    WritePrivateProfileString("AMP BACKUP", "BackupPath", m_home.File("gone.bk").c_str(), m_settings);
    CBackupAmplifierDlg dialog(m_settings, "/opt/korvane/");
    dialog.m_drives = m_drives;
    dialog.m_restore = 1;
    dialog.m_helpId = -1762;
    HelpRecorder help;
    CGuiFrameServices::Install(&help);
    kvtest::OnNextModal([&](CWnd* d) {
        EXPECT_EQ(Title(d), "Restore Drive");
        EXPECT_EQ(Text(d, CBackupAmplifierDlg::kPathEdit), m_home.File("gone.bk").c_str());
        Screenshot(d, "restore_dialog");
        d->SendMessage(WM_SYSCOMMAND, 0xF180, 0);
        kvtest::Click(d->GetDlgItem(IDOK));
        EXPECT_TRUE(d->IsWindowVisible());
        m_home.Write("here.bk", "TLP 1\n");
        kvtest::QueueFileDialogAnswer(m_home.File("here.bk").c_str());
        kvtest::Click(d->GetDlgItem(CBackupAmplifierDlg::kBrowseFile));
        kvtest::Click(d->GetDlgItem(IDOK));
    });
    ASSERT_EQ(dialog.DoModal(), IDOK);
    CGuiFrameServices::Install(nullptr);
    const auto boxes = DialogBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].Find(("Backup file \"" + m_home.File("gone.bk") + "\" does not exist").c_str()), -1);
    EXPECT_EQ(dialog.m_path, m_home.File("here.bk").c_str());
    EXPECT_EQ(dialog.m_drive, 1);  // nothing remembered: the first drive
    EXPECT_EQ(help.m_helpIds, std::vector<int>{-1762});
}

TEST_F(BackupDialogsTest, ReportAsksForItsFileAndACancelledFileDialogCancels)
{
    WritePrivateProfileString("AMP REPORT", "ReportAmp", "2", m_settings);
    CSetupAmpReportDlg dialog(m_settings);
    dialog.m_drives = m_drives;
    dialog.m_viewInNotepad = 0;
    kvtest::OnNextModal([&](CWnd* d) {
        EXPECT_EQ(static_cast<CComboBox*>(d->GetDlgItem(CSetupAmpReportDlg::kDriveCombo))->GetCurSel(), 1);
        EXPECT_FALSE(d->IsDlgButtonChecked(CSetupAmpReportDlg::kViewCheck));
        Screenshot(d, "report_dialog");
        kvtest::QueueFileDialogAnswer("");
        kvtest::Click(d->GetDlgItem(IDOK));
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(Setting("AMP REPORT", "ReportAmp"), "2");

    kvtest::OnNextModal([&](CWnd* d) {
        kvtest::Click(d->GetDlgItem(CSetupAmpReportDlg::kViewCheck));
        kvtest::QueueFileDialogAnswer(m_home.File("r.txt").c_str());
        kvtest::Click(d->GetDlgItem(IDOK));
    });
    ASSERT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.m_path, m_home.File("r.txt").c_str());
    EXPECT_EQ(dialog.m_viewInNotepad, 1);
    EXPECT_EQ(dialog.m_driveName, "Tavro/B");
    EXPECT_EQ(Setting("AMP REPORT", "ReportAmp"), "2");
}

TEST_F(BackupDialogsTest, EditorTransferDialogByMode)
{
    struct ModeCase {
        int mode;
        const char* title;
        bool clearShown;
        UINT helpId;
    };
    const ModeCase cases[] = {{0, "Download Drive Configuration to Editor", true, 63778},
                              {1, "Upload Editor to Drive", false, 63778},
                              {2, "Create Drive Report", true, 63777}};
    for (const ModeCase& c : cases) {
        SCOPED_TRACE(c.mode);
        WritePrivateProfileString("AMP BACKUP", "BackupAmp", c.mode == 1 ? "7" : "2", m_settings);
        CSetupAmpToEditorTransferDlg dialog(c.mode, m_settings);
        dialog.m_drives = m_drives;
        kvtest::OnNextModal([&](CWnd* d) {
            EXPECT_EQ(Title(d), c.title);
            EXPECT_EQ(d->GetDlgItem(CSetupAmpToEditorTransferDlg::kClearCheck)->IsWindowVisible() != FALSE,
                      c.clearShown);
            EXPECT_TRUE(d->IsDlgButtonChecked(CSetupAmpToEditorTransferDlg::kClearCheck));
            if (c.mode == 0) {
                Screenshot(d, "editor_transfer_dialog");
                kvtest::Click(d->GetDlgItem(CSetupAmpToEditorTransferDlg::kClearCheck));
            }
            kvtest::Click(d->GetDlgItem(IDOK));
        });
        ASSERT_EQ(dialog.DoModal(), IDOK);
        EXPECT_EQ(dialog.m_helpId, c.helpId);
        EXPECT_EQ(dialog.m_clearEditor, c.mode == 0 ? 0 : 1);
        // A remembered drive that is not connected selects nothing.
        EXPECT_EQ(dialog.m_drive, c.mode == 1 ? -1 : 2);
        EXPECT_EQ(Setting("AMP BACKUP", "BackupAmp"), c.mode == 1 ? "-1" : "2");
    }
}

namespace {

class WindowHost : public CAmpBackupToolWindowHost {
public:
    void ShowLog(const char*, const char*) override {}
    void SetStatusText(const char*) override {}
    void SetOperationRunning(int) override {}
    void OpenInNotepad(const char*) override {}
    void RestartWindowQueries() override {}
    int IsScopeVisible() override { return 0; }
    void StopScope() override {}
    void RestartScopeMonitoring() override {}
    CGlobalParameterTable* GetParameterTable() override { return nullptr; }
    void RestartStopwatch() override {}
    CString GetProgramFolder() override { return "/opt/korvane/"; }
};

}  // namespace

TEST_F(BackupDialogsTest, ProgressWindowShowsTheRunAndTakesCancel)
{
    auto Title = [](CWnd* window) {
        CString text;
        window->GetWindowText(text);
        return text;
    };
    WindowHost host;
    host.OpenProgress("Backup Drive Settings", "Backing-up drive \"Kreln\" settings to file \"a.bk\".");
    host.SetProgress(42.4);
    CModelessMsgDlg& window = host.GetProgressWindow();
    ASSERT_TRUE(window.IsWindowVisible());
    EXPECT_EQ(Title(&window), "Backup Drive Settings");
    Screenshot(&window, "backup_progress");
    EXPECT_EQ(host.IsProgressCancelled(), 0);
    kvtest::Click(window.GetDlgItem(IDCANCEL));
    EXPECT_EQ(host.IsProgressCancelled(), 1);
    host.CloseProgress();
    host.OpenProgress("Restoring Drive Settings", "again");
    EXPECT_EQ(host.IsProgressCancelled(), 0);
    host.CloseProgress();
    EXPECT_FALSE(window.GetSafeHwnd());
}
