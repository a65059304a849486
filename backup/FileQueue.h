// CFileQueue: the template stack; the head is the file being read, included
// templates are pushed at the head and popped at their end.
#pragma once

#include "backup/FileQueueItem.h"
#include "platform/core/List.h"

class CFileQueue {
public:
    CFileQueue() = default;
    ~CFileQueue() { RemoveAll(); }
    CFileQueue(const CFileQueue&) = delete;
    CFileQueue& operator=(const CFileQueue&) = delete;

    // Opens the file for reading; false when it cannot be opened.
    bool Push(const CString& path);
    void Pop();
    void RemoveAll();
    CFileQueueItem* Head() const { return m_items.IsEmpty() ? nullptr : m_items.GetHead(); }
    int GetCount() const { return static_cast<int>(m_items.GetCount()); }

private:
    CList<CFileQueueItem*, CFileQueueItem*> m_items;
};
