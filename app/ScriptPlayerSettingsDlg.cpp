#include "ScriptPlayerSettingsDlg.h"

#include "platform/ui/ColorDialog.h"
#include "platform/ui/DataExchange.h"

namespace {
struct KeyEntry {
    const char* name;
    int code;
};
const KeyEntry kKeys[] = {
    {"None", 0},      {"Left Arrow", 37}, {"Right Arrow", 39}, {"Up Arrow", 38}, {"Down Arrow", 40},
    {"Page Up", 33},  {"Page Down", 34},  {"F2", 113},         {"F3", 114},      {"F4", 115},
    {"F5", 116},      {"F6", 117},        {"F7", 118},         {"F8", 119},      {"F9", 120},
    {"F10", 121},     {"F11", 122},       {"F12", 123},
};
}  // namespace

BEGIN_MESSAGE_MAP(CScriptPlayerSettingsDlg, CDialog)
    ON_NOTIFY(UDN_DELTAPOS, CScriptPlayerSettingsDlg::kListFontSpin, &CScriptPlayerSettingsDlg::OnListFontSpin)
    ON_NOTIFY(UDN_DELTAPOS, CScriptPlayerSettingsDlg::kDetailsFontSpin, &CScriptPlayerSettingsDlg::OnDetailsFontSpin)
    ON_BN_CLICKED(CScriptPlayerSettingsDlg::kListTextColor, &CScriptPlayerSettingsDlg::OnListTextColor)
    ON_BN_CLICKED(CScriptPlayerSettingsDlg::kListBgColor, &CScriptPlayerSettingsDlg::OnListBgColor)
    ON_BN_CLICKED(CScriptPlayerSettingsDlg::kListTextHighlightColor, &CScriptPlayerSettingsDlg::OnListTextHighlightColor)
    ON_BN_CLICKED(CScriptPlayerSettingsDlg::kListBgHighlightColor, &CScriptPlayerSettingsDlg::OnListBgHighlightColor)
    ON_BN_CLICKED(CScriptPlayerSettingsDlg::kDetailsTextColor, &CScriptPlayerSettingsDlg::OnDetailsTextColor)
    ON_BN_CLICKED(CScriptPlayerSettingsDlg::kDetailsBgColor, &CScriptPlayerSettingsDlg::OnDetailsBgColor)
END_MESSAGE_MAP()

int CScriptPlayerSettingsDlg::KeyCount() { return static_cast<int>(sizeof(kKeys) / sizeof(kKeys[0])); }

const char* CScriptPlayerSettingsDlg::KeyName(int index, int& code)
{
    code = kKeys[index].code;
    return kKeys[index].name;
}

void CScriptPlayerSettingsDlg::DoDataExchange(CDataExchange* dx)
{
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, kListFontSpin, m_listSpin);
    DDX_Control(dx, kDetailsFontSpin, m_detailsSpin);
    DDX_Control(dx, kBackKey, m_back);
    DDX_Control(dx, kNextKey, m_next);
    DDX_Control(dx, kSkipKey, m_skip);
    DDX_Text(dx, kListFontEdit, m_settings.m_listFontSize);
    DDV_MinMaxDouble(dx, m_settings.m_listFontSize, 1.0, 36.0);
    DDX_Text(dx, kDetailsFontEdit, m_settings.m_detailsFontSize);
    DDV_MinMaxDouble(dx, m_settings.m_detailsFontSize, 1.0, 36.0);
    DDX_Check(dx, kAlwaysOnTop, m_settings.m_alwaysOnTop);
    DDX_Check(dx, kShowCheckboxes, m_settings.m_showCheckboxes);
    DDX_Check(dx, kAutoCheck, m_settings.m_autoCheckBoxes);
    if (dx->m_bSaveAndValidate) {
        TakeKey(m_back, m_settings.m_backKey);
        TakeKey(m_next, m_settings.m_nextKey);
        TakeKey(m_skip, m_settings.m_skipKey);
    }
}

BOOL CScriptPlayerSettingsDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    // Half-point steps between 1 and 36 points.
    m_listSpin.SetRange(2, 72);
    m_listSpin.SetPos(static_cast<int>(m_settings.m_listFontSize * 2));
    m_detailsSpin.SetRange(2, 72);
    m_detailsSpin.SetPos(static_cast<int>(m_settings.m_detailsFontSize * 2));
    FillKeys(m_back, m_settings.m_backKey);
    FillKeys(m_next, m_settings.m_nextKey);
    FillKeys(m_skip, m_settings.m_skipKey);
    return TRUE;
}

void CScriptPlayerSettingsDlg::FillKeys(CComboBox& combo, int code)
{
    combo.ResetContent();
    for (const KeyEntry& key : kKeys) {
        const int index = combo.AddString(key.name);
        combo.SetItemData(index, static_cast<DWORD_PTR>(key.code));
        if (key.code == code)
            combo.SetCurSel(index);
    }
}

void CScriptPlayerSettingsDlg::TakeKey(CComboBox& combo, int& code)
{
    // A code that is not offered stays as it was.
    const int selected = combo.GetCurSel();
    if (selected >= 0)
        code = static_cast<int>(combo.GetItemData(selected));
}

void CScriptPlayerSettingsDlg::OnSpin(NMHDR* header, LRESULT* result, int editId)
{
    const auto* spin = reinterpret_cast<const NMUPDOWN*>(header);
    CString text;
    text.Format("%0.1f", (spin->iPos + spin->iDelta) * 0.5);
    SetDlgItemText(editId, text);
    *result = 0;
}

void CScriptPlayerSettingsDlg::ChooseColor(COLORREF& color)
{
    CColorDialog dialog(color, CC_FULLOPEN | CC_RGBINIT, this);
    if (dialog.DoModal() == IDOK)
        color = dialog.GetColor();
}
