// The servo tuning and motor parameter windows in the gallery, on the demo link's Kreln drive.
#include <gtest/gtest.h>

#include "DemoLibraryDrives.h"
#include "GalleryWindows.h"
#include "TestFrame.h"
#include "distribution/parameters/GlobalParameterKinds.h"
#include "distribution/parameters/GlobalParameterTable.h"
#include "platform/ui/UserInput.h"
#include "platform/ui/WinApp.h"
#include "resources/ids/SetupAutoManualTuningIds.h"
#include "resources/ids/SetupServoTuningIds.h"
#include "setup/tuning/windows/CalculateGvsDlg.h"
#include "setup/tuning/windows/QvxGuiSetupAutoManualTuningDlg.h"
#include "setup/tuning/windows/QvxGuiSetupServoTuningDlg.h"
#include "setup/tuning/windows/QvxGuiTuneFunctionGenDlg.h"
#include "testing/DemoEngine.h"

namespace {

// The engine, a ticking frame and the conversion table: what a tuning window needs.
struct TuningScene {
    TuningScene()
    {
        engine.Open();
        LoadDemoLibraryDrives();
        table.SetDistManager(&engine.m_dist);
        table.AddDrive(1);
        frame.m_list.Initialise(&table);
        frame.m_registry.RegisterGui("SERVO_TUNING", RUNTIME_CLASS(CQvxGuiSetupServoTuningDlg), 6, 0);
        frame.m_registry.RegisterGui("MOTOR_PARAMS", RUNTIME_CLASS(CQvxGuiSetupAutoManualTuningDlg), 6, 0);
        frame.StartTicking();
    }
    ~TuningScene()
    {
        frame.StopTicking();
        frame.DestroyAllWindows();
        engine.Close();
        table.RemoveAllDrives();
        AfxTakeScriptedMessageLog();
    }

    DemoEngine engine;
    CGlobalParameterTable table;
    TestFrame frame;
};

}  // namespace

void ShowServoTuning(GalleryShots& shots)
{
    TuningScene scene;
    auto* window = static_cast<CQvxGuiSetupServoTuningDlg*>(scene.frame.m_registry.CreateGui("SERVO_TUNING", nullptr, 1));
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(AfxPumpMessagesUntil(
        [&] {
            double value = 0;
            LONG gvs = 0;
            return window->IsModeKnown() &&
                   window->GetDriveValue(7891, gvs) && window->GetDriveValue(7684, gvs) &&
                   scene.table.GetParameterValue(1, GPD_A2E_CURRENT_GAIN, value) &&
                   scene.table.GetParameterValue(1, GPD_SERVO_FREQ_I, value);
        },
        10000));
    shots.Take(window, "drive disabled");

    window->SendDriveEnable(1);
    ASSERT_TRUE(AfxPumpMessagesUntil([&] { return window->GetEnableBit() == 1; }, 10000));
    window->GetModes().m_settings = TuningStepSettings{0.5, 0.5, 20, 1, 1};
    AfxQueueScriptedAnswer(IDYES);
    kvtest::Click(window->GetDlgItem(IDC_ST_START));
    AfxPumpMessagesUntil([] { return false; }, 300);
    window->GetToolbar().Invalidate();
    shots.Take(window, "sample test running");
    window->StopTest();

    kvtest::Click(window->GetDlgItem(IDC_ST_SETUP_PARAMS));
    if (CQvxGuiTuneFunctionGenDlg* dialog = window->GetFunctionGenDialog()) {
        shots.Take(dialog, "function generator");
        kvtest::Click(dialog->GetDlgItem(IDCANCEL));
    }
    window->SendDriveEnable(0);
    AfxPumpMessagesUntil([&] { return window->GetEnableBit() == 0; }, 10000);
    kvtest::Click(window->GetDlgItem(IDC_ST_GVS));
    if (CCalculateGvsDlg* gvs = window->GetGvsDialog())
        shots.Take(gvs, "gvs calculator");
}

void ShowMotorParameters(GalleryShots& shots)
{
    TuningScene scene;
    const LONG gain = scene.engine.Model(1, CQvxGuiSetupAutoManualTuningDlg::kProportionalGain);
    auto* window =
        static_cast<CQvxGuiSetupAutoManualTuningDlg*>(scene.frame.m_registry.CreateGui("MOTOR_PARAMS", nullptr, 1));
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(AfxPumpMessagesUntil(
        [&] {
            double value = 0;
            return window->GetWorkingGains().ProportionalGain == gain &&
                   scene.table.GetParameterValue(1, GPD_SERVO_FREQ_I, value) &&
                   scene.table.GetParameterValue(1, GPD_CS, value) &&
                   scene.table.GetParameterValue(1, GPD_A2E_CURRENT_GAIN, value);
        },
        10000));
    AfxPumpMessagesUntil([] { return false; }, 300);
    shots.Take(window, "current loop bandwidth");
    kvtest::Click(window->GetDlgItem(IDC_MP_FINE));
    shots.Take(window, "fine tuning");
}
