// CGlobalParameterData_VelGainCurrentGainScale: the conversion parameter GPD_VELGAIN_CURRENTGAIN_SCALE.
#pragma once

#include "distribution/parameters/GlobalParameterData.h"
#include "distribution/parameters/GlobalParameterKinds.h"

class CGlobalParameterData_VelGainCurrentGainScale : public CGlobalParameterData {
public:
    bool SetUpQueries() override { return Need(kKeyMod) && DependOn(GPD_A2E_VEL_GAIN) && DependOn(GPD_A2E_CURRENT_GAIN); }
    bool Compute(double& value) override
    {
        LONG mod;
        return ReadBits(kKeyMod, mod) &&
               ValueOf(ModSelectsVelocityGain(mod) ? GPD_A2E_VEL_GAIN : GPD_A2E_CURRENT_GAIN, value);
    }
};
