// CGlobalParameterData_BreakDecelGain: the conversion parameter GPD_BRAKEDECEL_GAIN.
#pragma once

#include "distribution/parameters/GlobalParameterData.h"
#include "distribution/parameters/GlobalParameterKinds.h"

class CGlobalParameterData_BreakDecelGain : public CGlobalParameterData {
public:
    bool SetUpQueries() override { return DependOn(GPD_SERVO_FREQ_I) && DependOn(GPD_A2E_VEL_GAIN); }
    bool Compute(double& value) override
    {
        double servoFreq, velGain;
        if (!ValueOf(GPD_SERVO_FREQ_I, servoFreq) || !ValueOf(GPD_A2E_VEL_GAIN, velGain))
            return false;
        value = velGain / 256.0 * servoFreq;
        return true;
    }
};
