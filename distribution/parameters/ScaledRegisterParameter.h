// A parameter that is one register's value over a fixed divisor.
#pragma once

#include "distribution/parameters/GlobalParameterData.h"

template <int Key>
class CScaledRegisterParameter : public CGlobalParameterData {
public:
    explicit CScaledRegisterParameter(double divisor) : m_divisor(divisor) {}
    bool SetUpQueries() override { return Need(Key); }
    bool Compute(double& value) override
    {
        double raw;
        if (!Read(Key, raw))
            return false;
        value = raw / m_divisor;
        return true;
    }

private:
    double m_divisor;
};
