// CGlobalParameterData_Mc: the conversion parameter GPD_MC, the register as read.
#pragma once

#include "distribution/parameters/RegisterValueParameter.h"

class CGlobalParameterData_Mc : public CRegisterValueParameter<kKeyMc> {};
