#include "UserInput.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFontInfo>
#include <QHeaderView>
#include <QScrollBar>
#include <QThread>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QTabBar>
#include <QTreeWidget>
#include <QPointer>
#include <QWindow>
#include <QAbstractScrollArea>

#include "KeyState.h"
#include "WndImpl.h"

namespace kvtest {
namespace {

QWidget* WidgetOf(CWnd* wnd)
{
    return wnd && wnd->GetImpl() ? wnd->GetImpl()->widget.data() : nullptr;
}

// A press moves the focus before the window hears of it, as the toolkit does for the user's
// own clicks (and for those only): to the first window from the one clicked outward that takes
// the focus by click.
void GiveFocusAsAClickWould(QWidget* clicked)
{
    for (QWidget* w = clicked; w; w = w->isWindow() ? nullptr : w->parentWidget()) {
        if (w->isEnabled() && (w->focusPolicy() & Qt::ClickFocus)) {
            if (!w->hasFocus())
                w->setFocus(Qt::MouseFocusReason);
            return;
        }
    }
}

// Mouse input lands on the part of the window under the point (a list's rows
// lie in its viewport), as the user's would.
void SendMouse(CWnd* wnd, QEvent::Type type, CPoint point, Qt::MouseButton button)
{
    QWidget* w = WidgetOf(wnd);
    if (!w)
        return;
    QPoint local(point.x, point.y);
    QWidget* target = w->childAt(local);
    if (!target || CWndImpl::Of(target))
        target = w;
    const QPoint at = target->mapFrom(w, local);
    if (type == QEvent::MouseButtonPress)
        GiveFocusAsAClickWould(target);
    const Qt::MouseButtons buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent event(type, QPointF(at), QPointF(target->mapToGlobal(at)), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

int QtKeyOf(UINT vk)
{
    if (vk >= 'A' && vk <= 'Z') return Qt::Key_A + static_cast<int>(vk - 'A');
    if (vk >= '0' && vk <= '9') return Qt::Key_0 + static_cast<int>(vk - '0');
    if (vk >= VK_F1 && vk < VK_F1 + 24) return Qt::Key_F1 + static_cast<int>(vk - VK_F1);
    switch (vk) {
    case VK_BACK: return Qt::Key_Backspace;
    case VK_CAPITAL: return Qt::Key_CapsLock;
    case VK_NUMLOCK: return Qt::Key_NumLock;
    case VK_SCROLL: return Qt::Key_ScrollLock;
    case VK_TAB: return Qt::Key_Tab;
    case VK_RETURN: return Qt::Key_Return;
    case VK_ESCAPE: return Qt::Key_Escape;
    case VK_SPACE: return Qt::Key_Space;
    case VK_PRIOR: return Qt::Key_PageUp;
    case VK_NEXT: return Qt::Key_PageDown;
    case VK_END: return Qt::Key_End;
    case VK_HOME: return Qt::Key_Home;
    case VK_LEFT: return Qt::Key_Left;
    case VK_UP: return Qt::Key_Up;
    case VK_RIGHT: return Qt::Key_Right;
    case VK_DOWN: return Qt::Key_Down;
    case VK_INSERT: return Qt::Key_Insert;
    case VK_DELETE: return Qt::Key_Delete;
    default: return Qt::Key_unknown;
    }
}

QWidget* KeyTarget(CWnd* wnd)
{
    QWidget* w = WidgetOf(wnd);
    if (auto* combo = qobject_cast<QComboBox*>(w); combo && combo->lineEdit())
        return combo->lineEdit();
    return w;
}

// A key for the focus widget comes as the window system brings it: to the
// top-level's native window, which hands the same event on to its focus widget.
// A key aimed at a window without the focus goes to that window itself.
QObject* KeyReceiver(QWidget* target)
{
    QWidget* top = target->window();
    QWindow* native = top->windowHandle();
    if (native && top->isVisible() && top->focusWidget() == target)
        return native;
    return target;
}

void SendKey(QWidget* target, int key, Qt::KeyboardModifiers modifiers, const QString& text)
{
    QPointer<QWidget> alive(target);
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(KeyReceiver(target), &press);
    if (!alive)
        return;
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
    QApplication::sendEvent(KeyReceiver(target), &release);
}

}  // namespace

void Click(CWnd* wnd)
{
    QWidget* w = WidgetOf(wnd);
    if (w)
        ClickAt(wnd, CPoint(w->width() / 2, w->height() / 2));
}

void ClickAt(CWnd* wnd, CPoint point)
{
    MouseDown(wnd, point);
    MouseUp(wnd, point);
}

void MouseDown(CWnd* wnd, CPoint point) { SendMouse(wnd, QEvent::MouseButtonPress, point, Qt::LeftButton); }
void MouseUp(CWnd* wnd, CPoint point) { SendMouse(wnd, QEvent::MouseButtonRelease, point, Qt::LeftButton); }

void DoubleClick(CWnd* wnd, CPoint point)
{
    ClickAt(wnd, point);
    SendMouse(wnd, QEvent::MouseButtonDblClick, point, Qt::LeftButton);
    MouseUp(wnd, point);
}

void RightClick(CWnd* wnd, CPoint point)
{
    SendMouse(wnd, QEvent::MouseButtonPress, point, Qt::RightButton);
    SendMouse(wnd, QEvent::MouseButtonRelease, point, Qt::RightButton);
}

void PressKey(CWnd* wnd, UINT vk, bool control, bool shift)
{
    QWidget* target = KeyTarget(wnd);
    if (!target)
        return;
    Qt::KeyboardModifiers modifiers;
    if (control) modifiers |= Qt::ControlModifier;
    if (shift) modifiers |= Qt::ShiftModifier;
    QString text;
    if (vk == VK_RETURN) text = "\r";
    else if (vk == VK_ESCAPE) text = QString(QChar(0x1b));
    else if (vk == VK_BACK) text = "\b";
    else if (control && vk >= 'A' && vk <= 'Z') text = QString(QChar(static_cast<int>(vk - 'A' + 1)));
    else if (vk >= 'A' && vk <= 'Z') text = QString(QChar(static_cast<int>(shift ? vk : vk + 32)));
    else if ((vk >= '0' && vk <= '9') || vk == VK_SPACE) text = QString(QChar(static_cast<int>(vk)));
    SendKey(target, QtKeyOf(vk), modifiers, text);
}

void TypeText(CWnd* wnd, const char* text)
{
    QWidget* target = KeyTarget(wnd);
    if (!target || !text)
        return;
    wnd->SetFocus();
    const QString typed = kvui::ToQ(text);
    for (QChar ch : typed) {
        int key = Qt::Key_unknown;
        if (ch.isLetter() && ch.unicode() < 128) key = Qt::Key_A + (ch.toUpper().unicode() - 'A');
        else if (ch.isDigit()) key = Qt::Key_0 + (ch.unicode() - '0');
        else if (ch == ' ') key = Qt::Key_Space;
        else if (ch == '\r' || ch == '\n') key = Qt::Key_Return;
        const Qt::KeyboardModifiers modifiers = ch.isUpper() ? Qt::ShiftModifier : Qt::NoModifier;
        SendKey(target, key, modifiers, (ch == '\n') ? QString("\r") : QString(ch));
    }
}

bool PickItem(CWnd* wnd, int index)
{
    QWidget* w = WidgetOf(wnd);
    if (auto* combo = qobject_cast<QComboBox*>(w)) {
        if (index < 0 || index >= combo->count())
            return false;
        combo->setCurrentIndex(index);
        emit combo->activated(index);
        return true;
    }
    if (auto* list = qobject_cast<QListWidget*>(w)) {
        if (index < 0 || index >= list->count())
            return false;
        list->setCurrentRow(index, QItemSelectionModel::ClearAndSelect);
        return true;
    }
    if (auto* tree = qobject_cast<QTreeWidget*>(w)) {
        if (index < 0 || index >= tree->topLevelItemCount())
            return false;
        QTreeWidgetItem* item = tree->topLevelItem(index);
        tree->setCurrentItem(item, 0, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        emit tree->itemClicked(item, 0);
        return true;
    }
    if (auto* tabs = qobject_cast<QTabBar*>(w)) {
        if (index < 0 || index >= tabs->count())
            return false;
        tabs->setCurrentIndex(index);
        return true;
    }
    return false;
}

bool ClickDroppedItem(CWnd* wnd, int index)
{
    auto* combo = qobject_cast<QComboBox*>(WidgetOf(wnd));
    if (!combo || !combo->view()->isVisible() || index < 0 || index >= combo->count())
        return false;
    QAbstractItemView* view = combo->view();
    const QModelIndex item = view->model()->index(index, combo->modelColumn(), view->rootIndex());
    view->scrollTo(item);
    const QPoint at = view->visualRect(item).center();
    QWidget* target = view->viewport();
    // The toolkit ignores a release that comes within a double-click time of the list opening (the
    // opening click's own); a user's pick comes later, so the click is repeated until the list takes it.
    QElapsedTimer clock;
    clock.start();
    while (view->isVisible() && clock.elapsed() < 5000) {
        for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            const Qt::MouseButtons buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
            QMouseEvent event(type, QPointF(at), QPointF(target->mapToGlobal(at)), Qt::LeftButton, buttons,
                              Qt::NoModifier);
            QApplication::sendEvent(target, &event);
        }
        if (view->isVisible()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            QThread::msleep(10);
        }
    }
    return !view->isVisible();
}

CRect DroppedListRect(CWnd* wnd)
{
    auto* combo = qobject_cast<QComboBox*>(WidgetOf(wnd));
    if (!combo || !combo->view()->isVisible())
        return CRect();
    QWidget* popup = combo->view()->window();
    const QRect r(popup->mapToGlobal(QPoint(0, 0)), popup->size());
    return CRect(r.left(), r.top(), r.left() + r.width(), r.top() + r.height());
}

bool ScrollBarShown(CWnd* wnd, bool vertical)
{
    auto* area = qobject_cast<QAbstractScrollArea*>(WidgetOf(wnd));
    if (!area)
        return false;
    QScrollBar* bar = vertical ? area->verticalScrollBar() : area->horizontalScrollBar();
    return bar && bar->isVisibleTo(area);
}

CString ShownFont(CWnd* wnd, bool header)
{
    QWidget* w = WidgetOf(wnd);
    if (auto* tree = qobject_cast<QTreeView*>(w); tree && header)
        w = tree->header();
    if (!w)
        return CString();
    const QFontInfo info(w->font());
    return kvui::FromQ(QStringLiteral("%1 %2").arg(info.family()).arg(info.pixelSize()));
}

void CloseWindow(CWnd* wnd)
{
    if (QWidget* w = WidgetOf(wnd))
        w->window()->close();
}

}  // namespace kvtest
