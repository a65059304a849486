#include "setup/io/windows/QvxSetupAnalogIoDlg.h"

#include "distribution/parameters/GlobalParameterKinds.h"
#include "distribution/parameters/GlobalParameterTable.h"
#include "framework/GuiUpdateList.h"
#include "platform/core/MessageBox.h"
#include "platform/core/RuntimeClass.h"
#include "setup/io/AnalogIoRules.h"
#include "setup/io/AnalogSignalLists.h"
#include "setup/io/windows/IoWindowFiles.h"

IMPLEMENT_DYNCREATE(CQvxSetupAnalogIoDlg, CGuiUpdateDlg)
// The window factory finds the window by its class name.
static const CRuntimeClassRegistrar kRegistrar(RUNTIME_CLASS(CQvxSetupAnalogIoDlg));

BEGIN_MESSAGE_MAP(CQvxSetupAnalogIoDlg, CGuiUpdateDlg)
    ON_CBN_SELCHANGE(IDC_AIO_OUT_SOURCE, &CQvxSetupAnalogIoDlg::OnOutputSource)
    ON_CBN_SELCHANGE(IDC_AIO_AUX_OUT_SOURCE, &CQvxSetupAnalogIoDlg::OnAuxSource)
END_MESSAGE_MAP()

namespace {
struct FieldRow {
    int work, drive, spin;
    WORD reg;
    int conversion;
    const char* format;
    const char* name;
    unsigned workFlags;
};
constexpr unsigned kWorkFlags = 0x2328;
constexpr unsigned kDriveFlags = 0x324;
const FieldRow kRows[CQvxSetupAnalogIoDlg::kRowCount] = {
    {IDC_AIO_IN_GAIN_WORK, IDC_AIO_IN_GAIN_DRIVE, IDC_AIO_IN_GAIN_SPIN, 9267, GPD_PRIMARY_ANAIN_SCALE, "%0.2f",
     "Analog Input Signal Gain", 0x2320},
    {IDC_AIO_IN_OFFSET_WORK, IDC_AIO_IN_OFFSET_DRIVE, IDC_AIO_IN_OFFSET_SPIN, 9263, GPD_AMPTOENGIOVOLTS_INPUT,
     "%0.4f", "Analog Input Signal Offset", kWorkFlags},
    {IDC_AIO_DEAD_BAND_WORK, IDC_AIO_DEAD_BAND_DRIVE, IDC_AIO_DEAD_BAND_SPIN, 9252, GPD_AMPTOENGIOVOLTS_INPUT, "%0.4f",
     "Analog Input Dead Band", kWorkFlags},
    {IDC_AIO_AUX_IN_GAIN_WORK, IDC_AIO_AUX_IN_GAIN_DRIVE, IDC_AIO_AUX_IN_GAIN_SPIN, 1075, GPD_PRIMARY_ANAIN_SCALE,
     "%0.2f", "Aux Analog Input Signal Gain", kWorkFlags},
    {IDC_AIO_AUX_IN_OFFSET_WORK, IDC_AIO_AUX_IN_OFFSET_DRIVE, IDC_AIO_AUX_IN_OFFSET_SPIN, 1071,
     GPD_AMPTOENGIOVOLTS_INPUT, "%0.4f", "Aux Analog Input Signal Offset", kWorkFlags},
    {IDC_AIO_OUT_GAIN_WORK, IDC_AIO_OUT_GAIN_DRIVE, IDC_AIO_OUT_GAIN_SPIN, 15411, GPD_AMPDASCLTO_DAPRCNT_OUTPUT,
     "%0.2f", "Analog Output Signal Gain", kWorkFlags},
    {IDC_AIO_OUT_OFFSET_WORK, IDC_AIO_OUT_OFFSET_DRIVE, IDC_AIO_OUT_OFFSET_SPIN, 15407, GPD_AMPTOENGIOVOLTS_OUTPUT,
     "%0.4f", "Analog Output Signal offset", kWorkFlags},
    {IDC_AIO_OUT_TEST_WORK, IDC_AIO_OUT_TEST_DRIVE, IDC_AIO_OUT_TEST_SPIN, kAnalogOutputTestLevel,
     GPD_AMPTOENGIOVOLTS_OUTPUT, "%0.4f", "Analog Output Signal Test", 0x2308},
    {IDC_AIO_AUX_OUT_GAIN_WORK, IDC_AIO_AUX_OUT_GAIN_DRIVE, IDC_AIO_AUX_OUT_GAIN_SPIN, 15443,
     GPD_AMPDASCLTO_DAPRCNT_OUTPUT, "%0.2f", "Aux Analog Output Signal Gain", kWorkFlags},
    {IDC_AIO_AUX_OUT_OFFSET_WORK, IDC_AIO_AUX_OUT_OFFSET_DRIVE, IDC_AIO_AUX_OUT_OFFSET_SPIN, 15439,
     GPD_AMPTOENGIOVOLTS_OUTPUT, "%0.4f", "Aux Analog Output Signal Offset", kWorkFlags},
    {IDC_AIO_AUX_OUT_TEST_WORK, IDC_AIO_AUX_OUT_TEST_DRIVE, IDC_AIO_AUX_OUT_TEST_SPIN, kAuxOutputTestLevel,
     GPD_AMPTOENGIOVOLTS_OUTPUT, "%0.4f", "Aux Analog Output Signal Test", 0x2308},
};
constexpr WORD kSourceRegisters[2] = {kAnalogOutputSource, kAuxOutputSource};
constexpr WORD kModelData = 13452;
constexpr WORD kModelIndex = 13449;
constexpr WORD kPfm = 16589;
constexpr WORD kFeedback = 3373;
constexpr WORD kReadMs = 600;
constexpr WORD kStartMs = 200;
constexpr BYTE kOneShot = 0x60;
constexpr int kSpinLow = -100;
constexpr int kSpinHigh = 100;
constexpr double kTachDisplayScale = 0.01;
constexpr double kTachEntryFactor = 100.0;
const SpinStepSetting kUnitStepGain{1.0, 1, 0.01};
const SpinStepSetting kUnitStepVolts{1.0, 1, 0.0001};
}  // namespace

CQvxSetupAnalogIoDlg::CQvxSetupAnalogIoDlg() : CGuiUpdateDlg(IDD)
{
    m_statusFlags = kStatusMode;
}

BOOL CQvxSetupAnalogIoDlg::OnInitDialog()
{
    CGuiUpdateDlg::OnInitDialog();
    BindControls();
    for (CSpinButtonCtrl& spin : m_spins)
        spin.SetRange32(kSpinLow, kSpinHigh);
    if (CWnd* label = GetDlgItem(IDC_AIO_IN_GAIN_LABEL))
        label->SetFocus();
    return FALSE;
}

void CQvxSetupAnalogIoDlg::BindControls()
{
    m_outputCombo.SubclassDlgItem(IDC_AIO_OUT_SOURCE, this);
    m_auxCombo.SubclassDlgItem(IDC_AIO_AUX_OUT_SOURCE, this);
    for (int row = 0; row < kRowCount; ++row) {
        const FieldRow& r = kRows[row];
        WorkingEdit(row).m_flags = r.workFlags;
        DriveEdit(row).m_flags = kDriveFlags;
        CAnalogEditFields::BindRow(*this, WorkingEdit(row), DriveEdit(row),
                                   {r.work, r.drive, r.reg, r.conversion, r.format, r.name});
        m_spins[row].SubclassDlgItem(r.spin, this);
        // Until the first update knows the conversions, a fixed step.
        m_fields.Add(r.spin, &WorkingEdit(row), r.format, {row == kInputGain ? 0.01 : 0.1, 0, 0.0});
    }
}

int CQvxSetupAnalogIoDlg::PrepareQueries()
{
    const int drive = GetDrive();
    if (drive == -1)
        return 0;
    const BYTE address = static_cast<BYTE>(drive);
    m_pfm.Query(address, kPfm, kStartMs, kOneShot);
    m_auxSource.Query(address, kSourceRegisters[1], kStartMs, kOneShot);
    m_outputSource.Query(address, kSourceRegisters[0], kStartMs, kOneShot);
    m_model10.QueryWithArgument(address, kModelData, kModelIndex, 10, kStartMs);
    m_model13.QueryWithArgument(address, kModelData, kModelIndex, 13, kStartMs);
    m_feedback.Query(address, kFeedback, kStartMs, kOneShot);
    m_model14.QueryWithArgument(address, kModelData, kModelIndex, 14, kStartMs);
    m_written[0] = m_written[1] = -1;
    if (CGlobalParameterTable* table = m_pList ? m_pList->GetParameterTable() : nullptr) {
        // The edits were bound before the window had its drive: follow this drive's conversions.
        for (CQvxGuiEditCtrl& edit : m_edits) {
            table->RemoveParameterClient(&edit);
            edit.Initialise();
        }
        // 6, 10, 5 and 7 rule the window; the edits show their values through the rest.
        for (int id : {GPD_CS, GPD_ETF, GPD_MC, GPD_CS_SF, GPD_PRIMARY_ANAIN_SCALE, GPD_AMPTOENGIOVOLTS_INPUT,
                       GPD_AMPDASCLTO_DAPRCNT_OUTPUT, GPD_AMPTOENGIOVOLTS_OUTPUT})
            table->RequestParameterQuery(drive, id);
    }
    return 1;
}

int CQvxSetupAnalogIoDlg::InitialUpdate()
{
    CGuiUpdateDlg::InitialUpdate();
    int ch = 0, param7 = 0, param10 = 0;
    LONG inputScale = 0, feedback = 0;
    double value = 0.0;
    if (!GetGlobalParameterInt(GPD_CS, ch) || !GetGlobalParameterInt(GPD_CS_SF, param7) ||
        !GetGlobalParameterInt(GPD_ETF, param10) || !m_model10.GetValue(inputScale) || !m_feedback.GetValue(feedback))
        return 0;
    for (int id : {GPD_PRIMARY_ANAIN_SCALE, GPD_AMPTOENGIOVOLTS_INPUT, GPD_AMPDASCLTO_DAPRCNT_OUTPUT,
                   GPD_AMPTOENGIOVOLTS_OUTPUT})
        if (!GetGlobalParameterValue(-1, id, value))
            return 0;
    // A value that came before its conversion showed as unavailable: show it again.
    for (CQvxGuiEditCtrl& edit : m_edits)
        edit.UpdateDisplay();
    FillLists(ch, param7, param10);
    m_lastMode = m_lastParam5 = m_lastParam10 = 0;
    if (CAnalogIoRules::WarnsOfZeroInputScale(ch, inputScale))
        CGuiUpdateItem::MessageBox(kInputScaleZero, MB_OK | MB_ICONWARNING, 0, IDOK);
    return 1;
}

void CQvxSetupAnalogIoDlg::FillList(CComboBox& combo, const CString& section)
{
    if (section.IsEmpty())
        return;
    CStringArray entries;
    CAnalogSignalLists::ReadList(IoFactoryIniPath(), section, entries);
    for (int i = 0; i < entries.GetSize(); ++i)
        combo.AddString(entries[i]);
}

void CQvxSetupAnalogIoDlg::FillLists(int ch, int param7, int param10)
{
    m_outputCombo.ResetContent();
    m_auxCombo.ResetContent();
    const AnalogListSections sections = CAnalogSignalLists::SectionsFor(ch, param7);
    m_auxOutputDisabled = sections.disableAuxOutput;
    // Set both ways: the window may have shown another drive before.
    EnableIds({IDC_AIO_AUX_OUT_SOURCE}, !m_auxOutputDisabled);
    EnableRows({kAuxOutputGain, kAuxOutputOffset, kAuxOutputTest}, !m_auxOutputDisabled);
    FillList(m_outputCombo, sections.output);
    FillList(m_auxCombo, sections.aux);
    SetAuxLabels(ch, param10);
}

void CQvxSetupAnalogIoDlg::SetAuxLabels(int ch, int param10)
{
    const AuxInputLabels labels = CAnalogSignalLists::AuxLabels(ch, param10);
    SetDlgItemText(IDC_AIO_AUX_IN_GAIN_LABEL, labels.gain);
    SetDlgItemText(IDC_AIO_AUX_IN_GAIN_UNIT, labels.gainUnit);
    SetDlgItemText(IDC_AIO_AUX_IN_OFFSET_LABEL, labels.offset);
    SetDlgItemText(IDC_AIO_AUX_IN_OFFSET_UNIT, "volts");
}

bool CQvxSetupAnalogIoDlg::ReadingsReady()
{
    double value = 0.0;
    for (int id : {GPD_CS, GPD_ETF, GPD_AMPTOENGIOVOLTS_INPUT, GPD_CS_SF, GPD_MC})
        if (!GetGlobalParameterValue(-1, id, value))
            return false;
    LONG reading = 0;
    for (CDmQueryVar* var : {&m_outputSource, &m_auxSource, &m_model10, &m_model13, &m_pfm, &m_feedback})
        if (!var->GetValue(reading))
            return false;
    return true;
}

void CQvxSetupAnalogIoDlg::ProcessResponses()
{
    CGuiUpdateDlg::ProcessResponses();
    if (!AreStagesDone() || !ReadingsReady())
        return;
    int ch = 0, param5 = 0, param7 = 0, param10 = 0;
    GetGlobalParameterInt(GPD_CS, ch);
    GetGlobalParameterInt(GPD_MC, param5);
    GetGlobalParameterInt(GPD_CS_SF, param7);
    GetGlobalParameterInt(GPD_ETF, param10);
    // Every flag is taken, so no reading's change is seen twice.
    const bool outputRead = m_outputSource.HasChanged(1);
    const bool auxRead = m_auxSource.HasChanged(1);
    const bool modelRead = m_model14.HasChanged(1);
    // A new reading is the drive's word on the source, newer than any write of ours.
    if (outputRead)
        m_written[0] = -1;
    if (auxRead)
        m_written[1] = -1;
    const int mode = GetModeWord();
    if (mode == m_lastMode && param5 == m_lastParam5 && param10 == m_lastParam10 && !outputRead && !auxRead &&
        !modelRead)
        return;
    m_lastMode = mode;
    m_lastParam5 = param5;
    m_lastParam10 = param10;
    ApplyRules(ch, param7, param10);
}

void CQvxSetupAnalogIoDlg::ApplyRules(int ch, int param7, int param10)
{
    LONG feedback = 0;
    m_feedback.GetValue(feedback);
    const KrelnInputEnables inputs = CAnalogIoRules::KrelnInputs(ch, m_lastMode, param10, feedback);
    EnableRows({kInputGain, kInputOffset, kDeadBand}, inputs.primary);
    SetDlgItemText(IDC_AIO_IN_GAIN_UNIT, inputs.gainUnit);
    EnableRows({kAuxInputGain, kAuxInputOffset}, inputs.aux);
    SetAuxLabels(ch, param10);
    ApplyAuxBinding(param10);
    ApplySpinSteps();
    SelectSource(0);
    EnableRows({kOutputTest}, m_outputCombo.GetCurSel() == 0);
    if (ch == 13 || param7 == 1) {
        SelectSource(1);
        // An aux output greyed for this drive keeps its test row grey as well.
        EnableRows({kAuxOutputTest}, !m_auxOutputDisabled && m_auxCombo.GetCurSel() == 0);
    }
}

void CQvxSetupAnalogIoDlg::ApplyAuxBinding(int param10)
{
    const AuxGainBinding binding = CAnalogIoRules::AuxBinding(param10);
    if (binding.tach == m_auxTach)
        return;
    m_auxTach = binding.tach;
    CQvxGuiEditCtrl& work = WorkingEdit(kAuxInputGain);
    CQvxGuiEditCtrl& drive = DriveEdit(kAuxInputGain);
    work.SetWriteRegister(binding.reg);
    work.SetControlName(binding.gainName);
    WorkingEdit(kAuxInputOffset).SetControlName(binding.offsetName);
    if (binding.tach) {
        work.SetDisplayScale(kTachDisplayScale);
        work.SetValueScale(kTachEntryFactor);
        drive.SetDisplayScale(kTachDisplayScale);
    } else {
        work.m_flags = kWorkFlags;
        for (CQvxGuiEditCtrl* edit : {&work, &drive}) {
            edit->BindGlobalParameter(GPD_PRIMARY_ANAIN_SCALE, 0, 0);
            edit->BindValueParameter(GPD_PRIMARY_ANAIN_SCALE, 1, 0);
        }
    }
    // Blank until the other register answers: the old one's value means nothing in the new units.
    for (CQvxGuiEditCtrl* edit : {&work, &drive}) {
        edit->SetPollRegister(binding.reg, kReadMs, kOneShot);
        edit->ClearValue();
    }
}

void CQvxSetupAnalogIoDlg::ApplySpinSteps()
{
    m_fields.SetStep(&WorkingEdit(kInputGain), CAnalogIoRules::InputGainStep(m_lastMode));
    for (int row : {kAuxInputGain, kOutputGain, kAuxOutputGain})
        m_fields.SetStep(&WorkingEdit(row), kUnitStepGain);
    for (int row : {kInputOffset, kDeadBand, kAuxInputOffset, kOutputOffset, kOutputTest, kAuxOutputOffset,
                    kAuxOutputTest})
        m_fields.SetStep(&WorkingEdit(row), kUnitStepVolts);
}

void CQvxSetupAnalogIoDlg::SelectSource(int output)
{
    CAnalogEditFields::ShowSource(output == 0 ? m_outputCombo : m_auxCombo, output == 0 ? m_outputSource : m_auxSource);
}

void CQvxSetupAnalogIoDlg::OnSourceChosen(int output)
{
    CDmQueryVar& reading = output == 0 ? m_outputSource : m_auxSource;
    CComboBox& combo = output == 0 ? m_outputCombo : m_auxCombo;
    // What the drive holds as far as this window knows: its own last write, else the reading.
    LONG reference = m_written[output];
    const int drive = GetDrive();
    if (drive == -1 || (reference == -1 && !reading.GetValue(reference))) {
        CGuiUpdateItem::MessageBox(kNoValues, MB_OK, 0, IDOK);
        return;
    }
    const int source = combo.GetCurSel();
    if (source < 0 || source == reference)
        return;
    const BYTE address = static_cast<BYTE>(drive);
    SendCommand(address, kSourceRegisters[output], source);
    // The reading follows the write only when the drive has answered; until then the write is the reference.
    m_written[output] = source;
}

void CQvxSetupAnalogIoDlg::EnableRows(std::initializer_list<int> rows, bool enable)
{
    for (int row : rows)
        EnableIds({kRows[row].work, kRows[row].drive, kRows[row].spin}, enable);
}

void CQvxSetupAnalogIoDlg::EnableIds(std::initializer_list<int> ids, bool enable)
{
    CAnalogEditFields::EnableIds(*this, ids, enable);
}

BOOL CQvxSetupAnalogIoDlg::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    if (m_fields.OnNotify(lParam, result))
        return TRUE;
    return CGuiUpdateDlg::OnNotify(wParam, lParam, result);
}
