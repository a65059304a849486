// The commutation windows in the gallery.
#include <gtest/gtest.h>

#include "DriveWindowStage.h"
#include "GalleryWindows.h"
#include "comm/demo/DemoRegisterCodes.h"
#include "comm/demo/DemoRegisterModel.h"
#include "platform/core/SingleLock.h"
#include "platform/ui/UserInput.h"
#include "setup/motor/windows/CommutationWindowClasses.h"
#include "setup/motor/windows/QvxGuiCommutat.h"
#include "setup/motor/windows/QvxGuiMotorSafetyDlg.h"
#include "setup/motor/windows/QvxGuiTavroCommutationAddCalcDlg.h"
#include "setup/motor/windows/QvxGuiTavroCommutationSheet.h"

namespace {

// The demo drives with smart commutation and index-auto correction.
struct CommutationStage : DriveWindowStage {
    CommutationStage()
    {
        registerWindows = [](CGuiUpdateDlgIdMap& registry) { RegisterCommutationWindows(registry); };
        prepare = [](CDemoRegisterModel& model) {
            const std::pair<int, LONG> seeds[] = {{3373, 1}, {3181, 1}};
            for (int drive : {1, 2}) {
                for (const auto& [code, value] : seeds)
                    model.SetRegister(drive, code, value, 1);
                model.SetRegister(drive, demo_codes::MDI, 14, 1);
                model.SetRegister(drive, demo_codes::MDL, 0x8, 1);
            }
        };
    }
};

bool Shown(CWnd* dlg, int id)
{
    CString text;
    dlg->GetDlgItemText(id, text);
    return !text.IsEmpty() && text != "Waiting...";
}

// A converted value: its conversion parameter is computed a few drive-table
// cycles after the raw reply, which reads "Unavailable" until then.
bool Converted(CWnd* dlg, int id)
{
    CString text;
    dlg->GetDlgItemText(id, text);
    return Shown(dlg, id) && text != "Unavailable";
}

}  // namespace

void ShowKrelnCommutation(GalleryShots& shots)
{
    CommutationStage stage;
    ASSERT_TRUE(stage.Open());
    AfxWriteProfileInt("GENERAL", "DFLTDRV", 1);
    auto* dlg = dynamic_cast<CQvxGuiCommutat*>(stage.frame.m_registry.CreateGui("COMMUTATION", nullptr, 1));
    ASSERT_NE(dlg, nullptr);
    ASSERT_TRUE(AfxPumpMessagesUntil([&] { return dlg->GetDrive() == 1 && dlg->AreStagesDone(); }, 10000));
    AfxPumpMessagesUntil([&] { return Shown(dlg, IDC_COMMUTAT_RAMP_TIME) && Shown(dlg, IDC_COMMUTAT_PHASE_LEAD); },
                         5000);
    shots.Take(dlg, "smart commutation, rotary");
    kvtest::Click(dlg->GetDlgItem(IDC_COMMUTAT_INIT_HALL));
    kvtest::Click(dlg->GetDlgItem(IDC_COMMUTAT_ENABLE_AUTOPHASE));
    shots.Take(dlg, "Hall with auto-phasing");
    dlg->SetClosing(1);
}

void ShowMotorSafety(GalleryShots& shots)
{
    CommutationStage stage;
    ASSERT_TRUE(stage.Open());
    auto* dlg = dynamic_cast<CQvxGuiMotorSafetyDlg*>(stage.frame.m_registry.CreateGui("MOTOR_SAFETY", nullptr, 1));
    ASSERT_NE(dlg, nullptr);
    ASSERT_TRUE(AfxPumpMessagesUntil([&] { return dlg->GetDrive() == 2 && dlg->AreStagesDone(); }, 10000));
    AfxPumpMessagesUntil(
        [&] {
            return Shown(dlg, IDC_MSAFE_FOLD_RATE_DRIVE) && Converted(dlg, IDC_MSAFE_OVERSPEED) &&
                   Converted(dlg, IDC_MSAFE_OVERSPEED_DRIVE) && dlg->IsDlgButtonChecked(IDC_MSAFE_I2T) &&
                   dlg->IsDlgButtonChecked(IDC_MSAFE_LOW_SPEED_BREAKER) && dlg->RunPrediction();
        },
        5000);
    shots.Take(dlg, "breaker and I2T prediction on");
    dlg->SetClosing(1);
}

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

namespace {
// The Tavro drive with a brushless motor: CIM and MFT pick the feedback,
// the hardware word the inputs the drive has.
void PrepareBrushless(CDemoRegisterModel& model, LONG cim, LONG mft, LONG hardware)
{
    using namespace demo_codes;
    const std::pair<int, LONG> registers[] = {{3373, cim}, {13524, mft}, {9859, 12}, {6308, 0x12}};
    for (const auto& [code, value] : registers)
        model.SetRegister(2, code, value, 1);
    CSingleLock lock(&model.Lock(), TRUE);
    model.SetRegister(2, MDI, 14, 1);
    model.SetRegister(2, MDL, hardware, 1);
}

void ShowSheet(GalleryShots& shots, LONG cim, LONG mft, LONG hardware, const char* state)
{
    DriveWindowStage stage;
    stage.prepare = [=](CDemoRegisterModel& model) { PrepareBrushless(model, cim, mft, hardware); };
    stage.registerWindows = [](CGuiUpdateDlgIdMap& registry) { RegisterCommutationWindows(registry); };
    ASSERT_TRUE(stage.Open());
    auto* sheet = dynamic_cast<CQvxGuiTavroCommutationSheet*>(
        stage.frame.m_registry.CreateGui("TAVRO_COMMUTATION_SETTINGS", nullptr, 1));
    ASSERT_NE(sheet, nullptr);
    ASSERT_TRUE(AfxPumpMessagesUntil([&] {
        double lines = 0;
        return sheet->AreStagesDone() && sheet->GetFeedbackPage().AreStagesDone() &&
               sheet->GetFeedbackPage().GetWorkingLines(lines);
    }, 10000));
    AfxPumpMessagesUntil([&] {
        CString phase;
        sheet->GetConfigPage().GetDlgItemText(IDC_CCFG_PHASE_WORK, phase);
        return phase != "Waiting...";
    }, 5000);
    int rounds = 0;
    sheet->SelectPage(&sheet->GetConfigPage());
    AfxPumpMessagesUntil([&] { return ++rounds > 30; }, 500);
    shots.Take(sheet, std::string(state) + ", commutation config");
    sheet->SelectPage(&sheet->GetFeedbackPage());
    AfxPumpMessagesUntil([&] { return ++rounds > 40; }, 500);
    shots.Take(sheet, std::string(state) + ", feedback config");
    sheet->SetClosing(1);
}
}  // namespace

void ShowTavroCommutationSheet(GalleryShots& shots)
{
    AfxTakeScriptedMessageLog();
    ShowSheet(shots, 1, 0x01, 0x200, "brushless with quadrature");
    ShowSheet(shots, 8, 0x04, 0x280, "brushless with a resolver");
}
