// CRingBuff: a byte ring of 2^n bytes that holds at most 2^n - 1 of them.
// Every operation is safe from any thread; Read and Write lock per byte.
#pragma once

#include "platform/core/Mutex.h"
#include "platform/core/WinTypes.h"

struct RingBuffState {
    int writeIndex;
    int readIndex;
    int count;
};

class CRingBuff {
public:
    enum Result { kOk = 0, kNoStorage = -1, kFull = -2, kEmpty = -3 };

    explicit CRingBuff(int sizeBits);
    virtual ~CRingBuff();
    CRingBuff(const CRingBuff&) = delete;
    CRingBuff& operator=(const CRingBuff&) = delete;

    int PutByte(BYTE b);
    int GetByte();
    int UngetByte(BYTE b);
    int Read(int n, BYTE* buffer);
    int Write(const BYTE* buffer, int n);
    void Clear();
    void SaveState(RingBuffState& state);
    void RestoreState(const RingBuffState& state);
    int GetCount();
    int GetSize() const { return m_size; }

private:
    CMutex m_lock;
    int m_size;
    int m_mask;
    int m_count = 0;
    BYTE* m_storage;
    int m_writeIndex = 0;
    int m_readIndex = 0;
};
