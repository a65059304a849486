// One class per conversion parameter. They are a few lines each, so they live
// together here, behind the factory below.
#include "GlobalParameterKinds.h"

#include <cmath>

namespace {

// A parameter that is one register's value as read.
template <int Key>
class CRegisterValueParameter : public CGlobalParameterData {
public:
    bool SetUpQueries() override { return Need(Key); }
    bool Compute(double& value) override { return Read(Key, value); }
};

// A parameter that is a fixed number.
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

bool ModSelectsVelocityGain(LONG mod) { return (mod & 0x02) && !(mod & 0x04); }

}  // namespace

class CGlobalParameterData_A2eVelGain : public CGlobalParameterData {
public:
    bool SetUpQueries() override { return Need(kKeyEtf) && DependOn(GPD_A2E_VEL_TACH_GAIN) && DependOn(GPD_A2E_VEL_ENCODER_GAIN); }
    bool Compute(double& value) override
    {
        double etf;
        return Read(kKeyEtf, etf) && ValueOf(etf == 0 ? GPD_A2E_VEL_ENCODER_GAIN : GPD_A2E_VEL_TACH_GAIN, value);
    }
};

class CGlobalParameterData_A2eVelInductionGain : public CGlobalParameterData {
public:
    bool SetUpQueries() override { return Need(kKeyFr) && Need(kKeyGvs) && DependOn(GPD_SERVO_FREQ_I); }
    bool Compute(double& value) override
    {
        double fr, gvs, servoFreq;
        if (!Read(kKeyFr, fr) || !Read(kKeyGvs, gvs) || !ValueOf(GPD_SERVO_FREQ_I, servoFreq))
            return false;
        value = SafeDivide(servoFreq * 60.0, std::pow(2.0, gvs) * fr * 4.0);
        return true;
    }
};

class CGlobalParameterData_A2eVelTachGain : public CGlobalParameterData {
public:
    bool SetUpQueries() override
    {
        return Need(kKeyAas) && Need(kKeyTsc) && DependOn(GPD_MDL13) && DependOn(GPD_GVF);
    }
    bool Compute(double& value) override
    {
        double aas, tsc, mdl13, gvf;
        if (!Read(kKeyAas, aas) || !Read(kKeyTsc, tsc) || !ValueOf(GPD_MDL13, mdl13) || !ValueOf(GPD_GVF, gvf))
            return false;
        value = SafeDivide(mdl13 * 1000.0, gvf * tsc * 0.01 * aas);
        return true;
    }
};

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

class CGlobalParameterData_ServoFreqI : public CGlobalParameterData {
public:
    bool SetUpQueries() override { return Need(kKeyMdl + 11) && Need(kKeyMdl + 12) && Need(kKeyPwm); }
    bool Compute(double& value) override
    {
        double mdl11, mdl12, pwm;
        if (!Read(kKeyMdl + 11, mdl11) || !Read(kKeyMdl + 12, mdl12) || !Read(kKeyPwm, pwm))
            return false;
        value = SafeDivide(mdl12 * mdl11 * 1000000.0, pwm * 4.0);
        return true;
    }
};

class CGlobalParameterData_Mc : public CRegisterValueParameter<kKeyMc> {};
class CGlobalParameterData_Cs : public CRegisterValueParameter<kKeyCs> {};

class CGlobalParameterData_CsSf : public CGlobalParameterData {
public:
    bool SetUpQueries() override { return Need(kKeyCs); }
    bool Compute(double& value) override
    {
        LONG cs;
        if (!ReadBits(kKeyCs, cs))
            return false;
        value = (cs >> 4) & 1;
        return true;
    }
};

// A parameter that is one register's value over a fixed divisor.
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

class CGlobalParameterData_BusVoltageScale : public CScaledRegisterParameter<kKeyMdl + 9> {
public:
    CGlobalParameterData_BusVoltageScale() : CScaledRegisterParameter(32767.0) {}
};

class CGlobalParameterData_A2eCurrentGain : public CScaledRegisterParameter<kKeyMdl + 6> {
public:
    CGlobalParameterData_A2eCurrentGain() : CScaledRegisterParameter(3276700.0) {}
};

class CGlobalParameterData_Etf : public CRegisterValueParameter<kKeyEtf> {};
class CGlobalParameterData_Mdl13 : public CRegisterValueParameter<kKeyMdl + 13> {};
class CGlobalParameterData_Tsc : public CRegisterValueParameter<kKeyTsc> {};

class CGlobalParameterData_Gvf : public CScaledRegisterParameter<kKeyGvf> {
public:
    CGlobalParameterData_Gvf() : CScaledRegisterParameter(32768.0) {}
};

class CGlobalParameterData_Mdl14 : public CRegisterValueParameter<kKeyMdl + 14> {};

class CGlobalParameterData_AmpDaScltoDaPrcntGain : public CConstantParameter {
public:
    CGlobalParameterData_AmpDaScltoDaPrcntGain() : CConstantParameter(0.390625) {}
};

class CGlobalParameterData_AmpToEngIOVoltsOut : public CGlobalParameterData {
public:
    bool SetUpQueries() override { return DependOn(GPD_CS); }
    bool Compute(double& value) override
    {
        double cs;
        if (!ValueOf(GPD_CS, cs))
            return false;
        const bool unipolar = cs == 10 || cs == 11;
        const double hi = unipolar ? 5.0 : 10.0;
        const double lo = unipolar ? 0.0 : -10.0;
        value = (hi - lo) * 5000.0 / (3.2767 * 100000000.0);
        return true;
    }
};

class CGlobalParameterData_MOD : public CRegisterValueParameter<kKeyMod> {};

class CGlobalParameterData_VER : public CScaledRegisterParameter<kKeyVer> {
public:
    CGlobalParameterData_VER() : CScaledRegisterParameter(100.0) {}
};

class CGlobalParameterData_WFT : public CGlobalParameterData {
public:
    bool SetUpQueries() override
    {
        if (!Need(kKeyVer))
            return false;
        double ver;
        if (Read(kKeyVer, ver) && ver / 100.0 >= 5.0)
            return Need(kKeyWft);
        return true;
    }
    bool Compute(double& value) override
    {
        double ver, wft;
        if (!Read(kKeyVer, ver))
            return false;
        if (ver / 100.0 < 5.0) {
            value = -1.0;
            return true;
        }
        if (!ReadConditional(kKeyWft, wft))
            return false;
        value = wft < 0 ? 0.0 : wft;
        return true;
    }
};

class CGlobalParameterData_TavroPcbType : public CGlobalParameterData {
public:
    bool SetUpQueries() override { return Need(kKeyFpn); }
    bool Compute(double& value) override
    {
        LONG fpn;
        if (!ReadBits(kKeyFpn, fpn))
            return false;
        value = fpn >= kTavroPcbFirstPartNumber && fpn < kTavroPcbFirstPartNumber + kTavroPcbPartNumberCount ? 1.0 : 0.0;
        return true;
    }
};

class CGlobalParameterData_CPUVER : public CRegisterValueParameter<kKeyXcb1> {};

class CGlobalParameterData_AnaInScale : public CGlobalParameterData {
public:
    bool SetUpQueries() override
    {
        if (!Need(kKeyMod) || !Need(kKeyPfm) || !Need(kKeyCs))
            return false;
        double cs;
        if (Read(kKeyCs, cs) && cs > 15 && !Need(kKeyMdl + 10))
            return false;
        return DependOn(GPD_A2E_VEL_INDUCTION_GAIN) && DependOn(GPD_VELGAIN_CURRENTGAIN_SCALE);
    }
    bool Compute(double& value) override
    {
        LONG mod, pfm, cs;
        if (!ReadBits(kKeyMod, mod) || !ReadBits(kKeyPfm, pfm) || !ReadBits(kKeyCs, cs))
            return false;
        if ((mod & 0x08) && (pfm & 0x03) == 0x03 && cs <= 15) {
            value = 1.0;
            return true;
        }
        double gain;
        if (cs == 1) {
            if (!ValueOf(GPD_A2E_VEL_INDUCTION_GAIN, gain))
                return false;
            value = gain / 20.0;
            return true;
        }
        if (!ValueOf(GPD_VELGAIN_CURRENTGAIN_SCALE, gain))
            return false;
        if (cs <= 15) {
            value = gain / 10.0;
            return true;
        }
        double mdl10;
        if (!ReadConditional(kKeyMdl + 10, mdl10))
            return false;
        value = SafeDivide(gain, mdl10);
        return true;
    }
};

class CGlobalParameterData_VelGainCurrentGainScale : public CGlobalParameterData {
public:
    bool SetUpQueries() override { return Need(kKeyMod) && DependOn(GPD_A2E_VEL_GAIN) && DependOn(GPD_A2E_CURRENT_GAIN); }
    bool Compute(double& value) override
    {
        LONG mod;
        return ReadBits(kKeyMod, mod) &&
               ValueOf(ModSelectsVelocityGain(mod) ? GPD_A2E_VEL_GAIN : GPD_A2E_CURRENT_GAIN, value);
    }
};

class CGlobalParameterData_CurrentLimitScale : public CGlobalParameterData {
public:
    bool SetUpQueries() override
    {
        return DependOn(GPD_CS) && DependOn(GPD_A2E_VEL_INDUCTION_GAIN) && DependOn(GPD_A2E_CURRENT_GAIN);
    }
    bool Compute(double& value) override
    {
        double cs;
        return ValueOf(GPD_CS, cs) && ValueOf(cs == 1 ? GPD_A2E_VEL_INDUCTION_GAIN : GPD_A2E_CURRENT_GAIN, value);
    }
};

class CGlobalParameterData_LsecbTimeScale : public CGlobalParameterData {
public:
    bool SetUpQueries() override
    {
        if (!DependOn(GPD_VER) || !DependOn(GPD_CS) || !DependOn(GPD_SERVO_FREQ_I))
            return false;
        double ver, cs;
        if (ValueOf(GPD_VER, ver) && ver < 5 && ValueOf(GPD_CS, cs) && cs > 15)
            return Need(kKeyMdl + 14);
        return true;
    }
    bool Compute(double& value) override
    {
        double ver, cs;
        if (!ValueOf(GPD_VER, ver))
            return false;
        if (ver >= 5) {
            value = 0.001;
            return true;
        }
        if (!ValueOf(GPD_CS, cs))
            return false;
        if (cs <= 15) {
            value = 0.01;
            return true;
        }
        double mdl14, servoFreq;
        if (!ReadConditional(kKeyMdl + 14, mdl14) || !ValueOf(GPD_SERVO_FREQ_I, servoFreq))
            return false;
        const bool quarter = (static_cast<LONG>(mdl14) & 0x200) != 0;
        value = SafeDivide(128.0, quarter ? servoFreq * 4.0 : servoFreq);
        return true;
    }
};

class CGlobalParameterData_AmpToEngIOVoltsInputScale : public CScaledRegisterParameter<kKeyMdl + 10> {
public:
    CGlobalParameterData_AmpToEngIOVoltsInputScale() : CScaledRegisterParameter(32767.0) {}
};

class CGlobalParameterData_AmpToEngAccelDecellGain : public CGlobalParameterData {
public:
    bool SetUpQueries() override
    {
        return Need(kKeyMod) && Need(kKeyMdl + 14) && DependOn(GPD_CS) && DependOn(GPD_SERVO_FREQ_I) &&
               DependOn(GPD_A2E_VEL_INDUCTION_GAIN) && DependOn(GPD_A2E_CURRENT_GAIN) && DependOn(GPD_A2E_VEL_GAIN);
    }
    bool Compute(double& value) override
    {
        LONG mod, mdl14;
        double cs, servoFreq, gain;
        if (!ReadBits(kKeyMod, mod) || !ReadBits(kKeyMdl + 14, mdl14) || !ValueOf(GPD_CS, cs) ||
            !ValueOf(GPD_SERVO_FREQ_I, servoFreq))
            return false;
        int gainId;
        if (cs == 1)
            gainId = GPD_A2E_VEL_INDUCTION_GAIN;
        else if (ModSelectsVelocityGain(mod))
            gainId = GPD_A2E_VEL_GAIN;
        else if (!(mod & 0x02) && !(mod & 0x04))
            gainId = GPD_A2E_CURRENT_GAIN;
        else if (mdl14 & 0x1000)
            gainId = GPD_A2E_VEL_GAIN;
        else {
            value = 0.0;
            return true;
        }
        if (!ValueOf(gainId, gain))
            return false;
        value = servoFreq * gain / 256.0;
        return true;
    }
};

class CGlobalParameterData_TsampleI2TfilterMt : public CGlobalParameterData {
public:
    bool SetUpQueries() override { return Need(kKeyCs); }
    bool Compute(double& value) override
    {
        double cs;
        if (!Read(kKeyCs, cs))
            return false;
        value = (cs < 16 ? 25.6 : 3.200000000000003) * 32768.0;
        return true;
    }
};

class CGlobalParameterData_TsampleI2TfilterAmp : public CConstantParameter {
public:
    CGlobalParameterData_TsampleI2TfilterAmp() : CConstantParameter(0.1) {}
};

class CGlobalParameterData_A2eCurrentGainRMS : public CGlobalParameterData {
public:
    bool SetUpQueries() override { return DependOn(GPD_A2E_CURRENT_GAIN); }
    bool Compute(double& value) override
    {
        double gain;
        if (!ValueOf(GPD_A2E_CURRENT_GAIN, gain))
            return false;
        value = gain / std::sqrt(2.0);
        return true;
    }
};

class CGlobalParameterData_ThermalTC : public CGlobalParameterData {
public:
    bool SetUpQueries() override { return Need(kKeyCs) && Need(kKeyMdl + 11); }
    bool Compute(double& value) override
    {
        double cs;
        return Read(kKeyCs, cs) && Read(kKeyMdl + 11, value);
    }
};

class CGlobalParameterData_AmpToEngIOMiliVoltsInputScale : public CScaledRegisterParameter<kKeyMdl + 10> {
public:
    CGlobalParameterData_AmpToEngIOMiliVoltsInputScale() : CScaledRegisterParameter(32.767) {}
};

class CGlobalParameterData_BreakDecelGain : public CGlobalParameterData {
public:
    bool SetUpQueries() override { return DependOn(GPD_SERVO_FREQ_I) && DependOn(GPD_A2E_VEL_GAIN); }
    bool Compute(double& value) override
    {
        double servoFreq, velGain;
        if (!ValueOf(GPD_SERVO_FREQ_I, servoFreq) || !ValueOf(GPD_A2E_VEL_GAIN, velGain))
            return false;
        value = velGain / 256.0 * servoFreq;
        return true;
    }
};

namespace {

const GlobalParameterKind kKinds[] = {
    {GPD_A2E_VEL_GAIN, "GPD_A2E_VEL_GAIN"},
    {GPD_A2E_VEL_INDUCTION_GAIN, "GPD_A2E_VEL_INDUCTION_GAIN"},
    {GPD_A2E_VEL_TACH_GAIN, "GPD_A2E_VEL_TACH_GAIN"},
    {GPD_A2E_VEL_ENCODER_GAIN, "GPD_A2E_VEL_ENCODER_GAIN"},
    {GPD_SERVO_FREQ_I, "GPD_SERVO_FREQ_I"},
    {GPD_MC, "GPD_MC"},
    {GPD_CS, "GPD_CS"},
    {GPD_CS_SF, "GPD_CS_SF"},
    {GPD_BUSVOLTSCALE, "GPD_BUSVOLTSCALE"},
    {GPD_A2E_CURRENT_GAIN, "GPD_A2E_CURRENT_GAIN"},
    {GPD_ETF, "GPD_ETF"},
    {GPD_MDL13, "GPD_MDL13"},
    {GPD_MDL14, "GPD_MDL14"},
    {GPD_TSC, "GPD_TSC"},
    {GPD_GVF, "GPD_GVF"},
    {GPD_PRIMARY_ANAIN_SCALE, "GPD_PRIMARY_ANAIN_SCALE"},
    {GPD_VELGAIN_CURRENTGAIN_SCALE, "GPD_VELGAIN_CURRENTGAIN_SCALE"},
    {GPD_CURRENT_LIMIT, "GPD_CURRENT_LIMIT"},
    {GPD_LSECB_TIME, "GPD_LSECB_TIME"},
    {GPD_AMPTOENGIOVOLTS_INPUT, "GPD_AMPTOENGIOVOLTS_INPUT"},
    {GPD_AMPDASCLTO_DAPRCNT_OUTPUT, "GPD_AMPDASCLTO_DAPRCNT_OUTPUT"},
    {GPD_AMPTOENGIOVOLTS_OUTPUT, "GPD_AMPTOENGIOVOLTS_OUTPUT"},
    {GPD_AMPTOENGACCELDECELL_GAIN, "GPD_AMPTOENGACCELDECELL_GAIN"},
    {GPD_VER, "GPD_VER"},
    {GPD_TSAMPLEI2TFILTERMT, "GPD_TSAMPLEI2TFILTERMT"},
    {GPD_TSAMPLEI2TFILTERAMP, "GPD_TSAMPLEI2TFILTERAMP"},
    {GPD_A2E_CURRENT_GAIN_RMS, "GPD_A2E_CURRENT_GAIN_RMS"},
    {GPD_THERMALTC, "GPD_THERMALTC"},
    {GPD_MOD, "GPD_MOD"},
    {GPD_WFT, "GPD_WFT"},
    {GPD_AMPTOENGIOMILIVOLTS_INPUT, "GPD_AMPTOENGIOMILIVOLTS_INPUT"},
    {GPD_TAVRO_PCB_TYPE, "GPD_TAVRO_PCB_TYPE"},
    {GPD_CPU2VER, "GPD_CPU2VER"},
    {GPD_BRAKEDECEL_GAIN, "GPD_BRAKEDECEL_GAIN"},
};

}  // namespace

const GlobalParameterKind* GetGlobalParameterKinds(int& count)
{
    count = static_cast<int>(sizeof(kKinds) / sizeof(kKinds[0]));
    return kKinds;
}

CGlobalParameterData* CreateGlobalParameter(int id)
{
    switch (id) {
    case GPD_A2E_VEL_GAIN: return new CGlobalParameterData_A2eVelGain;
    case GPD_A2E_VEL_INDUCTION_GAIN: return new CGlobalParameterData_A2eVelInductionGain;
    case GPD_A2E_VEL_TACH_GAIN: return new CGlobalParameterData_A2eVelTachGain;
    case GPD_A2E_VEL_ENCODER_GAIN: return new CGlobalParameterData_A2eVelEncoderGain;
    case GPD_SERVO_FREQ_I: return new CGlobalParameterData_ServoFreqI;
    case GPD_MC: return new CGlobalParameterData_Mc;
    case GPD_CS: return new CGlobalParameterData_Cs;
    case GPD_CS_SF: return new CGlobalParameterData_CsSf;
    case GPD_BUSVOLTSCALE: return new CGlobalParameterData_BusVoltageScale;
    case GPD_A2E_CURRENT_GAIN: return new CGlobalParameterData_A2eCurrentGain;
    case GPD_ETF: return new CGlobalParameterData_Etf;
    case GPD_MDL13: return new CGlobalParameterData_Mdl13;
    case GPD_TSC: return new CGlobalParameterData_Tsc;
    case GPD_GVF: return new CGlobalParameterData_Gvf;
    case GPD_MDL14: return new CGlobalParameterData_Mdl14;
    case GPD_AMPDASCLTO_DAPRCNT_OUTPUT: return new CGlobalParameterData_AmpDaScltoDaPrcntGain;
    case GPD_AMPTOENGIOVOLTS_OUTPUT: return new CGlobalParameterData_AmpToEngIOVoltsOut;
    case GPD_MOD: return new CGlobalParameterData_MOD;
    case GPD_VER: return new CGlobalParameterData_VER;
    case GPD_WFT: return new CGlobalParameterData_WFT;
    case GPD_TAVRO_PCB_TYPE: return new CGlobalParameterData_TavroPcbType;
    case GPD_CPU2VER: return new CGlobalParameterData_CPUVER;
    case GPD_PRIMARY_ANAIN_SCALE: return new CGlobalParameterData_AnaInScale;
    case GPD_VELGAIN_CURRENTGAIN_SCALE: return new CGlobalParameterData_VelGainCurrentGainScale;
    case GPD_CURRENT_LIMIT: return new CGlobalParameterData_CurrentLimitScale;
    case GPD_LSECB_TIME: return new CGlobalParameterData_LsecbTimeScale;
    case GPD_AMPTOENGIOVOLTS_INPUT: return new CGlobalParameterData_AmpToEngIOVoltsInputScale;
    case GPD_AMPTOENGACCELDECELL_GAIN: return new CGlobalParameterData_AmpToEngAccelDecellGain;
    case GPD_TSAMPLEI2TFILTERMT: return new CGlobalParameterData_TsampleI2TfilterMt;
    case GPD_TSAMPLEI2TFILTERAMP: return new CGlobalParameterData_TsampleI2TfilterAmp;
    case GPD_A2E_CURRENT_GAIN_RMS: return new CGlobalParameterData_A2eCurrentGainRMS;
    case GPD_THERMALTC: return new CGlobalParameterData_ThermalTC;
    case GPD_AMPTOENGIOMILIVOLTS_INPUT: return new CGlobalParameterData_AmpToEngIOMiliVoltsInputScale;
    case GPD_BRAKEDECEL_GAIN: return new CGlobalParameterData_BreakDecelGain;
    default: return nullptr;
    }
}
