#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "foundation/SystemHelpers.h"
#include "testing/TempDir.h"
#include "testing/WaitFor.h"

namespace {

// Puts a fake program first on the PATH for the life of the object.
class FakeProgram {
public:
    FakeProgram(const TempDir& dir, const std::string& name, const std::string& script)
    {
        std::filesystem::create_directories(dir.File("bin"));
        dir.Write("bin/" + name, "#!/bin/sh\n" + script);
        std::filesystem::permissions(dir.File("bin/" + name), std::filesystem::perms::owner_all);
        m_oldPath = std::getenv("PATH");
        setenv("PATH", (dir.File("bin") + ":" + m_oldPath).c_str(), 1);
    }
    ~FakeProgram() { setenv("PATH", m_oldPath.c_str(), 1); }

private:
    std::string m_oldPath;
};

}  // namespace

TEST(SystemHelpersTest, RunProcessCapturesOutputAndExitCode)
{
    TempDir dir;
    CString documents;
    ASSERT_EQ(GetDocumentsFolder(documents), 1);
    // A longer capture left behind by an earlier run must not trail this output.
    std::ofstream(std::string(documents) + "/__DExecShellTemp.txt") << "stale output, longer than the new one\n";

    CString output = ">";
    int exitCode = -1;
    ASSERT_EQ(RunProcessCaptured("echo out; echo err >&2; exit 3", output, exitCode), 1);
    EXPECT_EQ(output, ">out\nerr\n");
    EXPECT_EQ(exitCode, 3);
    EXPECT_FALSE(std::filesystem::exists(std::string(documents) + "/__DExecShellTemp.txt"));
}

TEST(SystemHelpersTest, PingJudgesExitCodeAndOutput)
{
    TempDir dir;
    struct Case {
        const char* script;
        int result;
    };
    const Case cases[] = {
        {"echo \"64 bytes from $5\"; exit 0\n", 1},
        {"echo 'Request timed out.'; exit 0\n", 0},
        {"echo 'Destination Host unreachable'; exit 0\n", 0},
        {"exit 1\n", 0},
    };
    for (const Case& c : cases) {
        FakeProgram ping(dir, "ping", c.script);
        EXPECT_EQ(PingHost("192.0.2.1"), c.result) << c.script;
    }
    // The host is one argument, never shell text.
    FakeProgram ping(dir, "ping", "echo \"$#:$5\" > \"$(dirname \"$0\")/args\"\n");
    EXPECT_EQ(PingHost("x; touch hacked"), 1);
    EXPECT_EQ(dir.Read("bin/args"), "5:x; touch hacked\n");
    EXPECT_FALSE(std::filesystem::exists(dir.File("hacked")));
}

TEST(SystemHelpersTest, NotepadOpensTheFileInTheUsersEditor)
{
    TempDir dir;
    const std::string marker = dir.File("opened");
    const std::string editor = "sh -c 'echo \"$0\" > " + marker + "'";
    const char* oldVisual = std::getenv("VISUAL");
    const std::string savedVisual = oldVisual ? oldVisual : "";
    setenv("VISUAL", editor.c_str(), 1);
    EXPECT_EQ(OpenInNotepad(dir.File("my file's.txt").c_str()), 1);
    if (oldVisual)
        setenv("VISUAL", savedVisual.c_str(), 1);
    else
        unsetenv("VISUAL");
    ASSERT_TRUE(WaitFor([&] { return dir.Read("opened").size() > 0; }));
    EXPECT_EQ(dir.Read("opened"), dir.File("my file's.txt") + "\n");
}
