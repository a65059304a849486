// CAmpResponseToGui: an answer as one receiver gets it, with the id of the
// receiver's query.
#pragma once

#include "comm/protocol/AmpResponseToDistMngr.h"

class CAmpResponseToGui : public CAmpResponseToDistMngr {
public:
    CAmpResponseToGui() = default;
    explicit CAmpResponseToGui(const CAmpResponseToDistMngr& response) : CAmpResponseToDistMngr(response) {}

    CString ToString(int flags = 0) const override;

    DWORD m_queryId = 0;
    DWORD m_notification = 0;  // an unsolicited message delivered through a subscription
    DWORD m_write = 0;         // the answered job was a write
};
