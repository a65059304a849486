// libFuzzer target for the firmware update file reader (the archive as it is
// after unscrambling): any bytes read as an update file into a scratch
// folder, then the script checked line by line and described. Checked: no
// crash, no hang, a refused file leaves the folder as it was, and nothing is
// ever written outside the folder.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "firmware/SerialFlashProgrammer.h"
#include "firmware/SerialFlashProgrammerScript.h"
#include "foundation/FileHelpers.h"
#include "testing/FuzzInputFile.h"

namespace {

namespace fs = std::filesystem;

// <scratch>/unpack holds what a run unpacks; <scratch> holds nothing else.
struct Scratch {
    Scratch()
    {
        const char* base = fs::is_directory("/dev/shm") ? "/dev/shm/kvfuzzXXXXXX" : "/tmp/kvfuzzXXXXXX";
        std::string pattern = base;
        if (!mkdtemp(pattern.data()))
            std::abort();
        root = pattern;
        unpack = root + "/unpack";
        fs::create_directory(unpack);
    }
    ~Scratch() { fs::remove_all(root); }
    int Count(const std::string& folder) const
    {
        return static_cast<int>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
    }
    std::string root;
    std::string unpack;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static FuzzInputFile input;
    static Scratch scratch;
    CSerialFlashProgrammerScript script;
    script.SetScript("Kept\n");
    const int read = script.ReadUpdateFile(input.Put(data, size), scratch.unpack.c_str());
    if (scratch.Count(scratch.root) != 1)
        std::abort();  // written beside the folder
    if (!read) {
        if (scratch.Count(scratch.unpack) != 0 || script.GetScript() != "Kept\n" || script.GetErrorText().IsEmpty())
            std::abort();
        return 0;
    }
    // Checked only: no line runs, nothing is programmed.
    CSerialFlashProgrammer programmer;
    script.SetProgrammer(&programmer);
    CString errors;
    script.CheckScript(errors);
    CString text;
    script.Describe(text);
    for (const auto& entry : fs::directory_iterator(scratch.unpack))
        fs::remove_all(entry.path());
    return 0;
}
