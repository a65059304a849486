#include "TestHttpServer.h"

#include <arpa/inet.h>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <strings.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

void WriteAll(int fd, const std::string& bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        if (n <= 0)
            return;
        done += static_cast<size_t>(n);
    }
}

std::string Trim(const std::string& text)
{
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return "";
    const size_t last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

const char* ReasonOf(int status)
{
    switch (status) {
    case 200: return "OK";
    case 404: return "Not Found";
    case 500: return "Internal Server Error";
    default: return "Status";
    }
}

}  // namespace

std::string TestHttpServer::Request::Header(const std::string& name) const
{
    for (const auto& [key, value] : headers) {
        if (strcasecmp(key.c_str(), name.c_str()) == 0)
            return value;
    }
    return "";
}

std::vector<std::string> TestHttpServer::Request::HeaderNames() const
{
    std::vector<std::string> names;
    for (const auto& header : headers)
        names.push_back(header.first);
    return names;
}

TestHttpServer::TestHttpServer()
{
    m_listenFd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof address;
    if (m_listenFd < 0 || ::bind(m_listenFd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(m_listenFd, 16) != 0 ||
        ::getsockname(m_listenFd, reinterpret_cast<sockaddr*>(&address), &length) != 0 ||
        ::pipe2(m_wakeFds, O_CLOEXEC) != 0)
        throw std::runtime_error("TestHttpServer: cannot listen on 127.0.0.1");
    m_port = ntohs(address.sin_port);
    m_thread = std::thread([this] { Run(); });
}

TestHttpServer::~TestHttpServer()
{
    Stop();
}

void TestHttpServer::Stop()
{
    if (m_stop.exchange(true))
        return;
    if (m_wakeFds[1] >= 0)
        (void)::write(m_wakeFds[1], "x", 1);
    if (m_thread.joinable())
        m_thread.join();
    for (int fd : {m_listenFd, m_wakeFds[0], m_wakeFds[1]}) {
        if (fd >= 0)
            ::close(fd);
    }
    for (int fd : m_heldFds)
        ::close(fd);
    m_heldFds.clear();
}

std::string TestHttpServer::Url(const std::string& path) const
{
    return "http://127.0.0.1:" + std::to_string(m_port) + path;
}

void TestHttpServer::SetReply(const std::string& path, const std::string& body, int status,
                              const std::string& contentType)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_replies[path] = Reply{status, contentType, body};
}

void TestHttpServer::SetMode(const std::string& path, Mode mode)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_modes[path] = mode;
}

void TestHttpServer::SetDefaultMode(Mode mode)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_defaultMode = mode;
}

std::vector<TestHttpServer::Request> TestHttpServer::Requests() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_requests;
}

size_t TestHttpServer::RequestCount() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_requests.size();
}

void TestHttpServer::ClearRequests()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_requests.clear();
}

void TestHttpServer::Run()
{
    while (!m_stop) {
        pollfd fds[2] = {{m_listenFd, POLLIN, 0}, {m_wakeFds[0], POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0)
            continue;
        if (fds[1].revents)
            return;
        if (fds[0].revents & POLLIN) {
            const int fd = ::accept4(m_listenFd, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd >= 0)
                Serve(fd);
        }
    }
}

bool TestHttpServer::WaitReadable(int fd)
{
    pollfd fds[2] = {{fd, POLLIN, 0}, {m_wakeFds[0], POLLIN, 0}};
    return ::poll(fds, 2, 5000) > 0 && !fds[1].revents && (fds[0].revents & (POLLIN | POLLHUP));
}

bool TestHttpServer::ReadRequest(int fd, Request& request)
{
    std::string data;
    size_t headerEnd;
    char buffer[4096];
    while ((headerEnd = data.find("\r\n\r\n")) == std::string::npos) {
        if (!WaitReadable(fd))
            return false;
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0)
            return false;
        data.append(buffer, static_cast<size_t>(n));
    }
    const std::string head = data.substr(0, headerEnd);
    std::string body = data.substr(headerEnd + 4);
    size_t lineEnd = head.find("\r\n");
    const std::string requestLine = head.substr(0, lineEnd);
    const size_t space1 = requestLine.find(' ');
    const size_t space2 = requestLine.find(' ', space1 + 1);
    request.method = requestLine.substr(0, space1);
    request.path = requestLine.substr(space1 + 1, space2 - space1 - 1);
    while (lineEnd != std::string::npos) {
        const size_t start = lineEnd + 2;
        lineEnd = head.find("\r\n", start);
        const std::string line = head.substr(start, lineEnd == std::string::npos ? std::string::npos : lineEnd - start);
        const size_t colon = line.find(':');
        if (colon != std::string::npos)
            request.headers.emplace_back(line.substr(0, colon), Trim(line.substr(colon + 1)));
    }
    const std::string lengthText = request.Header("Content-Length");
    const size_t length = lengthText.empty() ? 0 : std::stoul(lengthText);
    while (body.size() < length) {
        if (!WaitReadable(fd))
            return false;
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0)
            return false;
        body.append(buffer, static_cast<size_t>(n));
    }
    request.body = body.substr(0, length);
    return true;
}

void TestHttpServer::Serve(int fd)
{
    Request request;
    if (!ReadRequest(fd, request)) {
        ::close(fd);
        return;
    }
    Mode mode;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_requests.push_back(request);
        const std::string path = request.path.substr(0, request.path.find('?'));
        const auto it = m_modes.find(path);
        mode = it == m_modes.end() ? m_defaultMode : it->second;
    }
    if (mode == Mode::silent) {
        m_heldFds.push_back(fd);
        return;
    }
    Answer(fd, request);
    ::close(fd);
}

void TestHttpServer::Answer(int fd, const Request& request)
{
    const std::string path = request.path.substr(0, request.path.find('?'));
    Reply reply{404, "text/plain", "Not found"};
    Mode mode;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (const auto it = m_replies.find(path + "|" + request.Header("SOAPAction")); it != m_replies.end())
            reply = it->second;
        else if (const auto it2 = m_replies.find(path); it2 != m_replies.end())
            reply = it2->second;
        const auto it = m_modes.find(path);
        mode = it == m_modes.end() ? m_defaultMode : it->second;
    }
    if (mode == Mode::html500)
        reply = Reply{500, "text/html", "<html><head><title>500 Internal Server Error</title></head>"
                                        "<body><h1>Internal Server Error</h1></body></html>"};
    std::string declared = std::to_string(reply.body.size());
    std::string sent = reply.body;
    if (mode == Mode::cutShort) {
        declared = std::to_string(reply.body.size() + 100);
        sent = reply.body.substr(0, reply.body.size() / 2);
    }
    std::string head = "HTTP/1.1 " + std::to_string(reply.status) + " " + ReasonOf(reply.status) + "\r\n";
    head += "Content-Type: " + reply.contentType + "\r\n";
    head += "Content-Length: " + declared + "\r\n";
    head += "Connection: close\r\n\r\n";
    WriteAll(fd, head + sent);
}
