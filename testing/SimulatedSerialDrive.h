// A drive line for tests: it holds the master of a pseudo-terminal pair and
// answers the drives' serial request/reply protocol from a small register
// model, for one drive or several on a multi-drop line. Switches make a drive
// go silent, answer for the wrong address, corrupt its check byte, answer
// late, or report an error; bytes can be paced at a baud rate.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "testing/PtyPair.h"

class SimulatedSerialDrive {
public:
    static constexpr int kCodeVer = 22706;

    struct Drive {
        std::atomic<bool> silent{false};
        std::atomic<int> answerAs{-1};     // answer with this address instead of its own
        std::atomic<bool> corruptCheck{false};
        std::atomic<int> lateMs{0};
        std::atomic<int> errorCode{0};     // answer every request with this drive error
        std::atomic<int> requests{0};
        std::mutex registersLock;
        std::map<int, std::pair<int32_t, int>> registers;  // code -> value, width
    };

    SimulatedSerialDrive();
    ~SimulatedSerialDrive();

    bool ok() const { return m_pty.ok(); }
    const std::string& portPath() const { return m_pty.slavePath(); }

    // A drive at the address that reports the version through "VER".
    Drive& AddDrive(int address, int version);
    Drive& drive(int address) { return *m_drives.at(address); }
    void SetRegister(int address, int code, int32_t value, int width = 4);
    // (value, width); width 0 when the register was never set.
    std::pair<int32_t, int> GetRegister(int address, int code);

    // Pace the bytes on the line at this rate (0: as fast as the pty goes).
    void SetBaudRate(int baud) { m_baud = baud; }

    void Start();
    void Stop();
    // Ends the line under the port, as an unplugged adapter does.
    void Unplug();

    // Every request as it came off the line, padding included.
    std::vector<std::vector<uint8_t>> TakeRequests();
    int RequestCount();

private:
    void Run();
    void Absorb(const uint8_t* bytes, int count);
    void ParseRequests();
    void Answer(const std::vector<uint8_t>& request);
    void SendPaced(const std::vector<uint8_t>& bytes);
    std::chrono::nanoseconds ByteTime() const;

    PtyPair m_pty;
    std::map<int, std::unique_ptr<Drive>> m_drives;
    std::atomic<int> m_baud{0};
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
    std::vector<uint8_t> m_pending;
    std::chrono::steady_clock::time_point m_lineFreeAt{};
    std::mutex m_logLock;
    std::vector<std::vector<uint8_t>> m_log;
    int m_logCount = 0;
};
