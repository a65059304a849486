#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "platform/core/Clock.h"
#include "scope/ScopeDriveServices.h"
#include "scope/ScopeSourceCatalogue.h"
#include "testing/TempDir.h"

namespace {

class CatalogueServices : public CScopeDriveServices {
public:
    bool IsDriveConnected(int address) override { return connected.count(address) != 0; }
    bool HasConversionParameter(int, int id) override { return id != 6 || hasType; }
    bool GetConversionParameter(int, int id, double& value) override
    {
        ++asked;
        if (id != 6 || askedBeforeKnown-- > 0) {
            kvtest::AdvanceClock(1000);  // each miss costs a second of the test clock
            return false;
        }
        value = type;
        return true;
    }
    void ShowMessage(const char*) override {}
    CString GetFactorySettingsPath() override { return path.c_str(); }

    std::set<int> connected;
    bool hasType = true;
    int askedBeforeKnown = 0;
    int asked = 0;
    double type = 30;
    std::string path;
};

const char* kFixture =
    "[CS SCOPECOUNT]\r\n"
    "IS_CS 21=3\r\n"
    "IS_CS 30=2\r\n"
    "IS_CS 40=0\r\n"
    "[IS_CS 21]\r\n"
    "Scope 1=Velocity\r\n"
    "Scope 2=Position\r\n"
    "[IS_CS 30]\r\n"
    "Scope 1=Current\r\n"
    "Scope 2=Bus Volts\r\n"
    "[AMP SCOPECOMMAND]\r\n"
    "Velocity=CMD_SVC\r\n"
    "Position=PSC\r\n"
    "Current=CMD_SIC\r\n"
    "[AMP UNITSCODE]\r\n"
    "Velocity=2\r\n"
    "Current=1\r\n"
    "[AMP UPDATEMS]\r\n"
    "Velocity=5\r\n";

struct Entry {
    const char* name;
    const char* command;
    int units;
    int updateMs;
};

std::vector<Entry> Listed(const CScopeSourceQueryDataList& list)
{
    std::vector<Entry> entries;
    for (const CScopeSourceQueryDataItem& item : list)
        entries.push_back({item.m_name, item.m_command, item.m_unitsCode, item.m_updateMs});
    return entries;
}

class ScopeCatalogueTest : public ::testing::Test {
protected:
    ScopeCatalogueTest()
    {
        dir.Write("kvfact.ini", kFixture);
        services.path = dir.File("kvfact.ini");
        kvtest::FreezeClock(5'000'000);
    }
    ~ScopeCatalogueTest() override { kvtest::ThawClock(); }

    TempDir dir;
    CatalogueServices services;
    CScopeSourceQueryDataList list;
};

TEST_F(ScopeCatalogueTest, ADriveNotConnectedGetsTheDemoTypesSignals)
{
    list.AddTail(CScopeSourceQueryDataItem("old", "OLD", 0, 1));
    ASSERT_EQ(BuildDriveScopeSourceList(list, 3, services), 1);
    const auto entries = Listed(list);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_STREQ(entries[0].name, "Velocity");
    EXPECT_STREQ(entries[0].command, "SVC");  // "CMD_" dropped
    EXPECT_EQ(entries[0].units, 2);
    EXPECT_EQ(entries[0].updateMs, 5);
    EXPECT_STREQ(entries[1].command, "PSC");
    EXPECT_EQ(entries[1].units, 0);     // no units entry: the name, which reads as 0
    EXPECT_EQ(entries[1].updateMs, 2);  // no update entry: 2 ms
    EXPECT_STREQ(entries[2].name, "Scope 3");  // no name: the key itself
    EXPECT_STREQ(entries[2].command, "Scope 3");
    EXPECT_EQ(services.asked, 0);
}

TEST_F(ScopeCatalogueTest, ACountTheFileClaimsBeyondReasonIsBounded)
{
    dir.Write("kvfact.ini", "[CS SCOPECOUNT]\nIS_CS 21=2147483647\n[IS_CS 21]\nScope 1=Velocity\n");
    ASSERT_EQ(BuildDriveScopeSourceList(list, 3, services), 1);
    const auto entries = Listed(list);
    ASSERT_EQ(entries.size(), 256u);
    EXPECT_STREQ(entries[0].name, "Velocity");
    EXPECT_STREQ(entries[255].name, "Scope 256");
}

TEST_F(ScopeCatalogueTest, AConnectedDriveIsListedByItsType)
{
    services.connected = {1};
    services.askedBeforeKnown = 2;
    ASSERT_EQ(BuildDriveScopeSourceList(list, 1, services), 1);
    const auto entries = Listed(list);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_STREQ(entries[0].name, "Current");
    EXPECT_STREQ(entries[0].command, "SIC");
    EXPECT_EQ(entries[0].units, 1);
    EXPECT_STREQ(entries[1].name, "Bus Volts");

    services.type = 40;  // a type with no signals
    EXPECT_EQ(BuildDriveScopeSourceList(list, 1, services), 1);
    EXPECT_TRUE(list.IsEmpty());
    services.type = 99;  // a type the file does not know
    EXPECT_EQ(BuildDriveScopeSourceList(list, 1, services), 1);
    EXPECT_TRUE(list.IsEmpty());
}

TEST_F(ScopeCatalogueTest, ATypeNotLearnedInFiveSecondsOrNoTypeParameterFails)
{
    services.connected = {1};
    services.askedBeforeKnown = 1000;
    list.AddTail(CScopeSourceQueryDataItem("old", "OLD", 0, 1));
    EXPECT_EQ(BuildDriveScopeSourceList(list, 1, services), 0);
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_EQ(services.asked, 5);  // at 0 .. 4 s of the test clock; at 5 s it gives up

    services.asked = 0;
    services.hasType = false;
    EXPECT_EQ(BuildDriveScopeSourceList(list, 1, services), 0);
    EXPECT_EQ(services.asked, 0);
}

TEST_F(ScopeCatalogueTest, TheShippedFactoryFileListsTheDemoDrivesSignals)
{
    services.path = std::string(KV_SCOPE_RESOURCES) + "/kvfact.ini";
    ASSERT_EQ(BuildDriveScopeSourceList(list, 7, services), 1);
    std::vector<std::string> commands;
    for (const CScopeSourceQueryDataItem& item : list) {
        commands.push_back(item.m_command.GetString());
        EXPECT_GT(item.m_updateMs, 0);
        EXPECT_GE(item.m_unitsCode, 0);
    }
    EXPECT_EQ(commands, (std::vector<std::string>{"SVC", "PSC", "SIC", "SVS", "PSF", "SIA", "SPE"}));
}
}  // namespace
