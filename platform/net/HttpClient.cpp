#include "HttpClient.h"

#include <atomic>
#include <cstdlib>
#include <memory>
#include <string>

#include <curl/curl.h>
#include <dlfcn.h>

namespace {

std::atomic<long> g_connectTimeoutMs{CHttpClient::kConnectTimeoutMs};
std::atomic<long> g_totalTimeoutMs{CHttpClient::kTotalTimeoutMs};

// libcurl is loaded on the first request, not with this library: it pulls in
// some thirty libraries of TLS and authentication whose loading and
// relocation every process of the program (and every tool on Pragmix or
// Trazel) would otherwise pay at start-up without ever sending a request.
struct Curl {
    bool loaded = false;
    CURLcode (*globalInit)(long flags) = nullptr;
    CURL* (*easyInit)() = nullptr;
    void (*easyCleanup)(CURL* curl) = nullptr;
    CURLcode (*easySetopt)(CURL* curl, CURLoption option, ...) = nullptr;
    CURLcode (*easyPerform)(CURL* curl) = nullptr;
    CURLcode (*easyGetinfo)(CURL* curl, CURLINFO info, ...) = nullptr;
    const char* (*easyStrerror)(CURLcode code) = nullptr;
    curl_slist* (*slistAppend)(curl_slist* list, const char* text) = nullptr;
    void (*slistFreeAll)(curl_slist* list) = nullptr;
};

template <class Function>
bool Resolve(void* library, const char* name, Function& function)
{
    function = reinterpret_cast<Function>(dlsym(library, name));
    return function != nullptr;
}

Curl LoadCurl()
{
    Curl curl;
    void* library = dlopen("libcurl.so.4", RTLD_NOW | RTLD_LOCAL);
    if (!library)
        return curl;
    curl.loaded = Resolve(library, "curl_global_init", curl.globalInit) &&
                  Resolve(library, "curl_easy_init", curl.easyInit) &&
                  Resolve(library, "curl_easy_cleanup", curl.easyCleanup) &&
                  Resolve(library, "curl_easy_setopt", curl.easySetopt) &&
                  Resolve(library, "curl_easy_perform", curl.easyPerform) &&
                  Resolve(library, "curl_easy_getinfo", curl.easyGetinfo) &&
                  Resolve(library, "curl_easy_strerror", curl.easyStrerror) &&
                  Resolve(library, "curl_slist_append", curl.slistAppend) &&
                  Resolve(library, "curl_slist_free_all", curl.slistFreeAll);
    // Loaded once for the process's life: the library stays open.
    if (curl.loaded)
        curl.globalInit(CURL_GLOBAL_DEFAULT);
    return curl;
}

const Curl& TheCurl()
{
    static const Curl curl = LoadCurl();
    return curl;
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
    void operator()(CURL* curl) const { TheCurl().easyCleanup(curl); }
};
struct SlistDeleter {
    void operator()(curl_slist* list) const { TheCurl().slistFreeAll(list); }
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
    reply = CHttpReply();
    const Curl& lib = TheCurl();
    if (!lib.loaded) {
        error = "Could not load the HTTP library (libcurl.so.4).";
        return FALSE;
    }
    std::unique_ptr<CURL, CurlDeleter> curl(lib.easyInit());
    if (!curl) {
        error = "Could not create the HTTP request.";
        return FALSE;
    }
    std::unique_ptr<curl_slist, SlistDeleter> headers;
    for (const auto& [name, value] : request.headers)
        headers.reset(lib.slistAppend(headers.release(), HeaderLine(name, value).c_str()));
    // No "Expect: 100-continue" round trip before a body.
    headers.reset(lib.slistAppend(headers.release(), "Expect:"));

    CReplyBuffer buffer;
    char curlError[CURL_ERROR_SIZE] = {};
    const std::string noProxy = NoProxyList();
    CURL* c = curl.get();
    lib.easySetopt(c, CURLOPT_URL, request.url.GetString());
    lib.easySetopt(c, CURLOPT_PROTOCOLS_STR, "http,https");
    lib.easySetopt(c, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    lib.easySetopt(c, CURLOPT_FOLLOWLOCATION, 1L);
    lib.easySetopt(c, CURLOPT_MAXREDIRS, 5L);
    lib.easySetopt(c, CURLOPT_NOSIGNAL, 1L);
    lib.easySetopt(c, CURLOPT_SSL_VERIFYPEER, 1L);
    lib.easySetopt(c, CURLOPT_SSL_VERIFYHOST, 2L);
    lib.easySetopt(c, CURLOPT_CONNECTTIMEOUT_MS, g_connectTimeoutMs.load());
    lib.easySetopt(c, CURLOPT_TIMEOUT_MS, g_totalTimeoutMs.load());
    lib.easySetopt(c, CURLOPT_NOPROXY, noProxy.c_str());
    lib.easySetopt(c, CURLOPT_HTTPHEADER, headers.get());
    lib.easySetopt(c, CURLOPT_WRITEFUNCTION, OnReplyData);
    lib.easySetopt(c, CURLOPT_WRITEDATA, &buffer);
    lib.easySetopt(c, CURLOPT_ERRORBUFFER, curlError);
    if (request.method == "POST") {
        lib.easySetopt(c, CURLOPT_POST, 1L);
        lib.easySetopt(c, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(request.body.GetLength()));
        lib.easySetopt(c, CURLOPT_POSTFIELDS, request.body.GetString());
    } else if (request.method != "GET") {
        lib.easySetopt(c, CURLOPT_CUSTOMREQUEST, request.method.GetString());
        if (request.hasBody) {
            lib.easySetopt(c, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(request.body.GetLength()));
            lib.easySetopt(c, CURLOPT_POSTFIELDS, request.body.GetString());
        }
    }

    const CURLcode result = lib.easyPerform(c);
    if (result != CURLE_OK) {
        reply.noAnswer = result == CURLE_COULDNT_CONNECT || result == CURLE_COULDNT_RESOLVE_HOST ||
                         result == CURLE_COULDNT_RESOLVE_PROXY || result == CURLE_OPERATION_TIMEDOUT;
        if (buffer.tooLarge)
            error = "The server's reply is too large.";
        else
            error = *curlError ? curlError : lib.easyStrerror(result);
        return FALSE;
    }
    lib.easyGetinfo(c, CURLINFO_RESPONSE_CODE, &reply.status);
    reply.text = CString(std::move(buffer.text));
    return TRUE;
}
