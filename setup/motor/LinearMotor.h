// A linear motor: pole pitch in 0.01 mm and encoder resolution in 0.01 um.
#pragma once

#include "setup/motor/AbstractMotor.h"

class CLinearMotor : public CAbstractMotor {
public:
    using CAbstractMotor::CAbstractMotor;

    DWORD ComputeScaling(int a, int b) override;
    int ComputeCounts(int pitch, double resolution) const override;
    int ComputeCycles() override;
};
