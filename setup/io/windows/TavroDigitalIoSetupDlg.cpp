#include "setup/io/windows/TavroDigitalIoSetupDlg.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "distribution/parameters/GlobalParameterKinds.h"
#include "foundation/ParamParse.h"
#include "platform/core/MessageBox.h"
#include "platform/core/Rand.h"
#include "platform/ui/Button.h"
#include "platform/ui/ClientDC.h"

IMPLEMENT_DYNAMIC(CTavroDigitalIoSetupDlg, CGuiUpdateDlg)

BEGIN_MESSAGE_MAP(CTavroDigitalIoSetupDlg, CGuiUpdateDlg)
    ON_WM_SIZE()
END_MESSAGE_MAP()

namespace {
constexpr const char* kUnassigned = "<Unassigned>";
constexpr const char* kInvalid = "<Invalid>";
constexpr const char* kError = "<ERROR>";
constexpr const char* kNotApplicable = "N/A";
const CString kDefinitionsNotLoaded =
    "Pin settings were not sent: the I/O definitions of the factory settings file could not be read. ";
constexpr int kMinDescriptionWidth = 90;
constexpr int kMargin = 8;
constexpr int kButtonWidth = 110;
constexpr int kButtonHeight = 24;
}  // namespace

CTavroDigitalIoSetupDlg::CTavroDigitalIoSetupDlg(UINT templateId, UINT listId, UINT sendId,
                                                 const TavroIoWindowTexts& texts)
    : CGuiUpdateDlg(templateId), m_texts(texts), m_listId(listId), m_sendId(sendId)
{
}

int CTavroDigitalIoSetupDlg::EmWidth(int count)
{
    CClientDC dc(&m_list);
    if (CFont* font = m_list.GetFont())
        dc.SelectObject(font);
    return dc.GetTextExtent(CString(std::string(static_cast<size_t>(count), 'M').c_str())).cx;
}

BOOL CTavroDigitalIoSetupDlg::OnInitDialog()
{
    CGuiUpdateDlg::OnInitDialog();
    m_list.SubclassDlgItem(m_listId, this);
    m_list.SetExtendedStyle(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_SUBITEMIMAGES);
    const int functionWidth = EmWidth(m_texts.functionEms);
    const int activeWidth = EmWidth(10);
    m_list.InsertColumn(kPins, "Pin(s)", LVCFMT_LEFT, EmWidth(m_texts.pinEms));
    m_list.InsertColumn(kDescription, "Pin Description", LVCFMT_LEFT, kMinDescriptionWidth);
    m_list.InsertColumn(kFunctionWork, m_texts.functionWorkHeading, LVCFMT_LEFT, functionWidth);
    m_list.InsertColumn(kFunctionDrive, m_texts.functionDriveHeading, LVCFMT_LEFT, functionWidth);
    m_list.InsertColumn(kActiveWork, "Active (Wrk)", LVCFMT_LEFT, activeWidth);
    m_list.InsertColumn(kActiveDrive, "Active (Drv)", LVCFMT_LEFT, activeWidth);
    m_list.AddComboList(kFunctionWork);
    m_list.AddComboList(kActiveWork);
    m_list.SetComboCell(kFunctionWork, -1);
    m_list.SetComboCell(kActiveWork, -1);
    if (m_texts.withBit)
        m_list.SetTreeDropSize(kFunctionWork, functionWidth * 6 / 5, 200);
    m_list.m_bEditable = TRUE;
    m_list.SetCallback(this);
    Layout();
    return TRUE;
}

void CTavroDigitalIoSetupDlg::OnSize(UINT type, int cx, int cy)
{
    CGuiUpdateDlg::OnSize(type, cx, cy);
    Layout();
}

void CTavroDigitalIoSetupDlg::Layout()
{
    CWnd* button = GetDlgItem(m_sendId);
    if (!m_list.GetSafeHwnd() || !button)
        return;
    CRect client;
    GetClientRect(&client);
    const int buttonTop = client.bottom - kMargin - kButtonHeight;
    button->MoveWindow(client.right - kMargin - kButtonWidth, buttonTop, kButtonWidth, kButtonHeight);
    CRect listRect;
    m_list.GetWindowRect(&listRect);
    ScreenToClient(&listRect);
    const int listBottom = buttonTop - kMargin - ListBottomMargin();
    m_list.MoveWindow(listRect.left, listRect.top, client.right - kMargin - listRect.left,
                      std::max(40, listBottom - listRect.top));
    LayoutExtras(client.Width(), client.Height(), buttonTop);
    FitDescriptionColumn();
}

void CTavroDigitalIoSetupDlg::FitDescriptionColumn()
{
    CRect client;
    m_list.GetClientRect(&client);
    int others = 0;
    for (int column = 0; column < m_list.GetColumnCount(); ++column)
        if (column != kDescription)
            others += m_list.GetColumnWidth(column);
    m_list.SetColumnWidth(kDescription, std::max(kMinDescriptionWidth, client.Width() - others));
}

int CTavroDigitalIoSetupDlg::PrepareQueries()
{
    double value = 0;
    int variant = 0;
    if (GetGlobalParameterValue(GetDrive(), GPD_TAVRO_PCB_TYPE, value))
        variant = static_cast<int>(std::lround(value));
    m_definitionsLoaded = LoadDefinitions(variant) != 0;
    m_errorShown = false;
    Definitions().RequestPinAssignments(GetDrive(), *this);
    return 1;
}

void CTavroDigitalIoSetupDlg::OnStatusResponse(const CAmpResponseToGui& response)
{
    switch (Definitions().OnPinAssignmentResponse(response)) {
    case 0:
        CGuiUpdateDlg::OnStatusResponse(response);
        break;
    case 2:
        RebuildList();
        m_changed = false;
        break;
    case -1:
        ShowTransferError();
        break;
    default:
        break;
    }
}

void CTavroDigitalIoSetupDlg::ShowTransferError()
{
    if (m_errorShown)
        return;
    m_errorShown = true;
    const bool sending = Definitions().m_lastTransfer == CTavroIoDefinitions::kSending;
    CString text = CString("Data error occurred while ") + (sending ? m_texts.sending : m_texts.receiving) +
                   "  Please try again by clicking refresh button.";
    CGuiUpdateItem::MessageBox(text, MB_OK | MB_ICONERROR, 0, IDOK);
}

bool CTavroDigitalIoSetupDlg::FunctionOfRow(int pin, CFunctionAndBit& current) const
{
    CList<CFunctionAndBit> functions;
    Definitions().GetPinFunctions(pin, functions);
    if (functions.IsEmpty())
        return false;
    current = functions.GetHead();
    return true;
}

CString CTavroDigitalIoSetupDlg::FunctionText(int pin, bool& active, int& level) const
{
    active = false;
    level = 0;
    CFunctionAndBit current;
    if (!FunctionOfRow(pin, current))
        return Definitions().IsPinRejected(pin) ? kInvalid : kUnassigned;
    const CTavroIoFunctionDefinition* function = Definitions().m_functions.Find(current.m_function);
    if (!function)
        return kError;
    active = function->m_setActive != 0;
    level = Definitions().GetConnectionLevel(current.m_function, pin, current.m_bit);
    return ChoiceText(current);
}

CString CTavroDigitalIoSetupDlg::ChoiceText(const CFunctionAndBit& choice) const
{
    const CTavroIoFunctionDefinition* function = Definitions().m_functions.Find(choice.m_function);
    if (!function)
        return kError;
    return m_texts.withBit ? function->FormatName(choice.m_bit) : function->m_name;
}

void CTavroDigitalIoSetupDlg::DrawRow(int row, bool withDrive)
{
    const CTavroIoPinDefinition* pin = Definitions().m_pins.Pin(row);
    if (!pin)
        return;
    CString labels;
    for (POSITION pos = pin->m_labels.GetHeadPosition(); pos;) {
        if (!labels.IsEmpty())
            labels += ",";
        labels += pin->m_labels.GetNext(pos);
    }
    m_list.SetItemText(row, kPins, labels);
    m_list.SetItemText(row, kDescription, pin->m_name);
    bool active = false;
    int level = 0;
    m_list.SetItemText(row, kFunctionWork, FunctionText(row, active, level));
    m_list.SetItemText(row, kActiveWork, active ? pin->GetStateText(level) : CString(kNotApplicable));
    m_list.SetItemTextColor(kActiveWork, row, active ? RGB(0, 0, 0) : kNotApplicableColour);
    if (!withDrive)
        return;
    m_list.SetItemText(row, kFunctionDrive, m_list.GetItemText(row, kFunctionWork));
    m_list.SetItemText(row, kActiveDrive, m_list.GetItemText(row, kActiveWork));
    m_list.SetItemTextColor(kActiveDrive, row, m_list.GetItemTextColor(kActiveWork, row));
}

void CTavroDigitalIoSetupDlg::RebuildList()
{
    m_list.DeleteAllItems();
    for (int pin = 0; pin < Definitions().m_pins.GetSize(); ++pin) {
        const int row = m_list.InsertItem(pin, "");
        m_list.SetItemData(row, reinterpret_cast<DWORD_PTR>(Definitions().m_pins.Pin(pin)));
        DrawRow(row, true);
    }
    FitDescriptionColumn();
}

void CTavroDigitalIoSetupDlg::FillFunctionChoices(int pin)
{
    CStringList* choices = m_list.GetComboList(kFunctionWork);
    choices->RemoveAll();
    m_choiceMap.RemoveAll();
    choices->AddTail(kUnassigned);
    m_choiceMap.SetAt(kUnassigned, 0);
    CFunctionAndBit current;
    const int currentFunction = FunctionOfRow(pin, current) ? current.m_function : 0;
    // The pin keeps its connection while the list is open: an editor left unchanged changes nothing.
    CList<CFunctionAndBit> available;
    Definitions().GetAvailableFunctions(pin, currentFunction, available);
    int position = 1;
    for (const CFunctionAndBit& choice : available) {
        const CString text = ChoiceText(choice);
        if (!IsOffered(text))
            continue;
        choices->AddTail(text);
        m_choiceMap.SetAt(text, position++);
    }
}

void CTavroDigitalIoSetupDlg::FillLevelChoices(int pin)
{
    CStringList* choices = m_list.GetComboList(kActiveWork);
    choices->RemoveAll();
    const CTavroIoPinDefinition* definition = Definitions().m_pins.Pin(pin);
    CFunctionAndBit current;
    if (!definition || !FunctionOfRow(pin, current))
        return;
    const CTavroIoFunctionDefinition* function = Definitions().m_functions.Find(current.m_function);
    if (!function || !function->m_setActive)
        return;
    choices->AddTail(definition->GetStateText(1));
    choices->AddTail(definition->GetStateText(0));
}

int CTavroDigitalIoSetupDlg::GetColumnEditType(CDListComboCtrl*, int row, int column)
{
    if (column == kFunctionWork)
        FillFunctionChoices(row);
    else if (column == kActiveWork)
        FillLevelChoices(row);
    if (!m_texts.withBit)
        return LCC_EDIT_LIST;
    if (column == kFunctionWork)
        return LCC_EDIT_TREE;
    return column == kActiveWork ? LCC_EDIT_LIST_ALT : LCC_EDIT_LIST;
}

int CTavroDigitalIoSetupDlg::GetItemSelection(CDListComboCtrl*, int row, int column)
{
    if (column == kFunctionWork) {
        int position = 0;
        return m_choiceMap.Lookup(m_list.GetItemText(row, kFunctionWork), position) ? position : 0;
    }
    if (column == kActiveWork) {
        CFunctionAndBit current;
        if (!FunctionOfRow(row, current))
            return 0;
        return Definitions().GetConnectionLevel(current.m_function, row, current.m_bit) == 1 ? 0 : 1;
    }
    return 0;
}

void CTavroDigitalIoSetupDlg::OnItemSelectionChanged(CDListComboCtrl*, int row, int column, int, BOOL unchanged)
{
    CTavroIoDefinitions& io = Definitions();
    const CString text = m_list.GetItemText(row, column);
    CFunctionAndBit current;
    const bool connected = FunctionOfRow(row, current);
    if (column == kFunctionWork) {
        if (unchanged) {
            DrawRow(row, false);
            return;
        }
        int bit = 0;
        const CTavroIoFunctionDefinition* function =
            text == kUnassigned ? nullptr : io.FindFunctionByName(text, &bit);
        // A function without named bits connects with bit 0.
        if (!m_texts.withBit || (function && !function->HasNamedBits()))
            bit = 0;
        bool chosen = false;
        if (function && bit >= 0)
            chosen = io.ReplacePinConnection(row, function->m_number, bit) != 0;
        else if (connected)
            io.RemovePinConnections(row);
        m_changed = true;
        DrawRow(row, false);
        const bool levelToChoose = chosen && function->m_setActive;
        m_list.SetItemBkColor(kActiveWork, row,
                              levelToChoose ? kLevelToChooseColour : m_list.GetItemBkColor(kFunctionWork, row));
        return;
    }
    if (column != kActiveWork || !connected)
        return;
    const CTavroIoPinDefinition* pin = io.m_pins.Pin(row);
    const int level = pin && text == pin->GetStateText(1) ? 1 : 0;
    if (level != io.GetConnectionLevel(current.m_function, row, current.m_bit)) {
        io.SetConnectionLevel(current.m_function, row, current.m_bit, level);
        m_changed = true;
    }
    m_list.SetItemBkColor(kActiveWork, row, m_list.GetItemBkColor(kFunctionWork, row));
    DrawRow(row, false);
}

int CTavroDigitalIoSetupDlg::SendGroup(int /*group*/)
{
    BeforePinSend();
    // Pins whose functions a broken table does not know would be written as unassigned.
    if (!m_definitionsLoaded) {
        CGuiUpdateItem::MessageBox(kDefinitionsNotLoaded + Definitions().m_loadError, MB_OK | MB_ICONERROR, 0, IDOK);
        return 1;
    }
    m_errorShown = false;
    Definitions().WritePinAssignments(GetDrive(), *this);
    AfterPinSend();
    m_changed = false;
    return 1;
}

void CTavroDigitalIoSetupDlg::OnSendButton()
{
    if (CGuiUpdateItem::MessageBox(m_texts.sendQuestion, MB_YESNO | MB_ICONQUESTION, 0, IDYES) == IDYES)
        SendGroup(0);
}

int CTavroDigitalIoSetupDlg::GetPendingChangesState(int)
{
    return m_changed || HasUnsentExtras() ? 1 : 2;
}

int CTavroDigitalIoSetupDlg::ExecuteCommand(const CString& command, CString& reply)
{
    if (CGuiUpdateDlg::ExecuteCommand(command, reply))
        return 1;
    if (command.Left(13).CompareNoCase("DISCONNECTPIN") == 0) {
        reply = DisconnectPin(command);
        return 1;
    }
    if (command.Left(10).CompareNoCase("CONNECTPIN") == 0) {
        reply = ConnectPin(command);
        return 1;
    }
    return 0;
}

CString CTavroDigitalIoSetupDlg::ConnectPin(const CString& command)
{
    CString pinName, functionText;
    int level = 0;
    const int parsed = CParamParse::ParseParams(command, {pinName, functionText, level});
    if (parsed != CParamParse::ok)
        return "ERROR:" + CParamParse::GetErrorString(parsed);
    CTavroIoDefinitions& io = Definitions();
    int pin = -1;
    if (!io.FindPinByName(pinName, &pin)) {
        CString reply;
        reply.Format("ERROR: Invalid pin \"%s\".", static_cast<const char*>(pinName));
        return reply;
    }
    int bit = 0;
    const CTavroIoFunctionDefinition* function = io.FindFunctionByName(functionText, &bit);
    if (!m_texts.withBit)
        bit = 0;
    else if (function && function->m_bitNames.IsEmpty())
        bit = 0;
    if (!function || bit < 0) {
        CString reply;
        reply.Format("ERROR: Invalid function \"%s\".", static_cast<const char*>(functionText));
        return reply;
    }
    if (!io.ReplacePinConnection(pin, function->m_number, bit))
        return "ERROR: Could not make connection";
    // The drive keeps one bit of level; any other non-zero level is shown and sent as active high.
    io.SetConnectionLevel(function->m_number, pin, bit, level != 0 ? 1 : 0);
    if (pin < m_list.GetItemCount())
        DrawRow(pin, false);
    return "SUCCESS";
}

CString CTavroDigitalIoSetupDlg::DisconnectPin(const CString& command)
{
    CString pinName;
    const int parsed = CParamParse::ParseParams(command, {pinName});
    if (parsed != CParamParse::ok)
        return "ERROR:" + CParamParse::GetErrorString(parsed);
    int pin = -1;
    if (!Definitions().FindPinByName(pinName, &pin)) {
        CString reply;
        reply.Format("ERROR: Invalid pin \"%s\".", static_cast<const char*>(pinName));
        return reply;
    }
    Definitions().RemovePinConnections(pin);
    if (pin < m_list.GetItemCount())
        DrawRow(pin, false);
    return "SUCCESS";
}

void CTavroDigitalIoSetupDlg::RandomExercise(int)
{
    CTavroIoDefinitions& io = Definitions();
    const int pins = io.m_pins.GetSize();
    const int functions = io.m_functions.m_order.GetCount();
    if (pins == 0 || functions == 0)
        return;
    if (Rand() % 100 < 5) {
        SendGroup(0);
        return;
    }
    const int pin = Rand() % pins;
    if (Rand() % 100 < 70) {
        POSITION pos = io.m_functions.m_order.FindIndex(Rand() % functions);
        const CTavroIoFunctionDefinition* function = pos ? io.m_functions.m_order.GetAt(pos) : nullptr;
        if (function && io.CanConnect(pin, function->m_number, 0))
            io.AddConnection(pin, 0, function->m_number);
    } else if (io.IsPinConnected(pin)) {
        io.RemovePinConnections(pin);
    }
    if (pin < m_list.GetItemCount())
        DrawRow(pin, false);
}
