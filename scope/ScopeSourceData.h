// CScopeSourceData: one signal the scope queries: a drive command on one drive,
// with its scale, offset and units, and what the sampling side last saw of it.
#pragma once

#include "foundation/HPTimer.h"
#include "platform/core/String.h"

// The units name of a units code: "", "A", "rpm", "V", "degs", "%", else "Unknown units".
CString GetUnitsName(int unitsCode);

class CScopeSourceData {
public:
    CScopeSourceData() = default;
    virtual ~CScopeSourceData() = default;
    CScopeSourceData(const CScopeSourceData&) = default;
    CScopeSourceData& operator=(const CScopeSourceData&) = default;

    // Drive, description, and a parenthesised suffix of scale, offset, interval or error.
    CString GetLabel(int showInterval, int showScale, int showOffset, int showError) const;
    // The command code of Command behind any prefix ending in "_"; 0 when it is no mnemonic.
    int GetCommandCode() const;

    int SourceID = -1;
    int AmpAddr = -1;
    int QvxSourceIndex = 0;
    CString Command;
    CString Description = "New Scope Source";
    CString DisplayName;
    double Scale = 1.0;
    double Offset = 0.0;
    BYTE Enabled = 0;
    signed char UnitsCode = -1;
    int MinUpdateMs = 0;
    int IsXChannel = 0;
    int SuspendQuery = 0;

    double LastSampleTime = -1.0;
    int LastIntervalMs = 0;
    CHPTimer ActivityTimer;
    int LastError = 0;
    double LastValue = 0.0;
};
