#include "DWinProcHandlerListMap.h"

#include <vector>

#include "DWinProcHandler.h"

CDWinProcHandlerListMap& CDWinProcHandlerListMap::Instance()
{
    static CDWinProcHandlerListMap map;
    return map;
}

CDWinProcHandlerListMap::~CDWinProcHandlerListMap() { DeleteAllLists(); }

void CDWinProcHandlerListMap::DeleteAllLists()
{
    std::vector<CDWinProcHandlerList*> lists;
    for (POSITION pos = GetStartPosition(); pos;) {
        HWND window;
        CDWinProcHandlerList* list;
        GetNextAssoc(pos, window, list);
        lists.push_back(list);
    }
    RemoveAll();
    for (CDWinProcHandlerList* list : lists)
        delete list;
}

void CDWinProcHandlerListMap::AddHandler(CDWinProcHandler* handler, HWND window)
{
    CDWinProcHandlerList* list = nullptr;
    if (!Lookup(window, list)) {
        const auto previous = reinterpret_cast<WNDPROC>(
            SetWindowLongPtr(window, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(&SharedWindowProc)));
        list = new CDWinProcHandlerList(window, previous);
        SetAt(window, list);
    }
    list->AddTail(handler);
    handler->m_attachedList = list;
}

void CDWinProcHandlerListMap::RemoveHandler(CDWinProcHandler* handler)
{
    for (POSITION pos = GetStartPosition(); pos;) {
        HWND window;
        CDWinProcHandlerList* list;
        GetNextAssoc(pos, window, list);
        POSITION found = list->Find(handler);
        if (!found)
            continue;
        list->RemoveAt(found);
        handler->m_attachedList = nullptr;
        if (list->IsEmpty()) {
            RemoveKey(window);
            delete list;
        }
        return;
    }
}

LRESULT CDWinProcHandlerListMap::SharedWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    CDWinProcHandlerListMap& map = Instance();
    CDWinProcHandlerList* list = nullptr;
    if (!map.Lookup(window, list))
        return 0;
    const WNDPROC previous = list->GetPreviousProc();
    // A hook may detach handlers (itself included): call those still attached, from a snapshot.
    std::vector<CDWinProcHandler*> handlers;
    for (POSITION pos = list->GetHeadPosition(); pos;)
        handlers.push_back(list->GetNext(pos));
    for (CDWinProcHandler* handler : handlers) {
        CDWinProcHandlerList* current = nullptr;
        if (!map.Lookup(window, current) || !current->Find(handler))
            continue;
        handler->HandleWindowMessage(window, message, wParam, lParam);
    }
    const LRESULT result = CallWindowProc(previous, window, message, wParam, lParam);
    if (message == WM_NCDESTROY && map.Lookup(window, list)) {
        // The window is gone: its handlers are detached so a later window at
        // the same handle is not taken for it.
        map.RemoveKey(window);
        list->ForgetWindow();
        delete list;
    }
    return result;
}
