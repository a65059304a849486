// CQvxCPanelOptionsDlg: the control panel's Min, Max and Step limits per
// command mode. It works on the panel's own records, so an accepted edit
// takes effect in the panel at once; constructing it loads them.
#pragma once

#include "framework/QvxUpdateChildDlg.h"
#include "resources/ids/CPanelOptionsIds.h"

class CPanelOptionsModeList;

class CQvxCPanelOptionsDlg : public CQvxUpdateChildDlg {
public:
    enum { IDD = IDD_CPANEL_OPTIONS };

    CQvxCPanelOptionsDlg(CPanelOptionsModeList* modes, CGuiUpdateDlg* parent, const char* iniPath);

    BOOL OnInitDialog() override;
    void OnOK() override;
    int IsChanged() const { return m_changed; }

private:
    // 0 with a message shown when a limit is out of its range or order.
    int Validate();
    void Save();

    CPanelOptionsModeList* m_modes;
    CString m_iniPath;
    int m_changed = 0;
};
