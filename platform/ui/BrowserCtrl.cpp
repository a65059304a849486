#include "BrowserCtrl.h"

#include <QEvent>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>

#include "WndImpl.h"

namespace {
// Keeps the page filling its host window.
class FillHost : public QObject {
public:
    FillHost(QWidget* host, QWidget* child) : QObject(child), m_child(child) { host->installEventFilter(this); }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Resize)
            m_child->setGeometry(static_cast<QWidget*>(watched)->rect());
        return false;
    }

private:
    QWidget* m_child;
};

// Remembers the raw target of the link under the mouse, before QUrl normalises it.
class LinkUnderMouse : public QObject {
public:
    LinkUnderMouse(QTextBrowser* view, QString& href) : QObject(view), m_view(view), m_href(href)
    {
        view->viewport()->installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonRelease)
            m_href = m_view->anchorAt(static_cast<QMouseEvent*>(event)->position().toPoint());
        return false;
    }

private:
    QTextBrowser* m_view;
    QString& m_href;
};

// A scheme of two letters or more ("KVCLI:", "http:"), not a drive letter.
bool HasScheme(const QString& url)
{
    static const QRegularExpression scheme("^[A-Za-z][A-Za-z0-9+.-]+:");
    return scheme.match(url).hasMatch();
}

QUrl ToUrl(const CString& text)
{
    QString url = kvui::ToQ(text);
    if (url.startsWith("file:") || url.contains("://"))
        return QUrl(url);
    // A local path as Windows pages write it: backslashes, and a query the file does not take.
    url.replace('\\', '/');
    const int hash = url.indexOf('#');
    const QString fragment = hash < 0 ? QString() : url.mid(hash + 1);
    QString path = hash < 0 ? url : url.left(hash);
    const int query = path.indexOf('?');
    if (query >= 0)
        path = path.left(query);
    QUrl result = QUrl::fromLocalFile(path);
    if (hash >= 0)
        result.setFragment(fragment);
    return result;
}

// What is shown in place of a page this control cannot show.
QString NotShownPage(const QString& url)
{
    return QString("<html><head><title>Page not shown</title></head><body><p>This window shows the program's own "
                   "pages only; scripts, frames, forms and remote pages are not shown.</p><p>%1</p></body></html>")
        .arg(url.toHtmlEscaped());
}
}  // namespace

struct CBrowserCtrl::Impl {
    QPointer<QTextBrowser> view;
    QString hrefUnderMouse;
};

CBrowserCtrl::~CBrowserCtrl()
{
    if (GetSafeHwnd())
        DestroyWindow();
    delete m_browser;
}

BOOL CBrowserCtrl::Create(const RECT& rect, CWnd* parent, UINT id)
{
    if (!CWnd::Create(nullptr, "", WS_CHILD | WS_VISIBLE, rect, parent, id))
        return FALSE;
    QWidget* host = GetImpl()->widget;
    m_browser = new Impl;
    auto* view = new QTextBrowser(host);
    view->setOpenLinks(false);
    view->setGeometry(host->rect());
    new FillHost(host, view);
    new LinkUnderMouse(view, m_browser->hrefUnderMouse);
    QObject::connect(view, &QTextBrowser::anchorClicked, view, [this](const QUrl& url) {
        const QString written = m_browser->hrefUnderMouse.isEmpty() ? url.toString() : m_browser->hrefUnderMouse;
        OnLinkClicked(kvui::FromQ(written));
    });
    view->show();
    m_browser->view = view;
    return TRUE;
}

void CBrowserCtrl::OnLinkClicked(const CString& url)
{
    if (!m_browser || !m_browser->view)
        return;
    // A link with a scheme goes on as written; a path is relative to the page that holds it.
    const QString written = kvui::ToQ(url);
    const QUrl source = m_browser->view->source();
    if (HasScheme(written) || !source.isLocalFile() || written.startsWith('/')) {
        Navigate(url);
        return;
    }
    const QString folder = QFileInfo(source.toLocalFile()).path();
    Navigate(kvui::FromQ(folder + "/" + written));
}

BOOL CBrowserCtrl::Navigate(const char* url)
{
    if (!m_browser || !m_browser->view || !url)
        return FALSE;
    BOOL cancel = FALSE;
    if (m_events)
        m_events->OnBeforeNavigate(url, &cancel);
    if (cancel)
        return FALSE;
    return Show(url);
}

BOOL CBrowserCtrl::Show(const CString& url)
{
    const QString written = kvui::ToQ(url);
    if (written.compare("about:blank", Qt::CaseInsensitive) == 0) {
        m_browser->view->setSource(QUrl());
        m_browser->view->clear();
    } else if (HasScheme(written) && !written.startsWith("file:", Qt::CaseInsensitive)) {
        m_browser->view->setHtml(NotShownPage(written));
    } else {
        const QUrl target = ToUrl(url);
        if (target.isLocalFile() && !QFileInfo(target.toLocalFile()).isFile())
            return FALSE;
        m_browser->view->setSource(target);
    }
    // The page is complete once its title is known.
    if (m_events) {
        m_events->OnTitleChange(GetTitle());
        m_events->OnDocumentComplete(GetLocationURL());
    }
    return TRUE;
}

BOOL CBrowserCtrl::ShowHtml(const CString& html)
{
    if (!m_browser || !m_browser->view)
        return FALSE;
    m_browser->view->setSource(QUrl());
    m_browser->view->setHtml(kvui::ToQ(html));
    if (m_events) {
        m_events->OnTitleChange(GetTitle());
        m_events->OnDocumentComplete(GetLocationURL());
    }
    return TRUE;
}

BOOL CBrowserCtrl::GoBack()
{
    if (!m_browser || !m_browser->view || !m_browser->view->isBackwardAvailable())
        return FALSE;
    m_browser->view->backward();
    if (m_events) {
        m_events->OnDocumentComplete(GetLocationURL());
        m_events->OnTitleChange(GetTitle());
    }
    return TRUE;
}

CString CBrowserCtrl::GetLocationURL() const
{
    return m_browser && m_browser->view ? kvui::FromQ(m_browser->view->source().toString()) : CString();
}

CString CBrowserCtrl::GetTitle() const
{
    return m_browser && m_browser->view ? kvui::FromQ(m_browser->view->documentTitle()) : CString();
}

CString CBrowserCtrl::GetDocumentText() const
{
    return m_browser && m_browser->view ? kvui::FromQ(m_browser->view->toPlainText()) : CString();
}

namespace kvtest {
BOOL ClickBrowserLink(CBrowserCtrl& browser, const char* href)
{
    CWndImpl* impl = browser.GetImpl();
    auto* view = impl && impl->widget ? impl->widget->findChild<QTextBrowser*>() : nullptr;
    if (!view || !view->toHtml().contains(QString("href=\"%1\"").arg(kvui::ToQ(href).toHtmlEscaped())))
        return FALSE;
    browser.OnLinkClicked(href);  // as written in the page, as a mouse click gives it
    return TRUE;
}
}  // namespace kvtest
