#include "FindReplaceDialog.h"

#include <cstring>
#include <map>
#include <string>

#include "Button.h"
#include "DialogTemplate.h"

namespace {
const char* const kTemplate =
    "DIALOG 1540 0 0 236 62 \"Find\"\n"
    "FONT 8 \"MS Sans Serif\"\n"
    "STYLE POPUP CAPTION SYSMENU\n"
    "LTEXT -1 4 8 42 8 \"Find what:\"\n"
    "EDITTEXT 1152 47 7 128 12 \"\" AUTOHSCROLL\n"
    "CHECKBOX 1040 4 26 100 12 \"Match &whole word only\"\n"
    "CHECKBOX 1041 4 42 64 12 \"Match &case\"\n"
    "GROUPBOX -1 107 26 68 28 \"Direction\"\n"
    "RADIOBUTTON 1056 111 38 25 12 \"&Up\"\n"
    "RADIOBUTTON 1057 138 38 35 12 \"&Down\"\n"
    "DEFPUSHBUTTON 1 182 5 50 14 \"&Find Next\"\n"
    "PUSHBUTTON 2 182 23 50 14 \"Cancel\"\n"
    "END\n";
}  // namespace

UINT RegisterWindowMessage(LPCSTR name)
{
    static std::map<std::string, UINT> registered;
    auto found = registered.emplace(name ? name : "", 0xC000 + static_cast<UINT>(registered.size()));
    return found.first->second;
}

BOOL CFindReplaceDialog::Create(BOOL /*findOnly*/, FINDREPLACE& record, CWnd* owner)
{
    std::vector<DialogTemplate> templates;
    CString error;
    if (!ParseDialogTemplates(kTemplate, templates, error) || templates.empty())
        return FALSE;
    m_record = &record;
    m_owner = owner;
    return CreateIndirect(templates.front(), owner);
}

BOOL CFindReplaceDialog::OnInitDialog()
{
    CDialog::OnInitDialog();
    SetDlgItemText(kFindText, m_record->lpstrFindWhat ? m_record->lpstrFindWhat : "");
    static_cast<CButton*>(GetDlgItem(kWholeWord))->SetCheck(m_record->Flags & FR_WHOLEWORD ? 1 : 0);
    static_cast<CButton*>(GetDlgItem(kMatchCase))->SetCheck(m_record->Flags & FR_MATCHCASE ? 1 : 0);
    static_cast<CButton*>(GetDlgItem(m_record->Flags & FR_DOWN ? kDown : kUp))->SetCheck(1);
    return TRUE;
}

CString CFindReplaceDialog::GetFindString() const
{
    CString text;
    GetDlgItemText(kFindText, text);
    return text;
}

BOOL CFindReplaceDialog::SearchDown() const { return static_cast<CButton*>(GetDlgItem(kDown))->GetCheck() == 1; }
BOOL CFindReplaceDialog::MatchCase() const { return static_cast<CButton*>(GetDlgItem(kMatchCase))->GetCheck() == 1; }
BOOL CFindReplaceDialog::MatchWholeWord() const { return static_cast<CButton*>(GetDlgItem(kWholeWord))->GetCheck() == 1; }

void CFindReplaceDialog::Notify(DWORD flag)
{
    if (!m_owner || !m_record)
        return;
    DWORD flags = flag;
    if (flag != FR_DIALOGTERM) {
        const CString text = GetFindString();
        if (m_record->lpstrFindWhat && m_record->wFindWhatLen > 0) {
            std::strncpy(m_record->lpstrFindWhat, text.GetString(), m_record->wFindWhatLen - 1);
            m_record->lpstrFindWhat[m_record->wFindWhatLen - 1] = '\0';
        }
        flags |= (SearchDown() ? FR_DOWN : 0) | (MatchCase() ? FR_MATCHCASE : 0) | (MatchWholeWord() ? FR_WHOLEWORD : 0);
    }
    m_record->Flags = flags;
    m_owner->SendMessage(RegisterWindowMessage("commdlg_FindReplace"), 0, reinterpret_cast<LPARAM>(m_record));
}

void CFindReplaceDialog::OnOK() { Notify(FR_FINDNEXT); }

void CFindReplaceDialog::OnCancel()
{
    m_terminating = TRUE;
    Notify(FR_DIALOGTERM);
    DestroyWindow();
}
