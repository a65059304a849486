// A whole session as a user runs it: start, "&Demo", a drive window from its
// menu, "&Close", exit; and the serial link over a pty with a simulated drive.
#include <algorithm>
#include <chrono>

#include "AppTestFixture.h"
#include "framework/QvxGuiEditCtrl.h"
#include "framework/tests/SampleDriveDlg.h"
#include "resources/ids/MotorSafetyIds.h"
#include "scope/windows/QvxScopeDlg.h"
#include "testing/SimulatedSerialDrive.h"
#include "testing/WindowShot.h"

namespace {
constexpr WORD kVersionCode = 22706;

class DemoSessionTest : public AppFixture {
protected:
    void TearDown() override
    {
        CWindowFactory::RemoveRow(32848);
        CWindowFactory::AddRow({32848, "CQvxGuiCPanelDlg", true, kUpdateGeneric, nullptr});
        AppFixture::TearDown();
        EXPECT_EQ(0, CSampleDriveDlg::s_alive);
    }
    std::vector<CAmplifierData> Connected()
    {
        CList<CAmplifierData> list;
        m_app->GetConnectedDrives(list);
        std::vector<CAmplifierData> drives;
        for (POSITION pos = list.GetHeadPosition(); pos;)
            drives.push_back(list.GetNext(pos));
        return drives;
    }
    CString Title()
    {
        CString title;
        Frame()->GetWindowText(title);
        return title;
    }
};
}  // namespace

TEST_F(DemoSessionTest, StartDemoOpenADriveWindowCloseAndExit)
{
    ASSERT_TRUE(Start());
    CSampleDriveDlg::Register(*Frame()->GetDlgIdMap());
    CWindowFactory::AddRow({32848, "CSampleDriveDlg", true, kUpdateGeneric, nullptr});
    EXPECT_EQ(-1, kvtest::MenuItemState(Frame(), "&Setup|&Control Panel")) << "no Setup menu without drives";

    ASSERT_TRUE(kvtest::ChooseMenuItem(Frame(), "&File|&Demo"));
    ASSERT_TRUE(Frame()->IsCommOpen());
    const std::vector<CAmplifierData> drives = Connected();
    ASSERT_EQ(2u, drives.size());
    EXPECT_EQ("Kreln", drives[0].m_name);
    EXPECT_EQ(2, drives[0].m_family);
    EXPECT_EQ("Tavro", drives[1].m_name);
    EXPECT_EQ(4, drives[1].m_family);
    EXPECT_EQ(375u, m_app->GetCurrentMenuId());
    EXPECT_EQ("Korvane - " + Frame()->GetCommManager().GetPortName(), Title());
    EXPECT_FALSE(Frame()->GetCommManager().GetPortName().IsEmpty());
    EXPECT_EQ(0, kvtest::MenuItemState(Frame(), "&File|&Open ..."));
    EXPECT_EQ(0, kvtest::MenuItemState(Frame(), "&File|&Demo"));
    EXPECT_EQ(1, kvtest::MenuItemState(Frame(), "&File|&Close"));
    EXPECT_EQ(1, kvtest::MenuItemState(Frame(), "&Setup|Motor &Parameters...")) << "the factory makes it";

    for (const CAmplifierData& drive : drives)
        EXPECT_TRUE(Frame()->GetCommManager().GetDriveNames().HasDrive(static_cast<int>(drive.m_address)));

    // A drive window from its menu, through the factory.
    ASSERT_EQ(1, kvtest::MenuItemState(Frame(), "&Setup|&Control Panel"));
    ASSERT_TRUE(kvtest::ChooseMenuItem(Frame(), "&Setup|&Control Panel"));
    ASSERT_EQ(1, CSampleDriveDlg::s_alive);
    auto* window = static_cast<CSampleDriveDlg*>(Frame()->GetUpdateList()->GetHead());
    ASSERT_TRUE(Wait([&] { return window->m_processRounds > 0; })) << "the GUI update reaches the window";
    Screenshot(Frame(), "main-frame-demo");
    EXPECT_EQ(1, kvtest::MenuItemState(Frame(), "&Window|Close All Setup Windows"));
    CString windowTitle;
    window->GetWindowText(windowTitle);
    EXPECT_TRUE(kvtest::ChooseMenuItem(Frame(), "&Window|&1 " + windowTitle)) << "the Window menu lists it";

    // The link statistics window (its menu lives under Debug).
    Frame()->SendMessage(WM_COMMAND, ID_STATISTICS);
    CCmdUI statistics(ID_STATISTICS);
    Frame()->UpdateCommandUI(statistics);
    EXPECT_FALSE(statistics.m_enabled) << "greyed while it is shown";

    ASSERT_TRUE(kvtest::ChooseMenuItem(Frame(), "&File|&Close"));
    EXPECT_FALSE(Frame()->IsCommOpen());
    EXPECT_TRUE(Connected().empty());
    EXPECT_TRUE(Wait([] { return CSampleDriveDlg::s_alive == 0; })) << "closing the link closes its windows";
    EXPECT_EQ(367u, m_app->GetCurrentMenuId());
    EXPECT_EQ("Korvane", Title());
    EXPECT_EQ(1, kvtest::MenuItemState(Frame(), "&File|&Demo"));

    ASSERT_TRUE(kvtest::ChooseMenuItem(Frame(), "&File|E&xit"));
    ASSERT_TRUE(Wait([&] { return Frame() == nullptr; }));
}

TEST_F(DemoSessionTest, TheOscilloscopeOpensFromItsMenuAndPlotsTheDemoDrives)
{
    ASSERT_TRUE(Start());
    ASSERT_TRUE(kvtest::ChooseMenuItem(Frame(), "&File|&Demo"));
    ASSERT_EQ(1, kvtest::MenuItemState(Frame(), "&Tools|&Oscilloscope"));
    ASSERT_TRUE(kvtest::ChooseMenuItem(Frame(), "&Tools|&Oscilloscope"));
    CQvxScopeDlg* scope = Frame()->GetOscilloscope();
    ASSERT_NE(scope, nullptr);
    EXPECT_TRUE(scope->IsWindowVisible());
    double x0 = 0, x1 = 0, y0 = 0, y1 = 0;
    EXPECT_TRUE(Wait([&] { return scope->GetTraceMinMax(0, x0, x1, y0, y1) && x1 > x0; }))
        << "the default channels sample the demo drives";
    Frame()->SendMessage(WM_COMMAND, ID_OSCILLOSCOPE);
    EXPECT_EQ(scope, Frame()->GetOscilloscope()) << "one window for the program's life";

    ASSERT_TRUE(kvtest::ChooseMenuItem(Frame(), "&File|E&xit"));
    ASSERT_TRUE(Wait([&] { return Frame() == nullptr; }));
}

TEST_F(DemoSessionTest, TheOpenCloseTestOpensAndClosesWindowsOneOfAKind)
{
    ASSERT_TRUE(Start());
    CSampleDriveDlg::Register(*Frame()->GetDlgIdMap());
    CWindowFactory::AddRow({32848, "CSampleDriveDlg", true, kUpdateGeneric, nullptr});
    ASSERT_TRUE(kvtest::ChooseMenuItem(Frame(), "&File|&Demo"));
    Frame()->SendMessage(WM_COMMAND, ID_OPEN_CLOSE_TEST);
    bool opened = false, closedAgain = false;
    int most = 0;
    ASSERT_TRUE(Wait([&] {
        most = std::max(most, CSampleDriveDlg::s_alive);
        opened = opened || CSampleDriveDlg::s_alive == 1;
        closedAgain = closedAgain || (opened && CSampleDriveDlg::s_alive == 0);
        return closedAgain;
    }, 20000));
    EXPECT_EQ(1, most) << "never a second window of a kind that is open";
    EXPECT_EQ(0, Frame()->GetUpdateList()->IsInteractive()) << "the test answers the windows' boxes";
    Frame()->SendMessage(WM_COMMAND, ID_OPEN_CLOSE_TEST);
    ASSERT_TRUE(kvtest::ChooseMenuItem(Frame(), "&File|&Close"));
    EXPECT_TRUE(Wait([] { return CSampleDriveDlg::s_alive == 0; }));
}

TEST_F(DemoSessionTest, TheLinkKnowsTheDrivesByTheirAssignedNames)
{
    ASSERT_TRUE(Start());
    ASSERT_TRUE(kvtest::ChooseMenuItem(Frame(), "&File|&Demo"));
    CDriveAssignments& names = Frame()->GetDriveAssignments();
    names.RemoveAll();
    names.Set("Left", 1);
    names.Set("Right", 2);
    EXPECT_EQ(1, Frame()->UpdateLinkDriveNames());
    CString name;
    ASSERT_TRUE(Frame()->GetCommManager().GetDriveNames().FindDriveName(2, name));
    EXPECT_EQ("Right", name);
    m_app->RaiseAlert("COMMAND_TIMEOUT", "no answer", 2, 1, 2);
    m_app->RaiseAlert("COMMAND_TIMEOUT", "no answer", 2, 1, 7);
    const std::vector<CFaultLogItem> alerts = Alerts();
    ASSERT_GE(alerts.size(), 2u);
    EXPECT_EQ("COMMAND_TIMEOUT_Right", alerts[alerts.size() - 2].m_key);
    EXPECT_EQ("[Drive:Right] no answer", alerts[alerts.size() - 2].m_text);
    EXPECT_EQ("COMMAND_TIMEOUT", alerts.back().m_key) << "an address without a name keeps key and text";
    EXPECT_EQ("no answer", alerts.back().m_text);

    names.RemoveAll();
    names.Set("Left", 1);
    EXPECT_EQ(0, Frame()->UpdateLinkDriveNames()) << "drive 2 has no name now";
}

TEST_F(DemoSessionTest, TheDriveStatusBitsFollowTheHardwareFlagWord)
{
    ASSERT_TRUE(Start());
    ASSERT_TRUE(kvtest::ChooseMenuItem(Frame(), "&File|&Demo"));
    CAmpResponseToGui response;
    response.m_address = 1;
    response.m_code = 13452;
    response.m_subCommands.AddTail(CAmpCommand(13449, 14, 1));
    response.m_value = 0x3000;
    EXPECT_EQ(1, Frame()->OnDriveStatusBits(response));
    DWORD data = 0;
    m_app->GetDriveFamily(1, &data);
    EXPECT_EQ(3u, data & 3u);
    response.m_value = 0x1000;
    Frame()->OnDriveStatusBits(response);
    m_app->GetDriveFamily(1, &data);
    EXPECT_EQ(1u, data & 3u);
    response.m_subCommands.GetHead().m_value = 13;  // the model data, not the flag word
    response.m_value = 0x2000;
    EXPECT_EQ(0, Frame()->OnDriveStatusBits(response));
    response.m_address = 9;  // not connected
    response.m_subCommands.GetHead().m_value = 14;
    EXPECT_EQ(0, Frame()->OnDriveStatusBits(response));
    m_app->GetDriveFamily(1, &data);
    EXPECT_EQ(1u, data & 3u);
}

TEST_F(DemoSessionTest, ASerialLinkAsksEachDriveForItsVersionEvery500Ms)
{
    SimulatedSerialDrive sim;
    ASSERT_TRUE(sim.ok());
    sim.AddDrive(1, 450);
    sim.Start();
    m_home.Write("common/Korvane/kvsettings.ini", "");
    ASSERT_TRUE(Start());
    Frame()->GetDriveAssignments().RemoveAll();
    Frame()->GetDriveAssignments().Set("Axis", 1);
    CCommLinkSettings settings;
    settings.m_linkType = kLinkSerial;
    settings.m_comPort = sim.portPath().c_str();
    settings.m_description = "Serial line";
    ASSERT_NE(0, Frame()->OpenCommunication(settings));
    EXPECT_EQ(366u, m_app->GetCurrentMenuId());
    EXPECT_EQ("Korvane - " + Frame()->GetCommManager().GetPortName(), Title());
    EXPECT_NE("Korvane - ", Title());

    auto countVersions = [&sim](int& count) {
        for (const auto& request : sim.TakeRequests())
            if (request.size() >= 3 && ((request[1] << 8) | request[2]) == kVersionCode)
                ++count;
    };
    int ignored = 0;
    ASSERT_TRUE(Wait([&] { countVersions(ignored); return ignored > 0; }));
    const auto started = std::chrono::steady_clock::now();
    int versions = 0;
    ASSERT_TRUE(Wait([&] { countVersions(versions); return versions >= 4; }));
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    EXPECT_GT(seconds, 1.4) << "four requests at 500 ms take at least 1.5 s";
    EXPECT_LT(seconds, 2.6);
    Frame()->CloseCommunication(0);
    sim.Stop();
}

TEST_F(DemoSessionTest, ASetupWindowClosedWithoutChangesAsksNothing)
{
    ASSERT_TRUE(Start());
    ASSERT_TRUE(kvtest::ChooseMenuItem(Frame(), "&File|&Demo"));
    Messages();
    const char* const kWindows[] = {"&Setup|Tavro Drive|Commutation...", "&Setup|Kreln Drive|C&ommutation...",
                                    "&Setup|Motor &Safety..."};
    for (const char* item : kWindows) {
        SCOPED_TRACE(item);
        ASSERT_TRUE(kvtest::ChooseMenuItem(Frame(), item));
        CGuiUpdateList& open = *Frame()->GetUpdateList();
        ASSERT_TRUE(Wait([&] { return !open.IsEmpty() && open.GetTail()->AreStagesDone(); }));
        // As a user looks at it for a moment.
        AfxPumpMessagesUntil([] { return false; }, 1500);
        open.GetTail()->GetWnd()->SendMessage(WM_CLOSE);
        EXPECT_TRUE(Wait([&] { return open.IsEmpty(); }));
        for (const CString& box : Messages())
            EXPECT_EQ(-1, box.Find("Abandon changes?")) << box;
    }
}

// Keys come from the keyboard through the top-level window, as the window system
// brings them: the typed entry takes its edited colour, a reply does not put the
// drive's value back, and closing asks before the entry is lost.
TEST_F(DemoSessionTest, AnEntryTypedOnTheKeyboardIsKeptAndClosingAsks)
{
    ASSERT_TRUE(Start());
    ASSERT_TRUE(kvtest::ChooseMenuItem(Frame(), "&File|&Demo"));
    ASSERT_TRUE(kvtest::ChooseMenuItem(Frame(), "&Setup|Motor &Safety..."));
    CGuiUpdateList& open = *Frame()->GetUpdateList();
    ASSERT_TRUE(Wait([&] { return !open.IsEmpty() && open.GetTail()->AreStagesDone(); }));
    CWnd* window = open.GetTail()->GetWnd();
    auto* limit = dynamic_cast<CQvxGuiEditCtrl*>(window->GetDlgItem(IDC_MSAFE_CURRENT_LIMIT));
    ASSERT_NE(limit, nullptr);
    ASSERT_EQ(limit->GetColourState(), CQvxGuiEditCtrl::kColourNormal);
    Messages();

    limit->SetFocus();
    limit->SetSel(0, -1);
    kvtest::TypeText(limit, "8.5");
    EXPECT_EQ(limit->GetColourState(), CQvxGuiEditCtrl::kColourModified);
    AfxPumpMessagesUntil([] { return false; }, 500);
    CString text;
    limit->GetWindowText(text);
    EXPECT_EQ(text, "8.5") << "the polls' replies leave the entry alone";

    window->SendMessage(WM_CLOSE);
    EXPECT_TRUE(Wait([&] { return open.IsEmpty(); }));
    const std::vector<CString> boxes = Messages();
    EXPECT_TRUE(std::any_of(boxes.begin(), boxes.end(),
                            [](const CString& box) { return box.Find("Abandon changes?") >= 0; }));
}

// Windows opened one after another step down and right; when the next step would
// leave the screen the cascade starts again in the main window's work area, not over
// its menu bar in the screen's corner.
TEST_F(DemoSessionTest, ACascadeThatStartsAgainStaysInTheMainWindowsWorkArea)
{
    ASSERT_TRUE(Start());
    kvtest::OverrideScreen(1000, 800);
    Frame()->SetWindowPos(nullptr, 60, 60, 900, 700, SWP_NOZORDER);
    ASSERT_TRUE(kvtest::ChooseMenuItem(Frame(), "&File|&Demo"));
    CRect work;
    Frame()->GetMDIClient()->GetWindowRect(&work);
    const char* const kWindows[] = {"&Tools|Watch Registers", "&Setup|Tavro Drive|Setup Digital Inputs...",
                                    "&Setup|Motor &Safety...", "&Setup|Servo T&uning..."};
    CGuiUpdateList& open = *Frame()->GetUpdateList();
    for (const char* item : kWindows) {
        SCOPED_TRACE(item);
        ASSERT_TRUE(kvtest::ChooseMenuItem(Frame(), item));
        ASSERT_TRUE(Wait([&] { return !open.IsEmpty() && open.GetTail()->GetWnd()->IsWindowVisible(); }));
        CRect rect;
        open.GetTail()->GetWnd()->GetWindowRect(&rect);
        EXPECT_GE(rect.top, work.top) << "over the main window's menu bar";
        EXPECT_GE(rect.left, 0);
        EXPECT_LE(rect.right, 1000);
        EXPECT_LE(rect.bottom, 800);
    }
    kvtest::OverrideScreen(0, 0);
}
