// CGlobalParameterData_Gvf: the conversion parameter GPD_GVF.
#pragma once

#include "distribution/parameters/ScaledRegisterParameter.h"

class CGlobalParameterData_Gvf : public CScaledRegisterParameter<kKeyGvf> {
public:
    CGlobalParameterData_Gvf() : CScaledRegisterParameter(32768.0) {}
};
