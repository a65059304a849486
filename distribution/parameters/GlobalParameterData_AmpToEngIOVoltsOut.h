// CGlobalParameterData_AmpToEngIOVoltsOut: the conversion parameter GPD_AMPTOENGIOVOLTS_OUTPUT.
#pragma once

#include "distribution/parameters/GlobalParameterData.h"
#include "distribution/parameters/GlobalParameterKinds.h"

class CGlobalParameterData_AmpToEngIOVoltsOut : public CGlobalParameterData {
public:
    bool SetUpQueries() override { return DependOn(GPD_CS); }
    bool Compute(double& value) override
    {
        double cs;
        if (!ValueOf(GPD_CS, cs))
            return false;
        const bool unipolar = cs == 10 || cs == 11;
        const double hi = unipolar ? 5.0 : 10.0;
        const double lo = unipolar ? 0.0 : -10.0;
        value = (hi - lo) * 5000.0 / (3.2767 * 100000000.0);
        return true;
    }
};
