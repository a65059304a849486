#include "Hook.h"

#include "WndImpl.h"

#include <QApplication>
#include <QCursor>
#include <QMouseEvent>
#include <QPointer>
#include <algorithm>
#include <vector>

namespace {

struct HookEntry {
    HOOKPROC proc;
};

// Watches the whole application's mouse input for the installed hooks.
class MouseHookFilter : public QObject {
public:
    std::vector<HookEntry*> hooks;
    ~MouseHookFilter() override
    {
        for (HookEntry* hook : hooks)
            delete hook;
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (!watched->isWidgetType() || hooks.empty())
            return false;
        UINT message = 0;
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            message = static_cast<QMouseEvent*>(event)->button() == Qt::RightButton ? WM_RBUTTONDOWN : WM_LBUTTONDOWN;
            break;
        case QEvent::MouseButtonRelease:
            message = static_cast<QMouseEvent*>(event)->button() == Qt::RightButton ? WM_RBUTTONUP : WM_LBUTTONUP;
            break;
        case QEvent::MouseMove: message = WM_MOUSEMOVE; break;
        default: return false;
        }
        // An event is seen once, by the widget it was first given to.
        if (QObject* first = kvui::FirstReceiverOf(event)) {
            if (first != watched)
                return false;
        } else if (event == m_last) {
            return false;
        }
        m_last = event;
        const QPoint global = static_cast<QMouseEvent*>(event)->globalPosition().toPoint();
        MSLLHOOKSTRUCT info{{global.x(), global.y()}, 0, 0, 0, 0};
        const std::vector<HookEntry*> snapshot = hooks;
        for (HookEntry* hook : snapshot)
            if (std::find(hooks.begin(), hooks.end(), hook) != hooks.end())
                hook->proc(HC_ACTION, message, reinterpret_cast<LPARAM>(&info));
        return false;
    }

private:
    const QEvent* m_last = nullptr;
};

MouseHookFilter* Filter()
{
    static QPointer<MouseHookFilter> filter;
    if (!filter && qApp) {
        filter = new MouseHookFilter;
        filter->setParent(qApp);
        qApp->installEventFilter(filter);
    }
    return filter;
}

}  // namespace

HHOOK SetWindowsHookEx(int idHook, HOOKPROC proc, void* /*module*/, DWORD /*threadId*/)
{
    MouseHookFilter* filter = Filter();
    if (idHook != WH_MOUSE_LL || !proc || !filter)
        return nullptr;
    auto* entry = new HookEntry{proc};
    filter->hooks.push_back(entry);
    return reinterpret_cast<HHOOK>(entry);
}

BOOL UnhookWindowsHookEx(HHOOK hook)
{
    MouseHookFilter* filter = qApp ? Filter() : nullptr;
    if (!filter)
        return FALSE;
    auto* entry = reinterpret_cast<HookEntry*>(hook);
    auto found = std::find(filter->hooks.begin(), filter->hooks.end(), entry);
    if (found == filter->hooks.end())
        return FALSE;
    filter->hooks.erase(found);
    delete entry;
    return TRUE;
}

LRESULT CallNextHookEx(HHOOK, int, WPARAM, LPARAM) { return 0; }

BOOL GetCursorPos(POINT* point)
{
    if (!point)
        return FALSE;
    const QPoint p = QCursor::pos();
    *point = POINT{p.x(), p.y()};
    return TRUE;
}
