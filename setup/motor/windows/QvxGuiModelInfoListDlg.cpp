#include "setup/motor/windows/QvxGuiModelInfoListDlg.h"

#include <cstring>

#include "framework/FactorySettings.h"
#include "framework/GuiAppServices.h"
#include "platform/core/StdioFile.h"

IMPLEMENT_DYNCREATE(CQvxGuiModelInfoListDlg, CGuiUpdateDlg)
// The window factory finds the window by its class name.
static const CRuntimeClassRegistrar kRegistrar(RUNTIME_CLASS(CQvxGuiModelInfoListDlg));

BEGIN_MESSAGE_MAP(CQvxGuiModelInfoListDlg, CGuiUpdateDlg)
    ON_BN_CLICKED(IDC_MIL_SEND, &CQvxGuiModelInfoListDlg::OnSendToDrive)
    ON_BN_CLICKED(IDC_MIL_BALANCE, &CQvxGuiModelInfoListDlg::OnBalance)
    ON_BN_CLICKED(IDC_MIL_SAVE_OFFSETS, &CQvxGuiModelInfoListDlg::OnSaveOffsets)
    ON_BN_CLICKED(IDC_MIL_SAVE_MODEL, &CQvxGuiModelInfoListDlg::OnSaveModel)
    ON_WM_TIMER()
    ON_WM_DRAWITEM()
    ON_WM_SIZE()
    ON_WM_GETMINMAXINFO()
    ON_WM_CLOSE()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

namespace {
constexpr UINT_PTR kBlinkTimer = 1;
constexpr UINT kBlinkMs = 300;
constexpr WORD kFactoryAccessCode = 12395;
constexpr WORD kBalanceCode = 290;
constexpr WORD kSaveCode = 611;
constexpr LONG kSaveOffsets = 3;
constexpr LONG kSaveModelData = 4;
constexpr WORD kModelCode = 13452;
constexpr WORD kModelIndexCode = 13449;
constexpr int kMargin = 10;
constexpr int kListGap = 2;  // the list starts just below the toolbar
constexpr int kButtonIds[] = {IDC_MIL_ENABLE, IDC_MIL_BALANCE, IDC_MIL_SAVE_OFFSETS, IDC_MIL_SAVE_MODEL, IDC_MIL_SEND,
                              IDC_MIL_STATUS};
}  // namespace

CQvxGuiModelInfoListDlg::CQvxGuiModelInfoListDlg() : CGuiUpdateDlg(IDD)
{
    m_statusFlags = kStatusWord | kStatusFault;
    m_lamp.m_offColour = 0;
    m_lamp.m_onTextColour = m_lamp.m_offTextColour = RGB(255, 255, 255);
}

CString CQvxGuiModelInfoListDlg::DefinitionPath()
{
    CString path;
    path.Format("%s%s/%s", AppProgramFolder().GetString(), kFolder, kFileName);
    return path;
}

// A missing file gives an empty list; the window still works. The text is the
// file's alone, so an error's line number is the line of the file.
CString CQvxGuiModelInfoListDlg::DefinitionText() const
{
    CString text;
    CStdioFile file;
    if (!file.Open(DefinitionPath(), CFile::modeRead | CFile::typeText))
        return text;
    CString line;
    while (file.ReadString(line))
        text += line + "\n";
    return text;
}

BOOL CQvxGuiModelInfoListDlg::OnInitDialog()
{
    CGuiUpdateDlg::OnInitDialog();
    const int flags = AppModelDisplayFlags();
    m_factory = (flags & kDisplayFactory) != 0;
    m_balanceDisplay = (flags & kDisplayBalance) != 0;

    m_list.SubclassDlgItem(IDC_MIL_LIST, this);
    m_list.SetColumnSize(100, 1);  // the value column keeps 100 pixels; the labels take the rest
    m_list.SetDefinition(DefinitionText());
    m_list.m_flags = 0x10F;
    if (m_factory)
        m_list.SetTemplateVariable("FACTORY", "");
    if (m_balanceDisplay)
        m_list.SetTemplateVariable("BALANCEONLY", "");
    m_controls.AddControl(&m_list, -1);
    m_list.m_callback = this;
    SetEnableButton(GetDlgItem(IDC_MIL_ENABLE));

    CRect listRect;
    m_list.GetWindowRect(&listRect);
    ScreenToClient(&listRect);
    m_listTop = listRect.top;

    LOGFONT font{};
    font.lfHeight = -MulDiv(GetDialogFontSize(), 96, 72);
    font.lfWeight = 600;
    std::strncpy(font.lfFaceName, GetDialogFontName().GetString(), sizeof font.lfFaceName - 1);
    if (m_lampFont.CreateFontIndirect(&font))
        m_lamp.m_font = &m_lampFont;

    m_balance.SubclassDlgItem(IDC_MIL_BALANCE, this);
    ApplyBalanceDisplay(CModelInfoListState::Display(false));
    for (int id : kButtonIds)
        if (CWnd* control = GetDlgItem(id))
            control->ShowWindow(ShowsButtons() ? SW_SHOW : SW_HIDE);
    if (ShowsButtons())
        SetStatus("Enable Drive", 0x006060, false);
    if (m_balanceDisplay && !m_factory) {
        GetDlgItem(IDC_MIL_SAVE_MODEL)->EnableWindow(FALSE);
        GetDlgItem(IDC_MIL_SEND)->EnableWindow(FALSE);
    }
    m_initialised = true;
    LayoutList();
    return TRUE;
}

void CQvxGuiModelInfoListDlg::LayoutList()
{
    if (!m_initialised || !m_list.GetSafeHwnd())
        return;
    CRect client;
    GetClientRect(&client);
    int top = m_listTop;
    if (!ShowsButtons()) {
        CRect bar;
        GetToolbar().GetWindowRect(&bar);
        ScreenToClient(&bar);
        top = (GetToolbar().GetSafeHwnd() ? std::max<int>(0, bar.bottom) : 0) + kListGap;
    }
    m_list.MoveWindow(kMargin, top, std::max(0, client.Width() - 2 * kMargin), std::max(0, client.Height() - top - kMargin));
    m_list.ResizeColumns();
}

void CQvxGuiModelInfoListDlg::OnSize(UINT type, int cx, int cy)
{
    CGuiUpdateDlg::OnSize(type, cx, cy);
    LayoutList();
}

// The list keeps room for a few rows below the buttons.
void CQvxGuiModelInfoListDlg::OnGetMinMaxInfo(MINMAXINFO* info)
{
    if (info) {
        CRect window, client;
        GetWindowRect(&window);
        GetClientRect(&client);
        const int caption = window.Height() - client.Height();
        info->ptMinTrackSize.x = 300;
        info->ptMinTrackSize.y = caption + (ShowsButtons() ? m_listTop : kMargin) + 80;
        info->ptMaxTrackSize.x = info->ptMaxTrackSize.y = 10000;
    }
    CGuiUpdateDlg::OnGetMinMaxInfo(info);
}

// ---------------------------------------------------------------------------
// Update cycle.

int CQvxGuiModelInfoListDlg::Write(WORD code, LONG value)
{
    const int drive = GetDrive();
    if (drive == -1)
        return -1;
    return SendCommand(static_cast<BYTE>(drive), code, value);
}

int CQvxGuiModelInfoListDlg::PrepareQueries()
{
    if (GetDrive() == -1)
        return 0;
    if (m_factory)
        Write(kFactoryAccessCode, 0);
    return 1;
}

int CQvxGuiModelInfoListDlg::SubscribeStatusQueries()
{
    if (!CGuiUpdateDlg::SubscribeStatusQueries())
        return 0;
    m_model.QueryWithArgument(static_cast<BYTE>(GetDrive()), kModelCode, kModelIndexCode, 0, 200);
    m_firstReply = false;
    return 1;
}

// The rows depend on the model: the list is built once the drive named its
// model, and again whenever the model number changes.
void CQvxGuiModelInfoListDlg::ProcessResponses()
{
    CGuiUpdateDlg::ProcessResponses();
    if (!m_firstReply) {
        if (!m_model.HasResponse())
            return;
        m_model.HasChanged(1);
        m_firstReply = true;
        m_list.LoadDefinition();
        return;
    }
    if (m_model.HasChanged(1))
        m_list.LoadDefinition();
}

void CQvxGuiModelInfoListDlg::OnStatusWordChanged(int value)
{
    CGuiUpdateDlg::OnStatusWordChanged(value);
    if (const std::optional<BalanceDisplay> display = m_state.OnStatusWord(value))
        ApplyBalanceDisplay(*display);
}

void CQvxGuiModelInfoListDlg::OnEnableBitChanged(int bit)
{
    CGuiUpdateDlg::OnEnableBitChanged(bit);
    if (ShowsButtons())
        SetStatus(bit ? "Ready" : "Enable Drive", bit ? 0x006000 : 0x006060, false);
}

int CQvxGuiModelInfoListDlg::GetPendingChangesState(int /*ignored*/)
{
    return m_list.GetModifiedCount() > 0 ? 1 : 2;
}

void CQvxGuiModelInfoListDlg::OnListColumnEvent(CString rowId, CString /*oldText*/, CString /*newText*/, int byUser)
{
    m_state.OnRowChanged(rowId, byUser != 0);
}

// ---------------------------------------------------------------------------
// Lamps.

void CQvxGuiModelInfoListDlg::SetStatus(const char* text, COLORREF colour, bool blink)
{
    m_lamp.m_onText = m_lamp.m_offText = text;
    m_lamp.m_onColour = colour;
    m_blinkOn = 1;
    if (blink)
        SetTimer(kBlinkTimer, kBlinkMs, nullptr);
    else
        KillTimer(kBlinkTimer);
    if (CWnd* indicator = GetDlgItem(IDC_MIL_STATUS))
        indicator->Invalidate();
}

void CQvxGuiModelInfoListDlg::ApplyBalanceDisplay(const BalanceDisplay& display)
{
    m_balance.SetTexts(display.buttonText, display.buttonText, FALSE);
    m_balance.m_onFaceColor = display.buttonFace;
    m_balance.m_offFaceColor = display.buttonFaceOff;
    m_balance.m_onTextColor = m_balance.m_offTextColor = display.buttonTextColour;
    m_balance.m_on = TRUE;
    m_balance.m_blinkMode = display.buttonBlinks ? 1 : 0;
    m_balance.m_blinkPhase = TRUE;
    if (m_balance.GetSafeHwnd()) {
        if (display.buttonBlinks)
            m_balance.SetTimer(1, kBlinkMs, nullptr);
        else
            m_balance.KillTimer(1);
        m_balance.Invalidate();
    }
    if (m_initialised)
        SetStatus(display.statusText, display.statusColour, display.statusBlinks);
}

void CQvxGuiModelInfoListDlg::OnTimer(UINT_PTR id)
{
    if (id != kBlinkTimer)
        return;
    m_blinkOn = !m_blinkOn;
    if (CWnd* indicator = GetDlgItem(IDC_MIL_STATUS))
        indicator->Invalidate();
}

void CQvxGuiModelInfoListDlg::OnDrawItem(int id, LPDRAWITEMSTRUCT item)
{
    if (!item || !item->hDC)
        return;
    if (id == IDC_MIL_STATUS)
        m_lamp.Draw(item->hDC, item->rcItem, m_blinkOn, 1);
    else if (id == IDC_MIL_BALANCE)
        m_balance.DrawItem(item);
}

// ---------------------------------------------------------------------------
// Buttons.

void CQvxGuiModelInfoListDlg::OnSendToDrive()
{
    if (CGuiUpdateItem::MessageBox("Send settings to drive?", MB_YESNO, 0, IDYES) != IDYES)
        return;
    SendGroup(-1);
    m_state.OnSent();
}

void CQvxGuiModelInfoListDlg::OnBalance()
{
    if (!GetEnableBit()) {
        CGuiUpdateItem::MessageBox("Drive must be enabled to balance!", MB_OK, 0, IDOK);
        return;
    }
    Write(kBalanceCode, 0);
    m_state.OnBalanceStarted();
}

void CQvxGuiModelInfoListDlg::SaveOffsets()
{
    if (GetEnableBit()) {
        CGuiUpdateItem::MessageBox("Drive must be disabled to save balance offsets.", MB_OK, 0, IDOK);
        return;
    }
    if (Write(kSaveCode, kSaveOffsets) <= 0) {
        CGuiUpdateItem::MessageBox("Could not save Offsets to NVM.", MB_OK, 0, IDOK);
        return;
    }
    m_state.OnOffsetsSaved();
}

// The unsaved mark goes only with a save that was submitted, so closing still asks.
void CQvxGuiModelInfoListDlg::SaveModel()
{
    if (Write(kSaveCode, kSaveModelData) <= 0) {
        CGuiUpdateItem::MessageBox("Could not save Model Info to NVM.", MB_OK, 0, IDOK);
        return;
    }
    m_state.OnModelSaved();
}

void CQvxGuiModelInfoListDlg::OnSaveOffsets() { SaveOffsets(); }
void CQvxGuiModelInfoListDlg::OnSaveModel() { SaveModel(); }

// ---------------------------------------------------------------------------
// Closing.

int CQvxGuiModelInfoListDlg::CanClose()
{
    if (IsClosing())
        return 1;
    CModelInfoListState::CloseActions actions;
    actions.ask = [this](const char* text, UINT type) {
        return CGuiUpdateItem::MessageBox(text, type, 0, type == MB_YESNO ? IDYES : IDNO);
    };
    actions.saveModel = [this] { SaveModel(); };
    actions.saveOffsets = [this] { SaveOffsets(); };
    return m_state.AskBeforeClose(m_list.GetModifiedCount() > 0, actions) ? 1 : 0;
}

void CQvxGuiModelInfoListDlg::LeaveFactoryAccess()
{
    if (m_left)
        return;
    m_left = true;
    if (m_factory)
        Write(kFactoryAccessCode, 1);
}

void CQvxGuiModelInfoListDlg::OnClose()
{
    CloseChildDialogs();
    if (!CanClose())
        return;
    LeaveFactoryAccess();
    SetClosing(1);
    CGuiUpdateDlg::OnClose();
}

void CQvxGuiModelInfoListDlg::OnDestroy()
{
    LeaveFactoryAccess();
    CGuiUpdateDlg::OnDestroy();
}
