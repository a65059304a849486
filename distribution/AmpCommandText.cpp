#include "distribution/AmpCommandText.h"

#include <cctype>
#include <cstdint>
#include <string>

namespace {

struct CommandGroup {
    WORD code = 0;
    bool hasValue = false;
    LONG value = 0;
};

bool IsBlank(char ch) { return std::isspace(static_cast<unsigned char>(ch)) != 0; }
bool IsLetter(char ch) { return ch >= 'A' && ch <= 'Z'; }
bool IsDigit(char ch) { return ch >= '0' && ch <= '9'; }
bool IsHexDigit(char ch) { return IsDigit(ch) || (ch >= 'A' && ch <= 'F'); }

bool HasOnlyAllowedCharacters(const std::string& text)
{
    for (char ch : text)
        if (!IsLetter(ch) && !IsDigit(ch) && ch != '$' && ch != '-' && !IsBlank(ch))
            return false;
    return true;
}

void SkipBlanks(const std::string& text, size_t& pos)
{
    while (pos < text.size() && IsBlank(text[pos]))
        ++pos;
}

// Reads a run of digits in the base; values that do not fit in 32 bits are
// refused rather than clamped.
bool ReadDigits(const std::string& text, size_t& pos, int base, uint64_t& magnitude)
{
    const size_t start = pos;
    magnitude = 0;
    while (pos < text.size() && (base == 16 ? IsHexDigit(text[pos]) : IsDigit(text[pos]))) {
        const char ch = text[pos++];
        const int digit = IsDigit(ch) ? ch - '0' : ch - 'A' + 10;
        magnitude = magnitude * static_cast<uint64_t>(base) + static_cast<uint64_t>(digit);
        if (magnitude > 0xFFFFFFFFull)
            return false;
    }
    return pos > start;
}

bool ReadValue(const std::string& text, size_t& pos, LONG& value)
{
    uint64_t magnitude = 0;
    if (text[pos] == '$') {
        ++pos;
        if (!ReadDigits(text, pos, 16, magnitude))
            return false;
        value = static_cast<LONG>(static_cast<uint32_t>(magnitude));
        return true;
    }
    const bool negative = text[pos] == '-';
    if (negative)
        ++pos;
    if (!ReadDigits(text, pos, 10, magnitude))
        return false;  // also a lone "-": no value would be written by accident
    if (negative) {
        if (magnitude > 0x80000000ull)
            return false;  // below the smallest 32-bit value
        value = static_cast<LONG>(static_cast<uint32_t>(0u - static_cast<uint32_t>(magnitude)));
    } else {
        value = static_cast<LONG>(static_cast<uint32_t>(magnitude));
    }
    return true;
}

bool ReadGroup(const std::string& text, size_t& pos, CommandGroup& group)
{
    SkipBlanks(text, pos);
    if (pos >= text.size() || !IsLetter(text[pos]))
        return false;
    const size_t start = pos;
    while (pos < text.size() && IsLetter(text[pos]))
        ++pos;
    if (pos - start > 3)
        return false;
    group.code = static_cast<WORD>(MnemonicToCode(text.substr(start, pos - start).c_str()));
    SkipBlanks(text, pos);
    if (pos >= text.size())
        return true;
    if (text[pos] != '$' && text[pos] != '-' && !IsDigit(text[pos]))
        return false;  // a second mnemonic straight after the first needs a value between
    group.hasValue = true;
    return ReadValue(text, pos, group.value);
}

}  // namespace

int ParseAmpCommandText(CCompoundAmpMsg& message, const char* text)
{
    CString trimmed(text ? text : "");
    trimmed.Trim();
    trimmed.MakeUpper();
    const std::string line(trimmed.GetString());
    if (!HasOnlyAllowedCharacters(line))
        return 0;

    CommandGroup groups[2];
    int count = 0;
    size_t pos = 0;
    while (true) {
        if (count == 2)
            return 0;
        if (!ReadGroup(line, pos, groups[count]))
            return 0;
        ++count;
        if (pos >= line.size())
            break;
    }

    if (count == 2) {
        if (!groups[0].hasValue)
            return 0;
        CAmpCommand sub(groups[0].code, groups[0].value, AutoValueWidth(groups[0].value));
        message.m_subCommands.AddTail(sub);
    }
    const CommandGroup& own = groups[count - 1];
    message.m_code = own.code;
    if (own.hasValue)
        message.SetValueAuto(own.value);
    else
        message.SetRead();
    return 1;
}
