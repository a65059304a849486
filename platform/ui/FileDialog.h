// CFileDialog: the open or save file dialog. Filters are written in the class
// library's form, "Text files (*.txt)|*.txt|All files|*.*||". In scripted
// mode the dialog shows nothing and takes the next queued answer.
#pragma once

#include "Wnd.h"

constexpr DWORD OFN_READONLY = 0x1;
constexpr DWORD OFN_OVERWRITEPROMPT = 0x2;
constexpr DWORD OFN_HIDEREADONLY = 0x4;
constexpr DWORD OFN_NOCHANGEDIR = 0x8;
constexpr DWORD OFN_ALLOWMULTISELECT = 0x200;
constexpr DWORD OFN_PATHMUSTEXIST = 0x800;
constexpr DWORD OFN_FILEMUSTEXIST = 0x1000;

struct OPENFILENAME {
    DWORD Flags = 0;
    LPCSTR lpstrInitialDir = nullptr;
    LPCSTR lpstrTitle = nullptr;
    DWORD nFilterIndex = 1;
};

class CFileDialog {
public:
    CFileDialog(BOOL openFileDialog, LPCSTR defaultExtension = nullptr, LPCSTR fileName = nullptr,
                DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, LPCSTR filter = nullptr, CWnd* parent = nullptr);
    virtual ~CFileDialog() = default;

    virtual INT_PTR DoModal();
    CString GetPathName() const { return m_path; }
    CString GetFileName() const;
    CString GetFileExt() const;
    CString GetFileTitle() const;
    CString GetFolderPath() const;

    OPENFILENAME m_ofn;

    // The Qt-style filter list the class library's filter stands for.
    static CString TranslateFilter(const char* filter);

private:
    BOOL m_open;
    CString m_defaultExtension;
    CString m_path;
    CString m_filter;
    CWnd* m_parent;
};

namespace kvtest {
// The next file dialog answers IDOK with this path (an empty path: IDCANCEL).
void QueueFileDialogAnswer(const char* path);
}  // namespace kvtest
