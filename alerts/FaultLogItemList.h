// CFaultLogItemList: the alert history, oldest first, with a map from id to
// entry. Ids count up per program run and are never given twice.
#pragma once

#include "alerts/FaultLogItem.h"
#include "platform/core/List.h"
#include "platform/core/Map.h"

class CFaultLogItemList : public CList<CFaultLogItem> {
public:
    // Trims the oldest entries so at most `max` remain with the new one, then
    // appends the item under the next id and returns that id.
    int AddItem(const CFaultItem& item, int max);
    CFaultLogItem* FindById(int id);
    void RemoveById(int id);
    // Empties the history; the ids given so far stay given.
    void Clear();
    int GetLastId() const { return m_lastId; }
    int CountUnacknowledged() const;

private:
    int m_lastId = 0;
    CMap<int, int, POSITION, POSITION> m_byId;
};
