// CGlobalParameterData_A2eVelInductionGain: the conversion parameter GPD_A2E_VEL_INDUCTION_GAIN.
#pragma once

#include <cmath>

#include "distribution/parameters/GlobalParameterData.h"
#include "distribution/parameters/GlobalParameterKinds.h"

class CGlobalParameterData_A2eVelInductionGain : public CGlobalParameterData {
public:
    bool SetUpQueries() override { return Need(kKeyFr) && Need(kKeyGvs) && DependOn(GPD_SERVO_FREQ_I); }
    bool Compute(double& value) override
    {
        double fr, gvs, servoFreq;
        if (!Read(kKeyFr, fr) || !Read(kKeyGvs, gvs) || !ValueOf(GPD_SERVO_FREQ_I, servoFreq))
            return false;
        value = SafeDivide(servoFreq * 60.0, std::pow(2.0, gvs) * fr * 4.0);
        return true;
    }
};
