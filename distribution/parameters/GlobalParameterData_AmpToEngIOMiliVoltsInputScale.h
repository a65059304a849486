// CGlobalParameterData_AmpToEngIOMiliVoltsInputScale: the conversion parameter GPD_AMPTOENGIOMILIVOLTS_INPUT.
#pragma once

#include "distribution/parameters/ScaledRegisterParameter.h"

class CGlobalParameterData_AmpToEngIOMiliVoltsInputScale : public CScaledRegisterParameter<kKeyMdl + 10> {
public:
    CGlobalParameterData_AmpToEngIOMiliVoltsInputScale() : CScaledRegisterParameter(32.767) {}
};
