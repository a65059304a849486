// CAmpResponseMsg: a drive's reply, with its error code and an optional time stamp.
#pragma once

#include "comm/protocol/CompoundAmpMsg.h"

class CAmpResponseMsg : public CCompoundAmpMsg {
public:
    CString ToString(int flags = 0) const override;

    DWORD m_timeStamp = 0;
    int m_timeStampValid = 0;
    WORD m_error = 0;
};

// Milliseconds since the program started, shown where a reply has no drive time stamp.
DWORD ProgramMilliseconds();
