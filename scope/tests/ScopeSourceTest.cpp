#include <gtest/gtest.h>

#include "scope/DIniFile.h"
#include "scope/ScopeSourceDataList.h"
#include "scope/ScopeTraceDataArray.h"

namespace {

TEST(ScopeSource, UnitsNames)
{
    const std::pair<int, const char*> cases[] = {{0, ""},     {1, "A"},  {2, "rpm"}, {3, "V"},
                                                 {4, "degs"}, {5, "%"},  {6, "Unknown units"},
                                                 {-1, "Unknown units"}};
    for (const auto& [code, name] : cases)
        EXPECT_STREQ(GetUnitsName(code), name) << code;
}

TEST(ScopeSource, LabelsByFlags)
{
    struct Case {
        const char* command;
        const char* description;
        double scale;
        double offset;
        int lastError;
        int flags[4];  // interval, scale, offset, error
        const char* label;
    };
    const Case cases[] = {
        {"VEL", "Speed", 2.0, 5.0, 0, {1, 1, 1, 1}, "@3:Speed (x2+5,20ms)"},
        {"VEL", "Speed", 2.5, 15.0, 0, {0, 1, 1, 0}, "@3:Speed (x2.5+15)"},
        {"VEL", "Speed", 1.0, -0.25, 0, {0, 1, 1, 0}, "@3:Speed (-0.25)"},
        {"VEL", "Speed", 1.0, 0.0, 0, {0, 1, 1, 1}, "@3:Speed"},
        {"VEL", "Speed", 1.0, 0.0, 0, {1, 0, 0, 0}, "@3:Speed (20ms)"},
        {"VEL", "Speed", 2.0, 0.0, 32, {1, 1, 1, 1}, "@3:Speed (Invalid drive address)"},
        {"VEL", "Speed", 2.0, 0.0, 32, {1, 1, 1, 0}, "@3:Speed (x2,20ms)"},
        {"CMD_PSC", "", 1.0, 0.0, 0, {0, 0, 0, 0}, "@3:CMD_PSC"},
        {"X_SIC", "Current", 1.0, 0.0, 0, {0, 0, 0, 0}, "@3:Current"},
        {"CMD_", "Nothing", 1.0, 0.0, 0, {0, 0, 0, 0}, "@3:Nothing (Invalid command)"},
        {"X_V1", "Digit", 1.0, 0.0, 0, {0, 0, 0, 0}, "@3:Digit (Invalid command)"},
    };
    for (const Case& c : cases) {
        CScopeSourceData source;
        source.AmpAddr = 3;
        source.Command = c.command;
        source.Description = c.description;
        source.Scale = c.scale;
        source.Offset = c.offset;
        source.LastError = c.lastError;
        source.LastIntervalMs = 20;
        EXPECT_STREQ(source.GetLabel(c.flags[0], c.flags[1], c.flags[2], c.flags[3]), c.label) << c.label;
    }
}

TEST(ScopeSource, IdsAreNeverReused)
{
    CScopeSourceDataList list;
    EXPECT_EQ(list.AddNew()->SourceID, 1);
    EXPECT_EQ(list.AddNew()->SourceID, 2);
    list.RemoveById(2);
    EXPECT_EQ(list.AddNew()->SourceID, 3);
    EXPECT_EQ(list.FindById(2, 0), nullptr);
    ASSERT_NE(list.FindById(3, 0), nullptr);
    list.FindById(1, 0)->SourceID = 3;  // two sources with one id
    list.RemoveById(3);
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_EQ(list.AddNew()->SourceID, 4);
}

TEST(ScopeSource, SourcesRoundTripAndAMapWithoutCountChangesNothing)
{
    CScopeSourceDataList list;
    CScopeSourceData* source = list.AddNew();
    source->AmpAddr = 2;
    source->Command = "CMD_SVC";
    source->UnitsCode = 5;
    source->Scale = 0.1;
    source->Enabled = 1;
    source->MinUpdateMs = 4;
    CDIniFile settings;
    list.Save(settings);
    EXPECT_STREQ(settings.GetKeyOrder().GetHead(), "Scope.LastSourceID");

    CScopeSourceDataList loaded;
    loaded.Load(settings);
    ASSERT_EQ(loaded.GetCount(), 1);
    const CScopeSourceData* back = loaded.FindById(1, 0);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->AmpAddr, 2);
    EXPECT_STREQ(back->Command, "CMD_SVC");
    EXPECT_EQ(back->UnitsCode, 5);
    EXPECT_EQ(back->Scale, 0.1);
    EXPECT_EQ(back->MinUpdateMs, 4);
    EXPECT_EQ(loaded.LastSourceID, 1);

    CDIniFile empty;
    loaded.LastSourceID = 9;
    loaded.Load(empty);
    EXPECT_EQ(loaded.GetCount(), 1);
    EXPECT_EQ(loaded.LastSourceID, 9);

    CScopeSourceDataList copy;
    loaded.CopyTo(copy);
    EXPECT_EQ(copy.GetCount(), 1);
    EXPECT_EQ(copy.LastSourceID, 9);
    EXPECT_NE(copy.FindById(1, 0), loaded.FindById(1, 0));
}

TEST(ScopeTraces, AlwaysTwelveWithDefaultColoursByPosition)
{
    CDIniFile settings;
    settings.LoadText("Scope.Trace2.Enabled=1\nScope.Trace2.YSourceID=4\nScope.Trace3.Color=255\n"
                      "Scope.Trace40.Enabled=1\n");
    CScopeTraceDataArray traces;
    traces.Load(settings);
    ASSERT_EQ(traces.GetSize(), 12);
    EXPECT_EQ(traces[0].Color, 0x00FF00u);
    EXPECT_EQ(traces[1].Color, 0xFF0000u);  // blue
    EXPECT_EQ(traces[1].Enabled, 1);
    EXPECT_EQ(traces[1].YSourceID, 4);
    EXPECT_EQ(traces[2].Color, 255u);
    EXPECT_EQ(traces[11].Color, CScopeTraceDataArray::DefaultColor(11));
    EXPECT_EQ(traces[11].XSourceID, -1);

    CDIniFile saved;
    traces.Save(saved);
    EXPECT_STREQ(saved.GetKeyOrder().GetHead(), "Scope.Trace1.Color");
    EXPECT_EQ(saved.GetKeyOrder().GetCount(), 60);
}
}  // namespace
