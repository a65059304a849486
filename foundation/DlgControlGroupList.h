// CDlgControlGroupList: groups of a dialog's controls, by group number, that
// are enabled, moved, hidden and shown together; the shown groups can be
// stacked one under another.
#pragma once

#include <map>
#include <memory>

#include "platform/core/List.h"
#include "platform/ui/Wnd.h"

class CDlgControlGroupList {
public:
    explicit CDlgControlGroupList(CWnd* dialog = nullptr) : m_dialog(dialog) {}
    virtual ~CDlgControlGroupList();

    void SetDialog(CWnd* dialog) { m_dialog = dialog; }
    // Group lists, keyed by group number (a map from int to a list of control ids).
    void AddValue(int group, int controlId);
    CList<int, int>* GetList(int group) const;
    void DeleteAllLists();

    // The groups ShowGroupsStacked shows, in order.
    void AddShownGroup(int group) { m_shown.AddTail(group); }
    void ClearShownGroups() { m_shown.RemoveAll(); }

    BOOL EnableGroup(int group, BOOL enable);
    // Puts the group's first control's top-left corner at (x, y); the others keep their offsets.
    BOOL MoveGroup(int group, int x, int y);
    // The union of the group's controls, in the dialog's client coordinates.
    BOOL GetGroupRect(int group, CRect& rect) const;
    BOOL IsControlInShownGroup(int controlId) const;
    void HideAllGroups();
    void ShowGroupsStacked(int x, int y);

private:
    BOOL ControlRect(int controlId, CRect& rect) const;
    CWnd* m_dialog;
    std::map<int, std::unique_ptr<CList<int, int>>> m_groups;
    CList<int, int> m_shown;
};
