// The Tavro digital I/O windows in the gallery, on the demo Tavro drive.
#include <gtest/gtest.h>

#include "DriveWindowStage.h"
#include "GalleryWindows.h"
#include "comm/demo/DemoRegisterCodes.h"
#include "platform/core/SingleLock.h"
#include "setup/io/windows/IoWindowFiles.h"
#include "setup/io/windows/QvxDedicatedIoSettingsDlg.h"
#include "setup/io/windows/QvxGuiSetupDigitalIoDlg.h"
#include "setup/io/windows/QvxGuiSetupTavroDigitalInputDlg.h"
#include "setup/io/windows/QvxGuiSetupTavroDigitalOutputDlg.h"
#include "setup/io/windows/QvxGuiTavroDedicatedDigitalInputsDlg.h"
#include "setup/io/windows/QvxGuiTavroGeneralDigitalInputsDlg.h"
#include "setup/io/windows/QvxTavroStatusLampsDlg.h"

namespace {

using namespace demo_codes;

// The demo link and a ticking frame; the Tavro drive's pins carry a few functions.
struct IoStage : DriveWindowStage {
    IoStage()
    {
        useTable = false;
        SetIoFactoryIniPath(KV_FACTORY_INI);
        prepare = [](CDemoRegisterModel& model) {
            CSingleLock lock(&model.Lock(), TRUE);
            const LONG inputs[][2] = {{0, 0x0401}, {1, 0x0500}, {2, 0x0201}, {3, 0x0301}};
            for (const auto& pin : inputs) {
                model.SetRegister(2, DII, pin[0], 1);
                model.SetRegister(2, DIC, pin[1], 1);
            }
            const LONG outputs[][2] = {{0, 0x0101}, {1, 0x0205}, {4, 0x0400}, {2, 0x0A07}};
            for (const auto& pin : outputs) {
                model.SetRegister(2, DOI, pin[0], 1);
                model.SetRegister(2, DOC, pin[1], 1);
            }
        };
        registerWindows = [](CGuiUpdateDlgIdMap& registry) {
            registry.RegisterGui("TAVRO_SETUP_GENERAL_DIGITAL_INPUTS", RUNTIME_CLASS(CQvxGuiSetupTavroDigitalInputDlg),
                                 kFamilyTavro, 0);
            registry.RegisterGui("TAVRO_SETUP_GENERAL_DIGITAL_OUTPUTS", RUNTIME_CLASS(CQvxGuiSetupTavroDigitalOutputDlg),
                                 kFamilyTavro, 0);
        };
        cleanUp = [] { SetIoFactoryIniPath(""); };
    }
};

template <class Dlg>
void ShowPinWindow(GalleryShots& shots, const char* name, int rows, const char* command)
{
    IoStage stage;
    ASSERT_TRUE(stage.Open());
    auto* dlg = dynamic_cast<Dlg*>(stage.frame.m_registry.CreateGui(name, nullptr, 1));
    ASSERT_NE(dlg, nullptr);
    ASSERT_TRUE(AfxPumpMessagesUntil([&] { return dlg->GetDrive() == 2 && dlg->List().GetItemCount() == rows; }, 10000));
    shots.Take(dlg, "as read from the drive");
    CString reply;
    dlg->ExecuteCommand(command, reply);
    shots.Take(dlg, "a pin connected by text command, not yet sent");
    dlg->SetClosing(1);
}

}  // namespace

void ShowSetupDigitalInputs(GalleryShots& shots)
{
    ShowPinWindow<CQvxGuiSetupTavroDigitalInputDlg>(shots, "TAVRO_SETUP_GENERAL_DIGITAL_INPUTS", 13,
                                                    "CONNECTPIN(\"General Input 5\", \"Jog Positive\", 0)");
}

void ShowSetupDigitalOutputs(GalleryShots& shots)
{
    ShowPinWindow<CQvxGuiSetupTavroDigitalOutputDlg>(shots, "TAVRO_SETUP_GENERAL_DIGITAL_OUTPUTS", 6,
                                                     "CONNECTPIN(\"Relay Output\", \"User Output\", 1)");
}

void ShowInputStatusWindows(GalleryShots& shots)
{
    IoStage stage;
    ASSERT_TRUE(stage.Open());
    {
        CDemoRegisterModel& model = stage.factory.m_simulator->Model();
        CSingleLock lock(&model.Lock(), TRUE);
        model.SetRegister(2, SDI, (1 << 1) | (1 << 20), 1);
        model.SetRegister(2, SIO, (1 << 3) | (1 << 5) | (1 << 9), 1);
    }
    stage.frame.m_registry.RegisterGui("TAVRO_GENERAL_DIGITAL_INPUTS",
                                       RUNTIME_CLASS(CQvxGuiTavroGeneralDigitalInputsDlg), kFamilyTavro, 0);
    stage.frame.m_registry.RegisterGui("TAVRO_DEDICATED_DIGITAL_INPUTS",
                                       RUNTIME_CLASS(CQvxGuiTavroDedicatedDigitalInputsDlg), kFamilyTavro, 0);
    auto* general = dynamic_cast<CQvxGuiTavroGeneralDigitalInputsDlg*>(
        stage.frame.m_registry.CreateGui("TAVRO_GENERAL_DIGITAL_INPUTS", nullptr, 1));
    ASSERT_NE(general, nullptr);
    ASSERT_TRUE(AfxPumpMessagesUntil(
        [&] { return general->List().GetItemCount() == 4 && general->List().GetItemBkColor(3, 1) == 0xFF0000; }, 10000));
    shots.Take(general, "pins tab with live state");
    general->SelectTab(1);
    AfxPumpMessagesUntil([&] { return general->List().GetItemBkColor(1, 1) == 0xFF0000; }, 3000);
    shots.Take(general, "functions tab");
    general->SelectTab(0);
    auto* dedicated = dynamic_cast<CQvxGuiTavroDedicatedDigitalInputsDlg*>(
        stage.frame.m_registry.CreateGui("TAVRO_DEDICATED_DIGITAL_INPUTS", nullptr, 1));
    ASSERT_NE(dedicated, nullptr);
    ASSERT_TRUE(AfxPumpMessagesUntil([&] { return dedicated->List().GetItemBkColor(1, 1) == 0xFF0000; }, 10000));
    shots.Take(dedicated, "dedicated inputs with live state");
}

void ShowTavroLampsAndDedicatedIo(GalleryShots& shots)
{
    IoStage stage;
    ASSERT_TRUE(stage.Open());
    {
        CDemoRegisterModel& model = stage.factory.m_simulator->Model();
        CSingleLock lock(&model.Lock(), TRUE);
        model.SetRegister(2, SSF, (1 << 1) | (1 << 6), 1);
        model.SetRegister(2, kLowerLampsParameter, 1 << 4, 1);
        model.SetRegister(2, kDedicatedEnableParameter, 0x1840, 1);
        model.SetRegister(2, kDedicatedPolarityParameter, 0x0041, 1);
    }
    stage.frame.m_registry.RegisterGui("TAVRO_STATUS", RUNTIME_CLASS(CQvxTavroStatusLampsDlg), kFamilyTavro, 0);
    stage.frame.m_registry.RegisterGui("DEDICATED_IO", RUNTIME_CLASS(CQvxDedicatedIoSettingsDlg), kFamilyTavro, 0);
    auto* lamps = dynamic_cast<CQvxTavroStatusLampsDlg*>(stage.frame.m_registry.CreateGui("TAVRO_STATUS", nullptr, 1));
    ASSERT_NE(lamps, nullptr);
    CLampButton* lit = lamps->FindLamp(CQvxTavroStatusLampsDlg::kLower, 1 << 4);
    ASSERT_NE(lit, nullptr);
    ASSERT_TRUE(AfxPumpMessagesUntil([&] { return lit->m_on != FALSE; }, 10000));
    shots.Take(lamps, "drive status lamps");
    auto* settings =
        dynamic_cast<CQvxDedicatedIoSettingsDlg*>(stage.frame.m_registry.CreateGui("DEDICATED_IO", nullptr, 1));
    ASSERT_NE(settings, nullptr);
    ASSERT_TRUE(AfxPumpMessagesUntil(
        [&] { return settings->IsDlgButtonChecked(IDC_DIO_DRIVE_TEMP_ENABLE_DRIVE) == BST_CHECKED; }, 10000));
    shots.Take(settings, "dedicated I/O settings");
}

void ShowKrelnSetupDigitalIo(GalleryShots& shots)
{
    IoStage stage;
    stage.useTable = true;
    ASSERT_TRUE(stage.Open());
    {
        CDemoRegisterModel& model = stage.factory.m_simulator->Model();
        CSingleLock lock(&model.Lock(), TRUE);
        model.SetRegister(1, MDI, 14, 1);
        model.SetRegister(1, MDL, 0x44, 1);
        model.SetRegister(1, kActiveHighParameter, 0x0829, 1);
        model.SetRegister(1, kInputEnableParameter, 0x7FF7, 1);
        model.SetRegister(1, kFaultPinFunctionParameter, 1, 1);
    }
    AfxWriteProfileInt("GENERAL", "DFLTDRV", 1);
    stage.frame.m_registry.RegisterGui("DIGITALIO", RUNTIME_CLASS(CQvxGuiSetupDigitalIoDlg), kFamilyKreln, 0);
    auto* dlg = dynamic_cast<CQvxGuiSetupDigitalIoDlg*>(stage.frame.m_registry.CreateGui("DIGITALIO", nullptr, 1));
    ASSERT_NE(dlg, nullptr);
    ASSERT_TRUE(AfxPumpMessagesUntil(
        [&] { return dlg->AreStagesDone() && dlg->IsDlgButtonChecked(IDC_SDIO_READY_HIGH_DRIVE) == BST_CHECKED; },
        10000));
    shots.Take(dlg, "as read from the Kreln drive");
}
