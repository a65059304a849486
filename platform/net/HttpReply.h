// CHttpReply: what came back for one HTTP request.
#pragma once

#include "platform/core/String.h"

struct CHttpReply {
    long status = 0;  // the HTTP status code
    CString text;     // the reply body as received
    bool IsSuccess() const { return status >= 200 && status < 300; }
};
