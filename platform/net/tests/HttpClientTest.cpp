#include <gtest/gtest.h>

#include <chrono>

#include "platform/io/NetworkStatus.h"
#include "platform/net/HttpClient.h"
#include "testing/TestHttpServer.h"

namespace {

CHttpRequest Post(const std::string& url, const char* body)
{
    CHttpRequest request;
    request.method = "POST";
    request.url = url.c_str();
    request.body = body;
    request.hasBody = true;
    return request;
}

}  // namespace

TEST(HttpClientTest, SendsHeadersInOrderWithTheBodyAndHandsBackStatusAndText)
{
    TestHttpServer server;
    server.SetReply("/a", "hello\r\nworld");
    CHttpRequest request = Post(server.Url("/a?x=1"), "line1\nline2");
    request.headers = {{"username", "ann"}, {"password", ""}, {"Content-Type", "text/plain"}};
    CHttpReply reply;
    CString error;
    ASSERT_TRUE(CHttpClient::Send(request, reply, error)) << error.GetString();
    EXPECT_EQ(reply.status, 200);
    EXPECT_TRUE(reply.IsSuccess());
    EXPECT_EQ(reply.text, "hello\r\nworld");
    const auto sent = server.Requests().at(0);
    EXPECT_EQ(sent.method, "POST");
    EXPECT_EQ(sent.path, "/a?x=1");
    EXPECT_EQ(sent.body, "line1\nline2");
    std::vector<std::string> ours;
    for (const std::string& name : sent.HeaderNames()) {
        if (name == "username" || name == "password" || name == "Content-Type")
            ours.push_back(name);
    }
    EXPECT_EQ(ours, (std::vector<std::string>{"username", "password", "Content-Type"}));
    EXPECT_EQ(sent.Header("password"), "") << "an empty value is still sent";
    EXPECT_EQ(sent.Header("Expect"), "");

    CHttpRequest get;
    get.url = server.Url("/missing").c_str();
    ASSERT_TRUE(CHttpClient::Send(get, reply, error));
    EXPECT_EQ(reply.status, 404);
    EXPECT_FALSE(reply.IsSuccess());
    EXPECT_EQ(server.Requests().at(1).method, "GET");
}

TEST(HttpClientTest, FailuresAndTimeOuts)
{
    TestHttpServer server;
    server.SetReply("/a", std::string(5000, 'x'));
    CHttpReply reply;
    CString error;

    server.SetMode("/a", TestHttpServer::Mode::html500);
    ASSERT_TRUE(CHttpClient::Send(Post(server.Url("/a"), ""), reply, error));
    EXPECT_EQ(reply.status, 500);
    EXPECT_NE(reply.text.Find("<html>"), -1);

    server.SetMode("/a", TestHttpServer::Mode::cutShort);
    EXPECT_FALSE(CHttpClient::Send(Post(server.Url("/a"), ""), reply, error));
    EXPECT_FALSE(error.IsEmpty());

    CHttpClient::SetTimeouts(300, 600);
    server.SetMode("/a", TestHttpServer::Mode::silent);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(CHttpClient::Send(Post(server.Url("/a"), ""), reply, error));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    CHttpClient::SetTimeouts(0, 0);

    CHttpRequest bad;
    bad.url = "file:///etc/passwd";
    EXPECT_FALSE(CHttpClient::Send(bad, reply, error)) << "only http and https";
}

TEST(NetworkStatusTest, AHookStandsInForTheMachine)
{
    class Down : public CNetworkStatusHook {
    public:
        BOOL IsNetworkAlive(DWORD* flags) override
        {
            if (flags)
                *flags = 0;
            return FALSE;
        }
        int PingHost(const char*) override { return 0; }
    } down;
    AfxSetNetworkStatusHook(&down);
    DWORD flags = 7;
    EXPECT_FALSE(IsNetworkAlive(&flags));
    EXPECT_EQ(flags, 0u);
    AfxSetNetworkStatusHook(nullptr);
    EXPECT_EQ(AfxGetNetworkStatusHook(), nullptr);
    IsNetworkAlive(nullptr);  // the machine's own answer, whatever it is
}
