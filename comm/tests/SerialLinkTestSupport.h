// Helpers of the serial link tests: a port on a simulated drive line
// and the link frames the communication manager and the port exchange.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <vector>

#include "testing/FakeCommServices.h"
#include "testing/SimulatedSerialDrive.h"
#include "comm/trace/CommStatistics.h"
#include "comm/serial/QVXSerialCommPort.h"
#include "testing/WaitFor.h"

using Bytes = std::vector<BYTE>;

inline Bytes LinkFrame(int address, int code, long value, int width)
{
    Bytes frame = {static_cast<BYTE>((width << 5) | address), static_cast<BYTE>(code >> 8),
                   static_cast<BYTE>(code & 0xFF)};
    for (int i = 0; i < width; ++i)
        frame.push_back(static_cast<BYTE>(static_cast<unsigned long>(value) >> (8 * i)));
    frame.push_back(static_cast<BYTE>(~frame[0]));
    return frame;
}

inline Bytes ErrorFrame(int address, int code, int error)
{
    const BYTE header = static_cast<BYTE>(0x60 | address);
    return {header, 0x00, 0x62, static_cast<BYTE>(code >> 8), static_cast<BYTE>(code & 0xFF),
            static_cast<BYTE>(error), static_cast<BYTE>(~header)};
}

class SerialLinkFixture : public ::testing::Test {
protected:
    static constexpr int kVer = 22706;

    void SetUp() override { ASSERT_TRUE(sim.ok()); }

    void Connect(int address, int family) { app.AddConnectedDrive(CAmplifierData(address, family, "drive")); }

    void OpenPort(bool thread = true)
    {
        port = std::make_unique<CQVXSerialCommPort>(sim.portPath().c_str(), 115200, 8, 0, 0);
        port->SetStatistics(&stats);
        ASSERT_EQ(1, port->Open(thread ? TRUE : FALSE));
    }

    void Send(const Bytes& frame) { ASSERT_EQ(1, port->Write(static_cast<int>(frame.size()), frame.data())); }

    // What the port has for the manager once `count` bytes came or the time ran out.
    Bytes Receive(size_t count, std::chrono::milliseconds within = std::chrono::seconds(3))
    {
        Bytes got;
        WaitFor(
            [&] {
                BYTE buffer[256];
                const int n = port->Read(sizeof buffer, buffer);
                if (n > 0)
                    got.insert(got.end(), buffer, buffer + n);
                return got.size() >= count;
            },
            within);
        return got;
    }

    int StatCount(int id, int address = -1)
    {
        const DWORD key = address < 0 ? static_cast<DWORD>(id) : CCommStatistics::DriveKey(address, id);
        return stats.GetStatistics(key)->GetCount();
    }

    SimulatedSerialDrive sim;
    FakeCommServices app;
    CCommStatistics stats;
    std::unique_ptr<CQVXSerialCommPort> port;
};
