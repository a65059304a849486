#include "backup/FileQueue.h"

#include <sys/stat.h>

CFileQueueItem::~CFileQueueItem()
{
    if (m_file)
        fclose(m_file);
}

bool CFileQueue::Push(const CString& path)
{
    // A device or a pipe named as a template could be read for ever.
    struct stat info {};
    if (stat(path, &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    FILE* file = fopen(path, "rb");
    if (!file)
        return false;
    m_items.AddHead(new CFileQueueItem(file, path));
    return true;
}

void CFileQueue::Pop()
{
    if (!m_items.IsEmpty())
        delete m_items.RemoveHead();
}

void CFileQueue::RemoveAll()
{
    while (!m_items.IsEmpty())
        delete m_items.RemoveHead();
}
