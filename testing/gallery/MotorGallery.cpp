// The commutation windows in the gallery.
#include <gtest/gtest.h>

#include "GalleryWindows.h"
#include "platform/ui/UserInput.h"
#include "setup/motor/windows/QvxGuiTavroCommutationAddCalcDlg.h"

void ShowCommutationAddCalc(GalleryShots& shots)
{
    CQvxGuiTavroCommutationAddCalcDlg dialog;
    dialog.SetWorking(*CCommutationSheetCalc::ComputeCounts(0, 6, 1000));
    dialog.SetDrive(1000, 1, 4294967);
    kvtest::OnNextModal([&shots](CWnd* window) {
        shots.Take(window, "six poles working, eight on the drive");
        kvtest::Click(window->GetDlgItem(IDOK));
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
}
