// The parameters' table and factory; each parameter is a class of its own.
#include "distribution/parameters/GlobalParameterKinds.h"

#include "distribution/parameters/GlobalParameterData_A2eCurrentGain.h"
#include "distribution/parameters/GlobalParameterData_A2eCurrentGainRMS.h"
#include "distribution/parameters/GlobalParameterData_A2eVelEncoderGain.h"
#include "distribution/parameters/GlobalParameterData_A2eVelGain.h"
#include "distribution/parameters/GlobalParameterData_A2eVelInductionGain.h"
#include "distribution/parameters/GlobalParameterData_A2eVelTachGain.h"
#include "distribution/parameters/GlobalParameterData_AmpDaScltoDaPrcntGain.h"
#include "distribution/parameters/GlobalParameterData_AmpToEngAccelDecellGain.h"
#include "distribution/parameters/GlobalParameterData_AmpToEngIOMiliVoltsInputScale.h"
#include "distribution/parameters/GlobalParameterData_AmpToEngIOVoltsInputScale.h"
#include "distribution/parameters/GlobalParameterData_AmpToEngIOVoltsOut.h"
#include "distribution/parameters/GlobalParameterData_AnaInScale.h"
#include "distribution/parameters/GlobalParameterData_BreakDecelGain.h"
#include "distribution/parameters/GlobalParameterData_BusVoltageScale.h"
#include "distribution/parameters/GlobalParameterData_CPUVER.h"
#include "distribution/parameters/GlobalParameterData_Cs.h"
#include "distribution/parameters/GlobalParameterData_CsSf.h"
#include "distribution/parameters/GlobalParameterData_CurrentLimitScale.h"
#include "distribution/parameters/GlobalParameterData_Etf.h"
#include "distribution/parameters/GlobalParameterData_Gvf.h"
#include "distribution/parameters/GlobalParameterData_LsecbTimeScale.h"
#include "distribution/parameters/GlobalParameterData_MOD.h"
#include "distribution/parameters/GlobalParameterData_Mc.h"
#include "distribution/parameters/GlobalParameterData_Mdl13.h"
#include "distribution/parameters/GlobalParameterData_Mdl14.h"
#include "distribution/parameters/GlobalParameterData_ServoFreqI.h"
#include "distribution/parameters/GlobalParameterData_TavroPcbType.h"
#include "distribution/parameters/GlobalParameterData_ThermalTC.h"
#include "distribution/parameters/GlobalParameterData_TsampleI2TfilterAmp.h"
#include "distribution/parameters/GlobalParameterData_TsampleI2TfilterMt.h"
#include "distribution/parameters/GlobalParameterData_Tsc.h"
#include "distribution/parameters/GlobalParameterData_VER.h"
#include "distribution/parameters/GlobalParameterData_VelGainCurrentGainScale.h"
#include "distribution/parameters/GlobalParameterData_WFT.h"

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
