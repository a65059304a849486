// CGlobalParameterData_Tsc: the conversion parameter GPD_TSC, the register as read.
#pragma once

#include "distribution/parameters/RegisterValueParameter.h"

class CGlobalParameterData_Tsc : public CRegisterValueParameter<kKeyTsc> {};
