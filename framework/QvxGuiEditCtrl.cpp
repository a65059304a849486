#include "QvxGuiEditCtrl.h"

#include <cmath>
#include <cstdlib>

#include "GuiUpdateDlg.h"
#include "GuiUpdateList.h"
#include "QvxGuiCheckboxCtrl.h"
#include "comm/protocol/AmpErrors.h"
#include "database/QvxDatabaseRecordset.h"
#include "distribution/parameters/GlobalParameterTable.h"
#include "foundation/NumberHelpers.h"
#include "foundation/TextHelpers.h"
#include "platform/core/MessageBox.h"
#include "platform/ui/DC.h"
#include "platform/ui/Dialog.h"

namespace {
constexpr int kTimeoutCode = 36;
constexpr int kLongTimeoutCode = 512;
constexpr int kOfflineCode = 37;

CString WithoutCommas(const CString& text)
{
    return RemoveAllSubstrings(text, ",");
}
}  // namespace

BEGIN_MESSAGE_MAP(CQvxGuiEditCtrl, CEdit)
    ON_WM_SETFOCUS()
    ON_WM_KILLFOCUS()
    ON_WM_CHAR()
    ON_WM_KEYDOWN()
END_MESSAGE_MAP()

CQvxGuiEditCtrl::CQvxGuiEditCtrl()
{
    m_name = "Edit";
}

CQvxGuiEditCtrl::~CQvxGuiEditCtrl()
{
    Unsubscribe();
    DetachFromWindow();
}

LRESULT CQvxGuiEditCtrl::HandleWindowMessage(HWND window, UINT message, WPARAM, LPARAM)
{
    if (message == WM_LBUTTONUP && window == GetAttachedWindow())
        SendValue();
    return 0;
}

CGlobalParameterTable* CQvxGuiEditCtrl::ParameterTable() const
{
    const CGuiUpdateDlg* owner = GetOwnerWindow();
    if (!owner || !owner->GetUpdateList())
        return nullptr;
    return owner->GetUpdateList()->GetParameterTable();
}

void CQvxGuiEditCtrl::Subscribe(const ParameterBinding& binding)
{
    CGlobalParameterTable* table = ParameterTable();
    if (table && binding.bound && GetDriveAddress() >= 0)
        table->AddParameterClient(GetDriveAddress(), binding.id, this);
}

void CQvxGuiEditCtrl::Unsubscribe()
{
    if (CGlobalParameterTable* table = ParameterTable())
        table->RemoveParameterClient(this);
}

// ---------------------------------------------------------------------------
bool CQvxGuiEditCtrl::Convert(const ParameterBinding& binding, double scale, double& value, int direction)
{
    if (binding.bound) {
        CGlobalParameterTable* table = ParameterTable();
        const bool divide = (binding.direction != 0) != (direction != 0);
        return table && table->ConvertValue(GetDriveAddress(), binding.id, value, divide != (binding.reciprocal != 0));
    }
    if (direction == 0) {
        value *= scale;
        return true;
    }
    if (scale == 0.0)
        return false;
    value /= scale;
    return true;
}

int CQvxGuiEditCtrl::ConvertValue(double& out, double value, int direction)
{
    if (!Convert(m_value, m_valueScale, value, direction))
        return 0;
    out = value;
    return 1;
}

bool CQvxGuiEditCtrl::DisplayConversion(double raw, double& shown)
{
    // A value that cannot be computed (infinite, not a number) is no value to show.
    shown = raw;
    return std::isfinite(raw) && Convert(m_display, m_displayScale, shown, 0) && std::isfinite(shown);
}

CString CQvxGuiEditCtrl::FormatShown(double value) const
{
    CString text;
    text.Format(m_displayFormat, value);
    return text;
}

CString CQvxGuiEditCtrl::Grouped(const CString& text) const
{
    if (!(m_flags & kCtrlGroupDigits))
        return text;
    return InsertDigitGroupSeparators(WithoutCommas(text), ",", 3);
}

void CQvxGuiEditCtrl::SetTextIfChanged(const CString& text)
{
    CString current;
    GetWindowText(current);
    if (current != text)
        SetWindowText(text);
    else
        SetModify(FALSE);
}

void CQvxGuiEditCtrl::SetDisplayFormat(const char* format, int redisplay)
{
    m_displayFormat = format;
    if (redisplay) {
        m_lastShown.Empty();
        UpdateDisplay();
    }
}

void CQvxGuiEditCtrl::SetDisplayScale(double factor)
{
    m_displayScale = factor;
    m_display = ParameterBinding{};
    if (!m_modified) {
        m_lastShown.Empty();
        UpdateDisplay();
    }
}

void CQvxGuiEditCtrl::BindGlobalParameter(int id, int direction, int reciprocal)
{
    m_display = ParameterBinding{id, direction, reciprocal, 1};
    Subscribe(m_display);
    m_lastShown.Empty();
    UpdateDisplay();
}

void CQvxGuiEditCtrl::BindValueParameter(int id, int direction, int reciprocal)
{
    m_value = ParameterBinding{id, direction, reciprocal, 1};
    Subscribe(m_value);
}

void CQvxGuiEditCtrl::ShowValue(double value)
{
    SetWindowText(Grouped(FormatShown(value)));
}

double CQvxGuiEditCtrl::GetEnteredValue()
{
    CString text;
    GetWindowText(text);
    return std::atof(WithoutCommas(text));
}

// ---------------------------------------------------------------------------
void CQvxGuiEditCtrl::UpdateDisplay()
{
    if (!GetSafeHwnd() || !m_ownerList || (m_flags & kCtrlNeverRewrite))
        return;
    CString text;
    GetWindowText(text);
    if (m_polling) {
        m_unavailable = 0;
        switch (m_replyError) {
        case 0: {
            double shown = 0.0;
            if (DisplayConversion(m_rawValue, shown)) {
                if (m_absolute)
                    shown = std::fabs(shown);
                text = FormatShown(shown);
                m_shownValue = shown;
                m_reportedError = 0;
            } else {
                text = "Unavailable";
                m_unavailable = 1;
            }
            break;
        }
        case kOfflineCode:
            text = "Off-line...";
            break;
        case kError:
            text = "ERROR";
            break;
        case kWaiting:
            text = "Waiting...";
            break;
        default:
            if ((m_replyError == kTimeoutCode || m_replyError == kLongTimeoutCode) && (m_flags & kCtrlWaitOnTimeout)) {
                text = "Waiting...";
            } else if (m_flags & kCtrlReportReplyError) {
                m_shownValue = std::atof(WithoutCommas(text));
                // A lasting error is told once, not at every poll.
                if (m_reportedError != m_replyError) {
                    m_reportedError = m_replyError;
                    CString message;
                    message.Format("%s %s in field \"%s\".", "ERROR:", GetAmpErrorString(m_replyError).GetString(),
                                   m_name.GetString());
                    CQvxGuiControl::MessageBox(message, MB_OK, IDOK);
                }
            } else {
                text = "ERROR";
                m_unavailable = 1;
            }
        }
    } else if (m_flags & kCtrlBlankOffline) {
        text.Empty();
    }
    const CGuiUpdateDlg* owner = GetOwnerWindow();
    if ((m_flags & kCtrlBlankWhenDisabled) && owner && !owner->IsWindowEnabled())
        text.Empty();
    if (m_replyError == 0 && !m_unavailable)
        text = Grouped(text);
    if (text != m_lastShown || m_modified) {
        SetModified(0);
        SetTextIfChanged(text);
        m_lastShown = text;
    }
}

void CQvxGuiEditCtrl::CommitEntry()
{
    if (!m_hasWriteRegister || (m_flags & kCtrlNeverCommit) || !GetSafeHwnd())
        return;
    double value = GetEnteredValue();
    CString rangeMessage;
    if (m_limitsInUserUnits) {
        const double low = RoundByFormat(m_displayFormat, m_minimum);
        const double high = RoundByFormat(m_displayFormat, m_maximum);
        if (!ClampWithTolerance(low, high, 0.0, value) && (m_flags & kCtrlReportRange))
            rangeMessage = FormatRangeMessage(m_name, TRUE, low, high);
    }
    double drive = 0.0;
    if (!ConvertValue(drive, value, 0))
        return;
    if (m_customSendId == -1 || (m_flags & kCtrlConvertCustomSend)) {
        if (!m_limitsInUserUnits && !ClampWithTolerance(m_minimum, m_maximum, 0.5, drive) &&
            (m_flags & kCtrlReportRange)) {
            double low = m_minimum, high = m_maximum;
            ConvertValue(low, m_minimum, 1);
            ConvertValue(high, m_maximum, 1);
            rangeMessage = FormatRangeMessage(m_name, TRUE, RoundByFormat(m_displayFormat, std::min(low, high)),
                                              RoundByFormat(m_displayFormat, std::max(low, high)));
        }
        drive = RoundHalfAway(drive);
        if (!ConvertValue(value, drive, 1))
            return;
    }
    m_shownValue = value;
    SetWindowText(Grouped(FormatShown(value)));
    m_edited = 0;
    if (!rangeMessage.IsEmpty())
        CQvxGuiControl::MessageBox(rangeMessage, MB_OK, IDOK);
}

// ---------------------------------------------------------------------------
void CQvxGuiEditCtrl::SetModified(int modified)
{
    const int changed = modified != m_modified;
    CQvxGuiControl::SetModified(modified);
    if (changed && GetSafeHwnd())
        Invalidate();
}

void CQvxGuiEditCtrl::GetValueText(CString& text)
{
    text.Empty();
    if (GetSafeHwnd())
        GetWindowText(text);
}

void CQvxGuiEditCtrl::SetValueText(const char* text)
{
    if (!GetSafeHwnd())
        return;
    SetWindowText(Grouped(text));
    ApplyCustomConversion();
    CommitEntry();
    SetModified(1);
    if (m_hasWriteRegister && m_modified && m_sendOnEntry) {
        if (SendValue() && m_polling)
            m_awaitingEcho = 1;
        SetModified(0);
    }
}

void CQvxGuiEditCtrl::RestartPolling()
{
    m_lastShown.Empty();
    CQvxGuiControl::RestartPolling();
}

void CQvxGuiEditCtrl::Initialise()
{
    if (m_display.bound)
        Subscribe(m_display);
    if (m_value.bound)
        Subscribe(m_value);
}

void CQvxGuiEditCtrl::Shutdown()
{
    CQvxGuiControl::Shutdown();
    Unsubscribe();
}

void CQvxGuiEditCtrl::StoreResponse(const CAmpResponseToGui& response)
{
    m_state = 3;
    // A write's echo carries no register value to show.
    if (RemoveSentCommand(static_cast<int>(response.m_queryId)))
        return;
    LONG raw = 0;
    switch (response.m_width) {
    case 1: raw = static_cast<signed char>(response.m_value & 0xFF); break;
    case 2: raw = static_cast<short>(response.m_value & 0xFFFF); break;
    case 4: raw = response.m_value; break;
    default: break;
    }
    m_rawValue = static_cast<double>(raw) + m_receiveOffset;
    m_replyError = response.m_error;
    if (TakesReplies()) {
        UpdateDisplay();
        m_awaitingEcho = 0;
    }
}

// "Unavailable", "Waiting...", "ERROR": the edit holds no value to list or send.
bool CQvxGuiEditCtrl::ShowsNumber()
{
    CString text;
    GetValueText(text);
    text.Trim();
    return StartsLikeNumber(text) != 0;
}

int CQvxGuiEditCtrl::GetIntValue(int& value)
{
    double drive = 0.0;
    if (!GetSafeHwnd() || !ShowsNumber() || !ConvertValue(drive, m_shownValue, 0))
        return 0;
    value = static_cast<int>(RoundHalfAway(drive));
    return 1;
}

int CQvxGuiEditCtrl::GetDoubleValue(double& value)
{
    if (!ShowsNumber())
        return 0;
    value = m_shownValue;
    return 1;
}

int CQvxGuiEditCtrl::ApplyCustomConversion()
{
    CGuiUpdateDlg* owner = GetOwnerWindow();
    if (m_customConversionId == -1 || m_inCustomConversion || !owner)
        return 0;
    m_inCustomConversion = 1;
    double value = GetEnteredValue();
    const int done = owner->CustomConvert(m_customConversionId, value, this);
    if (done)
        ShowValue(value);
    m_inCustomConversion = 0;
    return done ? 1 : 0;
}

void CQvxGuiEditCtrl::OnConversionChanged()
{
    if (ApplyCustomConversion())
        return;
    // A reply that came before its conversion reads "Unavailable" until it is shown again.
    if (m_state == 3 && !m_edited && !m_modified) {
        m_lastShown.Empty();
        UpdateDisplay();
    }
}

int CQvxGuiEditCtrl::AcceptEntry()
{
    if (!m_edited)
        return 0;
    ApplyCustomConversion();
    CommitEntry();
    CGuiUpdateDlg* owner = GetOwnerWindow();
    if ((m_flags & kCtrlEnableByCheckbox) && m_enablingBox) {
        EnableWindow(m_enablingBox->GetCheck() != 0);
        if (owner)
            owner->Invalidate();
    }
    if ((m_flags & kCtrlTabOnEnter) && owner)
        owner->NextDlgCtrl();
    return 1;
}

void CQvxGuiEditCtrl::ProcessResponses()
{
    CQvxGuiControl::ProcessResponses();
    if (m_enablingBox) {
        const int checked = m_enablingBox->GetCheck() != 0;
        if (checked != m_polling) {
            EnablePolling(checked);
            if (!checked && (m_flags & kCtrlBlankOffline)) {
                SetWindowText("");
                m_lastShown.Empty();
            } else {
                UpdateDisplay();
            }
        }
        if (m_flags & kCtrlEnableByCheckbox)
            EnableWindow(checked);
    }
    CGuiUpdateDlg* owner = GetOwnerWindow();
    if (m_customPollId == -1 || !owner)
        return;
    double value = 0.0;
    const int answer = owner->CustomPoll(m_customPollId, value, this);
    // Nothing new from the window: what the edit shows (maybe the user's entry) stays.
    if (answer == 2)
        return;
    if (answer == 1 || answer == 3) {
        m_rawValue = value;
        m_replyError = 0;
        if (answer == 3)
            m_lastShown.Empty();
    } else if (answer == -1) {
        m_replyError = kError;
    } else {
        m_replyError = kWaiting;
    }
    if ((m_flags & kCtrlBlankWhenDisabled) && !owner->IsWindowEnabled())
        SetTextIfChanged("");
    else if (TakesReplies())
        UpdateDisplay();
}

// An entry typed or committed but not sent yet stays until it is sent: the
// next poll must not put the drive's value back under the user's Send.
bool CQvxGuiEditCtrl::TakesReplies() const
{
    return (m_flags & kCtrlTakeAllReplies) || !m_hasWriteRegister ||
           (!m_edited && !m_modified && !(GetSafeHwnd() && GetModify()));
}

// The toolkit's edit knows whether the user changed its text since the program
// last set it, also when the typing came without a character message; a number
// the program put there is never taken back in, so it keeps its full precision.
bool CQvxGuiEditCtrl::HoldsUncommittedNumber() { return GetSafeHwnd() && GetModify() && ShowsNumber(); }

void CQvxGuiEditCtrl::CommitPendingEntry()
{
    if (!m_edited && !HoldsUncommittedNumber())
        return;
    // Typing that came without character messages never marked the entry; marked
    // now, a reply arriving under the send's question cannot put the old value back.
    if (!(m_flags & kCtrlTakeAllReplies) && m_hasWriteRegister)
        SetModified(1);
    ApplyCustomConversion();
    CommitEntry();
}

int CQvxGuiEditCtrl::SendValue()
{
    // What the window lists and sends is what the user typed, even before Enter.
    CommitPendingEntry();
    return CQvxGuiControl::SendValue();
}

void CQvxGuiEditCtrl::OnPollingChanged(int /*on*/)
{
    m_lastShown.Empty();
    m_awaitingEcho = 0;
}

void CQvxGuiEditCtrl::ClearValue()
{
    if (GetSafeHwnd())
        SetWindowText("");
    m_lastShown.Empty();
}

void CQvxGuiEditCtrl::ShowRecordsetField()
{
    CQvxDatabaseRecordset* recordset = GetRecordset();
    if (!recordset)
        return;
    CString text;
    if (!recordset->GetCurrentRecord())
        text = "<NO DATA>";
    else if (!recordset->GetFieldValueAt(FALSE, m_recordsetField, text))
        text = "<INVALID FIELD>";
    if (StartsLikeNumber(text))
        SetValueText(text);
}

// ---------------------------------------------------------------------------
int CQvxGuiEditCtrl::GetColourState() const
{
    if (m_unavailable)
        return kColourUnavailable;
    // A greyed edit takes the offline colour: its value cannot be edited or sent now.
    if (((m_hasPollRegister || m_customPollId != -1) && !m_polling) || (GetSafeHwnd() && !IsWindowEnabled()))
        return kColourOffline;
    if (m_modified)
        return kColourModified;
    return kColourNormal;
}

HBRUSH CQvxGuiEditCtrl::PrepareColours(CDC* dc)
{
    const COLORREF colour = m_colours[GetColourState()];
    dc->SetTextColor(m_textColour);
    dc->SetBkColor(colour);
    if (!m_brush.GetSafeHandle() || colour != m_brushColour) {
        m_brush.DeleteObject();
        m_brush.CreateSolidBrush(colour);
        m_brushColour = colour;
    }
    return m_brush;
}

// ---------------------------------------------------------------------------
void CQvxGuiEditCtrl::OnSetFocus(CWnd* previous)
{
    CEdit::OnSetFocus(previous);
    m_editing = 1;
}

void CQvxGuiEditCtrl::OnKillFocus(CWnd* next)
{
    CEdit::OnKillFocus(next);
    CommitPendingEntry();
    if (m_hasWriteRegister && m_modified && m_sendOnEntry)
        SendValue();
    m_editing = 0;
}

void CQvxGuiEditCtrl::OnChar(UINT ch, UINT repeat, UINT flags)
{
    if (ch != VK_RETURN && ch != VK_TAB && ch != VK_ESCAPE) {
        m_edited = 1;
        if (!(m_flags & kCtrlTakeAllReplies) && m_hasWriteRegister)
            SetModified(1);
    }
    CEdit::OnChar(ch, repeat, flags);
}

void CQvxGuiEditCtrl::OnKeyDown(UINT key, UINT repeat, UINT flags)
{
    if (key == VK_DELETE) {
        m_edited = 1;
        if (!(m_flags & kCtrlTakeAllReplies) && m_hasWriteRegister)
            SetModified(1);
    }
    CEdit::OnKeyDown(key, repeat, flags);
}
