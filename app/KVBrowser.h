// CKVBrowser: the tutorial's browser. Links that command the tutorial
// ("TUTORCMD:") or the windows ("KVCLI:") are not followed but queued, so
// they run later on the tutorial's timer and never inside the browser's event.
#pragma once

#include "platform/core/Collections.h"
#include "platform/ui/BrowserCtrl.h"

class CKVBrowser : public CBrowserCtrl, public CBrowserEvents {
public:
    CKVBrowser() { SetEvents(this); }

    void OnBeforeNavigate(const CString& url, BOOL* cancel) override;

    // Navigates to a page; the query after "?" is kept as the last request
    // (the page file is shown without it).
    BOOL NavigateWithQuery(const CString& url);
    const CString& GetLastRequest() const { return m_lastRequest; }

    CStringList m_tutorialCommands;
    CStringList m_clientCommands;

private:
    CString m_lastRequest;
};
