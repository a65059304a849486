#include "WarningMessageDlg.h"

#include "platform/core/IniFile.h"
#include "platform/core/UserSettings.h"
#include "platform/ui/Static.h"

namespace {
const char kSection[] = "WARN MSGS";
}  // namespace

BEGIN_MESSAGE_MAP(CWarningMessageDlg, CDialog)
    ON_BN_CLICKED(IDC_WARN_YES, &CWarningMessageDlg::OnYes)
    ON_BN_CLICKED(IDC_WARN_NO, &CWarningMessageDlg::OnNo)
END_MESSAGE_MAP()

CWarningMessageDlg::CWarningMessageDlg(CWnd* parent) : CDialog(IDD, parent) {}

void CWarningMessageDlg::ReadAnswers()
{
    m_answers.RemoveAll();
    const CString path = AfxGetUserSettingsIniPath();
    const int count = static_cast<int>(GetPrivateProfileInt(kSection, "Count", 0, path));
    for (int n = 0; n < count; ++n) {
        CString name;
        name.Format("MSG%d", n);
        char value[257] = {};
        GetPrivateProfileString(kSection, name, "", value, sizeof value - 1, path);
        const CString entry(value);
        // The flag follows the last "~", so a key may itself hold one; an entry without one is skipped.
        const int tilde = entry.ReverseFind('~');
        if (tilde <= 0)
            continue;
        m_answers.SetAt(entry.Left(tilde), entry.Mid(tilde + 1));
    }
}

void CWarningMessageDlg::WriteAnswers() const
{
    const CString path = AfxGetUserSettingsIniPath();
    CString count;
    count.Format("%d", m_answers.GetCount());
    WritePrivateProfileString(kSection, "Count", count, path);
    int n = 0;
    for (POSITION pos = m_answers.GetStartPosition(); pos; ++n) {
        CString key, flag;
        m_answers.GetNextAssoc(pos, key, flag);
        CString name;
        name.Format("MSG%d", n);
        WritePrivateProfileString(kSection, name, key + "~" + flag, path);
    }
}

int CWarningMessageDlg::ShowWarning(const char* key, BOOL question, const char* message, int suppressedAnswer)
{
    ReadAnswers();
    CString flag;
    if (!m_answers.Lookup(key, flag))
        m_answers.SetAt(key, "0");
    else if (flag == "1")
        return suppressedAnswer;
    m_question = question;
    m_key = key;
    m_message = message;
    m_dontShow = 0;
    return static_cast<int>(DoModal());
}

BOOL CWarningMessageDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    MessageBeep(MB_ICONEXCLAMATION);
    SetWindowText(m_question ? "Confirm Action" : "Warning");
    if (auto* icon = static_cast<CStatic*>(GetDlgItem(IDC_WARN_ICON)))
        icon->SetStandardIcon(m_question ? MB_ICONQUESTION : MB_ICONEXCLAMATION);
    const int showQuestion = m_question ? SW_SHOW : SW_HIDE;
    if (CWnd* w = GetDlgItem(IDC_WARN_YES)) w->ShowWindow(showQuestion);
    if (CWnd* w = GetDlgItem(IDC_WARN_NO)) w->ShowWindow(showQuestion);
    if (CWnd* w = GetDlgItem(IDOK)) w->ShowWindow(m_question ? SW_HIDE : SW_SHOW);
    return TRUE;
}

void CWarningMessageDlg::DoDataExchange(CDataExchange* dx)
{
    DDX_Text(dx, IDC_WARN_TEXT, m_message);
    DDX_Check(dx, IDC_WARN_DONT_SHOW, m_dontShow);
}

void CWarningMessageDlg::Answer(int result)
{
    if (!UpdateData(TRUE))
        return;
    m_answers.SetAt(m_key, m_dontShow ? "1" : "0");
    WriteAnswers();
    EndDialog(result);
}

void CWarningMessageDlg::OnOK() { Answer(IDOK); }
void CWarningMessageDlg::OnYes() { Answer(IDYES); }
void CWarningMessageDlg::OnNo() { Answer(IDNO); }
