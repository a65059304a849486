// The filter and profile windows in the gallery, on the demo Tavro drive.
#include <gtest/gtest.h>

#include "DriveWindowStage.h"
#include "GalleryWindows.h"
#include "comm/demo/DemoRegisterCodes.h"
#include "comm/protocol/AmpCommand.h"
#include "platform/core/SingleLock.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/UserInput.h"
#include "setup/tuning/windows/FilterParameterToolDlg.h"
#include "setup/tuning/windows/QvxGuiMoveBuilderDlg.h"
#include "setup/tuning/windows/QvxGuiSetupFilters.h"
#include "setup/tuning/windows/TuningWindowFiles.h"

namespace {

using namespace demo_codes;

// The demo link, a parameter table and a ticking frame, the Tavro drive at 10 kHz.
struct TuningStage : DriveWindowStage {
    TuningStage()
    {
        SetTuningFilePaths(home.File("Filters.ini").c_str(), home.File("kvfact.ini").c_str());
        prepare = [](CDemoRegisterModel& model) {
            CSingleLock lock(&model.Lock(), TRUE);
            const LONG mdl[][2] = {{11, 1}, {12, 40}};
            for (const auto& entry : mdl) {
                model.SetRegister(2, MDI, entry[0], 1);
                model.SetRegister(2, MDL, entry[1], 1);
            }
            model.SetRegister(2, MnemonicToCode("PWM"), 1000, 1);
            const int block[] = {0, 0, 0, 0, 32767, 0};
            for (int i = 0; i < 24; ++i) {
                model.SetRegister(2, WFI, i, 1);
                model.SetRegister(2, WFC, block[i % 6], 1);
            }
            model.SetRegister(2, WFT, 0x05040305, 1);
            const LONG steps[][3] = {{100, 50, 0x402}, {-5, 4000, 0x450}, {0, 10, 0x302}};
            for (int row = 0; row < 3; ++row) {
                model.SetRegister(2, PPI, row, 1);
                for (int column = 0; column < 3; ++column) {
                    model.SetRegister(2, PTI, column, 1);
                    model.SetRegister(2, PTA, steps[row][column], 1);
                }
            }
            model.SetRegister(2, SC, 32, 1);
        };
        cleanUp = [] { SetTuningFilePaths("", ""); };
    }
};

}  // namespace

void ShowFiltersWindow(GalleryShots& shots)
{
    TuningStage stage;
    ASSERT_TRUE(stage.Open());
    stage.frame.m_registry.RegisterGui("FILTERS", RUNTIME_CLASS(CQvxGuiSetupFilters), kFamilyKreln | kFamilyTavro, 0);
    auto* dlg = dynamic_cast<CQvxGuiSetupFilters*>(stage.frame.m_registry.CreateGui("FILTERS", nullptr, 1));
    ASSERT_NE(dlg, nullptr);
    ASSERT_TRUE(AfxPumpMessagesUntil([&] { return dlg->GetDrive() == 2 && dlg->AreStagesDone(); }, 10000));
    shots.Take(dlg, "opened");
    ASSERT_TRUE(kvtest::PickItem(dlg->GetDlgItem(IDC_FILTERS_WORK_TYPE), kFilterNTCH2B));
    const char* args[] = {"500", "0.05", "600", "0.7"};
    for (int i = 0; i < 4; ++i)
        dlg->SetDlgItemText(IDC_FILTERS_WORK_ARG1 + i, args[i]);
    kvtest::Click(dlg->GetDlgItem(IDC_FILTERS_GENERATE_WORK));
    kvtest::Click(dlg->GetDlgItem(IDC_FILTERS_GENERATE_DRIVE));
    shots.Take(dlg, "notch designed, drive parameters shown");
    kvtest::OnNextModal([&shots](CWnd* tool) {
        kvtest::Click(tool->GetDlgItem(IDC_FTOOL_GUESS));
        shots.Take(tool, "filter tool");
        kvtest::Click(tool->GetDlgItem(IDCANCEL));
    });
    kvtest::Click(dlg->GetDlgItem(IDC_FILTERS_TOOL));
    dlg->SetClosing(1);
}

void ShowProfileGenerator(GalleryShots& shots)
{
    TuningStage stage;
    ASSERT_TRUE(stage.Open());
    stage.frame.m_registry.RegisterGui("MOVE_MAKER", RUNTIME_CLASS(CQvxGuiMoveBuilderDlg), kFamilyKreln | kFamilyTavro,
                                       0);
    auto* dlg = dynamic_cast<CQvxGuiMoveBuilderDlg*>(stage.frame.m_registry.CreateGui("MOVE_MAKER", nullptr, 1));
    ASSERT_NE(dlg, nullptr);
    ASSERT_TRUE(AfxPumpMessagesUntil(
        [&] { return dlg->AreStagesDone() && !dlg->IsBusy() && dlg->DriveProfile(0).GetSize() == 3; }, 10000));
    for (int i = 0; i < 2; ++i)
        kvtest::Click(dlg->GetDlgItem(IDC_MOVE_ADD_STEP));
    dlg->Working().ElementAt(0).m_action = kActionNextStep;
    dlg->Working().ElementAt(0).m_triggerValue = 150;
    dlg->RefreshLists();
    shots.Take(dlg, "working and drive profiles");
    dlg->SetClosing(1);
}
