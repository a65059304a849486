// CTavroIoDefinitions: one side (inputs or outputs) of a Tavro drive's digital
// I/O: the pins and functions from the factory file, the connections between
// them with their active levels, the rules that govern them, and their
// exchange with the drive (one parameter per pin, selected by an address
// parameter).
#pragma once

#include "platform/core/List.h"
#include "platform/core/Map.h"
#include "setup/io/FunctionAndBit.h"
#include "setup/io/TavroIoFunctionDefinitionMap.h"
#include "setup/io/TavroIoPinDefinitionMap.h"

class CAmpResponseToGui;
class CDistMngrResponseReceiver;

class CTavroIoDefinitions {
public:
    enum Transfer { kIdle = 0, kSending = 1, kReceiving = 2 };

    CTavroIoDefinitions() = default;
    virtual ~CTavroIoDefinitions() = default;
    CTavroIoDefinitions(const CTavroIoDefinitions&) = delete;
    CTavroIoDefinitions& operator=(const CTavroIoDefinitions&) = delete;

    static DWORD ConnectionKey(int function, int bit, int pin)
    {
        return (static_cast<DWORD>(function & 0xFF) << 16) | (static_cast<DWORD>(bit & 0xFF) << 8) |
               static_cast<DWORD>(pin & 0xFF);
    }
    static int KeyFunction(DWORD key) { return static_cast<int>((key >> 16) & 0xFF); }
    static int KeyBit(DWORD key) { return static_cast<int>((key >> 8) & 0xFF); }
    static int KeyPin(DWORD key) { return static_cast<int>(key & 0xFF); }

    // Loads both tables from the factory file; nonzero when both read. A load
    // that fails leaves the previous tables whole and says why in m_loadError.
    int LoadFromIni(const CString& file, const CString& pinSection, const CString& functionSection, bool hasBits,
                    bool hasCanDupField, bool hasSetActiveField);

    CTavroIoPinDefinition* FindPinByName(const CString& name, int* position = nullptr) const;
    CTavroIoFunctionDefinition* FindFunctionByName(const CString& text, int* bit = nullptr) const;

    bool CanConnect(int pin, int function, int bit) const;
    // The key of the new connection, or 0 when the rules refuse it. A function
    // without named bits connects with bit 0; one with named bits needs a known bit.
    DWORD AddConnection(int pin, int bit, int function);
    // The pin's connection replaced by this one; refused, the old one stays.
    DWORD ReplacePinConnection(int pin, int function, int bit);
    void RemoveConnection(int function, int pin, int bit);
    void RemovePinConnections(int pin);
    void SetConnectionLevel(int function, int pin, int bit, int level);
    int GetConnectionLevel(int function, int pin, int bit) const;
    void GetPinFunctions(int pin, CList<CFunctionAndBit>& list) const;
    bool IsPinConnected(int pin) const;
    bool IsFunctionConnected(int function, int bit) const;
    bool IsPinRejected(int pin) const { return m_rejectedPins.Find(pin) != nullptr; }
    void GetAvailableFunctions(int pin, int currentFunction, CList<CFunctionAndBit>& list) const;

    int RequestPinAssignments(int drive, CDistMngrResponseReceiver& receiver);
    int WritePinAssignments(int drive, CDistMngrResponseReceiver& receiver);
    int OnPinAssignmentResponse(const CAmpResponseToGui& response);

    CTavroIoPinDefinitionMap m_pins;
    CTavroIoFunctionDefinitionMap m_functions;
    CList<DWORD> m_connections;
    CList<int> m_rejectedPins;
    CMap<DWORD, DWORD, int, int> m_levels;
    int m_responseCount = 0;
    int m_transferState = kIdle;
    int m_lastTransfer = kIdle;
    CString m_loadError;

protected:
    virtual WORD PinValueParameter() const = 0;
    virtual WORD AddressParameter() const = 0;
    virtual bool IsInputSide() const = 0;
    // The drive word of a pin's connection, and the connection's bit from a drive word.
    virtual WORD EncodePin(int function, int bit, int level) const = 0;
    virtual int DecodeBit(DWORD value) const = 0;

private:
    void EndTransfer(int transfer);
    void DropConnectionsBeyond(int pinCount);
};
