#include "setup/io/windows/SetupRegisterWatchDlg.h"

#include <cmath>
#include <cstdlib>

#include "platform/ui/Button.h"
#include "platform/ui/ColorDialog.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/MsgBox.h"
#include "setup/io/WatchQueryCheck.h"

BEGIN_MESSAGE_MAP(CSetupRegisterWatchDlg, CDialog)
    ON_BN_CLICKED(IDC_WATCH_SIGNED, &CSetupRegisterWatchDlg::OnDisplayAsClicked)
    ON_BN_CLICKED(IDC_WATCH_UNSIGNED, &CSetupRegisterWatchDlg::OnDisplayAsClicked)
    ON_BN_CLICKED(IDC_WATCH_HEX, &CSetupRegisterWatchDlg::OnDisplayAsClicked)
    ON_BN_CLICKED(IDC_WATCH_BINARY, &CSetupRegisterWatchDlg::OnDisplayAsClicked)
    ON_BN_CLICKED(IDC_WATCH_HIGH_BITS, &CSetupRegisterWatchDlg::OnDisplayAsClicked)
    ON_EN_KILLFOCUS(IDC_WATCH_QUERY, &CSetupRegisterWatchDlg::OnQueryKillFocus)
    ON_BN_CLICKED(IDC_WATCH_SET_VALUE, &CSetupRegisterWatchDlg::OnSetValueClicked)
    ON_EN_CHANGE(IDC_WATCH_SET_VALUE_TEXT, &CSetupRegisterWatchDlg::OnSetValueEdited)
    ON_BN_CLICKED(IDC_WATCH_ROW_COLOUR, &CSetupRegisterWatchDlg::OnRowColour)
    ON_BN_CLICKED(IDC_WATCH_TEXT_COLOUR, &CSetupRegisterWatchDlg::OnTextColour)
END_MESSAGE_MAP()

namespace {
// The radio buttons in the order of the display forms 0 to 4.
const int kDisplayIds[] = {IDC_WATCH_SIGNED, IDC_WATCH_UNSIGNED, IDC_WATCH_HEX, IDC_WATCH_BINARY,
                           IDC_WATCH_HIGH_BITS};
}  // namespace

CSetupRegisterWatchDlg::CSetupRegisterWatchDlg(const CWatchRegisterItem& watch, Mode mode,
                                               const std::vector<CAmplifierData>& drives, CWnd* parent)
    : CDialog(IDD, parent), m_watch(watch), m_mode(mode), m_drives(drives)
{
}

BOOL CSetupRegisterWatchDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_filling = 1;
    auto* drives = static_cast<CComboBox*>(GetDlgItem(IDC_WATCH_DRIVE));
    int selected = 0;
    for (const CAmplifierData& drive : m_drives) {
        const int row = drives->AddString(drive.m_name);
        drives->SetItemData(row, static_cast<DWORD_PTR>(drive.m_address));
        if (drive.m_address == m_watch.m_drive)
            selected = row;
    }
    drives->SetCurSel(m_drives.empty() ? -1 : selected);
    auto* padding = static_cast<CComboBox*>(GetDlgItem(IDC_WATCH_PADDING));
    for (const char* text : {"8-bit", "16-bit", "32-bit"})
        padding->AddString(text);
    padding->SetCurSel(m_watch.m_padAs >= 0 && m_watch.m_padAs <= 2 ? m_watch.m_padAs : 2);
    const bool many = m_mode == kEditMany;
    SetDlgItemText(IDC_WATCH_QUERY, many ? "" : static_cast<const char*>(m_watch.m_queryExpression));
    SetDlgItemText(IDC_WATCH_DESCRIPTION, many ? "" : static_cast<const char*>(m_watch.m_description));
    GetDlgItem(IDC_WATCH_QUERY)->EnableWindow(!many);
    GetDlgItem(IDC_WATCH_DESCRIPTION)->EnableWindow(!many);
    CString period;
    if (!many)
        period.Format("%d", static_cast<int>(std::trunc(m_watch.m_updateSecs * 1000.0 + 1e-9)));
    SetDlgItemText(IDC_WATCH_PERIOD, period);
    CheckRadioButton(IDC_WATCH_SIGNED, IDC_WATCH_HEX,
                     kDisplayIds[m_watch.m_displayAs >= 0 && m_watch.m_displayAs <= 4 ? m_watch.m_displayAs : 0]);
    GetDlgItem(IDC_WATCH_SET_VALUE)->EnableWindow(m_mode != kAdd);
    GetDlgItem(IDC_WATCH_SET_VALUE_TEXT)->EnableWindow(m_mode != kAdd);
    EnablePadding();
    m_filling = 0;
    return TRUE;
}

int CSetupRegisterWatchDlg::SelectedDisplayAs() const
{
    for (int form = 0; form < 5; ++form)
        if (IsDlgButtonChecked(kDisplayIds[form]))
            return form;
    return 0;
}

void CSetupRegisterWatchDlg::EnablePadding()
{
    const int form = SelectedDisplayAs();
    GetDlgItem(IDC_WATCH_PADDING)->EnableWindow(form == kWatchHex || form == kWatchBinary);
}

void CSetupRegisterWatchDlg::OnDisplayAsClicked() { EnablePadding(); }

void CSetupRegisterWatchDlg::OnQueryKillFocus()
{
    CString description;
    GetDlgItemText(IDC_WATCH_DESCRIPTION, description);
    if (!description.IsEmpty())
        return;
    CString query;
    GetDlgItemText(IDC_WATCH_QUERY, query);
    SetDlgItemText(IDC_WATCH_DESCRIPTION, query);
}

void CSetupRegisterWatchDlg::OnSetValueClicked()
{
    CString text;
    GetDlgItemText(IDC_WATCH_SET_VALUE_TEXT, text);
    if (IsDlgButtonChecked(IDC_WATCH_SET_VALUE) && text.IsEmpty()) {
        m_filling = 1;
        SetDlgItemText(IDC_WATCH_SET_VALUE_TEXT, "0");
        m_filling = 0;
    }
}

void CSetupRegisterWatchDlg::OnSetValueEdited()
{
    if (!m_filling)
        CheckDlgButton(IDC_WATCH_SET_VALUE, BST_CHECKED);
}

// A cancelled choice gives -1: the watches keep their colours.
void CSetupRegisterWatchDlg::OnRowColour()
{
    CColorDialog dialog(RGB(255, 255, 255), 0, this);
    m_watch.m_rowColour = dialog.DoModal() == IDOK ? static_cast<int>(dialog.GetColor()) : -1;
}

void CSetupRegisterWatchDlg::OnTextColour()
{
    CColorDialog dialog(RGB(0, 0, 0), 0, this);
    m_watch.m_textColour = dialog.DoModal() == IDOK ? static_cast<int>(dialog.GetColor()) : -1;
}

void CSetupRegisterWatchDlg::Tell(const char* text) { AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION); }

int CSetupRegisterWatchDlg::ReadPeriod()
{
    CString text;
    GetDlgItemText(IDC_WATCH_PERIOD, text);
    text.Trim();
    if (m_mode == kEditMany && text.IsEmpty()) {
        m_periodMs = 0;
        return 1;
    }
    char* end = nullptr;
    const long ms = std::strtol(text, &end, 10);
    if (text.IsEmpty() || *end || ms < 1 || ms > 99999) {
        Tell("Please enter a value between 1 and 99999.");
        return 0;
    }
    m_periodMs = static_cast<int>(ms);
    return 1;
}

void CSetupRegisterWatchDlg::OnOK()
{
    if (!ReadPeriod())
        return;
    CString query;
    CString description;
    GetDlgItemText(IDC_WATCH_QUERY, query);
    GetDlgItemText(IDC_WATCH_DESCRIPTION, description);
    if (m_mode != kEditMany) {
        CString error;
        if (!CWatchQueryCheck::Check(query, m_mode == kAdd, m_expressions, error)) {
            Tell(error);
            return;
        }
        m_watch.m_queryExpression = query;
        m_watch.m_description = description.IsEmpty() ? query : description;
    }
    if (m_periodMs > 0)
        m_watch.m_updateSecs = m_periodMs / 1000.0;
    auto* drives = static_cast<CComboBox*>(GetDlgItem(IDC_WATCH_DRIVE));
    const int row = drives->GetCurSel();
    m_watch.m_drive = row < 0 ? -1 : static_cast<int>(drives->GetItemData(row));
    m_watch.m_displayAs = SelectedDisplayAs();
    m_watch.m_padAs = static_cast<CComboBox*>(GetDlgItem(IDC_WATCH_PADDING))->GetCurSel();
    m_setValueChecked = IsDlgButtonChecked(IDC_WATCH_SET_VALUE) ? 1 : 0;
    GetDlgItemText(IDC_WATCH_SET_VALUE_TEXT, m_watch.m_setValue);
    EndDialog(IDOK);
}
