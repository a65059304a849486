// Which boxes the commutation configuration page shows and which
// initialisation methods it offers, from the motor type and the feedback
// chosen on the sheet.
#pragma once

#include <vector>

enum CommutationMotorType { kMotorNone = 0, kMotorTwoPhase = 1, kMotorBrush = 2, kMotorBrushless = 3, kMotorInduction = 4 };

enum FeedbackMask {
    kFeedbackQuadrature = 0x01,
    kFeedbackSinCos = 0x02,
    kFeedbackResolver = 0x04,
    kFeedbackAbsEncoder = 0x08,
    kFeedbackTach = 0x10,
    kFeedbackHall = 0x20,
};

// Initialisation method values (register 3373).
enum CommutationInitMethod {
    kInitSmartComm = 1, kInitBrush = 2, kInitHall = 3, kInitTwoPhase = 4, kInitInduction = 5,
    kInitInductionNoSens = 6, kInitPhaseFinding = 7, kInitResolver = 8, kInitAbsEncoder = 9,
};

struct CommutationConfigLayoutResult {
    std::vector<int> leftGroups;   // shown, top to bottom
    std::vector<int> rightGroups;  // shown, top to bottom
    bool hallEdgeEnabled = false;      // group 3
    bool indexRowsEnabled = false;     // group 4
    bool noneRowEnabled = false;       // group 5
    bool smartCommutation = false;
    bool autoPhase = false;
    std::vector<int> methods;          // offered, in combo order
    bool resolverOffsetWritable = false;  // else the Hall signal offset is
};

class CCommutationConfigLayout {
public:
    // The absolute encoder counts only when the firmware supports it.
    static int EffectiveFeedback(int feedbackMask, double firmwareVersion, double absEncMinVersion);
    static CommutationConfigLayoutResult Arrange(int motorType, int feedbackMask);
    // The method the page selects by default; 0 when none.
    static int DefaultMethod(int motorType, int feedbackMask);
    // The name of a method value; empty outside 1..9.
    static const char* MethodName(int method);
};
