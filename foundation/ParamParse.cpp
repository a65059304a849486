#include "ParamParse.h"

#include <cctype>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

class ParamCursor {
public:
    explicit ParamCursor(std::string list) : m_list(std::move(list)) {}

    bool AtEnd() const { return m_pos >= m_list.size(); }
    void SkipSeparators()
    {
        while (!AtEnd() && (std::isspace(static_cast<unsigned char>(m_list[m_pos])) || m_list[m_pos] == ','))
            ++m_pos;
    }
    // strtod from here; an item that is not a number reads as 0 and does not move on.
    double ReadNumber()
    {
        const char* start = m_list.c_str() + m_pos;
        char* stop = nullptr;
        const double value = std::strtod(start, &stop);
        m_pos += static_cast<size_t>(stop - start);
        return value;
    }
    int ReadText(CString& text)
    {
        if (AtEnd() || m_list[m_pos] != '"')
            return CParamParse::errQuote;
        ++m_pos;
        const size_t start = m_pos;
        while (!AtEnd() && m_list[m_pos] != '"' && m_pos - start < CParamParse::kMaxTextLength)
            ++m_pos;
        if (AtEnd() || m_list[m_pos] != '"')
            return CParamParse::errQuote;
        text = CString(m_list.substr(start, m_pos - start));
        ++m_pos;
        return CParamParse::ok;
    }

private:
    std::string m_list;
    size_t m_pos = 0;
};

// Truncated toward zero into 32 bits; values outside it saturate and NaN reads as 0.
int TruncateToInt(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= static_cast<double>(INT_MAX))
        return INT_MAX;
    if (value <= static_cast<double>(INT_MIN))
        return INT_MIN;
    return static_cast<int>(value);
}

int ReadItem(ParamCursor& cursor, const CParamParse::Target& target)
{
    void* dest = target.GetDest();
    switch (target.GetType()) {
    case CParamParse::typeChar:
        *static_cast<char*>(dest) = static_cast<char>(TruncateToInt(cursor.ReadNumber()) & 0xFF);
        return CParamParse::ok;
    case CParamParse::typeShort:
        *static_cast<short*>(dest) = static_cast<short>(TruncateToInt(cursor.ReadNumber()));
        return CParamParse::ok;
    case CParamParse::typeInt:
        *static_cast<int*>(dest) = TruncateToInt(cursor.ReadNumber());
        return CParamParse::ok;
    case CParamParse::typeLong:
        *static_cast<long*>(dest) = TruncateToInt(cursor.ReadNumber());
        return CParamParse::ok;
    case CParamParse::typeFloat:
        *static_cast<float*>(dest) = static_cast<float>(cursor.ReadNumber());
        return CParamParse::ok;
    case CParamParse::typeDouble:
        *static_cast<double*>(dest) = cursor.ReadNumber();
        return CParamParse::ok;
    case CParamParse::typeText:
        return cursor.ReadText(*static_cast<CString*>(dest));
    default:
        return CParamParse::errUnknownType;
    }
}

}  // namespace

int CParamParse::ParseParams(const char* text, std::initializer_list<Target> targets)
{
    return ParseParams(text, targets.begin(), static_cast<int>(targets.size()));
}

int CParamParse::ParseParams(const char* text, const Target* targets, int count)
{
    const char* open = text ? std::strchr(text, '(') : nullptr;
    if (!open)
        return errOpenParenthesis;
    const char* close = std::strrchr(text, ')');
    if (!close)
        return errCloseParenthesis;
    if (close < open)
        return errOpenParenthesis;

    ParamCursor cursor(std::string(open + 1, close));
    for (int i = 0; i < count; ++i) {
        cursor.SkipSeparators();
        if (cursor.AtEnd())
            return errEndOfLine;
        const int result = ReadItem(cursor, targets[i]);
        if (result != ok)
            return result;
        if (cursor.AtEnd() && i < count - 1)
            return errMissingParameters;
    }
    cursor.SkipSeparators();
    return cursor.AtEnd() ? ok : errTooManyParameters;
}

CString CParamParse::GetErrorString(int code)
{
    switch (code) {
    case errOutOfMemory: return "out of memory";
    case errOpenParenthesis: return "'(' expected";
    case errCloseParenthesis: return "')' expected";
    case errEndOfLine: return "unexpected end of line";
    case errUnknownType: return "unknown type";
    case errMissingParameters: return "missing parameters";
    case errTooManyParameters: return "too many parameters";
    case errQuote: return "'\"'expected";
    default: return "unknown";
    }
}
