#include "setup/motor/CommutationConfigLayout.h"

namespace {
constexpr int kCommutationFeedback =
    kFeedbackQuadrature | kFeedbackHall | kFeedbackResolver | kFeedbackAbsEncoder | kFeedbackSinCos;
constexpr int kAnyFeedback = kCommutationFeedback | kFeedbackTach;

bool Has(int mask, int bits)
{
    return (mask & bits) != 0;
}

std::vector<int> LeftGroups(bool brushless, int mask)
{
    std::vector<int> groups{16};
    if (brushless) {
        groups.push_back(0);
        if (Has(mask, kCommutationFeedback))
            groups.push_back(1);
    }
    if (Has(mask, kFeedbackResolver))
        groups.push_back(19);
    else if (brushless && Has(mask, kCommutationFeedback | kFeedbackTach))
        groups.push_back(2);
    return groups;
}

std::vector<int> RightGroups(bool brushless, int mask, bool smart, bool autoPhase)
{
    std::vector<int> groups;
    if (brushless) {
        groups.push_back(17);
        if (Has(mask, kFeedbackHall | kFeedbackResolver | kFeedbackAbsEncoder))
            groups.push_back(6);
    }
    if (smart)
        groups.push_back(7);
    if (autoPhase)
        groups.push_back(14);
    return groups;
}

std::vector<int> Methods(int motorType, int mask)
{
    if (motorType == kMotorBrush)
        return {kInitBrush};
    if (motorType == kMotorInduction)
        return {kInitInduction};
    if (motorType != kMotorBrushless)
        return {};
    std::vector<int> methods;
    if (Has(mask, kFeedbackHall))
        methods.push_back(kInitHall);
    if (Has(mask, kFeedbackResolver))
        methods.push_back(kInitResolver);
    if (!Has(mask, kFeedbackHall | kFeedbackResolver)) {
        if (Has(mask, kFeedbackQuadrature | kFeedbackSinCos) && !Has(mask, kFeedbackAbsEncoder))
            methods.push_back(kInitSmartComm);
        if (Has(mask, kFeedbackAbsEncoder))
            methods.push_back(kInitAbsEncoder);
    }
    if (!Has(mask, kFeedbackTach))
        methods.push_back(kInitTwoPhase);
    return methods;
}
}  // namespace

int CCommutationConfigLayout::EffectiveFeedback(int feedbackMask, double firmwareVersion, double absEncMinVersion)
{
    const bool absEncoderUsable = absEncMinVersion >= 0 && absEncMinVersion <= firmwareVersion;
    return absEncoderUsable ? feedbackMask : feedbackMask & ~kFeedbackAbsEncoder;
}

CommutationConfigLayoutResult CCommutationConfigLayout::Arrange(int motorType, int mask)
{
    const bool brushless = motorType == kMotorBrushless;
    CommutationConfigLayoutResult r;
    r.leftGroups = LeftGroups(brushless, mask);
    r.hallEdgeEnabled = brushless && Has(mask, kFeedbackHall);
    r.indexRowsEnabled = brushless && Has(mask, kFeedbackQuadrature | kFeedbackAbsEncoder | kFeedbackSinCos);
    r.noneRowEnabled = brushless && Has(mask, kAnyFeedback);
    r.smartCommutation = brushless && !Has(mask, kFeedbackHall | kFeedbackAbsEncoder) &&
                         Has(mask, kFeedbackQuadrature | kFeedbackSinCos);
    r.autoPhase = !r.smartCommutation && brushless && Has(mask, kCommutationFeedback);
    r.rightGroups = RightGroups(brushless, mask, r.smartCommutation, r.autoPhase);
    r.methods = Methods(motorType, mask);
    r.resolverOffsetWritable = Has(mask, kFeedbackResolver);
    return r;
}

int CCommutationConfigLayout::DefaultMethod(int motorType, int mask)
{
    switch (motorType) {
    case kMotorBrush:
        return kInitBrush;
    case kMotorInduction:
        return kInitInduction;
    case kMotorBrushless:
        if (Has(mask, kFeedbackHall))
            return kInitHall;
        if (Has(mask, kFeedbackResolver))
            return kInitResolver;
        if (Has(mask, kFeedbackAbsEncoder))
            return kInitAbsEncoder;
        return kInitSmartComm;
    default:
        return 0;
    }
}

const char* CCommutationConfigLayout::MethodName(int method)
{
    static const char* const kNames[] = {"",          "Smart Comm",        "Brush",         "Hall",
                                         "Two-phase", "Induction",         "Induction No Sens",
                                         "Phase Finding", "Resolver", "Abs Encoder"};
    if (method < 1 || method > 9)
        return "";
    return kNames[method];
}
