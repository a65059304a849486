#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>
#include <vector>

#include "DataFileFixture.h"
#include "comm/protocol/AmpCommand.h"
#include "distribution/DistMngrResponseReceiver.h"
#include "platform/core/Clock.h"
#include "scope/ScopeDriveServices.h"
#include "scope/ScopeSampler.h"

using namespace scopetest;

namespace {

class FakeServices : public CScopeDriveServices {
public:
    bool IsDriveConnected(int address) override { return connected.count(address) != 0; }
    bool GetConversionParameter(int address, int id, double& value) override
    {
        const auto found = params.find({address, id});
        if (found == params.end())
            return false;
        value = found->second;
        return true;
    }
    void ShowMessage(const char* text) override { messages.push_back(text); }
    bool HasConversionParameter(int, int) override { return true; }
    CString GetFactorySettingsPath() override { return "kvfact.ini"; }

    std::set<int> connected = {1, 2};
    std::map<std::pair<int, int>, double> params;
    std::vector<CString> messages;
};

// Records what would be plotted.
class PlottingSampler : public CScopeSampler {
public:
    using CScopeSampler::CScopeSampler;
    std::vector<CDataPoint> plotted;

protected:
    void PlotSample(int sourceId, double time, double value) override { plotted.push_back({sourceId, 0, time, value}); }
};

class ScopeSamplerTest : public ::testing::Test {
protected:
    ScopeSamplerTest() : sampler(receiver, services)
    {
        for (int drive : {1, 2}) {
            services.params[{drive, 6}] = 21;
            services.params[{drive, 18}] = 0;
        }
        sampler.m_recording.SetFolder(dir.path().c_str());
    }

    CScopeSourceData* AddSource(int address, const char* command, int units = 0)
    {
        CScopeSourceData* source = sampler.m_sources.AddNew();
        source->AmpAddr = address;
        source->Command = command;
        source->UnitsCode = static_cast<signed char>(units);
        source->Enabled = 1;
        return source;
    }

    static CAmpResponseToGui Sample(int address, const char* mnemonic, LONG value, DWORD timeMs, BYTE width = 4)
    {
        CAmpResponseToGui response;
        response.m_address = static_cast<BYTE>(address);
        response.m_code = static_cast<WORD>(MnemonicToCode(mnemonic));
        response.m_value = value;
        response.m_width = width;
        response.m_timeStamp = timeMs;
        response.m_timeStampValid = 1;
        return response;
    }

    TempDir dir;
    FakeServices services;
    CDistMngrResponseReceiver receiver;
    PlottingSampler sampler;
};

TEST_F(ScopeSamplerTest, UnitsFactorByCode)
{
    services.params[{1, 0}] = 0.5;
    services.params[{1, 1}] = 0.25;
    services.params[{1, 8}] = 0.01;
    services.params[{1, 9}] = 0.002;
    struct Case {
        int code;
        double cs;
        double flags;
        bool known;
        double factor;
    };
    const Case cases[] = {
        {0, 21, 0, true, 1.0},      {1, 21, 0, true, 0.002},
        {2, 21, 0, true, 0.5},      {2, 1, 0, true, 0.25},
        {3, 21, 0, true, 0.01},     {4, 21, 0, true, 180.0 / 32767},
        {5, 21, 0, true, 100.0 / 32767}, {6, 21, 2, true, 0.5},
        {6, 21, 1, true, 0.002},    {7, 21, 0, false, 0.0},
        {-1, 21, 0, false, 0.0},
    };
    for (const Case& c : cases) {
        services.params[{1, 6}] = c.cs;
        services.params[{1, 18}] = c.flags;
        double factor = 0.0;
        EXPECT_EQ(CScopeSampler::UnitsFactor(services, 1, c.code, factor), c.known) << c.code;
        if (c.known) {
            EXPECT_DOUBLE_EQ(factor, c.factor) << c.code;
        }
    }
    services.params.erase({1, 18});
    double factor = 0.0;
    EXPECT_FALSE(CScopeSampler::UnitsFactor(services, 1, 0, factor));
}

TEST_F(ScopeSamplerTest, QueriesAtMostFourSourcesADriveAndRefuseBadOnes)
{
    const char* commands[] = {"SVC", "PSC", "SIC", "CMD_VEL", "POS"};
    for (const char* command : commands)
        AddSource(1, command);
    CScopeSourceData* away = AddSource(32, "SVC");
    CScopeSourceData* invalid = AddSource(2, "CMD_");
    invalid->Description = "Broken";
    CScopeSourceData* xChannel = AddSource(2, "SVC");
    xChannel->IsXChannel = 1;
    sampler.StartQueries();

    EXPECT_EQ(sampler.GetSourcesOfRegister(1, MnemonicToCode("SVC")), std::vector<int>{1});
    EXPECT_EQ(sampler.GetSourcesOfRegister(1, MnemonicToCode("VEL")), std::vector<int>{4});
    EXPECT_TRUE(sampler.GetSourcesOfRegister(1, MnemonicToCode("POS")).empty());  // the fifth
    EXPECT_EQ(away->LastError, 32);
    EXPECT_EQ(invalid->Enabled, 0);
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_STREQ(services.messages[0], "Invalid command specified for trace \"Broken\".  Trace has been disabled.");
    EXPECT_TRUE(sampler.GetSourcesOfRegister(2, MnemonicToCode("SVC")).empty());  // X channel in sweep mode
    sampler.m_plotMode = 2;
    sampler.StartQueries();
    EXPECT_EQ(sampler.GetSourcesOfRegister(2, MnemonicToCode("SVC")).size(), 1u);
}

TEST_F(ScopeSamplerTest, ResponsesBecomeSamplesByWidthAndErrorsKeepTheLevel)
{
    CScopeSourceData* svc = AddSource(1, "SVC");
    svc->Scale = 2.0;
    svc->Offset = 1.0;
    sampler.StartQueries();
    sampler.StartMonitorMode();

    CAmpResponseToGui plain = Sample(1, "SVC", 5, 1000);
    plain.m_timeStampValid = 0;
    sampler.HandleResponse(plain);  // an ordinary register reply
    EXPECT_TRUE(sampler.plotted.empty());

    sampler.HandleResponse(Sample(1, "SVC", 0xFFFF, 1000, 2));
    sampler.HandleResponse(Sample(1, "SVC", 0x80, 1020, 1));
    sampler.HandleResponse(Sample(1, "SVC", 70000, 1040, 4));
    ASSERT_EQ(sampler.plotted.size(), 3u);
    EXPECT_EQ(sampler.plotted[0].m_value, -1.0);  // 2 x -1 + 1
    EXPECT_EQ(sampler.plotted[1].m_value, -255.0);
    EXPECT_EQ(sampler.plotted[2].m_value, 140001.0);
    EXPECT_NEAR(sampler.plotted[2].m_time, 0.04, 1e-12);

    // A failing channel names its register byte-swapped in the value.
    CAmpResponseToGui failed = Sample(1, "OSA", 0, 1060, 2);
    const WORD code = static_cast<WORD>(MnemonicToCode("SVC"));
    failed.m_value = static_cast<WORD>((code >> 8) | (code << 8));
    failed.m_error = 37;
    failed.m_timeStampValid = 0;
    sampler.HandleResponse(failed);
    ASSERT_EQ(sampler.plotted.size(), 4u);
    EXPECT_EQ(sampler.plotted[3].m_value, 140001.0);
    EXPECT_EQ(svc->LastError, 37);
    CAmpResponseToGui error;
    ASSERT_TRUE(sampler.TakeError(error));
    EXPECT_EQ(error.m_code, code);
    EXPECT_FALSE(sampler.TakeError(error));

    services.params.erase({1, 18});  // no factor: the sample is dropped
    sampler.HandleResponse(Sample(1, "SVC", 3, 1080));
    EXPECT_EQ(sampler.plotted.size(), 4u);
}

struct TriggerCase {
    int condition;
    double level;
    std::vector<double> values;
    int firesAt;  // index of the value that requests the start, -1 none
};

TEST_F(ScopeSamplerTest, StartTriggerConditions)
{
    const TriggerCase cases[] = {
        {CScopeSampler::kRising, 5.0, {9, 1, 4, 5, 6}, 3},
        {CScopeSampler::kRising, 5.0, {1, 5, 6}, -1},  // arming, then first value in state 2: never fire
        {CScopeSampler::kRising, 5.0, {1, 2, 6, 7}, 2},
        {CScopeSampler::kRising, 5.0, {9, 9, 6, 7}, -1},
        {CScopeSampler::kFalling, 5.0, {0, 9, 5}, 2},
        {CScopeSampler::kAbove, 5.0, {9, 5, 5.1}, 2},
        {CScopeSampler::kBelow, 5.0, {0, 5, 4.9}, 2},
    };
    for (const TriggerCase& c : cases) {
        sampler.m_recordState = 0;
        sampler.m_recordStartTrigger = 1;
        sampler.m_startTrigSourceId = 3;
        sampler.m_startTrigOn = c.condition;
        sampler.m_startTrigLevel = c.level;
        sampler.OnRecord(true);
        EXPECT_EQ(sampler.m_recordState, CScopeSampler::kStartArmed);
        int firedAt = -1;
        for (size_t i = 0; i < c.values.size(); ++i) {
            sampler.CheckRecordTriggers(i * 0.1, 0.0, 1, 4);  // another source is not watched
            sampler.CheckRecordTriggers(i * 0.1, c.values[i], 1, 3);
            if (firedAt < 0 && sampler.m_recordState == CScopeSampler::kStartRequested)
                firedAt = static_cast<int>(i);
        }
        EXPECT_EQ(firedAt, c.firesAt) << c.condition << " at " << c.values.size();
    }
    sampler.m_recordState = CScopeSampler::kWaitStartLevel;
    sampler.OnRecord(true);  // pressing again disarms
    EXPECT_EQ(sampler.m_recordState, CScopeSampler::kRecordIdle);
}

// One source on drive 1: a sine of amplitude 5 sampled every 10 ms of drive time.
class ScopeRecordingTest : public ScopeSamplerTest {
protected:
    void SetUp() override
    {
        AddSource(1, "SVC")->Description = "Sine";
        sampler.StartQueries();
        sampler.StartMonitorMode();
    }
    void Feed(int fromMs, int toMs)
    {
        for (int t = fromMs; t < toMs; t += 10) {
            const LONG value = static_cast<LONG>(std::lround(5000 * std::sin(t / 1000.0)));
            sampler.HandleResponse(Sample(1, "SVC", value, static_cast<DWORD>(t)));
            Step();
        }
    }
    // What the window's 10 ms timer does with the record state.
    void Step()
    {
        const int request = sampler.TakeRecordRequest();
        if (request == CScopeSampler::kStartRequested) {
            ASSERT_TRUE(sampler.BeginRecording());
        } else if (request == CScopeSampler::kStopRequested) {
            ASSERT_TRUE(sampler.StopRecording());
            stopped = true;
            sampler.StartMonitorMode();
        }
    }
    std::vector<CDataPoint> SaveAndPlay()
    {
        const std::string path = dir.File("rec.qsd");
        EXPECT_TRUE(sampler.m_recording.SaveAs(path.c_str()));
        CDataPointBufferedFileArray playback;
        EXPECT_TRUE(playback.OpenForPlayback(path.c_str(), nullptr));
        return PlayAll(playback);
    }
    bool stopped = false;
};

TEST_F(ScopeRecordingTest, RisingStartAtTheFirstValueAtOrAboveTheLevel)
{
    sampler.m_recordStartTrigger = 1;
    sampler.m_startTrigSourceId = 1;
    sampler.m_startTrigOn = CScopeSampler::kRising;
    sampler.m_startTrigLevel = 2500.0;
    sampler.m_recordStopTrigger = 2;
    sampler.m_recordTime = 1.0;
    Feed(0, 4000);  // before arming: nothing
    sampler.OnRecord(true);
    Feed(4000, 12000);
    ASSERT_TRUE(stopped);
    const auto points = SaveAndPlay();
    ASSERT_FALSE(points.empty());
    // The sine next rises through 2500 after 2π + asin(0.5) s.
    const double risingAt = 2 * M_PI + std::asin(0.5);
    const int firstMs = static_cast<int>(std::ceil(risingAt * 100)) * 10;
    // The sample at or above the level asks for the start; the recording opens on the next one.
    EXPECT_GE(std::lround(5000 * std::sin(firstMs / 1000.0)), 2500);
    EXPECT_LT(std::lround(5000 * std::sin((firstMs - 10) / 1000.0)), 2500);
    EXPECT_EQ(points.front().m_time, 0.0);
    EXPECT_EQ(points.front().m_value, std::lround(5000 * std::sin((firstMs + 10) / 1000.0)));
    EXPECT_NEAR(points.back().m_time, 1.0, 1e-9);  // stopped at the record time
    EXPECT_EQ(points.size(), 101u);
}

TEST_F(ScopeRecordingTest, HistoryAtTheHeadAndTheFirstLiveSampleKeepsItsTime)
{
    sampler.m_enaAdvancedRecording = 1;
    sampler.m_advancedRecordingSecs = 2.0;
    sampler.m_recordStopTrigger = 2;
    sampler.m_recordTime = 3.0;
    Feed(0, 5000);
    sampler.OnRecord(true);  // by the button
    Feed(5000, 9000);
    ASSERT_TRUE(stopped);
    const auto points = SaveAndPlay();
    ASSERT_GE(points.size(), 300u);
    EXPECT_EQ(points.front().m_time, 0.0);
    for (size_t i = 1; i < points.size(); ++i)
        ASSERT_NEAR(points[i].m_time - points[i - 1].m_time, 0.01, 1e-9) << i;
    // 2 s of history before the last monitored sample (5.00 s) head the recording.
    EXPECT_EQ(points.front().m_value, std::lround(5000 * std::sin(3.0)));
    EXPECT_EQ(points[200].m_value, std::lround(5000 * std::sin(5.0)));
    EXPECT_EQ(points[201].m_value, std::lround(5000 * std::sin(5.01)));
    EXPECT_NEAR(points.back().m_time, 3.0, 1e-9);
}

TEST_F(ScopeRecordingTest, ALevelStopIgnoresTheLastRecordingsValue)
{
    sampler.m_recordStopTrigger = 1;
    sampler.m_stopTrigSourceId = 1;
    sampler.m_stopTrigOn = CScopeSampler::kRising;
    sampler.m_stopTrigLevel = 0.0;
    Feed(0, 3000);  // sin > 0
    sampler.OnRecord(true);
    Feed(3000, 4000);  // sin falls below 0 from 3.14 s
    sampler.OnRecord(false);  // the button stops; the stop trigger last saw a negative value
    Feed(4000, 4100);
    ASSERT_TRUE(stopped);
    stopped = false;
    sampler.OnRecord(true);
    Feed(7000, 7300);  // sin(7) > 0 from the first sample on
    EXPECT_FALSE(stopped);
    EXPECT_EQ(sampler.m_recordState, CScopeSampler::kRecordingNow);
    sampler.StopRecording();
}

TEST_F(ScopeSamplerTest, FollowDataClockRunsTheShownTimeAfterTheData)
{
    kvtest::FreezeClock(1'000'000);
    AddSource(1, "SVC");
    sampler.StartQueries();
    sampler.StartMonitorMode();
    sampler.FollowDataClock();  // no data yet: rate 1
    sampler.HandleResponse(Sample(1, "SVC", 1, 50'000));
    sampler.HandleResponse(Sample(1, "SVC", 1, 51'000));  // data 1 s ahead of a clock at 0
    sampler.FollowDataClock();
    kvtest::AdvanceClock(100);
    EXPECT_NEAR(sampler.m_displayClock.GetElapsedSeconds(), 0.2, 1e-9);  // twice as fast
    kvtest::AdvanceClock(1000);  // the clock (2.2 s) now runs ahead of the data (1 s)
    sampler.FollowDataClock();
    const double held = sampler.m_displayClock.GetElapsedSeconds();
    kvtest::AdvanceClock(500);
    EXPECT_NEAR(sampler.m_displayClock.GetElapsedSeconds(), held, 1e-9);  // stands still
    kvtest::ThawClock();
}

TEST_F(ScopeSamplerTest, SamplingThreadDrainsTheResponsesAndStops)
{
    AddSource(1, "SVC");
    sampler.StartQueries();
    sampler.StartMonitorMode();
    ASSERT_TRUE(sampler.StartSampler());
    for (int i = 0; i < 500; ++i)
        receiver.OnResponse(Sample(1, "SVC", i, static_cast<DWORD>(i)));
    EXPECT_TRUE(WaitFor([&] { return receiver.GetResponseCount() == 0; }));
    sampler.StopSampler();
    EXPECT_EQ(sampler.GetSamplerState(), CScopeSampler::kSamplerStopped);
    ASSERT_EQ(sampler.plotted.size(), 500u);
    for (int i = 0; i < 500; ++i)
        ASSERT_EQ(sampler.plotted[static_cast<size_t>(i)].m_value, i);
    ASSERT_TRUE(sampler.StartSampler());  // and again
    sampler.StopSampler();
    sampler.StopSampler();  // stopping a stopped sampler returns at once
}
}  // namespace

namespace {
TEST_F(ScopeSamplerTest, AFreshSettingsFileIsInKeyOrder)
{
    sampler.SetDataFolder(dir.path().c_str());
    AddSource(1, "SVC");
    ASSERT_TRUE(sampler.SaveSettings(""));
    EXPECT_STREQ(sampler.GetSettingsPath(), dir.File("ScopeSettingsV2.dat").c_str());
    const std::string text = ReadFile(dir.File("ScopeSettingsV2.dat"));
    const char* order[] = {
        "Scope.ShowXLabel=1\n", "Scope.ShowYLabel=1\n", "Scope.XLabel=X-Axis Label\n", "Scope.YLabel=Y-Axis Label\n",
        "Scope.PlotMode=1\n", "Scope.TimeFormat=2\n", "Scope.SaveXYPlotMinX=-100\n", "Scope.SaveXYPlotMaxX=100\n",
        "Scope.SweepRange=10\n", "Scope.TraceTailPoints=1000\n", "Scope.ShowPlotKey=0\n",
        "Scope.PlotBgColor=6316064\n", "Scope.GridStyle=1\n", "Scope.RecordStartTrigger=0\n",
        "Scope.RecordStopTrigger=0\n", "Scope.RecordStartTrigSourceID=-1\n", "Scope.RecordStopTrigSourceID=-1\n",
        "Scope.RecordStartTrigOn=2\n", "Scope.RecordStopTrigOn=2\n", "Scope.RecordStartTrigLevel=0\n",
        "Scope.RecordStopTrigLevel=0\n", "Scope.RecordTime=0\n", "Scope.EnaAdvancedRecording=0\n",
        "Scope.AdvancedRecordingSecs=5\n", "Scope.ScaleMinY=-100\n", "Scope.ScaleMaxY=100\n", "Scope.LastActiveSettingsPage=0\n",
        "Scope.Trace1.Color=65280\n", "Scope.Trace12.YSourceID=-1\n", "Scope.LastSourceID=1\n",
        "Scope.SourceCount=1\n", "Scope.Source1.AmpAddr=1\n", "Scope.Source1.SuspendQuery=0\n",
    };
    size_t at = 0;
    for (const char* line : order) {
        const size_t found = text.find(line, at);
        ASSERT_NE(found, std::string::npos) << line;
        at = found;
    }
    EXPECT_EQ(text.rfind("Scope.ShowXLabel=1\n", 0), 0u);

    // Loaded back into another scope; a missing file leaves everything as it was.
    PlottingSampler other(receiver, services);
    other.m_sweepRange = 3.0;
    EXPECT_FALSE(other.LoadSettings(dir.File("none.dat").c_str()));
    EXPECT_EQ(other.m_sweepRange, 3.0);
    ASSERT_TRUE(other.LoadSettings(dir.File("ScopeSettingsV2.dat").c_str()));
    EXPECT_EQ(other.m_sweepRange, 10.0);
    EXPECT_EQ(other.m_sources.GetCount(), 1);
    other.m_recordTime = 2.5;
    EXPECT_TRUE(other.SaveSettings("$$$"));
    double recordTime = 0.0;
    EXPECT_TRUE(other.m_settings.GetDouble("Scope.RecordTime", recordTime));
    EXPECT_EQ(recordTime, 2.5);
    EXPECT_FALSE(other.SaveSettings(dir.File("no/folder.dat").c_str()));
}
}  // namespace

namespace {
TEST_F(ScopeSamplerTest, TheShippedDefaultSettingsShowTheDemoDrivesSignals)
{
    ASSERT_TRUE(sampler.LoadSettings(KV_SCOPE_RESOURCES "/ScopeSettingsV2.dat"));
    EXPECT_EQ(sampler.m_sources.GetCount(), 3);
    EXPECT_EQ(sampler.m_plotMode, 1);
    int enabled = 0;
    for (int i = 0; i < sampler.m_traces.GetSize(); ++i)
        enabled += sampler.m_traces[i].Enabled;
    EXPECT_EQ(enabled, 3);
    sampler.StartQueries();
    for (const char* command : {"SVC", "PSC", "SIC"})
        EXPECT_EQ(sampler.GetSourcesOfRegister(1, MnemonicToCode(command)).size(), 1u) << command;
    EXPECT_TRUE(services.messages.empty());
}
}  // namespace

namespace {
TEST_F(ScopeRecordingTest, PlaybackDrawsTheWindowBeforeTheClockAndEnds)
{
    kvtest::FreezeClock(2'000'000);
    sampler.m_recordStopTrigger = 2;
    sampler.m_recordTime = 2.0;
    sampler.OnRecord(true);
    Feed(0, 3000);
    ASSERT_TRUE(stopped);
    const std::string path = dir.File("play.qsd");
    ASSERT_TRUE(sampler.m_recording.SaveAs(path.c_str()));
    sampler.SetDataFolder(dir.path().c_str());
    ASSERT_TRUE(sampler.SaveSettings(""));

    // A damaged file changes nothing.
    WriteFile(dir.File("bad.qsd"), ReadFile(path).substr(0, 100));
    sampler.m_sweepRange = 4.0;
    EXPECT_FALSE(sampler.OpenDataFile(dir.File("bad.qsd").c_str()));
    EXPECT_EQ(sampler.m_scopeMode, CScopeSampler::kMonitoring);
    EXPECT_EQ(sampler.m_sweepRange, 4.0);

    ASSERT_TRUE(sampler.OpenDataFile(path.c_str()));
    EXPECT_EQ(sampler.m_scopeMode, CScopeSampler::kPlayback);
    EXPECT_EQ(sampler.m_sweepRange, 10.0);  // the file's own settings
    sampler.plotted.clear();
    bool plotted = false;
    kvtest::AdvanceClock(1000);
    EXPECT_FALSE(sampler.DrawFromBuffer(0.5, plotted));
    EXPECT_TRUE(plotted);
    ASSERT_FALSE(sampler.plotted.empty());
    EXPECT_GE(sampler.plotted.front().m_time, 0.5);  // older than the window: read over
    EXPECT_LT(sampler.plotted.back().m_time, 1.0);   // not yet due
    kvtest::AdvanceClock(5000);
    ASSERT_TRUE(WaitFor([&] { return sampler.DrawFromBuffer(10.0, plotted); }));
    EXPECT_NEAR(sampler.plotted.back().m_time, 2.0, 0.0101);  // the record time, to a sample
    EXPECT_EQ(sampler.m_displayClockState, 2);

    sampler.StopPlayback();
    EXPECT_FALSE(sampler.m_recording.IsOpen());
    kvtest::ThawClock();
}

TEST_F(ScopeSamplerTest, CancellingAnErrorSuspendsItsSourceAndTraces)
{
    CScopeSourceData* svc = AddSource(1, "SVC");
    CScopeSourceData* psc = AddSource(1, "PSC");
    sampler.m_traces[0].Enabled = 1;
    sampler.m_traces[0].YSourceID = svc->SourceID;
    sampler.m_traces[1].Enabled = 1;
    sampler.m_traces[1].XSourceID = svc->SourceID;
    sampler.m_traces[2].Enabled = 1;
    sampler.m_traces[2].YSourceID = psc->SourceID;
    CAmpResponseToGui error = Sample(1, "SVC", 0, 0);
    error.m_error = 37;
    sampler.SuspendFailingSource(error);
    EXPECT_EQ(svc->SuspendQuery, 1);
    EXPECT_EQ(psc->SuspendQuery, 0);
    EXPECT_EQ(sampler.m_traces[0].Enabled, 0);
    EXPECT_EQ(sampler.m_traces[1].Enabled, 0);
    EXPECT_EQ(sampler.m_traces[2].Enabled, 1);
    sampler.StartQueries();
    EXPECT_TRUE(sampler.GetSourcesOfRegister(1, MnemonicToCode("SVC")).empty());
}
}  // namespace
