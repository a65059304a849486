// CTutorPageList: the pages of one tutorial file, its topic and the page ids
// that name positions in it.
#pragma once

#include <map>

#include "platform/core/Collections.h"
#include "platform/core/List.h"
#include "platform/core/String.h"

struct CTutorPage {
    CString m_url;
    CString m_title;
    CString m_windowName;
    CString m_pageId;
};

class CTutorPageList : public CList<CTutorPage, const CTutorPage&> {
public:
    // Reads a tutorial file (pages are appended; the id map is emptied
    // first); a page without URL takes the index's page for its window.
    // 0 when the file cannot be opened.
    int ReadFile(const char* path, const CMapStringToString& index);
    // One line of a tutorial file.
    void ReadLine(const CString& line, const CMapStringToString& index);
    // The page index of an id; -1 when unknown.
    int FindPageId(const CString& id) const;
    const CTutorPage* GetPage(int index) const;

    // The value of NAME="..." in a line; empty when absent or unquoted.
    static CString FieldOf(const CString& line, const char* name);

    CString m_topic;
    std::map<CString, int> m_pageIds;
};

// Reads "TutorIndex.dat" into the map (window name -> page file); 1 on
// success, 0 when the file cannot be opened or a line has no comma (the
// entries before it stay).
int ReadTutorIndex(const char* path, CMapStringToString& index);
