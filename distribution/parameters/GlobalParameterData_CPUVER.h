// CGlobalParameterData_CPUVER: the conversion parameter GPD_CPU2VER, the register as read.
#pragma once

#include "distribution/parameters/RegisterValueParameter.h"

class CGlobalParameterData_CPUVER : public CRegisterValueParameter<kKeyXcb1> {};
