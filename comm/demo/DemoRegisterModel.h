// The register model of the demo link: a communications module at address 0
// and two drives at 1 (Kreln series) and 2 (Tavro series), with indexed
// registers and the parameter tables behind PTA.
#pragma once

#include <array>
#include <unordered_map>

#include "platform/core/Mutex.h"
#include "platform/core/WinTypes.h"

class CDemoRegisterModel {
public:
    static constexpr int kUnits = 3;
    static constexpr int kTableRows = 16;
    static constexpr int kTableColumns = 3;
    static constexpr int kFirstSavedSlot = 32;
    static constexpr int kSavedSlots = 16;

    CDemoRegisterModel();
    CDemoRegisterModel(const CDemoRegisterModel&) = delete;
    CDemoRegisterModel& operator=(const CDemoRegisterModel&) = delete;

    // 1 with the value when the register is held, else 0.
    int GetRegister(int address, int code, LONG& value);
    // 1 when stored; an unknown register is created only with create set.
    int SetRegister(int address, int code, LONG value, int create);
    bool HasRegister(int address, int code);
    // Adds 1 to a register that is held.
    void IncrementRegister(int address, int code);
    // Sets or clears bits of a register that is held.
    void ChangeBits(int address, int code, LONG set, LONG clear);
    // The IB request of an address: set by every write of IB.
    int GetIbRequest(int address);
    void SetIbRequest(int address, int value);

    // The lock is recursive: a caller may hold it across several operations.
    CMutex& Lock() { return m_lock; }

private:
    using Table = std::array<LONG, kTableRows * kTableColumns>;

    static DWORD Key(int address, int index, int code);
    void Define(int address, int code, LONG value, int index = 0);
    void DefineModule();
    void DefineDrive(int address, LONG version);
    // The key of a register, resolving indexed registers through their index register.
    bool ResolveKey(int address, int code, DWORD& key);
    bool ResolveTableCell(int address, int& cell);
    void BeforeStore(int address, int code, LONG value);

    CMutex m_lock;
    std::unordered_map<DWORD, LONG> m_registers;
    std::array<Table, kUnits> m_currentTables{};
    std::array<std::array<Table, kSavedSlots>, kUnits> m_savedTables{};
    std::array<int, kUnits> m_ibRequests{};
};
