// CGlobalParameterData_Cs: the conversion parameter GPD_CS, the register as read.
#pragma once

#include "RegisterValueParameter.h"

class CGlobalParameterData_Cs : public CRegisterValueParameter<kKeyCs> {};
