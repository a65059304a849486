// CQvxPollForRemotes: the discovery poll. Sends the two-byte poll, collects
// the answers for 900 ms and files each module's record by its address.
#pragma once

#include "comm/udp/QvxRemotePollDataMap.h"
#include "platform/io/AsyncSocket.h"

class CQvxPollForRemotes : public CAsyncSocket {
public:
    static constexpr int kPollMs = 900;

    // The target is a setting; tests point it at loopback.
    void SetTarget(const CString& address, UINT port);
    // The entry count after the poll, or -1 when the poll could not be sent.
    int PollForRemotes(CQvxRemotePollDataMap& map);
    void OnReceive(int error) override;
    // Files one received answer when it is a record; others are counted as ignored.
    void FileAnswer(const BYTE* bytes, int count, const CString& address, CQvxRemotePollDataMap& map);

    // Answers that were not records (wrong signature, empty).
    int GetIgnoredCount() const { return m_ignored; }

private:
    CQvxRemotePollDataMap* m_map = nullptr;
    CString m_targetAddress = kRemotePollAddress;
    UINT m_targetPort = kRemotePollPort;
    int m_ignored = 0;
};
