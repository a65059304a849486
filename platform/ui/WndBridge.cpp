// The bridge between Qt's widgets and events and the program's windows and messages.
#include "WndBridge.h"

#include <unordered_map>

#include <QApplication>
#include <QAbstractScrollArea>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QThread>
#include <QWheelEvent>
#include <algorithm>
#include <cxxabi.h>
#include <typeinfo>
#include <cstdlib>
#include <cstring>
#include <vector>
#include <QCursor>
#include <mutex>
#include <unordered_set>

#include "ClientDC.h"
#include "DC.h"
#include "DCImpl.h"
#include "Font.h"
#include "PaintObserver.h"
#include "WndImpl.h"

namespace kvui::bridge {

std::mutex& LiveMutex()
{
    static std::mutex& mutex = *new std::mutex;
    return mutex;
}

std::unordered_set<const CWnd*>& LiveWindows()
{
    static auto& live = *new std::unordered_set<const CWnd*>;
    return live;
}

thread_local MessageFrame* t_frame = nullptr;

LRESULT StandardWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return hwnd->WindowProc(message, wParam, lParam);
}

LRESULT CallWithFrame(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, bool fromToolkit, bool* defaulted)
{
    CWndImpl* impl = hwnd ? hwnd->GetImpl() : nullptr;
    if (!impl)
        return 0;
    CWnd* target = impl->wnd;
    MessageFrame frame{target, MSG{target, message, wParam, lParam, 0, {0, 0}}, fromToolkit, false, t_frame};
    t_frame = &frame;
    DispatchScope scope;
    const LRESULT result = impl->proc(target, message, wParam, lParam);
    t_frame = frame.prev;
    if (defaulted)
        *defaulted = frame.defaulted;
    return result;
}

bool IsGuiThread()
{
    return QCoreApplication::instance() && QThread::currentThread() == QCoreApplication::instance()->thread();
}

void DestroyChildWindows(QWidget* widget)
{
    const auto children = widget->children();
    for (QObject* child : children) {
        auto* childWidget = qobject_cast<QWidget*>(child);
        if (!childWidget)
            continue;
        if (CWndImpl* impl = CWndImpl::Of(childWidget))
            impl->wnd->DestroyWindow();
        else
            DestroyChildWindows(childWidget);
    }
}

}  // namespace kvui::bridge

namespace {

int g_dispatchDepth = 0;

UINT MouseFlags(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers)
{
    UINT flags = 0;
    if (buttons & Qt::LeftButton) flags |= MK_LBUTTON;
    if (buttons & Qt::RightButton) flags |= MK_RBUTTON;
    if (buttons & Qt::MiddleButton) flags |= MK_MBUTTON;
    if (modifiers & Qt::ShiftModifier) flags |= MK_SHIFT;
    if (modifiers & Qt::ControlModifier) flags |= MK_CONTROL;
    return flags;
}

UINT MouseMessage(QEvent::Type type, Qt::MouseButton button)
{
    const int base = button == Qt::RightButton ? WM_RBUTTONDOWN : button == Qt::MiddleButton ? WM_MBUTTONDOWN
                                                                                             : WM_LBUTTONDOWN;
    switch (type) {
    case QEvent::MouseButtonPress: return base;
    case QEvent::MouseButtonRelease: return base + 1;
    case QEvent::MouseButtonDblClick: return base + 2;
    default: return WM_MOUSEMOVE;
    }
}

UINT VirtualKey(int key)
{
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return static_cast<UINT>('A' + key - Qt::Key_A);
    if (key >= Qt::Key_0 && key <= Qt::Key_9) return static_cast<UINT>('0' + key - Qt::Key_0);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return VK_F1 + static_cast<UINT>(key - Qt::Key_F1);
    switch (key) {
    case Qt::Key_Backspace: return VK_BACK;
    case Qt::Key_Tab: case Qt::Key_Backtab: return VK_TAB;
    case Qt::Key_Return: case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Shift: return VK_SHIFT;
    case Qt::Key_Control: return VK_CONTROL;
    case Qt::Key_Alt: return VK_MENU;
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Space: return VK_SPACE;
    case Qt::Key_PageUp: return VK_PRIOR;
    case Qt::Key_PageDown: return VK_NEXT;
    case Qt::Key_End: return VK_END;
    case Qt::Key_Home: return VK_HOME;
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_Down: return VK_DOWN;
    case Qt::Key_Insert: return VK_INSERT;
    case Qt::Key_Delete: return VK_DELETE;
    default: return static_cast<UINT>(key & 0xFF);
    }
}

// The characters a key press types, control letters as their control codes.
QByteArray TypedChars(const QKeyEvent* key)
{
    if ((key->modifiers() & Qt::ControlModifier) && key->key() >= Qt::Key_A && key->key() <= Qt::Key_Z)
        return QByteArray(1, static_cast<char>(key->key() - Qt::Key_A + 1));
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
        return QByteArray(1, '\r');
    if (key->key() == Qt::Key_Escape)
        return QByteArray(1, '\x1b');
    if (key->key() == Qt::Key_Backspace)
        return QByteArray(1, '\b');
    return key->text().toLatin1();
}

const QEvent* t_keyEventSeen = nullptr;

PaintObserver g_paintObserver = nullptr;  // GUI thread only

// The impl of each widget the layer made. Looked up for every child on every
// search for a control by id, so it must not cost a property look-up by name.
std::unordered_map<const QWidget*, CWndImpl*>& ImplOfWidget()
{
    static std::unordered_map<const QWidget*, CWndImpl*> map;  // GUI thread only
    return map;
}

void ForgetImpl(const QWidget* w, const CWndImpl* impl)
{
    auto& map = ImplOfWidget();
    if (const auto found = map.find(w); found != map.end() && found->second == impl)
        map.erase(found);
}

}  // namespace

PaintObserver AfxSetPaintObserver(PaintObserver observer)
{
    const PaintObserver previous = g_paintObserver;
    g_paintObserver = observer;
    return previous;
}

using namespace kvui::bridge;

// ---------------------------------------------------------------------------
DispatchScope::DispatchScope() { ++g_dispatchDepth; }
DispatchScope::~DispatchScope() { --g_dispatchDepth; }
bool DispatchScope::Active() { return g_dispatchDepth > 0; }

CWndImpl::CWndImpl(CWnd* owner, QWidget* w, ControlKind k, UINT controlId, DWORD s, DWORD ex, bool owns)
    : widget(w), wnd(owner), kind(k), id(controlId), style(s), exStyle(ex), ownsWidget(owns), proc(&StandardWndProc)
{
    ImplOfWidget()[w] = this;
    m_registered = w;
    w->installEventFilter(this);
    // A scrolling control takes its clicks in its viewport: they are the control's clicks.
    if (auto* area = qobject_cast<QAbstractScrollArea*>(w))
        area->viewport()->installEventFilter(this);
    QObject::connect(w, &QObject::destroyed, this, [this]() {
        // The toolkit deleted the widget under us (its parent went): let go of it.
        ForgetImpl(m_registered, this);
        if (destroying)
            return;
        destroying = true;
        CWnd* gone = wnd;
        CWnd* made = wrapper;
        if (gone) gone->DetachImpl();
        if (made && made != gone) made->DetachImpl();
        delete made;
        deleteLater();
    });
}

CWndImpl::~CWndImpl() { ForgetImpl(m_registered, this); }

CWndImpl* CWndImpl::Of(const QWidget* w)
{
    if (!w)
        return nullptr;
    const auto& map = ImplOfWidget();
    const auto found = map.find(w);
    CWndImpl* impl = found != map.end() ? found->second : nullptr;
    return impl && impl->wnd && !impl->destroying ? impl : nullptr;
}

CWnd* CWndImpl::WndOf(const QWidget* w)
{
    CWndImpl* impl = Of(w);
    return impl ? impl->wnd : nullptr;
}

QWidget* CWndImpl::ParentWidget() const
{
    for (QWidget* p = widget ? widget->parentWidget() : nullptr; p; p = p->parentWidget())
        if (Of(p))
            return p;
    return nullptr;
}

void CWndImpl::NotifyParent(UINT code)
{
    CWnd* parent = WndOf(ParentWidget());
    if (parent && wnd)
        AfxCallWndProc(parent, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), static_cast<WORD>(code)),
                       reinterpret_cast<LPARAM>(wnd));
}

LRESULT CWndImpl::NotifyParent(NMHDR& header)
{
    CWnd* parent = WndOf(ParentWidget());
    if (!parent || !wnd)
        return 0;
    header.hwndFrom = wnd;
    header.idFrom = id;
    return AfxCallWndProc(parent, WM_NOTIFY, id, reinterpret_cast<LPARAM>(&header));
}

void CWndImpl::ApplyMinMaxInfo()
{
    if (!widget || !widget->isWindow())
        return;
    MINMAXINFO info{};
    const QSize screen = QGuiApplication::primaryScreen()->virtualSize();
    info.ptMaxSize = {screen.width(), screen.height()};
    info.ptMaxTrackSize = {QWIDGETSIZE_MAX, QWIDGETSIZE_MAX};
    AfxCallWndProc(wnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    if (info.ptMinTrackSize.x > 0 || info.ptMinTrackSize.y > 0)
        widget->setMinimumSize(std::max(0, static_cast<int>(info.ptMinTrackSize.x)),
                               std::max(0, static_cast<int>(info.ptMinTrackSize.y)));
    if (info.ptMaxTrackSize.x < QWIDGETSIZE_MAX || info.ptMaxTrackSize.y < QWIDGETSIZE_MAX)
        widget->setMaximumSize(info.ptMaxTrackSize.x, info.ptMaxTrackSize.y);
}

bool CWndImpl::DispatchFromToolkit(UINT message, WPARAM wParam, LPARAM lParam, bool preTranslate, bool* pretranslated)
{
    if (pretranslated)
        *pretranslated = false;
    if (preTranslate) {
        MSG msg{wnd, message, wParam, lParam, 0, {0, 0}};
        const QPoint cursor = QCursor::pos();
        msg.pt = {cursor.x(), cursor.y()};
        for (CWnd* w = wnd; w; w = w->GetParent()) {
            if (w->PreTranslateMessage(&msg)) {
                if (pretranslated)
                    *pretranslated = true;
                return true;
            }
            if (!w->GetImpl() || (w->GetImpl()->widget && w->GetImpl()->widget->isWindow()))
                break;
        }
        if (!wnd)
            return true;
    }
    bool defaulted = false;
    CallWithFrame(wnd, message, wParam, lParam, true, &defaulted);
    return !defaulted;
}

namespace {
// A control's drop-down is a popup window whose parent is the control itself.
bool IsOwnPopupActive(const QWidget* control)
{
    for (const QWidget* w = QApplication::activePopupWidget(); w; w = w->parentWidget())
        if (w == control)
            return true;
    return false;
}
}  // namespace

bool CWndImpl::eventFilter(QObject* watched, QEvent* event)
{
    if (!wnd || destroying || !widget)
        return false;
    if (watched != widget) {
        auto* area = qobject_cast<QAbstractScrollArea*>(widget.data());
        const QEvent::Type type = event->type();
        const bool mouse = type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease ||
                           type == QEvent::MouseButtonDblClick || type == QEvent::MouseMove;
        if (!area || watched != area->viewport() || !mouse)
            return false;
    }
    QPointer<CWndImpl> alive(this);
    DispatchScope scope;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove: {
        if (!widget->isEnabled())
            return true;  // a disabled window gets no input
        auto* mouse = static_cast<QMouseEvent*>(event);
        // The click that brought a filled-in text leaves it selected, up to its release.
        if (event->type() == QEvent::MouseButtonPress && kvui::TakeFilledOnClick(widget))
            holdSelection = true;
        else if (event->type() == QEvent::MouseButtonPress)
            holdSelection = false;
        QPoint p = mouse->position().toPoint();
        if (watched != widget)
            p = static_cast<QWidget*>(watched)->mapTo(widget, p);
        if (client)
            p = client->mapFrom(widget.data(), p);
        const UINT message = MouseMessage(event->type(), mouse->button());
        const bool buttonMessage = message != WM_MOUSEMOVE;
        const bool consumed = DispatchFromToolkit(message, MouseFlags(mouse->buttons(), mouse->modifiers()),
                                                  MAKELPARAM(static_cast<WORD>(p.x()), static_cast<WORD>(p.y())),
                                                  buttonMessage);
        if (alive && wnd && kind == ControlKind::Static && (style & SS_NOTIFY)) {
            if (message == WM_LBUTTONUP) NotifyParent(STN_CLICKED);
            if (message == WM_LBUTTONDBLCLK) NotifyParent(STN_DBLCLK);
        }
        if (alive && holdSelection) {
            if (event->type() == QEvent::MouseButtonRelease)
                holdSelection = false;
            return true;
        }
        return consumed;
    }
    case QEvent::Wheel: {
        auto* wheel = static_cast<QWheelEvent*>(event);
        const QPoint g = wheel->globalPosition().toPoint();
        return DispatchFromToolkit(
            WM_MOUSEWHEEL,
            MAKEWPARAM(static_cast<WORD>(MouseFlags(wheel->buttons(), wheel->modifiers())),
                       static_cast<WORD>(wheel->angleDelta().y())),
            MAKELPARAM(static_cast<WORD>(g.x()), static_cast<WORD>(g.y())));
    }
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        // Keys go to the focus window only: a key its child left unhandled is the toolkit's.
        if (QObject* first = kvui::FirstReceiverOf(event)) {
            QWidget* owner = qobject_cast<QWidget*>(first);
            while (owner && !Of(owner))
                owner = owner->parentWidget();
            if (owner != widget)
                return false;
        } else if (t_keyEventSeen == event) {
            return false;
        }
        if (!widget->isEnabled())
            return true;
        t_keyEventSeen = event;
        auto* key = static_cast<QKeyEvent*>(event);
        const UINT vk = VirtualKey(key->key());
        const LPARAM repeat = key->isAutoRepeat() ? 0x40000001 : 1;
        if (event->type() == QEvent::KeyRelease)
            return DispatchFromToolkit(WM_KEYUP, vk, repeat, true);
        // As on the original, the characters follow the key down whether or not it was handled;
        // the toolkit does its own typing when the characters (or, without any, the key) went unhandled.
        bool pretranslated = false;
        const bool keyConsumed = DispatchFromToolkit(WM_KEYDOWN, vk, repeat, true, &pretranslated);
        if (!alive || !wnd || pretranslated)
            return true;  // a key taken before translation types nothing, as on the original
        const QByteArray chars = TypedChars(key);
        if (chars.isEmpty())
            return keyConsumed;
        bool consumed = true;
        for (char ch : chars) {
            MSG msg{wnd, WM_CHAR, static_cast<WPARAM>(static_cast<unsigned char>(ch)), repeat, 0, {0, 0}};
            bool pre = false;
            for (CWnd* w = wnd; w && !pre; w = w->GetParent())
                pre = w->PreTranslateMessage(&msg) != 0;
            if (pre || !alive || !wnd)
                return true;
            consumed = DispatchFromToolkit(WM_CHAR, static_cast<unsigned char>(ch), repeat) && consumed;
            if (!alive || !wnd)
                return true;
        }
        return consumed;
    }
    case QEvent::FocusIn:
        if (widget->property("kvFocusInOwnPopup").toBool()) {
            widget->setProperty("kvFocusInOwnPopup", false);
            return false;  // back from its own drop-down: it never lost the focus
        }
        CallWithFrame(wnd, WM_SETFOCUS, 0, 0, true, nullptr);
        if (alive && (kind == ControlKind::Edit || kind == ControlKind::RichEdit)) NotifyParent(EN_SETFOCUS);
        if (alive && kind == ControlKind::ComboBox) NotifyParent(CBN_SETFOCUS);
        return false;
    case QEvent::FocusOut:
        if (IsOwnPopupActive(widget)) {
            widget->setProperty("kvFocusInOwnPopup", true);
            return false;  // the focus went into the control's own drop-down
        }
    {
        // What the window losing the focus does to the one the user clicked happens before the click lands.
        const bool byClick = static_cast<QFocusEvent*>(event)->reason() == Qt::MouseFocusReason;
        kvui::ClickFocusScope clicked(byClick ? QApplication::focusWidget() : nullptr);
        CallWithFrame(wnd, WM_KILLFOCUS, reinterpret_cast<WPARAM>(WndOf(QApplication::focusWidget())), 0, true,
                      nullptr);
        if (alive && (kind == ControlKind::Edit || kind == ControlKind::RichEdit)) NotifyParent(EN_KILLFOCUS);
        if (alive && kind == ControlKind::ComboBox) NotifyParent(CBN_KILLFOCUS);
        return false;
    }
    case QEvent::Resize: {
        if (menuBar)
            kvui::LayOutMenuBar(this);
        const QSize s = ClientWidget()->size();
        CallWithFrame(wnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(static_cast<WORD>(s.width()), static_cast<WORD>(s.height())),
                      true, nullptr);
        return false;
    }
    case QEvent::Move: {
        const QPoint p = widget->pos();
        CallWithFrame(wnd, WM_MOVE, 0, MAKELPARAM(static_cast<WORD>(p.x()), static_cast<WORD>(p.y())), true, nullptr);
        return false;
    }
    case QEvent::Show:
        ApplyMinMaxInfo();
        if (alive && wnd) CallWithFrame(wnd, WM_SHOWWINDOW, TRUE, 0, true, nullptr);
        return false;
    case QEvent::Hide:
        CallWithFrame(wnd, WM_SHOWWINDOW, FALSE, 0, true, nullptr);
        return false;
    case QEvent::Close:
        event->ignore();
        CallWithFrame(wnd, WM_CLOSE, 0, 0, false, nullptr);
        return true;
    case QEvent::ContextMenu: {
        auto* menu = static_cast<QContextMenuEvent*>(event);
        return DispatchFromToolkit(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(wnd),
                                   MAKELPARAM(static_cast<WORD>(menu->globalPos().x()),
                                              static_cast<WORD>(menu->globalPos().y())));
    }
    case QEvent::Paint: {
        if (g_paintObserver && wnd)
            g_paintObserver(wnd);
        const kvui::PaintRectScope part(widget.data(), static_cast<QPaintEvent*>(event)->rect());
        return kvui::HandlePaint(this);
    }
    default:
        return false;
    }
}

void CWndImpl::timerEvent(QTimerEvent* event)
{
    auto found = windowIdByTimer.find(event->timerId());
    if (found == windowIdByTimer.end() || !wnd)
        return;
    CallWithFrame(wnd, WM_TIMER, found->second, 0, false, nullptr);
}

void CWndImpl::customEvent(QEvent* event)
{
    if (event->type() != kPostedMessageEvent || !wnd || destroying)
        return;
    auto* posted = static_cast<PostedMessage*>(event);
    CallWithFrame(wnd, posted->message, posted->wParam, posted->lParam, false, nullptr);
}

void CWndImpl::DestroyWidget()
{
    for (const auto& timer : timerByWindowId)
        killTimer(timer.second);
    timerByWindowId.clear();
    windowIdByTimer.clear();
    QWidget* w = widget;
    if (w) {
        w->removeEventFilter(this);
        ForgetImpl(w, this);
        if (QWidget::mouseGrabber() == w)
            w->releaseMouse();
    }
    if (w && ownsWidget) {
        if (DispatchScope::Active()) {
            w->hide();
            w->deleteLater();
        } else {
            delete w;
        }
    }
    if (DispatchScope::Active())
        deleteLater();
    else
        delete this;
}
