// CSynchronizedQueryResponseClient: an object that reads drive registers
// through its drive's synchronised query table, under small keys of its own.
#pragma once

#include "platform/core/Map.h"
#include "platform/core/Mutex.h"

class CSynchronizedQueryResponseTable;

class CSynchronizedQueryResponseClient {
public:
    CSynchronizedQueryResponseClient() = default;
    // Leaves the table, which drops requests no one else wants.
    virtual ~CSynchronizedQueryResponseClient();
    CSynchronizedQueryResponseClient(const CSynchronizedQueryResponseClient&) = delete;
    CSynchronizedQueryResponseClient& operator=(const CSynchronizedQueryResponseClient&) = delete;

    // Runs on the table's thread when an answer for one of the keys arrives.
    virtual void OnSyncResponse(int /*key*/) {}

    // A read of one register; -1 as time makes it one-shot. Fails when the key
    // is taken or no table is attached.
    bool AddSyncQuery(int key, BYTE address, WORD code, int time);
    bool AddSyncQueryWithArgument(int key, BYTE address, WORD argumentCode, WORD argumentValue, WORD code, int time);
    // The answered value; with the width flag sign-extended from its width.
    // False until a good answer is there.
    bool GetSyncAnswer(int key, LONG& out, int widthFlag) const;
    bool HasSyncQuery(int key) const;

    void AttachToTable(CSynchronizedQueryResponseTable* table);
    CSynchronizedQueryResponseTable* GetTable() const;

    // The table's side.
    bool KeyOfRequest(int requestId, int& key) const;
    void ForgetRequest(int requestId);
    void ClearTable();
    bool WasTold() const;
    void SetTold();

private:
    bool RegisterRequest(int key, class CAmpQryCmdFromGui& query, int time);

    mutable CMutex m_lock;
    CSynchronizedQueryResponseTable* m_table = nullptr;
    CMap<int, int, int, int> m_requestOfKey;
    CMap<int, int, int, int> m_keyOfRequest;
    int m_told = 0;
};
