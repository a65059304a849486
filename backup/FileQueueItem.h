// CFileQueueItem: one open template of the template stack.
#pragma once

#include <cstdio>

#include "platform/core/String.h"

class CFileQueueItem {
public:
    CFileQueueItem(FILE* file, const CString& path) : m_file(file), m_path(path) {}
    ~CFileQueueItem();
    CFileQueueItem(const CFileQueueItem&) = delete;
    CFileQueueItem& operator=(const CFileQueueItem&) = delete;

    FILE* m_file;
    CString m_path;
    unsigned m_line = 0;
};
