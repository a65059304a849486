// CHelpWnd: the program's help viewer: the help pages in a browser window.
// A topic number finds its page through the pages' topic map ("topics.map":
// one "<topic> <page>[#anchor]" a line); an unknown topic shows the default one.
#pragma once

#include <map>

#include "platform/ui/BrowserCtrl.h"
#include "platform/ui/Wnd.h"

class CHelpWnd : public CWnd, public CBrowserEvents {
public:
    CHelpWnd() = default;
    ~CHelpWnd() override;

    // HH_HELP_CONTEXT, HH_DISPLAY_TOC, HH_DISPLAY_INDEX, HH_DISPLAY_SEARCH.
    BOOL ShowTopic(int topic);
    BOOL ShowContents() { return ShowPage("index.html"); }
    BOOL ShowIndex() { return ShowPage("helpindex.html"); }
    BOOL ShowSearch() { return ShowPage("search.html"); }
    int GetShownTopic() const { return m_topic; }
    CBrowserCtrl& GetBrowser() { return m_browser; }
    // The page of a topic ("" when the map has none), from the help folder's map.
    CString PageOfTopic(int topic);

    void OnTitleChange(const CString& title) override;
    void OnSize(UINT type, int cx, int cy);
    void OnClose() { ShowWindow(SW_HIDE); }

private:
    BOOL Ensure();
    BOOL ShowPage(const CString& page);
    void LoadMap();
    CBrowserCtrl m_browser;
    std::map<int, CString> m_pages;
    bool m_mapLoaded = false;
    int m_topic = -1;

    DECLARE_MESSAGE_MAP()
};
