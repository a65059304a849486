// The register-bound controls on the demo link, driven as a user would.
#include <gtest/gtest.h>

#include "BoundControlsFixture.h"
#include "comm/demo/DemoRegisterCodes.h"
#include "distribution/parameters/GlobalParameterKinds.h"
#include "platform/ui/UserInput.h"
#include "testing/WindowShot.h"

using namespace demo_codes;

namespace {

CAmpResponseToGui Reply(LONG value, BYTE width = 2, WORD error = 0)
{
    CAmpResponseToGui reply;
    reply.SetValue(value, width);
    reply.m_error = error;
    return reply;
}

// Types a text over the edit's content as a user would, then presses Enter.
void TypeAndEnter(CQvxGuiEditCtrl& edit, const char* text)
{
    edit.SetFocus();
    edit.SetSel(0, -1);
    kvtest::TypeText(&edit, text);
    kvtest::PressKey(&edit, VK_RETURN);
}

}  // namespace

TEST_F(BoundControlsTest, EditShowsTheRegisterInUserUnitsAndWritesTheTypedValue)
{
    m_params.AddDrive(1);
    ASSERT_TRUE(m_params.RequestParameterQuery(1, GPD_CS));
    double cs = 0.0;
    ASSERT_TRUE(Wait([&] { return m_params.GetParameterValue(1, GPD_CS, cs); }));
    ASSERT_EQ(cs, 21.0);

    SetModelValue(1, MAA, 2100);
    CBoundControlsDlg* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    // Shown: drive units divided by CS; sent: user units times CS.
    dlg->m_edit.BindGlobalParameter(GPD_CS, 1, 0);
    dlg->m_edit.BindValueParameter(GPD_CS, 0, 0);
    ASSERT_TRUE(Wait([&] { return Text(&dlg->m_edit) == "100.0"; })) << Text(&dlg->m_edit).GetString();

    TypeAndEnter(dlg->m_edit, "1,234.5");
    EXPECT_TRUE(dlg->m_edit.IsModified());
    // 1234.5 * 21 = 25924.5, rounded away from zero; shown again in user units.
    EXPECT_EQ(Text(&dlg->m_edit), "1,234.5");
    EXPECT_EQ(dlg->GetPendingChangesState(0), 1) << "an unsent entry is a pending change";
    CString reply;
    ASSERT_EQ(dlg->ExecuteCommand("SENDTOAMP(1)", reply), 1);
    ASSERT_TRUE(Wait([&] { return ModelValue(1, MAA) == 25925; })) << ModelValue(1, MAA);
    EXPECT_EQ(m_factory.m_simulator->LastWrite(MAA).width, 2);
    EXPECT_TRUE(MessageLines().empty());
    Screenshot(dlg, "bound_controls_entry");
}

TEST_F(BoundControlsTest, AValueReadBeforeItsConversionShowsOnceTheConversionArrives)
{
    m_params.AddDrive(1);
    SetModelValue(1, MAA, 2100);
    CBoundControlsDlg* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    // Polled as the setup windows poll: a reply only when the register changes.
    dlg->m_edit.SetPollRegister(MAA, 100, 0x60);
    dlg->m_edit.BindGlobalParameter(GPD_CS, 1, 0);
    dlg->m_edit.RestartPolling();
    ASSERT_TRUE(Wait([&] { return Text(&dlg->m_edit) == "Unavailable"; })) << Text(&dlg->m_edit).GetString();
    ASSERT_TRUE(m_params.RequestParameterQuery(1, GPD_CS));
    EXPECT_TRUE(Wait([&] { return Text(&dlg->m_edit) == "100.0"; })) << Text(&dlg->m_edit).GetString();
}

TEST_F(BoundControlsTest, TheWidthOfAWriteFollowsTheMagnitude)
{
    CBoundControlsDlg* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    const struct {
        LONG value;
        int width;
    } cases[] = {{127, 1}, {128, 2}, {-128, 2}, {32767, 2}, {32768, 4}, {-32768, 4}, {0, 1}};
    for (const auto& c : cases) {
        CString command, reply;
        command.Format("CONTROL(\"OffsetA\").SETVALUE(%ld)", static_cast<long>(c.value));
        ASSERT_EQ(dlg->ExecuteCommand(command, reply), 1);
        EXPECT_EQ(reply, "SUCCESS");
        const size_t before = m_factory.m_simulator->CountWrites(MAA);
        ASSERT_EQ(dlg->GetControlList().SendGroup(1), 1);
        ASSERT_TRUE(Wait([&] { return m_factory.m_simulator->CountWrites(MAA) > before; }));
        const WriteFrame frame = m_factory.m_simulator->LastWrite(MAA);
        EXPECT_EQ(frame.value, c.value);
        EXPECT_EQ(frame.width, c.width) << c.value;
        EXPECT_TRUE(Wait([&] { return ModelValue(1, MAA) == c.value; })) << c.value;
    }
}

TEST_F(BoundControlsTest, AnEntryBeyondTheLimitsIsClampedAndReportedOnlyWithTheRangeFlag)
{
    CBoundControlsDlg* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    CQvxGuiEditCtrl& edit = dlg->m_edit;
    edit.SetLimits(-100.0, 100.0);
    // Within the tolerance of half a drive unit the entry stands (then rounds).
    TypeAndEnter(edit, "100.4");
    EXPECT_EQ(Text(&edit), "100.0");
    EXPECT_TRUE(MessageLines().empty());

    TypeAndEnter(edit, "250");
    EXPECT_EQ(Text(&edit), "100.0");
    ASSERT_EQ(MessageLines().size(), 1u);
    EXPECT_EQ(MessageLines()[0],
              "MSGBOX:\"OffsetA\" must be in the range -100 to 100.  Entered value has been automatically adjusted "
              "to fit into that range.");

    edit.m_flags &= ~kCtrlReportRange;
    TypeAndEnter(edit, "-300");
    EXPECT_EQ(Text(&edit), "-100.0");
    EXPECT_EQ(MessageLines().size(), 1u) << "no message without the flag";

    // Limits in user units: no tolerance.
    edit.m_flags |= kCtrlReportRange;
    edit.m_limitsInUserUnits = 1;
    edit.SetLimits(0.0, 10.0);
    TypeAndEnter(edit, "10.4");
    EXPECT_EQ(Text(&edit), "10.0");
    EXPECT_EQ(MessageLines().size(), 2u);
}

TEST_F(BoundControlsTest, ReplyStatesAndTheirBackgroundColours)
{
    CBoundControlsDlg* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    // The drive rejects a register it does not have.
    ASSERT_TRUE(Wait([&] { return Text(&dlg->m_missing) == "ERROR"; }));
    EXPECT_EQ(dlg->m_missing.GetColourState(), CQvxGuiEditCtrl::kColourUnavailable);
    EXPECT_EQ(PixelOf(&dlg->m_missing, -3, 3), RGB(255, 200, 200));

    // With flag 0x8 a lasting error keeps the text and is reported once, not at every poll.
    const WORD error = static_cast<WORD>(dlg->m_missing.GetReplyError());
    ASSERT_NE(error, 0);
    dlg->m_missing.SetWindowText("42");
    dlg->m_missing.m_flags |= kCtrlReportReplyError;
    for (int poll = 0; poll < 3; ++poll)
        dlg->m_missing.StoreResponse(Reply(0, 2, error));
    ASSERT_EQ(MessageLines().size(), 1u);
    EXPECT_EQ(MessageLines()[0].rfind("MSGBOX:ERROR: ", 0), 0u) << MessageLines()[0];
    EXPECT_NE(MessageLines()[0].find("in field \"Missing\"."), std::string::npos) << MessageLines()[0];
    EXPECT_EQ(Text(&dlg->m_missing), "42");

    // A window-fed control: no answer yet shows "Waiting...", a failed conversion "Unavailable".
    CQvxGuiEditCtrl& edit = dlg->m_edit;
    ASSERT_TRUE(Wait([&] { return edit.GetState() == 3; }));
    EXPECT_EQ(edit.GetColourState(), CQvxGuiEditCtrl::kColourNormal);
    EXPECT_EQ(PixelOf(&edit, -3, 3), RGB(255, 255, 255));
    edit.SetCustomPollId(7);
    edit.EnablePolling(1);
    ASSERT_TRUE(Wait([&] { return Text(&edit) == "Waiting..."; }));

    edit.SetCustomPollId(-1);
    edit.SetPollRegister(MAA, 100, 0);
    edit.BindGlobalParameter(14, 0, 0);  // no such conversion parameter
    edit.RestartPolling();
    ASSERT_TRUE(Wait([&] { return Text(&edit) == "Unavailable"; }));
    EXPECT_EQ(PixelOf(&edit, -3, 3), RGB(255, 200, 200));

    edit.SetDisplayScale(1.0);
    ASSERT_TRUE(Wait([&] { return edit.GetColourState() == CQvxGuiEditCtrl::kColourNormal; }));
    edit.SetFocus();
    kvtest::TypeText(&edit, "5");
    EXPECT_EQ(edit.GetColourState(), CQvxGuiEditCtrl::kColourModified);
    EXPECT_EQ(PixelOf(&edit, -3, 3), RGB(255, 255, 150));
    Screenshot(dlg, "bound_controls_modified");
    edit.EnablePolling(0);
    EXPECT_EQ(edit.GetColourState(), CQvxGuiEditCtrl::kColourOffline);
    EXPECT_EQ(PixelOf(&edit, -3, 3), RGB(200, 200, 200));
}

TEST_F(BoundControlsTest, CheckBoxMasksGroupsAndLamps)
{
    CBoundControlsDlg* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    dlg->GetControlList().StopPollingAll();
    CQvxGuiCheckboxCtrl& box = dlg->m_maskBox;
    const struct {
        LONG value;
        int inverted;
        int checked;
    } cases[] = {{0x5, 0, 1}, {0x3, 0, 0}, {0x5, 1, 0}, {0x3, 1, 1}};
    for (const auto& c : cases) {
        box.m_inverted = c.inverted;
        box.StoreResponse(Reply(c.value));
        EXPECT_EQ(box.GetCheck(), c.checked) << c.value << " inverted " << c.inverted;
        CString text;
        box.GetValueText(text);
        EXPECT_EQ(text, c.checked ? "TRUE" : "FALSE");
    }
    box.m_inverted = 0;
    box.SetCheck(1);
    int value = 0;
    ASSERT_TRUE(box.GetIntValue(value));
    EXPECT_EQ(value, 0x4) << "alone: the on value";

    // The group writes one word and keeps the bits it does not own.
    SetModelValue(1, SSF, 0xF0);
    dlg->GetControlList().StartPollingAll();
    ASSERT_TRUE(Wait([&] { return dlg->m_group.GetState() == 3; }));
    kvtest::Click(&dlg->m_groupLow);
    EXPECT_TRUE(dlg->m_group.IsModified());
    ASSERT_TRUE(dlg->m_group.GetIntValue(value));
    EXPECT_EQ(value, 0xF1);
    ASSERT_EQ(dlg->GetControlList().SendGroup(4), 1);
    ASSERT_TRUE(Wait([&] { return ModelValue(1, SSF) == 0xF1; }));

    // The lamps follow the status word: enabling the drive lights the first.
    CCQvxGuiLampGroupCtrl& lamps = dlg->m_lamps;
    ASSERT_TRUE(Wait([&] { return lamps.GetState() == 3 && lamps.GetPaintedCount() > 0; }));
    const RECT first = lamps.GetLampRect(0);
    EXPECT_EQ(PixelOf(&lamps, first.left + 3, first.top + 3), RGB(120, 120, 120));
    ASSERT_GT(dlg->SendDriveEnable(1), 0);
    ASSERT_TRUE(Wait([&] { return lamps.GetLampState(0) == 1; }));
    EXPECT_EQ(PixelOf(&lamps, first.left + 3, first.top + 3), RGB(0, 200, 0));
    Screenshot(dlg, "bound_controls_enabled");

    // An unchanged value paints nothing.
    const int painted = lamps.GetPaintedCount();
    lamps.StoreResponse(Reply(lamps.GetValue()));
    int rounds = 0;
    AfxPumpMessagesUntil([&] { return ++rounds > 5; }, 1000);
    dlg->GetControlList().StopPollingAll();
    lamps.StoreResponse(Reply(lamps.GetValue()));
    AfxPumpMessagesUntil([&] { return ++rounds > 10; }, 1000);
    EXPECT_EQ(lamps.GetPaintedCount(), painted);
    lamps.StoreResponse(Reply(lamps.GetValue() ^ 0x1));
    ASSERT_TRUE(Wait([&] { return lamps.GetPaintedCount() == painted + 1; }));
}

TEST_F(BoundControlsTest, LampGridAndRandomMemberStayInBounds)
{
    CBoundControlsDlg* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    CCQvxGuiLampGroupCtrl& lamps = dlg->m_lamps;
    CRect client;
    lamps.GetClientRect(&client);
    lamps.m_columns = 0;  // drawn as one column
    const RECT second = lamps.GetLampRect(1);
    EXPECT_EQ(second.left, 0);
    EXPECT_EQ(second.right, client.right);
    lamps.m_columns = 2;
    EXPECT_EQ(lamps.GetLampRect(1).left, client.Width() / 2);

    for (int random : {0, 1, 16383, 32766, 32767})
        for (int count : {1, 2, 3, 7}) {
            const int index = CQvxGuiCheckboxCtrlGroup::PickMember(random, count);
            EXPECT_GE(index, 0);
            EXPECT_LT(index, count) << random << " of " << count;
        }
    EXPECT_EQ(CQvxGuiCheckboxCtrlGroup::PickMember(5, 0), -1);
}

TEST_F(BoundControlsTest, SendFlagsAskAndFollowTheDriveEnableState)
{
    CBoundControlsDlg* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    CQvxGuiEditCtrl& edit = dlg->m_edit;
    ASSERT_TRUE(Wait([&] { return edit.GetState() == 3; }));

    edit.m_flags |= kCtrlConfirmSend;
    edit.m_confirmText = "Write the offset?";
    edit.SetValueText("17");
    ASSERT_EQ(edit.SendValue(), 1);
    ASSERT_EQ(MessageLines().size(), 1u);
    EXPECT_EQ(MessageLines()[0], "MSGBOX:Write the offset?");
    ASSERT_TRUE(Wait([&] { return ModelValue(1, MAA) == 17; }));
    edit.m_flags &= ~kCtrlConfirmSend;

    // Only while disabled: the drive is disabled, the write goes.
    edit.m_flags |= kCtrlSendWhileDisabled;
    edit.m_refusalText = "Disable the drive first.";
    edit.SetValueText("18");
    ASSERT_EQ(edit.SendValue(), 1);
    ASSERT_TRUE(Wait([&] { return ModelValue(1, MAA) == 18; }));
    ASSERT_GT(dlg->SendDriveEnable(1), 0);
    ASSERT_TRUE(Wait([&] { return dlg->GetEnableBit() == 1; }));
    edit.SetValueText("19");
    EXPECT_EQ(edit.SendValue(), 0);
    EXPECT_EQ(MessageLines().back(), "MSGBOX:Disable the drive first.");
    EXPECT_TRUE(edit.IsModified()) << "a refused send keeps the entry";
    edit.m_flags &= ~kCtrlSendWhileDisabled;

    // Only while enabled: now allowed, refused once disabled.
    edit.m_flags |= kCtrlSendWhileEnabled;
    edit.m_refusalText = "Enable the drive first.";
    ASSERT_EQ(edit.SendValue(), 1);
    ASSERT_TRUE(Wait([&] { return ModelValue(1, MAA) == 19; }));
    ASSERT_GT(dlg->SendDriveEnable(0), 0);
    ASSERT_TRUE(Wait([&] { return dlg->GetEnableBit() == 0; }));
    EXPECT_EQ(edit.SendValue(), 0);
    EXPECT_EQ(MessageLines().back(), "MSGBOX:Enable the drive first.");

    // Without a window there is nothing to ask: refused.
    CQvxGuiEditCtrl loose;
    loose.m_flags |= kCtrlSendWhileEnabled;
    EXPECT_EQ(loose.SendValue(), 0);
}

TEST_F(BoundControlsTest, ADriveChangeRestartsPollingAndClosingLeavesNoJobs)
{
    CBoundControlsDlg* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    CQvxGuiEditCtrl& edit = dlg->m_edit;
    ASSERT_TRUE(Wait([&] { return edit.GetState() == 3; }));
    CCompoundAmpMsg command;
    DWORD job = m_dist.FindJobOfQuery(static_cast<DWORD>(edit.GetPollQueryId()));
    ASSERT_NE(job, 0u);
    ASSERT_TRUE(m_dist.GetJobInfo(job, &command, nullptr, nullptr, nullptr));
    EXPECT_EQ(command.m_address, 1);

    SetModelValue(2, MAA, 77);
    dlg->SetDrive(2, 1);
    job = m_dist.FindJobOfQuery(static_cast<DWORD>(edit.GetPollQueryId()));
    ASSERT_TRUE(m_dist.GetJobInfo(job, &command, nullptr, nullptr, nullptr));
    EXPECT_EQ(command.m_address, 2);
    ASSERT_TRUE(Wait([&] { return Text(&edit) == "77.0"; }));

    std::vector<int> queries;
    for (POSITION pos = dlg->GetControlList().GetHeadPosition(); pos;)
        queries.push_back(dlg->GetControlList().GetNext(pos)->GetPollQueryId());
    edit.SetValueText("5");
    ASSERT_EQ(edit.SendValue(), 1);
    EXPECT_EQ(edit.GetSentCount(), 1);
    CString reply;
    dlg->SetClosing(1);
    dlg->ExecuteCommand("CLOSE", reply);
    EXPECT_EQ(CBoundControlsDlg::s_alive, 0);
    for (int id : queries)
        EXPECT_EQ(m_dist.FindJobOfQuery(static_cast<DWORD>(id)), 0u) << id;
}

TEST_F(BoundControlsTest, ControlCommands)
{
    CBoundControlsDlg* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    ASSERT_TRUE(Wait([&] { return dlg->m_edit.GetState() == 3; }));
    SetModelValue(1, MAA, 0);
    const struct {
        const char* command;
        const char* reply;
    } cases[] = {
        {"CONTROL(\"OffsetA\").SETVALUE(1234)", "SUCCESS"},
        {"control(\"OffsetA\").getvalue", "1,234.0"},
        {"CONTROL(\"offseta\").GETVALUE", "ERROR: Unknown control \"offseta\"."},
        {"CONTROL(\"Nothing\").GETVALUE", "ERROR: Unknown control \"Nothing\"."},
        {"CONTROL(\"OffsetA\")", "ERROR: Missing control command."},
        {"CONTROL(\"OffsetA\").", "ERROR: Missing control command."},
        {"CONTROL(\"OffsetA\").RESET", "ERROR: Invalid control command \"RESET\"."},
        {"listcontrols", "OffsetA\r\nMissing\r\nCheckBox\r\nCheckBoxGroup\r\nLampGroup"},
    };
    for (const auto& c : cases) {
        CString reply;
        EXPECT_EQ(dlg->ExecuteCommand(c.command, reply), 1) << c.command;
        EXPECT_EQ(reply, c.reply) << c.command;
    }
    CString reply;
    EXPECT_EQ(dlg->ExecuteCommand("CONTROL(\"OffsetA\").SETVALUE(x", reply), 1);
    EXPECT_EQ(reply.Left(6), "ERROR:");
    EXPECT_EQ(dlg->ExecuteCommand("UNKNOWN", reply), 0);

    // SETVALUE keeps the number: the window's send writes 1234.
    ASSERT_EQ(dlg->ExecuteCommand("SENDTOAMP(1)", reply), 1);
    ASSERT_TRUE(Wait([&] { return ModelValue(1, MAA) == 1234; }));

    // A button the window chose sends the edit's value when it is released.
    CWnd* button = dlg->GetDlgItem(IDCANCEL);
    dlg->m_edit.SetValueText("77");
    dlg->m_edit.AttachToWindow(button->GetSafeHwnd());
    kvtest::MouseDown(button, CPoint(3, 3));
    kvtest::MouseUp(button, CPoint(100, 100));  // released outside: no close, but the hook sees the release
    ASSERT_TRUE(Wait([&] { return ModelValue(1, MAA) == 77; }));
    dlg->m_edit.DetachFromWindow();

    CString listed = dlg->ListControls();
    EXPECT_NE(listed.Find("OffsetA = 77.0\r\n"), -1) << listed.GetString();

    CQvxGuiControlList empty;
    EXPECT_EQ(empty.ExecuteControlCommand("LISTCONTROLS", reply), 1);
    EXPECT_EQ(reply, "No controls.");
    // Adding a listed control again changes neither its group nor its place.
    CQvxGuiControlList& list = dlg->GetControlList();
    EXPECT_EQ(list.AddControl(&dlg->m_edit, 9), list.GetHeadPosition());
    EXPECT_EQ(dlg->m_edit.GetSendGroup(), 1);
}
