#include "setup/io/windows/QvxLastFaultsLampDlg.h"

#include "platform/core/Rand.h"
#include "setup/io/windows/QvxRegisterFlagTool.h"

IMPLEMENT_DYNCREATE(CQvxLastFaultsLampDlg, CGuiUpdateDlg)
// The window factory finds the window by its class name.
static const CRuntimeClassRegistrar kRegistrar(RUNTIME_CLASS(CQvxLastFaultsLampDlg));

namespace {
struct LampRow {
    DWORD mask;
    const char* text;
};
const LampRow kLamps[] = {{0x8000, "HS ECB"},       {0x4000, "LS ECB"},  {0x2000, "Bus Over Volt"},
                          {0x1000, "Drive Over Temp"}, {0x40, "Motor Temp"}, {0x800, "Encoder"},
                          {0x20, "Hall"},           {0x2, "Commutation"}, {0x1, "Bus Under Volt"},
                          {0x4, "CPLD"},            {0x10, "NV RAM"}};
}  // namespace

CQvxLastFaultsLampDlg::CQvxLastFaultsLampDlg() : CGuiUpdateDlg(IDD) {}

CQvxLastFaultsLampDlg::~CQvxLastFaultsLampDlg() = default;

BOOL CQvxLastFaultsLampDlg::OnInitDialog()
{
    CGuiUpdateDlg::OnInitDialog();
    CreateLamps();
    return TRUE;
}

void CQvxLastFaultsLampDlg::CreateLamps()
{
    const StatusLampColours lastFault{RGB(255, 0, 0), RGB(0, 0, 200), RGB(255, 255, 255), RGB(200, 200, 200)};
    for (const LampRow& row : kLamps)
        m_grid.Add(row.mask, row.text, lastFault);
    m_grid.Create(this, IDC_LAST_FAULTS_FRAME, 2, IDC_LAST_FAULTS_LAMP0);
    m_encoder = m_grid.Find(0x800);
}

int CQvxLastFaultsLampDlg::SubscribeStatusQueries()
{
    const int drive = GetDrive();
    if (drive == -1)
        return 0;
    const BYTE address = static_cast<BYTE>(drive);
    SendQueryWithArgument(address, kModelDataCode, kModelIndexCode, kHardwareFlagIndex, 0, kQryOneShot);
    SendQuery(address, kMotorFeaturesCode, 0, kQryOneShot | kQryNotify);
    SendQuery(address, kLastFaultsCode, 100, 0);
    return CGuiUpdateDlg::SubscribeStatusQueries();
}

void CQvxLastFaultsLampDlg::OnStatusResponse(const CAmpResponseToGui& response)
{
    if (response.m_write || response.m_error) {
        CGuiUpdateDlg::OnStatusResponse(response);
        return;
    }
    const DWORD value = static_cast<DWORD>(response.m_value);
    switch (response.m_code) {
    case kLastFaultsCode:
        m_grid.ShowWord(value);
        break;
    case kModelDataCode:
        m_flagWord = value;
        NameEncoderLamp();
        break;
    case kMotorFeaturesCode:
        m_motorFeatures = value;
        NameEncoderLamp();
        break;
    default:
        CGuiUpdateDlg::OnStatusResponse(response);
    }
}

void CQvxLastFaultsLampDlg::NameEncoderLamp()
{
    if (!m_encoder)
        return;
    const char* text = ((m_flagWord & 0x80) && (m_motorFeatures & 0x4)) ? "Resolver" : "Encoder";
    m_encoder->SetTexts(text, text, TRUE);
    Invalidate(FALSE);
}

void CQvxLastFaultsLampDlg::RandomExercise(int)
{
    if (GetDrive() != -1 && Rand() % 10001 > 5000)
        SendCommand(static_cast<BYTE>(GetDrive()), kLastFaultsCode, static_cast<LONG>(Rand() % 65536));
}
