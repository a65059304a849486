// QVXREMOTEPOLLDATA: a communications module's answer to the discovery poll,
// 54 bytes kept as received.
#pragma once

#include <algorithm>
#include <cstring>

#include "platform/core/String.h"
#include "platform/core/WinTypes.h"

struct QVXREMOTEPOLLDATA {
    BYTE signature[2];  // 0x5D, 0xBC
    BYTE port[2];       // the module's UDP port for the link, least significant byte first
    BYTE unused[2];
    char name[48];      // zero-terminated
};
static_assert(sizeof(QVXREMOTEPOLLDATA) == 54, "the record is 54 bytes on the wire");

constexpr BYTE kRemotePollSignature0 = 0x5D;
constexpr BYTE kRemotePollSignature1 = 0xBC;
constexpr UINT kRemotePollPort = 51232;
constexpr const char* kRemotePollAddress = "255.255.255.255";

inline WORD RemotePollPort(const QVXREMOTEPOLLDATA& record)
{
    return static_cast<WORD>(record.port[0] | (record.port[1] << 8));
}

inline CString RemotePollName(const QVXREMOTEPOLLDATA& record)
{
    return CString(record.name, static_cast<int>(strnlen(record.name, sizeof record.name)));
}

// A record from received bytes: a short answer is zero-filled, and the name
// always ends inside its 48 bytes.
inline QVXREMOTEPOLLDATA MakeRemotePollData(const BYTE* bytes, int count)
{
    QVXREMOTEPOLLDATA record{};
    std::memcpy(&record, bytes, static_cast<size_t>(std::max(0, std::min<int>(count, sizeof record))));
    record.name[sizeof record.name - 1] = '\0';
    return record;
}
