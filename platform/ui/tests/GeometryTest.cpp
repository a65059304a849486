// The layer's geometry, read from the widgets: for each control kind made from a
// template and in code, the closed size, the client rectangle and the dropped list.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "platform/ui/Bitmap.h"
#include "platform/ui/Button.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/DC.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/DialogTemplate.h"
#include "platform/ui/ListBox.h"
#include "platform/ui/ListCtrl.h"
#include "platform/ui/UserInput.h"
#include "platform/ui/WinApp.h"
#include "testing/UiPrinters.h"

namespace {

constexpr UINT kDialog = 9700;
constexpr int kCombo = 10, kList = 11, kListBox = 12, kButton = 13, kFirstRadio = 14, kSecondRadio = 15;

const char kTemplate[] = R"(DIALOG 9700 0 0 200 150 "Geometry"
FONT 8 "MS Sans Serif"
COMBOBOX 10 5 5 80 60 "" DROPDOWNLIST
LISTVIEW 11 5 25 120 50 "" BORDER
LISTBOX 12 5 80 80 40 "" BORDER
PUSHBUTTON 13 130 5 50 14 "OK"
GROUPBOX IDC_STATIC 130 30 65 40 "Export to" GROUP
RADIOBUTTON 14 138 41 50 10 "File" GROUP TABSTOP
RADIOBUTTON 15 138 53 50 10 "Clipboard"
END
)";

struct Expect {
    int closedHeight = -1;    // -1: the height asked for
    bool framed = false;      // the client area is inside a frame
    bool dropsDown = false;   // a click drops a list below the box
};

struct Case {
    const char* name;
    std::function<CWnd*(CWnd& parent)> make;  // returns the control
    int askedHeight;
    Expect expect;
};

class GeometryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CString error;
        ASSERT_TRUE(AfxRegisterDialogTemplates(kTemplate, &error)) << error.GetString();
        ASSERT_TRUE(dialog.Create(kDialog, nullptr));
        dialog.ShowWindow(SW_SHOW);
    }
    void TearDown() override { dialog.DestroyWindow(); }
    template <class T>
    CWnd* Made(T* control)
    {
        owned.emplace_back(control);
        return control;
    }
    CDialog dialog;
    std::vector<std::unique_ptr<CWnd>> owned;
};

// One item with the selection field's frame: the font's line and a few pixels.
constexpr int kOneItemHigh = 26;

}  // namespace

TEST_F(GeometryTest, EachControlKindHasItsClosedSizeClientAreaAndDroppedList)
{
    const int templateComboHeight = [this] {
        CRect r(0, 0, 0, 60);
        dialog.MapDialogRect(&r);
        return static_cast<int>(r.bottom);
    }();
    const Case cases[] = {
        {"combo box from a template", [](CWnd& d) { return d.GetDlgItem(kCombo); }, templateComboHeight,
         {kOneItemHigh, false, true}},
        {"combo box in code", [this](CWnd& d) {
             auto* combo = new CComboBox;
             combo->Create(WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWNLIST, CRect(140, 40, 240, 160), &d, 20);
             return Made(combo);
         }, 120, {kOneItemHigh, false, true}},
        {"list view from a template", [](CWnd& d) { return d.GetDlgItem(kList); }, -1, {-1, true, false}},
        {"list view in code", [this](CWnd& d) {
             auto* list = new CListCtrl;
             list->Create(WS_VISIBLE | WS_BORDER | LVS_REPORT, CRect(140, 170, 300, 250), &d, 21);
             return Made(list);
         }, 80, {-1, true, false}},
        {"list box from a template", [](CWnd& d) { return d.GetDlgItem(kListBox); }, -1, {-1, true, false}},
        {"button from a template", [](CWnd& d) { return d.GetDlgItem(kButton); }, -1, {-1, false, false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CWnd* control = c.make(dialog);
        ASSERT_NE(control, nullptr);
        if (auto* combo = dynamic_cast<CComboBox*>(control))
            for (const char* item : {"One", "Two", "Three", "Four", "Five", "Six", "Seven", "Eight"})
                combo->AddString(item);
        AfxPumpMessages();
        CRect window, client;
        control->GetWindowRect(&window);
        control->GetClientRect(&client);
        if (c.expect.closedHeight > 0) {
            EXPECT_LE(window.Height(), c.expect.closedHeight) << "closed, one item high";
            EXPECT_GE(window.Height(), 16);
        } else if (c.askedHeight > 0) {
            EXPECT_EQ(window.Height(), c.askedHeight);
        }
        if (c.expect.framed) {
            EXPECT_LE(client.Width(), window.Width() - 2) << "the frame is not the client's";
            EXPECT_LE(client.Height(), window.Height() - 2);
        } else {
            EXPECT_EQ(client.Size(), window.Size());
        }
        if (c.expect.dropsDown) {
            kvtest::Click(control);
            const CRect dropped = kvtest::DroppedListRect(control);
            EXPECT_GE(dropped.top, window.bottom - 1) << "below the box";
            EXPECT_GE(dropped.Width(), window.Width() - 1);
            EXPECT_GT(dropped.Height(), window.Height());
            EXPECT_LE(dropped.Height(), c.askedHeight) << "no taller than the height given";
            static_cast<CComboBox*>(control)->ShowDropDown(FALSE);
        }
    }
}

TEST_F(GeometryTest, ScrollBarsAreNotPartOfTheClientArea)
{
    auto* list = static_cast<CListCtrl*>(dialog.GetDlgItem(kList));
    list->InsertColumn(0, "Name", LVCFMT_LEFT, 60);
    CRect window, before, after;
    list->GetWindowRect(&window);
    list->GetClientRect(&before);
    for (int row = 0; row < 40; ++row)
        list->InsertItem(row, "row");
    AfxPumpMessages();
    list->GetClientRect(&after);
    EXPECT_LE(after.Width(), before.Width() - 8) << "a vertical scroll bar takes its width from the client";
    EXPECT_EQ(after.Height(), before.Height());
    EXPECT_LE(after.Width(), window.Width() - 10);
}

TEST_F(GeometryTest, WindowsWithoutAFontShowTheDialogsFaceAndSize)
{
    CWnd plain;
    ASSERT_TRUE(plain.CreateEx(0, nullptr, "Plain", WS_POPUP | WS_VISIBLE, CRect(0, 0, 100, 50), nullptr, 0));
    const CString dialogFont = kvtest::ShownFont(dialog.GetDlgItem(kButton));
    EXPECT_EQ(kvtest::ShownFont(&plain), dialogFont);
    CListCtrl list;
    ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT, CRect(0, 0, 100, 50), &plain, 1));
    list.InsertColumn(0, "Name", LVCFMT_LEFT, 60);
    EXPECT_EQ(kvtest::ShownFont(&list, true), kvtest::ShownFont(&list)) << "the header as its cells";
    auto* templateList = dialog.GetDlgItem(kList);
    static_cast<CListCtrl*>(templateList)->InsertColumn(0, "Name", LVCFMT_LEFT, 60);
    EXPECT_EQ(kvtest::ShownFont(templateList, true), dialogFont);
    plain.DestroyWindow();
}

TEST_F(GeometryTest, TheFirstRadioOfAGroupSitsClearOfTheBoxsTopLine)
{
    CRect client;
    dialog.GetClientRect(&client);
    CBitmap image;
    ASSERT_TRUE(image.CreateCompatibleBitmap(nullptr, client.Width(), client.Height()));
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    dc.SelectObject(&image);
    ASSERT_TRUE(dialog.PrintWindow(&dc, PW_CLIENTONLY));
    dc.SelectObject(static_cast<CBitmap*>(nullptr));
    CRect radio, box(130, 30, 195, 70);
    dialog.MapDialogRect(&box);
    dialog.GetDlgItem(kFirstRadio)->GetWindowRect(&radio);
    dialog.ScreenToClient(&radio);
    const COLORREF face = image.GetPixel(box.right + 4, box.top + 2);
    int line = -1;
    for (int y = box.top; y < radio.top && line < 0; ++y)
        if (image.GetPixel(box.right - 6, y) != face)
            line = y;
    ASSERT_GE(line, 0) << "the box's top line is above the first radio";
    EXPECT_GE(radio.top - line, 4) << "the first radio does not touch the line";
}

TEST_F(GeometryTest, AClickOnACheckedAutomaticRadioKeepsItChecked)
{
    auto* first = static_cast<CButton*>(dialog.GetDlgItem(kFirstRadio));
    auto* second = static_cast<CButton*>(dialog.GetDlgItem(kSecondRadio));
    kvtest::Click(first);
    EXPECT_EQ(first->GetCheck(), BST_CHECKED);
    kvtest::Click(first);
    EXPECT_EQ(first->GetCheck(), BST_CHECKED) << "a second click leaves it checked";
    kvtest::Click(second);
    EXPECT_EQ(first->GetCheck(), BST_UNCHECKED);
    EXPECT_EQ(second->GetCheck(), BST_CHECKED);
}
