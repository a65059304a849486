// CAmpResponseToDistMngrList: the finished responses waiting for the distribution
// manager; appended by the communication manager's thread, taken oldest first.
#pragma once

#include "comm/protocol/AmpResponseToDistMngr.h"
#include "platform/core/List.h"
#include "platform/core/Mutex.h"

class CAmpResponseToDistMngrList {
public:
    CAmpResponseToDistMngrList() = default;
    CAmpResponseToDistMngrList(const CAmpResponseToDistMngrList&) = delete;
    CAmpResponseToDistMngrList& operator=(const CAmpResponseToDistMngrList&) = delete;

    void Append(const CAmpResponseToDistMngr& response);
    // Copies the oldest response into out and removes it; false when there is none.
    bool PopResponse(CAmpResponseToDistMngr& out);
    void Copy(const CAmpResponseToDistMngrList& other);
    int GetCount() const;
    void RemoveAll();

private:
    mutable CMutex m_lock;
    CList<CAmpResponseToDistMngr> m_responses;
};
