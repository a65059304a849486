// CGlobalParameterData_TavroPcbType: the conversion parameter GPD_TAVRO_PCB_TYPE.
#pragma once

#include "distribution/parameters/GlobalParameterData.h"
#include "distribution/parameters/GlobalParameterKinds.h"

class CGlobalParameterData_TavroPcbType : public CGlobalParameterData {
public:
    bool SetUpQueries() override { return Need(kKeyFpn); }
    bool Compute(double& value) override
    {
        LONG fpn;
        if (!ReadBits(kKeyFpn, fpn))
            return false;
        value = fpn >= kTavroPcbFirstPartNumber && fpn < kTavroPcbFirstPartNumber + kTavroPcbPartNumberCount ? 1.0 : 0.0;
        return true;
    }
};
