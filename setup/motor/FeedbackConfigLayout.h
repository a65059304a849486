// The feedback configuration page's decisions as plain functions: shown
// boxes and writable fields by feedback, divider choices, and the packed
// encoder output and absolute encoder words.
#pragma once

#include <optional>
#include <vector>

enum EncoderFaultWriter { kFaultWriterNone = 0, kFaultWriterEncoder, kFaultWriterAbsEncoder, kFaultWriterResolver };

struct FeedbackLayoutResult {
    std::vector<int> leftGroups;
    std::vector<int> rightGroups;
    bool resolverSelected = false;       // after the firmware check
    bool simulatedBitsWritable = false;
    bool interpolationWritable = false;
    bool calibrationShown = false;
    int faultWriter = kFaultWriterNone;  // the one group writing bit 2048 of 4229
};

struct EncoderOutputWord {
    int divisor = 1;   // bits 0-3
    int ezMode = 0;    // bits 4-6
    bool reverse = false;  // bit 7
};

class CFeedbackConfigLayout {
public:
    // resolverSupported: the firmware version is known and not below the
    // "ResolverFeedbackSettings" minimum.
    static FeedbackLayoutResult Arrange(int feedbackMask, int motorType, bool resolverSupported);

    // Divisors 1..8 of the line count; all eight for 0.
    static std::vector<int> DivisorChoices(long long lines);

    static EncoderOutputWord DecodeOutputWord(int word);
    // The word to send: offered parts replace their bits, everything else
    // keeps the bits last read from the drive.
    static int ComposeOutputWord(int lastRead, std::optional<int> divisor, std::optional<int> ezMode);

    // 1193 sub 4: CDS bits 0-3, alignment bits 4-7; sub 5: position shift
    // bits 0-7, velocity shift bits 8-15.
    static int PackBits(int cds, int align);
    static int PackShifts(int position, int velocity);
    static int CdsBits(int word) { return word & 0x0F; }
    static int AlignBits(int word) { return (word >> 4) & 0x0F; }
    static int PositionShift(int word) { return word & 0xFF; }
    static int VelocityShift(int word) { return (word >> 8) & 0xFF; }

    // 9859 values 11..14 as line counts 512..4096; nothing otherwise.
    static std::optional<int> LineCountForBits(int bits);
    static const char* ProtocolName(int protocol);  // empty outside 0..2
    static const char* EzModeName(int mode);        // "Reserved" from 5 on
};
