// CCustomerLoadFirmwareDlg: the window with which a drive's user updates its
// firmware from an update file (".qfu") over a serial port. The file is
// unpacked into a working folder of its own and its script runs against the
// drive; the status lines and both bars follow the programmer's reports.
#pragma once

#include "firmware/windows/FirmwareDlgBase.h"

class CComboBox;

class CCustomerLoadFirmwareDlg : public CFirmwareDlgBase {
public:
    explicit CCustomerLoadFirmwareDlg(CWnd* parent = nullptr);

    // The factory settings' model display flags: the Debug bit (2) shows "Debug Mode".
    int m_displayFlags = 0;

    BOOL IsFileLoaded() const { return m_fileLoaded; }
    // "<documents>/Korvane/__FwUpdate"; 0 when there is no documents folder.
    static int GetWorkingFolder(CString& folder);
    // Unpacks and reads the update file; 1 when it loaded (errors go to a message box).
    int LoadUpdateFile(const CString& path);

protected:
    BOOL OnInitDialog() override;
    void OnCancel() override;
    void OnClose();
    bool AccumulateStages() const override { return true; }
    void UpdateControls() override;
    void OnPortChanged();
    void OnSelectFile();
    void OnStart();
    void OnClear() { OnClearStatus(); }
    LRESULT OnDropFiles(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    CComboBox* PortCombo();
    int SelectedPort() const;
    CString ConstantOr(const char* name, const char* missing) const;
    void RunUpdate();
    void AddHint(const char* text, COLORREF colour);
    void LoadFailed(const CString& error, const CString& folder);
    void CloseNow();

    BOOL m_fileLoaded = FALSE;
    BOOL m_hintShown = FALSE;
    BOOL m_closeAfterRun = FALSE;
};
