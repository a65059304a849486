// The settings list's stand-in engine with the template language's
// conditional blocks: a run first passes the definition through the macro
// preprocessor with the list's template variables defined, as the drive
// backup engine does, then hands the remaining lines to the list.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "framework/tests/TestListEngine.h"
#include "pragmix/Pragmix.h"

class PreprocessingListEngine : public CTestListEngine {
public:
    int RunTemplate(int drive, const char* templateText) override
    {
        m_lastTemplate = templateText ? templateText : "";
        CMacroDefs macros;
        for (const std::string& name : m_defined)
            macros.AddMacro(name.c_str(), "");
        std::string kept;
        const std::string text = templateText ? templateText : "";
        size_t start = 0;
        while (start < text.size()) {
            size_t end = text.find('\n', start);
            if (end == std::string::npos)
                end = text.size();
            CString result;
            if (macros.ProcessString(text.substr(start, end - start).c_str(), result) == CMacroDefs::resultText)
                kept += std::string(result.GetString()) + "\n";
            start = end + 1;
        }
        return CTestListEngine::RunTemplate(drive, kept.c_str());
    }
    void SetUserMacro(const char* name, const char* value) override
    {
        m_defined.emplace_back(name);
        CTestListEngine::SetUserMacro(name, value);
    }

    // The definition text as the window handed it in.
    std::string m_lastTemplate;

private:
    std::vector<std::string> m_defined;
};

// Installs the engine for the lifetime of a test.
class PreprocessingListEngineScope {
public:
    PreprocessingListEngineScope()
    {
        CQvxGuiUpdateListEngine::SetFactory([] { return std::make_unique<PreprocessingListEngine>(); });
    }
    ~PreprocessingListEngineScope() { CQvxGuiUpdateListEngine::SetFactory(nullptr); }
};
