#include "setup/io/windows/QvxGuiStatusControlSignalDlg2.h"

#include "distribution/parameters/GlobalParameterTable.h"
#include "foundation/DPropertyList.h"
#include "framework/GuiUpdateList.h"
#include "platform/core/Archive.h"
#include "setup/io/ControlSignalRules.h"

IMPLEMENT_DYNCREATE(CQvxGuiStatusControlSignalDlg2, CGuiUpdateDlg)
// The window factory finds the window by its class name.
static const CRuntimeClassRegistrar kRegistrar(RUNTIME_CLASS(CQvxGuiStatusControlSignalDlg2));

BEGIN_MESSAGE_MAP(CQvxGuiStatusControlSignalDlg2, CGuiUpdateDlg)
    ON_BN_CLICKED(IDC_SIGNALS_AMPS, &CQvxGuiStatusControlSignalDlg2::OnUnitsClicked)
    ON_BN_CLICKED(IDC_SIGNALS_RAW, &CQvxGuiStatusControlSignalDlg2::OnUnitsClicked)
    ON_BN_CLICKED(IDC_SIGNALS_RPM, &CQvxGuiStatusControlSignalDlg2::OnUnitsClicked)
    ON_BN_CLICKED(IDC_SIGNALS_COUNTS, &CQvxGuiStatusControlSignalDlg2::OnUnitsClicked)
    ON_BN_CLICKED(IDC_SIGNALS_VELOCITY_ERR_BOX, &CQvxGuiStatusControlSignalDlg2::OnVelocityErrorBox)
END_MESSAGE_MAP()

namespace {
enum Group { kCurrent, kVelocity, kPosition };
struct Field {
    int edit;
    WORD reg;  // 0: computed
    int box;
    Group group;
};
const Field kFields[CQvxGuiStatusControlSignalDlg2::kFieldCount] = {
    {IDC_SIGNALS_CURRENT_CMD, 19747, IDC_SIGNALS_CURRENT_CMD_BOX, kCurrent},
    {IDC_SIGNALS_CURRENT_MEAS, 19745, IDC_SIGNALS_CURRENT_MEAS_BOX, kCurrent},
    {IDC_SIGNALS_CURRENT_LIMIT, 9601, IDC_SIGNALS_CURRENT_LIMIT_BOX, kCurrent},
    {IDC_SIGNALS_R_CMD, 20114, IDC_SIGNALS_R_CMD_BOX, kCurrent},
    {IDC_SIGNALS_S_CMD, 20115, IDC_SIGNALS_S_CMD_BOX, kCurrent},
    {IDC_SIGNALS_T_CMD, 20116, IDC_SIGNALS_T_CMD_BOX, kCurrent},
    {IDC_SIGNALS_VELOCITY_CMD, 20163, IDC_SIGNALS_VELOCITY_CMD_BOX, kVelocity},
    {IDC_SIGNALS_VELOCITY_MEAS, 20179, IDC_SIGNALS_VELOCITY_MEAS_BOX, kVelocity},
    {IDC_SIGNALS_VELOCITY_ERR, 0, IDC_SIGNALS_VELOCITY_ERR_BOX, kVelocity},
    {IDC_SIGNALS_POSITION_CMD, 16995, IDC_SIGNALS_POSITION_CMD_BOX, kPosition},
    {IDC_SIGNALS_POSITION_MEAS, 16998, IDC_SIGNALS_POSITION_MEAS_BOX, kPosition},
    {IDC_SIGNALS_POSITION_ERR, 19973, IDC_SIGNALS_POSITION_ERR_BOX, kPosition},
};
constexpr int kVelocityErrorField = 8;
constexpr WORD kPeriodMs = 500;
}  // namespace

CQvxGuiStatusControlSignalDlg2::CQvxGuiStatusControlSignalDlg2() : CGuiUpdateDlg(IDD)
{
    m_statusFlags = kStatusMode;
}

BOOL CQvxGuiStatusControlSignalDlg2::OnInitDialog()
{
    CGuiUpdateDlg::OnInitDialog();
    CheckRadioButton(IDC_SIGNALS_AMPS, IDC_SIGNALS_RAW, IDC_SIGNALS_AMPS);
    CheckRadioButton(IDC_SIGNALS_RPM, IDC_SIGNALS_COUNTS, IDC_SIGNALS_RPM);
    SetCheckMap((1 << kFieldCount) - 1);
    return TRUE;
}

int CQvxGuiStatusControlSignalDlg2::SubscribeStatusQueries()
{
    const int drive = GetDrive();
    if (drive == -1)
        return 0;
    for (const Field& field : kFields)
        if (field.reg)
            SendQuery(static_cast<BYTE>(drive), field.reg, kPeriodMs, 0);
    if (CGuiUpdateList* list = GetUpdateList())
        if (CGlobalParameterTable* table = list->GetParameterTable())
            for (int id : {0, 5, 6})
                table->RequestParameterQuery(drive, id);
    m_errorQueries = 0;
    UpdateErrorQueries();
    return CGuiUpdateDlg::SubscribeStatusQueries();
}

void CQvxGuiStatusControlSignalDlg2::UpdateErrorQueries()
{
    const int wanted = IsDlgButtonChecked(IDC_SIGNALS_VELOCITY_ERR_BOX) && GetDrive() != -1;
    if (wanted == m_errorQueries)
        return;
    m_velocityCommanded.Cancel();
    m_velocityMeasured.Cancel();
    if (wanted) {
        const BYTE address = static_cast<BYTE>(GetDrive());
        m_velocityCommanded.Query(address, 20163, kPeriodMs, kQryNotify);
        m_velocityMeasured.Query(address, 20179, kPeriodMs, kQryNotify);
    }
    m_errorQueries = wanted;
}

void CQvxGuiStatusControlSignalDlg2::OnVelocityErrorBox() { UpdateErrorQueries(); }

double CQvxGuiStatusControlSignalDlg2::ScaleOf(int field)
{
    const Group group = kFields[field].group;
    double scale = 1.0;
    if (group == kCurrent && IsDlgButtonChecked(IDC_SIGNALS_AMPS))
        GetGlobalParameterValue(-1, 9, scale);
    else if (group == kVelocity && IsDlgButtonChecked(IDC_SIGNALS_RPM))
        GetGlobalParameterValue(-1, 0, scale);
    return scale;
}

const char* CQvxGuiStatusControlSignalDlg2::FormatOf(int field) const
{
    const Group group = kFields[field].group;
    if ((group == kCurrent && IsDlgButtonChecked(IDC_SIGNALS_AMPS)) ||
        (group == kVelocity && IsDlgButtonChecked(IDC_SIGNALS_RPM)))
        return "%2.2f";
    return "%0.0f";
}

void CQvxGuiStatusControlSignalDlg2::ShowField(int field)
{
    if (!m_have[field])
        return;
    CString text;
    text.Format(FormatOf(field), m_raw[field] * ScaleOf(field));
    CString shown;
    GetDlgItemText(kFields[field].edit, shown);
    if (shown != text)
        SetDlgItemText(kFields[field].edit, text);
}

void CQvxGuiStatusControlSignalDlg2::ShowVelocityError()
{
    LONG commanded = 0;
    LONG measured = 0;
    if (!m_errorQueries || !m_velocityCommanded.GetValue(commanded) || !m_velocityMeasured.GetValue(measured))
        return;
    m_raw[kVelocityErrorField] = commanded - measured;
    m_have[kVelocityErrorField] = true;
    ShowField(kVelocityErrorField);
}

void CQvxGuiStatusControlSignalDlg2::OnUnitsClicked()
{
    for (int field = 0; field < kFieldCount; ++field)
        ShowField(field);
}

void CQvxGuiStatusControlSignalDlg2::OnStatusResponse(const CAmpResponseToGui& response)
{
    if (!response.m_write && !response.m_error)
        for (int field = 0; field < kFieldCount; ++field)
            if (kFields[field].reg && kFields[field].reg == response.m_code) {
                m_raw[field] = response.GetValue();
                m_have[field] = true;
                ShowField(field);
            }
    CGuiUpdateDlg::OnStatusResponse(response);
}

void CQvxGuiStatusControlSignalDlg2::ProcessResponses()
{
    CGuiUpdateDlg::ProcessResponses();
    ShowVelocityError();
    ApplyRules();
}

void CQvxGuiStatusControlSignalDlg2::SetBox(int id, int state)
{
    CWnd* box = GetDlgItem(id);
    if (state == kBoxBlanked) {
        CString caption;
        box->GetWindowText(caption);
        if (caption != " ")
            box->SetWindowText(" ");
    }
    box->EnableWindow(state == kBoxEnabled);
}

void CQvxGuiStatusControlSignalDlg2::ApplyRules()
{
    double velocityGain = 0;
    double linear = 0;
    double cs = 0;
    if (!GetGlobalParameterValue(-1, 0, velocityGain) || !GetGlobalParameterValue(-1, 5, linear) ||
        !GetGlobalParameterValue(-1, 6, cs))
        return;
    const ControlSignalBoxes boxes = CControlSignalRules::Apply(GetModeWord(), static_cast<int>(cs), static_cast<int>(linear));
    SetBox(IDC_SIGNALS_POSITION_CMD_BOX, boxes.positionCommanded);
    SetBox(IDC_SIGNALS_POSITION_ERR_BOX, boxes.positionError);
    SetBox(IDC_SIGNALS_VELOCITY_CMD_BOX, boxes.velocityCommanded);
    SetBox(IDC_SIGNALS_VELOCITY_ERR_BOX, boxes.velocityError);
    SetBox(IDC_SIGNALS_VELOCITY_MEAS_BOX, boxes.velocityMeasured);
    SetBox(IDC_SIGNALS_CURRENT_CMD_BOX, boxes.currentCommanded);
    SetBox(IDC_SIGNALS_POSITION_MEAS_BOX, boxes.positionMeasured);
    CString rpm;
    GetDlgItemText(IDC_SIGNALS_RPM, rpm);
    if (rpm != boxes.rpmCaption)
        SetDlgItemText(IDC_SIGNALS_RPM, boxes.rpmCaption);
    GetDlgItem(IDC_SIGNALS_RPM)->EnableWindow(boxes.rpmEnabled);
}

int CQvxGuiStatusControlSignalDlg2::GetCheckMap() const
{
    int map = 0;
    for (int field = 0; field < kFieldCount; ++field)
        if (IsDlgButtonChecked(kFields[field].box))
            map |= 1 << field;
    return map;
}

void CQvxGuiStatusControlSignalDlg2::SetCheckMap(int map)
{
    for (int field = 0; field < kFieldCount; ++field)
        CheckDlgButton(kFields[field].box, (map >> field) & 1 ? BST_CHECKED : BST_UNCHECKED);
    UpdateErrorQueries();
}

void CQvxGuiStatusControlSignalDlg2::SerializeLayout(CArchive& ar, int version)
{
    if (ar.IsStoring())
        GetProperties().SetInt("nCheckMap", GetCheckMap());
    CGuiUpdateDlg::SerializeLayout(ar, version);
    if (ar.IsLoading()) {
        int map = 0;
        GetProperties().GetInt("nCheckMap", map);
        SetCheckMap(map);
    }
}
