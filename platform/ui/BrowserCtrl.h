// CBrowserCtrl: a child window showing HTML pages from files (help pages,
// tutorial pages). Links ask the owner's events first, so the owner can
// take a link for itself and cancel the navigation.
#pragma once

#include "BrowserEvents.h"
#include "Wnd.h"

class CBrowserCtrl : public CWnd {
public:
    CBrowserCtrl() = default;
    ~CBrowserCtrl() override;

    BOOL Create(const RECT& rect, CWnd* parent, UINT id);
    void SetEvents(CBrowserEvents* events) { m_events = events; }
    // A file path or a "file:" URL, with an optional "#anchor"; FALSE when cancelled or not found.
    BOOL Navigate(const char* url);
    // A page made by the program (search results); its links must be absolute.
    BOOL ShowHtml(const CString& html);
    BOOL GoBack();
    CString GetLocationURL() const;
    CString GetTitle() const;
    // The page's text without markup (for tests and searching).
    CString GetDocumentText() const;

    // For the layer's use: a link was clicked.
    void OnLinkClicked(const CString& url);

private:
    BOOL Show(const CString& url);
    struct Impl;
    Impl* m_browser = nullptr;
    CBrowserEvents* m_events = nullptr;
};

namespace kvtest {
// Clicks the page's link with this target, as a user would.
BOOL ClickBrowserLink(CBrowserCtrl& browser, const char* href);
}  // namespace kvtest
