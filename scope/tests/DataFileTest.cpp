#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <limits>

#include "DataFileFixture.h"
#include "scope/DataPointQueue.h"
#include "scope/DataPointTimeIndex.h"

using namespace scopetest;

namespace {

CDIniFile SampleSettings()
{
    CDIniFile settings;
    settings.SetString("Scope.XLabel", "Time");
    settings.SetInt("Scope.PlotMode", 1);
    settings.SetDouble("Scope.SweepRange", 2.5);
    return settings;
}

void ExpectSamePoints(const std::vector<CDataPoint>& got, const std::vector<CDataPoint>& want)
{
    ASSERT_EQ(got.size(), want.size());
    for (size_t i = 0; i < want.size(); ++i) {
        ASSERT_EQ(got[i].m_sourceId, want[i].m_sourceId) << i;
        ASSERT_EQ(got[i].m_time, want[i].m_time) << i;
        ASSERT_EQ(got[i].m_value, want[i].m_value) << i;
    }
}

TEST(ScopeDataFile, RecordingPlaysBackWithIndexSourcesAndSettings)
{
    TempDir dir;
    CDIniFile settings = SampleSettings();
    const auto points = MakeSamples(3000, 2, 0.002);  // 3 s of two sources
    const std::string path = dir.File("ScopeData.qsd");
    Record(dir, points, &settings, path);
    EXPECT_FALSE(std::filesystem::exists(dir.File(CDataPointBufferedFileArray::kTempName)));

    CDIniFile loaded;
    loaded.SetString("Stale", "1");
    CDataPointBufferedFileArray buffer;
    ASSERT_TRUE(buffer.OpenForPlayback(path.c_str(), &loaded));
    EXPECT_STREQ(loaded.SaveText(), settings.SaveText());
    ExpectSamePoints(PlayAll(buffer), points);

    double first = -1.0;
    double last = -1.0;
    ASSERT_TRUE(buffer.GetTimeSpan(first, last));
    EXPECT_EQ(first, 0.0);
    EXPECT_EQ(last, points.back().m_time);
    const auto items = buffer.GetTimeIndex().GetItems();
    ASSERT_EQ(items.size(), 2u);  // at 1 s and 2 s
    EXPECT_DOUBLE_EQ(items[0].m_time, 1.0);
    EXPECT_DOUBLE_EQ(items[1].m_time, 2.0);
    const auto sources = buffer.GetSourceMap().GetEntries();
    ASSERT_EQ(sources.size(), 2u);
    EXPECT_EQ(sources[0], std::make_pair(1, 0));
    EXPECT_EQ(sources[1], std::make_pair(2, 1));
    EXPECT_LT(std::abs(buffer.GetStartTime() - static_cast<int64_t>(std::time(nullptr))), 60);
}

TEST(ScopeDataFile, LongRecordingCrossesEveryBufferAndBlock)
{
    TempDir dir;
    const auto points = MakeSamples(130000, 3, 0.001);
    const std::string path = dir.File("long.qsd");
    Record(dir, points, nullptr, path);
    EXPECT_EQ(std::filesystem::file_size(path), 4 + 130000 * 24 + 4 + 16 * 43 + 4 + 3 * 8 + 8 + 8);
    CDataPointBufferedFileArray buffer;
    ASSERT_TRUE(buffer.OpenForPlayback(path.c_str(), nullptr));
    ExpectSamePoints(PlayAll(buffer), points);
}

TEST(ScopeDataFile, FullWriteBufferDropsPointsUntilTheSwap)
{
    TempDir dir;
    CDataPointBufferedFileArray buffer;
    buffer.SetFolder(dir.path().c_str());
    ASSERT_TRUE(buffer.OpenForRecording(nullptr));
    buffer.HoldFileThread(true);
    for (int i = 0; i < 60000; ++i)
        ASSERT_EQ(buffer.AddPoint(1, i * 0.001, i), 1);
    EXPECT_EQ(buffer.AddPoint(1, 60.0, 0.0), 0);
    buffer.HoldFileThread(false);
    ASSERT_TRUE(WaitFor([&] { return buffer.AddPoint(1, 60.0, 1.0) == 1; }));
    EXPECT_TRUE(WaitFor([&] { return buffer.GetBytesWritten() == 60000 * 24; }));
    ASSERT_TRUE(buffer.Close());
    EXPECT_EQ(buffer.AddPoint(1, 61.0, 0.0), 0);  // closed
}

TEST(ScopeDataFile, ReadingWhileRecordingFollowsTheWriter)
{
    TempDir dir;
    CDataPointBufferedFileArray buffer;
    buffer.SetFolder(dir.path().c_str());
    ASSERT_TRUE(buffer.OpenForRecording(nullptr));
    for (int i = 0; i < 100; ++i)
        ASSERT_EQ(buffer.AddPoint(7, i * 0.01, i), 1);
    std::vector<double> values;
    ASSERT_TRUE(WaitFor([&] {
        int id;
        double time;
        double value;
        while (buffer.ReadNext(1, id, time, value) == CDataPointBufferedFileArray::kReadPoint)
            values.push_back(value);
        return values.size() == 100;
    }));
    for (int i = 0; i < 100; ++i)
        EXPECT_EQ(values[static_cast<size_t>(i)], i);
    EXPECT_TRUE(buffer.Close());
}

TEST(ScopeDataFile, SeeksStartAtTheIndexItemAtOrBeforeTheTime)
{
    TempDir dir;
    struct Case {
        double length;  // seconds of recording
        double seek;
        double firstTime;  // of the first point read after the seek
    };
    const Case cases[] = {
        {10.0, 5.3, 5.0}, {10.0, 0.5, 0.0}, {10.0, -3.0, 0.0}, {10.0, 99.0, 9.0},
        {1.5, 1.2, 1.0},  {1.5, 0.3, 0.0},  {1.5, 1.0, 1.0},
    };
    for (const Case& c : cases) {
        const auto points = MakeSamples(static_cast<int>(c.length / 0.01), 1, 0.01);
        const std::string path = dir.File("seek.qsd");
        Record(dir, points, nullptr, path);
        CDataPointBufferedFileArray buffer;
        ASSERT_TRUE(buffer.OpenForPlayback(path.c_str(), nullptr));
        buffer.SeekTime(c.seek);
        const auto played = PlayAll(buffer);
        ASSERT_FALSE(played.empty()) << c.length << " " << c.seek;
        EXPECT_NEAR(played.front().m_time, c.firstTime, 1e-9) << c.length << " " << c.seek;
        EXPECT_EQ(played.back().m_time, points.back().m_time);
    }
}

TEST(ScopeDataFile, FindOffsetNeverDividesByAZeroSpan)
{
    struct Case {
        std::vector<CDataPointTimeIndexItem> items;
        double time;
        int64_t offset;
    };
    const Case cases[] = {
        {{}, 3.0, 0},
        {{{1.0, 28, 0}}, 0.5, 0},
        {{{1.0, 28, 0}}, 1.0, 28},
        {{{1.0, 28, 0}}, 7.0, 28},
        // Items of the same time: a seek to that time starts at the first, wherever the guess lands.
        {{{2.0, 28, 0}, {2.0, 52, 0}}, 2.0, 28},
        {{{1.0, 28, 0}, {3.0, 52, 0}, {3.0, 76, 0}, {3.0, 100, 0}, {4.0, 124, 0}}, 3.0, 52},
        {{{0.0, 28, 0}, {3.0, 52, 0}, {3.0, 76, 0}, {3.0, 100, 0}, {9.0, 124, 0}}, 3.0, 52},
        {{{1.0, 28, 0}, {3.0, 52, 0}, {3.0, 76, 0}, {3.0, 100, 0}, {4.0, 124, 0}}, 3.5, 100},
        {{{2.0, 28, 0}, {2.0, 52, 0}}, 1.0, 0},
        {{{1.0, 28, 0}, {2.0, 52, 0}, {3.0, 76, 0}, {4.0, 100, 0}}, 3.5, 76},
        {{{1.0, 28, 0}, {2.0, 52, 0}, {3.0, 76, 0}, {4.0, 100, 0}}, 0.99, 0},
        {{{1.0, 28, 0}, {2.0, 52, 0}, {3.0, 76, 0}, {4.0, 100, 0}}, 1e300, 100},
        {{{1.0, 28, 0}, {2.0, 52, 0}}, std::nan(""), 0},
    };
    for (const Case& c : cases) {
        CDataPointTimeIndex index;
        index.SetItems(c.items);
        EXPECT_EQ(index.FindOffset(c.time), c.offset) << c.items.size() << " " << c.time;
    }
}

// A good file and the positions of its trailer's parts, to damage one at a time.
struct GoodFile {
    std::string bytes;
    size_t trailer = 0;
    size_t sourceCount = 0;
    size_t settingsEnd = 0;
};

GoodFile MakeGoodFile(const TempDir& dir)
{
    CDIniFile settings = SampleSettings();
    const std::string path = dir.File("good.qsd");
    Record(dir, MakeSamples(600, 2, 0.01), &settings, path);
    GoodFile file;
    file.bytes = ReadFile(path);
    file.trailer = static_cast<size_t>(GetInt32(file.bytes, 0));
    const int32_t items = GetInt32(file.bytes, file.trailer);
    file.sourceCount = file.trailer + 4 + 16 * static_cast<size_t>(items);
    file.settingsEnd = file.bytes.size() - 8;
    return file;
}

TEST(ScopeDataFile, DamagedFilesAreRefusedAndChangeNothing)
{
    TempDir dir;
    const GoodFile good = MakeGoodFile(dir);
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    constexpr double inf = std::numeric_limits<double>::infinity();
    struct Case {
        const char* name;
        std::function<void(std::string&)> damage;
    };
    const Case cases[] = {
        {"empty", [](std::string& b) { b.clear(); }},
        {"three bytes", [](std::string& b) { b.resize(3); }},
        {"cut in the samples", [](std::string& b) { b.resize(100); }},
        {"cut in the trailer", [&](std::string& b) { b.resize(good.trailer + 10); }},
        {"last byte cut", [](std::string& b) { b.pop_back(); }},
        {"not closed", [](std::string& b) { PutInt32(b, 0, 0); }},
        {"trailer past the end", [&](std::string& b) { PutInt32(b, 0, static_cast<int32_t>(b.size() + 240)); }},
        {"trailer negative", [](std::string& b) { PutInt32(b, 0, -24); }},
        {"trailer off a record", [&](std::string& b) { PutInt32(b, 0, static_cast<int32_t>(good.trailer - 1)); }},
        {"no samples", [](std::string& b) { PutInt32(b, 0, 4); }},
        {"index count beyond the file", [&](std::string& b) { PutInt32(b, good.trailer, 1000000); }},
        {"index count negative", [&](std::string& b) { PutInt32(b, good.trailer, -1); }},
        {"source count beyond the file", [&](std::string& b) { PutInt32(b, good.sourceCount, 1 << 30); }},
        {"source column out of range", [&](std::string& b) { PutInt32(b, good.sourceCount + 8, 5); }},
        {"sample time not finite", [](std::string& b) { PutDouble(b, 4 + 24 * 3 + 8, nan); }},
        {"sample value not finite", [&](std::string& b) { PutDouble(b, good.trailer - 8, inf); }},
        {"index time not finite", [&](std::string& b) { PutDouble(b, good.trailer + 4, nan); }},
        {"index offset past the samples", [&](std::string& b) { PutInt32(b, good.trailer + 12, 1 << 28); }},
        {"closing start time differs", [&](std::string& b) { b[good.settingsEnd] ^= 1; }},
    };
    for (const Case& c : cases) {
        std::string bytes = good.bytes;
        c.damage(bytes);
        WriteFile(dir.File("bad.qsd"), bytes);

        CDataPointBufferedFileArray buffer;
        ASSERT_TRUE(buffer.OpenForPlayback(dir.File("good.qsd").c_str(), nullptr));
        CDIniFile settings;
        settings.SetString("Keep", "1");
        EXPECT_FALSE(buffer.OpenForPlayback(dir.File("bad.qsd").c_str(), &settings)) << c.name;
        EXPECT_STREQ(settings.SaveText(), "Keep=1\n") << c.name;
        // The file that was open stays open and readable.
        EXPECT_STREQ(buffer.GetFilePath(), dir.File("good.qsd").c_str()) << c.name;
        EXPECT_EQ(PlayAll(buffer).size(), 600u) << c.name;
    }
}

TEST(ScopeDataFile, SaveAsReplacesTheTargetOrKeepsEverything)
{
    TempDir dir;
    CDataPointBufferedFileArray buffer;
    buffer.SetFolder(dir.path().c_str());
    ASSERT_TRUE(buffer.OpenForRecording(nullptr));
    buffer.AddPoint(1, 0.0, 1.0);
    ASSERT_TRUE(buffer.Close());
    const std::string temp = dir.File(CDataPointBufferedFileArray::kTempName);
    const std::string recorded = ReadFile(temp);

    EXPECT_FALSE(buffer.SaveAs(dir.File("missing/ScopeData.qsd").c_str()));
    EXPECT_EQ(ReadFile(temp), recorded);

    WriteFile(dir.File("old.qsd"), "old");
    std::filesystem::permissions(dir.File("old.qsd"), std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    ASSERT_TRUE(buffer.SaveAs(dir.File("old.qsd").c_str()));
    EXPECT_EQ(ReadFile(dir.File("old.qsd")), recorded);
    EXPECT_EQ(std::filesystem::status(dir.File("old.qsd")).permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write) << "the old file's mode";
    EXPECT_FALSE(std::filesystem::exists(temp));
    EXPECT_FALSE(buffer.SaveAs(dir.File("again.qsd").c_str()));  // nothing left to save
}

TEST(ScopeDataFile, SaveAsThroughALinkWritesTheFileItNames)
{
    TempDir dir;
    // One link names a file there is, one a file still to be made.
    const struct {
        const char* name;
        bool targetExists;
    } cases[] = {{"present", true}, {"absent", false}};
    for (const auto& c : cases) {
        const std::string target = dir.File(std::string(c.name) + ".qsd");
        const std::string link = dir.File(std::string(c.name) + "-link.qsd");
        if (c.targetExists)
            WriteFile(target, "old");
        std::filesystem::create_symlink(target, link);
        CDataPointBufferedFileArray buffer;
        buffer.SetFolder(dir.path().c_str());
        ASSERT_TRUE(buffer.OpenForRecording(nullptr)) << c.name;
        buffer.AddPoint(1, 0.0, 1.0);
        ASSERT_TRUE(buffer.Close()) << c.name;
        const std::string recorded = ReadFile(dir.File(CDataPointBufferedFileArray::kTempName));
        ASSERT_TRUE(buffer.SaveAs(link.c_str())) << c.name;
        EXPECT_TRUE(std::filesystem::is_symlink(link)) << c.name;
        EXPECT_EQ(ReadFile(target), recorded) << c.name;
    }
}

TEST(ScopeDataFile, DeleteTempFileRemovesTheUnsavedRecording)
{
    TempDir dir;
    CDataPointBufferedFileArray buffer;
    buffer.SetFolder(dir.path().c_str());
    ASSERT_TRUE(buffer.OpenForRecording(nullptr));
    buffer.AddPoint(1, 0.0, 1.0);
    EXPECT_TRUE(buffer.DeleteTempFile());
    EXPECT_FALSE(buffer.IsOpen());
    EXPECT_FALSE(std::filesystem::exists(dir.File(CDataPointBufferedFileArray::kTempName)));
    EXPECT_FALSE(buffer.DeleteTempFile());
}

TEST(ScopeDataFile, AFailedWriteIsReportedNeverSuccess)
{
    if (!std::filesystem::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full";
    TempDir dir;
    std::filesystem::create_symlink("/dev/full", dir.File(CDataPointBufferedFileArray::kTempName));
    CDataPointBufferedFileArray buffer;
    buffer.SetFolder(dir.path().c_str());
    CDIniFile settings = SampleSettings();
    ASSERT_TRUE(buffer.OpenForRecording(&settings));
    for (int i = 0; i < 1000; ++i)
        buffer.AddPoint(1, i * 0.01, i);
    EXPECT_FALSE(buffer.Close());
}

TEST(ScopeDataFile, MissingFolderOrFileOpensNothing)
{
    TempDir dir;
    CDataPointBufferedFileArray buffer;
    buffer.SetFolder(dir.File("missing").c_str());
    EXPECT_FALSE(buffer.OpenForRecording(nullptr));
    EXPECT_FALSE(buffer.OpenForPlayback(dir.File("none.qsd").c_str(), nullptr));
    EXPECT_FALSE(buffer.IsOpen());
    int id;
    double time;
    double value;
    EXPECT_EQ(buffer.ReadNext(1, id, time, value), CDataPointBufferedFileArray::kReadNone);
}

TEST(ScopeDataPointQueue, KeepsTheNewestSpanOfHistory)
{
    CDataPointQueue queue;
    for (int i = 0; i <= 100; ++i)
        queue.Append({1, 0, i * 0.1, static_cast<double>(i)});
    queue.TrimOlderThan(2.0);
    std::vector<CDataPoint> points;
    const double span = queue.Snapshot(points);
    EXPECT_NEAR(span, 2.0, 1e-9);
    ASSERT_FALSE(points.empty());
    EXPECT_NEAR(points.front().m_time, 8.0, 1e-9);
    EXPECT_NEAR(queue.GetOldestTime(), 8.0, 1e-9);
    queue.Clear();
    EXPECT_EQ(queue.Snapshot(points), 0.0);
    EXPECT_TRUE(points.empty());
}
}  // namespace

namespace {
TEST(ScopeDataFile, FuzzSeedsAreGoodFiles)
{
    const std::string corpus = KV_SCOPE_CORPUS;
    CDIniFile settings;
    CDataPointBufferedFileArray buffer;
    ASSERT_TRUE(buffer.OpenForPlayback((corpus + "two_sources").c_str(), &settings));
    EXPECT_EQ(PlayAll(buffer).size(), 60u);
    CString label;
    EXPECT_TRUE(settings.GetString("Scope.XLabel", label));
    ASSERT_TRUE(buffer.OpenForPlayback((corpus + "one_point").c_str(), &settings));
    EXPECT_EQ(PlayAll(buffer).size(), 1u);
    EXPECT_EQ(settings.GetCount(), 0);
}
}  // namespace

namespace {
TEST(ScopeDataFile, SaveAsCrossesFileSystemsInOneStep)
{
    std::error_code error;
    if (!std::filesystem::is_directory("/dev/shm", error) || ::access("/dev/shm", W_OK) != 0)
        GTEST_SKIP() << "no second file system to save to";
    TempDir dir;
    char pattern[] = "/dev/shm/kvscopetestXXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string other = pattern;
    const std::string target = other + "/ScopeData.qsd";
    WriteFile(target, "old");

    CDataPointBufferedFileArray buffer;
    buffer.SetFolder(dir.path().c_str());
    ASSERT_TRUE(buffer.OpenForRecording(nullptr));
    buffer.AddPoint(1, 0.0, 1.0);
    ASSERT_TRUE(buffer.Close());
    const std::string recorded = ReadFile(dir.File(CDataPointBufferedFileArray::kTempName));
    EXPECT_TRUE(buffer.SaveAs(target.c_str()));
    EXPECT_EQ(ReadFile(target), recorded);
    EXPECT_FALSE(std::filesystem::exists(dir.File(CDataPointBufferedFileArray::kTempName)));
    size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(other)) {
        (void)entry;
        ++files;
    }
    EXPECT_EQ(files, 1u);  // no copy left beside the target
    std::filesystem::remove_all(other, error);
}
}  // namespace
