#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/core/IniFile.h"
#include "platform/core/Profile.h"
#include "testing/TempDir.h"

namespace {
CString Get(const char* section, const char* key, const char* def, const std::string& file)
{
    char buf[256];
    GetPrivateProfileString(section, key, def, buf, sizeof buf, file.c_str());
    return CString(buf);
}
// Runs write as a user who may write but not read path (root reads any file,
// so under root the write runs in a child that takes another user's id).
bool WriteWithoutReadRights(const std::string& path, const std::function<BOOL()>& write)
{
    chmod(path.c_str(), 0200);
    if (geteuid() != 0)
        return write() != FALSE;
    const uid_t nobody = 65534;
    if (chown(path.c_str(), nobody, nobody) != 0)
        return true;
    const pid_t child = fork();
    if (child == 0)
        _exit(setegid(nobody) == 0 && seteuid(nobody) == 0 && write() == FALSE ? 0 : 1);
    int status = 0;
    waitpid(child, &status, 0);
    return !(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}
}  // namespace

TEST(IniFileTest, ReadsWithWindowsRules)
{
    TempDir dir;
    dir.Write("s.ini", "; comment\r\n[Link Type]\r\n  Port = /dev/ttyS0  \r\nQuoted=\"  spaced  \"\r\n"
                       "Count=42\nNeg=-7\nHex=0x1F\n[Other]\nPort=x\n");
    const std::string f = dir.File("s.ini");
    EXPECT_EQ(Get("LINK TYPE", "port", "", f), "/dev/ttyS0");
    EXPECT_EQ(Get("Link Type", "Quoted", "", f), "  spaced  ");
    EXPECT_EQ(Get("Link Type", "Missing", "fallback  ", f), "fallback");
    EXPECT_EQ(Get("No Section", "Port", "d", f), "d");
    EXPECT_EQ(GetPrivateProfileInt("link type", "COUNT", 0, f.c_str()), 42u);
    EXPECT_EQ(static_cast<int>(GetPrivateProfileInt("link type", "Neg", 0, f.c_str())), -7);
    EXPECT_EQ(GetPrivateProfileInt("link type", "Hex", 0, f.c_str()), 31u);
    EXPECT_EQ(GetPrivateProfileInt("link type", "Missing", 9, f.c_str()), 9u);
    EXPECT_EQ(GetPrivateProfileInt("x", "y", 5, dir.File("absent.ini").c_str()), 5u);

    char list[64];
    const DWORD n = GetPrivateProfileString("Link Type", nullptr, "", list, sizeof list, f.c_str());
    EXPECT_EQ(std::string(list, n), std::string("Port\0Quoted\0Count\0Neg\0Hex\0", 26));
}

namespace {
// Dates the file an hour back, as a settings file that has not changed for a while.
void Age(const std::string& path)
{
    timeval times[2]{};
    gettimeofday(&times[0], nullptr);
    times[0].tv_sec -= 3600;
    times[1] = times[0];
    utimes(path.c_str(), times);
}
}  // namespace

// Reads of a file that has not changed may be served from memory, but every
// change of the file shows: ours, another writer's in place with the same
// size and the old date set back, a file replaced, a file removed.
TEST(IniFileTest, RepeatedReadsSeeEveryChangeOfTheFile)
{
    TempDir dir;
    dir.Write("f.ini", "[MODEL DISPLAY]\nDebug=TRUE\n");
    const std::string f = dir.File("f.ini");
    Age(f);
    EXPECT_EQ(Get("MODEL DISPLAY", "Debug", "", f), "TRUE");
    EXPECT_EQ(Get("MODEL DISPLAY", "Debug", "", f), "TRUE");

    WritePrivateProfileString("MODEL DISPLAY", "Debug", "true", f.c_str());
    Age(f);
    EXPECT_EQ(Get("MODEL DISPLAY", "Debug", "", f), "true");

    {
        std::FILE* out = std::fopen(f.c_str(), "r+");
        ASSERT_NE(out, nullptr);
        std::fseek(out, 0, SEEK_END);
        const long size = std::ftell(out);
        std::fseek(out, size - 6, SEEK_SET);
        std::fputs("TRUE\r\n", out);  // "true\r\n" becomes "TRUE\r\n": same size
        std::fclose(out);
    }
    Age(f);
    EXPECT_EQ(Get("MODEL DISPLAY", "Debug", "", f), "TRUE");

    dir.Write("f.ini", "[MODEL DISPLAY]\nDebug=FALSE\n");
    Age(f);
    EXPECT_EQ(Get("MODEL DISPLAY", "Debug", "", f), "FALSE");
    std::remove(f.c_str());
    EXPECT_EQ(Get("MODEL DISPLAY", "Debug", "gone", f), "gone");
}

TEST(IniFileTest, WritesPreserveOtherLinesAndUseCrLf)
{
    TempDir dir;
    dir.Write("s.ini", "; keep me\n[A]\nx=1\n\n[B]\ny=2\n");
    const std::string f = dir.File("s.ini");
    ASSERT_TRUE(WritePrivateProfileString("a", "X", "10", f.c_str()));
    ASSERT_TRUE(WritePrivateProfileString("A", "z", "3", f.c_str()));
    ASSERT_TRUE(WritePrivateProfileString("C", "w", "4", f.c_str()));
    ASSERT_TRUE(WritePrivateProfileString("B", "y", nullptr, f.c_str()));
    EXPECT_EQ(dir.Read("s.ini"), "; keep me\r\n[A]\r\nX=10\r\nz=3\r\n\r\n[B]\r\n\r\n[C]\r\nw=4\r\n");
    ASSERT_TRUE(WritePrivateProfileString("B", nullptr, nullptr, f.c_str()));
    EXPECT_EQ(Get("C", "w", "", f), "4");
    EXPECT_EQ(dir.Read("s.ini").find("[B]"), std::string::npos);
    EXPECT_EQ(dir.CountEntries(), 1);
}

TEST(IniFileTest, TruncatesToTheCallersBuffer)
{
    TempDir dir;
    dir.Write("s.ini", "[A]\nk=abcdefgh\n");
    char small[4];
    EXPECT_EQ(GetPrivateProfileString("A", "k", "", small, sizeof small, dir.File("s.ini").c_str()), 3u);
    EXPECT_STREQ(small, "abc");
}

TEST(IniFileTest, ProfileLivesInTheConfigFolder)
{
    TempDir dir;
    AfxSetRegistryKey("Quorvex Korvane");
    EXPECT_EQ(AfxGetProfileInt("GENERAL", "DFLTDRV", 3), 3u);
    ASSERT_TRUE(AfxWriteProfileInt("GENERAL", "DFLTDRV", 2));
    ASSERT_TRUE(AfxWriteProfileString("GENERAL", "Name", "Axis X"));
    EXPECT_EQ(AfxGetProfileInt("general", "dfltdrv", 3), 2u);
    EXPECT_EQ(AfxGetProfileString("GENERAL", "Name"), "Axis X");
    EXPECT_EQ(AfxGetProfilePath(), CString(dir.path().c_str()) + "/config/profile.ini");
    const BYTE blob[] = {0x00, 0x7F, 0xFF};
    ASSERT_TRUE(AfxWriteProfileBinary("WINDOWPOS", "Main", blob, 3));
    BYTE* back = nullptr;
    UINT size = 0;
    ASSERT_TRUE(AfxGetProfileBinary("WINDOWPOS", "Main", &back, &size));
    ASSERT_EQ(size, 3u);
    EXPECT_EQ(std::memcmp(back, blob, 3), 0);
    delete[] back;
}

TEST(IniFileTest, AFileThatCannotBeReadIsNotWritten)
{
    const char* const text = "[A]\r\nx=1\r\n[B]\r\ny=2\r\n";
    const struct {
        const char* name;
        std::function<BOOL(const char*)> write;
    } cases[] = {
        {"a key", [](const char* f) { return WritePrivateProfileString("C", "z", "3", f); }},
        {"a key deleted", [](const char* f) { return WritePrivateProfileString("A", "x", nullptr, f); }},
        {"a section deleted", [](const char* f) { return WritePrivateProfileString("A", nullptr, nullptr, f); }},
        {"a section", [](const char* f) { return WritePrivateProfileSection("C", "z=3\0", f); }},
    };
    for (const auto& c : cases) {
        TempDir dir;
        chmod(dir.path().c_str(), 0777);
        dir.Write("s.ini", text);
        const std::string f = dir.File("s.ini");
        EXPECT_FALSE(WriteWithoutReadRights(f, [&] { return c.write(f.c_str()); })) << c.name;
        EXPECT_EQ(dir.Read("s.ini"), text) << c.name;
    }
}
