// CAmpQryCmdJobCm: a job as the communication manager queues it.
#pragma once

#include "comm/protocol/AmpQryCmdFromDistMngr.h"
#include "foundation/HPTimer.h"

class CAmpQryCmdJobCm : public CAmpQryCmdFromDistMngr {
public:
    CAmpQryCmdJobCm() = default;
    explicit CAmpQryCmdJobCm(const CAmpQryCmdFromDistMngr& job) : CAmpQryCmdFromDistMngr(job) {}

    BYTE m_sent = 0;        // bit 0: sent, or a block-transfer job from the start
    BYTE m_blockIndex = 0;  // 0-3: the block transfer OSA..OSD it belongs to
    int m_answered = 0;     // sub-commands answered so far; they are answered in order
    CHPTimer m_timer;       // restarted on queueing and on each block-transfer reply
};
