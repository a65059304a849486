// A small stand-in for the settings list's private backup engine: a run
// hands the template's "!EXTPROC:" lines to the list on a worker thread, and
// an expansion replaces macros and solves brace fields with the expression
// solver, reading drive registers through the list.
#pragma once

#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "backup/AmpBackupToolExtProcessorCB.h"
#include "framework/QvxGuiUpdateListEngine.h"
#include "pragmix/Pragmix.h"

class CTestListEngine : public CQvxGuiUpdateListEngine, public CExSolverCallBack {
public:
    ~CTestListEngine() override;

    void SetExtProcessor(CAmpBackupToolExtProcessorCB* processor) override { m_processor = processor; }
    int RunTemplate(int drive, const char* templateText) override;
    int ExpandText(const char* text, CString& out, int digits, int isSigned) override;
    void SetMacro(const char* name, const char* value) override { m_macros[name] = value; }
    void SetUserMacro(const char* name, const char* value) override { m_macros[name] = value; }
    void UpdateStatus() override { ++m_statusSteps; }
    int IsIdle() override { return !m_running; }

    int SolveExternalFunction(CString name, double& value) override;
    using CExSolverCallBack::SolveExternalFunction;

    // The failed lines of the runs, each "<line>: <error text>".
    std::vector<std::string> Errors();
    void Wait();

    std::atomic<int> m_statusSteps{0};

private:
    CAmpBackupToolExtProcessorCB* m_processor = nullptr;
    std::thread m_worker;
    std::atomic<int> m_running{0};
    std::map<std::string, std::string> m_macros;
    std::mutex m_errorLock;
    std::vector<std::string> m_errors;
    int m_drive = 0;
    bool m_readFailed = false;
};

// Installs the engine factory for the lifetime of a test.
class TestListEngineScope {
public:
    TestListEngineScope();
    ~TestListEngineScope();
    // The engine the last list made.
    static CTestListEngine* Last();
};
