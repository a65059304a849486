#include "setup/io/TavroIoDefinitions.h"

#include <cstdlib>
#include <vector>

#include "distribution/AmpResponseToGui.h"
#include "distribution/DistMngrResponseReceiver.h"
#include "platform/core/IniFile.h"

namespace {

constexpr DWORD kValueSize = 1000;

bool ReadCount(const CString& file, const CString& section, const char* key, int& count)
{
    char buffer[kValueSize] = {};
    if (!GetPrivateProfileString(section, key, "", buffer, kValueSize, file))
        return false;
    count = std::atoi(buffer);
    return true;
}

}  // namespace

// ---- loading

int CTavroIoDefinitions::LoadFromIni(const CString& file, const CString& pinSection, const CString& functionSection,
                                     bool hasBits, bool hasCanDupField, bool hasSetActiveField)
{
    m_loadError.Empty();
    CTavroIoPinDefinitionMap pins;
    CTavroIoFunctionDefinitionMap functions;
    int pinCount = 0;
    if (!ReadCount(file, pinSection, "PinIndexCount", pinCount)) {
        m_loadError.Format("[%s] PinIndexCount is missing", pinSection.GetString());
        return 0;
    }
    for (int i = 0; i < pinCount; ++i) {
        CString key;
        key.Format("PinIndex%d", i);
        char buffer[kValueSize] = {};
        GetPrivateProfileString(pinSection, key, "", buffer, kValueSize, file);
        auto* pin = new CTavroIoPinDefinition;
        pin->Parse(buffer);
        pins.Add(pin);
    }
    int functionCount = 0;
    if (!ReadCount(file, functionSection, "FunctionCount", functionCount)) {
        m_loadError.Format("[%s] FunctionCount is missing", functionSection.GetString());
        return 0;
    }
    for (int i = 0; i < functionCount; ++i) {
        auto* function = new CTavroIoFunctionDefinition;
        if (!function->Parse(file, functionSection, i, hasBits, hasCanDupField, hasSetActiveField)) {
            delete function;
            m_loadError.Format("[%s] Function%d cannot be read", functionSection.GetString(), i);
            return 0;
        }
        const int number = function->m_number;
        if (!functions.Add(function)) {
            delete function;
            m_loadError.Format("[%s] Function%d defines function %d a second time", functionSection.GetString(), i,
                               number);
            return 0;
        }
    }
    m_pins.Swap(pins);
    m_functions.Swap(functions);
    DropConnectionsBeyond(static_cast<int>(m_pins.GetSize()));
    return 1;
}

void CTavroIoDefinitions::DropConnectionsBeyond(int pinCount)
{
    for (POSITION pos = m_connections.GetHeadPosition(); pos;) {
        const POSITION at = pos;
        const DWORD key = m_connections.GetNext(pos);
        if (KeyPin(key) >= pinCount) {
            m_levels.RemoveKey(key);
            m_connections.RemoveAt(at);
        }
    }
    for (POSITION pos = m_rejectedPins.GetHeadPosition(); pos;) {
        const POSITION at = pos;
        if (m_rejectedPins.GetNext(pos) >= pinCount)
            m_rejectedPins.RemoveAt(at);
    }
}

// ---- lookups

CTavroIoPinDefinition* CTavroIoDefinitions::FindPinByName(const CString& name, int* position) const
{
    for (int i = 0; i < m_pins.GetSize(); ++i) {
        if (m_pins[i]->m_name == name) {
            if (position)
                *position = i;
            return m_pins[i];
        }
    }
    return nullptr;
}

CTavroIoFunctionDefinition* CTavroIoDefinitions::FindFunctionByName(const CString& text, int* bit) const
{
    const int colon = text.Find(':');
    const CString name = colon >= 0 ? text.Left(colon) : text;
    const CString bitName = colon >= 0 ? text.Mid(colon + 1) : CString();
    for (CTavroIoFunctionDefinition* function : m_functions.m_order) {
        if (function->m_name != name)
            continue;
        if (bit) {
            *bit = -1;
            for (auto [number, named] : function->m_bitNames) {
                if (named == bitName) {
                    *bit = number;
                    break;
                }
            }
        }
        return function;
    }
    return nullptr;
}

// ---- connections

bool CTavroIoDefinitions::CanConnect(int pin, int function, int bit) const
{
    const CTavroIoPinDefinition* definition = m_pins.Pin(pin);
    const CTavroIoFunctionDefinition* functionDefinition = m_functions.Find(function);
    if (!definition || !functionDefinition || !definition->m_allowedFunctions.Find(function))
        return false;
    return functionDefinition->m_canDuplicate || !IsFunctionConnected(function, bit);
}

DWORD CTavroIoDefinitions::AddConnection(int pin, int bit, int function)
{
    const CTavroIoFunctionDefinition* definition = m_functions.Find(function);
    if (!definition)
        return 0;
    if (IsInputSide() || !definition->HasNamedBits()) {
        bit = 0;
    } else if (CString name; !definition->m_bitNames.Lookup(bit, name)) {
        return 0;  // a named-bit function needs one of its bits: never the 0xFF of bit -1
    }
    if (!CanConnect(pin, function, bit))
        return 0;
    const DWORD key = ConnectionKey(function, bit, pin);
    m_connections.AddTail(key);
    m_levels[key] = 1;
    return key;
}

DWORD CTavroIoDefinitions::ReplacePinConnection(int pin, int function, int bit)
{
    CList<DWORD> before;
    CMap<DWORD, DWORD, int, int> levels;
    for (DWORD key : m_connections) {
        if (KeyPin(key) == pin) {
            before.AddTail(key);
            levels[key] = GetConnectionLevel(KeyFunction(key), pin, KeyBit(key));
        }
    }
    RemovePinConnections(pin);
    if (const DWORD key = AddConnection(pin, bit, function))
        return key;
    for (DWORD key : before) {
        m_connections.AddTail(key);
        int level = 1;
        levels.Lookup(key, level);
        m_levels[key] = level;
    }
    return 0;
}

void CTavroIoDefinitions::RemoveConnection(int function, int pin, int bit)
{
    const DWORD key = ConnectionKey(function, bit, pin);
    m_levels.RemoveKey(key);
    if (const POSITION pos = m_connections.Find(key))
        m_connections.RemoveAt(pos);
}

void CTavroIoDefinitions::RemovePinConnections(int pin)
{
    for (POSITION pos = m_connections.GetHeadPosition(); pos;) {
        const POSITION at = pos;
        const DWORD key = m_connections.GetNext(pos);
        if (KeyPin(key) == pin) {
            m_levels.RemoveKey(key);
            m_connections.RemoveAt(at);
        }
    }
}

void CTavroIoDefinitions::SetConnectionLevel(int function, int pin, int bit, int level)
{
    m_levels[ConnectionKey(function, bit, pin)] = level;
}

int CTavroIoDefinitions::GetConnectionLevel(int function, int pin, int bit) const
{
    int level = -1;
    return m_levels.Lookup(ConnectionKey(function, bit, pin), level) ? level : -1;
}

void CTavroIoDefinitions::GetPinFunctions(int pin, CList<CFunctionAndBit>& list) const
{
    for (DWORD key : m_connections) {
        if (KeyPin(key) == pin)
            list.AddTail(CFunctionAndBit(KeyFunction(key), KeyBit(key)));
    }
}

bool CTavroIoDefinitions::IsPinConnected(int pin) const
{
    for (DWORD key : m_connections) {
        if (KeyPin(key) == pin)
            return true;
    }
    return false;
}

bool CTavroIoDefinitions::IsFunctionConnected(int function, int bit) const
{
    for (DWORD key : m_connections) {
        if (KeyFunction(key) == (function & 0xFF) && KeyBit(key) == (bit & 0xFF))
            return true;
    }
    return false;
}

void CTavroIoDefinitions::GetAvailableFunctions(int pin, int currentFunction, CList<CFunctionAndBit>& list) const
{
    const CTavroIoPinDefinition* definition = m_pins.Pin(pin);
    if (!definition)
        return;
    for (int number : definition->m_allowedFunctions) {
        const CTavroIoFunctionDefinition* function = m_functions.Find(number);
        if (!function)
            continue;
        if (function->HasNamedBits()) {
            for (int bit : function->m_bitOrder) {
                if (number == currentFunction || CanConnect(pin, number, bit))
                    list.AddTail(CFunctionAndBit(number, bit));
            }
        } else if (number == currentFunction || CanConnect(pin, number, 0)) {
            list.AddTail(CFunctionAndBit(number, 0));
        }
    }
}

// ---- exchange with the drive

void CTavroIoDefinitions::EndTransfer(int transfer)
{
    m_lastTransfer = transfer;
    m_transferState = kIdle;
}

int CTavroIoDefinitions::RequestPinAssignments(int drive, CDistMngrResponseReceiver& receiver)
{
    m_lastTransfer = m_transferState;
    m_transferState = kReceiving;
    m_responseCount = 0;
    m_connections.RemoveAll();
    m_rejectedPins.RemoveAll();
    for (int i = 0; i < m_pins.GetSize(); ++i) {
        if (receiver.SendQueryWithArgument(static_cast<BYTE>(drive), PinValueParameter(), AddressParameter(),
                                           static_cast<WORD>(i), 0, 0x20) < 0)
            return 0;
    }
    return 1;
}

int CTavroIoDefinitions::WritePinAssignments(int drive, CDistMngrResponseReceiver& receiver)
{
    std::vector<WORD> words(static_cast<size_t>(m_pins.GetSize()), 0);
    for (DWORD key : m_connections) {
        const int pin = KeyPin(key);
        if (pin >= m_pins.GetSize())
            return 0;
        const int bit = IsInputSide() ? 0 : KeyBit(key);
        const int level = GetConnectionLevel(KeyFunction(key), pin, IsInputSide() ? 0 : KeyBit(key));
        // Only bit 0 of a level reaches the drive: a level of 2 must not spill into the bit field.
        words[static_cast<size_t>(pin)] = EncodePin(KeyFunction(key), bit, level > 0 ? (level & 1) : 0);
    }
    m_lastTransfer = m_transferState;
    m_transferState = kSending;
    m_responseCount = 0;
    for (int i = 0; i < m_pins.GetSize(); ++i) {
        if (receiver.SendCommandWithArgument(static_cast<BYTE>(drive), PinValueParameter(), words[static_cast<size_t>(i)],
                                             AddressParameter(), static_cast<WORD>(i)) < 0)
            return 0;
    }
    return 1;
}

int CTavroIoDefinitions::OnPinAssignmentResponse(const CAmpResponseToGui& response)
{
    if (response.m_code != PinValueParameter())
        return 0;
    if (m_transferState != kSending && m_transferState != kReceiving)
        return -2;
    const int transfer = m_transferState;
    if (response.m_error) {
        EndTransfer(transfer);
        return -1;
    }
    if (transfer == kReceiving) {
        int pin = -1;
        for (const CAmpCommand& sub : response.m_subCommands) {
            if (sub.m_code == AddressParameter())
                pin = static_cast<int>(sub.GetValue());
        }
        // A reply for a pin outside the table is not applied.
        if (pin < 0 || pin >= m_pins.GetSize())
            return 1;
        const DWORD value = static_cast<DWORD>(response.m_value);
        const int function = static_cast<int>((value >> 8) & 0xFF);
        if (function) {
            if (IsInputSide())
                RemovePinConnections(pin);
            const int bit = DecodeBit(value);
            // The level belongs to the key the connection was filed under, which for a
            // function without named bits is bit 0 whatever bit the drive's word carries.
            if (const DWORD key = AddConnection(pin, bit, function))
                m_levels[key] = static_cast<int>(value & 1);
            else if (!m_rejectedPins.Find(pin))
                m_rejectedPins.AddTail(pin);
        }
    }
    if (++m_responseCount >= m_pins.GetSize()) {
        EndTransfer(transfer);
        return 2;
    }
    return 1;
}
