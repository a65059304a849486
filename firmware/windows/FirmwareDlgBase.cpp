#include "firmware/windows/FirmwareDlgBase.h"

#include <cstring>

#include "firmware/windows/FirmwareLinkControl.h"
#include "platform/io/SerialPortEnum.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/ProgressCtrl.h"
#include "platform/ui/WinApp.h"

namespace {
constexpr int kBarRange = 1000;
}  // namespace

CFirmwareDlgBase::CFirmwareDlgBase(UINT templateId, const ProgressIds& ids, CWnd* parent)
    : CDialog(templateId, parent), m_ids(ids)
{
}

BOOL CFirmwareDlgBase::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_status.SubclassDlgItem(static_cast<UINT>(m_ids.status), this);
    m_status.InitCharFormat(8);
    for (int bar : {m_ids.stageBar, m_ids.overallBar})
        if (auto* progress = static_cast<CProgressCtrl*>(GetDlgItem(bar)))
            progress->SetRange32(0, kBarRange);
    return TRUE;
}

void CFirmwareDlgBase::AddStatusLine(const CString& text, COLORREF colour, int style)
{
    if (!m_status.GetSafeHwnd())
        return;
    ScrollStatusToEnd();
    const long end = m_status.GetTextLength();
    m_status.SetSel(end, end);
    m_status.m_charFormat.dwMask |= CFM_COLOR | CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE;
    m_status.m_charFormat.dwEffects &= ~(CFE_AUTOCOLOR | CFE_BOLD | CFE_ITALIC | CFE_UNDERLINE);
    if (style & styleBold)
        m_status.m_charFormat.dwEffects |= CFE_BOLD;
    if (style & styleItalic)
        m_status.m_charFormat.dwEffects |= CFE_ITALIC;
    if (style & styleUnderline)
        m_status.m_charFormat.dwEffects |= CFE_UNDERLINE;
    m_status.m_charFormat.crTextColor = colour;
    m_status.AppendText(text + "\r\n", FALSE);
    ScrollStatusToEnd();
}

void CFirmwareDlgBase::ScrollStatusToEnd() { m_status.LineScroll(m_status.GetLineCount()); }

void CFirmwareDlgBase::Pump()
{
    if (m_cancelRequested)
        m_programmer.Cancel();
    AfxPumpMessages();
}

void CFirmwareDlgBase::ReportAction(CString text)
{
    AddStatusLine(text, RGB(0, 0, 0), styleBold);
    Pump();
}

void CFirmwareDlgBase::ReportStatus(CString text)
{
    AddStatusLine(text, RGB(0, 0, 255), 0);
    Pump();
}

void CFirmwareDlgBase::ReportError(CString text)
{
    ++m_errorsReported;
    AddStatusLine(text, RGB(255, 0, 0), 0);
    Pump();
}

void CFirmwareDlgBase::ReportDebug(CString text)
{
    AddStatusLine(text, RGB(255, 0, 255), 0);
    Pump();
}

void CFirmwareDlgBase::ShowOperation(const CString& text)
{
    CString shown;
    GetDlgItemText(m_ids.operation, shown);
    if (!text.IsEmpty() && text != shown)
        SetDlgItemText(m_ids.operation, text);
}

void CFirmwareDlgBase::BeginProgress(int total, CString text)
{
    ShowOperation(text);
    m_progress.BeginStage(total, AccumulateStages());
    if (m_cancelRequested)
        m_programmer.Cancel();
}

void CFirmwareDlgBase::ReportProgress(int position, CString text)
{
    ShowOperation(text);
    const double stage = m_progress.StagePercent(position);
    const double overall = m_progress.OverallPercent(position);
    CString percent;
    static_cast<CProgressCtrl*>(GetDlgItem(m_ids.stageBar))->SetPos(static_cast<int>(stage * 10));
    percent.Format("%.0f%%", stage);
    SetDlgItemText(m_ids.stagePercent, percent);
    static_cast<CProgressCtrl*>(GetDlgItem(m_ids.overallBar))->SetPos(static_cast<int>(overall * 10));
    percent.Format("%.0f%%", overall);
    SetDlgItemText(m_ids.overallPercent, percent);
    Pump();
}

void CFirmwareDlgBase::ResetProgressDisplay()
{
    m_progress.Reset();
    SetDlgItemText(m_ids.operation, kOperationLabel);
    for (int bar : {m_ids.stageBar, m_ids.overallBar})
        static_cast<CProgressCtrl*>(GetDlgItem(bar))->SetPos(0);
    SetDlgItemText(m_ids.stagePercent, "0%");
    SetDlgItemText(m_ids.overallPercent, "0%");
}

void CFirmwareDlgBase::RequestCancel()
{
    m_cancelRequested = TRUE;
    m_programmer.Cancel();
}

void CFirmwareDlgBase::OnClearStatus() { m_status.SetWindowText(""); }

void CFirmwareDlgBase::FillPortCombo(CComboBox* combo)
{
    combo->ResetContent();
    m_portNames.clear();
    for (const SerialPortEntry& port : CSerialPortEnumerator::Enumerate()) {
        const int item = combo->AddString(port.friendlyName);
        combo->SetItemData(item, m_portNames.size());
        m_portNames.push_back(port.devicePath);
    }
}

CString CFirmwareDlgBase::PortNameAt(int index) const
{
    return index >= 0 && static_cast<size_t>(index) < m_portNames.size() ? m_portNames[static_cast<size_t>(index)] : CString();
}

int CFirmwareDlgBase::PortIndexOf(const CString& portName) const
{
    for (size_t i = 0; i < m_portNames.size(); ++i)
        if (m_portNames[i] == portName)
            return static_cast<int>(i);
    return -1;
}

CFirmwareDlgBase::LinkPause::LinkPause(CFirmwareLinkControl* link) : m_link(link)
{
    m_wasOpen = m_link ? m_link->CloseLinkForRun() : 0;
}

CFirmwareDlgBase::LinkPause::~LinkPause()
{
    if (m_wasOpen)
        m_link->ReopenLinkAfterRun();
}
