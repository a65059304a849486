// CWnd: the program's window object, its message dispatch and its window operations.
#include "WndBridge.h"

#include <QApplication>
#include <QAbstractScrollArea>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QHeaderView>
#include <QTreeView>
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
#include "ComboBoxPrivate.h"
#include "DC.h"
#include "DCImpl.h"
#include "Font.h"
#include "WndImpl.h"
#include "platform/core/MessageBox.h"

using namespace kvui::bridge;

// ---------------------------------------------------------------------------
CWnd::CWnd() = default;

CWnd::~CWnd()
{
    if (m_impl) {
        if (m_impl->wnd == this && m_impl->wrapper && m_impl->wrapper != this)
            UnsubclassWindow();
        else
            DestroyWindow();
    }
}

const AFX_MSGMAP* CWnd::GetThisMessageMap()
{
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, nullptr}};
    static const AFX_MSGMAP map = {nullptr, entries};
    return &map;
}

const AFX_MSGMAP* CWnd::GetMessageMap() const { return GetThisMessageMap(); }

void CWnd::AttachImpl(CWndImpl* impl)
{
    std::lock_guard<std::mutex> guard(LiveMutex());
    m_impl = impl;
    m_hWnd = this;
    LiveWindows().insert(this);
}

void CWnd::DetachImpl()
{
    std::lock_guard<std::mutex> guard(LiveMutex());
    LiveWindows().erase(this);
    m_impl = nullptr;
    m_hWnd = nullptr;
}

BOOL CWnd::Create(LPCSTR /*className*/, LPCSTR windowName, DWORD style, const RECT& rect, CWnd* parent, UINT id,
                  void* /*context*/)
{
    return CreateControl(static_cast<int>(ControlKind::Window), windowName, style, rect, parent, id);
}

BOOL CWnd::CreateEx(DWORD exStyle, LPCSTR /*className*/, LPCSTR windowName, DWORD style, const RECT& rect,
                    CWnd* parent, UINT id, void* /*params*/)
{
    return CreateControl(static_cast<int>(ControlKind::Window), windowName, style, rect, parent, id, exStyle);
}

BOOL CWnd::CreateControl(int kind, LPCSTR text, DWORD style, const RECT& rect, CWnd* parent, UINT id, DWORD exStyle)
{
    if (m_impl || !qApp)
        return FALSE;
    CREATESTRUCT cs{};
    cs.x = rect.left;
    cs.y = rect.top;
    cs.cx = rect.right - rect.left;
    cs.cy = rect.bottom - rect.top;
    cs.style = static_cast<LONG>(style);
    cs.dwExStyle = exStyle;
    cs.lpszName = text;
    if (!PreCreateWindow(cs))
        return FALSE;
    style = static_cast<DWORD>(cs.style);
    exStyle = cs.dwExStyle;
    QWidget* parentWidget = parent && parent->m_impl ? parent->m_impl->ClientWidget() : nullptr;
    const auto controlKind = static_cast<ControlKind>(kind);
    const bool topLevel = !(style & WS_CHILD) || !parentWidget;
    QWidget* widget = kvui::CreateWidget(controlKind, style, text, topLevel ? nullptr : parentWidget);
    if (!topLevel && widget->isWindow())
        widget->setWindowFlags(Qt::Widget);  // a child dialog is part of its parent
    if (topLevel) {
        Qt::WindowFlags flags = controlKind == ControlKind::Dialog ? Qt::Dialog : Qt::Window;
        if (exStyle & WS_EX_TOOLWINDOW)
            flags = Qt::Tool;
        if ((style & WS_CAPTION) != WS_CAPTION && (style & WS_POPUP))  // a border alone is no caption
            flags |= Qt::FramelessWindowHint;
        if (exStyle & WS_EX_TOPMOST)
            flags |= Qt::WindowStaysOnTopHint;
        widget->setParent(parentWidget, flags);
        if (text)
            widget->setWindowTitle(kvui::ToQ(text));
    }
    widget->setGeometry(cs.x, cs.y, std::max(0, cs.cx), std::max(0, cs.cy));
    auto* impl = new CWndImpl(this, widget, controlKind, id, style, exStyle, true);
    AttachImpl(impl);
    kvui::WireNotifications(impl);
    if (style & WS_DISABLED)
        widget->setEnabled(false);
    if (parent && parent->GetFont() && !topLevel)
        SetFont(parent->GetFont(), FALSE);
    widget->resize(widget->width(), kvui::ClosedWindowHeight(impl, std::max(0, cs.cy)));
    if (AfxCallWndProc(this, WM_CREATE, 0, 0) == -1) {
        DestroyWindow();
        return FALSE;
    }
    if (m_impl && (style & WS_VISIBLE))
        widget->show();
    return m_impl != nullptr;
}

BOOL CWnd::DestroyWindow()
{
    CWndImpl* impl = m_impl;
    if (!impl || impl->destroying)
        return FALSE;
    CWnd* target = impl->wnd;
    CWnd* made = impl->wrapper;
    AfxCallWndProc(target, WM_DESTROY, 0, 0);
    impl->destroying = true;
    if (impl->widget)
        DestroyChildWindows(impl->widget);
    {
        MessageFrame frame{target, MSG{target, WM_NCDESTROY, 0, 0, 0, {0, 0}}, false, false, t_frame};
        t_frame = &frame;
        DispatchScope scope;
        impl->proc(target, WM_NCDESTROY, 0, 0);
        t_frame = frame.prev;
    }
    target->DetachImpl();
    if (made && made != target)
        made->DetachImpl();
    impl->DestroyWidget();
    if (made && made != target)
        delete made;
    if (made == target)
        delete made;  // the layer's own object has no one else to delete it
    else
        target->PostNcDestroy();
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT id, CWnd* parent)
{
    CWnd* control = parent ? parent->GetDlgItem(static_cast<int>(id)) : nullptr;
    return control ? SubclassWindow(control) : FALSE;
}

BOOL CWnd::SubclassWindow(HWND hwnd)
{
    if (m_impl || !hwnd || !hwnd->m_impl)
        return FALSE;
    CWndImpl* impl = hwnd->m_impl;
    if (impl->wnd != hwnd && impl->wnd != impl->wrapper)
        return FALSE;  // already taken by another object
    impl->wnd = this;
    AttachImpl(impl);
    PreSubclassWindow();
    return TRUE;
}

HWND CWnd::UnsubclassWindow()
{
    CWndImpl* impl = m_impl;
    if (!impl || impl->wnd != this || !impl->wrapper)
        return nullptr;
    impl->wnd = impl->wrapper;
    DetachImpl();
    return impl->wrapper;
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::SendMessage(this, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::PostMessage(this, message, wParam, lParam);
}

LRESULT CWnd::SendDlgItemMessage(int id, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWnd* item = GetDlgItem(id);
    return item ? item->SendMessage(message, wParam, lParam) : 0;
}

void CWnd::SendMessageToDescendants(UINT message, WPARAM wParam, LPARAM lParam, BOOL deep)
{
    if (!m_impl || !m_impl->widget)
        return;
    const auto options = deep ? Qt::FindChildrenRecursively : Qt::FindDirectChildrenOnly;
    const auto children = m_impl->widget->findChildren<QWidget*>(QString(), options);
    std::vector<QPointer<QWidget>> targets(children.begin(), children.end());
    for (const auto& child : targets)
        if (CWnd* w = CWndImpl::WndOf(child))
            AfxCallWndProc(w, message, wParam, lParam);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result))
        result = DefWindowProc(message, wParam, lParam);
    return result;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (t_frame && t_frame->wnd == this && t_frame->msg.message == message && t_frame->fromToolkit) {
        t_frame->defaulted = true;
        return 0;
    }
    if (!m_impl)
        return 0;
    switch (message) {
    case WM_CLOSE:
        DestroyWindow();
        return 0;
    case WM_SETTEXT:
        kvui::SetControlText(m_impl, reinterpret_cast<const char*>(lParam));
        return TRUE;
    case WM_GETTEXTLENGTH:
        return kvui::GetControlText(m_impl).GetLength();
    case WM_SETFONT:
        SetFont(reinterpret_cast<CFont*>(wParam), static_cast<BOOL>(lParam));
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(GetFont());
    case WM_SETREDRAW:
        SetRedraw(static_cast<BOOL>(wParam));
        return 0;
    default: {
        LRESULT result = 0;
        if (kvui::HandleControlMessage(m_impl, message, wParam, lParam, &result))
            return result;
        return 0;
    }
    }
}

LRESULT CWnd::Default()
{
    if (!t_frame || t_frame->wnd != this)
        return 0;
    return DefWindowProc(t_frame->msg.message, t_frame->msg.wParam, t_frame->msg.lParam);
}

const MSG* CWnd::GetCurrentMessage() const { return t_frame ? &t_frame->msg : nullptr; }

BOOL CWnd::PreTranslateMessage(MSG* /*msg*/) { return FALSE; }

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    if (message == WM_COMMAND) {
        if (!OnCommand(wParam, lParam))
            return FALSE;
        *result = 0;
        return TRUE;
    }
    if (message == WM_NOTIFY)
        return OnNotify(wParam, lParam, result);
    for (const AFX_MSGMAP* map = GetMessageMap(); map; map = map->base ? map->base() : nullptr)
        for (const AFX_MSGMAP_ENTRY* e = map->entries; e->call; ++e)
            if (e->message == message) {
                e->call(this, message, wParam, lParam, result);
                return TRUE;
            }
    if (message == WM_DRAWITEM && lParam) {
        CWnd* item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam)->hwndItem;
        if (::IsWindow(item) && item->OnChildNotify(message, wParam, lParam, result))
            return TRUE;
    }
    return FALSE;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    auto* control = reinterpret_cast<CWnd*>(lParam);
    if (control && control != this && ::IsWindow(control) && control->OnChildNotify(WM_COMMAND, wParam, lParam, nullptr))
        return TRUE;
    return OnCmdMsg(LOWORD(static_cast<DWORD>(wParam)), HIWORD(static_cast<DWORD>(wParam)));
}

BOOL CWnd::OnCmdMsg(UINT id, int code)
{
    for (const AFX_MSGMAP* map = GetMessageMap(); map; map = map->base ? map->base() : nullptr)
        for (const AFX_MSGMAP_ENTRY* e = map->entries; e->call; ++e)
            if (e->message == WM_COMMAND && e->code == static_cast<UINT>(code) && id >= e->idFirst && id <= e->idLast) {
                LRESULT ignored = 0;
                e->call(this, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), static_cast<WORD>(code)), 0, &ignored);
                return TRUE;
            }
    return FALSE;
}

BOOL CWnd::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    if (!header)
        return FALSE;
    if (header->hwndFrom && header->hwndFrom != this && ::IsWindow(header->hwndFrom) &&
        header->hwndFrom->OnChildNotify(WM_NOTIFY, wParam, lParam, result))
        return TRUE;
    const auto id = static_cast<UINT>(header->idFrom);
    for (const AFX_MSGMAP* map = GetMessageMap(); map; map = map->base ? map->base() : nullptr)
        for (const AFX_MSGMAP_ENTRY* e = map->entries; e->call; ++e)
            if (e->message == WM_NOTIFY && e->code == header->code && id >= e->idFirst && id <= e->idLast) {
                e->call(this, WM_NOTIFY, wParam, lParam, result);
                return TRUE;
            }
    return FALSE;
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    return ReflectChildNotify(message, wParam, lParam, result);
}

BOOL CWnd::ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    LRESULT local = 0;
    if (!result)
        result = &local;
    UINT code = 0;
    if (message == WM_COMMAND)
        code = HIWORD(static_cast<DWORD>(wParam));
    else if (message == WM_NOTIFY)
        code = reinterpret_cast<NMHDR*>(lParam)->code;
    for (const AFX_MSGMAP* map = GetMessageMap(); map; map = map->base ? map->base() : nullptr)
        for (const AFX_MSGMAP_ENTRY* e = map->entries; e->call; ++e)
            if (e->message == WM_REFLECT_BASE + message && e->code == code) {
                e->call(this, message, wParam, lParam, result);
                return TRUE;
            }
    return FALSE;
}

// ---------------------------------------------------------------------------
UINT_PTR CWnd::SetTimer(UINT_PTR id, UINT elapseMs, TIMERPROC /*proc*/)
{
    if (!m_impl)
        return 0;
    KillTimer(id);
    // Short ticks keep their millisecond; longer ones may move by up to 5 %
    // so the system can wake for several at once.
    const Qt::TimerType type = elapseMs < 20 ? Qt::PreciseTimer : Qt::CoarseTimer;
    const int timer = m_impl->startTimer(static_cast<int>(std::max(1u, elapseMs)), type);
    if (timer == 0)
        return 0;
    m_impl->timerByWindowId[id] = timer;
    m_impl->windowIdByTimer[timer] = id;
    return id == 0 ? 1 : id;
}

BOOL CWnd::KillTimer(UINT_PTR id)
{
    if (!m_impl)
        return FALSE;
    auto found = m_impl->timerByWindowId.find(id);
    if (found == m_impl->timerByWindowId.end())
        return FALSE;
    m_impl->killTimer(found->second);
    m_impl->windowIdByTimer.erase(found->second);
    m_impl->timerByWindowId.erase(found);
    return TRUE;
}

CWnd* CWnd::GetParent() const
{
    return m_impl ? CWndImpl::WndOf(m_impl->ParentWidget()) : nullptr;
}

CWnd* CWnd::SetParent(CWnd* parent)
{
    if (!m_impl || !m_impl->widget)
        return nullptr;
    CWnd* old = GetParent();
    QWidget* w = m_impl->widget;
    const bool visible = w->isVisible();
    w->setParent(parent && parent->m_impl ? parent->m_impl->ClientWidget() : nullptr,
                 (m_impl->style & WS_CHILD) && parent ? Qt::Widget : Qt::Window);
    if (visible)
        w->show();
    return old;
}

CWnd* CWnd::GetTopLevelParent() const
{
    if (!m_impl || !m_impl->widget)
        return nullptr;
    return CWndImpl::WndOf(m_impl->widget->window());
}

namespace {
CWnd* FindChildById(QWidget* parent, int id)
{
    for (QObject* child : parent->children()) {
        auto* w = qobject_cast<QWidget*>(child);
        if (!w)
            continue;
        if (CWndImpl* impl = CWndImpl::Of(w)) {
            if (static_cast<int>(impl->id) == id || (id == IDC_STATIC && impl->id == 0xFFFFu))
                return impl->wnd;
            continue;
        }
        if (CWnd* found = FindChildById(w, id))
            return found;
    }
    return nullptr;
}
}  // namespace

CWnd* CWnd::GetDlgItem(int id) const
{
    return m_impl && m_impl->widget ? FindChildById(m_impl->widget, id) : nullptr;
}

int CWnd::GetDlgCtrlID() const { return m_impl ? static_cast<int>(m_impl->id) : 0; }

int CWnd::SetDlgCtrlID(int id)
{
    if (!m_impl)
        return 0;
    const int old = static_cast<int>(m_impl->id);
    m_impl->id = static_cast<UINT>(id);
    return old;
}

CWnd* CWnd::GetWindow(UINT relation) const
{
    if (!m_impl || !m_impl->widget)
        return nullptr;
    if (relation == GW_CHILD) {
        for (QObject* child : m_impl->ClientWidget()->children())
            if (CWnd* w = CWndImpl::WndOf(qobject_cast<QWidget*>(child)))
                return w;
        return nullptr;
    }
    if (relation == GW_HWNDNEXT) {
        QWidget* parent = m_impl->widget->parentWidget();
        if (!parent)
            return nullptr;
        bool passed = false;
        for (QObject* child : parent->children()) {
            if (child == m_impl->widget) {
                passed = true;
                continue;
            }
            if (passed)
                if (CWnd* w = CWndImpl::WndOf(qobject_cast<QWidget*>(child)))
                    return w;
        }
    }
    return nullptr;
}

CWnd* CWnd::GetNextDlgGroupItem(CWnd* control, BOOL previous) const
{
    // The group runs from a WS_GROUP control up to the next one.
    std::vector<CWnd*> all;
    for (CWnd* w = GetWindow(GW_CHILD); w; w = w->GetWindow(GW_HWNDNEXT))
        all.push_back(w);
    auto at = std::find(all.begin(), all.end(), control);
    if (at == all.end())
        return nullptr;
    size_t start = static_cast<size_t>(at - all.begin());
    while (start > 0 && !(all[start]->GetStyle() & WS_GROUP))
        --start;
    size_t end = start + 1;
    while (end < all.size() && !(all[end]->GetStyle() & WS_GROUP))
        ++end;
    const size_t count = end - start;
    const size_t index = static_cast<size_t>(at - all.begin()) - start;
    const size_t next = previous ? (index + count - 1) % count : (index + 1) % count;
    return all[start + next];
}

BOOL CWnd::IsChild(const CWnd* wnd) const
{
    if (!m_impl || !wnd || !wnd->m_impl || !m_impl->widget || !wnd->m_impl->widget)
        return FALSE;
    return m_impl->widget->isAncestorOf(wnd->m_impl->widget) ? TRUE : FALSE;
}

void CWnd::SetWindowText(LPCSTR text)
{
    if (m_impl)
        AfxCallWndProc(this, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : ""));
}

void CWnd::GetWindowText(CString& text) const { text = m_impl ? kvui::GetControlText(m_impl) : CString(); }

int CWnd::GetWindowText(LPSTR buffer, int maxCount) const
{
    if (!buffer || maxCount <= 0)
        return 0;
    CString text;
    GetWindowText(text);
    const int n = std::min(text.GetLength(), maxCount - 1);
    std::memcpy(buffer, text.GetString(), static_cast<size_t>(n));
    buffer[n] = '\0';
    return n;
}

int CWnd::GetWindowTextLength() const { return m_impl ? kvui::GetControlText(m_impl).GetLength() : 0; }

void CWnd::SetDlgItemText(int id, LPCSTR text)
{
    if (CWnd* item = GetDlgItem(id))
        item->SetWindowText(text);
}

int CWnd::GetDlgItemText(int id, CString& text) const
{
    text.Empty();
    if (CWnd* item = GetDlgItem(id))
        item->GetWindowText(text);
    return text.GetLength();
}

void CWnd::SetDlgItemInt(int id, UINT value, BOOL isSigned)
{
    CString text;
    if (isSigned)
        text.Format("%d", static_cast<int>(value));
    else
        text.Format("%u", value);
    SetDlgItemText(id, text);
}

UINT CWnd::GetDlgItemInt(int id, BOOL* translated, BOOL isSigned) const
{
    CString text;
    GetDlgItemText(id, text);
    text.Trim();
    char* end = nullptr;
    const long long value = isSigned ? std::strtoll(text, &end, 10) : static_cast<long long>(std::strtoull(text, &end, 10));
    const bool ok = !text.IsEmpty() && end && *end == '\0' && (isSigned || text[0] != '-');
    if (translated)
        *translated = ok ? TRUE : FALSE;
    return ok ? static_cast<UINT>(value) : 0;
}

void CWnd::CheckDlgButton(int id, UINT check) { SendDlgItemMessage(id, BM_SETCHECK, check, 0); }

UINT CWnd::IsDlgButtonChecked(int id) const
{
    CWnd* item = GetDlgItem(id);
    return item ? static_cast<UINT>(item->SendMessage(BM_GETCHECK, 0, 0)) : 0;
}

void CWnd::CheckRadioButton(int firstId, int lastId, int checkId)
{
    for (int id = firstId; id <= lastId; ++id)
        CheckDlgButton(id, id == checkId ? BST_CHECKED : BST_UNCHECKED);
}

int CWnd::GetCheckedRadioButton(int firstId, int lastId) const
{
    for (int id = firstId; id <= lastId; ++id)
        if (IsDlgButtonChecked(id))
            return id;
    return 0;
}

BOOL CWnd::EnableWindow(BOOL enable)
{
    if (!m_impl || !m_impl->widget)
        return FALSE;
    const BOOL wasDisabled = m_impl->widget->isEnabled() ? FALSE : TRUE;
    m_impl->widget->setEnabled(enable != FALSE);
    if (enable) m_impl->style &= ~WS_DISABLED;
    else m_impl->style |= WS_DISABLED;
    return wasDisabled;
}

BOOL CWnd::IsWindowEnabled() const
{
    return m_impl && m_impl->widget && m_impl->widget->isEnabled() ? TRUE : FALSE;
}

BOOL CWnd::ShowWindow(int cmd)
{
    if (!m_impl || !m_impl->widget)
        return FALSE;
    QWidget* w = m_impl->widget;
    const BOOL wasVisible = w->isVisible() ? TRUE : FALSE;
    switch (cmd) {
    case SW_HIDE: w->hide(); break;
    case SW_SHOWMINIMIZED: case SW_MINIMIZE: w->showMinimized(); break;
    case SW_SHOWMAXIMIZED: w->showMaximized(); break;
    case SW_RESTORE: case SW_SHOWNORMAL: w->isWindow() ? w->showNormal() : w->show(); break;
    default: w->show(); break;
    }
    if (cmd == SW_HIDE) m_impl->style &= ~WS_VISIBLE;
    else m_impl->style |= WS_VISIBLE;
    return wasVisible;
}

BOOL CWnd::IsWindowVisible() const { return m_impl && m_impl->widget && m_impl->widget->isVisible() ? TRUE : FALSE; }
BOOL CWnd::IsIconic() const { return m_impl && m_impl->widget && m_impl->widget->isMinimized() ? TRUE : FALSE; }
BOOL CWnd::IsZoomed() const { return m_impl && m_impl->widget && m_impl->widget->isMaximized() ? TRUE : FALSE; }

DWORD CWnd::GetStyle() const
{
    if (!m_impl)
        return 0;
    DWORD style = m_impl->style & ~(WS_VISIBLE | WS_DISABLED);
    if (m_impl->widget && m_impl->widget->isVisible()) style |= WS_VISIBLE;
    if (m_impl->widget && !m_impl->widget->isEnabled()) style |= WS_DISABLED;
    return style;
}

DWORD CWnd::GetExStyle() const { return m_impl ? m_impl->exStyle : 0; }

BOOL CWnd::ModifyStyle(DWORD remove, DWORD add, UINT /*flags*/)
{
    if (!m_impl)
        return FALSE;
    const DWORD old = m_impl->style;
    m_impl->style = (old & ~remove) | add;
    LRESULT ignored = 0;
    kvui::HandleControlMessage(m_impl, WM_NULL, 0, 0, &ignored);  // lets a control follow its style
    return old != m_impl->style;
}

BOOL CWnd::ModifyStyleEx(DWORD remove, DWORD add, UINT /*flags*/)
{
    if (!m_impl)
        return FALSE;
    const DWORD old = m_impl->exStyle;
    m_impl->exStyle = (old & ~remove) | add;
    LRESULT ignored = 0;
    kvui::HandleControlMessage(m_impl, WM_NULL, 0, 0, &ignored);
    return old != m_impl->exStyle;
}

void CWnd::MoveWindow(int x, int y, int width, int height, BOOL repaint)
{
    if (!m_impl || !m_impl->widget)
        return;
    m_impl->widget->setGeometry(x, y, std::max(0, width), kvui::ClosedWindowHeight(m_impl, std::max(0, height)));
    // A hidden window hears of its new size only when shown: its client area follows now.
    kvui::LayOutMenuBar(m_impl);
    if (repaint)
        m_impl->widget->update();
}

void CWnd::MoveWindow(LPCRECT rect, BOOL repaint)
{
    if (rect)
        MoveWindow(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, repaint);
}

BOOL CWnd::SetWindowPos(const CWnd* insertAfter, int x, int y, int cx, int cy, UINT flags)
{
    if (!m_impl || !m_impl->widget)
        return FALSE;
    QWidget* w = m_impl->widget;
    if (!(flags & SWP_NOMOVE))
        w->move(x, y);
    if (!(flags & SWP_NOSIZE))
        w->resize(std::max(0, cx), kvui::ClosedWindowHeight(m_impl, std::max(0, cy)));
    kvui::LayOutMenuBar(m_impl);
    if (!(flags & SWP_NOZORDER) && insertAfter == nullptr)
        w->raise();
    if (flags & SWP_SHOWWINDOW)
        ShowWindow(SW_SHOW);
    if (flags & SWP_HIDEWINDOW)
        ShowWindow(SW_HIDE);
    return TRUE;
}

void CWnd::GetWindowRect(LPRECT rect) const
{
    if (!rect)
        return;
    *rect = RECT{0, 0, 0, 0};
    if (!m_impl || !m_impl->widget)
        return;
    QWidget* w = m_impl->widget;
    // A top-level window's rectangle is its client area: the toolkit's frame is
    // the desktop's, and MoveWindow places the same rectangle it reports.
    const QRect r(w->mapToGlobal(QPoint(0, 0)), w->size());
    *rect = RECT{r.x(), r.y(), r.x() + r.width(), r.y() + r.height()};
}

namespace {
// The toolkit shows a scroll bar only once its events have run; the rows a list already holds
// tell now whether it will, as the original's list did at once.
bool VerticalBarNeeded(QAbstractScrollArea* area, int clientHeight)
{
    QScrollBar* bar = area->verticalScrollBar();
    if (bar->isVisibleTo(area) || area->verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOn)
        return true;
    auto* tree = qobject_cast<QTreeView*>(area);
    if (!tree || area->verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOff || !tree->model())
        return false;
    const int rows = tree->model()->rowCount(tree->rootIndex());
    if (rows == 0)
        return false;
    const int header = tree->isHeaderHidden() ? 0 : tree->header()->sizeHint().height();
    return static_cast<long long>(rows) * tree->sizeHintForRow(0) > clientHeight - header;
}
}  // namespace

void CWnd::GetClientRect(LPRECT rect) const
{
    if (!rect)
        return;
    *rect = RECT{0, 0, 0, 0};
    if (!m_impl || !m_impl->widget)
        return;
    QWidget* w = m_impl->ClientWidget();
    QSize size = w->size();
    // The frame and the scroll bars are not the client's; a list's header is.
    if (auto* area = qobject_cast<QAbstractScrollArea*>(w)) {
        const QRect inside = area->contentsRect();
        size = inside.size();
        const bool horizontal = area->horizontalScrollBar()->isVisibleTo(area);
        if (horizontal)
            size.rheight() -= area->horizontalScrollBar()->sizeHint().height();
        if (VerticalBarNeeded(area, size.height()))
            size.rwidth() -= area->verticalScrollBar()->sizeHint().width();
    }
    *rect = RECT{0, 0, std::max(0, size.width()), std::max(0, size.height())};
}

void CWnd::ClientToScreen(LPPOINT point) const
{
    if (!point || !m_impl || !m_impl->widget)
        return;
    const QPoint p = m_impl->ClientWidget()->mapToGlobal(QPoint(point->x, point->y));
    *point = POINT{p.x(), p.y()};
}

void CWnd::ClientToScreen(LPRECT rect) const
{
    if (!rect)
        return;
    ClientToScreen(reinterpret_cast<LPPOINT>(&rect->left));
    ClientToScreen(reinterpret_cast<LPPOINT>(&rect->right));
}

void CWnd::ScreenToClient(LPPOINT point) const
{
    if (!point || !m_impl || !m_impl->widget)
        return;
    const QPoint p = m_impl->ClientWidget()->mapFromGlobal(QPoint(point->x, point->y));
    *point = POINT{p.x(), p.y()};
}

void CWnd::ScreenToClient(LPRECT rect) const
{
    if (!rect)
        return;
    ScreenToClient(reinterpret_cast<LPPOINT>(&rect->left));
    ScreenToClient(reinterpret_cast<LPPOINT>(&rect->right));
}

void CWnd::CenterWindow(CWnd* alternateOwner)
{
    if (!m_impl || !m_impl->widget)
        return;
    QWidget* w = m_impl->widget;
    CWnd* owner = alternateOwner ? alternateOwner : GetParent();
    QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    if (owner && owner->m_impl && owner->m_impl->widget) {
        QWidget* o = owner->m_impl->widget;
        area = QRect(o->mapToGlobal(QPoint(0, 0)), o->size());
    }
    QPoint topLeft = area.center() - QPoint(w->width() / 2, w->height() / 2);
    if (!w->isWindow())
        topLeft = w->parentWidget()->mapFromGlobal(topLeft);
    w->move(topLeft);
}

CWnd* CWnd::SetFocus()
{
    CWnd* old = GetFocus();
    if (m_impl && m_impl->widget) {
        QWidget* w = m_impl->widget;
        // The focus goes to the window at once, not when the desktop gets round to it.
        if (w->window()->isVisible() && QApplication::activeWindow() != w->window())
            QApplication::setActiveWindow(w->window());
        w->setFocus(Qt::OtherFocusReason);
    }
    return old;
}

CWnd* CWnd::GetFocus()
{
    for (QWidget* w = QApplication::focusWidget(); w; w = w->parentWidget())
        if (CWnd* wnd = CWndImpl::WndOf(w))
            return wnd;
    return nullptr;
}

CWnd* CWnd::SetCapture()
{
    CWnd* old = GetCapture();
    if (m_impl && m_impl->widget && m_impl->widget->isVisible())
        m_impl->widget->grabMouse();
    return old;
}

CWnd* CWnd::GetCapture() { return CWndImpl::WndOf(QWidget::mouseGrabber()); }

void CWnd::SetRedraw(BOOL redraw)
{
    if (!m_impl || !m_impl->widget)
        return;
    m_impl->redraw = redraw != FALSE;
    m_impl->widget->setUpdatesEnabled(redraw != FALSE);
}

void CWnd::Invalidate(BOOL /*erase*/)
{
    if (m_impl && m_impl->widget)
        m_impl->widget->update();
}

void CWnd::InvalidateRect(LPCRECT rect, BOOL erase)
{
    if (!rect) {
        Invalidate(erase);
        return;
    }
    if (m_impl && m_impl->widget)
        m_impl->widget->update(QRect(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top));
}

void CWnd::UpdateWindow()
{
    if (m_impl && m_impl->widget && m_impl->widget->isVisible())
        m_impl->widget->repaint();
}

void CWnd::RedrawWindow() { UpdateWindow(); }

BOOL CWnd::SetForegroundWindow()
{
    if (!m_impl || !m_impl->widget)
        return FALSE;
    m_impl->widget->window()->raise();
    m_impl->widget->window()->activateWindow();
    return TRUE;
}

void CWnd::BringWindowToTop()
{
    if (m_impl && m_impl->widget)
        m_impl->widget->raise();
}

void CWnd::SetFont(CFont* font, BOOL redraw)
{
    if (!m_impl || !m_impl->widget)
        return;
    const CString text = kvui::GetControlText(m_impl);
    m_impl->font = font;
    m_impl->widget->setFont(kvui::FontFor(m_impl));
    if (m_impl->kind == ControlKind::Button || m_impl->kind == ControlKind::Static)
        kvui::SetControlText(m_impl, text);  // a symbol face shows the same letters differently
    if (redraw)
        m_impl->widget->update();
}

CFont* CWnd::GetFont() const { return m_impl ? m_impl->font : nullptr; }

CDC* CWnd::GetDC() { return m_impl ? new CClientDC(this) : nullptr; }

int CWnd::ReleaseDC(CDC* dc)
{
    delete dc;
    return 1;
}

BOOL CWnd::PrintWindow(CDC* dc, UINT flags) const
{
    if (!m_impl || !m_impl->widget || !dc)
        return FALSE;
    QPainter* painter = CDCImpl::PainterOf(dc);
    if (!painter)
        return FALSE;
    // The toolkit's windows have no frame of their own to leave out; a menu bar is left out.
    QWidget* w = (flags & PW_CLIENTONLY) ? m_impl->ClientWidget() : m_impl->widget.data();
    w->ensurePolished();
    w->render(painter, QPoint(0, 0), QRegion(), QWidget::DrawWindowBackground | QWidget::DrawChildren);
    // What the window's controls have dropped over it (an open list, a tree drop-down, a popup list:
    // owned windows without a caption) is part of what the user sees there.
    const QPoint origin = w->mapToGlobal(QPoint(0, 0));
    for (QWidget* top : QApplication::topLevelWidgets()) {
        const Qt::WindowType type = top->windowType();
        QWidget* owner = top->parentWidget();
        const bool dropped = type == Qt::Popup || type == Qt::Tool || (top->windowFlags() & Qt::FramelessWindowHint);
        if (top == w || !top->isVisible() || !dropped || !owner ||
            (owner != w && !w->isAncestorOf(owner)))
            continue;
        top->render(painter, top->mapToGlobal(QPoint(0, 0)) - origin, QRegion(),
                    QWidget::DrawWindowBackground | QWidget::DrawChildren);
    }
    return TRUE;
}

CMenu* CWnd::GetMenu() const { return m_impl ? m_impl->menu : nullptr; }

void CWnd::MapDialogRect(LPRECT rect) const
{
    if (!rect)
        return;
    const CSize units = kvui::DialogBaseUnits(m_impl ? kvui::FontFor(m_impl) : QFont());
    rect->left = MulDiv(rect->left, units.cx, 4);
    rect->right = MulDiv(rect->right, units.cx, 4);
    rect->top = MulDiv(rect->top, units.cy, 8);
    rect->bottom = MulDiv(rect->bottom, units.cy, 8);
}

BOOL CWnd::GetWindowPlacement(WINDOWPLACEMENT* placement) const
{
    if (!placement || !m_impl || !m_impl->widget)
        return FALSE;
    QWidget* w = m_impl->widget;
    *placement = WINDOWPLACEMENT{};
    placement->length = sizeof(WINDOWPLACEMENT);
    placement->showCmd = w->isMinimized() ? SW_SHOWMINIMIZED : w->isMaximized() ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL;
    const QRect normal = w->isWindow() && (w->isMaximized() || w->isMinimized()) && w->normalGeometry().isValid()
                             ? w->normalGeometry()
                             : w->geometry();
    placement->rcNormalPosition = RECT{normal.x(), normal.y(), normal.x() + normal.width(), normal.y() + normal.height()};
    placement->ptMinPosition = POINT{-1, -1};
    placement->ptMaxPosition = POINT{-1, -1};
    return TRUE;
}

BOOL CWnd::SetWindowPlacement(const WINDOWPLACEMENT* placement)
{
    if (!placement || !m_impl || !m_impl->widget)
        return FALSE;
    const RECT& r = placement->rcNormalPosition;
    m_impl->widget->setGeometry(r.left, r.top, std::max(0, static_cast<int>(r.right - r.left)),
                                std::max(0, static_cast<int>(r.bottom - r.top)));
    switch (placement->showCmd) {
    case SW_SHOWMAXIMIZED: m_impl->widget->showMaximized(); break;
    case SW_SHOWMINIMIZED: case SW_MINIMIZE: m_impl->widget->showMinimized(); break;
    case SW_HIDE: break;
    default:
        if (m_impl->widget->isVisible() && m_impl->widget->isWindow())
            m_impl->widget->showNormal();
        break;
    }
    return TRUE;
}

CString CWnd::GetRuntimeClassName() const
{
    const char* mangled = typeid(*this).name();
    int status = 0;
    char* readable = abi::__cxa_demangle(mangled, nullptr, nullptr, &status);
    CString name = status == 0 && readable ? readable : mangled;
    std::free(readable);
    const int scope = name.ReverseFind(':');
    return scope >= 0 ? name.Mid(scope + 1) : name;
}
