// A parameter that is a fixed number.
#pragma once

#include "distribution/parameters/GlobalParameterData.h"

class CConstantParameter : public CGlobalParameterData {
public:
    explicit CConstantParameter(double value) : m_constant(value) {}
    bool SetUpQueries() override { return true; }
    bool Compute(double& value) override
    {
        value = m_constant;
        return true;
    }

private:
    double m_constant;
};
