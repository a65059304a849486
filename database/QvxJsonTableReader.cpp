#include "QvxJsonTableReader.h"

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace {

using json = nlohmann::json;

// A character iterator that tells how many characters the parser has taken,
// so the handler knows where in the text it stands.
class CCountingIterator {
public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = char;
    using difference_type = std::ptrdiff_t;
    using pointer = const char*;
    using reference = const char&;

    CCountingIterator() = default;
    CCountingIterator(const char* at, const char* base, size_t* taken) : m_at(at), m_base(base), m_taken(taken) {}
    reference operator*() const { return *m_at; }
    CCountingIterator& operator++()
    {
        ++m_at;
        if (m_taken)
            *m_taken = static_cast<size_t>(m_at - m_base);
        return *this;
    }
    CCountingIterator operator++(int)
    {
        CCountingIterator old = *this;
        ++*this;
        return old;
    }
    bool operator==(const CCountingIterator& other) const { return m_at == other.m_at; }
    bool operator!=(const CCountingIterator& other) const { return m_at != other.m_at; }

private:
    const char* m_at = nullptr;
    const char* m_base = nullptr;
    size_t* m_taken = nullptr;
};

// Line numbers as the table's messages count them: a run of CR and LF
// characters ends one line, so blank lines count once.
class CLineMap {
public:
    explicit CLineMap(const std::string& text)
    {
        for (size_t i = 0; i < text.size(); ++i) {
            const bool lineEnd = text[i] == '\r' || text[i] == '\n';
            if (lineEnd && (i == 0 || (text[i - 1] != '\r' && text[i - 1] != '\n')))
                m_runStarts.push_back(i);
        }
    }
    // The line of the last character taken when taken characters have been read.
    unsigned LineAfter(size_t taken) const
    {
        const size_t last = taken > 0 ? taken - 1 : 0;
        return 1 + static_cast<unsigned>(std::lower_bound(m_runStarts.begin(), m_runStarts.end(), last) -
                                         m_runStarts.begin());
    }

private:
    std::vector<size_t> m_runStarts;
};

// Lower-cases letters outside strings, so TRUE and False read as the literals
// they name; no character moves. FALSE on a byte outside ASCII. quoteExpected
// receives the offset of the first character after a closed string that can
// never follow one (the table's "Quote expected"), or npos.
bool PrepareText(std::string& text, size_t& quoteExpected)
{
    quoteExpected = std::string::npos;
    bool inString = false;
    bool escaped = false;
    bool afterString = false;
    // Only a value's string (one after a colon) wants a quote; a key's is followed by its colon.
    bool valueString = false;
    char lastSignificant = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        char& ch = text[i];
        if (static_cast<unsigned char>(ch) >= 0x80)
            return false;
        if (inString) {
            if (escaped)
                escaped = false;
            else if (ch == '\\')
                escaped = true;
            else if (ch == '"') {
                inString = false;
                afterString = valueString;
            }
            continue;
        }
        if (afterString && ch != ' ' && ch != '\t' && ch != '\r' && ch != '\n') {
            afterString = false;
            if (ch != ':' && ch != ',' && ch != '}' && ch != ']' && ch != '"' && quoteExpected == std::string::npos)
                quoteExpected = i;
        }
        if (ch == '"') {
            inString = true;
            valueString = lastSignificant == ':';
        } else if (ch >= 'A' && ch <= 'Z') {
            ch = static_cast<char>(ch - 'A' + 'a');
        }
        if (ch != ' ' && ch != '\t' && ch != '\r' && ch != '\n')
            lastSignificant = ch;
    }
    return true;
}

// The parser gives \u escapes as UTF-8; the table's texts are bytes, and the
// writer escapes only bytes. FALSE for a character above 0xFF.
bool Utf8ToBytes(const std::string& in, std::string& out)
{
    out.clear();
    for (size_t i = 0; i < in.size(); ++i) {
        const auto ch = static_cast<unsigned char>(in[i]);
        if (ch < 0x80) {
            out += static_cast<char>(ch);
        } else if ((ch == 0xC2 || ch == 0xC3) && i + 1 < in.size()) {
            out += static_cast<char>(((ch & 0x03) << 6) | (static_cast<unsigned char>(in[++i]) & 0x3F));
        } else {
            return false;
        }
    }
    return true;
}

class CTableSax : public nlohmann::json_sax<json> {
public:
    CTableSax(const CQvxDatabaseTable& table, const CLineMap& lines, const size_t& taken,
              CQvxDatabaseTableDataRowList& rows, CMap<int, int, int, int>& ids)
        : m_table(table), m_lines(lines), m_taken(taken), m_rows(rows), m_ids(ids)
    {
    }

    const CString& Error() const { return m_error; }
    // Where the failure was met.
    size_t FailedAt() const { return m_errorAt != kNone ? m_errorAt : m_taken; }
    const CString& ArrayName() const { return m_arrayName; }

    bool null() override { return Fail("Syntax error in line %u."); }
    bool boolean(bool value) override { return Value(value ? "1" : "0"); }
    bool number_integer(number_integer_t value) override { return Value(std::to_string(value)); }
    bool number_unsigned(number_unsigned_t value) override { return Value(std::to_string(value)); }
    bool number_float(number_float_t, const string_t& text) override
    {
        // Kept as written; an exponent is no number of the table.
        if (text.find_first_of("eE") != string_t::npos)
            return Fail("Syntax error in line %u.");
        return Value(text);
    }
    bool string(string_t& value) override
    {
        // Between the records a quote opens nothing.
        if (!m_record && m_arrayDepth > 0)
            return Fail("Unexpected '\"' in line %u.");
        std::string bytes;
        if (!Utf8ToBytes(value, bytes))
            return Fail("Invalid escape sequence in line %u.");
        return Value(bytes);
    }
    bool binary(binary_t&) override { return Fail("Syntax error in line %u."); }

    bool start_object(std::size_t) override
    {
        // Inside a record a brace can only stand for a value: no value is an object.
        if (m_objectDepth >= 2)
            return Fail("Unexpected '{' in line %u.");
        if (m_objectDepth == 1 && m_arrayDepth == 0)
            return Fail("Unexpected '{' in line %u.");
        if (m_objectDepth == 0 && m_arrayDepth > 0)
            return Fail("Unexpected '{' in line %u.");
        m_hasKey[m_objectDepth++] = false;
        if (m_objectDepth == 2) {
            m_record = CQvxDatabaseTable::NewRecord(m_table.fields, m_ids);
            m_rows.AddTail(m_record);
        }
        return true;
    }
    bool key(string_t& name) override
    {
        if (!Utf8ToBytes(name, m_key))
            return Fail("Invalid escape sequence in line %u.");
        m_hasKey[m_objectDepth - 1] = true;
        return true;
    }
    bool end_object() override
    {
        // An empty object holds no record.
        if (!m_hasKey[m_objectDepth - 1])
            return Fail("Unexpected '}' in line %u.");
        if (--m_objectDepth < 2)
            m_record = nullptr;
        return true;
    }
    bool start_array(std::size_t) override
    {
        if (m_arrayDepth > 0)
            return Fail("Multi-level arrays not allowed in line %u.");
        if (m_objectDepth != 1)
            return Fail("Unexpected '[' in line %u.");
        m_arrayName = m_key.c_str();
        m_arrayDepth = 1;
        return true;
    }
    bool end_array() override
    {
        --m_arrayDepth;
        return true;
    }
    bool parse_error(std::size_t position, const std::string& /*lastToken*/,
                     const nlohmann::detail::exception& problem) override
    {
        m_errorAt = position;
        return Fail(MessageOf(problem.what()));
    }

private:
    // The table's message for what the parser met.
    static const char* MessageOf(const std::string& what)
    {
        if (what.find("unexpected end of input") != std::string::npos ||
            what.find("missing closing quote") != std::string::npos)
            return "Unexpected end of data in line %u.";
        if (what.find("after backslash") != std::string::npos || what.find("'\\u'") != std::string::npos)
            return "Invalid escape sequence in line %u.";
        if (what.find("unexpected string literal") != std::string::npos)
            return "Unexpected '\"' in line %u.";
        const size_t at = what.find("unexpected '");
        if (at != std::string::npos && at + 12 < what.size())
            return TokenMessage(what[at + 12]);
        return "Syntax error in line %u.";
    }

    static const char* TokenMessage(char first)
    {
        switch (first) {
        case ':': return "Unexpected ':' in line %u.";
        case ',': return "Unexpected ',' in line %u.";
        case '}': return "Unexpected '}' in line %u.";
        case ']': return "Unexpected ']' in line %u.";
        case '{': return "Unexpected '{' in line %u.";
        case '[': return "Unexpected '[' in line %u.";
        case '"': return "Unexpected '\"' in line %u.";
        default: return "Syntax error in line %u.";
        }
    }

    bool Value(const std::string& text)
    {
        if (m_objectDepth == 1 && m_arrayDepth == 0)
            return Fail("Value outside the records array in line %u.");
        if (!m_record)
            return Fail("Syntax error in line %u.");
        const int column = m_table.fields.FindField(m_key.c_str());
        if (column < 0) {
            m_error.Format("Invalid attribute \"%s\" in line %u.", m_key.c_str(), Line());
            return false;
        }
        m_record->SetValue(column, text.c_str());
        return true;
    }

    bool Fail(const char* format)
    {
        if (m_error.IsEmpty())
            m_error.Format(format, Line());
        return false;
    }
    unsigned Line() const { return m_lines.LineAfter(m_errorAt != kNone ? m_errorAt : m_taken); }

    const CQvxDatabaseTable& m_table;
    const CLineMap& m_lines;
    static constexpr size_t kNone = static_cast<size_t>(-1);
    const size_t& m_taken;
    size_t m_errorAt = kNone;
    CQvxDatabaseTableDataRowList& m_rows;
    CMap<int, int, int, int>& m_ids;
    CQvxDatabaseTableDataRow* m_record = nullptr;
    std::string m_key;
    CString m_arrayName;
    CString m_error;
    int m_objectDepth = 0;
    int m_arrayDepth = 0;
    bool m_hasKey[2] = {false, false};
};

}  // namespace

CQvxJsonTableReader::CQvxJsonTableReader(const CQvxDatabaseTable& table) : m_table(table) {}

bool CQvxJsonTableReader::Read(const CString& text, int start, CQvxDatabaseTableDataRowList& rows,
                               CMap<int, int, int, int>& ids, CString& arrayName, CString& error)
{
    rows.RemoveAll();
    std::string body = text.str().substr(std::min(static_cast<size_t>(std::max(start, 0)), text.str().size()));
    size_t quoteExpected = std::string::npos;
    if (!PrepareText(body, quoteExpected)) {
        error = "Invalid data format.  Not JSON data.";
        return false;
    }
    const CLineMap lines(body);
    size_t taken = 0;
    CTableSax handler(m_table, lines, taken, rows, ids);
    const CCountingIterator first(body.data(), body.data(), &taken);
    const CCountingIterator last(body.data() + body.size(), body.data(), nullptr);
    if (!json::sax_parse(first, last, &handler, nlohmann::detail::input_format_t::json, true)) {
        error = handler.Error().IsEmpty() ? CString("Syntax error in line 1.") : handler.Error();
        if (quoteExpected != std::string::npos && quoteExpected < handler.FailedAt())
            error.Format("Quote expected in line %u.", lines.LineAfter(quoteExpected + 1));
        rows.RemoveAll();
        return false;
    }
    arrayName = handler.ArrayName();
    return true;
}
