// CMenuResource: a menu bar read from a menu resource (resources/*.menu):
//
//   MENU 367
//   POPUP "&File"
//       MENUITEM 32771 "&Open ..."
//       MENUITEM SEPARATOR
//       POPUP "&Recent Files"
//       END
//   END
//   END
//
// It owns the bar and every popup in it; items that point at its popups stay
// valid for its life.
#pragma once

#include <memory>
#include <vector>

#include "Menu.h"
#include "ResourceText.h"

class CMenuResource {
public:
    CMenuResource() = default;
    CMenuResource(const CMenuResource&) = delete;
    CMenuResource& operator=(const CMenuResource&) = delete;

    // From the resources folder; FALSE (and GetError) when the id is missing or its text is bad.
    BOOL Load(UINT id);
    // From a text holding one or more menus.
    BOOL LoadFromText(const char* text, UINT id);
    CMenu* GetMenu() const { return m_menus.empty() ? nullptr : m_menus.front().get(); }
    UINT GetId() const { return m_id; }
    CString GetError() const { return m_error; }
    // A new empty popup owned by this resource, for items added at run time.
    CMenu* NewPopup();

private:
    BOOL Parse(const char* text, UINT id, bool& found);
    ResourceParser Parser(UINT id);
    UINT m_id = 0;
    CString m_error;
    std::vector<std::unique_ptr<CMenu>> m_menus;
};

// Finds the item with a command id anywhere in a menu tree: its menu and position.
bool AfxFindMenuItem(CMenu* menu, UINT id, CMenu** owner, int* position);
