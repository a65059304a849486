// The terminal on the demo link, used as a user does: type a line, press
// Send, read the reply view.
#include "app/AppPaths.h"
#include "app/tests/AppTestFixture.h"
#include "app/tools/QvxTerminalDlg.h"
#include "comm/trace/CommManagerTraceClientList.h"
#include "platform/core/IniFile.h"
#include "resources/ids/TerminalIds.h"
#include "testing/WindowShot.h"
#include "platform/ui/DialogTemplate.h"

namespace {
constexpr UINT kTerminalCommand = 32799;

class TerminalTest : public AppFixture {
protected:
    void SetUp() override
    {
        AppFixture::SetUp();
        ASSERT_TRUE(Start());
        ASSERT_TRUE(kvtest::ChooseMenuItem(Frame(), "&File|&Demo"));
        ASSERT_TRUE(Frame()->IsCommOpen());
    }
    CQvxTerminalDlg* OpenTerminal()
    {
        Frame()->SendMessage(WM_COMMAND, kTerminalCommand);
        for (POSITION pos = Frame()->GetUpdateList()->GetHeadPosition(); pos;)
            if (auto* terminal = dynamic_cast<CQvxTerminalDlg*>(Frame()->GetUpdateList()->GetNext(pos)))
                return terminal;
        return nullptr;
    }
    // Types the line into the command box and presses Send.
    static void Send(CQvxTerminalDlg* terminal, const char* line)
    {
        CWnd* box = terminal->GetDlgItem(IDC_TERMINAL_COMMAND);
        box->SetWindowText("");
        kvtest::TypeText(box, line);
        kvtest::Click(terminal->GetDlgItem(IDC_TERMINAL_SEND));
    }
    bool WaitForText(CQvxTerminalDlg* terminal, const char* text)
    {
        return Wait([&] { return terminal->GetResponseText().Find(text) >= 0; });
    }
    static CString Ini(const char* key)
    {
        char value[32] = {};
        GetPrivateProfileString("TERMINAL", key, "<none>", value, sizeof value, AfxGetAppPaths().userIni);
        return value;
    }
};
}  // namespace

TEST_F(TerminalTest, OpensByCommandSendsALineAndShowsTheReply)
{
    CQvxTerminalDlg* terminal = OpenTerminal();
    ASSERT_NE(nullptr, terminal);
    EXPECT_EQ("Terminal Window", terminal->GetItemName());
    const CString drive = terminal->GetDriveName();
    ASSERT_FALSE(drive.IsEmpty());

    Send(terminal, "VER");
    EXPECT_TRUE(WaitForText(terminal, "[" + drive + ":VER]")) << terminal->GetResponseText().GetString();
    ASSERT_TRUE(WaitForText(terminal, "\n" + drive + ":VER ")) << terminal->GetResponseText().GetString();
    EXPECT_LT(terminal->GetResponseText().Find(":SSA"), 0) << "the window's own status polls are not shown";
    CString box;
    terminal->GetDlgItem(IDC_TERMINAL_COMMAND)->GetWindowText(box);
    EXPECT_EQ("", box) << "sending clears the command box";

    Send(terminal, "QQQQ 1");
    EXPECT_TRUE(WaitForText(terminal, "Command syntax invalid.\r\n") || WaitForText(terminal, "Command syntax invalid.\n"));
    Screenshot(terminal, "terminal-demo");
}

TEST_F(TerminalTest, DrivePrefixSwitchesTheWindowAndAnUnknownDriveSendsNothing)
{
    CQvxTerminalDlg* terminal = OpenTerminal();
    ASSERT_NE(nullptr, terminal);
    CList<CDriveAssignment> assignments;
    m_app->GetDriveAssignments(assignments);
    ASSERT_GE(assignments.GetCount(), 2);
    const CDriveAssignment second = assignments.GetAt(assignments.FindIndex(1));

    CString line;
    line.Format("%d:VER", second.m_address);
    Send(terminal, line);
    EXPECT_EQ(second.m_address, terminal->GetDrive());
    EXPECT_EQ(second.m_name, terminal->GetDriveName());
    EXPECT_TRUE(WaitForText(terminal, "[" + second.m_name + ":VER]")) << terminal->GetResponseText().GetString();

    const int pending = terminal->GetPendingCount();
    Send(terminal, "9:VER");
    EXPECT_EQ(second.m_address, terminal->GetDrive()) << "drive unchanged";
    EXPECT_TRUE(WaitForText(terminal, "Drive \"9\" is not on the link; nothing was sent."));
    EXPECT_EQ(pending, terminal->GetPendingCount()) << "nothing submitted";
}

TEST_F(TerminalTest, LocalWordsInAnyCase)
{
    CQvxTerminalDlg* terminal = OpenTerminal();
    ASSERT_NE(nullptr, terminal);
    struct Case {
        const char* line;
        const char* shown;
    };
    const Case cases[] = {
        {"?:TSR", "[?:TSR]\r\nTSR=$5272\r\n"},
        {"?:tsr", "[?:tsr]\r\ntsr=$5272\r\n"},
        {"?:", "[?:]\r\n=$0000\r\n"},
        {"HEX+:", "[HEX+:]\r\nDisplay as hex ON\r\n"},
        {"hex-:", "[hex-:]\r\nDisplay as hex OFF\r\n"},
        {"Tsr+:", "[Tsr+:]\r\nDisplay timestamp ON\r\n"},
        {"filter+:", "[filter+:]\r\n"},
        {"filter+:SSA", "[filter+:SSA]\r\nFilter \"SSA\" added.\r\n"},
        {"FILTER+:SSA", "[FILTER+:SSA]\r\nFilter \"SSA\" already added.\r\n"},
        {"filter-:MOD", "[filter-:MOD]\r\nFilter \"MOD\" not found.\r\n"},
        {"trace:hello", "[trace:hello]\r\nhello\r\n"},
        {"trace-:", "[trace-:]\r\nTrace OFF\r\n"},
        {"nosuch:word", "[nosuch:word]\r\nInvalid terminal command \"nosuch:word\".\r\n"},
    };
    for (const Case& c : cases) {
        terminal->ExecuteLine("cls:");
        Send(terminal, c.line);
        CString shown = terminal->GetResponseText();
        shown.Replace("\r\n", "\n");
        CString expected = CString("[cls:]\r\n") + c.shown;
        expected.Replace("\r\n", "\n");
        EXPECT_EQ(expected, shown) << c.line;
    }
    EXPECT_EQ(0, terminal->GetShowHex());
    EXPECT_EQ(1, terminal->GetShowTSR());
    EXPECT_EQ(1, terminal->GetFilterCount());

    // hex+ without its colon is a drive command line, which the parser refuses.
    terminal->ExecuteLine("cls:");
    Send(terminal, "hex+");
    EXPECT_GE(terminal->GetResponseText().Find("Command syntax invalid."), 0);
    EXPECT_EQ(0, terminal->GetShowHex());
}

TEST_F(TerminalTest, FlagsAreWrittenOnlyWhenTheyChange)
{
    CQvxTerminalDlg* terminal = OpenTerminal();
    ASSERT_NE(nullptr, terminal);
    Send(terminal, "hex-:");
    EXPECT_EQ("<none>", Ini("ShowHex")) << "an unchanged flag is not written";
    Send(terminal, "hex+:");
    EXPECT_EQ("1", Ini("ShowHex"));
    Send(terminal, "tsr+:");
    EXPECT_EQ("1", Ini("ShowTSR"));
    Send(terminal, "hex-:");
    EXPECT_EQ("0", Ini("ShowHex"));

    // A new terminal starts with the stored flags.
    Send(terminal, "hex+:");
    kvtest::CloseWindow(terminal);
    ASSERT_TRUE(Wait([&] { return Frame()->GetUpdateList()->IsEmpty(); }));
    CQvxTerminalDlg* again = OpenTerminal();
    ASSERT_NE(nullptr, again);
    EXPECT_EQ(1, again->GetShowHex());
    EXPECT_EQ(1, again->GetShowTSR());
}

TEST_F(TerminalTest, HistoryKeepsEachLineOnceLatestOnTop)
{
    CQvxTerminalDlg* terminal = OpenTerminal();
    ASSERT_NE(nullptr, terminal);
    for (const char* line : {"VER", "MOD", "VER", "?:X"})
        Send(terminal, line);
    CComboBox& box = terminal->GetCommandBox();
    ASSERT_EQ(3, box.GetCount());
    CString first, second, third;
    box.GetLBText(0, first);
    box.GetLBText(1, second);
    box.GetLBText(2, third);
    EXPECT_EQ("?:X", first);
    EXPECT_EQ("VER", second);
    EXPECT_EQ("MOD", third);
}

TEST_F(TerminalTest, RouterLinesAndWindowTextCommands)
{
    CQvxTerminalDlg* terminal = OpenTerminal();
    ASSERT_NE(nullptr, terminal);
    Send(terminal, "x:TERMINAL.hello there");
    CString shown = terminal->GetResponseText();
    shown.Replace("\r\n", "\n");
    EXPECT_GE(shown.Find("Received command: hello there\n"), 0) << shown.GetString();
    EXPECT_GE(shown.Find("Terminal displayed string.\n"), 0) << shown.GetString();

    CString reply;
    EXPECT_EQ(1, m_app->ExecuteCommandLine("TERMINAL.from a script", reply));
    EXPECT_EQ("Terminal displayed string.", reply);
}

TEST_F(TerminalTest, TraceShowsOnlyItsDriveAndAppliesFilters)
{
    CQvxTerminalDlg* terminal = OpenTerminal();
    ASSERT_NE(nullptr, terminal);
    CCommManager& manager = Frame()->GetCommManager();
    Send(terminal, "trace+:");
    Send(terminal, "TRACE+:");
    EXPECT_EQ(1, terminal->IsTraceOn());
    Send(terminal, "filter+:SSA");

    // Frames as the link thread would trace them: this drive, another, a filtered code.
    const BYTE mine = static_cast<BYTE>(terminal->GetDrive());
    terminal->AddItem(CAmpMsg(mine, static_cast<WORD>(MnemonicToCode("VER")), 0x1C2, 2), 1);
    terminal->AddItem(CAmpMsg(static_cast<BYTE>(mine + 1), static_cast<WORD>(MnemonicToCode("MOD")), 5, 1), 0);
    terminal->AddItem(CAmpMsg(mine, static_cast<WORD>(MnemonicToCode("SSA")), 5, 1), 0);
    terminal->AddItem(CAmpMsg(mine, static_cast<WORD>(MnemonicToCode("CS")), 0x12, 1), 0);
    ASSERT_TRUE(WaitForText(terminal, "TRACE RX: CS $12"));
    CString shown = terminal->GetResponseText();
    EXPECT_GE(shown.Find("TRACE TX: VER $01c2"), 0) << shown.GetString();
    EXPECT_LT(shown.Find("MOD"), 0) << "another drive's frame is dropped";
    EXPECT_LT(shown.Find("TRACE RX: SSA"), 0) << "a filtered code is dropped";

    Send(terminal, "trace-:");
    EXPECT_EQ(0, terminal->IsTraceOn());
    Send(terminal, "trace-:");
    EXPECT_GE(terminal->GetResponseText().Find("Trace OFF"), 0);
    (void)manager;
}

TEST_F(TerminalTest, RepliesFollowTheDisplayFlags)
{
    CQvxTerminalDlg* terminal = OpenTerminal();
    ASSERT_NE(nullptr, terminal);
    const CString drive = terminal->GetDriveName();
    Send(terminal, "VER");
    ASSERT_TRUE(WaitForText(terminal, "\n" + drive + ":VER 416"));
    Send(terminal, "hex+:");
    Send(terminal, "VER");
    ASSERT_TRUE(WaitForText(terminal, "\n" + drive + ":VER $000001a0")) << terminal->GetResponseText().GetString();
}

TEST_F(TerminalTest, OpensByNameThroughTheRouter)
{
    CString reply;
    m_app->ExecuteCommandLine("OPENGUI(\"TERMINAL\")", reply);
    EXPECT_EQ("SUCCESS", reply);
    ASSERT_EQ(1, static_cast<int>(Frame()->GetUpdateList()->GetCount()));
    auto* terminal = dynamic_cast<CQvxTerminalDlg*>(Frame()->GetUpdateList()->GetHead());
    ASSERT_NE(nullptr, terminal);
    Send(terminal, "VER");
    EXPECT_TRUE(WaitForText(terminal, ":VER 416"));
}

TEST_F(TerminalTest, KeysTypedIntoTheReplyViewGoToTheCommandBox)
{
    CQvxTerminalDlg* terminal = OpenTerminal();
    ASSERT_NE(nullptr, terminal);
    Send(terminal, "?:A");
    CWnd* view = terminal->GetDlgItem(IDC_TERMINAL_RESPONSE);
    const CString before = terminal->GetResponseText();
    kvtest::TypeText(view, "VE");
    view->SendMessage(WM_CHAR, 0x08);  // a backspace is not printable: dropped
    kvtest::TypeText(view, "R");
    CString box;
    ASSERT_TRUE(Wait([&] {
        terminal->GetDlgItem(IDC_TERMINAL_COMMAND)->GetWindowText(box);
        return box == "VER";
    })) << box.GetString();
    EXPECT_EQ(before, terminal->GetResponseText()) << "the read-only view takes no character";
}

TEST_F(TerminalTest, GuiStressTestTypesItsLines)
{
    CQvxTerminalDlg* terminal = OpenTerminal();
    ASSERT_NE(nullptr, terminal);
    std::srand(7);
    for (int i = 0; i < 200; ++i)
        terminal->RandomExercise(4);
    const CString shown = terminal->GetResponseText();
    EXPECT_GE(shown.Find("["), 0) << "some of the eleven lines were run";
    terminal->ExecuteLine("cls:");
    for (int i = 0; i < 50; ++i)
        terminal->RandomExercise(0);
    EXPECT_EQ(CString("[cls:]"), terminal->GetResponseText().Trim()) << "without flag 4 nothing is typed";
}
