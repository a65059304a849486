// The main of every window test program: headless windows, scripted message
// boxes, and a deadline on modal loops so a stuck dialog fails the test
// instead of hanging the run.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/ui/MsgBox.h"
#include "platform/ui/UserInput.h"
#include "platform/ui/WinApp.h"

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ::testing::InitGoogleTest(&argc, argv);
    AfxWinInit();
    AfxSetScriptedMode(TRUE);
    kvtest::SetModalTimeout(10000);
    const int result = RUN_ALL_TESTS();
    AfxWinTerm();
    return result;
}
