#include "MdiFrameWnd.h"

#include <QApplication>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>

#include "MdiChildFramePrivate.h"
#include "Menu.h"
#include "MenuCommand.h"
#include "ResourceText.h"
#include "StatusBar.h"
#include "StringTable.h"
#include "ToolBar.h"
#include "ControlWidgets.h"
#include "MenuBarMnemonicFilter.h"
#include "WndImpl.h"

namespace {
constexpr int kToolBarHeight = 28;
constexpr int kStatusBarHeight = 22;
constexpr int kCascadeStep = 24;
// The toolbar's buttons follow their update handlers at this pace, as menus do when they open.
constexpr UINT_PTR kIdleUpdateTimer = 0xE000;
constexpr UINT kIdleUpdateMs = 250;
}  // namespace

namespace {
// Shown, or to be shown with the frame: not hidden by itself.
bool NotHidden(CWnd* bar)
{
    CWndImpl* impl = bar ? bar->GetImpl() : nullptr;
    return impl && impl->widget && !impl->widget->isHidden();
}

std::vector<UINT> ToolBarCommandIds(const CToolBar& bar)
{
    std::vector<UINT> ids;
    if (auto* widget = WidgetAs<kvui::KvToolBar>(&bar))
        for (const auto& item : widget->items)
            if (item.button)
                ids.push_back(item.id);
    return ids;
}
}  // namespace

struct CMDIFrameWnd::MenuBar {
    QPointer<QMenuBar> bar;
    CMenu* menu = nullptr;
};

BEGIN_MESSAGE_MAP(CMDIFrameWnd, CWnd)
    ON_WM_CREATE()
    ON_WM_SIZE()
END_MESSAGE_MAP()

CMDIFrameWnd::CMDIFrameWnd() : m_menuBar(new MenuBar) {}

CMDIFrameWnd::~CMDIFrameWnd()
{
    if (GetSafeHwnd())
        DestroyWindow();
    delete m_menuBar;
}

BOOL CMDIFrameWnd::LoadFrame(UINT resourceId, DWORD style, CWnd* parent)
{
    CString title;
    AfxLoadString(resourceId, title);
    const int cut = title.Find('\n');
    if (cut >= 0)
        title = title.Left(cut);
    if (!CreateEx(0, nullptr, title, style & ~WS_CHILD, CRect(0, 0, 800, 600), parent, 0))
        return FALSE;
    AfxSetWindowIcon(this, resourceId);
    return TRUE;
}

int CMDIFrameWnd::OnCreate(LPCREATESTRUCT)
{
    CRect client;
    GetClientRect(&client);
    if (!MDIClientObject().Create(nullptr, "", WS_CHILD | WS_VISIBLE, client, this, AFX_IDW_PANE_FIRST))
        return -1;
    SetTimer(kIdleUpdateTimer, kIdleUpdateMs);
    return 0;
}

void CMDIFrameWnd::OnSize(UINT, int, int) { RecalcLayout(); }

LRESULT CMDIFrameWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_TIMER && wParam == kIdleUpdateTimer) {
        UpdateToolBarButtons();
        return 0;
    }
    if (message == WM_MDICASCADE) {
        MDICascade();
        return 0;
    }
    if (message == WM_MDITILE) {
        MDITile();
        return 0;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

void CMDIFrameWnd::RecalcLayout()
{
    CWndImpl* impl = GetImpl();
    if (!impl || !impl->widget)
        return;
    const int width = impl->widget->width();
    const int height = impl->widget->height();
    int top = 0;
    if (m_menuBar->bar) {
        const int barHeight = m_menuBar->bar->sizeHint().height();
        m_menuBar->bar->setGeometry(0, 0, width, barHeight);
        top = barHeight;
    }
    // A bar counts unless it was hidden itself: the frame may not be shown yet.
    if (CWnd* toolBar = GetDlgItem(AFX_IDW_TOOLBAR); NotHidden(toolBar)) {
        toolBar->MoveWindow(0, top, width, kToolBarHeight);
        top += kToolBarHeight;
    }
    int bottom = height;
    if (CWnd* statusBar = GetDlgItem(AFX_IDW_STATUS_BAR); NotHidden(statusBar)) {
        bottom -= kStatusBarHeight;
        statusBar->MoveWindow(0, bottom, width, kStatusBarHeight);
    }
    if (MDIClientObject().GetSafeHwnd())
        MDIClientObject().MoveWindow(0, top, width, std::max(0, bottom - top));
}

void CMDIFrameWnd::SetMessageText(LPCSTR text)
{
    if (auto* bar = dynamic_cast<CStatusBar*>(GetDlgItem(AFX_IDW_STATUS_BAR)))
        bar->SetPaneText(0, text);
}

void CMDIFrameWnd::UpdateCommandUI(CCmdUI& ui) { AfxDoUpdateCmdUI(this, ui); }

void CMDIFrameWnd::UpdateToolBarButtons()
{
    auto* bar = dynamic_cast<CToolBar*>(GetDlgItem(AFX_IDW_TOOLBAR));
    if (!bar)
        return;
    for (UINT id : ToolBarCommandIds(*bar)) {
        CCmdUI ui(id);
        UpdateCommandUI(ui);
        bar->EnableButton(id, ui.m_enabled);
    }
}

namespace {
void FillMenu(CMDIFrameWnd* frame, QMenu* target, CMenu* source);

void UpdateActions(CMDIFrameWnd* frame, QMenu* menu)
{
    for (QAction* action : menu->actions()) {
        const QVariant id = action->data();
        if (!id.isValid() || action->menu())
            continue;
        CCmdUI ui(id.toUInt());
        frame->UpdateCommandUI(ui);
        action->setEnabled(ui.m_enabled);
        action->setCheckable(ui.m_check != 0);
        action->setChecked(ui.m_check != 0);
        if (ui.m_textChanged)
            action->setText(kvui::ToQ(ui.m_text));
    }
}

void FillItems(CMDIFrameWnd* frame, QMenu* target, CMenu* source)
{
    for (const CMenu::Item& item : source->GetItems()) {
        if (item.flags & MF_SEPARATOR) {
            target->addSeparator();
        } else if ((item.flags & MF_POPUP) && item.subMenu) {
            FillMenu(frame, target->addMenu(kvui::ToQ(item.text)), item.subMenu);
        } else {
            QAction* action = target->addAction(kvui::ToQ(item.text));
            action->setData(item.id);
            const UINT id = item.id;
            QObject::connect(action, &QAction::triggered, target, [frame, id]() {
                kvui::RunAfterMenu(frame->GetImpl() ? frame->GetImpl()->widget.data() : nullptr, [frame, id]() {
                    if (frame->GetSafeHwnd())
                        AfxCallWndProc(frame, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), 0), 0);
                });
            });
            QObject::connect(action, &QAction::hovered, target,
                             [frame, id]() { frame->SetMessageText(AfxGetCommandPrompt(id)); });
        }
    }
}

void FillMenu(CMDIFrameWnd* frame, QMenu* target, CMenu* source)
{
    FillItems(frame, target, source);
    QObject::connect(target, &QMenu::aboutToShow, target, [frame, target, source]() {
        std::vector<std::pair<UINT, CString>> before;
        for (const CMenu::Item& item : source->GetItems())
            before.emplace_back(item.id, item.text);
        frame->OnInitMenuPopup(source);
        bool changed = source->GetItems().size() != before.size();
        for (size_t i = 0; !changed && i < before.size(); ++i)
            changed = source->GetItems()[i].id != before[i].first || source->GetItems()[i].text != before[i].second;
        if (changed) {  // the frame changed the items: the menu shows them anew
            target->clear();
            FillItems(frame, target, source);
        }
        UpdateActions(frame, target);
    });
    QObject::connect(target, &QMenu::aboutToHide, target, [frame]() { frame->SetMessageText(kIdleMessage); });
}
}  // namespace

BOOL CMDIFrameWnd::SetMenu(CMenu* menu)
{
    CWndImpl* impl = GetImpl();
    if (!impl)
        return FALSE;
    impl->menu = menu;
    m_menuBar->menu = menu;
    DrawMenuBar();
    return TRUE;
}

void CMDIFrameWnd::DrawMenuBar()
{
    CWndImpl* impl = GetImpl();
    if (!impl || !impl->widget)
        return;
    if (QMenuBar* old = m_menuBar->bar.data()) {
        // A menu command may be rebuilding the bar from inside one of its actions.
        old->hide();
        old->setParent(nullptr);
        old->deleteLater();
    }
    m_menuBar->bar = nullptr;
    if (CMenu* menu = m_menuBar->menu) {
        auto* bar = new QMenuBar(impl->widget);
        bar->setNativeMenuBar(false);
        for (const CMenu::Item& item : menu->GetItems()) {
            if ((item.flags & MF_POPUP) && item.subMenu)
                FillMenu(this, bar->addMenu(kvui::ToQ(item.text)), item.subMenu);
        }
        kvui::HandleMenuBarMnemonics(bar);
        bar->show();
        m_menuBar->bar = bar;
    }
    RecalcLayout();
}

void CMDIFrameWnd::AddMDIChild(CMDIChildWnd* child)
{
    m_children.push_back(child);
    m_active = child;
}

void CMDIFrameWnd::RemoveMDIChild(CMDIChildWnd* child)
{
    std::erase(m_children, child);
    if (m_active == child)
        m_active = m_children.empty() ? nullptr : m_children.back();
}

void CMDIFrameWnd::MDIActivate(CMDIChildWnd* child)
{
    if (!child || std::find(m_children.begin(), m_children.end(), child) == m_children.end())
        return;
    m_active = child;
    child->BringWindowToTop();
    child->ShowWindow(SW_SHOW);
}

void CMDIFrameWnd::MDICascade()
{
    CRect client;
    GetMDIClient()->GetClientRect(&client);
    const int width = client.Width() * 2 / 3;
    const int height = client.Height() * 2 / 3;
    int step = 0;
    for (CMDIChildWnd* child : m_children) {
        if (child == m_active)
            continue;
        child->MoveWindow(step * kCascadeStep, step * kCascadeStep, width, height);
        child->BringWindowToTop();
        ++step;
    }
    if (m_active) {  // the active child ends on top, last in the cascade
        m_active->MoveWindow(step * kCascadeStep, step * kCascadeStep, width, height);
        m_active->BringWindowToTop();
    }
}

void CMDIFrameWnd::MDITile()
{
    const int count = static_cast<int>(m_children.size());
    if (count == 0)
        return;
    CRect client;
    GetMDIClient()->GetClientRect(&client);
    int columns = 1;
    while (columns * columns < count)
        ++columns;
    const int rows = (count + columns - 1) / columns;
    for (int i = 0; i < count; ++i) {
        const int row = i / columns;
        const int inRow = row == rows - 1 ? count - row * columns : columns;  // the last row shares its width
        const int column = i % columns;
        const int x = client.Width() * column / inRow;
        const int nextX = client.Width() * (column + 1) / inRow;
        const int y = client.Height() * row / rows;
        const int nextY = client.Height() * (row + 1) / rows;
        m_children[static_cast<size_t>(i)]->MoveWindow(x, y, nextX - x, nextY - y);
    }
}

CMDIChildWnd::~CMDIChildWnd()
{
    if (m_frame)
        m_frame->RemoveMDIChild(this);
}

BOOL CMDIChildWnd::Create(LPCSTR title, DWORD style, const RECT& rect, CMDIFrameWnd* frame)
{
    if (!frame || !frame->GetMDIClient()->GetSafeHwnd())
        return FALSE;
    if (!CWnd::Create(nullptr, title, style | WS_CHILD, rect, frame->GetMDIClient(), 0))
        return FALSE;
    kvui::FrameMdiChild(GetImpl());
    m_frame = frame;
    frame->AddMDIChild(this);
    return TRUE;
}

void CMDIChildWnd::MDIActivate()
{
    if (m_frame)
        m_frame->MDIActivate(this);
}

BOOL CMDIChildWnd::DestroyWindow()
{
    if (m_frame) {
        m_frame->RemoveMDIChild(this);
        m_frame = nullptr;
    }
    return CWnd::DestroyWindow();
}

namespace kvtest {
namespace {
QMenuBar* BarOf(CWnd* frame)
{
    CWndImpl* impl = frame ? frame->GetImpl() : nullptr;
    return impl && impl->widget ? impl->widget->findChild<QMenuBar*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
}

QAction* FindAction(CWnd* frame, const char* path, bool update)
{
    QMenuBar* bar = BarOf(frame);
    if (!bar)
        return nullptr;
    const QStringList parts = kvui::ToQ(path).split('|');
    QList<QAction*> actions = bar->actions();
    QAction* found = nullptr;
    for (const QString& part : parts) {
        found = nullptr;
        for (QAction* action : actions)
            if (action->text() == part) {
                found = action;
                break;
            }
        if (!found)
            return nullptr;
        if (QMenu* menu = found->menu()) {
            if (update)
                emit menu->aboutToShow();
            actions = menu->actions();
        }
    }
    return found;
}
}  // namespace

BOOL ChooseMenuItem(CWnd* frame, const char* path)
{
    QAction* action = FindAction(frame, path, true);
    if (!action || action->menu() || !action->isEnabled())
        return FALSE;
    action->trigger();
    kvui::RunChosenMenuCommands();
    return TRUE;
}

BOOL ChooseMenuItemByKeys(CWnd* frame, const char* path)
{
    QAction* found = FindAction(frame, path, true);
    QPointer<QMenu> menu = found ? qobject_cast<QMenu*>(found->parent()) : nullptr;
    if (!menu)
        return FALSE;
    const QString text = found->text();
    menu->popup(QPoint(0, 0));  // may fill the menu anew
    QAction* action = nullptr;
    for (QAction* candidate : menu->actions())
        if (candidate->text() == text)
            action = candidate;
    if (!action || action->menu() || !action->isEnabled())
        return FALSE;
    menu->setActiveAction(action);
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(menu, &press);
    return TRUE;
}

int MenuItemState(CWnd* frame, const char* path, int* checked)
{
    QAction* action = FindAction(frame, path, true);
    if (!action)
        return -1;
    if (checked)
        *checked = action->isChecked() ? 1 : 0;
    return action->isEnabled() ? 1 : 0;
}

std::vector<CString> MenuBarTexts(CWnd* frame)
{
    std::vector<CString> texts;
    if (QMenuBar* bar = BarOf(frame))
        for (QAction* action : bar->actions())
            texts.push_back(kvui::FromQ(action->text()));
    return texts;
}

BOOL HoverMenuItem(CWnd* frame, const char* path)
{
    QAction* action = FindAction(frame, path, true);
    if (!action)
        return FALSE;
    action->hover();
    return TRUE;
}

namespace {
QAction* OpenTitle(CWnd* frame)
{
    QMenuBar* bar = BarOf(frame);
    QAction* title = bar ? bar->activeAction() : nullptr;
    return title && title->menu() && title->menu()->isVisible() ? title : nullptr;
}
}  // namespace

void PressMenuKey(CWnd* frame, UINT vk, bool alt)
{
    if (alt && vk != VK_MENU)
        PressMenuKey(frame, VK_MENU, true);
    QWidget* target = QApplication::activePopupWidget();
    if (!target) {
        CWndImpl* impl = frame ? frame->GetImpl() : nullptr;
        QWidget* window = impl && impl->widget ? impl->widget->window() : nullptr;
        target = window && window->focusWidget() ? window->focusWidget() : window;
    }
    if (!target)
        return;
    int key = Qt::Key_unknown;
    QString text;
    if (vk >= 'A' && vk <= 'Z') {
        key = Qt::Key_A + static_cast<int>(vk - 'A');
        text = QString(QChar(static_cast<int>(vk + 32)));
    } else if (vk == VK_RETURN) {
        key = Qt::Key_Return;
        text = "\r";
    } else if (vk == VK_ESCAPE) {
        key = Qt::Key_Escape;
    } else if (vk == VK_MENU) {
        key = Qt::Key_Alt;
    }
    const Qt::KeyboardModifiers modifiers = alt ? Qt::AltModifier : Qt::NoModifier;
    QKeyEvent offer(QEvent::ShortcutOverride, key, modifiers, text);
    offer.ignore();
    QApplication::sendEvent(target, &offer);
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
    QApplication::sendEvent(target, &release);
    kvui::RunChosenMenuCommands();
}

CString OpenMenuTitle(CWnd* frame)
{
    QAction* title = OpenTitle(frame);
    return title ? kvui::FromQ(title->text()) : CString();
}

CString HighlightedMenuItem(CWnd* frame)
{
    QAction* title = OpenTitle(frame);
    QAction* item = title ? title->menu()->activeAction() : nullptr;
    return item ? kvui::FromQ(item->text()) : CString();
}
}  // namespace kvtest
