// Writes the demo library's backup: the demo link's drive 2 given settings of
// a plausible spread, backed up by the engine with the program's template.
// Usage: make_demo_backup <output path>
#include <cstdio>

#include "backup/tests/DemoLinkFixture.h"
#include "platform/core/Rand.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: make_demo_backup <output path>\n");
        return 2;
    }
    DemoLink link;
    if (!link.m_open) {
        fprintf(stderr, "the demo link did not open\n");
        return 1;
    }
    FILE* list = fopen((SourceResources() + "/Backup Templates/CDBU_21.dat").c_str(), "rb");
    if (!list)
        return 1;
    fclose(list);
    // Gains and limits in the hundreds to thousands, flags and modes small, a few offsets negative.
    SRand(5010);
    const std::string text = ReadFileText(SourceResources() + "/Backup Templates/CDBU_21.dat");
    size_t at = 0;
    while ((at = text.find("!LOG:", at)) != std::string::npos) {
        at += 5;
        const size_t blank = text.find(' ', at);
        const std::string mnemonic = text.substr(at, blank - at);
        if (mnemonic == ";")
            continue;
        const int kind = Rand() % 4;
        LONG value = kind == 0 ? Rand() % 8 : kind == 1 ? 100 + Rand() % 4900 : kind == 2 ? 1000 + Rand() % 30000
                                                                                : (Rand() % 2000) - 1000;
        if (mnemonic == "TLP" || mnemonic == "TLI")
            value = mnemonic == "TLP" ? 300 : 100;
        link.Model().SetRegister(2, MnemonicToCode(mnemonic.c_str()), value, 0);
    }
    FakeHost host;
    host.m_programFolder = (SourceResources() + "/").c_str();
    CAmpBackupTool engine(&host);
    engine.SetPauses(0);
    if (!engine.StartOperation(0, 2, argv[1], engine.GetTemplateFolder(1), 1) || !RunToEnd(engine)) {
        fprintf(stderr, "the backup did not run\n");
        return 1;
    }
    fprintf(stderr, "%s", engine.GetErrorLog().GetString());
    return engine.GetErrorLog().Find("ERROR") >= 0 ? 1 : 0;
}
