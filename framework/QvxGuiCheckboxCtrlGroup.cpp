#include "QvxGuiCheckboxCtrlGroup.h"

#include <cstdlib>

#include "QvxGuiCheckboxCtrl.h"

CQvxGuiCheckboxCtrlGroup::~CQvxGuiCheckboxCtrlGroup()
{
    for (POSITION pos = m_members.GetHeadPosition(); pos;)
        m_members.GetNext(pos)->SetGroup(nullptr);
}

void CQvxGuiCheckboxCtrlGroup::AddCheckbox(CQvxGuiCheckboxCtrl* box)
{
    if (box->GetGroup() == this)
        return;
    if (box->GetGroup())
        box->GetGroup()->RemoveCheckbox(box);
    box->SetGroup(this);
    m_members.AddTail(box);
}

void CQvxGuiCheckboxCtrlGroup::RemoveCheckbox(CQvxGuiCheckboxCtrl* box)
{
    if (POSITION pos = m_members.Find(box)) {
        m_members.RemoveAt(pos);
        box->SetGroup(nullptr);
    }
}

int CQvxGuiCheckboxCtrlGroup::IsModified()
{
    for (POSITION pos = m_members.GetHeadPosition(); pos;)
        if (m_members.GetNext(pos)->IsModified())
            return 1;
    return 0;
}

void CQvxGuiCheckboxCtrlGroup::SetModified(int modified)
{
    CQvxGuiControl::SetModified(modified);
    if (modified)
        return;
    for (POSITION pos = m_members.GetHeadPosition(); pos;)
        m_members.GetNext(pos)->SetModified(0);
}

void CQvxGuiCheckboxCtrlGroup::StoreResponse(const CAmpResponseToGui& response)
{
    CAmpResponseToGui shifted = response;
    shifted.m_value = response.m_value + m_receiveOffset;
    for (POSITION pos = m_members.GetHeadPosition(); pos;)
        m_members.GetNext(pos)->StoreResponse(shifted);
    m_lastWord = shifted.m_value;
    m_state = 3;
}

int CQvxGuiCheckboxCtrlGroup::GetIntValue(int& value)
{
    DWORD word = m_keepUnrelatedBits ? static_cast<DWORD>(m_lastWord) : 0;
    for (POSITION pos = m_members.GetHeadPosition(); pos;) {
        CQvxGuiCheckboxCtrl* box = m_members.GetNext(pos);
        int state = 0;
        if (!box->GetIntValue(state))
            return 0;
        if (state)
            word |= box->m_bitMask;
        else
            word &= ~box->m_bitMask;
    }
    value = static_cast<int>(word);
    return 1;
}

int CQvxGuiCheckboxCtrlGroup::GetDoubleValue(double& value)
{
    int word = 0;
    if (!GetIntValue(word))
        return 0;
    value = word;
    return 1;
}

int CQvxGuiCheckboxCtrlGroup::PickMember(int random, int count)
{
    if (count <= 0)
        return -1;
    const int index = static_cast<int>(static_cast<long long>(random) * count / 32768);
    return index < count ? index : count - 1;
}

void CQvxGuiCheckboxCtrlGroup::RandomExercise(int flags)
{
    if (!(flags & 0x20) || std::rand() % 2 || m_members.IsEmpty())
        return;
    const int index = PickMember(std::rand() % 32768, m_members.GetCount());
    CQvxGuiCheckboxCtrl* box = m_members.GetAt(m_members.FindIndex(index));
    if (box->GetSafeHwnd() && box->IsWindowEnabled())
        box->SetCheck(!box->GetCheck());
    if (flags & 0x4)
        SendValue();
}
