#include "GuiUpdatePropSheet.h"

#include <new>
#include <stdexcept>

#include "GuiFrameServices.h"
#include "GuiUpdateList.h"
#include "GuiUpdatePpg.h"
#include "foundation/ParamParse.h"
#include "foundation/WindowPlacement.h"
#include "framework/WindowCascade.h"
#include "platform/core/Archive.h"
#include "platform/core/Exception.h"
#include "platform/core/Profile.h"
#include "platform/ui/ClientDC.h"
#include "platform/ui/DialogTemplate.h"
#include "platform/ui/WinApp.h"

IMPLEMENT_DYNAMIC(CGuiUpdatePropSheet, CGuiUpdateDlg)

namespace {
const char kErrorPrefix[] = "ERROR:";
const char kSendButtonText[] = "  Send Settings To Drive  ";
const char kEnableButtonText[] = "   ENABLE DRIVE   ";
const char kTabSaveSection[] = "TABSAVE";
constexpr UINT SC_CLOSE_COMMAND = 0xF060;
constexpr DWORD kDefaultSheetStyle =
    DS_MODALFRAME | DS_3DLOOK | DS_CONTEXTHELP | DS_SETFONT | WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU;
constexpr int kSmCyHScroll = 3;
constexpr int kSmCxHScroll = 21;
constexpr int kScrollHeightAllowance = 35;

CRect ClientRectOf(const CWnd* parent, const CWnd* child)
{
    CRect rect;
    child->GetWindowRect(&rect);
    parent->ScreenToClient(&rect);
    return rect;
}

void Offset(CWnd* parent, CWnd* child, int dx, int dy)
{
    if (!child)
        return;
    const CRect rect = ClientRectOf(parent, child);
    child->MoveWindow(rect.left + dx, rect.top + dy, rect.Width(), rect.Height(), FALSE);
}
}  // namespace

BEGIN_MESSAGE_MAP(CGuiUpdatePropSheet, CGuiUpdateDlg)
    ON_WM_CLOSE()
    ON_MESSAGE(WM_SYSCOMMAND, &CGuiUpdatePropSheet::OnSheetSysCommand)
    ON_MESSAGE(kPageResizeMessage, &CGuiUpdatePropSheet::OnPageResize)
END_MESSAGE_MAP()

CGuiUpdatePropSheet::CGuiUpdatePropSheet(const char* caption) : CGuiUpdateDlg(0, nullptr)
{
    if (!caption)
        throw std::invalid_argument("property sheet without a caption");
    m_caption = caption;
    m_header.caption = caption;
    m_header.dwFlags = PSH_PROPSHEETPAGE;
    m_header.nStartPage = 0;
    m_showToolbar = 1;
    m_toolbar.SetShowState(FALSE);
    m_toolbar.SetKeepSelectorPosition(TRUE);
    m_statusFlags = kStatusMode | kStatusWord | kStatusFault;
}

CGuiUpdatePropSheet::~CGuiUpdatePropSheet()
{
    for (CPropertyPage* record : m_header.pages)
        delete record;
    m_header.pages.clear();
}

// ---------------------------------------------------------------------------
BOOL CGuiUpdatePropSheet::Create(UINT /*templateId*/, CWnd* parent)
{
    return CreateSheet(parent ? parent : AfxGetMainWnd(), kDefaultSheetStyle, 0);
}

BOOL CGuiUpdatePropSheet::CreateSheet(CWnd* parent, DWORD style, DWORD exStyle)
{
    if (m_header.dwFlags & PSH_AEROWIZARD)
        throw std::invalid_argument("property sheet: wizard headers are not supported");
    BuildPageTemplates();
    m_header.dwFlags |= PSH_MODELESS | PSH_USECALLBACK;
    m_modeless = 1;
    m_header.hwndParent = parent;
    m_header.fontName = m_fontName;
    m_header.fontSize = m_fontSize;
    m_header.style = style;
    m_header.exStyle = exStyle;
    m_header.tabStyle = m_stackedTabs ? TCS_MULTILINE : 0;
    if (!m_sheet.Create(this, m_header))
        return FALSE;
    // Every page's window exists from the start.
    for (int i = 0; i < GetPageCount(); ++i)
        SendMessage(PSM_SETCURSEL, static_cast<WPARAM>(i));
    SendMessage(PSM_SETCURSEL, 0);
    return TRUE;
}

namespace {
CPropertyPage* MakePageRecord(CGuiUpdatePpg* page, const CString& fontName, int fontSize)
{
    const DialogTemplate* found = AfxFindDialogTemplate(page->GetTemplateId());
    if (!found) {
        CString message;
        message.Format("Dialog template %u of a property page not found", page->GetTemplateId());
        throw CException(message);
    }
    DialogTemplate withFont = *found;
    withFont.faceName = fontName;
    withFont.pointSize = fontSize;
    DWORD flags = PSP_DLGINDIRECT | PSP_USECALLBACK;
    if (!page->GetHeaderTitle().IsEmpty())
        flags |= PSP_USEHEADERTITLE;
    if (!page->GetHeaderSubTitle().IsEmpty())
        flags |= PSP_USEHEADERSUBTITLE;
    if (!page->GetCaption().IsEmpty())
        flags |= PSP_USETITLE;
    return new CPropertyPage(page, withFont, page->GetCaption(), flags);
}
}  // namespace

void CGuiUpdatePropSheet::BuildPageTemplates()
{
    for (CPropertyPage* record : m_header.pages)
        delete record;
    m_header.pages.clear();
    for (int i = 0; i < m_pages.GetSize(); ++i)
        m_header.pages.push_back(MakePageRecord(m_pages[i], m_fontName, m_fontSize));
}

BOOL CGuiUpdatePropSheet::OnInitDialog()
{
    const BOOL result = m_sheet.InitDialog();
    CTabCtrl* tabs = GetTabControl();
    if (tabs && !m_stackedTabs)
        tabs->ModifyStyle(TCS_MULTILINE, 0);

    // Room for the sheet's own buttons, or none for the standard ones.
    if (CWnd* ok = GetDlgItem(IDOK)) {
        const CRect okRect = ClientRectOf(this, ok);
        CRect client;
        GetClientRect(&client);
        const int height = (m_buttons & (kSheetEnableButton | kSheetSendButton)) ? client.Height() + okRect.Height() / 2
                                                                                 : okRect.top;
        GrowSheet(0, height - client.Height());
    }
    for (int id : {IDOK, IDCANCEL, ID_APPLY_NOW, IDHELP})
        if (CWnd* button = GetDlgItem(id)) {
            button->ShowWindow(SW_HIDE);
            button->EnableWindow(FALSE);
        }
    if (!(GetStyle() & WS_CHILD))
        CenterWindow();
    ResizeToPageSize(m_pageWidth, m_pageHeight);
    CreatePanels();
    CGuiUpdateDlg::OnInitDialog();
    CreateSheetButtons();
    if (CWnd* page = reinterpret_cast<CWnd*>(SendMessage(PSM_GETCURRENTPAGEHWND)))
        m_pageRect = ClientRectOf(this, page);
    else
        m_pageRect = m_sheet.GetPageRect();

    const bool scrolling = (GetStyle() & (WS_HSCROLL | WS_VSCROLL)) != 0;
    if (scrolling) {
        CRect window;
        GetWindowRect(&window);
        SetupScrolling(-1, window.Height() - kScrollHeightAllowance);
        GrowSheet(2 * GetSystemMetrics(kSmCyHScroll), 2 * GetSystemMetrics(kSmCxHScroll));
    }
    bool restored = false;
    if (m_restorePlacement) {
        CWindowPlacement placement;
        placement.RestoreFromProfile(m_keepSize, this, "", TRUE);
        restored = placement.WasApplied();
    }
    if (m_pList && m_pList->IsLoadingLayout())
        m_cascadePending = kNoCascade;
    else
        m_cascadePending = restored ? kCascadeFromSameClass : kCascadeFromLastOpened;
    if (scrolling)
        UpdateScrollBars();
    m_pendingTab = static_cast<int>(AfxGetProfileInt(kTabSaveSection, TabSaveKey(), 0));
    return result;
}

void CGuiUpdatePropSheet::GrowSheet(int dx, int dy)
{
    if (dx == 0 && dy == 0)
        return;
    CRect window;
    GetWindowRect(&window);
    SetWindowPos(nullptr, 0, 0, window.Width() + dx, window.Height() + dy, SWP_NOMOVE | SWP_NOZORDER);
}

void CGuiUpdatePropSheet::ResizeToPageSize(int width, int height)
{
    CWnd* page = nullptr;
    if (GetSafeHwnd())
        page = reinterpret_cast<CWnd*>(SendMessage(PSM_GETCURRENTPAGEHWND));
    else if (CGuiUpdatePpg* active = GetPage(GetActiveIndex()))
        page = active;
    if (!page || !page->GetSafeHwnd())
        return;
    CRect pageRect = ClientRectOf(this, page);
    const int dx = width == -1 ? 0 : width - pageRect.Width();
    const int dy = height == -1 ? 0 : height - pageRect.Height();
    if (dx != 0 || dy != 0) {
        GrowSheet(dx, dy);
        if (CTabCtrl* tabs = GetTabControl()) {
            const CRect tabRect = ClientRectOf(this, tabs);
            tabs->MoveWindow(tabRect.left, tabRect.top, tabRect.Width() + dx, tabRect.Height() + dy, FALSE);
        }
        page->MoveWindow(pageRect.left, pageRect.top, pageRect.Width() + dx, pageRect.Height() + dy, FALSE);
        pageRect = ClientRectOf(this, page);
        for (int id : {IDOK, IDCANCEL, ID_APPLY_NOW})
            Offset(this, GetDlgItem(id), dx, dy);
    }
    m_pageRect = pageRect;
    CenterWindow();
}

BOOL CGuiUpdatePropSheet::CreatePanel(CDialog* panel, UINT templateId, bool top)
{
    BOOL created = FALSE;
    if (const DialogTemplate* found = AfxFindDialogTemplate(templateId)) {
        DialogTemplate withFont = *found;
        withFont.faceName = m_fontName;
        withFont.pointSize = m_fontSize;
        withFont.style = (withFont.style & ~(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME)) | WS_CHILD;
        created = panel->CreateIndirect(withFont, this);
    } else {
        created = panel->Create(templateId, this);
    }
    if (!created)
        return FALSE;
    CRect panelRect;
    panel->GetWindowRect(&panelRect);
    CRect client;
    GetClientRect(&client);
    const int panelHeight = panelRect.Height();
    if (top) {
        for (CWnd* child = GetWindow(GW_CHILD); child; child = child->GetWindow(GW_HWNDNEXT))
            if (child != panel)
                Offset(this, child, 0, panelHeight);
        panel->MoveWindow(0, 0, panelRect.Width(), panelHeight, FALSE);
    } else {
        panel->MoveWindow(0, client.Height(), panelRect.Width(), panelHeight, FALSE);
    }
    panel->ShowWindow(SW_SHOW);
    const int dx = panelRect.Width() > client.Width() ? panelRect.Width() - client.Width() : 0;
    GrowSheet(dx, panelHeight);
    if (dx > 0)
        if (CTabCtrl* tabs = GetTabControl()) {
            const CRect tabRect = ClientRectOf(this, tabs);
            tabs->MoveWindow(tabRect.left, tabRect.top, tabRect.Width() + dx, tabRect.Height(), FALSE);
        }
    return TRUE;
}

int CGuiUpdatePropSheet::CreatePanels()
{
    if (m_pTopPanel && !CreatePanel(m_pTopPanel, m_topPanelId, true))
        return 0;
    if (m_pBottomPanel && !CreatePanel(m_pBottomPanel, m_bottomPanelId, false))
        return 0;
    return 1;
}

void CGuiUpdatePropSheet::CreateSheetButtons()
{
    CWnd* ok = GetDlgItem(IDOK);
    CTabCtrl* tabs = GetTabControl();
    if (!ok || !tabs)
        return;
    const CRect okRect = ClientRectOf(this, ok);
    const CRect tabRect = ClientRectOf(this, tabs);
    const int height = okRect.Height() * 3 / 2;
    CClientDC dc(this);
    CFont* font = GetFont();
    if (font)
        dc.SelectObject(font);
    int right = tabRect.right;
    if (m_buttons & kSheetSendButton) {
        const int width = dc.GetTextExtent(kSendButtonText).cx + 10;
        m_sendButton.Create(kSendButtonText, WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON,
                            CRect(right - width, okRect.top, right, okRect.top + height), this, kSheetSendButtonId);
        m_sendButton.SetFont(font);
        right -= width + 2;
    }
    if (m_buttons & kSheetEnableButton) {
        const int width = dc.GetTextExtent(kEnableButtonText).cx + 10;
        m_enableButton.Create(kEnableButtonText, WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON,
                              CRect(right - width, okRect.top, right, okRect.top + height), this, kSheetEnableButtonId);
        m_enableButton.SetFont(font);
        SetEnableButton(&m_enableButton);
    }
}

void CGuiUpdatePropSheet::SetPageSize(int width, int height)
{
    m_pageWidth = width;
    m_pageHeight = height;
}

void CGuiUpdatePropSheet::SetTopPanel(CDialog* panel, UINT templateId)
{
    m_pTopPanel = panel;
    m_topPanelId = templateId;
}

void CGuiUpdatePropSheet::SetBottomPanel(CDialog* panel, UINT templateId)
{
    m_pBottomPanel = panel;
    m_bottomPanelId = templateId;
}

// ---------------------------------------------------------------------------
void CGuiUpdatePropSheet::AddPage(CGuiUpdatePpg* page)
{
    if (!page)
        throw std::invalid_argument("property sheet: null page");
    if (GetPageIndex(page) >= 0)
        return;
    m_pages.Add(page);
    page->SetSheet(this);
    if (!GetSafeHwnd())
        return;
    CPropertyPage* record = MakePageRecord(page, m_fontName, m_fontSize);
    if (!SendMessage(PSM_ADDPAGE, 0, reinterpret_cast<LPARAM>(record))) {
        delete record;
        if (page->GetSafeHwnd())
            page->DestroyWindow();
        throw std::bad_alloc();
    }
}

int CGuiUpdatePropSheet::GetPageCount() const
{
    if (CTabCtrl* tabs = GetTabControl())
        return tabs->GetItemCount();
    return m_pages.GetSize();
}

int CGuiUpdatePropSheet::GetActiveIndex() const
{
    if (CTabCtrl* tabs = GetTabControl())
        return tabs->GetCurSel();
    return static_cast<int>(m_header.nStartPage);
}

int CGuiUpdatePropSheet::GetPageIndex(const CGuiUpdatePpg* page) const
{
    for (int i = 0; i < m_pages.GetSize(); ++i)
        if (m_pages[i] == page)
            return i;
    return -1;
}

CGuiUpdatePpg* CGuiUpdatePropSheet::GetPage(int index) const
{
    if (index < 0 || index >= m_pages.GetSize())
        return nullptr;
    return m_pages[index];
}

int CGuiUpdatePropSheet::SelectPage(CGuiUpdatePpg* page)
{
    if (!page)
        throw std::invalid_argument("property sheet: null page");
    const int index = GetPageIndex(page);
    if (GetSafeHwnd())
        return static_cast<int>(SendMessage(PSM_SETCURSEL, static_cast<WPARAM>(index)));
    m_header.nStartPage = static_cast<UINT>(index);
    return 1;
}

CGuiUpdatePpg* CGuiUpdatePropSheet::FindPageByTabText(const char* text) const
{
    for (int i = 0; i < m_pages.GetSize(); ++i)
        if (CGuiUpdatePpg::GetTabText(m_pages[i]) == text)
            return m_pages[i];
    return nullptr;
}

int CGuiUpdatePropSheet::ValidTab(int index) const { return index >= 0 && index < GetPageCount() ? index : 0; }

void CGuiUpdatePropSheet::ScrollToTop()
{
    if (!m_scroller.IsVertical())
        return;
    m_scroller.SetPosition(true, 0);
    ApplyScrollPosition();
}

// ---------------------------------------------------------------------------
int CGuiUpdatePropSheet::ConfirmSendSettings()
{
    const int answer =
        CGuiUpdateItem::MessageBox("Send settings to drive?", MB_YESNO, static_cast<int>(m_nIDHelp), IDYES);
    if (answer == IDYES)
        return SendGroup(-1);
    return answer;
}

int CGuiUpdatePropSheet::SendGroup(int group)
{
    if (!CGuiUpdateDlg::SendGroup(group))
        return 0;
    for (int i = 0; i < GetPageCount(); ++i)
        if (CGuiUpdatePpg* page = GetPage(i))
            page->SendGroup(group);
    return 1;
}

int CGuiUpdatePropSheet::OnToolbarDriveSelected(const CString& driveText)
{
    int drive = -1;
    if (!ParseDriveReference(driveText, drive))
        return 1;
    if (drive != m_drive && !CanClose())
        return 0;
    // The dialog's own handling would ask the same question a second time.
    SetDrive(drive, 1);
    for (int i = 0; i < m_pages.GetSize(); ++i)
        m_pages[i]->ResetQueryStages(1, 1, 1);
    return 1;
}

void CGuiUpdatePropSheet::OnChildDialogClosed(int code)
{
    if (code == 1)
        ResetQueryStages(1, 1, 1);
    for (int i = 0; i < m_pages.GetSize(); ++i)
        m_pages[i]->OnChildDialogClosed(code);
}

void CGuiUpdatePropSheet::ProcessResponses()
{
    CGuiUpdateDlg::ProcessResponses();
    if (m_pendingTab == -1)
        return;
    const int tab = ValidTab(m_pendingTab);
    m_pendingTab = -1;
    if (GetSafeHwnd())
        SendMessage(PSM_SETCURSEL, static_cast<WPARAM>(tab));
    else
        m_header.nStartPage = static_cast<UINT>(tab);
}

// ---------------------------------------------------------------------------
int CGuiUpdatePropSheet::ExecuteCommand(const CString& command, CString& reply)
{
    if (command.Left(3).CompareNoCase("TAB") == 0)
        return ExecuteTabCommand(command, reply);
    if (command.Left(11).CompareNoCase("SETTABINDEX") == 0)
        return SetTabIndex(command, reply);
    if (command.Left(6).CompareNoCase("SETTAB") == 0)
        return SetTab(command, reply);
    if (command.Left(8).CompareNoCase("LISTTABS") == 0)
        return ListTabs(reply);
    return CGuiUpdateDlg::ExecuteCommand(command, reply);
}

int CGuiUpdatePropSheet::GetPageTab(const char* text, CGuiUpdatePpg*& page, CString& reply) const
{
    CString tabText;
    const int parsed = CParamParse::ParseParams(text, {tabText});
    if (parsed != CParamParse::ok) {
        reply = kErrorPrefix + CParamParse::GetErrorString(parsed);
        return 0;
    }
    page = FindPageByTabText(tabText);
    if (!page) {
        reply.Format("%s Invalid tab name \"%s\".", kErrorPrefix, tabText.GetString());
        return 0;
    }
    return 1;
}

int CGuiUpdatePropSheet::ExecuteTabCommand(const CString& command, CString& reply)
{
    const int point = command.Find('.');
    if (point < 0) {
        reply = CString(kErrorPrefix) + "Missing Tabs command.";
        return 1;
    }
    CGuiUpdatePpg* page = nullptr;
    if (!GetPageTab(command.Left(point), page, reply))
        return 1;
    const CString pageCommand = command.Mid(point + 1);
    if (!page->ExecuteCommand(pageCommand, reply))
        reply.Format("%s Invalid tab command \"%s\".", kErrorPrefix, pageCommand.GetString());
    return 1;
}

int CGuiUpdatePropSheet::SetTabIndex(const CString& command, CString& reply)
{
    int index = 0;
    const int parsed = CParamParse::ParseParams(command, {index});
    if (parsed != CParamParse::ok) {
        reply = kErrorPrefix + CParamParse::GetErrorString(parsed);
        return 1;
    }
    // Refused alike before and after the window exists, so a script learns of a
    // wrong index whenever it runs.
    const bool selected = index >= 0 && index < GetPageCount() &&
                          (GetSafeHwnd() ? SendMessage(PSM_SETCURSEL, static_cast<WPARAM>(index)) != 0
                                         : (m_header.nStartPage = static_cast<UINT>(index), true));
    reply = selected ? CString("SUCCESS") : CString(kErrorPrefix) + " Invalid SetTab parameter";
    return 1;
}

int CGuiUpdatePropSheet::SetTab(const CString& command, CString& reply)
{
    CGuiUpdatePpg* page = nullptr;
    if (GetPageTab(command, page, reply))
        SelectPage(page);
    return 1;
}

int CGuiUpdatePropSheet::ListTabs(CString& reply) const
{
    for (int i = 0; i < m_pages.GetSize(); ++i) {
        if (i > 0)
            reply += "\r\n";
        reply += CGuiUpdatePpg::GetTabText(m_pages[i]);
    }
    return 1;
}

// ---------------------------------------------------------------------------
void CGuiUpdatePropSheet::SerializeLayout(CArchive& ar, int version)
{
    if (ar.IsStoring()) {
        for (int i = 0; i < m_pages.GetSize(); ++i)
            m_pages[i]->ExchangeSheetProperties(m_properties, 0);
        m_properties.SetInt("CURSELTAB", GetActiveIndex());
        CGuiUpdateDlg::SerializeLayout(ar, version);
    } else {
        CGuiUpdateDlg::SerializeLayout(ar, version);
        int tab = 0;
        if (m_properties.GetInt("CURSELTAB", tab))
            m_pendingTab = tab;
        for (int i = 0; i < m_pages.GetSize(); ++i)
            m_pages[i]->ExchangeSheetProperties(m_properties, 1);
    }
    for (int i = 0; i < m_pages.GetSize(); ++i)
        m_pages[i]->SerializePageLayout(ar, version);
}

// ---------------------------------------------------------------------------
BOOL CGuiUpdatePropSheet::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const UINT id = LOWORD(static_cast<DWORD>(wParam));
    const UINT code = HIWORD(static_cast<DWORD>(wParam));
    const BOOL handled = CGuiUpdateDlg::OnCommand(wParam, lParam);
    if (id == ID_APPLY_NOW)
        PostMessage(kPageResizeMessage);
    if (code != BN_CLICKED || !lParam)
        return handled;
    if (id == kSheetSendButtonId) {
        ConfirmSendSettings();
        return TRUE;
    }
    m_nModalResult = static_cast<int>(id);
    return handled;
}

BOOL CGuiUpdatePropSheet::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header && header->code == TCN_SELCHANGE && header->idFrom == AFX_IDC_TAB_CONTROL)
        PostMessage(kPageResizeMessage);
    return CGuiUpdateDlg::OnNotify(wParam, lParam, result);
}

LRESULT CGuiUpdatePropSheet::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (m_sheet.DefSheetProc(message, wParam, lParam, &result))
        return result;
    return CGuiUpdateDlg::DefWindowProc(message, wParam, lParam);
}

BOOL CGuiUpdatePropSheet::PreTranslateMessage(MSG* msg)
{
    if (m_sheet.IsClosed() && GetSafeHwnd()) {
        // OK or Cancel of the sheet's standard buttons ended it.
        DetachFromUpdateList(kDetachDestroy | kDetachUnregister);
        return TRUE;
    }
    if (msg->message == WM_KEYDOWN && SendMessage(PSM_ISDIALOGMESSAGE, 0, reinterpret_cast<LPARAM>(msg)))
        return TRUE;
    return CGuiUpdateDlg::PreTranslateMessage(msg);
}

void CGuiUpdatePropSheet::OnClose()
{
    m_nModalResult = IDCANCEL;
    AfxWriteProfileInt(kTabSaveSection, TabSaveKey(), GetActiveIndex());
    CGuiUpdateDlg::OnClose();
}

LRESULT CGuiUpdatePropSheet::OnSheetSysCommand(WPARAM wParam, LPARAM lParam)
{
    m_nModalResult = IDCANCEL;
    if ((wParam & 0xFFF0) == SC_CLOSE_COMMAND) {
        SendMessage(WM_CLOSE);
        return 0;
    }
    return OnSysCommand(wParam, lParam);
}

LRESULT CGuiUpdatePropSheet::OnPageResize(WPARAM, LPARAM)
{
    if (CWnd* page = reinterpret_cast<CWnd*>(SendMessage(PSM_GETCURRENTPAGEHWND)))
        page->MoveWindow(&m_pageRect);
    return 0;
}
