// CHttpRequest: one HTTP request as the web interface builds it.
#pragma once

#include <utility>
#include <vector>

#include "platform/core/String.h"

struct CHttpRequest {
    CString method = "GET";
    CString url;
    // Name and value pairs, sent in this order.
    std::vector<std::pair<CString, CString>> headers;
    CString body;
    bool hasBody = false;
};
