// The drive mode windows in the gallery, on the demo Tavro drive.
#include <gtest/gtest.h>

#include "DriveWindowStage.h"
#include "GalleryWindows.h"
#include "setup/motor/windows/MotorWindowClasses.h"
#include "setup/motor/windows/QvxGuiAmpModeSettingsSheet.h"
#include "setup/motor/windows/QvxGuiGcodeEncodersDlg.h"
#include "setup/motor/windows/QvxGuiSaveToNVMDlg.h"
#include "setup/motor/windows/QvxGuiSetupMode2.h"
#include "setup/motor/windows/QvxGuiTrajectoryGen.h"

namespace {

// The demo link, a parameter table and a ticking frame; new windows take the Tavro drive.
struct MotorModeStage : DriveWindowStage {
    MotorModeStage() { registerWindows = [](CGuiUpdateDlgIdMap& registry) { RegisterMotorModeWindows(registry); }; }
};

bool HasText(CWnd* dlg, int id)
{
    CString text;
    dlg->GetDlgItemText(id, text);
    return !text.IsEmpty();
}

constexpr int kModeCode = 13796;

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

void ShowDriveModeSheet(GalleryShots& shots)
{
    MotorModeStage stage;
    // Current mode first, a rotary motor, plain analog input settings.
    stage.prepare = [](CDemoRegisterModel& model) {
        model.SetRegister(2, kModeCode, 0x00, 1);
        model.SetRegister(2, 3188, 0, 1);
        model.SetRegister(2, 419, 0, 1);
        model.SetRegister(2, 27255, 40, 1);
        model.SetRegister(2, 9267, 1000, 1);
        model.SetRegister(2, 9263, 12, 1);
        model.SetRegister(2, 9252, 4, 1);
        model.SetRegister(2, 16623, 5, 1);
        model.SetRegister(2, 16617, 2, 1);
    };
    ASSERT_TRUE(stage.Open());
    auto* sheet = dynamic_cast<CQvxGuiAmpModeSettingsSheet*>(
        stage.frame.m_registry.CreateGui("AMP_MODE_SETTINGS_SHEET", nullptr, 1));
    ASSERT_NE(sheet, nullptr);
    ASSERT_TRUE(AfxPumpMessagesUntil([&] {
        return sheet->m_velocityPage.AreStagesDone() && sheet->m_positionPage.AreStagesDone() &&
               sheet->m_currentPage.AreStagesDone();
    }, 10000));
    const auto shown = [](CWnd* page, int id) {
        CString text;
        page->GetDlgItemText(id, text);
        return !text.IsEmpty() && text != "Unavailable";
    };
    AfxPumpMessagesUntil([&] { return shown(&sheet->m_currentPage, IDC_CUR_GAIN_DRIVE); }, 5000);
    shots.Take(sheet, "current");
    // Velocity mode with the analog input.
    stage.factory.m_simulator->Model().SetRegister(2, kModeCode, 0x02, 1);
    sheet->SelectPage(&sheet->m_velocityPage);
    AfxPumpMessagesUntil([&] {
        return sheet->m_velocityPage.IsWindowVisible() && shown(&sheet->m_velocityPage, IDC_VEL_GAIN_DRIVE) &&
               shown(&sheet->m_velocityPage, IDC_VEL_ZERO_SPEED_DRIVE) &&
               CGuiUpdatePpg::GetTabText(&sheet->m_velocityPage) == "[X] Velocity";
    }, 5000);
    shots.Take(sheet, "velocity");
    // Position mode with the pulse follower: the gearing rows fill in.
    stage.factory.m_simulator->Model().SetRegister(2, kModeCode, 0x0C, 1);
    sheet->SelectPage(&sheet->m_positionPage);
    AfxPumpMessagesUntil([&] { return shown(&sheet->m_positionPage, IDC_POS_GEAR_IN_DRIVE); }, 5000);
    shots.Take(sheet, "position");
    sheet->m_positionPage.CheckDlgButton(IDC_POS_SHOW_CALCULATED, BST_CHECKED);
    sheet->m_positionPage.UpdateEnables();
    AfxPumpMessagesUntil([&] { return shown(&sheet->m_positionPage, IDC_POS_RATIO_DRIVE); }, 5000);
    shots.Take(sheet, "position-calculated");
    sheet->SetClosing(1);
}

void ShowCommandMode(GalleryShots& shots)
{
    MotorModeStage stage;
    // Position mode with the pulse follower, pulse and direction input, on a CS 5 drive.
    stage.prepare = [](CDemoRegisterModel& model) {
        model.SetRegister(1, 115, 5, 1);
        model.SetRegister(1, 3373, 0, 1);
        model.SetRegister(1, 16617, 1, 1);
        model.SetRegister(1, 16623, 2600, 1);
        model.SetRegister(1, kModeCode, 0x0C, 1);
        model.SetRegister(1, 16589, 0, 1);
    };
    ASSERT_TRUE(stage.Open());
    auto* dlg = dynamic_cast<QvxGuiSetupMode2*>(stage.frame.m_registry.CreateGui("MODE", nullptr, 1));
    ASSERT_NE(dlg, nullptr);
    ASSERT_TRUE(AfxPumpMessagesUntil([&] { return dlg->GetDrive() == 1 && dlg->AreStagesDone(); }, 10000));
    AfxPumpMessagesUntil([&] {
        return dlg->IsDlgButtonChecked(IDC_CMD_CURRENT_LOOP) == BST_CHECKED &&
               dlg->GetDlgItem(IDC_CMD_PULSE_DIR)->IsWindowEnabled() && HasText(dlg, IDC_CMD_PWM_TIMEOUT);
    }, 5000);
    shots.Take(dlg, "pulse-follower");
    dlg->SetClosing(1);
}

void ShowElectronicGearing(GalleryShots& shots)
{
    MotorModeStage stage;
    // Firmware with the power-of-two divisor and the output reverse; divisor 4, reversed.
    stage.prepare = [](CDemoRegisterModel& model) {
        model.SetRegister(1, kModeCode, 0x0C, 1);
        model.SetRegister(1, 22706, 423, 1);
        model.SetRegister(1, 6308, 0x83, 1);
        // Hardware word element 23 without the plain-divisor bit (MDL 13452 through its index MDI 13449).
        LONG index = 0;
        model.GetRegister(1, 13449, index);
        model.SetRegister(1, 13449, 23, 1);
        model.SetRegister(1, 13452, 0, 1);
        model.SetRegister(1, 13449, index, 1);
        model.SetRegister(1, 16623, 100, 1);
        model.SetRegister(1, 16617, 3, 1);
    };
    ASSERT_TRUE(stage.Open());
    auto* dlg = dynamic_cast<CQvxGuiGcodeEncodersDlg*>(stage.frame.m_registry.CreateGui("ENCODERS", nullptr, 1));
    ASSERT_NE(dlg, nullptr);
    ASSERT_TRUE(AfxPumpMessagesUntil([&] { return dlg->GetDrive() == 1 && dlg->AreStagesDone(); }, 10000));
    AfxPumpMessagesUntil([&] {
        return HasText(dlg, IDC_GEAR_DRIVE_VALUE) && HasText(dlg, IDC_GEAR_RATIO_DRIVE) &&
               dlg->GetDlgItem(IDC_GEAR_REVERSE)->IsWindowEnabled();
    }, 5000);
    shots.Take(dlg, "opened");
    dlg->SetClosing(1);
}
