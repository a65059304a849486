#include "setup/io/windows/QvxGuiTavroAnalogOutputDlg.h"

#include "distribution/parameters/GlobalParameterKinds.h"
#include "distribution/parameters/GlobalParameterTable.h"
#include "framework/GuiUpdateList.h"
#include "platform/core/RuntimeClass.h"
#include "setup/io/AnalogIoRules.h"
#include "setup/io/AnalogSignalLists.h"
#include "setup/io/windows/IoWindowFiles.h"

IMPLEMENT_DYNCREATE(CQvxGuiTavroAnalogOutputDlg, CGuiUpdateDlg)
// The window factory finds the window by its class name.
static const CRuntimeClassRegistrar kRegistrar(RUNTIME_CLASS(CQvxGuiTavroAnalogOutputDlg));

BEGIN_MESSAGE_MAP(CQvxGuiTavroAnalogOutputDlg, CGuiUpdateDlg)
    ON_CBN_SELCHANGE(IDC_TAO_OUT_SOURCE, &CQvxGuiTavroAnalogOutputDlg::OnOutputSource)
    ON_CBN_SELCHANGE(IDC_TAO_AUX_SOURCE, &CQvxGuiTavroAnalogOutputDlg::OnAuxSource)
END_MESSAGE_MAP()

namespace {
struct EditRow {
    int work, spin, drive;
    WORD reg;
    int conversion;
    const char* format;
    const char* name;
};
const EditRow kRows[CQvxGuiTavroAnalogOutputDlg::kEditRows] = {
    {IDC_TAO_OUT_GAIN_WORK, IDC_TAO_OUT_GAIN_SPIN, IDC_TAO_OUT_GAIN_DRIVE, 15411, GPD_AMPDASCLTO_DAPRCNT_OUTPUT,
     "%0.2f", "Analog Output Signal Gain"},
    {IDC_TAO_OUT_OFFSET_WORK, IDC_TAO_OUT_OFFSET_SPIN, IDC_TAO_OUT_OFFSET_DRIVE, 15407, GPD_AMPTOENGIOVOLTS_OUTPUT,
     "%0.4f", "Analog Output Signal offset"},
    {IDC_TAO_OUT_TEST_WORK, IDC_TAO_OUT_TEST_SPIN, IDC_TAO_OUT_TEST_DRIVE, kAnalogOutputTestLevel,
     GPD_AMPTOENGIOVOLTS_OUTPUT, "%0.4f", "Analog Output Signal Test"},
    {IDC_TAO_AUX_GAIN_WORK, IDC_TAO_AUX_GAIN_SPIN, IDC_TAO_AUX_GAIN_DRIVE, 15443, GPD_AMPDASCLTO_DAPRCNT_OUTPUT,
     "%0.2f", "Aux Analog Output Signal Gain"},
    {IDC_TAO_AUX_OFFSET_WORK, IDC_TAO_AUX_OFFSET_SPIN, IDC_TAO_AUX_OFFSET_DRIVE, 15439, GPD_AMPTOENGIOVOLTS_OUTPUT,
     "%0.4f", "Aux Analog Output Signal Offset"},
    {IDC_TAO_AUX_TEST_WORK, IDC_TAO_AUX_TEST_SPIN, IDC_TAO_AUX_TEST_DRIVE, kAuxOutputTestLevel,
     GPD_AMPTOENGIOVOLTS_OUTPUT, "%0.4f", "Aux Analog Output Signal Test"},
};
constexpr int kGainRows[] = {0, 3};
constexpr WORD kFlagWord = 13452;
constexpr WORD kFlagIndex = 13449;
constexpr WORD kFeedback = 3373;
constexpr WORD kParameter115 = 115;
constexpr WORD kStatusMs = 200;
constexpr BYTE kOneShot = 0x60;
constexpr int kSpinLow = -100;
constexpr int kSpinHigh = 100;
}  // namespace

CQvxGuiTavroAnalogOutputDlg::CQvxGuiTavroAnalogOutputDlg() : CGuiUpdateDlg(IDD) {}

BOOL CQvxGuiTavroAnalogOutputDlg::OnInitDialog()
{
    CGuiUpdateDlg::OnInitDialog();
    BindControls();
    for (CSpinButtonCtrl& spin : m_spins)
        spin.SetRange32(kSpinLow, kSpinHigh);
    UpdateEnables();
    return TRUE;
}

void CQvxGuiTavroAnalogOutputDlg::BindControls()
{
    m_outputCombo.SubclassDlgItem(IDC_TAO_OUT_SOURCE, this);
    m_auxCombo.SubclassDlgItem(IDC_TAO_AUX_SOURCE, this);
    for (int row = 0; row < kEditRows; ++row) {
        const EditRow& r = kRows[row];
        WorkingEdit(row).m_flags |= kCtrlTabOnEnter;
        CAnalogEditFields::BindRow(*this, WorkingEdit(row), m_edits[row * 2 + 1],
                                   {r.work, r.drive, r.reg, r.conversion, r.format, r.name});
        m_spins[row].SubclassDlgItem(r.spin, this);
        m_fields.Add(r.spin, &WorkingEdit(row), r.format, {0.1, 0, 0.0});
    }
}

int CQvxGuiTavroAnalogOutputDlg::PrepareQueries()
{
    const int drive = GetDrive();
    if (drive == -1)
        return 0;
    if (CGlobalParameterTable* table = m_pList ? m_pList->GetParameterTable() : nullptr) {
        // The edits were bound before the window had its drive: follow this drive's conversions.
        for (CQvxGuiEditCtrl& edit : m_edits) {
            table->RemoveParameterClient(&edit);
            edit.Initialise();
        }
        // 10, 7 and 19 decide the lists; the edits show their values through 16 and 17.
        for (int id : {GPD_ETF, GPD_CS_SF, GPD_VER, GPD_AMPDASCLTO_DAPRCNT_OUTPUT, GPD_AMPTOENGIOVOLTS_OUTPUT})
            table->RequestParameterQuery(drive, id);
    }
    return 1;
}

int CQvxGuiTavroAnalogOutputDlg::SubscribeStatusQueries()
{
    const int drive = GetDrive();
    if (drive == -1)
        return 0;
    const BYTE address = static_cast<BYTE>(drive);
    m_flags10.QueryWithArgument(address, kFlagWord, kFlagIndex, 10, kStatusMs);
    m_feedback.Query(address, kFeedback, kStatusMs, kOneShot);
    m_outputSource.Query(address, kAnalogOutputSource, kStatusMs, kOneShot);
    m_auxSource.Query(address, kAuxOutputSource, kStatusMs, kOneShot);
    m_parameter115.Query(address, kParameter115, kStatusMs, kOneShot);
    m_flags12.QueryWithArgument(address, kFlagWord, kFlagIndex, 12, kStatusMs);
    return CGuiUpdateDlg::SubscribeStatusQueries();
}

int CQvxGuiTavroAnalogOutputDlg::InitialUpdate()
{
    CGuiUpdateDlg::InitialUpdate();
    double inputScale = 0.0;
    if (!GetGlobalParameterValue(-1, GPD_AMPTOENGIOVOLTS_INPUT, inputScale) || !ConversionsReady())
        return 0;
    for (int row = 0; row < kEditRows; ++row) {
        const bool gain = row == kGainRows[0] || row == kGainRows[1];
        m_fields.SetStep(&WorkingEdit(row), {1.0, 1, gain ? 0.01 : 0.0001});
    }
    return FillCombos() ? 1 : 0;
}

bool CQvxGuiTavroAnalogOutputDlg::ConversionsReady()
{
    double value = 0.0;
    if (!GetGlobalParameterValue(-1, GPD_AMPDASCLTO_DAPRCNT_OUTPUT, value) ||
        !GetGlobalParameterValue(-1, GPD_AMPTOENGIOVOLTS_OUTPUT, value))
        return false;
    // A value that came before its conversion showed as unavailable: show it again.
    for (CQvxGuiEditCtrl& edit : m_edits)
        edit.UpdateDisplay();
    return true;
}

bool CQvxGuiTavroAnalogOutputDlg::IsAuxPresent()
{
    LONG flags = 0;
    WORD error = 0;
    const bool flagsRead = m_flags12.GetValue(flags, &error) && error == 0;
    double version = 0.0;
    const bool versionKnown = GetGlobalParameterValue(-1, GPD_VER, version);
    return CAnalogIoRules::TavroAuxPresent(flagsRead, flags, versionKnown, version);
}

bool CQvxGuiTavroAnalogOutputDlg::FillCombos()
{
    LONG flags10 = 0;
    double etf = 0.0;
    if (!m_flags12.HasResponse() || !GetGlobalParameterValue(-1, GPD_ETF, etf) || !m_flags10.GetValue(flags10) ||
        !m_feedback.HasResponse())
        return false;
    m_outputCombo.ResetContent();
    m_auxCombo.ResetContent();
    CStringArray entries;
    CAnalogSignalLists::ReadList(IoFactoryIniPath(), kSignalSection, entries);
    for (int i = 0; i < entries.GetSize(); ++i)
        m_outputCombo.AddString(entries[i]);
    if (IsAuxPresent())
        for (int i = 0; i < entries.GetSize(); ++i)
            m_auxCombo.AddString(entries[i]);
    SelectSource(0);
    SelectSource(1);
    UpdateEnables();
    return true;
}

void CQvxGuiTavroAnalogOutputDlg::SelectSource(int output)
{
    CAnalogEditFields::ShowSource(output == 0 ? m_outputCombo : m_auxCombo, output == 0 ? m_outputSource : m_auxSource);
}

void CQvxGuiTavroAnalogOutputDlg::ProcessResponses()
{
    CGuiUpdateDlg::ProcessResponses();
    bool changed = false;
    if (m_outputSource.HasChanged(1)) {
        SelectSource(0);
        changed = true;
    }
    if (m_auxSource.HasChanged(1)) {
        SelectSource(1);
        changed = true;
    }
    // Both flags are taken, so neither change is seen twice.
    const bool refill = m_parameter115.HasChanged(1) | m_flags12.HasChanged(1);
    if (refill && FillCombos())
        changed = true;
    if (changed)
        UpdateEnables();
}

void CQvxGuiTavroAnalogOutputDlg::OnSourceChosen(int output)
{
    const int drive = GetDrive();
    CComboBox& combo = output == 0 ? m_outputCombo : m_auxCombo;
    const int source = combo.GetCurSel();
    if (drive == -1 || source < 0)
        return;
    const WORD reg = output == 0 ? kAnalogOutputSource : kAuxOutputSource;
    SendCommand(static_cast<BYTE>(drive), reg, source);
    UpdateEnables();
}

void CQvxGuiTavroAnalogOutputDlg::EnableIds(std::initializer_list<int> ids, bool enable)
{
    CAnalogEditFields::EnableIds(*this, ids, enable);
}

void CQvxGuiTavroAnalogOutputDlg::UpdateEnables()
{
    const bool auxPresent = IsAuxPresent();
    const TavroAnalogEnables enables =
        CAnalogIoRules::TavroEnables(m_outputCombo.GetCurSel(), auxPresent, m_auxCombo.GetCurSel());
    EnableIds({IDC_TAO_OUT_TEST_LABEL, IDC_TAO_OUT_TEST_WORK, IDC_TAO_OUT_TEST_SPIN, IDC_TAO_OUT_TEST_DRIVE,
               IDC_TAO_OUT_TEST_UNIT},
              enables.outputTest);
    EnableIds({IDC_TAO_AUX_SOURCE_LABEL, IDC_TAO_AUX_SOURCE, IDC_TAO_AUX_GAIN_LABEL, IDC_TAO_AUX_GAIN_WORK,
               IDC_TAO_AUX_GAIN_SPIN, IDC_TAO_AUX_GAIN_DRIVE, IDC_TAO_AUX_GAIN_UNIT, IDC_TAO_AUX_OFFSET_LABEL,
               IDC_TAO_AUX_OFFSET_WORK, IDC_TAO_AUX_OFFSET_SPIN, IDC_TAO_AUX_OFFSET_DRIVE, IDC_TAO_AUX_OFFSET_UNIT},
              enables.aux);
    EnableIds({IDC_TAO_AUX_TEST_LABEL, IDC_TAO_AUX_TEST_WORK, IDC_TAO_AUX_TEST_SPIN, IDC_TAO_AUX_TEST_DRIVE,
               IDC_TAO_AUX_TEST_UNIT},
              enables.auxTest);
}

BOOL CQvxGuiTavroAnalogOutputDlg::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    if (m_fields.OnNotify(lParam, result))
        return TRUE;
    return CGuiUpdateDlg::OnNotify(wParam, lParam, result);
}
