#include <gtest/gtest.h>

#include <cstring>
#include <ctime>
#include <stdexcept>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include "platform/core/Archive.h"
#include "platform/core/StdioFile.h"
#include "testing/TempDir.h"

TEST(FileTest, TextModeWritesCrLfAndReadsEitherLineEnd)
{
    TempDir dir;
    {
        CStdioFile out(dir.File("t.txt").c_str(), CFile::modeCreate | CFile::modeWrite);
        out.WriteString("first\nsecond\n");
        out.Close();
    }
    EXPECT_EQ(dir.Read("t.txt"), "first\r\nsecond\r\n");

    dir.Write("mixed.txt", "a\r\nb\nc");
    CStdioFile in(dir.File("mixed.txt").c_str(), CFile::modeRead);
    CString line;
    ASSERT_TRUE(in.ReadString(line));
    EXPECT_EQ(line, "a");
    ASSERT_TRUE(in.ReadString(line));
    EXPECT_EQ(line, "b");
    ASSERT_TRUE(in.ReadString(line));
    EXPECT_EQ(line, "c");
    EXPECT_FALSE(in.ReadString(line));
}

TEST(FileTest, ReplacementIsAtomicAndLeavesNoTemporaryFile)
{
    TempDir dir;
    dir.Write("data.bin", "old contents");
    {
        CFile file(dir.File("data.bin").c_str(), CFile::modeCreate | CFile::modeWrite);
        file.Write("new", 3);
        // Until Close the old file is still in place.
        EXPECT_EQ(dir.Read("data.bin"), "old contents");
        file.Close();
    }
    EXPECT_EQ(dir.Read("data.bin"), "new");
    EXPECT_EQ(dir.CountEntries(), 1);
}

TEST(FileTest, WriteInterruptedByAnExceptionKeepsTheOldFile)
{
    TempDir dir;
    dir.Write("data.bin", "old contents");
    try {
        CFile file(dir.File("data.bin").c_str(), CFile::modeCreate | CFile::modeWrite);
        file.Write("partial", 7);
        throw std::runtime_error("failure mid-write");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(dir.Read("data.bin"), "old contents");
    EXPECT_EQ(dir.CountEntries(), 1);
}

TEST(FileTest, OpenFailuresReportTheCause)
{
    TempDir dir;
    CFile file;
    CFileException error;
    EXPECT_FALSE(file.Open(dir.File("missing.txt").c_str(), CFile::modeRead, &error));
    EXPECT_EQ(error.m_cause, CFileException::fileNotFound);
    EXPECT_FALSE(file.Open(dir.File("no/such/dir/x.txt").c_str(), CFile::modeCreate | CFile::modeWrite, &error));
    EXPECT_THROW(CFile(dir.File("missing.txt").c_str(), CFile::modeRead), CFileException);
}

TEST(FileTest, FullDiskFailsTheCloseAndKeepsNothingHalfWritten)
{
    CFile file;
    // /dev/full accepts the open of its folder's temporary file only where /dev is writable;
    // writing into it directly shows the error path.
    ASSERT_TRUE(file.Open("/dev/full", CFile::modeWrite));
    file.Write("x", 1);
    EXPECT_THROW(file.Close(), CFileException);
    EXPECT_FALSE(file.IsOpen());
}

namespace {

void Save(const std::string& path, const char* text, UINT extra = 0)
{
    CFile file(path.c_str(), CFile::modeCreate | CFile::modeWrite | extra);
    file.Write(text, static_cast<UINT>(std::strlen(text)));
    file.Close();
}

mode_t ModeOf(const std::string& path)
{
    struct stat st {};
    EXPECT_EQ(lstat(path.c_str(), &st), 0) << path;
    return st.st_mode;
}

}  // namespace

TEST(FileTest, ReplacementKeepsTheModeAndFollowsLinks)
{
    TempDir dir;
    dir.Write("secret.ini", "old");
    chmod(dir.File("secret.ini").c_str(), 0600);
    Save(dir.File("secret.ini"), "new");
    EXPECT_EQ(ModeOf(dir.File("secret.ini")) & 07777, 0600u);
    EXPECT_EQ(dir.Read("secret.ini"), "new");

    // Saving through a link writes the file it names and leaves the link a link.
    ASSERT_EQ(mkdir(dir.File("real").c_str(), 0700), 0);
    dir.Write("real/data.txt", "old");
    ASSERT_EQ(symlink("real/data.txt", dir.File("link.txt").c_str()), 0);
    Save(dir.File("link.txt"), "through the link");
    EXPECT_TRUE(S_ISLNK(ModeOf(dir.File("link.txt"))));
    EXPECT_EQ(dir.Read("real/data.txt"), "through the link");
    EXPECT_EQ(dir.CountEntries(), 3);

    // A file that holds credentials is made readable by its user alone, new or not.
    Save(dir.File("login.ini"), "user", CFile::modeOwnerOnly);
    EXPECT_EQ(ModeOf(dir.File("login.ini")) & 07777, 0600u);
    chmod(dir.File("secret.ini").c_str(), 0644);
    Save(dir.File("secret.ini"), "user", CFile::modeOwnerOnly);
    EXPECT_EQ(ModeOf(dir.File("secret.ini")) & 07777, 0600u);
}

TEST(FileTest, ALongNameCanBeSaved)
{
    TempDir dir;
    const std::string name = std::string(246, 'n') + ".txt";  // 250 characters, near the file system's limit
    Save(dir.File(name), "first");
    Save(dir.File(name), "second");
    EXPECT_EQ(dir.Read(name), "second");
    EXPECT_EQ(dir.CountEntries(), 1);
    // Two long names that differ only at the end get temporaries of their own.
    EXPECT_NE(CFileReplacement::TempPrefix(CString((std::string(250, 'a') + "1").c_str())),
              CFileReplacement::TempPrefix(CString((std::string(250, 'a') + "2").c_str())));
}

TEST(FileTest, ASaveRemovesTheTemporariesOfAWriterThatDiedButNotOfOneAtWork)
{
    TempDir dir;
    dir.Write("data.bin", "old");
    const std::string prefix = CFileReplacement::TempPrefix(dir.File("data.bin").c_str()).GetString();
    dir.Write(prefix + "Dead01", "left by a killed writer");
    const timeval past[2] = {{std::time(nullptr) - 60, 0}, {std::time(nullptr) - 60, 0}};
    ASSERT_EQ(utimes(dir.File(prefix + "Dead01").c_str(), past), 0);
    dir.Write(prefix + "New002", "just made by a writer that has yet to lock it");
    dir.Write("other.bin.kvtmpDead02", "another target's");
    dir.Write(prefix + "toolong", "not one of ours");

    CFile working(dir.File("data.bin").c_str(), CFile::modeCreate | CFile::modeWrite);
    working.Write("later", 5);
    Save(dir.File("data.bin"), "saved");
    EXPECT_EQ(dir.Read("data.bin"), "saved");
    EXPECT_FALSE(CFile::Exists(dir.File(prefix + "Dead01").c_str()));
    EXPECT_TRUE(CFile::Exists(dir.File("other.bin.kvtmpDead02").c_str()));
    EXPECT_TRUE(CFile::Exists(dir.File(prefix + "toolong").c_str()));
    EXPECT_TRUE(CFile::Exists(dir.File(prefix + "New002").c_str()));
    // The writer still at work kept its temporary and still replaces the file.
    working.Close();
    EXPECT_EQ(dir.Read("data.bin"), "later");
    EXPECT_EQ(dir.CountEntries(), 4);
}

TEST(FileTest, ArchiveRoundTripsIntegersAndCountedStrings)
{
    TempDir dir;
    const std::string medium(300, 'm');
    const std::string large(70000, 'L');
    {
        CFile file(dir.File("a.bin").c_str(), CFile::modeCreate | CFile::modeWrite);
        CArchive ar(&file, CArchive::store);
        ar << static_cast<BYTE>(0xAB) << static_cast<WORD>(0x1234) << static_cast<DWORD>(0xDEADBEEF) << -5 << 2.5
           << true << CString("hi") << CString(medium) << CString(large) << CString();
        ar.Close();
        file.Close();
    }
    const std::string bytes = dir.Read("a.bin");
    // Layout: little-endian integers; text lengths 1 byte, then 0xFF + word, then 0xFF 0xFFFF + dword.
    EXPECT_EQ(static_cast<unsigned char>(bytes[0]), 0xAB);
    EXPECT_EQ(bytes.substr(1, 2), std::string("\x34\x12", 2));
    EXPECT_EQ(bytes.substr(3, 4), std::string("\xEF\xBE\xAD\xDE", 4));
    const size_t hi = 1 + 2 + 4 + 4 + 8 + 1;
    EXPECT_EQ(bytes.substr(hi, 3), std::string("\x02hi", 3));
    EXPECT_EQ(bytes.substr(hi + 3, 3), std::string("\xFF\x2C\x01", 3));
    EXPECT_EQ(bytes.substr(hi + 6 + 300, 7), std::string("\xFF\xFF\xFF\x70\x11\x01\x00", 7));

    CFile file(dir.File("a.bin").c_str(), CFile::modeRead);
    CArchive ar(&file, CArchive::load);
    BYTE b;
    WORD w;
    DWORD d;
    int i;
    double f;
    bool flag;
    CString s1, s2, s3, s4;
    ar >> b >> w >> d >> i >> f >> flag >> s1 >> s2 >> s3 >> s4;
    EXPECT_EQ(b, 0xAB);
    EXPECT_EQ(w, 0x1234);
    EXPECT_EQ(d, 0xDEADBEEFu);
    EXPECT_EQ(i, -5);
    EXPECT_EQ(f, 2.5);
    EXPECT_TRUE(flag);
    EXPECT_EQ(s1, "hi");
    EXPECT_EQ(s2.str(), medium);
    EXPECT_EQ(s3.str(), large);
    EXPECT_TRUE(s4.IsEmpty());
    EXPECT_THROW(ar >> b, CArchiveException);
}

TEST(FileTest, ArchiveRejectsATruncatedText)
{
    TempDir dir;
    dir.Write("bad.bin", std::string("\xFF\xFF\xFF\xFF\xFF\xFF\x7F", 7) + "abc");
    CFile file(dir.File("bad.bin").c_str(), CFile::modeRead);
    CArchive ar(&file, CArchive::load);
    CString s;
    EXPECT_THROW(ar >> s, CArchiveException);
}
