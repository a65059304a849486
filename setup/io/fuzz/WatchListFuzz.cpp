// libFuzzer target for watch list files (".wls"): any bytes loaded as one, and
// what loaded saved and loaded again. Checked: no crash, no hang, a refused
// file leaves the list as it was and says why, and a loaded list survives its
// own round trip byte for byte.
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "setup/io/WatchDisplaySettings.h"
#include "setup/io/WatchListFile.h"
#include "setup/io/WatchRegisterList.h"
#include "testing/FuzzInputFile.h"

namespace {

std::string Saved(const std::string& path, const CWatchRegisterList& list, const CWatchDisplaySettings& settings)
{
    CString error;
    if (!CWatchListFile::Save(path.c_str(), list, settings, error))
        std::abort();
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static FuzzInputFile input;
    static const FuzzScratchFile scratch("WatchListFuzz.wls");
    const std::string& copy = scratch.Path();
    CWatchRegisterList list;
    CWatchDisplaySettings settings;
    CString error;
    if (!CWatchListFile::Load(input.Put(data, size), list, settings, error)) {
        if (list.GetCount() != 0 || error.IsEmpty())
            std::abort();
        return 0;
    }
    const std::string first = Saved(copy, list, settings);
    CWatchRegisterList again;
    CWatchDisplaySettings againSettings;
    if (!CWatchListFile::Load(copy.c_str(), again, againSettings, error) || Saved(copy, again, againSettings) != first)
        std::abort();
    return 0;
}
