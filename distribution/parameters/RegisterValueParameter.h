// A parameter that is one register's value as read.
#pragma once

#include "distribution/parameters/GlobalParameterData.h"

template <int Key>
class CRegisterValueParameter : public CGlobalParameterData {
public:
    bool SetUpQueries() override { return Need(Key); }
    bool Compute(double& value) override { return Read(Key, value); }
};
