// The scope's recording buffer: samples a second it takes in, what a recorded
// sample costs on disk and in memory, and playback and CSV export speed.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "scope/DIniFile.h"
#include "scope/DataPointBufferedFileArray.h"
#include "comm/protocol/AmpCommand.h"
#include "distribution/DistMngrResponseReceiver.h"
#include "scope/ScopeCsvExport.h"
#include "scope/ScopeDriveServices.h"
#include "scope/ScopeSampler.h"

namespace {
std::string BenchFolder()
{
    static const std::string folder = [] {
        char pattern[] = "/tmp/kvscopebenchXXXXXX";
        return std::string(mkdtemp(pattern));
    }();
    return folder;
}

long ResidentBytes()
{
    long pages = 0;
    long resident = 0;
    FILE* statm = std::fopen("/proc/self/statm", "r");
    if (statm) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(statm);
    }
    return resident * sysconf(_SC_PAGESIZE);
}

// Records `count` samples as the sampling thread would, retrying a point the full buffer refused.
int64_t RecordSamples(CDataPointBufferedFileArray& buffer, int64_t count, int64_t& refused)
{
    for (int64_t i = 0; i < count; ++i) {
        while (!buffer.AddPoint(static_cast<int>(i & 7), i * 0.000125, static_cast<double>(i)))
            ++refused;
    }
    return count;
}

// 8 sources at 1 kHz each; bytes on disk and memory growth per recorded sample.
void BM_RecordSamples(benchmark::State& state)
{
    const int64_t count = state.range(0);
    int64_t refused = 0;
    double diskPerSample = 0.0;
    double ramGrowth = 0.0;
    CDIniFile settings;
    settings.SetString("Scope.XLabel", "Time");
    for (auto _ : state) {
        CDataPointBufferedFileArray buffer;
        buffer.SetFolder(BenchFolder().c_str());
        buffer.OpenForRecording(&settings);
        const long before = ResidentBytes();
        RecordSamples(buffer, count, refused);
        buffer.Close();
        ramGrowth = static_cast<double>(ResidentBytes() - before);
        diskPerSample = static_cast<double>(std::filesystem::file_size(buffer.GetTempPath().str())) / count;
        buffer.DeleteTempFile();
    }
    state.SetItemsProcessed(state.iterations() * count);
    state.counters["disk_bytes_per_sample"] = diskPerSample;
    state.counters["ram_growth_bytes"] = ramGrowth;
    state.counters["refused_per_sample"] = static_cast<double>(refused) / (state.iterations() * count);
}
BENCHMARK(BM_RecordSamples)->Arg(1'000'000)->Arg(10'000'000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PlaybackRead(benchmark::State& state)
{
    const int64_t count = 2'000'000;
    int64_t refused = 0;
    CDataPointBufferedFileArray recorder;
    recorder.SetFolder(BenchFolder().c_str());
    recorder.OpenForRecording(nullptr);
    RecordSamples(recorder, count, refused);
    recorder.Close();
    const std::string path = BenchFolder() + "/play.qsd";
    recorder.SaveAs(path.c_str());
    for (auto _ : state) {
        CDataPointBufferedFileArray buffer;
        buffer.OpenForPlayback(path.c_str(), nullptr);
        int id;
        double time;
        double value;
        int64_t read = 0;
        for (;;) {
            const int result = buffer.ReadNext(1, id, time, value);
            if (result == CDataPointBufferedFileArray::kReadPoint)
                ++read;
            else if (result != CDataPointBufferedFileArray::kReadNotLoaded)
                break;
        }
        benchmark::DoNotOptimize(read);
    }
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_PlaybackRead)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CsvExport(benchmark::State& state)
{
    const int64_t count = 1'000'000;
    int64_t refused = 0;
    CDataPointBufferedFileArray recorder;
    recorder.SetFolder(BenchFolder().c_str());
    recorder.OpenForRecording(nullptr);
    RecordSamples(recorder, count, refused);
    recorder.Close();
    const std::string path = BenchFolder() + "/csv.qsd";
    recorder.SaveAs(path.c_str());
    CDIniFile settings;
    CDataPointBufferedFileArray buffer;
    buffer.OpenForPlayback(path.c_str(), &settings);
    const std::string csv = BenchFolder() + "/out.csv";
    for (auto _ : state)
        CScopeCsvExport::Export(buffer, settings, csv.c_str(), nullptr);
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_CsvExport)->Unit(benchmark::kMillisecond)->UseRealTime();
class BenchServices : public CScopeDriveServices {
public:
    bool IsDriveConnected(int) override { return true; }
    bool GetConversionParameter(int, int id, double& value) override
    {
        value = id == 6 ? 21.0 : 1.0;
        return true;
    }
    void ShowMessage(const char*) override {}
    bool HasConversionParameter(int, int) override { return true; }
    CString GetFactorySettingsPath() override { return "kvfact.ini"; }
};

// The sampling thread fed directly: 8 sources on two drives, monitoring with
// the pre-trigger history on; the rate at which it empties the response list.
void BM_SamplingThread(benchmark::State& state)
{
    const int batch = 100'000;
    BenchServices services;
    CDistMngrResponseReceiver receiver;
    CScopeSampler sampler(receiver, services);
    const char* commands[] = {"SVC", "PSC", "SIC", "VEL"};
    for (int drive = 1; drive <= 2; ++drive)
        for (const char* command : commands) {
            CScopeSourceData* source = sampler.m_sources.AddNew();
            source->AmpAddr = drive;
            source->Command = command;
            source->UnitsCode = 2;
            source->Enabled = 1;
        }
    sampler.m_enaAdvancedRecording = 1;
    sampler.StartQueries();
    sampler.StartMonitorMode();
    sampler.StartSampler();
    DWORD stamp = 0;
    for (auto _ : state) {
        for (int i = 0; i < batch; ++i) {
            CAmpResponseToGui response;
            response.m_address = static_cast<BYTE>(1 + (i & 1));
            response.m_code = static_cast<WORD>(MnemonicToCode(commands[(i >> 1) & 3]));
            response.m_value = i;
            response.m_width = 4;
            response.m_timeStamp = stamp;
            response.m_timeStampValid = 1;
            stamp += (i & 7) == 7;
            receiver.OnResponse(response);
        }
        while (receiver.GetResponseCount() > 0)
            std::this_thread::yield();
    }
    sampler.StopSampler();
    state.SetItemsProcessed(state.iterations() * batch);
}
BENCHMARK(BM_SamplingThread)->Unit(benchmark::kMillisecond)->UseRealTime();
}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove_all(BenchFolder());
    return 0;
}
