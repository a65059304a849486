// CPumpingCloudInterface: the cloud interface as the windows use it. Each
// HTTP request runs on a worker thread while the GUI thread goes on handling
// its messages, so a slow or silent server never freezes the program; to the
// caller the request stays synchronous and every table change stays on the
// GUI thread. Callers must keep their own buttons from starting a second
// action while one waits.
#pragma once

#include <functional>

#include "database/QvxCloudDatabaseInterface.h"

class CPumpingCloudInterface : public CQvxCloudDatabaseInterface {
public:
    // A fresh interface with the application's login data (the built-in defaults without one).
    CPumpingCloudInterface();

    BOOL SendHttpRequest(const CStringList& headers, CString& reply, const char* method, const char* url,
                         const char* body) override;

    // Runs the work on a worker thread and handles window messages until it has ended.
    static void RunPumping(const std::function<void()>& work);
    // The network check and a ping, kept off the GUI thread the same way.
    static bool IsNetworkUp();
    static bool AnswersPing(const CString& host);
    // What every cloud action checks first: empty when the network is up and
    // the cloud host answers, else the text that says which failed.
    static CString CheckCloudReachable();
    // The application's login data, or the built-in defaults without an application.
    static CQvxCloudDatabaseLoginData AppLoginData();
};
