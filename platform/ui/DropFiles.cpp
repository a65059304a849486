#include "DropFiles.h"

#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <cstring>
#include <memory>

#include "WndImpl.h"

struct DropFilesData {
    std::vector<CString> paths;
    bool finished = false;
};

namespace {

constexpr const char* kAcceptProperty = "kvAcceptsFiles";

std::vector<CString> LocalFiles(const QMimeData* mime)
{
    std::vector<CString> paths;
    if (!mime || !mime->hasUrls())
        return paths;
    for (const QUrl& url : mime->urls())
        if (url.isLocalFile())
            paths.emplace_back(url.toLocalFile().toUtf8().constData());
    return paths;
}

// Turns the toolkit's drag and drop into the message, on the window's own widget.
class DropFilter : public QObject {
public:
    DropFilter(CWnd* wnd, QObject* parent) : QObject(parent), m_wnd(wnd) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
            auto* drag = static_cast<QDropEvent*>(event);
            if (LocalFiles(drag->mimeData()).empty())
                return false;
            drag->acceptProposedAction();
            return true;
        }
        if (event->type() != QEvent::Drop)
            return false;
        auto* drop = static_cast<QDropEvent*>(event);
        auto data = std::make_unique<DropFilesData>();
        data->paths = LocalFiles(drop->mimeData());
        if (data->paths.empty())
            return false;
        drop->acceptProposedAction();
        m_wnd->SendMessage(WM_DROPFILES, reinterpret_cast<WPARAM>(data.get()), 0);
        return true;
    }

private:
    CWnd* m_wnd;
};

QWidget* WidgetOf(CWnd* wnd) { return wnd && wnd->GetImpl() ? wnd->GetImpl()->widget.data() : nullptr; }

}  // namespace

void DragAcceptFiles(CWnd* wnd, BOOL accept)
{
    QWidget* widget = WidgetOf(wnd);
    if (!widget)
        return;
    auto* filter = widget->findChild<QObject*>(kAcceptProperty, Qt::FindDirectChildrenOnly);
    if (accept && !filter) {
        filter = new DropFilter(wnd, widget);
        filter->setObjectName(kAcceptProperty);
        widget->installEventFilter(filter);
    } else if (!accept && filter) {
        widget->removeEventFilter(filter);
        delete filter;
    }
    widget->setAcceptDrops(accept != FALSE);
}

BOOL IsDragAcceptFiles(CWnd* wnd)
{
    QWidget* widget = WidgetOf(wnd);
    return widget && widget->acceptDrops() ? TRUE : FALSE;
}

UINT DragQueryFile(HDROP drop, UINT index, char* buffer, UINT size)
{
    if (!drop)
        return 0;
    if (index == 0xFFFFFFFF)
        return static_cast<UINT>(drop->paths.size());
    if (index >= drop->paths.size())
        return 0;
    const CString& path = drop->paths[index];
    const UINT length = static_cast<UINT>(path.GetLength());
    if (buffer && size > 0) {
        const UINT copied = std::min(length, size - 1);
        std::memcpy(buffer, path.GetString(), copied);
        buffer[copied] = '\0';
        return copied;
    }
    return length;
}

void DragFinish(HDROP drop)
{
    if (drop)
        drop->finished = true;  // the sender owns the drop and frees it after the message
}

namespace kvtest {

bool DropFiles(CWnd* wnd, const std::vector<CString>& paths)
{
    QWidget* widget = WidgetOf(wnd);
    if (!widget)
        return false;
    QMimeData mime;
    QList<QUrl> urls;
    for (const CString& path : paths)
        urls.push_back(QUrl::fromLocalFile(QString::fromUtf8(path.GetString())));
    mime.setUrls(urls);
    const QPoint centre = widget->rect().center();
    QDragEnterEvent enter(centre, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &enter);
    if (!widget->acceptDrops() || !enter.isAccepted())
        return false;
    QDropEvent drop(QPointF(centre), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &drop);
    return drop.isAccepted();
}

}  // namespace kvtest
