// A drive window for the tests of the register-bound controls: edits, check
// boxes, a check-box group and a lamp group bound to registers of the demo
// drive, each with a send group of its own.
#pragma once

#include "framework/CQvxGuiLampGroupCtrl.h"
#include "framework/GuiUpdateDlg.h"
#include "framework/QvxGuiCheckboxCtrl.h"
#include "framework/QvxGuiCheckboxCtrlGroup.h"
#include "framework/QvxGuiEditCtrl.h"

constexpr UINT kBoundTemplateId = 9200;
constexpr const char* kBoundWindowName = "BOUNDCONTROLS";
constexpr int kBoundEditId = 9201;
constexpr int kMissingEditId = 9202;
constexpr int kMaskBoxId = 9203;
constexpr int kGroupBoxLowId = 9204;
constexpr int kGroupBoxHighId = 9205;
constexpr int kLampsId = 9206;
// A register the demo drive does not have.
constexpr WORD kMissingRegister = 30001;

class CBoundControlsDlg : public CGuiUpdateDlg {
    DECLARE_DYNCREATE(CBoundControlsDlg)

public:
    CBoundControlsDlg();
    ~CBoundControlsDlg() override { --s_alive; }

    CString GetItemName() const override { return "Bound Controls"; }
    BOOL OnInitDialog() override;
    static void Register(class CGuiUpdateDlgIdMap& registry);

    CQvxGuiEditCtrl m_edit;
    CQvxGuiEditCtrl m_missing;
    CQvxGuiCheckboxCtrl m_maskBox;
    CQvxGuiCheckboxCtrl m_groupLow;
    CQvxGuiCheckboxCtrl m_groupHigh;
    CQvxGuiCheckboxCtrlGroup m_group;
    CCQvxGuiLampGroupCtrl m_lamps;
    static int s_alive;
};
