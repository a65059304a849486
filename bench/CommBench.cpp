// The link layer's own cost: frames written and parsed per second, and jobs
// through the communication manager per second against a port that answers
// at once (no wire, no thread sleeps).
#include <benchmark/benchmark.h>

#include "comm/link/CommManager.h"
#include "comm/protocol/LinkFrame.h"
#include "testing/TestCommPort.h"
#include "platform/core/Clock.h"

namespace {

class BenchManager : public CCommManager {
public:
    using CCommManager::Step;
    TestCommPort* Attach()
    {
        auto* port = new TestCommPort;
        port->SetOpenState(1);
        AttachPort(port, TRUE);
        return port;
    }
};

void FramesWritten(benchmark::State& state)
{
    BenchManager manager;
    CRingBuff& ring = manager.GetTransmitRing();
    const CAmpMsg frames[] = {CAmpMsg(1, 500, 0, 0), CAmpMsg(2, 600, 100, 1), CAmpMsg(3, 700, 3000, 2),
                              CAmpMsg(4, 800, 100000, 4)};
    for (auto _ : state) {
        for (const CAmpMsg& frame : frames)
            manager.WriteFrame(frame);
        ring.Clear();
    }
    state.SetItemsProcessed(state.iterations() * 4);
}
BENCHMARK(FramesWritten);

void FramesParsed(benchmark::State& state)
{
    BenchManager manager;
    std::vector<BYTE> stream;
    for (int i = 0; i < 64; ++i) {
        const auto frame = EncodeFrame(CAmpMsg(static_cast<BYTE>(1 + i % 3), static_cast<WORD>(500 + i), i * 37,
                                               static_cast<BYTE>(i % 2 ? 2 : 4)));
        stream.insert(stream.end(), frame.begin(), frame.end());
    }
    CRingBuff& ring = manager.GetReceiveRing();
    CAmpResponseMsg reply;
    for (auto _ : state) {
        ring.Write(stream.data(), static_cast<int>(stream.size()));
        while (manager.ParseFrame(reply))
            benchmark::DoNotOptimize(reply.m_value);
    }
    state.SetItemsProcessed(state.iterations() * 64);
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(stream.size()));
}
BENCHMARK(FramesParsed);

// Submit a batch of reads, then cycle until every one has its response. The
// clock is frozen and moved 2 ms a cycle, so every cycle flushes at once
// instead of waiting out the real millisecond.
void JobsThroughManager(benchmark::State& state)
{
    kvtest::FreezeClock(1000000);
    const int batch = static_cast<int>(state.range(0));
    BenchManager manager;
    TestCommPort* port = manager.Attach();
    port->EchoAll();
    for (int address = 1; address <= 3; ++address)
        manager.GetDriveNames().SetName(address, "D");
    DWORD id = 0;
    CAmpResponseToDistMngr response;
    for (auto _ : state) {
        for (int i = 0; i < batch; ++i) {
            CAmpQryCmdFromDistMngr job;
            job.m_jobId = ++id;
            job.m_address = static_cast<BYTE>(1 + i % 3);
            job.m_code = static_cast<WORD>(500 + i);
            job.m_jobFlags = 0x14;
            manager.SubmitJob(job);
        }
        int answered = 0;
        while (answered < batch) {
            kvtest::AdvanceClock(2);
            manager.Step();
            while (manager.GetResponseList().PopResponse(response))
                ++answered;
        }
    }
    state.SetItemsProcessed(state.iterations() * batch);
    kvtest::ThawClock();
}
BENCHMARK(JobsThroughManager)->Arg(1)->Arg(16)->Arg(128);

}  // namespace
