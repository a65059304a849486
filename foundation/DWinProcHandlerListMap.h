// CDWinProcHandlerListMap: the program-wide map from window to the list of
// handlers watching it. It owns the lists; when the program ends it deletes
// them all, so every window still watched gets its procedure back.
#pragma once

#include "DWinProcHandlerList.h"
#include "platform/core/Map.h"

class CDWinProcHandlerListMap : public CMap<HWND, HWND, CDWinProcHandlerList*, CDWinProcHandlerList*> {
public:
    CDWinProcHandlerListMap() = default;
    ~CDWinProcHandlerListMap() override;

    static CDWinProcHandlerListMap& Instance();
    void AddHandler(CDWinProcHandler* handler, HWND window);
    // Removes the handler from the list that holds it; a list left empty is deleted.
    void RemoveHandler(CDWinProcHandler* handler);
    void DeleteAllLists();

    // The procedure every watched window runs first.
    static LRESULT SharedWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
};
