// CGlobalParameterData_Cs: the conversion parameter GPD_CS, the register as read.
#pragma once

#include "distribution/parameters/RegisterValueParameter.h"

class CGlobalParameterData_Cs : public CRegisterValueParameter<kKeyCs> {};
