// CWarningMessageDlg: a warning or a yes/no question the user may ask never
// to see again; the answer given with "Don't show this message again" ticked
// is remembered under the message's key in the user settings ("WARN MSGS").
#pragma once

#include "resources/ids/WarningIds.h"

#include "platform/core/Collections.h"
#include "platform/ui/Dialog.h"

class CWarningMessageDlg : public CDialog {
public:
    enum { IDD = IDD_WARNING };
    explicit CWarningMessageDlg(CWnd* parent = nullptr);

    // The dialog's result (IDOK, IDYES, IDNO, IDCANCEL for Esc), or the
    // suppressed answer when the user asked not to see this key again.
    int ShowWarning(const char* key, BOOL question, const char* message, int suppressedAnswer);

    CString m_message;
    int m_dontShow = 0;
    CString m_key;
    BOOL m_question = FALSE;
    CMapStringToString m_answers;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
    void OnOK() override;
    void OnYes();
    void OnNo();
    void Answer(int result);
    void ReadAnswers();
    void WriteAnswers() const;
    DECLARE_MESSAGE_MAP()
};
