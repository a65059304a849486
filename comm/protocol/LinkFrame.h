// CLinkFrame: the bytes of one link frame: a header (value width in bits 5-7,
// drive address in bits 0-4), the code high byte first, the value least
// significant byte first, and the header inverted as the check byte.
#pragma once

#include "comm/protocol/AmpMsg.h"
#include "foundation/RingBuff.h"

class CLinkFrame {
public:
    enum ReadResult { kRead = 0, kIncomplete = -1, kBadWidth = -2, kBadCheck = -3 };
    static constexpr int kMaxLength = 8;
    static constexpr int kMaxWidth = 4;

    // Value bytes a message puts on the wire (a width above 4 sends 4).
    static int WireWidth(const CAmpMsg& message);
    static int Length(const CAmpMsg& message) { return WireWidth(message) + 4; }
    // Writes the frame into out (at least kMaxLength bytes); returns its length.
    static int Encode(const CAmpMsg& message, BYTE* out);
    // Takes one frame from the ring. On kIncomplete the bytes taken are gone:
    // callers save the ring state first and restore it.
    static int Read(CRingBuff& ring, CAmpMsg& message);
};
