// A drive window on the demo link, headless: made by name, ticked by the
// frame's update timer, following the simulated drive, enabling it, and
// switching drives through its toolbar.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <thread>

#include "SampleDriveDlg.h"
#include "TestFrame.h"
#include "comm/link/CommManager.h"
#include "comm/link/CommPortFactory.h"
#include "comm/demo/CommunicationsModuleSimulator.h"
#include "testing/TestAppServices.h"
#include "distribution/CommManagerLink.h"
#include "distribution/DistManager.h"
#include "platform/core/Clock.h"
#include "platform/core/MessageBox.h"
#include "platform/core/Profile.h"
#include "platform/ui/UserInput.h"
#include "platform/ui/WinApp.h"
#include "testing/DemoPortFactory.h"
#include "testing/TempDir.h"

namespace {

const WORD EN = static_cast<WORD>(MnemonicToCode("EN"));

class DriveWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_app.m_iniPath = m_home.File("kvsettings.ini");
        // Connected out of address order, so the selector's sorting shows.
        m_app.m_assignments = {{2, "Tavro"}, {1, "Kreln"}};
        m_comm.SetPortFactory(&m_factory);
        ASSERT_EQ(m_comm.OpenDemoCommunications(), 1);
        CDistManager::Install(&m_dist);
        ASSERT_TRUE(m_dist.Start());
        AfxTakeScriptedMessageLog();
        CSampleDriveDlg::Register(m_frame.m_registry);
        m_frame.StartTicking();
    }
    void TearDown() override
    {
        m_frame.StopTicking();
        m_frame.DestroyAllWindows();
        m_dist.Stop();
        CDistManager::Install(nullptr);
        m_comm.CloseCommunications();
        AfxTakeScriptedMessageLog();
        EXPECT_EQ(CSampleDriveDlg::s_alive, 0);
    }
    CSampleDriveDlg* Open(const char* name = kSampleWindowName)
    {
        return static_cast<CSampleDriveDlg*>(m_frame.m_registry.CreateGui(name, nullptr, 1));
    }
    LONG ModelValue(int address, WORD code)
    {
        LONG value = 0;
        m_factory.m_simulator->Model().GetRegister(address, code, value);
        return value;
    }
    static bool Wait(const std::function<bool()>& condition) { return AfxPumpMessagesUntil(condition, 10000); }
    static std::vector<CString> SelectorItems(CSampleDriveDlg* dlg)
    {
        std::vector<CString> items;
        CQvxSelectAmpCombo& selector = dlg->GetToolbar().GetSelector();
        for (int i = 0; i < selector.GetCount(); ++i) {
            CString text;
            selector.GetLBText(i, text);
            items.push_back(text);
        }
        return items;
    }
    static CString Title(CWnd* wnd)
    {
        CString title;
        wnd->GetWindowText(title);
        return title;
    }
    // The periods at the distribution manager of the window's running queries, by code.
    std::map<int, int> RunningPeriods(CSampleDriveDlg* dlg, int address)
    {
        std::map<int, int> periods;
        for (const CAmpResponseToGui& seen : dlg->m_seen) {
            if (seen.m_address != address)
                continue;
            CCompoundAmpMsg command;
            WORD period = 0;
            if (m_dist.GetJobInfo(seen.m_jobId, &command, &period, nullptr, nullptr))
                periods[seen.m_code] = period;
        }
        return periods;
    }

    TempDir m_home;
    TestAppServices m_app;
    DemoPortFactory m_factory;
    CCommManager m_comm;
    CCommManagerLink m_link{m_comm};
    CDistManager m_dist{&m_link};
    TestFrame m_frame;
};

}  // namespace

TEST_F(DriveWindowTest, WindowMadeByNameFollowsAndEnablesItsDrive)
{
    CSampleDriveDlg* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    ASSERT_TRUE(dlg->GetSafeHwnd());
    EXPECT_EQ(m_frame.m_list.GetOpenCount("CSampleDriveDlg"), 1);
    EXPECT_EQ(dlg->GetDrive(), 1) << "the profile's default drive";
    EXPECT_EQ(Title(dlg), "Sample Drive - Drive Kreln");
    EXPECT_EQ(SelectorItems(dlg), (std::vector<CString>{"Kreln", "Tavro"})) << "sorted by address, no module";
    EXPECT_EQ(dlg->GetToolbar().GetSelector().GetItemData(1), 2u);

    // The status polls run at their periods at the distribution manager.
    ASSERT_TRUE(Wait([&] { return RunningPeriods(dlg, 1).size() == 3; }));
    EXPECT_EQ(RunningPeriods(dlg, 1), (std::map<int, int>{{kModeWordCode, 1000}, {kStatusWordCode, 200},
                                                          {kFaultWordCode, 200}}));
    EXPECT_EQ(m_dist.GetJobCount(), 3) << "each poll sent once, not once per tick";

    CWnd* button = dlg->GetDlgItem(kSampleEnableButtonId);
    EXPECT_TRUE(Wait([&] { return dlg->GetDriveEnableState() == kDriveDisabled; }));
    CString text;
    button->GetWindowText(text);
    EXPECT_EQ(text, "ENABLE DRIVE");

    kvtest::Click(button);
    ASSERT_TRUE(Wait([&] { return dlg->GetEnableBit() == 1; }));
    EXPECT_EQ(ModelValue(1, EN), 1);
    EXPECT_EQ(dlg->GetDriveEnableState(), kDriveEnabled);
    button->GetWindowText(text);
    EXPECT_EQ(text, "DISABLE DRIVE");

    // A fault wins over the enable bit.
    m_factory.m_simulator->Model().SetRegister(1, kFaultWordCode, 0x20, 0);
    ASSERT_TRUE(Wait([&] { return dlg->GetDriveEnableState() == kDriveFault; }));
    EXPECT_TRUE(Wait([&] {
        button->GetWindowText(text);
        return text == "ENABLE DRIVE";
    }));

    // Every response reached the window on the GUI thread, in processing rounds no closer than the period.
    const std::thread::id gui = std::this_thread::get_id();
    EXPECT_TRUE(std::all_of(dlg->m_seenOnThreads.begin(), dlg->m_seenOnThreads.end(),
                            [&](std::thread::id id) { return id == gui; }));
    EXPECT_TRUE(AfxTakeScriptedMessageLog().empty()) << "the enable was confirmed: no message";
}

TEST_F(DriveWindowTest, ResponsesAreProcessedAtMostOncePerUpdatePeriod)
{
    CSampleDriveDlg* dlg = Open();
    ASSERT_TRUE(Wait([&] { return dlg->m_processRounds >= 1; }));
    CHPTimer watch;
    watch.Restart();
    const int roundsBefore = dlg->m_processRounds;
    const size_t seenBefore = dlg->m_seen.size();
    ASSERT_TRUE(Wait([&] { return dlg->m_processRounds >= roundsBefore + 5; }));
    const double elapsed = watch.GetElapsedSeconds();
    EXPECT_LE(dlg->m_processRounds - roundsBefore, static_cast<int>(elapsed / 0.2) + 1);
    EXPECT_GT(dlg->m_seen.size(), seenBefore);
}

TEST_F(DriveWindowTest, SwitchingTheDriveRestartsTheQueriesOnTheNewDrive)
{
    CSampleDriveDlg* dlg = Open();
    ASSERT_TRUE(Wait([&] { return RunningPeriods(dlg, 1).size() == 3; }));
    ASSERT_TRUE(kvtest::PickItem(&dlg->GetToolbar().GetSelector(), 1));
    EXPECT_EQ(dlg->GetDrive(), 2);
    EXPECT_EQ(Title(dlg), "Sample Drive - Drive Tavro");
    EXPECT_EQ(dlg->GetPendingCount(), 0) << "the old drive's polls are cancelled at once";
    ASSERT_TRUE(Wait([&] { return RunningPeriods(dlg, 2).size() == 3; }));
    EXPECT_TRUE(Wait([&] { return m_dist.GetJobCount() == 3; })) << "nothing polls the old drive any more";
    EXPECT_EQ(AfxGetProfileInt("GENERAL", "DFLTDRV", 0), 2u) << "the new drive is the new default";

    // A second window of the class takes the drive no other window of the class uses.
    CSampleDriveDlg* second = Open("SAMPLEDRIVE:2");
    EXPECT_EQ(second->GetDrive(), 1);
    EXPECT_EQ(second->GetInstanceNumber(), 2);
    EXPECT_EQ(m_frame.m_list.GetOpenCount("CSampleDriveDlg"), 2);

    // A third finds no drive left: its title names no drive rather than an empty one.
    CSampleDriveDlg* third = Open("SAMPLEDRIVE:3");
    ASSERT_NE(third, nullptr);
    EXPECT_EQ(third->GetDrive(), -1);
    EXPECT_EQ(Title(third), "Sample Drive");
}

TEST_F(DriveWindowTest, ARefusedSwitchRestoresTheSelection)
{
    CSampleDriveDlg* dlg = Open();
    dlg->m_unsentSettings = 1;
    CQvxSelectAmpCombo& selector = dlg->GetToolbar().GetSelector();
    AfxQueueScriptedAnswer(IDNO);  // the user keeps the unsent settings
    ASSERT_TRUE(kvtest::PickItem(&selector, 1));
    EXPECT_EQ(dlg->GetDrive(), 1);
    EXPECT_EQ(selector.GetCurSel(), 0);
    EXPECT_EQ(Title(dlg), "Sample Drive - Drive Kreln");
    const auto shown = AfxTakeScriptedMessageLog();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0], "MSGBOX:Changes have not been sent to the drive.  Abandon changes?");

    // Scripted mode: the question is logged and answered Yes; the switch goes through.
    m_frame.m_list.SetInteractive(0);
    ASSERT_TRUE(kvtest::PickItem(&selector, 1));
    EXPECT_EQ(dlg->GetDrive(), 2);
    EXPECT_EQ(m_app.m_debugLines.back(), "MSGBOX:Changes have not been sent to the drive.  Abandon changes?");
}

TEST_F(DriveWindowTest, WindowCommandsAndClosing)
{
    CSampleDriveDlg* dlg = Open();
    CString reply;
    CGuiUpdateList& list = m_frame.m_list;
    EXPECT_EQ(list.ExecuteCommand("SAMPLEDRIVE.sendtoamp(3)", reply, 0), 1);
    EXPECT_EQ(reply, "SUCCESS");
    EXPECT_EQ(dlg->m_sentGroups, std::vector<int>{3});
    EXPECT_EQ(list.ExecuteCommand("SAMPLEDRIVE.SENDTOAMP(", reply, 0), 1);
    EXPECT_EQ(reply.Left(6), "ERROR:");
    EXPECT_EQ(dlg->m_sentGroups.size(), 1u);

    // Closing with unsent settings in scripted mode: the question is logged, the answer is Yes.
    dlg->m_unsentSettings = 1;
    list.SetInteractive(0);
    kvtest::CloseWindow(dlg);
    EXPECT_EQ(CSampleDriveDlg::s_alive, 0) << "the window deleted itself";
    EXPECT_EQ(list.GetOpenCount("CSampleDriveDlg"), 0);
    EXPECT_EQ(m_app.m_debugLines.back(), "MSGBOX:Changes have not been sent to the drive.  Abandon changes?");

    Open();
    EXPECT_EQ(list.ExecuteCommand("SAMPLEDRIVE.CLOSE", reply, 0), 1);
    EXPECT_EQ(reply, "SUCCESS");
    EXPECT_EQ(CSampleDriveDlg::s_alive, 0);
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_EQ(m_dist.GetJobCount(), 0) << "a closed window leaves no query behind";
}

TEST_F(DriveWindowTest, CloseAllClosesEvenAWindowWithUnsentSettings)
{
    CSampleDriveDlg* kept = Open();
    kept->SetKeepOpen(1);
    CSampleDriveDlg* pending = Open("SAMPLEDRIVE:2");
    pending->m_unsentSettings = 1;
    m_frame.m_list.SetInteractive(0);
    m_frame.m_list.CloseAllItems();
    ASSERT_TRUE(Wait([&] { return CSampleDriveDlg::s_alive == 1; }));
    EXPECT_EQ(m_frame.m_list.GetCount(), 1);
    EXPECT_EQ(m_frame.m_list.GetHead(), kept);
}

TEST_F(DriveWindowTest, AnEnableTheDriveDoesNotConfirmGivesOneMessage)
{
    CSampleDriveDlg* dlg = Open();
    ASSERT_TRUE(Wait([&] { return dlg->AreStagesDone(); }));
    m_frame.m_list.SetInteractive(0);
    m_dist.Stop();  // nothing answers any more, so the enable is never confirmed
    dlg->SendDriveEnable(1);
    const auto messages = [&] {
        const auto& lines = m_app.m_debugLines;
        return std::count(lines.begin(), lines.end(), "MSGBOX:Could not enable drive");
    };
    AfxPumpMessagesUntil([] { return false; }, 200);
    EXPECT_EQ(messages(), 0) << "too early to give up on the drive";
    // The clock jumps past the check's two seconds instead of waiting them out.
    kvtest::SetClockOffset(2500);
    const bool told = Wait([&] { return messages() > 0; });
    AfxPumpMessagesUntil([] { return false; }, 500);  // later updates must not repeat it
    kvtest::SetClockOffset(0);
    ASSERT_TRUE(told);
    EXPECT_EQ(messages(), 1);
    EXPECT_EQ(dlg->GetEnableRequest(), 0);
}
