// The engine on the demo link with the program's own templates and the demo
// library's backup.
#include <gtest/gtest.h>

#include <algorithm>

#include "backup/tests/DemoLibraryCommands.h"
#include "backup/tests/DemoLinkFixture.h"
#include "comm/demo/DemoDriveLoader.h"
#include "distribution/parameters/GlobalParameterTable.h"

#include <cmath>

namespace {

class DemoBackupTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_link.m_open);
        m_engine.SetPauses(0);
        m_host.m_programFolder = (SourceResources() + "/").c_str();
    }

    std::string Backup(int drive, const std::string& path)
    {
        EXPECT_EQ(m_engine.StartOperation(0, drive, path.c_str(), m_engine.GetTemplateFolder(1), 1), 1);
        EXPECT_TRUE(RunToEnd(m_engine, std::chrono::seconds(60)));
        EXPECT_EQ(m_engine.GetErrorLog().Find("ERROR in"), -1) << m_engine.GetErrorLog().GetString();
        EXPECT_DOUBLE_EQ(m_engine.GetProgressPercent(), 100.0);
        return ReadFileText(path);
    }

    DemoLink m_link;
    FakeHost m_host;
    CAmpBackupTool m_engine{&m_host};
};

}  // namespace

TEST_F(DemoBackupTest, BackupOfEachDriveHoldsItsRegistersAndRestoresThem)
{
    for (int drive : {1, 2}) {
        SCOPED_TRACE(drive);
        const std::string path = m_link.m_home.File("drive" + std::to_string(drive) + ".bk");
        const std::string text = Backup(drive, path);
        EXPECT_EQ(text.rfind("; KORVANE BACKUP FILE - ", 0), 0u);
        EXPECT_NE(text.find(drive == 1 ? "; KRELN SERIES" : "; TAVRO SERIES"), std::string::npos);
        EXPECT_NE(text.find(drive == 1 ? "; DRIVE FIRMWARE 4.16" : "; DRIVE FIRMWARE 5.10"), std::string::npos);
        const std::string body = text.substr(text.find('\n') + 1);  // the header's date is the locale's
        EXPECT_EQ(std::count_if(body.begin(), body.end(), [](char c) { return c >= 'a' && c <= 'z'; }), 0) << body;
        const auto commands = BackupCommands(text);
        ASSERT_EQ(commands.size(), 158u);
        for (const auto& [mnemonic, value] : commands)
            EXPECT_EQ(value, m_link.Register(drive, mnemonic.c_str())) << mnemonic;

        // Changed on the drive, then restored from the file.
        for (const auto& [mnemonic, value] : commands)
            m_link.Model().SetRegister(drive, MnemonicToCode(mnemonic.c_str()), value + 3, 0);
        ASSERT_EQ(m_engine.RestoreFromFile(drive, "Axis", path.c_str(), 1, ""), 1);
        ASSERT_TRUE(RunToEnd(m_engine, std::chrono::seconds(60)));
        EXPECT_EQ(m_engine.GetErrorLog().Find("ERROR in"), -1) << m_engine.GetErrorLog().GetString();
        for (const auto& [mnemonic, value] : commands)
            EXPECT_EQ(m_link.Register(drive, mnemonic.c_str()), value) << mnemonic;
    }
    EXPECT_TRUE(m_host.m_boxes.empty());
}

TEST_F(DemoBackupTest, ReportKeepsCaseAndReadsTheInclude)
{
    const std::string path = m_link.m_home.File("report.txt");
    ASSERT_EQ(m_engine.StartOperation(1, 2, path.c_str(), m_engine.GetTemplateFolder(2), 1), 1);
    ASSERT_TRUE(RunToEnd(m_engine, std::chrono::seconds(60)));
    EXPECT_EQ(m_engine.GetErrorLog().Find("ERROR in"), -1) << m_engine.GetErrorLog().GetString();
    const std::string text = ReadFileText(path);
    EXPECT_EQ(text.rfind("Drive report - ", 0), 0u) << text;
    EXPECT_NE(text.find("Firmware version      5.10\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Configuration         21\r\n"), std::string::npos);
    EXPECT_NE(text.find("Series                Tavro\r\n"), std::string::npos);
    EXPECT_EQ(text.find("Kreln"), std::string::npos);
    EXPECT_NE(text.find("Torque limit peak     " + std::to_string(m_link.Register(2, "TLP")) + " %"),
              std::string::npos);
}

TEST_F(DemoBackupTest, ConversionParametersAreWaitedForThroughTheDistribution)
{
    CGlobalParameterTable table;
    table.SetDistManager(&m_link.m_dist);
    table.AddDrive(2);
    m_host.m_parameters = &table;
    m_link.m_home.Write("p.dat", "!LOG:{GPD_VER}\n");
    m_engine.SetTemplateFile(m_link.m_home.File("p.dat").c_str());
    const std::string path = m_link.m_home.File("p.txt");
    ASSERT_EQ(m_engine.StartOperation(1, 2, path.c_str(), "", 1), 1);
    ASSERT_TRUE(RunToEnd(m_engine, std::chrono::seconds(30)));
    EXPECT_EQ(m_engine.GetErrorLog().Find("ERROR in"), -1) << m_engine.GetErrorLog().GetString();
    double version = 0;
    ASSERT_TRUE(table.GetParameterValue(2, 19, version));
    EXPECT_EQ(ReadFileText(path), std::to_string(static_cast<long>(std::lround(version))) + "\r\n");
    m_host.m_parameters = nullptr;
    table.RemoveAllDrives();
}

TEST_F(DemoBackupTest, DemoLoaderRestoresTheLibraryBackupIntoBothDrives)
{
    const std::string library = ReadFileText(SourceResources() + "/Demo Library/" + kDemoBackupFileName);
    ASSERT_NE(library, "<missing>");
    const std::vector<DemoDriveRecord> drives = {{0, "Module"}, {1, "Kreln"}, {2, "Tavro"}};
    EXPECT_EQ(LoadDemoDrives(drives, &m_engine, SourceResources().c_str(), [&] { m_engine.UpdateStatus(); }), 1);
    for (int drive : {1, 2}) {
        const DemoLibraryContent content = ReadDemoLibrary(library, drive == 2);
        ASSERT_FALSE(content.commands.empty());
        for (const auto& [mnemonic, value] : content.commands)
            EXPECT_EQ(m_link.Register(drive, mnemonic.c_str()), value) << drive << " " << mnemonic;
        ASSERT_FALSE(content.indexed.empty());
        for (const DemoIndexedEntry& entry : content.indexed) {
            m_link.Model().SetRegister(drive, MnemonicToCode(entry.indexRegister.c_str()), entry.index, 0);
            EXPECT_EQ(m_link.Register(drive, entry.valueRegister.c_str()), entry.value)
                << drive << " " << entry.valueRegister << " " << entry.index;
        }
    }
    EXPECT_NE(m_link.Register(1, "GVS"), m_link.Register(2, "GVS")) << "each kind takes its own section";
    EXPECT_EQ(m_host.m_boxes, std::vector<CString>{"DEMO Communications active."});
    EXPECT_EQ(m_engine.GetOperationStatus(), 0);
    EXPECT_EQ(m_engine.GetErrorLog().Find("ERROR in"), -1) << m_engine.GetErrorLog().GetString();
}
