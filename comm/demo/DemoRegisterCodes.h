// Command codes the demo link's register model and procedures name.
#pragma once

namespace demo_codes {

constexpr int Code(const char (&m)[4]) { return ((m[0] - 64) << 10) | ((m[1] - 64) << 5) | (m[2] - 64); }
constexpr int Code(const char (&m)[3]) { return ((m[0] - 64) << 5) | (m[1] - 64); }

// Module
constexpr int APE = Code("APE"), CSE = Code("CSE"), RQD = Code("RQD"), RQE = Code("RQE"), TSR = Code("TSR"),
              TSS = Code("TSS"), TSE = Code("TSE"), VRM = Code("VRM"), TRE = Code("TRE"), TBS = Code("TBS");
// Drives
constexpr int VER = Code("VER"), CS = Code("CS"), FPN = Code("FPN"), SN = Code("SN"), WKT = Code("WKT"),
              TLP = Code("TLP"), TLI = Code("TLI"), PFG = Code("PFG"), EN = Code("EN"), RSH = Code("RSH"),
              SSA = Code("SSA"), SSF = Code("SSF"), OSA = Code("OSA"), OSB = Code("OSB"), OSC = Code("OSC"),
              OSD = Code("OSD"), CPF = Code("CPF"), BAF = Code("BAF"), SDI = Code("SDI"), SIO = Code("SIO"),
              WFT = Code("WFT"), CCT = Code("CCT"), DDE = Code("DDE"), DDA = Code("DDA"), MFT = Code("MFT"),
              ITC = Code("ITC"), SAP = Code("SAP"), MAA = Code("MAA"), MCC = Code("MCC"), AMC = Code("AMC"),
              REF = Code("REF"), SMT = Code("SMT"), PPI = Code("PPI"), PTI = Code("PTI"), PPE = Code("PPE"),
              PPS = Code("PPS"), SDT = Code("SDT"), IB = Code("IB"), RC = Code("RC"), SC = Code("SC"),
              IRO = Code("IRO"), ISO = Code("ISO"), ITO = Code("ITO"), SIC = Code("SIC"), SVC = Code("SVC"),
              PSC = Code("PSC"), SIA = Code("SIA"), SVS = Code("SVS"), PSF = Code("PSF"), SPE = Code("SPE"),
              PWM = Code("PWM"), MOD = Code("MOD");
// Indexed registers and their index registers
constexpr int MDL = Code("MDL"), MDI = Code("MDI"), WFC = Code("WFC"), WFI = Code("WFI"), DIC = Code("DIC"),
              DII = Code("DII"), DOC = Code("DOC"), DOI = Code("DOI"), BC = Code("BC"), BI = Code("BI"),
              APC = Code("APC"), API = Code("API"), AMF = Code("AMF"), AMI = Code("AMI"), AEP = Code("AEP"),
              AEI = Code("AEI"), RAC = Code("RAC"), RAI = Code("RAI"), XCB = Code("XCB"), XCI = Code("XCI"),
              PTA = Code("PTA");
// Error reports
constexpr int CB = Code("CB");

static_assert(PWM == 17133 && MOD == 13796);
static_assert(TSR == 21106 && VER == 22706 && WFC == 23747 && PTA == 17025 && SDT == 19604 && CB == 98);

}  // namespace demo_codes
