#include "KeyState.h"

#include <QApplication>
#include <QInputEvent>
#include <QKeyEvent>

#include "UiTypes.h"

namespace {
// Records the modifiers of every input event the application delivers, sent
// or posted alike, before any window sees it.
class ModifierWatch : public QObject {
public:
    Qt::KeyboardModifiers current;
    bool seen = false;
    bool capsLock = false;
    bool numLock = false;
    bool scrollLock = false;
    bool eventFilter(QObject*, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::KeyPress:
            FollowLocks(static_cast<QKeyEvent*>(event));
            [[fallthrough]];
        case QEvent::KeyRelease:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
            current = static_cast<QInputEvent*>(event)->modifiers();
            seen = true;
            break;
        default:
            break;
        }
        return false;
    }

private:
    // A lock key turns its lock over; under X every other key also tells the lock
    // state in its modifier mask (Lock for caps, Mod2 for num), which corrects a
    // lock switched while another program had the keyboard.
    void FollowLocks(const QKeyEvent* key)
    {
        if (key->isAutoRepeat())
            return;
        switch (key->key()) {
        case Qt::Key_CapsLock: capsLock = !capsLock; return;
        case Qt::Key_NumLock: numLock = !numLock; return;
        case Qt::Key_ScrollLock: scrollLock = !scrollLock; return;
        default: break;
        }
        if (QGuiApplication::platformName() == "xcb") {
            capsLock = (key->nativeModifiers() & kXLockMask) != 0;
            numLock = (key->nativeModifiers() & kXMod2Mask) != 0;
        }
    }
    static constexpr quint32 kXLockMask = 0x02;
    static constexpr quint32 kXMod2Mask = 0x10;
};

ModifierWatch* Watch()
{
    static ModifierWatch* watch = nullptr;
    if (!watch && QCoreApplication::instance()) {
        watch = new ModifierWatch;
        watch->setParent(QCoreApplication::instance());
        QCoreApplication::instance()->installEventFilter(watch);
    }
    return watch;
}
}  // namespace

SHORT GetKeyState(int virtualKey)
{
    ModifierWatch* watch = Watch();
    const Qt::KeyboardModifiers modifiers =
        watch && watch->seen ? watch->current : QGuiApplication::keyboardModifiers();
    Qt::KeyboardModifier wanted = Qt::NoModifier;
    switch (virtualKey) {
    case VK_CAPITAL: return watch && watch->capsLock ? 1 : 0;
    case VK_NUMLOCK: return watch && watch->numLock ? 1 : 0;
    case VK_SCROLL: return watch && watch->scrollLock ? 1 : 0;
    case VK_SHIFT: wanted = Qt::ShiftModifier; break;
    case VK_CONTROL: wanted = Qt::ControlModifier; break;
    case VK_MENU: wanted = Qt::AltModifier; break;
    default: return 0;
    }
    return (modifiers & wanted) ? static_cast<SHORT>(0x8000) : 0;
}
