#include "comm/link/QVXCommPort.h"

#include "foundation/DThread.h"
#include "platform/core/SingleLock.h"

void CQVXCommPort::WakeReader()
{
    if (CDThread* reader = m_reader.load())
        reader->Wake();
}

CString CQVXCommPort::GetName()
{
    CSingleLock lock(&m_lock, TRUE);
    return m_name;
}

void CQVXCommPort::SetName(const CString& name)
{
    CSingleLock lock(&m_lock, TRUE);
    m_name = name;
}

BYTE CQVXCommPort::GetOpenState()
{
    CSingleLock lock(&m_lock, TRUE);
    return m_openState;
}

void CQVXCommPort::SetOpenState(BYTE state)
{
    CSingleLock lock(&m_lock, TRUE);
    m_openState = state;
}
