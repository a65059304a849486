// CFindReplaceDialog: the modeless Find dialog. Each "Find Next" and its own
// closing are sent to the owner as the message registered for
// "commdlg_FindReplace", with the FINDREPLACE record as lParam; the record's
// buffer holds the text and its flags the options. The dialog deletes itself
// when it closes.
#pragma once

#include "Dialog.h"

constexpr DWORD FR_DOWN = 0x1;
constexpr DWORD FR_WHOLEWORD = 0x2;
constexpr DWORD FR_MATCHCASE = 0x4;
constexpr DWORD FR_FINDNEXT = 0x8;
constexpr DWORD FR_DIALOGTERM = 0x40;

struct FINDREPLACE {
    DWORD lStructSize = 40;
    CWnd* hwndOwner = nullptr;
    DWORD Flags = 0;
    char* lpstrFindWhat = nullptr;
    char* lpstrReplaceWith = nullptr;
    WORD wFindWhatLen = 0;
    WORD wReplaceWithLen = 0;
};

// The same number for the same name for the program's life, from 0xC000 up.
UINT RegisterWindowMessage(LPCSTR name);

class CFindReplaceDialog : public CDialog {
public:
    // Shows the dialog with the record's text and flags; FALSE when it could not be made.
    BOOL Create(BOOL findOnly, FINDREPLACE& record, CWnd* owner);
    CString GetFindString() const;
    BOOL SearchDown() const;
    BOOL MatchCase() const;
    BOOL MatchWholeWord() const;
    BOOL IsTerminating() const { return m_terminating; }

    static constexpr UINT kFindText = 1152;
    static constexpr UINT kWholeWord = 1040;
    static constexpr UINT kMatchCase = 1041;
    static constexpr UINT kUp = 1056;
    static constexpr UINT kDown = 1057;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    void PostNcDestroy() override { delete this; }

private:
    void Notify(DWORD flag);
    FINDREPLACE* m_record = nullptr;
    CWnd* m_owner = nullptr;
    BOOL m_terminating = FALSE;
};
