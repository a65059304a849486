// CGlobalParameterData_A2eCurrentGainRMS: the conversion parameter GPD_A2E_CURRENT_GAIN_RMS.
#pragma once

#include <cmath>

#include "distribution/parameters/GlobalParameterData.h"
#include "distribution/parameters/GlobalParameterKinds.h"

class CGlobalParameterData_A2eCurrentGainRMS : public CGlobalParameterData {
public:
    bool SetUpQueries() override { return DependOn(GPD_A2E_CURRENT_GAIN); }
    bool Compute(double& value) override
    {
        double gain;
        if (!ValueOf(GPD_A2E_CURRENT_GAIN, gain))
            return false;
        value = gain / std::sqrt(2.0);
        return true;
    }
};
