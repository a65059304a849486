// The scope on the demo link: samples a second it captures against the
// responses the link delivered, with the stream's time stamps checked for
// doubled samples. Eight sources (four on each simulated drive).
#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <map>
#include <mutex>
#include <thread>

#include "comm/link/CommManager.h"
#include "comm/protocol/AmpCommand.h"
#include "distribution/CommManagerLink.h"
#include "distribution/DistManager.h"
#include "distribution/DistMngrResponseReceiver.h"
#include "platform/core/MessageBox.h"
#include "scope/ScopeDriveServices.h"
#include "scope/ScopeSampler.h"
#include "testing/DemoPortFactory.h"
#include "testing/TempDir.h"
#include "testing/TestAppServices.h"

namespace {

class AllConnected : public CScopeDriveServices {
public:
    bool IsDriveConnected(int address) override { return address == 1 || address == 2; }
    bool GetConversionParameter(int, int id, double& value) override
    {
        value = id == 6 ? 21.0 : 1.0;
        return true;
    }
    bool HasConversionParameter(int, int) override { return true; }
    void ShowMessage(const char*) override {}
    CString GetFactorySettingsPath() override { return "kvfact.ini"; }
};

// Counts what the link hands the scope.
class CountingReceiver : public CDistMngrResponseReceiver {
public:
    void OnResponse(const CAmpResponseToGui& response) override
    {
        if (response.m_timeStampValid)
            ++delivered;
        CDistMngrResponseReceiver::OnResponse(response);
    }
    std::atomic<long> delivered{0};
};

class CountingSampler : public CScopeSampler {
public:
    using CScopeSampler::CScopeSampler;
    long captured = 0;
    long doubled = 0;

protected:
    void PlotSample(int sourceId, double time, double) override
    {
        ++captured;
        auto [it, fresh] = m_last.try_emplace(sourceId, time);
        if (!fresh) {
            doubled += time <= it->second;
            it->second = time;
        }
    }

private:
    std::map<int, double> m_last;
};

void BM_DemoLinkCapture(benchmark::State& state)
{
    TempDir home;
    TestAppServices app;
    app.m_iniPath = home.File("kvsettings.ini");
    app.m_assignments = {{1, "Kreln"}, {2, "Tavro"}};
    DemoPortFactory factory;
    CCommManager comm;
    comm.SetPortFactory(&factory);
    AfxTakeScriptedMessageLog();
    if (comm.OpenDemoCommunications() != 1) {
        state.SkipWithError("demo link did not open");
        return;
    }
    CCommManagerLink link{comm};
    CDistManager dist{&link};
    CDistManager::Install(&dist);
    dist.Start();
    CDistMngrResponseReceiver enabler;
    enabler.SendCommand(1, static_cast<WORD>(MnemonicToCode("EN")), 1);
    enabler.SendCommand(2, static_cast<WORD>(MnemonicToCode("EN")), 1);

    AllConnected services;
    CountingReceiver receiver;
    CountingSampler sampler(receiver, services);
    for (int drive = 1; drive <= 2; ++drive)
        for (const char* command : {"SVC", "PSC", "SIC", "SPE"}) {
            CScopeSourceData* source = sampler.m_sources.AddNew();
            source->AmpAddr = drive;
            source->Command = command;
            source->UnitsCode = 0;
            source->Enabled = 1;
        }
    sampler.StartQueries();
    sampler.StartMonitorMode();
    sampler.StartSampler();
    for (auto _ : state) {
        const long before = receiver.delivered;
        std::this_thread::sleep_for(std::chrono::seconds(3));
        state.counters["delivered_per_s"] = (receiver.delivered - before) / 3.0;
    }
    // Let the sampling thread take what is queued, then compare.
    while (receiver.GetResponseCount() > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    sampler.StopSampler();
    receiver.CancelAllQueries();
    state.counters["captured_share"] = receiver.delivered ? double(sampler.captured) / receiver.delivered : 0.0;
    state.counters["doubled"] = static_cast<double>(sampler.doubled);
    dist.Stop();
    CDistManager::Install(nullptr);
    comm.CloseCommunications();
}
BENCHMARK(BM_DemoLinkCapture)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
}  // namespace

BENCHMARK_MAIN();
