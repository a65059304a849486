#include <gtest/gtest.h>

#include <vector>

#include "platform/core/Collections.h"

namespace {
std::vector<int> Items(const CList<int>& list)
{
    return std::vector<int>(list.begin(), list.end());
}
}  // namespace

TEST(CollectionsTest, ListPositionsSurviveOtherInsertionsAndRemovals)
{
    CList<int> list;
    list.AddTail(2);
    const POSITION kept = list.AddTail(3);
    const POSITION doomed = list.AddHead(1);
    list.AddTail(4);
    list.InsertBefore(kept, 25);
    list.RemoveAt(doomed);
    list.AddHead(0);
    EXPECT_EQ(list.GetAt(kept), 3);
    list.InsertAfter(kept, 35);
    EXPECT_EQ(Items(list), (std::vector<int>{0, 2, 25, 3, 35, 4}));
    EXPECT_EQ(list.GetCount(), 6);
    EXPECT_EQ(list.GetAt(list.FindIndex(3)), 3);
    EXPECT_EQ(list.Find(35), list.FindIndex(4));
    EXPECT_EQ(list.Find(99), nullptr);
}

TEST(CollectionsTest, ListRemovalWhileIteratingAndCopies)
{
    CList<int> list;
    for (int i = 0; i < 6; ++i)
        list.AddTail(i);
    for (POSITION pos = list.GetHeadPosition(); pos;) {
        const POSITION current = pos;
        if (list.GetNext(pos) % 2 == 0)
            list.RemoveAt(current);
    }
    EXPECT_EQ(Items(list), (std::vector<int>{1, 3, 5}));
    CList<int> copy(list);
    copy.RemoveHead();
    EXPECT_EQ(list.GetCount(), 3);
    EXPECT_EQ(copy.RemoveTail(), 5);
    EXPECT_EQ(Items(copy), (std::vector<int>{3}));
    POSITION back = list.GetTailPosition();
    EXPECT_EQ(list.GetPrev(back), 5);
    EXPECT_EQ(list.GetPrev(back), 3);
}

TEST(CollectionsTest, ArrayGrowsInsertsAndRemoves)
{
    CArray<int, int> a;
    a.SetAtGrow(3, 7);
    EXPECT_EQ(a.GetSize(), 4);
    EXPECT_EQ(a[0], 0);
    a.InsertAt(1, 9, 2);
    a.RemoveAt(0);
    EXPECT_EQ(a.GetSize(), 5);
    EXPECT_EQ(a[0], 9);
    EXPECT_EQ(a[4], 7);
    EXPECT_EQ(a.GetUpperBound(), 4);
    CStringArray s;
    s.Add("x");
    EXPECT_EQ(s.Add("y"), 1);
}

TEST(CollectionsTest, MapLookupIterationAndRemoval)
{
    CMapStringToString map;
    map.SetAt("b", "2");
    map.SetAt("a", "1");
    map["c"] = "3";
    map.SetAt("a", "one");
    CString value;
    ASSERT_TRUE(map.Lookup("a", value));
    EXPECT_EQ(value, "one");
    EXPECT_FALSE(map.Lookup("z", value));
    EXPECT_EQ(map.GetCount(), 3);

    // Removing the entry just visited keeps the iteration going.
    CString keys;
    POSITION pos = map.GetStartPosition();
    while (pos) {
        CString k, v;
        map.GetNextAssoc(pos, k, v);
        keys += k;
        if (k == "a")
            map.RemoveKey(k);
    }
    EXPECT_EQ(keys, "bac");
    EXPECT_EQ(map.GetCount(), 2);
    EXPECT_FALSE(map.RemoveKey("a"));
    CMap<int, int, CString, const CString&> byNumber;
    byNumber[5] = "five";
    EXPECT_NE(byNumber.PLookup(5), nullptr);
    EXPECT_EQ(byNumber.PLookup(6), nullptr);
}

TEST(CollectionsTest, RangeForWalksListsAndMapsInTheirPositionsOrder)
{
    CList<int> list;
    for (int value : {3, 1, 2})
        list.AddTail(value);
    list.AddHead(0);
    std::vector<int> walked;
    for (int& value : list) {
        walked.push_back(value);
        value *= 10;  // elements are reached by reference
    }
    EXPECT_EQ(walked, (std::vector<int>{0, 3, 1, 2}));
    EXPECT_EQ(Items(list), (std::vector<int>{0, 30, 10, 20}));
    const CList<int>& constant = list;
    int sum = 0;
    for (const int& value : constant)
        sum += value;
    EXPECT_EQ(sum, 60);
    for ([[maybe_unused]] int value : CList<int>())
        ADD_FAILURE() << "an empty list has nothing to walk";

    CMapStringToString map;
    map["z"] = "26";
    map["a"] = "1";
    map["m"] = "13";
    map.RemoveKey("a");
    map["a"] = "one";
    CString order;
    for (auto [key, value] : map) {
        order += key + "=" + value + ";";
        value += "!";
    }
    EXPECT_EQ(order, "z=26;m=13;a=one;");
    CString text;
    ASSERT_TRUE(map.Lookup("m", text));
    EXPECT_EQ(text, "13!");
    const CMapStringToString& constantMap = map;
    int entries = 0;
    for (auto entry : constantMap)
        entries += entry.key.IsEmpty() ? 0 : 1;
    EXPECT_EQ(entries, 3);
}
