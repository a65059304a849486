// CAmpMsg: a command addressed to one drive (0 is the communications module).
#pragma once

#include "comm/protocol/AmpCommand.h"

class CAmpMsg : public CAmpCommand {
public:
    CAmpMsg() = default;
    CAmpMsg(BYTE address, WORD code, LONG value, BYTE width) : CAmpCommand(code, value, width), m_address(address) {}

    CString ToString(int flags = 0) const override;
    // Bytes of its link frames.
    virtual int GetFrameLength() const { return m_width + 4; }

    BYTE m_address = 0;
};
