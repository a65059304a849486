#include "HelpWnd.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "HelpSearch.h"
#include "HelpTopics.h"

namespace {
constexpr int kSearchRowHeight = 30;
constexpr int kSearchButtonWidth = 80;
}  // namespace

BEGIN_MESSAGE_MAP(CHelpWnd, CWnd)
    ON_WM_SIZE()
    ON_WM_CLOSE()
    ON_BN_CLICKED(CHelpWnd::kSearchButtonId, &CHelpWnd::OnSearch)
END_MESSAGE_MAP()

CHelpWnd::~CHelpWnd()
{
    if (GetSafeHwnd())
        DestroyWindow();
}

BOOL CHelpWnd::Ensure()
{
    if (GetSafeHwnd())
        return TRUE;
    if (!CreateEx(0, nullptr, "Korvane Help", WS_OVERLAPPEDWINDOW, CRect(80, 80, 780, 620), nullptr, 0))
        return FALSE;
    const CRect none(0, 0, 10, 10);
    m_browser.SetEvents(this);
    if (!m_searchBox.Create(WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, none, this,
                            kSearchEditId) ||
        !m_searchButton.Create("Search", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, none, this,
                               kSearchButtonId) ||
        !m_browser.Create(none, this, kBrowserId))
        return FALSE;
    CRect client;
    GetClientRect(&client);
    LayOut(client.Width(), client.Height());
    return TRUE;
}

void CHelpWnd::LayOut(int cx, int cy)
{
    const int editRight = std::max(4, cx - kSearchButtonWidth - 8);
    m_searchBox.MoveWindow(4, 4, editRight - 4, kSearchRowHeight - 8);
    m_searchButton.MoveWindow(editRight + 4, 3, kSearchButtonWidth, kSearchRowHeight - 6);
    m_browser.MoveWindow(0, kSearchRowHeight, cx, std::max(0, cy - kSearchRowHeight));
}

void CHelpWnd::LoadMap()
{
    if (m_mapLoaded)
        return;
    m_mapLoaded = true;
    std::ifstream in((GetHelpFilePath() + "topics.map").GetString());
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        int topic = 0;
        std::string page;
        if (line.empty() || line[0] == '#' || !(words >> topic >> page))
            continue;
        m_pages[topic] = page.c_str();
    }
}

CString CHelpWnd::PageOfTopic(int topic)
{
    LoadMap();
    const auto it = m_pages.find(topic);
    return it == m_pages.end() ? CString() : it->second;
}

BOOL CHelpWnd::ShowTopic(int topic)
{
    CString page = PageOfTopic(topic);
    if (page.IsEmpty())
        page = PageOfTopic(kDefaultHelpTopic);
    if (page.IsEmpty())
        page = "index.html";
    m_topic = topic;
    return ShowPage(page);
}

BOOL CHelpWnd::ShowPage(const CString& page)
{
    if (!Ensure())
        return FALSE;
    ShowWindow(SW_SHOW);
    BringWindowToTop();
    return m_browser.Navigate(GetHelpFilePath() + page);
}

void CHelpWnd::OnTitleChange(const CString& title)
{
    SetWindowText(title.IsEmpty() ? CString("Korvane Help") : "Korvane Help - " + title);
}

void CHelpWnd::OnSize(UINT, int cx, int cy)
{
    if (m_browser.GetSafeHwnd())
        LayOut(cx, cy);
}

BOOL CHelpWnd::ShowSearch()
{
    if (!ShowPage("search.html"))
        return FALSE;
    m_searchBox.SetFocus();
    return TRUE;
}

void CHelpWnd::OnSearch()
{
    CString words;
    m_searchBox.GetWindowText(words);
    words.Trim();
    if (words.IsEmpty()) {
        ShowPage("search.html");
        return;
    }
    LoadMap();
    m_browser.ShowHtml(CHelpSearch(GetHelpFilePath(), m_pages).ResultsPage(words));
}

BOOL CHelpWnd::PreTranslateMessage(MSG* msg)
{
    if (msg->message != WM_KEYDOWN)
        return CWnd::PreTranslateMessage(msg);
    if (msg->wParam == VK_ESCAPE) {
        ShowWindow(SW_HIDE);
        return TRUE;
    }
    if (msg->wParam == VK_RETURN && msg->hwnd == &m_searchBox) {
        OnSearch();
        return TRUE;
    }
    return CWnd::PreTranslateMessage(msg);
}
