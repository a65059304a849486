// CAmpBackupToolExtProcessorCB: lets a window reach its own rows from a
// template ("!EXTPROC:"), answer drive reads while the engine expands a text
// for it, and follow a run in place of the progress window and message boxes.
#pragma once

#include "distribution/AmpQryCmdFromGui.h"
#include "distribution/AmpResponseToGui.h"
#include "platform/core/String.h"

class CAmpBackupToolExtProcessorCB {
public:
    virtual ~CAmpBackupToolExtProcessorCB() = default;

    // The text after "!EXTPROC:"; 0 = failed, the reason in the last error.
    virtual int ProcessExtLine(const char* /*text*/) { return 0; }
    virtual void OnOperationComplete(int /*success*/, const char* /*text*/) {}
    virtual void OnProgress(double /*percent*/) {}
    virtual void OnStatusText(const char* /*text*/) {}
    virtual void OnErrorLine(const char* /*text*/) {}
    // Answers a drive command in place of the drive while a text is expanded; 0 = failed.
    virtual int SendCommand(const CAmpQryCmdFromGui& /*query*/, CAmpResponseToGui& /*response*/) { return 0; }
    // A value for a name nothing else resolved while a text is expanded; non-zero = found.
    virtual int GetNamedValue(const char* /*name*/, double& /*value*/) { return 0; }

    void SetErrorString(const char* text) { m_lastError = text; }
    const CString& GetErrorString() const { return m_lastError; }

protected:
    CString m_lastError;
};
