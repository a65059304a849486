#include "CommManagerTraceClient.h"

#include "CommManagerTraceClientList.h"

CCommManagerTraceClient::~CCommManagerTraceClient()
{
    if (m_owner)
        m_owner->RemoveClient(this);
}
