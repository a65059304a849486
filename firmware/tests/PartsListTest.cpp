#include <gtest/gtest.h>

#include <sys/stat.h>

#include "firmware/MapPartNumToFirmwareProgramPartData.h"
#include "platform/core/IniFile.h"
#include "testing/TempDir.h"

namespace {

struct PartsListTest : ::testing::Test {
    PartsListTest()
    {
        home.Write("cpu1.hex", std::string(1000, 'a'));
        home.Write("cm.hex", std::string(300, 'c'));
        std::filesystem::create_directories(home.File("FactoryFlashUpdateSupportFiles"));
        home.Write("FactoryFlashUpdateSupportFiles/k1.txt", std::string(50, 'k'));
        home.Write("FactoryFlashUpdateSupportFiles/k2.txt", std::string(70, 'k'));
        home.Write("FactoryFlashUpdateSupportFiles/kcm.txt", std::string(20, 'k'));
    }
    std::string List(const std::string& parts) const
    {
        return "[General Settings]\r\nALLOW_FILE_SELECT=yes\r\n"
               "[TI/F28M36]\r\nSPECIAL_FLAGS=9\r\nDRIVER_DLL=libkvflashupdate.so\r\n"
               "KERNEL_CPU1=k1.txt\r\nKERNEL2_CPU1=k2.txt\r\nKERNEL_CM=kcm.txt\r\n" +
               parts;
    }
    CString Write(const std::string& text) const
    {
        home.Write("flash_updates.ini", text);
        return home.File("flash_updates.ini").c_str();
    }

    TempDir home;
    CMapPartNumToFirmwareProgramPartData parts;
};

}  // namespace

TEST_F(PartsListTest, ReadsProcessorsAndParts)
{
    const std::string cpu1 = home.File("cpu1.hex"), cm = home.File("cm.hex");
    ASSERT_TRUE(parts.ReadPartsList(Write(List("[41100]\r\nPROCESSOR_TYPE=F28M36\r\nCPU1= +" + cpu1 +
                                               "\r\nCPU2=\r\nCM=-" + cm + "\r\n[40500]\r\nPROCESSOR_TYPE=F28M36\r\n"))))
        << parts.m_error.GetString();
    EXPECT_EQ(parts.m_allowFileSelect, 1) << "YES in any case";
    const CFirmwareProgramProcessorData* processor = parts.m_processors.Find("F28M36");
    ASSERT_NE(processor, nullptr);
    EXPECT_EQ(processor->m_specialFlags, 9);
    EXPECT_EQ(std::string(processor->m_libraryPath), "libkvflashupdate.so");
    EXPECT_EQ(std::string(processor->GetKernel(2, kCpu1)), "k2.txt");
    EXPECT_TRUE(processor->HasFirstKernel(kCpuCm));
    EXPECT_FALSE(processor->HasFirstKernel(kCpu2));
    EXPECT_EQ(processor->m_kernels.GetCount(), 3);

    const CFirmwareProgramPartData* part = parts.FindPart("41100");
    ASSERT_NE(part, nullptr);
    EXPECT_EQ(std::string(part->m_processorName), "F28M36");
    EXPECT_TRUE(part->IsSelected(kCpu1));
    EXPECT_FALSE(part->IsSelected(kCpuCm));
    EXPECT_EQ(std::string(part->GetFirmwareFile(kCpu1)), cpu1);
    EXPECT_EQ(parts.GetSortedPartNumbers(), (std::vector<CString>{"40500", "41100"}));
    // Kernels 50 + 70 + 20, and the one selected file.
    EXPECT_EQ(parts.GetTotalFileSize(*part, home.path().c_str()), 140 + 1000);
    CFirmwareProgramPartData missing = *part;
    missing.SetFirmwareFile(kCpu1, home.File("gone.hex").c_str());
    EXPECT_EQ(parts.GetTotalFileSize(missing, home.path().c_str()), 140 - 1);
}

TEST_F(PartsListTest, ReadFaultsSayWhatIsWrong)
{
    struct Case {
        const char* what;
        std::string text;  // empty: no file at all
        const char* error;
    };
    const std::string path = home.File("flash_updates.ini");
    const Case cases[] = {
        {"no file", "", "ERROR: Could not fine ini file \"%s\"."},
        {"no sections", "just text\r\n", "ERROR: Invalid ini file \"%s\"."},
        {"bad mark", List("[41100]\r\nPROCESSOR_TYPE=F28M36\r\nCPU2=*x.hex\r\n"), "ERROR: + or - expected in [41100] CPU2."},
    };
    for (const Case& c : cases) {
        std::filesystem::remove(path);
        if (!c.text.empty())
            home.Write("flash_updates.ini", c.text);
        EXPECT_FALSE(parts.ReadPartsList(path.c_str())) << c.what;
        CString expected;
        expected.Format(c.error, path.c_str());
        EXPECT_EQ(std::string(parts.m_error), std::string(expected)) << c.what;
    }
}

TEST_F(PartsListTest, AMissingFirmwareFileIsShownAsSuchButSavedAsRead)
{
    const CString path = Write(List("[41100]\r\nPROCESSOR_TYPE=F28M36\r\nCPU1=+/factory/share/old.hex\r\n"));
    ASSERT_TRUE(parts.ReadPartsList(path));
    EXPECT_EQ(std::string(parts.FindPart("41100")->GetFirmwareFile(kCpu1)), "<please select file>");
    ASSERT_TRUE(parts.WritePartsList(path)) << parts.m_error.GetString();
    char value[300] = {};
    GetPrivateProfileString("41100", "CPU1", "", value, sizeof value, path);
    EXPECT_STREQ(value, "+/factory/share/old.hex");
}

TEST_F(PartsListTest, SavingWritesThePartsInOneUpdate)
{
    const std::string cm = home.File("cm.hex");
    const CString path = Write(List("[41100]\r\nPROCESSOR_TYPE=F28M36\r\nCPU1=+" + home.File("cpu1.hex") + "\r\n"));
    ASSERT_TRUE(parts.ReadPartsList(path));
    CFirmwareProgramPartData* added = parts.GetOrCreatePart("42000");
    added->m_processorName = "F28M36";
    added->SetSelected(kCpuCm, true);
    added->SetFirmwareFile(kCpuCm, cm.c_str());
    added->SetFirmwareFile(kCpu2, "/nowhere.hex");  // CPU2 has no kernel: not written
    ASSERT_TRUE(parts.WritePartsList(path)) << parts.m_error.GetString();
    char value[300] = {};
    GetPrivateProfileString("42000", "CM", "", value, sizeof value, path);
    EXPECT_EQ(std::string(value), "+" + cm);
    GetPrivateProfileString("42000", "CPU2", "<none>", value, sizeof value, path);
    EXPECT_STREQ(value, "<none>");
    GetPrivateProfileString("TI/F28M36", "SPECIAL_FLAGS", "", value, sizeof value, path);
    EXPECT_STREQ(value, "9") << "processor sections are kept as they were";

    // A part with an unknown processor fails the save and leaves the file as it was.
    const std::string before = home.Read("flash_updates.ini");
    parts.GetOrCreatePart("43000")->m_processorName = "NOPE";
    EXPECT_FALSE(parts.WritePartsList(path));
    EXPECT_EQ(std::string(parts.m_error), "Part=43000, has undefined processor: \"NOPE\".");
    EXPECT_EQ(home.Read("flash_updates.ini"), before);
    EXPECT_FALSE(std::filesystem::exists(std::string(path) + ".saving"));

    std::filesystem::remove(std::string(path));
    EXPECT_FALSE(parts.WritePartsList(path));
    EXPECT_NE(std::string(parts.m_error).find("ERROR: Could not find ini file"), std::string::npos);
}
