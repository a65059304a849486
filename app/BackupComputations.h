// CBackupComputations: what the backup engine's template directives compute
// with the program's other subsystems: the current-loop bandwidth, a filter's
// design from its coefficients, and the lists of a Tavro drive's digital I/O.
#pragma once

#include "backup/AmpBackupToolComputations.h"
#include "setup/io/TavroDigitalInputDefinitions.h"
#include "setup/io/TavroDigitalOutputDefinitions.h"

class CGlobalParameterTable;

class CBackupComputations : public CAmpBackupToolComputations {
public:
    CBackupComputations(CGlobalParameterTable& table, CString factoryFile)
        : m_table(table), m_factoryFile(std::move(factoryFile))
    {
    }

    bool StartIoDefinitions(int side, int drive, int variant, CDistMngrResponseReceiver& receiver) override;
    bool IsIoReceiving(int side) override;
    int HandleIoResponse(int side, const CAmpResponseToGui& response) override;
    CString BuildIoFunctionList(int side) override;

    double CalcCurrentLoopBandwidth(int masterGain, int resistance, int inductance, int proportionalGain,
                                    int busVolts, double currentGain) override;
    bool GetDriveFilterType(int drive, int filter, int& type) override;
    bool CalcFilterArgsFromCoefficients(int type, const int coefficients[6], int guess, double fs,
                                        FilterArguments& out) override;
    CString GetFilterTypeCode(int type) override;

    // One side's definitions and their load from the factory file (also what the tests look at).
    CTavroIoDefinitions& Side(int side);
    bool LoadSide(int side, int variant);

private:

    CGlobalParameterTable& m_table;
    CString m_factoryFile;
    CTavroDigitalInputDefinitions m_inputs;
    CTavroDigitalOutputDefinitions m_outputs;
};
