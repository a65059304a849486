#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "motion/MotionPlayback.h"
#include "platform/core/MessageBox.h"
#include "testing/TempDir.h"

namespace {

// Text files are written with CR LF.
std::string Crlf(const std::string& text)
{
    std::string out;
    for (char ch : text) {
        if (ch == '\n')
            out += '\r';
        out += ch;
    }
    return out;
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

struct ProgramRun {
    BOOL result = FALSE;
    std::string text;
    std::string csv;
    std::vector<CString> boxes;
    CString error;
    int entries = 0;
};

ProgramRun RunProgram(const std::string& program, const char* name = "prog.txt")
{
    TempDir dir;
    dir.Write(name, program);
    AfxTakeScriptedMessageLog();
    ProgramRun run;
    {
        CMotionPlayback player;
        run.result = player.TestProgram(dir.File(name).c_str());
        run.error = player.GetLastError();
    }
    run.boxes = AfxTakeScriptedMessageLog();
    run.text = dir.Read(std::string(name) + ".txt");
    run.csv = dir.Read(std::string(name) + ".csv");
    run.entries = dir.CountEntries();
    return run;
}

// A player ready to execute single lines, as during a test run.
struct LinePlayer : CMotionPlayback {
    LinePlayer()
    {
        Planner.Callback = this;
        Rotation.AxisNames = &AxisIndexByName;
        EXPECT_EQ(ExecuteLine("ASSIGN 1 = X"), 1);
        EXPECT_EQ(ExecuteLine("ASSIGN 2 = Y"), 1);
    }
    std::vector<int> BlockTypes() const
    {
        std::vector<int> types;
        for (POSITION pos = Planner.Blocks.GetHeadPosition(); pos;) {
            const CMultiAxisMoveBlock* block = Planner.Blocks.GetNext(pos);
            types.push_back(block->IsDwell ? 9 : block->GetType());
        }
        return types;
    }
};

}  // namespace

TEST(MotionPlaybackTest, SmallLinearProgramWritesDefinitionsBlocksAndPath)
{
    const ProgramRun run = RunProgram("ASSIGN 1 = X\nASSIGN 2 = Y\nSETLINEAR\nF 10\nTA 0.1\nX2 Y0\nEND\n");
    ASSERT_TRUE(run.result) << run.error.GetString();
    EXPECT_EQ(run.boxes, std::vector<CString>{"MSGBOX:Test Complete."});
    EXPECT_EQ(run.entries, 3);  // the program and its two outputs, nothing half written
    EXPECT_EQ(run.text,
              Crlf("Axis Definitions:\n"
                   "Drive 1 = 1.0X\n"
                   "Drive 2 = 1.0Y\n"
                   "\n"
                   "Blended Moves:\n"
                   "Dwell(0.00)\n"
                   "\n"
                   "FR=10.00, TC=0.10, TA1=0.10, TA2=0.10, P0=[X0.00,Y0.00], PI=[X0.00,Y0.00], PT=[X2.00,Y0.00]\n"
                   "X\t:PT=2.000,PI=0.000,P0=0.000,PC=1.500,Vmax=10.000,VI=0.000,A=0.000,PA=0.500,TSeg=0.200,"
                   "TC=0.100,TA1=0.100,TA2=0.100.LMT=0.000\n"
                   "Y\t:PT=0.000,PI=0.000,P0=0.000,PC=0.000,Vmax=0.000,VI=0.000,A=0.000,PA=0.000,TSeg=0.200,"
                   "TC=0.100,TA1=0.100,TA2=0.100.LMT=0.000\n"
                   "\n"
                   "FR=0.00, TC=0.00, TA1=0.10, TA2=0.10, P0=[X1.50,Y0.00], PI=[X2.00,Y0.00], PT=[X1.50,Y0.00]\n"
                   "X\t:PT=1.500,PI=2.000,P0=1.500,PC=2.000,Vmax=0.000,VI=10.000,A=0.000,PA=2.000,TSeg=0.200,"
                   "TC=0.100,TA1=0.100,TA2=0.100.LMT=0.000\n"
                   "Y\t:PT=0.000,PI=0.000,P0=0.000,PC=0.000,Vmax=0.000,VI=0.000,A=0.000,PA=0.000,TSeg=0.200,"
                   "TC=0.100,TA1=0.100,TA2=0.100.LMT=0.000\n"
                   "\n"
                   "Dwell(0.00)\n"
                   "\n"));
    const std::vector<std::string> csv = Lines(run.csv);
    ASSERT_EQ(csv.size(), 31u);
    EXPECT_EQ(csv[0], "0.000,     0.000,     0.000,     0.000,     0.000");
    EXPECT_EQ(csv[1], "0.010,     0.005,     0.000,     1.000,     0.000");
    EXPECT_EQ(csv[15], "0.150,     1.000,     0.000,     10.000,     0.000");
    EXPECT_EQ(csv[25], "0.250,     1.875,     0.000,     5.000,     0.000");
    EXPECT_EQ(csv[30], "0.300,     2.000,     0.000,     0.000,     0.000");
    EXPECT_NE(run.csv.find("\r\n"), std::string::npos);
}

TEST(MotionPlaybackTest, DrivesFollowTheirAssignedAxesInEveryColumn)
{
    const ProgramRun run = RunProgram("ASSIGN 1 = 2X - Y\nASSIGN 2 = Y\nASSIGN 3 = Z\nX1 Y2 Z3\nEND\n", "prog.mot");
    ASSERT_TRUE(run.result) << run.error.GetString();
    EXPECT_EQ(run.text, Crlf("Axis Definitions:\n"
                             "Drive 1 = 2.0X\n"
                             "Drive 1 = -1.0Y\n"
                             "Drive 2 = 1.0Y\n"
                             "Drive 3 = 1.0Z\n"
                             "\n"
                             "Blended Moves:\n"
                             "RAPID\n"
                             "Dwell(0.00)\n"
                             "\n"));
    const std::vector<std::string> csv = Lines(run.csv);
    ASSERT_FALSE(csv.empty());
    for (const std::string& line : csv) {
        int commas = 0;
        for (char ch : line)
            commas += ch == ',';
        EXPECT_EQ(commas, 4) << line;
    }
    // The rapid ends with drive 1 at 2 x 1 - 2 = 0 and drive 2 at 2.
    EXPECT_EQ(csv.back().substr(csv.back().find(',') + 1), "     0.000,     2.000,     0.000,     0.000");
}

TEST(MotionPlaybackTest, EveryKeywordRunsToCompletion)
{
    const ProgramRun run = RunProgram(
        "; a program with every word\n"
        "ASSIGN 1 = X\nASSIGN 2 = Y\nASSIGN 3 = Z\n"
        "UNASSIGN 3\n"
        "ASSIGN 3 = Z\n"
        "UNASSIGNALL\n"
        "ASSIGN 1 = X\nASSIGN 2 = Y\nASSIGN 3 = Z\n"
        "TM 2\nTA 0.05\n"
        "N 10\n"
        "SETSPLINE\nX1 Y1\nX2 Y2 ; knot\nX3 Y3\n"
        "SETPVT\nX4:1 Y4 : 0\nX5 Y5\n"
        "SETRAPID\nX0 Y0\n"
        "SETLINEAR\nF 20 X1 Y0\n"
        "INC\nX1\nABS\n"
        "ROT R90 X0 Y0\nX1 Y0\nCLEARROT\n"
        "SETCIRCLECCW\nX2 Y1 R-1\n"
        "SETPLANE 1\nSETCIRCLECW\nX4 Z0 I3 K0\n"
        "SETPLANE 0\n"
        "DWELL 0.1\nDWELL\n"
        "GOSUB 100\n"
        "END\n"
        "N100\nSETLINEAR\nX0 Y0 Z0\nRETURN\n");
    ASSERT_TRUE(run.result) << run.error.GetString();
    const std::vector<std::string> lines = Lines(run.text);
    std::vector<std::string> kinds;
    for (const std::string& line : lines) {
        if (line == "SPLINE" || line == "PVT" || line == "RAPID" || line.rfind("Dwell", 0) == 0 ||
            line.rfind("FR=", 0) == 0)
            kinds.push_back(line.rfind("FR=", 0) == 0 && line.rfind("FR=0.00", 0) != 0 ? "move"
                                                                                      : line.substr(0, line.find(',')));
    }
    // Circles have no text; the subroutine's mode change adds a dwell; END stops the last move.
    const std::vector<std::string> expected = {
        "Dwell(0.00)", "SPLINE", "SPLINE",      "SPLINE",      "Dwell(0.00)", "PVT",  "PVT",
        "Dwell(0.00)", "RAPID",  "Dwell(0.00)", "move",        "move",        "move", "Dwell(0.10)",
        "Dwell(0.00)", "Dwell(0.00)", "move",   "FR=0.00",     "Dwell(0.00)"};
    EXPECT_EQ(kinds, expected);
    // The rotated move: X1 Y0 turned by 90 degrees about the origin.
    EXPECT_NE(run.text.find("PT=[X-0.00,Y1.00]"), std::string::npos);
}

TEST(MotionPlaybackTest, LabelsJumpsAndSubroutines)
{
    const ProgramRun run = RunProgram("ASSIGN 1 = X\n"
                               "SETLINEAR\n"
                               "F 100\n"
                               "N1\n"             // reached in sequence: nothing to do
                               "X1\n"
                               "GOTO 3\n"
                               "X99\n"            // skipped
                               "N  3\n"
                               "GOSUB 20\n"
                               "X3\n"
                               "END\n"
                               "N20\n"
                               "X2 GOSUB 30\n"    // the move before the jump is planned
                               "RETURN\n"
                               "N30\n"
                               "X2.5\n"
                               "RETURN\n");
    ASSERT_TRUE(run.result) << run.error.GetString();
    std::vector<std::string> targets;
    for (const std::string& line : Lines(run.text)) {
        const size_t at = line.find("PT=[");
        if (line.rfind("FR=", 0) == 0 && line.rfind("FR=0.00", 0) != 0 && at != std::string::npos)
            targets.push_back(line.substr(at));
    }
    EXPECT_EQ(targets, (std::vector<std::string>{"PT=[X1.00]", "PT=[X2.00]", "PT=[X2.50]", "PT=[X3.00]"}));
}

TEST(MotionPlaybackTest, LinesOneByOne)
{
    LinePlayer player;
    EXPECT_EQ(player.ExecuteLine("; only a comment"), 1);
    EXPECT_EQ(player.ExecuteLine("   "), 1);
    EXPECT_TRUE(player.Planner.Blocks.IsEmpty());

    // The start mode is rapid: two axis words plan one rapid block.
    EXPECT_EQ(player.ExecuteLine("x1 y2 ; the rest is a comment Z9"), 1);
    EXPECT_EQ(player.BlockTypes(), (std::vector<int>{1}));
    EXPECT_EQ(player.LastTargets.Get(1), 2.0);
    EXPECT_EQ(player.ExecuteLine("SETRAPID"), 1);  // no change of mode: no dwell
    EXPECT_EQ(player.ExecuteLine("SETLINEAR"), 1);
    EXPECT_EQ(player.BlockTypes(), (std::vector<int>{1, 9}));
    EXPECT_EQ(player.ExecuteLine("F 25 X30 Y2"), 1);
    EXPECT_EQ(player.Planner.FeedRate, 25.0);
    EXPECT_EQ(player.Planner.Blocks.GetTail()->FR, 25.0);

    // INC adds to the axes that already have a target; an axis first named under INC does not move.
    EXPECT_EQ(player.ExecuteLine("ABS"), 1);
    EXPECT_EQ(player.ExecuteLine("X0"), 1);
    EXPECT_EQ(player.ExecuteLine("INC"), 1);
    EXPECT_EQ(player.ExecuteLine("X1"), 1);
    EXPECT_EQ(player.LastTargets.Get(0), 1.0);
    EXPECT_EQ(player.ExecuteLine("X1 Y5"), 1);
    EXPECT_EQ(player.LastTargets.Get(0), 2.0);
    EXPECT_FALSE(player.LastTargets.Has(1));

    EXPECT_EQ(player.ExecuteLine("TM 3"), 1);
    EXPECT_EQ(player.Planner.TimeMode, 1);
    EXPECT_EQ(player.ExecuteLine("F 5"), 1);
    EXPECT_EQ(player.Planner.TimeMode, 0);
    EXPECT_EQ(player.ExecuteLine("SETPLANE 2"), 1);
    EXPECT_EQ(player.Planner.Plane, 2);
    EXPECT_EQ(player.ExecuteLine("END"), 0);
}

TEST(MotionPlaybackTest, AssignBuildsCoefficientsAndNames)
{
    LinePlayer player;
    EXPECT_EQ(player.ExecuteLine("ASSIGN 3 = 2Z - 0.5X"), 1);
    double coefficient = 0.0;
    int z = -1;
    ASSERT_TRUE(player.AxisIndexByName.Lookup(CString("Z"), z));
    EXPECT_EQ(z, 2);
    ASSERT_TRUE(player.CoordSys.Forward.Lookup(CCoordSysMap::Key(z, 3), coefficient));
    EXPECT_EQ(coefficient, 2.0);
    ASSERT_TRUE(player.CoordSys.Forward.Lookup(CCoordSysMap::Key(0, 3), coefficient));
    EXPECT_EQ(coefficient, -0.5);
    EXPECT_EQ(player.ExecuteLine("UNASSIGN 2"), 1);
    EXPECT_FALSE(player.AxisIndexByName.PLookup(CString("Y")));
    EXPECT_EQ(player.ExecuteLine("Y1"), -1);  // Y is no axis any more
    EXPECT_EQ(player.ExecuteLine("ASSIGN 2 = W"), 1);
    EXPECT_EQ(player.AxisIndexByName[CString("W")], 1);  // the free index is used again
}

TEST(MotionPlaybackTest, BadProgramsFailAndWriteNothing)
{
    struct Case {
        const char* name;
        const char* program;
        const char* error;
    };
    const Case cases[] = {
        {"unknown word", "ASSIGN 1 = X\nX1 FOO\n", "unknown word \"FOO\""},
        {"missing label", "ASSIGN 1 = X\nGOTO 5\n", "no label N5"},
        {"subroutine label missing", "GOSUB 7\n", "no label N7"},
        {"return without gosub", "ASSIGN 1 = X\nX1\nRETURN\n", "RETURN without GOSUB"},
        {"circle centre does not fit", "ASSIGN 1 = X\nASSIGN 2 = Y\nSETCIRCLECW\nX10 Y1 I5 J0\n", "centre"},
        {"circle radius too short", "ASSIGN 1 = X\nASSIGN 2 = Y\nSETCIRCLECCW\nX10 Y0 R2\n", "radius"},
        {"circle without words", "ASSIGN 1 = X\nASSIGN 2 = Y\nSETCIRCLECCW\nX10 Y0\n", "needs R"},
        {"assign ends in a sign", "ASSIGN 1 = X -\n", "must end with an axis name"},
        {"assign without =", "ASSIGN 1 X\n", "needs \"=\""},
        {"assign without terms", "ASSIGN 1 =\n", "needs terms"},
        {"assign two signs", "ASSIGN 1 = X +-Y\n", "two signs"},
        {"assign stray character", "ASSIGN 1 = X*Y\n", "unexpected"},
        {"end velocity outside PVT", "ASSIGN 1 = X\nX1:3\n", "only taken in PVT"},
        {"end velocity missing", "ASSIGN 1 = X\nSETPVT\nX1:\n", "needs an end velocity"},
        {"axis without number", "ASSIGN 1 = X\nX\n", "needs a number"},
        {"feed without number", "F\n", "needs a number"},
        {"zero acceleration time", "TA 0\n", "TA needs"},
        {"stray text after a move", "ASSIGN 1 = X\nX1, X2\n", "unexpected \", X2\""},
        {"plane out of range", "SETPLANE 5\n", "SETPLANE takes"},
        {"label with more on its line", "ASSIGN 1 = X\nN5 X1\n", "unknown word \"N\""},
        {"rotation without its axes", "ASSIGN 1 = X\nROT R30\n", "ROT needs"},
        {"rotated move without Y", "ASSIGN 1 = X\nASSIGN 2 = Y\nROT R30\nX1\n", "rotated move"},
        {"jumps forever", "ASSIGN 1 = X\nN1\nX1\nX2\nGOTO 1\n", "without ending"},
        {"calls itself forever", "N1\nGOSUB 1\n", "without ending"},
        {"path too long", "ASSIGN 1 = X\nDWELL 99999\nEND\n", "longer than"},
        {"zero feed rate", "ASSIGN 1 = X\nF 0\nX10\n", "line 2: F needs a value above 0"},
        {"negative feed rate", "ASSIGN 1 = X\nF -10\nX10\n", "line 2: F needs a value above 0"},
        {"zero move time", "ASSIGN 1 = X\nTM 0\nX10\n", "line 2: TM needs a value above 0"},
        {"negative dwell", "ASSIGN 1 = X\nDWELL -5\n", "line 2: DWELL needs a time of 0 or more"},
        {"number with an exponent", "ASSIGN 1 = X\nX1e3\n", "line 2: number \"1E3\""},
        {"number with a signed exponent", "ASSIGN 1 = X\nX2.5E-2\n", "number \"2.5E-2\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ProgramRun run = RunProgram(c.program);
        EXPECT_FALSE(run.result);
        EXPECT_EQ(run.boxes, std::vector<CString>{"MSGBOX:ERROR: Test failed"});
        EXPECT_NE(run.error.Find(c.error), -1) << run.error.GetString();
        EXPECT_EQ(run.entries, 1);  // only the program: no output, no temporary file
    }
}

TEST(MotionPlaybackTest, ErrorsNameTheirLine)
{
    const ProgramRun run = RunProgram("ASSIGN 1 = X\n\nX1\nBOGUS\n");
    EXPECT_STREQ(run.error, "line 4: unknown word \"BOGUS\"");
}

TEST(MotionPlaybackTest, ALineHoldingANulByteIsRefusedWholeWithItsNumber)
{
    const ProgramRun run = RunProgram(std::string("ASSIGN 1 = X\nASSIGN 2 = Y\nX1\0Y2\nX3\n", 35));
    EXPECT_FALSE(run.result);
    EXPECT_STREQ(run.error, "line 3: the line holds a NUL byte");
    EXPECT_EQ(run.boxes, std::vector<CString>{"MSGBOX:ERROR: Test failed"});
}

TEST(MotionPlaybackTest, AnOverLongLineIsRefusedWholeWithItsNumber)
{
    // A comment that runs past the longest line must not become a line of its own.
    const std::string longComment = "X1 ;" + std::string(994, ' ') + "X99";
    ProgramRun run = RunProgram("ASSIGN 1 = X\n" + longComment + "\nBOGUS\n");
    EXPECT_FALSE(run.result);
    EXPECT_STREQ(run.error, "line 2: the line is longer than 998 characters");
    EXPECT_EQ(run.csv, "");

    // The longest line is read whole, and the lines after it keep their numbers.
    const std::string longest = "X1 ;" + std::string(994, ' ');
    run = RunProgram("ASSIGN 1 = X\n" + longest + "\nBOGUS\n");
    EXPECT_STREQ(run.error, "line 3: unknown word \"BOGUS\"");
    run = RunProgram("ASSIGN 1 = X\r\n" + longest + "\r\nBOGUS\r\n");
    EXPECT_STREQ(run.error, "line 3: unknown word \"BOGUS\"");

    // A jump over an over-long line lands on its label and counts lines on from there.
    run = RunProgram("ASSIGN 1 = X\nGOTO 1\n;" + std::string(2000, 'x') + "\nN1\nX5\nBOGUS\n");
    EXPECT_STREQ(run.error, "line 6: unknown word \"BOGUS\"");
}

TEST(MotionPlaybackTest, MissingProgramFailsQuietly)
{
    TempDir dir;
    AfxTakeScriptedMessageLog();
    CMotionPlayback player;
    EXPECT_FALSE(player.TestProgram(dir.File("absent.txt").c_str()));
    EXPECT_TRUE(AfxTakeScriptedMessageLog().empty());
    EXPECT_EQ(dir.CountEntries(), 0);
}

TEST(MotionPlaybackTest, CirclesByCentreAndRadiusEndOnTheirPoints)
{
    const ProgramRun run = RunProgram("ASSIGN 1 = X\nASSIGN 2 = Y\nASSIGN 3 = Z\nF 10\nSETLINEAR\nX0 Y0 Z0\n"
                               "SETCIRCLECCW\nX10 Y0 R5\n"   // half turn below the X axis
                               "X10 Y0 I5 J0\n"              // full turn about (5,0)
                               "SETCIRCLECW\nX0 Y0 R-5\n"    // back over the top
                               "SETPLANE 1\nX10 Z0 I5 K0\n"  // a half turn in X-Z
                               "DWELL 0.05\nEND\n");
    ASSERT_TRUE(run.result) << run.error.GetString();
    const std::vector<std::string> csv = Lines(run.csv);
    ASSERT_GT(csv.size(), 750u);
    EXPECT_EQ(csv.back().substr(csv.back().find(',') + 1), "     10.000,     0.000,     0.000,     0.000");
    // Every sample of the first half turn stays on its circle, below the axis.
    for (size_t i = 10; i < 150; ++i) {
        double t, x, y;
        ASSERT_EQ(std::sscanf(csv[i].c_str(), "%lf, %lf, %lf", &t, &x, &y), 3);
        EXPECT_NEAR((x - 5) * (x - 5) + y * y, 25.0, 0.01) << csv[i];
        EXPECT_LE(y, 0.0005);
    }
}
