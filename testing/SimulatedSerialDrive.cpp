#include "testing/SimulatedSerialDrive.h"

#include <poll.h>
#include <unistd.h>

namespace {
constexpr uint8_t kPadding = 0xFF;
constexpr int kBitsPerByte = 10;  // start, 8 data, stop
}  // namespace

SimulatedSerialDrive::SimulatedSerialDrive() = default;

SimulatedSerialDrive::~SimulatedSerialDrive() { Stop(); }

SimulatedSerialDrive::Drive& SimulatedSerialDrive::AddDrive(int address, int version)
{
    auto& drive = m_drives[address];
    drive = std::make_unique<Drive>();
    drive->registers[kCodeVer] = {version, 2};
    return *drive;
}

void SimulatedSerialDrive::SetRegister(int address, int code, int32_t value, int width)
{
    Drive& d = drive(address);
    std::lock_guard<std::mutex> guard(d.registersLock);
    d.registers[code] = {value, width};
}

std::pair<int32_t, int> SimulatedSerialDrive::GetRegister(int address, int code)
{
    Drive& d = drive(address);
    std::lock_guard<std::mutex> guard(d.registersLock);
    auto it = d.registers.find(code);
    return it == d.registers.end() ? std::make_pair(0, 0) : it->second;
}

void SimulatedSerialDrive::Start()
{
    m_stop = false;
    m_thread = std::thread(&SimulatedSerialDrive::Run, this);
}

void SimulatedSerialDrive::Stop()
{
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
}

void SimulatedSerialDrive::Unplug()
{
    Stop();
    m_pty.ReleaseSlave();
    m_pty.CloseMaster();
}

std::vector<std::vector<uint8_t>> SimulatedSerialDrive::TakeRequests()
{
    std::lock_guard<std::mutex> guard(m_logLock);
    return std::move(m_log);
}

int SimulatedSerialDrive::RequestCount()
{
    std::lock_guard<std::mutex> guard(m_logLock);
    return m_logCount;
}

std::chrono::nanoseconds SimulatedSerialDrive::ByteTime() const
{
    const int baud = m_baud;
    return baud > 0 ? std::chrono::nanoseconds(1'000'000'000LL * kBitsPerByte / baud) : std::chrono::nanoseconds(0);
}

void SimulatedSerialDrive::Run()
{
    while (!m_stop) {
        pollfd fd = {m_pty.master(), POLLIN, 0};
        if (poll(&fd, 1, 2) <= 0 || !(fd.revents & POLLIN))
            continue;
        uint8_t chunk[256];
        const ssize_t n = read(m_pty.master(), chunk, sizeof chunk);
        if (n > 0)
            Absorb(chunk, static_cast<int>(n));
    }
}

// The bytes arrived now, but on a paced line the last of them is only in
// once each has had its time on the wire.
void SimulatedSerialDrive::Absorb(const uint8_t* bytes, int count)
{
    const auto now = std::chrono::steady_clock::now();
    m_lineFreeAt = std::max(now, m_lineFreeAt) + ByteTime() * count;
    m_pending.insert(m_pending.end(), bytes, bytes + count);
    ParseRequests();
}

void SimulatedSerialDrive::ParseRequests()
{
    for (;;) {
        // Padding of a multi-drop request belongs to the request before it.
        while (!m_pending.empty() && m_pending[0] == kPadding) {
            std::lock_guard<std::mutex> guard(m_logLock);
            if (!m_log.empty())
                m_log.back().push_back(kPadding);
            m_pending.erase(m_pending.begin());
        }
        if (m_pending.empty())
            return;
        const int width = m_pending[0] >> 5;
        const size_t length = 4 + static_cast<size_t>(width);
        if (width > 4) {
            m_pending.erase(m_pending.begin());
            continue;
        }
        if (m_pending.size() < length)
            return;
        if (m_pending[length - 1] != static_cast<uint8_t>(~m_pending[0])) {
            m_pending.erase(m_pending.begin());  // noise or a filler byte: resynchronise
            continue;
        }
        std::vector<uint8_t> request(m_pending.begin(), m_pending.begin() + static_cast<long>(length));
        m_pending.erase(m_pending.begin(), m_pending.begin() + static_cast<long>(length));
        {
            std::lock_guard<std::mutex> guard(m_logLock);
            m_log.push_back(request);
            ++m_logCount;
        }
        Answer(request);
    }
}

void SimulatedSerialDrive::Answer(const std::vector<uint8_t>& request)
{
    int address = request[0] & 31;
    if (address == 0)
        address = 31;
    auto found = m_drives.find(address);
    if (found == m_drives.end())
        return;
    Drive& d = *found->second;
    ++d.requests;
    if (d.silent)
        return;
    const int width = request[0] >> 5;
    const int code = request[1] * 256 + request[2];

    std::vector<uint8_t> reply;
    const int answerAs = d.answerAs >= 0 ? d.answerAs.load() : address;
    const uint8_t wireAddress = static_cast<uint8_t>(answerAs == 31 ? 0 : answerAs);
    if (d.errorCode) {
        reply = {static_cast<uint8_t>(wireAddress | (1 << 5)), 'b', static_cast<uint8_t>(d.errorCode.load())};
    } else {
        std::lock_guard<std::mutex> guard(d.registersLock);
        int32_t value = 0;
        int replyWidth = 0;
        if (width == 0) {
            auto it = d.registers.find(code);
            value = it == d.registers.end() ? 0 : it->second.first;
            replyWidth = it == d.registers.end() ? 4 : it->second.second;
        } else {
            uint32_t raw = 0;
            for (int i = 0; i < width; ++i)
                raw |= static_cast<uint32_t>(request[3 + i]) << (8 * i);
            value = static_cast<int32_t>(raw);
            d.registers[code] = {value, width};
            replyWidth = width;
        }
        reply.push_back(static_cast<uint8_t>(wireAddress | (replyWidth << 5)));
        reply.push_back('g');
        for (int i = 0; i < replyWidth; ++i)
            reply.push_back(static_cast<uint8_t>(static_cast<uint32_t>(value) >> (8 * i)));
    }
    reply.push_back(static_cast<uint8_t>(~reply[0] ^ (d.corruptCheck ? 0x5A : 0)));

    std::this_thread::sleep_until(m_lineFreeAt);
    if (d.lateMs > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(d.lateMs.load()));
    SendPaced(reply);
}

void SimulatedSerialDrive::SendPaced(const std::vector<uint8_t>& bytes)
{
    const auto byteTime = ByteTime();
    if (byteTime.count() == 0) {
        m_pty.Send(bytes);
        return;
    }
    auto due = std::chrono::steady_clock::now();
    for (uint8_t byte : bytes) {
        due += byteTime;
        std::this_thread::sleep_until(due);
        m_pty.Send({byte});
    }
    m_lineFreeAt = due;
}
