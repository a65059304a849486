#include "firmware/windows/LoadFirmwareDlg.h"

#include <unistd.h>

#include <functional>

#include "controls/QvxFileDialog.h"
#include "foundation/FileHelpers.h"
#include "foundation/Scramblers.h"
#include "foundation/TextHelpers.h"
#include "platform/core/Clock.h"
#include "platform/core/File.h"
#include "platform/core/Profile.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/MsgBox.h"
#include "platform/ui/WinApp.h"
#include "resources/ids/LoadFirmwareIds.h"

namespace {
constexpr const char* kHexFilter = "Hex Files (*.hex;*.txt)|*.hex;*.txt|All Files (*.*)|*.*||";
constexpr const char* kUpdateFilter = "Quorvex Firmware Update Files (*.qfu)|*.qfu||";
constexpr const char* kIniFilter = "Ini Files (*.ini)|*.ini|All Files (*.*)|*.*||";
constexpr const char* kDefaultBaud = "38400";
constexpr int kLibraryBaud = 9600;

const CFirmwareDlgBase::ProgressIds kIds = {IDC_FW_STATUS,         IDC_FW_OPERATION,  IDC_FW_STAGE_BAR,
                                            IDC_FW_STAGE_PERCENT, IDC_FW_OVERALL_BAR, IDC_FW_OVERALL_PERCENT};

struct CpuControls {
    int cpu, check, file, browse;
};
constexpr CpuControls kCpus[] = {
    {kCpu1, IDC_FW_CPU1, IDC_FW_CPU1_FILE, IDC_FW_CPU1_BROWSE},
    {kCpu2, IDC_FW_CPU2, IDC_FW_CPU2_FILE, IDC_FW_CPU2_BROWSE},
    {kCpuCm, IDC_FW_CM, IDC_FW_CM_FILE, IDC_FW_CM_BROWSE},
};

const CpuControls& ControlsOf(int cpu) { return kCpus[cpu - 1]; }

bool HasFile(const CString& path) { return !path.IsEmpty() && path != kPleaseSelectFile; }

int FileSize(const CString& path)
{
    const int size = GetFileSizeByName(path);
    return size < 0 ? 0 : size;
}
}  // namespace

BEGIN_MESSAGE_MAP(CLoadFirmwareDlg, CFirmwareDlgBase)
    ON_BN_CLICKED(IDC_FW_PART_LIST, &CLoadFirmwareDlg::OnPartListButton)
    ON_EN_KILLFOCUS(IDC_FW_PART, &CLoadFirmwareDlg::OnPartKillFocus)
    ON_CBN_SELCHANGE(IDC_FW_PROCESSOR, &CLoadFirmwareDlg::OnProcessorChanged)
    ON_CBN_SELCHANGE(IDC_FW_PORT, &CLoadFirmwareDlg::UpdateControls)
    ON_BN_CLICKED(IDC_FW_CPU1, &CLoadFirmwareDlg::OnCpu1)
    ON_BN_CLICKED(IDC_FW_CPU2, &CLoadFirmwareDlg::OnCpu2)
    ON_BN_CLICKED(IDC_FW_CM, &CLoadFirmwareDlg::OnCm)
    ON_BN_CLICKED(IDC_FW_CPU1_BROWSE, &CLoadFirmwareDlg::OnBrowseCpu1)
    ON_BN_CLICKED(IDC_FW_CPU2_BROWSE, &CLoadFirmwareDlg::OnBrowseCpu2)
    ON_BN_CLICKED(IDC_FW_CM_BROWSE, &CLoadFirmwareDlg::OnBrowseCm)
    ON_BN_CLICKED(IDC_FW_START, &CLoadFirmwareDlg::OnStart)
    ON_BN_CLICKED(IDC_FW_SAVE, &CLoadFirmwareDlg::OnSave)
    ON_BN_CLICKED(IDC_FW_EXPORT, &CLoadFirmwareDlg::OnExport)
    ON_BN_CLICKED(IDC_FW_CLEAR, &CLoadFirmwareDlg::OnClear)
    ON_WM_CLOSE()
END_MESSAGE_MAP()

CLoadFirmwareDlg::CLoadFirmwareDlg(CWnd* parent) : CFirmwareDlgBase(IDD_LOAD_FIRMWARE, kIds, parent) {}

CString CLoadFirmwareDlg::FindPartsListPath(CWnd* parent)
{
    CString path = AfxGetProfileString(kProfileSection, kProfileEntry, "");
    if (!path.IsEmpty() && CFile::Exists(path))
        return path;
    CQvxFileDialog dialog(TRUE, "ini", "flash_updates.ini", OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, kIniFilter, parent);
    dialog.m_ofn.lpstrTitle = "Select FW Programmer Ini File";
    if (dialog.DoModal() != IDOK)
        return path;
    path = dialog.GetPathName();
    AfxWriteProfileString(kProfileSection, kProfileEntry, path);
    return path;
}

BOOL CLoadFirmwareDlg::OnInitDialog()
{
    CFirmwareDlgBase::OnInitDialog();
    m_partEdit.SubclassDlgItem(IDC_FW_PART, this);
    m_partEdit.SetCallback(this, IDC_FW_PART);
    SetDlgItemText(IDC_FW_CLEAR, "C\nL\nE\nA\nR");
    m_tips.Create(this);
    for (const CpuControls& c : kCpus)
        m_tips.AddTool(GetDlgItem(c.file), "");
    CComboBox* baud = Combo(IDC_FW_BAUD);
    baud->AddString(kDefaultBaud);
    baud->SetCurSel(0);
    baud->ShowWindow(SW_HIDE);

    m_iniPath = FindPartsListPath(this);
    if (!m_parts.ReadPartsList(m_iniPath))
        AfxMessageBox(m_parts.m_error + "\r\nCould not load firmware information.", MB_OK | MB_ICONEXCLAMATION);
    for (const CString& number : m_parts.GetSortedPartNumbers())
        m_partEdit.GetChoices().AddTail(number);
    FillProcessors();

    FillPortCombo(Combo(IDC_FW_PORT));
    const int port = PortIndexOf(m_portName);
    for (int i = 0; port >= 0 && i < Combo(IDC_FW_PORT)->GetCount(); ++i)
        if (static_cast<int>(Combo(IDC_FW_PORT)->GetItemData(i)) == port)
            Combo(IDC_FW_PORT)->SetCurSel(i);
    if (m_parts.FindPart(m_partNumber)) {
        m_shownPart = m_partNumber;
        SetDlgItemText(IDC_FW_PART, m_partNumber);
    }
    ShowPart();
    return TRUE;
}

CComboBox* CLoadFirmwareDlg::Combo(int id) { return static_cast<CComboBox*>(GetDlgItem(id)); }

void CLoadFirmwareDlg::FillProcessors()
{
    CComboBox* combo = Combo(IDC_FW_PROCESSOR);
    combo->ResetContent();
    for (const CString& name : m_parts.m_processors.GetNames()) {
        const int item = combo->AddString(name);
        combo->SetItemDataPtr(item, m_parts.m_processors.Find(name));
    }
}

CFirmwareProgramPartData* CLoadFirmwareDlg::CurrentPart() const { return m_parts.FindPart(m_shownPart); }

CFirmwareProgramProcessorData* CLoadFirmwareDlg::CurrentProcessor() const
{
    auto* combo = static_cast<CComboBox*>(const_cast<CLoadFirmwareDlg*>(this)->GetDlgItem(IDC_FW_PROCESSOR));
    const int selected = combo->GetCurSel();
    return selected < 0 ? nullptr : static_cast<CFirmwareProgramProcessorData*>(combo->GetItemDataPtr(selected));
}

BOOL CLoadFirmwareDlg::MatchesFilter(CString choice, CString typed)
{
    choice.MakeUpper();
    typed.MakeUpper();
    return choice.Find(typed) >= 0;
}

void CLoadFirmwareDlg::OnPartListButton()
{
    CString typed;
    GetDlgItemText(IDC_FW_PART, typed);
    m_partEdit.ShowPopupList("", typed);
}

void CLoadFirmwareDlg::OnPopupSelection(int, CString text)
{
    SetDlgItemText(IDC_FW_PART, text);
    SelectPart(text);
}

void CLoadFirmwareDlg::OnPartKillFocus()
{
    if (m_partEdit.GetPopup())
        return;  // the popup list has the focus; its choice comes as a selection
    CString typed;
    GetDlgItemText(IDC_FW_PART, typed);
    typed.Trim();
    if (typed != m_shownPart)
        SelectPart(typed);
}

void CLoadFirmwareDlg::OnOK()
{
    // Enter takes the typed part number; it never closes the window.
    OnPartKillFocus();
}

void CLoadFirmwareDlg::SelectPart(const CString& number)
{
    if (number.IsEmpty()) {
        m_shownPart.Empty();
        ShowPart();
        return;
    }
    if (!m_parts.FindPart(number)) {
        CString question;
        question.Format("Add new part # %s?", number.GetString());
        if (AfxMessageBox(question, MB_YESNO | MB_ICONQUESTION) != IDYES) {
            SetDlgItemText(IDC_FW_PART, m_shownPart);
            return;
        }
        // The new part takes what the window shows now.
        const CFirmwareProgramPartData* shown = CurrentPart();
        CFirmwareProgramPartData* part = m_parts.GetOrCreatePart(number);
        if (CFirmwareProgramProcessorData* processor = CurrentProcessor())
            part->m_processorName = processor->m_name;
        for (const CpuControls& c : kCpus) {
            part->SetSelected(c.cpu, IsDlgButtonChecked(c.check) != 0);
            if (shown)
                part->SetFirmwareFile(c.cpu, shown->GetStoredFirmwareFile(c.cpu));
        }
        m_partEdit.GetChoices().AddTail(number);
        MarkChanged();
    }
    m_shownPart = number;
    m_partNumber = number;
    ShowPart();
}

void CLoadFirmwareDlg::ShowPart()
{
    const CFirmwareProgramPartData* part = CurrentPart();
    CComboBox* processors = Combo(IDC_FW_PROCESSOR);
    processors->SetCurSel(part ? processors->FindStringExact(-1, part->m_processorName) : -1);
    for (const CpuControls& c : kCpus) {
        CheckDlgButton(c.check, part && part->IsSelected(c.cpu) ? BST_CHECKED : BST_UNCHECKED);
        const CString path = part ? part->GetFirmwareFile(c.cpu) : CString();
        SetDlgItemText(c.file, path);
        m_tips.UpdateTipText(path, GetDlgItem(c.file));
    }
    UpdateControls();
}

void CLoadFirmwareDlg::OnProcessorChanged()
{
    CFirmwareProgramPartData* part = CurrentPart();
    const CFirmwareProgramProcessorData* processor = CurrentProcessor();
    if (part && processor) {
        part->m_processorName = processor->m_name;
        MarkChanged();
    }
    UpdateControls();
}

void CLoadFirmwareDlg::OnCpuCheck(int cpu)
{
    if (CFirmwareProgramPartData* part = CurrentPart()) {
        part->SetSelected(cpu, IsDlgButtonChecked(ControlsOf(cpu).check) != 0);
        MarkChanged();
    }
    UpdateControls();
}

void CLoadFirmwareDlg::OnBrowse(int cpu)
{
    CFirmwareProgramPartData* part = CurrentPart();
    if (!part)
        return;
    const CString current = part->GetFirmwareFile(cpu);
    CQvxFileDialog dialog(TRUE, "txt", HasFile(current) ? current.GetString() : nullptr,
                          OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, kHexFilter, this);
    if (dialog.DoModal() != IDOK)
        return;
    part->SetFirmwareFile(cpu, dialog.GetPathName());
    MarkChanged();
    ShowPart();
}

CString CLoadFirmwareDlg::GetFileTip(int cpu) const
{
    CString tip;
    m_tips.GetText(tip, const_cast<CLoadFirmwareDlg*>(this)->GetDlgItem(ControlsOf(cpu).file));
    return tip;
}

void CLoadFirmwareDlg::UpdateControls()
{
    CFirmwareProgramPartData* part = CurrentPart();
    const CFirmwareProgramProcessorData* processor = CurrentProcessor();
    for (const CpuControls& c : kCpus) {
        const bool kernel = processor && processor->HasFirstKernel(c.cpu);
        if (!kernel && IsDlgButtonChecked(c.check)) {
            CheckDlgButton(c.check, BST_UNCHECKED);
            if (part)
                part->SetSelected(c.cpu, false);
        }
        const bool selected = IsDlgButtonChecked(c.check) != 0;
        CString file;
        GetDlgItemText(c.file, file);
        GetDlgItem(c.check)->EnableWindow(kernel && !m_running);
        GetDlgItem(c.file)->EnableWindow(kernel && selected);
        GetDlgItem(c.browse)->EnableWindow(selected && !m_running && (m_parts.m_allowFileSelect || file == kPleaseSelectFile));
    }
    const bool ready = ReadyToExport();
    GetDlgItem(IDC_FW_EXPORT)->EnableWindow(ready && !m_running);
    GetDlgItem(IDC_FW_START)->EnableWindow(ready && !m_running && Combo(IDC_FW_PORT)->GetCurSel() >= 0);
    GetDlgItem(IDC_FW_SAVE)->EnableWindow(part && processor && !m_running);
    GetDlgItem(IDC_FW_PORT)->EnableWindow(!m_running);
    GetDlgItem(IDC_FW_PART)->EnableWindow(!m_running);
    GetDlgItem(IDC_FW_PART_LIST)->EnableWindow(!m_running);
    GetDlgItem(IDC_FW_PROCESSOR)->EnableWindow(!m_running);
}

bool CLoadFirmwareDlg::ReadyToExport() const
{
    const CFirmwareProgramPartData* part = CurrentPart();
    const CFirmwareProgramProcessorData* processor = CurrentProcessor();
    if (!part || !processor)
        return false;
    bool any = false;
    for (const CpuControls& c : kCpus) {
        if (!part->IsSelected(c.cpu))
            continue;
        any = true;
        if (processor->HasFirstKernel(c.cpu) && part->GetFirmwareFile(c.cpu).IsEmpty())
            return false;
    }
    return any;
}

CString CLoadFirmwareDlg::SelectedPortName()
{
    const int selected = Combo(IDC_FW_PORT)->GetCurSel();
    return selected < 0 ? CString() : PortNameAt(static_cast<int>(Combo(IDC_FW_PORT)->GetItemData(selected)));
}

CString CLoadFirmwareDlg::BaudText()
{
    CString text;
    GetDlgItemText(IDC_FW_BAUD, text);
    return text.IsEmpty() ? CString(kDefaultBaud) : text;
}

bool CLoadFirmwareDlg::CheckBeforeStart(CString& portName)
{
    if (Combo(IDC_FW_PORT)->GetCurSel() < 0) {
        ReportError("Please select a serial port.");
        return false;
    }
    const CFirmwareProgramPartData* part = CurrentPart();
    for (const CpuControls& c : kCpus) {
        if (part->IsSelected(c.cpu) && !HasFile(part->GetFirmwareFile(c.cpu))) {
            ReportError("Please select a firmware source file for " + FirmwareCpuName(c.cpu) + ".");
            return false;
        }
    }
    portName = SelectedPortName();
    if (portName.IsEmpty() || access(portName, F_OK) != 0) {
        ReportError("Could not find serial port.");
        return false;
    }
    return true;
}

void CLoadFirmwareDlg::OnStart()
{
    if (m_running || !ReadyToExport())
        return;
    m_stopwatch.Restart();
    m_cancelRequested = FALSE;
    m_cpu1KernelLoaded = FALSE;
    m_libraryError.Empty();
    CString portName;
    if (!CheckBeforeStart(portName))
        return;
    const CFirmwareProgramPartData* part = CurrentPart();
    const CFirmwareProgramProcessorData* processor = CurrentProcessor();
    m_portName = portName;
    ReportAction("Programming Flash for " + processor->m_name);
    m_running = TRUE;
    UpdateControls();
    m_programmer.SetReportCallback(this);
    m_programmer.SetMessagePump([] { AfxPumpMessages(); });
    ResetProgressDisplay();
    const long long total = m_parts.GetTotalFileSize(*part, m_programFolder);
    m_progress.SetTotal(static_cast<int>(total));
    int succeeded = 0;
    {
        LinkPause pause(m_link);
        if (processor->m_specialFlags & kProgramThroughLibrary)
            succeeded = ProgramThroughLibrary(portName);
        else
            succeeded = RunSequence(false, portName, CString());
        m_programmer.ClosePort();
    }
    EndRun(succeeded);
}

void CLoadFirmwareDlg::EndRun(int succeeded)
{
    const CString time = FormatTimeSpan(m_stopwatch.GetElapsedSeconds());
    CString text;
    if (succeeded) {
        text.Format("Firmware load SUCCESSFUL. Time=%s.", time.GetString());
        ReportAction(text);
        text.Format("Firmware load completed successfully. Time = %s", time.GetString());
        AfxMessageBox(text, MB_OK | MB_ICONINFORMATION);
    } else if (m_cancelRequested) {
        ReportAction("Aborted by user.");
        AfxMessageBox("Firmware load cancelled.  Be sure to reset drive before attempting another firmware load.",
                      MB_OK | MB_ICONEXCLAMATION);
    } else if (!m_libraryError.IsEmpty()) {
        // Nothing reached the drive: the connections are not to blame.
        AfxMessageBox("Firmware load FAILED.  " + m_libraryError, MB_OK | MB_ICONEXCLAMATION);
    } else if (m_cpu1KernelLoaded) {
        ReportError("Firmware load FAILED.");
        text.Format("Firmware load FAILED.  Please verify that you are connected to the correct drive type (part# %s).",
                    m_shownPart.GetString());
        AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
    } else {
        ReportError("Firmware load FAILED.");
        AfxMessageBox("Firmware load FAILED.  Please check all connections and restart drive, then try again.",
                      MB_OK | MB_ICONEXCLAMATION);
    }
    SetDlgItemText(IDC_FW_OPERATION, kOperationLabel);
    m_running = FALSE;
    m_cancelRequested = FALSE;
    UpdateControls();
}

int CLoadFirmwareDlg::ProgramThroughLibrary(const CString& portName)
{
    const CFirmwareProgramProcessorData* processor = CurrentProcessor();
    const CFirmwareProgramPartData* part = CurrentPart();
    m_programmer.SetPort(portName, kLibraryBaud);
    ReportStatus("Loading flash update DLL");
    // The programmer reports its own failures; only the checks made here need a report.
    if (!m_programmer.LinkLibrary(processor->m_libraryPath)) {
        m_libraryError = m_programmer.GetLastErrorText();
        return 0;
    }
    int ok = 1;
    const CString kernel = processor->GetKernel(1, kCpu1);
    if (kernel.IsEmpty()) {
        ok = 0;
        ReportError("Could not get kernel file path.");
    }
    if (ok && (ok = m_programmer.LoadKernelThroughLibrary(
                   CMapPartNumToFirmwareProgramPartData::KernelPath(m_programFolder, kernel))))
        m_cpu1KernelLoaded = TRUE;
    if (ok)
        ok = m_programmer.EraseThroughLibrary();
    const CString firmware = part->GetFirmwareFile(kCpu1);
    if (ok && !HasFile(firmware)) {
        ok = 0;
        ReportError("Could not get firmware file path.");
    }
    ok = ok && m_programmer.ProgramThroughLibrary(firmware, 0) && m_programmer.ProgramThroughLibrary(firmware, 1);
    m_programmer.UnlinkLibrary();
    return ok;
}

int CLoadFirmwareDlg::ProgramStep(bool ok)
{
    // Steps that fail without a report of their own (baud-rate lock, booting) get one.
    if (!ok && m_errorsReported == m_errorsAtStep && !m_record)
        ReportError(m_programmer.GetLastErrorText());
    m_errorsAtStep = m_errorsReported;
    return ok ? 1 : 0;
}

int CLoadFirmwareDlg::LoadKernelStep(const CString& kernelName, int flags)
{
    const CString path = CMapPartNumToFirmwareProgramPartData::KernelPath(m_programFolder, kernelName);
    if (m_record) {
        m_script.AddLoadKernel(path, flags);
        return 1;
    }
    if (m_cancelRequested || !ProgramStep(m_programmer.LoadKernel(path, flags) != 0))
        return 0;
    m_progress.AddFinished(FileSize(path));
    return 1;
}

int CLoadFirmwareDlg::LoadFirmwareStep(int cpu, int flags)
{
    const CString path = CurrentPart()->GetFirmwareFile(cpu);
    if (m_record) {
        m_script.AddLoadFirmware(path, flags);
        return 1;
    }
    if (m_cancelRequested || !ProgramStep(m_programmer.LoadFirmware(path, flags) != 0))
        return 0;
    m_progress.AddFinished(FileSize(path));
    return 1;
}

int CLoadFirmwareDlg::RunSequence(bool record, const CString& portName, const CString& target)
{
    const CFirmwareProgramPartData* part = CurrentPart();
    const CFirmwareProgramProcessorData* processor = CurrentProcessor();
    const int flags = processor->m_specialFlags;
    const bool cpu1 = part->IsSelected(kCpu1), cpu2 = part->IsSelected(kCpu2), cm = part->IsSelected(kCpuCm);
    m_record = record;
    m_errorsAtStep = m_errorsReported;
    auto setCpu = [&](int cpu) {
        if (m_record)
            m_script.AddSetCpu(cpu);
        else
            m_programmer.SetCpu(cpu);
    };
    auto plain = [&](const char* line, const std::function<int()>& action) {
        if (m_record) {
            m_script.AppendScript(line);
            return 1;
        }
        return m_cancelRequested ? 0 : ProgramStep(action() != 0);
    };
    if (record) {
        m_script.Reset();
        m_script.SetProgrammer(&m_programmer);
        m_exportError.Empty();
        m_script.SetConstant("PartNum", part->m_partNumber);
        CString cpus;
        for (const CpuControls& c : kCpus)
            if (part->IsSelected(c.cpu))
                cpus += FirmwareCpuName(c.cpu) + ",";
        m_script.SetConstant("Processor", processor->m_name + ":" + cpus.Left(cpus.GetLength() - 1));
        m_script.SetConstant("Baudrate", BaudText());
        m_script.AppendScript("OpenPort\n");
    } else {
        if (!m_programmer.OpenPort(portName, atoi(BaudText()))) {
            ReportError(m_programmer.GetLastErrorText());
            return 0;
        }
        ReportStatus("Serial port open");
    }
    if (cpu1 || cpu2) {
        setCpu(kCpu1);
        if (!LoadKernelStep(processor->GetKernel(1, kCpu1), 0))
            return 0;
        m_cpu1KernelLoaded = TRUE;
        if (!plain("AutoBaudLock\n", [&] { return m_programmer.AutoBaudLock(); }))
            return 0;
    }
    if (cpu1 && !LoadFirmwareStep(kCpu1, (flags & kCpu1FirmwareFlag8) * 2))
        return 0;
    if (cpu2) {
        if (!plain("ResetCpu1AndBootCpu2\n", [&] { return m_programmer.BootCpu2(); }))
            return 0;
        setCpu(kCpu2);
        if (!LoadKernelStep(processor->GetKernel(1, kCpu2), flags & kCpu2KernelWithoutAutoBaud))
            return 0;
        if (m_record)
            m_script.AddSleepMS();
        else
            Sleep(6);
        if (!plain("AutoBaudLock\n", [&] { return m_programmer.AutoBaudLock(); }) || !LoadFirmwareStep(kCpu2, 0))
            return 0;
    }
    if (cm) {
        const char* reset = "Please reset hardware manually then click OK to continue";
        if (m_record) {
            m_script.AddMessageBox(reset);
        } else {
            m_stopwatch.Pause();
            AfxMessageBox(reset, MB_OK | MB_ICONINFORMATION);
            m_stopwatch.Resume();
        }
        if (flags & kSecondCpu1KernelBeforeCm) {
            setCpu(kCpu1);
            if (!LoadKernelStep(processor->GetKernel(2, kCpu1), 4) ||
                !plain("AutoBaudLock\n", [&] { return m_programmer.AutoBaudLock(); }))
                return 0;
        }
        if (!plain("ResetCpu1AndLoadCm\n", [&] { return m_programmer.BootCm(); }))
            return 0;
        setCpu(kCpuCm);
        if (!LoadKernelStep(processor->GetKernel(1, kCpuCm), 2) || !LoadFirmwareStep(kCpuCm, 0))
            return 0;
    }
    if (!record)
        return 1;
    m_script.SetConstantInt("TotalFileSize", m_script.GetTotalFileSize());
    CString errors;
    if (!m_script.CheckScript(errors)) {
        m_exportError = errors;
        return 0;
    }
    if (!m_script.WriteUpdateFile(target)) {
        m_exportError = m_script.GetErrorText();
        return 0;
    }
    CString description;
    m_script.Describe(description);
    return 1;
}

void CLoadFirmwareDlg::OnExport()
{
    if (m_running || !ReadyToExport())
        return;
    CQvxFileDialog dialog(FALSE, "qfu", "QvxUpdate_" + m_shownPart + ".qfu", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                          kUpdateFilter, this);
    dialog.m_ofn.lpstrTitle = "Export Firmware Update File";
    if (dialog.DoModal() != IDOK)
        return;
    const CString path = dialog.GetPathName();
    CString error;
    CString text;
    if (ExportTo(path, error))
        text.Format("Firmware upgrade successfully exported to file: \"%s\".", path.GetString());
    else
        text = error + "\nFailed to export file.";
    AfxMessageBox(text, MB_OK | MB_ICONINFORMATION);
}

int CLoadFirmwareDlg::ExportTo(const CString& path, CString& error)
{
    // The archive goes to a temporary file and is scrambled into place, so a
    // failure leaves neither an unscrambled nor a half file at the chosen path.
    CString folder = GetFolderFromPath(path);
    if (folder.IsEmpty())
        folder = ".";
    folder.TrimRight('/');
    const CString temporary = folder + "/__TEMPQFU.tmp";
    int ok = RunSequence(true, CString(), temporary);
    if (!ok)
        error = m_exportError;
    if (ok && !ScrambleFile(temporary, path, CSerialFlashProgrammerScript::kUpdateFileSeed, 1)) {
        ok = 0;
        error = "Could not convert file.";
    }
    unlink(temporary);
    m_record = FALSE;
    return ok;
}

bool CLoadFirmwareDlg::SaveParts(CString& error)
{
    if (m_parts.WritePartsList(m_iniPath)) {
        m_changed = FALSE;
        return true;
    }
    error = m_parts.m_error;
    return false;
}

void CLoadFirmwareDlg::OnSave()
{
    CString question;
    question.Format("Save settings to \"%s\"?", m_iniPath.GetString());
    if (AfxMessageBox(question, MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    CString error;
    if (SaveParts(error)) {
        AfxMessageBox("Part settings saved.", MB_OK | MB_ICONINFORMATION);
    } else {
        CString text;
        text.Format("ERROR: Failed to save part settings because of the following error:\r\n%s.", error.GetString());
        AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
    }
}

void CLoadFirmwareDlg::OnCancel()
{
    // Escape cancels a run; it never closes the window.
    if (m_running && AfxMessageBox("Cancel firmware load in progress?", MB_YESNO | MB_ICONQUESTION) == IDYES)
        RequestCancel();
}

void CLoadFirmwareDlg::OnClose()
{
    if (m_running) {
        AfxMessageBox("Firmware load in progress.  Please cancel before closing.", MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    if (m_changed) {
        const int answer = AfxMessageBox("Save changes to settings?", MB_YESNOCANCEL | MB_ICONQUESTION);
        if (answer == IDCANCEL)
            return;
        CString error;
        if (answer == IDYES && !SaveParts(error)) {
            AfxMessageBox("ERROR: Could not save to ini file.", MB_OK | MB_ICONEXCLAMATION);
            return;  // the changes stay in the window rather than being lost
        }
    }
    const CString port = SelectedPortName();
    if (!port.IsEmpty())
        m_portName = port;
    m_partNumber = m_shownPart;
    EndDialog(IDOK);
}
