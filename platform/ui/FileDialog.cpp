#include "FileDialog.h"

#include <QFileDialog>
#include <deque>
#include <mutex>

#include "MsgBox.h"
#include "WndImpl.h"

namespace {
std::mutex g_answerMutex;
std::deque<CString> g_answers;

}  // namespace

namespace kvui {
// The file and folder dialogs answered without showing anything: by the next queued answer, or,
// in scripted mode without one, with IDCANCEL. False when the user must answer.
bool AnswerFromScript(CString& path, INT_PTR& result)
{
    std::unique_lock<std::mutex> guard(g_answerMutex);
    if (g_answers.empty()) {
        guard.unlock();
        if (!AfxIsScriptedMode())
            return false;
        result = IDCANCEL;
        return true;
    }
    const CString answer = g_answers.front();
    g_answers.pop_front();
    result = answer.IsEmpty() ? IDCANCEL : IDOK;
    if (!answer.IsEmpty())
        path = answer;
    return true;
}
}  // namespace kvui

namespace kvtest {
void QueueFileDialogAnswer(const char* path)
{
    std::lock_guard<std::mutex> guard(g_answerMutex);
    g_answers.emplace_back(path ? path : "");
}
}  // namespace kvtest

CFileDialog::CFileDialog(BOOL openFileDialog, LPCSTR defaultExtension, LPCSTR fileName, DWORD flags, LPCSTR filter,
                         CWnd* parent)
    : m_open(openFileDialog), m_defaultExtension(defaultExtension), m_path(fileName), m_filter(filter), m_parent(parent)
{
    m_ofn.Flags = flags;
}

CString CFileDialog::TranslateFilter(const char* filter)
{
    // "Name|patterns|Name|patterns||" -> "Name (patterns);;Name (patterns)"
    CString result;
    const CString text(filter ? filter : "");
    int start = 0;
    while (start < text.GetLength()) {
        const int bar = text.Find('|', start);
        if (bar < 0)
            break;
        const CString name = text.Mid(start, bar - start);
        const int next = text.Find('|', bar + 1);
        const CString patterns = next < 0 ? text.Mid(bar + 1) : text.Mid(bar + 1, next - bar - 1);
        if (name.IsEmpty())
            break;
        CString spaced = patterns;
        spaced.Replace(';', ' ');
        if (!result.IsEmpty())
            result += ";;";
        result += name.Find('(') >= 0 ? name + " [" + spaced + "]" : name + " (" + spaced + ")";
        if (next < 0)
            break;
        start = next + 1;
    }
    // Qt reads the last bracketed list as the patterns.
    result.Replace("[", "(");
    result.Replace("]", ")");
    return result;
}

INT_PTR CFileDialog::DoModal()
{
    INT_PTR scripted = IDCANCEL;
    if (kvui::AnswerFromScript(m_path, scripted))
        return scripted;
    QWidget* parent = m_parent && m_parent->GetImpl() ? m_parent->GetImpl()->widget->window() : nullptr;
    QFileDialog dialog(parent, kvui::ToQ(m_ofn.lpstrTitle));
    dialog.setAcceptMode(m_open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog.setFileMode(m_open ? ((m_ofn.Flags & OFN_ALLOWMULTISELECT) ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile)
                              : QFileDialog::AnyFile);
    dialog.setNameFilter(kvui::ToQ(TranslateFilter(m_filter)));
    if (!m_defaultExtension.IsEmpty())
        dialog.setDefaultSuffix(kvui::ToQ(m_defaultExtension));
    if (!(m_ofn.Flags & OFN_OVERWRITEPROMPT))
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (m_ofn.lpstrInitialDir && *m_ofn.lpstrInitialDir)
        dialog.setDirectory(kvui::ToQ(m_ofn.lpstrInitialDir));
    if (!m_path.IsEmpty())
        dialog.selectFile(kvui::ToQ(m_path));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return IDCANCEL;
    m_path = kvui::FromQ(dialog.selectedFiles().first());
    return IDOK;
}

CString CFileDialog::GetFileName() const
{
    const int slash = m_path.ReverseFind('/');
    return slash < 0 ? m_path : m_path.Mid(slash + 1);
}

CString CFileDialog::GetFileExt() const
{
    const CString name = GetFileName();
    const int dot = name.ReverseFind('.');
    return dot < 0 ? CString() : name.Mid(dot + 1);
}

CString CFileDialog::GetFileTitle() const
{
    const CString name = GetFileName();
    const int dot = name.ReverseFind('.');
    return dot < 0 ? name : name.Left(dot);
}

CString CFileDialog::GetFolderPath() const
{
    const int slash = m_path.ReverseFind('/');
    return slash < 0 ? CString() : m_path.Left(slash);
}
