#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "foundation/FileHelpers.h"
#include "testing/TempDir.h"

TEST(FileHelpersTest, PathParts)
{
    struct Case {
        const char* path;
        const char* name;
        const char* title;
        const char* folder;
        const char* extension;
    };
    const Case cases[] = {
        {"/a/b/motor.v2.txt", "motor.v2.txt", "motor.v2", "/a/b/", ".txt"},
        {"C:\\data\\AbsEncDB.txt", "AbsEncDB.txt", "AbsEncDB", "C:\\data\\", ".txt"},
        {"plain", "plain", "plain", "", ""},
        {"dir.d/file", "file", "file", "dir.d/", ""},
        {"", "", "", "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(GetFileNameFromPath(c.path, TRUE), c.name) << c.path;
        EXPECT_EQ(GetFileNameFromPath(c.path, FALSE), c.title) << c.path;
        EXPECT_EQ(GetFolderFromPath(c.path), c.folder) << c.path;
        EXPECT_EQ(GetFileExtension(c.path), c.extension) << c.path;
    }
}

TEST(FileHelpersTest, TextFilesSizesAndStatus)
{
    TempDir dir;
    const std::string path = dir.File("t.txt");
    ASSERT_EQ(WriteTextFile(path.c_str(), "one\ntwo\n"), 1);
    EXPECT_EQ(dir.Read("t.txt"), "one\r\ntwo\r\n");
    CString text = ">";
    ASSERT_EQ(ReadTextFile(path.c_str(), text), 1);
    EXPECT_EQ(text, ">one\ntwo\n");
    EXPECT_EQ(ReadTextFile(dir.File("none").c_str(), text), 0);
    EXPECT_EQ(WriteTextFile(dir.File("no/such/folder.txt").c_str(), "x"), 0);

    EXPECT_EQ(FileExists(path.c_str()), 1);
    EXPECT_EQ(FileExists(dir.File("none").c_str()), 0);
    EXPECT_EQ(GetFileSizeByName(path.c_str()), 10);
    EXPECT_EQ(GetFileSizeByName(dir.File("none").c_str()), -1);
    CFileStatus status;
    ASSERT_EQ(GetFileStatus(path.c_str(), status), 1);
    EXPECT_EQ(status.m_size, 10u);
    EXPECT_EQ(GetFileStatus(dir.File("none").c_str(), status), 0);

    FILE* stream = std::fopen(path.c_str(), "rb");
    std::fseek(stream, 3, SEEK_SET);
    EXPECT_EQ(GetStreamSize(stream), 10);
    EXPECT_EQ(std::ftell(stream), 3);
    std::fclose(stream);
}

TEST(FileHelpersTest, DeleteFolderTreeRemovesEverythingButFollowsNoLink)
{
    TempDir dir;
    namespace fs = std::filesystem;
    fs::create_directories(dir.File("tree/sub/deeper"));
    dir.Write("tree/a.txt", "a");
    dir.Write("tree/sub/deeper/b.txt", "b");
    fs::create_directory(dir.File("kept"));
    dir.Write("kept/c.txt", "c");
    fs::create_directory_symlink(dir.File("kept"), dir.File("tree/link"));
    DeleteFolderTree(dir.File("tree").c_str());
    EXPECT_FALSE(fs::exists(dir.File("tree")));
    EXPECT_TRUE(fs::exists(dir.File("kept/c.txt")));
}

namespace {

void StoreFiles(const TempDir& dir, const std::string& archive, const std::string& source)
{
    CFile file(dir.File(archive).c_str(), CFile::modeCreate | CFile::modeWrite);
    CArchive ar(&file, CArchive::store);
    ASSERT_EQ(SerializeFileInArchive(ar, dir.File(source).c_str(), FALSE, nullptr, 0), 1);
    ar << CString("after");
    ar.Close();
    file.Close();
}

}  // namespace

TEST(FileHelpersTest, FilesTravelInsideArchives)
{
    TempDir dir;
    std::string content(2500000, 'x');
    content[1234567] = 'y';
    dir.Write("big.bin", content);
    StoreFiles(dir, "a.arc", "big.bin");
    const std::string bytes = dir.Read("a.arc");
    EXPECT_EQ(bytes.substr(0, 8), std::string("\x07" "big.bin"));
    EXPECT_EQ(bytes.substr(8, 8), std::string("\xA0\x25\x26\x00\x00\x00\x00\x00", 8));

    std::filesystem::create_directory(dir.File("out"));
    CFile file(dir.File("a.arc").c_str(), CFile::modeRead);
    CArchive ar(&file, CArchive::load);
    CString written;
    ASSERT_EQ(SerializeFileInArchive(ar, dir.File("out").c_str(), TRUE, &written, 3000000), 1);
    EXPECT_EQ(written, dir.File("out/big.bin").c_str());
    EXPECT_EQ(dir.Read("out/big.bin"), content);
    CString after;
    ar >> after;
    EXPECT_EQ(after, "after");
}

TEST(FileHelpersTest, ArchivedFileAboveTheLimitIsSkipped)
{
    TempDir dir;
    dir.Write("f.bin", "12345");
    StoreFiles(dir, "a.arc", "f.bin");
    CFile file(dir.File("a.arc").c_str(), CFile::modeRead);
    CArchive ar(&file, CArchive::load);
    EXPECT_EQ(SerializeFileInArchive(ar, dir.File("g.bin").c_str(), FALSE, nullptr, 4), 0);
    EXPECT_FALSE(std::filesystem::exists(dir.File("g.bin")));
    CString after;
    ar >> after;
    EXPECT_EQ(after, "after");
}

TEST(FileHelpersTest, BadArchivedFilesWriteNothingOutsideTheFolder)
{
    TempDir dir;
    std::filesystem::create_directory(dir.File("out"));
    struct Case {
        std::string bytes;
        bool throws;
    };
    const Case cases[] = {
        {std::string("\x02..", 3) + std::string("\x01\0\0\0\0\0\0\0", 8) + "z", true},
        {std::string("\x05" "f.bin", 6) + std::string("\x09\0\0\0\0\0\0\0", 8) + "short", true},
        {std::string("\x08../x.bin", 9) + std::string("\x01\0\0\0\0\0\0\0", 8) + "z", false},
    };
    for (const Case& c : cases) {
        dir.Write("bad.arc", c.bytes);
        CFile file(dir.File("bad.arc").c_str(), CFile::modeRead);
        CArchive ar(&file, CArchive::load);
        if (c.throws) {
            EXPECT_THROW(SerializeFileInArchive(ar, dir.File("out").c_str(), TRUE, nullptr, 100), CArchiveException);
        } else {
            EXPECT_EQ(SerializeFileInArchive(ar, dir.File("out").c_str(), TRUE, nullptr, 100), 1);
        }
    }
    EXPECT_FALSE(std::filesystem::exists(dir.File("x.bin")));
    EXPECT_TRUE(std::filesystem::exists(dir.File("out/x.bin")));
    EXPECT_FALSE(std::filesystem::exists(dir.File("out/f.bin")));
}
