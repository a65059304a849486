// The auto-phasing, analog feedback calibration and model information
// windows in the gallery, on the demo Tavro drive.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "DriveWindowStage.h"
#include "FakeGuiAppServices.h"
#include "GalleryWindows.h"
#include "comm/demo/DemoRegisterCodes.h"
#include "platform/core/Clock.h"
#include "platform/ui/UserInput.h"
#include "setup/motor/windows/MotorProcedureWindowClasses.h"
#include "setup/motor/windows/QvxAnaMotorCalibrateDlg.h"
#include "setup/motor/windows/QvxAutoPhasingDlg.h"
#include "setup/motor/windows/QvxGuiModelInfo.h"
#include "setup/motor/windows/QvxGuiModelInfoListDlg.h"
#include "setup/motor/windows/tests/PreprocessingListEngine.h"

namespace {

using namespace demo_codes;

// Time jumps ahead for every clock of the program while the stage lives, the demo drive's included.
struct ClockJumps {
    ULONGLONG offset = 0;
    void Jump(ULONGLONG ms) { kvtest::SetClockOffset(offset += ms); }
    ~ClockJumps() { kvtest::SetClockOffset(0); }
};

struct MotorProcedureStage : DriveWindowStage {
    MotorProcedureStage()
    {
        registerWindows = [](CGuiUpdateDlgIdMap& registry) { RegisterMotorProcedureWindows(registry); };
        prepare = [](CDemoRegisterModel& model) {
            const auto indexed = [&](int code, int indexCode, int index, LONG value) {
                model.SetRegister(2, indexCode, index, 1);
                model.SetRegister(2, code, value, 1);
            };
            model.SetRegister(2, MOD, 0, 1);  // the procedures run in current mode
            const LONG settings[] = {500, 50, 218, 100};
            for (int sub = 0; sub < 4; ++sub)
                indexed(APC, API, sub, settings[sub]);
            indexed(MDL, MDI, 3, 1000);
            indexed(MDL, MDI, 6, 2000);
            indexed(MDL, MDI, 9, 400);
            indexed(MDL, MDI, 22, 1638);
            model.SetRegister(2, MDI, 99, 1);
        };
    }
    template <typename T>
    T* OpenWindow(const char* name)
    {
        auto* dlg = dynamic_cast<T*>(frame.m_registry.CreateGui(name, nullptr, 1));
        EXPECT_NE(dlg, nullptr);
        if (dlg) {
            EXPECT_TRUE(AfxPumpMessagesUntil([&] { return dlg->GetDrive() == 2 && dlg->AreStagesDone(); }, 10000));
        }
        return dlg;
    }
    template <typename T>
    bool Enable(T* dlg, bool on)
    {
        dlg->SendDriveEnable(on ? 1 : 0);
        return AfxPumpMessagesUntil([&] { return (dlg->GetEnableBit() != 0) == on; }, 10000);
    }
    // The display flags of a "kvfact.ini" and a program folder with the shipped list definition.
    void UseConfiguration(const char* display)
    {
        const std::string program = home.File("program");
        std::filesystem::create_directories(program + "/Screenlist Templates");
        std::filesystem::copy_file(std::string(KV_RESOURCES) + "/Screenlist Templates/MotorInfoList.dat",
                                   program + "/Screenlist Templates/MotorInfoList.dat",
                                   std::filesystem::copy_options::overwrite_existing);
        std::filesystem::copy_file(std::string(KV_RESOURCES) + "/program/ModelNumber.ini", program + "/ModelNumber.ini",
                                   std::filesystem::copy_options::overwrite_existing);
        const std::string ini = home.File("kvfact.ini");
        std::ofstream(ini) << "[MODEL DISPLAY]\r\nCustomerDisplay=" << display << "\r\n";
        services = std::make_unique<FakeGuiAppServices>(ini, program + "/");
    }
    static void Settle(int ms) { AfxPumpMessagesUntil([] { return false; }, ms); }
    std::unique_ptr<FakeGuiAppServices> services;
};

}  // namespace

void ShowAutoPhasing(GalleryShots& shots)
{
    ClockJumps clock;
    MotorProcedureStage stage;
    ASSERT_TRUE(stage.Open());
    auto* dlg = stage.OpenWindow<CQvxAutoPhasingDlg>("TAVRO_AUTOPHASING");
    ASSERT_NE(dlg, nullptr);
    AfxPumpMessagesUntil([&] { return dlg->GetLamp().m_onText == " Please enable drive"; }, 5000);
    stage.Settle(300);
    shots.Take(dlg, "idle");
    ASSERT_TRUE(stage.Enable(dlg, true));
    kvtest::Click(dlg->GetDlgItem(IDC_AP_EXECUTE));
    ASSERT_TRUE(AfxPumpMessagesUntil([&] { return dlg->GetProcedure().GetState() == 2; }, 10000));
    shots.Take(dlg, "running");
    clock.Jump(3500);
    ASSERT_TRUE(AfxPumpMessagesUntil([&] { return dlg->GetLamp().m_onText == " Auto-phase successful"; }, 10000));
    shots.Take(dlg, "success");
    kvtest::Click(dlg->GetDlgItem(IDC_AP_EXECUTE));
    ASSERT_TRUE(AfxPumpMessagesUntil([&] { return dlg->GetProcedure().GetState() == 2; }, 10000));
    dlg->SendDriveEnable(0);
    ASSERT_TRUE(AfxPumpMessagesUntil([&] { return dlg->GetLamp().m_onText == " Error (click for more...)"; }, 10000));
    shots.Take(dlg, "error");
    dlg->SetClosing(1);
}

void ShowAnaMotorCalibrate(GalleryShots& shots)
{
    MotorProcedureStage stage;
    ASSERT_TRUE(stage.Open());
    auto* dlg = stage.OpenWindow<CQvxAnaMotorCalibrateDlg>("TAVRO_ANAMOTORCALIB");
    ASSERT_NE(dlg, nullptr);
    stage.Settle(500);
    shots.Take(dlg, "idle");
    kvtest::Click(dlg->GetDlgItem(IDC_CAL_EXECUTE));
    AfxPumpMessagesUntil([&] { return dlg->GetCalibrationState() != 0; }, 5000);
    shots.Take(dlg, "running");
    dlg->SetClosing(1);
}

void ShowModelInfo(GalleryShots& shots)
{
    for (const char* display : {"factory configuration", "balance", "normal configuration"}) {
        MotorProcedureStage stage;
        ASSERT_TRUE(stage.Open());
        stage.UseConfiguration(display);
        auto* dlg = stage.OpenWindow<CQvxGuiModelInfo>("MODEL_INFO");
        ASSERT_NE(dlg, nullptr);
        stage.Settle(800);
        shots.Take(dlg, display);
        dlg->SetClosing(1);
    }
}

void ShowModelInfoList(GalleryShots& shots)
{
    PreprocessingListEngineScope engine;
    for (const char* display : {"factory configuration", "balance", "normal configuration"}) {
        ClockJumps clock;
        MotorProcedureStage stage;
        ASSERT_TRUE(stage.Open());
        stage.UseConfiguration(display);
        auto* dlg = stage.OpenWindow<CQvxGuiModelInfoListDlg>("MODEL_INFO_2");
        ASSERT_NE(dlg, nullptr);
        AfxPumpMessagesUntil([&] { return dlg->GetList().GetItemCount() > 4; }, 5000);
        stage.Settle(800);
        shots.Take(dlg, display);
        if (std::string(display) == "factory configuration") {
            ASSERT_TRUE(stage.Enable(dlg, true));
            kvtest::Click(dlg->GetDlgItem(IDC_MIL_BALANCE));
            AfxPumpMessagesUntil([&] { return dlg->GetState().AreOffsetsUnsaved() &&
                                              dlg->GetStatusLamp().m_onText == "Balancing..."; }, 5000);
            shots.Take(dlg, "balancing");
            clock.Jump(3500);
            AfxPumpMessagesUntil([&] { return dlg->GetStatusLamp().m_onText == "Completed"; }, 5000);
            shots.Take(dlg, "balanced");
        }
        dlg->SetClosing(1);
    }
}
