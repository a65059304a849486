// CCommManagerLink: binds the distribution manager to the communication manager.
#pragma once

#include "distribution/DistCommLink.h"

class CCommManager;

class CCommManagerLink : public CDistCommLink {
public:
    explicit CCommManagerLink(CCommManager& manager) : m_manager(manager) {}

    void SubmitJob(const CAmpQryCmdFromDistMngr& job) override;
    int CancelJob(DWORD jobId) override;
    bool PopResponse(CAmpResponseToDistMngr& out) override;
    bool SetAnswerTaker(CDThread* taker) override;
    void AddQueryOvertimeSample(int address, DWORD lateMs) override;
    int EnterSynchronousMode() override;
    void LeaveSynchronousMode() override;
    int SendReceiveSynchronous(const CAmpMsg& message, CAmpResponseMsg& response, int timeoutMs) override;

private:
    CCommManager& m_manager;
};
