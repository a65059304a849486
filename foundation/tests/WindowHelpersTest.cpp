#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "foundation/DWinProcHandler.h"
#include "foundation/DlgControlGroupList.h"
#include "foundation/WindowBoundHelpers.h"
#include "foundation/WindowHelpers.h"
#include "foundation/WindowPlacement.h"
#include "testing/UiPrinters.h"
#include "platform/core/Archive.h"
#include "platform/core/File.h"
#include "platform/core/Profile.h"
#include "platform/ui/Bitmap.h"
#include "platform/ui/Button.h"
#include "platform/ui/FileDialog.h"
#include "platform/ui/UserInput.h"
#include "platform/ui/WinApp.h"
#include "testing/TempDir.h"

namespace {

class CTestFrame : public CWnd {
public:
    CTestFrame(int x = 100, int y = 50, int w = 400, int h = 300)
    {
        CreateEx(0, nullptr, "Frame", WS_POPUP | WS_VISIBLE, CRect(x, y, x + w, y + h), nullptr, 0);
    }
};

class ScreenOf {
public:
    ScreenOf(int w, int h, int monitors = 1) { kvtest::OverrideScreen(w, h, monitors); }
    ~ScreenOf() { kvtest::OverrideScreen(0, 0, 0); }
};

CRect RectOf(CWnd& wnd)
{
    CRect r;
    wnd.GetWindowRect(&r);
    return r;
}

class CRecorder : public CDWinProcHandler {
public:
    explicit CRecorder(std::vector<int>* order, int tag) : m_order(order), m_tag(tag) {}
    CDWinProcHandler* detachOnMessage = nullptr;
    LRESULT HandleWindowMessage(HWND, UINT message, WPARAM, LPARAM) override
    {
        if (message == WM_USER + 5) {
            m_order->push_back(m_tag);
            if (detachOnMessage)
                detachOnMessage->DetachFromWindow();
        }
        return 0;
    }

private:
    std::vector<int>* m_order;
    int m_tag;
};

}  // namespace

TEST(WindowPlacementTest, LayoutArchiveRescalesToThePresentScreen)
{
    TempDir dir;
    const std::string path = dir.File("layout.bin");
    {
        ScreenOf hd(1920, 1080);
        CTestFrame frame(100, 60, 400, 300);
        CFile file(path.c_str(), CFile::modeCreate | CFile::modeWrite);
        CArchive ar(&file, CArchive::store);
        EXPECT_TRUE(SaveWindowPlacement(&ar, &frame));
        ar.Close();
        file.Close();
    }
    ScreenOf uhd(3840, 2160);
    CTestFrame frame(0, 0, 10, 10);
    CFile file(path.c_str(), CFile::modeRead);
    CArchive ar(&file, CArchive::load);
    ASSERT_TRUE(RestoreWindowPlacement(&ar, &frame, 1));
    EXPECT_EQ(RectOf(frame), CRect(200, 120, 600, 420)) << "moved by the screen's scale, same size";
}

TEST(WindowPlacementTest, ProfileRoundTripAndAnUnsavedClassMovesNothing)
{
    TempDir dir;
    CTestFrame frame(30, 40, 300, 200);
    EXPECT_TRUE(SaveWindowPlacement(nullptr, &frame));
    EXPECT_EQ(AfxGetProfileInt("WINDOWPOS.CTestFrame", "NormalPosition_left", -1), 30u);
    EXPECT_EQ(AfxGetProfileInt("WINDOWPOS.CTestFrame", "NormalPosition_bottom", -1), 240u);
    frame.MoveWindow(0, 0, 50, 50);
    ASSERT_TRUE(RestoreWindowPlacement(nullptr, &frame, 0));
    EXPECT_EQ(RectOf(frame), CRect(30, 40, 330, 240));

    CWindowPlacement other;
    ASSERT_TRUE(other.RestoreFromProfile(FALSE, &frame, "never saved", TRUE));
    EXPECT_EQ(CRect(other.rcNormalPosition), CRect(0, 0, 0, 0));
    EXPECT_EQ(RectOf(frame), CRect(30, 40, 330, 240)) << "an all-zero rectangle is not applied";
    other.RestoreFromProfile(TRUE, &frame, "never saved", TRUE);
    EXPECT_EQ(RectOf(frame), CRect(30, 40, 330, 240)) << "nor with keep size: no window goes to the corner";

    AfxWriteProfileInt("WINDOWPOS.CTestFrame.bad", "NormalPosition_left", 500);
    AfxWriteProfileInt("WINDOWPOS.CTestFrame.bad", "NormalPosition_right", 100);
    other.RestoreFromProfile(FALSE, &frame, "bad", TRUE);
    EXPECT_EQ(RectOf(frame), CRect(30, 40, 330, 240)) << "a damaged rectangle is not applied either";

    CWindowPlacement keep;
    AfxWriteProfileInt("WINDOWPOS.CTestFrame.keep", "NormalPosition_left", 5);
    AfxWriteProfileInt("WINDOWPOS.CTestFrame.keep", "NormalPosition_top", 6);
    keep.RestoreFromProfile(TRUE, &frame, "keep", TRUE);
    EXPECT_EQ(RectOf(frame), CRect(5, 6, 305, 206)) << "keep size takes the window's present size";
}

TEST(WindowPlacementTest, ShortOrOldArchives)
{
    TempDir dir;
    CTestFrame frame(10, 10, 100, 100);
    dir.Write("short.bin", std::string(20, '\1'));
    {
        CFile file(dir.File("short.bin").c_str(), CFile::modeRead);
        CArchive ar(&file, CArchive::load);
        CWindowPlacement placement;
        EXPECT_FALSE(placement.LoadFromArchive(FALSE, &frame, ar, 1, TRUE));
    }
    EXPECT_EQ(RectOf(frame), CRect(10, 10, 110, 110));

    WINDOWPLACEMENT old{};
    old.rcNormalPosition = RECT{70, 80, 170, 180};
    std::string bytes(4, '\0');
    bytes.append(reinterpret_cast<const char*>(&old), sizeof old);
    dir.Write("v0.bin", bytes);
    CFile file(dir.File("v0.bin").c_str(), CFile::modeRead);
    CArchive ar(&file, CArchive::load);
    ASSERT_TRUE(RestoreWindowPlacement(&ar, &frame, 0));
    EXPECT_EQ(RectOf(frame), CRect(70, 80, 170, 180)) << "an old layout has no screen data: nothing to rescale";
}

TEST(WinProcHandlerTest, HandlersSeeMessagesInOrderOnceEachAndGiveTheProcedureBack)
{
    CTestFrame a;
    CTestFrame b;
    const LONG_PTR original = GetWindowLongPtr(&a, GWL_WNDPROC);
    std::vector<int> order;
    CRecorder first(&order, 1), second(&order, 2);
    EXPECT_TRUE(first.AttachToWindow(&a));
    EXPECT_TRUE(second.AttachToWindow(&a));
    EXPECT_TRUE(first.AttachToWindow(&a));  // attached twice: listed once, now last
    a.SendMessage(WM_USER + 5);
    EXPECT_EQ(order, (std::vector<int>{2, 1}));
    EXPECT_NE(GetWindowLongPtr(&a, GWL_WNDPROC), original);

    order.clear();
    second.AttachToWindow(&b);
    a.SendMessage(WM_USER + 5);
    b.SendMessage(WM_USER + 5);
    EXPECT_EQ(order, (std::vector<int>{1, 2}));

    first.DetachFromWindow();
    EXPECT_EQ(GetWindowLongPtr(&a, GWL_WNDPROC), original) << "the last handler gone, the procedure is back at once";
    EXPECT_FALSE(first.IsAttached());
    EXPECT_EQ(second.GetAttachedWindow(), &b);
}

TEST(WinProcHandlerTest, HookMayDetachHandlersAndAWindowThatGoesDetachesItsHandlers)
{
    std::vector<int> order;
    auto* frame = new CTestFrame;
    CRecorder first(&order, 1), second(&order, 2);
    first.AttachToWindow(frame);
    second.AttachToWindow(frame);
    first.detachOnMessage = &second;
    frame->SendMessage(WM_USER + 5);
    EXPECT_EQ(order, std::vector<int>{1}) << "a handler detached by an earlier one is not called";
    EXPECT_FALSE(second.IsAttached());
    frame->DestroyWindow();
    delete frame;
    EXPECT_FALSE(first.IsAttached());
}

TEST(WindowHelpersTest, MoveOntoScreenAndChildrenBounds)
{
    ScreenOf screen(1000, 800);
    CTestFrame tall(100, 50, 200, 900);
    MoveWindowOntoScreen(&tall);
    EXPECT_EQ(RectOf(tall), CRect(100, 0, 300, 900)) << "taller than the screen: top at 0";
    CTestFrame wide(100, -20, 1200, 100);
    MoveWindowOntoScreen(&wide);
    EXPECT_EQ(RectOf(wide), CRect(-200, 0, 1000, 100)) << "wider: right edge on the screen's";
    CTestFrame low(50, 750, 100, 100);
    MoveWindowOntoScreen(&low);
    EXPECT_EQ(RectOf(low), CRect(50, 700, 150, 800));

    CTestFrame frame(100, 100, 300, 300);
    EXPECT_EQ(GetChildrenBoundingRect(&frame), CRect(-100, -100, -100, -100));
    CButton one, two;
    one.Create("1", WS_CHILD | WS_VISIBLE, CRect(10, 20, 50, 40), &frame, 1);
    two.Create("2", WS_CHILD | WS_VISIBLE, CRect(30, 60, 90, 70), &frame, 2);
    EXPECT_EQ(GetChildrenBoundingRect(&frame), CRect(10, 20, 90, 70));
    ShowChildWindows(&frame, TRUE);
    EXPECT_FALSE(one.IsWindowVisible());
    ShowChildWindows(&frame, FALSE);
    EXPECT_TRUE(two.IsWindowVisible());
}

TEST(WindowHelpersTest, LogFontForPointSize)
{
    CTestFrame frame;
    LOGFONT lf;
    std::memset(&lf, 0x55, sizeof lf);
    MakeLogFontForPointSize(&lf, &frame, "A face name far longer than thirty-one characters", 10, 600);
    EXPECT_EQ(lf.lfHeight, -13);
    EXPECT_EQ(lf.lfWeight, 600);
    EXPECT_EQ(lf.lfQuality, 5);
    EXPECT_EQ(lf.lfWidth, 0);
    EXPECT_EQ(std::strlen(lf.lfFaceName), 31u);
}

TEST(DlgControlGroupListTest, StackedGroupsHideShowAndEnable)
{
    CTestFrame dialog(0, 0, 400, 400);
    CButton a, b, c;
    a.Create("a", WS_CHILD | WS_VISIBLE, CRect(200, 200, 260, 220), &dialog, 11);
    b.Create("b", WS_CHILD | WS_VISIBLE, CRect(270, 210, 300, 250), &dialog, 12);
    c.Create("c", WS_CHILD | WS_VISIBLE, CRect(100, 100, 140, 130), &dialog, 13);
    CDlgControlGroupList groups(&dialog);
    groups.AddValue(1, 11);
    groups.AddValue(1, 12);
    groups.AddValue(2, 13);
    groups.AddShownGroup(2);
    groups.AddShownGroup(1);
    groups.HideAllGroups();
    EXPECT_FALSE(a.IsWindowVisible());
    groups.ShowGroupsStacked(5, 7);
    CRect r;
    ASSERT_TRUE(groups.GetGroupRect(2, r));
    EXPECT_EQ(r, CRect(5, 7, 45, 37));
    ASSERT_TRUE(groups.GetGroupRect(1, r));
    EXPECT_EQ(r, CRect(5, 47, 105, 97)) << "10 pixels under the group before, offsets kept";
    EXPECT_TRUE(b.IsWindowVisible());
    EXPECT_TRUE(groups.IsControlInShownGroup(12));
    EXPECT_FALSE(groups.IsControlInShownGroup(99));
    EXPECT_TRUE(groups.EnableGroup(1, FALSE));
    EXPECT_FALSE(a.IsWindowEnabled());
    groups.AddValue(1, 77);
    EXPECT_FALSE(groups.EnableGroup(1, TRUE)) << "a missing control is reported";
    EXPECT_FALSE(groups.EnableGroup(9, TRUE));
}

TEST(WindowBoundHelpersTest, ListColumnsTextsCombosAndGradients)
{
    CTestFrame frame(0, 0, 600, 400);
    CListCtrl list;
    list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT, CRect(0, 0, 500, 200), &frame, 1);
    for (int i = 0; i < 7; ++i)
        list.InsertColumn(i, "c", LVCFMT_LEFT, 33);
    SetListColumnWidthsByRatio(list);
    CRect client;
    list.GetClientRect(&client);
    EXPECT_EQ(list.GetColumnWidth(1), static_cast<int>(0.07 * client.Width()));
    EXPECT_EQ(list.GetColumnWidth(5), static_cast<int>(0.19 * client.Width()));
    EXPECT_EQ(list.GetColumnWidth(6), 33) << "a column past the table keeps its width";
    int sum = 0;
    for (int i = 0; i < 7; ++i)
        sum += list.GetColumnWidth(i);
    EXPECT_EQ(sum, std::max(client.Width(), sum - list.GetColumnWidth(0)));

    std::int32_t kindA = 3, kindB = 11;
    list.InsertItem(0, "none");
    list.InsertItem(1, "a");
    list.InsertItem(2, "b");
    list.SetItemData(1, reinterpret_cast<DWORD_PTR>(&kindA));
    list.SetItemData(2, reinterpret_cast<DWORD_PTR>(&kindB));
    EXPECT_EQ(FindListItemByDataKind(list), 2) << "a row without data is passed over";
    list.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
    ClearListSelection(list);
    EXPECT_EQ(list.GetSelectedCount(), 0);

    CButton label;
    label.Create("", WS_CHILD | WS_VISIBLE, CRect(0, 250, 100, 270), &frame, 2);
    const CString longText(std::string(30, 'x'));
    label.SetWindowText(longText);
    SetWindowTextIfChanged(&label, longText.Left(28));
    CString shown;
    label.GetWindowText(shown);
    EXPECT_EQ(shown, longText.Left(28));
    SetWindowTextInt(&label, -42);
    label.GetWindowText(shown);
    EXPECT_EQ(shown, "-42");

    CComboBox combo;
    combo.Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, CRect(0, 300, 100, 400), &frame, 3);
    combo.AddString("one");
    combo.AddString("two");
    combo.SetItemData(0, 10);
    combo.SetItemData(1, 20);
    int data = 0;
    EXPECT_EQ(GetComboSelectedData(combo, data), 0);
    EXPECT_EQ(SelectComboItemByData(combo, 20, TRUE), 1);
    EXPECT_EQ(GetComboSelectedText(combo), "two");
    EXPECT_EQ(GetComboSelectedData(combo, data), 1);
    EXPECT_EQ(data, 20);
    EXPECT_EQ(SelectComboItemByData(combo, 99, FALSE), 0);
    EXPECT_EQ(combo.GetCurSel(), 1);
    EXPECT_EQ(SelectComboItemByData(combo, 99, TRUE), 0);
    EXPECT_EQ(combo.GetCurSel(), CB_ERR);

    CBitmap bitmap;
    bitmap.CreateCompatibleBitmap(nullptr, 10, 100);
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    dc.SelectObject(&bitmap);
    EXPECT_EQ(DrawGradientRect(RGB(0, 0, 255), RGB(255, 0, 0), &dc, 0, 0, 10, 100), 1);
    dc.SelectObject(static_cast<CBitmap*>(nullptr));
    EXPECT_GT(GetRValue(bitmap.GetPixel(5, 0)), 240) << "the second colour at the top";
    EXPECT_GT(GetBValue(bitmap.GetPixel(5, 99)), 240);

    CString folder = "/start";
    kvtest::QueueFileDialogAnswer("/picked/folder");
    EXPECT_EQ(BrowseForFolder("Pick", &frame, folder), 1);
    EXPECT_EQ(folder, "/picked/folder");
    kvtest::QueueFileDialogAnswer("");
    EXPECT_EQ(BrowseForFolder("Pick", &frame, folder), 0);
    EXPECT_EQ(folder, "/picked/folder");
}
