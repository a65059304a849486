// The text a substitution pass has still to scan. A replacement to be read
// again goes in front of it, into room kept free before the scan position, so
// it costs its own length; the scan moves on by advancing that position. A
// pass costs the length of its line, not that length for every macro use.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

#include "MacroDefEntry.h"

class PendingText {
public:
    // buffer is storage the caller keeps from text to text; text must not lie in it.
    PendingText(std::string& buffer, std::string_view text) : m_buffer(buffer), m_pos(kRoom)
    {
        m_buffer.reserve(kRoom + text.size());
        m_buffer.assign(kRoom, '\0');
        m_buffer.append(text);
    }

    bool Empty() const { return m_pos == m_buffer.size(); }
    size_t Size() const { return m_buffer.size() - m_pos; }
    // The character i places ahead of the scan, or 0 past the end.
    char Peek(size_t i = 0) const { return i < Size() ? m_buffer[m_pos + i] : '\0'; }
    // The next count characters (fewer at the end); valid until the next change.
    std::string_view Ahead(size_t count) const
    {
        return std::string_view(m_buffer.data() + m_pos, std::min(count, Size()));
    }
    void MoveTo(std::string& out, size_t count)
    {
        out.append(Ahead(count));
        Drop(count);
    }
    void Drop(size_t count) { m_pos += std::min(count, Size()); }
    void PushFront(std::string_view text)
    {
        if (text.size() > m_pos) {
            // Room again for several replacements of this size.
            const size_t room = std::max(kRoom, 2 * text.size());
            std::string grown(room + Size(), '\0');
            std::memcpy(grown.data() + room, m_buffer.data() + m_pos, Size());
            m_buffer.swap(grown);
            m_pos = room;
        }
        m_pos -= text.size();
        m_buffer.replace(m_pos, text.size(), text);
    }

    // The run of characters ahead that can start neither a name nor a parameter mark.
    size_t PlainLength() const
    {
        const char* p = m_buffer.data() + m_pos;
        const size_t size = Size();
        size_t n = 0;
        while (n < size && !CMacroDefEntry::IsNameChar(p[n]) && p[n] != CMacroDefEntry::kParamMark)
            ++n;
        return n;
    }
    size_t NameLength() const
    {
        const char* p = m_buffer.data() + m_pos;
        const size_t size = Size();
        size_t n = 0;
        while (n < size && CMacroDefEntry::IsNameChar(p[n]))
            ++n;
        return n;
    }
    // Blanks, then a parenthesised list to its matching ")": length gets its
    // length. False when no "(" follows the blanks (length 0) or the list
    // never closes (length reaches the end).
    bool FindCall(size_t& length) const
    {
        const char* p = m_buffer.data() + m_pos;
        const size_t size = Size();
        size_t n = 0;
        while (n < size && IsBlank(p[n]))
            ++n;
        length = 0;
        if (n == size || p[n] != '(')
            return false;
        int depth = 0;
        for (; n < size; ++n) {
            if (p[n] == '(') {
                ++depth;
            } else if (p[n] == ')' && --depth == 0) {
                length = n + 1;
                return true;
            }
        }
        length = n;
        return false;
    }

private:
    static constexpr size_t kRoom = 256;
    static bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

    std::string& m_buffer;
    size_t m_pos;
};
