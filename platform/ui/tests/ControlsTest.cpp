#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "testing/UiPrinters.h"
#include "platform/ui/Bitmap.h"
#include "platform/ui/Button.h"
#include "platform/ui/Clipboard.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/DC.h"
#include "platform/ui/Edit.h"
#include "platform/ui/FileDialog.h"
#include "platform/ui/ListBox.h"
#include "platform/ui/ListCtrl.h"
#include "platform/ui/Menu.h"
#include "platform/ui/PaintObserver.h"
#include "platform/ui/ProgressCtrl.h"
#include "platform/ui/RichEditCtrl.h"
#include "platform/ui/SpinButtonCtrl.h"
#include "platform/ui/Static.h"
#include "platform/ui/StatusBar.h"
#include "platform/ui/TabCtrl.h"
#include "platform/ui/ToolBar.h"
#include "platform/ui/UserInput.h"
#include "platform/ui/WinApp.h"

namespace {

struct Note {
    UINT message;
    int id;
    UINT code;
    int item = -1;
    UINT newState = 0;
    UINT oldState = 0;
};

// A window that records every notification its children send.
class CHostWnd : public CWnd {
public:
    std::vector<Note> notes;
    COLORREF cellBack = 0xFFFFFFFFu;
    int vscrollPos = -1;

    CHostWnd() { CreateEx(0, nullptr, "Host", WS_POPUP | WS_VISIBLE, CRect(0, 0, 400, 300), nullptr, 0); }
    std::vector<UINT> Codes(int id) const
    {
        std::vector<UINT> codes;
        for (const auto& n : notes)
            if (n.id == id)
                codes.push_back(n.code);
        return codes;
    }

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override
    {
        notes.push_back({WM_COMMAND, LOWORD(static_cast<DWORD>(wParam)), HIWORD(static_cast<DWORD>(wParam))});
        return CWnd::OnCommand(wParam, lParam);
    }
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override
    {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (header->code == NM_CUSTOMDRAW) {
            auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(lParam);
            if (draw->nmcd.dwItemSpec == 1 && draw->iSubItem == 1)
                draw->clrTextBk = cellBack;
            return TRUE;
        }
        Note note{WM_NOTIFY, static_cast<int>(header->idFrom), header->code};
        if (header->code == LVN_ITEMCHANGED) {
            auto* list = reinterpret_cast<NMLISTVIEW*>(lParam);
            note.item = list->iItem;
            note.newState = list->uNewState;
            note.oldState = list->uOldState;
        }
        notes.push_back(note);
        return CWnd::OnNotify(wParam, lParam, result);
    }
    void OnVScroll(UINT, UINT pos, CWnd*) { vscrollPos = static_cast<int>(pos); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CHostWnd, CWnd)
    ON_WM_VSCROLL()
END_MESSAGE_MAP()

}  // namespace

TEST(ControlsTest, ComboFindsExactlySelectsAndTellsOnlyTheUsersPicks)
{
    CHostWnd host;
    CComboBox combo;
    ASSERT_TRUE(combo.Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, CRect(10, 10, 150, 200), &host, 40));
    EXPECT_EQ(combo.AddString("Kreln"), 0);
    EXPECT_EQ(combo.AddString("Tavro"), 1);
    EXPECT_EQ(combo.AddString("Tavro II"), 2);
    combo.SetItemData(1, 0xABCD);
    EXPECT_EQ(combo.GetCurSel(), CB_ERR) << "adding selects nothing";
    EXPECT_EQ(combo.FindStringExact(-1, "tavro"), 1);
    EXPECT_EQ(combo.FindStringExact(1, "Tavro"), 1) << "the search wraps past the end";
    EXPECT_EQ(combo.FindStringExact(-1, "Tav"), CB_ERR);
    EXPECT_EQ(combo.FindString(1, "Tav"), 2);
    EXPECT_EQ(combo.SendMessage(CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("Kreln")), 0);
    combo.SetCurSel(1);
    EXPECT_EQ(combo.GetItemData(combo.GetCurSel()), 0xABCDu);
    EXPECT_TRUE(host.Codes(40).empty()) << "the program's own selection sends nothing";
    EXPECT_EQ(combo.SetEditSel(0, 2), CB_ERR) << "a drop-down list has no edit";
    ASSERT_TRUE(kvtest::PickItem(&combo, 2));
    EXPECT_EQ(combo.GetCurSel(), 2);
    const auto codes = host.Codes(40);
    EXPECT_NE(std::find(codes.begin(), codes.end(), CBN_SELCHANGE), codes.end());
    combo.SetCurSel(-1);
    CString text;
    combo.GetWindowText(text);
    EXPECT_EQ(text, "");
}

TEST(ControlsTest, EditableComboTakesTypingAndEditSelection)
{
    CHostWnd host;
    CComboBox combo;
    ASSERT_TRUE(combo.Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWN, CRect(10, 10, 150, 200), &host, 41));
    combo.AddString("100");
    kvtest::TypeText(&combo, "250");
    CString text;
    combo.GetWindowText(text);
    EXPECT_EQ(text, "250");
    EXPECT_TRUE(combo.SetEditSel(1, 3));
    EXPECT_EQ(combo.GetEditSel(), MAKELONG(1, 3));
    const auto codes = host.Codes(41);
    EXPECT_EQ(std::count(codes.begin(), codes.end(), CBN_EDITCHANGE), 3);
}

TEST(ControlsTest, EditNotifiesChangesAndFollowsItsStyles)
{
    CHostWnd host;
    CEdit edit;
    ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE | ES_UPPERCASE, CRect(10, 10, 150, 30), &host, 50));
    kvtest::TypeText(&edit, "ab");
    CString text;
    edit.GetWindowText(text);
    EXPECT_EQ(text, "AB");
    edit.SetSel(0, 1);
    edit.ReplaceSel("X");
    edit.GetWindowText(text);
    EXPECT_EQ(text, "XB");
    const auto codes = host.Codes(50);
    EXPECT_GE(std::count(codes.begin(), codes.end(), EN_CHANGE), 3);
    edit.SetReadOnly(TRUE);
    kvtest::TypeText(&edit, "zz");
    edit.GetWindowText(text);
    EXPECT_EQ(text, "XB") << "a read-only edit takes no typing";
    // A text set wider than the box shows from its start (an address reads from "https").
    edit.SetWindowText("https://cloud.example.com/a/long/path/to/the/settings/of/this/account");
    EXPECT_EQ(edit.GetSel(), 0u);

    CEdit lines;
    ASSERT_TRUE(lines.Create(WS_CHILD | WS_VISIBLE | ES_MULTILINE, CRect(10, 40, 150, 100), &host, 51));
    lines.SetWindowText("one\r\ntwo");
    lines.GetWindowText(text);
    EXPECT_EQ(text, "one\r\ntwo");
    EXPECT_EQ(lines.GetLineCount(), 2);
    lines.SetSel(5, 8);  // "two", counting the line end as two characters
    lines.ReplaceSel("2");
    lines.GetWindowText(text);
    EXPECT_EQ(text, "one\r\n2");
}

TEST(ControlsTest, ListViewKeepsRowsDataStatesAndChecks)
{
    CHostWnd host;
    CListCtrl list;
    ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT, CRect(0, 0, 300, 200), &host, 60));
    list.SetExtendedStyle(LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    EXPECT_EQ(list.InsertColumn(0, "Name", LVCFMT_LEFT, 100), 0);
    EXPECT_EQ(list.InsertColumn(1, "Value", LVCFMT_RIGHT, 80), 1);
    EXPECT_EQ(list.GetHeaderCtrl()->GetItemCount(), 2);
    for (int i = 0; i < 3; ++i) {
        CString name;
        name.Format("row%d", i);
        EXPECT_EQ(list.InsertItem(i, name), i);
        list.SetItemText(i, 1, "0");
        list.SetItemData(i, static_cast<DWORD_PTR>(100 + i));
    }
    EXPECT_EQ(list.InsertColumn(1, "Unit", LVCFMT_LEFT, 40), 1);
    EXPECT_EQ(list.GetItemText(2, 0), "row2");
    EXPECT_EQ(list.GetItemText(2, 2), "0") << "cells move right with an inserted column";
    EXPECT_EQ(list.GetItemText(2, 1), "");
    list.DeleteColumn(1);
    EXPECT_EQ(list.GetItemText(2, 1), "0");

    host.notes.clear();
    list.SetItemState(1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), 1);
    EXPECT_EQ(list.GetItemState(1, LVIS_FOCUSED), LVIS_FOCUSED);
    POSITION pos = list.GetFirstSelectedItemPosition();
    EXPECT_EQ(list.GetNextSelectedItem(pos), 1);
    EXPECT_EQ(pos, nullptr);
    ASSERT_FALSE(host.notes.empty());
    EXPECT_EQ(host.notes.back().code, LVN_ITEMCHANGED);
    EXPECT_EQ(host.notes.back().item, 1);
    EXPECT_EQ(host.notes.back().newState & LVIS_SELECTED, LVIS_SELECTED);

    host.notes.clear();
    list.SetCheck(2, TRUE);
    EXPECT_TRUE(list.GetCheck(2));
    EXPECT_FALSE(list.GetCheck(0));
    ASSERT_EQ(host.notes.size(), 1u);
    EXPECT_EQ(host.notes[0].newState, INDEXTOSTATEIMAGEMASK(2));
    EXPECT_EQ(host.notes[0].oldState, INDEXTOSTATEIMAGEMASK(1));

    list.SortItems([](LPARAM a, LPARAM b, LPARAM) { return static_cast<int>(b - a); }, 0);
    EXPECT_EQ(list.GetItemData(0), 102u);
    EXPECT_EQ(list.GetItemText(0, 0), "row2");
    EXPECT_TRUE(list.GetCheck(0)) << "a row keeps its check when sorted";

    EXPECT_TRUE(list.DeleteItem(0));
    EXPECT_EQ(list.GetItemCount(), 2);
    list.DeleteAllItems();
    EXPECT_EQ(list.GetItemCount(), 0);
}

TEST(ControlsTest, ListViewCellColoursComeFromTheParent)
{
    CHostWnd host;
    host.cellBack = RGB(255, 0, 0);
    CListCtrl list;
    ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT, CRect(0, 0, 300, 200), &host, 61));
    list.InsertColumn(0, "A", LVCFMT_LEFT, 100);
    list.InsertColumn(1, "B", LVCFMT_LEFT, 100);
    list.InsertItem(0, "x");
    list.InsertItem(1, "y");
    CRect cell;
    ASSERT_TRUE(list.GetSubItemRect(1, 1, LVIR_BOUNDS, cell));
    CBitmap image;
    ASSERT_TRUE(image.CreateCompatibleBitmap(nullptr, 300, 200));
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    dc.SelectObject(&image);
    ASSERT_TRUE(list.PrintWindow(&dc, PW_CLIENTONLY));
    dc.SelectObject(static_cast<CBitmap*>(nullptr));
    EXPECT_EQ(image.GetPixel(cell.right - 3, cell.CenterPoint().y), RGB(255, 0, 0));
    ASSERT_TRUE(list.GetSubItemRect(0, 1, LVIR_BOUNDS, cell));
    EXPECT_NE(image.GetPixel(cell.right - 3, cell.CenterPoint().y), RGB(255, 0, 0));
}

TEST(ControlsTest, ListBoxProgressTabAndSpin)
{
    CHostWnd host;
    CListBox box;
    ASSERT_TRUE(box.Create(WS_CHILD | WS_VISIBLE | LBS_SORT | LBS_NOTIFY, CRect(0, 0, 100, 100), &host, 70));
    box.AddString("b");
    box.AddString("a");
    CString text;
    box.GetText(0, text);
    EXPECT_EQ(text, "a");
    box.SetCurSel(1);
    EXPECT_TRUE(host.Codes(70).empty());
    kvtest::PickItem(&box, 0);
    EXPECT_EQ(box.GetCurSel(), 0);
    EXPECT_EQ(host.Codes(70), std::vector<UINT>{LBN_SELCHANGE});

    CProgressCtrl bar;
    ASSERT_TRUE(bar.Create(WS_CHILD | WS_VISIBLE, CRect(0, 110, 100, 120), &host, 71));
    bar.SetRange(0, 100);
    bar.SetPos(150);
    EXPECT_EQ(bar.GetPos(), 100);

    CTabCtrl tabs;
    ASSERT_TRUE(tabs.Create(WS_CHILD | WS_VISIBLE, CRect(0, 130, 200, 150), &host, 72));
    tabs.InsertItem(0, "Motor");
    tabs.InsertItem(1, "Feedback");
    tabs.SetCurSel(1);
    EXPECT_TRUE(host.Codes(72).empty());
    kvtest::PickItem(&tabs, 0);
    EXPECT_EQ(host.Codes(72), std::vector<UINT>{TCN_SELCHANGE});

    CEdit buddy;
    ASSERT_TRUE(buddy.Create(WS_CHILD | WS_VISIBLE, CRect(0, 160, 60, 180), &host, 73));
    CSpinButtonCtrl spin;
    ASSERT_TRUE(spin.Create(WS_CHILD | WS_VISIBLE | UDS_SETBUDDYINT, CRect(60, 160, 76, 180), &host, 74));
    spin.SetBuddy(&buddy);
    spin.SetRange(0, 3);
    spin.SetPos(2);
    buddy.GetWindowText(text);
    EXPECT_EQ(text, "2");
    kvtest::ClickAt(&spin, CPoint(8, 3));  // upper half: up
    kvtest::ClickAt(&spin, CPoint(8, 3));
    EXPECT_EQ(spin.GetPos(), 3) << "stops at the top of its range";
    EXPECT_EQ(host.vscrollPos, 3);
}

TEST(ControlsTest, RichEditKeepsProtectedTextFromTheUser)
{
    CHostWnd host;
    CRichEditCtrl rich;
    ASSERT_TRUE(rich.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 300, 100), &host, 80));
    CHARFORMAT format{};
    format.cbSize = sizeof format;
    format.dwMask = CFM_PROTECTED | CFM_COLOR;
    format.dwEffects = CFE_PROTECTED;
    format.crTextColor = RGB(0, 0, 255);
    rich.SetSel(-1, -1);
    rich.SetSelectionCharFormat(format);
    rich.ReplaceSel("> ");
    kvtest::TypeText(&rich, "go");
    kvtest::PressKey(&rich, VK_BACK);
    kvtest::PressKey(&rich, VK_BACK);
    kvtest::PressKey(&rich, VK_BACK);
    CString text;
    rich.GetWindowText(text);
    EXPECT_EQ(text, "> ") << "backspace stops at the protected prompt";
    rich.SetSel(0, 1);
    rich.ReplaceSel("#");  // the program may change it
    rich.GetWindowText(text);
    EXPECT_EQ(text, "# ");
}

TEST(ControlsTest, PopupMenuToolbarAndStatusBar)
{
    CHostWnd host;
    CMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    menu.AppendMenu(MF_STRING, 501, "Copy");
    menu.AppendMenu(MF_SEPARATOR);
    menu.AppendMenu(MF_STRING | MF_GRAYED, 502, "Paste");
    EXPECT_EQ(menu.GetMenuItemCount(), 3);
    EXPECT_EQ(menu.GetMenuState(502, MF_BYCOMMAND) & MF_GRAYED, MF_GRAYED);
    kvtest::QueuePopupMenuChoice(501);
    EXPECT_EQ(menu.TrackPopupMenu(TPM_RETURNCMD, 10, 10, &host), 501);
    kvtest::QueuePopupMenuChoice(501);
    menu.TrackPopupMenu(0, 10, 10, &host);
    ASSERT_TRUE(AfxPumpMessagesUntil([&] { return !host.Codes(501).empty(); }));

    CToolBar bar;
    ASSERT_TRUE(bar.Create(&host));
    const UINT ids[] = {601, ID_SEPARATOR, 602};
    const char* captions[] = {"Run", "", "Stop"};
    bar.SetButtons(ids, captions, 3);
    bar.SetButtonInfo(1, 650, TBBS_SEPARATOR, 120);
    CRect slot;
    bar.GetItemRect(1, &slot);
    EXPECT_EQ(slot.Width(), 120) << "room for an embedded combo";
    CComboBox embedded;
    ASSERT_TRUE(embedded.Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, slot, &bar, 650));
    EXPECT_EQ(embedded.GetParent(), &bar);

    CStatusBar status;
    ASSERT_TRUE(status.Create(&host));
    const UINT panes[] = {0, 701};
    status.SetIndicators(panes, 2);
    status.SetPaneText(status.CommandToIndex(701), "Connected");
    EXPECT_EQ(status.GetPaneText(1), "Connected");
}

TEST(ControlsTest, FileDialogFiltersAndScriptedAnswers)
{
    EXPECT_EQ(CFileDialog::TranslateFilter("PNG Image File (*.png)|*.png||"), "PNG Image File (*.png) (*.png)");
    EXPECT_EQ(CFileDialog::TranslateFilter("Tables|*.tbl;*.csv|All files|*.*||"), "Tables (*.tbl *.csv);;All files (*.*)");
    EXPECT_EQ(CFileDialog::TranslateFilter(""), "");
    kvtest::QueueFileDialogAnswer("/tmp/out/axis.png");
    CFileDialog save(FALSE, "png", nullptr, OFN_HIDEREADONLY, "PNG|*.png||");
    ASSERT_EQ(save.DoModal(), IDOK);
    EXPECT_EQ(save.GetPathName(), "/tmp/out/axis.png");
    EXPECT_EQ(save.GetFileName(), "axis.png");
    EXPECT_EQ(save.GetFileExt(), "png");
    EXPECT_EQ(save.GetFileTitle(), "axis");
    kvtest::QueueFileDialogAnswer("");
    EXPECT_EQ(save.DoModal(), IDCANCEL);
}

TEST(ControlsTest, ClipboardKeepsItsOwnCopyOfAnImage)
{
    CHostWnd host;
    {
        CBitmap bitmap;
        ASSERT_TRUE(bitmap.CreateCompatibleBitmap(nullptr, 4, 3));
        CDC dc;
        dc.CreateCompatibleDC(nullptr);
        dc.SelectObject(&bitmap);
        dc.FillSolidRect(CRect(0, 0, 4, 3), RGB(10, 20, 30));
        dc.SelectObject(static_cast<CBitmap*>(nullptr));
        ASSERT_TRUE(OpenClipboard(&host));
        EXPECT_FALSE(OpenClipboard(&host)) << "one opener at a time";
        EmptyClipboard();
        EXPECT_TRUE(SetClipboardImage(bitmap));
        CloseClipboard();
        bitmap.DeleteObject();
    }
    CBitmap back;
    ASSERT_TRUE(GetClipboardImage(back));
    EXPECT_EQ(back.GetBitmapDimension(), CSize(4, 3));
    EXPECT_EQ(back.GetPixel(2, 1), RGB(10, 20, 30));
    kvtest::FailNextClipboardOpen();
    EXPECT_FALSE(OpenClipboard(&host));
    EXPECT_TRUE(OpenClipboard(&host));
    CloseClipboard();
}

namespace {
// A grid that opens its own editor on a click instead of selecting, and forces report view.
class CGrid : public CListCtrl {
public:
    int clickedRow = -2;
    int clickedColumn = -2;

protected:
    BOOL PreCreateWindow(CREATESTRUCT& cs) override
    {
        cs.style = (cs.style & ~LVS_SINGLESEL) | LVS_REPORT | LVS_SHOWSELALWAYS;
        return TRUE;
    }
    void OnLButtonDown(UINT, CPoint point)
    {
        LVHITTESTINFO hit{};
        hit.pt = point;
        SubItemHitTest(&hit);
        clickedRow = hit.iItem;
        clickedColumn = hit.iSubItem;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CGrid, CListCtrl)
    ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()
}  // namespace

TEST(ControlsTest, ClicksOnListRowsReachTheListsOwnHandlerInItsCoordinates)
{
    CHostWnd host;
    CGrid grid;
    ASSERT_TRUE(grid.Create(WS_CHILD | WS_VISIBLE | LVS_SINGLESEL, CRect(0, 0, 300, 200), &host, 62));
    EXPECT_EQ(grid.GetStyle() & (LVS_SHOWSELALWAYS | LVS_SINGLESEL), LVS_SHOWSELALWAYS) << "the style it forced";
    grid.InsertColumn(0, "Name", LVCFMT_LEFT, 100);
    grid.InsertColumn(1, "Value", LVCFMT_LEFT, 100);
    for (int i = 0; i < 3; ++i)
        grid.InsertItem(i, "row");
    CRect cell;
    ASSERT_TRUE(grid.GetSubItemRect(2, 1, LVIR_BOUNDS, cell));
    kvtest::ClickAt(&grid, cell.CenterPoint());
    EXPECT_EQ(grid.clickedRow, 2);
    EXPECT_EQ(grid.clickedColumn, 1);
    EXPECT_EQ(grid.GetSelectedCount(), 0) << "the handler kept the click from selecting";
}

namespace {
std::map<CWnd*, int> g_paints;
void CountPaint(CWnd* wnd) { ++g_paints[wnd]; }
}  // namespace

// Windows refresh their fields with what they already show many times a
// second: that must not repaint them, while a real change still does.
TEST(ControlsTest, SettingTheTextAControlShowsDoesNotRepaintIt)
{
    CHostWnd host;
    CStatic label;
    CEdit edit;
    CButton button;
    CStatic sentinel;
    ASSERT_TRUE(label.Create("12.50", WS_CHILD | WS_VISIBLE, CRect(10, 10, 110, 30), &host, 90));
    ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE, CRect(10, 40, 110, 60), &host, 91));
    ASSERT_TRUE(button.Create("Enable", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, CRect(10, 70, 110, 90), &host, 92));
    ASSERT_TRUE(sentinel.Create("0", WS_CHILD | WS_VISIBLE, CRect(10, 100, 110, 120), &host, 93));
    edit.SetWindowText("-3");
    const PaintObserver previous = AfxSetPaintObserver(&CountPaint);
    g_paints.clear();
    CWnd* controls[] = {&label, &edit, &button};
    ASSERT_TRUE(AfxPumpMessagesUntil([&] {
        for (CWnd* c : controls)
            if (g_paints[c] == 0)
                return false;
        return g_paints[&sentinel] > 0;
    }));

    // Paints of showing the window may come in more than one pass: let them end.
    int sentinelValue = 0;
    auto paintSentinel = [&] {
        CString next;
        next.Format("%d", ++sentinelValue);
        g_paints[&sentinel] = 0;
        sentinel.SetWindowText(next);
        return AfxPumpMessagesUntil([&] { return g_paints[&sentinel] > 0; });
    };
    auto othersPainted = [&] {
        int n = 0;
        for (CWnd* c : controls)
            n += g_paints[c];
        return n;
    };
    for (int pass = 0; pass < 10; ++pass) {
        g_paints.clear();
        ASSERT_TRUE(paintSentinel());
        if (othersPainted() == 0)
            break;
    }

    g_paints.clear();
    edit.SetModify(TRUE);
    label.SetWindowText("12.50");
    edit.SetWindowText("-3");
    button.SetWindowText("Enable");
    // One paint pass serves every dirty control: once the sentinel's change
    // is on screen, any control marked dirty above has been painted too.
    ASSERT_TRUE(paintSentinel());
    for (CWnd* c : controls)
        EXPECT_EQ(g_paints[c], 0) << "control " << c->GetDlgCtrlID();
    EXPECT_FALSE(edit.GetModify()) << "setting the text clears the mark of a change, as ever";

    g_paints.clear();
    label.SetWindowText("12.75");
    edit.SetWindowText("-4");
    button.SetWindowText("Disable");
    ASSERT_TRUE(AfxPumpMessagesUntil([&] {
        for (CWnd* c : controls)
            if (g_paints[c] == 0)
                return false;
        return true;
    }));
    CString text;
    label.GetWindowText(text);
    EXPECT_EQ(text, "12.75");
    AfxSetPaintObserver(previous);
}
