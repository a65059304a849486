// The drive mode windows in the gallery, on the demo Tavro drive.
#include <gtest/gtest.h>

#include "DriveWindowStage.h"
#include "GalleryWindows.h"
#include "setup/motor/windows/MotorWindowClasses.h"
#include "setup/motor/windows/QvxGuiSaveToNVMDlg.h"
#include "setup/motor/windows/QvxGuiTrajectoryGen.h"

namespace {

// The demo link, a parameter table and a ticking frame; new windows take the Tavro drive.
struct MotorModeStage : DriveWindowStage {
    MotorModeStage() { registerWindows = [](CGuiUpdateDlgIdMap& registry) { RegisterMotorModeWindows(registry); }; }
};

}  // namespace

void ShowSaveToNvm(GalleryShots& shots)
{
    MotorModeStage stage;
    ASSERT_TRUE(stage.Open());
    auto* dlg = dynamic_cast<CQvxGuiSaveToNVMDlg*>(stage.frame.m_registry.CreateGui("SAVE_NVM", nullptr, 1));
    ASSERT_NE(dlg, nullptr);
    ASSERT_TRUE(AfxPumpMessagesUntil([&] { return dlg->GetDrive() == 2 && dlg->AreStagesDone(); }, 10000));
    shots.Take(dlg, "asking");
    dlg->SetClosing(1);
}

void ShowTrajectoryGen(GalleryShots& shots)
{
    MotorModeStage stage;
    ASSERT_TRUE(stage.Open());
    auto* dlg = dynamic_cast<CQvxGuiTrajectoryGen*>(stage.frame.m_registry.CreateGui("TRAJECTORY_GEN", nullptr, 1));
    ASSERT_NE(dlg, nullptr);
    ASSERT_TRUE(AfxPumpMessagesUntil([&] { return dlg->GetDrive() == 2 && dlg->AreStagesDone(); }, 10000));
    AfxPumpMessagesUntil([&] {
        CString text;
        dlg->GetDlgItemText(IDC_TRAJ_VEL_LIMIT_DRIVE, text);
        return !text.IsEmpty() && text != "Unavailable";
    }, 5000);
    shots.Take(dlg, "opened");
    dlg->SetClosing(1);
}
