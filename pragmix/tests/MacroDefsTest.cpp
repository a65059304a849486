#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "platform/core/Archive.h"
#include "platform/core/File.h"
#include "pragmix/Pragmix.h"
#include "testing/TempDir.h"

namespace {

// Feeds lines one by one, as the backup engine does, and collects the text
// lines' output. Stops at the first failing line.
struct Fed {
    std::string output;
    int error = 0;
    int failedLine = 0;  // 1-based; 0 when every line passed
};

Fed Feed(CMacroDefs& macros, const std::vector<std::string>& lines)
{
    Fed fed;
    for (size_t i = 0; i < lines.size(); ++i) {
        CString result;
        const int answer = macros.ProcessString(lines[i].c_str(), result);
        if (answer == CMacroDefs::resultError) {
            fed.error = macros.GetError();
            fed.failedLine = static_cast<int>(i + 1);
            return fed;
        }
        if (answer == CMacroDefs::resultText)
            fed.output += std::string(result) + "|";
    }
    return fed;
}

std::string Substitution(CMacroDefs& macros, const char* name)
{
    CString result;
    if (!macros.GetSubstitution(name, result))
        return "<undefined>";
    if (macros.GetError())
        return "<failed>";
    return std::string(result);
}

}  // namespace

TEST(MacroDefsTest, EachLineKindGivesItsResult)
{
    struct Case {
        const char* line;
        int answer;
        const char* text;  // expected result text, trimmed; null to skip
        int error;
    };
    const Case cases[] = {
        {"; a comment", CMacroDefs::resultNone, nullptr, 0},
        {"   ;indented comment", CMacroDefs::resultNone, nullptr, 0},
        {"", CMacroDefs::resultText, "", 0},
        {"plain text", CMacroDefs::resultText, "plain text", 0},
        {"#include \"x.inc\"", CMacroDefs::resultInclude, "x.inc", 0},
        {"#include < x.inc >", CMacroDefs::resultInclude, "x.inc", 0},
        {"#INCLUDE \"dir/y.inc\"", CMacroDefs::resultInclude, "dir/y.inc", 0},
        {"#include x.inc", CMacroDefs::resultError, nullptr, CMacroDefs::errQuoteExpected},
        {"#include \"x.inc", CMacroDefs::resultError, nullptr, CMacroDefs::errQuoteExpected},
        {"#pragma  keep going ", CMacroDefs::resultPragma, "keep going", 0},
        {"#msg \"hello\"", CMacroDefs::resultMessage, "\"hello\"", 0},
        {"#error stop here", CMacroDefs::resultErrorText, "stop here", 0},
        {"#bogus", CMacroDefs::resultError, nullptr, CMacroDefs::errUnknownDirective},
        {"# define X", CMacroDefs::resultError, nullptr, CMacroDefs::errUnknownDirective},
        {"#define", CMacroDefs::resultError, nullptr, CMacroDefs::errInvalidIdentifier},
        {"#define +1", CMacroDefs::resultError, nullptr, CMacroDefs::errInvalidIdentifier},
        {"#define F(a", CMacroDefs::resultError, nullptr, CMacroDefs::errInvalidDefinition},
        {"#define F(a,a) a", CMacroDefs::resultError, nullptr, CMacroDefs::errInvalidDefinition},
        {"#define F(a+b) a", CMacroDefs::resultError, nullptr, CMacroDefs::errInvalidDefinition},
        {"#undef", CMacroDefs::resultError, nullptr, CMacroDefs::errInvalidIdentifier},
        {"#ifdef", CMacroDefs::resultError, nullptr, CMacroDefs::errInvalidIdentifier},
        {"#endif", CMacroDefs::resultError, nullptr, CMacroDefs::errEndifWithoutIf},
        {"#else", CMacroDefs::resultError, nullptr, CMacroDefs::errMisplacedElse},
        {"#elif 1", CMacroDefs::resultError, nullptr, CMacroDefs::errMisplacedElif},
    };
    for (const Case& c : cases) {
        CMacroDefs macros;
        CString result;
        EXPECT_EQ(macros.ProcessString(c.line, result), c.answer) << c.line;
        EXPECT_EQ(macros.GetError(), c.error) << c.line;
        if (c.text) {
            result.Trim();
            EXPECT_EQ(std::string(result), c.text) << c.line;
        }
    }
}

TEST(MacroDefsTest, ErrorTextsNameEveryCode)
{
    EXPECT_EQ(CMacroDefs::GetErrorString(0), "No error");
    EXPECT_EQ(CMacroDefs::GetErrorString(4), "#endif without matching #if");
    EXPECT_EQ(CMacroDefs::GetErrorString(20), "')' expected in expression");
    EXPECT_EQ(CMacroDefs::GetErrorString(21), "Conditional blocks nested too deeply");
    EXPECT_EQ(CMacroDefs::GetErrorString(99), "Unknown error");
    EXPECT_EQ(CMacroDefs::GetErrorString(-1), "Unknown error");
    CMacroDefs macros;
    CString result;
    macros.ProcessString("#endif", result);
    EXPECT_EQ(macros.GetErrorString(), "#endif without matching #if");
}

TEST(MacroDefsTest, DefinitionBodiesAreSubstitutedWhenDefined)
{
    CMacroDefs macros;
    const Fed fed = Feed(macros, {"#define A 1", "#define B A+1", "B", "#undef A", "A B", "#define E", "xE yE E+z"});
    EXPECT_EQ(fed.error, 0);
    EXPECT_EQ(fed.output, "1+1|A 1+1|xE yE +z|");
}

TEST(MacroDefsTest, SelfReferenceIsRecursionButEachNameIsReplacedOncePerLine)
{
    CMacroDefs macros;
    Fed fed = Feed(macros, {"#define X X", "X"});
    EXPECT_EQ(fed.error, CMacroDefs::errRecursion);
    EXPECT_EQ(fed.failedLine, 2);

    CMacroDefs pair;
    fed = Feed(pair, {"#define A B", "#define B A", "A"});
    EXPECT_EQ(Substitution(pair, "B"), "<failed>") << "B's body is B: substituting it fails";
    EXPECT_EQ(fed.error, CMacroDefs::errRecursion);

    CMacroDefs added;
    ASSERT_TRUE(added.AddMacro("A", "B"));
    ASSERT_TRUE(added.AddMacro("B", "A"));
    fed = Feed(added, {"A", "A+B"});
    EXPECT_EQ(fed.error, 0);
    EXPECT_EQ(fed.output, "A|B+A|");
}

TEST(MacroDefsTest, ParameterisedMacros)
{
    CMacroDefs macros;
    ASSERT_EQ(Feed(macros, {"#define MAX(a, b) a>b", "#define SQ(x) ((x)*(x))", "#define PATH(x) C:\\\\dir\\x",
                            "#define NONE() 7"})
                  .error,
              0);
    struct Case {
        const char* line;
        const char* output;
        int error;
    };
    const Case cases[] = {
        {"MAX(1,2)", "1>2", 0},
        {"MAX ( 1 , (2,3) )", "1>(2,3)", 0},
        {"MAX(MAX(1,2),3)", "1>2>3", 0},
        {"v=SQ(a+1);", "v=((a+1)*(a+1));", 0},
        {"bad MAXa(1,2)", "bad MAXa(1,2)", 0},
        {"PATH(f)", "C:\\dirf", 0},
        {"NONE()", "7", 0},
        {"MAX(1)", nullptr, CMacroDefs::errParameterCount},
        {"MAX(1,2,3)", nullptr, CMacroDefs::errParameterCount},
        {"NONE(1)", nullptr, CMacroDefs::errParameterCount},
        {"MAX", nullptr, CMacroDefs::errInvalidUse},
        {"MAX x (1,2)", nullptr, CMacroDefs::errInvalidUse},
        {"MAX(1,2", nullptr, CMacroDefs::errInvalidUse},
    };
    for (const Case& c : cases) {
        CString result;
        const int answer = macros.ProcessString(c.line, result);
        if (c.error) {
            EXPECT_EQ(answer, CMacroDefs::resultError) << c.line;
            EXPECT_EQ(macros.GetError(), c.error) << c.line;
        } else {
            EXPECT_EQ(answer, CMacroDefs::resultText) << c.line << ": " << macros.GetErrorString().GetString();
            EXPECT_EQ(std::string(result), c.output) << c.line;
        }
    }
    // A replacement far longer than its use is read again whole, with what
    // follows it on the line.
    const std::string wide(400, 'w');
    ASSERT_TRUE(macros.AddMacro("WIDE(x)", ("x " + wide + " x").c_str()));
    CString result;
    ASSERT_EQ(macros.ProcessString("WIDE(SQ(y)) MAX(1,2)", result), CMacroDefs::resultText);
    EXPECT_EQ(std::string(result), "((y)*(y)) " + wide + " ((y)*(y)) 1>2");
}

TEST(MacroDefsTest, SubstitutionTellsUndefinedFromFailed)
{
    CMacroDefs macros;
    ASSERT_EQ(Feed(macros, {"#define F(x) x+1", "#define G 2"}).error, 0);
    CString result;
    EXPECT_EQ(macros.GetSubstitution("H", result), 0);
    EXPECT_EQ(macros.GetSubstitution("F", result), 1) << "defined, though its arguments are missing";
    EXPECT_EQ(macros.GetError(), CMacroDefs::errInvalidUse);
    EXPECT_EQ(macros.GetSubstitution("G", result), 1);
    EXPECT_EQ(macros.GetError(), 0) << "each call starts with no error";
    EXPECT_EQ(std::string(result), "2");
}

TEST(MacroDefsTest, MacroThatExpandsIntoItselfStopsWithAnError)
{
    CMacroDefs macros;
    ASSERT_EQ(Feed(macros, {"#define F(x) F(x)", "#define G(x) x(x)", "#define H(x) x(K)", "#define K(y) H(y)",
                            "#define L(x) x x x x x x x x x x"})
                  .error,
              0);
    for (const char* line : {"F(1)", "G(G)", "H(H)"}) {
        CString result;
        EXPECT_EQ(macros.ProcessString(line, result), CMacroDefs::resultError) << line;
        EXPECT_EQ(macros.GetError(), CMacroDefs::errRecursion) << line;
    }
    // Many honest uses on one long line are no recursion.
    std::string many;
    for (int i = 0; i < 3000; ++i)
        many += "P(1)+";
    CString expanded;
    ASSERT_TRUE(macros.AddMacro("P(x)", "[x]"));
    ASSERT_TRUE(macros.AddMacro("TWICE(x)", "x x"));
    EXPECT_EQ(macros.ProcessString(CString(many + "TWICE(TWICE(TWICE(2)))"), expanded), CMacroDefs::resultText)
        << macros.GetErrorString().GetString();
    EXPECT_EQ(expanded.GetLength(), 3000 * 4 + 15);

    // Growth without end is stopped as well, before memory runs out.
    const std::string big(10000, 'q');
    CString result;
    EXPECT_EQ(macros.ProcessString(("L(L(L(L(" + big + "))))").c_str(), result), CMacroDefs::resultError);
    EXPECT_EQ(macros.GetError(), CMacroDefs::errExpansionTooLong);
}

TEST(MacroDefsTest, ManyDefinitionsAndRemovalsKeepEveryNameFindable)
{
    // Names come and go in a mixed order, through the growth of the name
    // index and removals from the middle of its runs of neighbours.
    CMacroDefs macros;
    std::mt19937 random(11);
    std::set<int> defined;
    for (int step = 0; step < 4000; ++step) {
        const int n = static_cast<int>(random() % 600);
        const std::string name = "M" + std::to_string(n);
        if (defined.count(n)) {
            EXPECT_EQ(macros.RemoveMacro(name.c_str()), 1) << name;
            defined.erase(n);
        } else {
            ASSERT_EQ(macros.AddMacro(name.c_str(), std::to_string(n).c_str()), 1) << name;
            defined.insert(n);
        }
        if (step % 500 != 499)
            continue;
        for (int i = 0; i < 600; ++i) {
            const std::string other = "M" + std::to_string(i);
            EXPECT_EQ(Substitution(macros, other.c_str()), defined.count(i) ? std::to_string(i) : "<undefined>")
                << other << " at step " << step;
        }
    }
    CMapStringToString list;
    EXPECT_EQ(macros.GetMacroList(list), static_cast<int>(defined.size()));
}

TEST(MacroDefsTest, RedefinitionRules)
{
    CMacroDefs macros;
    Fed fed = Feed(macros, {"#define A 1", "#define A 1", "#define  A   1  ", "#define B A+1", "#define B A+1",
                            "#define F(x) x*2", "#define F(x) x*2", "#define F(y) y*2", "#define A 2"});
    EXPECT_EQ(fed.error, CMacroDefs::errRedefinition);
    EXPECT_EQ(fed.failedLine, 9);
    EXPECT_EQ(Substitution(macros, "A"), "1") << "a failed definition changes nothing";
    EXPECT_FALSE(macros.AddMacro("F", "x*3"));
    EXPECT_EQ(macros.GetError(), CMacroDefs::errRedefinition);
    EXPECT_TRUE(macros.RemoveMacro("A"));
    EXPECT_FALSE(macros.RemoveMacro("A"));
    EXPECT_TRUE(macros.AddMacro("A", "2"));
    EXPECT_EQ(Substitution(macros, "A"), "2");
}

TEST(MacroDefsTest, ContinuationLinesJoinADefinition)
{
    CMacroDefs macros;
    const Fed fed = Feed(macros, {"#define A 1 \\", "  2", "   #define B first \\", "middle \\", "last", "A;B"});
    EXPECT_EQ(fed.error, 0);
    EXPECT_EQ(Substitution(macros, "A"), "1 \n  2");
    EXPECT_EQ(Substitution(macros, "B"), "first \nmiddle \nlast");
    EXPECT_EQ(fed.output, "1 \n  2;first \nmiddle \nlast|");
}

TEST(MacroDefsTest, ConditionalBlocks)
{
    struct Case {
        const char* name;
        std::vector<std::string> lines;
        const char* output;
    };
    const Case cases[] = {
        {"defined and ndef", {"#define A", "#if DEFINED(A) && NDEF(C)", "yes", "#else", "no", "#endif"}, "yes|"},
        {"def is case-blind", {"#define A", "#if def(A)", "yes", "#endif"}, "yes|"},
        {"ifdef", {"#define A", "#ifdef A", "a", "#endif", "#ifdef C", "c", "#endif"}, "a|"},
        {"ifdef glued", {"#define AX", "#ifdefAX", "glued", "#endif"}, "glued|"},
        {"ifndef", {"#ifndef C", "notc", "#else", "c", "#endif"}, "notc|"},
        {"elif chain", {"#define V 2", "#if V==1", "one", "#elif V==2", "two", "#elif V>1", "also", "#else", "other",
                        "#endif"}, "two|"},
        {"else after false elifs", {"#if 0", "a", "#elif 0", "b", "#else", "c", "#endif"}, "c|"},
        {"nested in false", {"#if 0", "#if 1", "inner", "#else", "innerelse", "#endif", "outer", "#endif", "after"},
         "after|"},
        {"nested in true", {"#if 1", "#if 0", "x", "#elif 1", "y", "#endif", "z", "#endif"}, "y|z|"},
        {"macros in conditions", {"#define N 5", "#if N*2 > 8", "big", "#endif"}, "big|"},
        {"defines in false blocks are dropped", {"#if 0", "#define Q 1", "#endif", "#ifdef Q", "q", "#endif"}, ""},
        {"hex and bits", {"#if ($F0 & $10) && !(1<<3 != 8)", "ok", "#endif"}, "ok|"},
    };
    for (const Case& c : cases) {
        CMacroDefs macros;
        const Fed fed = Feed(macros, c.lines);
        EXPECT_EQ(fed.error, 0) << c.name << ": line " << fed.failedLine;
        EXPECT_EQ(fed.output, c.output) << c.name;
        EXPECT_FALSE(macros.TextBlocked()) << c.name;
    }
}

TEST(MacroDefsTest, ConditionalErrors)
{
    struct Case {
        std::vector<std::string> lines;
        int error;
        int failedLine;
    };
    const Case cases[] = {
        {{"#if 1", "#else", "#else", "#endif"}, CMacroDefs::errMisplacedElse, 3},
        {{"#if 1", "#else", "#elif 1", "#endif"}, CMacroDefs::errMisplacedElif, 3},
        {{"#if 1", "#endif", "#endif"}, CMacroDefs::errEndifWithoutIf, 3},
        {{"#if 0", "#bogus", "#endif"}, CMacroDefs::errUnknownDirective, 2},
        {{"#define A", "#if DEFINED A"}, CMacroDefs::errOpenParenExpected, 2},
        {{"#if DEFINED(A"}, CMacroDefs::errCloseParenExpected, 1},
        {{"#if"}, CMacroDefs::errInvalidExpression, 1},
        {{"#if 1+"}, CMacroDefs::errSyntax, 1},
        {{"#if (1"}, CMacroDefs::errSyntax, 1},
        {{"#if 1e999"}, CMacroDefs::errNumeric, 1},
        {{"#if 5#2"}, CMacroDefs::errInvalidOperator, 1},
        {{"#if UNKNOWN"}, CMacroDefs::errSyntax, 1},
        {{"#if 0", "#elif 1+"}, CMacroDefs::errSyntax, 2},
    };
    for (const Case& c : cases) {
        CMacroDefs macros;
        const Fed fed = Feed(macros, c.lines);
        EXPECT_EQ(fed.error, c.error) << c.lines.back();
        EXPECT_EQ(fed.failedLine, c.failedLine) << c.lines.back();
    }
}

TEST(MacroDefsTest, AConditionThatFailsTakesNoBranch)
{
    CMacroDefs macros;
    const Fed fed = Feed(macros, {"#if 1+"});
    ASSERT_EQ(fed.error, CMacroDefs::errSyntax);
    EXPECT_EQ(Feed(macros, {"a", "#else", "b", "#endif", "c"}).output, "c|");
}

TEST(MacroDefsTest, NestingDeeperThanTheLevelStackIsAnError)
{
    for (const char* condition : {"#if 1", "#if 0", "#ifdef X"}) {
        CMacroDefs macros;
        std::vector<std::string> lines(CMacroDefs::kLevels - 1, condition);
        EXPECT_EQ(Feed(macros, lines).error, 0) << condition;
        const Fed deeper = Feed(macros, {condition});
        EXPECT_EQ(deeper.error, CMacroDefs::errNestingTooDeep) << condition;
        // The stack is intact: every open block still closes.
        const Fed close = Feed(macros, std::vector<std::string>(CMacroDefs::kLevels - 1, "#endif"));
        EXPECT_EQ(close.error, 0) << condition;
        EXPECT_EQ(Feed(macros, {"#endif"}).error, CMacroDefs::errEndifWithoutIf) << condition;
    }
}

namespace {

// Answers REG(n) with n*10 for a number n, and the bare name LIMIT with 25.
class RegisterFunctions : public CExSolverCallBack {
public:
    int SolveExternalFunction(CString name, CString argument, double& value) override
    {
        if (name != "REG" || argument.SpanIncluding("0123456789") != argument)
            return answerUnknown;
        value = std::atof(argument) * 10;
        return answerSolved;
    }
    int SolveExternalFunction(CString name, double& value) override
    {
        if (name == "REG")
            return answerTakesArgument;
        if (name == "LIMIT") {
            value = 25;
            return answerSolved;
        }
        return answerUnknown;
    }
};

}  // namespace

TEST(MacroDefsTest, ConditionsReachTheSolverCallback)
{
    RegisterFunctions functions;
    CMacroDefs macros;
    macros.SetSolverCB(&functions);
    // REG's argument is not substituted: N stays N inside it.
    const Fed fed = Feed(macros, {"#define N 3", "#if REG(2) < LIMIT && N == 3", "low", "#endif", "#if REG(N)",
                                  "never", "#endif"});
    EXPECT_EQ(fed.output, "low|");
    EXPECT_EQ(fed.failedLine, 5);
    EXPECT_EQ(fed.error, CMacroDefs::errInvalidFunction);
}

TEST(MacroDefsTest, CommentTokenAndMacroList)
{
    CMacroDefs macros;
    macros.SetCommentToken('\'');
    const Fed fed = Feed(macros, {"' comment", "; not a comment now", "#define MAX(a, b) a>b", "#define ONE 1",
                                  "#define FLAG"});
    EXPECT_EQ(fed.output, "; not a comment now|");
    CMapStringToString list;
    EXPECT_EQ(macros.GetMacroList(list), 3);
    CString rest;
    ASSERT_TRUE(list.Lookup("MAX(a, b)", rest));
    EXPECT_EQ(rest, "a>b");
    ASSERT_TRUE(list.Lookup("ONE", rest));
    EXPECT_EQ(rest, "1");
    ASSERT_TRUE(list.Lookup("FLAG", rest));
    EXPECT_EQ(rest, "");
}

TEST(MacroDefsTest, ChildSharesTheDatabaseButNotTheBlocks)
{
    CMacroDefs parent;
    parent.SetCommentToken('!');
    ASSERT_EQ(Feed(parent, {"#if 0"}).error, 0);
    {
        CMacroDefs child(&parent);
        EXPECT_EQ(Feed(child, {"#define SHARED 1", "! comment", "text"}).output, "text|");
    }
    EXPECT_EQ(Substitution(parent, "SHARED"), "1");
    EXPECT_TRUE(parent.TextBlocked());
}

TEST(MacroDefsTest, DatabaseArchivesAndReadsBack)
{
    TempDir dir;
    const std::string path = dir.File("macros.bin");
    CMacroDefs source;
    source.SetCommentToken('%');
    ASSERT_EQ(Feed(source, {"#define A 1", "#define B A+1", "#define MAX(a,b) a>b", "#define FLAG"}).error, 0);
    {
        CFile file(path.c_str(), CFile::modeCreate | CFile::modeWrite);
        CArchive ar(&file, CArchive::store);
        source.Serialize(ar);
        ar.Close();
        file.Close();
    }
    CMacroDefs loaded;
    ASSERT_TRUE(loaded.AddMacro("A", "old"));
    ASSERT_TRUE(loaded.AddMacro("KEEP", "k"));
    {
        CFile file(path.c_str(), CFile::modeRead);
        CArchive ar(&file, CArchive::load);
        loaded.Serialize(ar);
    }
    EXPECT_EQ(Feed(loaded, {"% comment", "B MAX(3,4) FLAG. KEEP A"}).output, "1+1 3>4 . k 1|");
    CMapStringToString list;
    EXPECT_EQ(loaded.GetMacroList(list), 5);

    // The layout: the count, then each name and its object, the class named once.
    const std::string bytes = dir.Read("macros.bin");
    ASSERT_GE(bytes.size(), 30u);
    EXPECT_EQ(bytes.substr(0, 2), std::string("\x04\x00", 2));
    EXPECT_EQ(bytes.substr(2, 2), std::string("\x01" "A", 2));
    EXPECT_EQ(bytes.substr(4, 6), std::string("\xFF\xFF\x02\x00\x0E\x00", 6));
    EXPECT_EQ(bytes.substr(10, 14), "CMacroDefEntry");
    EXPECT_NE(bytes.find(std::string("\x01\x80", 2)), std::string::npos);
    EXPECT_EQ(bytes.back(), '%');
}

TEST(MacroDefsTest, MalformedArchiveThrowsAndChangesNothing)
{
    TempDir dir;
    CMacroDefs source;
    ASSERT_EQ(Feed(source, {"#define A 1", "#define B 2"}).error, 0);
    {
        CFile file(dir.File("good.bin").c_str(), CFile::modeCreate | CFile::modeWrite);
        CArchive ar(&file, CArchive::store);
        source.Serialize(ar);
    }
    const std::string good = dir.Read("good.bin");
    std::string wrongClass = good;
    wrongClass.replace(wrongClass.find("CMacroDefEntry"), 14, "CSomethingElse");
    std::string badTag = good;
    badTag[badTag.find(std::string("\x01\x80", 2)) + 1] = 0x7F;
    // The first entry's kind: the int right after the class name, which stays whole.
    const size_t kindAt = good.find("CMacroDefEntry") + 14;
    std::string badKind = good;
    ASSERT_EQ(good.substr(kindAt, 4), std::string("\x02\x00\x00\x00", 4)) << "a name with a value";
    badKind[kindAt] = 9;
    const std::string broken[] = {good.substr(0, good.size() - 1), good.substr(0, 12), wrongClass, badTag, badKind,
                                  std::string("\x05", 1)};
    for (const std::string& bytes : broken) {
        dir.Write("bad.bin", bytes);
        CMacroDefs target;
        ASSERT_TRUE(target.AddMacro("A", "mine"));
        CFile file(dir.File("bad.bin").c_str(), CFile::modeRead);
        CArchive ar(&file, CArchive::load);
        EXPECT_THROW(target.Serialize(ar), CArchiveException) << bytes.size();
        EXPECT_EQ(Substitution(target, "A"), "mine");
        EXPECT_EQ(Substitution(target, "B"), "<undefined>");
    }
}

TEST(MacroDefsTest, CopyTakesDefinitionsAndCommentToken)
{
    CMacroDefs source;
    source.SetCommentToken('#');
    ASSERT_TRUE(source.AddMacro("A", "1"));
    ASSERT_TRUE(source.AddMacro("MAX(a,b)", "a>b"));
    CMacroDefs target;
    ASSERT_TRUE(target.AddMacro("A", "other"));
    ASSERT_TRUE(target.Copy(source));
    source.ResetDatabase();
    EXPECT_EQ(Substitution(target, "A"), "1");
    EXPECT_EQ(Feed(target, {"#define X", "MAX(1,2)"}).output, "1>2|") << "# is now the comment token";
}
