// CGlobalParameterData_CsSf: the conversion parameter GPD_CS_SF.
#pragma once

#include "distribution/parameters/GlobalParameterData.h"

class CGlobalParameterData_CsSf : public CGlobalParameterData {
public:
    bool SetUpQueries() override { return Need(kKeyCs); }
    bool Compute(double& value) override
    {
        LONG cs;
        if (!ReadBits(kKeyCs, cs))
            return false;
        value = (cs >> 4) & 1;
        return true;
    }
};
