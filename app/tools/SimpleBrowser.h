// SimpleBrowser: a child window showing pages through the window layer's
// browser control and telling its parent what happens, one WM_NOTIFY record
// per event (wParam the browser's control id, lParam the record). The
// parent's non-zero reply to "before navigate" cancels the navigation.
// Only the program's own pages are shown: no scripts, frames, forms or
// remote pages (a short page of ours says so in their place).
#pragma once

#include "platform/ui/BrowserCtrl.h"
#include "platform/ui/MessageMap.h"
#include "platform/ui/Wnd.h"

class SimpleBrowser : public CWnd {
public:
    enum NotificationCode : UINT {
        BeforeNavigate2 = 0,
        DocumentComplete = 1,
        DownloadBegin = 2,
        ProgressChange = 3,
        DownloadComplete = 4,
        NavigateComplete2 = 5,
        StatusTextChange = 6,
        TitleChange = 7,
    };

    struct Notification {
        NMHDR hdr;
        CString URL;
        CString frame;
        const BYTE* post_data = nullptr;
        int post_data_size = 0;
        CString headers;
        int progress = 0;
        int progress_max = 0;
        CString text;
    };

    static constexpr UINT kContainerId = 2313;
    static constexpr UINT kControlId = 59648;

    SimpleBrowser();
    ~SimpleBrowser() override;

    // In place of the dialog's static control, which goes; 0 when there is none or creation fails.
    int CreateFromStatic(CWnd* dialog, UINT staticId);
    // 0 when the control could not be made or did not show its blank page.
    int Create(CWnd* parent, const CRect& rect);
    void Navigate(const char* url);
    CString GetLocationName() const;
    CBrowserCtrl& GetControl() { return m_control; }

    // Each sends its notification to the parent; before-navigate returns the parent's reply.
    virtual BOOL OnBeforeNavigate2(const CString& url, const CString& frame, const BYTE* postData, int postDataSize,
                                   const CString& headers);
    virtual void OnDocumentComplete(const CString& url);
    virtual void OnDownloadBegin();
    virtual void OnProgressChange(int progress, int progressMax);
    virtual void OnDownloadComplete();
    virtual void OnNavigationComplete2(const CString& url);
    virtual void OnStatusTextChange(const CString& text);
    virtual void OnTitleChange(const CString& text);

    void OnSize(UINT type, int cx, int cy);

private:
    class Events;
    LRESULT Notify(Notification& record);
    void Fill(Notification& record, UINT code);

    CBrowserCtrl m_control;
    Events* m_events;
    bool m_complete = false;

    DECLARE_MESSAGE_MAP()
};
