#include "DataPointBufferedFileArray.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "DIniFile.h"
#include "platform/core/File.h"
#include "platform/core/FileReplacement.h"
#include "platform/core/SingleLock.h"
#include "platform/core/WinThread.h"

static_assert(std::endian::native == std::endian::little, "the data file is little-endian, written as in memory");

namespace {
constexpr int kRecordCapacity = 60000;
constexpr int kRecordThreshold = 6000;
constexpr int kPlayCapacity = 10000;
constexpr int kPlayThreshold = 1000;
// Offsets in the file are 32-bit: samples beyond this are not written.
constexpr int64_t kMaxDataEnd = 0x7FFFFFFF - (1 << 24);

bool SeekTo(FILE* file, int64_t offset, int whence = SEEK_SET)
{
    return fseeko(file, static_cast<off_t>(offset), whence) == 0;
}

template <class T>
bool ReadValue(FILE* file, T& value)
{
    return std::fread(&value, sizeof value, 1, file) == 1;
}

bool IsGoodRecord(const CDataPoint& point)
{
    return std::isfinite(point.m_time) && std::isfinite(point.m_value);
}

// What a data file holds beside its samples, read whole before anything is kept.
struct ParsedFile {
    int64_t m_size = 0;
    int64_t m_trailerOffset = 0;
    double m_firstTime = 0.0;
    double m_lastTime = 0.0;
    std::vector<CDataPointTimeIndexItem> m_index;
    std::vector<std::pair<int32_t, int32_t>> m_sources;
    int64_t m_startTime = 0;
    std::string m_settingsText;
};

bool CheckSamples(FILE* file, ParsedFile& parsed)
{
    if (!SeekTo(file, CDataPointBufferedFileArray::kDataStart))
        return false;
    std::vector<CDataPoint> chunk(kPlayCapacity);
    int64_t left = (parsed.m_trailerOffset - CDataPointBufferedFileArray::kDataStart) / 24;
    bool first = true;
    while (left > 0) {
        const size_t want = static_cast<size_t>(std::min<int64_t>(left, kPlayCapacity));
        if (std::fread(chunk.data(), sizeof(CDataPoint), want, file) != want)
            return false;
        for (size_t i = 0; i < want; ++i)
            if (!IsGoodRecord(chunk[i]))
                return false;
        if (first)
            parsed.m_firstTime = chunk[0].m_time;
        first = false;
        parsed.m_lastTime = chunk[want - 1].m_time;
        left -= static_cast<int64_t>(want);
    }
    return true;
}

bool ReadIndex(FILE* file, ParsedFile& parsed)
{
    int32_t count = 0;
    if (!ReadValue(file, count) || count < 0 ||
        ftello(file) + int64_t{count} * 16 > parsed.m_size)
        return false;
    parsed.m_index.resize(static_cast<size_t>(count));
    if (count > 0 && std::fread(parsed.m_index.data(), 16, parsed.m_index.size(), file) != parsed.m_index.size())
        return false;
    double previous = -INFINITY;
    for (const CDataPointTimeIndexItem& item : parsed.m_index) {
        const bool offsetGood = item.m_offset >= CDataPointBufferedFileArray::kDataStart &&
                                item.m_offset + 24 <= parsed.m_trailerOffset && (item.m_offset - 4) % 24 == 0;
        if (!std::isfinite(item.m_time) || item.m_time < previous || !offsetGood)
            return false;
        previous = item.m_time;
    }
    return true;
}

bool ReadSourceMap(FILE* file, ParsedFile& parsed)
{
    int32_t count = 0;
    if (!ReadValue(file, count) || count < 0 || ftello(file) + int64_t{count} * 8 > parsed.m_size)
        return false;
    std::vector<bool> columnUsed(static_cast<size_t>(count), false);
    for (int32_t i = 0; i < count; ++i) {
        int32_t pair[2];
        if (std::fread(pair, 4, 2, file) != 2 || pair[1] < 0 || pair[1] >= count || columnUsed[pair[1]])
            return false;
        for (const auto& entry : parsed.m_sources)
            if (entry.first == pair[0])
                return false;
        columnUsed[static_cast<size_t>(pair[1])] = true;
        parsed.m_sources.emplace_back(pair[0], pair[1]);
    }
    return true;
}

// The settings text runs up to the closing copy of the start time, which must match the first.
bool ReadTrailerEnd(FILE* file, ParsedFile& parsed)
{
    if (!ReadValue(file, parsed.m_startTime))
        return false;
    const int64_t textStart = ftello(file);
    const int64_t textLength = parsed.m_size - 8 - textStart;
    if (textLength < 0)
        return false;
    parsed.m_settingsText.resize(static_cast<size_t>(textLength));
    if (textLength > 0 &&
        std::fread(parsed.m_settingsText.data(), 1, parsed.m_settingsText.size(), file) != parsed.m_settingsText.size())
        return false;
    int64_t closingStart = 0;
    return ReadValue(file, closingStart) && closingStart == parsed.m_startTime;
}

bool ParseDataFile(FILE* file, ParsedFile& parsed)
{
    if (!SeekTo(file, 0, SEEK_END))
        return false;
    parsed.m_size = ftello(file);
    int32_t trailer = 0;
    if (!SeekTo(file, 0) || !ReadValue(file, trailer))
        return false;
    parsed.m_trailerOffset = trailer;
    // Not closed (0), no first sample, not on a record boundary, or past the end.
    if (trailer < CDataPointBufferedFileArray::kDataStart + 24 || (trailer - 4) % 24 != 0 ||
        int64_t{trailer} + 4 + 4 + 8 + 8 > parsed.m_size)
        return false;
    if (!CheckSamples(file, parsed) || !SeekTo(file, trailer))
        return false;
    return ReadIndex(file, parsed) && ReadSourceMap(file, parsed) && ReadTrailerEnd(file, parsed);
}

// Copies a file across file systems; the target is replaced only once the copy is whole.
bool CopyInPlace(const std::string& from, const std::string& to)
{
    FILE* source = std::fopen(from.c_str(), "rb");
    if (!source)
        return false;
    bool good = true;
    CFile target;
    if (!target.Open(to.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::typeBinary)) {
        std::fclose(source);
        return false;
    }
    try {
        std::vector<char> buffer(1 << 20);
        size_t got;
        while ((got = std::fread(buffer.data(), 1, buffer.size(), source)) > 0)
            target.Write(buffer.data(), static_cast<UINT>(got));
        good = !std::ferror(source);
        if (good)
            target.Close();
        else
            target.Abort();
    } catch (const CException&) {
        target.Abort();
        good = false;
    }
    std::fclose(source);
    return good;
}
}  // namespace

CDataPointBufferedFileArray::CDataPointBufferedFileArray() = default;

CDataPointBufferedFileArray::~CDataPointBufferedFileArray()
{
    Close();
}

void CDataPointBufferedFileArray::SetFolder(const char* folder)
{
    m_folder = folder;
    if (!m_folder.IsEmpty() && m_folder[m_folder.GetLength() - 1] != '/' &&
        m_folder[m_folder.GetLength() - 1] != '\\')
        m_folder += '/';
}

CString CDataPointBufferedFileArray::GetTempPath() const
{
    return m_folder + kTempName;
}

void CDataPointBufferedFileArray::SetUpBuffers(int capacity, int threshold)
{
    CSingleLock lock(&m_arrayLock, TRUE);
    for (int i = 0; i < 2; ++i) {
        m_write[i].SetCapacity(m_readOnly ? 0 : capacity);
        m_read[i].SetCapacity(capacity);
    }
    m_readThreshold = threshold;
    m_writeThreshold = threshold;
    m_currentWrite = m_currentRead = 0;
    m_writeCount = 0;
    m_cursor = -1;
    m_endReached = 0;
    m_swapQueued = false;
    m_seekPending = 0;
}

void CDataPointBufferedFileArray::SetReadOnly(int readOnly)
{
    CSingleLock lock(&m_arrayLock, TRUE);
    m_readOnly = readOnly;
}

void CDataPointBufferedFileArray::FreeBuffers()
{
    CSingleLock lock(&m_arrayLock, TRUE);
    for (int i = 0; i < 2; ++i) {
        m_write[i].Free();
        m_read[i].Free();
    }
}

BOOL CDataPointBufferedFileArray::OpenForRecording(CDIniFile* settings)
{
    Close();
    FILE* file = std::fopen(GetTempPath(), "w+b");
    if (!file)
        return FALSE;
    const int32_t notClosed = 0;
    if (std::fwrite(&notClosed, 4, 1, file) != 1) {
        std::fclose(file);
        return FALSE;
    }
    m_settings = settings;
    SetReadOnly(0);
    SetUpBuffers(kRecordCapacity, kRecordThreshold);
    {
        CSingleLock lock(&m_arrayLock, TRUE);
        m_file = file;
        m_dataEnd = kDataStart;
        m_trailerOffset = 0;
        m_path = GetTempPath();
        m_firstTime = m_lastTime = 0.0;
    }
    m_timeIndex.Clear();
    m_sourceMap.Clear();
    {
        CSingleLock lock(&m_sizeLock, TRUE);
        m_bytesWritten = 0;
        m_writeFailed = false;
    }
    m_startTime = static_cast<int64_t>(std::time(nullptr));
    if (StartFileThread())
        return TRUE;
    Close();
    return FALSE;
}

BOOL CDataPointBufferedFileArray::OpenForPlayback(const char* path, CDIniFile* settings)
{
    FILE* file = std::fopen(path, "rb");
    if (!file)
        return FALSE;
    ParsedFile parsed;
    if (!ParseDataFile(file, parsed)) {
        std::fclose(file);
        return FALSE;
    }
    Close();
    SetReadOnly(1);
    SetUpBuffers(kPlayCapacity, kPlayThreshold);
    {
        CSingleLock lock(&m_arrayLock, TRUE);
        m_file = file;
        m_dataEnd = parsed.m_trailerOffset;
        m_trailerOffset = parsed.m_trailerOffset;
        m_path = path;
        m_firstTime = parsed.m_firstTime;
        m_lastTime = parsed.m_lastTime;
        LoadBlock(0, kDataStart);
        LoadBlock(1, m_read[0].m_lastOffset + 1);
    }
    m_timeIndex.SetItems(std::move(parsed.m_index));
    m_sourceMap.SetEntries(std::move(parsed.m_sources));
    m_startTime = parsed.m_startTime;
    if (!StartFileThread()) {
        Close();
        return FALSE;
    }
    m_settings = settings;
    if (m_settings)
        m_settings->LoadText(parsed.m_settingsText);
    return TRUE;
}

bool CDataPointBufferedFileArray::StartFileThread()
{
    m_ops.Clear();
    {
        CSingleLock lock(&m_threadLock, TRUE);
        m_threadState = 0;
    }
    m_thread = AfxBeginThread(FileThreadProc, this, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    if (!m_thread)
        return false;
    m_thread->m_bAutoDelete = FALSE;
    m_thread->ResumeThread();
    return true;
}

void CDataPointBufferedFileArray::StopFileThread()
{
    if (!m_thread)
        return;
    if (!m_readOnly)
        m_ops.Add(CBufferOpQueue::kWriteAndSwap);
    m_ops.Add(CBufferOpQueue::kStop);
    delete m_thread;  // joins: the thread ends once it has done every queued job
    m_thread = nullptr;
}

UINT CDataPointBufferedFileArray::FileThreadProc(LPVOID param)
{
    static_cast<CDataPointBufferedFileArray*>(param)->FileThreadLoop();
    return 0;
}

void CDataPointBufferedFileArray::FileThreadLoop()
{
    {
        CSingleLock lock(&m_threadLock, TRUE);
        m_threadState = 1;
    }
    for (;;) {
        {
            CSingleLock lock(&m_threadLock, TRUE);
            if (m_holdThread) {
                lock.Unlock();
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
                continue;
            }
        }
        CBufferOpQueue::Item item;
        if (!m_ops.Take(item, 10)) {
            CSingleLock lock(&m_threadLock, TRUE);
            if (m_threadState != 1)
                break;
            continue;
        }
        switch (item.m_op) {
        case CBufferOpQueue::kWriteAndSwap: DoWriteAndSwap(); break;
        case CBufferOpQueue::kPrefetchNext: DoPrefetchNext(); break;
        case CBufferOpQueue::kPrefetchPrevious: DoPrefetchPrevious(); break;
        case CBufferOpQueue::kSeekTime: DoSeek(item.m_arg); break;
        case CBufferOpQueue::kReloadAfterGap: DoReloadAfterGap(); break;
        case CBufferOpQueue::kStop: {
            CSingleLock lock(&m_threadLock, TRUE);
            m_threadState = 2;
            break;
        }
        default: break;
        }
    }
    CSingleLock lock(&m_threadLock, TRUE);
    m_threadState = 3;
}

void CDataPointBufferedFileArray::HoldFileThread(bool hold)
{
    CSingleLock lock(&m_threadLock, TRUE);
    m_holdThread = hold;
}

void CDataPointBufferedFileArray::DoWriteAndSwap()
{
    int full;
    int count;
    {
        CSingleLock lock(&m_arrayLock, TRUE);
        if (m_readOnly || !m_file)
            return;
        full = m_currentWrite;
        count = m_writeCount;
        m_currentWrite = 1 - full;
        m_writeCount = 0;
        m_swapQueued = false;
    }
    if (count == 0)
        return;
    if (!SeekTo(m_file, 0, SEEK_END)) {
        CSingleLock lock(&m_sizeLock, TRUE);
        m_writeFailed = true;
        return;
    }
    int64_t position = ftello(m_file);
    CDataPointArrayEx& buffer = m_write[full];
    CSingleLock bufferLock(&buffer.m_lock, TRUE);
    count = static_cast<int>(std::clamp<int64_t>((kMaxDataEnd - position) / 24, 0, count));
    const int64_t first = position;
    for (int i = 0; i < count; ++i, position += 24)
        m_timeIndex.AddIfDue(position, buffer.m_points[static_cast<size_t>(i)].m_time);
    const bool written = count == 0 ||
                         std::fwrite(buffer.m_points.data(), sizeof(CDataPoint), static_cast<size_t>(count),
                                     m_file) == static_cast<size_t>(count);
    bufferLock.Unlock();
    const int64_t end = written ? position : first;
    {
        CSingleLock lock(&m_arrayLock, TRUE);
        m_dataEnd = end;
    }
    CSingleLock lock(&m_sizeLock, TRUE);
    m_bytesWritten = end - kDataStart;
    if (!written)
        m_writeFailed = true;
}

bool CDataPointBufferedFileArray::LoadBlock(int index, int64_t offset)
{
    CDataPointArrayEx& buffer = m_read[index];
    CSingleLock lock(&buffer.m_lock, TRUE);
    const int64_t length = std::min<int64_t>(int64_t{buffer.GetCapacity()} * 24, m_dataEnd - offset);
    buffer.m_firstOffset = offset;
    buffer.m_count = 0;
    buffer.m_lastOffset = offset - 1;
    if (length <= 0 || !SeekTo(m_file, offset))
        return false;
    const size_t got = std::fread(buffer.m_points.data(), 1, static_cast<size_t>(length), m_file);
    buffer.m_count = static_cast<int>(got / 24);
    buffer.m_lastOffset = offset + int64_t{buffer.m_count} * 24 - 1;
    return buffer.m_count > 0;
}

void CDataPointBufferedFileArray::DoPrefetchNext()
{
    CSingleLock lock(&m_arrayLock, TRUE);
    if (!m_file)
        return;
    const CDataPointArrayEx& current = m_read[m_currentRead];
    const CDataPointArrayEx& other = m_read[1 - m_currentRead];
    const int64_t next = current.m_lastOffset + 1;
    if (other.m_count > 0 && other.m_firstOffset == next)
        return;
    LoadBlock(1 - m_currentRead, next);
}

void CDataPointBufferedFileArray::DoPrefetchPrevious()
{
    CSingleLock lock(&m_arrayLock, TRUE);
    if (!m_file)
        return;
    const CDataPointArrayEx& current = m_read[m_currentRead];
    CDataPointArrayEx& other = m_read[1 - m_currentRead];
    if (current.m_firstOffset <= kDataStart) {
        other.m_count = 0;
        return;
    }
    const int64_t from = std::max<int64_t>(kDataStart, current.m_firstOffset - int64_t{other.GetCapacity()} * 24);
    LoadBlock(1 - m_currentRead, from);
}

void CDataPointBufferedFileArray::DoSeek(double time)
{
    int64_t offset = m_timeIndex.FindOffset(time);
    if (offset == 0)
        offset = kDataStart;
    CSingleLock lock(&m_arrayLock, TRUE);
    if (m_file) {
        LoadBlock(0, offset);
        LoadBlock(1, m_read[0].m_lastOffset + 1);
        m_currentRead = 0;
        m_cursor = -1;
        m_endReached = 0;
    }
    m_seekPending = 0;
}

void CDataPointBufferedFileArray::DoReloadAfterGap()
{
    CSingleLock lock(&m_arrayLock, TRUE);
    if (!m_file)
        return;
    CDataPointArrayEx& current = m_read[m_currentRead];
    const int64_t from = current.m_firstOffset + int64_t{current.m_count} * 24;
    m_endReached = 0;
    if (from < m_dataEnd && LoadBlock(m_currentRead, from))
        m_cursor = -1;
}

int CDataPointBufferedFileArray::AddPoint(int sourceId, double time, double value)
{
    {
        CSingleLock lock(&m_arrayLock, TRUE);
        if (!m_file || m_readOnly)
            return 0;
        CDataPointArrayEx& buffer = m_write[m_currentWrite];
        CSingleLock bufferLock(&buffer.m_lock, TRUE);
        if (m_writeCount >= buffer.GetCapacity())
            return 0;
        buffer.m_points[static_cast<size_t>(m_writeCount++)] = CDataPoint{sourceId, 0, time, value};
        if (m_writeCount > buffer.GetCapacity() - m_writeThreshold && !m_swapQueued) {
            m_ops.Add(CBufferOpQueue::kWriteAndSwap);
            m_swapQueued = true;
        }
    }
    m_sourceMap.Add(sourceId);
    return 1;
}

int CDataPointBufferedFileArray::ReadNext(int forward, int& sourceId, double& time, double& value)
{
    CSingleLock lock(&m_arrayLock, TRUE);
    if (!m_file)
        return kReadNone;
    if (m_endReached || m_seekPending)
        return kReadEnd;
    if (!forward) {
        if (m_cursor >= 0)
            --m_cursor;
        return kReadPoint;
    }
    CDataPointArrayEx* buffer = &m_read[m_currentRead];
    ++m_cursor;
    if (m_cursor == buffer->GetCapacity() - m_readThreshold) {
        if (!m_readOnly)
            m_ops.Add(CBufferOpQueue::kWriteAndSwap);
        m_ops.Add(CBufferOpQueue::kPrefetchNext);
    }
    if (m_cursor >= buffer->m_count) {
        const CDataPointArrayEx& other = m_read[1 - m_currentRead];
        if (buffer->m_count > 0 && other.m_count > 0 && other.m_firstOffset == buffer->m_lastOffset + 1) {
            m_currentRead = 1 - m_currentRead;
            buffer = &m_read[m_currentRead];
            m_cursor = 0;
        } else if (m_readOnly) {
            m_cursor = buffer->m_count - 1;
            if (buffer->m_lastOffset + 1 >= m_dataEnd)
                return kReadEnd;
            m_ops.Add(CBufferOpQueue::kPrefetchNext);
            return kReadNotLoaded;
        } else {
            m_cursor = buffer->m_count - 1;
            m_endReached = 1;
            m_ops.Add(CBufferOpQueue::kWriteAndSwap);
            m_ops.Add(CBufferOpQueue::kReloadAfterGap);
            return kReadEnd;
        }
    }
    CSingleLock bufferLock(&buffer->m_lock, TRUE);
    const CDataPoint& point = buffer->m_points[static_cast<size_t>(m_cursor)];
    sourceId = point.m_sourceId & 0xFF;
    time = point.m_time;
    value = point.m_value;
    return kReadPoint;
}

void CDataPointBufferedFileArray::SeekTime(double time)
{
    {
        CSingleLock lock(&m_arrayLock, TRUE);
        if (!m_file)
            return;
        m_seekPending = 1;
    }
    m_ops.Add(CBufferOpQueue::kSeekTime, time);
}

BOOL CDataPointBufferedFileArray::GetTimeSpan(double& first, double& last) const
{
    CSingleLock lock(&m_arrayLock, TRUE);
    if (!m_file || !m_readOnly)
        return FALSE;
    first = m_firstTime;
    last = m_lastTime;
    return TRUE;
}

int64_t CDataPointBufferedFileArray::GetBytesWritten() const
{
    CSingleLock lock(&m_sizeLock, TRUE);
    return m_bytesWritten;
}

BOOL CDataPointBufferedFileArray::IsOpen() const
{
    CSingleLock lock(&m_arrayLock, TRUE);
    return m_file != nullptr;
}

BOOL CDataPointBufferedFileArray::IsWriting() const
{
    CSingleLock lock(&m_arrayLock, TRUE);
    return m_file != nullptr && !m_readOnly;
}

BOOL CDataPointBufferedFileArray::IsSeekPending() const
{
    CSingleLock lock(&m_arrayLock, TRUE);
    return m_seekPending;
}

BOOL CDataPointBufferedFileArray::HasWriteFailed() const
{
    CSingleLock lock(&m_sizeLock, TRUE);
    return m_writeFailed;
}

CString CDataPointBufferedFileArray::GetFilePath() const
{
    CSingleLock lock(&m_arrayLock, TRUE);
    return m_path;
}

BOOL CDataPointBufferedFileArray::WriteTrailer()
{
    if (!SeekTo(m_file, 0, SEEK_END))
        return FALSE;
    const int64_t trailer = ftello(m_file);
    if (trailer > 0x7FFFFFFF)
        return FALSE;
    bool good = m_timeIndex.Write(m_file) && m_sourceMap.Write(m_file);
    good = good && std::fwrite(&m_startTime, 8, 1, m_file) == 1;
    if (good && m_settings)
        good = m_settings->SaveStream(m_file);
    good = good && std::fwrite(&m_startTime, 8, 1, m_file) == 1;
    const int32_t offset = static_cast<int32_t>(trailer);
    good = good && SeekTo(m_file, 0) && std::fwrite(&offset, 4, 1, m_file) == 1;
    good = good && std::fflush(m_file) == 0 && ::fsync(fileno(m_file)) == 0;
    if (good)
        m_trailerOffset = trailer;
    return good;
}

BOOL CDataPointBufferedFileArray::Close()
{
    if (!IsOpen())
        return TRUE;
    StopFileThread();
    BOOL good = TRUE;
    if (!m_readOnly)
        good = !HasWriteFailed() && WriteTrailer();
    FILE* file;
    {
        CSingleLock lock(&m_arrayLock, TRUE);
        file = m_file;
        m_file = nullptr;
    }
    if (std::fclose(file) != 0 && !m_readOnly)
        good = FALSE;
    FreeBuffers();
    SetReadOnly(0);
    return good;
}

BOOL CDataPointBufferedFileArray::DeleteTempFile()
{
    Close();
    return std::remove(GetTempPath()) == 0;
}

BOOL CDataPointBufferedFileArray::SaveAs(const char* path)
{
    if (IsWriting() && !Close())
        return FALSE;
    const std::string from = GetTempPath().str();
    // A symbolic link at path stays: the file it names gets the data.
    const std::string to = CFileReplacement::ResolveLinks(path).GetString();
    const int moved = CFileReplacement::MoveOver(from.c_str(), to.c_str());
    if (moved == 0)
        return TRUE;
    if (moved != EXDEV || !CopyInPlace(from, to))
        return FALSE;
    std::remove(from.c_str());
    return TRUE;
}
