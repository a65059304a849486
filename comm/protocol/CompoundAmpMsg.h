// CCompoundAmpMsg: a drive message followed by further commands to the same drive.
#pragma once

#include "comm/protocol/AmpCommandList.h"
#include "comm/protocol/AmpMsg.h"

class CCompoundAmpMsg : public CAmpMsg {
public:
    CCompoundAmpMsg() = default;
    CCompoundAmpMsg(BYTE address, WORD code, LONG value, BYTE width) : CAmpMsg(address, code, value, width) {}

    CString ToString(int flags = 0) const override;
    int GetFrameLength() const override;
    // Appends a sub-command with the value's automatic width.
    void AddCommand(WORD code, LONG value);

    CAmpCommandList m_subCommands;

protected:
    // The commands' text, prefixed by the drive's name or address unless flags say not to.
    CString CompoundText(int flags) const;
};
