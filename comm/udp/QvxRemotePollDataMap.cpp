#include "comm/udp/QvxRemotePollDataMap.h"

CQvxRemotePollDataMap::~CQvxRemotePollDataMap() { Empty(); }

void CQvxRemotePollDataMap::File(const CString& address, const QVXREMOTEPOLLDATA& record)
{
    QVXREMOTEPOLLDATA* old = nullptr;
    if (Lookup(address, old))
        delete old;
    SetAt(address, new QVXREMOTEPOLLDATA(record));
}

void CQvxRemotePollDataMap::Empty()
{
    POSITION pos = GetStartPosition();
    while (pos) {
        CString address;
        QVXREMOTEPOLLDATA* record = nullptr;
        GetNextAssoc(pos, address, record);
        delete record;
    }
    RemoveAll();
}
