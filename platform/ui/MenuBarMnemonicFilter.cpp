// Alt+letter on a menu bar, handled as Windows users know it: the key opens the
// menu whose title underlines the letter, and when several titles share it each
// press moves on to the next of them. Qt's own shortcut map would call such a
// key ambiguous and keep opening the same menu, so the bar's titles never reach
// it: the filter claims the key before the shortcut map sees it.
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <vector>

#include "MenuBarMnemonicFilter.h"

namespace kvui {
namespace {

QChar MnemonicOf(const QString& text)
{
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '&')
            continue;
        if (text[i + 1] != '&')
            return text[i + 1].toUpper();
        ++i;  // "&&" is a plain ampersand
    }
    return {};
}

QChar KeyLetter(const QKeyEvent* key)
{
    if (key->key() >= Qt::Key_A && key->key() <= Qt::Key_Z)
        return QChar('A' + (key->key() - Qt::Key_A));
    if (key->key() >= Qt::Key_0 && key->key() <= Qt::Key_9)
        return QChar('0' + (key->key() - Qt::Key_0));
    return {};
}

class MenuBarMnemonicFilter : public QObject {
public:
    void Add(QMenuBar* bar) { m_bars.emplace_back(bar); }

protected:
    bool eventFilter(QObject* receiver, QEvent* event) override
    {
        if (event->type() != QEvent::ShortcutOverride && event->type() != QEvent::KeyPress &&
            event->type() != QEvent::KeyRelease)
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        // Alt going down on the way to Alt+letter would close the open menu before the
        // letter could move on from it.
        if (key->key() == Qt::Key_Alt && qobject_cast<QMenu*>(receiver) && BarFor(static_cast<QWidget*>(receiver)))
            return true;
        if (event->type() == QEvent::KeyRelease)
            return false;
        const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
        const QChar letter = KeyLetter(key);
        auto* widget = qobject_cast<QWidget*>(receiver);
        if (mods != Qt::AltModifier || letter.isNull() || !widget)
            return false;
        QMenuBar* bar = BarFor(widget);
        QAction* next = bar ? NextTitle(bar, letter) : nullptr;
        if (!next)
            return false;
        event->accept();
        if (event->type() == QEvent::KeyPress)
            bar->setActiveAction(next);
        return true;
    }

private:
    // The bar of the window that has the key, or of the bar menu whose popup has it.
    QMenuBar* BarFor(QWidget* widget)
    {
        std::erase_if(m_bars, [](const QPointer<QMenuBar>& bar) { return bar.isNull(); });
        auto* popup = qobject_cast<QMenu*>(widget);
        for (const QPointer<QMenuBar>& bar : m_bars) {
            if (!bar->isVisible())
                continue;
            if (!popup && bar->window() == widget->window())
                return bar;
            if (popup)
                for (QAction* title : bar->actions())
                    if (title->menu() == popup)
                        return bar;
        }
        return nullptr;
    }
    // The first title with the letter after the one open now, wrapping round.
    static QAction* NextTitle(QMenuBar* bar, QChar letter)
    {
        std::vector<QAction*> sharing;
        for (QAction* title : bar->actions())
            if (title->isVisible() && title->isEnabled() && MnemonicOf(title->text()) == letter)
                sharing.push_back(title);
        if (sharing.empty())
            return nullptr;
        for (size_t i = 0; i < sharing.size(); ++i)
            if (sharing[i] == bar->activeAction())
                return sharing[(i + 1) % sharing.size()];
        return sharing.front();
    }
    std::vector<QPointer<QMenuBar>> m_bars;
};

}  // namespace

void HandleMenuBarMnemonics(QMenuBar* bar)
{
    static MenuBarMnemonicFilter* filter = [] {
        auto* made = new MenuBarMnemonicFilter;
        made->setParent(qApp);
        qApp->installEventFilter(made);
        return made;
    }();
    filter->Add(bar);
}

}  // namespace kvui
