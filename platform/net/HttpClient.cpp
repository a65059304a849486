#include "HttpClient.h"

#include <atomic>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <string>

#include <curl/curl.h>

namespace {

std::atomic<long> g_connectTimeoutMs{CHttpClient::kConnectTimeoutMs};
std::atomic<long> g_totalTimeoutMs{CHttpClient::kTotalTimeoutMs};

void InitialiseCurl()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct CReplyBuffer {
    std::string text;
    bool tooLarge = false;
};

size_t OnReplyData(char* data, size_t size, size_t count, void* user)
{
    auto* buffer = static_cast<CReplyBuffer*>(user);
    const size_t bytes = size * count;
    if (buffer->text.size() + bytes > CHttpClient::kMaxReplyBytes) {
        buffer->tooLarge = true;
        return 0;
    }
    buffer->text.append(data, bytes);
    return bytes;
}

struct CurlDeleter {
    void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};
struct SlistDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

// "Name: value"; curl sends a header with an empty value only when written "Name;".
std::string HeaderLine(const CString& name, const CString& value)
{
    CString trimmed = value;
    trimmed.Trim();
    if (trimmed.IsEmpty())
        return name.str() + ";";
    return name.str() + ": " + trimmed.str();
}

// Loopback never goes through a proxy, whatever the environment names.
std::string NoProxyList()
{
    std::string list = "localhost,127.0.0.1,::1";
    for (const char* name : {"no_proxy", "NO_PROXY"}) {
        if (const char* value = std::getenv(name); value && *value)
            return list + "," + value;
    }
    return list;
}

}  // namespace

void CHttpClient::SetTimeouts(long connectMs, long totalMs)
{
    g_connectTimeoutMs = connectMs > 0 ? connectMs : kConnectTimeoutMs;
    g_totalTimeoutMs = totalMs > 0 ? totalMs : kTotalTimeoutMs;
}

BOOL CHttpClient::Send(const CHttpRequest& request, CHttpReply& reply, CString& error)
{
    InitialiseCurl();
    reply = CHttpReply();
    std::unique_ptr<CURL, CurlDeleter> curl(curl_easy_init());
    if (!curl) {
        error = "Could not create the HTTP request.";
        return FALSE;
    }
    std::unique_ptr<curl_slist, SlistDeleter> headers;
    for (const auto& [name, value] : request.headers)
        headers.reset(curl_slist_append(headers.release(), HeaderLine(name, value).c_str()));
    // No "Expect: 100-continue" round trip before a body.
    headers.reset(curl_slist_append(headers.release(), "Expect:"));

    CReplyBuffer buffer;
    char curlError[CURL_ERROR_SIZE] = {};
    const std::string noProxy = NoProxyList();
    CURL* c = curl.get();
    curl_easy_setopt(c, CURLOPT_URL, request.url.GetString());
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(c, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(c, CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(c, CURLOPT_SSL_VERIFYHOST, 2L);
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, g_connectTimeoutMs.load());
    curl_easy_setopt(c, CURLOPT_TIMEOUT_MS, g_totalTimeoutMs.load());
    curl_easy_setopt(c, CURLOPT_NOPROXY, noProxy.c_str());
    curl_easy_setopt(c, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, OnReplyData);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &buffer);
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, curlError);
    if (request.method == "POST") {
        curl_easy_setopt(c, CURLOPT_POST, 1L);
        curl_easy_setopt(c, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(request.body.GetLength()));
        curl_easy_setopt(c, CURLOPT_POSTFIELDS, request.body.GetString());
    } else if (request.method != "GET") {
        curl_easy_setopt(c, CURLOPT_CUSTOMREQUEST, request.method.GetString());
        if (request.hasBody) {
            curl_easy_setopt(c, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(request.body.GetLength()));
            curl_easy_setopt(c, CURLOPT_POSTFIELDS, request.body.GetString());
        }
    }

    const CURLcode result = curl_easy_perform(c);
    if (result != CURLE_OK) {
        reply.noAnswer = result == CURLE_COULDNT_CONNECT || result == CURLE_COULDNT_RESOLVE_HOST ||
                         result == CURLE_COULDNT_RESOLVE_PROXY || result == CURLE_OPERATION_TIMEDOUT;
        if (buffer.tooLarge)
            error = "The server's reply is too large.";
        else
            error = *curlError ? curlError : curl_easy_strerror(result);
        return FALSE;
    }
    curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &reply.status);
    reply.text = CString(std::move(buffer.text));
    return TRUE;
}
