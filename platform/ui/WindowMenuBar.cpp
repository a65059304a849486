// The menu bar of a top-level window other than the main frame, such as a
// dialog whose template names a menu.
#include <QMenu>
#include <QMenuBar>

#include "CmdUI.h"
#include "Menu.h"
#include "MenuBarMnemonicFilter.h"
#include "MenuCommand.h"
#include "WndImpl.h"

namespace kvui {
namespace {

void FillMenu(QWidget* owner, QMenu* target, CMenu* source);

// The window's update handler decides when it has one; else the menu's own flags do.
void ApplyState(QWidget* owner, QAction* action, const CMenu::Item& item)
{
    bool enabled = (item.flags & (MF_GRAYED | MF_DISABLED)) == 0;
    bool checked = (item.flags & MF_CHECKED) != 0;
    CCmdUI ui(item.id);
    if (CWnd* wnd = CWndImpl::WndOf(owner); wnd && AfxDoUpdateCmdUI(wnd, ui)) {
        enabled = ui.m_enabled;
        checked = ui.m_check != 0;
        if (ui.m_textChanged)
            action->setText(ToQ(ui.m_text));
    }
    action->setEnabled(enabled);
    action->setCheckable(checked);
    action->setChecked(checked);
}

bool SameItems(const QMenu* target, const CMenu* source)
{
    const QList<QAction*> actions = target->actions();
    const auto& items = source->GetItems();
    if (actions.size() != static_cast<qsizetype>(items.size()))
        return false;
    for (size_t i = 0; i < items.size(); ++i) {
        const QAction* action = actions[static_cast<qsizetype>(i)];
        const bool separator = (items[i].flags & MF_SEPARATOR) != 0;
        if (action->isSeparator() != separator || (!separator && action->data().toUInt() != items[i].id))
            return false;
    }
    return true;
}

void FillItems(QWidget* owner, QMenu* target, CMenu* source)
{
    for (QMenu* old : target->findChildren<QMenu*>(QString(), Qt::FindDirectChildrenOnly))
        old->deleteLater();
    target->clear();
    for (const CMenu::Item& item : source->GetItems()) {
        if (item.flags & MF_SEPARATOR) {
            target->addSeparator();
            continue;
        }
        if ((item.flags & MF_POPUP) && item.subMenu) {
            QMenu* popup = target->addMenu(ToQ(item.text));
            popup->menuAction()->setData(item.id);
            FillMenu(owner, popup, item.subMenu);
            continue;
        }
        QAction* action = target->addAction(ToQ(item.text));
        action->setData(item.id);
        const UINT id = item.id;
        QPointer<QWidget> window(owner);
        QObject::connect(action, &QAction::triggered, target, [window, id]() {
            kvui::RunAfterMenu(window, [window, id]() {
                if (CWnd* wnd = CWndImpl::WndOf(window))
                    AfxCallWndProc(wnd, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), 0), 0);
            });
        });
    }
}

void FillMenu(QWidget* owner, QMenu* target, CMenu* source)
{
    FillItems(owner, target, source);
    QPointer<QWidget> window(owner);
    QObject::connect(target, &QMenu::aboutToShow, target, [window, target, source]() {
        if (!window)
            return;
        if (!SameItems(target, source))  // the program changed the items: shown anew
            FillItems(window, target, source);
        const QList<QAction*> actions = target->actions();
        const auto& items = source->GetItems();
        for (size_t i = 0; i < items.size(); ++i)
            if (!(items[i].flags & (MF_SEPARATOR | MF_POPUP)))
                ApplyState(window, actions[static_cast<qsizetype>(i)], items[i]);
    });
}

}  // namespace

void AttachMenuBar(CWndImpl* impl, CMenu* menu)
{
    QWidget* window = impl ? impl->widget.data() : nullptr;
    if (!window || !menu || impl->menuBar)
        return;
    auto* client = new QWidget(window);
    for (QObject* child : window->children())
        if (auto* w = qobject_cast<QWidget*>(child); w && w != client && !w->isWindow()) {
            const bool shown = !w->isHidden();
            w->setParent(client);
            if (shown)
                w->show();
        }
    auto* bar = new QMenuBar(window);
    bar->setNativeMenuBar(false);
    for (const CMenu::Item& item : menu->GetItems())
        if ((item.flags & MF_POPUP) && item.subMenu)
            FillMenu(window, bar->addMenu(ToQ(item.text)), item.subMenu);
    HandleMenuBarMnemonics(bar);
    impl->menu = menu;
    impl->menuBar = bar;
    impl->client = client;
    // The menu is not part of the client area: the window grows to keep it whole.
    window->resize(window->width(), window->height() + bar->sizeHint().height());
    LayOutMenuBar(impl);
    bar->show();
    client->show();
}

void LayOutMenuBar(CWndImpl* impl)
{
    if (!impl || !impl->widget || !impl->menuBar || !impl->client)
        return;
    const int width = impl->widget->width();
    const int barHeight = impl->menuBar->sizeHint().height();
    impl->menuBar->setGeometry(0, 0, width, barHeight);
    impl->client->setGeometry(0, barHeight, width, std::max(0, impl->widget->height() - barHeight));
}

}  // namespace kvui
