#include "HelpWnd.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "HelpTopics.h"

BEGIN_MESSAGE_MAP(CHelpWnd, CWnd)
    ON_WM_SIZE()
    ON_WM_CLOSE()
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
    CRect client;
    GetClientRect(&client);
    m_browser.SetEvents(this);
    return m_browser.Create(client, this, 1);
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
        m_browser.MoveWindow(0, 0, cx, cy);
}
