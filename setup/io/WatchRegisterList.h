// CWatchRegisterList: the watches in display order, with a map from each
// running query's id to its watch so that a reply finds it.
#pragma once

#include <map>
#include <memory>
#include <vector>

#include "setup/io/WatchRegisterItem.h"

class CAmpResponseToGui;
class CDPropertyList;

class CWatchRegisterList {
public:
    CWatchRegisterList() = default;
    CWatchRegisterList(const CWatchRegisterList& other);
    CWatchRegisterList& operator=(const CWatchRegisterList& other);

    // The new entry, appended at the end.
    CWatchRegisterItem* Add(const CWatchRegisterItem& item);
    void Remove(CWatchRegisterItem* item);
    void RemoveAll();
    int GetCount() const { return static_cast<int>(m_items.size()); }
    CWatchRegisterItem* GetAt(int index) const { return m_items.at(static_cast<size_t>(index)).get(); }
    int IndexOf(const CWatchRegisterItem* item) const;
    // Moves the entries at the given indexes, in their order, to stand before
    // the entry that was at target (the end when target is the count).
    void MoveTo(const std::vector<int>& indexes, int target);

    // Records a watch's running query (0: none).
    void SetJob(CWatchRegisterItem* item, DWORD jobId);
    CWatchRegisterItem* FindJob(DWORD jobId) const;

    // Sets the answered watch's texts; 0 when no watch runs that query.
    int ApplyReply(const CAmpResponseToGui& reply, int showValueFormat, int showUpdateTime);

    BOOL SaveToProfile(const char* section) const;
    void LoadFromProfile(const char* section);
    void SaveToBag(CDPropertyList& bag) const;
    // 0 with the list as it was when a value lies outside its range; the
    // message then says which.
    int LoadFromBag(const CDPropertyList& bag, CString* error = nullptr);

private:
    std::vector<std::unique_ptr<CWatchRegisterItem>> m_items;
    std::map<DWORD, CWatchRegisterItem*> m_jobs;
};

// The profile section of the watch window's list.
extern const char* const kWatchWindowSection;
extern const char* const kWatchListSection;
