// CGlobalParameterData_MOD: the conversion parameter GPD_MOD, the register as read.
#pragma once

#include "distribution/parameters/RegisterValueParameter.h"

class CGlobalParameterData_MOD : public CRegisterValueParameter<kKeyMod> {};
