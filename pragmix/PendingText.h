// The text a substitution pass has still to scan. It is kept reversed, so
// that a replacement to be read again goes in front of it at the cost of its
// own length, and the scan moves on by taking characters off the end: a pass
// costs the length of its line, not that length for every macro use.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string>

#include "MacroDefEntry.h"

class PendingText {
public:
    explicit PendingText(const std::string& text) : m_reversed(text.rbegin(), text.rend()) {}

    bool Empty() const { return m_reversed.empty(); }
    size_t Size() const { return m_reversed.size(); }
    // The character i places ahead of the scan, or 0 past the end.
    char Peek(size_t i = 0) const { return i < m_reversed.size() ? m_reversed[m_reversed.size() - 1 - i] : '\0'; }
    std::string Ahead(size_t count) const
    {
        count = std::min(count, m_reversed.size());
        return std::string(m_reversed.rbegin(), m_reversed.rbegin() + static_cast<std::ptrdiff_t>(count));
    }
    void MoveTo(std::string& out, size_t count)
    {
        count = std::min(count, m_reversed.size());
        out.append(m_reversed.rbegin(), m_reversed.rbegin() + static_cast<std::ptrdiff_t>(count));
        Drop(count);
    }
    void Drop(size_t count) { m_reversed.resize(m_reversed.size() - std::min(count, m_reversed.size())); }
    void PushFront(const std::string& text) { m_reversed.append(text.rbegin(), text.rend()); }

    // The run of characters ahead that can start neither a name nor a parameter mark.
    size_t PlainLength() const
    {
        size_t n = 0;
        while (n < m_reversed.size() && !CMacroDefEntry::IsNameChar(Peek(n)) && Peek(n) != CMacroDefEntry::kParamMark)
            ++n;
        return n;
    }
    size_t NameLength() const
    {
        size_t n = 0;
        while (n < m_reversed.size() && CMacroDefEntry::IsNameChar(Peek(n)))
            ++n;
        return n;
    }
    // Blanks, then a parenthesised list to its matching ")": length gets its
    // length. False when no "(" follows the blanks (length 0) or the list
    // never closes (length reaches the end).
    bool FindCall(size_t& length) const
    {
        size_t n = 0;
        while (n < m_reversed.size() && IsBlank(Peek(n)))
            ++n;
        length = 0;
        if (Peek(n) != '(')
            return false;
        int depth = 0;
        for (; n < m_reversed.size(); ++n) {
            if (Peek(n) == '(') {
                ++depth;
            } else if (Peek(n) == ')' && --depth == 0) {
                length = n + 1;
                return true;
            }
        }
        length = n;
        return false;
    }

private:
    static bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

    std::string m_reversed;
};
