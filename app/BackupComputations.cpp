#include "BackupComputations.h"

#include "BackupFilterMath.h"
#include "platform/core/DebugLog.h"
#include "setup/tuning/CurrentLoopTuning.h"

CTavroIoDefinitions& CBackupComputations::Side(int side)
{
    return side == kOutputs ? static_cast<CTavroIoDefinitions&>(m_outputs) : m_inputs;
}

bool CBackupComputations::LoadSide(int side, int variant)
{
    const int loaded = side == kOutputs ? m_outputs.LoadDefinitions(variant, m_factoryFile)
                                        : m_inputs.LoadDefinitions(variant, m_factoryFile);
    if (!loaded)
        AfxDebugLog("I/O definitions of variant %d: %s", variant, Side(side).m_loadError.GetString());
    return loaded != 0;
}

bool CBackupComputations::StartIoDefinitions(int side, int drive, int variant, CDistMngrResponseReceiver& receiver)
{
    // Connections of an earlier drive must not show up in this one's list.
    Side(side).m_connections.RemoveAll();
    return LoadSide(side, variant) && Side(side).RequestPinAssignments(drive, receiver) != 0;
}

bool CBackupComputations::IsIoReceiving(int side)
{
    return Side(side).m_transferState == CTavroIoDefinitions::kReceiving;
}

int CBackupComputations::HandleIoResponse(int side, const CAmpResponseToGui& response)
{
    return Side(side).OnPinAssignmentResponse(response);
}

CString CBackupComputations::BuildIoFunctionList(int side)
{
    const CTavroIoDefinitions& io = Side(side);
    CString list;
    for (int pin = 0; pin < io.m_pins.GetSize(); ++pin) {
        const CTavroIoPinDefinition* definition = io.m_pins[pin];
        CList<CFunctionAndBit> functions;
        io.GetPinFunctions(pin, functions);
        if (!definition || functions.IsEmpty())
            continue;
        const CFunctionAndBit first = functions.GetHead();
        const CTavroIoFunctionDefinition* function = io.m_functions.Find(first.m_function);
        list += "    " + definition->m_name + " --> ";
        list += function ? function->FormatName(first.m_bit) : CString("<Unknown>");
        if (function && function->m_setActive) {
            CString level;
            level.Format(" (Active=%s)", definition->GetStateText(io.GetConnectionLevel(first.m_function, pin,
                                                                                         first.m_bit)).GetString());
            list += level;
        }
        list += "\r\n";
    }
    return list;
}

double CBackupComputations::CalcCurrentLoopBandwidth(int masterGain, int resistance, int inductance,
                                                     int proportionalGain, int busVolts, double currentGain)
{
    return ::CalcCurrentLoopBandwidth(masterGain, resistance, inductance, proportionalGain, busVolts, currentGain);
}

bool CBackupComputations::GetDriveFilterType(int drive, int filter, int& type)
{
    return ReadDriveFilterType(m_table, drive, filter, type);
}

bool CBackupComputations::CalcFilterArgsFromCoefficients(int type, const int coefficients[6], int guess, double fs,
                                                         FilterArguments& out)
{
    int found = type;
    if (!SolveFilterFromCoefficients(found, coefficients, guess, fs, out.args))
        return false;
    out.type = found;
    return true;
}

CString CBackupComputations::GetFilterTypeCode(int type) { return FilterTypeCode(type); }
