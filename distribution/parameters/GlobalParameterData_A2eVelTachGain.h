// CGlobalParameterData_A2eVelTachGain: the conversion parameter GPD_A2E_VEL_TACH_GAIN.
#pragma once

#include "distribution/parameters/GlobalParameterData.h"
#include "distribution/parameters/GlobalParameterKinds.h"

class CGlobalParameterData_A2eVelTachGain : public CGlobalParameterData {
public:
    bool SetUpQueries() override
    {
        return Need(kKeyAas) && Need(kKeyTsc) && DependOn(GPD_MDL13) && DependOn(GPD_GVF);
    }
    bool Compute(double& value) override
    {
        double aas, tsc, mdl13, gvf;
        if (!Read(kKeyAas, aas) || !Read(kKeyTsc, tsc) || !ValueOf(GPD_MDL13, mdl13) || !ValueOf(GPD_GVF, gvf))
            return false;
        value = SafeDivide(mdl13 * 1000.0, gvf * tsc * 0.01 * aas);
        return true;
    }
};
