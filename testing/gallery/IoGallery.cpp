// The register watch window and its dialogs in the gallery, on the demo link.
#include <gtest/gtest.h>

#include "DriveWindowStage.h"
#include "GalleryWindows.h"
#include "comm/protocol/AmpCommand.h"
#include "platform/ui/UserInput.h"
#include "comm/demo/DemoRegisterCodes.h"
#include "setup/io/windows/QvxGuiCPanelDlg.h"
#include "setup/io/windows/QvxGuiStatusControlSignalDlg2.h"
#include "setup/io/windows/QvxLastFaultsLampDlg.h"
#include "setup/io/windows/QvxRegisterFlagTool.h"
#include "setup/io/windows/QvxStatusLampsDlg.h"
#include "setup/io/windows/QvxWatchRegistersDlg.h"

namespace {

// The demo link, a parameter table and a ticking frame.
using IoStage = DriveWindowStage;

void AddWatch(CWnd* dlg, const char* query, int formId)
{
    kvtest::OnNextModal([=](CWnd* modal) {
        kvtest::TypeText(modal->GetDlgItem(IDC_WATCH_QUERY), query);
        kvtest::Click(modal->GetDlgItem(formId));
        kvtest::Click(modal->GetDlgItem(IDOK));
    });
    kvtest::Click(dlg->GetDlgItem(IDC_WATCH_ADD));
}

}  // namespace

void ShowWatchRegisters(GalleryShots& shots)
{
    IoStage stage;
    ASSERT_TRUE(stage.Open());
    stage.factory.m_simulator->Model().SetRegister(2, MnemonicToCode("ABC"), 0x1A, 1);
    stage.frame.m_registry.RegisterGui("WATCH_REGISTERS", RUNTIME_CLASS(CQvxWatchRegistersDlg), 6, 0);
    auto* dlg = dynamic_cast<CQvxWatchRegistersDlg*>(stage.frame.m_registry.CreateGui("WATCH_REGISTERS", nullptr, 1));
    ASSERT_NE(dlg, nullptr);
    ASSERT_TRUE(AfxPumpMessagesUntil([&] { return dlg->AreStagesDone(); }, 10000));
    AddWatch(dlg, "ABC", IDC_WATCH_HEX);
    AddWatch(dlg, "ABC", IDC_WATCH_BINARY);
    AddWatch(dlg, "QQQ", IDC_WATCH_SIGNED);
    ASSERT_TRUE(AfxPumpMessagesUntil(
        [&] { return dlg->GetList().GetItemText(2, 1).Find("ERROR") == 0 && dlg->GetList().GetItemText(0, 1).Find("1a") >= 0 &&
                   dlg->GetList().GetItemText(1, 1).Find("11010") >= 0; },
        10000));
    shots.Take(dlg, "hex, binary and a register the drive lacks");
    dlg->GetList().SetItemState(0, LVIS_SELECTED, LVIS_SELECTED);
    AfxPumpMessagesUntil([&] { return dlg->GetDlgItem(IDC_WATCH_EDIT)->IsWindowEnabled() != 0; }, 2000);
    kvtest::OnNextModal([&shots](CWnd* modal) {
        shots.Take(modal, "setup register watch");
        kvtest::Click(modal->GetDlgItem(IDCANCEL));
    });
    kvtest::Click(dlg->GetDlgItem(IDC_WATCH_EDIT));
    kvtest::OnNextModal([&shots](CWnd* modal) {
        shots.Take(modal, "settings");
        kvtest::Click(modal->GetDlgItem(IDCANCEL));
    });
    dlg->OnListSettings();
    dlg->SetClosing(1);
}

void ShowRegisterFlagTool(GalleryShots& shots)
{
    IoStage stage;
    ASSERT_TRUE(stage.Open());
    CDemoRegisterModel& model = stage.factory.m_simulator->Model();
    model.SetRegister(2, demo_codes::MDI, 14, 1);
    model.SetRegister(2, demo_codes::MDL, 0x0188, 1);
    stage.frame.m_registry.RegisterGui("FLAG_TOOL", RUNTIME_CLASS(CQvxRegisterFlagTool), 6, 0);
    auto* dlg = dynamic_cast<CQvxRegisterFlagTool*>(stage.frame.m_registry.CreateGui("FLAG_TOOL", nullptr, 1));
    ASSERT_NE(dlg, nullptr);
    ASSERT_TRUE(AfxPumpMessagesUntil([&] { return dlg->HasWord() != 0; }, 10000));
    shots.Take(dlg, "flag word 0x0188");
    dlg->SetClosing(1);
}

void ShowStatusLamps(GalleryShots& shots)
{
    IoStage stage;
    ASSERT_TRUE(stage.Open());
    CDemoRegisterModel& model = stage.factory.m_simulator->Model();
    model.SetRegister(1, kSecondStatusWordCode, 0x0005, 1);
    model.SetRegister(1, 20070, 0x0004, 1);
    model.SetRegister(1, kInputWordCode, 0x0009, 1);
    AfxWriteProfileInt("GENERAL", "DFLTDRV", 1);
    stage.frame.m_registry.RegisterGui("STATUS", RUNTIME_CLASS(CQvxStatusLampsDlg), 2, 0);
    auto* dlg = dynamic_cast<CQvxStatusLampsDlg*>(stage.frame.m_registry.CreateGui("STATUS", nullptr, 1));
    ASSERT_NE(dlg, nullptr);
    ASSERT_TRUE(AfxPumpMessagesUntil([&] { return dlg->Faults().Find(0x10000)->m_on && dlg->Faults().Find(0x4)->m_on; }, 10000));
    shots.Take(dlg, "power on reset, commutation init and CPLD");
    dlg->SetClosing(1);
}

void ShowLastFaults(GalleryShots& shots)
{
    IoStage stage;
    ASSERT_TRUE(stage.Open());
    stage.factory.m_simulator->Model().SetRegister(2, kLastFaultsCode, 0x8004, 1);
    stage.frame.m_registry.RegisterGui("LAST_FAULTS", RUNTIME_CLASS(CQvxLastFaultsLampDlg), 6, 0);
    auto* dlg = dynamic_cast<CQvxLastFaultsLampDlg*>(stage.frame.m_registry.CreateGui("LAST_FAULTS", nullptr, 1));
    ASSERT_NE(dlg, nullptr);
    ASSERT_TRUE(AfxPumpMessagesUntil([&] { return dlg->GetLamp(0).m_on != 0; }, 10000));
    shots.Take(dlg, "HS ECB and CPLD");
    dlg->SetClosing(1);
}

void ShowControlSignals(GalleryShots& shots)
{
    IoStage stage;
    ASSERT_TRUE(stage.Open());
    stage.frame.m_registry.RegisterGui("STATUS_CONTROL_SIGNALS", RUNTIME_CLASS(CQvxGuiStatusControlSignalDlg2), 6, 0);
    auto* dlg = dynamic_cast<CQvxGuiStatusControlSignalDlg2*>(
        stage.frame.m_registry.CreateGui("STATUS_CONTROL_SIGNALS", nullptr, 1));
    ASSERT_NE(dlg, nullptr);
    ASSERT_TRUE(AfxPumpMessagesUntil(
        [&] {
            CString text;
            dlg->GetDlgItemText(IDC_SIGNALS_VELOCITY_ERR, text);
            return !text.IsEmpty();
        },
        10000));
    shots.Take(dlg, "amps and rpm");
    dlg->SetClosing(1);
}

void ShowControlPanel(GalleryShots& shots)
{
    for (int bar2 = 0; bar2 <= 1; ++bar2) {
        IoStage stage;
        // Conversion parameter 6 = 9 brings the second bar.
        if (bar2)
            stage.prepare = [](CDemoRegisterModel& model) { model.SetRegister(2, MnemonicToCode("CS"), 9, 1); };
        ASSERT_TRUE(stage.Open());
        CDemoRegisterModel& model = stage.factory.m_simulator->Model();
        model.SetRegister(2, 13796, bar2 ? 0 : 2, 1);
        model.SetRegister(2, 3, 0, 1);
        stage.frame.m_registry.RegisterGui("CONTROL_PANEL", RUNTIME_CLASS(CQvxGuiCPanelDlg), 6, 0);
        auto* dlg = dynamic_cast<CQvxGuiCPanelDlg*>(stage.frame.m_registry.CreateGui("CONTROL_PANEL", nullptr, 1));
        ASSERT_NE(dlg, nullptr);
        ASSERT_TRUE(AfxPumpMessagesUntil(
            [&] {
                CString shown;
                dlg->GetDlgItemText(IDC_CPANEL_BAR1_EDIT, shown);
                return dlg->IsReady() != 0 && dlg->Bar(0).m_drawnX >= 0 && !shown.IsEmpty();
            },
            10000));
        if (!bar2) {
            shots.Take(dlg, "velocity mode, disabled");
            // Half way up the bar, enabled, with the hardware inhibit lit.
            model.SetRegister(2, 20065, 0x100, 1);
            model.SetRegister(2, 20087, 0x200, 1);
            CWnd* edit = dlg->GetDlgItem(IDC_CPANEL_BAR1_EDIT);
            edit->SetWindowText("");
            kvtest::TypeText(edit, "1000");
            kvtest::PressKey(edit, VK_RETURN);
            ASSERT_TRUE(AfxPumpMessagesUntil([&] { return dlg->Bar(0).m_drawnX > dlg->Bar(0).m_width / 2 + 10; }, 10000));
            AfxPumpMessagesUntil([&] { return dlg->GetEnableBit() != 0; }, 3000);
            int rounds = 0;
            AfxPumpMessagesUntil([&] { return ++rounds > 10; }, 1000);
            shots.Take(dlg, "a set-point, enabled, hardware inhibit");
            model.SetRegister(2, 20070, 0x40, 1);
            AfxPumpMessagesUntil([&] { return dlg->GetFaultWord() != 0; }, 3000);
            shots.Take(dlg, "fault");
        } else {
            ASSERT_TRUE(AfxPumpMessagesUntil([&] { return dlg->IsBar2Shown() != 0 && dlg->Bar(1).m_drawnX >= 0; }, 10000));
            shots.Take(dlg, "second bar");
        }
        dlg->SetClosing(1);
    }
}
