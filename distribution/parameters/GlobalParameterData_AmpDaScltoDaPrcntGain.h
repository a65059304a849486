// CGlobalParameterData_AmpDaScltoDaPrcntGain: the conversion parameter GPD_AMPDASCLTO_DAPRCNT_OUTPUT.
#pragma once

#include "distribution/parameters/ConstantParameter.h"

class CGlobalParameterData_AmpDaScltoDaPrcntGain : public CConstantParameter {
public:
    CGlobalParameterData_AmpDaScltoDaPrcntGain() : CConstantParameter(0.390625) {}
};
