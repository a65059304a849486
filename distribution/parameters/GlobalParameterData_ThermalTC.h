// CGlobalParameterData_ThermalTC: the conversion parameter GPD_THERMALTC.
#pragma once

#include "distribution/parameters/GlobalParameterData.h"

class CGlobalParameterData_ThermalTC : public CGlobalParameterData {
public:
    bool SetUpQueries() override { return Need(kKeyCs) && Need(kKeyMdl + 11); }
    bool Compute(double& value) override
    {
        double cs;
        return Read(kKeyCs, cs) && Read(kKeyMdl + 11, value);
    }
};
