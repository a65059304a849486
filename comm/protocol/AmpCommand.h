// CAmpCommand: one drive command: a 16-bit code spelling a mnemonic of up to
// three letters, a value and its width in bytes (0 = no value, a read).
#pragma once

#include "platform/core/String.h"

// Format flags of ToString.
enum AmpTextFlags : int {
    kAmpTextNoJobId = 0x1,
    kAmpTextNoAddress = 0x2,
    kAmpTextDecimal = 0x4,
    kAmpTextTimeStamp = 0x8,
};

int MnemonicToCode(const char* mnemonic);
CString CodeToMnemonic(int code);
// 1 byte up to magnitude 127, 4 bytes from magnitude 32768, else 2.
BYTE AutoValueWidth(LONG value);

class CAmpCommand {
public:
    CAmpCommand() = default;
    CAmpCommand(WORD code, LONG value, BYTE width) : m_code(code), m_value(value), m_width(width) {}
    virtual ~CAmpCommand() = default;
    CAmpCommand(const CAmpCommand&) = default;
    CAmpCommand& operator=(const CAmpCommand&) = default;

    virtual CString ToString(int flags = 0) const;

    // The value sign-extended from its width.
    LONG GetValue() const;
    void SetValue(LONG value, BYTE width) { m_value = value; m_width = width; }
    void SetValueAuto(LONG value) { SetValue(value, AutoValueWidth(value)); }
    void SetRead() { m_value = 0; m_width = 0; }
    bool HasValue() const { return m_width != 0; }

    WORD m_code = 0;
    LONG m_value = 0;
    BYTE m_width = 0;
    BYTE m_flag = 0;
};

// For a block-transfer code (OSA..OSD): the register carried (its two bytes
// swapped), the value's high word and the block index 0-3. Returns 2 when the
// value is below 65536, 1 when not, 0 for any other code.
int DecodeBlockTransferQuery(const CAmpCommand& command, int& registerCode, int& highWord, int& blockIndex);
