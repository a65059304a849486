#include "StdioFile.h"

#include <cerrno>
#include <cstring>
#include <string>

CStdioFile::CStdioFile(const char* fileName, UINT openFlags)
{
    CFileException error;
    if (!Open(fileName, openFlags, &error))
        throw error;
}

BOOL CStdioFile::Open(const char* fileName, UINT openFlags, CFileException* error)
{
    return CFile::Open(fileName, openFlags, error);
}

// One character with CR LF folded to LF in text mode; EOF at the end.
int CStdioFile::NextChar()
{
    FILE* f = GetStream();
    int ch = getc_unlocked(f);
    if (ch == '\r' && IsText()) {
        const int next = getc_unlocked(f);
        if (next == '\n')
            return '\n';
        if (next != EOF)
            ungetc(next, f);
    }
    return ch;
}

BOOL CStdioFile::ReadString(CString& line)
{
    if (!GetStream())
        ThrowError(EBADF);
    std::string text;
    int ch;
    bool any = false;
    while ((ch = NextChar()) != EOF) {
        any = true;
        if (ch == '\n')
            break;
        text += static_cast<char>(ch);
    }
    if (std::ferror(GetStream()))
        ThrowError(errno, CFileException::hardIO);
    if (!IsText() && !text.empty() && text.back() == '\r')
        text.pop_back();
    line = CString(std::move(text));
    return any ? TRUE : FALSE;
}

char* CStdioFile::ReadString(char* buffer, UINT maxChars)
{
    if (!GetStream())
        ThrowError(EBADF);
    if (maxChars == 0)
        return nullptr;
    UINT n = 0;
    int ch = EOF;
    while (n + 1 < maxChars && (ch = NextChar()) != EOF) {
        buffer[n++] = static_cast<char>(ch);
        if (ch == '\n')
            break;
    }
    buffer[n] = '\0';
    return n == 0 ? nullptr : buffer;
}

void CStdioFile::WriteString(const char* text)
{
    Write(text, static_cast<UINT>(std::strlen(text)));
}

UINT CStdioFile::Read(void* buffer, UINT count)
{
    if (!IsText())
        return CFile::Read(buffer, count);
    if (!GetStream())
        ThrowError(EBADF);
    auto* out = static_cast<char*>(buffer);
    UINT n = 0;
    int ch;
    while (n < count && (ch = NextChar()) != EOF)
        out[n++] = static_cast<char>(ch);
    return n;
}

void CStdioFile::Write(const void* buffer, UINT count)
{
    if (!IsText()) {
        CFile::Write(buffer, count);
        return;
    }
    const auto* in = static_cast<const char*>(buffer);
    UINT start = 0;
    for (UINT i = 0; i < count; ++i) {
        if (in[i] == '\n') {
            CFile::Write(in + start, i - start);
            CFile::Write("\r\n", 2);
            start = i + 1;
        }
    }
    CFile::Write(in + start, count - start);
}
