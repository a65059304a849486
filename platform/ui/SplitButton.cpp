#include "SplitButton.h"

#include <QAction>
#include <QMenu>
#include <QPointer>
#include <QToolButton>

#include "Menu.h"
#include "MenuCommand.h"
#include "WndImpl.h"

struct CSplitButton::Impl {
    QPointer<QToolButton> button;
    QPointer<QMenu> menu;
};

CSplitButton::~CSplitButton()
{
    if (GetSafeHwnd())
        DestroyWindow();
    delete m_button;
}

BOOL CSplitButton::Create(LPCSTR text, DWORD style, const RECT& rect, CWnd* parent, UINT id)
{
    if (!CWnd::Create(nullptr, "", style | WS_CHILD, rect, parent, id))
        return FALSE;
    QWidget* host = GetImpl()->widget;
    m_button = new Impl;
    auto* button = new QToolButton(host);
    button->setText(kvui::ToQ(text ? text : ""));
    button->setGeometry(host->rect());
    button->setPopupMode(QToolButton::MenuButtonPopup);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    m_button->button = button;
    m_button->menu = new QMenu(button);
    button->setMenu(m_button->menu);
    QObject::connect(button, &QToolButton::clicked, button, [this]() {
        if (CWnd* owner = GetParent())
            owner->SendMessage(WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), BN_CLICKED), reinterpret_cast<LPARAM>(this));
    });
    button->show();
    return TRUE;
}

void CSplitButton::SetDropDownMenu(const CMenu& menu)
{
    if (!m_button || !m_button->menu)
        return;
    QMenu* q = m_button->menu;
    q->clear();
    for (const CMenu::Item& item : menu.GetItems()) {
        if (item.flags & MF_SEPARATOR) {
            q->addSeparator();
            continue;
        }
        QAction* action = q->addAction(kvui::ToQ(item.text.GetString()));
        const UINT id = item.id;
        action->setProperty("kvId", id);
        QObject::connect(action, &QAction::triggered, q, [this, id]() {
            kvui::RunAfterMenu(GetImpl() ? GetImpl()->widget.data() : nullptr, [this, id]() {
                if (CWnd* owner = GetParent())
                    owner->SendMessage(WM_COMMAND, MAKEWPARAM(id, 0), 0);
            });
        });
    }
}

int CSplitButton::GetDropDownCount() const
{
    return m_button && m_button->menu ? static_cast<int>(m_button->menu->actions().size()) : 0;
}

namespace kvtest {
bool ChooseDropDownItem(CSplitButton& button, UINT id)
{
    CWndImpl* impl = button.GetImpl();
    QToolButton* q = impl && impl->widget ? impl->widget->findChild<QToolButton*>() : nullptr;
    if (!q || !q->menu())
        return false;
    // The items keep the menu's order; the id is found through the menu the button was given.
    const QList<QAction*> actions = q->menu()->actions();
    for (QAction* action : actions)
        if (!action->isSeparator() && action->property("kvId").toUInt() == id) {
            action->trigger();
            kvui::RunChosenMenuCommands();
            return true;
        }
    return false;
}
}  // namespace kvtest
