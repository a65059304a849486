#include "BoundControlsDlg.h"

#include "comm/demo/DemoRegisterCodes.h"
#include "framework/GuiUpdateDlgIdMap.h"
#include "platform/ui/DialogTemplate.h"

IMPLEMENT_DYNCREATE(CBoundControlsDlg, CGuiUpdateDlg)

int CBoundControlsDlg::s_alive = 0;

namespace {
const char kTemplate[] = R"(
DIALOG 9200 0 0 220 150 "Bound Controls"
FONT 8 "MS Sans Serif"
LTEXT IDC_STATIC 7 7 60 10 "Offset A"
EDITTEXT 9201 70 5 80 12 "" AUTOHSCROLL TABSTOP
LTEXT IDC_STATIC 7 22 60 10 "Missing"
EDITTEXT 9202 70 20 80 12 "" AUTOHSCROLL TABSTOP
CHECKBOX 9203 7 38 100 10 "Bit 2"
CHECKBOX 9204 7 52 100 10 "Bit 0"
CHECKBOX 9205 7 66 100 10 "Bit 1"
CUSTOM 9206 7 82 200 40 ""
PUSHBUTTON IDCANCEL 160 130 50 14 "Close"
END
)";
}  // namespace

CBoundControlsDlg::CBoundControlsDlg() : CGuiUpdateDlg(kBoundTemplateId)
{
    ++s_alive;
}

void CBoundControlsDlg::Register(CGuiUpdateDlgIdMap& registry)
{
    AfxRegisterDialogTemplates(kTemplate);
    registry.RegisterGui(kBoundWindowName, RUNTIME_CLASS(CBoundControlsDlg), kFamilyKreln | kFamilyTavro, 0);
}

BOOL CBoundControlsDlg::OnInitDialog()
{
    CGuiUpdateDlg::OnInitDialog();
    SetRestorePlacement(0);
    m_edit.SubclassDlgItem(kBoundEditId, this);
    m_edit.SetControlName("OffsetA");
    m_edit.SetWriteRegister(demo_codes::MAA);
    m_edit.SetPollRegister(demo_codes::MAA, 100, 0);
    m_edit.SetDisplayFormat("%0.1f", 0);
    m_edit.SetColour(CQvxGuiEditCtrl::kColourUnavailable, RGB(255, 200, 200));
    m_edit.SetColour(CQvxGuiEditCtrl::kColourOffline, RGB(200, 200, 200));
    m_edit.SetColour(CQvxGuiEditCtrl::kColourModified, RGB(255, 255, 150));
    m_edit.SetColour(CQvxGuiEditCtrl::kColourNormal, RGB(255, 255, 255));
    m_edit.SetLimits(-100000.0, 100000.0);
    m_controls.AddControl(&m_edit, 1);

    m_missing.SubclassDlgItem(kMissingEditId, this);
    m_missing.SetControlName("Missing");
    m_missing.SetPollRegister(kMissingRegister, 100, 0);
    m_missing.SetColour(CQvxGuiEditCtrl::kColourUnavailable, RGB(255, 200, 200));
    m_controls.AddControl(&m_missing, 2);

    m_maskBox.SubclassDlgItem(kMaskBoxId, this);
    m_maskBox.m_bitMask = 0x4;
    m_maskBox.m_onValue = 0x4;
    m_maskBox.SetWriteRegister(demo_codes::DDE);
    m_maskBox.SetPollRegister(demo_codes::DDE, 100, 0);
    m_controls.AddControl(&m_maskBox, 3);

    m_groupLow.SubclassDlgItem(kGroupBoxLowId, this);
    m_groupLow.m_bitMask = 0x1;
    m_groupHigh.SubclassDlgItem(kGroupBoxHighId, this);
    m_groupHigh.m_bitMask = 0x2;
    m_group.AddCheckbox(&m_groupLow);
    m_group.AddCheckbox(&m_groupHigh);
    m_group.m_keepUnrelatedBits = 1;
    m_group.SetWriteRegister(demo_codes::SSF);
    m_group.SetPollRegister(demo_codes::SSF, 100, 0);
    m_controls.AddControl(&m_group, 4);

    m_lamps.SubclassDlgItem(kLampsId, this);
    m_lamps.m_columns = 2;
    m_lamps.SetTitle("Drive status");
    m_lamps.AddLamp(0x100, "Enabled", "Disabled", RGB(0, 200, 0), RGB(120, 120, 120), RGB(0, 0, 0),
                    RGB(255, 255, 255));
    m_lamps.AddLamp(0x1, "Bit 0", "Bit 0", RGB(255, 200, 0), RGB(40, 40, 40), RGB(0, 0, 0), RGB(200, 200, 200));
    m_lamps.SetPollRegister(kStatusWordCode, 100, 0);
    m_controls.AddControl(&m_lamps, 5);
    return TRUE;
}
