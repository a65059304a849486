// CWatchQueryCheck: the checks of a typed register query before it becomes a
// watch, and the expansion of a "[...]" range into one query per number.
#pragma once

#include "platform/core/Collections.h"
#include "platform/core/String.h"

class CWatchQueryCheck {
public:
    // Ranges are refused outside add mode. On success the expressions (one,
    // or one per number of the range); else 0 and the message to show.
    static int Check(const char* text, int addMode, CStringArray& expressions, CString& error);
    // 1 when the text parses as a query that carries no value.
    static int IsPlainQuery(const char* text);
};
