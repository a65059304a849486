// The register-bound controls and the drive-settings list in the gallery, on
// the demo link: the reply states and colours of the edits, a lamp group
// following the status word, and the list in its polled and held states.
#include <gtest/gtest.h>

#include "BoundControlsDlg.h"
#include "GalleryWindows.h"
#include "SettingsListDlg.h"
#include "TestFrame.h"
#include "TestListEngine.h"
#include "comm/demo/DemoRegisterCodes.h"
#include "comm/link/CommManager.h"
#include "distribution/CommManagerLink.h"
#include "distribution/DistManager.h"
#include "platform/core/MessageBox.h"
#include "platform/ui/UserInput.h"
#include "platform/ui/WinApp.h"
#include "testing/DemoPortFactory.h"
#include "testing/TempDir.h"
#include "testing/TestAppServices.h"

namespace {

// The demo link with the frame ticking, for one gallery entry.
struct DemoGround {
    DemoGround()
    {
        app.m_iniPath = home.File("kvsettings.ini");
        app.m_assignments = {{1, "Kreln"}, {2, "Tavro"}};
        comm.SetPortFactory(&factory);
        EXPECT_EQ(comm.OpenDemoCommunications(), 1);
        CDistManager::Install(&dist);
        EXPECT_TRUE(dist.Start());
        CBoundControlsDlg::Register(frame.m_registry);
        CSettingsListDlg::Register(frame.m_registry);
        frame.m_list.SetInteractive(0);
        frame.StartTicking();
    }
    ~DemoGround()
    {
        frame.StopTicking();
        frame.DestroyAllWindows();
        dist.Stop();
        CDistManager::Install(nullptr);
        comm.CloseCommunications();
        AfxTakeScriptedMessageLog();
    }
    void SetRegister(int code, LONG value) { factory.m_simulator->Model().SetRegister(1, code, value, 1); }
    static bool Wait(const std::function<bool()>& condition) { return AfxPumpMessagesUntil(condition, 10000); }

    TempDir home;
    TestListEngineScope engines;
    TestAppServices app;
    DemoPortFactory factory;
    CCommManager comm;
    CCommManagerLink link{comm};
    CDistManager dist{&link};
    TestFrame frame;
};

}  // namespace

void ShowBoundControls(GalleryShots& shots)
{
    DemoGround ground;
    ground.SetRegister(demo_codes::MAA, 1234);
    ground.SetRegister(demo_codes::SSF, 0x1);
    auto* window = static_cast<CBoundControlsDlg*>(ground.frame.m_registry.CreateGui(kBoundWindowName, nullptr, 1));
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(DemoGround::Wait([&] { return window->m_edit.GetState() == 3 && window->m_lamps.GetState() == 3; }));
    shots.Take(window, "polled, drive disabled");
    window->m_edit.SetFocus();
    kvtest::TypeText(&window->m_edit, "5");
    shots.Take(window, "entry not yet sent");
    window->SendDriveEnable(1);
    EXPECT_TRUE(DemoGround::Wait([&] { return window->m_lamps.GetLampState(0) == 1; }));
    window->GetControlList().StopPollingAll();
    shots.Take(window, "drive enabled, polling stopped");
}

void ShowSettingsList(GalleryShots& shots)
{
    DemoGround ground;
    ground.SetRegister(demo_codes::MAA, 250);
    ground.SetRegister(demo_codes::MCC, 1);
    CSettingsListDlg::s_definition =
        "!EXTPROC:ADD:Offsets\n"
        "!EXTPROC:ADD:Offset A\\{MAA}\\MAA {_X}\n"
        "!EXTPROC:RANGE:-1000\\1000\n"
        "!EXTPROC:ADD:Mode\\{MCC}\\MCC {_X}\n"
        "!EXTPROC:SELECT:Off\\0\\Slow\\1\\Fast\\2\n"
        "!EXTPROC:ADD:Version\\{VER}\n"
        "!EXTPROC:ADD:Missing\\{XQZ}\\XQZ {_X}\n";
    CSettingsListDlg::s_flags = CQvxGuiUpdateList::kEditRows | CQvxGuiUpdateList::kHoldChanges;
    auto* window = static_cast<CSettingsListDlg*>(ground.frame.m_registry.CreateGui(kSettingsWindowName, nullptr, 1));
    ASSERT_NE(window, nullptr);
    CQvxGuiUpdateList& list = window->m_list;
    EXPECT_TRUE(DemoGround::Wait([&] { return list.GetItemCount() == 5 && list.CReportCtrl::GetItemText(2, 1) == "Slow"; }));
    shots.Take(window, "polled");
    list.OnContextCommand(1, CQvxGuiUpdateList::kMenuChoice);  // not a choice row: nothing
    list.OnContextCommand(2, CQvxGuiUpdateList::kMenuChoice + 2);
    shots.Take(window, "a change held until sent");
}
