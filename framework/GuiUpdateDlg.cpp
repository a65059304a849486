#include "GuiUpdateDlg.h"

#include "GuiFrameServices.h"
#include "GuiTutorialOpener.h"
#include "GuiUpdateList.h"
#include "QvxGuiEditCtrl.h"
#include "QvxUpdateChildDlg.h"
#include <algorithm>

#include "foundation/ParamParse.h"
#include "framework/WindowCascade.h"
#include "platform/core/Archive.h"
#include "platform/core/Array.h"
#include "platform/core/Exception.h"
#include "foundation/WindowPlacement.h"
#include "platform/core/Profile.h"
#include "platform/core/Rand.h"
#include "platform/ui/DialogTemplate.h"
#include "platform/ui/MdiFrameWnd.h"
#include "platform/ui/WinApp.h"

IMPLEMENT_DYNAMIC(CGuiUpdateDlg, CObject)

namespace {
constexpr int kSmCyHScroll = 3;
constexpr int kSmCxHScroll = 21;
const char kDefaultAbandonPrompt[] = "Changes have not been sent to the drive.  Abandon changes?";
constexpr double kEnableCheckSeconds = 2.0;
constexpr int kCascadeOffset = 50;

// The most recently opened drive window other than `self` that stands on its own.
CWnd* LastOpenedWindow(const CGuiUpdateList& list, const CWnd* self)
{
    for (POSITION pos = list.GetTailPosition(); pos;) {
        CGuiUpdateItem* item = list.GetPrev(pos);
        CWnd* wnd = item->GetWnd();
        if (item->IsMovableWindow() && wnd && wnd != self && wnd->GetSafeHwnd() && wnd->IsWindowVisible() &&
            !(wnd->GetStyle() & WS_CHILD))
            return wnd;
    }
    return nullptr;
}

// Where a cascade starts again: the top left of the main window's work area, so a window
// does not land over the menu bar; the screen's corner when there is no main window.
CPoint CascadeStart(const CWnd* window, const CRect& screen)
{
    CWnd* main = AfxGetMainWnd();
    if (!main || main == window || !main->GetSafeHwnd() || !main->IsWindowVisible())
        return screen.TopLeft();
    CRect work;
    auto* frame = dynamic_cast<CMDIFrameWnd*>(main);
    CWnd* client = frame ? frame->GetMDIClient() : nullptr;
    if (client && client->GetSafeHwnd()) {
        client->GetWindowRect(&work);
    } else {
        main->GetClientRect(&work);
        main->ClientToScreen(&work);
    }
    return CPoint(std::clamp(work.left, screen.left, screen.right), std::clamp(work.top, screen.top, screen.bottom));
}

// A window with no saved place opens down and right of the last opened one, and always
// whole on the screen: a step that would push it off starts the cascade again.
void CascadeBelow(CWnd* window, CWnd* previous)
{
    CRect mine;
    window->GetWindowRect(&mine);
    CPoint at = mine.TopLeft();
    if (previous) {
        CRect theirs;
        previous->GetWindowRect(&theirs);
        at = theirs.TopLeft() + CPoint(kCascadeOffset, kCascadeOffset);
    }
    const CRect screen(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    if (at.x + mine.Width() > screen.right || at.y + mine.Height() > screen.bottom || at.x < 0 || at.y < 0) {
        at = CascadeStart(window, screen);
        // A window larger than what is left of the screen keeps its right and bottom edges on it.
        at.x = std::max(screen.left, std::min<int>(at.x, screen.right - mine.Width()));
        at.y = std::max(screen.top, std::min<int>(at.y, screen.bottom - mine.Height()));
    }
    window->SetWindowPos(nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}
}  // namespace

BEGIN_MESSAGE_MAP(CGuiUpdateDlg, CDialog)
    ON_WM_CLOSE()
    ON_WM_DESTROY()
    ON_COMMAND(kToolbarButtonCommand, &CGuiUpdateDlg::OnToolbarButton)
    ON_MESSAGE(WM_SYSCOMMAND, &CGuiUpdateDlg::OnSysCommand)
    ON_MESSAGE(WM_EXITSIZEMOVE, &CGuiUpdateDlg::OnExitSizeMove)
    ON_WM_SIZE()
    ON_WM_HSCROLL()
    ON_WM_VSCROLL()
    ON_WM_GETMINMAXINFO()
    ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

CGuiUpdateDlg::CGuiUpdateDlg(UINT templateId, CWnd* parent) : CDialog(templateId, parent)
{
    // The toolbar's indicator and the enable button follow the enable and fault words.
    m_statusFlags = kStatusWord | kStatusFault;
    SetDialogFont("Arial", 9);
    m_controls.SetOwner(this);
}

CGuiUpdateDlg::~CGuiUpdateDlg()
{
    DetachFromWindow();
    if (GetSafeHwnd()) {
        m_keepObject = 1;  // being deleted already: the window must not delete us again
        DestroyWindow();
    }
}

void CGuiUpdateDlg::SetDialogFont(const char* name, int size)
{
    m_fontName = name;
    m_fontSize = size;
}

void CGuiUpdateDlg::SetWindowName(const CString& name, int instance)
{
    m_windowName = name;
    m_instance = instance;
}

// ---------------------------------------------------------------------------
BOOL CGuiUpdateDlg::CreateGuiWindow(int show)
{
    if (!GetSafeHwnd()) {
        BOOL created = FALSE;
        if (const DialogTemplate* found = AfxFindDialogTemplate(m_templateId)) {
            DialogTemplate withFont = *found;
            withFont.faceName = m_fontName;
            withFont.pointSize = m_fontSize;
            created = CreateIndirect(withFont, m_pParentWnd);
        } else {
            created = Create(m_templateId, m_pParentWnd);
        }
        if (!created)
            return FALSE;
        ModifyStyleEx(0, WS_EX_CONTEXTHELP);
    }
    if (show) {
        CGuiUpdateList* list = ListForRegistration();
        CGuiUpdateItem* last = list ? list->FindLastItemOfClass(GetGuiName()) : nullptr;
        CWnd* lastOpened = list ? LastOpenedWindow(*list, this) : nullptr;
        AttachToUpdateList();
        ShowWindow(SW_SHOW);
        if (m_cascadePending == kCascadeFromLastOpened)
            CascadeBelow(this, lastOpened);
        else if (m_cascadePending == kCascadeFromSameClass && last)
            CascadeFrom(last->GetWnd());
        m_cascadePending = kNoCascade;
    } else {
        DetachFromUpdateList(kDetachUnregister);
        ShowWindow(SW_HIDE);
    }
    return TRUE;
}

BOOL CGuiUpdateDlg::OnInitDialog()
{
    if (CGuiFrameServices* frame = CGuiFrameServices::Get())
        m_pList = frame->GetUpdateList();
    CDialog::OnInitDialog();
    if (m_drive == -1)
        m_drive = GetDefaultDrive();
    if (m_showToolbar && CreateToolbar())
        m_toolbar.ShowWindow(SW_SHOW);
    UpdateTitle();
    UpdateEnableButton();
    if (IsSpecialInit())
        return TRUE;
    const bool scrolling = (GetStyle() & (WS_HSCROLL | WS_VSCROLL)) != 0;
    if (scrolling) {
        SetupScrolling(-1, -1);
        CRect window;
        GetWindowRect(&window);
        SetWindowPos(nullptr, 0, 0, window.Width() + GetSystemMetrics(kSmCyHScroll),
                     window.Height() + GetSystemMetrics(kSmCxHScroll), SWP_NOMOVE | SWP_NOZORDER);
    }
    bool restored = false;
    if (m_restorePlacement) {
        CWindowPlacement placement;
        placement.RestoreFromProfile(KeepsSizeOnRestore(), this, "", TRUE);
        restored = placement.WasApplied();
    }
    // Compared once shown: a window's place is only final then.
    if (m_pList && m_pList->IsLoadingLayout())
        m_cascadePending = kNoCascade;
    else
        m_cascadePending = restored ? kCascadeFromSameClass : kCascadeFromLastOpened;
    if (scrolling) {
        UpdateScrollBars();
        ApplyScrollPosition();
    }
    return TRUE;
}

void CGuiUpdateDlg::CascadeFrom(CWnd* other)
{
    if (!other || other == this || !other->GetSafeHwnd() || !GetSafeHwnd())
        return;
    CRect mine, theirs;
    GetWindowRect(&mine);
    other->GetWindowRect(&theirs);
    if (mine.left == theirs.left && mine.top == theirs.top)
        SetWindowPos(nullptr, mine.left + kCascadeOffset, mine.top + kCascadeOffset, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER);
}

BOOL CGuiUpdateDlg::CreateToolbar()
{
    if (!m_toolbar.CreateEx(this, this, WS_CHILD | WS_VISIBLE | CBRS_TOP))
        return FALSE;
    CRect bar;
    m_toolbar.GetWindowRect(&bar);
    const int height = bar.Height();
    for (CWnd* child = GetWindow(GW_CHILD); child; child = child->GetWindow(GW_HWNDNEXT)) {
        if (child == &m_toolbar)
            continue;
        CRect rect;
        child->GetWindowRect(&rect);
        ScreenToClient(&rect);
        child->MoveWindow(rect.left, rect.top + height, rect.Width(), rect.Height(), FALSE);
    }
    CRect window;
    GetWindowRect(&window);
    SetWindowPos(nullptr, 0, 0, window.Width(), window.Height() + height, SWP_NOMOVE | SWP_NOZORDER);
    m_toolbar.FitToParentWidth();
    return TRUE;
}

void CGuiUpdateDlg::GrowWidthBy(int pixels)
{
    if (!GetSafeHwnd() || pixels <= 0)
        return;
    CRect window;
    GetWindowRect(&window);
    const int width = std::min(window.Width() + pixels, std::max(window.Width(), GetSystemMetrics(SM_CXSCREEN)));
    if (width <= window.Width())
        return;
    SetWindowPos(nullptr, 0, 0, width, window.Height(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (m_toolbar.GetSafeHwnd())
        m_toolbar.FitToParentWidth();
}

void CGuiUpdateDlg::UpdateTitle()
{
    if (!GetSafeHwnd())
        return;
    CString title = GetItemName();
    // A window with no drive chosen names none, rather than "- Drive " and nothing.
    if (m_showToolbar && !GetDriveName().IsEmpty())
        title.Format("%s - Drive %s", GetItemName().GetString(), GetDriveName().GetString());
    SetWindowText(title);
}

// ---------------------------------------------------------------------------
void CGuiUpdateDlg::AttachToUpdateList()
{
    CGuiUpdateItem::AttachToUpdateList();
    OnAttached();
}

void CGuiUpdateDlg::DetachFromUpdateList(int flags)
{
    if (flags & (kDetachUnregister | kDetachClose))
        CGuiUpdateItem::DetachFromUpdateList(kDetachUnregister);
    CancelQueries();
    ShutdownControls();
    if (flags & kDetachDestroy)
        DestroyWindow();
    else if ((flags & kDetachClose) && GetSafeHwnd())
        PostMessage(WM_CLOSE);
}

int CGuiUpdateDlg::CanClose()
{
    const int pending = GetPendingChangesState(0);
    if (pending == 0)
        return 0;
    if (m_closing || pending == 2)
        return 1;
    SetFocus();
    const CString prompt = m_abandonPrompt.IsEmpty() ? CString(kDefaultAbandonPrompt) : m_abandonPrompt;
    // A window already taken off the list (all windows closing) still asks
    // through the list's gate; otherwise it could never be closed.
    CGuiUpdateList* gate = ListForRegistration();
    if (!gate)
        return 0;
    return gate->MessageBox(prompt, MB_YESNO, static_cast<int>(m_nIDHelp), IDYES) == IDYES;
}

void CGuiUpdateDlg::SetDrive(int drive, int restart)
{
    if (drive == m_drive)
        return;
    AfxWriteProfileInt("GENERAL", "DFLTDRV", drive);
    m_drive = drive;
    if (restart) {
        ResetQueryStages(1, 1, 1);
        m_controls.RestartPollingAll();
    }
    if (m_toolbar.GetSafeHwnd())
        m_toolbar.RefreshDrives();
    UpdateEnableButton();
    UpdateTitle();
}

void CGuiUpdateDlg::RandomExercise(int flags)
{
    if (m_exerciseTimer.GetElapsedSeconds() < 1.0)
        return;
    m_exerciseTimer.Restart();
    if ((flags & 1) && Rand() % 10 == 0)
        ResetQueryStages(1, 1, 1);
    else if ((flags & 2) && Rand() % 2 == 0)
        m_controls.RandomExercise(flags);
}

void CGuiUpdateDlg::ProcessResponses()
{
    ProcessQueuedResponses();
    for (POSITION pos = m_controls.GetHeadPosition(); pos;)
        m_controls.GetNext(pos)->ProcessResponses();
    CheckEnableRequest();
}

void CGuiUpdateDlg::UpdateControls()
{
    for (POSITION pos = m_controls.GetHeadPosition(); pos;)
        m_controls.GetNext(pos)->OnUpdateControls();
}

int CGuiUpdateDlg::SubscribeStatusQueries()
{
    const int result = CGuiUpdateItem::SubscribeStatusQueries();
    m_controls.RestartPollingAll();
    return result;
}

int CGuiUpdateDlg::InitialUpdate()
{
    for (POSITION pos = m_controls.GetHeadPosition(); pos;)
        m_controls.GetNext(pos)->OnFirstUpdate();
    for (POSITION pos = m_controls.GetHeadPosition(); pos;)
        m_controls.GetNext(pos)->ProcessResponses();
    return 1;
}

int CGuiUpdateDlg::GetPendingChangesState(int ignored)
{
    if (m_controls.AnyModified())
        return 1;
    return CGuiUpdateItem::GetPendingChangesState(ignored);
}

void CGuiUpdateDlg::ShutdownControls()
{
    // No control's job may stay at the distribution manager once the window goes;
    // detached, the controls (members of the window) are not touched again.
    for (POSITION pos = m_controls.GetHeadPosition(); pos;)
        m_controls.GetNext(pos)->Shutdown();
    m_controls.RemoveAll();
}

CString CGuiUpdateDlg::ListControls()
{
    CString text;
    m_controls.ListValues(text);
    return text;
}

HBRUSH CGuiUpdateDlg::OnCtlColor(CDC* dc, CWnd* child, UINT kind)
{
    if (auto* edit = dynamic_cast<CQvxGuiEditCtrl*>(child))
        return edit->PrepareColours(dc);
    return CDialog::OnCtlColor(dc, child, kind);
}

void CGuiUpdateDlg::CheckEnableRequest()
{
    if (m_enableRequest != 1 || m_enableTimer.GetElapsedSeconds() <= kEnableCheckSeconds)
        return;
    // Checked once: a drive that enables late must not raise the message later.
    m_enableRequest = 0;
    if (m_enableBit == 0)
        CGuiUpdateItem::MessageBox("Could not enable drive", MB_OK, kCouldNotEnableHelpId, 1);
}

int CGuiUpdateDlg::ExecuteCommand(const CString& command, CString& reply)
{
    if (command.Left(9).CompareNoCase("SENDTOAMP") == 0) {
        int group = 0;
        const int result = CParamParse::ParseParams(command, {group});
        if (result != CParamParse::ok) {
            reply = "ERROR:" + CParamParse::GetErrorString(result);
            return 1;
        }
        // A window that refuses (an enabled drive, a bad entry) has told the user why; the script hears it too.
        reply = SendGroup(group) ? "SUCCESS" : "ERROR: The window refused to send its settings to the drive";
        return 1;
    }
    if (command.Left(5) == "CLOSE") {
        reply = "SUCCESS";
        DetachFromUpdateList(kDetachDestroy);  // may delete this object
        return 1;
    }
    return m_controls.ExecuteControlCommand(command, reply);
}

void CGuiUpdateDlg::OnEnableBitChanged(int /*bit*/)
{
    UpdateEnableButton();
    if (m_toolbar.GetSafeHwnd())
        m_toolbar.Invalidate();
}

void CGuiUpdateDlg::OnFaultWordChanged(int /*value*/)
{
    UpdateEnableButton();
    if (m_toolbar.GetSafeHwnd())
        m_toolbar.Invalidate();
}

void CGuiUpdateDlg::OnDriveStateChanged()
{
    if (m_toolbar.GetSafeHwnd())
        m_toolbar.Invalidate();
}

void CGuiUpdateDlg::OnChildDialogClosed(int code)
{
    if (code != 1)
        return;
    SetFocus();
    ResetQueryStages(1, 1, 1);
}

// ---------------------------------------------------------------------------
void CGuiUpdateDlg::GetToolbarInfo(CList<CAmplifierData>& drives, int& currentDrive)
{
    if (CGuiUpdateList* list = ListForRegistration())
        list->GetDrivesForGui(&drives, GetGuiName(), 0, 1);
    currentDrive = GetDrive();
}

int CGuiUpdateDlg::OnToolbarDriveSelected(const CString& driveText)
{
    int drive = -1;
    if (!ParseDriveReference(driveText, drive) || drive == m_drive)
        return 1;
    if (!CanClose())
        return 0;
    SetDrive(drive, 1);
    return 1;
}

int CGuiUpdateDlg::GetDriveEnableState()
{
    // One source per drive, so that every window on it shows the same state.
    CGuiUpdateList* list = ListForRegistration();
    const int drive = GetDrive();
    return list && drive != -1 ? list->GetDriveState(drive) : kDriveStateUnknown;
}

LRESULT CGuiUpdateDlg::HandleWindowMessage(HWND window, UINT message, WPARAM, LPARAM)
{
    if (message == WM_LBUTTONUP && m_pEnableButton && window == m_pEnableButton->GetSafeHwnd() &&
        m_pEnableButton->IsWindowEnabled())
        SendDriveEnable(m_enableBit ? 0 : 1);
    return 0;
}

int CGuiUpdateDlg::SendDriveEnable(int state)
{
    // GetDrive: a page of a tabbed window works on its sheet's drive.
    const int drive = GetDrive();
    if (drive == -1)
        return 0;
    m_enableRequest = state;
    m_enableTimer.Restart();
    return SendCommand(static_cast<BYTE>(drive), kDriveEnableCode, state);
}

int CGuiUpdateDlg::SelectDrive(int drive)
{
    CString name;
    if (!FindDriveNameByNumber(drive, name) || !m_toolbar.GetSafeHwnd())
        return 0;
    CQvxSelectAmpCombo& selector = m_toolbar.GetSelector();
    return selector.SelectString(-1, name) >= 0;
}

void CGuiUpdateDlg::SetEnableButton(CWnd* button)
{
    DetachFromWindow();
    m_pEnableButton = button;
    if (button && button->GetSafeHwnd())
        AttachToWindow(button->GetSafeHwnd());
    UpdateEnableButton();
}

void CGuiUpdateDlg::UpdateEnableButton()
{
    if (!m_pEnableButton || !m_pEnableButton->GetSafeHwnd())
        return;
    const bool hasDrive = GetDrive() != -1;
    m_pEnableButton->EnableWindow(hasDrive);
    const bool enabled = hasDrive && m_enableBit && m_faultWord == 0;
    m_pEnableButton->SetWindowText(enabled ? "DISABLE DRIVE" : "ENABLE DRIVE");
}

// ---------------------------------------------------------------------------
CGuiTutorialOpener* CGuiUpdateDlg::GetTutorialOpener() const
{
    return dynamic_cast<CGuiTutorialOpener*>(m_pOpener);
}

void CGuiUpdateDlg::ReleaseOpener()
{
    if (CGuiTutorialOpener* tutorial = GetTutorialOpener())
        tutorial->OnOpenedWindowClosed(this);
    m_pOpener = nullptr;
}

void CGuiUpdateDlg::AdvanceTutorialPage()
{
    CGuiTutorialOpener* tutorial = GetTutorialOpener();
    if (!tutorial)
        return;
    CGuiUpdateDlg* held = tutorial->GetOpenedWindow();
    if (held && !held->CanCloseNow())
        return;
    const int page = tutorial->GetPageIndex();
    if (page >= tutorial->GetPageCount() - 1)
        return;
    tutorial->GoToPage(page + 1);
}

int CGuiUpdateDlg::AddChildDialog(CQvxUpdateChildDlg* child)
{
    if (!child || !child->Create())
        return -1;
    const int id = m_childCounter++;
    child->SetChildId(id);
    m_childDialogs.SetAt(id, child);
    return id;
}

void CGuiUpdateDlg::CloseChildDialogs()
{
    CArray<CQvxUpdateChildDlg*, CQvxUpdateChildDlg*> children;
    for (POSITION pos = m_childDialogs.GetStartPosition(); pos;) {
        int id = 0;
        CQvxUpdateChildDlg* child = nullptr;
        m_childDialogs.GetNextAssoc(pos, id, child);
        children.Add(child);
    }
    m_childDialogs.RemoveAll();
    for (int i = 0; i < children.GetSize(); ++i)
        if (children[i]->GetSafeHwnd())
            children[i]->DestroyWindow();
}

BOOL CGuiUpdateDlg::RemoveChildDialog(int id, const CQvxUpdateChildDlg* child)
{
    CQvxUpdateChildDlg* found = nullptr;
    if (!m_childDialogs.Lookup(id, found) || found != child)
        return FALSE;
    m_childDialogs.RemoveKey(id);
    return TRUE;
}

void CGuiUpdateDlg::OnClose()
{
    CloseChildDialogs();
    if (!CanClose())
        return;
    ReleaseOpener();
    DetachFromUpdateList(kDetachDestroy | kDetachUnregister);
}

void CGuiUpdateDlg::OnCancel()
{
    CloseChildDialogs();
    if (!GetDlgItem(IDCANCEL))
        return;
    ReleaseOpener();
    DetachFromUpdateList(kDetachDestroy);
}

void CGuiUpdateDlg::OnOK()
{
    // Enter belongs to the bound controls; it never closes a drive window.
    m_controls.AcceptPendingEntry();
}

BOOL CGuiUpdateDlg::PreTranslateMessage(MSG* msg)
{
    if (msg->message == WM_KEYDOWN)
        if (CGuiFrameServices* frame = CGuiFrameServices::Get())
            if (frame->HandleNavigationKey(static_cast<UINT>(msg->wParam)))
                return TRUE;
    return CDialog::PreTranslateMessage(msg);
}

LRESULT CGuiUpdateDlg::OnSysCommand(WPARAM wParam, LPARAM)
{
    if ((wParam & 0xFFF0) == SC_CONTEXTHELP) {
        if (CGuiFrameServices* frame = CGuiFrameServices::Get())
            frame->ShowHelp(m_nIDHelp);
        return 0;
    }
    return Default();
}

LRESULT CGuiUpdateDlg::OnExitSizeMove(WPARAM, LPARAM)
{
    if (m_toolbar.GetSafeHwnd())
        m_toolbar.FitToParentWidth();
    return Default();
}

void CGuiUpdateDlg::SetupScrolling(int widthLimit, int heightLimit)
{
    const DWORD style = GetStyle();
    m_scroller.Setup(this, (style & WS_HSCROLL) != 0, (style & WS_VSCROLL) != 0, widthLimit, heightLimit,
                     m_toolbar.GetSafeHwnd() ? &m_toolbar : nullptr);
    const CSize track = m_scroller.GetMaxTrackSize();
    CRect window;
    GetWindowRect(&window);
    if (window.Width() > track.cx || window.Height() > track.cy)
        SetWindowPos(nullptr, 0, 0, std::min<int>(window.Width(), track.cx), std::min<int>(window.Height(), track.cy),
                     SWP_NOMOVE | SWP_NOZORDER);
    UpdateScrollBars();
}

void CGuiUpdateDlg::UpdateScrollBars()
{
    CRect client;
    GetClientRect(&client);
    m_scroller.UpdateBars(client);
}

void CGuiUpdateDlg::OnSize(UINT, int, int)
{
    Default();
    if (!m_scroller.IsScrolling())
        return;
    UpdateScrollBars();
    ApplyScrollPosition();
}

void CGuiUpdateDlg::OnHScroll(UINT code, UINT position, CWnd*)
{
    if (m_scroller.IsHorizontal())
        m_scroller.OnScroll(false, code, position);
    Default();
}

void CGuiUpdateDlg::OnVScroll(UINT code, UINT position, CWnd*)
{
    if (m_scroller.IsVertical())
        m_scroller.OnScroll(true, code, position);
    Default();
}

void CGuiUpdateDlg::OnGetMinMaxInfo(MINMAXINFO* info)
{
    if (info && m_scroller.IsHorizontal())
        info->ptMaxTrackSize.x = m_scroller.GetMaxTrackSize().cx;
    if (info && m_scroller.IsVertical())
        info->ptMaxTrackSize.y = m_scroller.GetMaxTrackSize().cy;
    Default();
}

void CGuiUpdateDlg::SerializeLayout(CArchive& ar, int version)
{
    if (ar.IsStoring()) {
        if (m_scroller.IsScrolling()) {
            m_properties.SetInt("ScrollPosH", m_scroller.GetBar(false).pos);
            m_properties.SetInt("ScrollPosV", m_scroller.GetBar(true).pos);
            m_properties.SetInt("LastScrollPosH", m_scroller.GetLastPosition().x);
            m_properties.SetInt("LastScrollPosV", m_scroller.GetLastPosition().y);
        }
        CGuiUpdateItem::SerializeLayout(ar, version);
        ar << static_cast<int>(GetDrive());
        CWindowPlacement placement;
        if (!placement.SaveToArchive(this, ar))
            throw CArchiveException(CArchiveException::genericException);
        return;
    }
    CGuiUpdateItem::SerializeLayout(ar, version);
    int drive = -1;
    ar >> drive;
    m_drive = drive;
    if (!CreateGuiWindow(1))
        throw CArchiveException(CArchiveException::genericException);
    CWindowPlacement placement;
    placement.m_rescale = 1;
    if (!placement.LoadFromArchive(KeepsSizeOnRestore(), this, ar, version, TRUE))
        throw CArchiveException(CArchiveException::endOfFile);
    RestoreLayoutScrollPositions();
}

BOOL CGuiUpdateDlg::KeepsSizeOnRestore() const
{
    // A size the user gave a resizable window is his; a fixed one follows its template.
    return m_keepSize && !(GetStyle() & WS_THICKFRAME);
}

void CGuiUpdateDlg::RestoreLayoutScrollPositions()
{
    if (!m_scroller.IsScrolling())
        return;
    int horizontal = 0;
    int vertical = 0;
    m_properties.GetInt("ScrollPosH", horizontal);
    m_properties.GetInt("ScrollPosV", vertical);
    m_scroller.SetPosition(false, horizontal);
    m_scroller.SetPosition(true, vertical);
    ApplyScrollPosition();
}

void CGuiUpdateDlg::PreSubclassWindow()
{
    if (m_scrollable)
        ModifyStyle(0, WS_VSCROLL | WS_HSCROLL | WS_THICKFRAME);
    CDialog::PreSubclassWindow();
}

void CGuiUpdateDlg::OnDestroy()
{
    CloseChildDialogs();
    if (m_restorePlacement)
        CWindowPlacement().SaveToProfile(this, "");
    DetachFromUpdateList(kDetachUnregister);
    DetachFromWindow();
    Default();
}

void CGuiUpdateDlg::PostNcDestroy()
{
    if (!m_keepObject)
        delete this;
}
