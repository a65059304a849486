#include "setup/io/windows/QvxStatusLampsDlg.h"

#include "setup/io/windows/QvxRegisterFlagTool.h"

IMPLEMENT_DYNCREATE(CQvxStatusLampsDlg, CGuiUpdateDlg)
// The window factory finds the window by its class name.
static const CRuntimeClassRegistrar kRegistrar(RUNTIME_CLASS(CQvxStatusLampsDlg));

BEGIN_MESSAGE_MAP(CQvxStatusLampsDlg, CGuiUpdateDlg)
    ON_WM_GETMINMAXINFO()
END_MESSAGE_MAP()

namespace {
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kPaleGrey = RGB(200, 200, 200);
const StatusLampColours kBlue{RGB(0, 0, 255), RGB(64, 64, 64), kWhite, kPaleGrey};
const StatusLampColours kRedOnGrey{RGB(255, 0, 0), RGB(64, 64, 64), kWhite, kPaleGrey};
const StatusLampColours kFault{RGB(255, 0, 0), RGB(0, 128, 0), kWhite, kPaleGrey};
const StatusLampColours kNotice{RGB(196, 196, 0), RGB(0, 128, 0), kWhite, kPaleGrey};

struct Lamp {
    DWORD mask;
    const char* text;
    const StatusLampColours* colours;
};
const Lamp kInputLamps[] = {{0x1, "Limit+", &kBlue},           {0x8, "Limit-", &kBlue},
                            {0x2, "Fault In", &kRedOnGrey},    {0x4, "Hardware Inhibit", &kBlue},
                            {0x40, "Motor Temp", &kBlue},      {0x80, "Drive Temp", &kBlue},
                            {0x800, "External Reset", &kBlue}, {0x100, "Hall U", &kBlue},
                            {0x200, "Hall V", &kBlue},         {0x400, "Hall W", &kBlue}};
const Lamp kFaultLamps[] = {{0x8000, "HS ECB", &kFault},       {0x4000, "LS ECB", &kFault},
                            {0x2000, "Bus Over Volt", &kFault}, {0x1000, "Drive Over Temp", &kFault},
                            {0x40, "Motor Temp", &kFault},     {0x800, "Encoder", &kFault},
                            {0x20, "Hall", &kFault},           {0x2, "Commutation", &kFault},
                            {0x1, "Bus Under Volt", &kFault},  {0x4, "CPLD", &kFault},
                            {0x10, "NV RAM", &kFault},         {0x200, "Pos Follow Err", &kFault},
                            {0x400, "Over Speed", &kFault},    {0x10000, "Power On Reset", &kNotice},
                            {0x40000, "Commutation Init", &kNotice}, {0x4000000, "Foldback", &kNotice}};
const StatusLampColours kNeverOn{RGB(0, 128, 0), RGB(0, 128, 0), kWhite, kPaleGrey};
const Lamp kStateLamps[] = {{0x80, "Enc. Index Sensed", &kBlue}, {0x100, "Drive Enabled", &kBlue},
                            {0x200, "HW Inhibit", &kBlue},       {0x8, "Soft Inhibit", &kBlue},
                            {0x800, "Balancing", &kBlue},        {0x40, "Commutated", &kBlue},
                            {0x2, "Fault", &kBlue},              {0x20, "At Speed", &kBlue},
                            {0x10, "At Zero", &kBlue},           {0, "", &kNeverOn}};
constexpr WORD kStatusWordRegister = 20065;
constexpr WORD kFaultWordRegister = 20070;
}  // namespace

CQvxStatusLampsDlg::CQvxStatusLampsDlg() : CGuiUpdateDlg(IDD) {}

BOOL CQvxStatusLampsDlg::OnInitDialog()
{
    CGuiUpdateDlg::OnInitDialog();
    for (const Lamp& lamp : kInputLamps)
        m_inputs.Add(lamp.mask, lamp.text, *lamp.colours);
    for (const Lamp& lamp : kFaultLamps)
        m_faults.Add(lamp.mask, lamp.text, *lamp.colours);
    for (const Lamp& lamp : kStateLamps)
        m_state.Add(lamp.mask, lamp.text, *lamp.colours);
    m_inputs.Create(this, IDC_STATUS_INPUTS_FRAME, 1, IDC_STATUS_INPUT_LAMP0);
    m_faults.Create(this, IDC_STATUS_FAULTS_FRAME, 2, IDC_STATUS_FAULT_LAMP0);
    m_state.Create(this, IDC_STATUS_STATE_FRAME, 1, IDC_STATUS_STATE_LAMP0);
    m_encoder = m_faults.Find(0x800);
    return TRUE;
}

int CQvxStatusLampsDlg::SubscribeStatusQueries()
{
    const int drive = GetDrive();
    if (drive == -1)
        return 0;
    const BYTE address = static_cast<BYTE>(drive);
    SendQuery(address, kFaultWordRegister, 200, 0);
    SendQuery(address, kSecondStatusWordCode, 200, 0);
    SendQueryWithArgument(address, kModelDataCode, kModelIndexCode, kHardwareFlagIndex, 0, kQryOneShot);
    SendQuery(address, kInputWordCode, 200, 0);
    SendQuery(address, kStatusWordRegister, 200, 0);
    return CGuiUpdateDlg::SubscribeStatusQueries();
}

double CQvxStatusLampsDlg::CustomValue(int kind, DWORD mask, int& known) const
{
    known = 0;
    if (kind != 1)
        return -2;
    if (!m_haveFault || !m_haveSecond)
        return 0;
    known = 1;
    const DWORD word = mask < 0x10000 ? m_faultWord : m_secondWord;
    const DWORD bits = mask < 0x10000 ? mask : mask >> 16;
    return (word & bits) ? 1.0 : 0.0;
}

void CQvxStatusLampsDlg::ShowFaults()
{
    for (int i = 0; i < m_faults.GetCount(); ++i) {
        int known = 0;
        const DWORD mask = kFaultLamps[i].mask;
        const BOOL on = CustomValue(1, mask, known) == 1.0;
        CLampButton& lamp = m_faults.GetLamp(i);
        if (lamp.m_on != on) {
            lamp.m_on = on;
            lamp.Invalidate(FALSE);
        }
    }
}

void CQvxStatusLampsDlg::OnStatusResponse(const CAmpResponseToGui& response)
{
    if (response.m_write || response.m_error) {
        CGuiUpdateDlg::OnStatusResponse(response);
        return;
    }
    const DWORD value = static_cast<DWORD>(response.m_value);
    switch (response.m_code) {
    case kInputWordCode:
        m_inputs.ShowWord(value);
        break;
    case kFaultWordRegister:
        m_faultWord = value;
        m_haveFault = 1;
        ShowFaults();
        CGuiUpdateDlg::OnStatusResponse(response);
        break;
    case kSecondStatusWordCode:
        m_secondWord = value;
        m_haveSecond = 1;
        ShowFaults();
        break;
    case kStatusWordRegister:
        m_state.ShowWord(value);
        CGuiUpdateDlg::OnStatusResponse(response);
        break;
    case kModelDataCode:
        if (m_encoder) {
            const char* text = (value & 0x80) ? "Resolver" : "Encoder";
            m_encoder->SetTexts(text, text, TRUE);
            Invalidate(TRUE);
        }
        break;
    default:
        CGuiUpdateDlg::OnStatusResponse(response);
    }
}

void CQvxStatusLampsDlg::OnGetMinMaxInfo(MINMAXINFO* info)
{
    CGuiUpdateDlg::OnGetMinMaxInfo(info);
    info->ptMinTrackSize.x = 200;
    info->ptMinTrackSize.y = 200;
}
