// CGlobalParameterData_TsampleI2TfilterAmp: the conversion parameter GPD_TSAMPLEI2TFILTERAMP.
#pragma once

#include "distribution/parameters/ConstantParameter.h"

class CGlobalParameterData_TsampleI2TfilterAmp : public CConstantParameter {
public:
    CGlobalParameterData_TsampleI2TfilterAmp() : CConstantParameter(0.1) {}
};
