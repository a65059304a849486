// CHelpSearch: the help's full-text search: which help pages hold every word
// typed, as a page of links to them.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/core/String.h"

class CHelpSearch {
public:
    struct Hit {
        CString page;
        CString title;
    };

    // folder: the help folder (ending in '/'); pages: topic -> page[#anchor].
    CHelpSearch(const CString& folder, const std::map<int, CString>& pages);
    // The pages whose text holds every word of `words` (any case), in topic order.
    std::vector<Hit> Find(const CString& words) const;
    // The results as a page whose links lead to the help folder's files.
    CString ResultsPage(const CString& words) const;

private:
    struct Page {
        CString file;
        CString title;
        std::string text;  // lower case, without markup
    };
    std::vector<Page> m_pages;
    CString m_folder;
};
