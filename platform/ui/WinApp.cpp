#include "WinApp.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProxyStyle>
#include <QThread>

#include "MsgBox.h"
#include "WndImpl.h"

namespace {
struct InputDelivery {
    QObject* receiver;
    const QEvent* event;
};
thread_local InputDelivery t_input{nullptr, nullptr};

bool IsInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove: return true;
    default: return false;
    }
}

// Remembers which widget an input event was given to while the toolkit passes
// it up the parents, so a window tells its own input from a child's. A key from
// the window system first reaches the top-level's native window, which hands the
// same event on to the focus widget: that widget is its first receiver.
class KvApplication : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override
    {
        if (!IsInput(event->type()) || !receiver->isWidgetType() || t_input.event == event)
            return QApplication::notify(receiver, event);
        const InputDelivery outer = t_input;
        t_input = InputDelivery{receiver, event};
        const bool result = QApplication::notify(receiver, event);
        t_input = outer;
        return result;
    }
};

CWinApp* g_app = nullptr;
// Drop-down lists open below their box and are as tall as the box's dropped height allows,
// not laid over the box around the current item.
class KvStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returned) const override
    {
        if (hint == SH_ComboBox_Popup)
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, returned);
    }
};

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
            g_ownedApplication = new KvApplication(s_argc, argv);
        } else {
            g_ownedApplication = new KvApplication(g_argc, g_argv);
        }
        QApplication::setQuitOnLastWindowClosed(false);
    }
    // One face and size for every window, list header and message box, as dialogs without a font of their own get.
    QApplication::setFont(kvui::FontFor(nullptr));
    if (!dynamic_cast<KvStyle*>(QApplication::style()))
        QApplication::setStyle(new KvStyle);
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

QObject* kvui::FirstReceiverOf(const QEvent* event)
{
    return t_input.event == event ? t_input.receiver : nullptr;
}
