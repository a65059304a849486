#include "QvxEditorFrame.h"

#include <cstring>
#include <vector>

#include "QvxEditorFrameList.h"
#include "app/AppPaths.h"
#include "app/KorvaneApp.h"
#include "app/MainFrame.h"
#include "foundation/SystemHelpers.h"
#include "platform/core/File.h"
#include "platform/ui/FileDialog.h"
#include "platform/ui/HelpContext.h"
#include "platform/ui/MsgBox.h"
#include "platform/ui/ToolBarResource.h"

namespace {
constexpr UINT kToolBarTimer = 1;
constexpr int kDownloadHelpId = -1758;
constexpr int kReportHelpId = -1759;
constexpr const char* kSaveFilter = "Text Files (*.txt)|*.txt|Backup Files (*.bk)|*.bk|All Files (*.*)|*.*||";

int TypeOfExtension(const CString& path)
{
    const int slash = path.ReverseFind('/');
    const int dot = path.ReverseFind('.');
    if (dot <= slash)
        return kEditorFileOther;
    CString extension = path.Mid(dot);
    extension.MakeUpper();
    if (extension == ".TXT")
        return kEditorFileText;
    if (extension == ".BK")
        return kEditorFileBackup;
    return kEditorFileOther;
}

bool ReadWholeFile(const char* path, CString& text)
{
    try {
        CFile file(path, CFile::modeRead);
        std::vector<char> bytes;
        char buffer[65536];
        for (UINT n; (n = file.Read(buffer, sizeof buffer)) > 0;)
            bytes.insert(bytes.end(), buffer, buffer + n);
        // A NUL would end the text early: it reads as a blank like other control bytes do.
        for (char& byte : bytes)
            if (byte == '\0')
                byte = ' ';
        text = CString(bytes.data(), static_cast<int>(bytes.size()));
        return true;
    } catch (...) {
        return false;
    }
}

bool WriteWholeFile(const char* path, const CString& text)
{
    CFile file;
    if (!file.Open(path, CFile::modeCreate | CFile::modeWrite))
        return false;
    try {
        file.Write(text.GetString(), static_cast<UINT>(text.GetLength()));
        file.Close();  // the old file is replaced only now, once the new one is whole
        return true;
    } catch (...) {
        file.Abort();
        return false;
    }
}
}  // namespace

CQvxEditorFrame::CQvxEditorFrame(CQvxEditorFrameList* list) : m_list(list)
{
    m_find.hwndOwner = this;
    m_find.Flags = FR_DOWN;
    m_find.lpstrFindWhat = m_findText;
    m_find.lpstrReplaceWith = m_replaceText;
    m_find.wFindWhatLen = sizeof m_findText - 1;
    m_find.wReplaceWithLen = sizeof m_replaceText - 1;
}

CQvxEditorFrame::~CQvxEditorFrame()
{
    if (m_list)
        m_list->Remove(this);
}

BOOL CQvxEditorFrame::CreateEditor(CMDIFrameWnd* mainFrame, const char* name)
{
    m_fileName = name ? name : "";
    if (!Create("Editor", WS_CHILD | WS_OVERLAPPEDWINDOW, CRect(0, 0, 560, 380), mainFrame))
        return FALSE;
    ShowWindow(SW_HIDE);
    if (!m_toolBar.Create(this, WS_CHILD | WS_VISIBLE, AFX_IDW_TOOLBAR) || !AfxLoadToolBar(m_toolBar, kToolBarId))
        return FALSE;
    CRect bar;
    m_toolBar.GetWindowRect(&bar);
    if (!m_view.CreateView(this, bar.Height()))
        return FALSE;
    OnSize();
    UpdateTitle();
    UpdateToolBar();
    SetTimer(kToolBarTimer, 500);
    return TRUE;
}

int CQvxEditorFrame::Message(const char* text, UINT type) const
{
    return AfxMessageBox(text, type, static_cast<UINT>(kHelpId));
}

CString CQvxEditorFrame::GetShortName() const
{
    const int slash = m_fileName.ReverseFind('/');
    return slash < 0 ? m_fileName : m_fileName.Mid(slash + 1);
}

void CQvxEditorFrame::UpdateTitle()
{
    m_modified = m_view.GetSafeHwnd() && m_view.GetModify() ? 1 : 0;
    const CString name = m_fileName.IsEmpty() ? CString("<untitled>") : GetShortName();
    SetWindowText("Editor - " + name + (m_modified ? "*" : ""));
}

void CQvxEditorFrame::OnViewChange()
{
    if ((m_view.GetModify() ? 1 : 0) != m_modified)
        UpdateTitle();
}

BOOL CQvxEditorFrame::OpenFile(const char* path)
{
    if (!LoadTextFile(path, 1)) {
        CString text;
        text.Format("ERROR: Could not open file \"%s\".", path);
        Message(text, MB_OK | MB_ICONERROR);
        return FALSE;
    }
    m_fileName = path;
    m_fileType = TypeOfExtension(m_fileName);
    m_view.SetModify(FALSE);
    m_untitled = 0;
    UpdateTitle();
    return TRUE;
}

int CQvxEditorFrame::LoadTextFile(const char* path, int replace)
{
    CString text;
    if (!path || !ReadWholeFile(path, text))
        return 0;
    if (replace) {
        m_view.SelectAll();
        m_crlf = text.Find("\r\n") >= 0 || text.Find('\n') < 0;
    }
    m_view.ReplaceSelBytes(text);
    // A whole file is read from its start; the caret would otherwise leave it at its end.
    if (replace)
        m_view.SetSel(0, 0);
    return 1;
}

int CQvxEditorFrame::SaveTextFile(const char* path)
{
    // The text keeps the line ends of the file it came from (CR LF for a new one).
    CString text = m_view.GetTextBytes();
    if (!m_crlf)
        text.Replace("\r\n", "\n");
    return path && WriteWholeFile(path, text) ? 1 : 0;
}

void CQvxEditorFrame::Remember(const char* path)
{
    m_untitled = 0;
    if (m_list)
        m_list->AddRecentFile(path);
    m_view.SetModify(FALSE);
    UpdateTitle();
}

int CQvxEditorFrame::Save()
{
    if (m_fileName.IsEmpty())
        return SaveAs();
    // A backup file stays one: its type follows its name, not a fixed ".txt".
    m_fileType = TypeOfExtension(m_fileName);
    if (!SaveTextFile(m_fileName)) {
        CString text;
        text.Format("ERROR: Could not save file \"%s\".", m_fileName.GetString());
        Message(text, MB_OK | MB_ICONERROR);
        return 0;
    }
    Remember(m_fileName);
    return 1;
}

int CQvxEditorFrame::SaveCommand() { return m_untitled ? SaveAs() : Save(); }

CString CQvxEditorFrame::GetSaveAsName() const
{
    if (m_fileName.Find('/') >= 0)
        return m_fileName;
    CString documents, folder;
    GetDocumentsFolder(documents);
    MakeProductFolder(folder, documents, TRUE);
    return folder + m_fileName;
}

int CQvxEditorFrame::SaveAs()
{
    const CString initial = GetSaveAsName();
    const char* extension = m_fileType == kEditorFileText ? "txt" : m_fileType == kEditorFileBackup ? "bk" : nullptr;
    CString chosen;
    {
        CHelpContextScope help(static_cast<SHORT>(kHelpId));
        CFileDialog dialog(FALSE, extension, initial, OFN_OVERWRITEPROMPT, kSaveFilter, this);
        dialog.m_ofn.nFilterIndex = static_cast<DWORD>(m_fileType);
        if (dialog.DoModal() != IDOK)
            return 0;
        chosen = dialog.GetPathName();
    }
    if (!SaveTextFile(chosen)) {
        CString text;
        text.Format("ERROR: Could not save file \"%s\".", chosen.GetString());
        Message(text, MB_OK | MB_ICONERROR);
        return 0;
    }
    m_fileName = chosen;
    m_fileType = TypeOfExtension(chosen);
    Remember(chosen);
    return 1;
}

int CQvxEditorFrame::CanClose()
{
    if (!m_view.GetModify())
        return 1;
    CString text;
    text.Format("Save file \"%s\"?", GetShortName().GetString());
    switch (Message(text, MB_YESNOCANCEL | MB_ICONQUESTION)) {
    // A file never saved goes to Save As: its default name has no folder to write into.
    case IDYES: return SaveCommand();
    case IDNO: return 1;
    default: return 0;
    }
}

void CQvxEditorFrame::OnClose()
{
    if (m_busy) {
        Message("Cannot close window", MB_OK | MB_ICONSTOP);
    } else if (m_closeConfirmed || CanClose()) {
        if (m_list)
            m_list->Remove(this);
        CloseFind();
        DestroyWindow();
    }
    if (CKorvaneApp* app = CKorvaneApp::Get())
        app->UpdateMainMenu();
}

void CQvxEditorFrame::CloseFind()
{
    if (!m_findDialog)
        return;
    CFindReplaceDialog* dialog = m_findDialog;
    m_findDialog = nullptr;
    dialog->DestroyWindow();
}

void CQvxEditorFrame::OpenFind(const char* defaultText)
{
    CloseFind();
    CString text = defaultText ? defaultText : "";
    if (m_view.HasSelection()) {
        text = m_view.GetSelText();
        text.Trim();
    }
    std::strncpy(m_findText, text.GetString(), sizeof m_findText - 1);
    m_findText[sizeof m_findText - 1] = '\0';
    m_find.Flags &= FR_DOWN | FR_WHOLEWORD | FR_MATCHCASE;
    auto* dialog = new CFindReplaceDialog;
    if (!dialog->Create(TRUE, m_find, this)) {
        delete dialog;
        Message("Could not open Find window", MB_OK | MB_ICONERROR);
        return;
    }
    m_findDialog = dialog;
    dialog->SetWindowText("Find - " + GetShortName());
}

void CQvxEditorFrame::OnFindMessage(const FINDREPLACE& record)
{
    if (record.Flags & FR_DIALOGTERM) {
        m_findDialog = nullptr;
        return;
    }
    if (!m_view.FindText(m_findText, record.Flags & FR_MATCHCASE, record.Flags & FR_WHOLEWORD, record.Flags & FR_DOWN))
        Message("Could not find text", MB_OK | MB_ICONINFORMATION);
}

BOOL CQvxEditorFrame::TransferAllowed() const
{
    CKorvaneApp* app = CKorvaneApp::Get();
    CQvxEditorTransfers* transfers = m_list ? m_list->GetTransfers() : nullptr;
    return transfers && app && app->GetMainFrame() && app->GetMainFrame()->IsCommOpen() &&
           !transfers->IsJobInProgress();
}

void CQvxEditorFrame::StartTransfer(UINT id)
{
    if (!TransferAllowed())
        return;
    CQvxEditorTransfers* transfers = m_list->GetTransfers();
    transfers->SetHelpId(id == ID_EDITOR_REPORT ? kReportHelpId : kDownloadHelpId);
    if (id == ID_EDITOR_DOWNLOAD)
        transfers->DownloadToEditor(this);
    else if (id == ID_EDITOR_UPLOAD)
        transfers->UploadFromEditor(this);
    else
        transfers->ReportToEditor(this);
}

void CQvxEditorFrame::UpdateToolBar()
{
    if (!m_toolBar.GetSafeHwnd())
        return;
    const BOOL allowed = TransferAllowed();
    for (UINT id : {ID_EDITOR_UPLOAD, ID_EDITOR_DOWNLOAD, ID_EDITOR_REPORT})
        m_toolBar.EnableButton(id, allowed);
}

void CQvxEditorFrame::OnSize()
{
    if (!m_toolBar.GetSafeHwnd() || !m_view.GetSafeHwnd())
        return;
    CRect client, bar;
    GetClientRect(&client);
    m_toolBar.GetWindowRect(&bar);
    m_toolBar.MoveWindow(0, 0, client.Width(), bar.Height());
    m_view.FitPane(bar.Height());
}

BOOL CQvxEditorFrame::OnCmdMsg(UINT id, int code)
{
    if (code != 0)
        return CMDIChildWnd::OnCmdMsg(id, code);
    if (m_view.GetSafeHwnd() && m_view.RunEditCommand(id))
        return TRUE;
    switch (id) {
    case ID_EDITOR_FILE_CLOSE: SendMessage(WM_CLOSE); return TRUE;
    case ID_EDITOR_SAVE: SaveCommand(); return TRUE;
    case ID_EDITOR_SAVE_AS: SaveAs(); return TRUE;
    case ID_EDITOR_CLOSE:
        if (m_busy || CanClose()) {
            MarkCloseConfirmed();
            SendMessage(WM_CLOSE);  // a busy editor still refuses
        }
        return TRUE;
    case ID_EDITOR_FIND: OpenFind(""); return TRUE;
    case ID_EDITOR_DOWNLOAD:
    case ID_EDITOR_UPLOAD:
    case ID_EDITOR_REPORT: StartTransfer(id); return TRUE;
    default: return CMDIChildWnd::OnCmdMsg(id, code);
    }
}

LRESULT CQvxEditorFrame::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_list && message == m_list->GetFindMessage() && lParam) {
        OnFindMessage(*reinterpret_cast<const FINDREPLACE*>(lParam));
        return 0;
    }
    switch (message) {
    case WM_CLOSE: OnClose(); return 0;
    case WM_SIZE: {
        const LRESULT result = CMDIChildWnd::WindowProc(message, wParam, lParam);
        OnSize();
        return result;
    }
    case WM_TIMER:
        if (wParam == kToolBarTimer) {
            UpdateToolBar();
            return 0;
        }
        break;
    case WM_SETFOCUS:
        if (m_view.GetSafeHwnd())
            m_view.SetFocus();
        return 0;
    case WM_COMMAND:
        if (HIWORD(wParam) == EN_CHANGE && LOWORD(wParam) == AFX_IDW_PANE_FIRST) {
            OnViewChange();
            return 0;
        }
        break;
    default: break;
    }
    return CMDIChildWnd::WindowProc(message, wParam, lParam);
}
