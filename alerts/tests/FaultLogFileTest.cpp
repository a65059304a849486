#include <gtest/gtest.h>

#include <sys/stat.h>

#include "AlertsTestSupport.h"
#include "platform/core/IniFile.h"
#include "testing/TempDir.h"

namespace {

struct LogFileTest : ::testing::Test, AlertsFixture {
    std::string Settings() const { return home.File("kvsettings.ini"); }
    void Write(const char* key, const char* value) const
    {
        WritePrivateProfileString("FAULT MANAGER", key, value, Settings().c_str());
    }
    std::string Read(const char* key) const
    {
        char buffer[1000] = {};
        GetPrivateProfileString("FAULT MANAGER", key, "<missing>", buffer, sizeof buffer, Settings().c_str());
        return buffer;
    }
    std::vector<std::string> Keys()
    {
        std::vector<std::string> keys;
        for (const CString& key : manager.GetSuppressedKeys())
            keys.push_back(std::string(key));
        return keys;
    }
    void LogTo(const std::string& path, int deleteAtStartup)
    {
        manager.m_enableFaultFileLogging = 1;
        manager.m_faultLogFilePath = path.c_str();
        manager.m_deleteLogFileAtStartup = deleteAtStartup;
        ASSERT_EQ(manager.OpenLogFile(), 1);
    }

    TempDir home;
};

}  // namespace

TEST_F(LogFileTest, EachProcessedAlertIsOneLine)
{
    const std::string path = home.File("AlertLog.csv");
    LogTo(path, 1);
    Post("K", 3, 0, "Drive said \"stop\"");
    Post("M", 1, 0, "Just so you know");
    Post("U", 9, 0, "odd");
    manager.ProcessPendingFaults();
    EXPECT_EQ(home.Read("AlertLog.csv"),
              "12:34:56.789, \"Drive said \"\"stop\"\"\", \"Alert\"\r\n"
              "12:34:56.789, \"Just so you know\", \"Message\"\r\n"
              "12:34:56.789, \"odd\", \"<Unknown level>\"\r\n");
}

TEST_F(LogFileTest, OpeningEmptiesOrAppendsAsSet)
{
    home.Write("log.csv", "old line\r\n");
    LogTo(home.File("log.csv"), 0);
    Post("K", 2, 0, "appended");
    manager.ProcessPendingFaults();
    EXPECT_EQ(home.Read("log.csv"), "old line\r\n12:34:56.789, \"appended\", \"Warning\"\r\n");
    LogTo(home.File("log.csv"), 1);
    EXPECT_EQ(home.Read("log.csv"), "");
}

TEST_F(LogFileTest, AFileThatCannotBeOpenedRaisesItsOwnPopupAlert)
{
    for (const std::string& path : {std::string(), home.File("no/such/folder/log.csv")}) {
        manager.m_faultLogFilePath = path.c_str();
        EXPECT_EQ(manager.OpenLogFile(), 0) << path;
        EXPECT_FALSE(manager.IsLogFileOpen());
        popups.clear();
        manager.ProcessPendingFaults();
        ASSERT_EQ(popups.size(), 1u) << path;
        EXPECT_EQ(popups[0].text, "Could not open alert log file");
        EXPECT_EQ(popups[0].level, 2);
        ASSERT_NE(manager.GetSummary().Find("OPEN_FAULT_LOG_FILE"), nullptr);
        manager.ClearAll();
    }
    EXPECT_EQ(manager.LogFault(CFaultItem()), 0);
}

TEST_F(LogFileTest, TheSizeWarningComesOnceWhenTheFilePassesTheLimit)
{
    home.Write("big.csv", std::string(1000001, 'x'));
    LogTo(home.File("big.csv"), 0);
    manager.m_enableLogFileSizeWarning = 1;
    manager.m_maxLogFileSizeMB = 1;
    Post("K", 2, 0);
    Post("K", 2, 0);
    manager.ProcessPendingFaults();
    LogTo(home.File("big.csv"), 0);  // reopening does not warn again
    Post("K", 2, 0);
    manager.ProcessPendingFaults();
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0], "WARNING: Alert log file has exceeded 1MB.");
}

TEST_F(LogFileTest, LargeLimitsDoNotWrapAround)
{
    // 4295 MB is past 32 bits: wrapped, it would be 32 704 bytes.
    home.Write("log.csv", std::string(40000, 'x'));
    LogTo(home.File("log.csv"), 0);
    manager.m_enableLogFileSizeWarning = 1;
    manager.m_maxLogFileSizeMB = 4295;
    Post("K", 2, 0);
    manager.ProcessPendingFaults();
    EXPECT_TRUE(host.boxes.empty());
}

TEST_F(LogFileTest, SettingsReadDefaultsAndWriteBack)
{
    manager.LoadSettings(Settings().c_str());
    EXPECT_EQ(manager.m_maxDisplayFaults, 100);
    EXPECT_EQ(manager.m_enableFaultFileLogging, 0);
    EXPECT_EQ(manager.m_maxLogFileSizeMB, 100);
    Write("MaxDisplayFaults", "25");
    Write("FaultLogFilePath", "/tmp/alerts.csv");
    Write("EnableLogFileSizeWarning", "1");
    manager.LoadSettings(Settings().c_str());
    EXPECT_EQ(manager.m_maxDisplayFaults, 25);
    EXPECT_EQ(std::string(manager.m_faultLogFilePath), "/tmp/alerts.csv");
    EXPECT_EQ(manager.m_enableLogFileSizeWarning, 1);

    manager.m_colorCodeFaults = 0;
    manager.m_maxLogFileSizeMB = 7;
    EXPECT_TRUE(manager.SaveSettings(Settings().c_str()));
    CFaultManager other;
    other.LoadSettings(Settings().c_str());
    EXPECT_EQ(other.m_colorCodeFaults, 0);
    EXPECT_EQ(other.m_maxLogFileSizeMB, 7);
    EXPECT_EQ(other.m_maxDisplayFaults, 25);
    EXPECT_EQ(std::string(other.m_faultLogFilePath), "/tmp/alerts.csv");
}

TEST_F(LogFileTest, SuppressedKeysAreReadFromTheirBarList)
{
    struct Case {
        const char* stored;  // null: the key is missing
        std::vector<std::string> keys;
    };
    const Case cases[] = {
        {"A|B|", {"A", "B"}},
        {"A||B", {"A", "B"}},
        {"|A|", {"A"}},
        {nullptr, {"NONE"}},
    };
    for (const Case& c : cases) {
        if (c.stored)
            Write("SuppressedFaults", c.stored);
        else
            WritePrivateProfileString("FAULT MANAGER", "SuppressedFaults", nullptr, Settings().c_str());
        EXPECT_EQ(manager.LoadSuppressedFaults(Settings().c_str()), 1);
        EXPECT_EQ(Keys(), c.keys) << (c.stored ? c.stored : "<missing>");
    }
}

TEST_F(LogFileTest, SuppressedKeysOutliveTheirRunAndAnOpenOfTheLink)
{
    Write("SuppressedFaults", "OLD|");
    manager.LoadSuppressedFaults(Settings().c_str());
    popupAnswer = 1;
    Post("NEW", 3, kFaultPopup);
    manager.ProcessPendingFaults();
    manager.ClearAll();  // communications opened again
    ASSERT_TRUE(manager.SaveSuppressedFaults(Settings().c_str()));
    EXPECT_EQ(Read("SuppressedFaults"), "OLD|NEW|") << "OLD never came this run; NEW came before the open";

    popups.clear();
    Post("NEW", 3, kFaultPopup);
    manager.ProcessPendingFaults();
    EXPECT_TRUE(popups.empty()) << "still suppressed after the open";

    manager.ResetSuppressed();
    manager.SaveSuppressedFaults(Settings().c_str());
    EXPECT_EQ(Read("SuppressedFaults"), "");

    // The placeholder of a missing list is never written back as a key.
    WritePrivateProfileString("FAULT MANAGER", "SuppressedFaults", nullptr, Settings().c_str());
    manager.LoadSuppressedFaults(Settings().c_str());
    manager.SaveSuppressedFaults(Settings().c_str());
    EXPECT_EQ(Read("SuppressedFaults"), "");
}
