#include "PumpingCloudInterface.h"

#include <atomic>
#include <thread>

#include "DatabaseAppServices.h"
#include "foundation/SystemHelpers.h"
#include "platform/io/NetworkStatus.h"
#include "platform/ui/WinApp.h"

CPumpingCloudInterface::CPumpingCloudInterface() { loginData.CopyFrom(AppLoginData()); }

CQvxCloudDatabaseLoginData CPumpingCloudInterface::AppLoginData()
{
    CDatabaseAppServices* app = CDatabaseAppServices::Get();
    CQvxCloudDatabaseInterface* cloud = app ? app->GetCloudInterface() : nullptr;
    return cloud ? cloud->loginData : CQvxCloudDatabaseLoginData();
}

BOOL CPumpingCloudInterface::SendHttpRequest(const CStringList& headers, CString& reply, const char* method,
                                             const char* url, const char* body)
{
    BOOL sent = FALSE;
    CString answer;
    // The worker gets copies: nothing it touches belongs to the GUI thread.
    CStringList headerCopy;
    headerCopy.AddTail(&headers);
    const CString methodCopy = method ? method : "";
    const CString urlCopy = url ? url : "";
    const bool hasBody = body != nullptr;
    const CString bodyCopy = body ? body : "";
    RunPumping([&] {
        sent = CQvxCloudDatabaseInterface::SendHttpRequest(headerCopy, answer, methodCopy, urlCopy,
                                                           hasBody ? bodyCopy.GetString() : nullptr);
    });
    reply = answer;
    return sent;
}

void CPumpingCloudInterface::RunPumping(const std::function<void()>& work)
{
    std::atomic<bool> done{false};
    std::thread worker([&] {
        work();
        done = true;
    });
    while (!done)
        AfxPumpMessagesUntil([&] { return done.load(); }, 1000);
    worker.join();
}

bool CPumpingCloudInterface::IsNetworkUp()
{
    bool alive = false;
    RunPumping([&] {
        DWORD flags = 0;
        alive = IsNetworkAlive(&flags) != FALSE;
    });
    return alive;
}

bool CPumpingCloudInterface::AnswersPing(const CString& host)
{
    bool answered = false;
    const CString target = host;
    RunPumping([&] { answered = PingHost(target) != 0; });
    return answered;
}

CString CPumpingCloudInterface::CheckCloudReachable()
{
    if (!IsNetworkUp())
        return "Not connected to network.";
    if (!AnswersPing(AppLoginData().cloudHost))
        return "Cloud server not available.";
    return "";
}
