#include "comm/protocol/AmpQryCmdFromDistMngr.h"

CString CAmpQryCmdFromDistMngr::ToString(int flags) const
{
    CString text = CompoundText(flags);
    if (!(flags & kAmpTextNoAddress)) {
        CString tagged;
        tagged.Format("{JID=%u}%s", static_cast<unsigned>(m_jobId), text.GetString());
        text = tagged;
    }
    // The tag marks the job kind, so it stays whatever else the format leaves out.
    if (m_jobFlags & kJobBlockTransfer)
        text += "<Scope trace>";
    return text;
}
