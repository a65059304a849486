#include "AppEncoderWindow.h"

#include "resources/ids/EditAbsEncDbIds.h"

CAppEncoderWindow::CAppEncoderWindow(CQvxDatabase& database, CQvxCloudDatabaseInterface& cloud)
    : m_database(database), m_cloud(cloud)
{
}

CAppEncoderWindow::~CAppEncoderWindow()
{
    if (m_window.GetSafeHwnd())
        m_window.DestroyWindow();
    if (Get() == this)
        Install(nullptr);
}

void CAppEncoderWindow::Toggle(CWnd* parent)
{
    Install(this);
    if (!m_window.GetSafeHwnd() && !m_window.Create(IDD_EDIT_ABS_ENC_DB, parent))
        return;
    m_window.ShowWindow(m_window.IsWindowVisible() ? SW_HIDE : SW_SHOW);
}

bool CAppEncoderWindow::IsVisible() const { return m_window.GetSafeHwnd() && m_window.IsWindowVisible(); }

bool CAppEncoderWindow::CanClose() { return m_window.CanClose(); }
