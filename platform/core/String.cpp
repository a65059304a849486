#include "String.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <strings.h>

namespace {

bool IsBlank(char ch) { return std::isspace(static_cast<unsigned char>(ch)) != 0; }

int Sign(int v) { return (v > 0) - (v < 0); }

}  // namespace

CString::CString(const char* text, int length)
{
    if (text && length > 0)
        m_text.assign(text, static_cast<size_t>(length));
}

char* CString::GetBuffer(int minLength)
{
    if (minLength > GetLength())
        m_text.resize(static_cast<size_t>(minLength));
    return m_text.data();
}

char* CString::GetBufferSetLength(int length)
{
    m_text.resize(static_cast<size_t>(std::max(length, 0)));
    return m_text.data();
}

void CString::ReleaseBuffer(int newLength)
{
    if (newLength < 0)
        newLength = static_cast<int>(std::strlen(m_text.c_str()));
    m_text.resize(static_cast<size_t>(std::min(newLength, GetLength())));
}

void CString::Append(const char* text, int length)
{
    if (text && length > 0)
        m_text.append(text, static_cast<size_t>(length));
}

int CString::Compare(const char* text) const
{
    return Sign(std::strcmp(m_text.c_str(), text ? text : ""));
}

int CString::CompareNoCase(const char* text) const
{
    return Sign(strcasecmp(m_text.c_str(), text ? text : ""));
}

CString CString::Mid(int first) const
{
    return Mid(first, GetLength() - std::max(first, 0));
}

CString CString::Mid(int first, int count) const
{
    first = std::max(first, 0);
    count = std::max(count, 0);
    const int length = GetLength();
    if (first >= length || count == 0)
        return CString();
    count = std::min(count, length - first);
    return CString(m_text.substr(static_cast<size_t>(first), static_cast<size_t>(count)));
}

CString CString::Left(int count) const
{
    count = std::clamp(count, 0, GetLength());
    return CString(m_text.substr(0, static_cast<size_t>(count)));
}

CString CString::Right(int count) const
{
    count = std::clamp(count, 0, GetLength());
    return CString(m_text.substr(m_text.size() - static_cast<size_t>(count)));
}

CString CString::SpanIncluding(const char* charSet) const
{
    return Left(static_cast<int>(std::strspn(m_text.c_str(), charSet)));
}

CString CString::SpanExcluding(const char* charSet) const
{
    return Left(static_cast<int>(std::strcspn(m_text.c_str(), charSet)));
}

CString& CString::MakeUpper()
{
    for (char& ch : m_text)
        ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    return *this;
}

CString& CString::MakeLower()
{
    for (char& ch : m_text)
        ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return *this;
}

CString& CString::MakeReverse()
{
    std::reverse(m_text.begin(), m_text.end());
    return *this;
}

int CString::Replace(char oldCh, char newCh)
{
    int count = 0;
    for (char& ch : m_text) {
        if (ch == oldCh) {
            ch = newCh;
            ++count;
        }
    }
    return count;
}

int CString::Replace(const char* oldText, const char* newText)
{
    if (!oldText || !*oldText)
        return 0;
    const std::string from(oldText);
    const std::string to(newText ? newText : "");
    std::string result;
    int count = 0;
    size_t pos = 0;
    for (size_t hit; (hit = m_text.find(from, pos)) != std::string::npos; pos = hit + from.size()) {
        result.append(m_text, pos, hit - pos);
        result += to;
        ++count;
    }
    if (count) {
        result.append(m_text, pos, std::string::npos);
        m_text.swap(result);
    }
    return count;
}

int CString::Remove(char ch)
{
    const size_t before = m_text.size();
    m_text.erase(std::remove(m_text.begin(), m_text.end(), ch), m_text.end());
    return static_cast<int>(before - m_text.size());
}

int CString::Insert(int index, char ch)
{
    index = std::clamp(index, 0, GetLength());
    m_text.insert(m_text.begin() + index, ch);
    return GetLength();
}

int CString::Insert(int index, const char* text)
{
    index = std::clamp(index, 0, GetLength());
    if (text)
        m_text.insert(static_cast<size_t>(index), text);
    return GetLength();
}

int CString::Delete(int index, int count)
{
    index = std::max(index, 0);
    if (count > 0 && index < GetLength())
        m_text.erase(static_cast<size_t>(index), static_cast<size_t>(count));
    return GetLength();
}

void CString::FormatV(const char* format, va_list args)
{
    va_list copy;
    va_copy(copy, args);
    char small[256];
    const int needed = std::vsnprintf(small, sizeof small, format, copy);
    va_end(copy);
    if (needed < 0) {
        m_text.clear();
        return;
    }
    if (static_cast<size_t>(needed) < sizeof small) {
        m_text.assign(small, static_cast<size_t>(needed));
        return;
    }
    std::string out(static_cast<size_t>(needed), '\0');
    std::vsnprintf(out.data(), out.size() + 1, format, args);
    m_text.swap(out);
}

void CString::Format(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    FormatV(format, args);
    va_end(args);
}

void CString::AppendFormat(const char* format, ...)
{
    CString tail;
    va_list args;
    va_start(args, format);
    tail.FormatV(format, args);
    va_end(args);
    *this += tail;
}

CString& CString::Trim() { return TrimRight().TrimLeft(); }
CString& CString::Trim(char target) { return TrimRight(target).TrimLeft(target); }
CString& CString::Trim(const char* targets) { return TrimRight(targets).TrimLeft(targets); }

CString& CString::TrimLeft()
{
    auto it = std::find_if_not(m_text.begin(), m_text.end(), IsBlank);
    m_text.erase(m_text.begin(), it);
    return *this;
}

CString& CString::TrimLeft(char target)
{
    m_text.erase(0, m_text.find_first_not_of(target));
    return *this;
}

CString& CString::TrimLeft(const char* targets)
{
    m_text.erase(0, m_text.find_first_not_of(targets ? targets : ""));
    return *this;
}

CString& CString::TrimRight()
{
    while (!m_text.empty() && IsBlank(m_text.back()))
        m_text.pop_back();
    return *this;
}

CString& CString::TrimRight(char target)
{
    while (!m_text.empty() && m_text.back() == target)
        m_text.pop_back();
    return *this;
}

CString& CString::TrimRight(const char* targets)
{
    const size_t keep = m_text.find_last_not_of(targets ? targets : "");
    m_text.erase(keep == std::string::npos ? 0 : keep + 1);
    return *this;
}

int CString::Find(char ch, int start) const
{
    if (start < 0 || start >= GetLength())
        return -1;
    const size_t at = m_text.find(ch, static_cast<size_t>(start));
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

int CString::Find(const char* text, int start) const
{
    if (!text || start < 0 || start > GetLength())
        return -1;
    const size_t at = m_text.find(text, static_cast<size_t>(start));
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

int CString::ReverseFind(char ch) const
{
    const size_t at = m_text.rfind(ch);
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

int CString::FindOneOf(const char* charSet) const
{
    const size_t at = m_text.find_first_of(charSet ? charSet : "");
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

CString CString::Tokenize(const char* delimiters, int& start) const
{
    if (start < 0 || start >= GetLength()) {
        start = -1;
        return CString();
    }
    const char* delims = delimiters ? delimiters : "";
    const size_t begin = m_text.find_first_not_of(delims, static_cast<size_t>(start));
    if (begin == std::string::npos) {
        start = -1;
        return CString();
    }
    size_t end = m_text.find_first_of(delims, begin);
    if (end == std::string::npos)
        end = m_text.size();
    start = static_cast<int>(end) + 1;
    return CString(m_text.substr(begin, end - begin));
}
