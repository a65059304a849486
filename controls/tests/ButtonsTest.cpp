#include <gtest/gtest.h>

#include "testing/WindowPixels.h"

#include <vector>

#include "controls/DRichEditCtrl.h"
#include "controls/JogBtn.h"
#include "controls/LampButton.h"
#include "platform/ui/Bitmap.h"
#include "platform/ui/DC.h"
#include "platform/ui/UserInput.h"
#include "platform/ui/WinApp.h"
#include "testing/UiPrinters.h"

namespace {

class CPanel : public CWnd {
public:
    std::vector<std::pair<UINT, WPARAM>> jogs;
    int clicks = 0;
    CPanel() { CreateEx(0, nullptr, "Panel", WS_POPUP | WS_VISIBLE, CRect(0, 0, 300, 200), nullptr, 0); }

protected:
    // Posted by the jog button: wParam is its id, not mouse flags.
    LRESULT OnJogDown(WPARAM wParam, LPARAM) { jogs.emplace_back(WM_LBUTTONDOWN, wParam); return 0; }
    LRESULT OnJogUp(WPARAM wParam, LPARAM) { jogs.emplace_back(WM_LBUTTONUP, wParam); return 0; }
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override
    {
        if (HIWORD(static_cast<DWORD>(wParam)) == BN_CLICKED)
            ++clicks;
        return CWnd::OnCommand(wParam, lParam);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CPanel, CWnd)
    ON_MESSAGE(WM_LBUTTONDOWN, &CPanel::OnJogDown)
    ON_MESSAGE(WM_LBUTTONUP, &CPanel::OnJogUp)
END_MESSAGE_MAP()

}  // namespace

TEST(JogBtnTest, PressAndReleaseArePostedWithTheIdAndNeverClick)
{
    CPanel panel;
    CJogBtn jog;
    ASSERT_TRUE(jog.Create("Jog +", WS_CHILD | WS_VISIBLE, CRect(10, 10, 90, 40), &panel, 1234));
    kvtest::MouseDown(&jog, CPoint(5, 5));
    EXPECT_TRUE(jog.m_pressed);
    EXPECT_EQ(jog.m_pressedId, 1234);
    EXPECT_EQ(CWnd::GetCapture(), &jog) << "the button keeps the mouse while held";
    kvtest::MouseUp(&jog, CPoint(5, 5));
    EXPECT_FALSE(jog.m_pressed);
    EXPECT_EQ(jog.m_pressedId, -1);
    EXPECT_EQ(CWnd::GetCapture(), nullptr);
    ASSERT_TRUE(AfxPumpMessagesUntil([&] { return panel.jogs.size() == 2; }));
    EXPECT_EQ(panel.jogs[0], std::make_pair(WM_LBUTTONDOWN, WPARAM{1234}));
    EXPECT_EQ(panel.jogs[1], std::make_pair(WM_LBUTTONUP, WPARAM{1234}));
    kvtest::DoubleClick(&jog, CPoint(5, 5));
    AfxPumpMessagesUntil([&] { return panel.jogs.size() >= 6; });
    EXPECT_EQ(panel.clicks, 0);
    EXPECT_EQ(panel.jogs.back().first, WM_LBUTTONUP);
}

TEST(LampButtonTest, LitUnlitAndBlinkingFacesReadBackFromTheImage)
{
    CPanel panel;
    CLampButton lamp;
    ASSERT_TRUE(lamp.Create("Enabled", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, CRect(10, 10, 110, 50), &panel, 77));
    lamp.m_onFaceColor = RGB(0, 200, 0);
    lamp.m_offFaceColor = RGB(200, 0, 0);
    lamp.m_on = TRUE;
    CBitmap lit;
    Render(lamp, lit);
    EXPECT_TRUE(Near(lit.GetPixel(50, 2), RGB(0, 200, 0), 10)) << "the face colour at the top";
    EXPECT_TRUE(Near(lit.GetPixel(50, 37), RGB(0, 140, 0), 12)) << "70 percent at the bottom";
    EXPECT_EQ(lit.GetPixel(1, 20), RGB(0x70, 0x70, 0x70)) << "the grey outline";
    EXPECT_NE(lit.GetPixel(0, 0), RGB(0, 200, 0)) << "the rounded corner is not filled";

    lamp.m_blinkMode = 1;
    lamp.m_on = FALSE;
    for (int tick = 0; tick < 2; ++tick) {
        lamp.SendMessage(WM_TIMER, 1);
        CBitmap off;
        Render(lamp, off);
        EXPECT_TRUE(Near(off.GetPixel(50, 2), RGB(200, 0, 0), 10)) << "an off lamp stays off whatever the phase";
    }
    lamp.m_on = TRUE;
    std::vector<bool> phases;
    for (int tick = 0; tick < 2; ++tick) {
        lamp.SendMessage(WM_TIMER, 1);
        CBitmap blink;
        Render(lamp, blink);
        phases.push_back(Near(blink.GetPixel(50, 2), RGB(0, 200, 0), 10));
    }
    EXPECT_NE(phases[0], phases[1]) << "each tick toggles a blinking lamp";

    lamp.SetTimer(1, 5);
    const BOOL phase = lamp.m_blinkPhase;
    ASSERT_TRUE(AfxPumpMessagesUntil([&] { return lamp.m_blinkPhase != phase; }));
    lamp.KillTimer(1);
}

TEST(LampButtonTest, TextsFollowTheState)
{
    CPanel panel;
    CLampButton lamp;
    ASSERT_TRUE(lamp.Create("Caption", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, CRect(0, 0, 120, 30), &panel, 78));
    lamp.m_onFaceColor = lamp.m_offFaceColor = RGB(255, 255, 255);
    lamp.m_onTextColor = RGB(0, 0, 0);
    lamp.m_offTextColor = RGB(255, 255, 255);
    lamp.SetTexts("ON", "", TRUE);
    auto inked = [&](BOOL on) {
        lamp.m_on = on;
        CBitmap image;
        Render(lamp, image);
        int dark = 0;
        for (int x = 5; x < 115; ++x)
            for (int y = 5; y < 25; ++y)
                if (GetRValue(image.GetPixel(x, y)) < 100)
                    ++dark;
        return dark;
    };
    EXPECT_GT(inked(TRUE), 10);
    EXPECT_EQ(inked(FALSE), 0) << "the off text colour on the same face (window text in use) shows nothing";
}

TEST(DRichEditCtrlTest, AppendedTextCarriesTheFormatAndProtection)
{
    CPanel panel;
    CDRichEditCtrl rich;
    ASSERT_TRUE(rich.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 280, 150), &panel, 90));
    rich.InitCharFormat(10);
    EXPECT_EQ(rich.m_charFormat.yHeight, 200);
    EXPECT_STREQ(rich.m_charFormat.szFaceName, "ariel");
    rich.AppendText("MTR> ", TRUE);
    rich.AppendText("status", FALSE);
    EXPECT_TRUE(rich.m_inserting);
    CString text;
    rich.GetWindowText(text);
    EXPECT_EQ(text, "MTR> status");
    for (int i = 0; i < 10; ++i)
        kvtest::PressKey(&rich, VK_BACK);
    rich.GetWindowText(text);
    EXPECT_EQ(text, "MTR> ") << "the user deletes his text, never the protected prompt";

    rich.AppendText("abc", FALSE);
    rich.SetSel(5, 6);
    rich.AppendText("X", FALSE);
    rich.GetWindowText(text);
    EXPECT_EQ(text, "MTR> Xbc") << "with a selection, the text replaces it";

    kvtest::TypeText(&rich, "");
    EXPECT_TRUE(rich.m_hasFocus);
}
