// Whether the machine is on a network, and whether a host answers a ping.
// Tests replace both through one hook.
#pragma once

#include "platform/core/String.h"

// TRUE when a network interface other than loopback is up; flags (may be
// null) receives 1 (a local network) then.
BOOL IsNetworkAlive(DWORD* flags);

class CNetworkStatusHook {
public:
    virtual ~CNetworkStatusHook() = default;
    virtual BOOL IsNetworkAlive(DWORD* flags) = 0;
    // 1 when the host answered.
    virtual int PingHost(const char* host) = 0;
};

// Installs the hook (null restores the machine's own answers); the hook must
// outlive its installation.
void AfxSetNetworkStatusHook(CNetworkStatusHook* hook);
CNetworkStatusHook* AfxGetNetworkStatusHook();
