#include <gtest/gtest.h>

#include <set>

#include "ControlsTestKit.h"
#include "controls/ComboBoxSuper.h"
#include "controls/TreeComboBox.h"
#include "testing/UiPrinters.h"

using namespace kvcontrolstest;

namespace {

class TreeComboTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        combo = new CTreeComboBox;
        ASSERT_TRUE(combo->Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, CRect(20, 20, 180, 44), &parent, 77));
        for (const char* path : {"A:B:C", "A:B:D", "A", "E:F"})
            combo->AddItem(path);
        AfxPumpMessages();
    }
    void TearDown() override
    {
        if (combo->GetSafeHwnd())
            combo->DestroyWindow();
        delete combo;
        kvtest::OverrideScreen(0, 0);
    }
    HTREEITEM Find(const char* text)
    {
        CTreeCtrl& tree = combo->GetTree();
        std::vector<HTREEITEM> open{tree.GetRootItem()};
        for (HTREEITEM item = tree.GetRootItem(); item;) {
            if (tree.GetItemText(item) == text)
                return item;
            if (HTREEITEM child = tree.GetChildItem(item)) {
                item = child;
                continue;
            }
            while (item && !tree.GetNextSiblingItem(item))
                item = tree.GetParentItem(item);
            item = item ? tree.GetNextSiblingItem(item) : nullptr;
        }
        return nullptr;
    }
    int CloseUps() const
    {
        int count = 0;
        for (const auto& c : parent.commands)
            if (c == std::make_pair(77u, CBN_CLOSEUP))
                ++count;
        return count;
    }
    CRecordingParent parent;
    CTreeComboBox* combo = nullptr;
};

}  // namespace

TEST_F(TreeComboTest, PathsShareTheirLeadingParts)
{
    CTreeCtrl& tree = combo->GetTree();
    HTREEITEM a = tree.GetRootItem();
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(tree.GetItemText(a), "A");
    HTREEITEM e = tree.GetNextSiblingItem(a);
    EXPECT_EQ(tree.GetItemText(e), "E");
    EXPECT_EQ(tree.GetNextSiblingItem(e), nullptr) << "A and E are the only top-level items";
    HTREEITEM b = tree.GetChildItem(a);
    EXPECT_EQ(tree.GetItemText(b), "B");
    EXPECT_EQ(tree.GetNextSiblingItem(b), nullptr);
    HTREEITEM c = tree.GetChildItem(b);
    EXPECT_EQ(tree.GetItemText(c), "C");
    EXPECT_EQ(tree.GetItemText(tree.GetNextSiblingItem(c)), "D");
    EXPECT_EQ(combo->AddItem("A:B:D"), tree.GetNextSiblingItem(c)) << "an existing path returns its leaf";
    EXPECT_EQ(tree.GetCount(), 6u);
}

TEST_F(TreeComboTest, ClickOnALeafClosesWithAChoiceAndEndsTheCombo)
{
    kvtest::Click(combo);
    CTreeCtrl& tree = combo->GetTree();
    ASSERT_TRUE(tree.IsWindowVisible());
    EXPECT_TRUE(combo->IsDropped());
    HTREEITEM b = Find("B");
    tree.EnsureVisible(tree.GetChildItem(b));
    CRect label;
    ASSERT_TRUE(tree.GetItemRect(b, &label, TRUE));
    kvtest::ClickAt(&tree, label.CenterPoint());
    EXPECT_TRUE(tree.IsWindowVisible()) << "an item with children does not close the tree";
    EXPECT_EQ(CloseUps(), 0);
    HTREEITEM d = Find("D");
    ASSERT_TRUE(tree.GetItemRect(d, &label, TRUE));
    kvtest::ClickAt(&tree, label.CenterPoint());
    EXPECT_EQ(CloseUps(), 1);
    EXPECT_EQ(tree.GetSelectedItem(), d);
    EXPECT_FALSE(tree.IsWindowVisible());
    EXPECT_FALSE(combo->IsDropped());
    ASSERT_TRUE(AfxPumpMessagesUntil([&] { return combo->GetSafeHwnd() == nullptr; }))
        << "the posted close ends the combo's window";
}

TEST_F(TreeComboTest, EscapeAndFocusLossCloseWithoutAChoiceEnterOnALeafWithOne)
{
    kvtest::PressKey(combo, VK_DOWN);
    CTreeCtrl& tree = combo->GetTree();
    ASSERT_TRUE(tree.IsWindowVisible());
    kvtest::PressKey(&tree, VK_ESCAPE);
    EXPECT_EQ(CloseUps(), 0);
    EXPECT_FALSE(tree.IsWindowVisible());
    ASSERT_TRUE(AfxPumpMessagesUntil([&] { return combo->GetSafeHwnd() == nullptr; }));

    delete combo;
    combo = new CTreeComboBox;
    ASSERT_TRUE(combo->Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, CRect(20, 20, 180, 44), &parent, 77));
    combo->AddItem("X:Y");
    combo->ShowDropDown();
    CTreeCtrl& again = combo->GetTree();
    ASSERT_TRUE(again.IsWindowVisible());
    parent.SetFocus();
    EXPECT_FALSE(again.IsWindowVisible()) << "losing the focus closes the tree";
    EXPECT_EQ(CloseUps(), 0);
    ASSERT_TRUE(AfxPumpMessagesUntil([&] { return combo->GetSafeHwnd() == nullptr; }));

    delete combo;
    combo = new CTreeComboBox;
    ASSERT_TRUE(combo->Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, CRect(20, 20, 180, 44), &parent, 77));
    HTREEITEM y = combo->AddItem("X:Y");
    combo->ShowDropDown();
    combo->GetTree().SelectItem(combo->GetTree().GetRootItem());
    kvtest::PressKey(&combo->GetTree(), VK_RETURN);
    EXPECT_TRUE(combo->GetTree().IsExpanded(combo->GetTree().GetRootItem())) << "Enter opens a branch";
    combo->GetTree().SelectItem(y);
    kvtest::PressKey(&combo->GetTree(), VK_RETURN);
    EXPECT_EQ(CloseUps(), 1);
}

TEST_F(TreeComboTest, TheDropDownOpensUpwardsWhenItDoesNotFitAndStaysWithinHalfTheScreen)
{
    for (int i = 0; i < 80; ++i) {
        CString path;
        path.Format("Top %d", i);
        combo->AddItem(path);
    }
    kvtest::OverrideScreen(1024, 400);
    combo->m_dropHeight = 150;
    combo->ShowDropDown();
    CRect box, drop;
    combo->GetWindowRect(&box);
    combo->GetTree().GetWindowRect(&drop);
    EXPECT_LE(drop.Height(), 200 + 1) << "never more than half the screen";
    EXPECT_GE(drop.Height(), 150);
    if (box.bottom + drop.Height() > 400)
        EXPECT_LE(drop.bottom, box.top + 1) << "opens above the combo";
    else
        EXPECT_EQ(drop.top, box.bottom);
    kvtest::OverrideScreen(1024, box.bottom + 100);
    combo->ShowDropDown();
    combo->GetTree().GetWindowRect(&drop);
    EXPECT_LE(drop.bottom, box.top + 1);
}

// ---------------------------------------------------------------------------

namespace {
class ComboSuperTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(combo.Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED, CRect(10, 10, 300, 34),
                                 &parent, 88));
        combo.AddString("Alpha");
        combo.AddString("Beta");
    }
    // Draws one item into a fresh bitmap as the combo would.
    void DrawInto(CBitmap& image, int index, UINT state, int width = 300, int height = 20)
    {
        ASSERT_TRUE(image.CreateCompatibleBitmap(nullptr, width, height));
        CDC dc;
        dc.CreateCompatibleDC(nullptr);
        dc.SelectObject(&image);
        dc.FillSolidRect(0, 0, width, height, RGB(255, 255, 255));
        dc.SetBkColor(RGB(255, 255, 255));
        DRAWITEMSTRUCT item{};
        item.CtlType = ODT_COMBOBOX;
        item.itemID = static_cast<UINT>(index);
        item.itemState = state;
        item.hwndItem = &combo;
        item.hDC = &dc;
        item.rcItem = RECT{0, 0, width, height};
        combo.DrawItem(&item);
        dc.SelectObject(static_cast<CBitmap*>(nullptr));
    }
    CRecordingParent parent;
    CComboBoxSuper combo;
};

int CountGreyColumnLines(CBitmap& image, int y)
{
    int lines = 0;
    for (int x = 0; x < image.GetBitmapDimension().cx; ++x)
        if (image.GetPixel(x, y) == 0xC0C0C0)
            ++lines;
    return lines;
}
}  // namespace

TEST_F(ComboSuperTest, RecordsAreMadeOnFirstUseAndFreedWithTheirItems)
{
    EXPECT_EQ(combo.GetItemRecord(5), nullptr);
    COMBOSUPERITEM* record = combo.GetItemRecord(1);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(combo.GetItemRecord(1), record);
    EXPECT_EQ(record->iIconIndex, -1);
    EXPECT_EQ(record->crTextColor, 0u);
    record->dwItemData = 42;
    combo.GetItemRecord(0)->bBold = TRUE;
    combo.DeleteString(0);
    EXPECT_EQ(combo.GetItemRecord(0)->dwItemData, 42u);
    combo.ResetContent();  // ASan checks that the records went
    EXPECT_EQ(combo.GetCount(), 0);
}

TEST_F(ComboSuperTest, DefaultWidthsDrawAColumnLineEveryFiftyPixelsUntilResetToOneColumn)
{
    combo.GetItemRecord(0)->mapStrings[1] = "second";
    CBitmap image;
    DrawInto(image, 0, 0, 400);
    // Columns of 50 pixels from the text's left (1): lines at 51, 101, ... within 400 pixels.
    EXPECT_EQ(image.GetPixel(51, 10), 0xC0C0C0u);
    EXPECT_EQ(image.GetPixel(101, 10), 0xC0C0C0u);
    EXPECT_EQ(CountGreyColumnLines(image, 10), 7);
    combo.ResetColumnWidths();
    CBitmap plain;
    DrawInto(plain, 0, 0, 400);
    EXPECT_EQ(CountGreyColumnLines(plain, 10), 0) << "one column draws the text alone";
}

TEST_F(ComboSuperTest, SelectedItemsUseTheHighlightTextColourUnlessTheirOwnIsSet)
{
    combo.ResetColumnWidths();
    // Text is smoothed: a colour counts when some pixel comes close to it.
    auto shows = [](CBitmap& image, COLORREF colour) {
        for (int x = 0; x < 120; ++x)
            for (int y = 0; y < 20; ++y)
                if (Near(image.GetPixel(x, y), colour, 40))
                    return true;
        return false;
    };
    CBitmap selected;
    DrawInto(selected, 0, ODS_SELECTED);
    EXPECT_TRUE(shows(selected, GetSysColor(COLOR_HIGHLIGHT)));
    EXPECT_TRUE(shows(selected, GetSysColor(COLOR_HIGHLIGHTTEXT))) << "colour 0 keeps the highlight text colour";
    combo.GetItemRecord(0)->crTextColor = RGB(255, 0, 0);
    CBitmap red;
    DrawInto(red, 0, ODS_SELECTED);
    EXPECT_TRUE(shows(red, RGB(255, 0, 0)));
    EXPECT_FALSE(shows(red, GetSysColor(COLOR_HIGHLIGHTTEXT)));
}

TEST_F(ComboSuperTest, TheClosedComboShowsTheChosenItemAsItsOwnerDrawsIt)
{
    combo.ResetColumnWidths();
    combo.GetItemRecord(1)->crTextColor = RGB(0, 160, 0);
    combo.SetCurSel(1);
    AfxPumpMessages();
    CBitmap image;
    Render(combo, image);
    bool green = false;
    const CSize size = image.GetBitmapDimension();
    for (int x = 0; x < size.cx && !green; ++x)
        for (int y = 0; y < size.cy && !green; ++y)
            green = Near(image.GetPixel(x, y), RGB(0, 160, 0), 30);
    EXPECT_TRUE(green);
}
