#include "MacroDefEntry.h"

#include "platform/core/Archive.h"

namespace {

bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

}  // namespace

CMacroDefEntry::CMacroDefEntry(const CMacroDefEntry& other)
    : CObject(),
      m_kind(other.m_kind),
      m_error(other.m_error),
      m_name(other.m_name),
      m_body(other.m_body),
      m_head(other.m_head),
      m_rest(other.m_rest)
{
    m_params.Copy(other.m_params);
}

int CMacroDefEntry::Parse(const CString& text)
{
    m_error = 0;
    m_kind = kindInvalid;
    m_params.RemoveAll();
    m_body.Empty();
    CString definition(text);
    definition.Trim();
    int n = 0;
    while (n < definition.GetLength() && IsNameChar(definition[n]))
        ++n;
    // A definition without a name could never be used.
    if (n == 0) {
        m_error = 1;
        return 0;
    }
    SplitHead(definition);
    m_name = definition.Left(n);
    if (n == definition.GetLength()) {
        m_kind = kindName;
        return 1;
    }
    if (definition[n] == '(')
        return ParseParameters(definition);
    m_body = definition.Mid(n);
    m_body.TrimLeft();
    m_kind = kindValue;
    return 1;
}

int CMacroDefEntry::ParseParameters(const CString& definition)
{
    int end = 0;
    bool valid = ReadList(definition, m_name.GetLength(), m_params, end) && m_params.GetSize() <= kMaxParams;
    for (INT_PTR i = 0; valid && i < m_params.GetSize(); ++i) {
        const CString& param = m_params[i];
        for (int c = 0; valid && c < param.GetLength(); ++c)
            valid = IsNameChar(param[c]);
        valid = valid && !param.IsEmpty();
        for (INT_PTR j = 0; valid && j < i; ++j)
            valid = m_params[j] != param;
    }
    if (!valid) {
        m_params.RemoveAll();
        m_error = 9;
        return 0;
    }
    m_body = definition.Mid(end);
    m_body.TrimLeft();
    MarkParameters();
    // "\\" keeps one backslash; a single one goes.
    for (int p = m_body.Find('\\'); p >= 0; p = m_body.Find('\\', p + 1)) {
        if (p + 1 < m_body.GetLength() && m_body[p + 1] == '\\')
            ++p;
        m_body.Delete(p);
    }
    m_kind = kindParams;
    return 1;
}

void CMacroDefEntry::MarkParameters()
{
    CString marked;
    const int length = m_body.GetLength();
    for (int i = 0; i < length;) {
        if (!IsNameChar(m_body[i])) {
            marked += m_body[i++];
            continue;
        }
        int end = i;
        while (end < length && IsNameChar(m_body[end]))
            ++end;
        const CString word = m_body.Mid(i, end - i);
        INT_PTR index = 0;
        while (index < m_params.GetSize() && m_params[index] != word)
            ++index;
        if (index < m_params.GetSize()) {
            marked += kParamMark;
            marked += static_cast<char>(index + 1);
        } else {
            marked += word;
        }
        i = end;
    }
    m_body = marked;
}

void CMacroDefEntry::SplitHead(const CString& text)
{
    int depth = 0;
    int i = 0;
    for (; i < text.GetLength(); ++i) {
        const char c = text[i];
        if (c == '(')
            ++depth;
        else if (c == ')' && depth > 0)
            --depth;
        else if (depth == 0 && IsBlank(c))
            break;
    }
    m_head = text.Left(i);
    m_head.Trim();
    m_rest = text.Mid(i);
    m_rest.Trim();
}

bool CMacroDefEntry::ReadList(const CString& text, int open, CStringArray& items, int& end)
{
    items.RemoveAll();
    if (open >= text.GetLength() || text[open] != '(')
        return false;
    int depth = 0;
    bool anyComma = false;
    CString item;
    for (int i = open + 1; i < text.GetLength(); ++i) {
        const char c = text[i];
        if (c == ')' && depth == 0) {
            item.Trim();
            // "()" and "( )" hold no item at all.
            if (anyComma || !item.IsEmpty())
                items.Add(item);
            end = i + 1;
            return true;
        }
        if (c == ',' && depth == 0) {
            item.Trim();
            items.Add(item);
            item.Empty();
            anyComma = true;
            continue;
        }
        if (c == '(')
            ++depth;
        else if (c == ')')
            --depth;
        item += c;
    }
    items.RemoveAll();
    return false;
}

bool CMacroDefEntry::ReadList(std::string_view text, size_t open, std::vector<std::string_view>& items,
                              size_t& end)
{
    items.clear();
    if (open >= text.size() || text[open] != '(')
        return false;
    const auto trimmed = [&text](size_t from, size_t to) {
        while (from < to && IsBlank(text[from]))
            ++from;
        while (to > from && IsBlank(text[to - 1]))
            --to;
        return text.substr(from, to - from);
    };
    int depth = 0;
    bool anyComma = false;
    size_t start = open + 1;
    for (size_t i = open + 1; i < text.size(); ++i) {
        const char c = text[i];
        if (c == ')' && depth == 0) {
            const std::string_view item = trimmed(start, i);
            // "()" and "( )" hold no item at all.
            if (anyComma || !item.empty())
                items.push_back(item);
            end = i + 1;
            return true;
        }
        if (c == ',' && depth == 0) {
            items.push_back(trimmed(start, i));
            start = i + 1;
            anyComma = true;
        } else if (c == '(') {
            ++depth;
        } else if (c == ')') {
            --depth;
        }
    }
    items.clear();
    return false;
}

void CMacroDefEntry::AppendReplacement(const std::vector<std::string_view>& args, std::string& out) const
{
    const std::string& body = m_body.str();
    const size_t length = body.size();
    size_t plain = 0;  // start of the run copied as it stands
    for (size_t i = 0; i < length; ++i) {
        if (body[i] != kParamMark || i + 1 >= length)
            continue;
        const size_t index = static_cast<unsigned char>(body[i + 1]) - 1u;
        if (index >= args.size())
            continue;
        out.append(body, plain, i - plain);
        out.append(args[index]);
        ++i;
        plain = i + 1;
    }
    out.append(body, plain, length - plain);
}

int CMacroDefEntry::Expand(std::string_view call, std::string& out, int& consumed,
                           std::vector<std::string_view>& args)
{
    m_error = 0;
    consumed = 0;
    if (m_kind == kindParams) {
        size_t open = 0;
        while (open < call.size() && IsBlank(call[open]))
            ++open;
        size_t end = 0;
        if (!ReadList(call, open, args, end)) {
            m_error = 10;
            return 0;
        }
        if (args.size() != static_cast<size_t>(m_params.GetSize())) {
            m_error = 8;
            return 0;
        }
        consumed = static_cast<int>(end);
        if (m_body == m_name) {
            m_error = 11;
            return 0;
        }
        AppendReplacement(args, out);
        return 1;
    }
    if (m_kind != kindValue && m_kind != kindName) {
        m_error = 10;
        return 0;
    }
    if (m_body == m_name) {
        m_error = 11;
        return 0;
    }
    out += m_body.str();
    return 1;
}

bool CMacroDefEntry::SameDefinition(const CMacroDefEntry& other) const
{
    if (m_kind != other.m_kind || m_params.GetSize() != other.m_params.GetSize())
        return false;
    return m_body == other.m_body || (m_head == other.m_head && m_rest == other.m_rest);
}

void CMacroDefEntry::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar << m_kind << m_name << m_body << m_head << m_rest;
        ar.WriteCount(static_cast<ULONGLONG>(m_params.GetSize()));
        for (INT_PTR i = 0; i < m_params.GetSize(); ++i)
            ar << m_params[i];
        return;
    }
    ar >> m_kind >> m_name >> m_body >> m_head >> m_rest;
    const ULONGLONG count = ar.ReadCount();
    if (count > static_cast<ULONGLONG>(kMaxParams))
        ar.ThrowArchive(CArchiveException::badSchema);
    m_params.RemoveAll();
    for (ULONGLONG i = 0; i < count; ++i) {
        CString param;
        ar >> param;
        m_params.Add(param);
    }
    m_error = 0;
}
