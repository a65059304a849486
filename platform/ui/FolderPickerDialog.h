// CFolderPickerDialog: asks for a folder. In scripted mode it takes the next
// queued file-dialog answer (kvtest::QueueFileDialogAnswer) and shows nothing.
#pragma once

#include "Wnd.h"

class CFolderPickerDialog {
public:
    explicit CFolderPickerDialog(LPCSTR initialFolder = nullptr, DWORD flags = 0, CWnd* parent = nullptr);
    virtual ~CFolderPickerDialog() = default;
    virtual INT_PTR DoModal();
    CString GetPathName() const { return m_path; }
    CString m_title;

private:
    CString m_path;
    CWnd* m_parent;
};
