// CSerialFlashProgrammerReportCB: where a firmware programming run sends its
// messages and progress. The windows implement it and pump their messages in
// every call, which keeps them alive during long streams.
#pragma once

#include "platform/core/String.h"

class CSerialFlashProgrammerReportCB {
public:
    virtual ~CSerialFlashProgrammerReportCB() = default;

    virtual void ReportAction(CString text) = 0;
    virtual void ReportStatus(CString text) = 0;
    // A new stage of total bytes begins.
    virtual void BeginProgress(int total, CString text) = 0;
    virtual void ReportProgress(int position, CString text) = 0;
    virtual void ReportError(CString text) = 0;
    virtual void ReportDebug(CString text) = 0;
};
