// CDlgControlGroupList: groups of a dialog's controls, by group number, that
// are enabled, moved, hidden and shown together; the shown groups can be
// stacked one under another.
#pragma once

#include "foundation/MapIntToIntList.h"
#include "platform/ui/Wnd.h"

// The groups are the map's lists of control ids, keyed by group number.
class CDlgControlGroupList : public CMapIntToIntList {
public:
    explicit CDlgControlGroupList(CWnd* dialog = nullptr) : m_dialog(dialog) {}

    void SetDialog(CWnd* dialog) { m_dialog = dialog; }

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
    CList<int, int> m_shown;
};
