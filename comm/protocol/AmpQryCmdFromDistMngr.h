// CAmpQryCmdFromDistMngr: a job handed from the distribution manager to the
// communication manager.
#pragma once

#include "comm/protocol/CompoundAmpMsg.h"

enum AmpJobFlags : WORD {
    kJobBlockTransfer = 0x01,
    kJobPollSlotData = 0x02,  // drives send time stamps while such a job is queued
    kJobReplyOnWriteError = 0x04,
    kJobNoReadBack = 0x08,
    kJobReplyOnWriteSuccess = 0x10,
};

class CAmpQryCmdFromDistMngr : public CCompoundAmpMsg {
public:
    CString ToString(int flags = 0) const override;

    DWORD m_jobId = 0;
    WORD m_jobFlags = 0;
    SHORT m_timeout = 10;  // seconds without a reply, counted from queueing
};
