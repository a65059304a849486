#include <gtest/gtest.h>

#include <map>

#include "platform/ui/UserInput.h"
#include "resources/ids/TavroCommutationAddCalcIds.h"
#include "setup/motor/windows/QvxGuiTavroCommutationAddCalcDlg.h"
#include "testing/WindowShot.h"

namespace {
std::map<int, CString> ShowAndRead(CQvxGuiTavroCommutationAddCalcDlg& dialog)
{
    std::map<int, CString> texts;
    kvtest::OnNextModal([&texts](CWnd* window) {
        for (int id = IDC_ADDCALC_COUNTS_PER_CYCLE; id <= IDC_ADDCALC_CYCLES_DRIVE; ++id)
            window->GetDlgItemText(id, texts[id]);
        Screenshot(window, "addcalc");
        kvtest::Click(window->GetDlgItem(IDOK));
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    return texts;
}
}  // namespace

TEST(AddCalcDlgTest, ShowsBothColumns)
{
    CQvxGuiTavroCommutationAddCalcDlg dialog;
    dialog.SetWorking(*CCommutationSheetCalc::ComputeCounts(0, 6, 1000));
    dialog.SetDrive(1000, 1, 4294967);
    std::map<int, CString> texts = ShowAndRead(dialog);
    EXPECT_EQ(texts[IDC_ADDCALC_ROLLOVER], "4000");
    EXPECT_EQ(texts[IDC_ADDCALC_CYCLES], "3");
    EXPECT_EQ(texts[IDC_ADDCALC_COUNTS_PER_CYCLE], "1333.33");
    EXPECT_EQ(texts[IDC_ADDCALC_SCALING], "1073742");
    EXPECT_EQ(texts[IDC_ADDCALC_ROLLOVER_DRIVE], "1000");
    EXPECT_EQ(texts[IDC_ADDCALC_CYCLES_DRIVE], "1");
    EXPECT_EQ(texts[IDC_ADDCALC_COUNTS_PER_CYCLE_DRIVE], "1000.00");
    EXPECT_EQ(texts[IDC_ADDCALC_SCALING_DRIVE], "4294967");
}

TEST(AddCalcDlgTest, NoDriveCyclesShowZeroCountsPerCycle)
{
    CQvxGuiTavroCommutationAddCalcDlg dialog;
    dialog.SetWorking(*CCommutationSheetCalc::ComputeCounts(1, 1, 10));  // one count: the largest scaling
    dialog.SetDrive(4000, 0, 0);
    std::map<int, CString> texts = ShowAndRead(dialog);
    EXPECT_EQ(texts[IDC_ADDCALC_COUNTS_PER_CYCLE_DRIVE], "0.00");
    EXPECT_EQ(texts[IDC_ADDCALC_SCALING], "4294967295");
}
