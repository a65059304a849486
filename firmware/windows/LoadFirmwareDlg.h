// CLoadFirmwareDlg: the factory's window that programs a drive's processors
// from the maker's kernel and firmware files, as the parts list says which
// belong to which drive part, and exports the same work as an update file for
// customers. It reads and writes the parts list.
#pragma once

#include "controls/DPopupSelectListEditCtrl.h"
#include "firmware/MapPartNumToFirmwareProgramPartData.h"
#include "firmware/windows/FirmwareDlgBase.h"
#include "foundation/HPTimer.h"
#include "platform/ui/ToolTipCtrl.h"

class CComboBox;

class CLoadFirmwareDlg : public CFirmwareDlgBase, public CDPopupSelectListEditCtrlCallback {
public:
    static constexpr const char* kProfileSection = "FWPROGRAMMING";
    static constexpr const char* kProfileEntry = "inipath";

    explicit CLoadFirmwareDlg(CWnd* parent = nullptr);

    // Handed in by the frame and read back from it when the window closes.
    CString m_portName;
    CString m_partNumber;
    // Where the kernel files lie (their folder under it); with a trailing separator.
    CString m_programFolder;

    // The parts list named in the profile, asked for when it names no file; empty when none.
    static CString FindPartsListPath(CWnd* parent);
    CMapPartNumToFirmwareProgramPartData& GetPartsList() { return m_parts; }
    CString GetPartsListPath() const { return m_iniPath; }
    BOOL IsChanged() const { return m_changed; }

    void OnPopupSelection(int ownerId, CString text) override;
    void OnPopupClosed(int) override {}
    BOOL UsesCustomFilter() override { return TRUE; }
    BOOL MatchesFilter(CString choice, CString typed) override;

    // The tip of a file's text (its full path), for tests.
    CString GetFileTip(int cpu) const;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    void OnClose();
    bool AccumulateStages() const override { return false; }
    void UpdateControls() override;
    void OnPartListButton();
    void OnPartKillFocus();
    void OnProcessorChanged();
    void OnCpu1() { OnCpuCheck(kCpu1); }
    void OnCpu2() { OnCpuCheck(kCpu2); }
    void OnCm() { OnCpuCheck(kCpuCm); }
    void OnBrowseCpu1() { OnBrowse(kCpu1); }
    void OnBrowseCpu2() { OnBrowse(kCpu2); }
    void OnBrowseCm() { OnBrowse(kCpuCm); }
    void OnStart();
    void OnSave();
    void OnExport();
    void OnClear() { OnClearStatus(); }
    DECLARE_MESSAGE_MAP()

private:
    CComboBox* Combo(int id);
    CFirmwareProgramPartData* CurrentPart() const;
    CFirmwareProgramProcessorData* CurrentProcessor() const;
    void FillProcessors();
    void SelectPart(const CString& number);
    void ShowPart();
    void OnCpuCheck(int cpu);
    void OnBrowse(int cpu);
    void MarkChanged() { m_changed = TRUE; }
    bool ReadyToExport() const;
    CString SelectedPortName();
    CString BaudText();
    bool CheckBeforeStart(CString& portName);
    int ProgramThroughLibrary(const CString& portName);
    // Program mode talks to the drive; record mode only writes the script and the update file.
    int RunSequence(bool record, const CString& portName, const CString& target);
    int ProgramStep(bool ok);
    int LoadKernelStep(const CString& kernelName, int flags);
    int LoadFirmwareStep(int cpu, int flags);
    void EndRun(int succeeded);
    bool SaveParts(CString& error);
    int ExportTo(const CString& path, CString& error);

    CDPopupSelectListEditCtrl m_partEdit;
    CToolTipCtrl m_tips;
    CMapPartNumToFirmwareProgramPartData m_parts;
    CString m_iniPath;
    CString m_shownPart;
    CString m_exportError;
    CHPTimer m_stopwatch;
    BOOL m_changed = FALSE;
    BOOL m_record = FALSE;
    BOOL m_cpu1KernelLoaded = FALSE;
    // Why the flash-update library could not be linked; the run stops there.
    CString m_libraryError;
    int m_errorsAtStep = 0;
};
