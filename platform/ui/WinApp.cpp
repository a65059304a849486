#include "WinApp.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QThread>

#include "MsgBox.h"
#include "WndImpl.h"

namespace {
CWinApp* g_app = nullptr;
QApplication* g_ownedApplication = nullptr;
int g_argc = 1;
char g_programName[] = "korvane";
char* g_argv[] = {g_programName, nullptr};
}  // namespace

CWinApp::CWinApp(LPCSTR appName) : m_appName(appName ? appName : "Korvane") { g_app = this; }

CWinApp::~CWinApp()
{
    if (g_app == this)
        g_app = nullptr;
}

int CWinApp::Run()
{
    const int code = QApplication::exec();
    ExitInstance();
    return code;
}

BOOL AfxWinInit(int argc, char** argv)
{
    if (!QCoreApplication::instance()) {
        if (argc > 0 && argv) {
            static int s_argc = argc;
            g_ownedApplication = new QApplication(s_argc, argv);
        } else {
            g_ownedApplication = new QApplication(g_argc, g_argv);
        }
        QApplication::setQuitOnLastWindowClosed(false);
    }
    AfxInstallMessageBoxHook();
    return TRUE;
}

void AfxWinTerm()
{
    AfxRemoveMessageBoxHook();
    // Widgets asked to go while their own events ran are deleted now.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    delete g_ownedApplication;
    g_ownedApplication = nullptr;
}

CWinApp* AfxGetApp() { return g_app; }
CWnd* AfxGetMainWnd() { return g_app ? g_app->m_pMainWnd : nullptr; }

void AfxPostQuitMessage(int exitCode)
{
    if (qApp)
        QMetaObject::invokeMethod(qApp, [exitCode]() { QCoreApplication::exit(exitCode); }, Qt::QueuedConnection);
}

void AfxPumpMessages()
{
    if (!qApp)
        return;
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

bool AfxPumpMessagesUntil(const std::function<bool()>& condition, int deadlineMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > deadlineMs)
            return condition();
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 5);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    return true;
}
