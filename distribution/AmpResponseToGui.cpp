#include "distribution/AmpResponseToGui.h"

CString CAmpResponseToGui::ToString(int flags) const
{
    CString text = CAmpResponseToDistMngr::ToString(flags);
    if (m_notification)
        text += "<notification>";
    return text;
}
