#include "QvxTerminalDlg.h"

#include <cstdlib>

#include "app/KorvaneApp.h"
#include "app/MainFrame.h"
#include "comm/link/CommAppServices.h"
#include "distribution/AmpCommandText.h"
#include "framework/GuiUpdateList.h"
#include "platform/core/IniFile.h"
#include "platform/ui/DataExchange.h"
#include "resources/ids/TerminalIds.h"

IMPLEMENT_DYNCREATE(CQvxTerminalDlg, CGuiUpdateDlg)

BEGIN_MESSAGE_MAP(CQvxTerminalDlg, CGuiUpdateDlg)
    ON_BN_CLICKED(IDC_TERMINAL_SEND, &CQvxTerminalDlg::OnSend)
    ON_COMMAND(kTerminalTypedCharCommand, &CQvxTerminalDlg::OnTypedChar)
    ON_WM_SIZE()
    ON_WM_GETMINMAXINFO()
    ON_MESSAGE(WM_ACTIVATE, &CQvxTerminalDlg::OnActivate)
    ON_WM_TIMER()
END_MESSAGE_MAP()

namespace {
constexpr const char* kSection = "TERMINAL";
constexpr BYTE kTerminalQueryFlags = 0xB4;
constexpr int kMinTrackSize = 200;

CString SettingsPath()
{
    CCommAppServices* app = CCommAppServices::Get();
    return app ? app->GetUserSettingsIniPath() : CString();
}

// The eleven lines of the GUI stress test.
constexpr const char* kExerciseLines[] = {"MOD", "CS", "SSA", "IAD", "SSA", "IAO", "DOG", "HEX+:", "HEX-:", "TSR+:", "TSR-:"};
}  // namespace

CQvxTerminalDlg::CQvxTerminalDlg() : CGuiUpdateDlg(IDD_TERMINAL) {}

// The trace client's own destructor leaves the manager's list, also when the manager went first.
CQvxTerminalDlg::~CQvxTerminalDlg() = default;

void CQvxTerminalDlg::DoDataExchange(CDataExchange* dx)
{
    CGuiUpdateDlg::DoDataExchange(dx);
    DDX_Control(dx, IDC_TERMINAL_RESPONSE, m_response);
    DDX_Control(dx, IDC_TERMINAL_COMMAND, m_command);
    DDX_Control(dx, IDC_TERMINAL_SEND, m_send);
}

BOOL CQvxTerminalDlg::OnInitDialog()
{
    CGuiUpdateDlg::OnInitDialog();
    m_commandFont.CreatePointFont(GetDialogFontSize() * 10, GetDialogFontName());
    m_command.SetFont(&m_commandFont);
    m_response.SetReadOnly(TRUE);
    m_command.SetFocus();
    const CString ini = SettingsPath();
    m_showHex = static_cast<int>(GetPrivateProfileInt(kSection, "ShowHex", 0, ini));
    m_showTSR = static_cast<int>(GetPrivateProfileInt(kSection, "ShowTSR", 0, ini));
    m_traceOn = 0;
    LayoutControls();
    return FALSE;
}

void CQvxTerminalDlg::OnSend()
{
    CString text;
    m_command.GetWindowText(text);
    if (text.IsEmpty())
        return;
    // The history holds each line once, the latest on top.
    const int found = m_command.FindStringExact(-1, text);
    if (found >= 0)
        m_command.DeleteString(static_cast<UINT>(found));
    m_command.InsertString(0, text);
    m_command.SetCurSel(-1);
    m_command.SetWindowText("");
    ExecuteLine(text);
    m_command.SetFocus();
}

void CQvxTerminalDlg::ExecuteLine(CString line)
{
    line.Trim();
    CString output;
    const int result = LocalCommand(line, output);
    if (result == 1) {
        CString echo = "[" + GetDriveName() + ":" + line + "]\r\n";
        CAmpQryCmdFromGui query;
        if (m_drive < 0) {
            echo += "No drive selected; nothing was sent.\r\n";
        } else if (ParseAmpCommandText(query, line)) {
            query.m_address = static_cast<BYTE>(m_drive);
            query.m_flags = kTerminalQueryFlags;
            query.m_receiver = this;
            const int id = SubmitQuery(query);
            if (id >= 0)
                m_typedQueries.insert(static_cast<DWORD>(id));
        } else {
            echo += "Command syntax invalid.\r\n";
        }
        ShowText(echo);
    } else {
        ShowText("[" + line + "]\r\n");
    }
    if (!output.IsEmpty())
        ShowText(output);
}

int CQvxTerminalDlg::LocalCommand(CString& line, CString& output)
{
    const int colon = line.Find(':');
    if (colon < 0)
        return 1;
    const CString prefix = line.Left(colon);
    int drive = -1;
    if (ParseDriveReference(prefix, drive))
        return SwitchDrive(prefix, line, output);
    CString argument = line.Mid(colon + 1);
    argument.Trim();
    const int local = LocalWord(prefix, argument, output);
    if (local >= 0)
        return local;
    CString reply;
    CKorvaneApp* app = CKorvaneApp::Get();
    if (app && app->ExecuteCommandLine(argument, reply)) {
        output = reply + "\r\n";
        return 0;
    }
    output.Format("Invalid terminal command \"%s\".\r\n", line.GetString());
    return -1;
}

int CQvxTerminalDlg::SwitchDrive(const CString& prefix, CString& line, CString& output)
{
    int drive = -1;
    ParseDriveReference(prefix, drive);
    CString name;
    // A drive the window cannot select gets nothing, rather than the current drive getting the line.
    if (!FindDriveNameByNumber(drive, name) || !SelectDrive(drive)) {
        output.Format("Drive \"%s\" is not on the link; nothing was sent.\r\n", prefix.GetString());
        return -1;
    }
    OnToolbarDriveSelected(name);
    line = line.Mid(prefix.GetLength() + 1);
    line.Trim();
    return line.IsEmpty() ? 0 : 1;
}

int CQvxTerminalDlg::LocalWord(const CString& word, const CString& argument, CString& output)
{
    auto is = [&word](const char* text) { return word.CompareNoCase(text) == 0; };
    if (is("hex+") || is("hex-")) {
        SetFlag(m_showHex, is("hex+") ? 1 : 0, "ShowHex");
        output = m_showHex ? "Display as hex ON\r\n" : "Display as hex OFF\r\n";
    } else if (is("tsr+") || is("tsr-")) {
        SetFlag(m_showTSR, is("tsr+") ? 1 : 0, "ShowTSR");
        output = m_showTSR ? "Display timestamp ON\r\n" : "Display timestamp OFF\r\n";
    } else if (is("trace+")) {
        TraceOn();
        output = "Trace ON\r\n";
    } else if (is("trace-")) {
        TraceOff();
        output = "Trace OFF\r\n";
    } else if (is("trace")) {
        output = argument + "\r\n";
    } else if (is("filter+")) {
        if (!argument.IsEmpty()) {
            const int code = MnemonicToCode(argument);
            const bool known = IsFiltered(code);
            if (!known)
                m_filters.AddTail(code);
            output.Format(known ? "Filter \"%s\" already added.\r\n" : "Filter \"%s\" added.\r\n", argument.GetString());
        }
    } else if (is("filter-")) {
        if (!argument.IsEmpty()) {
            POSITION found = m_filters.Find(MnemonicToCode(argument));
            if (found)
                m_filters.RemoveAt(found);
            output.Format(found ? "Filter \"%s\" removed.\r\n" : "Filter \"%s\" not found.\r\n", argument.GetString());
        }
    } else if (is("clrfilters")) {
        m_filters.RemoveAll();
    } else if (is("cls")) {
        m_response.SetWindowText("");
    } else if (is("?")) {
        output.Format("%s=$%04x\r\n", argument.GetString(), MnemonicToCode(argument));
    } else {
        return -1;
    }
    return 0;
}

void CQvxTerminalDlg::SetFlag(int& flag, int value, const char* key)
{
    if (flag == value)
        return;
    flag = value;
    CString text;
    text.Format("%d", value);
    WritePrivateProfileString(kSection, key, text, SettingsPath());
}

CCommManager* CQvxTerminalDlg::TraceManager() const
{
    if (m_commManager)
        return m_commManager;
    CKorvaneApp* app = CKorvaneApp::Get();
    CMainFrame* frame = app ? app->GetMainFrame() : nullptr;
    return frame ? &frame->GetCommManager() : nullptr;
}

void CQvxTerminalDlg::TraceOn()
{
    if (m_traceOn)
        return;
    CCommManager* manager = TraceManager();
    if (!manager)
        return;
    m_traceOn = 1;
    if (GetSafeHwnd())
        SetTimer(kTraceTimer, 100);
    manager->AddClient(this);
    m_registeredWith = manager;
}

void CQvxTerminalDlg::TraceOff()
{
    if (!m_traceOn)
        return;
    m_traceOn = 0;
    if (GetSafeHwnd())
        KillTimer(kTraceTimer);
    if (m_registeredWith)
        m_registeredWith->RemoveClient(this);
    m_registeredWith = nullptr;
    DiscardItems();
}

bool CQvxTerminalDlg::IsFiltered(int code) const { return m_filters.Find(code) != nullptr; }

void CQvxTerminalDlg::OnTimer(UINT_PTR id)
{
    if (m_inTimer)
        return;
    m_inTimer = 1;
    if (id == kTraceTimer)
        DrainTrace();
    m_inTimer = 0;
}

void CQvxTerminalDlg::DrainTrace()
{
    // Only what was queued when the tick began: a busy link cannot keep the tick going.
    int left = GetItemCount();
    CString lines;
    CAmpMsg message;
    DWORD direction = 0;
    while (left-- > 0 && GetNextItem(message, direction)) {
        if (message.m_address != m_drive || IsFiltered(message.m_code))
            continue;
        lines.AppendFormat("TRACE %s: %s\r\n", direction == 1 ? "TX" : "RX",
                           message.ToString(kAmpTextNoAddress).GetString());
    }
    if (!lines.IsEmpty())
        ShowText(lines);
}

void CQvxTerminalDlg::OnStatusResponse(const CAmpResponseToGui& response)
{
    // The drive window's own status polls keep its toolbar going; only typed lines are shown.
    if (!m_typedQueries.erase(response.m_queryId)) {
        CGuiUpdateDlg::OnStatusResponse(response);
        return;
    }
    int flags = kAmpTextNoJobId;
    if (!m_showHex)
        flags |= kAmpTextDecimal;
    if (m_showTSR)
        flags |= kAmpTextTimeStamp;
    ShowText(response.ToString(flags) + "\r\n");
}

int CQvxTerminalDlg::ExecuteCommand(const CString& command, CString& reply)
{
    ShowText("Received command: " + command + "\r\n");
    reply = "Terminal displayed string.";
    return 1;
}

void CQvxTerminalDlg::RandomExercise(int flags)
{
    CGuiUpdateDlg::RandomExercise(flags);
    // Draws of 0 to 32767 whatever the C library's range, so the products cannot overflow.
    if (!(flags & 4) || (std::rand() & 0x7FFF) * 10 / 32767 >= 5)
        return;
    const int pick = std::min((std::rand() & 0x7FFF) * 11 / 32767, 10);
    ExecuteLine(kExerciseLines[pick]);
}

void CQvxTerminalDlg::ShowText(CString text)
{
    if (!m_response.GetSafeHwnd())
        return;
    text.TrimLeft(' ');
    TrimView();
    const long end = m_response.GetTextLength();
    m_response.SetSel(end, end);
    m_response.ReplaceSel(text);
    m_response.LineScroll(m_response.GetLineCount());
}

void CQvxTerminalDlg::TrimView()
{
    // A long trace would grow the view without end: the oldest half goes, at a line start.
    if (m_response.GetTextLength() <= kMaxViewChars)
        return;
    CString all;
    m_response.GetWindowText(all);
    int cut = all.Find('\n', all.GetLength() / 2);
    cut = cut < 0 ? all.GetLength() / 2 : cut + 1;
    m_response.SetWindowText(all.Mid(cut));
}

CString CQvxTerminalDlg::GetResponseText() const
{
    CString text;
    if (m_response.GetSafeHwnd())
        m_response.GetWindowText(text);
    return text;
}

void CQvxTerminalDlg::OnTypedChar()
{
    const char ch = m_response.TakeTypedChar();
    if (!ch)
        return;
    CString text;
    m_command.GetWindowText(text);
    text += ch;
    m_command.SetWindowText(text);
    m_command.SetFocus();
    m_command.SetEditSel(text.GetLength(), text.GetLength());
}

LRESULT CQvxTerminalDlg::OnActivate(WPARAM, LPARAM)
{
    Default();
    if (m_command.GetSafeHwnd()) {
        m_command.SetFocus();
        const int length = m_command.GetWindowTextLength();
        m_command.SetEditSel(length, length);
    }
    return 0;
}

void CQvxTerminalDlg::OnSize(UINT type, int cx, int cy)
{
    CGuiUpdateDlg::OnSize(type, cx, cy);
    LayoutControls();
    Invalidate();
}

void CQvxTerminalDlg::LayoutControls()
{
    if (!m_response.GetSafeHwnd() || !m_command.GetSafeHwnd() || !m_send.GetSafeHwnd())
        return;
    CRect client;
    GetClientRect(&client);
    CRect view, box, button;
    m_response.GetWindowRect(&view);
    ScreenToClient(&view);
    m_command.GetWindowRect(&box);
    ScreenToClient(&box);
    m_send.GetWindowRect(&button);
    ScreenToClient(&button);
    const int m = view.left;
    const int buttonTop = client.bottom - m - button.Height();
    const int buttonLeft = client.right - m - button.Width();
    m_send.MoveWindow(buttonLeft, buttonTop, button.Width(), button.Height());
    m_command.MoveWindow(m, client.bottom - m - box.Height(), std::max(10, buttonLeft - 5 - m), box.Height());
    m_response.MoveWindow(m, view.top, std::max(10, client.right - 2 * m), std::max(10, buttonTop - m - view.top));
}

void CQvxTerminalDlg::OnGetMinMaxInfo(MINMAXINFO* info)
{
    CGuiUpdateDlg::OnGetMinMaxInfo(info);
    info->ptMinTrackSize.x = kMinTrackSize;
    info->ptMinTrackSize.y = kMinTrackSize;
}
