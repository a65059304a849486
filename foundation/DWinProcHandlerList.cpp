#include "DWinProcHandlerList.h"

#include "DWinProcHandler.h"

CDWinProcHandlerList::~CDWinProcHandlerList()
{
    // Only a window that still exists gets its procedure back.
    if (m_hWnd && ::IsWindow(m_hWnd))
        SetWindowLongPtr(m_hWnd, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(m_previousProc));
    for (POSITION pos = GetHeadPosition(); pos;) {
        CDWinProcHandler* handler = GetNext(pos);
        handler->m_attachedList = nullptr;
    }
}
