// CGlobalParameterData_A2eVelGain: the conversion parameter GPD_A2E_VEL_GAIN.
#pragma once

#include "distribution/parameters/GlobalParameterData.h"
#include "distribution/parameters/GlobalParameterKinds.h"

class CGlobalParameterData_A2eVelGain : public CGlobalParameterData {
public:
    bool SetUpQueries() override { return Need(kKeyEtf) && DependOn(GPD_A2E_VEL_TACH_GAIN) && DependOn(GPD_A2E_VEL_ENCODER_GAIN); }
    bool Compute(double& value) override
    {
        double etf;
        return Read(kKeyEtf, etf) && ValueOf(etf == 0 ? GPD_A2E_VEL_ENCODER_GAIN : GPD_A2E_VEL_TACH_GAIN, value);
    }
};
