#include "GlobalMouseHook.h"

#include <algorithm>

#include "GlobalMouseHookClient.h"

CGlobalMouseHookClient::~CGlobalMouseHookClient() { CGlobalMouseHook::Instance().Unregister(this); }

CGlobalMouseHook& CGlobalMouseHook::Instance()
{
    static CGlobalMouseHook hook;
    return hook;
}

CGlobalMouseHook::~CGlobalMouseHook()
{
    m_clients.clear();
    if (m_hook)
        UnhookWindowsHookEx(m_hook);
    m_hook = nullptr;
}

BOOL CGlobalMouseHook::Install()
{
    if (!m_hook)
        m_hook = SetWindowsHookEx(WH_MOUSE_LL, &CGlobalMouseHook::HookProc, nullptr, 0);
    return m_hook != nullptr;
}

void CGlobalMouseHook::Register(CGlobalMouseHookClient* client)
{
    if (client && std::find(m_clients.begin(), m_clients.end(), client) == m_clients.end())
        m_clients.push_back(client);
}

void CGlobalMouseHook::Unregister(CGlobalMouseHookClient* client)
{
    m_clients.erase(std::remove(m_clients.begin(), m_clients.end(), client), m_clients.end());
}

LRESULT CGlobalMouseHook::HookProc(int code, WPARAM wParam, LPARAM lParam)
{
    CGlobalMouseHook& hook = Instance();
    if (code < 0)
        return CallNextHookEx(hook.m_hook, code, wParam, lParam);
    POINT cursor{0, 0};
    if (lParam)
        cursor = reinterpret_cast<const MSLLHOOKSTRUCT*>(lParam)->pt;
    else
        GetCursorPos(&cursor);
    const LPARAM packed = static_cast<LPARAM>((static_cast<DWORD>(cursor.x) << 16) | (static_cast<DWORD>(cursor.y) & 0xFFFF));
    // A client may go while it is told; tell only those still registered.
    const std::vector<CGlobalMouseHookClient*> clients = hook.m_clients;
    for (CGlobalMouseHookClient* client : clients)
        if (std::find(hook.m_clients.begin(), hook.m_clients.end(), client) != hook.m_clients.end())
            client->OnGlobalMouseEvent(static_cast<UINT>(wParam), packed);
    return 0;
}
