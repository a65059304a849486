// CShowLogDlg: a modal window that shows a block of log text (the error log of
// a backup, restore or report run) and saves it to a text file or copies it to
// the clipboard.
#pragma once

#include "platform/ui/Button.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/MessageMap.h"
#include "platform/ui/RichEditCtrl.h"

class CShowLogDlg : public CDialog {
public:
    explicit CShowLogDlg(CWnd* parent = nullptr);

    static constexpr int kHelpId = 313;

    // Shows the text under the title; returns when the user closes the window.
    void ShowLog(const char* title, const char* text);

    BOOL OnInitDialog() override;
    void OnSaveToFile();
    void OnSaveToClipboard();
    void OnSize(UINT type, int cx, int cy);
    // Writes the log as given, one CR LF a line; FALSE when the file could not be written.
    static BOOL WriteLog(const CString& text, const CString& path);

private:
    void Arrange();

    CString m_title;
    CRichEditCtrl m_view;
    CButton m_saveFile;
    CButton m_saveClipboard;
    CString m_text;
    CButton m_close;

    DECLARE_MESSAGE_MAP()
};
