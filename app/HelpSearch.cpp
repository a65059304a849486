#include "HelpSearch.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>

namespace {
std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

// The text a reader sees: tags dropped, the few entities the pages use decoded.
std::string PlainText(const std::string& html)
{
    std::string text;
    bool inTag = false;
    for (char c : html) {
        if (c == '<')
            inTag = true;
        else if (c == '>') {
            inTag = false;
            text += ' ';
        } else if (!inTag)
            text += c;
    }
    for (const auto& [entity, plain] : {std::pair<const char*, const char*>{"&lt;", "<"}, {"&gt;", ">"},
                                        {"&quot;", "\""}, {"&amp;", "&"}}) {
        for (size_t at; (at = text.find(entity)) != std::string::npos;)
            text.replace(at, std::char_traits<char>::length(entity), plain);
    }
    return text;
}

std::string TitleOf(const std::string& html)
{
    const size_t start = html.find("<title>");
    const size_t end = html.find("</title>");
    if (start == std::string::npos || end == std::string::npos || end < start)
        return std::string();
    return html.substr(start + 7, end - start - 7);
}

CString Escaped(const CString& text)
{
    std::string out;
    for (const char c : std::string(text.GetString()))
        out += c == '<' ? "&lt;" : c == '>' ? "&gt;" : c == '&' ? "&amp;" : std::string(1, c);
    return CString(out.c_str());
}
}  // namespace

CHelpSearch::CHelpSearch(const CString& folder, const std::map<int, CString>& pages) : m_folder(folder)
{
    std::set<CString> seen;
    for (const auto& [topic, page] : pages) {
        CString file = page;
        if (const int anchor = file.Find('#'); anchor >= 0)
            file = file.Left(anchor);
        if (!seen.insert(file).second)
            continue;
        std::ifstream in((folder + file).GetString(), std::ios::binary);
        const std::string html{std::istreambuf_iterator<char>(in), {}};
        if (html.empty())
            continue;
        m_pages.push_back({file, CString(TitleOf(html).c_str()), Lower(PlainText(html))});
    }
}

std::vector<CHelpSearch::Hit> CHelpSearch::Find(const CString& words) const
{
    std::vector<std::string> wanted;
    std::istringstream split(Lower(words.GetString()));
    for (std::string word; split >> word;)
        wanted.push_back(word);
    std::vector<Hit> hits;
    if (wanted.empty())
        return hits;
    for (const Page& page : m_pages)
        if (std::all_of(wanted.begin(), wanted.end(),
                        [&](const std::string& word) { return page.text.find(word) != std::string::npos; }))
            hits.push_back({page.file, page.title});
    return hits;
}

CString CHelpSearch::ResultsPage(const CString& words) const
{
    const std::vector<Hit> hits = Find(words);
    CString html = "<html><head><title>Search</title></head><body><h1>Search: " + Escaped(words) + "</h1>";
    if (hits.empty())
        html += "<p>No help page holds every one of these words. Try fewer or shorter words, or the "
                "<a href=\"file://" + m_folder + "helpindex.html\">index</a>.</p>";
    else {
        html += "<ul>";
        for (const Hit& hit : hits)
            html += "<li><a href=\"file://" + m_folder + hit.page + "\">" + Escaped(hit.title) + "</a></li>";
        html += "</ul>";
    }
    return html + "</body></html>";
}
