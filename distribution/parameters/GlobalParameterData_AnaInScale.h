// CGlobalParameterData_AnaInScale: the conversion parameter GPD_PRIMARY_ANAIN_SCALE.
#pragma once

#include "distribution/parameters/GlobalParameterData.h"
#include "distribution/parameters/GlobalParameterKinds.h"

class CGlobalParameterData_AnaInScale : public CGlobalParameterData {
public:
    bool SetUpQueries() override
    {
        if (!Need(kKeyMod) || !Need(kKeyPfm) || !Need(kKeyCs))
            return false;
        double cs;
        if (Read(kKeyCs, cs) && cs > 15 && !Need(kKeyMdl + 10))
            return false;
        return DependOn(GPD_A2E_VEL_INDUCTION_GAIN) && DependOn(GPD_VELGAIN_CURRENTGAIN_SCALE);
    }
    bool Compute(double& value) override
    {
        LONG mod, pfm, cs;
        if (!ReadBits(kKeyMod, mod) || !ReadBits(kKeyPfm, pfm) || !ReadBits(kKeyCs, cs))
            return false;
        if ((mod & 0x08) && (pfm & 0x03) == 0x03 && cs <= 15) {
            value = 1.0;
            return true;
        }
        double gain;
        if (cs == 1) {
            if (!ValueOf(GPD_A2E_VEL_INDUCTION_GAIN, gain))
                return false;
            value = gain / 20.0;
            return true;
        }
        if (!ValueOf(GPD_VELGAIN_CURRENTGAIN_SCALE, gain))
            return false;
        if (cs <= 15) {
            value = gain / 10.0;
            return true;
        }
        double mdl10;
        if (!ReadConditional(kKeyMdl + 10, mdl10))
            return false;
        value = SafeDivide(gain, mdl10);
        return true;
    }
};
