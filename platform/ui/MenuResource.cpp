#include "MenuResource.h"

#include "ResourceText.h"

CMenu* CMenuResource::NewPopup()
{
    m_menus.push_back(std::make_unique<CMenu>());
    m_menus.back()->CreatePopupMenu();
    return m_menus.back().get();
}

BOOL CMenuResource::Load(UINT id)
{
    return AfxFindTextResource("menu", "menu", id, Parser(id), m_error) ? TRUE : FALSE;
}

BOOL CMenuResource::LoadFromText(const char* text, UINT id)
{
    return AfxParseTextResource(text, "menu", id, Parser(id), m_error) ? TRUE : FALSE;
}

ResourceParser CMenuResource::Parser(UINT id)
{
    return [this, id](const char* text, bool& found, CString& error) {
        const bool ok = Parse(text, id, found) != FALSE;
        error = m_error;
        return ok;
    };
}

BOOL CMenuResource::Parse(const char* text, UINT id, bool& found)
{
    std::vector<ResourceLine> lines;
    CString error;
    if (!SplitResourceText(text, lines, error)) {
        m_error = error;
        return FALSE;
    }
    std::vector<std::unique_ptr<CMenu>> menus;
    std::vector<CMenu*> stack;  // empty: between menus
    bool wanted = false;
    auto fail = [this](const ResourceLine& line, const char* why) {
        m_error.Format("line %d: %s", line.number, why);
        return FALSE;
    };
    for (const ResourceLine& line : lines) {
        const CString& word = line.words[0];
        if (stack.empty()) {
            UINT menuId = 0;
            if (word != "MENU" || line.words.size() != 2 || !ParseResourceId(line.words[1], menuId))
                return fail(line, "expected MENU and an id");
            wanted = menuId == id && !found;
            menus.clear();
            menus.push_back(std::make_unique<CMenu>());
            menus.back()->CreatePopupMenu();
            stack.push_back(menus.back().get());
        } else if (word == "END") {
            if (line.words.size() != 1)
                return fail(line, "END takes nothing after it");
            stack.pop_back();
            if (stack.empty() && wanted) {
                m_menus = std::move(menus);
                m_id = id;
                found = true;
            }
        } else if (word == "POPUP") {
            if (line.words.size() != 2)
                return fail(line, "POPUP takes one quoted text");
            menus.push_back(std::make_unique<CMenu>());
            menus.back()->CreatePopupMenu();
            stack.back()->AppendMenu(MF_POPUP, reinterpret_cast<UINT_PTR>(menus.back().get()), line.words[1]);
            stack.push_back(menus.back().get());
        } else if (word == "MENUITEM") {
            UINT itemId = 0;
            if (line.words.size() == 2 && line.words[1] == "SEPARATOR")
                stack.back()->AppendMenu(MF_SEPARATOR);
            else if (line.words.size() == 3 && ParseResourceId(line.words[1], itemId) && itemId != 0)
                stack.back()->AppendMenu(MF_STRING, itemId, line.words[2]);
            else
                return fail(line, "MENUITEM takes SEPARATOR, or an id from 1 to 65535 and a quoted text");
        } else {
            return fail(line, "unknown word");
        }
    }
    if (!stack.empty()) {
        m_error = "a MENU or POPUP is not closed with END";
        return FALSE;
    }
    return TRUE;
}

bool AfxFindMenuItem(CMenu* menu, UINT id, CMenu** owner, int* position)
{
    if (!menu)
        return false;
    const auto& items = menu->GetItems();
    for (size_t i = 0; i < items.size(); ++i) {
        if ((items[i].flags & MF_POPUP) && items[i].subMenu) {
            if (AfxFindMenuItem(items[i].subMenu, id, owner, position))
                return true;
        } else if (!(items[i].flags & MF_SEPARATOR) && items[i].id == id) {
            if (owner)
                *owner = menu;
            if (position)
                *position = static_cast<int>(i);
            return true;
        }
    }
    return false;
}
