#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "firmware/SerialFlashProgrammerScript.h"
#include "foundation/Scramblers.h"
#include "platform/core/Archive.h"
#include "testing/TempDir.h"

namespace {

class UpdateFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::create_directory(dir.File("source"));
        std::filesystem::create_directory(dir.File("unpack"));
    }

    std::string Source(const std::string& name, const std::string& bytes)
    {
        dir.Write("source/" + name, bytes);
        return dir.File("source/" + name);
    }

    // An archive laid out by hand: the header, then one record.
    void WriteUpdateFileByHand(const std::string& name, const char* magic, const CString& storedName,
                               ULONGLONG storedLength, const std::string& bytes, int records = 1)
    {
        WriteUpdateFileByHand(name, magic, std::vector<CString>(static_cast<size_t>(records), storedName), storedLength,
                              bytes);
    }
    void WriteUpdateFileByHand(const std::string& name, const char* magic, const std::vector<CString>& storedNames,
                               ULONGLONG storedLength, const std::string& bytes)
    {
        const int records = static_cast<int>(storedNames.size());
        CFile file(dir.File(name).c_str(), CFile::modeCreate | CFile::modeWrite);
        CArchive ar(&file, CArchive::store);
        CMapStringToString constants;
        constants.SetAt("PartNum", "QX");
        ar << CString(magic) << 1;
        constants.Serialize(ar);
        ar << CString("SetCpu(1)\n") << records;
        for (const CString& storedName : storedNames) {
            ar << storedName << storedLength;
            ar.Write(bytes.data(), static_cast<UINT>(bytes.size()));
        }
        ar.Close();
        file.Close();
    }

    int UnpackCount() const
    {
        return static_cast<int>(std::distance(std::filesystem::directory_iterator(dir.File("unpack")),
                                              std::filesystem::directory_iterator()));
    }

    TempDir dir;
};

}  // namespace

TEST_F(UpdateFileTest, WrittenScrambledAndReadBack)
{
    std::string binary;
    for (int i = 0; i < 70000; ++i)
        binary += static_cast<char>(i * 31 % 256);
    CSerialFlashProgrammerScript written;
    written.SetConstant("PartNum", "QX-100");
    written.SetConstantInt("Baudrate", 115200);
    written.AddSetCpu(1);
    written.AddLoadKernel(Source("kernel.txt", "kernel bytes").c_str(), 0);
    written.AddLoadFirmware(Source("firmware.txt", binary).c_str(), 0);
    ASSERT_EQ(written.WriteUpdateFile(dir.File("plain.tmp").c_str()), 1) << written.GetErrorText().GetString();
    EXPECT_EQ(written.GetFileCount(), 2);

    const int seed = CSerialFlashProgrammerScript::kUpdateFileSeed;
    ASSERT_EQ(ScrambleFile(dir.File("plain.tmp").c_str(), dir.File("update.qfu").c_str(), seed, 1), 1);
    EXPECT_EQ(dir.Read("update.qfu").find("QVXFWUL"), std::string::npos);
    ASSERT_EQ(ScrambleFile(dir.File("update.qfu").c_str(), dir.File("read.tmp").c_str(), seed, 0), 1);

    CSerialFlashProgrammerScript read;
    read.SetScript("Stale\n");
    ASSERT_EQ(read.ReadUpdateFile(dir.File("read.tmp").c_str(), dir.File("unpack").c_str()), 1)
        << read.GetErrorText().GetString();
    EXPECT_EQ(read.GetScript(), written.GetScript());
    EXPECT_EQ(read.GetFileCount(), 2);
    EXPECT_EQ(read.GetVersion(), 1);
    EXPECT_EQ(read.GetFileFolder(), (dir.File("unpack") + "/").c_str());
    CString value;
    ASSERT_EQ(read.GetConstant("PartNum", value), 1);
    EXPECT_EQ(value, "QX-100");
    EXPECT_EQ(dir.Read("unpack/kernel.txt"), "kernel bytes");
    EXPECT_EQ(dir.Read("unpack/firmware.txt"), binary);
    EXPECT_EQ(UnpackCount(), 2);
}

TEST_F(UpdateFileTest, AnUpdateWithoutConstantsOrFilesReads)
{
    CSerialFlashProgrammerScript written;
    ASSERT_EQ(written.WriteUpdateFile(dir.File("empty.tmp").c_str()), 1);
    CSerialFlashProgrammerScript read;
    ASSERT_EQ(read.ReadUpdateFile(dir.File("empty.tmp").c_str(), dir.File("unpack").c_str()), 1);
    CString text;
    read.Describe(text);
    EXPECT_EQ(text, "Script\n------\n\nConstants\n---------\n(None)\n\n\nFiles\n-----\n(None)\n\n");
}

TEST_F(UpdateFileTest, BadUpdateFilesAreRefusedAndLeaveNothingBehind)
{
    CSerialFlashProgrammerScript good;
    good.SetConstant("PartNum", "QX-100");
    good.AddSetCpu(1);
    good.AddLoadKernel(Source("kernel.txt", std::string(5000, 'k')).c_str(), 0);
    ASSERT_EQ(good.WriteUpdateFile(dir.File("good.tmp").c_str()), 1);
    const std::string bytes = dir.Read("good.tmp");
    dir.Write("header-cut.tmp", bytes.substr(0, 20));
    dir.Write("record-cut.tmp", bytes.substr(0, bytes.size() - 100));
    dir.Write("empty.tmp", "");
    WriteUpdateFileByHand("magic.tmp", "QVXFWUM", "kernel.txt", 3, "abc");
    WriteUpdateFileByHand("too-long.tmp", "QVXFWUL", "kernel.txt", 10000001, std::string(10000001, 'x'));
    WriteUpdateFileByHand("climbing.tmp", "QVXFWUL", "../escaped.txt", 3, "abc");
    WriteUpdateFileByHand("folder.tmp", "QVXFWUL", "sub/escaped.txt", 3, "abc");
    WriteUpdateFileByHand("dots.tmp", "QVXFWUL", "..", 3, "abc");
    WriteUpdateFileByHand("length.tmp", "QVXFWUL", "kernel.txt", 1000, "abc");
    WriteUpdateFileByHand("twice.tmp", "QVXFWUL", "kernel.txt", 3, "abc", 2);
    // Two names that differ only after a NUL would be one file on disk.
    WriteUpdateFileByHand("nul.tmp", "QVXFWUL", {CString("k\0one", 5), CString("k\0two", 5)}, 3, "abc");

    struct Case {
        const char* file;
        const char* error;
    };
    const Case cases[] = {
        {"missing.tmp", "Could not open firmware update file for input."},
        {"empty.tmp", "Not a valid Quorvex firmware update file."},
        {"header-cut.tmp", "Not a valid Quorvex firmware update file."},
        {"magic.tmp", "Not a valid Quorvex firmware update file."},
        {"record-cut.tmp", "Could not build temporary files."},
        {"too-long.tmp", "Could not build temporary files."},
        {"climbing.tmp", "Could not build temporary files."},
        {"folder.tmp", "Could not build temporary files."},
        {"dots.tmp", "Could not build temporary files."},
        {"length.tmp", "Could not build temporary files."},
        {"twice.tmp", "Could not build temporary files."},
        {"nul.tmp", "Could not build temporary files."},
    };
    for (const Case& c : cases) {
        dir.Write("unpack/kernel.txt", "mine");
        CSerialFlashProgrammerScript read;
        read.SetScript("Kept\n");
        read.SetConstant("Kept", "1");
        EXPECT_EQ(read.ReadUpdateFile(dir.File(c.file).c_str(), dir.File("unpack").c_str()), 0) << c.file;
        EXPECT_EQ(read.GetErrorText(), c.error) << c.file;
        EXPECT_EQ(read.GetScript(), "Kept\n") << c.file;
        CString value;
        EXPECT_EQ(read.GetConstant("Kept", value), 1) << c.file;
        // A file already in the folder under a packed name stays as it was.
        EXPECT_EQ(UnpackCount(), 1) << c.file;
        EXPECT_EQ(dir.Read("unpack/kernel.txt"), "mine") << c.file;
    }
    EXPECT_FALSE(std::filesystem::exists(dir.File("escaped.txt")));
    EXPECT_FALSE(std::filesystem::exists(dir.File("unpack/sub")));
}

TEST_F(UpdateFileTest, AFailedWriteKeepsTheOldFile)
{
    dir.Write("update.tmp", "old");
    CSerialFlashProgrammerScript script;
    script.AddLoadKernel(Source("kernel.txt", "k").c_str(), 0);
    script.AddLoadFirmware(dir.File("source/missing.txt").c_str(), 0);
    EXPECT_EQ(script.WriteUpdateFile(dir.File("update.tmp").c_str()), 0);
    EXPECT_EQ(script.GetErrorText(), "Error loading kernel and firmware files.");
    EXPECT_EQ(dir.Read("update.tmp"), "old");

    CSerialFlashProgrammerScript sameNames;
    std::filesystem::create_directory(dir.File("source/cpu2"));
    sameNames.AddLoadKernel(Source("kernel.txt", "k1").c_str(), 0);
    sameNames.AddLoadKernel(Source("cpu2/kernel.txt", "k2").c_str(), 0);
    EXPECT_EQ(sameNames.WriteUpdateFile(dir.File("update.tmp").c_str()), 0);
    EXPECT_EQ(sameNames.GetErrorText(), "Two packed files share the name \"kernel.txt\".");
    EXPECT_EQ(dir.Read("update.tmp"), "old");

    EXPECT_EQ(script.WriteUpdateFile(dir.File("no/such/folder.qfu").c_str()), 0);
    EXPECT_EQ(script.GetErrorText(), "Could not open firmware update file for output.");
}
