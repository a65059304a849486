// CConsolidatedFaultItemList: one summary item per alert key, in the order the
// keys first came, found by key or by id.
#pragma once

#include "alerts/ConsolidatedFaultItem.h"
#include "platform/core/List.h"
#include "platform/core/Map.h"

class CConsolidatedFaultItemList : public CList<CConsolidatedFaultItem> {
public:
    // Counts the alert into its key's item, or starts an item under `id`.
    void AddOrUpdate(const CFaultItem& item, int id);
    CConsolidatedFaultItem* Find(const CString& key);
    CConsolidatedFaultItem* FindById(int id);
    int IsSuppressed(const CString& key);
    void SetSuppressed(const CString& key, int value);
    // One alert of the key is gone: the item goes with its last alert.
    void Release(const CString& key);
    void Remove(const CString& key);
    void Clear();

private:
    CMap<CString, LPCSTR, POSITION, POSITION> m_byKey;
    CMap<int, int, POSITION, POSITION> m_byId;
};
