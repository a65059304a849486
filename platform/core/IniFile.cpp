#include "IniFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <ctime>
#include <mutex>
#include <sstream>
#include <string>
#include <strings.h>
#include <sys/stat.h>
#include <vector>

#include "File.h"

namespace {

std::recursive_mutex g_iniMutex;

std::string Trimmed(const std::string& s)
{
    const char* blanks = " \t\r\n";
    const size_t b = s.find_first_not_of(blanks);
    if (b == std::string::npos)
        return std::string();
    return s.substr(b, s.find_last_not_of(blanks) - b + 1);
}

bool SameName(const std::string& a, const char* b) { return strcasecmp(a.c_str(), b) == 0; }

// The file as lines, with helpers to find sections and keys.
void Forget();

class IniDocument {
public:
    explicit IniDocument(const char* fileName) : m_fileName(fileName)
    {
        struct stat st {};
        if (stat(fileName, &st) != 0) {
            m_readWhole = errno == ENOENT;  // no file yet: nothing to keep
            return;
        }
        std::ifstream in(fileName, std::ios::binary);
        std::string line;
        while (std::getline(in, line)) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            m_lines.push_back(line);
        }
        m_readWhole = in.is_open() && !in.bad();
    }

    static bool IsSectionLine(const std::string& line, std::string* name = nullptr)
    {
        const std::string t = Trimmed(line);
        if (t.size() < 2 || t.front() != '[')
            return false;
        const size_t close = t.find(']');
        if (close == std::string::npos)
            return false;
        if (name)
            *name = Trimmed(t.substr(1, close - 1));
        return true;
    }

    static bool SplitEntry(const std::string& line, std::string& key, std::string& value)
    {
        const std::string t = Trimmed(line);
        if (t.empty() || t[0] == ';')
            return false;
        const size_t eq = t.find('=');
        if (eq == std::string::npos)
            return false;
        key = Trimmed(t.substr(0, eq));
        value = Trimmed(t.substr(eq + 1));
        return true;
    }

    static std::string Unquoted(const std::string& v)
    {
        if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
            return v.substr(1, v.size() - 2);
        return v;
    }

    // Index of the section header line, or -1.
    int FindSection(const char* section) const
    {
        std::string name;
        for (size_t i = 0; i < m_lines.size(); ++i) {
            if (IsSectionLine(m_lines[i], &name) && SameName(name, section))
                return static_cast<int>(i);
        }
        return -1;
    }

    // One past the last line of the section that begins at header.
    size_t SectionEnd(int header) const
    {
        size_t i = static_cast<size_t>(header) + 1;
        while (i < m_lines.size() && !IsSectionLine(m_lines[i]))
            ++i;
        return i;
    }

    int FindKey(int header, const char* key) const
    {
        std::string k, v;
        const size_t end = SectionEnd(header);
        for (size_t i = static_cast<size_t>(header) + 1; i < end; ++i) {
            if (SplitEntry(m_lines[i], k, v) && SameName(k, key))
                return static_cast<int>(i);
        }
        return -1;
    }

    std::vector<std::string> SectionNames() const
    {
        std::vector<std::string> names;
        std::string name;
        for (const auto& line : m_lines) {
            if (IsSectionLine(line, &name))
                names.push_back(name);
        }
        return names;
    }

    std::vector<std::pair<std::string, std::string>> Entries(int header) const
    {
        std::vector<std::pair<std::string, std::string>> entries;
        std::string k, v;
        const size_t end = SectionEnd(header);
        for (size_t i = static_cast<size_t>(header) + 1; i < end; ++i) {
            if (SplitEntry(m_lines[i], k, v))
                entries.emplace_back(k, v);
        }
        return entries;
    }

    // Where a new entry of the section goes: after its last non-blank line.
    size_t InsertionPoint(int header) const
    {
        size_t end = SectionEnd(header);
        while (end > static_cast<size_t>(header) + 1 && Trimmed(m_lines[end - 1]).empty())
            --end;
        return end;
    }

    int AppendSection(const char* section)
    {
        if (!m_lines.empty() && !Trimmed(m_lines.back()).empty())
            m_lines.emplace_back();
        m_lines.push_back(std::string("[") + section + "]");
        return static_cast<int>(m_lines.size()) - 1;
    }

    std::vector<std::string>& Lines() { return m_lines; }
    const std::vector<std::string>& Lines() const { return m_lines; }
    // False when the file is there but could not be read whole: a write based on
    // part of it would lose the rest, and a deletion could not be confirmed.
    bool ReadWhole() const { return m_readWhole; }

    bool Save() const
    {
        Forget();
        try {
            CFile file(m_fileName.c_str(), CFile::modeCreate | CFile::modeWrite);
            std::string text;
            for (const auto& line : m_lines) {
                text += line;
                text += "\r\n";
            }
            file.Write(text.data(), static_cast<UINT>(text.size()));
            file.Close();
            return true;
        } catch (const CFileException&) {
            return false;
        }
    }

private:
    std::string m_fileName;
    std::vector<std::string> m_lines;
    bool m_readWhole = false;
};

// Windows read their settings on every refresh: a file that has not changed is
// parsed once. A file changed within the last seconds is always read afresh,
// since the file times may not tell apart two writes that close together.
class IniDocumentCache {
public:
    const IniDocument& Get(const char* fileName, std::unique_ptr<IniDocument>& fresh)
    {
        struct stat st {};
        if (stat(fileName, &st) != 0 || !S_ISREG(st.st_mode) || RecentlyChanged(st)) {
            fresh = std::make_unique<IniDocument>(fileName);
            return *fresh;
        }
        Entry& entry = m_entries[fileName];
        if (!entry.doc || !Same(entry.st, st)) {
            entry.doc = std::make_unique<IniDocument>(fileName);
            entry.st = st;
        }
        return *entry.doc;
    }
    void Forget() { m_entries.clear(); }

private:
    struct Entry {
        struct stat st {};
        std::unique_ptr<IniDocument> doc;
    };
    static bool Same(const struct stat& a, const struct stat& b)
    {
        return a.st_ino == b.st_ino && a.st_dev == b.st_dev && a.st_size == b.st_size &&
               a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec &&
               a.st_ctim.tv_sec == b.st_ctim.tv_sec && a.st_ctim.tv_nsec == b.st_ctim.tv_nsec;
    }
    static bool RecentlyChanged(const struct stat& st)
    {
        timespec now{};
        clock_gettime(CLOCK_REALTIME, &now);
        const time_t changed = std::max(st.st_mtim.tv_sec, st.st_ctim.tv_sec);
        return now.tv_sec - changed < 3;
    }
    std::map<std::string, Entry> m_entries;
};

IniDocumentCache g_cache;  // under g_iniMutex

void Forget() { g_cache.Forget(); }

// Copies a NUL-separated list into out, ending with a double NUL; truncates to fit.
DWORD CopyList(const std::vector<std::string>& items, char* out, DWORD outSize)
{
    if (!out || outSize == 0)
        return 0;
    if (outSize == 1) {
        out[0] = '\0';
        return 0;
    }
    DWORD used = 0;
    for (const auto& item : items) {
        const size_t room = outSize - 2 - used;
        if (item.size() + 1 > room) {
            const size_t part = std::min(item.size(), room);
            std::memcpy(out + used, item.data(), part);
            used += static_cast<DWORD>(part);
            out[used] = '\0';
            out[used + 1] = '\0';
            return outSize - 2;
        }
        std::memcpy(out + used, item.c_str(), item.size() + 1);
        used += static_cast<DWORD>(item.size() + 1);
    }
    out[used] = '\0';
    if (used == 0)
        out[1] = '\0';
    return used;
}

DWORD CopyText(const std::string& text, char* out, DWORD outSize)
{
    if (!out || outSize == 0)
        return 0;
    const size_t n = std::min<size_t>(text.size(), outSize - 1);
    std::memcpy(out, text.data(), n);
    out[n] = '\0';
    return static_cast<DWORD>(n);
}

}  // namespace

DWORD GetPrivateProfileString(const char* section, const char* key, const char* defaultValue, char* out,
                              DWORD outSize, const char* fileName)
{
    std::lock_guard<std::recursive_mutex> guard(g_iniMutex);
    std::unique_ptr<IniDocument> fresh;
    const IniDocument& doc = g_cache.Get(fileName ? fileName : "", fresh);
    if (!section)
        return CopyList(doc.SectionNames(), out, outSize);
    const int header = doc.FindSection(section);
    if (!key) {
        std::vector<std::string> keys;
        if (header >= 0) {
            for (const auto& entry : doc.Entries(header))
                keys.push_back(entry.first);
        }
        return CopyList(keys, out, outSize);
    }
    const int line = header >= 0 ? doc.FindKey(header, key) : -1;
    if (line < 0) {
        std::string fallback = defaultValue ? defaultValue : "";
        while (!fallback.empty() && fallback.back() == ' ')
            fallback.pop_back();
        return CopyText(fallback, out, outSize);
    }
    std::string k, v;
    IniDocument::SplitEntry(doc.Lines()[static_cast<size_t>(line)], k, v);
    return CopyText(IniDocument::Unquoted(v), out, outSize);
}

UINT GetPrivateProfileInt(const char* section, const char* key, int defaultValue, const char* fileName)
{
    char text[64];
    if (GetPrivateProfileString(section, key, "\x01", text, sizeof text, fileName) == 1 && text[0] == '\x01')
        return static_cast<UINT>(defaultValue);
    const char* p = text;
    while (*p == ' ' || *p == '\t')
        ++p;
    return static_cast<UINT>(std::strtol(p, nullptr, (p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) ? 16 : 10));
}

BOOL WritePrivateProfileString(const char* section, const char* key, const char* value, const char* fileName)
{
    if (!section || !fileName)
        return FALSE;
    std::lock_guard<std::recursive_mutex> guard(g_iniMutex);
    IniDocument doc(fileName);
    if (!doc.ReadWhole())
        return FALSE;
    auto& lines = doc.Lines();
    int header = doc.FindSection(section);
    if (!key) {
        if (header < 0)
            return TRUE;
        lines.erase(lines.begin() + header, lines.begin() + static_cast<long>(doc.SectionEnd(header)));
        return doc.Save() ? TRUE : FALSE;
    }
    const int line = header >= 0 ? doc.FindKey(header, key) : -1;
    if (!value) {
        if (line < 0)
            return TRUE;
        lines.erase(lines.begin() + line);
        return doc.Save() ? TRUE : FALSE;
    }
    const std::string entry = std::string(key) + "=" + value;
    if (line >= 0)
        lines[static_cast<size_t>(line)] = entry;
    else {
        if (header < 0)
            header = doc.AppendSection(section);
        lines.insert(lines.begin() + static_cast<long>(doc.InsertionPoint(header)), entry);
    }
    return doc.Save() ? TRUE : FALSE;
}

DWORD GetPrivateProfileSection(const char* section, char* out, DWORD outSize, const char* fileName)
{
    std::lock_guard<std::recursive_mutex> guard(g_iniMutex);
    IniDocument doc(fileName);
    std::vector<std::string> items;
    const int header = section ? doc.FindSection(section) : -1;
    if (header >= 0) {
        for (const auto& entry : doc.Entries(header))
            items.push_back(entry.first + "=" + entry.second);
    }
    return CopyList(items, out, outSize);
}

BOOL WritePrivateProfileSection(const char* section, const char* entries, const char* fileName)
{
    if (!section || !fileName)
        return FALSE;
    std::lock_guard<std::recursive_mutex> guard(g_iniMutex);
    IniDocument doc(fileName);
    if (!doc.ReadWhole())
        return FALSE;
    auto& lines = doc.Lines();
    int header = doc.FindSection(section);
    if (header < 0)
        header = doc.AppendSection(section);
    lines.erase(lines.begin() + header + 1, lines.begin() + static_cast<long>(doc.SectionEnd(header)));
    size_t at = static_cast<size_t>(header) + 1;
    for (const char* p = entries; p && *p; p += std::strlen(p) + 1)
        lines.insert(lines.begin() + static_cast<long>(at++), p);
    return doc.Save() ? TRUE : FALSE;
}

DWORD GetPrivateProfileSectionNames(char* out, DWORD outSize, const char* fileName)
{
    return GetPrivateProfileString(nullptr, nullptr, nullptr, out, outSize, fileName);
}
