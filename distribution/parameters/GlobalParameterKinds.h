// The conversion parameters a drive table holds: their ids, names and classes.
#pragma once

#include "distribution/parameters/GlobalParameterData.h"

enum GlobalParameterId : int {
    GPD_A2E_VEL_GAIN = 0,
    GPD_A2E_VEL_INDUCTION_GAIN = 1,
    GPD_A2E_VEL_TACH_GAIN = 2,
    GPD_A2E_VEL_ENCODER_GAIN = 3,
    GPD_SERVO_FREQ_I = 4,
    GPD_MC = 5,
    GPD_CS = 6,
    GPD_CS_SF = 7,
    GPD_BUSVOLTSCALE = 8,
    GPD_A2E_CURRENT_GAIN = 9,
    GPD_ETF = 10,
    GPD_MDL13 = 11,
    GPD_TSC = 12,
    GPD_GVF = 13,
    GPD_MDL14 = 15,
    GPD_AMPDASCLTO_DAPRCNT_OUTPUT = 16,
    GPD_AMPTOENGIOVOLTS_OUTPUT = 17,
    GPD_MOD = 18,
    GPD_VER = 19,
    GPD_WFT = 20,
    GPD_TAVRO_PCB_TYPE = 21,
    GPD_CPU2VER = 22,
    GPD_PRIMARY_ANAIN_SCALE = 101,
    GPD_VELGAIN_CURRENTGAIN_SCALE = 102,
    GPD_CURRENT_LIMIT = 103,
    GPD_LSECB_TIME = 104,
    GPD_AMPTOENGIOVOLTS_INPUT = 105,
    GPD_AMPTOENGACCELDECELL_GAIN = 106,
    GPD_TSAMPLEI2TFILTERMT = 107,
    GPD_TSAMPLEI2TFILTERAMP = 108,
    GPD_A2E_CURRENT_GAIN_RMS = 109,
    GPD_THERMALTC = 110,
    GPD_AMPTOENGIOMILIVOLTS_INPUT = 111,
    GPD_BRAKEDECEL_GAIN = 112,
};

struct GlobalParameterKind {
    int id;
    const char* name;
};

// The parameters in the order a drive table creates them.
const GlobalParameterKind* GetGlobalParameterKinds(int& count);
// A new parameter of the id's class; null for an unknown id.
CGlobalParameterData* CreateGlobalParameter(int id);

// MOD bit 1 set and bit 2 clear: the drive works from its velocity gain.
inline bool ModSelectsVelocityGain(LONG mod) { return (mod & 0x02) && !(mod & 0x04); }

// The one block of 1000 part numbers (read from FPN) of the Tavro board
// variant that GPD_TAVRO_PCB_TYPE reports as 1.
constexpr LONG kTavroPcbFirstPartNumber = 41000;
constexpr LONG kTavroPcbPartNumberCount = 1000;
