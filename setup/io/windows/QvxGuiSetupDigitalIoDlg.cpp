#include "setup/io/windows/QvxGuiSetupDigitalIoDlg.h"

#include <cmath>

#include "distribution/parameters/GlobalParameterKinds.h"
#include "distribution/parameters/GlobalParameterTable.h"
#include "framework/GuiUpdateList.h"
#include "platform/core/MessageBox.h"
#include "platform/core/RuntimeClass.h"
#include "platform/ui/Button.h"

IMPLEMENT_DYNCREATE(CQvxGuiSetupDigitalIoDlg, CGuiUpdateDlg)

static const CRuntimeClassRegistrar kRegistrar(RUNTIME_CLASS(CQvxGuiSetupDigitalIoDlg));

BEGIN_MESSAGE_MAP(CQvxGuiSetupDigitalIoDlg, CGuiUpdateDlg)
    ON_BN_CLICKED(IDC_SDIO_SEND, &CQvxGuiSetupDigitalIoDlg::OnSendButton)
END_MESSAGE_MAP()

namespace {
struct InputRow {
    UINT lowWork, lowDrive, disableWork, disableDrive;
    DWORD mask;
};
constexpr InputRow kRows[] = {
    {IDC_SDIO_LIMIT_POS_LOW_WORK, IDC_SDIO_LIMIT_POS_LOW_DRIVE, IDC_SDIO_LIMIT_POS_DISABLE_WORK,
     IDC_SDIO_LIMIT_POS_DISABLE_DRIVE, 1},
    {IDC_SDIO_LIMIT_NEG_LOW_WORK, IDC_SDIO_LIMIT_NEG_LOW_DRIVE, IDC_SDIO_LIMIT_NEG_DISABLE_WORK,
     IDC_SDIO_LIMIT_NEG_DISABLE_DRIVE, 8},
    {IDC_SDIO_INHIBIT_LOW_WORK, IDC_SDIO_INHIBIT_LOW_DRIVE, IDC_SDIO_INHIBIT_DISABLE_WORK,
     IDC_SDIO_INHIBIT_DISABLE_DRIVE, 4},
    {IDC_SDIO_MOTOR_HEAT_LOW_WORK, IDC_SDIO_MOTOR_HEAT_LOW_DRIVE, IDC_SDIO_MOTOR_HEAT_DISABLE_WORK,
     IDC_SDIO_MOTOR_HEAT_DISABLE_DRIVE, 64},
    {IDC_SDIO_EXT_RESET_LOW_WORK, IDC_SDIO_EXT_RESET_LOW_DRIVE, IDC_SDIO_EXT_RESET_DISABLE_WORK,
     IDC_SDIO_EXT_RESET_DISABLE_DRIVE, 2048},
    {0, 0, IDC_SDIO_ENCODER_DISABLE_WORK, IDC_SDIO_ENCODER_DISABLE_DRIVE, 2},
    {IDC_SDIO_MODE_SELECT_LOW_WORK, IDC_SDIO_MODE_SELECT_LOW_DRIVE, IDC_SDIO_MODE_SELECT_DISABLE_WORK,
     IDC_SDIO_MODE_SELECT_DISABLE_DRIVE, 4096},
    {IDC_SDIO_GO_STOP_LOW_WORK, IDC_SDIO_GO_STOP_LOW_DRIVE, IDC_SDIO_GO_STOP_DISABLE_WORK,
     IDC_SDIO_GO_STOP_DISABLE_DRIVE, 8192},
    {IDC_SDIO_E_STOP_LOW_WORK, IDC_SDIO_E_STOP_LOW_DRIVE, IDC_SDIO_E_STOP_DISABLE_WORK, IDC_SDIO_E_STOP_DISABLE_DRIVE,
     16384},
};
constexpr DWORD kPullUpMask = 16;
constexpr DWORD kPolarityMask = 32;
struct FaultRow {
    UINT work, drive;
    int function;
    int polarity;
};
constexpr FaultRow kFaultRows[] = {
    {IDC_SDIO_FAULT_LOW_WORK, IDC_SDIO_FAULT_LOW_DRIVE, 0, 0},
    {IDC_SDIO_FAULT_HIGH_WORK, IDC_SDIO_FAULT_HIGH_DRIVE, 0, 32},
    {IDC_SDIO_READY_LOW_WORK, IDC_SDIO_READY_LOW_DRIVE, 1, 0},
    {IDC_SDIO_READY_HIGH_WORK, IDC_SDIO_READY_HIGH_DRIVE, 1, 32},
};
constexpr WORD kParameters[3] = {kActiveHighParameter, kInputEnableParameter, kFaultPinFunctionParameter};
constexpr WORD kPollMs = 100;
constexpr WORD kOneShotMs = 200;
constexpr BYTE kOneShotFlags = 0x60;
constexpr int kCustomSendActiveLow = 1;
}  // namespace

CQvxGuiSetupDigitalIoDlg::CQvxGuiSetupDigitalIoDlg() : CGuiUpdateDlg(IDD) {}

bool CQvxGuiSetupDigitalIoDlg::ReadConversion(int id, int& value)
{
    double raw = 0;
    if (!GetGlobalParameterValue(GetDrive(), id, raw))
        return false;
    value = static_cast<int>(std::lround(raw));
    return true;
}

int CQvxGuiSetupDigitalIoDlg::PrepareQueries()
{
    if (CGlobalParameterTable* table = m_pList ? m_pList->GetParameterTable() : nullptr) {
        table->RequestParameterQuery(GetDrive(), GPD_CS);
        table->RequestParameterQuery(GetDrive(), GPD_MDL14);
    }
    for (WORD parameter : kParameters)
        SendQuery(static_cast<BYTE>(GetDrive()), parameter, kOneShotMs, kOneShotFlags);
    return 1;
}

int CQvxGuiSetupDigitalIoDlg::SubscribeStatusQueries()
{
    const int done = CGuiUpdateDlg::SubscribeStatusQueries();
    if (done) {
        SendQuery(static_cast<BYTE>(GetDrive()), kActiveHighParameter, kPollMs);
        SendQuery(static_cast<BYTE>(GetDrive()), kInputEnableParameter, kPollMs);
    }
    return done;
}

int CQvxGuiSetupDigitalIoDlg::InitialUpdate()
{
    int model = 0, features = 0;
    if (!ReadConversion(GPD_CS, model) || !ReadConversion(GPD_MDL14, features))
        return 0;
    SetDlgItemText(IDC_SDIO_ENCODER_LABEL, "Encoder Fault");
    SetDlgItemText(IDC_SDIO_INHIBIT_LABEL, "Inhibit");
    SetDlgItemText(IDC_SDIO_GO_STOP_LABEL, "Go Stop");
    SetDlgItemText(IDC_SDIO_E_STOP_LABEL, "E-Stop");
    const bool modeSelect = model > 15 && (features & 0x4);
    const bool stops = model > 15 && (features & 0x40);
    const UINT modeIds[] = {IDC_SDIO_MODE_SELECT_LABEL, IDC_SDIO_MODE_SELECT_LOW_WORK,
                            IDC_SDIO_MODE_SELECT_DISABLE_WORK};
    for (UINT id : modeIds)
        GetDlgItem(id)->EnableWindow(modeSelect);
    const UINT stopIds[] = {IDC_SDIO_GO_STOP_LABEL,       IDC_SDIO_E_STOP_LABEL,      IDC_SDIO_GO_STOP_LOW_WORK,
                            IDC_SDIO_GO_STOP_DISABLE_WORK, IDC_SDIO_E_STOP_LOW_WORK, IDC_SDIO_E_STOP_DISABLE_WORK};
    for (UINT id : stopIds)
        GetDlgItem(id)->EnableWindow(stops);
    for (const FaultRow& row : kFaultRows)
        GetDlgItem(row.work)->EnableWindow(TRUE);
    return 1;
}

void CQvxGuiSetupDigitalIoDlg::OnStatusResponse(const CAmpResponseToGui& response)
{
    for (int i = 0; i < 3; ++i) {
        if (response.m_code != kParameters[i] || response.m_write)
            continue;
        if (!response.m_error) {
            const DWORD value = static_cast<DWORD>(response.GetValue());
            const bool first = !m_valid[i];
            m_changed |= first || value != m_values[i];
            m_values[i] = value;
            m_valid[i] = true;
            if (i < 2)
                ShowDriveWord(kParameters[i], value, first);
        }
        return;
    }
    CGuiUpdateDlg::OnStatusResponse(response);
}

void CQvxGuiSetupDigitalIoDlg::ShowDriveWord(WORD parameter, DWORD word, bool first)
{
    auto show = [&](UINT drive, UINT work, bool checked, bool touched) {
        const UINT state = checked ? BST_CHECKED : BST_UNCHECKED;
        if (IsDlgButtonChecked(drive) != state)
            CheckDlgButton(drive, state);
        // The working box follows the drive until the user changes it.
        if (first || !touched)
            CheckDlgButton(work, state);
    };
    for (const InputRow& row : kRows) {
        if (parameter == kActiveHighParameter && row.lowWork)
            show(row.lowDrive, row.lowWork, (word & row.mask) == 0, (m_touched[0] & row.mask) != 0);
        if (parameter == kInputEnableParameter)
            show(row.disableDrive, row.disableWork, (word & row.mask) == 0, (m_touched[1] & row.mask) != 0);
    }
    if (parameter == kActiveHighParameter)
        show(IDC_SDIO_PULLUP_DRIVE, IDC_SDIO_PULLUP_WORK, (word & kPullUpMask) != 0, (m_touched[0] & kPullUpMask) != 0);
}

void CQvxGuiSetupDigitalIoDlg::ProcessResponses()
{
    CGuiUpdateDlg::ProcessResponses();
    int model = 0, features = 0;
    if (!m_changed || !m_valid[0] || !m_valid[1] || !m_valid[2] || !ReadConversion(GPD_CS, model) ||
        !ReadConversion(GPD_MDL14, features))
        return;
    m_changed = false;
    ShowFaultPin();
}

void CQvxGuiSetupDigitalIoDlg::ShowFaultPin()
{
    const int function = static_cast<int>(m_values[2]);
    const int polarity = (m_values[0] & kPolarityMask) ? 32 : 0;
    for (const FaultRow& row : kFaultRows) {
        const UINT state = row.function == function && row.polarity == polarity ? BST_CHECKED : BST_UNCHECKED;
        CheckDlgButton(row.work, state);
        CheckDlgButton(row.drive, state);
    }
}

// The drive's word with the bits of the boxes the user changed as the boxes show them.
DWORD CQvxGuiSetupDigitalIoDlg::ActiveLowWord() const
{
    DWORD word = m_values[0];
    auto take = [&](UINT box, DWORD mask, bool setWhenChecked) {
        if (!(m_touched[0] & mask))
            return;
        const bool set = (IsDlgButtonChecked(box) == BST_CHECKED) == setWhenChecked;
        word = set ? (word | mask) : (word & ~mask);
    };
    for (const InputRow& row : kRows)
        if (row.lowWork)
            take(row.lowWork, row.mask, false);
    take(IDC_SDIO_PULLUP_WORK, kPullUpMask, true);
    return word;
}

DWORD CQvxGuiSetupDigitalIoDlg::DisableWord() const
{
    DWORD word = m_values[1];
    for (const InputRow& row : kRows)
        if (m_touched[1] & row.mask)
            word = IsDlgButtonChecked(row.disableWork) == BST_CHECKED ? (word & ~row.mask) : (word | row.mask);
    return word;
}

void CQvxGuiSetupDigitalIoDlg::NoteTouched(UINT id)
{
    for (const InputRow& row : kRows) {
        if (row.lowWork && row.lowWork == id)
            m_touched[0] |= row.mask;
        if (row.disableWork == id)
            m_touched[1] |= row.mask;
    }
    if (id == IDC_SDIO_PULLUP_WORK)
        m_touched[0] |= kPullUpMask;
}

int CQvxGuiSetupDigitalIoDlg::CustomSend(int id, double, CWnd*)
{
    // Only a change is written: the drive keeps what the user left alone.
    if (id == kCustomSendActiveLow && m_valid[0] && ActiveLowWord() != m_values[0])
        SendCommand(static_cast<BYTE>(GetDrive()), kActiveHighParameter, static_cast<LONG>(ActiveLowWord()));
    // Not handled, as the framework expects of a send it need not repeat.
    return 0;
}

int CQvxGuiSetupDigitalIoDlg::SendGroup(int group)
{
    if (group == 0 || group == 1) {
        CustomSend(kCustomSendActiveLow, 0, nullptr);
        m_touched[0] = 0;
    }
    if ((group == 0 || group == 2) && m_valid[1]) {
        if (DisableWord() != m_values[1])
            SendCommand(static_cast<BYTE>(GetDrive()), kInputEnableParameter, static_cast<LONG>(DisableWord()));
        m_touched[1] = 0;
    }
    return 1;
}

void CQvxGuiSetupDigitalIoDlg::OnSendButton()
{
    if (CGuiUpdateItem::MessageBox(kSendQuestion, MB_YESNO | MB_ICONQUESTION, 0, IDYES) == IDYES)
        SendGroup(0);
}

// The fault pin alone: input settings not sent yet stay with the Send button,
// and a setting the drive already holds is not written again.
void CQvxGuiSetupDigitalIoDlg::WriteFaultPinSettings(int function, int polarity)
{
    if (!m_valid[0] || !m_valid[2]) {
        CGuiUpdateItem::MessageBox(kNoValues, MB_OK, 0, IDOK);
        return;
    }
    const BYTE drive = static_cast<BYTE>(GetDrive());
    const DWORD word = (m_values[0] & ~kPolarityMask) | static_cast<DWORD>(polarity);
    if (word != m_values[0])
        SendCommand(drive, kActiveHighParameter, static_cast<LONG>(word));
    if (static_cast<DWORD>(function) != m_values[2]) {
        SendCommand(drive, kFaultPinFunctionParameter, function);
        // The function is read once at start; read it again so the drive column follows the write.
        SendQuery(drive, kFaultPinFunctionParameter, kOneShotMs, kOneShotFlags);
    }
}

BOOL CQvxGuiSetupDigitalIoDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const UINT id = LOWORD(wParam);
    const BOOL handled = CGuiUpdateDlg::OnCommand(wParam, lParam);
    if (HIWORD(wParam) != BN_CLICKED)
        return handled;
    NoteTouched(id);
    if (id == IDC_SDIO_PULLUP_WORK || id == IDC_SDIO_EXT_RESET_LOW_WORK)
        CGuiUpdateItem::MessageBox(kSaveAndResetNotice, MB_OK, 0, IDOK);
    for (const FaultRow& row : kFaultRows)
        if (row.work == id)
            WriteFaultPinSettings(row.function, row.polarity);
    return handled;
}

int CQvxGuiSetupDigitalIoDlg::GetPendingChangesState(int)
{
    const bool lowPending = m_valid[0] && ActiveLowWord() != m_values[0];
    const bool disablePending = m_valid[1] && DisableWord() != m_values[1];
    return lowPending || disablePending ? 1 : 2;
}
