// A motor's commutation numbers (count rollover, electrical cycles, counts
// per cycle, angle scaling) derived from its poles and encoder lines.
#pragma once

#include "platform/core/Array.h"
#include "platform/core/WinTypes.h"
#include "setup/motor/PolesLinesHelper.h"

class CAbstractMotor {
public:
    enum { kRotaryDefaults = 0, kLinearDefaults = 1, kSavedValues = 2 };

    CAbstractMotor(int poleValue, int counts, int lineValue, int cycles);
    virtual ~CAbstractMotor();
    CAbstractMotor(const CAbstractMotor&) = delete;
    CAbstractMotor& operator=(const CAbstractMotor&) = delete;

    // The scaling is unsigned: one count per rollover scales by 4294967295.
    // 0 means no valid scaling.
    virtual DWORD ComputeScaling(int a, int b) = 0;
    virtual int ComputeCounts(int poleValue, double lineValue) const = 0;
    virtual int ComputeCycles() = 0;

    int UpdateCounts();
    double UpdateCountsPerCycle();
    void SwitchMotorKind(int driveKind, int selectedKind);
    // Recomputes counts, scaling and cycles; false when the entries or any
    // of them are not positive. The counts come first so that the scaling
    // is never that of stale counts.
    bool RecomputeAndCheck(int kind);

    const CPolesLinesHelper& Preset(int index) const { return *m_presets[index]; }

    int m_poleValue;
    DWORD m_scaling = 4;
    int m_cycles;
    double m_lineValue;
    double m_countsPerCycle = 3.0;
    int m_counts;

protected:
    // round(4294967295 / counts); 0 when counts is not positive.
    static DWORD ScalingForCounts(int counts);

private:
    void RestoreFrom(int index);
    void SaveCurrent();

    CArray<CPolesLinesHelper*, CPolesLinesHelper*> m_presets;
};
