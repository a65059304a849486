// CTreeComboBox: a combo box whose drop-down is a tree of path-like choices.
// It lives for one choice: dropped down, closed by a choice, Esc or focus
// loss, then closed for good.
#pragma once

#include "ComboTreeCtrlExt.h"
#include "platform/ui/ComboBox.h"

class CTreeComboBox : public CComboBox {
public:
    CTreeComboBox();
    ~CTreeComboBox() override;

    // Adds the path's parts below `parent` (sharing existing ones) and returns the leaf.
    HTREEITEM AddItem(const char* path, char separator = ':', HTREEITEM parent = TVI_ROOT);
    void ShowDropDown();
    void SetText(const char* text);
    CComboTreeCtrlExt& GetTree() { return m_tree; }
    BOOL IsDropped() const { return m_dropped; }

    int m_dropWidth = 100;
    int m_dropHeight = 150;

protected:
    int OnCreate(LPCREATESTRUCT cs);
    void OnDestroy();
    void OnLButtonDown(UINT flags, CPoint point);
    void OnLButtonDblClk(UINT flags, CPoint point) { OnLButtonDown(flags, point); }
    void OnKeyDown(UINT key, UINT repeat, UINT flags);
    LRESULT OnCloseDropDown(WPARAM choice, LPARAM);
    DECLARE_MESSAGE_MAP()

    BOOL m_dropped = FALSE;
    CComboTreeCtrlExt m_tree;
};
