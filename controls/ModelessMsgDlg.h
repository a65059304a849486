// CModelessMsgDlg: a message box that stays up while a long operation runs on
// the GUI thread, with a progress bar and an optional Cancel the operation
// polls between its steps.
#pragma once

#include "resources/ids/ModelessMessageIds.h"

#include "platform/ui/Dialog.h"

class CModelessMsgDlg : public CDialog {
public:
    enum { IDD = IDD_MODELESS_MESSAGE };
    explicit CModelessMsgDlg(CWnd* parent = nullptr);

    BOOL Open(const char* title, const char* text, BOOL showCancel);
    void SetProgress(int percent);
    void Close();

    CString m_title;
    CString m_text;
    BOOL m_cancelled = FALSE;

protected:
    void OnCancel() override;
};
