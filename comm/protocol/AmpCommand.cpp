#include "comm/protocol/AmpCommand.h"

#include <cstdlib>

int MnemonicToCode(const char* mnemonic)
{
    if (!mnemonic)
        return 0;
    int length = 0;
    while (length < 3 && mnemonic[length])
        ++length;
    int code = 0;
    int shift = 0;
    for (int i = length - 1; i >= 0; --i, shift += 5) {
        const char ch = mnemonic[i];
        int letter;
        if (ch >= 'a' && ch <= 'z')
            letter = ch - 'a' + 1;
        else if (ch >= 'A' && ch <= 'Z')
            letter = ch - 'A' + 1;
        else
            return 0;
        code |= letter << shift;
    }
    return code;
}

CString CodeToMnemonic(int code)
{
    char text[4];
    for (int i = 0; i < 3; ++i) {
        const int bits = (code >> (10 - 5 * i)) & 0x1F;
        text[i] = bits ? static_cast<char>(64 + bits) : ' ';
    }
    text[3] = '\0';
    CString result(text);
    result.Trim(' ');
    return result;
}

BYTE AutoValueWidth(LONG value)
{
    const long long magnitude = std::llabs(static_cast<long long>(value));
    if (magnitude <= 127)
        return 1;
    if (magnitude & ~0x7FFFLL)
        return 4;
    return 2;
}

LONG CAmpCommand::GetValue() const
{
    switch (m_width) {
    case 0: return 0;
    case 1: return static_cast<int8_t>(m_value & 0xFF);
    case 2: return static_cast<int16_t>(m_value & 0xFFFF);
    default: return m_value;
    }
}

CString CAmpCommand::ToString(int flags) const
{
    CString text = CodeToMnemonic(m_code);
    if (m_width == 0)
        return text;
    if (flags & kAmpTextDecimal) {
        text.AppendFormat(" %d", static_cast<int>(GetValue()));
    } else {
        CString format;
        format.Format(" $%%0%ux", 2u * m_width);
        CString value;
        value.Format(format, static_cast<unsigned>(m_value));
        text += value;
    }
    return text;
}

int DecodeBlockTransferQuery(const CAmpCommand& command, int& registerCode, int& highWord, int& blockIndex)
{
    if (command.m_code < 15969 || command.m_code > 15972)
        return 0;
    const auto value = static_cast<DWORD>(command.m_value);
    registerCode = static_cast<int>(((value & 0xFF) << 8) | ((value >> 8) & 0xFF));
    highWord = static_cast<int>(value >> 16);
    blockIndex = (command.m_code & 0xFF) - 97;
    return value < 65536 ? 2 : 1;
}
