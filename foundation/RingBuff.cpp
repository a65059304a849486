#include "RingBuff.h"

#include <cstdlib>

#include "platform/core/SingleLock.h"

namespace {
// 2^31 does not fit the 32-bit size field; larger requests get 2^30.
int SizeFromBits(int sizeBits)
{
    const unsigned bits = static_cast<unsigned>(sizeBits) & 31u;
    return static_cast<int>(1u << (bits > 30 ? 30 : bits));
}
}  // namespace

CRingBuff::CRingBuff(int sizeBits)
    : m_size(SizeFromBits(sizeBits)),
      m_mask(m_size - 1),
      m_storage(static_cast<BYTE*>(std::malloc(static_cast<size_t>(m_size))))
{
    Clear();
}

CRingBuff::~CRingBuff() { std::free(m_storage); }

int CRingBuff::PutByte(BYTE b)
{
    CSingleLock lock(&m_lock, TRUE);
    if (!m_storage)
        return kNoStorage;
    if (m_writeIndex == m_readIndex)
        return kFull;
    m_storage[m_writeIndex] = b;
    m_writeIndex = (m_writeIndex + 1) & m_mask;
    ++m_count;
    return kOk;
}

int CRingBuff::GetByte()
{
    CSingleLock lock(&m_lock, TRUE);
    if (!m_storage)
        return kNoStorage;
    const int next = (m_readIndex + 1) & m_mask;
    if (next == m_writeIndex)
        return kEmpty;
    m_readIndex = next;
    --m_count;
    return m_storage[m_readIndex];
}

int CRingBuff::UngetByte(BYTE b)
{
    CSingleLock lock(&m_lock, TRUE);
    if (!m_storage)
        return kNoStorage;
    const int back = (m_readIndex - 1) & m_mask;
    if (back == m_writeIndex)
        return kFull;
    m_storage[m_readIndex] = b;
    m_readIndex = back;
    ++m_count;
    return kOk;
}

int CRingBuff::Read(int n, BYTE* buffer)
{
    {
        CSingleLock lock(&m_lock, TRUE);
        if (!m_storage)
            return kNoStorage;
        if (m_count == 0)
            return kEmpty;
    }
    int taken = 0;
    while (taken < n) {
        const int b = GetByte();
        if (b < 0)
            break;
        buffer[taken++] = static_cast<BYTE>(b);
    }
    return taken;
}

int CRingBuff::Write(const BYTE* buffer, int n)
{
    {
        CSingleLock lock(&m_lock, TRUE);
        if (!m_storage)
            return kNoStorage;
    }
    for (int i = 0; i < n; ++i) {
        const int result = PutByte(buffer[i]);
        if (result != kOk)
            return result;
    }
    return n;
}

void CRingBuff::Clear()
{
    CSingleLock lock(&m_lock, TRUE);
    m_readIndex = 0;
    m_writeIndex = 1 & m_mask;  // a one-byte ring is at once full and empty
    m_count = 0;
}

void CRingBuff::SaveState(RingBuffState& state)
{
    CSingleLock lock(&m_lock, TRUE);
    state = {m_writeIndex, m_readIndex, m_count};
}

void CRingBuff::RestoreState(const RingBuffState& state)
{
    CSingleLock lock(&m_lock, TRUE);
    m_writeIndex = state.writeIndex & m_mask;
    m_readIndex = state.readIndex & m_mask;
    m_count = state.count;
}

int CRingBuff::GetCount()
{
    CSingleLock lock(&m_lock, TRUE);
    return m_count;
}
