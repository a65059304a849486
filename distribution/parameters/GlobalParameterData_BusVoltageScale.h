// CGlobalParameterData_BusVoltageScale: the conversion parameter GPD_BUSVOLTSCALE.
#pragma once

#include "distribution/parameters/ScaledRegisterParameter.h"

class CGlobalParameterData_BusVoltageScale : public CScaledRegisterParameter<kKeyMdl + 9> {
public:
    CGlobalParameterData_BusVoltageScale() : CScaledRegisterParameter(32767.0) {}
};
