// CHelpWnd: the program's help viewer: the help pages in a browser window with
// a search box above them. A topic number finds its page through the pages'
// topic map ("topics.map": one "<topic> <page>[#anchor]" a line); an unknown
// topic shows the default one. Esc closes it.
#pragma once

#include <map>

#include "platform/ui/BrowserCtrl.h"
#include "platform/ui/Button.h"
#include "platform/ui/Edit.h"
#include "platform/ui/Wnd.h"

class CHelpWnd : public CWnd, public CBrowserEvents {
public:
    enum { kBrowserId = 1, kSearchEditId = 2, kSearchButtonId = 3 };

    CHelpWnd() = default;
    ~CHelpWnd() override;

    // HH_HELP_CONTEXT, HH_DISPLAY_TOC, HH_DISPLAY_INDEX, HH_DISPLAY_SEARCH.
    BOOL ShowTopic(int topic);
    BOOL ShowContents() { return ShowPage("index.html"); }
    BOOL ShowIndex() { return ShowPage("helpindex.html"); }
    // The search page, with the focus in the search box.
    BOOL ShowSearch();
    // Lists the pages that hold every word typed in the search box.
    void OnSearch();
    int GetShownTopic() const { return m_topic; }
    CBrowserCtrl& GetBrowser() { return m_browser; }
    CEdit& GetSearchBox() { return m_searchBox; }
    // The page of a topic ("" when the map has none), from the help folder's map.
    CString PageOfTopic(int topic);

    void OnTitleChange(const CString& title) override;
    BOOL PreTranslateMessage(MSG* msg) override;
    void OnSize(UINT type, int cx, int cy);
    void OnClose() { ShowWindow(SW_HIDE); }

private:
    BOOL Ensure();
    BOOL ShowPage(const CString& page);
    void LoadMap();
    void LayOut(int cx, int cy);
    CBrowserCtrl m_browser;
    CEdit m_searchBox;
    CButton m_searchButton;
    std::map<int, CString> m_pages;
    bool m_mapLoaded = false;
    int m_topic = -1;

    DECLARE_MESSAGE_MAP()
};
