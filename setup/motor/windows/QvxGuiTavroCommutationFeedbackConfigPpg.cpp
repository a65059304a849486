#include "setup/motor/windows/QvxGuiTavroCommutationFeedbackConfigPpg.h"

#include <algorithm>
#include <cmath>

#include "database/QvxDatabaseRecordset.h"
#include "database/windows/SelectAbsEncFromDbDlg.h"
#include "distribution/parameters/GlobalParameterKinds.h"
#include "distribution/parameters/GlobalParameterTable.h"
#include "framework/GuiUpdateList.h"
#include "foundation/TextHelpers.h"
#include "framework/GuiAppServices.h"
#include "framework/GuiFrameServices.h"
#include "framework/GuiUpdateDlgIdMap.h"
#include "platform/ui/MsgBox.h"
#include "setup/motor/CommutationConfigLayout.h"
#include "setup/motor/windows/CommutationPageTools.h"
#include "setup/motor/FeedbackConfigLayout.h"
#include "setup/motor/windows/QvxGuiTavroCommutationSheet.h"

IMPLEMENT_DYNAMIC(CQvxGuiTavroCommutationFeedbackConfigPpg, CGuiUpdatePpg)

BEGIN_MESSAGE_MAP(CQvxGuiTavroCommutationFeedbackConfigPpg, CGuiUpdatePpg)
    ON_BN_CLICKED(IDC_CFBK_ADDITIONAL, &CQvxGuiTavroCommutationFeedbackConfigPpg::OnAdditional)
    ON_BN_CLICKED(IDC_CFBK_CALIBRATION, &CQvxGuiTavroCommutationFeedbackConfigPpg::OnCalibration)
    ON_BN_CLICKED(IDC_CFBK_POPULATE, &CQvxGuiTavroCommutationFeedbackConfigPpg::OnPopulate)
    ON_CBN_SELCHANGE(IDC_CFBK_DIVISOR, &CQvxGuiTavroCommutationFeedbackConfigPpg::OnOutputChoice)
    ON_CBN_SELCHANGE(IDC_CFBK_EZ_MODE, &CQvxGuiTavroCommutationFeedbackConfigPpg::OnOutputChoice)
    ON_CBN_SELCHANGE(IDC_CFBK_PROTOCOL, &CQvxGuiTavroCommutationFeedbackConfigPpg::OnProtocolChanged)
    ON_CBN_SELCHANGE(IDC_CFBK_LINE_COUNTS, &CQvxGuiTavroCommutationFeedbackConfigPpg::OnLineCountChanged)
    ON_NOTIFY(UDN_DELTAPOS, IDC_CFBK_TACH_SCALE_SPIN, &CQvxGuiTavroCommutationFeedbackConfigPpg::OnTachScaleSpin)
    ON_NOTIFY(UDN_DELTAPOS, IDC_CFBK_TACH_GAIN_SPIN, &CQvxGuiTavroCommutationFeedbackConfigPpg::OnTachGainSpin)
    ON_NOTIFY(UDN_DELTAPOS, IDC_CFBK_TACH_OFFSET_SPIN, &CQvxGuiTavroCommutationFeedbackConfigPpg::OnTachOffsetSpin)
    ON_NOTIFY(UDN_DELTAPOS, IDC_CFBK_POSITION_SHIFT_SPIN, &CQvxGuiTavroCommutationFeedbackConfigPpg::OnPositionShiftSpin)
    ON_NOTIFY(UDN_DELTAPOS, IDC_CFBK_VELOCITY_SHIFT_SPIN, &CQvxGuiTavroCommutationFeedbackConfigPpg::OnVelocityShiftSpin)
END_MESSAGE_MAP()

namespace {
constexpr auto QueryValue = &CCommutationPageTools::QueryValue;
constexpr auto RangeText = &CCommutationPageTools::RangeText;
constexpr WORD kPollMs = 600;
constexpr BYTE kOnceFlags = 0x60;
constexpr WORD kMcCode = 419;
constexpr WORD kLinesCode = 210;
constexpr WORD kItcCode = 9859;
constexpr WORD kFaultCode = 4229;
constexpr WORD kEncoderReverseCode = 6322;
constexpr WORD kHardwareCode = 13452;
constexpr WORD kHardwareIndexCode = 13449;
constexpr WORD kHardwareIndex = 14;
// The calibration rows: 1446 (AMF) indexed by 1449 (AMI).
constexpr WORD kCalibrationCode = 1446;
constexpr WORD kCalibrationIndexCode = 1449;
constexpr DWORD kFaultBit = 2048;
constexpr int kNoSend = 99;
constexpr UINT kOutputChangedMessage = WM_USER + 104;
const char kCalibrationProperty[] = "bOpenAnaCalibrationDlg";
struct SpinStep {
    int edit;
    double low;
    double high;
    double step;
    const char* format;
};

const char kDividerNotice[] = "This drive does not have Encoder Output Divider.\r\nAvailable upon request.";

enum Hook {
    kLinesShow = 1, kLinesDriveShow = 2, kLinesEntry = 3, kAlignSend = 4, kCdsSend = 5, kSimBitsEntry = 6,
    kShiftsSend = 7, kAlignShow = 8, kCdsShow = 9, kPositionShow = 10, kVelocityShow = 11,
};
}  // namespace

CQvxGuiTavroCommutationFeedbackConfigPpg::CQvxGuiTavroCommutationFeedbackConfigPpg(CQvxGuiTavroCommutationSheet* sheet)
    : CGuiUpdatePpg(IDD),
      m_sheetOwner(sheet),
      m_calibration(*this, *this, "TAVRO_ANAMOTORCALIB", IDC_CFBK_CALIBRATION, kCalibrationProperty)
{
}

CQvxGuiTavroCommutationFeedbackConfigPpg::~CQvxGuiTavroCommutationFeedbackConfigPpg()
{
    m_calibration.Close();
    for (CDmQueryVar* query : {&m_mc, &m_lines, &m_outputWord, &m_hardware, &m_itc, &m_absBits, &m_absProtocol,
                               &m_absShifts})
        query->Cancel();
}

// ---------------------------------------------------------------------------
CQvxGuiEditCtrl& CQvxGuiTavroCommutationFeedbackConfigPpg::BindEdit(EditIndex index, int id, const char* name,
                                                                    unsigned flags, const char* format)
{
    CQvxGuiEditCtrl& edit = m_edits[index];
    edit.SubclassDlgItem(id, this);
    m_controls.AddControl(&edit, -1);
    edit.m_flags = flags;
    edit.SetControlName(name);
    edit.SetDisplayFormat(format, 0);
    CCommutationPageTools::SetColours(edit);
    return edit;
}

void CQvxGuiTavroCommutationFeedbackConfigPpg::BindFaultGroup(CQvxGuiCheckboxCtrlGroup& group, CQvxGuiCheckboxCtrl& work,
                                                              int workId, CQvxGuiCheckboxCtrl& drive, int driveId)
{
    group.SetPollRegister(kFaultCode, kPollMs, kOnceFlags);
    group.SetWriteRegister(kFaultCode);
    group.m_keepUnrelatedBits = 1;
    group.SetControlName("Encoder Fault");
    m_controls.AddControl(&group, -1);
    work.SubclassDlgItem(workId, this);
    work.m_bitMask = kFaultBit;
    m_controls.AddControl(&work, -1);
    group.AddCheckbox(&work);
    drive.SubclassDlgItem(driveId, this);
    drive.m_bitMask = kFaultBit;
    drive.SetPollRegister(kFaultCode, kPollMs, kOnceFlags);
    m_controls.AddControl(&drive, -1);
}

void CQvxGuiTavroCommutationFeedbackConfigPpg::BindControls()
{
    BindEdit(kLinesWork, IDC_CFBK_LINES_WORK, "Lines per Revolution", 0x2308, "%0.0f");
    // A write register lets the entry be taken; the page's hook sends it.
    m_edits[kLinesWork].SetWriteRegister(kLinesCode);
    m_edits[kLinesWork].SetCustomPollId(kLinesShow);
    m_edits[kLinesWork].m_customConversionId = kLinesEntry;
    m_edits[kLinesWork].m_customSendId = 1;
    BindEdit(kLinesDrive, IDC_CFBK_LINES_DRIVE, "", 0x104, "%0.0f").SetCustomPollId(kLinesDriveShow);

    // Named after its row: range messages name the field the user sees.
    BindEdit(kInterpolationWork, IDC_CFBK_INTERPOLATION_WORK, "Interpolation Coefficient", 0x2308, "%0.0f");
    BindEdit(kInterpolationDrive, IDC_CFBK_INTERPOLATION_DRIVE, "", 0x104, "%0.0f");
    BindEdit(kSimBitsWork, IDC_CFBK_SIMBITS_WORK, "Simulated Encoder Bits", 0x2308, "%0.0f");
    BindEdit(kSimBitsDrive, IDC_CFBK_SIMBITS_DRIVE, "", 0x104, "%0.0f");
    for (EditIndex index : {kInterpolationWork, kInterpolationDrive, kSimBitsWork, kSimBitsDrive})
        m_edits[index].SetPollRegister(kItcCode, kPollMs, kOnceFlags);
    m_edits[kInterpolationWork].SetWriteRegister(kItcCode);
    m_edits[kInterpolationWork].SetLimits(2, 16);
    m_edits[kSimBitsWork].SetWriteRegister(kItcCode);
    m_edits[kSimBitsWork].SetLimits(11, 14);
    m_edits[kSimBitsWork].m_customConversionId = kSimBitsEntry;

    const struct {
        EditIndex work;
        int workId;
        int driveId;
        WORD code;
        const char* name;
        double scale;
        const char* format;
        unsigned driveFlags;
    } tach[] = {{kTachScaleWork, IDC_CFBK_TACH_SCALE_WORK, IDC_CFBK_TACH_SCALE_DRIVE, 21091, "Tach Scale", 0.01, "%0.2f", 0x2328},
                {kTachGainWork, IDC_CFBK_TACH_GAIN_WORK, IDC_CFBK_TACH_GAIN_DRIVE, 1075, "Tach Gain", 1 / 327.67, "%0.2f", 0x104},
                {kTachOffsetWork, IDC_CFBK_TACH_OFFSET_WORK, IDC_CFBK_TACH_OFFSET_DRIVE, 1071, "Tach Offset", 0, "%0.1f", 0x324}};
    for (const auto& row : tach) {
        const EditIndex drive = static_cast<EditIndex>(row.work + 1);
        BindEdit(row.work, row.workId, row.name, 0x2328, row.format);
        BindEdit(drive, row.driveId, "", row.driveFlags, row.format);
        for (EditIndex index : {row.work, drive}) {
            m_edits[index].SetPollRegister(row.code, kPollMs, kOnceFlags);
            if (row.scale != 0) {
                m_edits[index].SetDisplayScale(row.scale);
                m_edits[index].SetValueScale(1.0 / row.scale);
            } else {
                m_edits[index].BindGlobalParameter(GPD_AMPTOENGIOMILIVOLTS_INPUT, 0, 0);
                m_edits[index].BindValueParameter(GPD_AMPTOENGIOMILIVOLTS_INPUT, 1, 0);
            }
        }
        m_edits[row.work].SetWriteRegister(row.code);
    }
    m_edits[kTachGainWork].SetLimits(0, 100);
    m_edits[kTachGainWork].m_limitsInUserUnits = 1;

    const struct {
        EditIndex work;
        int workId;
        int driveId;
        int index;
        const char* name;
    } abs[] = {{kSingleWork, IDC_CFBK_SINGLE_WORK, IDC_CFBK_SINGLE_DRIVE, 0, "Single Turn Resolution"},
               {kMultiWork, IDC_CFBK_MULTI_WORK, IDC_CFBK_MULTI_DRIVE, 1, "Multi Turn Resolution"},
               {kClockWork, IDC_CFBK_CLOCK_WORK, IDC_CFBK_CLOCK_DRIVE, 2, "Clock Commmunication Frequency"}};
    for (const auto& row : abs) {
        const EditIndex drive = static_cast<EditIndex>(row.work + 1);
        const char* format = row.index == 2 ? "%0.3f" : "%0.0f";
        BindEdit(row.work, row.workId, row.name, 0x2308, format);
        BindEdit(drive, row.driveId, "", 0x104, format);
        for (EditIndex index : {row.work, drive}) {
            m_edits[index].SetPollRegisterAt(kAbsEncCode, kAbsEncIndexCode, row.index, kPollMs, kOnceFlags);
            if (row.index == 2) {
                m_edits[index].SetDisplayScale(0.001);
                m_edits[index].SetValueScale(1000);
            }
        }
        m_edits[row.work].SetWriteRegisterAt(kAbsEncCode, kAbsEncIndexCode, row.index);
        m_edits[row.work].SetLimits(0, 65535);
    }
    const struct {
        EditIndex work;
        int workId;
        int driveId;
        const char* name;
        unsigned flags;
        int show;
        int send;
        double high;
    } bits[] = {{kAlignWork, IDC_CFBK_ALIGN_WORK, IDC_CFBK_ALIGN_DRIVE, "Align Bits", 0x2308, kAlignShow, kAlignSend, 15},
                {kCdsWork, IDC_CFBK_CDS_WORK, IDC_CFBK_CDS_DRIVE, "CDS Bits", 0x2328, kCdsShow, kCdsSend, 15},
                {kPositionShiftWork, IDC_CFBK_POSITION_SHIFT_WORK, IDC_CFBK_POSITION_SHIFT_DRIVE,
                 "Absolute Encoder Position Shift", 0x2328, kPositionShow, 6, 31},
                {kVelocityShiftWork, IDC_CFBK_VELOCITY_SHIFT_WORK, IDC_CFBK_VELOCITY_SHIFT_DRIVE,
                 "Absolute Encoder Velocity Shift", 0x2328, kVelocityShow, kShiftsSend, 31}};
    for (const auto& row : bits) {
        const EditIndex drive = static_cast<EditIndex>(row.work + 1);
        CQvxGuiEditCtrl& work = BindEdit(row.work, row.workId, row.name, row.flags, "%0.0f");
        work.SetWriteRegisterAt(kAbsEncCode, kAbsEncIndexCode, row.work == kAlignWork || row.work == kCdsWork ? 4 : 5);
        work.SetCustomPollId(row.show);
        work.m_customSendId = row.send;
        work.SetLimits(0, row.high);
        BindEdit(drive, row.driveId, "", 0x104, "%0.0f").SetCustomPollId(row.show);
    }
    const std::pair<EditIndex, int> calibration[] = {{kSineOffset, IDC_CFBK_SINE_OFFSET},
                                                     {kSineScale, IDC_CFBK_SINE_SCALE},
                                                     {kCosineOffset, IDC_CFBK_COSINE_OFFSET},
                                                     {kCosineScale, IDC_CFBK_COSINE_SCALE}};
    for (int i = 0; i < 4; ++i)
        BindEdit(calibration[i].first, calibration[i].second, "", 0x104, "%0.0f")
            .SetPollRegisterAt(kCalibrationCode, kCalibrationIndexCode, i, 200, 0);

    BindFaultGroup(m_faultGroup, m_faultWork, IDC_CFBK_FAULT_WORK, m_faultDrive, IDC_CFBK_FAULT_DRIVE);
    BindFaultGroup(m_absFaultGroup, m_absFaultWork, IDC_CFBK_ABS_FAULT_WORK, m_absFaultDrive, IDC_CFBK_ABS_FAULT_DRIVE);
    BindFaultGroup(m_resolverFaultGroup, m_resolverFaultWork, IDC_CFBK_RESOLVER_FAULT_WORK, m_resolverFaultDrive,
                   IDC_CFBK_RESOLVER_FAULT_DRIVE);
    for (CQvxGuiCheckboxCtrl* box : {&m_encoderReverse, &m_absEncoderReverse}) {
        box->SubclassDlgItem(box == &m_encoderReverse ? IDC_CFBK_ENCODER_REVERSE : IDC_CFBK_ABS_ENCODER_REVERSE, this);
        box->m_bitMask = 1;
        box->SetPollRegister(kEncoderReverseCode, kPollMs, kOnceFlags);
        box->SetWriteRegister(kEncoderReverseCode);
        box->SetControlName("Encoder Reverse");
        m_controls.AddControl(box, -1);
    }
    // Never shown: it must not write back what the shown box changes.
    m_absEncoderReverse.m_customSendId = kNoSend;
}

void CQvxGuiTavroCommutationFeedbackConfigPpg::BuildGroups()
{
    m_left.SetDialog(this);
    m_right.SetDialog(this);
    const auto add = [](CDlgControlGroupList& list, int group, std::initializer_list<int> ids) {
        for (int id : ids)
            list.AddValue(group, id);
    };
    add(m_left, 8, {2555, 1434, 2556, 2487, 2490, 2493, 2495, 2214, 2496, 2502, 2483, 2506, 2557, 2558, 2559, 2560,
                    2473, 2474, 2002, 2497, 2215, 2499, 2498, 2596});
    add(m_left, 9, {2561, 1435, 2576, 2505, 2507, 2508, 2509, 2510, 2511, 2512, 2766, 2513, 2514, 2515, 2516, 2517,
                    2518, 2519, 2578, 2523, 2524, 2793});
    add(m_left, 18, {2572, 2573, 2574, 2575, 2731, 2732});
    add(m_right, 20, {2577, 2530, 2528, 2529, 2527, 2533, 2532, 2579, 2531, 2525, 2526});
    add(m_right, 10, {2562, 2563, 2564, 2488, 2491, 2494});
    add(m_right, 11, {2565, 2570, 2571, 2500, 2501, 2492, 2503, 2504, 2730});
    add(m_right, 12, {2566, 2475, 2476, 2477, 2478, 2479, 2480, 2481, 2482, 2484, 2485, 2486, 2489, 2567, 2569});
    add(m_right, 15, {2568, 2611, 2612, 2613, 2614, 2615, 2616, 2617, 2606});
    if (AppModelDisplayFlags() & 1)
        add(m_right, 15, {2597});
}

BOOL CQvxGuiTavroCommutationFeedbackConfigPpg::OnInitDialog()
{
    CGuiUpdatePpg::OnInitDialog();
    m_divisorCombo.SubclassDlgItem(IDC_CFBK_DIVISOR, this);
    m_ezCombo.SubclassDlgItem(IDC_CFBK_EZ_MODE, this);
    m_protocolCombo.SubclassDlgItem(IDC_CFBK_PROTOCOL, this);
    m_lineCountCombo.SubclassDlgItem(IDC_CFBK_LINE_COUNTS, this);
    BindControls();
    BuildGroups();
    for (int mode = 0; mode <= 4; ++mode)
        m_ezCombo.SetItemData(m_ezCombo.AddString(CFeedbackConfigLayout::EzModeName(mode)), mode);
    for (int bits = 11; bits <= 14; ++bits) {
        CString text;
        text.Format("%d", *CFeedbackConfigLayout::LineCountForBits(bits));
        m_lineCountCombo.SetItemData(m_lineCountCombo.AddString(text), bits);
    }
    for (int protocol = 0; protocol <= 2; ++protocol)
        m_protocolCombo.SetItemData(m_protocolCombo.AddString(CFeedbackConfigLayout::ProtocolName(protocol)), protocol);
    if (CWnd* calibrate = GetDlgItem(IDC_CFBK_CALIBRATION))
        calibrate->ShowWindow((AppModelDisplayFlags() & 1) ? SW_SHOW : SW_HIDE);
    RefillDivisorChoices(0);
    return TRUE;
}

// ---------------------------------------------------------------------------
int CQvxGuiTavroCommutationFeedbackConfigPpg::PrepareQueries()
{
    return CCommutationPageTools::PrepareQueries(*this, m_edits, {GPD_VER, GPD_AMPTOENGIOMILIVOLTS_INPUT});
}

int CQvxGuiTavroCommutationFeedbackConfigPpg::SubscribeStatusQueries()
{
    const int drive = GetDrive();
    if (drive == -1)
        return 0;
    const BYTE address = static_cast<BYTE>(drive);
    m_mc.Query(address, kMcCode, 0, kOnceFlags);
    m_lines.Query(address, kLinesCode, 0, kOnceFlags);
    m_outputWord.Query(address, kOutputWordCode, 0, kOnceFlags);
    m_hardware.QueryWithArgument(address, kHardwareCode, kHardwareIndexCode, kHardwareIndex, 0);
    m_itc.Query(address, kItcCode, 0, kOnceFlags);
    const int result = CGuiUpdatePpg::SubscribeStatusQueries();
    EnableAbsoluteEncoderFields(0);
    return result;
}

int CQvxGuiTavroCommutationFeedbackConfigPpg::InitialUpdate()
{
    double version = 0;
    if (!GetGlobalParameterValue(-1, GPD_VER, version))
        return 0;
    const std::optional<int> mc = QueryValue(m_mc);
    const std::optional<int> hardware = QueryValue(m_hardware);
    if (!mc || !m_lines.HasResponse() || !hardware)
        return 0;
    const int result = CGuiUpdatePpg::InitialUpdate();
    if (!(*hardware & 0x200) && !m_dividerNoticeShown) {
        m_dividerNoticeShown = 1;
        // A script or test answers the box itself; the warning window would wait for a user.
        if (AfxIsScriptedMode())
            CGuiUpdateItem::MessageBox(kDividerNotice, MB_OK, 0, IDOK);
        else
            AppShowWarningMessage("NO_ENCODER_DIVIDER", FALSE, kDividerNotice, IDOK);
    }
    if (*hardware & 0x8000)
        EnableAbsoluteEncoderFields(1);
    if (const std::optional<double> lines = DriveLines())
        RefillDivisorChoices(static_cast<long long>(*mc == 1 ? *lines * 100 : *lines));
    SetLinesLabels(0, *mc, 1);
    return result;
}

// 210 as the drive holds it: unsigned, in µm for a linear motor.
std::optional<double> CQvxGuiTavroCommutationFeedbackConfigPpg::DriveLines()
{
    LONG raw = 0;
    const std::optional<int> mc = QueryValue(m_mc);
    if (!m_lines.GetValue(raw) || !mc)
        return std::nullopt;
    const double lines = static_cast<double>(static_cast<DWORD>(raw));
    return *mc == 1 ? lines / 100.0 : lines;
}

// An offset read before its conversion was known is shown again once it is.
void CQvxGuiTavroCommutationFeedbackConfigPpg::RefreshOnNewGain()
{
    CCommutationPageTools::RefreshOnNewGain(*this, GPD_AMPTOENGIOMILIVOLTS_INPUT, m_offsetGain,
                                            {&m_edits[kTachOffsetWork], &m_edits[kTachOffsetDrive]}, "%0.1f");
}

void CQvxGuiTavroCommutationFeedbackConfigPpg::ProcessResponses()
{
    CGuiUpdatePpg::ProcessResponses();
    RefreshOnNewGain();
    if (m_mc.HasChanged(1))
        if (const std::optional<int> mc = QueryValue(m_mc))
            SetLinesLabels(0, *mc, 1);
    if (m_outputWord.HasChanged(1))
        ShowOutputWord();
    LONG raw = 0;
    if (m_lines.HasChanged(1) && m_lines.GetValue(raw)) {
        RefillDivisorChoices(static_cast<long long>(static_cast<DWORD>(raw)));
        m_takeDriveLines = 1;
    }
    if (m_hardware.HasChanged(1))
        if (const std::optional<int> hardware = QueryValue(m_hardware)) {
            const bool divider = (*hardware & 0x200) != 0;
            for (int id : {IDC_CFBK_DIVISOR_LABEL, IDC_CFBK_EZ_WORK_LABEL, IDC_CFBK_EZ_DRIVE_LABEL, IDC_CFBK_DIVISOR,
                           IDC_CFBK_EZ_MODE, IDC_CFBK_EZ_DRIVE})
                if (CWnd* control = GetDlgItem(id))
                    control->EnableWindow(divider);
            for (int id : {IDC_CFBK_OUTPUT_REVERSE_LABEL, IDC_CFBK_OUTPUT_REVERSE_WORK, IDC_CFBK_OUTPUT_REVERSE_DRIVE})
                if (CWnd* control = GetDlgItem(id))
                    control->EnableWindow(FALSE);
            for (int id : {IDC_CFBK_TACH_GAIN_WORK, IDC_CFBK_TACH_GAIN_SPIN})
                if (CWnd* control = GetDlgItem(id))
                    control->EnableWindow(TRUE);
            ShowOutputWord();
        }
    if (m_itc.HasChanged(1))
        if (const std::optional<int> itc = QueryValue(m_itc)) {
            SelectLineCount(*itc);
            const std::optional<int> count = CFeedbackConfigLayout::LineCountForBits(*itc);
            CString text;
            if (count)
                text.Format("%d", *count);
            SetDlgItemText(IDC_CFBK_LINE_COUNTS_DRIVE, count ? text : CString("ERROR"));
        }
    if (m_absProtocol.HasChanged(1)) {
        const std::optional<int> protocol = QueryValue(m_absProtocol);
        if (protocol && *protocol >= 0 && *protocol <= 2) {
            m_protocolCombo.SetCurSel(*protocol);
            SetDlgItemText(IDC_CFBK_PROTOCOL_DRIVE, CFeedbackConfigLayout::ProtocolName(*protocol));
        } else {
            m_protocolCombo.SetCurSel(-1);
            SetDlgItemText(IDC_CFBK_PROTOCOL_DRIVE, "ERROR");
        }
        ApplyProtocolRule();
    }
}

// ---------------------------------------------------------------------------
void CQvxGuiTavroCommutationFeedbackConfigPpg::ArrangeFeedbackPage(int feedbackMask, int motorType)
{
    if (!GetSafeHwnd())
        return;
    const std::optional<double> firmware = m_sheetOwner->GetFirmwareVersion();
    const bool resolverSupported = firmware && AppFunctionUnlockVersion("ResolverFeedbackSettings") <= *firmware;
    const FeedbackLayoutResult layout = CFeedbackConfigLayout::Arrange(feedbackMask, motorType, resolverSupported);
    m_left.HideAllGroups();
    m_left.ClearShownGroups();
    for (int group : layout.leftGroups)
        m_left.AddShownGroup(group);
    m_left.ShowGroupsStacked(10, 10);
    m_right.HideAllGroups();
    m_right.ClearShownGroups();
    for (int group : layout.rightGroups)
        m_right.AddShownGroup(group);
    CRect sinCos, encoder, page;
    GetClientRect(&page);
    if (m_right.GetGroupRect(10, sinCos) && m_left.GetGroupRect(8, encoder))
        m_right.ShowGroupsStacked(sinCos.left + (page.right - sinCos.right) - encoder.left, 10);
    SetWritable(m_edits[kSimBitsWork], layout.simulatedBitsWritable);
    SetWritable(m_edits[kInterpolationWork], layout.interpolationWritable);
    SetWritable(m_faultGroup, layout.faultWriter == kFaultWriterEncoder);
    SetWritable(m_absFaultGroup, layout.faultWriter == kFaultWriterAbsEncoder);
    SetWritable(m_resolverFaultGroup, layout.faultWriter == kFaultWriterResolver);
    if (!layout.calibrationShown)
        m_calibration.Close();
    Invalidate();
}

void CQvxGuiTavroCommutationFeedbackConfigPpg::SetWritable(CQvxGuiControl& control, bool writable)
{
    control.m_customSendId = writable ? -1 : kNoSend;
}

void CQvxGuiTavroCommutationFeedbackConfigPpg::SetLinesLabels(int remember, int kind, int setDriveFormat)
{
    const bool linear = kind == 1;
    const char* label = linear ? "Resolution (um)" : "Lines per Revolution";
    const char* format = linear ? "%0.2f" : "%0.0f";
    SetDlgItemText(IDC_CFBK_LINES_LABEL, label);
    CQvxGuiEditCtrl& work = m_edits[kLinesWork];
    work.SetControlName(label);
    work.SetDisplayFormat(format, 0);
    if (setDriveFormat)
        m_edits[kLinesDrive].SetDisplayFormat(format, 1);
    const int newKind = linear ? 1 : 0;
    if (!remember) {
        RefillDivisorChoices(0);
    } else if (m_shownKind != newKind) {
        (m_shownKind == 1 ? m_linearResolution : m_rotaryLines) = work.GetEnteredValue();
        const double value = newKind == 1 ? m_linearResolution : m_rotaryLines;
        CString text;
        text.Format(format, value);
        work.SetValueText(text);
        RefillDivisorChoices(static_cast<long long>(newKind == 1 ? std::trunc(value) * 100 : value));
    }
    m_shownKind = newKind;
}

bool CQvxGuiTavroCommutationFeedbackConfigPpg::GetWorkingLines(double& lines)
{
    CString text;
    if (!m_edits[kLinesWork].GetSafeHwnd())
        return false;
    m_edits[kLinesWork].GetWindowText(text);
    if (!StartsLikeNumber(text))
        return false;
    lines = m_edits[kLinesWork].GetEnteredValue();
    return true;
}

void CQvxGuiTavroCommutationFeedbackConfigPpg::RefillDivisorChoices(long long lines)
{
    if (!m_divisorCombo.GetSafeHwnd())
        return;
    const int selected = m_divisorCombo.GetCurSel();
    const int previous = selected < 0 ? 0 : static_cast<int>(m_divisorCombo.GetItemData(selected));
    m_divisorCombo.ResetContent();
    int keep = -1;
    for (int divisor : CFeedbackConfigLayout::DivisorChoices(lines)) {
        CString text;
        text.Format("%d", divisor);
        const int index = m_divisorCombo.AddString(text);
        m_divisorCombo.SetItemData(index, divisor);
        if (divisor == previous)
            keep = index;
    }
    m_divisorCombo.SetCurSel(keep >= 0 ? keep : 0);
}

void CQvxGuiTavroCommutationFeedbackConfigPpg::ShowOutputWord()
{
    const std::optional<int> word = QueryValue(m_outputWord);
    if (!word)
        return;
    const EncoderOutputWord decoded = CFeedbackConfigLayout::DecodeOutputWord(*word);
    const int divisor = m_divisorCombo.IsWindowEnabled() ? decoded.divisor : 1;
    const int ezMode = m_ezCombo.IsWindowEnabled() ? decoded.ezMode : 0;
    int index = -1;
    for (int i = 0; i < m_divisorCombo.GetCount(); ++i)
        if (static_cast<int>(m_divisorCombo.GetItemData(i)) == divisor)
            index = i;
    m_divisorCombo.SetCurSel(index);
    CString text;
    text.Format("%d", divisor);
    SetDlgItemText(IDC_CFBK_DIVISOR_DRIVE, text);
    m_ezCombo.SetCurSel(ezMode <= 4 ? ezMode : -1);
    SetDlgItemText(IDC_CFBK_EZ_DRIVE, CFeedbackConfigLayout::EzModeName(ezMode));
    for (int id : {IDC_CFBK_OUTPUT_REVERSE_WORK, IDC_CFBK_OUTPUT_REVERSE_DRIVE})
        CheckDlgButton(id, decoded.reverse ? BST_CHECKED : BST_UNCHECKED);
}

void CQvxGuiTavroCommutationFeedbackConfigPpg::ApplyProtocolRule()
{
    CWnd* align = GetDlgItem(IDC_CFBK_ALIGN_WORK);
    if (!align)
        return;
    const int index = m_protocolCombo.GetCurSel();
    if (index >= 0 && static_cast<int>(m_protocolCombo.GetItemData(index)) == 2) {
        if (m_edits[kAlignWork].GetEnteredValue() != 0)
            m_edits[kAlignWork].SetValueText("0");
        align->EnableWindow(FALSE);
    } else {
        align->EnableWindow(TRUE);
    }
}

void CQvxGuiTavroCommutationFeedbackConfigPpg::EnableAbsoluteEncoderFields(int enable)
{
    CQvxGuiControl* controls[] = {&m_edits[kSingleWork], &m_edits[kSingleDrive], &m_edits[kMultiWork],
                                  &m_edits[kMultiDrive],  &m_edits[kClockWork],  &m_edits[kClockDrive],
                                  &m_edits[kAlignWork],  &m_edits[kAlignDrive],  &m_edits[kCdsWork],
                                  &m_edits[kCdsDrive],   &m_absFaultWork,        &m_absFaultDrive};
    for (CQvxGuiControl* control : controls) {
        control->SetModified(0);
        control->EnablePolling(enable);
    }
    for (EditIndex index : {kSingleWork, kMultiWork, kClockWork, kAlignWork, kCdsWork})
        m_edits[index].SetReadOnly(!enable);
    m_absFaultWork.EnableWindow(enable);
    m_absFieldsEnabled = enable;
    const int drive = GetDrive();
    if (enable && drive != -1) {
        const BYTE address = static_cast<BYTE>(drive);
        m_absBits.QueryWithArgument(address, kAbsEncCode, kAbsEncIndexCode, 4, 0);
        m_absProtocol.QueryWithArgument(address, kAbsEncCode, kAbsEncIndexCode, 3, 0);
        m_absShifts.QueryWithArgument(address, kAbsEncCode, kAbsEncIndexCode, 5, 0);
    } else {
        for (CDmQueryVar* query : {&m_absBits, &m_absProtocol, &m_absShifts})
            query->Cancel();
    }
}

void CQvxGuiTavroCommutationFeedbackConfigPpg::SelectLineCount(int bits)
{
    m_fillingCombo = 1;
    int index = -1;
    for (int i = 0; i < m_lineCountCombo.GetCount(); ++i)
        if (static_cast<int>(m_lineCountCombo.GetItemData(i)) == bits)
            index = i;
    m_lineCountCombo.SetCurSel(index);
    m_fillingCombo = 0;
}

bool CQvxGuiTavroCommutationFeedbackConfigPpg::IsShownAndEnabled(int id) const
{
    const CWnd* control = GetDlgItem(id);
    return control && (m_left.IsControlInShownGroup(id) || m_right.IsControlInShownGroup(id)) &&
           control->IsWindowEnabled();
}

// ---------------------------------------------------------------------------
int CQvxGuiTavroCommutationFeedbackConfigPpg::GetPendingChangesState(int ignored)
{
    if (!GetSafeHwnd())
        return 2;
    CString working, drive;
    if (IsShownAndEnabled(IDC_CFBK_DIVISOR)) {
        m_divisorCombo.GetWindowText(working);
        GetDlgItemText(IDC_CFBK_DIVISOR_DRIVE, drive);
        if (!drive.IsEmpty() && working != drive)
            return 1;
    }
    const std::pair<CComboBox*, int> texts[] = {{&m_ezCombo, IDC_CFBK_EZ_DRIVE},
                                                {&m_protocolCombo, IDC_CFBK_PROTOCOL_DRIVE}};
    for (const auto& [combo, driveId] : texts)
        if (IsShownAndEnabled(combo->GetDlgCtrlID())) {
            combo->GetWindowText(working);
            GetDlgItemText(driveId, drive);
            // An empty drive column has not been read yet.
            if (!drive.IsEmpty() && working != drive)
                return 1;
        }
    return CGuiUpdatePpg::GetPendingChangesState(ignored);
}

bool CQvxGuiTavroCommutationFeedbackConfigPpg::CanSend()
{
    if (IsShownAndEnabled(IDC_CFBK_DIVISOR) && m_divisorCombo.GetCurSel() < 0) {
        CGuiUpdateItem::MessageBox("Please select an encoder divisor", MB_OK, 0, IDOK);
        return false;
    }
    if (IsShownAndEnabled(IDC_CFBK_EZ_MODE) && m_ezCombo.GetCurSel() < 0) {
        CGuiUpdateItem::MessageBox("Please select an EZ Out mode", MB_OK, 0, IDOK);
        return false;
    }
    if (IsShownAndEnabled(IDC_CFBK_PROTOCOL) && m_protocolCombo.GetCurSel() < 0) {
        CGuiUpdateItem::MessageBox("Please select an encoder type", MB_OK, 0, IDOK);
        return false;
    }
    return true;
}

int CQvxGuiTavroCommutationFeedbackConfigPpg::SendGroup(int group)
{
    if (!CanSend())
        return 0;
    CGuiUpdatePpg::SendGroup(group);
    const BYTE address = static_cast<BYTE>(GetDrive());
    if (IsShownAndEnabled(IDC_CFBK_PROTOCOL))
        SendCommandWithArgument(address, kAbsEncCode, static_cast<LONG>(m_protocolCombo.GetItemData(m_protocolCombo.GetCurSel())),
                                kAbsEncIndexCode, 3);
    // Bits the page does not offer keep what the drive holds; unread, the word is not written.
    const std::optional<int> lastRead = QueryValue(m_outputWord);
    if (!lastRead)
        return 1;
    std::optional<int> divisor, ezMode;
    if (IsShownAndEnabled(IDC_CFBK_DIVISOR))
        divisor = static_cast<int>(m_divisorCombo.GetItemData(m_divisorCombo.GetCurSel()));
    if (IsShownAndEnabled(IDC_CFBK_EZ_MODE))
        ezMode = static_cast<int>(m_ezCombo.GetItemData(m_ezCombo.GetCurSel()));
    const int word = CFeedbackConfigLayout::ComposeOutputWord(*lastRead, divisor, ezMode);
    const int sent = SendCommand(address, kOutputWordCode, word);
    m_outputWord.Query(address, kOutputWordCode, 0, kOnceFlags);
    return sent > 0 ? 1 : 0;
}

// ---------------------------------------------------------------------------
int CQvxGuiTavroCommutationFeedbackConfigPpg::CustomPoll(int id, double& value, CWnd* /*control*/)
{
    LONG word = 0;
    switch (id) {
    case kLinesShow: {
        CQvxGuiEditCtrl& edit = m_edits[kLinesWork];
        // An entry not yet sent stays as typed.
        if (edit.IsModified()) {
            edit.m_flags |= kCtrlNeverRewrite;
            return 2;
        }
        edit.m_flags &= ~kCtrlNeverRewrite;
        if (m_sheetOwner->GetLinearOrRotary() < 0)
            return 0;
        if (!m_takeDriveLines)
            return 2;
        const std::optional<double> lines = DriveLines();
        if (!lines)
            return 0;
        m_takeDriveLines = 0;
        value = *lines;
        return 3;
    }
    case kLinesDriveShow: {
        const std::optional<double> lines = DriveLines();
        if (!lines)
            return 0;
        value = *lines;
        return 1;
    }
    case kAlignShow:
    case kCdsShow:
        if (!m_absBits.GetValue(word))
            return 0;
        value = id == kAlignShow ? CFeedbackConfigLayout::AlignBits(word) : CFeedbackConfigLayout::CdsBits(word);
        return 1;
    case kPositionShow:
    case kVelocityShow:
        if (!m_absShifts.GetValue(word))
            return 0;
        value = id == kPositionShow ? CFeedbackConfigLayout::PositionShift(word)
                                    : CFeedbackConfigLayout::VelocityShift(word);
        return 1;
    default:
        return 0;
    }
}

int CQvxGuiTavroCommutationFeedbackConfigPpg::CustomConvert(int id, double& value, CWnd* control)
{
    CQvxGuiEditCtrl* edit = dynamic_cast<CQvxGuiEditCtrl*>(control);
    if (!edit)
        return 0;
    if (id == kLinesEntry) {
        const bool linear = m_sheetOwner->GetLinearOrRotary() == 1;
        const double high = linear ? 21474836.47 : 2147483647.0;
        if (!(value >= 0.01 && value <= high)) {
            CGuiUpdateItem::MessageBox(RangeText(edit->GetControlName(), 0.01, high), MB_OK, 0, IDOK);
            value = std::isfinite(value) ? std::clamp(value, 0.01, high) : 0.01;
        }
        RefillDivisorChoices(static_cast<long long>(linear ? std::trunc(value) * 100 : std::trunc(value)));
        return 1;
    }
    if (id == kSimBitsEntry) {
        SelectLineCount(static_cast<int>(std::clamp(std::isfinite(value) ? value : 11.0, 11.0, 14.0)));
        return 1;
    }
    return 0;
}

int CQvxGuiTavroCommutationFeedbackConfigPpg::CustomSend(int id, double value, CWnd* /*control*/)
{
    const BYTE address = static_cast<BYTE>(GetDrive());
    switch (id) {
    case 1: {
        const int kind = m_sheetOwner->GetLinearOrRotary();
        if (kind < 0 || !std::isfinite(value))
            return 0;
        const double raw = kind == 1 ? std::floor(value * 100 + 0.5) : std::trunc(value);
        if (raw < 0 || raw > 4294967295.0)
            return 0;
        SendCommand(address, kLinesCode, static_cast<LONG>(static_cast<DWORD>(raw)));
        m_lines.Query(address, kLinesCode, 0, kOnceFlags);
        return 1;
    }
    case kAlignSend:
    case kCdsSend: {
        const int bits = CFeedbackConfigLayout::PackBits(static_cast<int>(m_edits[kCdsWork].GetEnteredValue()),
                                                         static_cast<int>(m_edits[kAlignWork].GetEnteredValue()));
        SendCommandWithArgument(address, kAbsEncCode, bits, kAbsEncIndexCode, 4);
        return 1;
    }
    case kShiftsSend: {
        const int shifts =
            CFeedbackConfigLayout::PackShifts(static_cast<int>(m_edits[kPositionShiftWork].GetEnteredValue()),
                                              static_cast<int>(m_edits[kVelocityShiftWork].GetEnteredValue()));
        SendCommandWithArgument(address, kAbsEncCode, shifts, kAbsEncIndexCode, 5);
        return 1;
    }
    case 2:
    case 3:
    case 6:
    case kNoSend:
        return 1;
    default:
        return 0;
    }
}

// ---------------------------------------------------------------------------
void CQvxGuiTavroCommutationFeedbackConfigPpg::PostOutputChanged()
{
    if (CWnd* parent = GetParent())
        parent->PostMessage(kOutputChangedMessage, reinterpret_cast<WPARAM>(this));
}

void CQvxGuiTavroCommutationFeedbackConfigPpg::OnOutputChoice()
{
    PostOutputChanged();
}

void CQvxGuiTavroCommutationFeedbackConfigPpg::OnProtocolChanged()
{
    ApplyProtocolRule();
    PostOutputChanged();
}

void CQvxGuiTavroCommutationFeedbackConfigPpg::OnLineCountChanged()
{
    if (m_fillingCombo)
        return;
    const int index = m_lineCountCombo.GetCurSel();
    if (index < 0)
        return;
    CString text;
    text.Format("%d", static_cast<int>(m_lineCountCombo.GetItemData(index)));
    m_edits[kSimBitsWork].SetWindowText(text);
    m_edits[kSimBitsWork].CommitEntry();
    m_edits[kSimBitsWork].SetModified(1);
    PostOutputChanged();
}

void CQvxGuiTavroCommutationFeedbackConfigPpg::OnAdditional()
{
    m_sheetOwner->ShowAdditionalCalculations();
}

void CQvxGuiTavroCommutationFeedbackConfigPpg::BindAbsEncRecordset(CQvxDatabaseRecordset* recordset)
{
    const std::pair<EditIndex, const char*> fields[] = {{kSingleWork, "SingleTurn"}, {kMultiWork, "MultiTurn"},
                                                        {kClockWork, "Frequency"},   {kAlignWork, "AlignBits"},
                                                        {kCdsWork, "CDSBits"}};
    for (const auto& [index, name] : fields)
        m_edits[index].BindRecordsetField(recordset, name);
    SetRecordset(recordset);
}

void CQvxGuiTavroCommutationFeedbackConfigPpg::OnPopulate()
{
    CQvxDatabaseRecordset* recordset = m_sheetOwner->GetAbsEncRecordset();
    if (!recordset) {
        CGuiUpdateItem::MessageBox("Internal database error.", MB_OK, 0, IDOK);
        return;
    }
    CSelectAbsEncFromDbDlg dialog(this);
    dialog.m_recordset = recordset;
    if (dialog.DoModal() != IDOK)
        return;
    CString message;
    recordset->Requery(nullptr, "Manufacturer", dialog.m_manufacturer);
    if (recordset->FindFirst("Model", dialog.m_model))
        recordset->NotifyClientsRefresh();
    else
        message = "Could not find selected encoder in database.";
    recordset->Requery(nullptr, "", "");
    if (!message.IsEmpty())
        CGuiUpdateItem::MessageBox(message, MB_OK, 0, IDOK);
}

void CQvxGuiTavroCommutationFeedbackConfigPpg::OnRefresh()
{
    CQvxDatabaseRecordset* recordset = GetRecordset();
    CString protocol;
    if (!recordset || !recordset->GetCurrentRecord() || !recordset->GetFieldValue("Protocol", FALSE, protocol))
        return;
    int found = -1;
    for (int i = 0; i < m_protocolCombo.GetCount() && found < 0 && !protocol.IsEmpty(); ++i) {
        CString text;
        m_protocolCombo.GetLBText(i, text);
        if (text.Left(protocol.GetLength()).CompareNoCase(protocol) == 0)
            found = i;
    }
    m_protocolCombo.SetCurSel(found);
    ApplyProtocolRule();
}

void CQvxGuiTavroCommutationFeedbackConfigPpg::StepEdit(NMHDR* header, LRESULT* result, int index)
{
    const SpinStep steps[] = {{kTachScaleWork, -100, 100, 0.1, "%0.2f"},
                              {kTachGainWork, 0, 100, 1, "%0.2f"},
                              {kTachOffsetWork, -100, 100, 1, "%0.1f"},
                              {kPositionShiftWork, 0, 31, 1, "%0.0f"},
                              {kVelocityShiftWork, 0, 31, 1, "%0.0f"}};
    *result = 1;  // the field keeps the value, not the spin
    const auto* change = reinterpret_cast<const NMUPDOWN*>(header);
    for (const SpinStep& step : steps) {
        if (step.edit != index)
            continue;
        CQvxGuiEditCtrl& edit = m_edits[index];
        const double value = std::clamp(edit.GetEnteredValue() + change->iDelta * step.step, step.low, step.high);
        CString text;
        text.Format(step.format, value);
        edit.SetValueText(text);
    }
}
