// The drive-settings list: its definition lines, and at work on the demo
// link and over a small table.
#include <gtest/gtest.h>

#include "BoundControlsFixture.h"
#include "comm/demo/DemoRegisterCodes.h"
#include "database/QvxDatabase.h"
#include "platform/ui/UserInput.h"
#include "resources/ids/UpdateListSetRegIds.h"
#include "testing/WindowShot.h"

using namespace demo_codes;

namespace {

const char kDefinition[] =
    "!EXTPROC:ADD:Offsets\n"
    "!EXTPROC:ADD:Offset A\\{MAA}\\MAA {_X}\n"
    "!EXTPROC:ID:OffsetA\n"
    "!EXTPROC:RANGE:-1000\\1000\n"
    "!EXTPROC:ADD:Mode\\{MCC}\\MCC {_X}\n"
    "!EXTPROC:ID:Mode\n"
    "!EXTPROC:SELECT:Off\\0\\Slow\\1\\Fast\\2\n"
    "!EXTPROC:RANGE:0\\1\n"
    "!EXTPROC:ADD:Version\\{VER}\n"
    "!EXTPROC:ID:Version\n"
    "!EXTPROC:ADD:Step\\{AMC}\\AMC {_X}\n"
    "!EXTPROC:ID:Step\n"
    "!EXTPROC:FLAGS:8 + 16\n"
    "!EXTPROC:RANGE:0\\10\n"
    "!EXTPROC:DIGITS:0\n";

// Line indices of the rows above.
enum { kHeading = 0, kOffsetLine = 1, kModeLine = 2, kVersionLine = 3, kStepLine = 4 };

class SettingsListTest : public BoundControlsTest {
protected:
    CSettingsListDlg* OpenList(unsigned flags)
    {
        CSettingsListDlg::s_definition = kDefinition;
        CSettingsListDlg::s_flags = flags;
        auto* dlg = dynamic_cast<CSettingsListDlg*>(m_frame.m_registry.CreateGui(kSettingsWindowName, nullptr, 1));
        if (dlg && dlg->GetDrive() != 1)
            dlg->SetDrive(1, 1);
        return dlg;
    }
    static CString Cell(CQvxGuiUpdateList& list, int line) { return list.CReportCtrl::GetItemText(line, 1); }
    bool WaitForCell(CQvxGuiUpdateList& list, int line, const char* text)
    {
        return Wait([&] { return list.GetItemCount() > line && Cell(list, line) == text; });
    }
    void Select(CQvxGuiUpdateList& list, int line)
    {
        for (int i = 0; i < list.GetItemCount(); ++i)
            list.SetItemState(i, 0, LVIS_SELECTED | LVIS_FOCUSED);
        list.SetItemState(line, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    }
};

// Definition lines fed straight to a list without a window.
struct LineCase {
    const char* line;
    int result;
    const char* error;
};

int Feed(CQvxGuiUpdateList& list, const char* line)
{
    list.SetErrorString("");
    return list.ProcessExtLine(line);
}

}  // namespace

TEST_F(SettingsListTest, DefinitionLines)
{
    CQvxGuiUpdateList list;
    EXPECT_EQ(Feed(list, "ID:early"), 0) << "a row line before any ADD:";
    EXPECT_EQ(list.GetErrorString(), "");
    const LineCase cases[] = {
        {"COLOR:9=1", 0, "Invalid color index"},
        {"COLOR:-1=1", 0, "Invalid color index"},
        {"COLOR:1", 0, "'=' exptected"},
        {"COLOR:1=(2", 0, "Error in color expression"},
        {"COLOR:2=255*256", 1, ""},
        {"COLUMNSIZE:150\\1", 1, ""},
        {"ONESHOTQUERIES: true", 1, ""},
        {"ADD:", 0, "Command error"},
        {"ADD:Speed\\{MCC}\\MCC {_X}", 1, ""},
        {"RANGE:5", 0, "Command error"},
        {"FLAGS:(", 1, ""},
        {"SELECT:a\\1\\b", 0, "Command error"},
        {"RECSETFIELD:nothing", 0, "Command error"},
        {"RECSETFIELD:none:field", 0, "Command error"},
        {"add:lower case", 1, ""},
        {"ID: speed ", 1, ""},
        {"DIGITS:3", 1, ""},
    };
    for (const LineCase& c : cases) {
        EXPECT_EQ(Feed(list, c.line), c.result) << c.line;
        EXPECT_EQ(list.GetErrorString(), c.error) << c.line;
    }
    EXPECT_EQ(list.GetColour(2), static_cast<COLORREF>(255 * 256));
    EXPECT_EQ(list.GetColumnSize(), 150.0);
    EXPECT_EQ(list.GetColumnMode(), 1);
    ASSERT_EQ(list.GetRowCount(), 2) << "the failed ADD: still made a row; add: made none";
    CQvxGuiUpdateListData* row = list.GetRowById("speed");
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->m_label, "Speed");
    EXPECT_EQ(row->m_query, "{MCC}");
    EXPECT_EQ(row->m_command, "MCC {_X}");
    EXPECT_EQ(row->m_labelOnly, 0);
    EXPECT_EQ(row->m_minimum, "0.0");
    EXPECT_EQ(row->m_maximum, "4294967295");
    EXPECT_EQ(row->m_flags, 0) << "an expression that does not solve";
    EXPECT_EQ(row->m_oneShot, 1);
    EXPECT_EQ(row->m_digits, 3);
    EXPECT_EQ(row->m_selectors, nullptr) << "a text without a value drops the choices";

    // A new run forgets the current row.
    list.ResetExtProcessor();
    EXPECT_EQ(Feed(list, "DIGITS:1"), 0);
    EXPECT_EQ(list.GetErrorString(), "");
}

TEST_F(SettingsListTest, RowsShowWaitingThenTheDriveValues)
{
    SetModelValue(1, MAA, 250);
    SetModelValue(1, MCC, 2);
    CSettingsListDlg* dlg = OpenList(CQvxGuiUpdateList::kTypeValues | CQvxGuiUpdateList::kEditRows);
    ASSERT_NE(dlg, nullptr);
    CQvxGuiUpdateList& list = dlg->m_list;
    ASSERT_TRUE(WaitForCell(list, kOffsetLine, "250"));
    ASSERT_TRUE(WaitForCell(list, kModeLine, "Fast"));
    LONG version = 0;
    m_factory.m_simulator->Model().GetRegister(1, VER, version);
    CString expected;
    expected.Format("%ld", static_cast<long>(version));
    ASSERT_TRUE(WaitForCell(list, kVersionLine, expected));
    EXPECT_EQ(list.CReportCtrl::GetItemText(kHeading, 0), "Offsets");
    EXPECT_EQ(Cell(list, kHeading), "");
    EXPECT_TRUE(TestListEngineScope::Last()->Errors().empty());
    // The first refresh showed "Waiting..." before the reply came; the drive's changes are not the user's.
    bool waited = false;
    for (const ListEvent& e : dlg->m_events)
        if (e.id == "OffsetA") {
            waited = waited || e.before == "Waiting..." || e.after == "Waiting...";
            EXPECT_EQ(e.byUser, 0);
        }
    EXPECT_TRUE(waited);
    // Colours: a heading line, a writable value, a read-only value.
    EXPECT_EQ(list.GetItemBkColor(0, kHeading), RGB(100, 100, 100));
    EXPECT_EQ(list.GetItemTextColor(1, kOffsetLine), RGB(0, 0, 0));
    EXPECT_EQ(list.GetItemTextColor(1, kVersionLine), RGB(100, 100, 100));
    Screenshot(dlg, "settings_list");

    SetModelValue(1, MAA, -5);
    ASSERT_TRUE(WaitForCell(list, kOffsetLine, "-5")) << Cell(list, kOffsetLine).GetString() << " " << list.GetRowById("OffsetA")->m_value.GetString() << " pending " << list.GetPendingCount();
}

TEST_F(SettingsListTest, TypedValueIsClampedAndWrittenThroughTheCommandText)
{
    CSettingsListDlg* dlg = OpenList(CQvxGuiUpdateList::kTypeValues);
    ASSERT_NE(dlg, nullptr);
    CQvxGuiUpdateList& list = dlg->m_list;
    ASSERT_TRUE(Wait([&] { return list.GetItemCount() == 5 && Cell(list, kOffsetLine) == "0"; }));
    EXPECT_FALSE(list.CanEditSubItem(kVersionLine, 1)) << "no command text";
    EXPECT_FALSE(list.CanEditSubItem(kModeLine, 1)) << "choices take the drop-down";

    ASSERT_TRUE(list.EditSubItem(1, kOffsetLine));
    ASSERT_NE(list.GetEditBox(), nullptr);
    list.GetEditBox()->SetWindowText("");
    kvtest::TypeText(list.GetEditBox(), "640\r");
    ASSERT_TRUE(Wait([&] { return ModelValue(1, MAA) == 640; }));

    ASSERT_TRUE(list.EditSubItem(1, kOffsetLine));
    list.GetEditBox()->SetWindowText("");
    kvtest::TypeText(list.GetEditBox(), "5000\r");
    ASSERT_TRUE(Wait([&] { return ModelValue(1, MAA) == 1000; }));
    ASSERT_FALSE(MessageLines().empty());
    EXPECT_EQ(MessageLines().back(), "MSGBOX:Offset A must be in the range -1000 to 1000. Entered value has been "
                                     "automatically adjusted to fit into this range.");
    ASSERT_TRUE(WaitForCell(list, kOffsetLine, "1000"));
    const ListEvent& told = dlg->m_events.back();
    EXPECT_EQ(told.byUser, 0) << "the refresh after the send";
}

TEST_F(SettingsListTest, ValueKeysDropDownAndTab)
{
    SetModelValue(1, MCC, 0);
    SetModelValue(1, AMC, 3);
    CSettingsListDlg* dlg = OpenList(CQvxGuiUpdateList::kEditRows);
    ASSERT_NE(dlg, nullptr);
    CQvxGuiUpdateList& list = dlg->m_list;
    ASSERT_TRUE(WaitForCell(list, kModeLine, "Off"));
    ASSERT_TRUE(WaitForCell(list, kStepLine, "3"));

    Select(list, kModeLine);
    list.SetFocus();
    kvtest::TypeText(&list, "+");
    ASSERT_TRUE(Wait([&] { return ModelValue(1, MCC) == 1; }));
    EXPECT_EQ(Cell(list, kModeLine), "Slow");
    EXPECT_EQ(list.GetModifiedCount(), 0) << "a key sends at once";
    // The first choice without wrapping: "-" from "Off" beeps and changes nothing.
    kvtest::TypeText(&list, "-");
    ASSERT_TRUE(Wait([&] { return ModelValue(1, MCC) == 0; }));
    ASSERT_TRUE(WaitForCell(list, kModeLine, "Off"));
    EXPECT_EQ(list.HandleValueKey('-'), 1);
    EXPECT_EQ(Cell(list, kModeLine), "Off");
    // Beyond the row's range the cell stays as it was and nothing is held.
    EXPECT_EQ(list.HandleValueKey('+'), 1);
    ASSERT_TRUE(Wait([&] { return ModelValue(1, MCC) == 1; }));
    EXPECT_EQ(list.HandleValueKey('+'), 1);
    EXPECT_EQ(Cell(list, kModeLine), "Slow");
    EXPECT_EQ(list.GetModifiedCount(), 0);
    EXPECT_EQ(list.GetItemTextColor(1, kModeLine), RGB(0, 0, 0));
    AfxPumpMessagesUntil([&] { return false; }, 300);
    EXPECT_EQ(ModelValue(1, MCC), 1);

    // Stepping a number by one within its range; beyond it nothing is sent.
    Select(list, kStepLine);
    EXPECT_EQ(list.HandleValueKey('+'), 1);
    ASSERT_TRUE(Wait([&] { return ModelValue(1, AMC) == 4; }));
    SetModelValue(1, AMC, 10);
    ASSERT_TRUE(WaitForCell(list, kStepLine, "10"));
    EXPECT_EQ(list.HandleValueKey('+'), 1);
    EXPECT_EQ(list.HandleValueKey(' '), 1);
    int rounds = 0;
    AfxPumpMessagesUntil([&] { return ++rounds > 5; }, 1000);
    EXPECT_EQ(ModelValue(1, AMC), 10);

    // A drop-down choice sends its value.
    ASSERT_EQ(list.GetColumnEditType(&list, kModeLine, 1), LCC_EDIT_LIST);
    EXPECT_EQ(list.GetItemSelection(&list, kModeLine, 1), 1);
    list.OnItemSelectionChanged(&list, kModeLine, 1, 2, FALSE);
    ASSERT_TRUE(Wait([&] { return ModelValue(1, MCC) == 2; }));

    // Tab skips the heading and the read-only row, wrapping at the end.
    Select(list, kModeLine);
    ASSERT_EQ(list.MoveByTab(false), 1);
    EXPECT_EQ(list.GetSelectedLine(), kStepLine);
    ASSERT_EQ(list.MoveByTab(false), 1);
    EXPECT_EQ(list.GetSelectedLine(), kOffsetLine);
    ASSERT_EQ(list.MoveByTab(true), 1);
    EXPECT_EQ(list.GetSelectedLine(), kStepLine);
    // The same with the keys.
    list.SetFocus();
    kvtest::PressKey(&list, VK_TAB);
    EXPECT_EQ(list.GetSelectedLine(), kOffsetLine);
    kvtest::PressKey(&list, VK_TAB, false, true);
    EXPECT_EQ(list.GetSelectedLine(), kStepLine);

    // A double click opens the dialog on the clicked line.
    CRect cell;
    list.GetItemRect(kOffsetLine, &cell, LVIR_BOUNDS);
    bool opened = false;
    kvtest::OnNextModal([&](CWnd* dialog) {
        opened = true;
        kvtest::Click(dialog->GetDlgItem(IDCANCEL));
    });
    kvtest::DoubleClick(&list, cell.CenterPoint());
    EXPECT_TRUE(opened);
}

TEST_F(SettingsListTest, HoldModeKeepsChangesUntilTheWindowSends)
{
    SetModelValue(1, MAA, 10);
    CSettingsListDlg* dlg =
        OpenList(CQvxGuiUpdateList::kEditRows | CQvxGuiUpdateList::kHoldChanges);
    ASSERT_NE(dlg, nullptr);
    CQvxGuiUpdateList& list = dlg->m_list;
    ASSERT_TRUE(WaitForCell(list, kOffsetLine, "10"));

    // The dialog, scripted as a user: type a value beyond the range and press OK.
    kvtest::OnNextModal([](CWnd* dialog) {
        CString prompt;
        dialog->GetDlgItemText(IDC_SETREG_PROMPT, prompt);
        EXPECT_EQ(prompt, "Enter setting for Offset A");
        dialog->SetDlgItemText(IDC_SETREG_VALUE, "1,500");
        kvtest::Click(dialog->GetDlgItem(IDOK));
    });
    ASSERT_EQ(list.ModifyRow(kOffsetLine), 1);
    EXPECT_EQ(Cell(list, kOffsetLine), "1000");
    EXPECT_EQ(list.GetItemTextColor(1, kOffsetLine), RGB(255, 0, 0));
    EXPECT_EQ(list.GetModifiedCount(), 1);
    EXPECT_EQ(dlg->GetPendingChangesState(0), 1);
    int rounds = 0;
    AfxPumpMessagesUntil([&] { return ++rounds > 5; }, 1000);
    EXPECT_EQ(Cell(list, kOffsetLine), "1000") << "a held change is not refreshed";
    EXPECT_EQ(ModelValue(1, MAA), 10);

    // The context menu offers the restore; restoring puts the saved value back.
    const auto menu = list.BuildContextMenu(kOffsetLine);
    ASSERT_FALSE(menu.empty());
    EXPECT_EQ(menu.front().text, "Modify Drive Setting");
    EXPECT_EQ(menu.back().text, "Restore All Modified Settings");
    list.OnContextCommand(kOffsetLine, CQvxGuiUpdateList::kMenuRestore);
    EXPECT_EQ(Cell(list, kOffsetLine), "10");
    EXPECT_EQ(list.GetModifiedCount(), 0);

    // Held again, then the window's send writes it and the row follows the drive.
    kvtest::OnNextModal([](CWnd* dialog) {
        dialog->SetDlgItemText(IDC_SETREG_VALUE, "-20");
        kvtest::Click(dialog->GetDlgItem(IDOK));
    });
    ASSERT_EQ(list.ModifyRow(kOffsetLine), 1);
    CString reply;
    ASSERT_EQ(dlg->ExecuteCommand("SENDTOAMP(1)", reply), 1);
    ASSERT_TRUE(Wait([&] { return ModelValue(1, MAA) == -20; }));
    EXPECT_EQ(list.GetModifiedCount(), 0);
    SetModelValue(1, MAA, 33);
    ASSERT_TRUE(WaitForCell(list, kOffsetLine, "33")) << "not red and stale";
    EXPECT_EQ(list.GetItemTextColor(1, kOffsetLine), RGB(0, 0, 0));

    // Refusals of the dialog.
    kvtest::OnNextModal([](CWnd* dialog) { kvtest::Click(dialog->GetDlgItem(IDCANCEL)); });
    EXPECT_EQ(list.ModifyRow(kOffsetLine), 0);
    EXPECT_EQ(list.ModifyRow(kVersionLine), 0);
    EXPECT_EQ(MessageLines().back(), "MSGBOX:This setting is read-only.");
}

TEST_F(SettingsListTest, RecordsetModeShowsAndWritesTheFields)
{
    m_home.Write("Motors.txt",
                 "<tabledef>\n"
                 "<fieldname=\"ID\", fielddesc=\"Record id\", type=AUTOINCID, readonly=\"TRUE\">\n"
                 "<fieldname=\"Name\", type=STRING>\n"
                 "<fieldname=\"Kind\", fielddesc=\"Motor kind\", type=SELECTOR, selections=\"Rotary[0]\\Linear[1]\", "
                 "default=\"0\">\n"
                 "<fieldname=\"Secret\", type=STRING, noshow=\"TRUE\">\n"
                 "<fieldname=\"Kt\", type=NUMERIC, decdigits=2, default=\"0\">\n"
                 "</tabledef>\n"
                 "{\"1\", \"M1\", \"0\", \"x\", \"1.5\"}\n"
                 "{\"2\", \"M2\", \"1\", \"y\", \"0.7\"}\n");
    CQvxDatabase db;
    CString error;
    ASSERT_TRUE(db.LoadTable(m_home.File("Motors.txt").c_str(), &error)) << error.GetString();
    ASSERT_TRUE(db.OpenRecordset("motors", "Motors", "", "", "", 0));
    CQvxDatabaseRecordset* recordset = db.FindRecordset("motors");
    recordset->MoveFirst();
    ASSERT_NE(recordset->GetCurrentRecord(), nullptr);

    CSettingsListDlg* dlg = OpenList(CQvxGuiUpdateList::kTypeValues | CQvxGuiUpdateList::kNoStartupBuild);
    ASSERT_NE(dlg, nullptr);
    CQvxGuiUpdateList& list = dlg->m_list;
    list.BindRecordset(recordset);
    ASSERT_EQ(list.GetItemCount(), 4) << "one line per shown field";
    EXPECT_EQ(list.CReportCtrl::GetItemText(0, 0), "Record id");
    EXPECT_EQ(list.CReportCtrl::GetItemText(1, 0), "Name");
    EXPECT_EQ(list.CReportCtrl::GetItemText(2, 0), "Motor kind");
    EXPECT_EQ(list.CReportCtrl::GetItemText(3, 0), "Kt");
    EXPECT_EQ(Cell(list, 1), "M1");
    EXPECT_EQ(Cell(list, 2), "Rotary");
    EXPECT_EQ(Cell(list, 3), "1.50");
    EXPECT_FALSE(list.CanEditSubItem(0, 1)) << "read-only field";
    EXPECT_FALSE(list.CanEditSubItem(2, 1)) << "a selector takes the drop-down";

    // An edit goes into the field of the line's column.
    ASSERT_TRUE(list.EditSubItem(1, 3));
    list.GetEditBox()->SetWindowText("");
    kvtest::TypeText(list.GetEditBox(), "2.25\r");
    CString value;
    ASSERT_TRUE(recordset->GetFieldValue("Kt", FALSE, value));
    EXPECT_EQ(value, "2.25");
    EXPECT_FALSE(list.IsEditing());
    EXPECT_EQ(list.CReportCtrl::GetItemText(3, 0), "Kt");
    EXPECT_EQ(Cell(list, 3), "2.25");

    // The drop-down writes the chosen value into the Kind field (its column), not into the line's number.
    ASSERT_EQ(list.GetColumnEditType(&list, 2, 1), LCC_EDIT_LIST);
    list.OnItemSelectionChanged(&list, 2, 1, 1, FALSE);
    ASSERT_TRUE(recordset->GetFieldValue("Kind", FALSE, value));
    EXPECT_EQ(value, "1");
    ASSERT_TRUE(recordset->GetFieldValue("Name", FALSE, value));
    EXPECT_EQ(value, "M1");
    Screenshot(dlg, "settings_list_recordset");

    // Moving the record refreshes; read only draws values in colour 0.
    list.m_readOnly = 1;
    ASSERT_TRUE(recordset->MoveNext());
    EXPECT_EQ(Cell(list, 1), "M2");
    EXPECT_EQ(list.GetItemTextColor(1, 1), RGB(100, 100, 100));
    EXPECT_FALSE(list.CanEditSubItem(1, 1));

    // No recordset unbinds: the lines go.
    list.BindRecordset(nullptr);
    EXPECT_EQ(list.GetItemCount(), 0);
    EXPECT_EQ(recordset->clients.GetCount(), 0);
}
