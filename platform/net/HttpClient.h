// CHttpClient: synchronous HTTP and HTTPS requests on libcurl. Server
// certificates are checked; every request is bounded by the time-outs set
// here in one place.
#pragma once

#include "HttpReply.h"
#include "HttpRequest.h"

class CHttpClient {
public:
    static constexpr long kConnectTimeoutMs = 10000;
    static constexpr long kTotalTimeoutMs = 60000;
    // A reply larger than this is refused rather than held in memory.
    static constexpr size_t kMaxReplyBytes = 64u << 20;

    // Time-outs of all later requests (tests shorten them); 0 or less restores the default.
    static void SetTimeouts(long connectMs, long totalMs);

    // Sends the request and waits for the whole reply. FALSE with a message in
    // error when no complete reply came (refused, cut short, timed out, too
    // large); any status comes back in the reply for the caller to judge.
    static BOOL Send(const CHttpRequest& request, CHttpReply& reply, CString& error);
};
