#include "comm/protocol/AmpResponseToDistMngr.h"

#include "comm/protocol/AmpErrors.h"

CString CAmpResponseToDistMngr::ToString(int flags) const
{
    CString text = CAmpResponseMsg::ToString(flags);
    if (!(flags & kAmpTextNoJobId)) {
        CString tagged;
        tagged.Format("{JID=%u}%s", static_cast<unsigned>(m_jobId), text.GetString());
        text = tagged;
    }
    if (m_error == AMP_ERR_RESPONSE_TIMEOUT)
        text += "<expired>";
    else if (m_error == AMP_ERR_DRIVE_OFFLINE)
        text += "<off-line>";
    return text;
}
