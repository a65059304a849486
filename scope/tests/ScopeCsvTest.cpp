#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "DataFileFixture.h"
#include "scope/ScopeCsvExport.h"
#include "scope/ScopeSourceDataList.h"

using namespace scopetest;

namespace {

CDIniFile TwoSourceSettings()
{
    CScopeSourceDataList sources;
    CScopeSourceData* velocity = sources.AddNew();
    velocity->AmpAddr = 1;
    velocity->Command = "CMD_VEL";
    velocity->Description = "Velocity";
    velocity->UnitsCode = 2;
    velocity->Scale = 2.5;
    velocity->Offset = 15.0;
    CScopeSourceData* position = sources.AddNew();
    position->AmpAddr = 1;
    position->Command = "POS";
    position->Description = "Position";
    position->UnitsCode = 0;
    CDIniFile settings;
    sources.Save(settings);
    return settings;
}

std::string WithoutFirstLine(const std::string& text)
{
    return text.substr(text.find('\n') + 1);
}

class CancelAt : public CScopeCsvProgress {
public:
    bool OnCsvProgress(int percent) override
    {
        percents.push_back(percent);
        return false;
    }
    std::vector<int> percents;
};

TEST(ScopeCsv, RowsHoldEachColumnsLatestValueInTimeOrder)
{
    TempDir dir;
    CDIniFile settings = TwoSourceSettings();
    const std::vector<CDataPoint> points = {
        {2, 0, 0.0, 10.0}, {1, 0, 0.0, 1.0}, {1, 0, 0.5, 2.0}, {2, 0, 1.0, 20.0}, {1, 0, 1.0, 3.25},
    };
    Record(dir, points, &settings, dir.File("ScopeData.qsd"));
    CDIniFile fileSettings;
    CDataPointBufferedFileArray buffer;
    ASSERT_TRUE(buffer.OpenForPlayback(dir.File("ScopeData.qsd").c_str(), &fileSettings));
    ASSERT_EQ(CScopeCsvExport::Export(buffer, fileSettings, dir.File("out.csv").c_str(), nullptr),
              CScopeCsvExport::kDone);
    const std::string csv = ReadFile(dir.File("out.csv"));
    EXPECT_EQ(csv.rfind("Recorded Scope Data - ", 0), 0u);
    EXPECT_EQ(WithoutFirstLine(csv),
              "Time (secs),@1:Position,@1:Velocity (x2.5+15) (rpm)\n"
              "0,10,1\n"
              "0.5,10,2\n"
              "1,20,3.25\n");
}

TEST(ScopeCsv, TimeNeverStepsBackAcrossChunks)
{
    TempDir dir;
    std::vector<CDataPoint> points;
    for (int i = 0; i < 10000; ++i)
        points.push_back({1, 0, 1.0 + i * 0.001, static_cast<double>(i)});
    points.push_back({2, 0, 0.5, -1.0});  // late arrival, earlier than the whole first chunk
    points.push_back({2, 0, 5.0005, -2.0});
    Record(dir, points, nullptr, dir.File("late.qsd"));
    CDIniFile settings;
    CDataPointBufferedFileArray buffer;
    ASSERT_TRUE(buffer.OpenForPlayback(dir.File("late.qsd").c_str(), &settings));
    ASSERT_EQ(CScopeCsvExport::Export(buffer, settings, dir.File("late.csv").c_str(), nullptr),
              CScopeCsvExport::kDone);
    std::istringstream lines(ReadFile(dir.File("late.csv")));
    std::string line;
    std::getline(lines, line);
    std::getline(lines, line);
    EXPECT_EQ(line, "Time (secs),Source 1,Source 2");
    double previous = -1.0;
    int rows = 0;
    while (std::getline(lines, line)) {
        const double time = std::stod(line.substr(0, line.find(',')));
        ASSERT_GE(time, previous) << line;
        previous = time;
        ++rows;
        if (rows == 1) {
            EXPECT_EQ(line, "0.5,0,-1");
        }
    }
    EXPECT_EQ(rows, 10002);
}

TEST(ScopeCsv, CancelledOrFailedExportLeavesNoFile)
{
    TempDir dir;
    Record(dir, MakeSamples(100), nullptr, dir.File("d.qsd"));
    CDIniFile settings;
    CDataPointBufferedFileArray buffer;
    ASSERT_TRUE(buffer.OpenForPlayback(dir.File("d.qsd").c_str(), &settings));
    WriteFile(dir.File("old.csv"), "old");
    CancelAt cancel;
    EXPECT_EQ(CScopeCsvExport::Export(buffer, settings, dir.File("old.csv").c_str(), &cancel),
              CScopeCsvExport::kCancelled);
    EXPECT_FALSE(cancel.percents.empty());
    EXPECT_EQ(ReadFile(dir.File("old.csv")), "old");
    EXPECT_EQ(CScopeCsvExport::Export(buffer, settings, dir.File("none/x.csv").c_str(), nullptr),
              CScopeCsvExport::kFailed);
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        EXPECT_EQ(entry.path().string().find(".csv.kvtmp"), std::string::npos) << entry.path();

    CDataPointBufferedFileArray closed;
    EXPECT_EQ(CScopeCsvExport::Export(closed, settings, dir.File("y.csv").c_str(), nullptr),
              CScopeCsvExport::kFailed);
    EXPECT_FALSE(std::filesystem::exists(dir.File("y.csv")));
}
}  // namespace
