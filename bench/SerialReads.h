// Register reads through the whole engine (communication manager, serial link
// port, serial device) against a simulated drive line paced at 115200 baud,
// and what the line allows: the wire alone, and the wire plus the waits each
// read transaction must keep. Shared by the serial and UDP link benches, so
// the UDP figure compares with a serial rate of the same run.
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>

#include "RegisterReadLoop.h"
#include "comm/link/CommManager.h"
#include "comm/link/LinkPortFactory.h"
#include "testing/FakeCommServices.h"
#include "testing/SimulatedSerialDrive.h"
#include "testing/TempDir.h"

namespace serialreads {

constexpr int kBaud = 115200;
constexpr int kRegister = 0x4142;
constexpr int kReplyWidth = 2;
// Each queued read asks for a register of its own: one reply answers every
// queued read of the same register, which would count merged reads as many.
constexpr int kQueued = 8;

// One read on the wire: the request (4 bytes, 8 on a multi-drop line) and the
// reply (width + 3 bytes) at 10 bits a byte.
inline double WireMsPerRead(int drives)
{
    const int requestBytes = drives > 1 ? 8 : 4;
    const int replyBytes = kReplyWidth + 3;
    return (requestBytes + replyBytes) * 10.0 * 1000.0 / kBaud;
}

inline double WireReadsPerSecond(int drives) { return 1000.0 / WireMsPerRead(drives); }

// The wire plus the waits a read transaction keeps: the request is handed to
// the device and the port sleeps 1 ms while it (and the reply) travel, so the
// reply is in no sooner than the later of the two; then 2 ms of quiet after a
// good reply. The port's cycle handles frames for at most 25 ms and then
// rests its 1 ms period.
inline double CeilingReadsPerSecond(int drives)
{
    const double readMs = std::max(1.0, WireMsPerRead(drives)) + 2.0;
    const double readsPerCycle = std::ceil(25.0 / readMs);
    return 1000.0 * readsPerCycle / (readsPerCycle * readMs + 1.0);
}

// Times the reads as the benchmark's iterations; false when the link did not open.
inline bool TimeSerialReads(benchmark::State& state, int drives, RegisterReadCounts& reads)
{
    TempDir dir;
    SimulatedSerialDrive sim;
    FakeCommServices app;
    app.m_iniPath = dir.File("kvsettings.ini").c_str();
    for (int address = 1; address <= drives; ++address) {
        sim.AddDrive(address, 650);
        for (int i = 0; i < kQueued; ++i)
            sim.SetRegister(address, kRegister + i, 100 * address + i, kReplyWidth);
        app.Assign(address, "Drive");
    }
    sim.SetBaudRate(kBaud);
    sim.Start();
    CCommManager manager;
    CLinkPortFactory factory(manager);
    manager.SetPortFactory(&factory);
    CCommLinkSettings settings;
    settings.m_comPort = sim.portPath().c_str();
    if (!manager.OpenCommunications(settings))
        return false;
    // Enough reads queued that the line never waits for the manager.
    reads = TimeRegisterReads(
        state, manager, drives, kQueued, [](DWORD id) { return kRegister + id % kQueued; },
        std::chrono::microseconds(100));
    return true;
}

}  // namespace serialreads
