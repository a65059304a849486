// CGlobalParameterData_WFT: the conversion parameter GPD_WFT.
#pragma once

#include "distribution/parameters/GlobalParameterData.h"

class CGlobalParameterData_WFT : public CGlobalParameterData {
public:
    bool SetUpQueries() override
    {
        if (!Need(kKeyVer))
            return false;
        double ver;
        if (Read(kKeyVer, ver) && ver / 100.0 >= 5.0)
            return Need(kKeyWft);
        return true;
    }
    bool Compute(double& value) override
    {
        double ver, wft;
        if (!Read(kKeyVer, ver))
            return false;
        if (ver / 100.0 < 5.0) {
            value = -1.0;
            return true;
        }
        if (!ReadConditional(kKeyWft, wft))
            return false;
        value = wft < 0 ? 0.0 : wft;
        return true;
    }
};
