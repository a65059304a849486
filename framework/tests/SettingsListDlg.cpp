#include "SettingsListDlg.h"

#include "framework/GuiUpdateDlgIdMap.h"
#include "platform/ui/DialogTemplate.h"

IMPLEMENT_DYNCREATE(CSettingsListDlg, CGuiUpdateDlg)

int CSettingsListDlg::s_alive = 0;
CString CSettingsListDlg::s_definition;
unsigned CSettingsListDlg::s_flags = 0;

namespace {
const char kTemplate[] = R"(
DIALOG 9300 0 0 220 160 "Settings"
FONT 8 "MS Sans Serif"
LISTVIEW 9301 7 7 206 130 "" FULLROWSELECT GRIDLINES SHOWSELALWAYS
PUSHBUTTON IDCANCEL 163 141 50 14 "Close"
END
)";
}  // namespace

CSettingsListDlg::CSettingsListDlg() : CGuiUpdateDlg(kSettingsTemplateId)
{
    ++s_alive;
}

void CSettingsListDlg::Register(CGuiUpdateDlgIdMap& registry)
{
    AfxRegisterDialogTemplates(kTemplate);
    registry.RegisterGui(kSettingsWindowName, RUNTIME_CLASS(CSettingsListDlg), kFamilyKreln | kFamilyTavro, 0);
}

BOOL CSettingsListDlg::OnInitDialog()
{
    CGuiUpdateDlg::OnInitDialog();
    SetRestorePlacement(0);
    m_list.SubclassDlgItem(kSettingsListId, this);
    m_list.m_flags = s_flags;
    m_list.m_callback = this;
    m_list.SetDefinition(s_definition);
    m_controls.AddControl(&m_list, 1);
    return TRUE;
}
