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

bool CMacroDefEntry::IsNameChar(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
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

CString CMacroDefEntry::Replacement(const CStringArray& args) const
{
    CString text;
    const int length = m_body.GetLength();
    for (int i = 0; i < length; ++i) {
        if (m_body[i] == kParamMark && i + 1 < length) {
            const INT_PTR index = static_cast<unsigned char>(m_body[i + 1]) - 1;
            if (index >= 0 && index < args.GetSize()) {
                text += args[index];
                ++i;
                continue;
            }
        }
        text += m_body[i];
    }
    return text;
}

int CMacroDefEntry::Expand(const CString& call, CString& replacement, int& consumed)
{
    m_error = 0;
    consumed = 0;
    if (m_kind == kindParams) {
        int open = 0;
        while (open < call.GetLength() && IsBlank(call[open]))
            ++open;
        CStringArray args;
        if (!ReadList(call, open, args, consumed)) {
            m_error = 10;
            return 0;
        }
        if (args.GetSize() != m_params.GetSize()) {
            m_error = 8;
            return 0;
        }
        replacement = Replacement(args);
    } else if (m_kind == kindValue || m_kind == kindName) {
        replacement = m_body;
    } else {
        m_error = 10;
        return 0;
    }
    if (m_body == m_name) {
        m_error = 11;
        return 0;
    }
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
