// CGlobalParameterData_LsecbTimeScale: the conversion parameter GPD_LSECB_TIME.
#pragma once

#include "distribution/parameters/GlobalParameterData.h"
#include "distribution/parameters/GlobalParameterKinds.h"

class CGlobalParameterData_LsecbTimeScale : public CGlobalParameterData {
public:
    bool SetUpQueries() override
    {
        if (!DependOn(GPD_VER) || !DependOn(GPD_CS) || !DependOn(GPD_SERVO_FREQ_I))
            return false;
        double ver, cs;
        if (ValueOf(GPD_VER, ver) && ver < 5 && ValueOf(GPD_CS, cs) && cs > 15)
            return Need(kKeyMdl + 14);
        return true;
    }
    bool Compute(double& value) override
    {
        double ver, cs;
        if (!ValueOf(GPD_VER, ver))
            return false;
        if (ver >= 5) {
            value = 0.001;
            return true;
        }
        if (!ValueOf(GPD_CS, cs))
            return false;
        if (cs <= 15) {
            value = 0.01;
            return true;
        }
        double mdl14, servoFreq;
        if (!ReadConditional(kKeyMdl + 14, mdl14) || !ValueOf(GPD_SERVO_FREQ_I, servoFreq))
            return false;
        const bool quarter = (static_cast<LONG>(mdl14) & 0x200) != 0;
        value = SafeDivide(128.0, quarter ? servoFreq * 4.0 : servoFreq);
        return true;
    }
};
