// CGlobalParameterData_CurrentLimitScale: the conversion parameter GPD_CURRENT_LIMIT.
#pragma once

#include "distribution/parameters/GlobalParameterData.h"
#include "distribution/parameters/GlobalParameterKinds.h"

class CGlobalParameterData_CurrentLimitScale : public CGlobalParameterData {
public:
    bool SetUpQueries() override
    {
        return DependOn(GPD_CS) && DependOn(GPD_A2E_VEL_INDUCTION_GAIN) && DependOn(GPD_A2E_CURRENT_GAIN);
    }
    bool Compute(double& value) override
    {
        double cs;
        return ValueOf(GPD_CS, cs) && ValueOf(cs == 1 ? GPD_A2E_VEL_INDUCTION_GAIN : GPD_A2E_CURRENT_GAIN, value);
    }
};
