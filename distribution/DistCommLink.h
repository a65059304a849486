// CDistCommLink: what the distribution manager needs of the communication
// manager. The real binding is CCommManagerLink; tests put a double in its place.
#pragma once

#include "comm/protocol/AmpQryCmdFromDistMngr.h"
#include "comm/protocol/AmpResponseMsg.h"
#include "comm/protocol/AmpResponseToDistMngr.h"

class CDThread;

class CDistCommLink {
public:
    virtual ~CDistCommLink() = default;

    // Refusals come back later as error answers through PopResponse.
    virtual void SubmitJob(const CAmpQryCmdFromDistMngr& job) = 0;
    virtual int CancelJob(DWORD jobId) = 0;
    virtual bool PopResponse(CAmpResponseToDistMngr& out) = 0;
    // The thread to wake whenever an answer is left for PopResponse (null: none).
    // False when this link cannot, and the taker must keep looking.
    virtual bool SetAnswerTaker(CDThread* /*taker*/) { return false; }
    // One sample of how late a repeating query went out, for the drive and link-wide.
    virtual void AddQueryOvertimeSample(int address, DWORD lateMs) = 0;

    virtual int EnterSynchronousMode() = 0;
    virtual void LeaveSynchronousMode() = 0;
    // Non-zero when the message was answered within the time-out.
    virtual int SendReceiveSynchronous(const CAmpMsg& message, CAmpResponseMsg& response, int timeoutMs) = 0;
};
