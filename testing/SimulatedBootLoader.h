// The far end of a serial line that answers as a drive's boot loaders do:
// CPU1's boot ROM locks the baud rate and takes a kernel with echoes; a kernel
// takes packets, firmware streams (checksum words, a status packet) and the
// commands that boot CPU2 and the CM. What a firmware stream carries becomes
// flash only when the stream completes. When the port closes, the target is
// reset to CPU1's boot ROM, so an interrupted update can always be repeated.
#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class SimulatedBootLoader {
public:
    enum class Fault {
        None,
        NakPacket,      // the next packet is answered with NAK
        WrongEcho,      // the next kernel echo comes back changed
        BadChecksum,    // the next checksum word of a firmware stream is off by one
        BadStatus,      // the next status packet reports a program error
        CorruptPacket,  // the next status packet carries a wrong checksum
        Stall,          // stops answering until the port closes
        DropLine,       // the line goes dead (a new line takes its place)
    };
    using Flash = std::map<uint32_t, uint16_t>;  // address to word

    SimulatedBootLoader();
    ~SimulatedBootLoader();
    SimulatedBootLoader(const SimulatedBootLoader&) = delete;
    SimulatedBootLoader& operator=(const SimulatedBootLoader&) = delete;

    std::string PortName() const;
    // The fault strikes once, after the given number of further bytes has come in.
    void ArmFault(Fault fault, int afterBytes = 0);
    bool FaultStruck() const { return m_faultStruck; }
    int Resets() const { return m_resets; }

    // The last kernel each processor received, and its flash.
    std::vector<uint8_t> Kernel(int cpu) const;
    Flash FlashOf(int cpu) const;
    // Drops the record of kernels and flash, so that a run shows what it wrote.
    void Forget();
    int ProtocolErrors() const { return m_protocolErrors; }

private:
    struct LineReset {};

    void Run();
    void OpenLine();
    void WaitForPort();
    void Session();
    int KernelLoop(int cpu);
    void BootRom(int cpu);
    // Takes an image in the boot format; a kernel is echoed byte by byte, a
    // firmware stream is answered with checksum words.
    void ReceiveImage(int cpu, bool kernel, int firstByte);
    void ReceivePacket();
    void SendStatus(int cpu, uint16_t command);
    void SendWord(uint16_t word, bool acknowledged);
    void SendChecksum();

    uint8_t Get();
    void Put(uint8_t byte);
    void WaitAck();
    bool Take(Fault fault);
    void StrikeLineFaults();

    int m_master = -1;
    std::string m_portName;
    mutable std::mutex m_lock;  // over the names, the fault and the results
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_stalled{false};
    std::atomic<bool> m_faultStruck{false};
    std::atomic<int> m_resets{0};
    std::atomic<int> m_protocolErrors{0};
    Fault m_fault = Fault::None;
    int m_faultCountdown = 0;
    uint16_t m_sum = 0;
    std::map<int, std::vector<uint8_t>> m_kernels;
    std::map<int, Flash> m_flash;
    std::thread m_thread;
};
