// libFuzzer target for backup files being restored: any bytes restored, line by
// line, to a drive whose registers sit in a map. Checked: no crash, no hang,
// and a restore that starts always comes to its end.
#include <chrono>
#include <cstdint>
#include <cstdlib>

#include "backup/tests/BackupTestSupport.h"
#include "testing/FuzzInputFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static FakeDriveLink* drive = [] {
        auto* link = new FakeDriveLink;
        link->SetIdentity();
        link->Set("TLP", 100);
        link->Set("ACC", -250);
        static CDistManager manager(link);
        CDistManager::Install(&manager);
        return link;
    }();
    (void)drive;
    static FuzzInputFile input;
    static FakeHost host;
    CAmpBackupTool engine(&host);
    engine.SetPauses(0);
    if (engine.RestoreFromFile(1, "Axis 1", input.Put(data, size), 1, "") != 1)
        return 0;
    if (!RunToEnd(engine, std::chrono::seconds(4)))
        std::abort();
    host.m_boxes.clear();
    return 0;
}
