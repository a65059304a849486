#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "pragmix/Pragmix.h"
#include "testing/TempDir.h"

namespace {

// A source of lines and a record of everything the preprocessor tells it.
class Recorder : public CMacroDefsCallBack {
public:
    explicit Recorder(std::vector<std::string> lines = {}, std::string includeDir = "")
        : m_lines(std::move(lines)), m_includeDir(std::move(includeDir))
    {
    }

    int WriteString(CString text) override
    {
        output += text.GetString();
        return 1;
    }
    int ReadLine(CString& text) override
    {
        if (m_next >= m_lines.size())
            return 0;
        text = m_lines[m_next++].c_str();
        return 1;
    }
    int Include(CString& fileName) override
    {
        includes.push_back(fileName.GetString());
        if (!m_includeDir.empty())
            fileName = (m_includeDir + "/" + fileName.GetString()).c_str();
        return includeAnswer;
    }
    int Pragma(CString text) override
    {
        pragmas.push_back(text.GetString());
        return pragmaAnswer;
    }
    void ReportMessage(CString text) override { messages.push_back(text.GetString()); }
    void ReportError(CString text) override { errors.push_back(text.GetString()); }
    void ReportError(CString text, int line) override
    {
        errors.push_back(std::string(text) + " @" + std::to_string(line));
    }
    int OpenSource() override
    {
        ++opened;
        return 1;
    }
    void CloseSource() override { ++closed; }
    int Status(CString sourceName, int line, float percent) override
    {
        statusSources.push_back(sourceName.GetString());
        lastPercent = percent;
        return line < abortAtLine ? 1 : 0;
    }

    std::string output;
    std::vector<std::string> includes, pragmas, messages, errors, statusSources;
    int includeAnswer = includeHandled;
    int pragmaAnswer = 1;
    int abortAtLine = 1 << 30;
    int opened = 0;
    int closed = 0;
    float lastPercent = -1;

private:
    std::vector<std::string> m_lines;
    std::string m_includeDir;
    size_t m_next = 0;
};

}  // namespace

TEST(MacroDefsSourceTest, ProcessRunsASourceThroughTheCallback)
{
    Recorder source({"#define GREETING hello\n", "GREETING world\n", "#pragma  setup \n", "#msg \"note\" one\n",
                     "#error \"bad\" thing\n", "; comment\n", "#include \"x.inc\"\n", "last\n"});
    CMacroDefs macros;
    EXPECT_EQ(macros.Process(&source, 1), 1);
    EXPECT_EQ(source.output, "hello world\nlast\n");
    EXPECT_EQ(source.pragmas, std::vector<std::string>{"setup"});
    EXPECT_EQ(source.messages, std::vector<std::string>{"note one"});
    EXPECT_EQ(source.errors, std::vector<std::string>{"bad thing"});
    EXPECT_EQ(source.includes, std::vector<std::string>{"x.inc"});
    EXPECT_EQ(source.opened, 1);
    EXPECT_EQ(source.closed, 1);
    EXPECT_EQ(source.statusSources.size(), 9u);
}

TEST(MacroDefsSourceTest, FailuresStopTheRunWithTheirLine)
{
    {
        Recorder source({"ok\n", "#define A 1\n", "#define A 2\n", "never\n"});
        CMacroDefs macros;
        EXPECT_EQ(macros.Process(&source, 1), 0);
        EXPECT_EQ(source.output, "ok\n");
        EXPECT_EQ(source.errors, std::vector<std::string>{"Re-definition different from previous definition @3"});
        EXPECT_EQ(source.closed, 1);
    }
    {
        Recorder source({"a\n", "b\n"});
        source.abortAtLine = 2;
        CMacroDefs macros;
        EXPECT_EQ(macros.Process(&source, 1), 0);
        EXPECT_EQ(source.output, "a\n");
        EXPECT_EQ(source.messages, std::vector<std::string>{"Load aborted."});
    }
    {
        Recorder source({"#pragma stop\n", "never\n"});
        source.pragmaAnswer = 0;
        CMacroDefs macros;
        EXPECT_EQ(macros.Process(&source, 1), 0);
        EXPECT_EQ(source.output, "");
    }
    {
        Recorder source({"#include \"x\"\n", "never\n"});
        source.includeAnswer = CMacroDefsCallBack::includeStop;
        CMacroDefs macros;
        EXPECT_EQ(macros.Process(&source, 1), 0);
        EXPECT_EQ(source.output, "");
    }
}

TEST(MacroDefsSourceTest, AnOpenBlockOrDefinitionAtTheEndIsAFailure)
{
    for (const char* last : {"#if 1\n", "#ifdef X\n", "#define LONG \\\n"}) {
        Recorder source({"text\n", last});
        CMacroDefs macros;
        EXPECT_EQ(macros.Process(&source, 1), 0) << last;
        EXPECT_EQ(source.errors, std::vector<std::string>{"Unexpected end of source @3"}) << last;
    }
}

TEST(MacroDefsSourceTest, FilesWithIncludesRunThroughOwnStreams)
{
    TempDir dir;
    dir.Write("main.txt", "#define BASE 10\r\n#include \"a.inc\"\r\nmain FROM_A FROM_B\r\n#ifdef IN_A\r\nseen\r\n#endif\r\n");
    dir.Write("a.inc", "#define FROM_A BASE+1\n#if 0\n#include <b.inc>\n#endif\n#include <b.inc>\na says FROM_A\n#define IN_A\n");
    dir.Write("b.inc", "#define FROM_B 2\nb says FROM_B");
    Recorder user({}, dir.path());
    user.includeAnswer = CMacroDefsCallBack::includeProcess;
    CMacroDefs macros;
    ASSERT_EQ(macros.ProcessFile(dir.File("main.txt").c_str(), dir.File("out.txt").c_str(), &user), 1)
        << (user.errors.empty() ? "" : user.errors[0]);
    EXPECT_EQ(dir.Read("out.txt"), "b says 2a says 10+1\r\nmain 10+1 2\r\nseen\r\n");
    EXPECT_EQ(user.includes, (std::vector<std::string>{"a.inc", "b.inc"}));
    EXPECT_TRUE(user.errors.empty());
    EXPECT_NE(std::find(user.statusSources.begin(), user.statusSources.end(), dir.File("b.inc")),
              user.statusSources.end());
    EXPECT_FLOAT_EQ(user.lastPercent, 100.0f) << "the last status comes with the main file read to its end";
    EXPECT_EQ(dir.CountEntries(), 4) << "no temporary file is left behind";
}

TEST(MacroDefsSourceTest, IncludedFilesOfACallbackSourceWriteThroughTheCallback)
{
    TempDir dir;
    dir.Write("part.inc", "#define P 5\npart P\n");
    Recorder source({"#include \"part.inc\"\n", "main P\n"}, dir.path());
    source.includeAnswer = CMacroDefsCallBack::includeProcess;
    CMacroDefs macros;
    EXPECT_EQ(macros.Process(&source, 1), 1);
    EXPECT_EQ(source.output, "part 5\nmain 5\n");
}

TEST(MacroDefsSourceTest, ErrorsInFilesNameTheFileAndLine)
{
    TempDir dir;
    dir.Write("main.txt", "one\n#include \"bad.inc\"\nnever\n");
    dir.Write("bad.inc", "fine\n#bogus\n");
    dir.Write("out.txt", "previous output");
    Recorder user({}, dir.path());
    user.includeAnswer = CMacroDefsCallBack::includeProcess;
    CMacroDefs macros;
    EXPECT_EQ(macros.ProcessFile(dir.File("main.txt").c_str(), dir.File("out.txt").c_str(), &user), 0);
    EXPECT_EQ(user.errors,
              std::vector<std::string>{"ERROR in file \"" + dir.File("bad.inc") + "\", line 2: Unknown directive."});
    EXPECT_EQ(dir.Read("out.txt"), "previous output") << "a failed run keeps the old output";
    EXPECT_EQ(dir.CountEntries(), 3);
}

TEST(MacroDefsSourceTest, ErrorDirectiveInAFileReachesTheUser)
{
    TempDir dir;
    dir.Write("main.txt", "#error \"unsupported\"\n#msg done\n");
    Recorder user;
    CMacroDefs macros;
    EXPECT_EQ(macros.ProcessFile(dir.File("main.txt").c_str(), "", &user), 1);
    EXPECT_EQ(user.errors, std::vector<std::string>{"unsupported"});
    EXPECT_EQ(user.messages, std::vector<std::string>{"done"});
}

TEST(MacroDefsSourceTest, IncludesThatIncludeThemselvesStop)
{
    TempDir dir;
    dir.Write("self.inc", "x\n#include \"self.inc\"\n");
    dir.Write("a.inc", "#include \"b.inc\"\n");
    dir.Write("b.inc", "#include \"c.inc\"\n");
    dir.Write("c.inc", "#include \"./a.inc\"\n");
    for (const char* top : {"self.inc", "a.inc"}) {
        Recorder user({}, dir.path());
        user.includeAnswer = CMacroDefsCallBack::includeProcess;
        CMacroDefs macros;
        EXPECT_EQ(macros.ProcessFile(dir.File(top).c_str(), "", &user), 0) << top;
        ASSERT_EQ(user.errors.size(), 1u) << top;
        EXPECT_NE(user.errors[0].find("Recursive include not allowed"), std::string::npos) << user.errors[0];
    }
}

TEST(MacroDefsSourceTest, IncludeChainsDeeperThanTheLimitStop)
{
    TempDir dir;
    for (int i = 0; i < CMacroDefs::kMaxIncludeDepth + 2; ++i)
        dir.Write("f" + std::to_string(i) + ".inc", "#include \"f" + std::to_string(i + 1) + ".inc\"\n");
    Recorder user({}, dir.path());
    user.includeAnswer = CMacroDefsCallBack::includeProcess;
    CMacroDefs macros;
    EXPECT_EQ(macros.ProcessFile(dir.File("f0.inc").c_str(), "", &user), 0);
    ASSERT_EQ(user.errors.size(), 1u);
    EXPECT_NE(user.errors[0].find("Includes nested too deeply"), std::string::npos) << user.errors[0];
}

TEST(MacroDefsSourceTest, LongLinesAreReadWhole)
{
    TempDir dir;
    const std::string padding(5000, 'p');
    dir.Write("long.txt", "#define END done\n" + padding + " END\n#define " + padding + " 1\n" + padding + "\n");
    Recorder user;
    CMacroDefs macros;
    ASSERT_EQ(macros.ProcessFile(dir.File("long.txt").c_str(), "", &user), 1);
    EXPECT_EQ(user.output, padding + " done\n1\n");
}

TEST(MacroDefsSourceTest, FilesThatCannotBeOpenedAreReported)
{
    TempDir dir;
    dir.Write("in.txt", "x\n");
    {
        Recorder user;
        CMacroDefs macros;
        EXPECT_EQ(macros.ProcessFile(dir.File("missing.txt").c_str(), "", &user), 0);
        EXPECT_EQ(user.errors,
                  std::vector<std::string>{"ERROR: Could not open input file: \"" + dir.File("missing.txt") + "\"."});
    }
    {
        Recorder user;
        CMacroDefs macros;
        const std::string out = dir.File("no/such/dir/out.txt");
        EXPECT_EQ(macros.ProcessFile(dir.File("in.txt").c_str(), out.c_str(), &user), 0);
        EXPECT_EQ(user.errors, std::vector<std::string>{"ERROR: Could not open output file: \"" + out + "\"."});
    }
    {
        dir.Write("main.txt", "#include \"gone.inc\"\n");
        Recorder user({}, dir.path());
        user.includeAnswer = CMacroDefsCallBack::includeProcess;
        CMacroDefs macros;
        EXPECT_EQ(macros.ProcessFile(dir.File("main.txt").c_str(), "", &user), 0);
        EXPECT_EQ(user.errors,
                  std::vector<std::string>{"ERROR: Could not open input file: \"" + dir.File("gone.inc") + "\"."});
    }
}
