// The commutation windows in the gallery.
#include <gtest/gtest.h>

#include "DriveWindowStage.h"
#include "GalleryWindows.h"
#include "comm/demo/DemoRegisterCodes.h"
#include "comm/demo/DemoRegisterModel.h"
#include "platform/core/SingleLock.h"
#include "platform/ui/UserInput.h"
#include "setup/motor/windows/CommutationWindowClasses.h"
#include "setup/motor/windows/QvxGuiTavroCommutationAddCalcDlg.h"
#include "setup/motor/windows/QvxGuiTavroCommutationSheet.h"

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
    const std::pair<int, LONG> registers[] = {{3373, cim}, {13524, mft}, {419, 0},   {210, 1000}, {432, 8},
                                              {7891, 5},   {3596, 100},  {3378, 100}, {9859, 12},  {6308, 0x12}};
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
