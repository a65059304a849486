// CFaultLogItem: one entry of the alert history, with the flags the Alert Log
// window keeps on it.
#pragma once

#include "alerts/FaultItem.h"

class CFaultLogItem : public CFaultItem {
public:
    CFaultLogItem() = default;
    explicit CFaultLogItem(const CFaultItem& item) : CFaultItem(item) {}
    virtual ~CFaultLogItem() = default;
    CFaultLogItem(const CFaultLogItem&) = default;
    CFaultLogItem& operator=(const CFaultLogItem&) = default;

    int m_acknowledged = 0;
    int m_new = 1;
    int m_changed = 0;
    int m_id = 0;
};
