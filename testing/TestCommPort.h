// A port for tests: records every byte written, answers reads from scripted
// input, and can answer each written frame through a responder.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <vector>

#include "comm/protocol/AmpMsg.h"
#include "comm/link/QVXCommPort.h"

class TestCommPort : public CQVXCommPort {
public:
    using Responder = std::function<void(const CAmpMsg& frame, TestCommPort& port)>;

    int Open() override;
    int Close() override;
    int Write(int count, const BYTE* bytes) override;
    int Read(int maximum, BYTE* buffer) override;
    int IdentifyDrive(int address) override;
    int Purge(int what) override;
    int EnterSync() override;
    void LeaveSync() override;

    void QueueInput(const std::vector<BYTE>& bytes);
    void QueueFrame(const CAmpMsg& frame);
    std::vector<BYTE> TakeWritten();
    // The frames written so far, decoded.
    std::vector<CAmpMsg> TakeWrittenFrames();
    int PendingInput();
    int GetWriteCalls();

    // Every written frame goes to the responder; EchoAll answers each with itself.
    void SetResponder(Responder responder);
    void EchoAll();

    std::map<int, int> m_identify;  // address -> code; others answer 0
    int m_openResult = 1;
    bool m_failWrites = false;
    bool m_chatter = false;  // a drive that never stops sending (filler bytes)
    int m_purges = 0;
    int m_syncEntered = 0;
    int m_syncLeft = 0;
    int* m_closedFlag = nullptr;     // set to 1 by Close, for tests that see the port deleted
    int* m_destroyedFlag = nullptr;  // set to 1 by the destructor

    ~TestCommPort() override;

private:
    std::recursive_mutex m_mutex;
    std::deque<BYTE> m_input;
    std::vector<BYTE> m_written;
    std::vector<BYTE> m_unparsed;  // written bytes not yet a whole frame
    int m_writeCalls = 0;
    Responder m_responder;
};

std::vector<BYTE> EncodeFrame(const CAmpMsg& frame);
