#include <gtest/gtest.h>

#include <cstdlib>

#include <algorithm>
#include <vector>

#include "ControlsTestKit.h"
#include "controls/ReportCtrl.h"
#include "controls/ReportSortOrder.h"
#include "controls/TestReportCtrl.h"
#include "platform/core/Rand.h"
#include "testing/UiPrinters.h"
#include "testing/WindowShot.h"

using namespace kvcontrolstest;

namespace {

struct EndEditCall {
    int row, column;
    CString text;
    BOOL changed;
};

class CTracedReport : public CReportCtrl {
public:
    std::vector<EndEditCall> ends;
    int refusedColumn = -1;
    BOOL CanEditSubItem(int, int column) override { return column != refusedColumn; }
    void OnEndEdit(int row, int column, CString text, BOOL changed) override
    {
        ends.push_back({row, column, text, changed});
    }
};

class ReportTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(report.CreateReport(&parent, 2268, CRect(5, 5, 405, 305)));
        report.InsertColumn(0, "Name", LVCFMT_LEFT, 120);
        report.InsertColumn(1, "Value", LVCFMT_RIGHT, 90);
        report.InsertColumn(2, "Unit", LVCFMT_LEFT, 80);
        for (int row = 0; row < 5; ++row) {
            CString name;
            name.Format("Row %d", row);
            report.InsertItem(row, name);
            report.SetItemInt(row, 1, row * 10);
            report.SetItemText(row, 2, "mm");
        }
        report.m_bEditable = TRUE;
        AfxPumpMessages();
    }

    // A first click selects the row, a second opens the editor on the cell.
    void OpenEditor(int row, int column)
    {
        kvtest::ClickAt(&report, CellCentre(report, row, column));
        if (!report.IsEditing())
            kvtest::ClickAt(&report, CellCentre(report, row, column));
        ASSERT_TRUE(report.IsEditing());
        ASSERT_EQ(report.GetEditRow(), row);
        ASSERT_EQ(report.GetEditColumn(), column);
    }

    CPoint CheckBoxOf(int row)
    {
        CRect cell;
        report.GetSubItemRect(row, 0, LVIR_BOUNDS, cell);
        for (int x = cell.left; x < cell.right; ++x) {
            LVHITTESTINFO hit{};
            hit.pt = CPoint(x, cell.CenterPoint().y);
            report.SubItemHitTest(&hit);
            if (hit.flags & LVHT_ONITEMSTATEICON)
                return hit.pt;
        }
        ADD_FAILURE() << "no check box found in row " << row;
        return cell.CenterPoint();
    }

    CRecordingParent parent;
    CTracedReport report;
};

}  // namespace

TEST_F(ReportTest, StylesAreForcedWhateverTheCallerAsks)
{
    CReportCtrl other;
    ASSERT_TRUE(other.CreateReport(&parent, 7, CRect(0, 0, 100, 100), LVS_SMALLICON | LVS_EDITLABELS | LVS_NOSCROLL));
    EXPECT_EQ(other.GetStyle() & 0x2202u, 0u);
    EXPECT_EQ(other.GetStyle() & 0x50300001u, 0x50300001u);
    EXPECT_EQ(other.GetExtendedStyle() & 0x22u, 0x22u);
}

TEST_F(ReportTest, FirstClickSelectsSecondEditsAndEnterCommitsWithOneMessage)
{
    kvtest::ClickAt(&report, CellCentre(report, 2, 1));
    EXPECT_FALSE(report.IsEditing()) << "a click on an unselected row only selects it";
    EXPECT_EQ(report.GetItemStates(2) & (RC_ITEM_SELECTED | RC_ITEM_FOCUSED), RC_ITEM_SELECTED | RC_ITEM_FOCUSED);
    kvtest::ClickAt(&report, CellCentre(report, 2, 1));
    ASSERT_TRUE(report.IsEditing());
    CString shown;
    report.GetEditBox()->GetWindowText(shown);
    EXPECT_EQ(shown, "20");
    kvtest::TypeText(report.GetEditBox(), "42");
    kvtest::PressKey(report.GetEditBox(), VK_RETURN);
    EXPECT_FALSE(report.IsEditing());
    EXPECT_EQ(report.GetItemText(2, 1), "42");
    EXPECT_EQ(parent.messages, (std::vector<Message>{{0xA712, 2, 1}}));
    ASSERT_EQ(report.ends.size(), 1u);
    EXPECT_EQ(report.ends[0].text, "42");
    EXPECT_TRUE(report.ends[0].changed);
    EXPECT_FALSE(report.GetEditBox()->IsWindowVisible());
}

// The grid's own edit box covers the cell it edits, in the first column too: rows without a
// check box reserve no room for one.
TEST_F(ReportTest, TheEditBoxSitsOnItsCellInEveryColumn)
{
    for (int column : {0, 2}) {
        SCOPED_TRACE(column);
        OpenEditor(1, column);
        CRect cell, box, row;
        report.GetSubItemRect(1, column, LVIR_LABEL, cell);
        report.GetItemRect(1, &row, LVIR_BOUNDS);
        int left = row.left;
        for (int c = 0; c < column; ++c)
            left += report.GetColumnWidth(c);
        EXPECT_LE(cell.left - left, 4) << "the label starts at the column's edge";
        report.GetEditBox()->GetWindowRect(&box);
        report.ScreenToClient(&box);
        EXPECT_LE(std::abs(box.left - cell.left), 4);
        EXPECT_LE(std::abs(box.top - cell.top), 2);
        kvtest::PressKey(report.GetEditBox(), VK_ESCAPE);
        ASSERT_FALSE(report.IsEditing());
    }
}

TEST_F(ReportTest, EscapeAndUnchangedCommitsSendNothingButStillEndTheEdit)
{
    OpenEditor(1, 2);
    kvtest::TypeText(report.GetEditBox(), "km");
    kvtest::PressKey(report.GetEditBox(), VK_ESCAPE);
    EXPECT_EQ(report.GetItemText(1, 2), "mm");
    OpenEditor(1, 2);
    kvtest::PressKey(report.GetEditBox(), VK_RETURN);
    EXPECT_TRUE(parent.messages.empty());
    ASSERT_EQ(report.ends.size(), 2u);
    EXPECT_EQ(report.ends[0].text, "km");
    EXPECT_FALSE(report.ends[0].changed);
    EXPECT_EQ(report.ends[1].text, "mm");
    EXPECT_FALSE(report.ends[1].changed);
}

TEST_F(ReportTest, TabWalksTheRowAndWrapsArrowsMoveRowsAndStopAtTheEnds)
{
    OpenEditor(3, 1);
    kvtest::PressKey(report.GetEditBox(), VK_TAB);
    EXPECT_EQ(report.GetEditColumn(), 2);
    kvtest::PressKey(report.GetEditBox(), VK_TAB);
    EXPECT_EQ(report.GetEditColumn(), 0) << "after the last column comes column 0 of the same row";
    EXPECT_EQ(report.GetEditRow(), 3);
    kvtest::PressKey(report.GetEditBox(), VK_DOWN);
    EXPECT_EQ(report.GetEditRow(), 4);
    kvtest::PressKey(report.GetEditBox(), VK_DOWN);
    EXPECT_TRUE(report.IsEditing()) << "Down in the last row leaves the edit open";
    EXPECT_EQ(report.GetEditRow(), 4);
    for (int i = 0; i < 5; ++i)
        kvtest::PressKey(report.GetEditBox(), VK_UP);
    EXPECT_TRUE(report.IsEditing());
    EXPECT_EQ(report.GetEditRow(), 0) << "Up in row 0 leaves the edit open";
    report.SetColumnReadOnly(1);
    kvtest::PressKey(report.GetEditBox(), VK_TAB);
    EXPECT_FALSE(report.IsEditing()) << "a read-only next column simply ends editing";
    report.refusedColumn = 2;
    EXPECT_FALSE(report.EditSubItem(2, 0)) << "the derived class may refuse a cell";
    EXPECT_FALSE(report.EditSubItem(1, 0));
    EXPECT_FALSE(report.EditSubItem(0, 9));
}

TEST_F(ReportTest, ContentChangesCommitAnOpenEditFirst)
{
    OpenEditor(0, 2);
    kvtest::TypeText(report.GetEditBox(), "in");
    report.InsertItem(5, "Row 5");
    EXPECT_FALSE(report.IsEditing());
    EXPECT_EQ(report.GetItemText(0, 2), "in");
    OpenEditor(1, 2);
    kvtest::TypeText(report.GetEditBox(), "lost");
    report.DeleteItem(1);
    EXPECT_EQ(report.GetItemText(1, 0), "Row 2") << "the edited row itself is gone: its edit was cancelled";
    EXPECT_EQ(report.ends.back().changed, FALSE);
    EXPECT_EQ(report.GetItemCount(), 5);
    report.SetItemDateTime(0, 1, COleDateTime(2026, 12, 10, 13, 5, 9));
    EXPECT_EQ(report.GetItemText(0, 1), "12/10/2026 1:05:09 PM");
    COleDateTime invalid;
    invalid.SetStatus(COleDateTime::invalid);
    report.SetItemDateTime(0, 1, invalid);
    EXPECT_EQ(report.GetItemText(0, 1), "") << "an invalid date shows as an empty cell";
}

TEST_F(ReportTest, SpaceNeverTogglesACheckBoxFromTheKeyboard)
{
    report.SetExtendedStyle(report.GetExtendedStyle() | LVS_EX_CHECKBOXES);
    kvtest::ClickAt(&report, CellCentre(report, 1, 1));
    kvtest::PressKey(&report, VK_SPACE);
    EXPECT_FALSE(report.GetCheck(1));
}

TEST_F(ReportTest, CheckStylesDecideWhatAClickOnACheckBoxDoes)
{
    report.SetExtendedStyle(report.GetExtendedStyle() | LVS_EX_CHECKBOXES);
    report.m_checkStyle = RC_CHKSTYLE_NORMAL;
    kvtest::ClickAt(&report, CellCentre(report, 1, 1));
    kvtest::ClickAt(&report, CheckBoxOf(1));
    EXPECT_TRUE(report.GetCheck(1));
    EXPECT_FALSE(report.IsEditing()) << "a click that toggles a check box never opens an edit";
    EXPECT_EQ(parent.messages, (std::vector<Message>{{0xA710, 1, WM_LBUTTONDOWN}}));

    report.m_checkStyle = RC_CHKSTYLE_SINGLE;
    report.SetCheck(3, TRUE);
    kvtest::ClickAt(&report, CheckBoxOf(2));
    for (int row = 0; row < report.GetItemCount(); ++row)
        EXPECT_EQ(report.GetCheck(row), row == 2) << "row " << row;
    EXPECT_EQ(report.GetItemStates(2) & RC_ITEM_SELECTED, RC_ITEM_SELECTED);

    report.m_checkStyle = RC_CHKSTYLE_LOCKED;
    parent.messages.clear();
    kvtest::ClickAt(&report, CheckBoxOf(2));
    kvtest::ClickAt(&report, CheckBoxOf(4));
    EXPECT_TRUE(report.GetCheck(2));
    EXPECT_FALSE(report.GetCheck(4));
    EXPECT_TRUE(parent.messages.empty());

    report.m_checkStyle = RC_CHKSTYLE_IGNORE;
    kvtest::ClickAt(&report, CheckBoxOf(4));
    EXPECT_TRUE(report.GetCheck(4)) << "style 0 lets the box change";
    EXPECT_TRUE(parent.messages.empty()) << "but tells nobody";
}

TEST_F(ReportTest, StateWordsHaveOneBitOfEachPairAndBulkChangesFollowTheFilter)
{
    report.SetExtendedStyle(report.GetExtendedStyle() | LVS_EX_CHECKBOXES);
    EXPECT_EQ(report.GetItemStates(2), RC_ITEM_UNSELECTED | RC_ITEM_UNCHECKED | RC_ITEM_UNFOCUSED);
    EXPECT_TRUE(report.SetItemStates(0, RC_ITEM_SELECTED | RC_ITEM_CHECKED | RC_ITEM_FOCUSED));
    EXPECT_EQ(report.GetItemStates(0), RC_ITEM_SELECTED | RC_ITEM_CHECKED | RC_ITEM_FOCUSED);
    EXPECT_FALSE(report.SetItemStates(9, RC_ITEM_SELECTED));
    EXPECT_EQ(report.SetAllItemStates(0, RC_ITEM_CHECKED), 0);
    EXPECT_EQ(report.SetAllItemStates(1, RC_ITEM_CHECKED), 5) << "an odd filter means every row";
    EXPECT_EQ(report.SetAllItemStates(RC_ITEM_CHECKED | RC_ITEM_SELECTED, RC_ITEM_UNCHECKED), 1);
    EXPECT_EQ(report.FindFirstCheckedItem(), 1);
    report.m_checkStyle = RC_CHKSTYLE_SINGLE;
    report.SetAllItemStates(1, RC_ITEM_CHECKED);
    EXPECT_EQ(report.FindFirstCheckedItem(), 0);
    for (int row = 1; row < 5; ++row)
        EXPECT_FALSE(report.GetCheck(row)) << "single check style keeps the first only";
}

TEST(ReportSortOrderTest, EachColumnSortsAsTheKindAllItsCellsShare)
{
    struct Case {
        std::vector<CString> cells;
        CReportSortOrder::Kind kind;
        std::vector<CString> ascending;
    };
    const std::vector<Case> cases = {
        {{"10", "9", "A"}, CReportSortOrder::Hexadecimal, {"9", "A", "10"}},
        {{"FF", "100", "0A"}, CReportSortOrder::Hexadecimal, {"0A", "FF", "100"}},
        {{"12.5", "5%", "-3", "0"}, CReportSortOrder::Number, {"-3", "0", "5%", "12.5"}},
        {{"-5", "3", "-20"}, CReportSortOrder::Number, {"-20", "-5", "3"}},
        {{"12345678901", "99999999999", "12345678900"}, CReportSortOrder::Number,
         {"12345678900", "12345678901", "99999999999"}},
        {{"9e0", "10", "1e3"}, CReportSortOrder::Number, {"9e0", "10", "1e3"}},
        {{"12/10/2026", "2026-01-05 13:00", "1/2/2024 9:30 PM", "12:00:01"}, CReportSortOrder::Date,
         {"12:00:01", "1/2/2024 9:30 PM", "2026-01-05 13:00", "12/10/2026"}},
        {{"beta", "Alpha", "", "alpha", "10"}, CReportSortOrder::Text, {"", "10", "Alpha", "alpha", "beta"}},
        {{"Bad", "Zebra", "Add"}, CReportSortOrder::Text, {"Add", "Bad", "Zebra"}},
        {{"", "7", ""}, CReportSortOrder::Number, {"", "", "7"}},
    };
    for (const Case& c : cases) {
        const CReportSortOrder order(c.cells);
        EXPECT_EQ(order.GetKind(), c.kind) << c.cells[0].GetString();
        std::vector<size_t> index(c.cells.size());
        for (size_t i = 0; i < index.size(); ++i)
            index[i] = i;
        std::stable_sort(index.begin(), index.end(), [&](size_t a, size_t b) { return order.Compare(a, b) < 0; });
        std::vector<CString> sorted;
        for (size_t i : index)
            sorted.push_back(c.cells[i]);
        EXPECT_EQ(sorted, c.ascending) << c.cells[0].GetString();
    }
}

TEST(ReportSortOrderTest, SignsAndOverflowAreNotHexadecimalNaNIsNotANumber)
{
    unsigned value = 0;
    EXPECT_FALSE(CReportSortOrder::ParseHexadecimal("-5", value));
    EXPECT_FALSE(CReportSortOrder::ParseHexadecimal("123456789", value));
    EXPECT_TRUE(CReportSortOrder::ParseHexadecimal("FFFFFFFF", value));
    EXPECT_EQ(value, 0xFFFFFFFFu);
    double number = 0;
    EXPECT_FALSE(CReportSortOrder::ParseNumber("nan", number));
    EXPECT_FALSE(CReportSortOrder::ParseNumber("5%%", number));
    EXPECT_TRUE(CReportSortOrder::ParseNumber("5%", number));
    EXPECT_EQ(number, 5.0);
}

TEST_F(ReportTest, HeaderClicksSortBothWaysAndTellTheParentBeforeAndAfter)
{
    report.SetItemText(0, 2, "beta");
    report.SetItemText(1, 2, "");
    report.SetItemText(2, 2, "alpha");
    report.SetItemText(3, 2, "Charlie");
    report.SetItemText(4, 2, "alpha");
    ASSERT_TRUE(report.SetItemData(0, 1234));
    EXPECT_EQ(reinterpret_cast<REPORTITEMDATA*>(report.GetItemData(0))->dwData, 1234u)
        << "the owner's value goes into the record, which stays";
    report.SetItemStates(3, RC_ITEM_SELECTED | RC_ITEM_FOCUSED);
    CRect first;
    report.GetItemRect(0, &first, LVIR_BOUNDS);
    const int headerY = first.top / 2;
    const int unitX = 120 + 90 + 40;
    kvtest::ClickAt(&report, CPoint(unitX, headerY));
    std::vector<CString> column;
    for (int row = 0; row < 5; ++row)
        column.push_back(report.GetItemText(row, 2));
    EXPECT_EQ(column, (std::vector<CString>{"", "Charlie", "alpha", "alpha", "beta"}));
    EXPECT_EQ(parent.messages,
              (std::vector<Message>{{0xA712, static_cast<WPARAM>(-1), TRUE}, {0xA711, 2, TRUE}}));
    EXPECT_EQ(report.GetItemText(1, 0), "Row 3") << "whole rows move";
    EXPECT_EQ(report.GetItemStates(1) & RC_ITEM_SELECTED, RC_ITEM_SELECTED) << "selection moves with its row";
    parent.messages.clear();
    kvtest::ClickAt(&report, CPoint(unitX, headerY));
    EXPECT_EQ(report.GetItemText(0, 2), "beta");
    EXPECT_EQ(report.GetItemText(4, 2), "");
    EXPECT_EQ(parent.messages, (std::vector<Message>{{0xA712, 2, TRUE}, {0xA711, 2, FALSE}}));
    report.InsertItem(5, "Row 5");
    EXPECT_EQ(report.GetSortColumn(), -1) << "a content change clears the sort mark";
    kvtest::ClickAt(&report, CPoint(unitX, headerY));
    EXPECT_TRUE(report.IsSortAscending()) << "so the next click sorts ascending again";
}

TEST_F(ReportTest, NumbersSortAsNumbersAndListsWithoutButtonsDoNotSort)
{
    const char* values[] = {"10", "-2", "7.5", "100", "-30"};
    for (int row = 0; row < 5; ++row)
        report.SetItemText(row, 1, values[row]);
    ASSERT_TRUE(report.SortItems(1, TRUE));
    std::vector<CString> column;
    for (int row = 0; row < 5; ++row)
        column.push_back(report.GetItemText(row, 1));
    EXPECT_EQ(column, (std::vector<CString>{"-30", "-2", "7.5", "10", "100"}));
    report.ModifyStyle(0, LVS_NOSORTHEADER);
    EXPECT_FALSE(report.SortItems(1, FALSE));
    report.ModifyStyle(LVS_NOSORTHEADER, LVS_NOCOLUMNHEADER);
    EXPECT_FALSE(report.SortItems(1, FALSE));
    EXPECT_FALSE(report.SortItems(7, TRUE));
}

TEST_F(ReportTest, MoveKeepsTheRowWholeAndClampsTheTarget)
{
    report.SetExtendedStyle(report.GetExtendedStyle() | LVS_EX_CHECKBOXES);
    report.SetCheck(0, TRUE);
    reinterpret_cast<REPORTITEMDATA*>(report.GetItemData(0))->dwData = 77;
    report.SetItemBkColor(1, 0, RGB(1, 2, 3), FALSE);
    EXPECT_EQ(report.MoveItem(0, 99), 4);
    EXPECT_EQ(report.GetItemText(4, 0), "Row 0");
    EXPECT_EQ(report.GetItemText(4, 1), "0");
    EXPECT_TRUE(report.GetCheck(4));
    EXPECT_EQ(reinterpret_cast<REPORTITEMDATA*>(report.GetItemData(4))->dwData, 77u);
    EXPECT_EQ(report.GetItemBkColor(1, 4), RGB(1, 2, 3));
    EXPECT_EQ(report.MoveItem(2, 2), 2);
    EXPECT_EQ(report.MoveItem(-1, 2), -1);
}

TEST_F(ReportTest, ColoursAddressCellsRowsColumnsOrAllAndFollowColumnChanges)
{
    report.SetItemTextColor(1, 2, RGB(9, 9, 9), FALSE);
    EXPECT_EQ(report.GetItemTextColor(1, 2), RGB(9, 9, 9));
    EXPECT_EQ(report.GetItemTextColor(0, 2), GetSysColor(COLOR_WINDOWTEXT));
    report.SetItemBkColor(-1, 3, RGB(1, 1, 1), FALSE);
    for (int c = 0; c < 3; ++c)
        EXPECT_EQ(report.GetItemBkColor(c, 3), RGB(1, 1, 1));
    report.SetItemBkColor(2, -1, RGB(2, 2, 2), FALSE);
    for (int r = 0; r < 5; ++r)
        EXPECT_EQ(report.GetItemBkColor(2, r), RGB(2, 2, 2));
    report.SetItemTextColor(-1, -1, static_cast<COLORREF>(-1), FALSE);
    EXPECT_EQ(report.GetItemTextColor(1, 2), GetSysColor(COLOR_WINDOWTEXT));
    EXPECT_EQ(report.GetItemTextColor(5, 0), static_cast<COLORREF>(-1));
    EXPECT_EQ(report.GetItemBkColor(0, 9), static_cast<COLORREF>(-1));
    report.InsertColumn(1, "New", LVCFMT_LEFT, 40);
    EXPECT_EQ(report.GetItemBkColor(1, 0), GetSysColor(COLOR_WINDOW)) << "a new column starts with defaults";
    EXPECT_EQ(report.GetItemBkColor(3, 0), RGB(2, 2, 2)) << "the others move over";
    report.DeleteColumn(1);
    EXPECT_EQ(report.GetItemBkColor(2, 4), RGB(2, 2, 2));
    report.SetItemColors(-1, RGB(5, 5, 5), RGB(6, 6, 6));
    EXPECT_EQ(report.GetItemBkColor(0, 0), GetSysColor(COLOR_WINDOW)) << "no row means no change";
    EXPECT_TRUE(report.DeleteAllColumns());
    EXPECT_EQ(report.GetColumnCount(), 0);
    EXPECT_EQ(reinterpret_cast<REPORTITEMDATA*>(report.GetItemData(0))->aBkColors.GetSize(), 0);
}

TEST_F(ReportTest, CellColoursStripesAndHighlightAreWhatTheScreenShows)
{
    report.StripeRows();
    EXPECT_EQ(report.GetItemBkColor(0, 0), 0xF0FAF0u);
    EXPECT_EQ(report.GetItemBkColor(0, 1), 0xFFFFFFu);
    report.SetItemBkColor(1, 2, RGB(200, 30, 40), FALSE);
    report.HighlightItem(3);
    report.HighlightItem(4);
    EXPECT_EQ(report.GetItemBkColor(2, 3), GetSysColor(COLOR_WINDOW)) << "the former highlight is undone";
    EXPECT_EQ(report.GetItemTextColor(1, 4), 0x00FF00u);
    AfxPumpMessages();
    CBitmap image;
    Render(report, image);
    auto pixelIn = [&](int row, int column) {
        CRect cell;
        report.GetSubItemRect(row, column, LVIR_LABEL, cell);
        return image.GetPixel(cell.right - 4, cell.top + 2);
    };
    EXPECT_TRUE(Near(pixelIn(2, 1), RGB(200, 30, 40))) << std::hex << pixelIn(2, 1);
    EXPECT_TRUE(Near(pixelIn(2, 0), 0xF0FAF0)) << std::hex << pixelIn(2, 0);
    EXPECT_TRUE(Near(pixelIn(4, 2), 0x0000FF)) << std::hex << pixelIn(4, 2);
    EXPECT_TRUE(Near(pixelIn(1, 1), 0xFFFFFF)) << std::hex << pixelIn(1, 1);
}

TEST_F(ReportTest, CentringBringsAFarRowToMidHeightAndTheFirstColumnFills)
{
    for (int row = 5; row < 200; ++row)
        report.InsertItem(row, "more");
    EXPECT_TRUE(report.EnsureVisibleCentered(150));
    CRect bounds, client;
    report.GetItemRect(150, &bounds, LVIR_BOUNDS);
    report.GetClientRect(&client);
    EXPECT_NEAR(bounds.top, client.Height() / 2, bounds.Height() * 2);
    EXPECT_FALSE(report.EnsureVisibleCentered(500));
    report.FitFirstColumn();
    EXPECT_EQ(report.GetColumnWidth(0), client.Width() - 170);
    report.SetColumnWidth(1, 600);
    report.FitFirstColumn();
    EXPECT_EQ(report.GetColumnWidth(0), 100);
}

TEST_F(ReportTest, ACellWithAnImageMovesTheEditBoxPastIt)
{
    CBitmap strip;
    ASSERT_TRUE(strip.CreateCompatibleBitmap(nullptr, 32, 16));
    ASSERT_TRUE(report.m_imageSmall.Create(16, 16, ILC_COLOR32, 2, 1));
    EXPECT_EQ(report.m_imageSmall.Add(&strip, RGB(255, 0, 255)), 0);
    report.SetImageList(&report.m_imageSmall, LVSIL_SMALL);
    LVITEM item{};
    item.mask = LVIF_IMAGE;
    item.iItem = 1;
    item.iSubItem = 2;
    item.iImage = 1;
    ASSERT_TRUE(report.SetItem(&item));
    OpenEditor(1, 2);
    CRect cell, edit;
    report.GetSubItemRect(1, 2, LVIR_LABEL, cell);
    report.GetEditBox()->GetWindowRect(&edit);
    report.ScreenToClient(&edit);
    EXPECT_EQ(edit.left, cell.left + 16);
    report.EndEdit(FALSE);
    EXPECT_EQ(report.MoveItem(1, 0), 0);
    item.iItem = 0;
    item.iImage = -7;
    ASSERT_TRUE(report.GetItem(&item));
    EXPECT_EQ(item.iImage, 1) << "the image moves with its row";
}

TEST(TestReportCtrlTest, TwentyNumberedLinesAndARandomHighlightBroughtToTheMiddle)
{
    CTestReportCtrl dialog;
    ASSERT_TRUE(dialog.Create(IDD_TEST_REPORTCTRL));
    CString title;
    dialog.GetWindowText(title);
    EXPECT_EQ(title, "ReportCtrl Test");
    ASSERT_EQ(dialog.m_report.GetItemCount(), 20);
    EXPECT_EQ(dialog.m_report.GetItemText(19, 0), "Report Line #19");
    EXPECT_EQ(dialog.m_report.GetItemText(7, 1), "7");
    EXPECT_GE(dialog.m_report.GetColumnWidth(0), 100);
    SRand(1);
    const int expected = 19 * Rand() / 0x7FFF;
    SRand(1);
    kvtest::Click(dialog.GetDlgItem(IDC_TEST_REPORT_HILIGHT));
    EXPECT_EQ(dialog.m_report.GetHighlightedItem(), expected);
    EXPECT_EQ(dialog.m_report.GetItemBkColor(0, expected), 0x0000FFu);
    dialog.DestroyWindow();
}

TEST(TestReportCtrlTest, TheColumnsFitBesideTheVerticalScrollBar)
{
    CTestReportCtrl dialog;
    ASSERT_TRUE(dialog.Create(IDD_TEST_REPORTCTRL));
    dialog.ShowWindow(SW_SHOW);
    AfxPumpMessages();
    EXPECT_TRUE(kvtest::ScrollBarShown(&dialog.m_report, true)) << "twenty lines need the vertical bar";
    EXPECT_FALSE(kvtest::ScrollBarShown(&dialog.m_report, false)) << "the first column fills what is left, no more";
    dialog.DestroyWindow();
}

TEST(ReportSortingTest, EachColumnKindSortsBothWaysAndRowsStayWhole)
{
    CRecordingParent parent;
    CReportCtrl report;
    ASSERT_TRUE(report.CreateReport(&parent, 9, CRect(0, 0, 400, 300)));
    const char* headings[] = {"Number", "Hex", "Text", "Date"};
    for (int c = 0; c < 4; ++c)
        report.InsertColumn(c, headings[c], LVCFMT_LEFT, 90);
    const char* rows[][4] = {
        {"-1.5", "1F", "delta", "3/1/2025"},
        {"10", "A", "Alpha", "12/31/2024 11:00 PM"},
        {"2%", "100", "charlie", "2025-01-01"},
        {"-20", "9", "Bravo", "1/15/2025"},
    };
    for (int r = 0; r < 4; ++r) {
        report.InsertItem(r, rows[r][0]);
        for (int c = 1; c < 4; ++c)
            report.SetItemText(r, c, rows[r][c]);
    }
    struct Expect {
        int column;
        std::vector<CString> ascending;
    };
    const Expect expected[] = {
        {0, {"-20", "-1.5", "2%", "10"}},
        {1, {"9", "A", "1F", "100"}},
        {2, {"Alpha", "Bravo", "charlie", "delta"}},
        {3, {"12/31/2024 11:00 PM", "2025-01-01", "1/15/2025", "3/1/2025"}},
    };
    for (const Expect& e : expected) {
        for (BOOL ascending : {TRUE, FALSE}) {
            ASSERT_TRUE(report.SortItems(e.column, ascending));
            std::vector<CString> got;
            for (int r = 0; r < 4; ++r)
                got.push_back(report.GetItemText(r, e.column));
            std::vector<CString> want = e.ascending;
            if (!ascending)
                std::reverse(want.begin(), want.end());
            EXPECT_EQ(got, want) << "column " << e.column << (ascending ? " ascending" : " descending");
            for (int r = 0; r < 4; ++r) {
                const CString first = report.GetItemText(r, 0);
                bool whole = false;
                for (const auto& row : rows)
                    whole = whole || (first == row[0] && report.GetItemText(r, 2) == row[2]);
                EXPECT_TRUE(whole) << "row " << r << " was torn apart";
            }
        }
    }
}

namespace {

// Counts the list-view notifications a report sends its parent.
class CNotifyCountingParent : public CRecordingParent {
public:
    int itemChanged = 0;

protected:
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override
    {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->code == LVN_ITEMCHANGED)
            ++itemChanged;
        return CRecordingParent::OnNotify(wParam, lParam, result);
    }
};

}  // namespace

// Filling rows and cells, with and without check boxes, changes no row's
// state: the parent hears nothing of it. A click on a box still tells it.
TEST(ReportFillTest, FillingRowsSendsTheParentNoNotification)
{
    for (const bool checkBoxes : {false, true}) {
        CNotifyCountingParent parent;
        CReportCtrl report;
        ASSERT_TRUE(report.CreateReport(&parent, 2269, CRect(5, 5, 405, 305)));
        if (checkBoxes)
            report.SetExtendedStyle(report.GetExtendedStyle() | LVS_EX_CHECKBOXES);
        report.InsertColumn(0, "Name", LVCFMT_LEFT, 120);
        report.InsertColumn(1, "Value", LVCFMT_RIGHT, 90);
        report.InsertColumn(2, "Unit", LVCFMT_CENTER, 80);
        for (int row = 0; row < 50; ++row) {
            CString name;
            name.Format("Row %d", (row * 37) % 50);
            report.InsertItem(row, name);
            report.SetItemInt(row, 1, row * 10);
            report.SetItemText(row, 2, "mm");
            report.SetItemData(row, static_cast<DWORD_PTR>(row));
        }
        report.SortItems(0, TRUE);
        report.SortItems(1, FALSE);
        AfxPumpMessages();
        EXPECT_EQ(parent.itemChanged, 0) << (checkBoxes ? "with" : "without") << " check boxes";
        EXPECT_EQ(report.GetItemCount(), 50);
        EXPECT_EQ(report.GetItemText(0, 1), "490");
        if (checkBoxes)
            report.SetCheck(2, TRUE);
        report.StripeRows();
        AfxPumpMessages();
        Screenshot(&parent, checkBoxes ? "report_filled_with_check_boxes" : "report_filled");

        parent.itemChanged = 0;
        report.DeleteAllItems();
        EXPECT_EQ(parent.itemChanged, 0);
        EXPECT_EQ(report.GetItemCount(), 0);
    }
}

TEST_F(ReportTest, ACheckBoxClickIsTheOneChangeTheParentHearsOf)
{
    CNotifyCountingParent counting;
    CReportCtrl list;
    ASSERT_TRUE(list.CreateReport(&counting, 2270, CRect(5, 5, 405, 305)));
    list.SetExtendedStyle(list.GetExtendedStyle() | LVS_EX_CHECKBOXES);
    list.InsertColumn(0, "Name", LVCFMT_LEFT, 120);
    list.InsertColumn(1, "Value", LVCFMT_RIGHT, 90);
    for (int row = 0; row < 3; ++row) {
        list.InsertItem(row, "Row");
        list.SetItemText(row, 1, "1");
    }
    AfxPumpMessages();
    ASSERT_EQ(counting.itemChanged, 0);
    list.SetCheck(1, TRUE);
    EXPECT_EQ(counting.itemChanged, 1);
    EXPECT_TRUE(list.GetCheck(1));
    EXPECT_FALSE(list.GetCheck(0));
}
