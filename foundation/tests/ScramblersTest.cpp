#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "foundation/Scramblers.h"
#include "testing/TempDir.h"

namespace {

CString AllByteValues()
{
    CString text;
    for (int i = 255; i >= 0; --i)  // ending with NUL: a counted text keeps it
        text += static_cast<char>(i);
    return text;
}

std::vector<int> Permutation(int seed)
{
    CList<int, int> list;
    MakeSeededPermutation(seed, list);
    std::vector<int> values;
    for (POSITION pos = list.GetHeadPosition(); pos;)
        values.push_back(list.GetNext(pos));
    return values;
}

}  // namespace

TEST(ScramblersTest, StringRoundTripsEveryCharacterForAnySeed)
{
    const CString texts[] = {CString(), "password", AllByteValues()};
    for (int seed : {0, 1, 4711, -12345}) {
        for (const CString& text : texts) {
            CString scrambled;
            CString back = "stale";
            ASSERT_EQ(ScrambleString(seed, text, scrambled), 1);
            EXPECT_EQ(scrambled.GetLength(), 2 * text.GetLength());
            ASSERT_EQ(UnscrambleString(seed, scrambled, back), 1);
            EXPECT_EQ(back, text) << "seed " << seed;
        }
    }
}

TEST(ScramblersTest, StringScrambleFollowsTheSeededGenerator)
{
    // Seed 1 draws 41 first: 'A' + 41 = 0x6A, low nibble first.
    CString scrambled;
    ScrambleString(1, "A", scrambled);
    EXPECT_EQ(scrambled, "92");
    CString other;
    ScrambleString(2, "A", other);
    EXPECT_NE(other, scrambled);
}

TEST(ScramblersTest, UnscrambleRefusesForeignSymbolsAndIgnoresAnOddLastOne)
{
    CString scrambled;
    ScrambleString(7, "key", scrambled);
    CString back;
    EXPECT_EQ(UnscrambleString(7, scrambled + "K", back), 1);
    EXPECT_EQ(back, "key");
    EXPECT_EQ(UnscrambleString(7, "Kq~q", back), 0);
    EXPECT_TRUE(back.IsEmpty());
}

TEST(ScramblersTest, PermutationHoldsEveryByteOnceInASeededOrder)
{
    const std::vector<int> first = Permutation(99);
    ASSERT_EQ(first.size(), 256u);
    EXPECT_EQ(std::set<int>(first.begin(), first.end()).size(), 256u);
    EXPECT_EQ(*std::min_element(first.begin(), first.end()), 0);
    EXPECT_EQ(*std::max_element(first.begin(), first.end()), 255);
    EXPECT_EQ(Permutation(99), first);
    EXPECT_NE(Permutation(100), first);

    CList<int, int> appended;
    appended.AddTail(-1);
    MakeSeededPermutation(99, appended);
    EXPECT_EQ(appended.GetCount(), 257);
    EXPECT_EQ(appended.GetHead(), -1);
}

TEST(ScramblersTest, FileScrambleAndUnscrambleRestoreTheBytes)
{
    TempDir dir;
    std::string bytes;
    for (int i = 0; i < 3 * 256; ++i)
        bytes += static_cast<char>(i * 7 % 256);
    dir.Write("plain.bin", bytes);
    const std::string plain = dir.File("plain.bin");
    const std::string scrambled = dir.File("scrambled.bin");
    const std::string back = dir.File("back.bin");

    ASSERT_EQ(ScrambleFile(plain.c_str(), scrambled.c_str(), 1234, 1), 1);
    const std::string disguised = dir.Read("scrambled.bin");
    EXPECT_EQ(disguised.size(), bytes.size());
    EXPECT_NE(disguised, bytes);
    ASSERT_EQ(ScrambleFile(scrambled.c_str(), back.c_str(), 1234, 0), 1);
    EXPECT_EQ(dir.Read("back.bin"), bytes);

    // Another seed does not read it back.
    ASSERT_EQ(ScrambleFile(scrambled.c_str(), back.c_str(), 1235, 0), 1);
    EXPECT_NE(dir.Read("back.bin"), bytes);
}

TEST(ScramblersTest, FileScrambleOfAMissingFileFailsAndKeepsTheOutput)
{
    TempDir dir;
    dir.Write("out.bin", "keep");
    const std::string out = dir.File("out.bin");
    EXPECT_EQ(ScrambleFile(dir.File("missing.bin").c_str(), out.c_str(), 1, 1), 0);
    EXPECT_EQ(dir.Read("out.bin"), "keep");
    EXPECT_EQ(ScrambleFile(dir.File("out.bin").c_str(), dir.File("no/such/folder.bin").c_str(), 1, 1), 0);
}
