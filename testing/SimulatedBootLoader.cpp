#include "testing/SimulatedBootLoader.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr uint8_t kAck = 0x2D;
constexpr uint8_t kNak = 0xA5;
constexpr int kHeaderBytes = 22;
constexpr int kWordsPerChecksum = 128;
constexpr uint16_t kStatusOk = 0x1000;
constexpr uint16_t kStatusProgramError = 0x4000;

}  // namespace

SimulatedBootLoader::SimulatedBootLoader()
{
    OpenLine();
    m_thread = std::thread([this] { Run(); });
}

SimulatedBootLoader::~SimulatedBootLoader()
{
    m_stop = true;
    m_thread.join();
    if (m_master >= 0)
        close(m_master);
}

void SimulatedBootLoader::OpenLine()
{
    const int master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    char name[128] = {};
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0 || ptsname_r(master, name, sizeof name) != 0)
        return;
    termios settings{};
    if (tcgetattr(master, &settings) == 0) {
        cfmakeraw(&settings);
        tcsetattr(master, TCSANOW, &settings);
    }
    std::lock_guard<std::mutex> lock(m_lock);
    m_master = master;
    m_portName = name;
}

std::string SimulatedBootLoader::PortName() const
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_portName;
}

void SimulatedBootLoader::ArmFault(Fault fault, int afterBytes)
{
    std::lock_guard<std::mutex> lock(m_lock);
    m_fault = fault;
    m_faultCountdown = afterBytes;
    m_faultStruck = false;
}

std::vector<uint8_t> SimulatedBootLoader::Kernel(int cpu) const
{
    std::lock_guard<std::mutex> lock(m_lock);
    auto found = m_kernels.find(cpu);
    return found == m_kernels.end() ? std::vector<uint8_t>() : found->second;
}

SimulatedBootLoader::Flash SimulatedBootLoader::FlashOf(int cpu) const
{
    std::lock_guard<std::mutex> lock(m_lock);
    auto found = m_flash.find(cpu);
    return found == m_flash.end() ? Flash() : found->second;
}

void SimulatedBootLoader::Forget()
{
    std::lock_guard<std::mutex> lock(m_lock);
    m_kernels.clear();
    m_flash.clear();
}

void SimulatedBootLoader::Run()
{
    while (!m_stop) {
        WaitForPort();
        if (m_stop)
            break;
        try {
            Session();
        } catch (const LineReset&) {
        }
        m_stalled = false;
        ++m_resets;
    }
}

// A closed port keeps the line hung up until the port opens again.
void SimulatedBootLoader::WaitForPort()
{
    while (!m_stop) {
        pollfd line = {m_master, POLLIN, 0};
        if (poll(&line, 1, 0) >= 0 && !(line.revents & POLLHUP))
            return;
        usleep(2000);
    }
}

bool SimulatedBootLoader::Take(Fault fault)
{
    std::lock_guard<std::mutex> lock(m_lock);
    if (m_fault != fault || m_faultCountdown > 0)
        return false;
    m_fault = Fault::None;
    m_faultStruck = true;
    return true;
}

void SimulatedBootLoader::StrikeLineFaults()
{
    if (Take(Fault::Stall))
        m_stalled = true;
    if (Take(Fault::DropLine)) {
        const int old = m_master;
        OpenLine();
        close(old);
        throw LineReset();
    }
}

uint8_t SimulatedBootLoader::Get()
{
    for (;;) {
        if (m_stop)
            throw LineReset();
        pollfd line = {m_master, POLLIN, 0};
        if (poll(&line, 1, 10) <= 0)
            continue;
        uint8_t byte = 0;
        if (!(line.revents & POLLIN) || read(m_master, &byte, 1) != 1)
            throw LineReset();
        {
            std::lock_guard<std::mutex> lock(m_lock);
            if (m_faultCountdown > 0)
                --m_faultCountdown;
        }
        StrikeLineFaults();
        if (!m_stalled)
            return byte;
    }
}

void SimulatedBootLoader::Put(uint8_t byte)
{
    if (m_stalled)
        return;
    if (write(m_master, &byte, 1) != 1)
        throw LineReset();
}

void SimulatedBootLoader::WaitAck()
{
    if (Get() != kAck)
        ++m_protocolErrors;
}

void SimulatedBootLoader::Session()
{
    int cpu = 1;
    for (;;) {
        BootRom(cpu);
        cpu = KernelLoop(cpu);
    }
}

void SimulatedBootLoader::BootRom(int cpu)
{
    for (;;) {
        const uint8_t byte = Get();
        if (byte == 'a') {
            Put('a');
            ReceiveImage(cpu, true, -1);
            return;
        }
        // The CM boots at the rate CPU1 locked: its kernel may come without a lock of its own.
        if (cpu == 3 && byte == 0xAA) {
            Put(byte);
            ReceiveImage(cpu, true, byte);
            return;
        }
    }
}

void SimulatedBootLoader::ReceiveImage(int cpu, bool kernel, int firstByte)
{
    std::vector<uint8_t> bytes;
    Flash written;
    m_sum = 0;
    auto next = [&] {
        uint8_t byte = 0;
        if (firstByte >= 0) {
            byte = static_cast<uint8_t>(firstByte);
            firstByte = -1;
        } else {
            byte = Get();
            if (kernel)
                Put(Take(Fault::WrongEcho) ? static_cast<uint8_t>(byte ^ 0xFF) : byte);
        }
        m_sum = static_cast<uint16_t>(m_sum + byte);
        bytes.push_back(byte);
        return byte;
    };
    for (int i = 0; i < kHeaderBytes; ++i)
        next();
    if (!kernel)
        SendChecksum();
    for (;;) {
        const uint8_t first = next();
        const uint8_t second = next();
        const int words = cpu == 3 ? (first * 256 + second) / 2 : second * 256 + first;
        if (words == 0)
            break;
        uint8_t a[4];
        for (uint8_t& b : a)
            b = next();
        uint32_t address = static_cast<uint32_t>(a[1]) << 24 | static_cast<uint32_t>(a[0]) << 16 |
                           static_cast<uint32_t>(a[3]) << 8 | a[2];
        for (int m = 0; m < words; ++m) {
            if (!kernel && m > 0 && m % kWordsPerChecksum == 0)
                SendChecksum();
            const uint8_t low = next();
            const uint8_t high = next();
            written[address++] = static_cast<uint16_t>(high * 256 + low);
        }
        if (!kernel)
            SendChecksum();
    }
    std::lock_guard<std::mutex> lock(m_lock);
    if (kernel) {
        m_kernels[cpu] = bytes;
        return;
    }
    for (const auto& [address, word] : written)
        m_flash[cpu][address] = word;
}

void SimulatedBootLoader::SendChecksum()
{
    const uint16_t sum = Take(Fault::BadChecksum) ? static_cast<uint16_t>(m_sum + 1) : m_sum;
    Put(static_cast<uint8_t>(sum & 0xFF));
    WaitAck();
    Put(static_cast<uint8_t>(sum >> 8));
    WaitAck();
}

int SimulatedBootLoader::KernelLoop(int cpu)
{
    for (;;) {
        const uint8_t first = Get();
        if (first == 'a') {  // a running kernel locks the baud rate again, as the boot ROM did
            Put('a');
            continue;
        }
        if (first != 0xE4) {
            // A firmware stream sent without a load command.
            ReceiveImage(cpu, false, first);
            continue;
        }
        if (Get() != 0x1B) {
            ++m_protocolErrors;
            continue;
        }
        uint16_t length = Get();
        length = static_cast<uint16_t>(length | Get() << 8);
        const uint8_t commandLow = Get();
        const uint8_t commandHigh = Get();
        uint16_t sum = static_cast<uint16_t>(commandLow + commandHigh);
        for (int i = 0; i < length; ++i)
            sum = static_cast<uint16_t>(sum + Get());
        uint16_t checksum = Get();
        checksum = static_cast<uint16_t>(checksum | Get() << 8);
        const uint8_t footerLow = Get();
        const uint8_t footerHigh = Get();
        if (checksum != sum || footerLow != 0x1B || footerHigh != 0xE4 || Take(Fault::NakPacket)) {
            Put(kNak);
            continue;
        }
        Put(kAck);
        const uint16_t command = static_cast<uint16_t>(commandHigh << 8 | commandLow);
        if (command == 0x0007)
            return 2;
        if (command == 0x0040)
            return 3;
        if (command == 0x0100 || command == 0x0200 || command == 0x0050) {
            ReceiveImage(cpu, false, -1);
            SendStatus(cpu, command);
        }
    }
}

void SimulatedBootLoader::SendWord(uint16_t word, bool acknowledged)
{
    Put(static_cast<uint8_t>(word & 0xFF));
    if (acknowledged)
        WaitAck();
    Put(static_cast<uint8_t>(word >> 8));
    if (acknowledged)
        WaitAck();
}

void SimulatedBootLoader::SendStatus(int cpu, uint16_t command)
{
    const bool acknowledged = cpu != 3;
    const uint16_t status = Take(Fault::BadStatus) ? kStatusProgramError : kStatusOk;
    uint16_t checksum = static_cast<uint16_t>((command & 0xFF) + (command >> 8) + (status & 0xFF) + (status >> 8));
    if (Take(Fault::CorruptPacket))
        checksum = static_cast<uint16_t>(checksum ^ 0x5555);
    for (uint16_t word : {uint16_t(0x1BE4), uint16_t(2), command, status, checksum, uint16_t(0xE41B)})
        SendWord(word, acknowledged);
    // The programmer's final ACK (or NAK).
    Get();
}
