#include "setup/motor/windows/ModeBrakingControls.h"

#include <initializer_list>

#include "framework/GuiUpdateDlg.h"
#include "setup/motor/windows/ModeControlBinder.h"

void CModeBrakingControls::Bind(CGuiUpdateDlg& owner, const ModeBrakingIds& ids, int group)
{
    using B = CModeControlBinder;
    B::BindCheck(owner, m_brakingWork, ids.brakingWork, B::kBrakingCode, 0, 0xFFFFFFFF, true, group);
    B::BindCheck(owner, m_brakingDrive, ids.brakingDrive, B::kBrakingCode, 0, 0xFFFFFFFF, false, group);
    B::BindCheck(owner, m_fetWork, ids.fetWork, 0, -1, 2, true, group);
    B::BindCheck(owner, m_fetDrive, ids.fetDrive, kFetCode, -1, 2, false, group);
    m_fetGroup.AddCheckbox(&m_fetWork);
    m_fetGroup.m_keepUnrelatedBits = 1;
    m_fetGroup.SetPollRegister(kFetCode, B::kPollMs, B::kQueryFlags);
    m_fetGroup.SetWriteRegister(kFetCode);
    m_fetGroup.SetControlName("Brake Control FET Switch On");
    owner.GetControlList().AddControl(&m_fetGroup, group);
}

void CModeBrakingControls::RestartPolling()
{
    for (CQvxGuiControl* control :
         std::initializer_list<CQvxGuiControl*>{&m_brakingWork, &m_brakingDrive, &m_fetGroup, &m_fetDrive})
        control->RestartPolling();
}

bool CModeBrakingControls::ConfirmSend(CGuiUpdateDlg& owner)
{
    return owner.CGuiUpdateItem::MessageBox("Send brake settings to drive?", MB_YESNO, 0, IDYES) == IDYES;
}
