#include <gtest/gtest.h>

#include <cmath>

#include "motion/CoordSysMap.h"
#include "motion/MotionWordScanner.h"
#include "motion/RotationMap.h"

namespace {

CAxisVectorMap Vec(std::initializer_list<std::pair<int, double>> values)
{
    CAxisVectorMap v;
    for (const auto& [axis, value] : values)
        v[axis] = value;
    return v;
}

double InverseOf(const CCoordSysMap& map, int axis, int drive)
{
    double value = 0.0;
    map.Inverse.Lookup(CCoordSysMap::Key(axis, drive), value);
    return value;
}

}  // namespace

TEST(CoordSysMapTest, InverseRecoversAxesFromDrives)
{
    CCoordSysMap map;
    map.Assign(1, 0, 1.0);
    map.Assign(2, 1, 1.0);
    EXPECT_EQ(InverseOf(map, 0, 1), 1.0);
    EXPECT_EQ(InverseOf(map, 1, 2), 1.0);
    EXPECT_EQ(InverseOf(map, 0, 2), 0.0);

    // Drive 1 = 2X - Y, drive 2 = Y: X = (d1 + d2) / 2, Y = d2.
    map.Assign(1, 1, -1.0);
    map.Assign(1, 0, 2.0);
    EXPECT_NEAR(InverseOf(map, 0, 1), 0.5, 1e-12);
    EXPECT_NEAR(InverseOf(map, 0, 2), 0.5, 1e-12);
    EXPECT_NEAR(InverseOf(map, 1, 1), 0.0, 1e-12);
    EXPECT_NEAR(InverseOf(map, 1, 2), 1.0, 1e-12);
    CAxisVectorMap drives;
    map.ToDrivePositions(Vec({{0, 3.0}, {1, 4.0}}), drives);
    EXPECT_DOUBLE_EQ(drives.Get(1), 2.0);
    EXPECT_DOUBLE_EQ(drives.Get(2), 4.0);
    EXPECT_NEAR(map.GetAxisValue(0, drives), 3.0, 1e-12);
    EXPECT_NEAR(map.GetAxisValue(1, drives), 4.0, 1e-12);
}

TEST(CoordSysMapTest, InverseKeptWhenItCannotBeBuilt)
{
    CCoordSysMap map;
    map.Assign(1, 0, 1.0);
    map.Assign(2, 1, 1.0);
    const double before = InverseOf(map, 0, 1);
    map.Assign(2, 2, 1.0);  // three axes, two drives
    EXPECT_EQ(InverseOf(map, 0, 1), before);
    EXPECT_EQ(map.Inverse.GetCount(), 4);

    CCoordSysMap singular;
    singular.Assign(1, 0, 1.0);
    singular.Assign(2, 1, 1.0);
    singular.Assign(1, 1, 1.0);
    singular.Assign(2, 0, 1.0);  // both drives follow X + Y
    EXPECT_NEAR(InverseOf(singular, 0, 1), 1.0, 1e-12);  // from before the last assignment
}

TEST(CoordSysMapTest, ManyAxesInvertQuickly)
{
    CCoordSysMap map;
    for (int i = 0; i < 26; ++i)
        map.Assign(i + 1, i, 2.0);
    EXPECT_NEAR(InverseOf(map, 25, 26), 0.5, 1e-12);
}

TEST(CoordSysMapTest, UnassignRemovesEveryEntryOfTheDrive)
{
    CCoordSysMap map;
    map.Assign(1, 0, 2.0);
    map.Assign(1, 1, -1.0);
    map.Assign(2, 1, 1.0);
    CList<int, int> removed;
    EXPECT_TRUE(map.UnassignDrive(1, removed));
    EXPECT_EQ(removed.GetCount(), 2);
    EXPECT_EQ(map.Forward.GetCount(), 1);
    EXPECT_FALSE(map.UnassignDrive(7, removed));
    map.UnassignDrive(2, removed);
    EXPECT_TRUE(map.Inverse.IsEmpty());
}

TEST(RotationMapTest, OnlyPositiveAnglesRotate)
{
    CMap<CString, const CString&, int, int> names;
    names[CString("X")] = 0;
    names[CString("Y")] = 1;
    CRotationMap rotation;
    rotation.AxisNames = &names;
    struct Case {
        const char* words;
        bool rotates;
        double x, y;
    };
    const Case cases[] = {
        {"R-30", false, 1.0, 0.0},
        {"R360", false, 1.0, 0.0},
        {"R390", true, std::cos(3.14159265359 / 6), std::sin(3.14159265359 / 6)},
        {"R90 X1 Y1", true, 2.0, 1.0},  // (1,0) about (1,1) by 90 degrees
        {"R180", true, 1.0, 2.0},       // the centre stays (1,1)
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.words);
        ASSERT_TRUE(rotation.SetFromWords(c.words)) << rotation.GetLastError().GetString();
        EXPECT_EQ(rotation.IsActive(), c.rotates);
        CAxisVectorMap targets = Vec({{0, 1.0}, {1, 0.0}, {2, 7.0}});
        if (rotation.IsActive()) {
            ASSERT_TRUE(rotation.Rotate(targets));
        }
        EXPECT_NEAR(targets.Get(0), c.x, 1e-9);
        EXPECT_NEAR(targets.Get(1), c.y, 1e-9);
        EXPECT_EQ(targets.Get(2), 7.0);
    }
    CAxisVectorMap onlyX = Vec({{0, 1.0}});
    EXPECT_FALSE(rotation.Rotate(onlyX));
    rotation.Clear();
    EXPECT_FALSE(rotation.IsActive());
    EXPECT_TRUE(rotation.Centre.IsEmpty());
}

TEST(RotationMapTest, BadWordsFail)
{
    CMap<CString, const CString&, int, int> names;
    names[CString("X")] = 0;
    CRotationMap rotation;
    rotation.AxisNames = &names;
    EXPECT_FALSE(rotation.SetFromWords("R30"));  // no Y axis
    names[CString("Y")] = 1;
    for (const char* bad : {"R", "R30 Q1", "R30 ,", "X"}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(rotation.SetFromWords(bad));
        EXPECT_FALSE(rotation.GetLastError().IsEmpty());
    }
    EXPECT_EQ(rotation.Angle, 0.0);
}

TEST(MotionWordScannerTest, TokensAndWords)
{
    int pos = 0;
    const CString line = "  X-1.5 FOO";
    EXPECT_STREQ(CMotionWordScanner::NextToken(line, pos, true), "X");
    EXPECT_STREQ(CMotionWordScanner::NextToken(line, pos, false), "-1.5");
    EXPECT_STREQ(CMotionWordScanner::NextToken(line, pos, false), "");
    EXPECT_EQ(pos, -1);
    CMotionWordMap words;
    CString error;
    ASSERT_TRUE(CMotionWordScanner::ParseWords("R 5 I-2.5J3", words, error));
    EXPECT_EQ(words.GetCount(), 3);
    EXPECT_EQ(words[CString("I")], -2.5);
    EXPECT_FALSE(CMotionWordScanner::ParseWords("R5 I", words, error));
    EXPECT_FALSE(CMotionWordScanner::ParseWords("5", words, error));
}
