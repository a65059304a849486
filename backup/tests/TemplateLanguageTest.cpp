// The template language run as reports against a drive whose registers sit in a map.
#include <gtest/gtest.h>

#include "backup/AmpBackupToolComputations.h"
#include "backup/tests/BackupTestSupport.h"
#include "distribution/AmpResponseToGui.h"
#include "distribution/parameters/GlobalParameterTable.h"

namespace {

class TemplateLanguageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CDistManager::Install(&m_dist);
        m_drive.SetIdentity();
        m_engine.SetPauses(0);
        m_host.m_programFolder = (m_home.path() + "/").c_str();
    }
    void TearDown() override { CDistManager::Install(nullptr); }

    // Runs the text as a quiet report and gives what it wrote, with LF line ends.
    std::string Report(const std::string& text, const std::string& name = "t.dat")
    {
        m_home.Write(name, text);
        const std::string out = m_home.File("out.txt");
        remove(out.c_str());
        remove(m_home.File("out - CONTAINS ERRORS.txt").c_str());
        m_engine.SetTemplateFile(m_home.File(name).c_str());
        EXPECT_EQ(m_engine.StartOperation(1, 1, out.c_str(), "", 1), 1);
        EXPECT_TRUE(RunToEnd(m_engine));
        std::string written = ReadFileText(out);
        if (written == "<missing>")
            written = ReadFileText(m_home.File("out - CONTAINS ERRORS.txt"));
        std::string lf;
        for (size_t i = 0; i < written.size(); ++i) {
            if (!(written[i] == '\r' && i + 1 < written.size() && written[i + 1] == '\n'))
                lf += written[i];
        }
        return lf;
    }

    TempDir m_home;
    FakeDriveLink m_drive;
    CDistManager m_dist{&m_drive};
    FakeHost m_host;
    CAmpBackupTool m_engine{&m_host};
};

struct Case {
    const char* name;
    const char* text;
    const char* expected;
};

}  // namespace

TEST_F(TemplateLanguageTest, LinesProduceTheirOutput)
{
    m_drive.Set("ABC", 0xFFFF, 2);
    m_drive.Set("TLP", 100);
    const Case cases[] = {
        {"comment cut before !LOG", "!LOG:a ; b\n; whole line\n   \nTLP ; only the command is sent\n", "a ; b\n"},
        {"comment before !LOG removes it", "; !LOG:hidden\nTLP ;!LOG:hidden\n", ""},
        {"field", "!LOG:TLP={TLP} twice={TLP*2} again {TLP}\n", "TLP=100 twice=200 again 100\n"},
        {"define with a field", "#define TWICE {TLP*2}\n!LOG:{TWICE+1}\n", "201\n"},
        {"conditional blocks", "#define A 1\n#ifdef A\n!LOG:yes\n#else\n!LOG:no\n#endif\n#ifndef A\n!LOG:hidden\n#endif\n",
         "yes\n"},
        {"preprocessor message and pragma", "#pragma anything\n!LOG:after\n", "after\n"},
        {"#error is a failed line", "#error boom here\n!LOG:goes on\n", ";***  boom here\ngoes on\n"},
        {"!ENDIF does not nest", "!IF (CS=99)\n!IF (CS=21)\n!LOG:a\n!ENDIF\n!LOG:b\n", "b\n"},
        {"preprocessor works inside a skipped block", "!IF (CS=99)\n#define SEEN 5\n!ENDIF\n!LOG:{SEEN}\n", "5\n"},
        {"digits 3", "!DIGITS: 3\n!LOG:{2.5}\n", "2.500\n"},
        {"digits -4", "!DIGITS:-4\n!LOG:{2.5} {1/3}\n", "2.5 0.3333\n"},
        {"signed by default", "!LOG:{ABC}\n", "-1\n"},
        {"unsigned", "!UNSIGNED\n!LOG:{ABC}\n!SIGNED\n!LOG:{ABC}\n", "65535\n-1\n"},
        {"signed with a comment", "!UNSIGNED ; read raw\n!SIGNED ; back\n!LOG:{ABC}\n", "-1\n"},
        {"signed with text is unknown", "!SIGNEDX\n", ";*** ERROR in line 1 of template file \"t.dat\":Unknown command or syntax error.\n"},
        {"unknown directive", "!FOO\n", ";*** ERROR in line 1 of template file \"t.dat\":Unknown command or syntax error.\n"},
        {"error of an earlier backup", "!LOG:x *** ERROR y\n",
         ";*** ERROR in line 1 of template file \"t.dat\": Encountered error from previous backup.\n"},
        {"missing brace", "!LOG:{1+2\n", ";*** ERROR in line 1 of template file \"t.dat\": Syntax error - Missing '}'.\n"},
        {"numeric error", "!LOG:{1e999}\n", ";*** ERROR in line 1 of template file \"t.dat\": Numeric error.\n"},
        {"unknown register", "!LOG:{XYZ}\n", ";*** ERROR in line 1 of template file \"t.dat\": Syntax error in expression.\n"},
        {"empty line after preprocessing", "#define E\nE\n!LOG:x\n", "\nx\n"},
        {"no external processor", "!EXTPROC:row 1\n", ";***  No external line processor\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Report(c.text), c.expected);
    }
}

TEST_F(TemplateLanguageTest, IfConditionsCompareWithTheDrive)
{
    m_drive.SetIdentity(115, 21, 123, 10);
    struct IfCase {
        const char* condition;
        int wellFormed;
        int result;
    };
    const IfCase cases[] = {
        {"(FW=1.15)", 1, 1},   // cut, 1.15 * 100 would be 114
        {"(FW>=1.16)", 1, 0},  {"(fw < 2)", 1, 1},   {"(FW!=1.15)", 1, 0}, {"(FW<=1.15)", 1, 1},
        {"(PN=10-123)", 1, 1}, {"(PN>10-122)", 1, 1}, {"(PN=100123)", 0, 0}, {"(CS=21)", 1, 1},
        {"(CS>21)", 1, 0},     {"  (CS = 21)  ", 1, 1},
        {"CS=21", 0, 0},       {"()", 0, 0},          {"(=21)", 0, 0},       {"(CS=", 0, 0},
        {"(CS 21)", 0, 0},     {"(XX=1)", 0, 0},      {"", 0, 0},            {"(", 0, 0},
    };
    for (const IfCase& c : cases) {
        SCOPED_TRACE(c.condition);
        int result = -1;
        EXPECT_EQ(m_engine.EvaluateIfCondition(c.condition, result), c.wellFormed);
        if (c.wellFormed) {
            EXPECT_EQ(result, c.result);
        }
    }
    EXPECT_EQ(Report("!IF (PN=10-123\n!LOG:kept\n!IF FW=1\n"),
              "kept\n;*** ERROR in line 3 of template file \"t.dat\": Invalid !IF expression.\n");
}

TEST_F(TemplateLanguageTest, FieldsNeverWriteToTheDrive)
{
    m_drive.Set("ACC", 7);
    const std::string out = Report("!LOG:{ACC2}\n!LOG:{ACC}\n!LOG:{XYZ}\n");
    // A failed read tells its own error; the expression's error follows and marks the line.
    EXPECT_EQ(out, ";*** ERROR in line 1 of template file \"t.dat\": Syntax error in expression.\n7\n"
                   ";*** ERROR in line 3 of template file \"t.dat\": Syntax error in expression.\n");
    const std::string log = m_engine.GetErrorLog().GetString();
    const size_t read = log.find("ERROR in line 3 of template file \"t.dat\": Invalid command \"XYZ\".");
    const size_t expression = log.find("ERROR in line 3 of template file \"t.dat\": Syntax error in expression.");
    ASSERT_NE(read, std::string::npos) << log;
    ASSERT_NE(expression, std::string::npos) << log;
    EXPECT_GT(expression, read) << log;
    // The identity's "MDI 0" is the only write.
    EXPECT_EQ(m_drive.Writes(), std::vector<CString>{"MDI 0"});
    EXPECT_EQ(m_drive.Get("ACC"), 7);
}

TEST_F(TemplateLanguageTest, OverlongLineIsOneFailedLineAndNothingIsSent)
{
    m_drive.Set("ACC", 7);
    std::string text = "!LOG:" + std::string(995, 'x') + "\nACC 5\n";
    const size_t sentBefore = m_drive.SentCount();
    const std::string out = Report(text);
    EXPECT_EQ(out, ";*** ERROR in line 1 of template file \"t.dat\": Line longer than 999 characters.\n");
    EXPECT_EQ(m_drive.Writes(), (std::vector<CString>{"MDI 0", "ACC 5"}));
    EXPECT_EQ(m_drive.SentCount() - sentBefore, 4u + 1u + 1u);  // the identity (MDI 0 MDL is two), then ACC 5
}

TEST_F(TemplateLanguageTest, ElifWithAFieldDecidesItsBranch)
{
    m_drive.Set("TLP", 3);
    EXPECT_EQ(Report("#if 0\n!LOG:a\n#elif {TLP} == 3\n!LOG:b\n#else\n!LOG:c\n#endif\n"), "b\n");
    EXPECT_EQ(Report("#if 1\n!LOG:a\n#elif {TLP} == 3\n!LOG:b\n#endif\n"), "a\n");
}

TEST_F(TemplateLanguageTest, IncludedTemplateErrorsNameThatFile)
{
    m_home.Write("inc.dat", "!LOG:in include\n!BAD\n");
    const std::string out = Report("!LOG:main\n#include \"inc.dat\"\n!LOG:after\n#include \"gone.dat\"\n!BAD\n");
    EXPECT_EQ(out,
              "main\nin include\n;*** ERROR in line 2 of template file \"inc.dat\":Unknown command or syntax error.\n"
              "after\n;*** ERROR in line 4 of template file \"t.dat\":Could not open template file \"gone.dat\".\n"
              ";*** ERROR in line 5 of template file \"t.dat\":Unknown command or syntax error.\n");
}

TEST_F(TemplateLanguageTest, DirectivesWithoutTheirComputationsFail)
{
    const std::string out = Report(
        "!SOLVEFILTER: 1, 2, 3, 4, 5, 6, {1000*2}, 1\n!LOG:#FILTERTYPE #FILTERTYPENUM {FILTERARG1}\n"
        "!CALCCURRLOOPBW: 1.5, 2, 3, 4, 5, 6\n!LOG:{CURRLOOPBW}\n"
        "!SOLVEFILTER: 1, 2\n");
    EXPECT_EQ(out, "#Invalid filter coefficients #0 0\n0\n");
    const std::string log = m_engine.GetErrorLog().GetString();
    EXPECT_NE(log.find("line 1 of template file \"t.dat\":Could not calculate filter arguments."), std::string::npos)
        << log;
    EXPECT_NE(log.find("line 3 of template file \"t.dat\":Could not calculate current loop bandwidth."),
              std::string::npos);
    // The parser's own text follows the colon, as every other error text does.
    const size_t parse = log.find("line 5 of template file \"t.dat\":");
    ASSERT_NE(parse, std::string::npos) << log;
    EXPECT_NE(log[parse + std::string("line 5 of template file \"t.dat\":").size()], ' ') << log;
    EXPECT_EQ(Report("!LOG:FILTERTYPE/FILTERTYPENUM\n!SOLVEFILTER: 1,2,3,4,5,6,2000,1\n!LOG:FILTERTYPE/FILTERTYPENUM\n"),
              "FILTERTYPE/FILTERTYPENUM\nInvalid filter coefficients/0\n");
}

namespace {

// The computations as the I/O, tuning and filter subsystems will give them.
class StandInComputations : public CAmpBackupToolComputations {
public:
    bool StartIoDefinitions(int side, int drive, int variant, CDistMngrResponseReceiver& receiver) override
    {
        m_variant = variant;
        m_receiving[side] = true;
        // The pin assignments come back through the engine's response list.
        return receiver.SendQuery(static_cast<BYTE>(drive), static_cast<WORD>(MnemonicToCode("TLP")), 0,
                                  kQryOneShot | kQryDefault) >= 0;
    }
    bool IsIoReceiving(int side) override { return m_receiving[side]; }
    int HandleIoResponse(int side, const CAmpResponseToGui&) override
    {
        m_receiving[side] = false;
        return 2;
    }
    CString BuildIoFunctionList(int side) override { return side == kInputs ? "    IN1 --> Enable" : "    OUT1 --> Fault"; }
    double CalcCurrentLoopBandwidth(int masterGain, int resistance, int inductance, int proportionalGain, int busVolts,
                                    double currentGain) override
    {
        return masterGain + resistance * 10 + inductance * 100 + proportionalGain * 1000 + busVolts * 10000 +
               currentGain;
    }
    bool GetDriveFilterType(int, int filter, int& type) override
    {
        m_filterAsked = filter;
        type = 3;
        return true;
    }
    bool CalcFilterArgsFromCoefficients(int type, const int coefficients[6], int guess, double fs,
                                        FilterArguments& out) override
    {
        out.type = type;
        out.args[0] = coefficients[0] + coefficients[5];
        out.args[1] = fs;
        out.args[2] = guess;
        out.args[3] = 0.25;
        return true;
    }
    CString GetFilterTypeCode(int type) override { return type == 3 ? "LOWPASS" : "?"; }

    bool m_receiving[2] = {false, false};
    int m_variant = -1;
    int m_filterAsked = -1;
};

}  // namespace

TEST_F(TemplateLanguageTest, DirectivesCallTheirComputations)
{
    StandInComputations computations;
    m_engine.SetComputations(&computations);
    m_drive.m_answerJobs = true;
    ASSERT_TRUE(m_dist.Start());
    m_drive.Set("TLP", 4);
    const std::string out = Report(
        "!SOLVEFILTER: {TLP}, 2, 3, 4, 5, 6, 2000.5, 2\n!DIGITS:2\n!LOG:FILTERTYPE FILTERTYPENUM {FILTERARG1} "
        "{FILTERARG2} {FILTERARG3} {FILTERARG4}\n"
        "!CALCCURRLOOPBW: 0.5, 1, 2, 3, 4, 5\n!LOG:{CURRLOOPBW}\n"
        "!BUILDTAVROIOLIST\n!LOG:TAVROINPUTDEFS|TAVROOUTPUTDEFS\n");
    EXPECT_EQ(out, "LOWPASS 3 10.00 2000.50 0.00 0.25\n52341.50\nIN1 --> Enable|OUT1 --> Fault\n");
    EXPECT_EQ(computations.m_filterAsked, 1);
    m_dist.Stop();
}

TEST_F(TemplateLanguageTest, IoListsFailWithoutTheirDefinitions)
{
    EXPECT_EQ(Report("!BUILDTAVROIOLIST\n!LOG:TAVROINPUTDEFS\n!LOG:TAVROOUTPUTDEFS\n"),
              "ERROR: Could not build input list\nERROR: Could not build output list\n");
}

namespace {

class Processor : public CAmpBackupToolExtProcessorCB {
public:
    int ProcessExtLine(const char* text) override
    {
        m_lines.push_back(text);
        if (CString(text).Find("bad") >= 0) {
            SetErrorString("row refused");
            return 0;
        }
        return 1;
    }
    void OnErrorLine(const char* text) override { m_errors.push_back(text); }
    void OnOperationComplete(int success, const char* text) override
    {
        m_completed = success;
        m_completion = text;
    }
    void OnProgress(double percent) override { m_lastPercent = percent; }
    int SendCommand(const CAmpQryCmdFromGui& query, CAmpResponseToGui& response) override
    {
        if (CodeToMnemonic(query.m_code) != "KNW")
            return 0;
        static_cast<CAmpMsg&>(response) = query;
        response.SetValue(0xFFFE, 2);
        return 1;
    }
    int GetNamedValue(const char* name, double& value) override
    {
        if (CString(name) != "ROWVALUE")
            return 0;
        value = 4.25;
        return 1;
    }

    std::vector<CString> m_lines, m_errors;
    int m_completed = -1;
    CString m_completion;
    double m_lastPercent = -1;
};

}  // namespace

TEST_F(TemplateLanguageTest, ExternalProcessorTakesItsLinesAndAnswersExpansions)
{
    Processor processor;
    m_engine.SetExtProcessor(&processor);
    EXPECT_EQ(Report("!EXTPROC:row 1\n!EXTPROC:bad row\n!LOG:x\n"), ";*** row refused\nx\n");
    EXPECT_EQ(processor.m_lines, (std::vector<CString>{"row 1", "bad row"}));
    EXPECT_EQ(processor.m_completed, 1);  // not counted as an error
    EXPECT_EQ(processor.m_completion, "Report successfully created.");

    CString out;
    EXPECT_EQ(m_engine.ExpandText("{KNW} {ROWVALUE}", out, 2, 1), 1);
    EXPECT_EQ(out, "-2.00 4.25");
    EXPECT_EQ(m_engine.ExpandText("{KNW}", out, 0, 0), 1);
    EXPECT_EQ(out, "65534");
    m_engine.SetMacro("_X", "2.500000");
    EXPECT_EQ(m_engine.ExpandText("{_X*2}", out, 1, 1), 1);
    EXPECT_EQ(out, "5.0");
    // Nothing but the processor answers an expansion: the drive is never asked.
    const size_t sent = m_drive.SentCount();
    EXPECT_EQ(m_engine.ExpandText("{TLP}", out, 0, 1), 0);
    EXPECT_EQ(m_drive.SentCount(), sent);
}

TEST_F(TemplateLanguageTest, ConversionParameterWaitEndsAtCancelAndExpandTextNeverWaits)
{
    CGlobalParameterTable table;  // its queries are never answered here
    table.SetDistManager(&m_dist);
    table.AddDrive(1);
    m_host.m_parameters = &table;
    CString out;
    const auto before = std::chrono::steady_clock::now();
    EXPECT_EQ(m_engine.ExpandText("{GPD_VER}", out, 0, 1), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(1));

    // The first line shows the run has reached the wait; cancel is pressed then, not before
    // the run starts (a cancel seen first would end the run before any line).
    m_drive.Set("ACC", 7);
    m_home.Write("p.dat", "@1:ACC 9\n!LOG:{GPD_VER}\n");
    m_engine.SetTemplateFile(m_home.File("p.dat").c_str());
    ASSERT_EQ(m_engine.StartOperation(1, 1, m_home.File("p.txt").c_str(), "", 0), 1);
    ASSERT_TRUE(WaitFor([&] { return m_drive.Get("ACC") == 9; }, std::chrono::seconds(4)));
    m_host.m_cancelPressed = 1;
    ASSERT_TRUE(RunToEnd(m_engine, std::chrono::seconds(4)));  // well before the 5 s bound
    EXPECT_GE(m_engine.GetErrorLog().Find(
                  "ERROR in line 2 of template file \"p.dat\": No value for conversion parameter GPD_VER."),
              0)
        << m_engine.GetErrorLog().GetString();
    EXPECT_EQ(m_host.m_boxes.back(), "Report cancelled.");
    m_host.m_parameters = nullptr;
    table.RemoveAllDrives();
}

TEST_F(TemplateLanguageTest, AMalformedAddressPrefixIsAnInvalidCommandAndNothingIsSent)
{
    m_drive.Set("ACC", 7);
    for (const char* command : {"@x:ACC 43", "@:ACC 1", "@1x:ACC 2", "@256:ACC 4", "@ACC 5", "@ 1:ACC 6"}) {
        SCOPED_TRACE(command);
        const std::string out = Report(std::string(command) + "\n");
        EXPECT_EQ(out, std::string(";*** ERROR in line 1 of template file \"t.dat\":Invalid drive command: \"") + command +
                           "\".\n");
        EXPECT_EQ(m_drive.Get("ACC"), 7);
    }
    Report("@1:ACC 9\n");
    EXPECT_EQ(m_drive.Get("ACC"), 9) << "a well-formed prefix is sent";
}

TEST_F(TemplateLanguageTest, ExpandTextWithoutAProcessorAsksTheDrive)
{
    m_drive.m_answerJobs = true;
    ASSERT_TRUE(m_dist.Start());
    m_drive.Set("ACC", 7);
    m_drive.Set("KNW", 0xFFFE, 2);
    CString out;
    EXPECT_EQ(m_engine.ExpandText("{ACC}", out, 0, 1), 1);
    EXPECT_EQ(out, "7");
    EXPECT_EQ(m_engine.ExpandText("{ACC*2} {KNW}", out, 1, 0), 1);
    EXPECT_EQ(out, "14.0 65534.0");
    EXPECT_EQ(m_engine.ExpandText("{ACC2}", out, 0, 1), 0) << "a register the drive refuses";
    m_dist.Stop();
}

TEST_F(TemplateLanguageTest, WithAProcessorItsCallbacksReplaceTheMessageBoxes)
{
    Processor processor;
    m_engine.SetExtProcessor(&processor);
    const struct {
        const char* text;
        int success;
        const char* completion;
    } cases[] = {
        {"!LOG:fine\n", 1, "Report successfully created."},
        {"!BAD\n", 0, "Report completed with errors.  View error log?"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        m_home.Write("t.dat", c.text);
        m_engine.SetTemplateFile(m_home.File("t.dat").c_str());
        ASSERT_EQ(m_engine.StartOperation(1, 1, m_home.File("out.txt").c_str(), "", 0), 1);
        ASSERT_TRUE(RunToEnd(m_engine));
        EXPECT_EQ(processor.m_completed, c.success);
        EXPECT_EQ(processor.m_completion, c.completion);
        EXPECT_TRUE(m_host.m_boxes.empty()) << m_host.m_boxes.front().GetString();
        EXPECT_EQ(m_host.m_progressOpened, 0);
    }
}
