// TestHttpServer: a small HTTP/1.1 server on 127.0.0.1 for tests. It listens
// on a port the system picks, answers on its own thread with canned replies by
// path and records every request. On demand a path answers with a 500 HTML
// page, a reply cut short, or not at all.
#pragma once

#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

class TestHttpServer {
public:
    enum class Mode { normal, html500, cutShort, silent };

    struct Request {
        std::string method;
        std::string path;
        std::vector<std::pair<std::string, std::string>> headers;  // in the order sent
        std::string body;
        // The first header of that name (case-insensitive), or "".
        std::string Header(const std::string& name) const;
        // The names of the headers in order.
        std::vector<std::string> HeaderNames() const;
    };

    TestHttpServer();
    ~TestHttpServer();
    TestHttpServer(const TestHttpServer&) = delete;
    TestHttpServer& operator=(const TestHttpServer&) = delete;

    int Port() const { return m_port; }
    // "http://127.0.0.1:<port>" followed by the path.
    std::string Url(const std::string& path = "") const;

    // The reply of a path (without its query); unknown paths answer 404. A
    // reply set for path + "|" + a SOAPAction header value answers requests
    // carrying that action before the path's own reply.
    void SetReply(const std::string& path, const std::string& body, int status = 200,
                  const std::string& contentType = "text/plain");
    void SetMode(const std::string& path, Mode mode);
    // The mode of paths without one of their own.
    void SetDefaultMode(Mode mode);

    std::vector<Request> Requests() const;
    size_t RequestCount() const;
    void ClearRequests();

    void Stop();

private:
    struct Reply {
        int status = 200;
        std::string contentType;
        std::string body;
    };

    void Run();
    void Serve(int fd);
    bool ReadRequest(int fd, Request& request);
    bool WaitReadable(int fd);
    void Answer(int fd, const Request& request);

    int m_listenFd = -1;
    int m_wakeFds[2] = {-1, -1};
    int m_port = 0;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
    mutable std::mutex m_mutex;
    std::map<std::string, Reply> m_replies;
    std::map<std::string, Mode> m_modes;
    Mode m_defaultMode = Mode::normal;
    std::vector<Request> m_requests;
    std::vector<int> m_heldFds;  // silent connections, closed on Stop
};
