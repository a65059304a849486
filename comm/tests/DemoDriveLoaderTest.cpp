#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "comm/demo/DemoDriveLoader.h"

namespace {

// A backup engine whose operations take a few pump rounds, or never start.
class FakeRestorer : public CDemoBackupRestorer {
public:
    void SetMessageHelpId(int id) override { helpId = id; }
    int RestoreFromFile(int address, const char* name, const char* path, int quiet, const char* message) override
    {
        calls.push_back({address, name, path, quiet, message});
        if (neverStarts)
            return 1;
        status = 1;
        roundsLeft = 3;
        return 1;
    }
    int GetOperationStatus() override { return status; }
    void Pump()
    {
        ++pumps;
        if (status && --roundsLeft == 0)
            status = 0;  // the periodic service ends the operation
    }

    struct Call {
        int address;
        CString name, path;
        int quiet;
        CString message;
    };
    std::vector<Call> calls;
    int helpId = -1;
    int status = 0;
    int roundsLeft = 0;
    int pumps = 0;
    bool neverStarts = false;
};

}  // namespace

TEST(DemoDriveLoaderTest, RestoresEachDriveInTurnSkippingTheModule)
{
    FakeRestorer engine;
    const std::vector<DemoDriveRecord> drives = {{0, "Module"}, {1, "Kreln"}, {2, "Tavro"}};
    EXPECT_EQ(LoadDemoDrives(drives, &engine, "/opt/korvane", [&] { engine.Pump(); }), 1);
    ASSERT_EQ(engine.calls.size(), 2u);
    EXPECT_EQ(engine.helpId, 0);
    EXPECT_EQ(engine.calls[0].address, 1);
    EXPECT_EQ(engine.calls[0].name, "DEMO-Kreln");
    EXPECT_EQ(engine.calls[0].path, CString("/opt/korvane/Demo Library/") + kDemoBackupFileName);
    EXPECT_EQ(engine.calls[0].quiet, 1);
    EXPECT_EQ(engine.calls[0].message, "");
    EXPECT_EQ(engine.calls[1].message, "DEMO Communications active.");
    EXPECT_GE(engine.pumps, 6);
    EXPECT_EQ(engine.status, 0);
}

TEST(DemoDriveLoaderTest, ARestoreThatNeverStartsIsSkippedInsteadOfWaitedForForever)
{
    FakeRestorer engine;
    engine.neverStarts = true;
    DemoLoadLimits limits;
    limits.startMs = 30;
    EXPECT_EQ(LoadDemoDrives({{1, "A"}, {2, "B"}}, &engine, "/x/", nullptr, limits), 1);
    EXPECT_EQ(engine.calls.size(), 2u);
}

TEST(DemoDriveLoaderTest, WithoutAnEngineTheDrivesKeepTheirDefaults)
{
    EXPECT_EQ(LoadDemoDrives({{1, "A"}}, nullptr, "/x/"), 1);
}
