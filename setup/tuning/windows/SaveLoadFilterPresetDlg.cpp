#include "setup/tuning/windows/SaveLoadFilterPresetDlg.h"

CSaveLoadFilterPresetDlg::CSaveLoadFilterPresetDlg(int mode, const CString& filterName, const CString& presetName,
                                                   int choice, CWnd* parent)
    : CDialog(IDD_SAVE_LOAD_FILTER_PRESET, parent), m_mode(mode), m_filterName(filterName), m_presetName(presetName),
      m_choice(choice == kAllFilters ? kAllFilters : kThisFilter)
{
}

CString CSaveLoadFilterPresetDlg::Title() const { return Verb() + "Filter Preset: " + m_presetName; }

BOOL CSaveLoadFilterPresetDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SetWindowText(Title());
    SetDlgItemText(IDC_PRESET_THIS_FILTER, Verb() + "presets for " + m_filterName + " only");
    SetDlgItemText(IDC_PRESET_ALL_FILTERS, Verb() + "presets for ALL filters");
    CheckRadioButton(IDC_PRESET_THIS_FILTER, IDC_PRESET_ALL_FILTERS,
                     m_choice == kAllFilters ? IDC_PRESET_ALL_FILTERS : IDC_PRESET_THIS_FILTER);
    return TRUE;
}

void CSaveLoadFilterPresetDlg::OnOK()
{
    m_choice = GetCheckedRadioButton(IDC_PRESET_THIS_FILTER, IDC_PRESET_ALL_FILTERS) == IDC_PRESET_ALL_FILTERS
                   ? kAllFilters
                   : kThisFilter;
    CDialog::OnOK();
}
