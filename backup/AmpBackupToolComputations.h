// CAmpBackupToolComputations: the computations of other subsystems that the
// template directives call. The I/O, tuning and filter subsystems fill it; until
// one is set the directives fail with their error texts.
#pragma once

#include "platform/core/String.h"

class CAmpResponseToGui;
class CDistMngrResponseReceiver;

struct FilterArguments {
    int type = 0;
    double args[4] = {0, 0, 0, 0};
};

class CAmpBackupToolComputations {
public:
    enum IoSide { kInputs = 0, kOutputs = 1 };

    virtual ~CAmpBackupToolComputations() = default;

    // GUI thread: loads the side's definitions for the variant and requests the
    // drive's pin assignments through the receiver; false on failure.
    virtual bool StartIoDefinitions(int side, int drive, int variant, CDistMngrResponseReceiver& receiver) = 0;
    virtual bool IsIoReceiving(int side) = 0;
    // A response of the receiver: below -2 ignored, -2 or -1 failed, 2 complete.
    virtual int HandleIoResponse(int side, const CAmpResponseToGui& response) = 0;
    // Engine thread, after the side completed: the pins and their first functions.
    virtual CString BuildIoFunctionList(int side) = 0;

    virtual double CalcCurrentLoopBandwidth(int masterGain, int resistance, int inductance, int proportionalGain,
                                            int busVolts, double currentGain) = 0;
    // false when the drive's type of filter `filter` (0-3) could not be read.
    virtual bool GetDriveFilterType(int drive, int filter, int& type) = 0;
    virtual bool CalcFilterArgsFromCoefficients(int type, const int coefficients[6], int guess, double fs,
                                                FilterArguments& out) = 0;
    virtual CString GetFilterTypeCode(int type) = 0;
};
