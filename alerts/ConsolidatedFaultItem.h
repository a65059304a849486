// CConsolidatedFaultItem: the summary of every alert of one key.
#pragma once

#include "alerts/FaultLogItem.h"

class CConsolidatedFaultItem : public CFaultLogItem {
public:
    CConsolidatedFaultItem() = default;
    CConsolidatedFaultItem(const CFaultItem& item, int id) : CFaultLogItem(item) { m_id = id; }
    ~CConsolidatedFaultItem() override = default;
    CConsolidatedFaultItem(const CConsolidatedFaultItem&) = default;
    CConsolidatedFaultItem& operator=(const CConsolidatedFaultItem&) = default;

    int m_suppressed = 0;
    int m_summaryAcknowledged = 0;  // the summary's own; the inherited flag is unused here
    int m_count = 1;
};
