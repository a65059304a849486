#include "comm/protocol/CompoundAmpMsg.h"

#include "comm/link/DriveNameSource.h"

CString CCompoundAmpMsg::CompoundText(int flags) const
{
    CString text = CAmpMsg::ToString(flags);
    const int colon = text.Find(':');
    if (colon >= 0)
        text = text.Mid(colon + 1);
    POSITION pos = m_subCommands.GetHeadPosition();
    while (pos) {
        text += ' ';
        text += m_subCommands.GetNext(pos).CAmpCommand::ToString(flags);
    }
    if (flags & kAmpTextNoAddress)
        return text;
    CString name;
    CString prefix;
    if (CDriveNameSource::Lookup(m_address, name))
        prefix = name + ":";
    else
        prefix.Format("@%u:", static_cast<unsigned>(m_address));
    return prefix + text;
}

CString CCompoundAmpMsg::ToString(int flags) const { return CompoundText(flags); }

int CCompoundAmpMsg::GetFrameLength() const
{
    int length = m_width + 4;
    POSITION pos = m_subCommands.GetHeadPosition();
    while (pos)
        length += m_subCommands.GetNext(pos).m_width + 4;
    return length;
}

void CCompoundAmpMsg::AddCommand(WORD code, LONG value)
{
    CAmpCommand command;
    command.m_code = code;
    command.SetValueAuto(value);
    m_subCommands.AddTail(command);
}
