#include "setup/motor/windows/MotorProcedureChild.h"

#include "foundation/DPropertyList.h"
#include "framework/GuiFrameServices.h"
#include "framework/GuiUpdateDlgIdMap.h"
#include "framework/GuiUpdateList.h"
#include "framework/GuiUpdatePpg.h"
#include "setup/motor/windows/MotorProcedureWindow.h"

CMotorProcedureChild::CMotorProcedureChild(CGuiUpdatePpg& page, CMotorProcedureOwner& owner, const char* guiName,
                                           int buttonId, const char* property)
    : m_page(page), m_owner(owner), m_guiName(guiName), m_buttonId(buttonId), m_property(property)
{
}

void CMotorProcedureChild::Open()
{
    if (Live())
        return;
    CGuiFrameServices* frame = CGuiFrameServices::Get();
    CGuiUpdateDlgIdMap* registry = frame ? frame->GetDlgIdMap() : nullptr;
    CGuiUpdateDlg* child = registry ? registry->CreateGui(m_guiName, &m_page, 0) : nullptr;
    if (!child)
        return;
    if (auto* procedure = dynamic_cast<CMotorProcedureWindow*>(child))
        procedure->SetOwnerPage(&m_owner);
    child->SetDrive(m_page.GetDrive(), 1);
    if (!child->CreateGuiWindow(1)) {
        delete child;  // no window was made: nothing else would delete it
        return;
    }
    m_child = child;
    EnableButton(false);
}

void CMotorProcedureChild::OnClosed(CWnd* child)
{
    if (child != m_child)
        return;
    m_child = nullptr;
    EnableButton(true);
}

void CMotorProcedureChild::ExchangeSheetProperties(CDPropertyList& bag, int loading)
{
    if (!loading) {
        bag.SetInt(m_property, Live() ? 1 : 0);
        return;
    }
    int open = 0;
    if (bag.GetInt(m_property, open) && open)
        Open();
}

CGuiUpdateDlg* CMotorProcedureChild::Live()
{
    CGuiUpdateList* list = m_page.GetUpdateList();
    if (m_child && !(list && list->Contains(m_child)))
        m_child = nullptr;
    return m_child;
}

void CMotorProcedureChild::Close()
{
    if (CGuiUpdateDlg* child = Live()) {
        if (auto* procedure = dynamic_cast<CMotorProcedureWindow*>(child))
            procedure->SetOwnerPage(nullptr);
        child->SetOpener(nullptr);
        child->PostMessage(WM_CLOSE);
    }
    m_child = nullptr;
}

void CMotorProcedureChild::EnableButton(bool enable)
{
    if (CWnd* button = m_page.GetDlgItem(m_buttonId))
        button->EnableWindow(enable ? TRUE : FALSE);
}
