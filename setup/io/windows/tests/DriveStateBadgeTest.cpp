// The drive-state badge of every window on a drive follows the drive, whatever
// status words the window polls for itself.
#include <gtest/gtest.h>

#include "IoWindowsFixture.h"
#include "platform/ui/UserInput.h"
#include "resources/ids/ControlPanelIds.h"
#include "setup/io/windows/QvxGuiCPanelDlg.h"
#include "setup/io/windows/QvxGuiStatusControlSignalDlg2.h"
#include "setup/io/windows/QvxSetupAnalogIoDlg.h"
#include "setup/io/windows/QvxWatchRegistersDlg.h"

namespace {

struct BadgeWindow {
    const char* name;
    const CRuntimeClass* runtime;
};

class DriveStateBadgeTest : public IoWindowsTest {
protected:
    DriveStateBadgeTest() { m_useTable = true; }
    void SetUp() override
    {
        IoWindowsTest::SetUp();
        AfxWriteProfileInt("GENERAL", "DFLTDRV", kKreln);
    }
    void PrepareModel() override
    {
        SetRegister(kKreln, kFaultWordCode, 0);
        SetRegister(kKreln, 174, 0);
    }
    CGuiUpdateDlg* Open(const BadgeWindow& window)
    {
        m_frame.m_registry.RegisterGui(window.name, window.runtime, kFamilyKreln, 0);
        auto* dlg = dynamic_cast<CGuiUpdateDlg*>(m_frame.m_registry.CreateGui(window.name, nullptr, 1));
        EXPECT_NE(dlg, nullptr) << window.name;
        if (dlg) {
            EXPECT_EQ(dlg->GetDrive(), kKreln) << window.name;
            EXPECT_TRUE(Wait([&] { return dlg->AreStagesDone(); })) << window.name;
        }
        return dlg;
    }
    bool AllShow(const std::vector<CGuiUpdateDlg*>& windows, int state)
    {
        return Wait([&] {
            for (CGuiUpdateDlg* dlg : windows)
                if (dlg->GetDriveEnableState() != state)
                    return false;
            return true;
        });
    }
};

}  // namespace

TEST_F(DriveStateBadgeTest, EveryWindowOnTheDriveShowsItsEnableAndFault)
{
    const BadgeWindow kWindows[] = {
        {"CONTROL_PANEL", RUNTIME_CLASS(CQvxGuiCPanelDlg)},
        {"ANALOGIO", RUNTIME_CLASS(CQvxSetupAnalogIoDlg)},
        {"STATUS_CONTROL_SIGNALS", RUNTIME_CLASS(CQvxGuiStatusControlSignalDlg2)},
        {"WATCH_REGISTERS", RUNTIME_CLASS(CQvxWatchRegistersDlg)},
    };
    std::vector<CGuiUpdateDlg*> windows;
    for (const BadgeWindow& window : kWindows)
        if (CGuiUpdateDlg* dlg = Open(window))
            windows.push_back(dlg);
    ASSERT_EQ(windows.size(), std::size(kWindows));
    ASSERT_TRUE(AllShow(windows, kDriveDisabled));

    kvtest::Click(windows[0]->GetDlgItem(IDC_CPANEL_ENABLE));
    EXPECT_TRUE(AllShow(windows, kDriveEnabled)) << "each badge says what the Control Panel enabled";

    SetRegister(kKreln, kFaultWordCode, 0x20);
    EXPECT_TRUE(AllShow(windows, kDriveFault)) << "a fault wins over the enable bit in every window";
}
