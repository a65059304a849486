#include "DWinProcHandler.h"

#include "DWinProcHandlerListMap.h"

CDWinProcHandler::~CDWinProcHandler() { DetachFromWindow(); }

BOOL CDWinProcHandler::AttachToWindow(HWND window)
{
    DetachFromWindow();
    if (!::IsWindow(window))
        return FALSE;
    CDWinProcHandlerListMap::Instance().AddHandler(this, window);
    return TRUE;
}

void CDWinProcHandler::DetachFromWindow()
{
    if (m_attachedList)
        CDWinProcHandlerListMap::Instance().RemoveHandler(this);
    m_attachedList = nullptr;
}

HWND CDWinProcHandler::GetAttachedWindow() const { return m_attachedList ? m_attachedList->GetWindow() : nullptr; }
