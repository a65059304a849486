#include "MsgBox.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QThread>
#include <atomic>
#include <mutex>
#include <utility>

#include "MsgBoxTesting.h"
#include "WndImpl.h"

namespace {
std::atomic<bool> g_scripted{false};
std::atomic<unsigned> g_boxSerial{0};
std::mutex g_titleMutex;
CString g_title = "Korvane";
int g_testAnswer = 0;
kvtest::ShownBox* g_testShown = nullptr;

bool OnGuiThread()
{
    return qApp && QThread::currentThread() == qApp->thread();
}

struct ButtonSpec {
    QMessageBox::StandardButton button;
    int result;
};

std::vector<ButtonSpec> ButtonsOf(UINT type)
{
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL: return {{QMessageBox::Ok, IDOK}, {QMessageBox::Cancel, IDCANCEL}};
    case MB_ABORTRETRYIGNORE:
        return {{QMessageBox::Abort, IDABORT}, {QMessageBox::Retry, IDRETRY}, {QMessageBox::Ignore, IDIGNORE}};
    case MB_YESNOCANCEL: return {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}, {QMessageBox::Cancel, IDCANCEL}};
    case MB_YESNO: return {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}};
    case MB_RETRYCANCEL: return {{QMessageBox::Retry, IDRETRY}, {QMessageBox::Cancel, IDCANCEL}};
    default: return {{QMessageBox::Ok, IDOK}};
    }
}

int ShowBox(CWnd* owner, const char* text, const char* caption, UINT type, UINT helpId)
{
    ++g_boxSerial;
    if (g_scripted || !qApp)
        return AfxScriptedMessageBox(text, caption, type, helpId);
    QWidget* parent = owner && owner->GetImpl() && owner->GetImpl()->widget ? owner->GetImpl()->widget->window()
                                                                              : QApplication::activeWindow();
    // Owned by the asking window, the box stays in front of it and opens centred on it.
    QMessageBox box(parent);
    box.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    box.setWindowTitle(kvui::ToQ(caption && *caption ? caption : AfxGetAppTitle().GetString()));
    box.setText(kvui::ToQ(text));
    switch (type & MB_ICONMASK) {
    case MB_ICONHAND: box.setIcon(QMessageBox::Critical); break;
    case MB_ICONQUESTION: box.setIcon(QMessageBox::Question); break;
    case MB_ICONEXCLAMATION: box.setIcon(QMessageBox::Warning); break;
    case MB_ICONASTERISK: box.setIcon(QMessageBox::Information); break;
    default: break;
    }
    const auto buttons = ButtonsOf(type);
    QMessageBox::StandardButtons all;
    for (const auto& b : buttons)
        all |= b.button;
    box.setStandardButtons(all);
    const size_t defaultIndex = ((type & MB_DEFMASK) >> 8) < buttons.size() ? ((type & MB_DEFMASK) >> 8) : 0;
    box.setDefaultButton(buttons[defaultIndex].button);
    if (g_testShown) {
        kvtest::ShownBox* shown = std::exchange(g_testShown, nullptr);
        const int answer = g_testAnswer;
        QTimer::singleShot(0, &box, [&box, &buttons, shown, answer, parent]() {
            const QRect frame = box.frameGeometry();
            shown->where = CRect(frame.left(), frame.top(), frame.right() + 1, frame.bottom() + 1);
            shown->owner = CWndImpl::WndOf(parent);
            shown->minMaxButtons = box.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint);
            for (const auto& b : buttons)
                if (b.result == answer)
                    box.done(b.button);
        });
    }
    const auto chosen = static_cast<QMessageBox::StandardButton>(box.exec());
    for (const auto& b : buttons)
        if (b.button == chosen)
            return b.result;
    // Closed without a button: Cancel where there is one, else the only answer.
    for (const auto& b : buttons)
        if (b.result == IDCANCEL)
            return IDCANCEL;
    return buttons.size() == 1 ? buttons[0].result : IDCANCEL;
}

int EngineBox(const char* text, const char* caption, UINT type, UINT helpId)
{
    if (g_scripted || !qApp)
        return AfxScriptedMessageBox(text, caption, type, helpId);
    if (OnGuiThread())
        return ShowBox(nullptr, text, caption, type, helpId);
    const std::string message(text ? text : "");
    const std::string title(caption ? caption : "");
    if ((type & MB_TYPEMASK) == MB_OK) {
        // A notice: the worker goes on; the box shows on the GUI thread.
        QMetaObject::invokeMethod(qApp, [message, title, type, helpId]() {
            ShowBox(nullptr, message.c_str(), title.c_str(), type, helpId);
        }, Qt::QueuedConnection);
        return IDOK;
    }
    int answer = IDCANCEL;
    QMetaObject::invokeMethod(qApp, [&]() { answer = ShowBox(nullptr, message.c_str(), title.c_str(), type, helpId); },
                              Qt::BlockingQueuedConnection);
    return answer;
}
}  // namespace

int AfxMessageBox(LPCSTR text, UINT type, UINT helpId) { return ShowBox(nullptr, text, nullptr, type, helpId); }

int AfxWndMessageBox(CWnd* owner, LPCSTR text, LPCSTR caption, UINT type)
{
    return ShowBox(owner, text, caption, type, 0);
}

void kvtest::AnswerNextShownBox(int answer, ShownBox* shown)
{
    g_testAnswer = answer;
    g_testShown = shown;
}

unsigned AfxGetMessageBoxSerial() { return g_boxSerial.load(); }

void AfxSetScriptedMode(BOOL scripted) { g_scripted = scripted != FALSE; }
BOOL AfxIsScriptedMode() { return g_scripted ? TRUE : FALSE; }

void AfxInstallMessageBoxHook() { AfxSetMessageBoxHandler(&EngineBox); }
void AfxRemoveMessageBoxHook() { AfxSetMessageBoxHandler(nullptr); }

void AfxSetAppTitle(LPCSTR title)
{
    std::lock_guard<std::mutex> guard(g_titleMutex);
    g_title = title ? title : "";
}

CString AfxGetAppTitle()
{
    std::lock_guard<std::mutex> guard(g_titleMutex);
    return g_title;
}

int CWnd::MessageBox(LPCSTR text, LPCSTR caption, UINT type) { return AfxWndMessageBox(this, text, caption, type); }
