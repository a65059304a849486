#include "HtmlTutorialDlg.h"

#include "AppPaths.h"
#include "KorvaneApp.h"
#include "MainFrame.h"
#include "foundation/WindowPlacement.h"
#include "framework/GuiUpdateDlg.h"
#include "framework/GuiUpdateDlgIdMap.h"
#include "platform/core/MessageBox.h"
#include "platform/ui/MsgBox.h"

namespace {
constexpr int kMargin = 10;
constexpr int kScreenMargin = 20;

int DefaultRouter(const CString& line, CString& reply)
{
    CKorvaneApp* app = CKorvaneApp::Get();
    return app ? app->ExecuteCommandLine(line, reply) : 0;
}

void DefaultHelp(int topic)
{
    CKorvaneApp* app = CKorvaneApp::Get();
    if (app && app->GetMainFrame())
        app->GetMainFrame()->WinHelp(static_cast<DWORD>(-topic), 1);
}

CGuiUpdateDlg* DefaultOpener(const CString& name, CWnd* opener)
{
    CGuiFrameServices* frame = CGuiFrameServices::Get();
    CGuiUpdateDlgIdMap* registry = frame ? frame->GetDlgIdMap() : nullptr;
    return registry ? registry->CreateGui(name, opener, 1) : nullptr;
}

bool Begins(const CString& command, const char* prefix)
{
    const int length = static_cast<int>(strlen(prefix));
    return command.Left(length).CompareNoCase(prefix) == 0;
}
}  // namespace

BEGIN_MESSAGE_MAP(CHtmlTutorialDlg, CDialog)
    ON_WM_TIMER()
    ON_WM_CLOSE()
    ON_WM_DESTROY()
    ON_WM_SIZE()
    ON_WM_GETMINMAXINFO()
    ON_BN_CLICKED(CHtmlTutorialDlg::kPrev, &CHtmlTutorialDlg::OnPrev)
    ON_BN_CLICKED(CHtmlTutorialDlg::kNext, &CHtmlTutorialDlg::OnNext)
    ON_BN_CLICKED(CHtmlTutorialDlg::kTopic, &CHtmlTutorialDlg::OnTopic)
END_MESSAGE_MAP()

CHtmlTutorialDlg::CHtmlTutorialDlg()
    : CDialog(IDD, nullptr), m_router(DefaultRouter), m_help(DefaultHelp), m_opener(DefaultOpener)
{
}

CHtmlTutorialDlg::~CHtmlTutorialDlg()
{
    if (m_attached)
        m_attached->SetOpener(nullptr);
    if (GetSafeHwnd())
        DestroyWindow();
}

CString CHtmlTutorialDlg::TutorialFolder() const
{
    return m_folder.IsEmpty() ? AfxGetAppPaths().programFolder + "Tutorial/" : m_folder;
}

int CHtmlTutorialDlg::LoadTutorIndex()
{
    return ReadTutorIndex(TutorialFolder() + kIndexFile, m_index);
}

int CHtmlTutorialDlg::QueueCommand(const CString& command)
{
    m_browser.m_tutorialCommands.AddTail(command);
    return 1;
}

// ---- running a tutorial ----

int CHtmlTutorialDlg::RunTutorial(const CString& fileName)
{
    CloseAttachedWindow();
    m_pages.RemoveAll();
    if (!m_pages.ReadFile(TutorialFolder() + fileName, m_index)) {
        AfxMessageBox("ERROR: Could not run tutorial.", MB_OK);
        return 0;
    }
    m_attachedName.Empty();
    m_current = 0;
    m_history.RemoveAll();
    if (!GetSafeHwnd() && !Create(IDD, nullptr))
        return 0;
    ShowWindow(SW_SHOWNORMAL);
    SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ShowCurrentPage();
    m_nextAllowed = 1;
    m_backAllowed = 1;
    UpdateNavigationButtons();
    return 1;
}

int CHtmlTutorialDlg::GoToPage(int index)
{
    if (index < 0 || index >= m_pages.GetCount())
        return 0;
    m_nextAllowed = 1;
    m_backAllowed = 1;
    m_history.AddHead(m_current);
    m_current = index;
    ShowCurrentPage();
    UpdateNavigationButtons();
    return 1;
}

int CHtmlTutorialDlg::GoToPageId(const CString& pageId)
{
    const int index = m_pages.FindPageId(pageId);
    return index < 0 ? 0 : GoToPage(index);
}

void CHtmlTutorialDlg::UpdateNavigationButtons()
{
    if (!GetSafeHwnd())
        return;
    CWnd* prev = GetDlgItem(kPrev);
    CWnd* next = GetDlgItem(kNext);
    prev->ShowWindow(SW_SHOW);
    next->ShowWindow(SW_SHOW);
    prev->EnableWindow(m_current > 0 && m_backAllowed);
    next->EnableWindow(m_current < m_pages.GetCount() - 1 && m_nextAllowed);
    if (m_browser.GetSafeHwnd())
        m_browser.SetFocus();
}

void CHtmlTutorialDlg::ShowCurrentPage()
{
    const CTutorPage* page = m_pages.GetPage(m_current);
    if (!page || !GetSafeHwnd())
        return;
    CWnd* prev = GetDlgItem(kPrev);
    CWnd* next = GetDlgItem(kNext);
    const BOOL prevEnabled = prev->IsWindowEnabled();
    const BOOL nextEnabled = next->IsWindowEnabled();
    prev->EnableWindow(FALSE);
    next->EnableWindow(FALSE);
    const CTutorPage shown = *page;  // the page window may run commands that change the list
    ShowPageWindow(shown);
    SetWindowText(!shown.m_title.IsEmpty()   ? shown.m_title
                  : !m_pages.m_topic.IsEmpty() ? m_pages.m_topic
                                                 : CString("Korvane Setup Wizard"));
    CString lastPage = "-None-";
    if (!m_history.IsEmpty())
        if (const CTutorPage* last = m_pages.GetPage(m_history.GetHead()))
            if (!last->m_pageId.IsEmpty())
                lastPage = last->m_pageId;
    CString query;
    query.Format("?intutor=%u&lastpage=%s", 1u, lastPage.GetString());
    m_browser.NavigateWithQuery(TutorialFolder() + shown.m_url + query);
    prev->EnableWindow(prevEnabled);
    next->EnableWindow(nextEnabled);
}

void CHtmlTutorialDlg::ShowPageWindow(const CTutorPage& page)
{
    if (page.m_windowName != m_attachedName)
        CloseAttachedWindow();
    if (page.m_windowName.IsEmpty() || (m_attached && page.m_windowName == m_attachedName))
        return;
    CGuiUpdateDlg* window = m_opener ? m_opener(page.m_windowName, this) : nullptr;
    if (!window) {
        m_attachedName.Empty();
        return;
    }
    m_attached = window;
    m_attachedName = page.m_windowName;
    PlaceBeside(window);
}

void CHtmlTutorialDlg::PlaceBeside(CWnd* window)
{
    CRect tutorial;
    GetWindowRect(&tutorial);
    CRect attached;
    window->GetWindowRect(&attached);
    int x = tutorial.right + kMargin;
    int y = tutorial.top;
    const int screenWidth = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    int dx = 0;
    int dy = 0;
    if (x + attached.Width() > screenWidth - kScreenMargin)
        dx = x + attached.Width() - (screenWidth - kScreenMargin);
    if (y + attached.Height() > screenHeight)
        dy = y + attached.Height() - screenHeight;
    window->SetWindowPos(nullptr, x - dx, y - dy, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    if (dx || dy)
        SetWindowPos(nullptr, tutorial.left - dx, tutorial.top - dy, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

void CHtmlTutorialDlg::CloseAttachedWindow()
{
    CGuiUpdateDlg* window = m_attached;
    m_attached = nullptr;
    m_attachedName.Empty();
    if (!window)
        return;
    window->SetOpener(nullptr);
    window->DetachFromUpdateList(kDetachDestroy);
}

void CHtmlTutorialDlg::OnOpenedWindowClosed(CGuiUpdateDlg* window)
{
    if (window != m_attached)
        return;
    m_attached = nullptr;
    m_attachedName.Empty();
}

// ---- commands ----

bool CHtmlTutorialDlg::AttachedMayLeave() { return !m_attached || m_attached->CanCloseNow(); }

void CHtmlTutorialDlg::RunTutorCommand(const CString& command)
{
    if (Begins(command, "SETPAGE/")) {
        GoToPageId(command.Mid(8));
    } else if (Begins(command, "HELPPAGE/")) {
        if (m_help)
            m_help(atoi(command.Mid(9)));
    } else if (Begins(command, "NEXTPAGE")) {
        if (AttachedMayLeave() && m_current < m_pages.GetCount() - 1)
            GoToPage(m_current + 1);
    } else if (Begins(command, "PREVPAGE")) {
        if (AttachedMayLeave() && m_current > 0)
            GoToPage(m_current - 1);
    } else if (Begins(command, "LASTPAGE")) {
        if (!m_history.IsEmpty())
            GoToPage(m_history.RemoveHead());
    } else if (Begins(command, "RUNTUTOR/")) {
        RunTutorial(command.Mid(9));
    }
}

void CHtmlTutorialDlg::RunQueuedCommands()
{
    // Oldest first, so a command that runs a new tutorial precedes the page
    // set on it; each command is taken off before it runs, since it may queue more.
    while (!m_browser.m_tutorialCommands.IsEmpty())
        RunTutorCommand(m_browser.m_tutorialCommands.RemoveHead());
    while (!m_browser.m_clientCommands.IsEmpty()) {
        CString reply;
        if (m_router)
            m_router(m_browser.m_clientCommands.RemoveHead(), reply);
        else
            m_browser.m_clientCommands.RemoveHead();
    }
}

void CHtmlTutorialDlg::OnTimer(UINT_PTR id)
{
    if (id == kCommandTimer)
        RunQueuedCommands();
}

// ---- window ----

BOOL CHtmlTutorialDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    CWindowPlacement placement;
    placement.RestoreFromProfile(FALSE, this, "", TRUE);
    CRect place;
    GetDlgItem(kBrowserPlace)->GetWindowRect(&place);
    ScreenToClient(&place);
    GetDlgItem(kBrowserPlace)->ShowWindow(SW_HIDE);
    m_browser.Create(place, this, kBrowserPlace + 1000);
    CRect client;
    GetClientRect(&client);
    ArrangeControls(client.Width(), client.Height());
    SetTimer(kCommandTimer, 200, nullptr);
    return TRUE;
}

void CHtmlTutorialDlg::CloseTutorial()
{
    ShowWindow(SW_HIDE);
    if (CGuiUpdateDlg* window = m_attached) {
        window->SetOpener(nullptr);
        window->ModifyStyleEx(0, 0x400);
    }
    m_attached = nullptr;
    m_attachedName.Empty();
}

void CHtmlTutorialDlg::OnClose()
{
    CloseTutorial();
    CWindowPlacement placement;
    placement.SaveToProfile(this, "");
}

void CHtmlTutorialDlg::OnDestroy()
{
    KillTimer(kCommandTimer);
    CWindowPlacement placement;
    placement.SaveToProfile(this, "");
}

void CHtmlTutorialDlg::OnSize(UINT /*type*/, int cx, int cy)
{
    if (m_browser.GetSafeHwnd())
        ArrangeControls(cx, cy);
}

void CHtmlTutorialDlg::ArrangeControls(int cx, int cy)
{
    CRect close;
    GetDlgItem(IDCANCEL)->GetWindowRect(&close);
    ScreenToClient(&close);
    const int top = cy - kMargin - close.Height();
    for (int id : {kPrev, kNext, kTopic}) {
        CRect rect;
        GetDlgItem(id)->GetWindowRect(&rect);
        ScreenToClient(&rect);
        GetDlgItem(id)->MoveWindow(rect.left, top, rect.Width(), rect.Height(), FALSE);
    }
    GetDlgItem(IDCANCEL)->MoveWindow(cx - kMargin - close.Width(), top, close.Width(), close.Height(), FALSE);
    m_browser.MoveWindow(kMargin, kMargin, std::max(10, cx - 2 * kMargin), std::max(10, top - 5 - kMargin), TRUE);
}

void CHtmlTutorialDlg::OnGetMinMaxInfo(MINMAXINFO* info)
{
    info->ptMinTrackSize.x = 300;
    info->ptMinTrackSize.y = 300;
}
