#include "setup/motor/windows/QvxGuiTavroCommutationSubDlg.h"

#include "distribution/parameters/GlobalParameterKinds.h"
#include "framework/GuiAppServices.h"
#include "platform/ui/Button.h"
#include "setup/motor/CommutationConfigLayout.h"
#include "setup/motor/CommutationSheetCalc.h"
#include "setup/motor/windows/QvxGuiTavroCommutationConfigPpg.h"
#include "setup/motor/windows/QvxGuiTavroCommutationFeedbackConfigPpg.h"
#include "setup/motor/windows/QvxGuiTavroCommutationSheet.h"

BEGIN_MESSAGE_MAP(CQvxGuiTavroCommutationSubDlg, CDialog)
    ON_BN_CLICKED(IDC_CSUB_QUADRATURE, &CQvxGuiTavroCommutationSubDlg::OnQuadrature)
    ON_BN_CLICKED(IDC_CSUB_SINCOS, &CQvxGuiTavroCommutationSubDlg::OnSinCos)
    ON_BN_CLICKED(IDC_CSUB_RESOLVER, &CQvxGuiTavroCommutationSubDlg::OnResolver)
    ON_BN_CLICKED(IDC_CSUB_ABS_ENCODER, &CQvxGuiTavroCommutationSubDlg::OnAbsEncoder)
    ON_BN_CLICKED(IDC_CSUB_HALL, &CQvxGuiTavroCommutationSubDlg::OnHall)
    ON_BN_CLICKED(IDC_CSUB_TACH, &CQvxGuiTavroCommutationSubDlg::OnTach)
    ON_BN_CLICKED(IDC_CSUB_TWO_PHASE, &CQvxGuiTavroCommutationSubDlg::OnTwoPhase)
    ON_BN_CLICKED(IDC_CSUB_BRUSH, &CQvxGuiTavroCommutationSubDlg::OnBrush)
    ON_BN_CLICKED(IDC_CSUB_BRUSHLESS, &CQvxGuiTavroCommutationSubDlg::OnBrushless)
    ON_BN_CLICKED(IDC_CSUB_INDUCTION, &CQvxGuiTavroCommutationSubDlg::OnInduction)
    ON_BN_CLICKED(IDC_CSUB_LINEAR_WORK, &CQvxGuiTavroCommutationSubDlg::OnLinearWork)
    ON_BN_CLICKED(IDC_CSUB_ROTARY_WORK, &CQvxGuiTavroCommutationSubDlg::OnRotaryWork)
END_MESSAGE_MAP()

namespace {
constexpr WORD kCimCode = 3373;
constexpr WORD kMftCode = 13524;
constexpr WORD kPsfCode = 16998;
constexpr WORD kMcCode = 419;
constexpr WORD kHardwareCode = 13452;
constexpr WORD kHardwareIndexCode = 13449;
constexpr WORD kHardwareIndex = 14;
constexpr BYTE kOnceFlags = 0x60;

struct FeedbackBox {
    int id;
    int bit;
};
constexpr FeedbackBox kBoxes[] = {
    {IDC_CSUB_QUADRATURE, kFeedbackQuadrature}, {IDC_CSUB_SINCOS, kFeedbackSinCos},
    {IDC_CSUB_RESOLVER, kFeedbackResolver},     {IDC_CSUB_ABS_ENCODER, kFeedbackAbsEncoder},
    {IDC_CSUB_TACH, kFeedbackTach},             {IDC_CSUB_HALL, kFeedbackHall},
};
constexpr int kTypeRadios[] = {IDC_CSUB_TWO_PHASE, IDC_CSUB_BRUSH, IDC_CSUB_BRUSHLESS, IDC_CSUB_INDUCTION};

int BitOfBox(int id)
{
    for (const FeedbackBox& box : kBoxes)
        if (box.id == id)
            return box.bit;
    return 0;
}
}  // namespace

CQvxGuiTavroCommutationSubDlg::CQvxGuiTavroCommutationSubDlg(CQvxGuiTavroCommutationSheet* sheet)
    : CDialog(IDD, nullptr), m_sheet(sheet)
{
}

CQvxGuiTavroCommutationSubDlg::~CQvxGuiTavroCommutationSubDlg()
{
    CancelQueries();
}

BOOL CQvxGuiTavroCommutationSubDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    UpdateAvailability();
    return TRUE;
}

void CQvxGuiTavroCommutationSubDlg::RequeryDrive(int drive)
{
    const BYTE address = static_cast<BYTE>(drive);
    m_cim.Query(address, kCimCode, 0, kOnceFlags);
    m_mft.Query(address, kMftCode, 0, kOnceFlags);
    m_mc.Query(address, kMcCode, 0, kOnceFlags);
}

void CQvxGuiTavroCommutationSubDlg::StartQueries(int drive)
{
    RequeryDrive(drive);
    const BYTE address = static_cast<BYTE>(drive);
    m_psf.Query(address, kPsfCode, 100, 0);
    m_hardware.QueryWithArgument(address, kHardwareCode, kHardwareIndexCode, kHardwareIndex, 0);
    m_kindSet = 0;
    m_feedbackChanged = 0;
    m_typeChanged = 0;
    // Queries start again after a child dialog or a reconnection as well; only
    // another drive leaves the user's choices behind.
    if (drive != m_queriedDrive)
        ChoicesSent();
    m_queriedDrive = drive;
}

void CQvxGuiTavroCommutationSubDlg::ChoicesSent()
{
    m_choicePicked = 0;
    m_kindPicked = 0;
}

void CQvxGuiTavroCommutationSubDlg::CancelQueries()
{
    for (CDmQueryVar* query : {&m_cim, &m_mft, &m_psf, &m_mc, &m_hardware})
        query->Cancel();
}

bool CQvxGuiTavroCommutationSubDlg::HasInitialData() const
{
    return m_cim.HasResponse() && m_hardware.HasResponse() && m_mft.HasResponse();
}

std::optional<int> CQvxGuiTavroCommutationSubDlg::GetDriveValue(const CDmQueryVar& query) const
{
    LONG value = 0;
    if (!query.GetValue(value))
        return std::nullopt;
    return static_cast<int>(value);
}

std::optional<int> CQvxGuiTavroCommutationSubDlg::GetHardwareWord() const
{
    return GetDriveValue(m_hardware);
}

int CQvxGuiTavroCommutationSubDlg::GetLinearOrRotary() const
{
    if (!m_kindSet)
        return -1;
    return IsChecked(IDC_CSUB_LINEAR_WORK) ? 1 : 0;
}

int CQvxGuiTavroCommutationSubDlg::GetFeedbackMask() const
{
    int mask = 0;
    for (const FeedbackBox& box : kBoxes)
        if (IsChecked(box.id))
            mask |= box.bit;
    return mask;
}

void CQvxGuiTavroCommutationSubDlg::SetFeedbackBoxes(int mask)
{
    for (const FeedbackBox& box : kBoxes)
        CheckDlgButton(box.id, (mask & box.bit) ? BST_CHECKED : BST_UNCHECKED);
}

// ---------------------------------------------------------------------------
void CQvxGuiTavroCommutationSubDlg::OnFeedbackBox(int id)
{
    const int bit = BitOfBox(id);
    if (m_sheet->GetEnableBit()) {
        CheckDlgButton(id, IsChecked(id) ? BST_UNCHECKED : BST_CHECKED);
        m_sheet->CGuiUpdateItem::MessageBox("Please DISABLE drive before changing the feedback type.", MB_OK, 0, IDOK);
        return;
    }
    if (IsChecked(id))
        SetFeedbackBoxes(CCommutationSheetCalc::ApplyExclusions(GetFeedbackMask(), bit));
    m_feedbackChanged = 1;
    m_choicePicked = 1;
}

void CQvxGuiTavroCommutationSubDlg::OnMotorTypeRadio(int type)
{
    if (m_currentType >= 1 && m_currentType <= 4)
        m_rememberedMask[m_currentType] = GetFeedbackMask();
    m_typeChanged = 1;
    m_choicePicked = 1;
    m_currentType = type;
}

void CQvxGuiTavroCommutationSubDlg::OnKindRadio(int linear)
{
    m_kindPicked = 1;
    m_sheet->OnMotorKindChosen(linear);
}

void CQvxGuiTavroCommutationSubDlg::PickMotorType(int type)
{
    if (type < 1 || type > 4)
        return;
    for (int i = 0; i < 4; ++i)
        CheckDlgButton(kTypeRadios[i], i + 1 == type ? BST_CHECKED : BST_UNCHECKED);
    OnMotorTypeRadio(type);
}

void CQvxGuiTavroCommutationSubDlg::PickMotorKind(int linear)
{
    CheckDlgButton(IDC_CSUB_LINEAR_WORK, linear ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(IDC_CSUB_ROTARY_WORK, linear ? BST_UNCHECKED : BST_CHECKED);
    OnKindRadio(linear);
}

void CQvxGuiTavroCommutationSubDlg::PickFeedback(int bit, bool checked)
{
    for (const FeedbackBox& box : kBoxes)
        if (box.bit == bit) {
            CheckDlgButton(box.id, checked ? BST_CHECKED : BST_UNCHECKED);
            OnFeedbackBox(box.id);
        }
}

// ---------------------------------------------------------------------------
void CQvxGuiTavroCommutationSubDlg::SetTypeFromCim(int cim)
{
    const std::optional<int> type = CCommutationSheetCalc::MotorTypeFromCim(cim);
    if (m_choicePicked) {
        if (type)
            m_driveType = *type;
        return;
    }
    if (type)
        for (int i = 0; i < 4; ++i)
            CheckDlgButton(kTypeRadios[i], i + 1 == *type ? BST_CHECKED : BST_UNCHECKED);
    m_driveType = ReadTypeFromRadios();
    m_currentType = m_driveType;
}

int CQvxGuiTavroCommutationSubDlg::ReadTypeFromRadios() const
{
    for (int i = 0; i < 4; ++i)
        if (IsChecked(kTypeRadios[i]))
            return i + 1;
    return 0;
}

void CQvxGuiTavroCommutationSubDlg::ShowFeedbackFromDrive(std::optional<int> mask)
{
    const int mft = mask ? *mask : GetDriveValue(m_mft).value_or(0);
    SetFeedbackBoxes(CCommutationSheetCalc::FeedbackFromDrive(mft, GetDriveValue(m_cim).value_or(0)));
    if (m_currentType >= 1 && m_currentType <= 4)
        m_rememberedMask[m_currentType] = GetFeedbackMask();
}

void CQvxGuiTavroCommutationSubDlg::ShowDriveFeedback()
{
    ShowFeedbackFromDrive(std::nullopt);
}

void CQvxGuiTavroCommutationSubDlg::ShowDriveKind()
{
    const std::optional<int> mc = GetDriveValue(m_mc);
    if (!mc)
        return;
    const bool linear = *mc == 1;
    if (!m_kindPicked) {
        CheckDlgButton(IDC_CSUB_LINEAR_WORK, linear ? BST_CHECKED : BST_UNCHECKED);
        CheckDlgButton(IDC_CSUB_ROTARY_WORK, linear ? BST_UNCHECKED : BST_CHECKED);
    }
    CheckDlgButton(IDC_CSUB_LINEAR_DRIVE, linear ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(IDC_CSUB_ROTARY_DRIVE, linear ? BST_UNCHECKED : BST_CHECKED);
    m_kindSet = 1;
}

void CQvxGuiTavroCommutationSubDlg::UpdateAvailability()
{
    const double firmware = m_sheet->GetFirmwareVersion().value_or(0.0);
    const bool versionKnown = m_sheet->GetFirmwareVersion().has_value();
    const bool absEncFirmwareOk = !versionKnown || AppFunctionUnlockVersion("CommutationAbsEnc") <= firmware;
    const int available = CCommutationSheetCalc::AvailableFeedback(m_currentType, GetHardwareWord(), absEncFirmwareOk);
    for (const FeedbackBox& box : kBoxes) {
        const bool on = (available & box.bit) != 0;
        if (CWnd* control = GetDlgItem(box.id))
            control->EnableWindow(on);
        if (!on)
            CheckDlgButton(box.id, BST_UNCHECKED);
    }
}

void CQvxGuiTavroCommutationSubDlg::ArrangePages(int selectDefault, int takeDriveMethod)
{
    const int mask = GetFeedbackMask();
    m_sheet->GetConfigPage().ArrangeForMotorAndFeedback(m_currentType, selectDefault, takeDriveMethod, mask);
    m_sheet->GetFeedbackPage().ArrangeFeedbackPage(mask, m_currentType);
}

void CQvxGuiTavroCommutationSubDlg::ShowPosition(LONG position)
{
    CString text;
    text.Format("%ld", static_cast<long>(position));
    const bool negative = position < 0;
    CString digits = negative ? text.Mid(1) : text;
    CString grouped;
    const int length = digits.GetLength();
    for (int i = 0; i < length; ++i) {
        if (i > 0 && (length - i) % 3 == 0)
            grouped += ',';
        grouped += digits[i];
    }
    SetDlgItemText(IDC_CSUB_POSITION, negative ? "-" + grouped : grouped);
}

// ---------------------------------------------------------------------------
void CQvxGuiTavroCommutationSubDlg::Update()
{
    const int userChanged = m_feedbackChanged || m_typeChanged;
    if (userChanged) {
        if (m_typeChanged && m_currentType >= 1 && m_currentType <= 4) {
            int& remembered = m_rememberedMask[m_currentType];
            if (remembered >= 0)
                SetFeedbackBoxes(remembered);
            else
                remembered = GetFeedbackMask();
        }
        m_feedbackChanged = 0;
    }
    // A read-back shows the drive's type and feedback only while the user has no
    // choice of their own waiting to be sent; else it is the drive's side alone.
    const bool followsDrive = !m_choicePicked;
    const bool mftArrived = m_mft.HasChanged(1) != 0;
    const bool cimArrived = m_cim.HasChanged(1) != 0;
    if (cimArrived)
        if (const std::optional<int> cim = GetDriveValue(m_cim))
            SetTypeFromCim(*cim);
    const bool mftChanged = mftArrived && followsDrive;
    const bool cimChanged = cimArrived && followsDrive;
    // The boxes read the drive's CIM as well as its MFT.
    if (mftChanged || cimChanged)
        ShowDriveFeedback();
    LONG value = 0;
    if (m_psf.HasChanged(1) && m_psf.GetValue(value))
        ShowPosition(value);
    if (m_mc.HasChanged(1))
        ShowDriveKind();
    if (userChanged || mftChanged || cimChanged) {
        if (m_typeChanged || cimChanged)
            UpdateAvailability();
        ArrangePages(m_typeChanged, m_typeChanged || cimChanged);
    }
    m_typeChanged = 0;
}

bool CQvxGuiTavroCommutationSubDlg::DiffersFromDrive()
{
    // Only what was read from the drive counts, read as the method page reads it: a value outside the
    // methods is no method.
    const std::optional<int> cim = GetDriveValue(m_cim);
    if (cim && m_sheet->GetConfigPage().GetSelectedMethod() != CQvxGuiTavroCommutationConfigPpg::DriveMethodOf(*cim))
        return true;
    const std::optional<int> mft = GetDriveValue(m_mft);
    if (mft && GetFeedbackMask() != CCommutationSheetCalc::FeedbackFromDrive(*mft, cim.value_or(0)))
        return true;
    return IsChecked(IDC_CSUB_LINEAR_WORK) != IsChecked(IDC_CSUB_LINEAR_DRIVE);
}

bool CQvxGuiTavroCommutationSubDlg::DriveChangesPending()
{
    return m_cim.HasChanged(0) || m_mft.HasChanged(0) || m_mc.HasChanged(0);
}
