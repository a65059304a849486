// CCommunicationsModuleSimulator: the demo link. A port that answers the
// communication manager's frames from an in-memory module with two drives,
// on its own 20 ms thread. Drive families and menu updates come from the
// application's link services.
#pragma once

#include <map>
#include <utility>

#include <array>

#include "comm/demo/DemoLoopModel.h"
#include "comm/demo/DemoRegisterModel.h"
#include "comm/link/QVXCommPort.h"
#include "foundation/DThread.h"
#include "foundation/HPTimer.h"
#include "foundation/RingBuff.h"

class CCommunicationsModuleSimulator : public CQVXCommPort, public CDThread {
public:
    CCommunicationsModuleSimulator();
    ~CCommunicationsModuleSimulator() override;

    int Open() override;
    int Close() override;
    int Write(int count, const BYTE* bytes) override;
    int Read(int maximum, BYTE* buffer) override;
    int IdentifyDrive(int address) override;
    // Drops the answers delivered but not yet read, as a line purge drops received bytes.
    int Purge(int what) override;
    int EnterSync() override { return 1; }
    bool WakesReader() override { return true; }

    // One cycle of the simulator: handle written frames, move the drives, answer.
    // A peer that answers each request at once (the network module) delivers at once.
    void RunCycle(bool deliverAtOnce = false);
    CDemoRegisterModel& Model() { return m_model; }
    // Test hook: writes of code at address answer error (0 ends it) and store nothing.
    void FailWrites(int address, int code, int error);

protected:
    int Step() override;
    int GetRestMs() override;

private:
    struct Frame {
        int address;
        int width;
        int code;
        LONG value;
    };

    void HandleInput();
    size_t HandleFrame(const BYTE* bytes, size_t available);
    void HandleRead(const Frame& frame);
    void HandleWrite(const Frame& frame);
    bool ApplyWriteSideEffects(const Frame& frame, LONG& stored, bool& echo);
    void StepLinkedRegister(const Frame& frame);
    // A step command (C, or PSC in position mode) to an enabled drive drives its loop model.
    void CommandLoopModel(const Frame& frame);

    void ReadModuleClock();
    void UpdateMotionValues();
    void ServePollSlots();
    void RunCpfProcedure(int address);
    void RunIbProcedure(int address);
    void RunBafProcedure(int address);
    void DeliverStagedAnswers(bool atOnce);
    // Something moves without a frame asking: input or answers waiting, a
    // poll slot set, a drive enabled or one of its procedures running.
    bool HasOwnWork();
    bool DriveIsBusy(int address);

    void StageReply(int address, int code, LONG value, int width);
    void StageError(int address, int failedCode, int error);
    void StageTimeStampIfOn();
    void StageBytes(const BYTE* bytes, int count);
    bool TimeStampsOn();
    static LONG RandomSigned16();

    CDemoRegisterModel m_model;
    CMutex m_failedWritesLock;
    std::map<std::pair<int, int>, int> m_failedWrites;
    CMutex m_inputLock, m_stagingLock, m_outputLock;
    CRingBuff m_input{11};
    CRingBuff m_staging{13};
    CRingBuff m_output{13};
    CHPTimer m_moduleClock;
    LONG m_cycleMs = 0;  // the module clock as this cycle read it
    CHPTimer m_deliveryClock;
    std::array<CHPTimer, 3> m_cpfClocks, m_ibClocks, m_bafClocks;
    std::array<int, 3> m_bafState{};
    std::array<DWORD, 12> m_pollSlots{};
    std::array<CHPTimer, 12> m_pollClocks;
    int m_create = 0;
    std::array<CDemoLoopModel, 3> m_loops{};
    std::array<int, 3> m_loopMeasuredCodes{};
};
