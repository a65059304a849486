// CCommManager: the worker thread that owns the drive link. Every millisecond
// it reads the port into the receive ring, parses and dispatches the replies,
// frames the jobs not yet sent, sends raw blocks, flushes the transmit ring,
// times out jobs and leaves the finished responses for the distribution
// manager. It also opens and closes the link and offers a synchronous mode.
#pragma once

#include <atomic>
#include <thread>

#include "comm/link/AmpQryCmdJobCmQueue.h"
#include "comm/protocol/AmpResponseToDistMngrList.h"
#include "comm/link/CommLinkSettings.h"
#include "comm/trace/CommManagerTraceClientList.h"
#include "comm/trace/CommStatistics.h"
#include "comm/link/DriveAssignment.h"
#include "comm/link/MapIntToStringLockable.h"
#include "comm/link/QvxBlockDataList.h"
#include "foundation/DThread.h"
#include "foundation/HPTimer.h"
#include "foundation/RingBuff.h"

class CCommPortFactory;
class CQVXCommPort;

// Outcome of the drive scan.
enum DriveScanResult : int {
    kScanFound = 0,
    kScanNone = 1,
    kScanFailed = 2,
    kScanRefused = 3,
};

// Mode bits: which kinds of queued jobs the drives are set up for.
enum CommModeBits : BYTE {
    kModeBlockTransfers = 0x01,
    kModeTimeStamps = 0x02,
};

// How long opening waits for a drive line to fall quiet: a line counts as
// quiet after quietMs without a byte; the start-up and set-up waits give up
// after their limits.
struct CommSettleLimits {
    int quietMs = 200;
    int startupMs = 3000;
    int setupMs = 5000;
};

class CCommManager : public CDThread {
public:
    static constexpr int kRingBits = 11;
    static constexpr int kSyncRingBits = 10;

    CCommManager();
    ~CCommManager() override;

    // The distribution manager's side.
    void SubmitJob(const CAmpQryCmdFromDistMngr& job);
    int CancelJob(DWORD jobId);
    CAmpResponseToDistMngrList& GetResponseList() { return m_responses; }
    // The thread that takes the responses, woken whenever one is left for it.
    void SetResponseTaker(CDThread* taker) { m_responseTaker = taker; }
    void AddRawBlock(const BYTE* bytes, int count);

    BOOL AddClient(CCommManagerTraceClient* client) { return m_traceClients.AddClient(client); }
    void RemoveClient(CCommManagerTraceClient* client) { m_traceClients.RemoveClient(client); }

    CString GetPortName();
    void SetPortFactory(CCommPortFactory* factory) { m_portFactory = factory; }

    // Synchronous mode: the cycle stops and one caller talks to the port. The
    // thread that entered it leaves it. Entering waits until the job queue is empty.
    int EnterSynchronousMode();
    void LeaveSynchronousMode();
    int SendReceiveSynchronous(const CAmpMsg& message, CAmpResponseMsg& response, int timeoutMs);

    // Opening and closing the link. Open answers non-zero when communications opened.
    int OpenCommunications(const CCommLinkSettings& settings);
    int OpenDemoCommunications();
    void CloseCommunications();
    void SetSettleLimits(const CommSettleLimits& limits) { m_settle = limits; }
    BOOL IsOpen() const;
    BOOL IsDemo() const;
    // The drive scan; with a message box when asked.
    int DetectDrives(BOOL showResult);
    static CString DriveTypeText(int code);

    void SetReadBackOption(BOOL on);
    BOOL GetReadBackOption();
    BYTE GetMode() const { return m_mode; }

    // The frame layer. A null ring is the manager's own (transmit or receive).
    int WriteFrame(const CAmpMsg& message, BOOL lockTransmit = TRUE, CRingBuff* ring = nullptr);
    int WriteJob(CAmpQryCmdJobCm& job);
    int ReadFrame(CRingBuff* ring, CAmpMsg& message);
    int ParseFrame(CAmpResponseMsg& response, CRingBuff* ring = nullptr);
    int DispatchResponse(const CAmpResponseMsg& message);

    CCommStatistics& GetStatistics() { return m_statistics; }
    CMapIntToStringLockable& GetDriveNames() { return m_driveNames; }
    CAmpQryCmdJobCmQueue& GetJobQueue() { return m_jobs; }
    CRingBuff& GetTransmitRing() { return m_txRing; }
    CRingBuff& GetReceiveRing() { return m_rxRing; }
    int GetRawBlockCount() { return m_rawBlocks.GetCount(); }

    // 1 while a link is open.
    static int GetLinkState();

protected:
    void OnStart() override;
    int Step() override;
    int GetRestMs() override;
    bool HasUnsentJob();
    static constexpr double kTimeoutCheckSeconds = 1.0;  // sent jobs are looked at for time-outs this often

    // Takes ownership of an opened port; derived classes that bring their
    // own link use it in place of the open operations.
    void AttachPort(CQVXCommPort* port, BOOL open);
    int RunStartupSequence();
    int SetUpDrives();
    int ReadPort(int waitMs);
    void FlushTransmit();

private:
    void ReportCycleValues();
    void UpdateModeBits();
    void WriteUnsentJobs();
    void SendRawBlocks();
    void CheckTimeouts();
    void TimeOutJob(CAmpQryCmdJobCm& job);

    void AppendErrorResponse(const CAmpQryCmdFromDistMngr& job, WORD error);
    void PostResponse(const CAmpResponseToDistMngr& response);
    int FrameBytesNeeded(const CAmpMsg& message, BOOL readBack);
    int PutFrame(const CAmpMsg& message, CRingBuff& ring, BOOL readBack);
    void WriteEncoded(const CAmpMsg& message, CRingBuff& ring);
    void ReportTransmitOverflow();
    void ReportFrameError(int result, const CAmpMsg& frame, bool namesDrive);
    int ReadTimeStamp(CAmpResponseMsg& response, CRingBuff& ring, const CAmpMsg& reply, CAmpMsg& stamp, bool& stamped);
    void QueueBlockFollowUp(const CAmpResponseToDistMngr& response, const CAmpResponseMsg& reply);

    void SendStartupFrame(int address, WORD code, LONG value, BYTE width);
    // Reads until the line has been quiet for 200 ms; false when data still
    // came after the given time.
    bool WaitForQuietLine(int maxMs);
    void ParseAndDispatchAll();
    void CollectAnsweringDrives(const CList<CDriveAssignment>& assignments, CMapIntToStringLockable::NameMap& answered);
    int ScanDrives(CString& report);
    void ClosePort();
    void EmptyQueues();
    void SetLinkState(int state);
    int FinishOpen(int opened);

    CCommStatistics m_statistics;
    CMapIntToStringLockable m_driveNames;
    CCommManagerTraceClientList m_traceClients;
    CAmpQryCmdJobCmQueue m_jobs;
    CQvxBlockDataList m_rawBlocks;
    CAmpResponseToDistMngrList m_responses;
    CRingBuff m_txRing{kRingBits};
    CRingBuff m_rxRing{kRingBits};
    CHPTimer m_timeoutClock;
    CHPTimer m_flushClock;
    CHPTimer m_bytesInClock;
    CHPTimer m_bytesOutClock;
    CMutex m_txLock;
    CMutex m_optionLock;
    CMutex m_cycleLock;

    CQVXCommPort* m_port = nullptr;
    CCommPortFactory* m_portFactory = nullptr;
    std::atomic<BYTE> m_mode{0};
    std::atomic<BOOL> m_open{FALSE};
    BOOL m_readBack = FALSE;
    std::atomic<BOOL> m_demo{FALSE};
    std::atomic<BOOL> m_synchronous{FALSE};
    std::atomic<CDThread*> m_responseTaker{nullptr};
    // The last read filled the buffer or the ring: more may wait in the port.
    bool m_portMayHoldMore = false;
    DWORD m_bytesIn = 0;
    DWORD m_bytesOut = 0;
    int m_requestedLinkType = -1;
    CommSettleLimits m_settle;
};
