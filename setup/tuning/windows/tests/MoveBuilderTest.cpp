// The Profile Generator on the demo drives: profile lists, editing, the
// exchange with the drive's profile tables, run control and backups.
#include <gtest/gtest.h>

#include <fstream>

#include "TuningDemoFixture.h"
#include "controls/DListComboCtrl.h"
#include "platform/core/Archive.h"
#include "platform/core/File.h"
#include "platform/core/SpecialFolders.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/FileDialog.h"
#include "platform/ui/UserInput.h"
#include "setup/tuning/windows/ProfileBackupEngine.h"
#include "setup/tuning/windows/ProfileQuickBackup.h"
#include "setup/tuning/windows/QvxGuiMoveBuilderDlg.h"
#include "testing/WindowShot.h"

namespace {

using namespace demo_codes;

struct Step {
    int control, trigger, action, controlValue, triggerValue;
};

CQvxMoveBuilderStepArray MakeProfile(const std::vector<Step>& steps)
{
    CQvxMoveBuilderStepArray profile;
    for (const Step& s : steps) {
        CQvxMoveBuilderStep step(&profile);
        step.m_controlType = s.control;
        step.m_triggerType = s.trigger;
        step.m_action = s.action;
        step.m_controlValue = s.controlValue;
        step.m_triggerValue = s.triggerValue;
        profile.AddStep(step);
    }
    return profile;
}

bool SameSteps(const CQvxMoveBuilderStepArray& a, const CQvxMoveBuilderStepArray& b)
{
    if (a.GetSize() != b.GetSize())
        return false;
    for (int i = 0; i < a.GetSize(); ++i) {
        const CQvxMoveBuilderStep &x = a.GetAt(i), &y = b.GetAt(i);
        if (x.PackedWord() != y.PackedWord() || x.m_controlValue != y.m_controlValue ||
            x.m_triggerValue != y.m_triggerValue)
            return false;
    }
    return true;
}

class RecordingBackupEngine : public CProfileBackupEngine {
public:
    int BackupDrive(int drive, const CString& name, const CString& templateName, const CString& path) override
    {
        CString call;
        call.Format("backup %d %s %s %s", drive, static_cast<const char*>(name),
                    static_cast<const char*>(templateName), static_cast<const char*>(path));
        m_calls.push_back(call);
        return 1;
    }
    int RestoreDrive(int drive, const CString& name, const CString& path) override
    {
        CString call;
        call.Format("restore %d %s %s", drive, static_cast<const char*>(name), static_cast<const char*>(path));
        m_calls.push_back(call);
        return 1;
    }
    std::vector<CString> m_calls;
};

class MoveBuilderTest : public TuningDemoTest {
protected:
    void SetUp() override
    {
        TuningDemoTest::SetUp();
        m_frame.m_registry.RegisterGui("MOVE_MAKER", RUNTIME_CLASS(CQvxGuiMoveBuilderDlg), kFamilyKreln | kFamilyTavro,
                                       0);
    }
    void PrepareModel() override
    {
        // Saved profile 0: three chained steps; saved profile 3: one step.
        WriteSavedProfile(kTavro, 0, m_profile0);
        WriteSavedProfile(kTavro, 3, m_profile3);
    }
    void WriteSavedProfile(int drive, int n, const CQvxMoveBuilderStepArray& steps)
    {
        CSingleLock lock(&Model().Lock(), TRUE);
        for (int i = 0; i < steps.GetSize(); ++i) {
            const CQvxMoveBuilderStep& step = steps.GetAt(i);
            SetRegister(drive, PPI, i);
            const LONG cells[] = {step.m_controlValue, step.m_triggerValue, static_cast<LONG>(step.PackedWord())};
            for (int column = 0; column < 3; ++column) {
                SetRegister(drive, PTI, column);
                SetRegister(drive, PTA, cells[column]);
            }
        }
        SetRegister(drive, SC, 32 + n);
    }
    // The drive's working table as steps, up to the first that does not chain.
    CQvxMoveBuilderStepArray DriveTable(int drive)
    {
        CSingleLock lock(&Model().Lock(), TRUE);
        CQvxMoveBuilderStepArray steps;
        for (int i = 0; i < 16; ++i) {
            SetRegister(drive, PPI, i);
            LONG cells[3];
            for (int column = 0; column < 3; ++column) {
                SetRegister(drive, PTI, column);
                cells[column] = Register(drive, PTA);
            }
            CQvxMoveBuilderStep step(&steps);
            step.m_controlValue = cells[0];
            step.m_triggerValue = cells[1];
            step.Unpack(static_cast<DWORD>(cells[2]));
            steps.AddStep(step);
            if (step.m_action != kActionNextStep)
                break;
        }
        return steps;
    }
    CQvxGuiMoveBuilderDlg* Open(int drive = kTavro)
    {
        AfxWriteProfileInt("GENERAL", "DFLTDRV", drive);
        auto* dlg = dynamic_cast<CQvxGuiMoveBuilderDlg*>(m_frame.m_registry.CreateGui("MOVE_MAKER", nullptr, 1));
        if (!dlg)
            return nullptr;
        EXPECT_TRUE(Wait([&] { return dlg->GetDrive() == drive && dlg->AreStagesDone() && Idle(dlg); }));
        return dlg;
    }
    static bool Idle(CQvxGuiMoveBuilderDlg* dlg)
    {
        return !dlg->IsBusy() && dlg->GetSelectedProfile() >= 0;
    }
    static CDListComboCtrl* WorkList(CWnd* dlg) { return static_cast<CDListComboCtrl*>(dlg->GetDlgItem(IDC_MOVE_WORK_LIST)); }
    static CComboBox* Combo(CWnd* dlg, int id) { return static_cast<CComboBox*>(dlg->GetDlgItem(id)); }
    static CPoint CellCentre(CListCtrl* list, int row, int column)
    {
        CRect cell;
        list->GetSubItemRect(row, column, LVIR_LABEL, cell);
        return cell.CenterPoint();
    }
    // Types a value into a cell of the working list as a user would.
    static void EditCell(CDListComboCtrl* list, int row, int column, const char* text)
    {
        list->SetItemState(-1, 0, LVIS_SELECTED | LVIS_FOCUSED);
        kvtest::ClickAt(list, CellCentre(list, row, column));
        kvtest::ClickAt(list, CellCentre(list, row, column));
        CWnd* edit = list->GetDlgItem(IDC_INPLACE_EDIT);
        ASSERT_NE(edit, nullptr);
        edit->SetWindowText("");
        kvtest::TypeText(edit, text);
        kvtest::PressKey(edit, VK_RETURN);
        AfxPumpMessagesUntil([&] { return list->GetDlgItem(IDC_INPLACE_EDIT) == nullptr; }, 5000);
    }

    CQvxMoveBuilderStepArray m_profile0 = MakeProfile({{kControlVelocity, kTriggerTime, kActionNextStep, 100, 50},
                                                       {kControlCurrent, kTriggerPositionInc, kActionNextStep, -5, 4000},
                                                       {kControlVelocity, kTriggerTime, kActionStopHoldPosition, 0, 10}});
    CQvxMoveBuilderStepArray m_profile3 = MakeProfile({{kControlPosition, kTriggerPositionAbs, kActionStopDisable, 7, 8}});
};

TEST_F(MoveBuilderTest, ProfileListsFollowTheDriveFamilyAndTheSelectedProfileIsRead)
{
    CQvxGuiMoveBuilderDlg* tavro = Open(kTavro);
    ASSERT_NE(tavro, nullptr);
    EXPECT_EQ(tavro->GetProfileCount(), 16);
    EXPECT_EQ(Combo(tavro, IDC_MOVE_PROFILE)->GetCount(), 16);
    EXPECT_EQ(tavro->GetSelectedProfile(), 0);
    ASSERT_TRUE(SameSteps(tavro->DriveProfile(0), m_profile0));
    EXPECT_EQ(Register(kTavro, RC), 32);
    auto* driveList = static_cast<CReportCtrl*>(tavro->GetDlgItem(IDC_MOVE_DRIVE_LIST));
    ASSERT_EQ(driveList->GetItemCount(), 3);
    EXPECT_EQ(driveList->GetItemText(2, 0), "03");
    EXPECT_EQ(driveList->GetItemText(1, 3), "Position (inc)");
    EXPECT_EQ(driveList->GetItemText(1, 4), "4000 cts");
    EXPECT_EQ(driveList->GetItemText(0, 4), "0.500 s");
    EXPECT_EQ(driveList->GetItemText(2, 5), "Stop-Hold Pos");
    Screenshot(tavro, "profile-generator");

    // A one-step profile is read as one step.
    ASSERT_TRUE(kvtest::PickItem(Combo(tavro, IDC_MOVE_PROFILE), 3));
    ASSERT_TRUE(Wait([&] { return Idle(tavro) && SameSteps(tavro->DriveProfile(3), m_profile3); }));
    EXPECT_EQ(Register(kTavro, RC), 35);
    tavro->DestroyWindow();

    CQvxGuiMoveBuilderDlg* kreln = Open(1);
    ASSERT_NE(kreln, nullptr);
    EXPECT_EQ(Combo(kreln, IDC_MOVE_PROFILE)->GetCount(), 8);
}

TEST_F(MoveBuilderTest, EditingSendingAndSavingTheWorkingProfile)
{
    CQvxGuiMoveBuilderDlg* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    CDListComboCtrl* list = WorkList(dlg);
    ASSERT_EQ(list->GetItemCount(), 1);
    EXPECT_EQ(list->GetItemText(0, 1), "Velocity");
    kvtest::Click(dlg->GetDlgItem(IDC_MOVE_ADD_STEP));
    ASSERT_EQ(list->GetItemCount(), 2);
    CString total;
    dlg->GetDlgItemText(IDC_MOVE_TOTAL_STEPS, total);
    EXPECT_EQ(total, "Total steps: 2");

    // Values are typed in engineering units; one outside its range leaves the cell.
    EditCell(list, 0, 4, "1.5 s");
    EXPECT_EQ(dlg->Working().GetAt(0).m_triggerValue, 150);
    EXPECT_EQ(list->GetItemText(0, 4), "1.500 s");
    Boxes();
    EditCell(list, 0, 4, "400");
    EXPECT_TRUE(Shown(Boxes(), "\"Value\" must be in the range 0 to 327.67."));
    EXPECT_EQ(dlg->Working().GetAt(0).m_triggerValue, 150);
    EXPECT_TRUE(dlg->IsWorkChanged());
    // Chaining: the first step goes on to the second; a third after a stop is unreachable.
    dlg->Working().ElementAt(0).m_action = kActionNextStep;
    dlg->Working().ElementAt(1).m_triggerValue = 20;
    kvtest::Click(dlg->GetDlgItem(IDC_MOVE_ADD_STEP));
    EXPECT_EQ(list->GetItemBkColor(0, 0), 0xF0FAF0u);
    EXPECT_EQ(list->GetItemBkColor(0, 1), 0xFFFFFFu);
    EXPECT_EQ(list->GetItemBkColor(0, 2), 0x8080FFu);
    dlg->Working().RemoveAt(2);
    dlg->RefreshLists();

    // Send after a scripted Yes fills the drive's table and reads it back.
    const CQvxMoveBuilderStepArray sent = dlg->Working();
    kvtest::Click(dlg->GetDlgItem(IDC_MOVE_SEND));
    EXPECT_TRUE(Shown(Boxes(), "Send Profile to Drive"));
    ASSERT_TRUE(Wait([&] { return Idle(dlg) && SameSteps(dlg->DriveProfile(0), sent); }));
    EXPECT_TRUE(SameSteps(DriveTable(kTavro), sent));
    EXPECT_FALSE(dlg->IsWorkChanged());
    EXPECT_TRUE(dlg->NeedsNvmSave());
    Screenshot(dlg, "profile-generator-sent");

    // A profile change first asks about the unsaved profile.
    AfxQueueScriptedAnswer(IDNO);
    ASSERT_TRUE(kvtest::PickItem(Combo(dlg, IDC_MOVE_PROFILE), 3));
    EXPECT_TRUE(Shown(Boxes(), "Profile #0 needs to be saved to NVM.  Abandon changes?"));
    EXPECT_EQ(dlg->GetSelectedProfile(), 0);

    // Save to NVM fills the saved slot.
    kvtest::Click(dlg->GetDlgItem(IDC_MOVE_SAVE_NVM));
    EXPECT_TRUE(Shown(Boxes(), "Save Profile #0 to NVM on Drive"));
    EXPECT_FALSE(dlg->NeedsNvmSave());
    ASSERT_TRUE(Wait([&] { return Register(kTavro, SC) == 32; }));
    WriteSavedProfile(kTavro, 5, m_profile3);  // disturbs the working table
    SetRegister(kTavro, RC, 32);
    EXPECT_TRUE(SameSteps(DriveTable(kTavro), sent)) << "the saved slot holds the sent profile";

    // The close question.
    dlg->Working().ElementAt(0).m_controlValue = 1;
    kvtest::Click(dlg->GetDlgItem(IDC_MOVE_ADD_STEP));
    AfxQueueScriptedAnswer(IDNO);
    EXPECT_EQ(dlg->CanClose(), 0);
    EXPECT_TRUE(Shown(Boxes(), "Profile needs to be sent to the drive.  Abandon changes?"));
}

TEST_F(MoveBuilderTest, StepLimitsAndRemovals)
{
    CQvxGuiMoveBuilderDlg* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    for (int i = 1; i < 16; ++i)
        kvtest::Click(dlg->GetDlgItem(IDC_MOVE_ADD_STEP));
    EXPECT_EQ(dlg->Working().GetSize(), 16);
    Boxes();
    kvtest::Click(dlg->GetDlgItem(IDC_MOVE_ADD_STEP));
    EXPECT_TRUE(Shown(Boxes(), "The maximum number of steps has been reached."));
    EXPECT_EQ(dlg->Working().GetSize(), 16);

    kvtest::Click(dlg->GetDlgItem(IDC_MOVE_REMOVE_STEP));
    EXPECT_TRUE(Shown(Boxes(), "No steps selected."));
    WorkList(dlg)->SetItemState(3, LVIS_SELECTED, LVIS_SELECTED);
    kvtest::Click(dlg->GetDlgItem(IDC_MOVE_REMOVE_STEP));
    EXPECT_EQ(dlg->Working().GetSize(), 15);
    kvtest::Click(dlg->GetDlgItem(IDC_MOVE_REMOVE_ALL));
    EXPECT_TRUE(Shown(Boxes(), "Remove all steps?"));
    EXPECT_EQ(dlg->Working().GetSize(), 1);
    EXPECT_EQ(WorkList(dlg)->GetItemCount(), 1);

    kvtest::Click(dlg->GetDlgItem(IDC_MOVE_CLEAR_PROGRAMS));
    EXPECT_TRUE(Shown(Boxes(), "Clear programs 1-16?"));
    EXPECT_EQ(dlg->DriveProfile(0).GetSize(), 0);
}

TEST_F(MoveBuilderTest, TriggerChoicesFollowTheControlType)
{
    CQvxGuiMoveBuilderDlg* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    CQvxMoveBuilderStep& step = dlg->Working().ElementAt(0);
    const struct {
        int control;
        std::vector<int> triggers;
    } cases[] = {
        {kControlPosition, {kTriggerPositionAbs, kTriggerPositionInc}},
        // The demo Tavro runs firmware 5.1: torque triggers stay for a torque step.
        {kControlTorque,
         {kTriggerTime, kTriggerTorque, kTriggerTorqueSensV, kTriggerVelocity, kTriggerPositionAbs,
          kTriggerPositionInc, kTriggerDigitalInput}},
        {kControlVelocity,
         {kTriggerTime, kTriggerTorque, kTriggerTorqueSensV, kTriggerVelocity, kTriggerPositionAbs,
          kTriggerPositionInc, kTriggerDigitalInput}},
    };
    for (const auto& c : cases) {
        step.m_controlType = c.control;
        EXPECT_EQ(dlg->CellCodes(0, 3), c.triggers) << c.control;
    }
    EXPECT_EQ(dlg->CellCodes(0, 5).size(), 5u);
    EXPECT_EQ(dlg->CellCodes(0, 1).size(), 4u);
    EXPECT_TRUE(dlg->CellCodes(0, 2).empty());

    // The list a user opens on the trigger cell of a position step.
    step.m_controlType = kControlPosition;
    step.m_triggerType = kTriggerPositionInc;
    dlg->RefreshLists();
    CDListComboCtrl* list = WorkList(dlg);
    list->SetItemState(-1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    kvtest::ClickAt(list, CellCentre(list, 0, 3));
    kvtest::ClickAt(list, CellCentre(list, 0, 3));
    auto* editor = static_cast<CComboBox*>(list->GetDlgItem(IDC_INPLACE_LIST));
    ASSERT_NE(editor, nullptr);
    ASSERT_EQ(editor->GetCount(), 2);
    CString first;
    editor->GetLBText(0, first);
    EXPECT_EQ(first, "Position (abs)");
    EXPECT_EQ(editor->GetCurSel(), 1);
    list->SetFocus();
}

TEST_F(MoveBuilderTest, ExecuteNeedsAnEnabledDriveAndAbortStopsIt)
{
    CQvxGuiMoveBuilderDlg* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    Boxes();
    kvtest::Click(dlg->GetDlgItem(IDC_MOVE_EXECUTE));
    EXPECT_TRUE(Shown(Boxes(), "Please enable drive before running profile."));
    Settle();
    EXPECT_EQ(Register(kTavro, PPE), 0);

    SetRegister(kTavro, SSA, 0x100);
    ASSERT_TRUE(Wait([&] { return dlg->GetEnableBit() == 1; }));
    kvtest::Click(dlg->GetDlgItem(IDC_MOVE_EXECUTE));
    EXPECT_TRUE(Shown(Boxes(), "Execute Profile on Drive"));
    ASSERT_TRUE(Wait([&] { return Register(kTavro, PPE) == 1 && dlg->IsProfileRunning(); }));
    CString text;
    ASSERT_TRUE(Wait([&] {
        dlg->GetDlgItemText(IDC_MOVE_EXECUTE, text);
        return text == "Abort Profile";
    }));
    kvtest::Click(dlg->GetDlgItem(IDC_MOVE_SEND));
    EXPECT_TRUE(Shown(Boxes(), "Profile is in process. Please wait for completion"));
    kvtest::Click(dlg->GetDlgItem(IDC_MOVE_EXECUTE));
    ASSERT_TRUE(Wait([&] { return Register(kTavro, PPE) == 0; }));
    SetRegister(kTavro, SSA, 0);
}

TEST_F(MoveBuilderTest, AHardwareSelectorChangeLoadsItsProfileAndSaysOnceWhatWasLost)
{
    CQvxGuiMoveBuilderDlg* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    kvtest::Click(dlg->GetDlgItem(IDC_MOVE_SEND));
    ASSERT_TRUE(Wait([&] { return Idle(dlg) && dlg->NeedsNvmSave(); }));
    Boxes();
    SetRegister(kTavro, PPS, 3);
    ASSERT_TRUE(Wait([&] { return dlg->GetSelectedProfile() == 3 && Idle(dlg) && dlg->DriveProfile(3).GetSize() == 1; }));
    Settle();
    int told = 0;
    for (const CString& box : Boxes())
        told += box.Find("Hardware selector changed the currently selected profile.  Changes to Profile #0") >= 0;
    EXPECT_EQ(told, 1);
    EXPECT_FALSE(dlg->NeedsNvmSave());
    EXPECT_EQ(Register(kTavro, RC), 35);
}

TEST_F(MoveBuilderTest, QuickBackupRoundTripAndADamagedFileLoadsNothing)
{
    CQvxGuiMoveBuilderDlg* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    dlg->Working().ElementAt(0).m_controlValue = 1234;
    kvtest::Click(dlg->GetDlgItem(IDC_MOVE_QUICK_BACKUP));
    const CString path = dlg->QuickBackupPath();
    ASSERT_FALSE(path.IsEmpty());
    EXPECT_NE(path.Find("Profile Backup for Drive "), -1);
    EXPECT_EQ(path.Right(3), ".bk");

    dlg->Working().ElementAt(0).m_controlValue = 0;
    AfxQueueScriptedAnswer(IDNO);  // "Save changes first?"
    kvtest::QueueFileDialogAnswer(path);
    kvtest::Click(dlg->GetDlgItem(IDC_MOVE_QUICK_RESTORE));
    EXPECT_EQ(dlg->Working().GetAt(0).m_controlValue, 1234);
    EXPECT_TRUE(SameSteps(dlg->DriveProfile(0), m_profile0));

    // A count above 16, a code outside its table, a cut file: nothing changes.
    const std::string damaged = m_home.File("damaged.bk");
    const auto writeFile = [&](const std::vector<unsigned char>& bytes) {
        std::ofstream(damaged, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                       static_cast<std::streamsize>(bytes.size()));
    };
    std::vector<unsigned char> good;
    {
        CString error;
        ASSERT_TRUE(CProfileQuickBackup::Write(damaged.c_str(), dlg->Working(), {&m_profile3}, error));
        std::ifstream in(damaged, std::ios::binary);
        good.assign(std::istreambuf_iterator<char>(in), {});
    }
    std::vector<unsigned char> tooMany = good;
    tooMany[0] = 17;
    std::vector<unsigned char> badCode = good;
    badCode[4 + 2] = 9;  // the working profile's first control type
    std::vector<unsigned char> cut(good.begin(), good.end() - 5);
    for (const auto& bytes : {tooMany, badCode, cut}) {
        writeFile(bytes);
        dlg->Working().ElementAt(0).m_controlValue = 77;
        Boxes();
        AfxQueueScriptedAnswer(IDNO);
        kvtest::QueueFileDialogAnswer(damaged.c_str());
        kvtest::Click(dlg->GetDlgItem(IDC_MOVE_QUICK_RESTORE));
        EXPECT_TRUE(Shown(Boxes(), "is not a profile backup; nothing was loaded."));
        EXPECT_EQ(dlg->Working().GetAt(0).m_controlValue, 77);
        EXPECT_TRUE(SameSteps(dlg->DriveProfile(0), m_profile0));
    }
    EXPECT_EQ(CProfileQuickBackup::SafeFileName("a/b:c"), "a_b_c");

    SetRegister(kTavro, SSA, 0x100);
    ASSERT_TRUE(Wait([&] { return dlg->GetEnableBit() == 1; }));
    kvtest::Click(dlg->GetDlgItem(IDC_MOVE_QUICK_BACKUP));
    EXPECT_TRUE(Shown(Boxes(), "Please disable drive before backing-up profiles."));
    SetRegister(kTavro, SSA, 0);
}

TEST_F(MoveBuilderTest, BackupAndRestoreGoThroughTheBackupEngine)
{
    RecordingBackupEngine engine;
    CProfileBackupEngine::Install(&engine);
    CQvxGuiMoveBuilderDlg* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    const std::string file = m_home.File("all.bk");
    kvtest::QueueFileDialogAnswer(file.c_str());
    kvtest::Click(dlg->GetDlgItem(IDC_MOVE_BACKUP));
    kvtest::QueueFileDialogAnswer(file.c_str());
    kvtest::Click(dlg->GetDlgItem(IDC_MOVE_RESTORE));
    CProfileBackupEngine::Install(nullptr);
    ASSERT_EQ(engine.m_calls.size(), 2u);
    EXPECT_NE(engine.m_calls[0].Find("backup 2 "), -1);
    EXPECT_NE(engine.m_calls[0].Find(" MoveMakerBU.dat " + CString(file.c_str())), -1) << engine.m_calls[0];
    EXPECT_NE(engine.m_calls[1].Find("restore 2 "), -1);
    const std::vector<CString> boxes = Boxes();
    EXPECT_TRUE(Shown(boxes, "All profiles successfully backed-up"));
    EXPECT_TRUE(Shown(boxes, "All profiles successfully restored"));
}

}  // namespace
