#include "comm/trace/CommManagerTraceClient.h"

#include "comm/trace/CommManagerTraceClientList.h"

CCommManagerTraceClient::~CCommManagerTraceClient()
{
    if (m_owner)
        m_owner->RemoveClient(this);
}
