#include "KeyState.h"

#include <QApplication>
#include <QInputEvent>

#include "UiTypes.h"

namespace {
// Records the modifiers of every input event the application delivers, sent
// or posted alike, before any window sees it.
class ModifierWatch : public QObject {
public:
    Qt::KeyboardModifiers current;
    bool seen = false;
    bool eventFilter(QObject*, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::KeyPress:
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
    case VK_SHIFT: wanted = Qt::ShiftModifier; break;
    case VK_CONTROL: wanted = Qt::ControlModifier; break;
    case VK_MENU: wanted = Qt::AltModifier; break;
    default: return 0;
    }
    return (modifiers & wanted) ? static_cast<SHORT>(0x8000) : 0;
}
