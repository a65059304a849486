// CQvxBlockData: a raw byte block waiting to be sent verbatim; owns its copy.
#pragma once

#include <cstdlib>
#include <cstring>

#include "platform/core/WinTypes.h"

class CQvxBlockData {
public:
    CQvxBlockData(const BYTE* bytes, int count)
        : m_count(count > 0 ? count : 0), m_bytes(static_cast<BYTE*>(std::malloc(m_count > 0 ? m_count : 1)))
    {
        if (m_bytes && m_count > 0)
            std::memcpy(m_bytes, bytes, static_cast<size_t>(m_count));
    }
    ~CQvxBlockData() { std::free(m_bytes); }
    CQvxBlockData(const CQvxBlockData&) = delete;
    CQvxBlockData& operator=(const CQvxBlockData&) = delete;

    int m_count;
    BYTE* m_bytes;
};
