// Low-level mouse hooks (WH_MOUSE_LL): the procedure sees every mouse press,
// release and move of the process, anywhere, before the window under it.
// It runs on the GUI thread and cannot stop the event.
#pragma once

#include "UiTypes.h"

constexpr int WH_MOUSE_LL = 14;
constexpr int HC_ACTION = 0;

struct HHOOK__;
using HHOOK = HHOOK__*;
using HOOKPROC = LRESULT (*)(int code, WPARAM wParam, LPARAM lParam);

struct MSLLHOOKSTRUCT {
    POINT pt;
    DWORD mouseData;
    DWORD flags;
    DWORD time;
    DWORD_PTR dwExtraInfo;
};

HHOOK SetWindowsHookEx(int idHook, HOOKPROC proc, void* module, DWORD threadId);
BOOL UnhookWindowsHookEx(HHOOK hook);
LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam);
BOOL GetCursorPos(POINT* point);
