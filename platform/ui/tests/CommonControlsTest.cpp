// Tree controls, list cells with images, owner-drawn combo items and keys
// taken before translation.
#include <gtest/gtest.h>

#include <vector>

#include "platform/ui/Bitmap.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/DC.h"
#include "platform/ui/Font.h"
#include "platform/ui/Edit.h"
#include "platform/ui/ImageList.h"
#include "platform/ui/ListCtrl.h"
#include "platform/ui/TreeCtrl.h"
#include "platform/ui/UserInput.h"
#include "platform/ui/WinApp.h"
#include "testing/ListCellText.h"
#include "testing/UiPrinters.h"
#include "testing/WindowPixels.h"

namespace {
class CHost : public CWnd {
public:
    UINT swallowKey = 0;
    CHost() { CreateEx(0, nullptr, "Host", WS_POPUP | WS_VISIBLE, CRect(0, 0, 400, 300), nullptr, 0); }
    BOOL PreTranslateMessage(MSG* msg) override
    {
        return msg->message == WM_KEYDOWN && msg->wParam == swallowKey ? TRUE : CWnd::PreTranslateMessage(msg);
    }
};

class COwnerDrawn : public CComboBox {
public:
    std::vector<DWORD_PTR> deleted;
    int drawn = 0;
    void DrawItem(LPDRAWITEMSTRUCT item) override
    {
        ++drawn;
        item->hDC->FillSolidRect(&item->rcItem, RGB(0, 200, 0));
    }
    void DeleteItem(LPDELETEITEMSTRUCT item) override { deleted.push_back(item->itemData); }
};
}  // namespace

TEST(TreeCtrlTest, ItemsNestInOrderAndADeletedHandleIsRefused)
{
    CHost host;
    CTreeCtrl tree;
    ASSERT_TRUE(tree.Create(WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_LINESATROOT, CRect(0, 0, 200, 200), &host, 5));
    HTREEITEM b = tree.InsertItem("B");
    HTREEITEM a = tree.InsertItem("A", TVI_ROOT, TVI_FIRST);
    HTREEITEM c = tree.InsertItem("C", TVI_ROOT, a);
    EXPECT_EQ(tree.GetRootItem(), a);
    EXPECT_EQ(tree.GetNextSiblingItem(a), c);
    EXPECT_EQ(tree.GetNextSiblingItem(c), b);
    HTREEITEM leaf = tree.InsertItem("leaf", a);
    EXPECT_EQ(tree.GetParentItem(leaf), a);
    EXPECT_TRUE(tree.ItemHasChildren(a));
    EXPECT_FALSE(tree.ItemHasChildren(leaf));
    EXPECT_EQ(tree.GetCount(), 4u);
    EXPECT_TRUE(tree.Expand(a, TVE_TOGGLE));
    EXPECT_TRUE(tree.IsExpanded(a));
    EXPECT_TRUE(tree.SelectItem(leaf));
    EXPECT_EQ(tree.GetSelectedItem(), leaf);
    CRect label;
    ASSERT_TRUE(tree.GetItemRect(leaf, &label, TRUE));
    UINT flags = 0;
    EXPECT_EQ(tree.HitTest(label.CenterPoint(), &flags), leaf);
    EXPECT_EQ(flags, TVHT_ONITEMLABEL);
    EXPECT_TRUE(tree.DeleteItem(a));
    EXPECT_EQ(tree.GetItemText(leaf), "") << "the child went with its parent";
    EXPECT_EQ(tree.InsertItem("x", a), nullptr);
    EXPECT_FALSE(tree.DeleteItem(a));
    EXPECT_EQ(tree.GetCount(), 2u);
}

TEST(ListCellsTest, CellsKeepImagesTextAndDataAndTheCheckBoxIsHitApart)
{
    CHost host;
    CListCtrl list;
    ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT, CRect(0, 0, 300, 200), &host, 6));
    list.SetExtendedStyle(LVS_EX_CHECKBOXES | LVS_EX_SUBITEMIMAGES);
    list.InsertColumn(0, "A", LVCFMT_LEFT, 100);
    list.InsertColumn(1, "B", LVCFMT_CENTER, 100);
    list.InsertItem(0, "row");
    CImageList images;
    ASSERT_TRUE(images.Create(16, 16, ILC_COLOR32, 1, 1));
    CBitmap strip;
    ASSERT_TRUE(strip.CreateCompatibleBitmap(nullptr, 48, 16));
    EXPECT_EQ(images.Add(&strip, RGB(255, 0, 255)), 0);
    EXPECT_EQ(images.GetImageCount(), 3);
    EXPECT_EQ(list.SetImageList(&images, LVSIL_SMALL), nullptr);
    char text[] = "cell";
    LVITEM item{LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM, 0, 1, 0, 0, text, 0, 2, 99};
    ASSERT_TRUE(list.SetItem(&item));
    char back[16] = {};
    LVITEM read{LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM, 0, 1, 0, 0, back, sizeof(back), -5, 0};
    ASSERT_TRUE(list.GetItem(&read));
    EXPECT_STREQ(back, "cell");
    EXPECT_EQ(read.iImage, 2);
    EXPECT_EQ(read.lParam, 99);
    read.iSubItem = 5;
    EXPECT_FALSE(list.GetItem(&read));
    LVCOLUMN column{LVCF_FMT | LVCF_WIDTH, 0, 0, nullptr, 0, 0};
    ASSERT_TRUE(list.GetColumn(1, &column));
    EXPECT_EQ(column.fmt, LVCFMT_CENTER);
    EXPECT_EQ(column.cx, 100);
    AfxPumpMessages();
    CRect cell, label;
    list.GetSubItemRect(0, 0, LVIR_BOUNDS, cell);
    list.GetSubItemRect(0, 0, LVIR_LABEL, label);
    EXPECT_GT(label.left, cell.left + 8) << "the label starts past the check box";
    EXPECT_EQ(label.right, cell.right);
    bool sawCheckBox = false;
    for (int x = cell.left; x < cell.right; ++x) {
        LVHITTESTINFO hit{};
        hit.pt = CPoint(x, cell.CenterPoint().y);
        list.SubItemHitTest(&hit);
        sawCheckBox = sawCheckBox || hit.flags == LVHT_ONITEMSTATEICON;
        if (x >= label.left + 2) {
            EXPECT_NE(hit.flags, LVHT_ONITEMSTATEICON) << x;
        }
        if (x > cell.right - 10) {
            EXPECT_EQ(hit.flags, LVHT_ONITEMLABEL);
        }
    }
    EXPECT_TRUE(sawCheckBox);
}

TEST(OwnerDrawComboTest, ItemsAreDrawnByTheOwnerAndTheirDataIsHandedBackWhenTheyGo)
{
    CHost host;
    COwnerDrawn combo;
    ASSERT_TRUE(combo.Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS,
                             CRect(10, 10, 200, 34), &host, 9));
    for (int i = 0; i < 3; ++i) {
        combo.AddString("item");
        combo.SetItemData(i, static_cast<DWORD_PTR>(100 + i));
    }
    combo.SetCurSel(0);
    CBitmap image;
    CRect client;
    combo.GetClientRect(&client);
    ASSERT_TRUE(image.CreateCompatibleBitmap(nullptr, client.Width(), client.Height()));
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    dc.SelectObject(&image);
    ASSERT_TRUE(combo.PrintWindow(&dc, PW_CLIENTONLY));
    dc.SelectObject(static_cast<CBitmap*>(nullptr));
    EXPECT_GT(combo.drawn, 0);
    EXPECT_EQ(image.GetPixel(client.Width() / 4, client.Height() / 2), RGB(0, 200, 0));
    combo.DeleteString(1);
    EXPECT_EQ(combo.deleted, std::vector<DWORD_PTR>{101});
    combo.ResetContent();
    EXPECT_EQ(combo.deleted, (std::vector<DWORD_PTR>{101, 102, 100}));
}

TEST(PreTranslateTest, AKeyTakenBeforeTranslationTypesNothing)
{
    CHost host;
    CEdit edit;
    ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE | WS_BORDER, CRect(10, 10, 200, 30), &host, 3));
    host.swallowKey = 'A';
    kvtest::TypeText(&edit, "bab");
    CString text;
    edit.GetWindowText(text);
    EXPECT_EQ(text, "bb");
}

TEST(ListCellsTest, TakingTheFocusGivesNoRowTheFocus)
{
    CHost host;
    CListCtrl list;
    ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT, CRect(0, 0, 300, 200), &host, 6));
    list.InsertColumn(0, "A", LVCFMT_LEFT, 100);
    list.InsertItem(0, "one");
    list.InsertItem(1, "two");
    list.SetFocus();
    AfxPumpMessages();
    EXPECT_EQ(list.GetNextItem(-1, LVNI_FOCUSED), -1);
    list.SetItemState(1, LVIS_FOCUSED, LVIS_FOCUSED);
    EXPECT_EQ(list.GetNextItem(-1, LVNI_FOCUSED), 1);
}

// A list with grid lines, given its own font after its style as the windows do, and a row the
// user clicks: the row shows in the selection's colour with its text readable, and the header
// takes the list's font.
TEST(ListCellsTest, GridLinesLeaveTheClickedRowReadableAndTheHeaderInTheListsFont)
{
    CHost host;
    CListCtrl list;
    ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SINGLESEL, CRect(0, 0, 300, 200), &host, 6));
    list.SetExtendedStyle(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    CFont big;
    ASSERT_TRUE(big.CreatePointFont(140, "Arial"));
    list.SetFont(&big);
    list.InsertColumn(0, "Name", LVCFMT_LEFT, 150);
    list.InsertColumn(1, "Value", LVCFMT_LEFT, 120);
    for (int row = 0; row < 3; ++row) {
        list.InsertItem(row, "WWWWWW");
        list.SetItemText(row, 1, "MMMM");
    }
    host.SetForegroundWindow();
    AfxPumpMessages();
    EXPECT_EQ(kvtest::ShownFont(&list, true), kvtest::ShownFont(&list));

    CRect clicked, plain;
    list.GetSubItemRect(1, 0, LVIR_BOUNDS, clicked);
    list.GetSubItemRect(2, 0, LVIR_BOUNDS, plain);
    kvtest::ClickAt(&list, clicked.CenterPoint());
    AfxPumpMessages();
    ASSERT_EQ(list.GetNextItem(-1, LVNI_SELECTED), 1);

    CBitmap image;
    Render(list, image);
    // The fill: right of the short text, clear of the grid lines.
    const COLORREF fill = image.GetPixel(clicked.right - 8, clicked.CenterPoint().y);
    EXPECT_FALSE(Near(fill, image.GetPixel(plain.right - 8, plain.CenterPoint().y), 40))
        << "the clicked row shows the selection's colour";
    int ink = 0;
    for (int x = clicked.left + 2; x < clicked.left + 60; ++x)
        for (int y = clicked.top + 2; y < clicked.bottom - 2; ++y)
            ink += Near(image.GetPixel(x, y), fill, 90) ? 0 : 1;
    EXPECT_GT(ink, 20) << "the clicked row's text stands out from its fill";
}

TEST(ListCellsTest, AutosizeFitsTheWidestCellAndWithTheHeaderTheHeadingToo)
{
    CHost host;
    CListCtrl list;
    ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT, CRect(0, 0, 380, 200), &host, 6));
    list.InsertColumn(0, "A", LVCFMT_LEFT, 20);
    list.InsertColumn(1, "A heading wider than its cells", LVCFMT_LEFT, 20);
    list.InsertItem(0, "short");
    list.InsertItem(1, "a cell text far longer than the rest");
    list.SetItemText(0, 1, "x");
    ASSERT_TRUE(list.SetColumnWidth(0, LVSCW_AUTOSIZE));
    EXPECT_TRUE(CellShowsWhole(list, 1, 0));
    const int cells = list.GetColumnWidth(0);
    list.SetItemText(1, 0, "shorter now");
    list.SetColumnWidth(0, LVSCW_AUTOSIZE);
    EXPECT_LT(list.GetColumnWidth(0), cells) << "the column follows its cells down too";

    list.SetColumnWidth(1, LVSCW_AUTOSIZE);
    const int cellsOnly = list.GetColumnWidth(1);
    list.SetColumnWidth(1, LVSCW_AUTOSIZE_USEHEADER);
    CClientDC dc(&list);
    EXPECT_GT(list.GetColumnWidth(1), cellsOnly);
    EXPECT_GE(list.GetColumnWidth(1), dc.GetTextExtent(CString("A heading wider than its cells")).cx);
}
