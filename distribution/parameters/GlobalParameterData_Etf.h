// CGlobalParameterData_Etf: the conversion parameter GPD_ETF, the register as read.
#pragma once

#include "distribution/parameters/RegisterValueParameter.h"

class CGlobalParameterData_Etf : public CRegisterValueParameter<kKeyEtf> {};
