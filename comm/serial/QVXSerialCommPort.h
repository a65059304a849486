// CQVXSerialCommPort: the communications module played over a serial line.
// It takes the link frames the communication manager writes, answers the
// module's own commands itself, turns every other command into one serial
// transaction with the addressed drive, and writes the outcome back as link
// frames. It also keeps the module's poll slots and probes lost drives.
#pragma once

#include <chrono>

#include "comm/link/QVXCommPort.h"
#include "comm/serial/SerialDevicePort.h"
#include "foundation/DThread.h"
#include "foundation/HPTimer.h"
#include "foundation/RingBuff.h"
#include "platform/core/List.h"

class CCommStatistics;

class CQVXSerialCommPort : public CQVXCommPort, public CDThread {
public:
    static constexpr int kRingBits = 12;
    static constexpr int kPollSlots = 132;  // drive address x 4 + slot
    static constexpr int kTransactionTimeoutMs = 200;
    static constexpr int kProbeTimeoutMs = 100;
    static constexpr int kMaxRequest = 8;
    static constexpr int kMaxReply = 7;

    CQVXSerialCommPort(const CString& portName, DWORD baudRate, BYTE dataBits, BYTE parity, BYTE stopBits);
    ~CQVXSerialCommPort() override;

    int Open() override { return Open(TRUE); }
    // Without the thread, the port only identifies drives (the interface chooser's test).
    int Open(BOOL startThread);
    int Close() override;
    int Write(int count, const BYTE* bytes) override;
    int Read(int maximum, BYTE* buffer) override;
    int IdentifyDrive(int address) override;
    int Purge(int what) override;
    int EnterSync() override;
    void LeaveSync() override;
    int GetPortKind() override { return 1; }
    bool WakesReader() override { return true; }

    void SetSilent(BOOL silent);
    // The manager's statistics, where retries and time-outs are counted.
    void SetStatistics(CCommStatistics* statistics) { m_statistics = statistics; }
    int GetLostDriveCount();

    // One request to a drive: its bytes, padded to 8 on a multi-drop line.
    static int BuildRequest(int address, WORD code, LONG value, int width, bool multiDrop, BYTE* out);
    // The family a drive's version number tells.
    static int FamilyFromVersion(LONG version);

protected:
    int Step() override;
    int GetRestMs() override;

private:
    struct Outcome {
        bool ok = false;
        LONG value = 0;  // the value, or the error code on failure
        int width = 1;
        bool refused = false;  // address not connected: its error frame is written already
    };

    // Transactions with the drives.
    Outcome Transaction(int address, WORD code, LONG value, int width, int timeoutMs, bool oneTry);
    int ReadReply(int timeoutMs, int& replyAddress, LONG& value, int& width);
    void DropLateReply();
    bool IsClosing();
    bool IsSilent();

    // The module's side.
    bool TakeFrame(BYTE* frame);
    bool HoldsWholeFrame();
    // Milliseconds until the next poll slot or probe is due; -1 when none.
    int MsUntilTimedWork();
    void HandleFrame(const BYTE* frame);
    void HandleRead(int address, WORD code);
    void HandleWrite(int address, WORD code, LONG value, int width);
    void RunPeriodicPoll();
    void PollSlot(int address, int slot);
    void ProbeLostDrive();

    // Frames for the communication manager.
    void WriteReplyFrame(int address, WORD code, LONG value, int width);
    void WriteErrorFrame(int address, WORD code, int error);
    void WriteTimeStampFrame();
    bool PutFrame(const BYTE* frame, int length, const char* key, const char* text);

    // Lost drives.
    bool IsLost(int address);
    void MarkLost(int address);
    void UpdateCommStatus();

    void Alert(const char* key, const char* text, int level, int flags, int address = -1);
    void CountStatistic(int id, int address = -1);
    static void Trace(const char* text);

    CSerialDevicePort m_device;
    CRingBuff m_rxRing{kRingBits};
    CRingBuff m_txRing{kRingBits};
    CMutex m_rxLock;
    CMutex m_txLock;
    CMutex m_transactionLock;
    std::chrono::steady_clock::time_point m_lineQuietUntil{};  // no request before this
    CHPTimer m_timeStampClock;
    DWORD m_timeStamps = 0;
    DWORD m_echo = 0;
    DWORD m_silent = 0;
    DWORD m_closing = 0;
    CMutex m_flagsLock;
    DWORD m_pollSlots[kPollSlots] = {};
    CHPTimer m_pollTimers[kPollSlots];
    DWORD m_polling = 1;
    CMutex m_pollLock;
    CList<int> m_lostDrives;
    POSITION m_probeCursor = nullptr;
    CMutex m_lostLock;
    CHPTimer m_probeClock;
    CCommStatistics* m_statistics = nullptr;
};
