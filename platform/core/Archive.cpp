#include "Archive.h"

#include <cstring>
#include <string>
#include <vector>

CArchive::CArchive(CFile* file, UINT mode, int /*bufferSize*/, void* /*buffer*/)
    : m_file(file), m_loading((mode & load) != 0)
{
}

CArchive::~CArchive() = default;

void CArchive::Flush()
{
    if (m_file && IsStoring())
        m_file->Flush();
}

void CArchive::Close()
{
    Flush();
    m_file = nullptr;
}

void CArchive::ThrowArchive(int cause) const
{
    throw CArchiveException(cause, m_file ? m_file->GetFilePath() : CString());
}

void CArchive::CheckStoring() const
{
    if (m_loading)
        ThrowArchive(CArchiveException::readOnly);
}

void CArchive::CheckLoading() const
{
    if (!m_loading)
        ThrowArchive(CArchiveException::writeOnly);
}

UINT CArchive::Read(void* buffer, UINT count)
{
    CheckLoading();
    if (!m_file)
        ThrowArchive(CArchiveException::genericException);
    return m_file->Read(buffer, count);
}

void CArchive::Write(const void* buffer, UINT count)
{
    CheckStoring();
    if (!m_file)
        ThrowArchive(CArchiveException::genericException);
    m_file->Write(buffer, count);
}

void CArchive::ReadExact(void* buffer, UINT count)
{
    if (Read(buffer, count) != count)
        ThrowArchive(CArchiveException::endOfFile);
}

void CArchive::WriteString(const char* text)
{
    Write(text, static_cast<UINT>(std::strlen(text)));
}

BOOL CArchive::ReadString(CString& line)
{
    std::string text;
    char ch;
    bool any = false;
    while (Read(&ch, 1) == 1) {
        any = true;
        if (ch == '\n')
            break;
        text += ch;
    }
    if (!text.empty() && text.back() == '\r')
        text.pop_back();
    line = CString(std::move(text));
    return any ? TRUE : FALSE;
}

CArchive& CArchive::operator>>(bool& v)
{
    BYTE b = 0;
    Get(b);
    v = b != 0;
    return *this;
}

void CArchive::WriteCount(ULONGLONG count)
{
    if (count < 0xFF) {
        *this << static_cast<BYTE>(count);
        return;
    }
    *this << static_cast<BYTE>(0xFF);
    if (count < 0xFFFE) {
        *this << static_cast<WORD>(count);
        return;
    }
    *this << static_cast<WORD>(0xFFFF);
    if (count < 0xFFFFFFFFull) {
        *this << static_cast<DWORD>(count);
        return;
    }
    *this << static_cast<DWORD>(0xFFFFFFFFu) << count;
}

ULONGLONG CArchive::ReadCount()
{
    BYTE b = 0;
    *this >> b;
    if (b < 0xFF)
        return b;
    WORD w = 0;
    *this >> w;
    if (w < 0xFFFF)
        return w;
    DWORD d = 0;
    *this >> d;
    if (d < 0xFFFFFFFFu)
        return d;
    ULONGLONG q = 0;
    *this >> q;
    return q;
}

CArchive& CArchive::operator<<(const CString& v)
{
    WriteCount(static_cast<ULONGLONG>(v.GetLength()));
    Write(v.GetString(), static_cast<UINT>(v.GetLength()));
    return *this;
}

CArchive& CArchive::operator>>(CString& v)
{
    // A 0xFF, 0xFFFE prefix marks a wide-character text written by a Unicode build;
    // it is narrowed here, characters outside 8 bits becoming '?'.
    bool wide = false;
    BYTE b = 0;
    *this >> b;
    ULONGLONG length = b;
    if (b == 0xFF) {
        WORD w = 0;
        *this >> w;
        if (w == 0xFFFE) {
            wide = true;
            length = ReadCount();
        } else if (w < 0xFFFF) {
            length = w;
        } else {
            DWORD d = 0;
            *this >> d;
            length = d;
            if (d == 0xFFFFFFFFu) {
                ULONGLONG q = 0;
                *this >> q;
                length = q;
            }
        }
    }
    const ULONGLONG remaining = m_file ? m_file->GetLength() - m_file->GetPosition() : 0;
    if (length * (wide ? 2 : 1) > remaining)
        ThrowArchive(CArchiveException::endOfFile);
    std::string text(static_cast<size_t>(length), '\0');
    if (wide) {
        std::vector<WORD> chars(static_cast<size_t>(length));
        ReadExact(chars.data(), static_cast<UINT>(length * 2));
        for (size_t i = 0; i < chars.size(); ++i)
            text[i] = chars[i] < 0x100 ? static_cast<char>(chars[i]) : '?';
    } else if (length) {
        ReadExact(text.data(), static_cast<UINT>(length));
    }
    v = CString(std::move(text));
    return *this;
}
