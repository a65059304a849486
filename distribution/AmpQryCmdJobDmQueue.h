// CAmpQryCmdJobDmQueue: the distribution manager's jobs in submission order,
// indexed by job id and by the query ids merged into them. Callers hold m_lock.
#pragma once

#include "AmpQryCmdJobDm.h"
#include "platform/core/Map.h"
#include "platform/core/Mutex.h"

class CAmpQryCmdJobDmQueue {
public:
    CAmpQryCmdJobDmQueue() = default;
    ~CAmpQryCmdJobDmQueue() { RemoveAll(); }
    CAmpQryCmdJobDmQueue(const CAmpQryCmdJobDmQueue&) = delete;
    CAmpQryCmdJobDmQueue& operator=(const CAmpQryCmdJobDmQueue&) = delete;

    void Append(CAmpQryCmdJobDm* job);  // takes ownership
    CAmpQryCmdJobDm* FindJob(DWORD jobId) const;
    CAmpQryCmdJobDm* FindJobOfQuery(DWORD queryId) const;
    void IndexQuery(DWORD queryId, DWORD jobId);
    void UnindexQuery(DWORD queryId);
    // Deletes the job and forgets its query ids.
    void Remove(DWORD jobId);
    void RemoveAll();
    int GetCount() const { return m_jobs.GetCount(); }

    POSITION GetHeadPosition() const { return m_jobs.GetHeadPosition(); }
    CAmpQryCmdJobDm* GetNext(POSITION& pos) const { return m_jobs.GetNext(pos); }

    mutable CMutex m_lock;

private:
    CList<CAmpQryCmdJobDm*, CAmpQryCmdJobDm*> m_jobs;
    CMap<DWORD, DWORD, POSITION, POSITION> m_jobIndex;
    CMap<DWORD, DWORD, POSITION, POSITION> m_queryIndex;
};
