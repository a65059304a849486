// Helpers shared by the data file tests: record samples into a data file and read one back.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "scope/DIniFile.h"
#include "scope/DataPoint.h"
#include "scope/DataPointBufferedFileArray.h"
#include "testing/TempDir.h"
#include "testing/WaitFor.h"

namespace scopetest {

inline std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

inline void WriteFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

// Samples of `sources` sources, one each every `step` seconds, values i + 0.5.
inline std::vector<CDataPoint> MakeSamples(int count, int sources = 2, double step = 0.002)
{
    std::vector<CDataPoint> points;
    for (int i = 0; i < count; ++i)
        points.push_back({1 + i % sources, 0, (i / sources) * step, i + 0.5});
    return points;
}

// Records the points and saves them at `path`; the settings store is copied into the trailer.
inline void Record(const TempDir& dir, const std::vector<CDataPoint>& points, CDIniFile* settings,
                   const std::string& path)
{
    CDataPointBufferedFileArray buffer;
    buffer.SetFolder(dir.path().c_str());
    ASSERT_TRUE(buffer.OpenForRecording(settings));
    for (const CDataPoint& p : points) {
        // A full buffer drops points; wait for the file thread as the sampling side would lose them.
        ASSERT_TRUE(WaitFor([&] { return buffer.AddPoint(p.m_sourceId, p.m_time, p.m_value) == 1; }));
    }
    ASSERT_TRUE(buffer.Close());
    ASSERT_TRUE(buffer.SaveAs(path.c_str()));
}

// Every point of an open playback file, read forward from the cursor.
inline std::vector<CDataPoint> PlayAll(CDataPointBufferedFileArray& buffer)
{
    std::vector<CDataPoint> points;
    for (;;) {
        int id = 0;
        double time = 0.0;
        double value = 0.0;
        int result = CDataPointBufferedFileArray::kReadNotLoaded;
        const bool settled = WaitFor([&] {
            result = buffer.ReadNext(1, id, time, value);
            return result != CDataPointBufferedFileArray::kReadNotLoaded &&
                   !(result == CDataPointBufferedFileArray::kReadEnd && buffer.IsSeekPending());
        });
        EXPECT_TRUE(settled);
        if (!settled || result != CDataPointBufferedFileArray::kReadPoint)
            return points;
        points.push_back({id, 0, time, value});
    }
}

inline void PutInt32(std::string& bytes, size_t offset, int32_t value)
{
    std::memcpy(bytes.data() + offset, &value, 4);
}

inline void PutDouble(std::string& bytes, size_t offset, double value)
{
    std::memcpy(bytes.data() + offset, &value, 8);
}

inline int32_t GetInt32(const std::string& bytes, size_t offset)
{
    int32_t value = 0;
    std::memcpy(&value, bytes.data() + offset, 4);
    return value;
}

}  // namespace scopetest
