// The log viewer as a user drives it: Save To File through the save dialog,
// Save To Clipboard, Close.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "app/tools/ShowLogDlg.h"
#include "platform/core/MessageBox.h"
#include "platform/ui/Clipboard.h"
#include "platform/ui/FileDialog.h"
#include "platform/ui/UserInput.h"
#include "resources/ids/ShowLogIds.h"
#include "testing/TempDir.h"
#include "testing/WindowShot.h"

namespace {
class ShowLogTest : public ::testing::Test {
protected:
    void SetUp() override { AfxTakeScriptedMessageLog(); }
    // Shows the log and, inside its modal loop, clicks `button` with the file dialog answering `path`.
    std::vector<CString> Run(const char* text, int button, const char* path, CString* caption = nullptr)
    {
        if (path)
            kvtest::QueueFileDialogAnswer(path);
        kvtest::OnNextModal([=](CWnd* dialog) {
            if (caption)
                dialog->GetWindowText(*caption);
            if (button)
                kvtest::Click(dialog->GetDlgItem(button));
            kvtest::Click(dialog->GetDlgItem(IDOK));
        });
        CShowLogDlg log;
        log.ShowLog("Backup Errors", text);
        std::vector<CString> texts = AfxTakeScriptedMessageLog();
        for (CString& line : texts)
            if (line.Left(7) == "MSGBOX:")
                line = line.Mid(7);
        return texts;
    }
    TempDir m_dir;
};
}  // namespace

TEST_F(ShowLogTest, SavesTheLogAsGivenOneCrLfALine)
{
    struct Case {
        const char* log;
        const char* bytes;
    };
    const Case cases[] = {
        {"line one\nline two\n", "line one\r\nline two\r\n"},
        {"already\r\nCR LF\r\n", "already\r\nCR LF\r\n"},
        {"", ""},
        {"deg \xB0 and \xC3\xA9", "deg \xB0 and \xC3\xA9"},
    };
    for (const Case& c : cases) {
        const std::string path = m_dir.File("ErrorLog.txt");
        CString caption;
        const std::vector<CString> boxes = Run(c.log, IDC_SHOW_LOG_SAVE_FILE, path.c_str(), &caption);
        EXPECT_EQ("Backup Errors", caption);
        ASSERT_EQ(1u, boxes.size()) << c.log;
        EXPECT_EQ("Log successfully saved.", boxes[0]);
        EXPECT_EQ(std::string(c.bytes), m_dir.Read("ErrorLog.txt")) << c.log;
    }
}

TEST_F(ShowLogTest, CancelWritesNothingAndAnUnwritableFolderIsReported)
{
    EXPECT_TRUE(Run("text", IDC_SHOW_LOG_SAVE_FILE, "").empty()) << "cancel shows nothing";

    const std::string locked = m_dir.File("locked");
    ASSERT_EQ(0, mkdir(locked.c_str(), 0500));
    const std::vector<CString> boxes = Run("text", IDC_SHOW_LOG_SAVE_FILE, (locked + "/ErrorLog.txt").c_str());
    ASSERT_EQ(1u, boxes.size());
    if (geteuid() != 0) {
        EXPECT_EQ("ERROR: could not save log to file.", boxes[0]);
    }
    const std::vector<CString> missing = Run("text", IDC_SHOW_LOG_SAVE_FILE, m_dir.File("no/such/ErrorLog.txt").c_str());
    ASSERT_EQ(1u, missing.size());
    EXPECT_EQ("ERROR: could not save log to file.", missing[0]);
}

TEST_F(ShowLogTest, CopiesTheWholeLogToTheClipboard)
{
    const std::vector<CString> boxes = Run("first line\nsecond line", IDC_SHOW_LOG_SAVE_CLIPBOARD, nullptr);
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ("Log saved to clipboard.", boxes[0]);
    CString copied = GetClipboardText();
    copied.Replace("\r\n", "\n");
    EXPECT_EQ("first line\nsecond line", copied);
}

TEST_F(ShowLogTest, Screenshot)
{
    kvtest::OnNextModal([](CWnd* dialog) {
        Screenshot(dialog, "show-log");
        kvtest::Click(dialog->GetDlgItem(IDOK));
    });
    CShowLogDlg log;
    log.ShowLog("Report Errors", "ERROR: drive 1 did not answer VER\nERROR: report template line 12: unknown register \"XYZ\"\n");
}
