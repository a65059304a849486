#include "TestListEngine.h"

#include "comm/protocol/AmpCommand.h"
#include "foundation/TextHelpers.h"

namespace {
CTestListEngine* g_last = nullptr;
}

CTestListEngine::~CTestListEngine()
{
    Wait();
    if (g_last == this)
        g_last = nullptr;
}

void CTestListEngine::Wait()
{
    if (m_worker.joinable())
        m_worker.join();
}

int CTestListEngine::RunTemplate(int drive, const char* templateText)
{
    Wait();
    m_drive = drive;
    m_running = 1;
    const std::string text = templateText ? templateText : "";
    m_worker = std::thread([this, text] {
        size_t start = 0;
        while (start < text.size()) {
            size_t end = text.find('\n', start);
            if (end == std::string::npos)
                end = text.size();
            const std::string line = text.substr(start, end - start);
            start = end + 1;
            if (line.rfind("!EXTPROC:", 0) != 0 || !m_processor)
                continue;
            if (!m_processor->ProcessExtLine(line.substr(9).c_str())) {
                std::lock_guard<std::mutex> lock(m_errorLock);
                m_errors.push_back(line.substr(9) + ": " + m_processor->GetErrorString().GetString());
            }
        }
        m_running = 0;
    });
    return 1;
}

std::vector<std::string> CTestListEngine::Errors()
{
    std::lock_guard<std::mutex> lock(m_errorLock);
    return m_errors;
}

int CTestListEngine::ExpandText(const char* text, CString& out, int digits, int /*isSigned*/)
{
    std::string line = text ? text : "";
    for (const auto& [name, value] : m_macros)
        for (size_t at = line.find(name); at != std::string::npos; at = line.find(name, at + value.size()))
            line.replace(at, name.size(), value);
    std::string result;
    for (size_t i = 0; i < line.size(); ++i) {
        if (line[i] != '{') {
            result += line[i];
            continue;
        }
        const size_t close = line.find('}', i);
        if (close == std::string::npos)
            return 0;
        CExSolver solver;
        double value = 0.0;
        m_readFailed = false;
        if (!solver.Solve(line.substr(i + 1, close - i - 1).c_str(), value, this) || m_readFailed)
            return 0;
        result += FormatDouble(value, digits).GetString();
        i = close;
    }
    out = result.c_str();
    return 1;
}

int CTestListEngine::SolveExternalFunction(CString name, double& value)
{
    if (m_processor && m_processor->GetNamedValue(name, value))
        return answerSolved;
    if (name.GetLength() < 2 || name.GetLength() > 3 || !m_processor)
        return answerUnknown;
    CAmpQryCmdFromGui query;
    query.m_address = static_cast<BYTE>(m_drive);
    query.m_code = static_cast<WORD>(MnemonicToCode(name));
    query.SetRead();
    CAmpResponseToGui reply;
    if (!m_processor->SendCommand(query, reply)) {
        m_readFailed = true;
        value = 0.0;
        return answerSolved;
    }
    value = reply.GetValue();
    return answerSolved;
}

TestListEngineScope::TestListEngineScope()
{
    CQvxGuiUpdateListEngine::SetFactory([] {
        auto engine = std::make_unique<CTestListEngine>();
        g_last = engine.get();
        return std::unique_ptr<CQvxGuiUpdateListEngine>(std::move(engine));
    });
}

TestListEngineScope::~TestListEngineScope()
{
    CQvxGuiUpdateListEngine::SetFactory(nullptr);
}

CTestListEngine* TestListEngineScope::Last()
{
    return g_last;
}
