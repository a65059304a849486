// CGlobalParameterData_A2eVelEncoderGain: the conversion parameter GPD_A2E_VEL_ENCODER_GAIN.
#pragma once

#include <cmath>

#include "distribution/parameters/GlobalParameterData.h"
#include "distribution/parameters/GlobalParameterKinds.h"

class CGlobalParameterData_A2eVelEncoderGain : public CGlobalParameterData {
public:
    bool SetUpQueries() override
    {
        return Need(kKeyCs) && Need(kKeyMc) && Need(kKeyEtf) && Need(kKeyGvs) && Need(kKeyFr) &&
               DependOn(GPD_SERVO_FREQ_I) && DependOn(GPD_GVF);
    }
    bool Compute(double& value) override
    {
        double cs, mc, etf, gvs, fr;
        if (!Read(kKeyCs, cs) || !Read(kKeyMc, mc) || !Read(kKeyEtf, etf) || !Read(kKeyGvs, gvs) || !Read(kKeyFr, fr))
            return false;
        if (mc != 0 && mc != 1) {
            value = 1.0;
            return true;
        }
        if (mc == 0 && fr == 0) {
            value = 0.0;
            return true;
        }
        double gvf, servoFreq;
        if (!ValueOf(GPD_GVF, gvf))
            return false;
        if (gvf == 0) {
            value = 0.0;
            return true;
        }
        if (!ValueOf(GPD_SERVO_FREQ_I, servoFreq))
            return false;
        const double scale = std::pow(2.0, gvs) * gvf;
        value = mc == 0 ? servoFreq * 60.0 / (scale * fr * 4.0) : (fr / 100.0) * servoFreq / (scale * 1000.0);
        return true;
    }
};
