// What the backup templates compute through the program's other subsystems:
// the text lists of a drive's digital I/O, the current-loop bandwidth and the
// filter recovery's refusal of a block no drive can hold.
#include <gtest/gtest.h>

#include "app/BackupComputations.h"
#include "distribution/parameters/GlobalParameterTable.h"
#include "setup/tuning/CurrentLoopTuning.h"
#include "testing/TempDir.h"

namespace {
const char* const kFactory =
    "[TAVRO SERIES INPUT PINS]\r\nPinIndexCount=3\r\n"
    "PinIndex0=Enable,0, A2 ,PJ3-4,PJ3-5,1-3,7\r\n"
    "PinIndex1=Home Switch,4,P J3-6,5,7\r\n"
    "PinIndex2=Spare,5,5\r\n"
    "[TAVRO SERIES INPUT FUNCTIONS]\r\nFunctionCount=4\r\n"
    "Function0=12,Home,CANDUP,NOPE,G3,D,X\r\n"
    "Function1=5,Limit,no,NOPE\r\n"
    "Function2=7,Reset,candup,SETACTIVE\r\n"
    "Function3=1,Enable,x,y\r\n";
}  // namespace

TEST(BackupComputationsTest, TheIoListNamesEachConnectedPinsFirstFunctionAndItsActiveLevel)
{
    TempDir home;
    home.Write("kvfact.ini", kFactory);
    CGlobalParameterTable table;
    CBackupComputations computations(table, home.File("kvfact.ini").c_str());
    ASSERT_TRUE(computations.LoadSide(CAmpBackupToolComputations::kInputs, 0));
    CTavroIoDefinitions& inputs = computations.Side(CAmpBackupToolComputations::kInputs);
    ASSERT_TRUE(inputs.AddConnection(0, 0, 7));
    inputs.SetConnectionLevel(7, 0, 0, 1);
    ASSERT_TRUE(inputs.AddConnection(1, 0, 5));
    EXPECT_EQ("    Enable --> Reset (Active=ON)\r\n"
              "    Home Switch --> Limit\r\n",
              computations.BuildIoFunctionList(CAmpBackupToolComputations::kInputs))
        << "a pin without a connection has no line; a level the user cannot choose is not shown";
    EXPECT_EQ("", computations.BuildIoFunctionList(CAmpBackupToolComputations::kOutputs));
    EXPECT_FALSE(computations.LoadSide(CAmpBackupToolComputations::kOutputs, 0)) << "no output sections";
}

TEST(BackupComputationsTest, TheBandwidthIsTheTuningsAndABadFilterBlockIsRefused)
{
    CGlobalParameterTable table;
    CBackupComputations computations(table, "");
    EXPECT_DOUBLE_EQ(CalcCurrentLoopBandwidth(100, 200, 300, 400, 48, 1.5),
                     computations.CalcCurrentLoopBandwidth(100, 200, 300, 400, 48, 1.5));
    const int shiftOutOfRange[6] = {0, 0, 1, 0, 0, 99};
    FilterArguments arguments;
    EXPECT_FALSE(computations.CalcFilterArgsFromCoefficients(0, shiftOutOfRange, 1, 4000.0, arguments));
    EXPECT_FALSE(computations.GetFilterTypeCode(1).IsEmpty());
}
