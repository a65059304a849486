// CGlobalParameterData_ServoFreqI: the conversion parameter GPD_SERVO_FREQ_I.
#pragma once

#include "distribution/parameters/GlobalParameterData.h"

class CGlobalParameterData_ServoFreqI : public CGlobalParameterData {
public:
    bool SetUpQueries() override { return Need(kKeyMdl + 11) && Need(kKeyMdl + 12) && Need(kKeyPwm); }
    bool Compute(double& value) override
    {
        double mdl11, mdl12, pwm;
        if (!Read(kKeyMdl + 11, mdl11) || !Read(kKeyMdl + 12, mdl12) || !Read(kKeyPwm, pwm))
            return false;
        value = SafeDivide(mdl12 * mdl11 * 1000000.0, pwm * 4.0);
        return true;
    }
};
