// The drive window framework in the gallery: the toolbar in each drive state and
// a drive window on the demo link.
#include <gtest/gtest.h>

#include <vector>

#include "GalleryWindows.h"
#include "SampleDriveDlg.h"
#include "TestFrame.h"
#include "comm/link/CommManager.h"
#include "distribution/CommManagerLink.h"
#include "distribution/DistManager.h"
#include "framework/QvxGuiToolbar.h"
#include "platform/core/MessageBox.h"
#include "platform/ui/UserInput.h"
#include "platform/ui/WinApp.h"
#include "testing/DemoPortFactory.h"
#include "testing/TempDir.h"
#include "testing/TestAppServices.h"

namespace {

class CToolbarWindow : public CQvxGuiToolbarCB {
public:
    void GetToolbarInfo(CList<CAmplifierData>& drives, int& currentDrive) override
    {
        drives.AddTail(CAmplifierData{1, kFamilyKreln, "Kreln"});
        drives.AddTail(CAmplifierData{2, kFamilyTavro, "Tavro"});
        currentDrive = 1;
    }
    int OnToolbarDriveSelected(const CString&) override { return 1; }
    int GetDriveEnableState() override { return m_state; }
    int m_state = kDriveDisabled;
};

}  // namespace

void ShowToolbar(GalleryShots& shots)
{
    CWnd parent;
    ASSERT_TRUE(parent.Create(nullptr, "bar", WS_POPUP | WS_VISIBLE, CRect(0, 0, 420, 60), nullptr, 0));
    CToolbarWindow window;
    CQvxGuiToolbar bar;
    ASSERT_TRUE(bar.CreateEx(&parent, &window, WS_CHILD | WS_VISIBLE));
    bar.FitToParentWidth();
    const std::pair<int, const char*> states[] = {{kDriveDisabled, "disabled"}, {kDriveEnabled, "enabled"},
                                                  {kDriveError, "error"},       {kDriveStateUnknown, "unknown"},
                                                  {kDriveFault, "fault"}};
    for (const auto& [state, name] : states) {
        window.m_state = state;
        bar.Invalidate();
        shots.Take(&bar, name);
    }
    bar.SetShowState(FALSE);
    bar.Invalidate();
    shots.Take(&bar, "without the state");
    kvtest::Click(&bar.GetSelector());
    shots.TakeOpen(&parent, "drive list dropped down");
    bar.GetSelector().ShowDropDown(FALSE);
    parent.DestroyWindow();
}

void ShowDriveWindow(GalleryShots& shots)
{
    TempDir home;
    TestAppServices app;
    app.m_iniPath = home.File("kvsettings.ini");
    app.m_assignments = {{1, "Kreln"}, {2, "Tavro"}};
    DemoPortFactory factory;
    CCommManager comm;
    CCommManagerLink link{comm};
    CDistManager dist{&link};
    TestFrame frame;
    comm.SetPortFactory(&factory);
    ASSERT_EQ(comm.OpenDemoCommunications(), 1);
    CDistManager::Install(&dist);
    ASSERT_TRUE(dist.Start());
    CSampleDriveDlg::Register(frame.m_registry);
    frame.StartTicking();
    auto* window = static_cast<CSampleDriveDlg*>(frame.m_registry.CreateGui(kSampleWindowName, nullptr, 1));
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(AfxPumpMessagesUntil([&] { return window->m_processRounds >= 1; }, 10000));
    shots.Take(window, "disabled");
    kvtest::Click(window->GetDlgItem(kSampleEnableButtonId));
    EXPECT_TRUE(AfxPumpMessagesUntil([&] { return window->GetDriveEnableState() == kDriveEnabled; }, 10000));
    window->GetToolbar().Invalidate();
    shots.Take(window, "enabled");
    frame.StopTicking();
    frame.DestroyAllWindows();
    dist.Stop();
    CDistManager::Install(nullptr);
    comm.CloseCommunications();
    AfxTakeScriptedMessageLog();
}
