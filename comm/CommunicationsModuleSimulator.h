// CCommunicationsModuleSimulator: the demo link. A port that answers the
// communication manager's frames from an in-memory module with two drives,
// on its own 20 ms thread.
#pragma once

#include <array>

#include "comm/DemoRegisterModel.h"
#include "comm/QVXCommPort.h"
#include "foundation/DThread.h"
#include "foundation/HPTimer.h"
#include "foundation/RingBuff.h"

// What the simulator asks of the application. Both calls must return at once:
// they run on the simulator's thread.
class CDemoSimulatorHost {
public:
    virtual ~CDemoSimulatorHost() = default;
    // The family code of a connected drive, or -1.
    virtual int GetDriveFamily(int address) = 0;
    // Asks the GUI thread to rebuild the main menu for the connected drives.
    virtual void PostUpdateMainMenu() = 0;
};

class CCommunicationsModuleSimulator : public CQVXCommPort, public CDThread {
public:
    explicit CCommunicationsModuleSimulator(CDemoSimulatorHost* host = nullptr);
    ~CCommunicationsModuleSimulator() override;

    int Open() override;
    int Close() override;
    CString GetName() override { return "DEMO Drive"; }
    int Write(int count, const BYTE* bytes) override;
    int Read(int maximum, BYTE* buffer) override;
    int IdentifyDrive(int address) override;
    int Purge(int /*what*/) override { return 1; }

    // One cycle of the simulator: handle written frames, move the drives, answer.
    void RunCycle();
    CDemoRegisterModel& Model() { return m_model; }

protected:
    int Step() override;

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

    void UpdateMotionValues();
    void ServePollSlots();
    void RunCpfProcedure(int address);
    void RunIbProcedure(int address);
    void RunBafProcedure(int address);
    void DeliverStagedAnswers();

    void StageReply(int address, int code, LONG value, int width);
    void StageError(int address, int failedCode, int error);
    void StageTimeStampIfOn();
    void StageBytes(const BYTE* bytes, int count);
    bool TimeStampsOn();
    static LONG RandomSigned16();

    CDemoSimulatorHost* m_host;
    CDemoRegisterModel m_model;
    CMutex m_inputLock, m_stagingLock, m_outputLock;
    CRingBuff m_input{11};
    CRingBuff m_staging{13};
    CRingBuff m_output{13};
    CHPTimer m_moduleClock;
    CHPTimer m_deliveryClock;
    std::array<CHPTimer, 3> m_cpfClocks, m_ibClocks, m_bafClocks;
    std::array<int, 3> m_bafState{};
    std::array<DWORD, 12> m_pollSlots{};
    std::array<CHPTimer, 12> m_pollClocks;
    int m_create = 0;
};
