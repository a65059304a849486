#include "setup/io/windows/QvxGuiTavroGeneralDigitalInputsDlg.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "distribution/parameters/GlobalParameterKinds.h"
#include "platform/core/MessageBox.h"
#include "platform/core/Profile.h"
#include "platform/core/Rand.h"
#include "platform/core/RuntimeClass.h"
#include "platform/ui/ClientDC.h"
#include "platform/ui/TabCtrl.h"
#include "setup/io/windows/IoWindowFiles.h"
#include "setup/io/windows/StatusCells.h"

IMPLEMENT_DYNCREATE(CQvxGuiTavroGeneralDigitalInputsDlg, CGuiUpdateDlg)

static const CRuntimeClassRegistrar kRegistrar(RUNTIME_CLASS(CQvxGuiTavroGeneralDigitalInputsDlg));

BEGIN_MESSAGE_MAP(CQvxGuiTavroGeneralDigitalInputsDlg, CGuiUpdateDlg)
    ON_NOTIFY(TCN_SELCHANGE, IDC_GENERAL_INPUTS_TAB, &CQvxGuiTavroGeneralDigitalInputsDlg::OnTabChanged)
    ON_WM_SIZE()
    ON_WM_GETMINMAXINFO()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

namespace {
constexpr const char* kReceiveError =
    "Data error occurred while receiving digital input settings from drive.  Please try again by clicking refresh "
    "button.";
constexpr WORD kStatePollMs = 100;
constexpr int kMargin = 10;
constexpr int kMinFunctionWidth = 90;

int EmWidth(CWnd& wnd, int count)
{
    CClientDC dc(&wnd);
    if (CFont* font = wnd.GetFont())
        dc.SelectObject(font);
    return dc.GetTextExtent(CString(std::string(static_cast<size_t>(count), 'M').c_str())).cx;
}
}  // namespace

CQvxGuiTavroGeneralDigitalInputsDlg::CQvxGuiTavroGeneralDigitalInputsDlg() : CGuiUpdateDlg(IDD) {}

CTabCtrl* CQvxGuiTavroGeneralDigitalInputsDlg::Tabs() const
{
    return static_cast<CTabCtrl*>(GetDlgItem(IDC_GENERAL_INPUTS_TAB));
}

BOOL CQvxGuiTavroGeneralDigitalInputsDlg::OnInitDialog()
{
    CGuiUpdateDlg::OnInitDialog();
    m_list.SubclassDlgItem(IDC_GENERAL_INPUTS_LIST, this);
    CRect listRect;
    m_list.GetWindowRect(&listRect);
    ScreenToClient(&listRect);
    m_listTop = listRect.top;
    Tabs()->InsertItem(kPinsTab, "Pins");
    Tabs()->InsertItem(kFunctionsTab, "Functions");
    m_tab = std::clamp(static_cast<int>(AfxGetProfileInt("TABSAVE", "DigitalInputs", 0)), 0, 1);
    Tabs()->SetCurSel(m_tab);
    Layout();
    RebuildList();
    return TRUE;
}

int CQvxGuiTavroGeneralDigitalInputsDlg::PrepareQueries()
{
    double value = 0;
    int variant = 0;
    if (GetGlobalParameterValue(GetDrive(), GPD_TAVRO_PCB_TYPE, value))
        variant = static_cast<int>(std::lround(value));
    m_definitions.LoadDefinitions(variant, IoFactoryIniPath());
    m_errorShown = false;
    StartReceive();
    return 1;
}

void CQvxGuiTavroGeneralDigitalInputsDlg::StartReceive()
{
    ++m_receives;
    m_definitions.RequestPinAssignments(GetDrive(), *this);
}

int CQvxGuiTavroGeneralDigitalInputsDlg::SubscribeStatusQueries()
{
    const int done = CGuiUpdateDlg::SubscribeStatusQueries();
    if (done)
        SendQuery(static_cast<BYTE>(GetDrive()), kGeneralInputStateParameter, kStatePollMs);
    return done;
}

void CQvxGuiTavroGeneralDigitalInputsDlg::OnStatusResponse(const CAmpResponseToGui& response)
{
    if (response.m_code == kGeneralInputStateParameter && !response.m_write) {
        if (response.m_error)
            return;
        const DWORD word = static_cast<DWORD>(response.GetValue());
        m_stateChanged |= !m_stateValid || word != m_stateWord;
        m_stateWord = word;
        m_stateValid = true;
        return;
    }
    switch (m_definitions.OnPinAssignmentResponse(response)) {
    case 0:
        CGuiUpdateDlg::OnStatusResponse(response);
        break;
    case 2:
        RebuildList();
        break;
    case -1:
        if (!m_errorShown) {
            m_errorShown = true;
            CGuiUpdateItem::MessageBox(kReceiveError, MB_OK | MB_ICONERROR, 0, IDOK);
        }
        break;
    default:
        break;
    }
}

void CQvxGuiTavroGeneralDigitalInputsDlg::ProcessResponses()
{
    CGuiUpdateDlg::ProcessResponses();
    if (m_stateChanged) {
        m_stateChanged = false;
        RefreshStatusCells();
    }
    if (m_reloadRequested && m_definitions.m_transferState == CTavroIoDefinitions::kIdle) {
        m_reloadRequested = false;
        m_errorShown = false;
        StartReceive();
    }
}

void CQvxGuiTavroGeneralDigitalInputsDlg::OnDelayedMessage(const CString& text)
{
    if (text == "RELOADLIST")
        m_reloadRequested = true;
}

void CQvxGuiTavroGeneralDigitalInputsDlg::RebuildList()
{
    if (!m_list.GetSafeHwnd())
        return;
    m_list.DeleteAllItems();
    m_list.DeleteAllColumns();
    m_rowBits.RemoveAll();
    if (m_tab == kPinsTab) {
        m_list.InsertColumn(0, "Pin(s)", LVCFMT_LEFT, EmWidth(m_list, 5));
        m_list.InsertColumn(1, "Pin Description", LVCFMT_LEFT, EmWidth(m_list, 14));
        m_list.InsertColumn(2, "Function", LVCFMT_LEFT, kMinFunctionWidth);
        m_list.InsertColumn(3, "Status", LVCFMT_LEFT, EmWidth(m_list, 6));
        AddPinRows();
    } else {
        m_list.InsertColumn(0, "Function", LVCFMT_LEFT, kMinFunctionWidth);
        m_list.InsertColumn(1, "Status", LVCFMT_LEFT, EmWidth(m_list, 6));
        AddFunctionRows();
    }
    const int functionColumn = m_tab == kPinsTab ? 2 : 0;
    CRect client;
    m_list.GetClientRect(&client);
    int others = 0;
    for (int column = 0; column < m_list.GetColumnCount(); ++column)
        if (column != functionColumn)
            others += m_list.GetColumnWidth(column);
    const int fill = std::max(kMinFunctionWidth, static_cast<int>(client.Width()) - others);
    m_list.SetColumnWidth(functionColumn, LVSCW_AUTOSIZE);
    const int needed = m_list.GetColumnWidth(functionColumn);
    m_list.SetColumnWidth(functionColumn, std::max(fill, needed));
    GrowWidthBy(needed - fill);  // a function's name with its level shows whole
    if (m_topRow[m_tab] > 0 && m_topRow[m_tab] < m_list.GetItemCount())
        m_list.EnsureVisible(m_topRow[m_tab], FALSE);
    for (int row = 0; row < m_list.GetItemCount(); ++row)
        ShowStatusCell(m_list, row, m_list.GetColumnCount() - 1, false, 0, -1);
    RefreshStatusCells();
}

void CQvxGuiTavroGeneralDigitalInputsDlg::AddPinRows()
{
    for (int pin = 0; pin < m_definitions.m_pins.GetSize(); ++pin) {
        CList<CFunctionAndBit> functions;
        m_definitions.GetPinFunctions(pin, functions);
        if (functions.IsEmpty())
            continue;
        const CFunctionAndBit first = functions.GetHead();
        const CTavroIoFunctionDefinition* function = m_definitions.m_functions.Find(first.m_function);
        if (function && !function->m_shown)
            continue;
        const CTavroIoPinDefinition* definition = m_definitions.m_pins.Pin(pin);
        CString labels;
        for (const CString& label : definition->m_labels)
            labels += (labels.IsEmpty() ? "" : ",") + label;
        CString text = "<ERROR>";
        if (function) {
            text = function->m_name;
            if (function->m_setActive)
                text += m_definitions.GetConnectionLevel(first.m_function, pin, first.m_bit) == 1 ? " (Active HIGH)"
                                                                                                  : " (Active LOW)";
        }
        const int row = m_list.InsertItem(m_list.GetItemCount(), labels);
        m_list.SetItemText(row, 1, definition->m_name);
        m_list.SetItemText(row, 2, text);
        m_rowBits.Add(definition->m_number);
    }
}

void CQvxGuiTavroGeneralDigitalInputsDlg::AddFunctionRows()
{
    for (const CTavroIoFunctionDefinition* function : m_definitions.m_functions.m_order) {
        if (!function->m_shown || !function->m_hasStatusBit || !m_definitions.IsFunctionConnected(function->m_number, 0))
            continue;
        m_list.InsertItem(m_list.GetItemCount(), function->m_name);
        m_rowBits.Add(function->m_statusBit);
    }
}

void CQvxGuiTavroGeneralDigitalInputsDlg::RefreshStatusCells()
{
    if (!m_list.GetSafeHwnd())
        return;
    const int column = m_list.GetColumnCount() - 1;
    for (int row = 0; row < m_list.GetItemCount() && row < m_rowBits.GetSize(); ++row)
        ShowStatusCell(m_list, row, column, m_stateValid, m_stateWord, m_rowBits[row]);
}

void CQvxGuiTavroGeneralDigitalInputsDlg::SelectTab(int tab)
{
    tab = std::clamp(tab, 0, 1);
    if (m_list.GetSafeHwnd())
        m_topRow[m_tab] = m_list.GetTopIndex();
    m_tab = tab;
    if (Tabs() && Tabs()->GetCurSel() != tab)
        Tabs()->SetCurSel(tab);
    RebuildList();
}

void CQvxGuiTavroGeneralDigitalInputsDlg::OnTabChanged(NMHDR*, LRESULT* result)
{
    SelectTab(Tabs()->GetCurSel());
    if (result)
        *result = 0;
}

void CQvxGuiTavroGeneralDigitalInputsDlg::SerializeLayout(CArchive& ar, int version)
{
    if (ar.IsStoring())
        m_properties.SetInt("nSelTab", m_tab);
    CGuiUpdateDlg::SerializeLayout(ar, version);
    if (ar.IsLoading()) {
        int tab = 0;
        if (m_properties.GetInt("nSelTab", tab))
            SelectTab(tab);
    }
}

void CQvxGuiTavroGeneralDigitalInputsDlg::OnDestroy()
{
    AfxWriteProfileInt("TABSAVE", "DigitalInputs", m_tab);
    CGuiUpdateDlg::OnDestroy();
}

void CQvxGuiTavroGeneralDigitalInputsDlg::Layout()
{
    if (!m_list.GetSafeHwnd() || !Tabs())
        return;
    CRect client;
    GetClientRect(&client);
    CRect tabRect;
    Tabs()->GetWindowRect(&tabRect);
    ScreenToClient(&tabRect);
    Tabs()->MoveWindow(kMargin, tabRect.top, std::max(40, client.Width() - 2 * kMargin), tabRect.Height());
    m_list.MoveWindow(kMargin, m_listTop, std::max(40, client.Width() - 2 * kMargin),
                      std::max(40, client.Height() - m_listTop - kMargin));
}

void CQvxGuiTavroGeneralDigitalInputsDlg::OnSize(UINT type, int cx, int cy)
{
    CGuiUpdateDlg::OnSize(type, cx, cy);
    Layout();
}

void CQvxGuiTavroGeneralDigitalInputsDlg::OnGetMinMaxInfo(MINMAXINFO* info)
{
    CGuiUpdateDlg::OnGetMinMaxInfo(info);
    if (!info)
        return;
    info->ptMinTrackSize.x = 300;
    info->ptMinTrackSize.y = GetSystemMetrics(SM_CYCAPTION) + m_listTop + 80;
    info->ptMaxTrackSize.x = 10000;
    info->ptMaxTrackSize.y = 10000;
}

void CQvxGuiTavroGeneralDigitalInputsDlg::RandomExercise(int)
{
    if (Rand() % 100 < 5)
        SelectTab(1 - m_tab);
    SendCommand(static_cast<BYTE>(GetDrive()), kGeneralInputStateParameter,
                static_cast<LONG>((static_cast<DWORD>(Rand()) << 16) ^ static_cast<DWORD>(Rand())));
}
