// CDSocketThreadData: one datagram waiting to be sent or taken.
#pragma once

#include <memory>

#include "platform/core/WinTypes.h"

class CDSocketThreadData {
public:
    CDSocketThreadData(const BYTE* bytes, int count)
        : m_size(count > 0 ? count : 0), m_bytes(new BYTE[m_size > 0 ? m_size : 1])
    {
        for (int i = 0; i < m_size; ++i)
            m_bytes[i] = bytes[i];
    }

    int m_size;
    std::unique_ptr<BYTE[]> m_bytes;
};
