// The Control Panel on the demo link, opened by name and used as a user would.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "IoDemoFixture.h"
#include "comm/trace/CommManagerTraceClient.h"
#include "platform/core/IniFile.h"
#include "platform/ui/MsgBox.h"
#include "platform/ui/UserInput.h"
#include "setup/io/PanelBarMath.h"
#include "setup/io/windows/QvxCPanelOptionsDlg.h"
#include "setup/io/windows/QvxGuiCPanelDlg.h"
#include "testing/WindowPixels.h"
#include "testing/WindowShot.h"

namespace {

constexpr int kMode = 13796;
constexpr int kCommand = 3;
constexpr int kBar2Command = 35;
constexpr int kEnable = 174;
constexpr int kPositionCommand = 16995;
constexpr int kStatusWord = 20065;
constexpr int kFaultWord = 20070;
constexpr int kInhibitWord = 20087;

// The frames written to the drives, in link order.
class ControlPanelWriteTrace : public CCommManagerTraceClient {
public:
    // The writes to these registers of the drive since they were last taken, in link order.
    std::vector<CAmpMsg> Take(int drive, std::initializer_list<int> codes)
    {
        Collect();
        std::vector<CAmpMsg> taken, kept;
        for (const CAmpMsg& message : m_writes) {
            const bool wanted = message.m_address == drive &&
                                std::find(codes.begin(), codes.end(), message.m_code) != codes.end();
            (wanted ? taken : kept).push_back(message);
        }
        m_writes = kept;
        return taken;
    }
    std::vector<LONG> Take(int drive, int code)
    {
        std::vector<LONG> values;
        for (const CAmpMsg& message : Take(drive, {code}))
            values.push_back(message.m_value);
        return values;
    }
    void Clear()
    {
        Collect();
        m_writes.clear();
    }

private:
    void Collect()
    {
        CAmpMsg message;
        DWORD tag = 0;
        while (GetNextItem(message, tag))
            if (tag == 1 && message.m_width != 0)
                m_writes.push_back(message);
    }
    std::vector<CAmpMsg> m_writes;
};

class ControlPanelTest : public IoDemoTest {
protected:
    void SetUp() override
    {
        IoDemoTest::SetUp();
        m_frame.m_registry.RegisterGui("CONTROL_PANEL", RUNTIME_CLASS(CQvxGuiCPanelDlg), 6, 0);
        m_comm.AddClient(&m_trace);
    }
    void TearDown() override
    {
        m_comm.RemoveClient(&m_trace);
        IoDemoTest::TearDown();
    }
    CQvxGuiCPanelDlg* Open(LONG mode)
    {
        SetRegister(kTavro, kMode, mode);
        auto* dlg = dynamic_cast<CQvxGuiCPanelDlg*>(m_frame.m_registry.CreateGui("CONTROL_PANEL", nullptr, 1));
        if (dlg) {
            EXPECT_TRUE(Wait([&] { return dlg->IsReady() != 0 && dlg->AreStagesDone(); }));
            // The first periodic update has given bar 1 its mode.
            EXPECT_TRUE(Wait([&] { return dlg->Bar(0).m_mode != nullptr; }));
        }
        return dlg;
    }
    static void Enter(CQvxGuiCPanelDlg* dlg, const char* text, int bar = 0)
    {
        CWnd* edit = dlg->GetDlgItem(bar ? IDC_CPANEL_BAR2_EDIT : IDC_CPANEL_BAR1_EDIT);
        edit->SetWindowText("");
        kvtest::TypeText(edit, text);
        kvtest::PressKey(edit, VK_RETURN);
    }
    LONG Expected(CQvxGuiCPanelDlg* dlg, double value)
    {
        CPanelScaling scaling;
        EXPECT_TRUE(dlg->BuildScaling(scaling));
        return PanelRegisterValue(3, scaling.DriveFromEngineering(value));
    }
    // Whether the register changes within the deadline (false: it kept still).
    bool Changes(int code, int ms = 700)
    {
        const LONG before = Register(kTavro, code);
        return AfxPumpMessagesUntil([&] { return Register(kTavro, code) != before; }, ms);
    }
    static CRect ItemRect(CWnd* dlg, int id)
    {
        CRect rect;
        dlg->GetDlgItem(id)->GetWindowRect(&rect);
        dlg->ScreenToClient(&rect);
        return rect;
    }

    ControlPanelWriteTrace m_trace;
};

TEST_F(ControlPanelTest, OpeningWritesNothingAndTypedValuesAreClamped)
{
    SetRegister(kTavro, kCommand, 555);
    SetRegister(kTavro, kEnable, 0);
    m_trace.Clear();
    CQvxGuiCPanelDlg* dlg = Open(2);
    ASSERT_NE(dlg, nullptr);
    Settle();
    // The parameter table's index writes aside, nothing reaches the drive.
    for (int code : {kCommand, kBar2Command, kPositionCommand, kEnable, kMode, 658, 16998, 19060})
        EXPECT_TRUE(m_trace.Take(kTavro, code).empty()) << "opening wrote " << code;
    EXPECT_EQ(Register(kTavro, kCommand), 555);
    CString label;
    dlg->GetDlgItemText(IDC_CPANEL_MAX_LABEL, label);
    EXPECT_EQ(std::string(label), "2,000.00");
    SetRegister(kTavro, 16998, 4321);
    EXPECT_TRUE(Wait([&] {
        CString text;
        dlg->GetDlgItemText(IDC_CPANEL_POSITION, text);
        return text == "4321";
    }));
    Screenshot(dlg, "control_panel");

    Enter(dlg, "1,500");
    EXPECT_DOUBLE_EQ(dlg->GetBarValue(), 1500.0);
    const LONG expected = Expected(dlg, 1500.0);
    EXPECT_TRUE(Wait([&] { return Register(kTavro, kCommand) == expected; })) << Register(kTavro, kCommand);
    Enter(dlg, "5000");
    EXPECT_DOUBLE_EQ(dlg->GetBarValue(), 2000.0);

    kvtest::Click(dlg->GetDlgItem(IDC_CPANEL_STOP));
    EXPECT_TRUE(Wait([&] { return Register(kTavro, kCommand) == 0; }));
}

// One rpm-sized step is far below one drive unit of the demo drive's velocity:
// the clamp is shown in current mode, 1.5 A and a step of 1 A below a Max of 2 A.
TEST_F(ControlPanelTest, AStepStopsAtTheMax)
{
    CQvxGuiCPanelDlg* dlg = Open(0);
    ASSERT_NE(dlg, nullptr);
    Enter(dlg, "1.5");
    const LONG start = Expected(dlg, 1.5);
    const LONG top = Expected(dlg, 2.0);
    ASSERT_NE(start, top);
    ASSERT_TRUE(Wait([&] { return Register(kTavro, kCommand) == start; })) << Register(kTavro, kCommand);
    m_trace.Clear();
    kvtest::Click(dlg->GetDlgItem(IDC_CPANEL_STEP_UP));
    EXPECT_TRUE(Wait([&] { return Register(kTavro, kCommand) == top; })) << Register(kTavro, kCommand);
    kvtest::Click(dlg->GetDlgItem(IDC_CPANEL_STEP_UP));
    std::vector<LONG> sent;
    EXPECT_TRUE(Wait([&] {
        for (LONG v : m_trace.Take(kTavro, kCommand))
            sent.push_back(v);
        return sent.size() >= 2;
    }));
    EXPECT_EQ(sent, (std::vector<LONG>{top, top}));
    EXPECT_LE(dlg->GetBarValue(), 2.0);
    EXPECT_EQ(dlg->GetHeldJog(), 0) << "a click holds nothing";
}

TEST_F(ControlPanelTest, ClicksOnTheBarAskFirst)
{
    CQvxGuiCPanelDlg* dlg = Open(4 | 2);
    ASSERT_NE(dlg, nullptr);
    const CRect bar = dlg->Bar(0).m_rect;
    ASSERT_GT(bar.Width(), 20);
    Boxes();

    // The left edge proposes the Min (within the halving of an odd width); No sends nothing.
    CPanelScaling scaling;
    ASSERT_TRUE(dlg->BuildScaling(scaling));
    const double edge = CPanelBarMath::ClickTarget(*dlg->Bar(0).m_mode, scaling, bar.left, bar.left, bar.Width());
    EXPECT_NEAR(edge, -8000.0, 8000.0 / bar.Width() * 2);
    CString question;
    question.Format("WARNING: You've requested a change to %10.2lf.\n\nYES - Change position\n"
                    "NO  - Don't Change position.",
                    edge);
    AfxQueueScriptedAnswer(IDNO);
    kvtest::ClickAt(dlg, CPoint(bar.left, bar.CenterPoint().y));
    std::vector<CString> boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(Shown(boxes, question)) << boxes[0];
    Settle();
    EXPECT_TRUE(m_trace.Take(kTavro, kPositionCommand).empty());

    AfxQueueScriptedAnswer(IDYES);
    kvtest::ClickAt(dlg, CPoint(bar.left, bar.CenterPoint().y));
    EXPECT_TRUE(Wait([&] { return Register(kTavro, kPositionCommand) == static_cast<LONG>(edge); }));

    // The centre proposes 0, also when the click lands on the bar's own frame.
    AfxQueueScriptedAnswer(IDYES);
    CWnd* picture = dlg->GetDlgItem(IDC_CPANEL_BAR1);
    CRect frame;
    picture->GetClientRect(&frame);
    kvtest::ClickAt(picture, CPoint(bar.Width() / 2, frame.Height() / 2));
    EXPECT_TRUE(Shown(Boxes(), "change to       0.00."));
    EXPECT_TRUE(Wait([&] { return Register(kTavro, kPositionCommand) == 0; }));

    // Beside the bars nothing happens.
    kvtest::ClickAt(dlg, CPoint(bar.CenterPoint().x, bar.bottom + 30));
    kvtest::ClickAt(dlg, CPoint(bar.right + 2, bar.CenterPoint().y));
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(ControlPanelTest, VelocityClicksNameTheUnit)
{
    CQvxGuiCPanelDlg* dlg = Open(2);
    ASSERT_NE(dlg, nullptr);
    const CRect bar = dlg->Bar(0).m_rect;
    Boxes();
    AfxQueueScriptedAnswer(IDYES);
    kvtest::ClickAt(dlg, CPoint(bar.left + bar.Width() / 2, bar.CenterPoint().y));
    EXPECT_TRUE(Shown(Boxes(), "WARNING: You've requested a change to       0.00 (rpm).\n\n"));
    SetRegister(kTavro, kCommand, 77);
    AfxQueueScriptedAnswer(IDYES);
    kvtest::ClickAt(dlg, CPoint(bar.left + bar.Width() / 2, bar.CenterPoint().y));
    EXPECT_TRUE(Wait([&] { return Register(kTavro, kCommand) == 0; }));
}

TEST_F(ControlPanelTest, StopInPositionModeWritesTheEnableInOrder)
{
    using namespace demo_codes;
    CQvxGuiCPanelDlg* dlg = Open(4 | 2);
    ASSERT_NE(dlg, nullptr);
    const struct {
        const char* name;
        LONG statusWord;
        LONG enable;
        std::vector<LONG> written;
    } cases[] = {
        {"enabled", 0x100, 1, {0, 1}},
        {"disabled", 0, 0, {0, 0}},
        // The status word still says enabled while the drive's enable reads 0: never re-enabled.
        {"stale", 0x100, 0, {0, 0}},
    };
    for (const auto& c : cases) {
        // Set until the panel sees it: the previous case's writes may still be on their way.
        ASSERT_TRUE(Wait([&] {
            SetRegister(kTavro, SSA, c.statusWord);
            SetRegister(kTavro, kEnable, c.enable);
            return dlg->GetEnableBit() == (c.statusWord != 0) && dlg->GetStatusWord() == c.statusWord;
        })) << c.name;
        // Two polls of the enable go by, the register keeping still.
        Changes(kEnable, 450);
        m_trace.Clear();
        kvtest::Click(dlg->GetDlgItem(IDC_CPANEL_STOP));
        std::vector<LONG> enables;
        ASSERT_TRUE(Wait([&] {
            for (LONG v : m_trace.Take(kTavro, kEnable))
                enables.push_back(v);
            return enables.size() >= 2;
        })) << c.name;
        EXPECT_EQ(enables, c.written) << c.name;
    }

    // The command goes before the enable.
    m_trace.Clear();
    kvtest::Click(dlg->GetDlgItem(IDC_CPANEL_STOP));
    std::vector<CAmpMsg> writes;
    ASSERT_TRUE(Wait([&] {
        for (const CAmpMsg& m : m_trace.Take(kTavro, {kCommand, kBar2Command, kEnable}))
            writes.push_back(m);
        return writes.size() >= 3;
    }));
    EXPECT_EQ(writes[0].m_code, kCommand);
    EXPECT_EQ(writes[1].m_code, kEnable);
    EXPECT_EQ(writes[2].m_code, kEnable);
}

TEST_F(ControlPanelTest, PositionCommandsZeroingAndFaultReset)
{
    CQvxGuiCPanelDlg* dlg = Open(4 | 2);
    ASSERT_NE(dlg, nullptr);
    Enter(dlg, "40000");
    EXPECT_DOUBLE_EQ(dlg->GetBarValue(), 8000.0);
    EXPECT_TRUE(Wait([&] { return Register(kTavro, kPositionCommand) == 8000; }));

    SetRegister(kTavro, 16998, 1234);
    kvtest::Click(dlg->GetDlgItem(IDC_CPANEL_ZERO_POS));
    EXPECT_TRUE(Wait([&] { return Register(kTavro, 16998) == 0; }));
    CString text;
    dlg->GetDlgItemText(IDC_CPANEL_BAR1_EDIT, text);
    EXPECT_EQ(std::string(text), "0");
    EXPECT_DOUBLE_EQ(dlg->GetBarValue(), 0.0);

    SetRegister(kTavro, 19060, 5);
    SetRegister(kTavro, kCommand, 9);
    kvtest::Click(dlg->GetDlgItem(IDC_CPANEL_FAULT_RESET));
    EXPECT_TRUE(Wait([&] { return Register(kTavro, 19060) == 0 && Register(kTavro, kCommand) == 0; }));
}

TEST_F(ControlPanelTest, OnlyALaterModeChangeZeroesTheCommand)
{
    SetRegister(kTavro, kCommand, 321);
    CQvxGuiCPanelDlg* dlg = Open(0);
    ASSERT_NE(dlg, nullptr);
    Settle();
    EXPECT_EQ(Register(kTavro, kCommand), 321) << "the first mode report zeroes nothing";
    SetRegister(kTavro, kMode, 2);
    EXPECT_TRUE(Wait([&] { return Register(kTavro, kCommand) == 0; }));
    CString label;
    EXPECT_TRUE(Wait([&] {
        dlg->GetDlgItemText(IDC_CPANEL_COMMAND_LABEL, label);
        return label.Find("Velocity (") == 0;
    })) << label;
}

TEST_F(ControlPanelTest, AHeldJogRepeatsUntilReleased)
{
    // Room for many fine steps, whatever one drive unit is in rpm.
    WritePrivateProfileString("CONTROL PANEL OPTIONS", "MaximumVelocity", "100000000", m_app.m_iniPath.c_str());
    WritePrivateProfileString("CONTROL PANEL OPTIONS", "MinimumVelocity", "-100000000", m_app.m_iniPath.c_str());
    CQvxGuiCPanelDlg* dlg = Open(2);
    ASSERT_NE(dlg, nullptr);
    CWnd* up = dlg->GetDlgItem(IDC_CPANEL_FINE_UP);
    SetRegister(kTavro, kCommand, 0);
    kvtest::MouseDown(up, CPoint(4, 4));
    EXPECT_TRUE(Wait([&] { return Register(kTavro, kCommand) >= 3; })) << "each update steps again";
    EXPECT_EQ(dlg->GetHeldJog(), IDC_CPANEL_FINE_UP);
    kvtest::MouseUp(up, CPoint(4, 4));
    EXPECT_TRUE(Wait([&] { return dlg->GetHeldJog() == 0; }));
    Settle();
    EXPECT_FALSE(Changes(kCommand)) << "a release stops the steps";

    // A release that never arrives never keeps the motor stepping.
    const struct {
        const char* name;
        std::function<void()> lose;
    } cases[] = {
        {"the button loses the mouse", [] { ReleaseCapture(); }},
        {"a message box opens", [] { AfxMessageBox("Something else happened."); }},
        {"the window loses its drive", [dlg] { dlg->SetDrive(-1, 0); }},
    };
    for (const auto& c : cases) {
        const LONG start = Register(kTavro, kCommand);
        kvtest::MouseDown(up, CPoint(4, 4));
        ASSERT_TRUE(Wait([&] { return Register(kTavro, kCommand) >= start + 2; })) << c.name;
        c.lose();
        EXPECT_TRUE(Wait([&] { return dlg->GetHeldJog() == 0; })) << c.name;
        Settle();
        EXPECT_FALSE(Changes(kCommand)) << c.name;
        kvtest::MouseUp(up, CPoint(4, 4));
    }
    Boxes();

    // Closing the window while a jog is held ends it too.
    dlg->SetDrive(kTavro, 1);
    ASSERT_TRUE(Wait([&] { return dlg->IsReady() != 0 && dlg->Bar(0).m_mode != nullptr; }));
    kvtest::MouseDown(up, CPoint(4, 4));
    ASSERT_TRUE(Wait([&] { return dlg->GetHeldJog() == IDC_CPANEL_FINE_UP; }));
    kvtest::CloseWindow(dlg);
    ASSERT_TRUE(Wait([&] { return m_frame.m_list.IsEmpty(); }));
    EXPECT_FALSE(Changes(kCommand));
}

TEST_F(ControlPanelTest, TachReverseFollowsTheDrive)
{
    SetRegister(kTavro, 658, 0);
    CQvxGuiCPanelDlg* dlg = Open(0);
    ASSERT_NE(dlg, nullptr);
    ASSERT_TRUE(Wait([&] { return dlg->GetDlgItem(IDC_CPANEL_TACH_REVERSE)->IsWindowEnabled() != 0; }));
    kvtest::Click(dlg->GetDlgItem(IDC_CPANEL_TACH_REVERSE));
    EXPECT_TRUE(Wait([&] { return Register(kTavro, 658) == 1; }));
    LONG tach = 0;
    EXPECT_TRUE(Wait([&] { return dlg->GetTachReading(tach) && tach == 1; }));
    EXPECT_TRUE(Wait([&] { return dlg->IsDlgButtonChecked(IDC_CPANEL_TACH_REVERSE) == BST_CHECKED; }));
    kvtest::Click(dlg->GetDlgItem(IDC_CPANEL_TACH_REVERSE));
    EXPECT_TRUE(Wait([&] { return Register(kTavro, 658) == 0; })) << "the second click follows the drive";
}

TEST_F(ControlPanelTest, LampsAndTheMarkerReadFromTheImage)
{
    using namespace demo_codes;
    SetRegister(kTavro, SSA, 0);
    SetRegister(kTavro, SSF, 0);
    SetRegister(kTavro, kInhibitWord, 0);
    CQvxGuiCPanelDlg* dlg = Open(2);
    ASSERT_NE(dlg, nullptr);
    const CRect state = ItemRect(dlg, IDC_CPANEL_LAMP_STATE);
    const CRect hw = ItemRect(dlg, IDC_CPANEL_LAMP_HW);
    const CRect sw = ItemRect(dlg, IDC_CPANEL_LAMP_SW);
    auto pixel = [&](const CRect& rect) {
        CBitmap image;
        Render(*dlg, image);
        return image.GetPixel(rect.left + 2, rect.top + 2);
    };
    EXPECT_TRUE(Near(pixel(state), RGB(255, 255, 0))) << "Disabled";
    EXPECT_TRUE(Near(pixel(hw), RGB(64, 64, 64)));
    EXPECT_TRUE(Near(pixel(sw), RGB(64, 64, 64)));

    SetRegister(kTavro, SSA, 0x100);
    ASSERT_TRUE(Wait([&] { return Near(pixel(state), RGB(0, 128, 0)); })) << "Enabled";
    // A Tavro drive's inhibits come from its own word.
    SetRegister(kTavro, kInhibitWord, 0x200);
    ASSERT_TRUE(Wait([&] { return Near(pixel(hw), RGB(0, 0, 255)); }));
    EXPECT_TRUE(Near(pixel(sw), RGB(64, 64, 64)));
    SetRegister(kTavro, kInhibitWord, 0x8);
    ASSERT_TRUE(Wait([&] { return Near(pixel(sw), RGB(0, 0, 255)) && Near(pixel(hw), RGB(64, 64, 64)); }));
    SetRegister(kTavro, SSF, 0x40);
    ASSERT_TRUE(Wait([&] { return Near(pixel(state), RGB(190, 0, 0)); })) << "Fault";

    // The marker: a red line at the set-point's place on a black bar.
    Enter(dlg, "1,000");
    const CPanelCommandBar& bar = dlg->Bar(0);
    int x = -1;
    ASSERT_TRUE(Wait([&] {
        x = CPanelBarMath::MarkerX(*bar.m_mode, dlg->GetBarValue(), 0, bar.m_width);
        return bar.m_drawnX == x;
    }));
    EXPECT_NEAR(x, bar.m_width * 3 / 4, 2);
    CBitmap image;
    Render(*dlg, image);
    const int y = bar.m_rect.CenterPoint().y;
    EXPECT_TRUE(Near(image.GetPixel(bar.m_rect.left + x, y), RGB(255, 0, 0), 40));
    EXPECT_TRUE(Near(image.GetPixel(bar.m_rect.left + x - 6, y), RGB(0, 0, 0)));
    EXPECT_TRUE(Near(image.GetPixel(bar.m_rect.left + x + 6, y), RGB(0, 0, 0)));
    Screenshot(dlg, "control_panel_lamps");
}

// At rest the bar timer sleeps; a set-point typed by the user or changed at the
// drive wakes it, the marker moves, and it sleeps again.
TEST_F(ControlPanelTest, TheBarTimerSleepsUntilAMarkerMoves)
{
    CQvxGuiCPanelDlg* dlg = Open(2);
    ASSERT_NE(dlg, nullptr);
    const CPanelCommandBar& bar = dlg->Bar(0);
    const auto markerAt = [&] { return CPanelBarMath::MarkerX(*bar.m_mode, dlg->GetBarValue(), 0, bar.m_width); };
    const auto rests = [&] {
        return !dlg->IsBarTimerRunning() && bar.m_drawnX >= 0 && bar.m_drawnX == markerAt();
    };
    // Settled: drawn, asleep, and nothing wakes it for half a second.
    ASSERT_TRUE(Wait([&] { return rests() && !AfxPumpMessagesUntil([&] { return !rests(); }, 500); }));

    Enter(dlg, "1,000");
    ASSERT_TRUE(Wait([&] { return rests() && bar.m_drawnX > bar.m_width / 2; })) << bar.m_drawnX;

    SetRegister(kTavro, kCommand, 0);  // changed at the drive
    EXPECT_TRUE(Wait([&] { return rests() && std::abs(bar.m_drawnX - bar.m_width / 2) <= 2; })) << bar.m_drawnX;
}

// Conversion parameter 6 = 9: the second bar.
class ControlPanelBar2Test : public ControlPanelTest {
protected:
    void PrepareDrives() override { SetRegister(kTavro, demo_codes::CS, 9); }
};

TEST_F(ControlPanelBar2Test, TheSecondBarIsShownAndCommanded)
{
    CQvxGuiCPanelDlg* dlg = Open(0);
    ASSERT_NE(dlg, nullptr);
    ASSERT_TRUE(Wait([&] { return dlg->IsBar2Shown() != 0; }));
    for (int id : {IDC_CPANEL_BAR2, IDC_CPANEL_BAR2_EDIT, IDC_CPANEL_BAR2_FINE_DOWN, IDC_CPANEL_BAR2_STEP_UP,
                   IDC_CPANEL_PHASE_R, IDC_CPANEL_PHASE_S})
        EXPECT_TRUE(dlg->GetDlgItem(id)->IsWindowVisible()) << id;
    EXPECT_TRUE(dlg->GetDlgItem(IDC_CPANEL_BAR2_EDIT)->IsWindowEnabled());
    for (int id : {IDC_CPANEL_TACH_REVERSE, IDC_CPANEL_VELOCITY_LABEL, IDC_CPANEL_VELOCITY})
        EXPECT_FALSE(dlg->GetDlgItem(id)->IsWindowVisible()) << id;

    SetRegister(kTavro, kBar2Command, 0);
    m_trace.Clear();
    kvtest::Click(dlg->GetDlgItem(IDC_CPANEL_BAR2_STEP_UP));
    EXPECT_TRUE(Wait([&] { return Register(kTavro, kBar2Command) != 0; }));
    EXPECT_TRUE(m_trace.Take(kTavro, kCommand).empty()) << "bar 2 has its own register";
    Enter(dlg, "0.5", 1);
    EXPECT_DOUBLE_EQ(dlg->GetBarValue(1), 0.5);
    const LONG half = Expected(dlg, 0.5);
    EXPECT_TRUE(Wait([&] { return Register(kTavro, kBar2Command) == half; })) << Register(kTavro, kBar2Command);

    m_trace.Clear();
    kvtest::Click(dlg->GetDlgItem(IDC_CPANEL_STOP));
    std::vector<CAmpMsg> writes;
    ASSERT_TRUE(Wait([&] {
        for (const CAmpMsg& m : m_trace.Take(kTavro, {kCommand, kBar2Command, kEnable}))
            writes.push_back(m);
        return writes.size() >= 2;
    }));
    EXPECT_EQ(writes[0].m_code, kBar2Command);
    EXPECT_EQ(writes[0].m_value, 0);
    EXPECT_EQ(writes[1].m_code, kCommand);
    EXPECT_TRUE(Wait([&] { return Register(kTavro, kBar2Command) == 0; }));
    Screenshot(dlg, "control_panel_bar2");
}

// Two-phase current control: parameter 6 above 15, register 3373 at 4 and the
// hardware flag word's bit 3.
class ControlPanelTwoPhaseTest : public ControlPanelTest {
protected:
    void PrepareDrives() override
    {
        SetRegister(kTavro, 3373, 4);
        SetIndexed(kTavro, demo_codes::MDL, demo_codes::MDI, 14, 0x8);
    }
};

TEST_F(ControlPanelTwoPhaseTest, VelocityModeIsTurnedToTheCurrentLoop)
{
    CQvxGuiCPanelDlg* dlg = Open(2);
    ASSERT_NE(dlg, nullptr);
    EXPECT_TRUE(Shown(Boxes(), "Mode has been changed to 'Current Loop Closed'!"));
    EXPECT_TRUE(Wait([&] { return Register(kTavro, kMode) == 1; }));
    EXPECT_TRUE(Wait([&] { return dlg->IsBar2Shown() != 0; }));
}

TEST_F(ControlPanelTest, CommandRegistersTakeTheirLimits)
{
    // Limits far beyond what the registers hold.
    for (const char* key : {"MaximumCurrent", "MaximumPosition"})
        WritePrivateProfileString("CONTROL PANEL OPTIONS", key, "1000000000", m_app.m_iniPath.c_str());
    const struct {
        const char* name;
        LONG mode;
        const char* typed;
        int code;
        LONG sent;
    } cases[] = {
        {"current saturates at the register's limit", 0, "900000000", kCommand, 32767},
        {"position is sent as it is", 4 | 2, "50,000", kPositionCommand, 50000},
    };
    for (const auto& c : cases) {
        CQvxGuiCPanelDlg* dlg = Open(c.mode);
        ASSERT_NE(dlg, nullptr) << c.name;
        m_trace.Clear();
        Enter(dlg, c.typed);
        std::vector<LONG> sent;
        EXPECT_TRUE(Wait([&] {
            sent = m_trace.Take(kTavro, c.code);
            return !sent.empty();
        })) << c.name;
        EXPECT_EQ(sent, std::vector<LONG>{c.sent}) << c.name;
        kvtest::CloseWindow(dlg);
        ASSERT_TRUE(Wait([&] { return m_frame.m_list.IsEmpty(); }));
    }
}

TEST_F(ControlPanelTest, AcceptedOptionsTakeEffectAtOnce)
{
    CQvxGuiCPanelDlg* dlg = Open(2);
    ASSERT_NE(dlg, nullptr);
    Enter(dlg, "500");
    kvtest::Click(dlg->GetDlgItem(IDC_CPANEL_OPTIONS));
    CQvxCPanelOptionsDlg* options = dlg->GetOptionsDialog();
    ASSERT_NE(options, nullptr);
    CWnd* max = options->GetDlgItem(IDC_CPANEL_MAX_VELOCITY);
    max->SetWindowText("");
    kvtest::TypeText(max, "3000");
    kvtest::Click(options->GetDlgItem(IDOK));
    EXPECT_TRUE(Wait([&] { return dlg->GetOptionsDialog() == nullptr; }));
    CString label;
    EXPECT_TRUE(Wait([&] {
        dlg->GetDlgItemText(IDC_CPANEL_MAX_LABEL, label);
        return label == "3,000.00";
    })) << label;
    EXPECT_EQ(dlg->GetModes().GetMode(kPanelVelocity)->Max(), 3000.0);
    EXPECT_NE(m_home.Read("kvsettings.ini").find("MaximumVelocity=3000"), std::string::npos);
    // The dialog opens again.
    kvtest::Click(dlg->GetDlgItem(IDC_CPANEL_OPTIONS));
    ASSERT_NE(dlg->GetOptionsDialog(), nullptr);
    kvtest::Click(dlg->GetOptionsDialog()->GetDlgItem(IDCANCEL));
    EXPECT_TRUE(Wait([&] { return dlg->GetOptionsDialog() == nullptr; }));
}

}  // namespace
