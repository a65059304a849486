#include "comm/demo/CommunicationsModuleSimulator.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "comm/protocol/AmpCommand.h"
#include "comm/link/AmplifierData.h"
#include "comm/link/CommAppServices.h"
#include "comm/demo/DemoRegisterCodes.h"
#include "platform/core/MessageBox.h"
#include "platform/core/Rand.h"
#include "platform/core/SingleLock.h"

using namespace demo_codes;

namespace {
constexpr LONG kEnabledBit = 0x100;
// MOD: bit 2 velocity loop, bit 4 position loop.
constexpr LONG kVelocityModeBit = 2;
constexpr LONG kPositionModeBit = 4;
constexpr LONG kBalancingBit = 0x800;
constexpr LONG kPhaseFindingBit = 0x4000;
constexpr int kErrInvalidCommand = 1;
constexpr int kErrCheckByte = 2;
constexpr int kErrInvalidAddress = 32;
constexpr int kMaxReadBytes = 1024;

LONG SignExtend(LONG value, int width)
{
    if (width == 1)
        return static_cast<int8_t>(value & 0xFF);
    if (width == 2)
        return static_cast<int16_t>(value & 0xFFFF);
    return value;
}

LONG Truncate(double v) { return static_cast<LONG>(std::trunc(v)); }

LONG ConnectedDriveFamily(int address)
{
    CCommAppServices* app = CCommAppServices::Get();
    return app ? app->GetDriveFamily(address) : -1;
}
}  // namespace

CCommunicationsModuleSimulator::CCommunicationsModuleSimulator()
{
    SetName("DEMO Drive");
    m_moduleClock.Restart();
    m_deliveryClock.Restart();
}

CCommunicationsModuleSimulator::~CCommunicationsModuleSimulator() { StopThread(1); }

int CCommunicationsModuleSimulator::Open()
{
    m_create = 1;
    if (GetState() == kIdle)
        StartThread(THREAD_PRIORITY_HIGHEST, 20);
    SetOpenState(1);
    return 1;
}

int CCommunicationsModuleSimulator::Close()
{
    StopThread(1);
    SetOpenState(0);
    return 1;
}

int CCommunicationsModuleSimulator::Write(int count, const BYTE* bytes)
{
    int written;
    {
        CSingleLock lock(&m_inputLock, TRUE);
        written = m_input.Write(bytes, count) == count ? 1 : 0;
    }
    Wake();
    return written;
}

int CCommunicationsModuleSimulator::Read(int maximum, BYTE* buffer)
{
    CSingleLock lock(&m_outputLock, TRUE);
    int n = std::min(maximum, m_output.GetCount());
    n = std::min(n, kMaxReadBytes);
    if (n <= 0)
        return 0;
    return std::max(m_output.Read(n, buffer), 0);
}

int CCommunicationsModuleSimulator::Purge(int /*what*/)
{
    CSingleLock lock(&m_outputLock, TRUE);
    m_output.Clear();
    return 1;
}

int CCommunicationsModuleSimulator::IdentifyDrive(int address)
{
    // The module is there: it answers as one, so the scan lists it beside its drives.
    if (address == 0)
        return kFamilyCommModule;
    LONG version;
    if (address < 0 || address >= CDemoRegisterModel::kUnits || !m_model.GetRegister(address, VER, version))
        return -2;
    return version >= 500 ? kFamilyTavro : kFamilyKreln;
}

int CCommunicationsModuleSimulator::Step()
{
    RunCycle();
    return 0;
}

int CCommunicationsModuleSimulator::GetRestMs() { return HasOwnWork() ? GetPeriod() : kRestUntilWoken; }

bool CCommunicationsModuleSimulator::HasOwnWork()
{
    {
        CSingleLock input(&m_inputLock, TRUE);
        if (m_input.GetCount() > 0)
            return true;
    }
    {
        CSingleLock staging(&m_stagingLock, TRUE);
        if (m_staging.GetCount() > 0)
            return true;
    }
    for (DWORD word : m_pollSlots)
        if (word >> 16)
            return true;
    for (int address = 0; address < CDemoRegisterModel::kUnits; ++address)
        if (DriveIsBusy(address))
            return true;
    return false;
}

bool CCommunicationsModuleSimulator::DriveIsBusy(int a)
{
    CSingleLock lock(&m_model.Lock(), TRUE);
    LONG ssa = 0, cpf = 0, baf = 0;
    m_model.GetRegister(a, SSA, ssa);
    m_model.GetRegister(a, CPF, cpf);
    m_model.GetRegister(a, BAF, baf);
    return (ssa & (kEnabledBit | kPhaseFindingBit | kBalancingBit)) || cpf > 0 || baf > 0 ||
           m_bafState[static_cast<size_t>(a)] > 0 || m_model.GetIbRequest(a);
}

void CCommunicationsModuleSimulator::RunCycle(bool deliverAtOnce)
{
    ReadModuleClock();
    HandleInput();
    UpdateMotionValues();
    ServePollSlots();
    for (int address = 0; address < CDemoRegisterModel::kUnits; ++address) {
        RunCpfProcedure(address);
        RunIbProcedure(address);
        RunBafProcedure(address);
    }
    DeliverStagedAnswers(deliverAtOnce);
}

// ---- frames written by the manager ------------------------------------------

void CCommunicationsModuleSimulator::HandleInput()
{
    CSingleLock lock(&m_inputLock, TRUE);
    std::vector<BYTE> bytes(static_cast<size_t>(m_input.GetCount()));
    if (bytes.empty())
        return;
    const int got = m_input.Read(static_cast<int>(bytes.size()), bytes.data());
    bytes.resize(static_cast<size_t>(std::max(got, 0)));
    size_t at = 0;
    while (at < bytes.size())
        at += HandleFrame(bytes.data() + at, bytes.size() - at);
}

// Handles the frame at the start of bytes; returns the bytes it used. A frame cut
// short (only an overflowing input ring does that) is dropped.
size_t CCommunicationsModuleSimulator::HandleFrame(const BYTE* bytes, size_t available)
{
    const BYTE header = bytes[0];
    Frame frame{header & 31, header >> 5, 0, 0};
    if (frame.width > 4) {
        // No length can be trusted: answer a check error and resynchronise on the next byte.
        StageError(frame.address, 0, kErrCheckByte);
        return 1;
    }
    const size_t length = 4 + static_cast<size_t>(frame.width);
    if (available < length)
        return available;
    frame.code = (bytes[1] << 8) | bytes[2];
    DWORD raw = 0;
    for (int i = 0; i < frame.width; ++i)
        raw |= static_cast<DWORD>(bytes[3 + i]) << (8 * i);
    frame.value = SignExtend(static_cast<LONG>(raw), frame.width);
    if (bytes[3 + frame.width] != static_cast<BYTE>(header ^ 0xFF)) {
        StageError(frame.address, frame.code, kErrCheckByte);
        return length;
    }
    if (frame.address >= CDemoRegisterModel::kUnits) {
        StageError(frame.address, frame.code, kErrInvalidAddress);
        return length;
    }
    if (frame.width == 0)
        HandleRead(frame);
    else
        HandleWrite(frame);
    return length;
}

void CCommunicationsModuleSimulator::HandleRead(const Frame& frame)
{
    LONG value;
    if (m_model.GetRegister(frame.address, frame.code, value))
        StageReply(frame.address, frame.code, value, 4);
    else if (frame.code == SDT)
        StageReply(frame.address, frame.code, ConnectedDriveFamily(frame.address), 4);
    else
        StageError(frame.address, frame.code, kErrInvalidCommand);
    StepLinkedRegister(frame);
    StageTimeStampIfOn();
}

// Applies what a write does besides storing; returns false when nothing is to be stored.
bool CCommunicationsModuleSimulator::ApplyWriteSideEffects(const Frame& frame, LONG& stored, bool& echo)
{
    const int a = frame.address;
    echo = true;
    stored = frame.value;
    switch (frame.code) {
    case EN:
        if (frame.value != 0)
            m_model.ChangeBits(a, SSA, kEnabledBit, 0);
        else
            m_model.ChangeBits(a, SSA, 0, kEnabledBit);
        if (m_model.HasRegister(a, PPE))
            m_model.SetRegister(a, PPE, 0, 0);
        break;
    case SSA:
        if (!(frame.value & kEnabledBit) && m_model.HasRegister(a, EN))
            m_model.SetRegister(a, EN, 0, 0);
        break;
    case OSA:
    case OSB:
    case OSC:
    case OSD: {
        const size_t slot = static_cast<size_t>(a * 4 + (frame.code - OSA));
        m_pollSlots[slot] = static_cast<DWORD>(frame.value);
        m_pollClocks[slot].Restart();
        break;
    }
    case SDT:
        if (frame.value == 2)
            m_model.SetRegister(a, VER, 450, 0);
        else if (frame.value == 4)
            m_model.SetRegister(a, VER, 520, 0);
        // Shown on the GUI thread; this thread must go on answering.
        AfxPostEngineMessageBox("SDT is currently not implemented", "Korvane", MB_OK);
        break;
    case TSS:
        m_moduleClock.Restart(static_cast<double>(static_cast<DWORD>(frame.value)) / 1000.0);
        ReadModuleClock();
        break;
    case VRM: {
        LONG previous = 0;
        m_model.GetRegister(a, VRM, previous);
        stored = (frame.value & 3) ? 1 : 0;
        echo = stored == 1 || ((frame.value & 5) && previous != 0);
        break;
    }
    default:
        break;
    }
    return true;
}

void CCommunicationsModuleSimulator::FailWrites(int address, int code, int error)
{
    CSingleLock lock(&m_failedWritesLock, TRUE);
    if (error)
        m_failedWrites[{address, code}] = error;
    else
        m_failedWrites.erase({address, code});
}

void CCommunicationsModuleSimulator::HandleWrite(const Frame& frame)
{
    int failure = 0;
    {
        CSingleLock lock(&m_failedWritesLock, TRUE);
        auto found = m_failedWrites.find({frame.address, frame.code});
        if (found != m_failedWrites.end())
            failure = found->second;
    }
    if (failure) {
        StageError(frame.address, frame.code, failure);
        StageTimeStampIfOn();
        return;
    }
    LONG stored;
    bool echo;
    ApplyWriteSideEffects(frame, stored, echo);
    if (!m_model.SetRegister(frame.address, frame.code, stored, m_create ? 1 : 0)) {
        StageError(frame.address, frame.code, kErrInvalidCommand);
        StepLinkedRegister(frame);
        StageTimeStampIfOn();
        return;
    }
    if (frame.code == VER) {
        if (CCommAppServices* app = CCommAppServices::Get())
            app->PostUpdateMainMenu();
    }
    CommandLoopModel(frame);
    if (echo)
        StageReply(frame.address, frame.code, frame.value, frame.width);
    StepLinkedRegister(frame);
    if (echo)
        StageTimeStampIfOn();
}

void CCommunicationsModuleSimulator::CommandLoopModel(const Frame& frame)
{
    const int a = frame.address;
    if (a < 1 || a >= CDemoRegisterModel::kUnits || (frame.code != 3 && frame.code != PSC))
        return;
    LONG ssa = 0, mode = 0;
    if (!m_model.GetRegister(a, SSA, ssa) || !(ssa & kEnabledBit))
        return;
    m_model.GetRegister(a, MOD, mode);
    const bool position = (mode & kPositionModeBit) != 0;
    if (position != (frame.code == PSC))
        return;
    const int measured = position ? PSF : (mode & kVelocityModeBit) ? SVS : SIA;
    auto& loop = m_loops[static_cast<size_t>(a)];
    if (m_loopMeasuredCodes[static_cast<size_t>(a)] != measured)
        loop.Reset();
    m_loopMeasuredCodes[static_cast<size_t>(a)] = measured;
    loop.Command(static_cast<double>(frame.value));
}

void CCommunicationsModuleSimulator::StepLinkedRegister(const Frame& frame)
{
    if (frame.code == WFC)
        m_model.IncrementRegister(frame.address, WFI);
}

// ---- answers ------------------------------------------------------------------

void CCommunicationsModuleSimulator::StageBytes(const BYTE* bytes, int count)
{
    CSingleLock lock(&m_stagingLock, TRUE);
    m_staging.Write(bytes, count);
}

void CCommunicationsModuleSimulator::StageReply(int address, int code, LONG value, int width)
{
    BYTE frame[12];
    int n = 0;
    const BYTE header = static_cast<BYTE>((width << 5) | address);
    frame[n++] = header;
    frame[n++] = static_cast<BYTE>(code >> 8);
    frame[n++] = static_cast<BYTE>(code);
    for (int i = 0; i < width; ++i)
        frame[n++] = static_cast<BYTE>(static_cast<DWORD>(value) >> (8 * i));
    frame[n++] = static_cast<BYTE>(header ^ 0xFF);
    for (int i = 0; i < 4; ++i)
        frame[n++] = 0;
    StageBytes(frame, n);
}

void CCommunicationsModuleSimulator::StageError(int address, int failedCode, int error)
{
    const BYTE header = static_cast<BYTE>(0x60 | address);
    const BYTE frame[7] = {header,
                           0x00,
                           static_cast<BYTE>(CB),
                           static_cast<BYTE>(failedCode >> 8),
                           static_cast<BYTE>(failedCode),
                           static_cast<BYTE>(error),
                           static_cast<BYTE>(header ^ 0xFF)};
    StageBytes(frame, 7);
}

bool CCommunicationsModuleSimulator::TimeStampsOn()
{
    LONG tre = 0;
    return m_model.GetRegister(0, TRE, tre) && tre != 0;
}

void CCommunicationsModuleSimulator::StageTimeStampIfOn()
{
    if (!TimeStampsOn())
        return;
    StageReply(0, TSR, m_cycleMs, AutoValueWidth(m_cycleMs));
}

void CCommunicationsModuleSimulator::DeliverStagedAnswers(bool atOnce)
{
    if (!atOnce && m_deliveryClock.GetElapsedSeconds() <= 0.0)
        return;
    CSingleLock staging(&m_stagingLock, TRUE);
    CSingleLock output(&m_outputLock, TRUE);
    const int room = m_output.GetSize() - 1 - m_output.GetCount();
    const int n = std::min(room, m_staging.GetCount());
    if (n > 0) {
        std::vector<BYTE> bytes(static_cast<size_t>(n));
        const int got = m_staging.Read(n, bytes.data());
        if (got > 0)
            m_output.Write(bytes.data(), got);
    }
    m_deliveryClock.Restart();
    if (n > 0) {
        output.Unlock();
        staging.Unlock();
        WakeReader();
    }
}

// ---- the drives' own life -------------------------------------------------------

// One reading a cycle, in whole milliseconds: the motion values are those at
// the time stamp their replies carry.
void CCommunicationsModuleSimulator::ReadModuleClock()
{
    m_cycleMs = Truncate(m_moduleClock.GetElapsedSeconds() * 1000.0);
}

void CCommunicationsModuleSimulator::UpdateMotionValues()
{
    for (int a = 1; a < CDemoRegisterModel::kUnits; ++a) {
        LONG ssa = 0;
        if (!m_model.GetRegister(a, SSA, ssa) || !(ssa & kEnabledBit))
            continue;
        const double t = m_cycleMs / 1000.0;
        const double w = t / a;
        const double p = w + 0.2;
        const double amplitude = a * 100000.0;
        CSingleLock lock(&m_model.Lock(), TRUE);
        m_model.SetRegister(a, SIC, Truncate(a * 1000.0 * std::cos(w)), 1);
        m_model.SetRegister(a, SVC, Truncate(amplitude * std::sin(w)), 1);
        // A position step holds the commanded position; otherwise it circles.
        LONG psc = Truncate(-amplitude * std::cos(w));
        if (m_loops[static_cast<size_t>(a)].IsActive() && m_loopMeasuredCodes[static_cast<size_t>(a)] == PSF)
            m_model.GetRegister(a, PSC, psc);
        else
            m_model.SetRegister(a, PSC, psc, 1);
        m_model.SetRegister(a, SIA, Truncate(a * 1000.0 * std::cos(p)), 1);
        m_model.SetRegister(a, SVS, Truncate(amplitude * std::sin(p)), 1);
        m_model.SetRegister(a, PSF, Truncate(-amplitude * std::cos(p)), 1);
        m_model.SetRegister(a, SPE, Truncate(psc - (-amplitude * std::cos(p))), 1);
        auto& loop = m_loops[static_cast<size_t>(a)];
        if (loop.IsActive()) {
            const int measured = m_loopMeasuredCodes[static_cast<size_t>(a)];
            const double value = std::clamp(loop.Step(), -2147483647.0, 2147483647.0);
            m_model.SetRegister(a, measured, Truncate(value), 1);
            if (measured == PSF) {
                LONG command = 0;
                m_model.GetRegister(a, PSC, command);
                m_model.SetRegister(a, SPE, Truncate(static_cast<double>(command) - value), 1);
            }
        }
    }
}

void CCommunicationsModuleSimulator::ServePollSlots()
{
    for (size_t slot = 0; slot < m_pollSlots.size(); ++slot) {
        const DWORD word = m_pollSlots[slot];
        const DWORD periodMs = word >> 16;
        if (periodMs == 0 || m_pollClocks[slot].GetElapsedSeconds() * 1000.0 < periodMs)
            continue;
        const int address = static_cast<int>(slot / 4);
        const int code = static_cast<int>(((word & 0xFF) << 8) | ((word >> 8) & 0xFF));
        LONG value;
        if (m_model.GetRegister(address, code, value)) {
            m_pollClocks[slot].Restart();
            StageReply(address, code, value, 4);
        } else {
            StageError(address, code, kErrInvalidCommand);
            m_pollSlots[slot] = 0;
        }
        StageTimeStampIfOn();
    }
}

LONG CCommunicationsModuleSimulator::RandomSigned16()
{
    return Truncate(Rand() * 65535.0 / 32767.0 - 32768.0);
}

void CCommunicationsModuleSimulator::RunCpfProcedure(int a)
{
    CSingleLock lock(&m_model.Lock(), TRUE);
    LONG ssa = 0, cpf = 0;
    if (!m_model.GetRegister(a, SSA, ssa) || !m_model.GetRegister(a, CPF, cpf))
        return;
    const bool enabled = ssa & kEnabledBit;
    CHPTimer& clock = m_cpfClocks[static_cast<size_t>(a)];
    if (ssa & kPhaseFindingBit) {
        if (!enabled) {
            m_model.SetRegister(a, CPF, 0, 0);
            m_model.SetRegister(a, SAP, 2048, 0);
            m_model.ChangeBits(a, SSA, 0, kPhaseFindingBit);
        } else if (clock.GetElapsedSeconds() >= 3.0) {
            m_model.SetRegister(a, CPF, 0, 0);
            m_model.SetRegister(a, MAA, RandomSigned16(), 0);
            const bool bit = Rand() * 100 / 32767 > 50;
            m_model.ChangeBits(a, MCC, bit ? 1 : 0, bit ? 0 : 1);
            m_model.SetRegister(a, SAP, 0, 0);
            m_model.ChangeBits(a, SSA, 0, kPhaseFindingBit);
        } else if (cpf == 0) {
            m_model.ChangeBits(a, SSA, 0, kPhaseFindingBit);
        }
    } else if (cpf > 0) {
        if (!enabled) {
            m_model.SetRegister(a, SAP, 2048, 0);
        } else {
            clock.Restart();
            m_model.ChangeBits(a, SSA, kPhaseFindingBit, 0);
            m_model.SetRegister(a, SAP, 0, 0);
        }
    }
}

void CCommunicationsModuleSimulator::RunIbProcedure(int a)
{
    CSingleLock lock(&m_model.Lock(), TRUE);
    LONG ssa = 0;
    if (!m_model.GetRegister(a, SSA, ssa))
        return;
    const bool enabled = ssa & kEnabledBit;
    CHPTimer& clock = m_ibClocks[static_cast<size_t>(a)];
    if (ssa & kBalancingBit) {
        if (!enabled) {
            m_model.SetIbRequest(a, 0);
            m_model.ChangeBits(a, SSA, 0, kBalancingBit);
        } else if (clock.GetElapsedSeconds() >= 3.0) {
            m_model.SetIbRequest(a, 0);
            for (int code : {IRO, ISO, ITO})
                m_model.SetRegister(a, code, RandomSigned16(), 0);
            m_model.ChangeBits(a, SSA, 0, kBalancingBit);
        } else if (m_model.GetIbRequest(a) == 0) {
            m_model.ChangeBits(a, SSA, 0, kBalancingBit);
        }
    } else if (m_model.GetIbRequest(a)) {
        m_model.ChangeBits(a, SSA, kBalancingBit, 0);
        clock.Restart();
    }
}

void CCommunicationsModuleSimulator::RunBafProcedure(int a)
{
    CSingleLock lock(&m_model.Lock(), TRUE);
    LONG baf = 0;
    if (!m_model.GetRegister(a, BAF, baf))
        return;
    int& state = m_bafState[static_cast<size_t>(a)];
    CHPTimer& clock = m_bafClocks[static_cast<size_t>(a)];
    if (state <= 0) {
        if (baf > 0) {
            state = baf;
            clock.Restart();
        }
        return;
    }
    if (baf == 0) {
        state = 0;
        return;
    }
    if (clock.GetElapsedSeconds() < 2.0)
        return;
    const int first = state == 1 ? 0 : (state == 2 ? 1 : -1);
    if (first >= 0) {
        for (int entry : {first, first + 2}) {
            m_model.SetRegister(a, AMI, entry, 0);
            m_model.SetRegister(a, AMF, Rand(), 0);
        }
    }
    m_model.SetRegister(a, BAF, 0, 0);
    state = 0;
}
