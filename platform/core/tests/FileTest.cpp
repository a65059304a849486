#include <gtest/gtest.h>

#include <stdexcept>

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
