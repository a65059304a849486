// CComboTreeCtrl: the popup tree of a tree combo. A click on a leaf or Enter
// on a leaf closes it with a choice, Esc or losing the focus without one.
#pragma once

#include "platform/ui/TreeCtrl.h"

class CTreeComboBox;

// Sent to the tree combo: close the drop-down (wParam TRUE when a choice was made).
constexpr UINT WM_TREECOMBO_CLOSE = WM_USER + 65;
// Sent to the tree combo: the tree's selection moved.
constexpr UINT WM_TREECOMBO_SELMOVED = WM_USER + 66;

class CComboTreeCtrl : public CTreeCtrl {
public:
    void SetCombo(CTreeComboBox* combo) { m_combo = combo; }
    CTreeComboBox* GetCombo() const { return m_combo; }

    virtual int UncheckChildren(HTREEITEM item, BOOL recursive);
    virtual void GetItemPath(HTREEITEM item, CString& path, BOOL withRoot);
    virtual void PlaceDropDown(int left, int top, int right, int bottom);

protected:
    void OnLButtonDown(UINT flags, CPoint point);
    void OnKeyDown(UINT key, UINT repeat, UINT flags);
    void OnKillFocus(CWnd* newWindow);
    void CloseCombo(BOOL choice);
    DECLARE_MESSAGE_MAP()

private:
    CTreeComboBox* m_combo = nullptr;
};
