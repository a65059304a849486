#include "TextHelpers.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

bool IsDigit(char ch) { return std::isdigit(static_cast<unsigned char>(ch)) != 0; }
bool IsSpace(char ch) { return std::isspace(static_cast<unsigned char>(ch)) != 0; }

bool IsMarkupNameChar(char ch)
{
    return std::isalnum(static_cast<unsigned char>(ch)) || std::strchr("+-._/:", ch) != nullptr;
}

// The whole part of |value| modulo m, for values of any size.
unsigned WholeModulo(double value, double m)
{
    return static_cast<unsigned>(std::fmod(std::trunc(value), m));
}

bool ParseIntegerItem(const CString& item, std::vector<int>& values)
{
    const int dash = item.Find('-');
    if (dash < 0) {
        values.push_back(std::atoi(item));
        return true;
    }
    if (dash == 0 || dash == item.GetLength() - 1 || item.Find('-', dash + 1) >= 0)
        return false;
    const long low = std::strtol(item.Left(dash), nullptr, 10);
    const long high = std::strtol(item.Mid(dash + 1), nullptr, 10);
    // A range is for a handful of items; a huge one is a typing error, not a request for memory.
    constexpr long kMaxRangeItems = 100000;
    if (high - low >= kMaxRangeItems)
        return false;
    for (long v = low; v <= high; ++v)
        values.push_back(static_cast<int>(v));
    return true;
}

}  // namespace

CString FormatDouble(double value, int digits)
{
    CString text;
    if (digits >= 0)
        text.Format("%0.*f", digits, value);
    else
        text.Format("%0.*g", -digits, value);
    return text;
}

CString FormatTimeSpan(double seconds)
{
    if (std::isnan(seconds))
        seconds = 0;
    const char* sign = seconds < 0 ? "-" : "";
    seconds = std::fabs(seconds);
    CString text;
    text.Format("%s%02u:%02u.%02u", sign, WholeModulo(seconds / 60, 100), WholeModulo(seconds, 60),
                WholeModulo(seconds * 100, 100));
    return text;
}

CString FormatInt(int value)
{
    CString text;
    text.Format("%d", value);
    return text;
}

namespace {

int BitsForSizeCode(int sizeCode)
{
    return sizeCode == 0 ? 8 : (sizeCode == 1 ? 16 : 32);
}

}  // namespace

CString FormatBinary(DWORD value, int sizeCode)
{
    CString text;
    for (int bit = BitsForSizeCode(sizeCode) - 1; bit >= 0; --bit)
        text += ((value >> bit) & 1) ? '1' : '0';
    return text;
}

CString FormatHex(DWORD value, int sizeCode)
{
    const int bits = BitsForSizeCode(sizeCode);
    const DWORD masked = bits == 32 ? value : (value & ((1u << bits) - 1));
    CString text;
    text.Format("%0*x", bits / 4, masked);
    return text;
}

CString FormatBitList(DWORD value)
{
    CString text;
    for (int bit = 0; bit < 32; ++bit) {
        if (!((value >> bit) & 1))
            continue;
        if (!text.IsEmpty())
            text += ',';
        text.AppendFormat("%d", bit);
    }
    return text;
}

CString FormatRangeMessage(const char* name, BOOL adjusted, double minimum, double maximum)
{
    CString text;
    text.Format("\"%s\" must be in the range %g to %g.", name, minimum, maximum);
    if (adjusted)
        text += "  Entered value has been automatically adjusted to fit into that range.";
    return text;
}

int ParseIntegerList(const char* text, CList<int, int>& values)
{
    CString compact;
    for (const char* p = text ? text : ""; *p; ++p) {
        if (*p == ' ' || (*p >= 9 && *p <= 13))
            continue;
        if (!IsDigit(*p) && *p != ',' && *p != '-')
            return 0;
        compact += *p;
    }
    std::vector<int> read;
    int start = 0;
    while (start <= compact.GetLength()) {
        int comma = compact.Find(',', start);
        if (comma < 0)
            comma = compact.GetLength();
        const CString item = compact.Mid(start, comma - start);
        const bool last = comma >= compact.GetLength();
        if (item.IsEmpty()) {
            if (!last)
                return 0;
            break;
        }
        if (!ParseIntegerItem(item, read))
            return 0;
        start = comma + 1;
    }
    for (int v : read)
        values.AddTail(v);
    return 1;
}

namespace {

// Reads the opening tag whose "<" is at pos; on success pos is just after its ">".
bool ReadOpeningTag(const CString& text, int& pos, CMapStringToString& attributes, bool& empty)
{
    const int length = text.GetLength();
    ++pos;
    while (pos < length && !IsSpace(text[pos]) && text[pos] != '>' && text[pos] != '/')
        ++pos;
    for (;;) {
        while (pos < length && IsSpace(text[pos]))
            ++pos;
        if (pos >= length)
            return false;
        if (text[pos] == '>') {
            ++pos;
            empty = false;
            return true;
        }
        if (text[pos] == '/' && pos + 1 < length && text[pos + 1] == '>') {
            pos += 2;
            empty = true;
            return true;
        }
        const int nameStart = pos;
        while (pos < length && IsMarkupNameChar(text[pos]))
            ++pos;
        if (pos == nameStart || pos >= length || text[pos] != '=')
            return false;
        const CString name = text.Mid(nameStart, pos - nameStart);
        ++pos;
        CString value;
        if (pos < length && text[pos] == '"') {
            const int close = text.Find('"', pos + 1);
            if (close < 0)
                return false;
            value = text.Mid(pos + 1, close - pos - 1);
            pos = close + 1;
        } else {
            const int valueStart = pos;
            while (pos < length && IsMarkupNameChar(text[pos]))
                ++pos;
            if (pos == valueStart)
                return false;
            value = text.Mid(valueStart, pos - valueStart);
        }
        if (!attributes.PLookup(name))
            attributes.SetAt(name, value);
    }
}

}  // namespace

int ExtractTaggedValue(const char* tag, const CString& text, CString& value, CMapStringToString* attributes,
                       int start)
{
    if (start < 0 || start > text.GetLength())
        return -1;
    CString opening;
    opening.Format("<%s", tag);
    int pos = text.Find(opening, start);
    if (pos < 0)
        return -1;
    CMapStringToString read;
    bool empty = false;
    if (!ReadOpeningTag(text, pos, read, empty))
        return -1;
    int end = pos;
    if (empty) {
        value.Empty();
    } else {
        CString closing;
        closing.Format("</%s>", tag);
        // Searched after the opening tag, so a stray closing tag before it is not taken.
        const int close = text.Find(closing, pos);
        if (close < 0)
            return -1;
        value = text.Mid(pos, close - pos);
        end = close + closing.GetLength();
    }
    if (attributes) {
        CString name;
        CString attributeValue;
        for (POSITION p = read.GetStartPosition(); p;) {
            read.GetNextAssoc(p, name, attributeValue);
            attributes->SetAt(name, attributeValue);
        }
    }
    return end;
}

int HexToBytes(const char* text, int capacity, BYTE* bytes)
{
    auto digit = [](char ch) -> int {
        if (ch >= '0' && ch <= '9')
            return ch - '0';
        if (ch >= 'a' && ch <= 'f')
            return ch - 'a' + 10;
        if (ch >= 'A' && ch <= 'F')
            return ch - 'A' + 10;
        return -1;
    };
    int count = 0;
    for (const char* p = text ? text : ""; *p && count < capacity; p += 2) {
        const int high = digit(p[0]);
        const int low = high < 0 ? -1 : digit(p[1]);
        if (low < 0)
            return -1;
        bytes[count++] = static_cast<BYTE>((high << 4) | low);
    }
    return count;
}

int TrimAndCheckNumber(char* buffer)
{
    size_t length = std::strlen(buffer);
    while (length > 0 && static_cast<unsigned char>(buffer[length - 1]) < '!')
        buffer[--length] = '\0';
    if (length == 0)
        return 0;
    bool dot = false;
    for (size_t i = 0; i < length; ++i) {
        const char ch = buffer[i];
        if (IsDigit(ch))
            continue;
        if (ch == '-' && i == 0)
            continue;
        if (ch == '.' && !dot) {
            dot = true;
            continue;
        }
        return 0;
    }
    return 1;
}

int StringArraysEqual(const CStringArray& a, const CStringArray& b)
{
    if (a.GetSize() != b.GetSize())
        return 0;
    for (INT_PTR i = 0; i < a.GetSize(); ++i) {
        if (a[i] != b[i])
            return 0;
    }
    return 1;
}

void SplitToStringList(const CString& text, const char* delimiters, CStringList& list)
{
    int pos = 0;
    for (CString token = text.Tokenize(delimiters, pos); pos >= 0; token = text.Tokenize(delimiters, pos))
        list.AddTail(token.Trim());
}

void JoinStringList(const CStringList& list, const char* separator, CString& text)
{
    for (POSITION pos = list.GetHeadPosition(); pos;) {
        text += list.GetNext(pos);
        text += separator;
    }
}

CString MakeIdentifier(const CString& text)
{
    CString trimmed = text;
    trimmed.Trim();
    if (!trimmed.IsEmpty() && IsDigit(trimmed[0]))
        trimmed = "_" + trimmed;
    CString identifier;
    for (int i = 0; i < trimmed.GetLength(); ++i) {
        const unsigned char ch = static_cast<unsigned char>(trimmed[i]);
        if (std::isblank(ch))
            identifier += '_';
        else if (std::isalnum(ch) || ch == '_')
            identifier += static_cast<char>(ch);
    }
    return identifier;
}

int StartsLikeNumber(const CString& text)
{
    return !text.IsEmpty() && std::strchr("1234567890.-+", text[0]) != nullptr ? 1 : 0;
}

CString InsertDigitGroupSeparators(const CString& number, const char* separator, int groupSize)
{
    CString text = number;
    if (groupSize < 1)
        return text;
    int n = text.Find('.');
    if (n < 0)
        n = text.GetLength();
    while (n > 1 && !IsDigit(text[n - 1]))
        --n;
    int first = -1;
    for (int i = 0; i < n; ++i) {
        if (IsDigit(text[i])) {
            first = i;
            break;
        }
    }
    if (first < 0)
        return text;
    for (n -= groupSize; n > first; n -= groupSize)
        text.Insert(n, separator);
    return text;
}

CString RemoveAllSubstrings(const CString& text, const char* substring)
{
    CString result = text;
    const int length = static_cast<int>(std::strlen(substring ? substring : ""));
    if (length == 0)
        return result;
    for (int at = result.Find(substring); at >= 0; at = result.Find(substring))
        result.Delete(at, length);
    return result;
}
