#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FirmwareTestSupport.h"
#include "firmware/SerialFlashProgrammerScript.h"
#include "platform/core/MessageBox.h"
#include "testing/TempDir.h"

using namespace fwtest;

namespace {

class ScriptTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        programmer.SetReportCallback(&reports);
        script.SetProgrammer(&programmer);
    }

    FastProgrammer programmer;
    ReportRecorder reports;
    CSerialFlashProgrammerScript script;
};

}  // namespace

TEST_F(ScriptTest, CheckerTableOfGoodAndBadScripts)
{
    struct Case {
        const char* script;
        const char* errors;  // empty: the script is good
    };
    const Case cases[] = {
        {"OpenPort\nSetCpu(1)\nLoadKernel(\"k1.txt\",0)\nLoadFirmware(\"f1.txt\", 0)\nResetCpu1AndBootCpu2\n"
         "SetCpu(2)\nLoadKernel(\"k2.txt\",4)\nAutoBaudLock\nResetCpu1AndLoadCm\nMessageBox(\"Power cycle\")\n"
         "ReportAction(\"Done\")\nReportStatus(\"Ready\")\nSleepMS(6)\nClosePort\n",
         ""},
        {"  setcpu(2)  \n\n\topenport\r\n", ""},
        {"OpenPort\nSetCpu(1)\nFoo\n", "ERROR: Line 3: Unknown script command: Foo\n"},
        {"SetCpu(1)\n\n\nBar(1)\nSetCpu 2\n",
         "ERROR: Line 4: Unknown script command: Bar(1)\nERROR: Line 5: '(' expected\n"},
        {"LoadKernel(\"k.txt\")\nLoadFirmware(\"f.txt\",0,1)\nMessageBox(Hello)\nSleepMS(5\n",
         "ERROR: Line 1: missing parameters\nERROR: Line 2: too many parameters\n"
         "ERROR: Line 3: '\"'expected\nERROR: Line 4: ')' expected\n"},
        {"LoadKernel(\"../k.txt\",0)\nLoadFirmware(\"sub/f.txt\",0)\nLoadFirmware(\"..\",0)\n",
         "ERROR: Line 1: Not a plain file name: ../k.txt\nERROR: Line 2: Not a plain file name: sub/f.txt\n"
         "ERROR: Line 3: Not a plain file name: ..\n"},
    };
    for (const Case& c : cases) {
        script.SetScript(c.script);
        CString errors = "untouched";
        const int good = script.CheckScript(errors);
        EXPECT_EQ(good, *c.errors ? 0 : 1) << c.script;
        EXPECT_EQ(errors, *c.errors ? c.errors : "untouched") << c.script;
    }
    EXPECT_TRUE(reports.events.empty());  // checking sends nothing and reports nothing
}

TEST_F(ScriptTest, EveryLineFailsWithoutAProgrammer)
{
    script.SetProgrammer(nullptr);
    script.SetScript("SetCpu(1)\nClosePort\n");
    CString errors;
    EXPECT_EQ(script.CheckScript(errors), 0);
    EXPECT_EQ(errors, "ERROR: Line 1: No programmer available\nERROR: Line 2: No programmer available\n");
    EXPECT_EQ(script.RunScript(0), 0);
    EXPECT_EQ(script.GetErrorText(), "No programmer available");
}

TEST_F(ScriptTest, RunStopsAtTheFirstFailingLineAndReportsIt)
{
    AfxTakeScriptedMessageLog();
    script.SetDebug(1);
    script.SetScript("ReportAction(\"Updating\")\nMessageBox(\"Switch the drive on\")\nReportStatus(\"Now\")\n"
                     "OpenPort\nReportAction(\"never\")\n");
    EXPECT_EQ(script.RunScript(0), 0);
    EXPECT_EQ(script.GetErrorText(), "Could not get serial port settings.");
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"Debug", "DEBUG:ReportAction(\"Updating\")"},
        {"Action", "Updating"},
        {"Debug", "DEBUG:MessageBox(\"Switch the drive on\")"},
        {"Debug", "DEBUG:ReportStatus(\"Now\")"},
        {"Status", "Now"},
        {"Debug", "DEBUG:OpenPort"},
        {"Error", "Could not get serial port settings."},
    };
    EXPECT_EQ(reports.events, expected);
    const std::vector<CString> boxes = AfxTakeScriptedMessageLog();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].Find("Switch the drive on"), -1);
}

TEST_F(ScriptTest, AFailureWhoseReasonIsWithTheProgrammerIsNotReportedTwice)
{
    script.SetConstant("SerialPort", "/dev/no-such-port");
    script.SetConstantInt("Baudrate", 115200);
    script.SetScript("OpenPort\n");
    EXPECT_EQ(script.RunScript(0), 0);
    EXPECT_EQ(script.GetErrorText(), "Could not open serial port.");
    EXPECT_TRUE(reports.Of("Error").empty());
}

TEST_F(ScriptTest, ConstantsKeepTheirTextAndConvertLikeTheCLibrary)
{
    script.SetConstant("PartNum", "QX-100");
    script.SetConstantInt("Baudrate", 115200);
    script.SetConstant("Odd", "12abc");
    script.SetConstant("Text", "abc");
    script.SetConstant("PartNum", "QX-200");
    CString text;
    int value = -1;
    EXPECT_EQ(script.GetConstant("PartNum", text), 1);
    EXPECT_EQ(text, "QX-200");
    EXPECT_EQ(script.GetConstantInt("Baudrate", value), 1);
    EXPECT_EQ(value, 115200);
    EXPECT_EQ(script.GetConstantInt("Odd", value), 1);
    EXPECT_EQ(value, 12);
    EXPECT_EQ(script.GetConstantInt("Text", value), 1);
    EXPECT_EQ(value, 0);
    EXPECT_EQ(script.GetConstant("Missing", text), 0);
    EXPECT_EQ(script.GetConstantInt("Missing", value), 0);
}

TEST_F(ScriptTest, RecordingWritesLinesAndPacksEachFileOnce)
{
    TempDir dir;
    dir.Write("kernel1.txt", std::string(100, 'k'));
    dir.Write("fw1.txt", std::string(250, 'f'));
    const CString kernel = dir.File("kernel1.txt").c_str();
    const CString firmware = dir.File("fw1.txt").c_str();

    script.AddSetCpu(1);
    script.AddLoadKernel(kernel, 0);
    script.AddLoadFirmware(firmware, 8);
    script.AddMessageBox("Cycle power");
    script.AddSleepMS();
    script.AddSetCpu(2);
    script.AddLoadKernel(kernel, 4);
    EXPECT_EQ(script.GetScript(), "SetCpu(1)\nLoadKernel(\"kernel1.txt\",0)\nLoadFirmware(\"fw1.txt\",8)\n"
                                  "MessageBox(\"Cycle power\")\nSleepMS(6)\nSetCpu(2)\nLoadKernel(\"kernel1.txt\",4)\n");
    ASSERT_EQ(script.GetFileList().GetCount(), 2);
    EXPECT_EQ(script.GetFileList().GetHead(), kernel);
    EXPECT_EQ(script.GetFileList().GetTail(), firmware);
    // Each packed file counts once toward the progress total.
    EXPECT_EQ(script.GetTotalFileSize(), 350);
    CString errors;
    EXPECT_EQ(script.CheckScript(errors), 1) << errors.GetString();
}

TEST_F(ScriptTest, DescribeListsScriptConstantsAndFiles)
{
    CString text;
    script.Describe(text);
    EXPECT_EQ(text, "Script\n------\n\nConstants\n---------\n(None)\n\n\nFiles\n-----\n(None)\n\n");

    script.SetScript("SetCpu(1)\n");
    script.SetConstant("PartNum", "QX-100");
    script.SetConstantInt("Baudrate", 38400);
    TempDir dir;
    dir.Write("k.txt", "x");
    script.AddLoadKernel(dir.File("k.txt").c_str(), 0);
    script.Describe(text);
    const std::string expected = "Script\n------\nSetCpu(1)\nLoadKernel(\"k.txt\",0)\n\n"
                                 "Constants\n---------\n"
                                 "PartNum              = \"QX-100\"\n"
                                 "Baudrate             = \"38400\"\n\n"
                                 "Files\n-----\n" +
                                 dir.File("k.txt") + "\n";
    EXPECT_EQ(std::string(text.GetString()), expected);
}
