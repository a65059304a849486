// Whole runs on a drive whose registers sit in a map: output files, errors,
// cancelling, refused starts, restores and the editor transfers.
#include <gtest/gtest.h>

#include <filesystem>

#include "backup/tests/BackupTestSupport.h"

namespace {

const char* const kTemplate =
    "; a backup of the test drive\n"
    "!LOG:; Drive settings\n"
    "!LOG:TLP {TLP}\n"
    "!LOG:acc {ACC}\n";

class BackupRunTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CDistManager::Install(&m_dist);
        m_drive.SetIdentity();
        m_drive.Set("TLP", 100);
        m_drive.Set("ACC", -250);
        m_engine.SetPauses(0);
        m_host.m_programFolder = (m_home.path() + "/").c_str();
        std::filesystem::create_directories(m_home.File("Backup Templates"));
        std::filesystem::create_directories(m_home.File("Report Templates"));
        m_home.Write("Backup Templates/CDBU_21.dat", kTemplate);
        m_home.Write("Report Templates/RPT_21.dat", "!LOG:Report for {TLP}\n");
    }
    void TearDown() override { CDistManager::Install(nullptr); }

    // The lines of a written backup after its dated header.
    std::string Body(const std::string& path)
    {
        const std::string text = ReadFileText(path);
        const size_t end = text.find("\r\n");
        EXPECT_EQ(text.rfind("; KORVANE BACKUP FILE - ", 0), 0u) << text;
        return end == std::string::npos ? text : text.substr(end + 2);
    }
    bool TempFilesLeft()
    {
        for (const auto& entry : std::filesystem::directory_iterator(m_home.path())) {
            if (entry.path().filename().string().find(".kvpart") != std::string::npos)
                return true;
        }
        return false;
    }

    TempDir m_home;
    FakeDriveLink m_drive;
    CDistManager m_dist{&m_drive};
    FakeHost m_host;
    CAmpBackupTool m_engine{&m_host};
};

}  // namespace

TEST_F(BackupRunTest, BackupThroughTheDialogWritesUpperCaseWithHeader)
{
    m_host.m_choice = {1, "Axis 1", m_home.File("axis.bk").c_str(), 0};
    m_host.m_scopeVisible = 1;
    m_drive.m_delayMs = 5;  // long enough for the timer to see the run
    ASSERT_EQ(m_engine.BackupDrive(), 1);
    EXPECT_EQ(m_host.m_lastHelpId, -1761);
    EXPECT_EQ(m_host.m_running, 1);
    EXPECT_EQ(m_host.m_scopeStops, 1);
    ASSERT_TRUE(RunToEnd(m_engine));
    EXPECT_EQ(Body(m_home.File("axis.bk")), "; DRIVE SETTINGS\r\nTLP 100\r\nACC -250\r\n");
    EXPECT_EQ(m_host.m_boxes, std::vector<CString>{"Backup successfully created."});
    EXPECT_EQ(m_host.m_running, 0);
    EXPECT_EQ(m_host.m_scopeRestarts, 1);
    EXPECT_EQ(m_host.m_queryRestarts, 1);
    EXPECT_EQ(m_host.m_progressTitle, "Backup Drive Settings");
    EXPECT_EQ(m_host.m_progressText, "Backing-up drive \"Axis 1\" settings to file \"axis.bk\".");
    EXPECT_EQ(m_host.m_progressClosed, 1);
    EXPECT_DOUBLE_EQ(m_engine.GetProgressPercent(), 100.0);
    for (double percent : m_host.m_percents) {
        EXPECT_GE(percent, 0.0);
        EXPECT_LE(percent, 100.0);
    }
    EXPECT_FALSE(TempFilesLeft());
}

TEST_F(BackupRunTest, ReportKeepsCaseHasNoHeaderAndOpensWhenAsked)
{
    m_host.m_choice = {1, "Axis 1", m_home.File("report.txt").c_str(), 1};
    ASSERT_EQ(m_engine.CreateDriveReport(), 1);
    EXPECT_EQ(m_host.m_reportFlagIn, 1);  // the open-when-done flag is the dialog's box
    ASSERT_TRUE(RunToEnd(m_engine));
    EXPECT_EQ(ReadFileText(m_home.File("report.txt")), "Report for 100\r\n");
    EXPECT_EQ(m_host.m_notepad, std::vector<CString>{m_home.File("report.txt").c_str()});
    EXPECT_TRUE(m_host.m_boxes.empty());
}

TEST_F(BackupRunTest, FailingLinesAreMarkedAndTheFileIsRenamed)
{
    m_home.Write("Backup Templates/CDBU_21.dat", "!LOG:TLP {TLP}\n!LOG:XYZ {XYZ}\n!LOG:ACC {ACC}\n");
    m_home.Write("axis.bk", "old backup\n");
    m_host.m_answers = {IDYES};

    m_engine.SetTemplateFile(m_home.File("Backup Templates/CDBU_21.dat").c_str());
    ASSERT_EQ(m_engine.BackupToFile(1, m_home.File("axis.bk").c_str(), 0, ""), 1);
    ASSERT_TRUE(RunToEnd(m_engine));
    EXPECT_EQ(Body(m_home.File("axis - CONTAINS ERRORS.bk")),
              "TLP 100\r\n;*** ERROR IN LINE 2 OF TEMPLATE FILE \"CDBU_21.DAT\": SYNTAX ERROR IN EXPRESSION.\r\nACC -250\r\n");
    EXPECT_EQ(ReadFileText(m_home.File("axis.bk")), "old backup\n");
    EXPECT_EQ(m_host.m_boxes, std::vector<CString>{"Backup completed with errors.  View error log?"});
    EXPECT_EQ(m_host.m_logTitle, "Backup Errors");
    EXPECT_EQ(m_host.m_logText,
              "Error log for backup template file \"CDBU_21.dat\":\r\n\r\n"
              "ERROR in line 2 of template file \"CDBU_21.dat\": Invalid command \"XYZ\".\r\n"
              "ERROR in line 2 of template file \"CDBU_21.dat\": Syntax error in expression.\r\n");

    // Restoring that file skips the marked line and sets the rest.
    m_drive.Set("TLP", 1);
    m_drive.Set("ACC", 2);
    m_host.m_boxes.clear();
    ASSERT_EQ(m_engine.RestoreFromFile(1, "Axis 1", m_home.File("axis - CONTAINS ERRORS.bk").c_str(), 0, ""), 1);
    ASSERT_TRUE(RunToEnd(m_engine));
    EXPECT_EQ(m_drive.Get("TLP"), 100);
    EXPECT_EQ(m_drive.Get("ACC"), -250);
    EXPECT_EQ(m_host.m_boxes, std::vector<CString>{"Backup successfully restored."});
}

TEST_F(BackupRunTest, FatalErrorsFailTheRunAndLeaveTheOldFile)
{
    struct FatalCase {
        const char* name;
        std::function<void()> arrange;
        std::string output;
        const char* expectedLog;
    };
    const std::string target = m_home.File("axis.bk");
    const std::string tmpl = m_home.File("Backup Templates/CDBU_21.dat");
    const FatalCase cases[] = {
        {"missing template", [&] { m_engine.SetTemplateFile(m_home.File("none.dat").c_str()); }, target,
         "ERROR: Cannot open backup template file \"none.dat\".\r\n"},
        {"unwritable output", [&] { m_engine.SetTemplateFile(tmpl.c_str()); }, m_home.File("no/such/folder/x.bk"),
         nullptr},
        {"drive error 512",
         [&] {
             m_engine.SetTemplateFile(tmpl.c_str());
             m_drive.Set("ACC", 0, 4, 512);
         },
         target, "ERROR in line 4 of template file \"CDBU_21.dat\": Timed-out waiting for response \"ACC\".\r\n"},
        {"no drive", [&] { m_drive.Set("VER", 0, 4, 36); }, target, "ERROR: Communications fault.\r\n"},
    };
    for (const FatalCase& c : cases) {
        SCOPED_TRACE(c.name);
        m_home.Write("axis.bk", "old backup\n");
        m_drive.SetIdentity();
        m_drive.Set("ACC", -250);
        m_host.m_boxes.clear();
        c.arrange();
        ASSERT_EQ(m_engine.BackupToFile(1, c.output.c_str(), 0, ""), 1);
        ASSERT_TRUE(RunToEnd(m_engine));
        ASSERT_EQ(m_host.m_boxes.size(), 1u);
        const std::string box = m_host.m_boxes[0].GetString();
        EXPECT_EQ(box.rfind("Backup FAILED on Error log", 0) == 0 || box.rfind("Backup FAILED on ERROR", 0) == 0, true)
            << box;
        if (c.expectedLog)
            EXPECT_NE(box.find(c.expectedLog), std::string::npos) << box;
        else
            EXPECT_NE(box.find("Cannot open backup file \"" + c.output + "\""), std::string::npos) << box;
        EXPECT_EQ(ReadFileText(target), "old backup\n");
        EXPECT_FALSE(std::filesystem::exists(m_home.File("axis - CONTAINS ERRORS.bk")));
        EXPECT_FALSE(TempFilesLeft());
    }
}

TEST_F(BackupRunTest, CancelLeavesTheOldFileAndSecondStartsAreRefused)
{
    std::string text;
    for (int i = 0; i < 400; ++i)
        text += "!LOG:TLP {TLP} ACC {ACC}\n";
    m_home.Write("long.dat", text);

    // An undisturbed run first, to compare with.
    m_engine.SetTemplateFile(m_home.File("long.dat").c_str());
    ASSERT_EQ(m_engine.BackupToFile(1, m_home.File("calm.bk").c_str(), 1, ""), 1);
    ASSERT_TRUE(RunToEnd(m_engine));

    m_drive.m_delayMs = 1;
    m_engine.SetTemplateFile(m_home.File("long.dat").c_str());
    ASSERT_EQ(m_engine.BackupToFile(1, m_home.File("busy.bk").c_str(), 1, ""), 1);
    ASSERT_TRUE(WaitFor([&] {
        m_engine.UpdateStatus();
        return m_engine.GetProgressPercent() > 5;
    }));
    CString expanded;
    m_home.Write("other.bk", "TLP 1\n");
    EXPECT_EQ(m_engine.BackupToFile(2, m_home.File("other.bk").c_str(), 1, ""), 0);
    EXPECT_EQ(m_engine.RestoreFromFile(2, "x", m_home.File("other.bk").c_str(), 1, ""), 0);
    EXPECT_EQ(m_engine.RunTemplate(2, m_home.File("other.bk").c_str()), 0);
    EXPECT_EQ(m_engine.ExpandText("{1+1}", expanded, 0, 1), 0);
    m_host.m_choice = {2, "Other", m_home.File("other2.bk").c_str(), 0};
    EXPECT_EQ(m_engine.BackupDrive(), 0);
    EXPECT_TRUE(m_host.m_dialogs.empty());  // refused before its dialog
    ASSERT_TRUE(RunToEnd(m_engine));
    EXPECT_EQ(Body(m_home.File("busy.bk")), Body(m_home.File("calm.bk")));
    EXPECT_EQ(ReadFileText(m_home.File("other.bk")), "TLP 1\n");
    EXPECT_EQ(m_drive.Get("TLP"), 100);

    // Cancel half-way: the file that was there stays.
    m_home.Write("busy.bk", "old backup\n");
    m_engine.SetTemplateFile(m_home.File("long.dat").c_str());
    ASSERT_EQ(m_engine.BackupToFile(1, m_home.File("busy.bk").c_str(), 0, ""), 1);
    ASSERT_TRUE(WaitFor([&] {
        m_engine.UpdateStatus();
        return m_engine.GetProgressPercent() > 5;
    }));
    m_host.m_boxes.clear();
    m_host.m_cancelPressed = 1;
    ASSERT_TRUE(RunToEnd(m_engine));
    EXPECT_LT(m_engine.GetProgressPercent(), 100.0);
    EXPECT_EQ(ReadFileText(m_home.File("busy.bk")), "old backup\n");
    EXPECT_EQ(m_host.m_boxes, std::vector<CString>{"Backup cancelled."});
    EXPECT_FALSE(TempFilesLeft());
}

TEST_F(BackupRunTest, RunTemplateWritesAndShowsNothing)
{
    m_home.Write("rows.dat", "!LOG:{TLP}\n!EXTPROC:x\n");
    const int entries = m_home.CountEntries();
    ASSERT_EQ(m_engine.RunTemplate(1, m_home.File("rows.dat").c_str()), 1);
    ASSERT_TRUE(RunToEnd(m_engine));
    EXPECT_TRUE(m_host.m_boxes.empty());
    EXPECT_EQ(m_home.CountEntries(), entries);
}

TEST_F(BackupRunTest, RestoreStartsClean)
{
    m_home.Write("flags.dat", "!UNSIGNED\n!DIGITS:3\n!LOG:x\n");
    m_engine.SetTemplateFile(m_home.File("flags.dat").c_str());
    ASSERT_EQ(m_engine.BackupToFile(1, m_home.File("a.bk").c_str(), 1, ""), 1);
    ASSERT_TRUE(RunToEnd(m_engine));

    // The restored drive has other firmware than the one backed up last.
    m_drive.Set("VER", 300);
    m_drive.Set("MDL", 0xFFFF, 2);
    m_home.Write("r.bk", "!IF (FW=3.00)\nACC 5\n!ENDIF\n!IF (FW=2.10)\nACC 6\n!ENDIF\n#define V {MDL}\nTLP V\n"
                         "*** ERROR here\n;*** ERROR IN LINE 2\n");
    ASSERT_EQ(m_engine.RestoreFromFile(1, "Axis 1", m_home.File("r.bk").c_str(), 1, ""), 1);
    ASSERT_TRUE(RunToEnd(m_engine));
    EXPECT_EQ(m_drive.Get("ACC"), 5);
    EXPECT_EQ(m_drive.Get("TLP"), -1);  // signed again, no decimals
    EXPECT_EQ(m_engine.GetErrorLog(), "Error log for restoring file \"r.bk\":\r\n\r\n"
                                      "ERROR in line 9 of backup file \"r.bk\": Encountered error from previous backup.\r\n");
}

// A restore never sends part of a line: a line cut by a NUL byte or too long
// is refused with its number, and the lines around it still go.
TEST_F(BackupRunTest, RestoreRefusesLinesItCannotReadWhole)
{
    m_home.Write("cut.bk", std::string("ACC 5\0" "00\n", 9) + "TLP 7\nACC 6" + std::string(1000, '0') + "\n");
    ASSERT_EQ(m_engine.RestoreFromFile(1, "Axis 1", m_home.File("cut.bk").c_str(), 1, ""), 1);
    ASSERT_TRUE(RunToEnd(m_engine));
    EXPECT_EQ(m_drive.Get("ACC"), -250);
    EXPECT_EQ(m_drive.Get("TLP"), 7);
    EXPECT_EQ(m_engine.GetErrorLog(), "Error log for restoring file \"cut.bk\":\r\n\r\n"
                                      "ERROR in line 1 of backup file \"cut.bk\": Line holds a NUL byte.\r\n"
                                      "ERROR in line 3 of backup file \"cut.bk\": Line longer than 999 characters.\r\n");
}

TEST_F(BackupRunTest, EditorTransfers)
{
    FakeEditor editor;
    editor.m_text = "old text\n";
    m_host.m_choice = {1, "Axis 1", "", 1};
    ASSERT_EQ(m_engine.DownloadToEditor(&editor), 1);
    EXPECT_EQ(editor.m_busy, 1);
    ASSERT_TRUE(RunToEnd(m_engine));
    EXPECT_EQ(editor.m_busy, 0);
    EXPECT_EQ(editor.m_text.find("old text"), std::string::npos);
    EXPECT_NE(editor.m_text.find("TLP 100\r\nACC -250\r\n"), std::string::npos) << editor.m_text;
    EXPECT_FALSE(std::filesystem::exists(m_engine.GetEditorExchangeFile().GetString()));
    EXPECT_EQ(m_host.m_boxes, std::vector<CString>{"Drive configuration successfully downloaded to editor."});

    // A report appended to what is there.
    m_host.m_choice.flag = 0;
    ASSERT_EQ(m_engine.ReportToEditor(&editor), 1);
    ASSERT_TRUE(RunToEnd(m_engine));
    EXPECT_NE(editor.m_text.find("ACC -250\r\nReport for 100\r\n"), std::string::npos) << editor.m_text;

    // Upload: the editor's text goes to the drive.
    editor.m_text = "TLP 42\r\nACC 43\r\n";
    m_host.m_boxes.clear();
    ASSERT_EQ(m_engine.UploadFromEditor(&editor), 1);
    EXPECT_EQ(m_host.m_stopwatchRestarts, 1);
    ASSERT_TRUE(RunToEnd(m_engine));
    EXPECT_EQ(m_drive.Get("TLP"), 42);
    EXPECT_EQ(m_drive.Get("ACC"), 43);
    EXPECT_EQ(editor.m_busy, 0);
    EXPECT_EQ(m_host.m_boxes, std::vector<CString>{"Editor successfully uploaded to drive"});

    // An upload error names the editor's line.
    editor.m_text = "TLP 1\r\nXYZ 2\r\n";
    m_host.m_boxes.clear();
    ASSERT_EQ(m_engine.UploadFromEditor(&editor), 1);
    ASSERT_TRUE(RunToEnd(m_engine));
    EXPECT_EQ(m_engine.GetErrorLog(), "Error log for uploading editor to drive:\r\n\r\n"
                                      "ERROR in line 2 of editor: Invalid command \"XYZ 2\".\r\n");

    // A cancelled dialog starts nothing and leaves the editor alone.
    m_host.m_dialogAnswer = IDCANCEL;
    EXPECT_EQ(m_engine.DownloadToEditor(&editor), 0);
    EXPECT_EQ(editor.m_busy, 0);
}

TEST_F(BackupRunTest, TextsAndFolders)
{
    EXPECT_EQ(m_engine.GetTemplateFolder(1), CString((m_home.path() + "/Backup Templates").c_str()));
    EXPECT_EQ(m_engine.GetTemplateFolder(2), CString((m_home.path() + "/Report Templates").c_str()));
    EXPECT_EQ(m_engine.GetTemplateFolder(3), "<ERROR>");
    EXPECT_EQ(m_engine.GetProgressPercent(), 0.0);  // nothing run: a total of 0 bytes
    m_engine.SetUserMacro("OWNER", "Lab 4");
    m_home.Write("m.dat", "!LOG:OWNER\n");
    m_engine.SetTemplateFile(m_home.File("m.dat").c_str());
    ASSERT_EQ(m_engine.StartOperation(1, 1, m_home.File("m.txt").c_str(), "", 1), 1);
    ASSERT_TRUE(RunToEnd(m_engine));
    EXPECT_EQ(ReadFileText(m_home.File("m.txt")), "Lab 4\r\n");
}
