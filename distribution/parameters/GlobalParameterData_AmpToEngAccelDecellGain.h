// CGlobalParameterData_AmpToEngAccelDecellGain: the conversion parameter GPD_AMPTOENGACCELDECELL_GAIN.
#pragma once

#include "distribution/parameters/GlobalParameterData.h"
#include "distribution/parameters/GlobalParameterKinds.h"

class CGlobalParameterData_AmpToEngAccelDecellGain : public CGlobalParameterData {
public:
    bool SetUpQueries() override
    {
        return Need(kKeyMod) && Need(kKeyMdl + 14) && DependOn(GPD_CS) && DependOn(GPD_SERVO_FREQ_I) &&
               DependOn(GPD_A2E_VEL_INDUCTION_GAIN) && DependOn(GPD_A2E_CURRENT_GAIN) && DependOn(GPD_A2E_VEL_GAIN);
    }
    bool Compute(double& value) override
    {
        LONG mod, mdl14;
        double cs, servoFreq, gain;
        if (!ReadBits(kKeyMod, mod) || !ReadBits(kKeyMdl + 14, mdl14) || !ValueOf(GPD_CS, cs) ||
            !ValueOf(GPD_SERVO_FREQ_I, servoFreq))
            return false;
        int gainId;
        if (cs == 1)
            gainId = GPD_A2E_VEL_INDUCTION_GAIN;
        else if (ModSelectsVelocityGain(mod))
            gainId = GPD_A2E_VEL_GAIN;
        else if (!(mod & 0x02) && !(mod & 0x04))
            gainId = GPD_A2E_CURRENT_GAIN;
        else if (mdl14 & 0x1000)
            gainId = GPD_A2E_VEL_GAIN;
        else {
            value = 0.0;
            return true;
        }
        if (!ValueOf(gainId, gain))
            return false;
        value = servoFreq * gain / 256.0;
        return true;
    }
};
