// CAmpResponseToDistMngr: a reply with the id of the job it answers.
#pragma once

#include "comm/protocol/AmpResponseMsg.h"

class CAmpResponseToDistMngr : public CAmpResponseMsg {
public:
    CString ToString(int flags = 0) const override;

    DWORD m_jobId = 0;
    int m_blockFlag = 0;
    double m_replyTime = 0.0;
    double m_queueTime = 0.0;
};
