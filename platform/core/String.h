// CString: 8-bit text with the class library's interface, over std::string.
#pragma once

#include <cstdarg>
#include <functional>
#include <string>
#include <string_view>

#include "WinTypes.h"

#define KV_PRINTF(fmtIndex, argIndex) __attribute__((format(printf, fmtIndex, argIndex)))

class CString {
public:
    CString() = default;
    CString(const char* text) : m_text(text ? text : "") {}
    CString(const char* text, int length);
    CString(char ch, int repeat = 1) : m_text(repeat > 0 ? static_cast<size_t>(repeat) : 0, ch) {}
    CString(const std::string& text) : m_text(text) {}
    CString(std::string&& text) : m_text(std::move(text)) {}
    CString(std::string_view text) : m_text(text) {}

    int GetLength() const { return static_cast<int>(m_text.size()); }
    bool IsEmpty() const { return m_text.empty(); }
    void Empty() { m_text.clear(); }
    char GetAt(int index) const { return m_text.at(static_cast<size_t>(index)); }
    void SetAt(int index, char ch) { m_text.at(static_cast<size_t>(index)) = ch; }
    char operator[](int index) const { return GetAt(index); }

    operator const char*() const { return m_text.c_str(); }
    const char* GetString() const { return m_text.c_str(); }
    const std::string& str() const { return m_text; }
    std::string& str() { return m_text; }

    // Direct access for C-style fillers; ReleaseBuffer(-1) takes the length up to the first NUL.
    char* GetBuffer(int minLength = 0);
    char* GetBufferSetLength(int length);
    void ReleaseBuffer(int newLength = -1);

    CString& operator=(const char* text) { m_text = text ? text : ""; return *this; }
    CString& operator=(char ch) { m_text.assign(1, ch); return *this; }
    CString& operator+=(const CString& other) { m_text += other.m_text; return *this; }
    CString& operator+=(const char* text) { if (text) m_text += text; return *this; }
    CString& operator+=(char ch) { m_text += ch; return *this; }
    void Append(const char* text) { *this += text; }
    void Append(const char* text, int length);
    void AppendChar(char ch) { m_text += ch; }

    int Compare(const char* text) const;
    int CompareNoCase(const char* text) const;
    int Collate(const char* text) const { return Compare(text); }
    int CollateNoCase(const char* text) const { return CompareNoCase(text); }

    CString Mid(int first) const;
    CString Mid(int first, int count) const;
    CString Left(int count) const;
    CString Right(int count) const;
    CString SpanIncluding(const char* charSet) const;
    CString SpanExcluding(const char* charSet) const;

    CString& MakeUpper();
    CString& MakeLower();
    CString& MakeReverse();
    int Replace(char oldCh, char newCh);
    int Replace(const char* oldText, const char* newText);
    int Remove(char ch);
    int Insert(int index, char ch);
    int Insert(int index, const char* text);
    int Delete(int index, int count = 1);

    void Format(const char* format, ...) KV_PRINTF(2, 3);
    void FormatV(const char* format, va_list args);
    void AppendFormat(const char* format, ...) KV_PRINTF(2, 3);

    CString& Trim();
    CString& Trim(char target);
    CString& Trim(const char* targets);
    CString& TrimLeft();
    CString& TrimLeft(char target);
    CString& TrimLeft(const char* targets);
    CString& TrimRight();
    CString& TrimRight(char target);
    CString& TrimRight(const char* targets);

    int Find(char ch, int start = 0) const;
    int Find(const char* text, int start = 0) const;
    int ReverseFind(char ch) const;
    int FindOneOf(const char* charSet) const;
    CString Tokenize(const char* delimiters, int& start) const;

    friend bool operator==(const CString& a, const CString& b) { return a.m_text == b.m_text; }
    friend bool operator==(const CString& a, const char* b) { return a.m_text == (b ? b : ""); }
    friend bool operator==(const char* a, const CString& b) { return b == a; }
    friend bool operator!=(const CString& a, const CString& b) { return !(a == b); }
    friend bool operator!=(const CString& a, const char* b) { return !(a == b); }
    friend bool operator!=(const char* a, const CString& b) { return !(b == a); }
    friend bool operator<(const CString& a, const CString& b) { return a.m_text < b.m_text; }
    friend bool operator>(const CString& a, const CString& b) { return a.m_text > b.m_text; }
    friend bool operator<=(const CString& a, const CString& b) { return a.m_text <= b.m_text; }
    friend bool operator>=(const CString& a, const CString& b) { return a.m_text >= b.m_text; }

    friend CString operator+(const CString& a, const CString& b) { return CString(a.m_text + b.m_text); }
    friend CString operator+(const CString& a, const char* b) { CString r(a); r += b; return r; }
    friend CString operator+(const char* a, const CString& b) { CString r(a); r += b; return r; }
    friend CString operator+(const CString& a, char b) { CString r(a); r += b; return r; }
    friend CString operator+(char a, const CString& b) { CString r(a); r += b; return r; }

private:
    std::string m_text;
};

template <>
struct std::hash<CString> {
    size_t operator()(const CString& s) const noexcept { return std::hash<std::string>()(s.str()); }
};
