// CGlobalParameterData_Mdl13: the conversion parameter GPD_MDL13, the register as read.
#pragma once

#include "distribution/parameters/RegisterValueParameter.h"

class CGlobalParameterData_Mdl13 : public CRegisterValueParameter<kKeyMdl + 13> {};
