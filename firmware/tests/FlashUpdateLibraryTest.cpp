#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <cstdint>
#include <string>
#include <vector>

#include "FirmwareTestSupport.h"
#include "firmware/FlashLibraryLocation.h"
#include "platform/core/Library.h"
#include "testing/TempDir.h"

using namespace fwtest;

namespace {

struct Section {
    const char* name;
    uint32_t address;
    uint16_t page;
    uint16_t flags;
    std::vector<uint16_t> words;
};

// An image in our library's format.
std::string LibraryImage(const std::vector<Section>& sections)
{
    std::string bytes = "KVFLASH1";
    auto put = [&](uint32_t value, int size) {
        for (int i = 0; i < size; ++i)
            bytes += static_cast<char>(value >> (8 * i) & 0xFF);
    };
    put(static_cast<uint32_t>(sections.size()), 2);
    for (const Section& s : sections) {
        std::string name = s.name;
        name.resize(8, '\0');
        bytes += name;
        put(s.address, 4);
        put(s.page, 2);
        put(s.flags, 2);
        put(static_cast<uint32_t>(s.words.size()), 4);
        for (uint16_t w : s.words)
            put(w, 2);
    }
    return bytes;
}

// The simulated target, reached through the library's test entry points.
class FlashUpdateLibraryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_module = LoadLibrary(KV_FLASH_UPDATE_LIBRARY);
        ASSERT_NE(m_module, nullptr) << GetLibraryError().GetString();
        readFlash = reinterpret_cast<ReadFlash>(GetProcAddress(m_module, "KVSIM_ReadFlash"));
        failNext = reinterpret_cast<FailNext>(GetProcAddress(m_module, "KVSIM_FailNext"));
        auto reset = reinterpret_cast<void (*)()>(GetProcAddress(m_module, "KVSIM_Reset"));
        ASSERT_TRUE(readFlash && failNext && reset);
        reset();
        programmer.SetReportCallback(&reports);
        programmer.SetPort("/dev/ttyS0", 115200);
        programmer.SetMessagePump([] {});
        dir.Write("kernel.txt", ImageText(BootImage(1, {{0x8000, Words(8, 1)}})));
        dir.Write("image.out", LibraryImage(sections));
    }
    void TearDown() override
    {
        programmer.UnlinkLibrary();
        FreeLibrary(m_module);
    }

    bool Flashed(const Section& s)
    {
        for (size_t i = 0; i < s.words.size(); ++i) {
            unsigned short word = 0;
            if (!readFlash(s.page, s.address + i, &word) || word != s.words[i])
                return false;
        }
        return true;
    }

    bool LinkAndLoadKernel()
    {
        return programmer.LinkLibrary(KV_FLASH_UPDATE_LIBRARY) == 1 &&
               programmer.LoadKernelThroughLibrary(dir.File("kernel.txt").c_str()) == 1;
    }

    using ReadFlash = int (*)(unsigned int, unsigned long, unsigned short*);
    using FailNext = void (*)(const char*);
    HMODULE m_module = nullptr;
    ReadFlash readFlash = nullptr;
    FailNext failNext = nullptr;
    TempDir dir;
    FastProgrammer programmer;
    ReportRecorder reports;
    const std::vector<Section> sections = {
        {".text", 0x3E8000, 0, 1, Words(300, 0x1234)},
        {".bss", 0x8000, 1, 0, Words(4, 0xDEAD)},
        {".econst", 0x3F0000, 0, 1, Words(20, 0x4321)},
        {".cinit", 0x3F4000, 0, 1, Words(9, 0x0F0F)},
    };
};

}  // namespace

TEST_F(FlashUpdateLibraryTest, ProgramsAndVerifiesEveryLoadSection)
{
    ASSERT_TRUE(LinkAndLoadKernel()) << programmer.GetLastErrorText().GetString();
    ASSERT_EQ(programmer.EraseThroughLibrary(), 1) << programmer.GetLastErrorText().GetString();
    ASSERT_EQ(programmer.ProgramThroughLibrary(dir.File("image.out").c_str(), 0), 1)
        << programmer.GetLastErrorText().GetString();
    EXPECT_TRUE(Flashed(sections[0]));
    EXPECT_FALSE(Flashed(sections[1]));  // not a load section
    EXPECT_TRUE(Flashed(sections[2]));
    EXPECT_TRUE(Flashed(sections[3]));  // the last section too
    EXPECT_EQ(programmer.ProgramThroughLibrary(dir.File("image.out").c_str(), 1), 1)
        << programmer.GetLastErrorText().GetString();

    // The library's reports come from its own thread and arrive here in order.
    const std::vector<std::string> statuses = {"Flash erased.", "Erasing Flash", "Loading Firmware",
                                               "Verifying Firmware Load"};
    std::vector<std::string> seen = reports.Of("Status");
    EXPECT_EQ(seen.size(), 4u);
    EXPECT_NE(std::find(seen.begin(), seen.end(), "Verifying Firmware Load"), seen.end());
    EXPECT_EQ(reports.Of("Action").size(), 1u);
    EXPECT_EQ(reports.Of("Debug"), std::vector<std::string>{"Kernel running."});
    EXPECT_EQ(reports.Of("Begin").front(), "Loading kernel...");
    EXPECT_TRUE(reports.Of("Error").empty());
}

TEST_F(FlashUpdateLibraryTest, FailuresSayWhatFailed)
{
    struct Case {
        const char* fault;
        const char* step;
        const char* error;
    };
    const Case cases[] = {
        {"link", "link", "Could not link to flash update DLL."},
        {"open", "kernel", "Failed to load kernal."},
        {"kernel", "kernel", "Failed to load kernal."},
        {"erase", "erase", "Could not erase flash."},
        {"program", "program", "Could not update firmware."},
        {"verify", "verify", "Could not update firmware."},
        {"", "image", "Could not open firmware file."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fault);
        reports = ReportRecorder();
        failNext(c.fault);
        const std::string step = c.step;
        int result = programmer.LinkLibrary(KV_FLASH_UPDATE_LIBRARY);
        if (result && step != "link")
            result = programmer.LoadKernelThroughLibrary(dir.File("kernel.txt").c_str());
        if (result && step != "link" && step != "kernel")
            result = programmer.EraseThroughLibrary();
        if (result && step == "image")
            result = programmer.ProgramThroughLibrary(dir.File("missing.out").c_str(), 0);
        if (result && (step == "program" || step == "verify"))
            result = programmer.ProgramThroughLibrary(dir.File("image.out").c_str(), 0);
        if (result && step == "verify")
            result = programmer.ProgramThroughLibrary(dir.File("image.out").c_str(), 1);
        EXPECT_EQ(result, 0);
        EXPECT_EQ(programmer.GetLastErrorText(), c.error);
        const std::vector<std::string> errors = reports.Of("Error");
        ASSERT_FALSE(errors.empty());
        EXPECT_EQ(errors.back(), c.error);
        failNext("");
    }
    EXPECT_EQ(programmer.LinkLibrary(dir.File("no-library.so").c_str()), 0);
    EXPECT_EQ(programmer.GetLastErrorText(),
              "Could not find the flash update library \"" + dir.File("no-library.so") + "\".");
    dir.Write("not-a-library.so", "text");
    EXPECT_EQ(programmer.LinkLibrary(dir.File("not-a-library.so").c_str()), 0);
    EXPECT_EQ(programmer.GetLastErrorText().Find("Could not load the flash update library"), 0)
        << programmer.GetLastErrorText().GetString();
}

// The parts list names the library bare; the build puts it in lib/ beside bin/,
// an install beside the program.
TEST(FlashLibraryLocationTest, ABareNameIsFoundWhereTheBuildAndTheInstallPutIt)
{
    TempDir tree;
    std::filesystem::create_directories(tree.File("bin"));
    std::filesystem::create_directories(tree.File("lib/korvane"));
    std::filesystem::copy_file(KV_FLASH_UPDATE_LIBRARY, tree.File("lib/libkvflashupdate.so"));
    std::filesystem::copy_file(KV_FLASH_UPDATE_LIBRARY, tree.File("lib/korvane/libkvflashupdate.so"));
    struct Case {
        const char* programFolder;
        const char* expected;
    };
    for (const Case& c : {Case{"bin", "lib/libkvflashupdate.so"}, Case{"lib/korvane", "lib/korvane/libkvflashupdate.so"}}) {
        SCOPED_TRACE(c.programFolder);
        const CString found = LocateFlashUpdateLibrary("libkvflashupdate.so", tree.File(c.programFolder).c_str());
        ASSERT_FALSE(found.IsEmpty());
        EXPECT_EQ(std::filesystem::canonical(found.GetString()), tree.File(c.expected));
        HMODULE module = LoadLibrary(found);
        EXPECT_NE(module, nullptr) << GetLibraryError().GetString();
        if (module)
            FreeLibrary(module);
    }
    EXPECT_TRUE(LocateFlashUpdateLibrary("libkvother.so", tree.File("bin").c_str()).IsEmpty());
}
