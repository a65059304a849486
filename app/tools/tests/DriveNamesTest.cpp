// Drive letter names, the checks of the drive-name table, and the dialog as a
// user runs it from "Drive Assignments" on the demo link.
#include "app/AppPaths.h"
#include "app/tests/AppTestFixture.h"
#include "app/tools/AssignDriveNamesDlg.h"
#include "app/tools/DriveLetterNames.h"
#include "app/tools/QvxTerminalDlg.h"
#include "resources/ids/AssignDriveNamesIds.h"
#include "testing/WindowShot.h"

TEST(DriveLetterNames, NameAndIndexBothWays)
{
    const std::pair<int, const char*> table[] = {{0, "A"}, {25, "Z"}, {26, "AA"}, {27, "AB"}, {51, "AZ"}, {52, "BA"}, {701, "ZZ"}};
    for (const auto& [index, name] : table) {
        EXPECT_EQ(name, DriveIndexToName(index)) << index;
        EXPECT_EQ(index, DriveNameToIndex(name)) << name;
    }
    EXPECT_EQ(-1, DriveNameToIndex(""));
    EXPECT_EQ(27, DriveNameToIndex("ab"));
    EXPECT_EQ(27, DriveNameToIndex("ABC")) << "letters beyond the second do not count";
    EXPECT_EQ("", DriveIndexToName(702));
}

TEST(DriveLetterNames, ValidationOrderFirstFailureWins)
{
    struct Case {
        std::vector<DriveNameRow> rows;
        int row;
        const char* message;
    };
    const char* range = "Drive address out of range. Please enter a number between 0 and 15.";
    const Case cases[] = {
        {{{"1", "A"}, {"2", "B"}}, -1, ""},
        {{{"1", "A"}, {"1", "A"}}, 1, "Duplicate drive name found."},
        {{{"1", "A"}, {"1", "B"}}, 1, "Duplicate drive address name found."},
        {{{"1", "A"}, {"-1", "B"}}, 1, range},
        {{{"16", "A"}}, 0, range},
        {{{"x", "A"}}, 0, range},
        {{{"", "A"}}, 0, range},
        {{{"1", "ABC"}, {"2", "ABD"}}, -1, ""},
        {{{"1", "Kreln"}, {"2", "KRELN"}}, 1, "Duplicate drive name found."},
        {{{"0", "A"}, {"15", "B"}}, -1, ""},
    };
    for (const Case& c : cases) {
        CString message;
        bool addressFault = false;
        EXPECT_EQ(c.row, ValidateDriveNameRows(c.rows, message, addressFault)) << c.message;
        if (c.row >= 0) {
            EXPECT_EQ(c.message, message);
        }
    }
}

TEST(DriveLetterNames, AddProposesNextOrLowestUnused)
{
    EXPECT_EQ(1, ProposeDriveAddress({}));
    EXPECT_EQ(0, ProposeDriveNameIndex({}));
    EXPECT_EQ(3, ProposeDriveAddress({{"2", "A"}, {"0", "C"}}));
    EXPECT_EQ(3, ProposeDriveNameIndex({{"2", "A"}, {"0", "C"}}));
    EXPECT_EQ(1, ProposeDriveAddress({{"15", "A"}})) << "never past 15";
    EXPECT_EQ(2, ProposeDriveAddress({{"15", "A"}, {"1", "B"}}));
    EXPECT_EQ(0, ProposeDriveNameIndex({{"1", "ZZ"}})) << "never past ZZ";
    EXPECT_EQ(1, ProposeDriveNameIndex({{"1", "ZZ"}, {"2", "A"}}));
}

namespace {
class DriveNamesDialogTest : public AppFixture {
protected:
    void SetUp() override
    {
        AppFixture::SetUp();
        ASSERT_TRUE(Start());
        ASSERT_TRUE(kvtest::ChooseMenuItem(Frame(), "&File|&Demo"));
    }
    // Runs "Drive Assignments" with `act` inside the dialog.
    void RunDialog(std::function<void(CAssignDriveNamesDlg*)> act)
    {
        kvtest::OnNextModal([act](CWnd* dialog) { act(static_cast<CAssignDriveNamesDlg*>(dialog)); });
        Frame()->SendMessage(WM_COMMAND, 33033);
    }
};
}  // namespace

TEST_F(DriveNamesDialogTest, ShowsTheMapAndOkRenamesTheDemoDrivesInTheirToolbars)
{
    const CDriveAssignments before = Frame()->GetDriveAssignments();
    ASSERT_GE(before.GetCount(), 2);
    Frame()->SendMessage(WM_COMMAND, 32799);
    auto* terminal = dynamic_cast<CQvxTerminalDlg*>(Frame()->GetUpdateList()->GetHead());
    ASSERT_NE(nullptr, terminal);
    const int drive = terminal->GetDrive();

    RunDialog([&](CAssignDriveNamesDlg* dialog) {
        CDListComboCtrl& list = dialog->GetList();
        EXPECT_EQ(before.GetCount(), list.GetItemCount());
        Screenshot(dialog, "drive-names");
        // The user picks another name for the terminal's drive from the Name drop-down.
        for (int row = 0; row < list.GetItemCount(); ++row)
            if (atoi(list.GetItemText(row, 0)) == drive)
                dialog->OnItemSelectionChanged(&list, row, 1, DriveNameToIndex("Q"), FALSE);
        kvtest::Click(dialog->GetDlgItem(IDOK));
    });
    CString name;
    ASSERT_TRUE(Frame()->GetDriveAssignments().FindName(drive, name));
    EXPECT_EQ("Q", name);
    EXPECT_TRUE(Wait([&] { return terminal->GetDriveName() == "Q"; })) << terminal->GetDriveName().GetString();
    CDriveAssignments reloaded;
    reloaded.Load(AfxGetAppPaths().userIni, AfxGetAppPaths().factoryIni);
    ASSERT_TRUE(reloaded.FindName(drive, name));
    EXPECT_EQ("Q", name) << "stored in the settings file";
}

TEST_F(DriveNamesDialogTest, AddRemoveAndAFaultKeepTheDialogOpen)
{
    Frame()->GetDriveAssignments().RemoveAll();
    Frame()->GetDriveAssignments().Set("A", 31);
    RunDialog([&](CAssignDriveNamesDlg* dialog) {
        CDListComboCtrl& list = dialog->GetList();
        ASSERT_EQ(1, list.GetItemCount());
        EXPECT_EQ("0", list.GetItemText(0, 0)) << "31 is shown as 0";
        kvtest::Click(dialog->GetDlgItem(IDC_DRIVE_NAMES_ADD));
        ASSERT_EQ(2, list.GetItemCount());
        EXPECT_EQ("1", list.GetItemText(1, 0));
        EXPECT_EQ("B", list.GetItemText(1, 1));
        for (int i = 2; i < 15; ++i)
            kvtest::Click(dialog->GetDlgItem(IDC_DRIVE_NAMES_ADD));
        EXPECT_EQ(15, list.GetItemCount());
        EXPECT_FALSE(dialog->GetDlgItem(IDC_DRIVE_NAMES_ADD)->IsWindowEnabled()) << "15 rows at most";
        EXPECT_FALSE(dialog->GetDlgItem(IDC_DRIVE_NAMES_REMOVE)->IsWindowEnabled());
        list.SetItemState(14, LVIS_SELECTED, LVIS_SELECTED);
        EXPECT_TRUE(dialog->GetDlgItem(IDC_DRIVE_NAMES_REMOVE)->IsWindowEnabled());
        kvtest::Click(dialog->GetDlgItem(IDC_DRIVE_NAMES_REMOVE));
        EXPECT_EQ(14, list.GetItemCount());

        list.SetItemText(2, 0, "abc");
        AfxTakeScriptedMessageLog();
        kvtest::Click(dialog->GetDlgItem(IDOK));
        const std::vector<CString> boxes = Messages();
        ASSERT_EQ(1u, boxes.size());
        EXPECT_EQ("Drive address out of range. Please enter a number between 0 and 15.", boxes[0]);
        EXPECT_TRUE(dialog->IsWindowVisible()) << "the dialog stays open";
        list.EndEdit(FALSE);
        list.SetItemText(2, 0, "2");
        kvtest::Click(dialog->GetDlgItem(IDOK));
    });
    EXPECT_EQ(14, Frame()->GetDriveAssignments().GetCount());
    int address = 0;
    ASSERT_TRUE(Frame()->GetDriveAssignments().FindAddress("A", address));
    EXPECT_EQ(31, address) << "0 is stored as 31";
}
