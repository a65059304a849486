// Loading a property list from its archive: layout files hold many, and a
// load must stay linear in the number of elements.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <unistd.h>

#include "foundation/DPropertyList.h"
#include "platform/core/Archive.h"
#include "platform/core/File.h"

namespace {

std::string WriteList(int count)
{
    char path[] = "/tmp/kvbenchXXXXXX";
    const int fd = mkstemp(path);
    close(fd);
    CDPropertyList list;
    for (int i = 0; i < count; ++i) {
        CString name;
        name.Format("p%d", i);
        list.SetInt(name, i);
    }
    CFile file(path, CFile::modeCreate | CFile::modeWrite);
    CArchive ar(&file, CArchive::store);
    list.Serialize(ar);
    ar.Close();
    file.Close();
    return path;
}

void BM_LoadPropertyList(benchmark::State& state)
{
    const std::string path = WriteList(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        CDPropertyList list;
        CFile file(path.c_str(), CFile::modeRead);
        CArchive ar(&file, CArchive::load);
        list.Serialize(ar);
        benchmark::DoNotOptimize(list.GetCount());
    }
    std::remove(path.c_str());
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_LoadPropertyList)->RangeMultiplier(10)->Range(1000, 100000)->Unit(benchmark::kMillisecond)->Complexity();

}  // namespace
