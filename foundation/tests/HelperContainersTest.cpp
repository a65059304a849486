#include <gtest/gtest.h>

#include "foundation/MapIntToIntList.h"
#include "foundation/MapIntToStringList.h"
#include "foundation/SortableStringArray.h"

TEST(HelperContainersTest, SortableStringArraySortsCaseSensitively)
{
    CSortableStringArray array;
    const char* items[] = {"beta", "Alpha", "alpha", "Beta", "", "beta"};
    for (int i = 0; i < 6; ++i)
        array.SetAtGrow(i, items[i]);
    array.Sort();
    const char* sorted[] = {"", "Alpha", "Beta", "alpha", "beta", "beta"};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(array[i], sorted[i]) << i;
}

TEST(HelperContainersTest, StringListsGoToTheCurrentList)
{
    CMapIntToStringList map;
    EXPECT_EQ(map.AddString("orphan"), -1);
    map.AddList(3);
    EXPECT_EQ(map.AddString("a"), 0);
    EXPECT_EQ(map.AddString("b"), 1);
    map.AddList(5);
    EXPECT_EQ(map.AddString("c"), 0);
    CStringList* three = nullptr;
    ASSERT_TRUE(map.Lookup(3, three));
    EXPECT_EQ(three->GetCount(), 2);
    map.AddList(3);  // replaces the old list, which is freed
    ASSERT_TRUE(map.Lookup(3, three));
    EXPECT_EQ(three->GetCount(), 0);
    EXPECT_EQ(map.GetCount(), 2);
}

TEST(HelperContainersTest, IntListsByKey)
{
    CMapIntToIntList map;
    map.AddValue(1, 10);
    map.AddValue(2, 20);
    map.AddValue(1, 11);
    ASSERT_NE(map.GetList(1), nullptr);
    EXPECT_EQ(map.GetList(1)->GetCount(), 2);
    EXPECT_EQ(map.GetList(1)->GetTail(), 11);
    EXPECT_EQ(map.GetList(7), nullptr);
    map.DeleteAllLists();
    EXPECT_EQ(map.GetList(1), nullptr);
    EXPECT_EQ(map.GetCount(), 0);
}
