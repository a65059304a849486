#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "distribution/AmpResponseToGui.h"
#include "foundation/DPropertyList.h"
#include "platform/core/Archive.h"
#include "platform/core/File.h"
#include "platform/core/Profile.h"
#include "setup/io/WatchDisplaySettings.h"
#include "setup/io/WatchListFile.h"
#include "setup/io/WatchQueryCheck.h"
#include "setup/io/WatchRegisterList.h"
#include "testing/TempDir.h"

namespace {

struct FormCase {
    DWORD value;
    int width;
    int displayAs;
    int padAs;
    int showFormat;
    const char* text;
};

TEST(WatchRegisterItem, DisplayForms)
{
    const FormCase cases[] = {
        {0x1A, 4, kWatchHex, 0, 0, "1a"},
        {0x1A, 4, kWatchHex, 2, 0, "0000001a"},
        {0x1A, 4, kWatchHex, 2, 1, "0000001a (hex)"},
        {0x12345, 4, kWatchHex, 0, 0, "12345"},
        {5, 1, kWatchBinary, 0, 0, "00000101"},
        {5, 1, kWatchBinary, 1, 1, "0000000000000101 (bin)"},
        {0x80000000u, 4, kWatchBinary, 2, 0, "10000000000000000000000000000000"},
        {0x12, 4, kWatchHighBits, 2, 0, "1,4"},
        {0, 4, kWatchHighBits, 2, 0, ""},
        {0, 4, kWatchHighBits, 2, 1, " (bits)"},
        {0xFF, 1, kWatchSigned, 2, 1, "-1"},
        {0xFF, 1, kWatchUnsigned, 2, 1, "255"},
        {0xFFFF, 2, kWatchSigned, 2, 0, "-1"},
        {0xFFFF, 4, kWatchSigned, 2, 0, "65535"},
        {0xFF, 0, kWatchSigned, 2, 0, "0"},
        {0xFFFFFFFFu, 4, kWatchUnsigned, 2, 0, "4294967295"},
    };
    for (const FormCase& c : cases)
        EXPECT_EQ(std::string(CWatchRegisterItem::FormatValue(c.value, c.width, c.displayAs, c.padAs, c.showFormat)),
                  c.text)
            << c.value << " as " << c.displayAs << " pad " << c.padAs;
}

CAmpResponseToGui Reply(DWORD queryId, LONG value, BYTE width, WORD error, double seconds)
{
    CAmpResponseToGui reply;
    reply.m_queryId = queryId;
    reply.m_value = value;
    reply.m_width = width;
    reply.m_error = error;
    reply.m_replyTime = seconds;
    return reply;
}

TEST(WatchRegisterList, ApplyReplyFindsTheWatchByItsJob)
{
    CWatchRegisterList list;
    CWatchRegisterItem item;
    item.m_displayAs = kWatchHex;
    CWatchRegisterItem* hex = list.Add(item);
    CWatchRegisterItem* plain = list.Add(CWatchRegisterItem());
    list.SetJob(hex, 7);
    list.SetJob(plain, 8);

    EXPECT_EQ(list.ApplyReply(Reply(7, 0x1A, 2, 0, 0.012), 1, 1), 1);
    EXPECT_EQ(std::string(hex->m_valueText), "0000001a (hex) (12ms)");
    EXPECT_EQ(list.ApplyReply(Reply(8, 3, 1, 37, 0.5), 1, 1), 1);
    EXPECT_EQ(std::string(plain->m_valueText), "Off-line");
    EXPECT_FALSE(plain->m_errorText.IsEmpty());
    EXPECT_EQ(list.ApplyReply(Reply(8, 3, 1, 1, 0.004), 0, 1), 1);
    EXPECT_EQ(std::string(plain->m_valueText), "ERROR (4ms)");
    EXPECT_EQ(list.ApplyReply(Reply(9, 3, 1, 0, 0), 1, 1), 0);

    // A new job replaces the old mapping; a removed watch no longer answers.
    list.SetJob(hex, 10);
    EXPECT_EQ(list.ApplyReply(Reply(7, 1, 1, 0, 0), 0, 0), 0);
    list.Remove(hex);
    EXPECT_EQ(list.ApplyReply(Reply(10, 1, 1, 0, 0), 0, 0), 0);
    EXPECT_EQ(list.GetCount(), 1);
}

TEST(WatchRegisterList, MoveKeepsTheOrderOfTheMovedRows)
{
    CWatchRegisterList list;
    for (const char* name : {"A", "B", "C", "D", "E"}) {
        CWatchRegisterItem item;
        item.m_queryExpression = name;
        list.Add(item);
    }
    list.MoveTo({1, 3}, 0);
    std::string order;
    for (int i = 0; i < list.GetCount(); ++i)
        order += list.GetAt(i)->m_queryExpression;
    EXPECT_EQ(order, "BDACE");
    list.MoveTo({0, 1}, 5);
    order.clear();
    for (int i = 0; i < list.GetCount(); ++i)
        order += list.GetAt(i)->m_queryExpression;
    EXPECT_EQ(order, "ACEBD");
}

TEST(WatchRegisterList, ProfileTakesDefaultsForMissingValues)
{
    TempDir home;
    AfxWriteProfileString(kWatchListSection, "nWatchCount", "2");
    AfxWriteProfileString(kWatchListSection, "stQueryExpression0", "ABC");
    CWatchRegisterList list;
    list.LoadFromProfile(kWatchListSection);
    ASSERT_EQ(list.GetCount(), 2);
    EXPECT_EQ(std::string(list.GetAt(0)->m_queryExpression), "ABC");
    const CWatchRegisterItem& second = *list.GetAt(1);
    EXPECT_TRUE(second.m_queryExpression.IsEmpty());
    EXPECT_EQ(second.m_enabled, 1);
    EXPECT_DOUBLE_EQ(second.m_updateSecs, 0.2);
    EXPECT_EQ(second.m_padAs, 2);
    EXPECT_EQ(second.m_rowColour, 0xFFFFFF);
    EXPECT_EQ(second.m_textColour, 0);
}

TEST(WatchRegisterList, ProfileSaveWorksFirstAndDropsALongerEarlierList)
{
    TempDir home;
    CWatchRegisterList list;
    CWatchRegisterItem item;
    item.m_queryExpression = "XYZ";
    item.m_updateSecs = 1.5;
    item.m_displayAs = kWatchBinary;
    list.Add(item);
    list.Add(item);
    ASSERT_TRUE(list.SaveToProfile(kWatchListSection));
    EXPECT_EQ(std::string(AfxGetProfileString(kWatchListSection, "fUpdateSecs0")), "1.500000");
    list.Remove(list.GetAt(1));
    ASSERT_TRUE(list.SaveToProfile(kWatchListSection));
    EXPECT_TRUE(AfxGetProfileString(kWatchListSection, "stQueryExpression1").IsEmpty());

    CWatchRegisterList loaded;
    loaded.LoadFromProfile(kWatchListSection);
    ASSERT_EQ(loaded.GetCount(), 1);
    EXPECT_EQ(loaded.GetAt(0)->m_displayAs, kWatchBinary);
    EXPECT_DOUBLE_EQ(loaded.GetAt(0)->m_updateSecs, 1.5);
}

CWatchRegisterList TwoWatches()
{
    CWatchRegisterList list;
    CWatchRegisterItem item;
    item.m_queryExpression = "ABC";
    item.m_description = "first";
    item.m_drive = 3;
    item.m_padAs = 1;
    item.m_rowColour = 0x00FF00;
    list.Add(item);
    item.m_queryExpression = "XYZ";
    item.m_enabled = 0;
    item.m_updateSecs = 0.05;
    list.Add(item);
    return list;
}

TEST(WatchRegisterList, BagRoundTripRemovesTheEarlierWatches)
{
    CDPropertyList bag;
    CWatchRegisterList three = TwoWatches();
    three.Add(CWatchRegisterItem());
    three.SaveToBag(bag);
    TwoWatches().SaveToBag(bag);
    CString ignored;
    EXPECT_FALSE(bag.GetString("stQueryExpression2", ignored));

    CWatchRegisterList loaded;
    ASSERT_TRUE(loaded.LoadFromBag(bag));
    ASSERT_EQ(loaded.GetCount(), 2);
    EXPECT_EQ(std::string(loaded.GetAt(1)->m_queryExpression), "XYZ");
    EXPECT_EQ(loaded.GetAt(1)->m_enabled, 0);
    EXPECT_DOUBLE_EQ(loaded.GetAt(1)->m_updateSecs, 0.05);
    EXPECT_EQ(loaded.GetAt(0)->m_rowColour, 0x00FF00);
    EXPECT_EQ(loaded.GetAt(0)->m_drive, 3);

    CDPropertyList empty;
    EXPECT_TRUE(loaded.LoadFromBag(empty));
    EXPECT_EQ(loaded.GetCount(), 0);
}

TEST(WatchListFile, RoundTripsListAndSettings)
{
    TempDir home;
    CWatchDisplaySettings settings;
    settings.m_showUpdateTime = 0;
    settings.m_fontPts10 = 120;
    settings.m_valueColWidth = 140;
    CString error;
    ASSERT_TRUE(CWatchListFile::Save(home.File("a.wls").c_str(), TwoWatches(), settings, error));

    CWatchRegisterList list;
    CWatchDisplaySettings loaded;
    ASSERT_TRUE(CWatchListFile::Load(home.File("a.wls").c_str(), list, loaded, error)) << error;
    EXPECT_EQ(list.GetCount(), 2);
    EXPECT_EQ(loaded.m_showUpdateTime, 0);
    EXPECT_EQ(loaded.m_showValueFormat, 1);
    EXPECT_EQ(loaded.m_fontPts10, 120);
    EXPECT_EQ(loaded.m_valueColWidth, 140);
}

std::string SavedBag(void (*change)(CDPropertyList&))
{
    CDPropertyList bag;
    TwoWatches().SaveToBag(bag);
    change(bag);
    TempDir folder;
    {
        CFile file(folder.File("bag").c_str(), CFile::modeCreate | CFile::modeWrite);
        CArchive ar(&file, CArchive::store);
        bag.Serialize(ar);
        ar.Close();
        file.Close();
    }
    return folder.Read("bag");
}

TEST(WatchListFile, DamagedFilesLoadNothing)
{
    TempDir home;
    const std::string good = SavedBag([](CDPropertyList&) {});
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"text", "this is not an archive"},
        {"truncated", good.substr(0, good.size() / 2)},
        {"empty", ""},
        {"displayAs", SavedBag([](CDPropertyList& b) { b.SetInt("nDisplayAs1", 5); })},
        {"padAs", SavedBag([](CDPropertyList& b) { b.SetInt("nPadAs0", -1); })},
        {"period0", SavedBag([](CDPropertyList& b) { b.SetString("fUpdateSecs1", "0.000000"); })},
        {"period100000", SavedBag([](CDPropertyList& b) { b.SetString("fUpdateSecs0", "100.000000"); })},
        {"count", SavedBag([](CDPropertyList& b) { b.SetInt("nWatchCount", 2000000000); })},
    };
    for (const auto& c : cases) {
        home.Write("bad.wls", c.bytes);
        CWatchRegisterList list;
        CWatchRegisterItem kept;
        kept.m_queryExpression = "KEPT";
        list.Add(kept);
        CWatchDisplaySettings settings;
        settings.m_fontPts10 = 77;
        CString error;
        EXPECT_FALSE(CWatchListFile::Load(home.File("bad.wls").c_str(), list, settings, error)) << c.name;
        EXPECT_FALSE(error.IsEmpty()) << c.name;
        ASSERT_EQ(list.GetCount(), 1) << c.name;
        EXPECT_EQ(std::string(list.GetAt(0)->m_queryExpression), "KEPT") << c.name;
        EXPECT_EQ(settings.m_fontPts10, 77) << c.name;
    }
    CWatchRegisterList list;
    CWatchDisplaySettings settings;
    CString error;
    EXPECT_FALSE(CWatchListFile::Load(home.File("missing.wls").c_str(), list, settings, error));
}

TEST(WatchListFile, FailedSaveLeavesThePreviousFile)
{
    TempDir home;
    CString error;
    ASSERT_TRUE(CWatchListFile::Save(home.File("a.wls").c_str(), TwoWatches(), CWatchDisplaySettings(), error));
    const std::string before = home.Read("a.wls");
    EXPECT_FALSE(
        CWatchListFile::Save((home.path() + "/no/such/folder/a.wls").c_str(), TwoWatches(), CWatchDisplaySettings(), error));
    EXPECT_FALSE(error.IsEmpty());
    EXPECT_EQ(home.Read("a.wls"), before);
}

}  // namespace

namespace {

TEST(WatchQueryCheck, RangesAndRefusals)
{
    const struct {
        const char* text;
        int addMode;
        const char* result;  // expressions joined by "|", or the message
    } cases[] = {
        {"ABC", 1, "ABC"},
        {"ABC[1-3]", 1, "ABC1|ABC2|ABC3"},
        {"AB[1,3,5-6]", 1, "AB1|AB3|AB5|AB6"},
        {"ABC[1]", 0, "Cannot use ranges here."},
        {"ABC 100", 1, "Cannot set register value here."},
        {"ABC 1[1-2]", 1, "Cannot set register value here."},
        {"abc def ghi", 1, "Invalid register query entered."},
        {"[1-3]", 1, "Invalid register query entered."},
        {"ABC]1[", 1, "Invalid register query entered."},
        {"ABC[1-3", 1, "Invalid register query entered."},
        {"ABC[x]", 1, "Invalid register query entered."},
        {"ABC[0-5000]", 1, "A range may name at most 1000 registers."},
    };
    for (const auto& c : cases) {
        CStringArray expressions;
        CString error;
        std::string result;
        if (CWatchQueryCheck::Check(c.text, c.addMode, expressions, error)) {
            for (int i = 0; i < expressions.GetSize(); ++i)
                result += (i ? "|" : "") + std::string(expressions[i]);
        } else {
            result = error;
        }
        EXPECT_EQ(result, c.result) << c.text;
    }
}

}  // namespace
