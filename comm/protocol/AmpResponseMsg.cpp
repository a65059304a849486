#include "comm/protocol/AmpResponseMsg.h"

#include "comm/protocol/AmpErrors.h"
#include "platform/core/Clock.h"

namespace {
const ULONGLONG g_programStart = GetTickCount64();
}

DWORD ProgramMilliseconds() { return static_cast<DWORD>(GetTickCount64() - g_programStart); }

CString CAmpResponseMsg::ToString(int flags) const
{
    CString text = CompoundText(flags);
    if (m_error != 0)
        text = "<ERROR:" + GetAmpErrorString(m_error) + ">" + text;
    if (flags & kAmpTextTimeStamp) {
        const char* label = m_timeStampValid ? "TSR" : " <KV Time>";
        const DWORD value = m_timeStampValid ? m_timeStamp : ProgramMilliseconds();
        CString format;
        format.Format((flags & kAmpTextDecimal) ? " %s %%d" : " %s $%%08x", label);
        CString stamp;
        stamp.Format(format, value);
        text += stamp;
    }
    return text;
}
