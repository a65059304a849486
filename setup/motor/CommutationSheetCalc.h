// The commutation sheet's decisions as plain functions: feedback box
// exclusions and availability, motor type and boxes from the drive, and the
// commutation counts, cycles and scaling to send.
#pragma once

#include <optional>

#include "platform/core/WinTypes.h"

struct CommutationCounts {
    int counts = 0;   // CCR
    int cycles = 0;   // CCC
    DWORD scaling = 0;  // CES
};

class CCommutationSheetCalc {
public:
    // The mask after the box of `bit` was checked: the boxes it excludes are cleared.
    static int ApplyExclusions(int mask, int bit);
    // Boxes the motor type allows; hardwareWord nothing while it has not
    // arrived. absEncFirmwareOk: the firmware meets "CommutationAbsEnc".
    static int AvailableFeedback(int motorType, std::optional<int> hardwareWord, bool absEncFirmwareOk);
    // The motor type a CIM value checks; nothing for a value that checks none.
    static std::optional<int> MotorTypeFromCim(int cim);
    static int FeedbackFromDrive(int mft, int cim);

    // Nothing when the entries give no positive counts and cycles; nothing
    // is then to be sent.
    static std::optional<CommutationCounts> ComputeCounts(int motorKind, double poleEntry, double linesEntry);
    // Counts per cycle of a column; 0 when there are no cycles.
    static double CountsPerCycle(double counts, double cycles);
};
