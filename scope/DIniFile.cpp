#include "DIniFile.h"

#include <charconv>
#include <cstdlib>
#include <string>

#include "platform/core/File.h"

namespace {
// A line is read in pieces of at most this many characters, as a fixed line buffer would.
constexpr size_t kPieceLength = 999;

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string_view TrimmedView(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}
}  // namespace

BOOL CDIniFile::LoadFile(const char* path)
{
    FILE* stream = std::fopen(path, "r");
    if (!stream)
        return FALSE;
    const BOOL result = LoadStream(stream);
    std::fclose(stream);
    return result;
}

BOOL CDIniFile::LoadStream(FILE* stream)
{
    std::string text;
    char buffer[65536];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, stream)) > 0)
        text.append(buffer, got);
    return LoadText(text);
}

BOOL CDIniFile::LoadText(std::string_view text)
{
    Clear();
    while (!text.empty()) {
        const size_t end = text.find('\n');
        const size_t lineLength = end == std::string_view::npos ? text.size() : end + 1;
        std::string_view line = text.substr(0, lineLength);
        text.remove_prefix(lineLength);
        while (!line.empty()) {
            const size_t piece = std::min(line.size(), kPieceLength);
            LoadLine(line.substr(0, piece));
            line.remove_prefix(piece);
        }
    }
    return TRUE;
}

void CDIniFile::LoadLine(std::string_view line)
{
    line = TrimmedView(line);
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos || equals == 0)
        return;
    const std::string key(line.substr(0, equals));
    const std::string value(line.substr(equals + 1));
    SetString(key.c_str(), value.c_str());
}

CString CDIniFile::SaveText() const
{
    CString text;
    for (const auto [key, value] : *this) {
        text += key;
        text += '=';
        text += value;
        text += '\n';
    }
    return text;
}

BOOL CDIniFile::SaveStream(FILE* stream) const
{
    const CString text = SaveText();
    return std::fwrite(text.GetString(), 1, static_cast<size_t>(text.GetLength()), stream) ==
           static_cast<size_t>(text.GetLength());
}

BOOL CDIniFile::SaveFile(const char* path) const
{
    const CString text = SaveText();
    CFile file;
    if (!file.Open(path, CFile::modeCreate | CFile::modeWrite | CFile::typeBinary))
        return FALSE;
    try {
        file.Write(text.GetString(), static_cast<UINT>(text.GetLength()));
        file.Close();
    } catch (const CException&) {
        file.Abort();
        return FALSE;
    }
    return TRUE;
}

void CDIniFile::SetString(const char* key, const char* text)
{
    SetAt(key, text);
}

void CDIniFile::SetInt(const char* key, int value)
{
    CString text;
    text.Format("%d", value);
    SetString(key, text);
}

// The shortest text that reads back as the same double: short where "%g" would
// be, but never loses the digits that "%g" cuts after the sixth.
void CDIniFile::SetDouble(const char* key, double value)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    SetString(key, std::string(buffer, result.ptr).c_str());
}

BOOL CDIniFile::GetString(const char* key, CString& text) const
{
    return Lookup(key, text);
}

BOOL CDIniFile::GetInt(const char* key, int& value) const
{
    CString text;
    if (!Lookup(key, text))
        return FALSE;
    value = std::atoi(text);
    return TRUE;
}

BOOL CDIniFile::GetByte(const char* key, BYTE& value) const
{
    int whole = 0;
    if (!GetInt(key, whole))
        return FALSE;
    value = static_cast<BYTE>(whole & 0xFF);
    return TRUE;
}

BOOL CDIniFile::GetShort(const char* key, short& value) const
{
    int whole = 0;
    if (!GetInt(key, whole))
        return FALSE;
    value = static_cast<short>(whole);
    return TRUE;
}

BOOL CDIniFile::GetDouble(const char* key, double& value) const
{
    CString text;
    if (!Lookup(key, text))
        return FALSE;
    value = std::atof(text);
    return TRUE;
}

BOOL CDIniFile::GetColor(const char* key, DWORD& value) const
{
    int whole = 0;
    if (!GetInt(key, whole))
        return FALSE;
    value = static_cast<DWORD>(whole);
    return TRUE;
}

void CDIniFile::Clear()
{
    RemoveAll();
}

CStringList CDIniFile::GetKeyOrder() const
{
    CStringList keys;
    for (const auto [key, value] : *this)
        keys.AddTail(key);
    return keys;
}
