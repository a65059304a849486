#include "setup/io/windows/QvxGuiSetupTavroDigitalInputDlg.h"

#include "platform/core/MessageBox.h"
#include "platform/core/RuntimeClass.h"
#include "platform/ui/Button.h"
#include "setup/io/windows/IoWindowFiles.h"

IMPLEMENT_DYNCREATE(CQvxGuiSetupTavroDigitalInputDlg, CTavroDigitalIoSetupDlg)

static const CRuntimeClassRegistrar kRegistrar(RUNTIME_CLASS(CQvxGuiSetupTavroDigitalInputDlg));

BEGIN_MESSAGE_MAP(CQvxGuiSetupTavroDigitalInputDlg, CTavroDigitalIoSetupDlg)
    ON_BN_CLICKED(IDC_TAVRO_INPUT_SEND, &CQvxGuiSetupTavroDigitalInputDlg::OnSendButton)
    ON_WM_GETMINMAXINFO()
END_MESSAGE_MAP()

namespace {
const TavroIoWindowTexts kTexts = {
    "Setup Digital Inputs",
    "Function (Wrk)",
    "Function (Drv)",
    "Send input pin settings to drive?",
    "receiving digital input settings from drive.",
    "sending digital input settings to drive.",
    5,
    22,
    false,
};
constexpr WORD kPullUpPollMs = 600;
constexpr BYTE kPullUpQueryFlags = 0x60;
}  // namespace

CQvxGuiSetupTavroDigitalInputDlg::CQvxGuiSetupTavroDigitalInputDlg()
    : CTavroDigitalIoSetupDlg(IDD, IDC_TAVRO_INPUT_LIST, IDC_TAVRO_INPUT_SEND, kTexts)
{
}

int CQvxGuiSetupTavroDigitalInputDlg::LoadDefinitions(int variant)
{
    return m_definitions.LoadDefinitions(variant, IoFactoryIniPath());
}

int CQvxGuiSetupTavroDigitalInputDlg::PrepareQueries()
{
    SendQuery(static_cast<BYTE>(GetDrive()), kInputPullUpParameter, kPullUpPollMs, kPullUpQueryFlags);
    return CTavroDigitalIoSetupDlg::PrepareQueries();
}

void CQvxGuiSetupTavroDigitalInputDlg::OnStatusResponse(const CAmpResponseToGui& response)
{
    if (response.m_code != kInputPullUpParameter || response.m_error) {
        CTavroDigitalIoSetupDlg::OnStatusResponse(response);
        return;
    }
    if (response.m_write)
        return;
    m_pullUpWord = response.GetValue();
    const int state = (m_pullUpWord & 1) ? BST_CHECKED : BST_UNCHECKED;
    CheckDlgButton(IDC_TAVRO_INPUT_PULLUP_WORK, state);
    CheckDlgButton(IDC_TAVRO_INPUT_PULLUP_DRIVE, state);
}

int CQvxGuiSetupTavroDigitalInputDlg::IsBoxChecked(UINT id) const { return IsDlgButtonChecked(id) == BST_CHECKED; }

bool CQvxGuiSetupTavroDigitalInputDlg::PullUpBoxesDiffer() const
{
    return IsBoxChecked(IDC_TAVRO_INPUT_PULLUP_WORK) != IsBoxChecked(IDC_TAVRO_INPUT_PULLUP_DRIVE);
}

void CQvxGuiSetupTavroDigitalInputDlg::BeforePinSend()
{
    if (!PullUpBoxesDiffer())
        return;
    const LONG word = (m_pullUpWord & ~1L) | (IsBoxChecked(IDC_TAVRO_INPUT_PULLUP_WORK) ? 1 : 0);
    SendCommand(static_cast<BYTE>(GetDrive()), kInputPullUpParameter, word);
    SendQuery(static_cast<BYTE>(GetDrive()), kInputPullUpParameter, kPullUpPollMs, kPullUpQueryFlags);
    CGuiUpdateItem::MessageBox(kPullUpNotice, MB_OK | MB_ICONINFORMATION, 0, IDOK);
}

void CQvxGuiSetupTavroDigitalInputDlg::AfterPinSend()
{
    PostDelayedMessage("CQvxGuiTavroGeneralDigitalInputsDlg", "RELOADLIST", 1.0);
}

void CQvxGuiSetupTavroDigitalInputDlg::LayoutExtras(int, int, int buttonTop)
{
    struct Place {
        UINT id;
        int x;
        int width;
    };
    // Below the list, in line with the button.
    const Place places[] = {
        {IDC_TAVRO_INPUT_PULLUP_LABEL, 8, 150},  {IDC_TAVRO_INPUT_PULLUP_WORK, 160, 18},
        {IDC_TAVRO_INPUT_WORK_LABEL, 180, 60},   {IDC_TAVRO_INPUT_PULLUP_DRIVE, 245, 18},
        {IDC_TAVRO_INPUT_DRIVE_LABEL, 265, 60},
    };
    int right = 0;
    for (const Place& place : places) {
        if (CWnd* control = GetDlgItem(place.id))
            control->MoveWindow(place.x, buttonTop + 4, place.width, 18);
        right = place.x + place.width;
    }
    m_minWidth = std::max(500, right + 130);
}

void CQvxGuiSetupTavroDigitalInputDlg::OnGetMinMaxInfo(MINMAXINFO* info)
{
    CGuiUpdateDlg::OnGetMinMaxInfo(info);
    if (!info)
        return;
    info->ptMinTrackSize.x = m_minWidth;
    info->ptMinTrackSize.y = 200;
    info->ptMaxTrackSize.x = 10000;
    info->ptMaxTrackSize.y = 10000;
}
