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
    m_ps.rcPaint = RECT{0, 0, impl->widget->width(), impl->widget->height()};
}

CPaintDC::~CPaintDC() { m_impl->End(); }
