// CQvxRemotePollDataMap: the modules that answered a discovery poll, by their
// address text; the map owns the records.
#pragma once

#include "comm/udp/QvxRemotePollData.h"
#include "platform/core/Map.h"

class CQvxRemotePollDataMap : public CMap<CString, const char*, QVXREMOTEPOLLDATA*, QVXREMOTEPOLLDATA*> {
public:
    CQvxRemotePollDataMap() = default;
    CQvxRemotePollDataMap(const CQvxRemotePollDataMap&) = delete;
    CQvxRemotePollDataMap& operator=(const CQvxRemotePollDataMap&) = delete;
    ~CQvxRemotePollDataMap() override;

    // Files a copy; a second answer from the address replaces the first.
    void File(const CString& address, const QVXREMOTEPOLLDATA& record);
    void Empty();
};
