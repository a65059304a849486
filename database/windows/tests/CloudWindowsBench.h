// What the cloud database windows' tests share: a temporary $KORVANE_HOME, the
// loopback server standing in for the cloud service and the ERP web service,
// the network answered by the test, an application that offers its database
// and cloud interface, and a ticking window to act while a request waits.
#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "database/QvxCloudDatabaseInterface.h"
#include "database/QvxDatabase.h"
#include "database/windows/DatabaseAppServices.h"
#include "platform/core/MessageBox.h"
#include "platform/io/NetworkStatus.h"
#include "platform/net/HttpClient.h"
#include "platform/ui/MessageMap.h"
#include "platform/ui/Wnd.h"
#include "testing/TempDir.h"
#include "testing/TestHttpServer.h"

namespace cloudbench {

constexpr const char* kCloudPath = "/7C41D0A9E35B2F86/";
constexpr const char* kErpPath = "/IDORequestService/IDOWebservice.asmx";
constexpr const char* kCloudHost = "cloud.example";
constexpr const char* kErpHost = "erp.example";

inline std::string Soap(const std::string& inner)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?><soap:Envelope xmlns:soap=\"http://www.w3.org/2003/05/"
           "soap-envelope\"><soap:Body>" +
           inner + "</soap:Body></soap:Envelope>";
}

inline std::string SoapMotor(const std::string& id, const std::string& part, const std::string& model)
{
    return "<IDO diffgr:id=\"" + id + "\" msdata:rowOrder=\"0\"><Item>" + part + "</Item><ItemDescription>" + model +
           "</ItemDescription><Resistance>1.5</Resistance><Inductance>3</Inductance><MaxRPM>6000</MaxRPM>"
           "<QMBPoles>8</QMBPoles></IDO>";
}

// The texts of the message boxes shown since the last call.
inline std::vector<CString> Boxes()
{
    std::vector<CString> texts = AfxTakeScriptedMessageLog();
    for (CString& text : texts)
        if (text.Left(7) == "MSGBOX:")
            text = text.Mid(7);
    return texts;
}

// The network as the test says: up or down, and which hosts answer a ping.
class NetworkHook : public CNetworkStatusHook {
public:
    BOOL IsNetworkAlive(DWORD* flags) override
    {
        if (flags)
            *flags = alive ? 1 : 0;
        return alive ? TRUE : FALSE;
    }
    int PingHost(const char* host) override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        pinged.insert(host ? host : "");
        return answering.count(host ? host : "") ? 1 : 0;
    }
    void Answer(const std::string& host, bool answers)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (answers)
            answering.insert(host);
        else
            answering.erase(host);
    }
    std::set<std::string> Pinged()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return pinged;
    }
    std::atomic<bool> alive{true};

private:
    std::mutex m_mutex;
    std::set<std::string> answering;
    std::set<std::string> pinged;
};

class FakeDatabaseApp : public CDatabaseAppServices {
public:
    CQvxDatabase* GetTableDatabase() override { return &database; }
    CQvxCloudDatabaseInterface* GetCloudInterface() override { return &cloud; }
    CQvxDatabase database;
    CQvxCloudDatabaseInterface cloud;
};

// Calls its action on every tick of a 10 ms timer while the GUI thread handles messages.
class Ticker : public CWnd {
public:
    Ticker()
    {
        CreateEx(0, nullptr, "Ticker", WS_POPUP, CRect(0, 0, 10, 10), nullptr, 0);
        SetTimer(1, 10, nullptr);
    }
    ~Ticker() override
    {
        if (GetSafeHwnd()) {
            KillTimer(1);
            DestroyWindow();
        }
    }
    std::function<void()> action;
    int ticks = 0;

protected:
    void OnTimer(UINT_PTR)
    {
        ++ticks;
        if (action)
            action();
    }
    DECLARE_MESSAGE_MAP()
};

// The bench itself: installs the hook and the application, removes both after.
class Bench {
public:
    Bench()
    {
        AfxSetNetworkStatusHook(&network);
        network.Answer(kCloudHost, true);
        network.Answer(kErpHost, true);
        CQvxCloudDatabaseLoginData& login = app.cloud.loginData;
        login.cloudHost = kCloudHost;
        login.cloudUrl = server.Url(kCloudPath).c_str();
        login.cloudUser = "admin";
        login.cloudPassword = "cl0ud";
        login.erpHost = kErpHost;
        login.erpUrl = server.Url(kErpPath).c_str();
        login.erpUser = "ido";
        login.erpPassword = "erp&pw";
        ServeDataSet(SoapMotor("IDO1", "P-100", "QMBM-0123456"));
        CDatabaseAppServices::Install(&app);
    }
    ~Bench()
    {
        CDatabaseAppServices::Install(nullptr);
        AfxSetNetworkStatusHook(nullptr);
        CHttpClient::SetTimeouts(0, 0);
    }
    // The ERP answers the session token and a motor data set holding these IDO elements.
    void ServeDataSet(const std::string& motors)
    {
        const std::string action = std::string(kErpPath) + "|" + CQvxCloudDatabaseInterface::kIdoNamespace + "/";
        server.SetReply(action + "CreateSessionToken",
                        Soap("<CreateSessionTokenResponse><CreateSessionTokenResult>token"
                             "</CreateSessionTokenResult></CreateSessionTokenResponse>"));
        server.SetReply(action + "LoadDataSet", Soap("<LoadDataSetResponse><LoadDataSetResult><NewDataSet>" + motors +
                                                     "</NewDataSet></LoadDataSetResult></LoadDataSetResponse>"));
    }
    void SetCloudReply(const std::string& endpoint, const std::string& reply)
    {
        server.SetReply(std::string(kCloudPath) + endpoint, reply);
    }
    // The requests that reached the cloud endpoint.
    std::vector<TestHttpServer::Request> CloudRequests(const std::string& endpoint) const
    {
        std::vector<TestHttpServer::Request> found;
        for (const auto& request : server.Requests())
            if (request.path == std::string(kCloudPath) + endpoint)
                found.push_back(request);
        return found;
    }

    TempDir home;
    TestHttpServer server;
    NetworkHook network;
    FakeDatabaseApp app;
};

}  // namespace cloudbench
