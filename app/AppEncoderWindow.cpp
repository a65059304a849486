#include "AppEncoderWindow.h"

#include "resources/ids/EditAbsEncDbIds.h"

CAppEncoderWindow::~CAppEncoderWindow()
{
    if (m_window.GetSafeHwnd())
        m_window.DestroyWindow();
}

void CAppEncoderWindow::Toggle(CWnd* parent)
{
    if (!m_window.GetSafeHwnd() && !m_window.Create(IDD_EDIT_ABS_ENC_DB, parent))
        return;
    m_window.ShowWindow(m_window.IsWindowVisible() ? SW_HIDE : SW_SHOW);
}

bool CAppEncoderWindow::IsVisible() const { return m_window.GetSafeHwnd() && m_window.IsWindowVisible(); }

bool CAppEncoderWindow::CanClose() { return m_window.CanClose(); }
