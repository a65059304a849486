// CSaveLoadFilterPresetDlg: asks whether a preset is saved or loaded for the
// current filter only or for all four.
#pragma once

#include "platform/ui/Dialog.h"
#include "resources/ids/SetupFiltersIds.h"

class CSaveLoadFilterPresetDlg : public CDialog {
public:
    enum Mode { kSave = 0, kLoad = 1 };
    enum Choice { kThisFilter = 0, kAllFilters = 1 };

    CSaveLoadFilterPresetDlg(int mode, const CString& filterName, const CString& presetName, int choice,
                             CWnd* parent = nullptr);

    BOOL OnInitDialog() override;
    void OnOK() override;
    int GetChoice() const { return m_choice; }
    CString Title() const;

private:
    CString Verb() const { return m_mode == kSave ? "Save " : "Load "; }

    int m_mode;
    CString m_filterName;
    CString m_presetName;
    int m_choice;
};
