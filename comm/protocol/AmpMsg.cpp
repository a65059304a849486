#include "comm/protocol/AmpMsg.h"

CString CAmpMsg::ToString(int flags) const
{
    const CString command = CAmpCommand::ToString(flags);
    if (flags & kAmpTextNoAddress)
        return command;
    CString text;
    text.Format("@%u:%s", static_cast<unsigned>(m_address), command.GetString());
    return text;
}
