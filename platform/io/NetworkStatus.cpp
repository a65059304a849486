#include "NetworkStatus.h"

#include <atomic>
#include <ifaddrs.h>
#include <net/if.h>

namespace {
std::atomic<CNetworkStatusHook*> g_hook{nullptr};
}

BOOL IsNetworkAlive(DWORD* flags)
{
    if (CNetworkStatusHook* hook = g_hook.load())
        return hook->IsNetworkAlive(flags);
    if (flags)
        *flags = 0;
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0)
        return FALSE;
    BOOL alive = FALSE;
    for (const ifaddrs* each = list; each && !alive; each = each->ifa_next) {
        const unsigned wanted = IFF_UP | IFF_RUNNING;
        alive = each->ifa_addr && (each->ifa_flags & wanted) == wanted && !(each->ifa_flags & IFF_LOOPBACK);
    }
    freeifaddrs(list);
    if (alive && flags)
        *flags = 1;
    return alive;
}

void AfxSetNetworkStatusHook(CNetworkStatusHook* hook)
{
    g_hook = hook;
}

CNetworkStatusHook* AfxGetNetworkStatusHook()
{
    return g_hook.load();
}
