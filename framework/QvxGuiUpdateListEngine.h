// CQvxGuiUpdateListEngine: what the drive-settings list needs of its private
// backup engine: run a definition template whose "!EXTPROC:" lines come to
// the list, expand a command text, define macros and step the engine. The
// backup subsystem provides the real one through the factory; until one is
// installed a list builds no rows.
#pragma once

#include <functional>
#include <memory>

#include "platform/core/String.h"

class CAmpBackupToolExtProcessorCB;

class CQvxGuiUpdateListEngine {
public:
    using Factory = std::function<std::unique_ptr<CQvxGuiUpdateListEngine>()>;

    virtual ~CQvxGuiUpdateListEngine() = default;

    // Set again before each build: lines of a run begun before need not reach the processor.
    virtual void SetExtProcessor(CAmpBackupToolExtProcessorCB* processor) = 0;
    // Starts a run of the template text for the drive; 0 when it could not start.
    virtual int RunTemplate(int drive, const char* templateText) = 0;
    // Macros, then the expression fields in braces; 0 when the text does not expand.
    virtual int ExpandText(const char* text, CString& out, int digits, int isSigned) = 0;
    virtual void SetMacro(const char* name, const char* value) = 0;
    // A macro that every later run defines at its start.
    virtual void SetUserMacro(const char* name, const char* value) = 0;
    // The periodic service from the window's refresh.
    virtual void UpdateStatus() = 0;
    // Non-zero while no run is active.
    virtual int IsIdle() = 0;

    static void SetFactory(Factory factory);
    static std::unique_ptr<CQvxGuiUpdateListEngine> Create();
};
