// CToolTipCtrl: the tips a window shows when the mouse rests on one of its
// controls. Each tool is a control with its own text.
#pragma once

#include <utility>
#include <vector>

#include "Wnd.h"

class CToolTipCtrl {
public:
    BOOL Create(CWnd* parent, DWORD style = 0);
    BOOL AddTool(CWnd* tool, LPCSTR text);
    void UpdateTipText(LPCSTR text, CWnd* tool);
    void DelTool(CWnd* tool);
    // The tool's text (empty when it is no tool of this control).
    void GetText(CString& text, CWnd* tool) const;
    void Activate(BOOL active);
    BOOL IsActive() const { return m_active; }

private:
    void Apply(CWnd* tool, const CString& text) const;

    CWnd* m_parent = nullptr;
    BOOL m_active = TRUE;
    std::vector<std::pair<CWnd*, CString>> m_tools;
};
