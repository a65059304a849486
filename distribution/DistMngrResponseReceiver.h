// CDistMngrResponseReceiver: the base of every object that sends queries and
// commands to drives. It keeps its running queries and queues the answers the
// distribution manager's thread hands it, for its owner's thread to take.
#pragma once

#include <functional>

#include "distribution/AmpQryCmdFromGui.h"
#include "distribution/AmpResponseToGui.h"
#include "platform/core/List.h"
#include "platform/core/Map.h"
#include "platform/core/Mutex.h"

class CDistManager;

class CDistMngrResponseReceiver {
public:
    CDistMngrResponseReceiver() = default;
    // Cancels the reads still running, so no job is left pointing here; writes
    // already submitted still reach the drive, their answers dropped.
    virtual ~CDistMngrResponseReceiver();
    CDistMngrResponseReceiver(const CDistMngrResponseReceiver&) = delete;
    CDistMngrResponseReceiver& operator=(const CDistMngrResponseReceiver&) = delete;

    virtual CString GetReceiverName() const { return "<NO-NAME>"; }
    // Runs on the distribution manager's thread with its locks held: must not block.
    virtual void OnResponse(const CAmpResponseToGui& response);

    // The query id, or -1 when refused (no free poll slot, no distribution manager).
    int SubmitQuery(CAmpQryCmdFromGui& query);
    int SendQuery(BYTE address, WORD code, WORD time, BYTE flags = 0);
    int SendCommand(BYTE address, WORD code, LONG value);
    int SendQueryWithArgument(BYTE address, WORD code, WORD argumentCode, WORD argumentValue, WORD time, BYTE flags = 0);
    int SendCommandWithArgument(BYTE address, WORD code, LONG value, WORD argumentCode, WORD argumentValue);
    int SendBlockQuery(BYTE address, WORD code, WORD periodMs);
    void CancelQuery(int queryId);
    // Cancels the reads but lets writes already sent go out: a restart must not lose a write
    // such as a stop command. Their replies still come here.
    void CancelReadQueries();
    void CancelAllQueries();
    bool GetNextResponse(CAmpResponseToGui& out);
    // Called on the distribution manager's thread each time an answer is
    // queued, so a thread that takes the answers can sleep until one comes.
    // Must not block; empty to stop.
    void SetResponseSignal(std::function<void()> signal);
    int GetPendingCount() const;
    int GetResponseCount() const;

    // The manager this receiver talks to; the installed one unless set.
    void SetDistManager(CDistManager* manager) { m_distManager = manager; }
    CDistManager* GetDistManager() const;

protected:
    mutable CMutex m_responseLock;
    CList<CAmpResponseToGui> m_responses;
    std::function<void()> m_responseSignal;  // under m_responseLock
    mutable CMutex m_pendingLock;
    CMap<int, int, CAmpQryCmdFromGui, const CAmpQryCmdFromGui&> m_pending;

private:
    CDistManager* m_distManager = nullptr;
};

// The installed distribution manager's synchronous path, for the backup engine.
void BeginSynchronousDriveAccess();
void EndSynchronousDriveAccess();
bool SendSynchronousMessage(const CCompoundAmpMsg& message, CAmpResponseMsg& response);
