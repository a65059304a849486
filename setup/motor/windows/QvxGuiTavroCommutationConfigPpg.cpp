#include "setup/motor/windows/QvxGuiTavroCommutationConfigPpg.h"

#include <algorithm>
#include <cmath>

#include "distribution/parameters/GlobalParameterKinds.h"
#include "distribution/parameters/GlobalParameterTable.h"
#include "framework/GuiUpdateList.h"
#include "foundation/NumberHelpers.h"
#include "framework/GuiAppServices.h"
#include "framework/GuiFrameServices.h"
#include "framework/GuiUpdateDlgIdMap.h"
#include "setup/motor/CommutationConfigLayout.h"
#include "setup/motor/windows/CommutationPageTools.h"
#include "setup/motor/CommutationFormulas.h"
#include "setup/motor/windows/QvxGuiTavroCommutationSheet.h"

IMPLEMENT_DYNAMIC(CQvxGuiTavroCommutationConfigPpg, CGuiUpdatePpg)

BEGIN_MESSAGE_MAP(CQvxGuiTavroCommutationConfigPpg, CGuiUpdatePpg)
    ON_BN_CLICKED(IDC_CCFG_AUTOPHASE_BUTTON, &CQvxGuiTavroCommutationConfigPpg::OnAutoPhasing)
    ON_BN_CLICKED(IDC_CCFG_HALL_EDGE_WORK, &CQvxGuiTavroCommutationConfigPpg::OnHallEdge)
    ON_BN_CLICKED(IDC_CCFG_INDEX_AUTO_WORK, &CQvxGuiTavroCommutationConfigPpg::OnIndexAuto)
    ON_BN_CLICKED(IDC_CCFG_INDEX_MANUAL_WORK, &CQvxGuiTavroCommutationConfigPpg::OnIndexManual)
    ON_BN_CLICKED(IDC_CCFG_NONE_WORK, &CQvxGuiTavroCommutationConfigPpg::OnNone)
    ON_CBN_SELCHANGE(IDC_CCFG_INIT_METHOD, &CQvxGuiTavroCommutationConfigPpg::OnMethodSelected)
END_MESSAGE_MAP()

namespace {
constexpr auto QueryValue = &CCommutationPageTools::QueryValue;
constexpr auto RangeText = &CCommutationPageTools::RangeText;
constexpr WORD kPollMs = 600;
constexpr WORD kFastPollMs = 200;
constexpr BYTE kOnceFlags = 0x60;
constexpr WORD kMcCode = 419;
constexpr WORD kLinesCode = 210;
constexpr WORD kGvsCode = 7891;
constexpr WORD kCctCode = 3188;
constexpr WORD kAlignCode = 13345;
constexpr WORD kMccCode = 13411;
constexpr WORD kReverseCode = 6418;
constexpr double kAngleScale = 180.0 / 32767.0;
constexpr double kTickSeconds = 0.01024;
constexpr double kTwoTo31 = 2147483648.0;
constexpr int kNoSend = 99;
constexpr COLORREF kReadOnlyColour = 0xD9D9D9;
constexpr COLORREF kWarningColour = 0x00FFFF;
const char kAutoPhaseProperty[] = "bOpenAutoPhaseDlg";

enum Hook { kHookPoles = 1, kHookPhaseEntry = 2, kHookPhaseWork = 3, kHookPhaseDrive = 4, kHookRampWork = 5, kHookRampDrive = 6 };
enum SendHook { kSendPhase = 2, kSendRamp = 3 };

struct Correction {
    int work;
    int drive;
    int value;
};
constexpr Correction kCorrections[] = {
    {IDC_CCFG_HALL_EDGE_WORK, IDC_CCFG_HALL_EDGE_DRIVE, 1},
    {IDC_CCFG_INDEX_AUTO_WORK, IDC_CCFG_INDEX_AUTO_DRIVE, 2},
    {IDC_CCFG_INDEX_MANUAL_WORK, IDC_CCFG_INDEX_MANUAL_DRIVE, 3},
    {IDC_CCFG_NONE_WORK, IDC_CCFG_NONE_DRIVE, 0},
};

double CutTo3Decimals(double value)
{
    return std::trunc(value * 1000.0) / 1000.0;
}

// Phase lead in degrees per krpm (rotary) or per mm/s (linear) of a raw CPL.
double PhaseLeadShown(double raw, double lines, int linear, int shift, double frequency, int cs)
{
    if (frequency <= 0)
        return 0.0;
    const double e = shift > 0 ? std::ldexp(1.0, shift) : 0.0;
    const double k = (cs == 1 || cs == 6) ? 3.6e8 : 3.6e10;
    if (!linear)
        return raw * lines * e * 24000.0 / (frequency * kTwoTo31);
    if (lines == 0)
        return 0.0;
    return RoundHalfAway(e * raw / (frequency * kTwoTo31) * k / (lines / 100.0));
}

std::optional<double> PhaseLeadRaw(double shown, double lines, int linear, int shift, double frequency, int cs)
{
    if (shift < 1 || shift > 30 || !std::isfinite(shown))
        return std::nullopt;
    if (lines <= 0)
        return 0.0;
    const double e = std::ldexp(1.0, shift);
    const double k = (cs == 1 || cs == 6) ? 3.6e8 : 3.6e10;
    if (!linear)
        return RoundHalfAway(shown * frequency * kTwoTo31 / (lines * e * 24000.0));
    return RoundHalfAway(shown * frequency * kTwoTo31 / e * (lines / 100.0) / k);
}
}  // namespace

CQvxGuiTavroCommutationConfigPpg::CQvxGuiTavroCommutationConfigPpg(CQvxGuiTavroCommutationSheet* sheet)
    : CGuiUpdatePpg(IDD),
      m_sheetOwner(sheet),
      m_autoPhasing(*this, *this, "TAVRO_AUTOPHASING", IDC_CCFG_AUTOPHASE_BUTTON, kAutoPhaseProperty)
{
    m_statusFlags = kStatusMode | kStatusWord;
}

CQvxGuiTavroCommutationConfigPpg::~CQvxGuiTavroCommutationConfigPpg()
{
    m_autoPhasing.Close();
    for (CDmQueryVar* query : {&m_mc, &m_poles, &m_lines, &m_gvs, &m_cpl, &m_ccm, &m_cir, &m_cct, &m_cim})
        query->Cancel();
}

// ---------------------------------------------------------------------------
void CQvxGuiTavroCommutationConfigPpg::BindEdit(EditIndex index, int id, const char* name, unsigned flags)
{
    CQvxGuiEditCtrl& edit = m_edits[index];
    edit.SubclassDlgItem(id, this);
    m_controls.AddControl(&edit, -1);
    edit.m_flags = flags;
    edit.SetControlName(name);
    CCommutationPageTools::SetColours(edit);
}

void CQvxGuiTavroCommutationConfigPpg::BindAngle(EditIndex work, int workId, EditIndex drive, int driveId, WORD code,
                                                  const char* name)
{
    BindEdit(work, workId, name, 0x2308);
    BindEdit(drive, driveId, "", 0x104);
    for (EditIndex index : {work, drive}) {
        CQvxGuiEditCtrl& edit = m_edits[index];
        edit.SetPollRegister(code, kPollMs, kOnceFlags);
        edit.SetDisplayScale(kAngleScale);
        edit.SetValueScale(1.0 / kAngleScale);
        edit.SetDisplayFormat("%0.3f", 0);
    }
    m_edits[work].SetWriteRegister(code);
    m_edits[work].SetLimits(-180, 180);
    m_edits[work].m_limitsInUserUnits = 1;
}

void CQvxGuiTavroCommutationConfigPpg::BindCheckbox(CQvxGuiCheckboxCtrl& box, int id, DWORD mask)
{
    box.SubclassDlgItem(id, this);
    box.m_bitMask = mask;
    m_controls.AddControl(&box, -1);
}

void CQvxGuiTavroCommutationConfigPpg::BindControls()
{
    BindEdit(kPolesWork, IDC_CCFG_POLES_WORK, "Number of Poles", 0x2318);
    BindEdit(kPolesDrive, IDC_CCFG_POLES_DRIVE, "Poles", 0x2308);
    for (EditIndex index : {kPolesWork, kPolesDrive})
        m_edits[index].SetPollRegister(kPolesCode, kPollMs, kOnceFlags);
    m_edits[kPolesWork].SetWriteRegister(kPolesCode);
    m_edits[kPolesWork].m_customConversionId = kHookPoles;

    BindAngle(kAngleWork, IDC_CCFG_ANGLE_WORK, kAngleDrive, IDC_CCFG_ANGLE_DRIVE, 3119, "Angle Offset");
    BindEdit(kPhaseWork, IDC_CCFG_PHASE_WORK, "Phase Lead", 0x2308);
    BindEdit(kPhaseDrive, IDC_CCFG_PHASE_DRIVE, "", 0x104);
    // A write register lets the entry be taken; the page's hook sends it.
    m_edits[kPhaseWork].SetWriteRegister(kCplCode);
    m_edits[kPhaseWork].SetCustomPollId(kHookPhaseWork);
    m_edits[kPhaseWork].m_customConversionId = kHookPhaseEntry;
    m_edits[kPhaseWork].m_customSendId = kSendPhase;
    m_edits[kPhaseWork].SetLimits(0, 32767);
    m_edits[kPhaseDrive].SetCustomPollId(kHookPhaseDrive);
    BindAngle(kHallWork, IDC_CCFG_HALL_OFFSET_WORK, kHallDrive, IDC_CCFG_HALL_OFFSET_DRIVE, 3343, "Hall Signal Offset");
    BindAngle(kIndexWork, IDC_CCFG_INDEX_OFFSET_WORK, kIndexDrive, IDC_CCFG_INDEX_OFFSET_DRIVE, 6447, "Index Offset");

    const struct {
        EditIndex work;
        int workId;
        int driveId;
        WORD code;
        const char* name;
    } gains[] = {{kCpgWork, IDC_CCFG_CPG_WORK, IDC_CCFG_CPG_DRIVE, 3591, "Proportional Gain"},
                 {kCigWork, IDC_CCFG_CIG_WORK, IDC_CCFG_CIG_DRIVE, 3367, "Integral Gain"},
                 {kCdgWork, IDC_CCFG_CDG_WORK, IDC_CCFG_CDG_DRIVE, 3207, "Derivative Gain"}};
    for (const auto& gain : gains) {
        const EditIndex drive = static_cast<EditIndex>(gain.work + 1);
        BindEdit(gain.work, gain.workId, gain.name, 0x2308);
        BindEdit(drive, gain.driveId, "", 0x104);
        for (EditIndex index : {gain.work, drive})
            m_edits[index].SetPollRegister(gain.code, kPollMs, kOnceFlags);
        m_edits[gain.work].SetWriteRegister(gain.code);
        m_edits[gain.work].SetLimits(0, 32767);
    }
    const struct {
        EditIndex work;
        int workId;
        int driveId;
        WORD code;
        const char* name;
        double low;
    } currents[] = {{kInitialWork, IDC_CCFG_INITIAL_CURRENT_WORK, IDC_CCFG_INITIAL_CURRENT_DRIVE, 3369, "Initial Current", 0},
                    {kFinalWork, IDC_CCFG_FINAL_CURRENT_WORK, IDC_CCFG_FINAL_CURRENT_DRIVE, 3366, "Final Current", 1}};
    for (const auto& current : currents) {
        const EditIndex drive = static_cast<EditIndex>(current.work + 1);
        BindEdit(current.work, current.workId, current.name, 0x2308);
        BindEdit(drive, current.driveId, "", 0x104);
        for (EditIndex index : {current.work, drive}) {
            m_edits[index].SetPollRegister(current.code, kPollMs, kOnceFlags);
            m_edits[index].SetDisplayFormat("%0.3f", 0);
            m_edits[index].BindGlobalParameter(GPD_A2E_CURRENT_GAIN, 0, 0);
            m_edits[index].BindValueParameter(GPD_A2E_CURRENT_GAIN, 1, 0);
        }
        m_edits[current.work].SetWriteRegister(current.code);
        m_edits[current.work].SetLimits(current.low, 19660);
    }
    BindEdit(kRampWork, IDC_CCFG_RAMP_WORK, "Ramping Time", 0x2308);
    BindEdit(kRampDrive, IDC_CCFG_RAMP_DRIVE, "", 0x104);
    m_edits[kRampWork].SetWriteRegister(kCirCode);
    m_edits[kRampWork].SetCustomPollId(kHookRampWork);
    m_edits[kRampWork].m_customConversionId = kHookRampWork;
    m_edits[kRampWork].m_customSendId = kSendRamp;
    m_edits[kRampDrive].SetCustomPollId(kHookRampDrive);
    for (EditIndex index : {kPhaseWork, kPhaseDrive, kRampWork, kRampDrive})
        m_edits[index].SetDisplayFormat("%0.3f", 0);

    BindEdit(kTimerWork, IDC_CCFG_TIMER_WORK, "Timer Ticks", 0x2318);
    BindEdit(kTimerDrive, IDC_CCFG_TIMER_DRIVE, "Timer Ticks", 0x104);
    for (EditIndex index : {kTimerWork, kTimerDrive}) {
        m_edits[index].SetPollRegister(3732, kPollMs, kOnceFlags);
        m_edits[index].SetDisplayScale(kTickSeconds);
        m_edits[index].SetValueScale(1.0 / kTickSeconds);
        m_edits[index].SetDisplayFormat("%0.2f", 0);
    }
    m_edits[kTimerWork].SetWriteRegister(3732);
    m_edits[kTimerWork].SetLimits(0, 335);
    m_edits[kTimerWork].m_limitsInUserUnits = 1;

    BindAngle(kResolverWork, IDC_CCFG_RESOLVER_WORK, kResolverDrive, IDC_CCFG_RESOLVER_DRIVE, 3343,
              "Resolver Alignment Offset");
    BindAngle(kAlignWork, IDC_CCFG_ALIGN_WORK, kAlignDrive, IDC_CCFG_ALIGN_DRIVE, kAlignCode, "Phase Alignment Offset");
    m_edits[kAlignWork].m_flags = 0x308;
    m_edits[kAlignDrive].SetPollRegister(kAlignCode, kFastPollMs, 0);
    for (EditIndex index : {kAlignWork, kAlignDrive})
        m_edits[index].SetDisplayFormat("%0.1f", 0);

    // The simulated Hall and phase sequence boxes share the MCC word.
    m_mccGroup.SetPollRegister(kMccCode, kPollMs, kOnceFlags);
    m_mccGroup.SetWriteRegister(kMccCode);
    m_mccGroup.m_keepUnrelatedBits = 1;
    m_mccGroup.SetControlName("MCC");
    m_controls.AddControl(&m_mccGroup, -1);
    BindCheckbox(m_simHallWork, IDC_CCFG_SIMHALL_WORK, 2);
    BindCheckbox(m_sequenceWork, IDC_CCFG_SEQUENCE_WORK, 1);
    m_mccGroup.AddCheckbox(&m_simHallWork);
    m_mccGroup.AddCheckbox(&m_sequenceWork);
    BindCheckbox(m_simHallDrive, IDC_CCFG_SIMHALL_DRIVE, 2);
    m_simHallDrive.SetPollRegister(kMccCode, kPollMs, kOnceFlags);
    BindCheckbox(m_sequenceDrive, IDC_CCFG_SEQUENCE_DRIVE, 1);
    m_sequenceDrive.SetPollRegister(kMccCode, kFastPollMs, 0);
    BindCheckbox(m_reverseWork, IDC_CCFG_REVERSE_WORK, 0xFFFFFFFF);
    m_reverseWork.SetPollRegister(kReverseCode, 0, kOnceFlags);
    m_reverseWork.SetWriteRegister(kReverseCode);
    m_reverseWork.SetControlName("Reverse Shaft Rotation");
    BindCheckbox(m_reverseDrive, IDC_CCFG_REVERSE_DRIVE, 0xFFFFFFFF);
    m_reverseDrive.SetPollRegister(kReverseCode, 0, kOnceFlags);
}

void CQvxGuiTavroCommutationConfigPpg::BuildGroups()
{
    m_left.SetDialog(this);
    m_right.SetDialog(this);
    m_smart.SetDialog(this);
    const auto add = [](CDlgControlGroupList& list, int group, std::initializer_list<int> ids) {
        for (int id : ids)
            list.AddValue(group, id);
    };
    const auto range = [](CDlgControlGroupList& list, int group, int first, int last) {
        for (int id = first; id <= last; ++id)
            list.AddValue(group, id);
    };
    add(m_left, 16, {1876, 1448, 1449, 2487, 2214, 1068});
    add(m_left, 0, {1874, 1445, 1446, 2486, 1065, 1067});
    add(m_left, 1, {2495, 2503, 2504});
    range(m_left, 1, 2496, 2501);
    add(m_left, 2, {2502});
    range(m_left, 2, 2505, 2524);
    range(m_left, 3, 2507, 2512);
    range(m_left, 4, 2513, 2521);
    range(m_left, 5, 2522, 2524);
    add(m_left, 19, {1875, 2488, 1066, 1069, 1447, 1451});
    add(m_right, 6, {2525, 2526, 2527, 1444, 2528, 2529});
    add(m_right, 17, {2560, 2561, 2531, 1450, 2562, 2563});
    add(m_right, 7, {2530});
    range(m_right, 7, 2532, 2554);
    add(m_right, 14, {2555, 2595, 2557, 2556, 2564, 2558, 2559, 2565, 2740, 2741});
    range(m_smart, 13, 2532, 2554);
}

BOOL CQvxGuiTavroCommutationConfigPpg::OnInitDialog()
{
    CGuiUpdatePpg::OnInitDialog();
    m_methodCombo.SubclassDlgItem(IDC_CCFG_INIT_METHOD, this);
    BindControls();
    BuildGroups();
    for (int method : {kInitHall, kInitSmartComm, kInitBrush, kInitTwoPhase, kInitInduction, kInitResolver,
                       kInitAbsEncoder}) {
        const int index = m_methodCombo.AddString(CCommutationConfigLayout::MethodName(method));
        m_methodCombo.SetItemData(index, static_cast<DWORD_PTR>(method));
    }
    OnMethodChanged();
    return TRUE;
}

// ---------------------------------------------------------------------------
int CQvxGuiTavroCommutationConfigPpg::PrepareQueries()
{
    return CCommutationPageTools::PrepareQueries(*this, m_edits,
                                                 {GPD_VER, GPD_SERVO_FREQ_I, GPD_CS, GPD_A2E_CURRENT_GAIN});
}

int CQvxGuiTavroCommutationConfigPpg::SubscribeStatusQueries()
{
    const int drive = GetDrive();
    if (drive == -1)
        return 0;
    const BYTE address = static_cast<BYTE>(drive);
    const std::pair<CDmQueryVar*, WORD> queries[] = {
        {&m_mc, kMcCode},   {&m_poles, kPolesCode}, {&m_gvs, kGvsCode}, {&m_cpl, kCplCode}, {&m_lines, kLinesCode},
        {&m_ccm, kCcmCode}, {&m_cir, kCirCode},     {&m_cct, kCctCode}, {&m_cim, kCimCode}};
    for (const auto& [query, code] : queries)
        query->Query(address, code, 0, kOnceFlags);
    if (drive != m_queriedDrive)
        m_methodPicked = 0;
    m_queriedDrive = drive;
    return CGuiUpdatePpg::SubscribeStatusQueries();
}

int CQvxGuiTavroCommutationConfigPpg::InitialUpdate()
{
    const int result = CGuiUpdatePpg::InitialUpdate();
    if (const std::optional<int> mc = QueryValue(m_mc))
        SetMotorKindLabels(0, *mc);
    return result;
}

// A current read before its conversion gain was known is shown again once it is.
void CQvxGuiTavroCommutationConfigPpg::RefreshOnNewGain()
{
    CCommutationPageTools::RefreshOnNewGain(
        *this, GPD_A2E_CURRENT_GAIN, m_currentGain,
        {&m_edits[kInitialWork], &m_edits[kInitialDrive], &m_edits[kFinalWork], &m_edits[kFinalDrive]}, "%0.3f");
}

void CQvxGuiTavroCommutationConfigPpg::ProcessResponses()
{
    CGuiUpdatePpg::ProcessResponses();
    RefreshOnNewGain();
    if (m_mc.HasChanged(1))
        if (const std::optional<int> mc = QueryValue(m_mc))
            SetMotorKindLabels(0, *mc);
    if (m_ccm.HasChanged(1))
        if (const std::optional<int> ccm = QueryValue(m_ccm))
            ShowCorrection(*ccm);
    if (m_cim.HasChanged(1)) {
        const std::optional<int> cim = QueryValue(m_cim);
        // The drive's method always shows on the drive's side; the choice follows
        // it only while the user has no choice of their own waiting to be sent.
        const bool follow = !m_methodPicked && !m_sheetOwner->GetSubDlg().HasUnsentChoice();
        if (cim && DriveMethodOf(*cim)) {
            m_driveMethod = *cim;
            if (follow)
                SelectMethodValue(*cim);
            SetDlgItemText(IDC_CCFG_INIT_DRIVE_TEXT, CCommutationConfigLayout::MethodName(*cim));
        } else {
            m_driveMethod = 0;
            if (follow)
                m_methodCombo.SetCurSel(-1);
            SetDlgItemText(IDC_CCFG_INIT_DRIVE_TEXT, "");
        }
        if (follow)
            OnMethodChanged();
    }
}

// ---------------------------------------------------------------------------
void CQvxGuiTavroCommutationConfigPpg::ArrangeForMotorAndFeedback(int motorType, int selectDefault,
                                                                  int takeDriveMethod, int feedbackMask)
{
    if (!GetSafeHwnd())
        return;
    const double firmware = m_sheetOwner->GetFirmwareVersion().value_or(0.0);
    const int mask = CCommutationConfigLayout::EffectiveFeedback(feedbackMask, firmware,
                                                                 AppFunctionUnlockVersion("CommutationAbsEnc"));
    const CommutationConfigLayoutResult layout = CCommutationConfigLayout::Arrange(motorType, mask);
    m_left.HideAllGroups();
    m_left.ClearShownGroups();
    for (int group : layout.leftGroups)
        m_left.AddShownGroup(group);
    m_left.ShowGroupsStacked(10, 10);
    m_left.EnableGroup(3, layout.hallEdgeEnabled);
    m_left.EnableGroup(4, layout.indexRowsEnabled);
    m_left.EnableGroup(5, layout.noneRowEnabled);
    m_right.HideAllGroups();
    m_right.ClearShownGroups();
    for (int group : layout.rightGroups)
        m_right.AddShownGroup(group);
    StackRightColumn();
    m_autoPhaseApplies = layout.autoPhase;
    if (!layout.autoPhase)
        m_autoPhasing.Close();
    // Kept by position: the list is in order of preference, so a method that
    // was the only choice gives way to a better one that has become possible.
    const int previous = m_methodCombo.GetCurSel();
    FillMethods(layout.methods);
    if (selectDefault)
        SelectMethodValue(CCommutationConfigLayout::DefaultMethod(motorType, mask));
    else if (takeDriveMethod && m_driveMethod)
        SelectMethodValue(m_driveMethod);
    else if (previous >= 0 && previous < m_methodCombo.GetCount())
        m_methodCombo.SetCurSel(previous);
    if (m_methodCombo.GetCurSel() < 0 && m_methodCombo.GetCount() > 0)
        m_methodCombo.SetCurSel(0);
    // Both fields write 3343: only the one of the chosen feedback may send.
    m_edits[kResolverWork].m_customSendId = layout.resolverOffsetWritable ? -1 : kNoSend;
    m_edits[kHallWork].m_customSendId = layout.resolverOffsetWritable ? kNoSend : -1;
    OnMethodChanged();
    Invalidate();
}

void CQvxGuiTavroCommutationConfigPpg::StackRightColumn()
{
    CRect simHall, brushless, page;
    GetClientRect(&page);
    if (!m_right.GetGroupRect(6, simHall) || !m_left.GetGroupRect(0, brushless))
        return;
    m_right.ShowGroupsStacked(simHall.left + (page.right - simHall.right) - brushless.left, 10);
}

void CQvxGuiTavroCommutationConfigPpg::FillMethods(const std::vector<int>& methods)
{
    m_methodCombo.ResetContent();
    for (int method : methods) {
        const int index = m_methodCombo.AddString(CCommutationConfigLayout::MethodName(method));
        m_methodCombo.SetItemData(index, static_cast<DWORD_PTR>(method));
    }
}

void CQvxGuiTavroCommutationConfigPpg::SelectMethodValue(int method)
{
    for (int i = 0; i < m_methodCombo.GetCount(); ++i)
        if (static_cast<int>(m_methodCombo.GetItemData(i)) == method) {
            m_methodCombo.SetCurSel(i);
            return;
        }
}

int CQvxGuiTavroCommutationConfigPpg::DriveMethodOf(int cim)
{
    return cim >= 1 && cim <= 9 ? cim : 0;
}

int CQvxGuiTavroCommutationConfigPpg::GetSelectedMethod() const
{
    if (!m_methodCombo.GetSafeHwnd())
        return 0;
    const int index = m_methodCombo.GetCurSel();
    return index < 0 ? 0 : static_cast<int>(m_methodCombo.GetItemData(index));
}

void CQvxGuiTavroCommutationConfigPpg::OnMethodSelected()
{
    m_methodPicked = 1;
    OnMethodChanged();
}

void CQvxGuiTavroCommutationConfigPpg::OnMethodChanged()
{
    const int method = GetSelectedMethod();
    m_smart.EnableGroup(13, method == kInitSmartComm);
    m_right.EnableGroup(14, method != kInitTwoPhase);
    for (const Correction& correction : kCorrections)
        if (CWnd* radio = GetDlgItem(correction.drive))
            radio->EnableWindow(FALSE);
}

// ---------------------------------------------------------------------------
void CQvxGuiTavroCommutationConfigPpg::SetMotorKindLabels(int remember, int kind)
{
    const bool linear = kind == 1;
    const std::pair<int, const char*> labels[] = {
        {IDC_CCFG_POLES_LABEL, linear ? "Pole Pitch (.01 mm)" : "Number of Poles"},
        {IDC_CCFG_PHASE_LABEL, linear ? "Phase Lead (deg/mm/sec)" : "Phase Lead (deg/krpm)"},
        {IDC_CCFG_DIRECTION_BOX, linear ? "Travel Direction" : "Shaft Rotation Direction"},
        {IDC_CCFG_DIRECTION_LABEL, linear ? "Reverse Travel Direction" : "Reverse Shaft Rotation"}};
    for (const auto& [id, text] : labels) {
        CString current;
        GetDlgItemText(id, current);
        if (current != text)
            SetDlgItemText(id, text);
    }
    const int newKind = linear ? 1 : 0;
    if (remember && m_shownKind != -1 && m_shownKind != newKind) {
        CQvxGuiEditCtrl& poles = m_edits[kPolesWork];
        const double entry = poles.GetEnteredValue();
        (m_shownKind == 1 ? m_linearPitch : m_rotaryPoles) = entry;
        CString text;
        text.Format("%0.0f", newKind == 1 ? m_linearPitch : m_rotaryPoles);
        poles.SetValueText(text);
    }
    m_shownKind = newKind;
}

bool CQvxGuiTavroCommutationConfigPpg::GetWorkingPoles(double& poles)
{
    if (!m_edits[kPolesWork].GetSafeHwnd())
        return false;
    CString text;
    m_edits[kPolesWork].GetWindowText(text);
    if (text.IsEmpty())
        return false;
    poles = m_edits[kPolesWork].GetEnteredValue();
    return true;
}

// ---------------------------------------------------------------------------
void CQvxGuiTavroCommutationConfigPpg::CheckCorrection(int id)
{
    for (const Correction& correction : kCorrections)
        CheckDlgButton(correction.work, correction.work == id ? BST_CHECKED : BST_UNCHECKED);
}

void CQvxGuiTavroCommutationConfigPpg::ShowCorrection(int value)
{
    for (const Correction& correction : kCorrections) {
        const UINT state = correction.value == value ? BST_CHECKED : BST_UNCHECKED;
        CheckDlgButton(correction.work, state);
        CheckDlgButton(correction.drive, state);
    }
}

int CQvxGuiTavroCommutationConfigPpg::WorkingCorrection() const
{
    for (const Correction& correction : kCorrections) {
        const CWnd* radio = GetDlgItem(correction.work);
        if (IsChecked(correction.work) && radio && radio->IsWindowEnabled())
            return correction.value;
    }
    return 0;
}

int CQvxGuiTavroCommutationConfigPpg::GetPendingChangesState(int ignored)
{
    if (!GetSafeHwnd())
        return 2;
    for (const Correction& correction : kCorrections)
        if (IsChecked(correction.work) != IsChecked(correction.drive))
            return 1;
    // Until the drive's method was read there is nothing for the choice to differ from.
    if (QueryValue(m_cim) && GetSelectedMethod() != m_driveMethod)
        return 1;
    return CGuiUpdatePpg::GetPendingChangesState(ignored);
}

// ---------------------------------------------------------------------------
bool CQvxGuiTavroCommutationConfigPpg::CanSend()
{
    if (GetEnableBit()) {
        CGuiUpdateItem::MessageBox("Please DISABLE drive before changing the commutation init mode.", MB_OK, 0, IDOK);
        return false;
    }
    if (!GetSelectedMethod()) {
        CGuiUpdateItem::MessageBox("Please select a valid Commutation Initialization Method.", MB_OK, 0, IDOK);
        return false;
    }
    return true;
}

// Checked before anything is written, so a refusal leaves the drive as it was.
int CQvxGuiTavroCommutationConfigPpg::SendGroup(int group)
{
    if (!CanSend())
        return 0;
    if (!CGuiUpdatePpg::SendGroup(group))
        return 0;
    const BYTE address = static_cast<BYTE>(GetDrive());
    if (m_left.IsControlInShownGroup(IDC_CCFG_CORRECTION_BOX))
        SendCommand(address, kCcmCode, WorkingCorrection());
    SendCommand(address, kCimCode, GetSelectedMethod());
    m_methodPicked = 0;
    // The drive's new values show once they are read back.
    m_ccm.Query(address, kCcmCode, 0, kOnceFlags);
    m_cim.Query(address, kCimCode, 0, kOnceFlags);
    return 1;
}

// ---------------------------------------------------------------------------
bool CQvxGuiTavroCommutationConfigPpg::PhaseLeadInputs(bool working, double& lines, int& linear, int& shift,
                                                       double& frequency, int& cs)
{
    double value = 0;
    if (!GetGlobalParameterValue(-1, GPD_SERVO_FREQ_I, frequency) || !GetGlobalParameterValue(-1, GPD_CS, value))
        return false;
    cs = static_cast<int>(value);
    const std::optional<int> gvs = QueryValue(m_gvs);
    if (!gvs)
        return false;
    shift = *gvs;
    if (working) {
        linear = m_sheetOwner->GetLinearOrRotary();
        if (linear < 0 || !m_sheetOwner->GetFeedbackPage().GetWorkingLines(lines))
            return false;
        lines = static_cast<double>(static_cast<unsigned>(std::max(0.0, std::trunc(linear ? lines * 100 : lines))));
        return true;
    }
    const std::optional<int> mc = QueryValue(m_mc);
    LONG raw = 0;
    if (!mc || !m_lines.GetValue(raw))
        return false;
    linear = *mc == 1 ? 1 : 0;
    lines = static_cast<double>(static_cast<DWORD>(raw));
    return true;
}

int CQvxGuiTavroCommutationConfigPpg::PhaseLeadRange(double& low, double& high)
{
    double lines = 0, frequency = 0;
    int linear = 0, shift = 0, cs = 0;
    if (!PhaseLeadInputs(true, lines, linear, shift, frequency, cs))
        return 0;
    low = PhaseLeadShown(0, lines, linear, shift, frequency, cs);
    high = PhaseLeadShown(32767, lines, linear, shift, frequency, cs);
    return 1;
}

std::optional<double> CQvxGuiTavroCommutationConfigPpg::CurrentStep(EditIndex initial, EditIndex final, bool entered)
{
    double gain = 0;
    if (!GetGlobalParameterValue(-1, GPD_A2E_CURRENT_GAIN, gain) || gain == 0)
        return std::nullopt;
    double a = 0, b = 0;
    if (entered) {
        a = m_edits[initial].GetEnteredValue();
        b = m_edits[final].GetEnteredValue();
    } else if (!m_edits[initial].GetDoubleValue(a) || !m_edits[final].GetDoubleValue(b)) {
        return std::nullopt;
    }
    // The ramp needs a final current above the initial one; anything else has no ramp.
    const double dI = (b - a) / gain;
    if (!(dI > 0) || !std::isfinite(dI))
        return std::nullopt;
    return 40.0 * dI / 1000000.0;
}

int CQvxGuiTavroCommutationConfigPpg::RampDisplay(int id, double& value)
{
    const bool working = id == kHookRampWork;
    double a = 0, b = 0;
    const EditIndex initial = working ? kInitialWork : kInitialDrive;
    const EditIndex final = working ? kFinalWork : kFinalDrive;
    LONG cir = 0;
    if (!m_edits[initial].GetDoubleValue(a) || !m_edits[final].GetDoubleValue(b) || !m_cir.GetValue(cir))
        return 0;
    const bool cirChanged = working && m_cir.HasChanged(0) != 0;
    if (working && m_rampShown && a == m_rampInitial && b == m_rampFinal && !cirChanged)
        return 2;
    const std::optional<double> step = CurrentStep(initial, final, false);
    if (!step)
        return -1;
    value = cir * *step + 0.005;
    if (working) {
        m_rampInitial = a;
        m_rampFinal = b;
        m_rampShown = 1;
        m_cir.HasChanged(1);
    }
    return 1;
}

int CQvxGuiTavroCommutationConfigPpg::CustomPoll(int id, double& value, CWnd* /*control*/)
{
    // A working entry not yet sent stays as typed.
    if (id == kHookPhaseWork || id == kHookRampWork) {
        CQvxGuiEditCtrl& edit = m_edits[id == kHookPhaseWork ? kPhaseWork : kRampWork];
        if (edit.IsModified()) {
            edit.m_flags |= kCtrlNeverRewrite;
            return 2;
        }
        edit.m_flags &= ~kCtrlNeverRewrite;
    }
    switch (id) {
    case kHookPhaseWork:
    case kHookPhaseDrive: {
        double lines = 0, frequency = 0;
        int linear = 0, shift = 0, cs = 0;
        LONG raw = 0;
        if (!m_cpl.GetValue(raw) || !PhaseLeadInputs(id == kHookPhaseWork, lines, linear, shift, frequency, cs))
            return 0;
        value = PhaseLeadShown(raw, lines, linear, shift, frequency, cs);
        return 1;
    }
    case kHookRampWork:
    case kHookRampDrive:
        return RampDisplay(id, value);
    default:
        return 0;
    }
}

int CQvxGuiTavroCommutationConfigPpg::CustomConvert(int id, double& value, CWnd* control)
{
    CQvxGuiEditCtrl* edit = dynamic_cast<CQvxGuiEditCtrl*>(control);
    if (!edit)
        return 0;
    if (id == kHookPoles) {
        const int kind = m_sheetOwner->GetLinearOrRotary();
        if (kind < 0)
            return 0;
        if (kind == 1)
            return 1;
        bool outOfRange = false;
        value = CCommutationFormulas::ConfigPagePoles(value, outOfRange);
        if (outOfRange)
            CGuiUpdateItem::MessageBox(RangeText(edit->GetControlName(), 2, 100), MB_OK, 0, IDOK);
        return 1;
    }
    if (id == kHookPhaseEntry) {
        double low = 0, high = 0;
        if (!PhaseLeadRange(low, high))
            return 0;
        if (low > high)
            std::swap(low, high);
        if (!(value >= low && value <= high)) {
            CGuiUpdateItem::MessageBox(RangeText(edit->GetControlName(), low, high), MB_OK, 0, IDOK);
            value = std::isfinite(value) ? std::clamp(value, low, high) : low;
        }
        value = CutTo3Decimals(value);
        return 1;
    }
    if (id == kHookRampWork) {
        const std::optional<double> step = CurrentStep(kInitialWork, kFinalWork, false);
        const std::optional<double> enteredStep = CurrentStep(kInitialWork, kFinalWork, true);
        if (!step || !enteredStep)
            return 0;
        const double low = 0.005;
        const double high = 32767 * *step + 0.005;
        if (!(value >= low && value <= high)) {
            CGuiUpdateItem::MessageBox(RangeText(edit->GetControlName(), low, high), MB_OK, 0, IDOK);
            value = std::isfinite(value) ? std::clamp(value, low, high) : low;
        }
        const std::optional<int> cir = CCommutationFormulas::RampCir(value - 0.005, 0, *enteredStep / 40.0 * 1e6);
        if (!cir)
            return 0;
        value = CutTo3Decimals(*cir * *step + 0.005);
        return 1;
    }
    return 0;
}

int CQvxGuiTavroCommutationConfigPpg::CustomSend(int id, double value, CWnd* /*control*/)
{
    const BYTE address = static_cast<BYTE>(GetDrive());
    if (id == kNoSend)
        return 1;
    if (id == kSendPhase) {
        double lines = 0, frequency = 0;
        int linear = 0, shift = 0, cs = 0;
        if (!PhaseLeadInputs(true, lines, linear, shift, frequency, cs))
            return 0;
        const std::optional<double> raw = PhaseLeadRaw(value, lines, linear, shift, frequency, cs);
        if (!raw)
            return 0;
        SendCommand(address, kCplCode, static_cast<LONG>(std::clamp(*raw, -32768.0, 32767.0)));
        m_cpl.Query(address, kCplCode, 0, kOnceFlags);
        return 1;
    }
    if (id == kSendRamp) {
        const std::optional<double> step = CurrentStep(kInitialWork, kFinalWork, true);
        if (!step)
            return 0;
        // Rounded to the nearest step: a shown time sent back unchanged keeps its register.
        const std::optional<int> cir = CCommutationFormulas::RampCir(value - 0.005, 0, *step / 40.0 * 1e6);
        if (!cir)
            return 0;
        SendCommand(address, kCirCode, *cir);
        m_cir.Query(address, kCirCode, 0, kOnceFlags);
        return 1;
    }
    return 0;
}

// ---------------------------------------------------------------------------
int CQvxGuiTavroCommutationConfigPpg::CheckAutoPhaseChanges()
{
    CQvxGuiEditCtrl& work = m_edits[kAlignWork];
    CString workText, driveText;
    work.GetWindowText(workText);
    m_edits[kAlignDrive].GetWindowText(driveText);
    const bool offsetsEqual = workText == driveText;
    if (offsetsEqual && IsChecked(IDC_CCFG_SEQUENCE_WORK) == IsChecked(IDC_CCFG_SEQUENCE_DRIVE)) {
        work.SetColour(CQvxGuiEditCtrl::kColourOffline, kReadOnlyColour);
        work.Invalidate();
        return 0;
    }
    if (!offsetsEqual) {
        CGuiUpdateItem::MessageBox(
            "Warning: Please switch the drive to Current Mode before changing Auto-Phase - Alignment Offset(degs)",
            MB_OK, 0, IDOK);
        work.SetColour(CQvxGuiEditCtrl::kColourOffline, kWarningColour);
        work.Invalidate();
    } else {
        CGuiUpdateItem::MessageBox(
            "Warning: Please switch the drive to Current Mode before changing Auto-Phase - Phase Sequence Reverse", MB_OK,
            0, IDOK);
    }
    return 1;
}

void CQvxGuiTavroCommutationConfigPpg::SuspendAutoPhasePolling(int suspend)
{
    CQvxGuiControl* controls[] = {&m_edits[kAlignWork], &m_edits[kAlignDrive], &m_sequenceDrive};
    for (CQvxGuiControl* control : controls) {
        control->SetModified(0);
        control->EnablePolling(suspend ? 0 : 1);
    }
}

