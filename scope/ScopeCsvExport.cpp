#include "ScopeCsvExport.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <memory>
#include <queue>
#include <string>
#include <vector>

#include "DIniFile.h"
#include "DataPoint.h"
#include "DataPointBufferedFileArray.h"
#include "ScopeSourceDataList.h"
#include "platform/core/File.h"

namespace {
constexpr size_t kChunkRecords = 10000;
constexpr size_t kMergeBlock = 256;

bool Earlier(const CDataPoint& a, const CDataPoint& b)
{
    if (a.m_time != b.m_time)
        return a.m_time < b.m_time;
    return (a.m_sourceId & 0xFF) < (b.m_sourceId & 0xFF);
}

class ProgressClock {
public:
    ProgressClock(CScopeCsvProgress* progress, int64_t total) : m_progress(progress), m_total(total) {}
    // False once the user cancelled.
    bool Report(int64_t done)
    {
        if (!m_progress)
            return true;
        const auto now = std::chrono::steady_clock::now();
        if (now - m_last < std::chrono::milliseconds(500))
            return true;
        m_last = now;
        const int percent = m_total > 0 ? static_cast<int>(done * 100 / m_total) : 100;
        return m_progress->OnCsvProgress(std::clamp(percent, 0, 100));
    }

private:
    CScopeCsvProgress* m_progress;
    int64_t m_total;
    std::chrono::steady_clock::time_point m_last{};  // the first report is at once
};

// One sorted run of the samples, read back a block at a time while merging.
struct Run {
    int64_t m_offset = 0;  // in records, within the run file
    int64_t m_left = 0;
    std::vector<CDataPoint> m_block;
    size_t m_next = 0;
};

bool Refill(FILE* runs, Run& run)
{
    const size_t want = static_cast<size_t>(std::min<int64_t>(run.m_left, kMergeBlock));
    run.m_block.resize(want);
    run.m_next = 0;
    if (want == 0)
        return true;
    if (fseeko(runs, static_cast<off_t>(run.m_offset * 24), SEEK_SET) != 0 ||
        std::fread(run.m_block.data(), 24, want, runs) != want)
        return false;
    run.m_offset += static_cast<int64_t>(want);
    run.m_left -= static_cast<int64_t>(want);
    return true;
}

class CsvRows {
public:
    CsvRows(CFile& file, int columns) : m_file(file), m_values(static_cast<size_t>(columns), 0.0) {}

    void Add(const CDataPoint& point, int column)
    {
        if (!m_started) {
            m_rowTime = point.m_time;
            m_started = true;
        } else if (point.m_time != m_rowTime) {
            WriteRow();
            m_rowTime = point.m_time;
        }
        if (column >= 0 && column < static_cast<int>(m_values.size()))
            m_values[static_cast<size_t>(column)] = point.m_value;
    }
    void Finish()
    {
        if (m_started)
            WriteRow();
        Flush();
    }

private:
    void WriteRow()
    {
        char number[40];
        std::snprintf(number, sizeof number, "%.10g", m_rowTime);
        m_text += number;
        for (double value : m_values) {
            std::snprintf(number, sizeof number, ",%.10g", value);
            m_text += number;
        }
        m_text += '\n';
        if (m_text.size() > (1 << 20))
            Flush();
    }
    void Flush()
    {
        m_file.Write(m_text.data(), static_cast<UINT>(m_text.size()));
        m_text.clear();
    }

    CFile& m_file;
    std::vector<double> m_values;
    std::string m_text;
    double m_rowTime = 0.0;
    bool m_started = false;
};

// Sorts each chunk into a run file; the merge then orders records across chunks too.
int WriteRuns(FILE* data, FILE* runs, int64_t records, std::vector<Run>& runList, ProgressClock& clock)
{
    std::vector<CDataPoint> chunk(kChunkRecords);
    if (fseeko(data, CDataPointBufferedFileArray::kDataStart, SEEK_SET) != 0)
        return CScopeCsvExport::kFailed;
    int64_t done = 0;
    while (done < records) {
        const size_t want = static_cast<size_t>(std::min<int64_t>(records - done, kChunkRecords));
        if (std::fread(chunk.data(), 24, want, data) != want)
            return CScopeCsvExport::kFailed;
        std::stable_sort(chunk.begin(), chunk.begin() + static_cast<long>(want), Earlier);
        if (std::fwrite(chunk.data(), 24, want, runs) != want)
            return CScopeCsvExport::kFailed;
        runList.push_back({done, static_cast<int64_t>(want), {}, 0});
        done += static_cast<int64_t>(want);
        if (!clock.Report(done / 2))
            return CScopeCsvExport::kCancelled;
    }
    return CScopeCsvExport::kDone;
}

int MergeRuns(FILE* runs, std::vector<Run>& runList, int64_t records, const CDataPointBufferedFileArray& data,
              CsvRows& rows, ProgressClock& clock)
{
    auto later = [&runList](size_t a, size_t b) {
        const CDataPoint& pa = runList[a].m_block[runList[a].m_next];
        const CDataPoint& pb = runList[b].m_block[runList[b].m_next];
        if (Earlier(pa, pb))
            return false;
        if (Earlier(pb, pa))
            return true;
        return a > b;  // equal keys keep the file's order
    };
    std::priority_queue<size_t, std::vector<size_t>, decltype(later)> heap(later);
    for (size_t i = 0; i < runList.size(); ++i) {
        if (!Refill(runs, runList[i]))
            return CScopeCsvExport::kFailed;
        if (!runList[i].m_block.empty())
            heap.push(i);
    }
    int64_t done = 0;
    while (!heap.empty()) {
        const size_t i = heap.top();
        heap.pop();
        Run& run = runList[i];
        const CDataPoint& point = run.m_block[run.m_next++];
        int column = -1;
        data.GetSourceMap().Lookup(point.m_sourceId, column);
        rows.Add(point, column);
        if (run.m_next == run.m_block.size() && !Refill(runs, run))
            return CScopeCsvExport::kFailed;
        if (run.m_next < run.m_block.size())
            heap.push(i);
        if ((++done & 0xFFF) == 0 && !clock.Report(records / 2 + done / 2))
            return CScopeCsvExport::kCancelled;
    }
    return CScopeCsvExport::kDone;
}

CString StartTimeText(int64_t startTime)
{
    const std::time_t when = static_cast<std::time_t>(startTime);
    std::tm local{};
    char text[128] = "";
    if (localtime_r(&when, &local))
        std::strftime(text, sizeof text, "%c", &local);
    return text;
}
}  // namespace

CString CScopeCsvExport::ColumnHeader(const CDIniFile& settings, int sourceId)
{
    CScopeSourceDataList sources;
    sources.Load(settings);
    const CScopeSourceData* source = sources.FindById(sourceId, 0);
    if (!source) {
        CString header;
        header.Format("Source %d", sourceId);
        return header;
    }
    const CString name = source->GetLabel(0, 1, 1, 0);
    if (source->UnitsCode <= 0)
        return name;
    CString header;
    header.Format("%s (%s)", name.GetString(), GetUnitsName(source->UnitsCode).GetString());
    return header;
}

int CScopeCsvExport::Export(const CDataPointBufferedFileArray& data, const CDIniFile& settings,
                            const char* csvPath, CScopeCsvProgress* progress)
{
    if (!data.IsOpen() || data.IsWriting())
        return kFailed;
    const auto entries = data.GetSourceMap().GetEntries();
    std::vector<CString> headers(entries.size());
    for (const auto& [id, column] : entries)
        headers[static_cast<size_t>(column)] = ColumnHeader(settings, id);

    std::unique_ptr<FILE, int (*)(FILE*)> source(std::fopen(data.GetFilePath(), "rb"), std::fclose);
    std::unique_ptr<FILE, int (*)(FILE*)> runs(std::tmpfile(), std::fclose);
    if (!source || !runs)
        return kFailed;
    CFile csv;
    if (!csv.Open(csvPath, CFile::modeCreate | CFile::modeWrite | CFile::typeBinary))
        return kFailed;
    const int64_t records = (data.GetTrailerOffset() - CDataPointBufferedFileArray::kDataStart) / 24;
    ProgressClock clock(progress, records);
    int result = kFailed;
    try {
        CString head;
        head.Format("Recorded Scope Data - %s\nTime (secs)", StartTimeText(data.GetStartTime()).GetString());
        for (const CString& header : headers)
            head += "," + header;
        head += "\n";
        csv.Write(head.GetString(), static_cast<UINT>(head.GetLength()));
        std::vector<Run> runList;
        result = WriteRuns(source.get(), runs.get(), records, runList, clock);
        CsvRows rows(csv, static_cast<int>(headers.size()));
        if (result == kDone)
            result = MergeRuns(runs.get(), runList, records, data, rows, clock);
        if (result == kDone) {
            rows.Finish();
            csv.Close();
        }
    } catch (const CException&) {
        result = kFailed;
    }
    if (result != kDone)
        csv.Abort();
    return result;
}
