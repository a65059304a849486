#include "ShowLogDlg.h"

#include <cstdio>

#include "app/AppPaths.h"
#include "foundation/SystemHelpers.h"
#include "platform/ui/FileDialog.h"
#include "platform/ui/HelpContext.h"
#include "platform/ui/MsgBox.h"
#include "resources/ids/ShowLogIds.h"

BEGIN_MESSAGE_MAP(CShowLogDlg, CDialog)
    ON_BN_CLICKED(IDC_SHOW_LOG_SAVE_FILE, &CShowLogDlg::OnSaveToFile)
    ON_BN_CLICKED(IDC_SHOW_LOG_SAVE_CLIPBOARD, &CShowLogDlg::OnSaveToClipboard)
    ON_WM_SIZE()
END_MESSAGE_MAP()

namespace {
constexpr int kMargin = 5;
}  // namespace

CShowLogDlg::CShowLogDlg(CWnd* parent) : CDialog(IDD_SHOW_LOG, parent) {}

void CShowLogDlg::ShowLog(const char* title, const char* text)
{
    m_title = title;
    m_text = text;
    DoModal();
}

BOOL CShowLogDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_view.SubclassDlgItem(IDC_SHOW_LOG_VIEW, this);
    m_saveFile.SubclassDlgItem(IDC_SHOW_LOG_SAVE_FILE, this);
    m_saveClipboard.SubclassDlgItem(IDC_SHOW_LOG_SAVE_CLIPBOARD, this);
    m_close.SubclassDlgItem(IDOK, this);
    SetWindowText(m_title);
    m_view.SetWindowText(m_text);
    m_view.SetReadOnly(TRUE);
    Arrange();
    return TRUE;
}

BOOL CShowLogDlg::WriteLog(const CString& text, const CString& path)
{
    FILE* file = std::fopen(path, "wb");
    if (!file)
        return FALSE;
    // Text-mode lines: each line end becomes one CR LF, also where the log has CR LF already.
    CString lines = text;
    lines.Replace("\r\n", "\n");
    lines.Replace("\n", "\r\n");
    const size_t length = static_cast<size_t>(lines.GetLength());
    const bool written = std::fwrite(lines.GetString(), 1, length, file) == length;
    const bool closed = std::fclose(file) == 0;
    return written && closed;
}

void CShowLogDlg::OnSaveToFile()
{
    CString documents, folder;
    GetDocumentsFolder(documents);
    MakeProductFolder(folder, documents, TRUE);
    CString chosen;
    {
        CHelpContextScope help(kHelpId);
        CFileDialog dialog(FALSE, "txt", folder + "ErrorLog.txt", OFN_OVERWRITEPROMPT, "Text files (*.txt)|*.txt||", this);
        dialog.m_ofn.lpstrTitle = "Save Log";
        if (dialog.DoModal() != IDOK)
            return;
        chosen = dialog.GetPathName();
    }
    if (WriteLog(m_text, chosen))
        AfxMessageBox("Log successfully saved.", MB_OK, kHelpId);
    else
        AfxMessageBox("ERROR: could not save log to file.", MB_OK | MB_ICONERROR, kHelpId);
}

void CShowLogDlg::OnSaveToClipboard()
{
    m_view.SetSel(0, -1);
    m_view.Copy();
    m_view.SetSel(0, 0);
    AfxMessageBox("Log saved to clipboard.", MB_OK, kHelpId);
}

void CShowLogDlg::OnSize(UINT type, int cx, int cy)
{
    CDialog::OnSize(type, cx, cy);
    Arrange();
}

void CShowLogDlg::Arrange()
{
    if (!m_view.GetSafeHwnd() || !m_close.GetSafeHwnd())
        return;
    CRect client;
    GetClientRect(&client);
    CRect view, file, clip, close;
    m_view.GetWindowRect(&view);
    ScreenToClient(&view);
    m_saveFile.GetWindowRect(&file);
    ScreenToClient(&file);
    m_saveClipboard.GetWindowRect(&clip);
    ScreenToClient(&clip);
    m_close.GetWindowRect(&close);
    ScreenToClient(&close);
    const int top = client.bottom - kMargin - close.Height();
    m_saveFile.MoveWindow(file.left, top, file.Width(), file.Height());
    m_saveClipboard.MoveWindow(clip.left, top, clip.Width(), clip.Height());
    m_close.MoveWindow(client.right - kMargin - close.Width(), top, close.Width(), close.Height());
    m_view.MoveWindow(view.left, view.top, client.right - view.left, std::max(10, top - kMargin - view.top));
}
