// CSha256: the SHA-256 digest of a byte string.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "platform/core/String.h"

class CSha256 {
public:
    CSha256();
    void Add(const void* data, size_t size);
    std::array<uint8_t, 32> Finish();
    // The digest of a text as 64 lower-case hexadecimal digits.
    static CString HexDigest(const CString& text);

private:
    void Block(const uint8_t* block);
    std::array<uint32_t, 8> m_state;
    uint8_t m_buffer[64];
    size_t m_buffered = 0;
    uint64_t m_length = 0;
};
