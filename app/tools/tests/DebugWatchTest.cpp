// The debug watch window fed by writer threads while it is shown and hidden,
// and its log file.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

#include "app/AppPaths.h"
#include "app/tests/AppTestFixture.h"
#include "app/tools/DebugWatchWindowDlg.h"
#include "platform/ui/UserInput.h"
#include "testing/TempDir.h"
#include "testing/WindowShot.h"

namespace {
std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

int CountOf(const std::string& text, const std::string& part)
{
    int count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size()))
        ++count;
    return count;
}

class DebugWatchTest : public ::testing::Test {
protected:
    std::string LogPath() const { return m_dir.path() + "/DWWLog.txt"; }
    TempDir m_dir;
    CDebugWatchWindowDlg m_watch;
};
}  // namespace

TEST_F(DebugWatchTest, NothingIsLoggedBeforeTheFirstShowAndEveryLineAfter)
{
    ASSERT_TRUE(m_watch.OpenLogFile(LogPath().c_str()));
    EXPECT_TRUE(m_watch.OpenLogFile("/nonexistent/folder/other.txt")) << "a second open changes nothing";
    m_watch.AddMessage("too early");
    EXPECT_EQ("", m_watch.GetPendingMessages());
    EXPECT_EQ("", ReadFile(LogPath()));

    m_watch.Show(nullptr, 1);
    m_watch.Show(nullptr, 0);  // hidden, the logging goes on
    m_watch.AddMessage("first");
    m_watch.AddMessage("second\r\n");
    EXPECT_EQ("first\r\nsecond\r\n", ReadFile(LogPath())) << "one CR LF a line, flushed at once";
    m_watch.Show(nullptr, 1);
    m_watch.Refresh();
    CString shown = m_watch.GetMessagesText();
    EXPECT_GE(shown.Find("first"), 0);
    EXPECT_GE(shown.Find("second"), 0);
    EXPECT_LT(shown.Find("too early"), 0);
}

TEST_F(DebugWatchTest, RowsInFirstUseOrderSharedByValuesAndStopwatches)
{
    m_watch.Show(nullptr, 1);
    EXPECT_EQ(0.0, m_watch.ReadTimer("unknown"));
    m_watch.SetWatchValue("B value", 2.5);
    EXPECT_LT(m_watch.LapTimer("A lap"), 0.5) << "a new stopwatch reads about zero";
    m_watch.SetWatchValue("A lap", 7.0);
    m_watch.StartTimer("C timer");
    EXPECT_GE(m_watch.ReadTimer("C timer"), 0.0);
    m_watch.Refresh();
    ASSERT_EQ(3, m_watch.GetRowCount()) << "ReadTimer of an unknown name makes no row";
    EXPECT_EQ("B value", m_watch.GetRowName(0));
    EXPECT_EQ("2.500000", m_watch.GetRowValue(0));
    EXPECT_EQ("A lap", m_watch.GetRowName(1));
    EXPECT_EQ("7.000000", m_watch.GetRowValue(1));
    EXPECT_EQ("C timer", m_watch.GetRowName(2));
    Screenshot(&m_watch, "debug-watch");
}

TEST_F(DebugWatchTest, WriterThreadsWhileShownAndHidden)
{
    ASSERT_TRUE(m_watch.OpenLogFile(LogPath().c_str()));
    m_watch.Show(nullptr, 1);
    constexpr int kThreads = 4;
    constexpr int kLines = 1500;
    std::vector<std::thread> writers;
    for (int t = 0; t < kThreads; ++t)
        writers.emplace_back([this, t] {
            CString name;
            name.Format("thread %d", t);
            for (int i = 0; i < kLines; ++i) {
                m_watch.SetWatchValue(name, i);
                m_watch.LapTimer("shared lap");
                CString line;
                line.Format("t%d line %d", t, i);
                m_watch.AddMessage(line);
            }
        });
    // The GUI thread drains, hides and shows again while they write.
    for (int round = 0; round < 20; ++round) {
        m_watch.Refresh();
        m_watch.Show(nullptr, round % 2);
    }
    for (std::thread& writer : writers)
        writer.join();
    m_watch.Show(nullptr, 1);
    m_watch.Refresh();

    const std::string log = ReadFile(LogPath());
    EXPECT_EQ(kThreads * kLines, CountOf(log, "\r\n")) << "every line reaches the file";
    EXPECT_EQ(0, CountOf(log, "\r\r\n"));
    EXPECT_EQ(kThreads + 1, m_watch.GetRowCount());
    for (int row = 0; row < kThreads + 1; ++row)
        if (m_watch.GetRowName(row) != "shared lap") {
            EXPECT_EQ(CString("1499.000000"), m_watch.GetRowValue(row)) << row;
        }
    const int shown = CountOf(std::string(m_watch.GetMessagesText().GetString()), "line");
    EXPECT_LE(shown, 2000 + 1334) << "the view and the hidden buffer are both trimmed";
}

TEST_F(DebugWatchTest, ViewKeepsTheLast1334LinesOncePast2000)
{
    m_watch.Show(nullptr, 1);
    m_watch.Show(nullptr, 0);
    for (int i = 0; i < 2001; ++i) {
        CString line;
        line.Format("line %d", i);
        m_watch.AddMessage(line);
    }
    const CString pending = m_watch.GetPendingMessages();
    EXPECT_EQ(1334, CountOf(std::string(pending.GetString()), "\r\n")) << "a hidden window's buffer is trimmed too";
    EXPECT_EQ(0, pending.Find("line 667\r\n"));

    m_watch.Show(nullptr, 1);
    for (int i = 0; i < 2100; ++i) {
        CString line;
        line.Format("more %d", i);
        m_watch.AddMessage(line);
        if (i % 700 == 0)
            m_watch.Refresh();
    }
    m_watch.Refresh();
    m_watch.Refresh();
    const CString shown = m_watch.GetMessagesText();
    const int lines = CountOf(std::string(shown.GetString()), "more ");
    EXPECT_LE(lines, 2000);
    EXPECT_GE(shown.Find("more 2099"), 0);
}

// The program's own: "DWWLog.txt" in the data folder, and the Debug menu's command.
class DebugWatchAppTest : public AppFixture {};

TEST_F(DebugWatchAppTest, GeneralDebugWindowCommandShowsAndHidesAndTheLogFollows)
{
    ASSERT_TRUE(Start());
    const std::string log = std::string(AfxGetAppPaths().dataFolder.GetString()) + "/DWWLog.txt";
    m_app->AddDebugMessage("before the window");
    EXPECT_EQ("", ReadFile(log)) << "opened at start-up, written only once shown";

    Frame()->SendMessage(WM_COMMAND, 32891);
    CDebugWatchWindowDlg& watch = m_app->GetDebugWatch();
    EXPECT_TRUE(watch.IsShown());
    m_app->AddDebugMessage("after the window");
    m_app->SetWatchValue("ComMngr QSize", 3);
    EXPECT_EQ("after the window\r\n", ReadFile(log));
    EXPECT_TRUE(Wait([&] { return watch.GetRowCount() > 0 && watch.GetMessagesText().Find("after the window") >= 0; }));
    Frame()->SendMessage(WM_COMMAND, 32891);
    EXPECT_FALSE(watch.IsShown());
}
