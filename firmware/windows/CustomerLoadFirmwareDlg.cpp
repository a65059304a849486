#include "firmware/windows/CustomerLoadFirmwareDlg.h"

#include "controls/QvxFileDialog.h"
#include "foundation/FileHelpers.h"
#include "foundation/Scramblers.h"
#include "foundation/SystemHelpers.h"
#include "foundation/TextHelpers.h"
#include "platform/core/SpecialFolders.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/DropFiles.h"
#include "platform/ui/MsgBox.h"
#include "platform/ui/WinApp.h"
#include "resources/ids/CustomerLoadFirmwareIds.h"

namespace {
constexpr const char* kFilter = "Quorvex Firmware Update Files (*.qfu)|*.qfu||";
constexpr COLORREF kHintColour = RGB(50, 100, 240);
constexpr COLORREF kReadyColour = RGB(0, 200, 0);
constexpr int kDebugFlag = 2;
constexpr const char* kSelectPort = "Please select serial port...";
constexpr const char* kSelectFile = "Please select firmware update file...";
constexpr const char* kReady = "Click 'Start Update' when ready...";

const CFirmwareDlgBase::ProgressIds kIds = {IDC_CFW_STATUS,      IDC_CFW_OPERATION,  IDC_CFW_STAGE_BAR,
                                            IDC_CFW_STAGE_PERCENT, IDC_CFW_OVERALL_BAR, IDC_CFW_OVERALL_PERCENT};
}  // namespace

BEGIN_MESSAGE_MAP(CCustomerLoadFirmwareDlg, CFirmwareDlgBase)
    ON_CBN_SELCHANGE(IDC_CFW_PORT, &CCustomerLoadFirmwareDlg::OnPortChanged)
    ON_BN_CLICKED(IDC_CFW_SELECT_FILE, &CCustomerLoadFirmwareDlg::OnSelectFile)
    ON_BN_CLICKED(IDC_CFW_START, &CCustomerLoadFirmwareDlg::OnStart)
    ON_BN_CLICKED(IDC_CFW_CLEAR, &CCustomerLoadFirmwareDlg::OnClear)
    ON_MESSAGE(WM_DROPFILES, &CCustomerLoadFirmwareDlg::OnDropFiles)
    ON_WM_CLOSE()
END_MESSAGE_MAP()

CCustomerLoadFirmwareDlg::CCustomerLoadFirmwareDlg(CWnd* parent) : CFirmwareDlgBase(IDD_CUSTOMER_LOAD_FIRMWARE, kIds, parent)
{
}

int CCustomerLoadFirmwareDlg::GetWorkingFolder(CString& folder)
{
    CString documents;
    if (!GetDocumentsFolder(documents) || documents.IsEmpty())
        return 0;
    documents.TrimRight('/');
    if (documents.IsEmpty())
        return 0;  // never the root's product folder
    folder = documents + "/Korvane/__FwUpdate";
    return 1;
}

BOOL CCustomerLoadFirmwareDlg::OnInitDialog()
{
    CFirmwareDlgBase::OnInitDialog();
    SetDlgItemText(IDC_CFW_SELECT_FILE, "Select Firmware\nUpdate File");
    SetDlgItemText(IDC_CFW_START, "Start\nUpdate");
    SetDlgItemText(IDC_CFW_CLEAR, "C\nL\nE\nA\nR");
    GetDlgItem(IDC_CFW_DEBUG)->ShowWindow((m_displayFlags & kDebugFlag) ? SW_SHOW : SW_HIDE);
    DragAcceptFiles(this, TRUE);
    FillPortCombo(PortCombo());
    AddHint(kSelectPort, kHintColour);
    UpdateControls();
    return TRUE;
}

CComboBox* CCustomerLoadFirmwareDlg::PortCombo() { return static_cast<CComboBox*>(GetDlgItem(IDC_CFW_PORT)); }

int CCustomerLoadFirmwareDlg::SelectedPort() const
{
    auto* combo = static_cast<CComboBox*>(const_cast<CCustomerLoadFirmwareDlg*>(this)->GetDlgItem(IDC_CFW_PORT));
    const int selected = combo->GetCurSel();
    return selected < 0 ? -1 : static_cast<int>(combo->GetItemData(selected));
}

void CCustomerLoadFirmwareDlg::AddHint(const char* text, COLORREF colour)
{
    AddStatusLine(text, colour, styleBold | styleItalic);
}

void CCustomerLoadFirmwareDlg::UpdateControls()
{
    const BOOL port = SelectedPort() >= 0;
    GetDlgItem(IDC_CFW_PORT)->EnableWindow(!m_running);
    GetDlgItem(IDC_CFW_SELECT_FILE)->EnableWindow(!m_running && port);
    GetDlgItem(IDC_CFW_START)->EnableWindow(m_fileLoaded && !m_running && port);
    for (int id : {IDC_CFW_PART_LABEL, IDC_CFW_PART_VALUE, IDC_CFW_PROCESSOR_LABEL, IDC_CFW_PROCESSOR_VALUE})
        GetDlgItem(id)->EnableWindow(m_fileLoaded);
    for (int id : {IDC_CFW_OPERATION, IDC_CFW_STAGE_BAR, IDC_CFW_STAGE_PERCENT, IDC_CFW_OVERALL_LABEL,
                   IDC_CFW_OVERALL_BAR, IDC_CFW_OVERALL_PERCENT})
        GetDlgItem(id)->EnableWindow(m_running);
    GetDlgItem(IDC_CFW_DEBUG)->EnableWindow(!m_running);
}

void CCustomerLoadFirmwareDlg::OnPortChanged()
{
    if (SelectedPort() >= 0 && !m_hintShown) {
        AddHint(kSelectFile, kHintColour);
        GotoDlgCtrl(GetDlgItem(IDC_CFW_SELECT_FILE));
        m_hintShown = TRUE;
    }
    UpdateControls();
}

void CCustomerLoadFirmwareDlg::OnSelectFile()
{
    if (m_running)
        return;
    // An open dialog: its title says what it opens.
    CQvxFileDialog dialog(TRUE, "qfu", nullptr, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, kFilter, this);
    dialog.m_ofn.lpstrTitle = "Select Firmware Update File";
    if (dialog.DoModal() != IDOK)
        return;
    if (LoadUpdateFile(dialog.GetPathName()) && m_hintShown)
        AddHint(kReady, kReadyColour);
    UpdateControls();
}

LRESULT CCustomerLoadFirmwareDlg::OnDropFiles(WPARAM wParam, LPARAM)
{
    auto drop = reinterpret_cast<HDROP>(wParam);
    if (!m_running && DragQueryFile(drop, 0xFFFFFFFF, nullptr, 0) > 0) {
        char path[4096] = "";
        DragQueryFile(drop, 0, path, sizeof path);
        if (LoadUpdateFile(path)) {
            if (PortCombo()->GetCount() > 0) {
                if (!m_hintShown) {
                    PortCombo()->SetCurSel(0);
                    m_hintShown = TRUE;
                }
                AddHint(kReady, kReadyColour);
            } else {
                AddHint(kSelectPort, kHintColour);
            }
        }
        UpdateControls();
    }
    DragFinish(drop);
    return 0;
}

int CCustomerLoadFirmwareDlg::LoadUpdateFile(const CString& path)
{
    CString folder;
    if (!GetWorkingFolder(folder)) {
        LoadFailed("Could not create temporary file folder.", CString());
        return 0;
    }
    DeleteFolderTree(folder);
    if (!AfxCreateFolders(folder)) {
        LoadFailed("Could not create temporary file folder.", folder);
        return 0;
    }
    const CString unpacked = folder + "/__TEMP.qfu";
    if (!ScrambleFile(path, unpacked, CSerialFlashProgrammerScript::kUpdateFileSeed, 0)) {
        LoadFailed("Could not convert file.", folder);
        return 0;
    }
    if (!m_script.ReadUpdateFile(unpacked, folder)) {
        LoadFailed(m_script.GetErrorText(), folder);
        return 0;
    }
    SetDlgItemText(IDC_CFW_PART_VALUE, " " + ConstantOr("PartNum", "N/A"));
    SetDlgItemText(IDC_CFW_PROCESSOR_VALUE, " " + ConstantOr("Processor", "N/A"));
    m_fileLoaded = TRUE;
    AddStatusLine("Firmware update file loaded successfully.", RGB(0, 0, 0), 0);
    UpdateControls();
    GotoDlgCtrl(GetDlgItem(IDC_CFW_START));
    return 1;
}

void CCustomerLoadFirmwareDlg::LoadFailed(const CString& error, const CString& folder)
{
    AfxMessageBox(error.IsEmpty() ? CString("ERROR: Could not load firmware update file.") : "ERROR: " + error,
                  MB_OK | MB_ICONEXCLAMATION);
    m_fileLoaded = FALSE;
    SetDlgItemText(IDC_CFW_PART_VALUE, "");
    SetDlgItemText(IDC_CFW_PROCESSOR_VALUE, "");
    if (!folder.IsEmpty())
        DeleteFolderTree(folder);
    UpdateControls();
}

CString CCustomerLoadFirmwareDlg::ConstantOr(const char* name, const char* missing) const
{
    CString value;
    return m_script.GetConstant(name, value) ? value : CString(missing);
}

void CCustomerLoadFirmwareDlg::OnStart()
{
    if (m_running)
        return;
    m_progress.Reset();
    const int port = SelectedPort();
    if (port < 0) {
        AfxMessageBox("Please select a serial port.", MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    DragAcceptFiles(this, FALSE);
    RunUpdate();
    m_programmer.ClosePort();
    DragAcceptFiles(this, TRUE);
    m_running = FALSE;
    UpdateControls();
    if (m_closeAfterRun)
        CloseNow();
}

void CCustomerLoadFirmwareDlg::RunUpdate()
{
    const CString processor = ConstantOr("Processor", "N/A");
    const CString part = ConstantOr("PartNum", "N/A");
    int total = 1;
    if (!m_script.GetConstantInt("TotalFileSize", total))
        total = 1;
    m_progress.SetTotal(total);
    m_script.SetConstant("SerialPort", PortNameAt(SelectedPort()));
    ReportAction("Upgrading FW for drive: " + part + ".");
    ReportStatus("Processor = " + processor + ".");
    m_running = TRUE;
    m_cancelRequested = FALSE;
    UpdateControls();
    AfxPumpMessages();
    m_programmer.SetReportCallback(this);
    m_programmer.SetMessagePump([] { AfxPumpMessages(); });
    m_script.SetProgrammer(&m_programmer);
    m_script.SetDebug(IsDlgButtonChecked(IDC_CFW_DEBUG) ? 1 : 0);
    int succeeded = 0;
    {
        LinkPause pause(m_link);
        const int errorsBefore = m_errorsReported;
        succeeded = m_script.RunScript(0);
        m_programmer.ClosePort();
        // Some steps (baud-rate lock, booting a processor) fail without a report of their own.
        if (!succeeded && m_errorsReported == errorsBefore)
            ReportError(m_script.GetErrorText().IsEmpty() ? m_programmer.GetLastErrorText() : m_script.GetErrorText());
    }
    if (succeeded) {
        const CString time = FormatTimeSpan(m_script.GetRunSeconds());
        ReportAction("FW update successful.");
        ReportStatus("Time=" + time);
        if (!m_closeAfterRun)
            AfxMessageBox("Firmware update successful. Time=" + time, MB_OK | MB_ICONINFORMATION);
    } else {
        ReportAction("FW update failed for drive: " + part + ".");
        if (!m_closeAfterRun)
            AfxMessageBox("Firmware update FAILED.", MB_OK | MB_ICONEXCLAMATION);
    }
}

void CCustomerLoadFirmwareDlg::OnCancel() { OnClose(); }

void CCustomerLoadFirmwareDlg::OnClose()
{
    // Ending the dialog under a run would pull the window and the unpacked
    // files from under it: the run is cancelled and the window closes once
    // the run has returned.
    if (m_running) {
        m_closeAfterRun = TRUE;
        RequestCancel();
        return;
    }
    CloseNow();
}

void CCustomerLoadFirmwareDlg::CloseNow()
{
    CString folder;
    if (GetWorkingFolder(folder))
        DeleteFolderTree(folder);
    EndDialog(IDCANCEL);
}
