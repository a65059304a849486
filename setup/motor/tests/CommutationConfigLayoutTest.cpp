#include <gtest/gtest.h>

#include "setup/motor/CommutationConfigLayout.h"

namespace {
using Groups = std::vector<int>;

struct LayoutCase {
    const char* what;
    int motorType;
    int mask;
    Groups left;
    Groups right;
    Groups methods;
    int defaultMethod;
};
}  // namespace

TEST(CommutationConfigLayoutTest, GroupsAndMethodsByMotorAndFeedback)
{
    const LayoutCase cases[] = {
        {"brushless, quadrature", kMotorBrushless, kFeedbackQuadrature, {16, 0, 1, 2}, {17, 7},
         {kInitSmartComm, kInitTwoPhase}, kInitSmartComm},
        {"brushless, Hall and tach", kMotorBrushless, kFeedbackHall | kFeedbackTach, {16, 0, 1, 2}, {17, 6, 14},
         {kInitHall}, kInitHall},
        {"brushless, resolver", kMotorBrushless, kFeedbackResolver, {16, 0, 1, 19}, {17, 6, 14},
         {kInitResolver, kInitTwoPhase}, kInitResolver},
        {"brushless, absolute encoder", kMotorBrushless, kFeedbackAbsEncoder | kFeedbackQuadrature,
         {16, 0, 1, 2}, {17, 6, 14}, {kInitAbsEncoder, kInitTwoPhase}, kInitAbsEncoder},
        {"brushless, tach only", kMotorBrushless, kFeedbackTach, {16, 0, 2}, {17}, {}, kInitSmartComm},
        {"brushless, none", kMotorBrushless, 0, {16, 0}, {17}, {kInitTwoPhase}, kInitSmartComm},
        {"brush, resolver", kMotorBrush, kFeedbackResolver, {16, 19}, {}, {kInitBrush}, kInitBrush},
        {"induction, quadrature", kMotorInduction, kFeedbackQuadrature, {16}, {}, {kInitInduction}, kInitInduction},
        {"no motor", kMotorNone, kFeedbackQuadrature, {16}, {}, {}, 0},
        {"two-phase motor", kMotorTwoPhase, kFeedbackHall, {16}, {}, {}, 0},
    };
    for (const LayoutCase& c : cases) {
        SCOPED_TRACE(c.what);
        const CommutationConfigLayoutResult r = CCommutationConfigLayout::Arrange(c.motorType, c.mask);
        EXPECT_EQ(r.leftGroups, c.left);
        EXPECT_EQ(r.rightGroups, c.right);
        EXPECT_EQ(r.methods, c.methods);
        EXPECT_EQ(CCommutationConfigLayout::DefaultMethod(c.motorType, c.mask), c.defaultMethod);
        EXPECT_EQ(r.resolverOffsetWritable, (c.mask & kFeedbackResolver) != 0);
        for (int method : r.methods)
            EXPECT_TRUE(method != kInitInductionNoSens && method != kInitPhaseFinding);
    }
}

TEST(CommutationConfigLayoutTest, CorrectionRowsFollowTheFeedback)
{
    const CommutationConfigLayoutResult hall = CCommutationConfigLayout::Arrange(kMotorBrushless, kFeedbackHall);
    EXPECT_TRUE(hall.hallEdgeEnabled);
    EXPECT_FALSE(hall.indexRowsEnabled);
    EXPECT_TRUE(hall.noneRowEnabled);
    const CommutationConfigLayoutResult sinCos = CCommutationConfigLayout::Arrange(kMotorBrushless, kFeedbackSinCos);
    EXPECT_FALSE(sinCos.hallEdgeEnabled);
    EXPECT_TRUE(sinCos.indexRowsEnabled);
    EXPECT_TRUE(sinCos.smartCommutation);
    const CommutationConfigLayoutResult brush = CCommutationConfigLayout::Arrange(kMotorBrush, kFeedbackHall);
    EXPECT_FALSE(brush.hallEdgeEnabled || brush.indexRowsEnabled || brush.noneRowEnabled);
}

TEST(CommutationConfigLayoutTest, AbsoluteEncoderNeedsTheFirmware)
{
    const int mask = kFeedbackAbsEncoder | kFeedbackQuadrature;
    EXPECT_EQ(CCommutationConfigLayout::EffectiveFeedback(mask, 4.20, 4.21), kFeedbackQuadrature);
    EXPECT_EQ(CCommutationConfigLayout::EffectiveFeedback(mask, 4.21, 4.21), mask);
    EXPECT_EQ(CCommutationConfigLayout::EffectiveFeedback(mask, 9.0, -1.0), kFeedbackQuadrature);  // not listed
    const int effective = CCommutationConfigLayout::EffectiveFeedback(mask, 4.20, 4.21);
    const CommutationConfigLayoutResult r = CCommutationConfigLayout::Arrange(kMotorBrushless, effective);
    EXPECT_EQ(r.methods, (std::vector<int>{kInitSmartComm, kInitTwoPhase}));
}

TEST(CommutationConfigLayoutTest, MethodNames)
{
    EXPECT_STREQ(CCommutationConfigLayout::MethodName(6), "Induction No Sens");
    EXPECT_STREQ(CCommutationConfigLayout::MethodName(9), "Abs Encoder");
    EXPECT_STREQ(CCommutationConfigLayout::MethodName(0), "");
    EXPECT_STREQ(CCommutationConfigLayout::MethodName(10), "");
}
