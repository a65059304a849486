// CGlobalParameterData_AmpToEngIOVoltsInputScale: the conversion parameter GPD_AMPTOENGIOVOLTS_INPUT.
#pragma once

#include "distribution/parameters/ScaledRegisterParameter.h"

class CGlobalParameterData_AmpToEngIOVoltsInputScale : public CScaledRegisterParameter<kKeyMdl + 10> {
public:
    CGlobalParameterData_AmpToEngIOVoltsInputScale() : CScaledRegisterParameter(32767.0) {}
};
