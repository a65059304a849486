#include "setup/io/windows/QvxDedicatedIoSettingsDlg.h"

#include "platform/core/RuntimeClass.h"
#include "platform/ui/Button.h"

IMPLEMENT_DYNCREATE(CQvxDedicatedIoSettingsDlg, CGuiUpdateDlg)

static const CRuntimeClassRegistrar kRegistrar(RUNTIME_CLASS(CQvxDedicatedIoSettingsDlg));

BEGIN_MESSAGE_MAP(CQvxDedicatedIoSettingsDlg, CGuiUpdateDlg)
END_MESSAGE_MAP()

namespace {
constexpr WORD kGroupParameters[2] = {kDedicatedEnableParameter, kDedicatedPolarityParameter};
constexpr WORD kSettingPollMs = 100;
constexpr CQvxDedicatedIoSettingsDlg::Setting kSettings[] = {
    {IDC_DIO_MOTOR_TEMP_ENABLE_WORK, IDC_DIO_MOTOR_TEMP_ENABLE_DRIVE, 0, 64},
    {IDC_DIO_ENCODER_ENABLE_WORK, IDC_DIO_ENCODER_ENABLE_DRIVE, 0, 2048},
    {IDC_DIO_DRIVE_TEMP_ENABLE_WORK, IDC_DIO_DRIVE_TEMP_ENABLE_DRIVE, 0, 4096},
    {IDC_DIO_MOTOR_TEMP_HIGH_WORK, IDC_DIO_MOTOR_TEMP_HIGH_DRIVE, 1, 64},
    {IDC_DIO_DRIVE_TEMP_HIGH_WORK, IDC_DIO_DRIVE_TEMP_HIGH_DRIVE, 1, 4096},
    {IDC_DIO_PULL_HIGH_WORK, IDC_DIO_PULL_HIGH_DRIVE, 1, 1},
    {IDC_DIO_BRAKE_HIGH_WORK, IDC_DIO_BRAKE_HIGH_DRIVE, 1, 2},
};
}  // namespace

CQvxDedicatedIoSettingsDlg::CQvxDedicatedIoSettingsDlg() : CGuiUpdateDlg(IDD) {}

BOOL CQvxDedicatedIoSettingsDlg::OnInitDialog()
{
    CGuiUpdateDlg::OnInitDialog();
    // The encoder fault input is always active high.
    CheckDlgButton(IDC_DIO_ENCODER_HIGH_WORK, BST_CHECKED);
    CheckDlgButton(IDC_DIO_ENCODER_HIGH_DRIVE, BST_CHECKED);
    return TRUE;
}

const CQvxDedicatedIoSettingsDlg::Setting* CQvxDedicatedIoSettingsDlg::FindSetting(UINT workId)
{
    for (const Setting& setting : kSettings)
        if (setting.workId == workId)
            return &setting;
    return nullptr;
}

int CQvxDedicatedIoSettingsDlg::SubscribeStatusQueries()
{
    const int done = CGuiUpdateDlg::SubscribeStatusQueries();
    if (done)
        for (WORD parameter : kGroupParameters)
            SendQuery(static_cast<BYTE>(GetDrive()), parameter, kSettingPollMs);
    return done;
}

void CQvxDedicatedIoSettingsDlg::OnStatusResponse(const CAmpResponseToGui& response)
{
    for (int group = 0; group < 2; ++group) {
        if (response.m_code != kGroupParameters[group] || response.m_write)
            continue;
        if (!response.m_error) {
            const bool first = !m_driveValid[group];
            m_driveWords[group] = static_cast<DWORD>(response.GetValue());
            m_driveValid[group] = true;
            ShowDriveWord(group, m_driveWords[group], first);
        }
        return;
    }
    CGuiUpdateDlg::OnStatusResponse(response);
}

void CQvxDedicatedIoSettingsDlg::ShowDriveWord(int group, DWORD word, bool first)
{
    for (const Setting& setting : kSettings) {
        if (setting.group != group)
            continue;
        const UINT state = (word & setting.mask) ? BST_CHECKED : BST_UNCHECKED;
        if (IsDlgButtonChecked(setting.driveId) != state)
            CheckDlgButton(setting.driveId, state);
        // The working boxes start from the drive and then keep what the user made of them.
        if (first)
            CheckDlgButton(setting.workId, state);
    }
}

DWORD CQvxDedicatedIoSettingsDlg::WorkingWord(int group) const
{
    DWORD word = m_driveWords[group];
    for (const Setting& setting : kSettings) {
        if (setting.group != group)
            continue;
        if (IsDlgButtonChecked(setting.workId) == BST_CHECKED)
            word |= setting.mask;
        else
            word &= ~setting.mask;
    }
    return word;
}

BOOL CQvxDedicatedIoSettingsDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const UINT id = LOWORD(wParam);
    const Setting* setting = HIWORD(wParam) == BN_CLICKED ? FindSetting(id) : nullptr;
    const BOOL handled = CGuiUpdateDlg::OnCommand(wParam, lParam);
    // A working box writes its setting as soon as it is clicked.
    if (setting && m_driveValid[setting->group])
        SendGroup(setting->group + 1);
    return handled;
}

int CQvxDedicatedIoSettingsDlg::SendGroup(int group)
{
    for (int g = 0; g < 2; ++g) {
        if ((group == 0 || group == g + 1) && m_driveValid[g])
            SendCommand(static_cast<BYTE>(GetDrive()), kGroupParameters[g], static_cast<LONG>(WorkingWord(g)));
    }
    return 1;
}

int CQvxDedicatedIoSettingsDlg::GetPendingChangesState(int)
{
    for (const Setting& setting : kSettings)
        if (IsDlgButtonChecked(setting.workId) != IsDlgButtonChecked(setting.driveId))
            return 1;
    return 2;
}
