// CGlobalParameterData_TsampleI2TfilterMt: the conversion parameter GPD_TSAMPLEI2TFILTERMT.
#pragma once

#include "distribution/parameters/GlobalParameterData.h"

class CGlobalParameterData_TsampleI2TfilterMt : public CGlobalParameterData {
public:
    bool SetUpQueries() override { return Need(kKeyCs); }
    bool Compute(double& value) override
    {
        double cs;
        if (!Read(kKeyCs, cs))
            return false;
        value = (cs < 16 ? 25.6 : 3.200000000000003) * 32768.0;
        return true;
    }
};
