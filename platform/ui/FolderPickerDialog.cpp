#include "FolderPickerDialog.h"

#include <QFileDialog>

#include "FileDialog.h"
#include "MsgBox.h"
#include "WndImpl.h"

namespace kvui {
bool AnswerFromScript(CString& path, INT_PTR& result);  // shared with the file dialog
}

CFolderPickerDialog::CFolderPickerDialog(LPCSTR initialFolder, DWORD /*flags*/, CWnd* parent)
    : m_path(initialFolder), m_parent(parent)
{
}

INT_PTR CFolderPickerDialog::DoModal()
{
    INT_PTR scripted = IDCANCEL;
    if (kvui::AnswerFromScript(m_path, scripted))
        return scripted;
    QWidget* parent = m_parent && m_parent->GetImpl() ? m_parent->GetImpl()->widget->window() : nullptr;
    const QString chosen = QFileDialog::getExistingDirectory(parent, kvui::ToQ(m_title), kvui::ToQ(m_path));
    if (chosen.isEmpty())
        return IDCANCEL;
    m_path = kvui::FromQ(chosen);
    return IDOK;
}
