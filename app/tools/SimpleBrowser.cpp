#include "SimpleBrowser.h"

#include "foundation/HPTimer.h"
#include "platform/ui/WinApp.h"

BEGIN_MESSAGE_MAP(SimpleBrowser, CWnd)
    ON_WM_SIZE()
END_MESSAGE_MAP()

namespace {
constexpr int kBlankPageDeadlineMs = 5000;
}  // namespace

// Turns the control's events into the browser's own, in the order a page loads.
class SimpleBrowser::Events : public CBrowserEvents {
public:
    explicit Events(SimpleBrowser& owner) : m_owner(owner) {}
    void OnBeforeNavigate(const CString& url, BOOL* cancel) override
    {
        *cancel = m_owner.OnBeforeNavigate2(url, CString(), nullptr, 0, CString());
        if (!*cancel)
            m_owner.OnDownloadBegin();
    }
    void OnTitleChange(const CString& title) override
    {
        m_owner.OnNavigationComplete2(m_owner.m_control.GetLocationURL());
        m_owner.OnDownloadComplete();
        m_owner.OnTitleChange(title);
    }
    void OnDocumentComplete(const CString& url) override
    {
        m_owner.m_complete = true;
        m_owner.OnDocumentComplete(url);
    }

private:
    SimpleBrowser& m_owner;
};

SimpleBrowser::SimpleBrowser() : m_events(new Events(*this)) {}

SimpleBrowser::~SimpleBrowser()
{
    m_control.SetEvents(nullptr);
    if (m_control.GetSafeHwnd())
        m_control.DestroyWindow();
    if (GetSafeHwnd())
        DestroyWindow();
    delete m_events;
}

int SimpleBrowser::CreateFromStatic(CWnd* dialog, UINT staticId)
{
    CWnd* placeholder = dialog ? dialog->GetDlgItem(staticId) : nullptr;
    if (!placeholder)
        return 0;
    CRect rect;
    placeholder->GetWindowRect(&rect);
    dialog->ScreenToClient(&rect);
    placeholder->DestroyWindow();
    return Create(dialog, rect);
}

int SimpleBrowser::Create(CWnd* parent, const CRect& rect)
{
    if (!CWnd::Create(nullptr, "", WS_CHILD | WS_VISIBLE, rect, parent, kContainerId))
        return 0;
    if (!m_control.Create(CRect(0, 0, rect.Width(), rect.Height()), this, kControlId)) {
        DestroyWindow();
        return 0;
    }
    m_control.SetEvents(m_events);
    // The blank page must be complete before the browser is used; past the deadline creation fails.
    m_complete = false;
    m_control.Navigate("about:blank");
    if (!AfxPumpMessagesUntil([this] { return m_complete; }, kBlankPageDeadlineMs)) {
        m_control.SetEvents(nullptr);
        m_control.DestroyWindow();
        DestroyWindow();
        return 0;
    }
    return 1;
}

void SimpleBrowser::Navigate(const char* url)
{
    if (m_control.GetSafeHwnd())
        m_control.Navigate(url);
}

CString SimpleBrowser::GetLocationName() const
{
    if (!m_control.GetSafeHwnd())
        return CString();
    const CString title = m_control.GetTitle();
    return title.IsEmpty() ? m_control.GetLocationURL() : title;
}

void SimpleBrowser::OnSize(UINT, int cx, int cy)
{
    if (m_control.GetSafeHwnd())
        m_control.MoveWindow(0, 0, cx, cy);
}

void SimpleBrowser::Fill(Notification& record, UINT code)
{
    record.hdr.hwndFrom = GetSafeHwnd();
    record.hdr.idFrom = kContainerId;
    record.hdr.code = code;
}

LRESULT SimpleBrowser::Notify(Notification& record)
{
    CWnd* parent = GetSafeHwnd() ? GetParent() : nullptr;
    if (!parent)
        return 0;
    return parent->SendMessage(WM_NOTIFY, kContainerId, reinterpret_cast<LPARAM>(&record));
}

BOOL SimpleBrowser::OnBeforeNavigate2(const CString& url, const CString& frame, const BYTE* postData, int postDataSize,
                                      const CString& headers)
{
    Notification record;
    Fill(record, BeforeNavigate2);
    record.URL = url;
    record.frame = frame;
    record.post_data = postData;
    record.post_data_size = postDataSize;
    record.headers = headers;
    return Notify(record) != 0;
}

void SimpleBrowser::OnDocumentComplete(const CString& url)
{
    Notification record;
    Fill(record, DocumentComplete);
    record.URL = url;
    Notify(record);
}

void SimpleBrowser::OnDownloadBegin()
{
    Notification record;
    Fill(record, DownloadBegin);
    Notify(record);
}

void SimpleBrowser::OnProgressChange(int progress, int progressMax)
{
    Notification record;
    Fill(record, ProgressChange);
    record.progress = progress;
    record.progress_max = progressMax;
    Notify(record);
}

void SimpleBrowser::OnDownloadComplete()
{
    Notification record;
    Fill(record, DownloadComplete);
    Notify(record);
}

void SimpleBrowser::OnNavigationComplete2(const CString& url)
{
    Notification record;
    Fill(record, NavigateComplete2);
    record.URL = url;
    Notify(record);
}

void SimpleBrowser::OnStatusTextChange(const CString& text)
{
    Notification record;
    Fill(record, StatusTextChange);
    record.text = text;
    Notify(record);
}

void SimpleBrowser::OnTitleChange(const CString& text)
{
    Notification record;
    Fill(record, TitleChange);
    record.text = text;
    Notify(record);
}
