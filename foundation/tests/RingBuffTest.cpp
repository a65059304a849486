#include <gtest/gtest.h>

#include "foundation/RingBuff.h"

TEST(RingBuffTest, HoldsOneLessThanItsSize)
{
    CRingBuff ring(11);
    for (int i = 0; i < 2047; ++i)
        ASSERT_EQ(ring.PutByte(static_cast<BYTE>(i)), CRingBuff::kOk) << i;
    EXPECT_EQ(ring.PutByte(1), CRingBuff::kFull);
    EXPECT_EQ(ring.GetCount(), 2047);
    for (int i = 0; i < 2047; ++i)
        ASSERT_EQ(ring.GetByte(), i & 0xFF);
    EXPECT_EQ(ring.GetByte(), CRingBuff::kEmpty);
}

TEST(RingBuffTest, ReadOfAnEmptyBufferLeavesTheOutputAlone)
{
    CRingBuff ring(4);
    BYTE out[4] = {9, 9, 9, 9};
    EXPECT_EQ(ring.Read(4, out), CRingBuff::kEmpty);
    EXPECT_EQ(out[0], 9);
}

TEST(RingBuffTest, WriteStopsAtTheFirstFailure)
{
    CRingBuff ring(3);  // room for 7
    const BYTE three[3] = {1, 2, 3};
    ASSERT_EQ(ring.Write(three, 3), 3);
    const BYTE ten[10] = {10, 11, 12, 13, 14, 15, 16, 17, 18, 19};
    EXPECT_EQ(ring.Write(ten, 10), CRingBuff::kFull);
    EXPECT_EQ(ring.GetCount(), 7);
    BYTE out[16];
    EXPECT_EQ(ring.Read(16, out), 7);
    EXPECT_EQ(out[3], 10);
    EXPECT_EQ(out[6], 13);
}

TEST(RingBuffTest, UngetPutsTheByteBackInFront)
{
    CRingBuff ring(2);  // room for 3
    ring.PutByte(1);
    ring.PutByte(2);
    EXPECT_EQ(ring.GetByte(), 1);
    EXPECT_EQ(ring.UngetByte(7), CRingBuff::kOk);
    EXPECT_EQ(ring.GetByte(), 7);
    EXPECT_EQ(ring.UngetByte(8), CRingBuff::kOk);
    // Unget refuses to step the read index onto the write index.
    EXPECT_EQ(ring.UngetByte(9), CRingBuff::kFull);
    EXPECT_EQ(ring.GetByte(), 8);
    EXPECT_EQ(ring.GetByte(), 2);
    EXPECT_EQ(ring.GetByte(), CRingBuff::kEmpty);
}

TEST(RingBuffTest, SaveAndRestoreRereadTheSameBytes)
{
    CRingBuff ring(5);
    const BYTE data[5] = {1, 2, 3, 4, 5};
    ring.Write(data, 5);
    RingBuffState state{};
    ring.SaveState(state);
    BYTE out[3];
    ASSERT_EQ(ring.Read(3, out), 3);
    ring.RestoreState(state);
    EXPECT_EQ(ring.GetCount(), 5);
    BYTE again[3];
    ASSERT_EQ(ring.Read(3, again), 3);
    EXPECT_EQ(std::vector<BYTE>(out, out + 3), std::vector<BYTE>(again, again + 3));
    ring.Clear();
    EXPECT_EQ(ring.GetByte(), CRingBuff::kEmpty);
}

TEST(RingBuffTest, WrapsAroundManyTimes)
{
    CRingBuff ring(3);
    for (int i = 0; i < 100; ++i) {
        ASSERT_EQ(ring.PutByte(static_cast<BYTE>(i)), 0);
        ASSERT_EQ(ring.PutByte(static_cast<BYTE>(i + 1)), 0);
        ASSERT_EQ(ring.GetByte(), i);
        ASSERT_EQ(ring.GetByte(), i + 1);
    }
}

TEST(RingBuffTest, AOneByteRingHoldsNothing)
{
    CRingBuff ring(0);
    EXPECT_EQ(ring.PutByte(1), CRingBuff::kFull);
    EXPECT_EQ(ring.GetByte(), CRingBuff::kEmpty);
}
