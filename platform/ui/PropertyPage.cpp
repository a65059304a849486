#include "PropertyPage.h"

CPropertyPage::CPropertyPage(CDialog* window, const DialogTemplate& dialog, const char* title, DWORD flags)
    : m_window(window), m_template(dialog), m_title(title ? title : ""), m_flags(flags)
{
    // A page is a borderless child placed by its sheet.
    m_template.style = (m_template.style & ~(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_VISIBLE |
                                             DS_MODALFRAME | DS_CENTER)) |
                       WS_CHILD;
    m_template.x = 0;
    m_template.y = 0;
}

CString CPropertyPage::GetTitle() const
{
    if (m_flags & PSP_USETITLE)
        return m_title;
    return m_template.caption;
}

BOOL CPropertyPage::CreatePageWindow(CWnd* frame)
{
    if (!m_window || !frame)
        return FALSE;
    if (m_window->GetSafeHwnd())
        return TRUE;
    if (!m_window->CreateIndirect(m_template, frame))
        return FALSE;
    m_window->ShowWindow(SW_HIDE);
    return TRUE;
}
