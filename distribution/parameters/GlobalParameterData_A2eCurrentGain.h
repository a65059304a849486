// CGlobalParameterData_A2eCurrentGain: the conversion parameter GPD_A2E_CURRENT_GAIN.
#pragma once

#include "distribution/parameters/ScaledRegisterParameter.h"

class CGlobalParameterData_A2eCurrentGain : public CScaledRegisterParameter<kKeyMdl + 6> {
public:
    CGlobalParameterData_A2eCurrentGain() : CScaledRegisterParameter(3276700.0) {}
};
