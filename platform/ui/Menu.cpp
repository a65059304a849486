#include "Menu.h"

#include <QMenu>
#include <deque>
#include <mutex>

#include "MsgBox.h"
#include "WndImpl.h"

namespace {
std::mutex g_choiceMutex;
std::deque<UINT> g_choices;

void Fill(QMenu* menu, const CMenu& source, UINT* chosen)
{
    for (const CMenu::Item& item : source.GetItems()) {
        if (item.flags & MF_SEPARATOR) {
            menu->addSeparator();
        } else if ((item.flags & MF_POPUP) && item.subMenu) {
            Fill(menu->addMenu(kvui::ToQ(item.text)), *item.subMenu, chosen);
        } else {
            QAction* action = menu->addAction(kvui::ToQ(item.text));
            action->setEnabled(!(item.flags & (MF_GRAYED | MF_DISABLED)));
            action->setCheckable(item.flags & MF_CHECKED);
            action->setChecked(item.flags & MF_CHECKED);
            const UINT id = item.id;
            QObject::connect(action, &QAction::triggered, menu, [chosen, id]() { *chosen = id; });
        }
    }
}
}  // namespace

namespace kvtest {
void QueuePopupMenuChoice(UINT id)
{
    std::lock_guard<std::mutex> guard(g_choiceMutex);
    g_choices.push_back(id);
}
}  // namespace kvtest

CMenu::~CMenu() = default;

BOOL CMenu::CreatePopupMenu()
{
    m_items.clear();
    m_created = true;
    return TRUE;
}

BOOL CMenu::DestroyMenu()
{
    const BOOL was = m_created;
    m_items.clear();
    m_created = false;
    return was;
}

BOOL CMenu::AppendMenu(UINT flags, UINT_PTR idOrSubMenu, LPCSTR text)
{
    return InsertMenu(static_cast<UINT>(-1), flags | MF_BYPOSITION, idOrSubMenu, text);
}

BOOL CMenu::InsertMenu(UINT position, UINT flags, UINT_PTR idOrSubMenu, LPCSTR text)
{
    if (!m_created)
        return FALSE;
    Item item{(flags & MF_POPUP) ? 0u : static_cast<UINT>(idOrSubMenu), flags & ~MF_BYPOSITION, CString(text),
              (flags & MF_POPUP) ? reinterpret_cast<CMenu*>(idOrSubMenu) : nullptr};
    int index = (flags & MF_BYPOSITION) ? static_cast<int>(position) : IndexOf(position, MF_BYCOMMAND);
    if (index < 0 || index > static_cast<int>(m_items.size()))
        index = static_cast<int>(m_items.size());
    m_items.insert(m_items.begin() + index, item);
    return TRUE;
}

BOOL CMenu::DeleteMenu(UINT position, UINT flags)
{
    const int index = IndexOf(position, flags);
    if (index < 0)
        return FALSE;
    m_items.erase(m_items.begin() + index);
    return TRUE;
}

int CMenu::IndexOf(UINT item, UINT flags) const
{
    if (flags & MF_BYPOSITION)
        return item < m_items.size() ? static_cast<int>(item) : -1;
    for (size_t i = 0; i < m_items.size(); ++i)
        if (!(m_items[i].flags & (MF_POPUP | MF_SEPARATOR)) && m_items[i].id == item)
            return static_cast<int>(i);
    return -1;
}

CMenu::Item* CMenu::FindItem(UINT item, UINT flags)
{
    const int index = IndexOf(item, flags);
    if (index >= 0)
        return &m_items[static_cast<size_t>(index)];
    // By command, as the system does, the items of the popups count too.
    if (flags & MF_BYPOSITION)
        return nullptr;
    for (Item& entry : m_items)
        if ((entry.flags & MF_POPUP) && entry.subMenu)
            if (Item* found = entry.subMenu->FindItem(item, flags))
                return found;
    return nullptr;
}

UINT CMenu::CheckMenuItem(UINT item, UINT check)
{
    Item* entry = FindItem(item, check);
    if (!entry)
        return static_cast<UINT>(-1);
    const UINT old = entry->flags & MF_CHECKED;
    entry->flags = (entry->flags & ~MF_CHECKED) | (check & MF_CHECKED);
    return old;
}

UINT CMenu::EnableMenuItem(UINT item, UINT enable)
{
    Item* entry = FindItem(item, enable);
    if (!entry)
        return static_cast<UINT>(-1);
    const UINT old = entry->flags & (MF_GRAYED | MF_DISABLED);
    entry->flags = (entry->flags & ~(MF_GRAYED | MF_DISABLED)) | (enable & (MF_GRAYED | MF_DISABLED));
    return old;
}

int CMenu::GetMenuItemCount() const { return m_created ? static_cast<int>(m_items.size()) : -1; }

UINT CMenu::GetMenuItemID(int position) const
{
    if (position < 0 || position >= static_cast<int>(m_items.size()))
        return static_cast<UINT>(-1);
    const Item& item = m_items[static_cast<size_t>(position)];
    return item.flags & MF_POPUP ? static_cast<UINT>(-1) : item.flags & MF_SEPARATOR ? 0 : item.id;
}

int CMenu::GetMenuString(UINT item, CString& text, UINT flags) const
{
    const int index = IndexOf(item, flags);
    text = index < 0 ? CString() : m_items[static_cast<size_t>(index)].text;
    return text.GetLength();
}

UINT CMenu::GetMenuState(UINT item, UINT flags) const
{
    const Item* entry = const_cast<CMenu*>(this)->FindItem(item, flags);
    return entry ? entry->flags : static_cast<UINT>(-1);
}

CMenu* CMenu::GetSubMenu(int position) const
{
    if (position < 0 || position >= static_cast<int>(m_items.size()))
        return nullptr;
    return m_items[static_cast<size_t>(position)].subMenu;
}

BOOL CMenu::TrackPopupMenu(UINT flags, int x, int y, CWnd* wnd, LPCRECT /*rect*/)
{
    if (!m_created)
        return FALSE;
    UINT chosen = 0;
    bool scripted = AfxIsScriptedMode();
    {
        std::lock_guard<std::mutex> guard(g_choiceMutex);
        if (!g_choices.empty()) {
            chosen = g_choices.front();
            g_choices.pop_front();
            scripted = true;
        }
    }
    if (!scripted) {
        QMenu menu;
        Fill(&menu, *this, &chosen);
        menu.exec(QPoint(x, y));
    }
    if (flags & TPM_RETURNCMD)
        return static_cast<BOOL>(chosen);
    if (chosen && wnd && !(flags & TPM_NONOTIFY))
        wnd->PostMessage(WM_COMMAND, MAKEWPARAM(static_cast<WORD>(chosen), 0), 0);
    return chosen ? TRUE : FALSE;
}
