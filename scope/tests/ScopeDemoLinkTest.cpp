// Sampling on the demo link: block queries of the drives' motion registers,
// streamed with time stamps, each sample checked against the simulator's value
// at its own time stamp.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <mutex>
#include <vector>

#include "comm/demo/CommunicationsModuleSimulator.h"
#include "comm/link/CommManager.h"
#include "comm/protocol/AmpCommand.h"
#include "distribution/CommManagerLink.h"
#include "distribution/DistManager.h"
#include "distribution/DistMngrResponseReceiver.h"
#include "platform/core/Clock.h"
#include "platform/core/MessageBox.h"
#include "scope/ScopeDriveServices.h"
#include "scope/ScopeSampler.h"
#include "testing/DemoPortFactory.h"
#include "testing/TempDir.h"
#include "testing/TestAppServices.h"
#include "testing/WaitFor.h"

namespace {

class DemoServices : public CScopeDriveServices {
public:
    explicit DemoServices(TestAppServices& app) : m_app(app) {}
    bool IsDriveConnected(int address) override
    {
        for (const CAmplifierData& drive : m_app.Connected())
            if (drive.m_address == address)
                return true;
        return false;
    }
    bool GetConversionParameter(int, int id, double& value) override
    {
        value = id == 6 ? 21.0 : 1.0;
        return true;
    }
    void ShowMessage(const char* text) override { messages.push_back(text); }
    bool HasConversionParameter(int, int) override { return true; }
    CString GetFactorySettingsPath() override { return "kvfact.ini"; }
    std::vector<CString> messages;

private:
    TestAppServices& m_app;
};

struct Captured {
    double stamp;  // drive time, seconds
    double value;
};

class CapturingSampler : public CScopeSampler {
public:
    using CScopeSampler::CScopeSampler;
    std::vector<Captured> Of(int sourceId)
    {
        std::lock_guard lock(m_mutex);
        return m_samples[sourceId];
    }
    size_t CountOf(int sourceId)
    {
        std::lock_guard lock(m_mutex);
        return m_samples[sourceId].size();
    }

protected:
    // Called with the scope lock held, so the monitoring start is stable here.
    void PlotSample(int sourceId, double time, double value) override
    {
        std::lock_guard lock(m_mutex);
        m_samples[sourceId].push_back({time + m_monitorStart, value});
    }

private:
    std::mutex m_mutex;
    std::map<int, std::vector<Captured>> m_samples;
};

class ScopeDemoLinkTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_app.m_iniPath = m_home.File("kvsettings.ini");
        m_app.m_assignments = {{1, "Kreln"}, {2, "Tavro"}};
        m_comm.SetPortFactory(&m_factory);
        AfxTakeScriptedMessageLog();
        ASSERT_EQ(m_comm.OpenDemoCommunications(), 1);
        CDistManager::Install(&m_dist);
        ASSERT_TRUE(m_dist.Start());
    }
    void TearDown() override
    {
        kvtest::ThawClock();
        m_sampler.StopSampler();
        m_receiver.CancelAllQueries();
        m_dist.Stop();
        CDistManager::Install(nullptr);
        m_comm.CloseCommunications();
    }
    CScopeSourceData* AddSource(int address, const char* command)
    {
        CScopeSourceData* source = m_sampler.m_sources.AddNew();
        source->AmpAddr = address;
        source->Command = command;
        source->UnitsCode = 0;
        source->Enabled = 1;
        return source;
    }

    TempDir m_home;
    TestAppServices m_app;
    DemoPortFactory m_factory;
    CCommManager m_comm;
    CCommManagerLink m_link{m_comm};
    CDistManager m_dist{&m_link};
    CDistMngrResponseReceiver m_receiver;
    DemoServices m_services{m_app};
    CapturingSampler m_sampler{m_receiver, m_services};
};

LONG Truncated(double v) { return static_cast<LONG>(std::trunc(v)); }

TEST_F(ScopeDemoLinkTest, EverySampleIsTheSimulatorsValueAtItsTimeStamp)
{
    CDistMngrResponseReceiver enabler;
    enabler.SendCommand(1, static_cast<WORD>(MnemonicToCode("EN")), 1);
    const char* commands[] = {"SVC", "PSC", "SIC"};
    for (int drive : {1, 2})
        for (const char* command : commands)
            AddSource(drive, command);
    AddSource(1, "SPE");
    AddSource(1, "SIA");  // the fifth of drive 1
    CScopeSourceData* away = AddSource(5, "SVC");
    AddSource(1, "CMD_SVS")->Enabled = 0;
    m_sampler.StartQueries();
    m_sampler.StartMonitorMode();
    ASSERT_TRUE(m_sampler.StartSampler());
    EXPECT_EQ(away->LastError, 32);
    EXPECT_EQ(m_sampler.GetSourcesOfRegister(1, MnemonicToCode("SPE")).size(), 1u);
    EXPECT_TRUE(m_sampler.GetSourcesOfRegister(1, MnemonicToCode("SIA")).empty());

    // Streaming: every source of both drives delivers.
    ASSERT_TRUE(WaitFor([&] {
        for (int id = 1; id <= 6; ++id)
            if (m_sampler.CountOf(id) < 3)
                return false;
        return true;
    })) << m_sampler.CountOf(1) << " " << m_sampler.CountOf(4) << " " << m_receiver.GetPendingCount();
    // On the test clock, cycle by cycle.
    kvtest::FreezeClock(timeGetTime());
    const size_t before = m_sampler.CountOf(1);
    constexpr int kCycles = 40;
    for (int cycle = 1; cycle <= kCycles; ++cycle) {
        kvtest::AdvanceClock(20);
        ASSERT_TRUE(WaitFor([&] { return m_sampler.CountOf(1) >= before + cycle && m_sampler.CountOf(3) > 0; }))
            << cycle;
    }
    const std::vector<Captured> svc = m_sampler.Of(1);
    const std::vector<Captured> psc = m_sampler.Of(2);
    const std::vector<Captured> sic = m_sampler.Of(3);
    for (const Captured& s : svc)
        ASSERT_EQ(s.value, Truncated(100000.0 * std::sin(s.stamp))) << s.stamp;
    for (const Captured& s : psc)
        ASSERT_EQ(s.value, Truncated(-100000.0 * std::cos(s.stamp))) << s.stamp;
    for (const Captured& s : sic)
        ASSERT_EQ(s.value, Truncated(1000.0 * std::cos(s.stamp))) << s.stamp;
    // Frozen: one sample a cycle, each one cycle after the last, none dropped or doubled. The
    // first frozen samples may still carry a stamp the simulator read before the freeze.
    ASSERT_GE(svc.size(), before + kCycles);
    for (size_t i = before + 3; i < before + kCycles; ++i)
        EXPECT_NEAR(svc[i].stamp - svc[i - 1].stamp, 0.020, 1e-9) << i;
    // Drive 2 is not enabled: its motion registers hold still.
    const std::vector<Captured> idle = m_sampler.Of(4);
    ASSERT_FALSE(idle.empty());
    for (const Captured& s : idle)
        EXPECT_EQ(s.value, idle.front().value);
}
}  // namespace
