// The window toolbar on its own: the drive list it asks its window for, a
// refused pick, and the state indicator read back from an image.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "framework/QvxGuiToolbar.h"
#include "platform/ui/Bitmap.h"
#include "platform/ui/DC.h"
#include "platform/ui/UserInput.h"
#include "platform/ui/WinApp.h"
#include "testing/WindowShot.h"

namespace {

class FakeWindow : public CQvxGuiToolbarCB {
public:
    void GetToolbarInfo(CList<CAmplifierData>& drives, int& currentDrive) override
    {
        for (const CAmplifierData& drive : m_drives)
            drives.AddTail(drive);
        currentDrive = m_current;
    }
    int OnToolbarDriveSelected(const CString& text) override
    {
        m_picked.push_back(text);
        return m_accept;
    }
    int GetDriveEnableState() override { return m_state; }

    std::vector<CAmplifierData> m_drives{{5, kFamilyKreln, "Five"}, {2, kFamilyTavro, "Two"}, {9, kFamilyKreln, "Nine"}};
    int m_current = 5;
    int m_accept = 1;
    int m_state = kDriveDisabled;
    std::vector<CString> m_picked;
};

class ToolbarTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_parent.Create(nullptr, "bar", WS_POPUP | WS_VISIBLE, CRect(0, 0, 400, 80), nullptr, 0));
        ASSERT_TRUE(m_bar.CreateEx(&m_parent, &m_window, WS_CHILD | WS_VISIBLE));
        m_bar.FitToParentWidth();
    }
    void Render(CBitmap& image)
    {
        CRect r;
        m_bar.GetClientRect(&r);
        ASSERT_TRUE(image.CreateCompatibleBitmap(nullptr, r.Width(), r.Height()));
        CDC dc;
        dc.CreateCompatibleDC(nullptr);
        dc.SelectObject(&image);
        ASSERT_TRUE(m_bar.PrintWindow(&dc, PW_CLIENTONLY));
        dc.SelectObject(static_cast<CBitmap*>(nullptr));
    }
    std::vector<CString> Items()
    {
        std::vector<CString> items;
        for (int i = 0; i < m_bar.GetSelector().GetCount(); ++i) {
            CString text;
            m_bar.GetSelector().GetLBText(i, text);
            items.push_back(text);
        }
        return items;
    }

    FakeWindow m_window;
    CWnd m_parent;
    CQvxGuiToolbar m_bar;
};

bool Near(COLORREF a, COLORREF b, int tolerance)
{
    return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance && std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

}  // namespace

TEST_F(ToolbarTest, ListsTheDrivesByAddressAndPutsARefusedPickBack)
{
    EXPECT_EQ(Items(), (std::vector<CString>{"Two", "Five", "Nine"}));
    CQvxSelectAmpCombo& selector = m_bar.GetSelector();
    EXPECT_EQ(selector.GetCurSel(), 1) << "the window's drive";
    EXPECT_EQ(m_bar.GetDriveText(), "Five");

    ASSERT_TRUE(kvtest::PickItem(&selector, 2));
    EXPECT_EQ(m_window.m_picked, std::vector<CString>{"Nine"});
    EXPECT_EQ(selector.GetCurSel(), 2);

    m_window.m_accept = 0;
    ASSERT_TRUE(kvtest::PickItem(&selector, 0));
    EXPECT_EQ(selector.GetCurSel(), 2) << "the refused pick is undone";

    // After a change of drive the window's drive is selected.
    m_window.m_current = 2;
    m_bar.RefreshDrives();
    EXPECT_EQ(m_bar.GetDriveText(), "Two");

    // Without a callback the list is empty.
    m_bar.GetSelector().SetCallback(nullptr);
    m_bar.GetSelector().FillList();
    EXPECT_EQ(m_bar.GetSelector().GetCount(), 0);
}

TEST_F(ToolbarTest, IndicatorColoursAndTextsReadBackFromTheImage)
{
    CRect client;
    m_bar.GetClientRect(&client);
    const CRect indicator = CQvxGuiToolbar::IndicatorRect(client);
    struct Case { int state; COLORREF fill; COLORREF text; };
    const Case cases[] = {
        {kDriveDisabled, 0x00FFFF, 0x000000}, {kDriveEnabled, 0x008000, 0x000000},
        {kDriveError, 0x2020C4, 0x000000},    {kDriveStateUnknown, 0x202020, 0x808080},
        {kDriveFault, 0x0000BE, 0x000000},    {7, 0x000000, 0x000000},
    };
    for (const Case& c : cases) {
        m_window.m_state = c.state;
        CBitmap image;
        Render(image);
        EXPECT_EQ(image.GetPixel(indicator.left + 2, indicator.top + 1), c.fill) << "state " << c.state;
        EXPECT_EQ(image.GetPixel(indicator.left, indicator.top + 1), RGB(0, 0, 0)) << "black left edge";
        EXPECT_EQ(image.GetPixel(indicator.left + 2, indicator.top), RGB(0, 0, 0)) << "black top edge";
        EXPECT_EQ(image.GetPixel(indicator.right - 1, indicator.top + 1), RGB(255, 255, 255)) << "white right edge";
        // The state's text: pixels of its colour where the fill would be.
        int textPixels = 0;
        for (int x = indicator.left + 2; x < indicator.right - 2; ++x)
            for (int y = indicator.top + 2; y < indicator.bottom - 1; ++y)
                textPixels += Near(image.GetPixel(x, y), c.text, 16) && c.text != c.fill;
        if (c.state <= kDriveFault) {
            EXPECT_GT(textPixels, 0) << "state " << c.state;
        }
        const char* name = "";
        COLORREF fill = 0, text = 0;
        EXPECT_EQ(CQvxGuiToolbar::GetStateLook(c.state, name, fill, text), c.state <= kDriveFault);
        Screenshot(&m_bar, ("toolbar-state-" + std::to_string(c.state)).c_str());
    }

    m_bar.SetShowState(FALSE);
    CBitmap plain;
    Render(plain);
    EXPECT_EQ(plain.GetPixel(indicator.left + 2, indicator.top + 1), GetSysColor(COLOR_BTNFACE)) << "no indicator";
    // The label "Drive Five", in black in the rightmost 150 pixels.
    int labelPixels = 0;
    for (int x = client.right - 150; x < client.right; ++x)
        for (int y = client.top; y < client.bottom; ++y)
            labelPixels += Near(plain.GetPixel(x, y), RGB(0, 0, 0), 40);
    EXPECT_GT(labelPixels, 0);
}

// The label and the state's text each keep their own place: changing one leaves the other's pixels as they were.
TEST_F(ToolbarTest, TheLabelAndTheStateTextDoNotCoverEachOther)
{
    CRect client;
    m_bar.GetClientRect(&client);
    const CRect indicator = CQvxGuiToolbar::IndicatorRect(client);
    auto region = [&](const CRect& area) {
        CBitmap image;
        Render(image);
        std::vector<COLORREF> pixels;
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x)
                pixels.push_back(image.GetPixel(x, y));
        return pixels;
    };
    m_window.m_drives = {{1, kFamilyKreln, "Kreln"}};
    m_window.m_current = 1;
    m_bar.RefreshDrives();
    ASSERT_EQ(m_bar.GetDriveText(), "Kreln");
    const std::vector<COLORREF> withLabel = region(indicator);
    m_window.m_drives.clear();  // no drive: the label is "Drive " alone
    m_bar.RefreshDrives();
    ASSERT_EQ(m_bar.GetDriveText(), "");
    EXPECT_EQ(region(indicator), withLabel) << "the label reaches into the indicator";

    m_window.m_drives = {{1, kFamilyKreln, "Kreln"}};
    m_bar.RefreshDrives();
    ASSERT_EQ(m_bar.GetDriveText(), "Kreln");
    const CRect beside(client.left + 80, client.top, indicator.left, client.bottom);
    m_window.m_state = kDriveDisabled;
    const std::vector<COLORREF> disabled = region(beside);
    m_window.m_state = kDriveFault;
    EXPECT_EQ(region(beside), disabled) << "the state's text reaches into the label";
    int labelInk = 0;
    for (COLORREF pixel : disabled)
        labelInk += Near(pixel, RGB(0, 0, 0), 40);
    EXPECT_GT(labelInk, 20) << "the label is drawn beside the indicator";
    Screenshot(&m_bar, "toolbar-label-and-state");
}

// The drive selector made in code is one item high and shows its text in the box; the open list is the tall part.
TEST_F(ToolbarTest, TheDriveSelectorIsOneItemHighWithItsTextInside)
{
    CQvxSelectAmpCombo& selector = m_bar.GetSelector();
    CRect box;
    selector.GetWindowRect(&box);
    EXPECT_LE(box.Height(), 26) << "not the 100 pixels of the open list";
    EXPECT_GE(box.Height(), 15);
    CRect bar;
    m_bar.GetWindowRect(&bar);
    EXPECT_LE(box.bottom, bar.bottom) << "inside the toolbar";
    CBitmap image;
    image.CreateCompatibleBitmap(nullptr, box.Width(), box.Height());
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    dc.SelectObject(&image);
    ASSERT_TRUE(selector.PrintWindow(&dc, PW_CLIENTONLY));
    dc.SelectObject(static_cast<CBitmap*>(nullptr));
    int ink = 0;
    for (int x = 2; x < box.Width() / 2; ++x)
        for (int y = 2; y < box.Height() - 2; ++y)
            ink += Near(image.GetPixel(x, y), RGB(0, 0, 0), 60);
    EXPECT_GT(ink, 5) << "the drive's name shows in the closed box";
    kvtest::Click(&selector);
    CRect dropped = kvtest::DroppedListRect(&selector);
    EXPECT_GT(dropped.Height(), box.Height()) << "the list drops below the box";
    kvtest::PressKey(&selector, VK_ESCAPE);
}
