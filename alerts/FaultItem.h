// CFaultItem: one alert as it was raised: key, text, level, display flags and
// the local time it was posted.
#pragma once

#include "platform/core/LocalTime.h"
#include "platform/core/String.h"

enum FaultFlags : BYTE {
    kFaultStatusBar = 0x1,
    kFaultPopup = 0x2,
};

class CFaultItem {
public:
    CFaultItem() = default;
    CFaultItem(BYTE level, BYTE flags, const CString& key, const CString& text, const SYSTEMTIME& time)
        : m_level(level), m_flags(flags), m_key(key), m_text(text), m_time(time)
    {
    }

    BYTE m_level = 0;  // 1 Message, 2 Warning, 3 to 5 Alert
    BYTE m_flags = 0;
    CString m_key;
    CString m_text;
    SYSTEMTIME m_time{};
};
