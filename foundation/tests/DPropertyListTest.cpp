#include <gtest/gtest.h>

#include <string>

#include "foundation/DPropertyList.h"
#include "testing/TempDir.h"

namespace {

std::string Names(const CDPropertyList& list)
{
    std::string names;
    for (POSITION pos = list.GetHeadPosition(); pos;) {
        const CDProperty* p = list.GetNext(pos);
        names += p->m_name.str() + "=" + p->m_value.str() + ";";
    }
    return names;
}

void Store(const TempDir& dir, CDPropertyList& list)
{
    CFile file(dir.File("bag.bin").c_str(), CFile::modeCreate | CFile::modeWrite);
    CArchive ar(&file, CArchive::store);
    list.Serialize(ar);
    ar.Close();
    file.Close();
}

void Load(const TempDir& dir, CDPropertyList& list)
{
    CFile file(dir.File("bag.bin").c_str(), CFile::modeRead);
    CArchive ar(&file, CArchive::load);
    list.Serialize(ar);
}

}  // namespace

TEST(DPropertyListTest, SettersKeepFirstPositionAndFormatValues)
{
    CDPropertyList list;
    EXPECT_EQ(list.SetDouble("third", 1.0 / 3.0), 1);
    list.SetDouble("tenth", 0.1);
    list.SetInt("i", -12);
    list.SetLong("l", 1234567L);
    list.SetString("Name", "x");
    list.SetString("name", "lower");
    list.SetString("Name", "y");
    EXPECT_EQ(Names(list), "third=0.333333333333333;tenth=0.1;i=-12;l=1234567;Name=y;name=lower;");
}

TEST(DPropertyListTest, GettersConvertAndMissingNamesLeaveTheValue)
{
    CDPropertyList list;
    list.SetString("mixed", "12abc");
    list.SetString("word", "abc");
    list.SetString("exp3", "1.5e+003");
    list.SetString("exp2", "1.5e+03");
    int i = 99;
    EXPECT_EQ(list.GetInt("mixed", i), 1);
    EXPECT_EQ(i, 12);
    EXPECT_EQ(list.GetInt("word", i), 1);
    EXPECT_EQ(i, 0);
    double d = 0;
    list.GetDouble("exp3", d);
    EXPECT_DOUBLE_EQ(d, 1500);
    list.GetDouble("exp2", d);
    EXPECT_DOUBLE_EQ(d, 1500);

    int untouchedInt = 7;
    long untouchedLong = 8;
    double untouchedDouble = 9;
    CString untouchedText = "keep";
    EXPECT_EQ(list.GetInt("MIXED", untouchedInt), 0);
    EXPECT_EQ(list.GetLong("none", untouchedLong), 0);
    EXPECT_EQ(list.GetDouble("none", untouchedDouble), 0);
    EXPECT_EQ(list.GetString("none", untouchedText), 0);
    EXPECT_EQ(untouchedInt, 7);
    EXPECT_EQ(untouchedLong, 8);
    EXPECT_EQ(untouchedDouble, 9);
    EXPECT_EQ(untouchedText, "keep");

    EXPECT_EQ(list.Remove("word"), 1);
    EXPECT_EQ(list.Remove("word"), 0);
    EXPECT_EQ(list.GetCount(), 3);
}

TEST(DPropertyListTest, ArchiveLayoutAndRoundTrip)
{
    TempDir dir;
    CDPropertyList list;
    list.SetString("a", "1");
    list.SetString("bc", "");
    Store(dir, list);
    const std::string bytes = dir.Read("bag.bin");
    const std::string expected = std::string("\x02\x00\xFF\xFF\x01\x00\x0A\x00", 8) + "CDProperty" + "\x01" "a" "\x01" "1" +
                                 std::string("\x01\x80\x02", 3) + "bc" + std::string("\x00", 1);
    EXPECT_EQ(bytes, expected);

    CDPropertyList loaded;
    loaded.SetString("old", "gone");
    Load(dir, loaded);
    EXPECT_EQ(Names(loaded), "a=1;bc=;");
    Store(dir, loaded);
    EXPECT_EQ(dir.Read("bag.bin"), expected);
}

TEST(DPropertyListTest, BadArchiveLeavesTheListAsItWas)
{
    const std::string good = std::string("\x02\x00\xFF\xFF\x01\x00\x0A\x00", 8) + "CDProperty" + "\x01" "a" "\x01" "1";
    const std::string cases[] = {
        good,                                            // second element missing
        good + std::string("\x01\x80\x05" "ab", 5),      // second element cut short
        good + std::string("\x00\x00", 2),               // null element
        good + std::string("\x02\x00", 2),               // the first element again
        good + std::string("\x07\x80", 2),               // class index never written
    };
    TempDir dir;
    for (const std::string& bytes : cases) {
        dir.Write("bag.bin", bytes);
        CDPropertyList list;
        list.SetString("keep", "me");
        EXPECT_THROW(Load(dir, list), CArchiveException) << bytes.size();
        EXPECT_EQ(Names(list), "keep=me;");
    }
}

// Bags of several windows share one archive: a bag naming another bag's element
// would give it two owners, each deleting it.
TEST(DPropertyListTest, AnElementOfAnEarlierListInTheSameArchiveIsRefused)
{
    const std::string first = std::string("\x01\x00\xFF\xFF\x01\x00\x0A\x00", 8) + "CDProperty" + "\x01" "a" "\x01" "1";
    TempDir dir;
    dir.Write("bag.bin", first + std::string("\x01\x00\x02\x00", 4));
    CFile file(dir.File("bag.bin").c_str(), CFile::modeRead);
    CArchive ar(&file, CArchive::load);
    CDPropertyList earlier;
    earlier.Serialize(ar);
    EXPECT_EQ(Names(earlier), "a=1;");
    CDPropertyList later;
    later.SetString("keep", "me");
    EXPECT_THROW(later.Serialize(ar), CArchiveException);
    EXPECT_EQ(Names(later), "keep=me;");
}
