#include "PaintDC.h"

#include "DCImpl.h"
#include "WndImpl.h"

CPaintDC::CPaintDC(CWnd* wnd)
{
    CWndImpl* impl = wnd ? wnd->GetImpl() : nullptr;
    if (!impl || !impl->widget)
        return;
    m_impl->baseFont = kvui::FontFor(impl);
    m_impl->BeginOn(impl->widget);
    if (m_impl->painter)
        m_impl->painter->setFont(m_impl->baseFont);
    m_ps.hdc = this;
    const QRect part = kvui::PaintRectScope::Of(impl->widget);
    m_ps.rcPaint = RECT{part.left(), part.top(), part.right() + 1, part.bottom() + 1};
}

CPaintDC::~CPaintDC() { m_impl->End(); }

namespace kvui {
namespace {
PaintRectScope* t_innermost = nullptr;  // paint events run on the GUI thread only
}

PaintRectScope::PaintRectScope(const QWidget* widget, const QRect& rect)
    : m_widget(widget), m_rect(rect), m_outer(t_innermost)
{
    t_innermost = this;
}

PaintRectScope::~PaintRectScope() { t_innermost = m_outer; }

QRect PaintRectScope::Of(const QWidget* widget)
{
    for (const PaintRectScope* scope = t_innermost; scope; scope = scope->m_outer)
        if (scope->m_widget == widget)
            return scope->m_rect;
    return widget->rect();
}
}  // namespace kvui
