#include "ClientDC.h"

#include "DCImpl.h"
#include "WndImpl.h"

CClientDC::CClientDC(CWnd* wnd) : m_wnd(wnd)
{
    if (CWndImpl* impl = wnd ? wnd->GetImpl() : nullptr)
        m_impl->baseFont = kvui::FontFor(impl);
}

CClientDC::~CClientDC() = default;
