#include "comm/demo/DemoRegisterModel.h"

#include "comm/demo/DemoRegisterCodes.h"
#include "platform/core/Rand.h"
#include "platform/core/SingleLock.h"

namespace {

using namespace demo_codes;

struct IndexedRegister {
    int valueCode;
    int indexCode;
    int entries;
};

constexpr IndexedRegister kIndexed[] = {
    {MDL, MDI, 100}, {WFC, WFI, 100}, {DIC, DII, 13}, {DOC, DOI, 6}, {BC, BI, 4},
    {APC, API, 4},   {AMF, AMI, 4},   {AEP, AEI, 6},  {RAC, RAI, 5}, {XCB, XCI, 6},
};

const IndexedRegister* FindIndexed(int code)
{
    for (const auto& reg : kIndexed) {
        if (reg.valueCode == code)
            return &reg;
    }
    return nullptr;
}

constexpr int kModuleRegisters[] = {APE, CSE, RQD, RQE, TSR, TSS, TSE, VRM, TRE, TBS};

constexpr int kZeroDriveRegisters[] = {EN,  RSH, SSA, SSF, TRE, VRM, OSA, OSB, OSC, OSD, CPF, BAF,
                                       SDI, SIO, WFT, CCT, DDE, DDA, MFT, ITC, SAP, MAA, MCC, AMC,
                                       REF, SMT, PPI, PTI, PPE, PPS, SC,
                                       611, 27255};  // save to NVM, zero speed window

constexpr int kRandomDriveRegisters[] = {
    3,     35,    44,    50,    70,    86,    97,    101,   140,   163,   210,   212,   236,   290,   300,
    307,   419,   425,   428,   429,   432,   434,   436,   449,   528,   579,   658,   716,   717,   722,
    1071,  1075,  1295,  2196,  3119,  3171,  3181,  3186,  3248,  3250,  3251,  3269,  3343,  3364,  3372,
    3373,  3378,  3379,  3508,  3596,  3656,  3663,  3688,  3695,  3713,  3714,  3715,  3732,  4612,  5766,
    6308,  6309,  6320,  6322,  6447,  6728,  6764,  6789,  6792,  6793,  6883,  7461,  7465,  7469,  7472,
    7681,  7684,  7689,  7696,  7702,  7875,  7876,  7878,  7881,  7888,  7891,  7896,  8431,  9252,  9263,
    9267,  9272,  9345,  9349,  9356,  9368,  9396,  9413,  9426,  9428,  9601,  9612,  9620,  9807,  9839,
    9871,  9907,  12395, 13796, 15401, 15407, 15411, 15414, 15433, 15439, 15443, 15497, 15571, 16532, 16588,
    16589, 16614, 16617, 16623, 16804, 16908, 16914, 16995, 16998, 17040, 17133, 18981, 19060, 19169, 19170,
    19171, 19491, 19542, 19558, 19651, 19745, 19747, 19748, 19762, 19763, 19814, 19846, 19971, 19973, 20087,
    20111, 20114, 20115, 20116, 20163, 20179, 20563, 20578, 21091, 21093, 21094, 21096, 22212, 22740, 23058,
    23059, 23060, 23169, 23173, 27236};
static_assert(std::size(kRandomDriveRegisters) == 170);

}  // namespace

CDemoRegisterModel::CDemoRegisterModel()
{
    DefineModule();
    DefineDrive(1, 416);
    DefineDrive(2, 510);
}

DWORD CDemoRegisterModel::Key(int address, int index, int code)
{
    return (static_cast<DWORD>(address) << 24) | (static_cast<DWORD>(index) << 16) | (static_cast<DWORD>(code) & 0xFFFF);
}

void CDemoRegisterModel::Define(int address, int code, LONG value, int index)
{
    m_registers[Key(address, index, code)] = value;
}

void CDemoRegisterModel::DefineModule()
{
    for (int code : kModuleRegisters)
        Define(0, code, 0);
}

void CDemoRegisterModel::DefineDrive(int address, LONG version)
{
    Define(address, VER, version);
    Define(address, CS, 21);
    Define(address, FPN, 5010);
    Define(address, SN, 12345678);
    for (int code : {WKT, TLP, TLI})
        Define(address, code, 100);
    Define(address, PFG, static_cast<LONG>(Rand() * 100 / 32767));
    for (int code : kZeroDriveRegisters)
        Define(address, code, 0);
    for (int code : kRandomDriveRegisters)
        Define(address, code, Rand());
    for (const auto& reg : kIndexed) {
        const bool random = reg.valueCode == MDL || reg.valueCode == WFC;
        for (int i = 0; i < reg.entries; ++i)
            Define(address, reg.valueCode, random ? Rand() : 0, i);
        Define(address, reg.indexCode, reg.entries - 1);
    }
    // Plausible values where windows compute with them: a 16 kHz servo frequency
    // (MDL 11 x MDL 12 x 1e6 / (4 x PWM)), and the Kreln drive in velocity mode.
    Define(address, MDL, 80, 11);
    Define(address, MDL, 1, 12);
    Define(address, PWM, 1250);
    Define(address, MOD, address == 1 ? 2 : 0);
    Define(address, XCB, 87654321, 0);
    Define(address, XCB, 200, 1);
    Define(address, XCB, 7890123, 2);
    // Smart commutation gains and currents (CPG, CIG, CDG, CII, CIF) with a
    // final current above the initial one, and no reversed rotation (FHR).
    Define(address, 3591, 1200);
    Define(address, 3367, 300);
    Define(address, 3207, 50);
    Define(address, 3369, 1000);
    Define(address, 3366, 4000);
    Define(address, 6418, 0);
    // The aux analog output's test level (32 above the analog output's, as its other registers).
    Define(address, 15446, 0);
}

bool CDemoRegisterModel::ResolveKey(int address, int code, DWORD& key)
{
    int index = 0;
    if (const IndexedRegister* reg = FindIndexed(code)) {
        auto it = m_registers.find(Key(address, 0, reg->indexCode));
        // The index shares the key with the address: anything outside a byte would alias another register.
        if (it == m_registers.end() || it->second < 0 || it->second > 255)
            return false;
        index = it->second;
    }
    key = Key(address, index, code);
    return true;
}

bool CDemoRegisterModel::ResolveTableCell(int address, int& cell)
{
    if (address < 0 || address >= kUnits)
        return false;
    auto row = m_registers.find(Key(address, 0, PPI));
    auto column = m_registers.find(Key(address, 0, PTI));
    if (row == m_registers.end() || column == m_registers.end())
        return false;
    if (row->second < 0 || row->second >= kTableRows || column->second < 0 || column->second >= kTableColumns)
        return false;
    cell = row->second * kTableColumns + column->second;
    return true;
}

int CDemoRegisterModel::GetRegister(int address, int code, LONG& value)
{
    CSingleLock lock(&m_lock, TRUE);
    if (code == PTA) {
        int cell;
        if (!ResolveTableCell(address, cell))
            return 0;
        value = m_currentTables[static_cast<size_t>(address)][static_cast<size_t>(cell)];
        return 1;
    }
    DWORD key;
    if (!ResolveKey(address, code, key))
        return 0;
    auto it = m_registers.find(key);
    if (it == m_registers.end())
        return 0;
    value = it->second;
    return 1;
}

bool CDemoRegisterModel::HasRegister(int address, int code)
{
    LONG ignored;
    return GetRegister(address, code, ignored) != 0;
}

void CDemoRegisterModel::BeforeStore(int address, int code, LONG value)
{
    if (address < 0 || address >= kUnits)
        return;
    const bool savedSlot = value >= kFirstSavedSlot && value < kFirstSavedSlot + kSavedSlots;
    auto& current = m_currentTables[static_cast<size_t>(address)];
    if (code == IB)
        m_ibRequests[static_cast<size_t>(address)] = 1;
    else if (code == RC && savedSlot)
        current = m_savedTables[static_cast<size_t>(address)][static_cast<size_t>(value - kFirstSavedSlot)];
    else if (code == SC && savedSlot)
        m_savedTables[static_cast<size_t>(address)][static_cast<size_t>(value - kFirstSavedSlot)] = current;
}

int CDemoRegisterModel::SetRegister(int address, int code, LONG value, int create)
{
    CSingleLock lock(&m_lock, TRUE);
    if (code == PTA) {
        int cell;
        if (!ResolveTableCell(address, cell))
            return 0;
        m_currentTables[static_cast<size_t>(address)][static_cast<size_t>(cell)] = value;
        return 1;
    }
    DWORD key;
    if (!ResolveKey(address, code, key))
        return 0;
    BeforeStore(address, code, value);
    auto it = m_registers.find(key);
    if (it != m_registers.end()) {
        it->second = value;
        return 1;
    }
    if (!create)
        return 0;
    m_registers.emplace(key, value);
    return 1;
}

void CDemoRegisterModel::IncrementRegister(int address, int code)
{
    CSingleLock lock(&m_lock, TRUE);
    LONG value;
    if (GetRegister(address, code, value))
        SetRegister(address, code, value + 1, 0);
}

void CDemoRegisterModel::ChangeBits(int address, int code, LONG set, LONG clear)
{
    CSingleLock lock(&m_lock, TRUE);
    LONG value;
    if (GetRegister(address, code, value))
        SetRegister(address, code, (value | set) & ~clear, 0);
}

int CDemoRegisterModel::GetIbRequest(int address)
{
    CSingleLock lock(&m_lock, TRUE);
    return (address >= 0 && address < kUnits) ? m_ibRequests[static_cast<size_t>(address)] : 0;
}

void CDemoRegisterModel::SetIbRequest(int address, int value)
{
    CSingleLock lock(&m_lock, TRUE);
    if (address >= 0 && address < kUnits)
        m_ibRequests[static_cast<size_t>(address)] = value;
}
