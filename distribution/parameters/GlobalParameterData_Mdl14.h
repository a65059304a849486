// CGlobalParameterData_Mdl14: the conversion parameter GPD_MDL14, the register as read.
#pragma once

#include "distribution/parameters/RegisterValueParameter.h"

class CGlobalParameterData_Mdl14 : public CRegisterValueParameter<kKeyMdl + 14> {};
