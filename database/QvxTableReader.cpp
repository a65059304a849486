#include "QvxTableReader.h"

#include <cctype>
#include <cstring>

#include "platform/core/File.h"

namespace {

bool IsTagChar(int ch)
{
    return std::isalnum(ch) || (ch && std::strchr("+-._/", ch));
}

void SetError(CString* error, const CString& message)
{
    if (error)
        *error = message;
}

}  // namespace

BOOL CQvxTableReader::Open(const char* path)
{
    try {
        CFile file;
        if (!file.Open(path, CFile::modeRead | CFile::typeBinary))
            return FALSE;
        std::string text(static_cast<size_t>(file.GetLength()), '\0');
        if (file.Read(text.data(), static_cast<UINT>(text.size())) != text.size())
            return FALSE;
        m_text = std::move(text);
        m_pos = 0;
        m_line = 1;
        m_afterCr = false;
        return TRUE;
    } catch (const CFileException&) {
        return FALSE;
    }
}

int CQvxTableReader::GetChar()
{
    if (m_pos >= m_text.size())
        return kEndOfFile;
    const int ch = static_cast<unsigned char>(m_text[m_pos++]);
    if (ch == '\r')
        ++m_line;
    else if (ch == '\n' && !m_afterCr)
        ++m_line;
    m_afterCr = ch == '\r';
    return ch;
}

int CQvxTableReader::PeekChar() const
{
    return m_pos < m_text.size() ? static_cast<unsigned char>(m_text[m_pos]) : kEndOfFile;
}

int CQvxTableReader::ReadTag(CMapStringToString& attributes, CString* error, char* stray)
{
    attributes.RemoveAll();
    bool inTag = false;
    bool quoted = false;
    bool afterEqual = false;
    CString name;
    CString value;
    auto addPair = [&](const char* emptyNameMessage) {
        if (name.IsEmpty()) {
            SetError(error, emptyNameMessage);
            return false;
        }
        if (attributes.PLookup(name)) {
            SetError(error, "Duplicate attribute name: " + name);
            return false;
        }
        attributes.SetAt(name, value);
        name.Empty();
        value.Empty();
        afterEqual = false;
        return true;
    };

    for (;;) {
        const int ch = GetChar();
        if (ch == kEndOfFile) {
            if (!inTag)
                return tagEndOfFile;
            SetError(error, "Unexpected end of file");
            return tagError;
        }
        if (ch == '\r' || ch == '\n')
            continue;
        if (!inTag) {
            if (ch == '<') {
                inTag = true;
                continue;
            }
            if (stray)
                *stray = static_cast<char>(ch);
            return tagStrayChar;
        }
        if (quoted && ch != '"') {
            value += static_cast<char>(ch);
            continue;
        }
        switch (ch) {
        case '"':
            if (!afterEqual) {
                SetError(error, "Misplaced quotation mark");
                return tagError;
            }
            // Inside a quoted value a doubled quote stands for one quote.
            if (quoted && PeekChar() == '"') {
                GetChar();
                value += '"';
            } else {
                quoted = !quoted;
            }
            continue;
        case ',':
            if (!addPair("Attribute name expected"))
                return tagError;
            continue;
        case '<':
            SetError(error, "Unexpected '<' encountered");
            return tagError;
        case '=':
            if (afterEqual) {
                SetError(error, "Misplaced equal sign");
                return tagError;
            }
            afterEqual = true;
            continue;
        case '>':
            return addPair("Missing attribute name") ? tagRead : tagError;
        default:
            break;
        }
        if (std::isspace(ch))
            continue;
        if (!IsTagChar(ch)) {
            SetError(error, afterEqual ? "Invalid character in value for attribute: " + name
                                       : CString("Invalid character found in attribute name"));
            return tagError;
        }
        if (afterEqual)
            value += static_cast<char>(ch);
        else
            name += static_cast<char>(ch);
    }
}
