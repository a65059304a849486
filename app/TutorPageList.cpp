#include "TutorPageList.h"

#include <cstdio>
#include <cstring>

namespace {
// Reads lines as the tutorial files were always read: at most size-1 bytes a
// line (a longer one continues as the next), trimmed, blank and ";" lines skipped.
template <typename Fn>
bool ForEachLine(const char* path, int size, Fn&& take)
{
    FILE* file = std::fopen(path, "r");
    if (!file)
        return false;
    std::string buffer(static_cast<size_t>(size), '\0');
    bool going = true;
    while (going && std::fgets(buffer.data(), size, file)) {
        CString line(buffer.c_str());
        line.Trim();
        if (line.IsEmpty() || line[0] == ';')
            continue;
        going = take(line);
    }
    std::fclose(file);
    return going;
}
}  // namespace

CString CTutorPageList::FieldOf(const CString& line, const char* name)
{
    const int at = line.Find(CString(name) + "=");
    if (at < 0)
        return CString();
    const int open = line.Find('"', at);
    if (open < 0)
        return CString();
    const int close = line.Find('"', open + 1);
    if (close < 0)
        return CString();
    return line.Mid(open + 1, close - open - 1);
}

void CTutorPageList::ReadLine(const CString& line, const CMapStringToString& index)
{
    const CString topic = FieldOf(line, "TOPIC");
    if (!topic.IsEmpty())
        m_topic = topic;
    CTutorPage page{FieldOf(line, "URL"), FieldOf(line, "TITLE"), FieldOf(line, "DLGID"), FieldOf(line, "PAGEID")};
    if (!page.m_pageId.IsEmpty())
        m_pageIds[page.m_pageId] = static_cast<int>(GetCount());
    if (page.m_title.IsEmpty() && page.m_url.IsEmpty() && page.m_windowName.IsEmpty())
        return;
    if (page.m_url.IsEmpty() && !page.m_windowName.IsEmpty()) {
        CString fromIndex;
        if (index.Lookup(page.m_windowName, fromIndex))
            page.m_url = fromIndex;
    }
    AddTail(page);
}

int CTutorPageList::ReadFile(const char* path, const CMapStringToString& index)
{
    FILE* probe = std::fopen(path, "r");
    if (!probe)
        return 0;
    std::fclose(probe);
    m_pageIds.clear();
    ForEachLine(path, 3000, [&](const CString& line) {
        ReadLine(line, index);
        return true;
    });
    return 1;
}

int CTutorPageList::FindPageId(const CString& id) const
{
    const auto found = m_pageIds.find(id);
    return found == m_pageIds.end() ? -1 : found->second;
}

const CTutorPage* CTutorPageList::GetPage(int index) const
{
    if (index < 0 || index >= GetCount())
        return nullptr;
    POSITION pos = FindIndex(index);
    return pos ? &GetAt(pos) : nullptr;
}

int ReadTutorIndex(const char* path, CMapStringToString& index)
{
    index.RemoveAll();
    return ForEachLine(path, 2200, [&](const CString& line) {
        const int comma = line.Find(',');
        if (comma < 0)
            return false;
        CString key = line.Left(comma);
        key.Trim();
        // The blank written after the comma by convention is skipped; a letter is not.
        int start = comma + 1;
        if (start < line.GetLength() && line[start] == ' ')
            ++start;
        CString value = line.Mid(start);
        value.Trim();
        index.SetAt(key, value);
        return true;
    }) ? 1 : 0;
}
