// CDataPointBufferedFileArray: the recording buffer. Samples stream through a
// double buffer into a data file written by a file thread of its own; the same
// object reads a closed file back in blocks, seeking by time.
#pragma once

#include <cstdint>
#include <cstdio>

#include "BufferOpQueue.h"
#include "DataPointArrayEx.h"
#include "DataPointTimeIndex.h"
#include "MapSourceIDToIndex.h"
#include "platform/core/Mutex.h"
#include "platform/core/String.h"

class CDIniFile;
class CWinThread;

class CDataPointBufferedFileArray {
public:
    enum ReadResult { kReadPoint = 0, kReadEnd = 1, kReadNotLoaded = 2, kReadNone = -1 };
    static constexpr const char* kTempName = "__DPBFA.$$$";
    static constexpr int kRecordSize = 24;
    static constexpr int kDataStart = 4;

    CDataPointBufferedFileArray();
    ~CDataPointBufferedFileArray();
    CDataPointBufferedFileArray(const CDataPointBufferedFileArray&) = delete;
    CDataPointBufferedFileArray& operator=(const CDataPointBufferedFileArray&) = delete;

    void SetFolder(const char* folder);
    CString GetTempPath() const;

    BOOL OpenForRecording(CDIniFile* settings);
    // The file is checked whole before anything changes: a damaged file leaves
    // the attached settings untouched and nothing open.
    BOOL OpenForPlayback(const char* path, CDIniFile* settings);
    // FALSE when a sample or the trailer could not be written.
    BOOL Close();
    BOOL DeleteTempFile();
    // Puts the closed recording at `path` in one step; on failure the old file and the recording stay.
    BOOL SaveAs(const char* path);

    int AddPoint(int sourceId, double time, double value);
    int ReadNext(int forward, int& sourceId, double& time, double& value);
    void SeekTime(double time);
    BOOL GetTimeSpan(double& first, double& last) const;
    int64_t GetBytesWritten() const;

    BOOL IsOpen() const;
    BOOL IsWriting() const;
    BOOL IsSeekPending() const;
    BOOL HasWriteFailed() const;
    CString GetFilePath() const;
    int64_t GetStartTime() const { return m_startTime; }
    int64_t GetTrailerOffset() const { return m_trailerOffset; }
    const CMapSourceIDToIndex& GetSourceMap() const { return m_sourceMap; }
    const CDataPointTimeIndex& GetTimeIndex() const { return m_timeIndex; }

    // For tests: the file thread takes no job until released, as when the disk stalls.
    void HoldFileThread(bool hold);

private:
    static UINT FileThreadProc(LPVOID param);
    void FileThreadLoop();
    bool StartFileThread();
    void StopFileThread();
    void DoWriteAndSwap();
    void DoPrefetchNext();
    void DoPrefetchPrevious();
    void DoSeek(double time);
    void DoReloadAfterGap();
    bool LoadBlock(int buffer, int64_t offset);
    BOOL WriteTrailer();
    void SetUpBuffers(int capacity, int threshold);
    void FreeBuffers();
    void SetReadOnly(int readOnly);

    CBufferOpQueue m_ops;
    CDataPointTimeIndex m_timeIndex;
    CMapSourceIDToIndex m_sourceMap;
    CString m_folder;
    CDIniFile* m_settings = nullptr;

    mutable CMutex m_arrayLock;
    CDataPointArrayEx m_write[2];
    CDataPointArrayEx m_read[2];
    int m_currentWrite = 0;
    int m_currentRead = 0;
    int m_writeCount = 0;
    int m_cursor = -1;
    int m_endReached = 0;
    bool m_swapQueued = false;

    int64_t m_dataEnd = kDataStart;
    int64_t m_trailerOffset = 0;

    mutable CMutex m_threadLock;
    int m_threadState = 0;  // 0 not started, 1 running, 2 stopping, 3 ended
    CWinThread* m_thread = nullptr;
    bool m_holdThread = false;

    mutable CMutex m_sizeLock;
    int64_t m_bytesWritten = 0;
    bool m_writeFailed = false;

    FILE* m_file = nullptr;
    int64_t m_startTime = 0;
    int m_readThreshold = 0;
    int m_writeThreshold = 0;
    double m_firstTime = 0.0;
    double m_lastTime = 0.0;
    CString m_path;
    int m_readOnly = 0;
    int m_seekPending = 0;
};
