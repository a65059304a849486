#include "TerminalResponseEdit.h"

#include <cctype>

BEGIN_MESSAGE_MAP(CTerminalResponseEdit, CRichEditCtrl)
    ON_WM_CHAR()
END_MESSAGE_MAP()

void CTerminalResponseEdit::OnChar(UINT ch, UINT, UINT)
{
    if (ch > 255 || !std::isprint(static_cast<int>(ch)))
        return;
    // Queued, not just remembered: keys typed faster than the posts are handled keep their order.
    m_typed.push_back(static_cast<char>(ch));
    if (CWnd* parent = GetParent())
        parent->PostMessage(WM_COMMAND, kTerminalTypedCharCommand, 0);
}

char CTerminalResponseEdit::TakeTypedChar()
{
    if (m_typed.empty())
        return 0;
    const char ch = m_typed.front();
    m_typed.pop_front();
    return ch;
}
