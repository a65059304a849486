// libFuzzer target: any source through the preprocessor, line by line, with
// includes answered from the source itself.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "pragmix/Pragmix.h"
#include "platform/core/Archive.h"
#include "platform/core/File.h"

namespace {

class FuzzSource : public CMacroDefsCallBack {
public:
    explicit FuzzSource(const std::string& text)
    {
        size_t start = 0;
        while (start < text.size()) {
            size_t end = text.find('\n', start);
            end = end == std::string::npos ? text.size() : end + 1;
            m_lines.push_back(text.substr(start, end - start));
            start = end;
        }
    }
    int ReadLine(CString& text) override
    {
        if (m_next >= m_lines.size())
            return 0;
        text = CString(m_lines[m_next++]);
        return 1;
    }
    // Included files are not opened: the fuzz input stands alone.
    int Include(CString& /*fileName*/) override { return includeHandled; }

private:
    std::vector<std::string> m_lines;
    size_t m_next = 0;
};

class FuzzFunctions : public CExSolverCallBack {
public:
    int SolveExternalFunction(CString name, CString /*argument*/, double& value) override
    {
        value = 1.0;
        return name == "REG" ? answerSolved : 3;
    }
    int SolveExternalFunction(CString name, double& /*value*/) override
    {
        return name == "REG" ? answerTakesArgument : answerUnknown;
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    FuzzFunctions functions;
    CMacroDefs macros;
    macros.SetSolverCB(&functions);
    macros.AddMacro("MAX(a,b)", "a>b");
    FuzzSource source(text);
    macros.Process(&source, 1);

    // The same text line by line, going on after errors as a lenient caller might.
    macros.Init();
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find('\n', start);
        end = end == std::string::npos ? text.size() : end;
        CString result;
        macros.ProcessString(CString(text.substr(start, end - start)), result);
        start = end + 1;
    }
    CMacroDefs copy;
    copy.Copy(macros);
    CMapStringToString list;
    copy.GetMacroList(list);
    return 0;
}
