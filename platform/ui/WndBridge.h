// What the window bridge, the free window calls and CWnd share: the message
// frame a handler runs in, posted messages and the set of live windows.
#pragma once

#include <QEvent>
#include <QWidget>
#include <mutex>
#include <unordered_set>

#include "Wnd.h"

namespace kvui::bridge {

// Never destroyed, so handles can still be checked while the program's statics go.
std::mutex& LiveMutex();
std::unordered_set<const CWnd*>& LiveWindows();

// The message a handler is running for, so Default() can pass it on and the
// bridge learns whether the toolkit should still do its own handling.
struct MessageFrame {
    CWnd* wnd;
    MSG msg;
    bool fromToolkit;
    bool defaulted;
    MessageFrame* prev;
};
extern thread_local MessageFrame* t_frame;

inline const QEvent::Type kPostedMessageEvent = static_cast<QEvent::Type>(QEvent::User + 811);

struct PostedMessage : public QEvent {
    PostedMessage(UINT m, WPARAM w, LPARAM l) : QEvent(kPostedMessageEvent), message(m), wParam(w), lParam(l) {}
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

LRESULT StandardWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CallWithFrame(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, bool fromToolkit, bool* defaulted);
bool IsGuiThread();
void DestroyChildWindows(QWidget* widget);

}  // namespace kvui::bridge
