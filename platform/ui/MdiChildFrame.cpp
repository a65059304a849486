#include "MdiChildFramePrivate.h"

#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QToolButton>
#include <algorithm>

#include "WndImpl.h"

namespace {
constexpr int kBorder = 2;
constexpr int kCaptionHeight = 22;

// The border, the caption and the client area of one MDI child, laid out as it resizes.
class MdiChildFrame : public QObject {
public:
    static void Attach(CWndImpl* impl);

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    MdiChildFrame(CWndImpl* impl, QWidget* border, QWidget* caption, QLabel* title);
    void LayOut();

    CWndImpl* m_impl;
    QPointer<QWidget> m_border;
    QPointer<QWidget> m_caption;
    QPointer<QLabel> m_title;
    QPoint m_dragOffset;
    bool m_dragging = false;
};
}  // namespace

namespace kvui {
void FrameMdiChild(CWndImpl* impl) { MdiChildFrame::Attach(impl); }
}  // namespace kvui

void MdiChildFrame::Attach(CWndImpl* impl)
{
    QWidget* window = impl ? impl->widget.data() : nullptr;
    if (!window || impl->client)
        return;
    auto* border = new QFrame(window);
    border->setFrameStyle(QFrame::Panel | QFrame::Raised);
    border->setLineWidth(kBorder);
    border->lower();

    auto* caption = new QWidget(window);
    caption->setAutoFillBackground(true);
    caption->setBackgroundRole(QPalette::Highlight);
    auto* title = new QLabel(window->windowTitle(), caption);
    title->setForegroundRole(QPalette::HighlightedText);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    auto* close = new QToolButton(caption);
    close->setText(QString::fromUtf8("\u2715"));
    close->setAutoRaise(true);
    close->setToolTip("Close");
    auto* row = new QHBoxLayout(caption);
    row->setContentsMargins(6, 0, 2, 0);
    row->addWidget(title, 1);
    row->addWidget(close);
    CWnd* wnd = impl->wnd;
    QObject::connect(close, &QToolButton::clicked, caption, [wnd]() { wnd->PostMessage(WM_CLOSE); });

    auto* client = new QWidget(window);
    for (QObject* child : window->children())
        if (auto* w = qobject_cast<QWidget*>(child); w && w != client && w != caption && w != border && !w->isWindow()) {
            const bool shown = !w->isHidden();
            w->setParent(client);
            if (shown)
                w->show();
        }
    impl->client = client;
    auto* frame = new MdiChildFrame(impl, border, caption, title);
    frame->setParent(window);
    // Installed after the window's own filter, so it runs first: the client area
    // has its new size before the window hears of it.
    window->installEventFilter(frame);
    caption->installEventFilter(frame);
    frame->LayOut();
    caption->show();
    client->show();
}

MdiChildFrame::MdiChildFrame(CWndImpl* impl, QWidget* border, QWidget* caption, QLabel* title)
    : m_impl(impl), m_border(border), m_caption(caption), m_title(title)
{
}

void MdiChildFrame::LayOut()
{
    QWidget* window = m_impl->widget;
    if (!window || !m_caption || !m_impl->client)
        return;
    if (m_border)
        m_border->setGeometry(0, 0, window->width(), window->height());
    const int width = std::max(0, window->width() - 2 * kBorder);
    m_caption->setGeometry(kBorder, kBorder, width, kCaptionHeight);
    m_impl->client->setGeometry(kBorder, kBorder + kCaptionHeight, width,
                                std::max(0, window->height() - 2 * kBorder - kCaptionHeight));
}

bool MdiChildFrame::eventFilter(QObject* watched, QEvent* event)
{
    QWidget* window = m_impl->widget;
    if (watched == window) {
        if (event->type() == QEvent::Resize)
            LayOut();
        else if (event->type() == QEvent::WindowTitleChange && m_title)
            m_title->setText(window->windowTitle());
        return false;
    }
    if (watched != m_caption || !window)
        return false;
    // Dragging the caption moves the window inside the main frame's client area.
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton)
            return false;
        m_dragging = true;
        m_dragOffset = mouse->globalPosition().toPoint() - window->pos();
        window->raise();
        return true;
    }
    case QEvent::MouseMove:
        if (!m_dragging)
            return false;
        window->move(static_cast<QMouseEvent*>(event)->globalPosition().toPoint() - m_dragOffset);
        return true;
    case QEvent::MouseButtonRelease:
        m_dragging = false;
        return false;
    default:
        return false;
    }
}
