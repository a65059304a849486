#include "AmpQryCmdFromDistMngr.h"

CString CAmpQryCmdFromDistMngr::ToString(int flags) const
{
    const CString compound = CompoundText(flags);
    if (flags & kAmpTextNoAddress)
        return compound;
    CString text;
    text.Format("{JID=%u}%s", static_cast<unsigned>(m_jobId), compound.GetString());
    if (m_jobFlags & kJobBlockTransfer)
        text += "<Scope trace>";
    return text;
}
