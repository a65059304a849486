// Runs any template lines, and the same texts as "!IF" conditions, against a
// drive whose registers sit in a map: no crash, no hang, bounded output.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "backup/tests/BackupTestSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static FakeDriveLink* drive = [] {
        auto* link = new FakeDriveLink;
        link->SetIdentity();
        link->Set("TLP", 100);
        link->Set("ABC", 0xFFFF, 2);
        static CDistManager manager(link);
        CDistManager::Install(&manager);
        return link;
    }();
    (void)drive;
    CAmpBackupTool engine;
    const std::string text(reinterpret_cast<const char*>(data), size);
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        const CString line(text.substr(start, end - start).c_str());
        CString out;
        const int code = engine.InterpretLine(line, out);
        if (code < 0 || code > 2 || out.GetLength() > (1 << 20))
            abort();
        int result = 0;
        engine.EvaluateIfCondition(line, result);
        start = end + 1;
    }
    return 0;
}
