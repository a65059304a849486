// CHttpReply: what came back for one HTTP request.
#pragma once

#include "platform/core/String.h"

struct CHttpReply {
    long status = 0;  // the HTTP status code
    CString text;     // the reply body as received
    // Set by a failed send when no answer came at all: no connection could be
    // made (unknown host, refused) or nothing answered in time, as against a server
    // that was reached and then failed (TLS, redirects, size, a cut reply).
    bool noAnswer = false;
    bool IsSuccess() const { return status >= 200 && status < 300; }
};
