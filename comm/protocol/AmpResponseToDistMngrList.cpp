#include "comm/protocol/AmpResponseToDistMngrList.h"

#include "platform/core/SingleLock.h"

void CAmpResponseToDistMngrList::Append(const CAmpResponseToDistMngr& response)
{
    CSingleLock lock(&m_lock, TRUE);
    m_responses.AddTail(response);
}

bool CAmpResponseToDistMngrList::PopResponse(CAmpResponseToDistMngr& out)
{
    CSingleLock lock(&m_lock, TRUE);
    if (m_responses.IsEmpty())
        return false;
    out = m_responses.RemoveHead();
    return true;
}

void CAmpResponseToDistMngrList::Copy(const CAmpResponseToDistMngrList& other)
{
    if (this == &other)
        return;
    CList<CAmpResponseToDistMngr> copy;
    {
        CSingleLock theirs(&other.m_lock, TRUE);
        copy = other.m_responses;
    }
    CSingleLock lock(&m_lock, TRUE);
    m_responses.Swap(copy);
}

int CAmpResponseToDistMngrList::GetCount() const
{
    CSingleLock lock(&m_lock, TRUE);
    return m_responses.GetCount();
}

void CAmpResponseToDistMngrList::RemoveAll()
{
    CSingleLock lock(&m_lock, TRUE);
    m_responses.RemoveAll();
}
