// CGlobalParameterData_VER: the conversion parameter GPD_VER.
#pragma once

#include "distribution/parameters/ScaledRegisterParameter.h"

class CGlobalParameterData_VER : public CScaledRegisterParameter<kKeyVer> {
public:
    CGlobalParameterData_VER() : CScaledRegisterParameter(100.0) {}
};
