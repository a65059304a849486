// A rotary motor: pole count and encoder lines per revolution.
#pragma once

#include "setup/motor/AbstractMotor.h"

class CRotaryMotor : public CAbstractMotor {
public:
    using CAbstractMotor::CAbstractMotor;

    DWORD ComputeScaling(int a, int b) override;
    int ComputeCounts(int poles, double lines) const override;
    int ComputeCycles() override;
};
