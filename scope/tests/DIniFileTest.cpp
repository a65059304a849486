#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include <unistd.h>

#include "scope/DIniFile.h"
#include "testing/TempDir.h"

namespace {
std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

struct LineCase {
    const char* text;
    const char* key;
    const char* value;  // null: no key is stored
};

TEST(DIniFile, LinesSplitAtTheFirstEqualsAndTrimOnlyTheWholeLine)
{
    const LineCase cases[] = {
        {"Scope.XLabel=Time", "Scope.XLabel", "Time"},
        {"Key=a=b=c", "Key", "a=b=c"},
        {"Key = value", "Key ", " value"},
        {"   Padded=both   \r", "Padded", "both"},
        {"=NoKey", "", nullptr},
        {"NoEquals", "NoEquals", nullptr},
        {"Empty=", "Empty", ""},
    };
    for (const LineCase& c : cases) {
        CDIniFile store;
        store.LoadText(std::string(c.text) + "\n");
        CString value;
        EXPECT_EQ(store.GetString(c.key, value), c.value != nullptr) << c.text;
        if (c.value) {
            EXPECT_STREQ(value, c.value) << c.text;
        } else {
            EXPECT_EQ(store.GetCount(), 0) << c.text;
        }
    }
}

TEST(DIniFile, LongLinesAreReadInPiecesOf999)
{
    // The second piece starts 999 characters in and carries its own "=".
    const std::string line = "Long=" + std::string(994, 'a') + "Tail=end";
    CDIniFile store;
    store.LoadText(line + "\nNext=1\n");
    CString value;
    ASSERT_TRUE(store.GetString("Long", value));
    EXPECT_EQ(value.GetLength(), 994);
    EXPECT_TRUE(store.GetString("Tail", value));
    EXPECT_STREQ(value, "end");
    int next = 0;
    EXPECT_TRUE(store.GetInt("Next", next));
    EXPECT_EQ(next, 1);
}

TEST(DIniFile, ReloadKeepsTheFileOrderAndAppendsNewKeys)
{
    TempDir dir;
    const std::string path = dir.File("ScopeSettingsV2.dat");
    dir.Write("ScopeSettingsV2.dat", "B=2\r\nA=1\nC=3\n");
    CDIniFile store;
    ASSERT_TRUE(store.LoadFile(path.c_str()));
    store.SetInt("A", 10);
    store.SetString("D", "new");
    ASSERT_TRUE(store.SaveFile(path.c_str()));
    EXPECT_EQ(ReadAll(path), "B=2\nA=10\nC=3\nD=new\n");
}

TEST(DIniFile, MissingKeysLeaveTheCallersDefault)
{
    CDIniFile store;
    store.LoadText("Byte=300\nShort=70000\nNeg=-5\nColor=6316064\nD=2.5\n");
    int whole = 42;
    EXPECT_FALSE(store.GetInt("Missing", whole));
    EXPECT_EQ(whole, 42);
    double d = 7.0;
    EXPECT_FALSE(store.GetDouble("Missing", d));
    EXPECT_EQ(d, 7.0);
    BYTE byte = 0;
    EXPECT_TRUE(store.GetByte("Byte", byte));
    EXPECT_EQ(byte, 300 & 0xFF);
    short s = 0;
    EXPECT_TRUE(store.GetShort("Short", s));
    EXPECT_EQ(s, static_cast<short>(70000));
    store.SetShort("S", -2);
    EXPECT_TRUE(store.GetInt("S", whole));
    EXPECT_EQ(whole, -2);
    DWORD color = 0;
    EXPECT_TRUE(store.GetColor("Color", color));
    EXPECT_EQ(color, 0x606020u);
    EXPECT_TRUE(store.GetDouble("D", d));
    EXPECT_EQ(d, 2.5);
}

TEST(DIniFile, DoublesKeepEveryDigitAndStayShort)
{
    const double values[] = {0.1, 10.0, -100.0, 1.2345678901234, 1e-9, 123456789.125, 0.0};
    for (double v : values) {
        CDIniFile store;
        store.SetDouble("V", v);
        CDIniFile reloaded;
        reloaded.LoadText(store.SaveText().str());
        double back = -1.0;
        ASSERT_TRUE(reloaded.GetDouble("V", back));
        EXPECT_EQ(back, v);
    }
    CDIniFile store;
    store.SetDouble("A", 0.1);
    store.SetDouble("B", 10.0);
    EXPECT_STREQ(store.SaveText(), "A=0.1\nB=10\n");
}

TEST(DIniFile, UnreadableOrUnwritablePathsFailAndKeepTheOldFile)
{
    TempDir dir;
    CDIniFile store;
    EXPECT_FALSE(store.LoadFile(dir.File("none.dat").c_str()));
    store.SetInt("A", 1);
    EXPECT_FALSE(store.SaveFile(dir.File("no/such/folder.dat").c_str()));

    dir.Write("old.dat", "Old=1\n");
    std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    const bool saved = store.SaveFile(dir.File("old.dat").c_str());
    std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_all);
    if (geteuid() != 0) {
        EXPECT_FALSE(saved);
    }
    if (!saved) {
        EXPECT_EQ(ReadAll(dir.File("old.dat")), "Old=1\n");
    }
}
}  // namespace
