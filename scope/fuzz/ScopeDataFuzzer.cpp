// libFuzzer target for the scope data file reader: any bytes are written as a
// file and opened for playback with a settings store attached. Checked: no
// crash, no hang; a file that opens plays back to its end, seeks and closes.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "scope/DIniFile.h"
#include "scope/DataPointBufferedFileArray.h"

namespace {
std::string TempPath()
{
    static const std::string path = [] {
        char pattern[] = "/tmp/kvscopefuzzXXXXXX";
        const int fd = mkstemp(pattern);
        if (fd >= 0)
            close(fd);
        return std::string(pattern);
    }();
    return path;
}

void PlayToTheEnd(CDataPointBufferedFileArray& buffer)
{
    int id;
    double time;
    double value;
    for (int reads = 0; reads < 1000000; ++reads) {
        const int result = buffer.ReadNext(1, id, time, value);
        if (result == CDataPointBufferedFileArray::kReadEnd || result == CDataPointBufferedFileArray::kReadNone)
            return;
        if (result == CDataPointBufferedFileArray::kReadNotLoaded)
            usleep(100);
    }
    std::abort();  // a playback that never ends
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string path = TempPath();
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return 0;
    std::fwrite(data, 1, size, file);
    std::fclose(file);

    CDIniFile settings;
    CDataPointBufferedFileArray buffer;
    if (buffer.OpenForPlayback(path.c_str(), &settings)) {
        PlayToTheEnd(buffer);
        buffer.SeekTime(1.0);
        while (buffer.IsSeekPending())
            usleep(100);
        PlayToTheEnd(buffer);
        buffer.Close();
    }
    return 0;
}
