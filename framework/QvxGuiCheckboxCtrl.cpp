#include "QvxGuiCheckboxCtrl.h"

#include <cstdlib>

#include "GuiUpdateDlg.h"
#include "QvxGuiCheckboxCtrlGroup.h"

BEGIN_MESSAGE_MAP(CQvxGuiCheckboxCtrl, CButton)
    ON_CONTROL_REFLECT(BN_CLICKED, &CQvxGuiCheckboxCtrl::OnClicked)
    ON_MESSAGE(CQvxGuiCheckboxCtrl::kSendMessage, &CQvxGuiCheckboxCtrl::OnSendMessage)
END_MESSAGE_MAP()

CQvxGuiCheckboxCtrl::~CQvxGuiCheckboxCtrl()
{
    if (m_group)
        m_group->RemoveCheckbox(this);
}

void CQvxGuiCheckboxCtrl::GetValueText(CString& text)
{
    text = GetSafeHwnd() && GetCheck() ? "TRUE" : "FALSE";
}

void CQvxGuiCheckboxCtrl::SetValueText(const char* text)
{
    CString value(text);
    value.Trim();
    if (GetSafeHwnd())
        SetCheck(std::atoi(value));
}

void CQvxGuiCheckboxCtrl::StoreResponse(const CAmpResponseToGui& response)
{
    int checked = ((response.m_value + m_receiveOffset) & static_cast<LONG>(m_bitMask)) != 0;
    if (m_inverted)
        checked = !checked;
    // A box the user changed keeps its state until it is sent or restored.
    if (!IsModified() && GetSafeHwnd() && (GetCheck() != 0) != (checked != 0))
        SetCheck(checked);
    const int id = static_cast<int>(response.m_queryId);
    if (m_group)
        m_group->ForgetSentId(id);
    else
        RemoveSentCommand(id);
    m_state = 3;
}

int CQvxGuiCheckboxCtrl::GetIntValue(int& value)
{
    if (!GetSafeHwnd())
        return 0;
    const int checked = GetCheck() != 0;
    if (m_group)
        value = checked;
    else
        value = checked ? m_onValue : 0;
    if (m_inverted)
        value = !value;
    return 1;
}

int CQvxGuiCheckboxCtrl::GetDoubleValue(double& value)
{
    if (!GetSafeHwnd())
        return 0;
    value = GetCheck();
    return 1;
}

int CQvxGuiCheckboxCtrl::ApplyCustomConversion()
{
    CGuiUpdateDlg* owner = GetOwnerWindow();
    if (m_customConversionId == -1 || !owner || !GetSafeHwnd())
        return 0;
    double value = GetCheck();
    if (!owner->CustomConvert(m_customConversionId, value, this))
        return 0;
    SetCheck(value != 0.0);
    return 1;
}

int CQvxGuiCheckboxCtrl::AcceptEntry()
{
    CGuiUpdateDlg* owner = GetOwnerWindow();
    if (!(m_flags & kCtrlTabOnEnter) || !owner || GetFocus() != this)
        return 0;
    owner->NextDlgCtrl();
    return 1;
}

void CQvxGuiCheckboxCtrl::ProcessResponses()
{
    CQvxGuiControl::ProcessResponses();
    CGuiUpdateDlg* owner = GetOwnerWindow();
    if (m_customPollId == -1 || !owner || !GetSafeHwnd())
        return;
    double value = 0.0;
    if (owner->CustomPoll(m_customPollId, value, this) == 1)
        SetCheck(value != 0.0);
}

void CQvxGuiCheckboxCtrl::ClearValue()
{
    if (GetSafeHwnd())
        SetCheck(0);
}

void CQvxGuiCheckboxCtrl::RandomExercise(int flags)
{
    if (!(flags & 0x20) || std::rand() % 10 >= 3 || !GetSafeHwnd() || !IsWindowEnabled())
        return;
    SetCheck(!GetCheck());
    if (flags & 0x4)
        SendValue();
}

void CQvxGuiCheckboxCtrl::OnClicked()
{
    ApplyCustomConversion();
    if (m_sendOnClick)
        PostMessage(kSendMessage);
    else
        SetModified(1);
}

LRESULT CQvxGuiCheckboxCtrl::OnSendMessage(WPARAM, LPARAM)
{
    SendValue();
    return 0;
}
