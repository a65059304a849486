#include "ToolTipCtrl.h"

#include <algorithm>

#include "WndImpl.h"

namespace {
QWidget* WidgetOf(CWnd* wnd) { return wnd && wnd->GetImpl() ? wnd->GetImpl()->widget.data() : nullptr; }
}  // namespace

BOOL CToolTipCtrl::Create(CWnd* parent, DWORD)
{
    m_parent = parent;
    return parent != nullptr;
}

BOOL CToolTipCtrl::AddTool(CWnd* tool, LPCSTR text)
{
    if (!m_parent || !WidgetOf(tool))
        return FALSE;
    DelTool(tool);
    m_tools.emplace_back(tool, text ? text : "");
    Apply(tool, m_tools.back().second);
    return TRUE;
}

void CToolTipCtrl::UpdateTipText(LPCSTR text, CWnd* tool)
{
    for (auto& [known, tip] : m_tools)
        if (known == tool) {
            tip = text ? text : "";
            Apply(tool, tip);
        }
}

void CToolTipCtrl::DelTool(CWnd* tool)
{
    std::erase_if(m_tools, [tool](const auto& entry) { return entry.first == tool; });
    Apply(tool, "");
}

void CToolTipCtrl::GetText(CString& text, CWnd* tool) const
{
    text.Empty();
    for (const auto& [known, tip] : m_tools)
        if (known == tool)
            text = tip;
}

void CToolTipCtrl::Activate(BOOL active)
{
    m_active = active;
    for (const auto& [tool, tip] : m_tools)
        Apply(tool, tip);
}

void CToolTipCtrl::Apply(CWnd* tool, const CString& text) const
{
    if (QWidget* widget = WidgetOf(tool))
        widget->setToolTip(m_active ? QString::fromUtf8(text.GetString()) : QString());
}
