// CGlobalMouseHook: the program's one low-level mouse hook, installed by its
// first client and handing every mouse event to every registered client.
#pragma once

#include <vector>

#include "platform/ui/Hook.h"

class CGlobalMouseHookClient;

class CGlobalMouseHook {
public:
    static CGlobalMouseHook& Instance();
    ~CGlobalMouseHook();

    BOOL Install();
    BOOL IsInstalled() const { return m_hook != nullptr; }
    void Register(CGlobalMouseHookClient* client);
    void Unregister(CGlobalMouseHookClient* client);
    size_t GetClientCount() const { return m_clients.size(); }

private:
    CGlobalMouseHook() = default;
    static LRESULT HookProc(int code, WPARAM wParam, LPARAM lParam);

    std::vector<CGlobalMouseHookClient*> m_clients;
    HHOOK m_hook = nullptr;
};
