// CAmpQryCmdGuiRcvrInfo: one receiver's query inside a merged job of the
// distribution manager.
#pragma once

#include "distribution/AmpQryCmdFromGuiInfo.h"
#include "foundation/HPTimer.h"

class CAmpQryCmdGuiRcvrInfo : public CAmpQryCmdFromGuiInfo {
public:
    CAmpQryCmdGuiRcvrInfo() = default;
    CAmpQryCmdGuiRcvrInfo(const CAmpQryCmdFromGuiInfo& info, DWORD queryId) : CAmpQryCmdFromGuiInfo(info), m_queryId(queryId) {}

    DWORD m_queryId = 0;
    CHPTimer m_deliveryTimer;  // restarted at creation and at each timed delivery
    DWORD m_lastInterval = 0;  // ms between the two latest timed deliveries
    DWORD m_pending = 0;       // an answer arrived and is not yet delivered here
    bool m_served = false;     // has had a timed delivery; the first one is not held
};
