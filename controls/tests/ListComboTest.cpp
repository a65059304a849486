#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <vector>

#include "ControlsTestKit.h"
#include "controls/DListComboCtrl.h"
#include "controls/InPlaceTree.h"
#include "platform/core/DebugLog.h"
#include "testing/UiPrinters.h"
#include "testing/WindowShot.h"

using namespace kvcontrolstest;

namespace {

struct Change {
    int row, column;
    int index;
    CString text;
    BOOL unchanged;
};

class COwner : public CDListComboCtrlCB {
public:
    std::vector<Change> selections;
    std::vector<Change> texts;
    int kind = LCC_EDIT_LIST;
    int reject = 0;
    int GetItemSelection(CDListComboCtrl* list, int row, int column) override
    {
        CStringList* choices = list->GetComboList(column);
        const CString shown = list->GetItemText(row, column);
        int index = 0;
        for (POSITION pos = choices ? choices->GetHeadPosition() : nullptr; pos; ++index)
            if (choices->GetNext(pos) == shown)
                return index;
        return -1;
    }
    void OnItemSelectionChanged(CDListComboCtrl*, int row, int column, int index, BOOL unchanged) override
    {
        selections.push_back({row, column, index, "", unchanged});
    }
    CString GetItemText(CDListComboCtrl* list, int row, int column) override { return list->GetItemText(row, column); }
    void OnItemTextChanged(CDListComboCtrl*, int row, int column, CString text, BOOL unchanged) override
    {
        texts.push_back({row, column, -1, text, unchanged});
    }
    int PreCommitEdit(CDListComboCtrl*, LVITEM*) override { return reject; }
    int CanEditItem(CDListComboCtrl*, LVITEM*) override { return 0; }
    int GetColumnEditType(CDListComboCtrl*, int, int) override { return kind; }
};

class ListComboTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(list.CreateReport(&parent, 4000, CRect(5, 5, 405, 305)));
        list.InsertColumn(0, "Setting", LVCFMT_LEFT, 120);
        list.InsertColumn(1, "Mode", LVCFMT_LEFT, 120);
        list.InsertColumn(2, "Tiny", LVCFMT_LEFT, 8);
        for (int row = 0; row < 4; ++row) {
            list.InsertItem(row, "setting");
            list.SetItemText(row, 1, "Off");
        }
        list.AddComboList(1);
        for (const char* choice : {"Off", "Slow", "Fast"})
            list.AddComboString(choice);
        list.AddComboList(2);
        list.AddComboString("x");
        list.m_bEditable = TRUE;
        list.SetCallback(&owner);
        AfxPumpMessages();
    }
    CWnd* Editor() { return list.GetDlgItem(IDC_INPLACE_LIST); }
    void ClickCell(int row, int column) { kvtest::ClickAt(&list, CellCentre(list, row, column)); }
    // The editor ends when it loses the focus; its window goes on the next pass of the loop.
    void WaitForEditorToClose()
    {
        ASSERT_TRUE(AfxPumpMessagesUntil([&] { return Editor() == nullptr && list.GetDlgItem(IDC_INPLACE_EDIT) == nullptr; }));
    }
    CRecordingParent parent;
    CDListComboCtrl list;
    COwner owner;
};

}  // namespace

TEST_F(ListComboTest, SecondClickOpensTheListAndEnterCommitsTheChoice)
{
    ClickCell(2, 1);
    EXPECT_EQ(Editor(), nullptr) << "the first click on a row only selects and focuses it";
    EXPECT_EQ(list.GetItemState(2, LVIS_FOCUSED | LVIS_SELECTED), LVIS_FOCUSED | LVIS_SELECTED);
    ClickCell(2, 1);
    CWnd* editor = Editor();
    ASSERT_NE(editor, nullptr);
    auto* combo = static_cast<CComboBox*>(editor);
    EXPECT_EQ(combo->GetCount(), 3);
    EXPECT_EQ(combo->GetCurSel(), 0) << "starts at the cell's current choice";
    ASSERT_TRUE(kvtest::PickItem(combo, 2));
    kvtest::PressKey(combo, VK_RETURN);
    WaitForEditorToClose();
    EXPECT_EQ(list.GetItemText(2, 1), "Fast");
    ASSERT_EQ(owner.selections.size(), 1u);
    EXPECT_EQ(owner.selections[0].row, 2);
    EXPECT_EQ(owner.selections[0].column, 1);
    EXPECT_EQ(owner.selections[0].index, 2);
    EXPECT_FALSE(owner.selections[0].unchanged);
    EXPECT_TRUE(list.IsEditorClosed());
}

// The list drops down as the user opens it (with the arrow or F4) and a value is picked with the mouse.
TEST_F(ListComboTest, TheDroppedListStaysOpenAndAMouseClickPicksTheValue)
{
    struct Way {
        const char* name;
        std::function<void(CWnd*)> open;
    };
    const Way ways[] = {
        {"a click on the arrow", [](CWnd* editor) {
             CRect r;
             editor->GetClientRect(&r);
             kvtest::ClickAt(editor, CPoint(r.right - 4, r.Height() / 2));
         }},
        {"F4", [](CWnd* editor) { kvtest::PressKey(editor, VK_F4); }},
    };
    int row = 0;
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        ClickCell(row, 1);
        ClickCell(row, 1);
        CWnd* editor = Editor();
        ASSERT_NE(editor, nullptr);
        way.open(editor);
        AfxPumpMessages();
        ASSERT_EQ(Editor(), editor) << "opening the list does not end the edit";
        ASSERT_TRUE(static_cast<CComboBox*>(editor)->GetDroppedState());
        EXPECT_FALSE(kvtest::DroppedListRect(editor).IsRectEmpty());
        ASSERT_TRUE(kvtest::ClickDroppedItem(editor, 2));
        WaitForEditorToClose();
        EXPECT_EQ(list.GetItemText(row, 1), "Fast");
        ++row;
    }
    ASSERT_EQ(owner.selections.size(), 2u);
    EXPECT_EQ(owner.selections[1].index, 2);
}

// Each editor covers its cell: the same left and top, one row high.
TEST_F(ListComboTest, EditorsSitOnTheirCells)
{
    struct Case {
        int kind;
        int column;
        UINT editorId;
    };
    list.AddComboList(0);
    for (const char* choice : {"setting", "other"})
        list.AddComboString(choice);
    const Case cases[] = {{LCC_EDIT_LIST, 0, IDC_INPLACE_LIST}, {LCC_EDIT_LIST, 1, IDC_INPLACE_LIST},
                          {LCC_EDIT_TEXT, 0, IDC_INPLACE_EDIT}, {LCC_EDIT_TREE, 1, IDC_INPLACE_LIST}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "kind " << c.kind << " column " << c.column);
        owner.kind = c.kind;
        ClickCell(1, c.column);
        ClickCell(1, c.column);
        CWnd* editor = list.GetDlgItem(c.editorId);
        ASSERT_NE(editor, nullptr);
        CRect cell, row, placed;
        list.GetSubItemRect(1, c.column, LVIR_LABEL, cell);
        list.GetItemRect(1, &row, LVIR_BOUNDS);
        editor->GetWindowRect(&placed);
        list.ScreenToClient(&placed);
        EXPECT_LE(std::abs(placed.left - cell.left), 4) << "left edge";
        EXPECT_EQ(placed.top, row.top);
        EXPECT_EQ(placed.Height(), row.Height()) << "one row high, the next row stays visible";
        list.SetFocus();
        WaitForEditorToClose();
    }
}

TEST_F(ListComboTest, EscapeWritesNothingAndTheSameValueCountsAsUnchanged)
{
    ClickCell(1, 1);
    ClickCell(1, 1);
    ASSERT_NE(Editor(), nullptr);
    kvtest::PickItem(Editor(), 1);
    kvtest::PressKey(Editor(), VK_ESCAPE);
    WaitForEditorToClose();
    EXPECT_EQ(list.GetItemText(1, 1), "Off");
    EXPECT_TRUE(owner.selections.empty());
    ClickCell(1, 1);
    ASSERT_NE(Editor(), nullptr);
    kvtest::PressKey(Editor(), VK_RETURN);
    WaitForEditorToClose();
    ASSERT_EQ(owner.selections.size(), 1u);
    EXPECT_TRUE(owner.selections[0].unchanged);
}

TEST_F(ListComboTest, ARejectedValueLeavesTheCellAsItWas)
{
    owner.reject = 1;
    ClickCell(3, 1);
    ClickCell(3, 1);
    kvtest::PickItem(Editor(), 1);
    kvtest::PressKey(Editor(), VK_RETURN);
    WaitForEditorToClose();
    EXPECT_EQ(list.GetItemText(3, 1), "Off");
    EXPECT_TRUE(owner.selections.empty());
}

TEST_F(ListComboTest, NarrowColumnsColumnsWithoutChoicesAndLockedRowsOpenNothing)
{
    list.SetFocus();
    ClickCell(0, 1);
    EXPECT_EQ(Editor(), nullptr) << "the list's focus alone gives row 0 no focus: the first click only selects";
    ClickCell(1, 2);
    ClickCell(1, 2);
    EXPECT_EQ(Editor(), nullptr) << "a column narrower than 10 pixels";
    ClickCell(1, 0);
    EXPECT_EQ(Editor(), nullptr) << "a column without a choice list";
    list.LockRow(3);
    ClickCell(3, 1);
    ClickCell(3, 1);
    EXPECT_EQ(Editor(), nullptr) << "a locked row";
}

TEST_F(ListComboTest, ScrollingCommitsAnOpenListFirst)
{
    ClickCell(1, 1);
    ClickCell(1, 1);
    ASSERT_NE(Editor(), nullptr);
    kvtest::PickItem(Editor(), 1);
    list.SendMessage(WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(list.GetItemText(1, 1), "Slow");
    WaitForEditorToClose();
}

TEST_F(ListComboTest, TheEditBoxEditorCommitsTypedTextOnEnter)
{
    owner.kind = LCC_EDIT_TEXT;
    ClickCell(1, 0);
    ClickCell(1, 0);
    CWnd* edit = list.GetDlgItem(IDC_INPLACE_EDIT);
    ASSERT_NE(edit, nullptr);
    CString shown;
    edit->GetWindowText(shown);
    EXPECT_EQ(shown, "setting");
    kvtest::TypeText(edit, "gain 2");
    kvtest::PressKey(edit, VK_RETURN);
    WaitForEditorToClose();
    EXPECT_EQ(list.GetItemText(1, 0), "gain 2") << "a space typed in an editor is the editor's";
    ASSERT_EQ(owner.texts.size(), 1u);
    EXPECT_EQ(owner.texts[0].text, "gain 2");
    EXPECT_FALSE(owner.texts[0].unchanged);
}

TEST_F(ListComboTest, TheTreeEditorCommitsTheWholePathOfTheChosenLeaf)
{
    list.AddComboList(1);
    for (const char* choice : {"Motor:Rotary", "Motor:Linear", "Encoder"})
        list.AddComboString(choice);
    list.SetTreeDropSize(1, 180, 120);
    owner.kind = LCC_EDIT_TREE;
    list.SetComboCell(1, -1);
    ClickCell(1, 1);
    ClickCell(1, 1);
    auto* editor = static_cast<CInPlaceTree*>(Editor());
    ASSERT_NE(editor, nullptr);
    CTreeCtrl& tree = editor->GetTree();
    ASSERT_TRUE(tree.IsWindowVisible()) << "the tree drops down at once";
    EXPECT_FALSE(list.IsEditorClosed()) << "arrows are hidden while it is open";
    CRect drop;
    tree.GetWindowRect(&drop);
    EXPECT_EQ(drop.Width(), 180);
    HTREEITEM linear = editor->GetChoiceItem(1);
    tree.EnsureVisible(linear);
    CRect label;
    ASSERT_TRUE(tree.GetItemRect(linear, &label, TRUE));
    kvtest::ClickAt(&tree, label.CenterPoint());
    WaitForEditorToClose();
    EXPECT_EQ(list.GetItemText(1, 1), "Motor:Linear");
    ASSERT_EQ(owner.selections.size(), 1u);
    EXPECT_EQ(owner.selections[0].index, 1);
    EXPECT_TRUE(list.IsEditorClosed());
}

TEST_F(ListComboTest, ArrowsAreDrawnAtTheRightEndOfMarkedCellsOnly)
{
    for (int row = 0; row < 4; ++row)
        list.SetItemText(row, 1, "");
    list.SetComboCell(1, 2);
    AfxPumpMessages();
    auto arrowInk = [&](int row) {
        CBitmap image;
        Render(list, image);
        CRect cell;
        list.GetSubItemRect(row, 1, LVIR_LABEL, cell);
        int dark = 0;
        for (int x = cell.right - cell.Height(); x < cell.right - 1; ++x)
            for (int y = cell.top + 1; y < cell.bottom - 1; ++y)
                if (Near(image.GetPixel(x, y), RGB(0, 0, 0), 90))
                    ++dark;
        return dark;
    };
    EXPECT_GT(arrowInk(2), 3) << "the marked row draws the glyph";
    EXPECT_EQ(arrowInk(1), 0) << "other rows do not";
    list.SetComboCell(1, -1);
    EXPECT_GT(arrowInk(1), 3) << "row -1 marks every row";
    list.SetEditorClosed(FALSE);
    EXPECT_EQ(arrowInk(1), 0) << "no arrows while a tree is open";
    list.SetEditorClosed(TRUE);
    list.SetComboCell(-1, 0);
    EXPECT_EQ(arrowInk(2), 0) << "column -1 removes every arrow";
}

TEST(ListComboCallbackTest, AnOwnerThatOverridesNothingDoesNoHarm)
{
    CRecordingParent parent;
    CDListComboCtrl list;
    ASSERT_TRUE(list.CreateReport(&parent, 4001, CRect(5, 5, 305, 205)));
    list.InsertColumn(0, "A", LVCFMT_LEFT, 100);
    list.InsertColumn(1, "B", LVCFMT_LEFT, 100);
    list.InsertItem(0, "zero");
    list.InsertItem(1, "one");
    list.SetItemText(1, 1, "x");
    list.AddComboList(1);
    list.AddComboString("x");
    list.AddComboString("y");
    CDListComboCtrlCB nothing;
    list.SetCallback(&nothing);
    list.m_bEditable = TRUE;
    AfxPumpMessages();
    kvtest::ClickAt(&list, CellCentre(list, 1, 1));
    kvtest::ClickAt(&list, CellCentre(list, 1, 1));
    CWnd* editor = list.GetDlgItem(IDC_INPLACE_LIST);
    ASSERT_NE(editor, nullptr) << "the default kind is the drop-down list";
    kvtest::PickItem(editor, 1);
    kvtest::PressKey(editor, VK_RETURN);
    ASSERT_TRUE(AfxPumpMessagesUntil([&] { return list.GetDlgItem(IDC_INPLACE_LIST) == nullptr; }));
    EXPECT_EQ(list.GetItemText(1, 1), "y");
    kvtest::ClickAt(&list, CellCentre(list, 1, 0));
    EXPECT_FALSE(list.IsEditing()) << "the default refuses the grid's own edit box";
}

TEST_F(ListComboTest, TheArrowOfASelectedRowSitsOnTheSelectionColour)
{
    list.SetComboCell(1, -1);
    ClickCell(2, 0);  // selects the row, opens nothing
    ASSERT_EQ(Editor(), nullptr);
    ASSERT_TRUE(list.GetItemState(2, LVIS_SELECTED));
    CBitmap image;
    Render(list, image);
    CRect cell;
    list.GetSubItemRect(2, 1, LVIR_LABEL, cell);
    const COLORREF selection = image.GetPixel(cell.left + 2, cell.bottom - 2);
    ASSERT_FALSE(Near(selection, RGB(255, 255, 255), 40)) << "the row shows as selected";
    int onSelection = 0, all = 0;
    for (int x = cell.right - cell.Height() + 1; x < cell.right - 1; ++x)
        for (int y = cell.top + 2; y < cell.bottom - 2; ++y, ++all)
            onSelection += Near(image.GetPixel(x, y), selection, 24);
    EXPECT_GT(onSelection * 2, all) << "the glyph's square is the selection's colour, not a white square";
    Screenshot(&list, "list-combo-selected-row-arrow");
}
