// A drive window's dealings with the main frame and its opener, without a
// link: placement of a second window, toolbar layout, help, the script
// player's keys and the tutorial page that opened it.
#include <gtest/gtest.h>

#include "SampleDriveDlg.h"
#include "TestFrame.h"
#include "testing/TestAppServices.h"
#include "framework/GuiTutorialOpener.h"
#include "platform/core/MessageBox.h"
#include "platform/ui/DialogTemplate.h"
#include "platform/ui/MsgBox.h"
#include "platform/ui/MsgBoxTesting.h"
#include "platform/ui/UserInput.h"
#include "testing/TempDir.h"

namespace {

class FakeTutorial : public CWnd, public CGuiTutorialOpener {
public:
    CGuiUpdateDlg* GetOpenedWindow() override { return m_opened; }
    void OnOpenedWindowClosed(CGuiUpdateDlg* window) override
    {
        m_closedWindows.push_back(window);
        m_opened = nullptr;
    }
    int GetPageIndex() const override { return m_page; }
    int GetPageCount() const override { return m_pages; }
    int GoToPage(int index) override
    {
        if (index < 0 || index >= m_pages)
            return 0;
        m_page = index;
        return 1;
    }
    CGuiUpdateDlg* m_opened = nullptr;
    int m_page = 0;
    int m_pages = 3;
    std::vector<CGuiUpdateDlg*> m_closedWindows;
};

class DriveWindowFrameTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_app.AddConnectedDrive(CAmplifierData(1, kFamilyKreln, "Kreln"));
        m_app.AddConnectedDrive(CAmplifierData(2, kFamilyTavro, "Tavro"));
        m_app.m_assignments = {{1, "Kreln"}, {2, "Tavro"}};
        CSampleDriveDlg::Register(m_frame.m_registry);
        AfxTakeScriptedMessageLog();
    }
    void TearDown() override
    {
        m_frame.DestroyAllWindows();
        AfxTakeScriptedMessageLog();
        EXPECT_EQ(CSampleDriveDlg::s_alive, 0);
    }
    CSampleDriveDlg* Open(const char* name = kSampleWindowName, CWnd* opener = nullptr)
    {
        return static_cast<CSampleDriveDlg*>(m_frame.m_registry.CreateGui(name, opener, 1));
    }

    TempDir m_home;
    TestAppServices m_app;
    TestFrame m_frame;
};

}  // namespace

TEST_F(DriveWindowFrameTest, ToolbarSitsAboveTheContentAndASecondWindowIsCascaded)
{
    CSampleDriveDlg* first = Open();
    CRect bar, button, client;
    first->GetToolbar().GetWindowRect(&bar);
    first->GetDlgItem(kSampleEnableButtonId)->GetWindowRect(&button);
    EXPECT_GE(button.top, bar.bottom) << "the content moved below the toolbar";
    first->GetClientRect(&client);
    EXPECT_EQ(bar.Width(), client.Width());

    // The user widens the window: the toolbar follows at the end of the move.
    CRect window;
    first->GetWindowRect(&window);
    first->MoveWindow(window.left, window.top, window.Width() + 80, window.Height());
    first->SendMessage(WM_EXITSIZEMOVE);
    first->GetClientRect(&client);
    first->GetToolbar().GetWindowRect(&bar);
    EXPECT_EQ(bar.Width(), client.Width());

    CSampleDriveDlg* second = Open();
    CRect a, b;
    first->GetWindowRect(&a);
    second->GetWindowRect(&b);
    // The window layer moves a top-level window by its frame but reports its client
    // area, so the offset may carry the frame's width.
    EXPECT_NEAR(b.left - a.left, 50, 2);
    EXPECT_NEAR(b.top - a.top, 50, 2);
    EXPECT_EQ(second->GetDrive(), 2) << "drive 1 is taken by the first";
}

TEST_F(DriveWindowFrameTest, WindowsWithoutASavedPlaceOpenCascadedInsideTheScreen)
{
    kvtest::OverrideScreen(800, 600);
    const CRect screen(0, 0, 800, 600);
    std::vector<CRect> places;
    for (int i = 0; i < 4; ++i) {
        CSampleDriveDlg* window = Open();
        ASSERT_NE(window, nullptr);
        CRect rect;
        window->GetWindowRect(&rect);
        CRect inside;
        EXPECT_TRUE(inside.IntersectRect(rect, screen) && inside == rect) << "window " << i << " leaves the screen";
        for (const CRect& earlier : places)
            EXPECT_NE(rect.TopLeft(), earlier.TopLeft()) << "window " << i << " covers an earlier one";
        places.push_back(rect);
    }
    kvtest::OverrideScreen(0, 0);
}

TEST_F(DriveWindowFrameTest, AQuestionComesUpInFrontOfAndCentredOnTheWindowThatAsks)
{
    CSampleDriveDlg* asking = Open();
    CSampleDriveDlg* other = Open();
    other->SetFocus();  // the user works in another window meanwhile
    AfxSetScriptedMode(FALSE);
    kvtest::ShownBox shown;
    kvtest::AnswerNextShownBox(IDNO, &shown);
    const int answer = asking->CGuiUpdateItem::MessageBox("Abandon changes?", MB_YESNO, 0, IDYES);
    AfxSetScriptedMode(TRUE);
    EXPECT_EQ(answer, IDNO);
    EXPECT_EQ(shown.owner, asking);
    CRect window;
    asking->GetWindowRect(&window);
    EXPECT_NEAR(shown.where.CenterPoint().x, window.CenterPoint().x, 20);
    EXPECT_NEAR(shown.where.CenterPoint().y, window.CenterPoint().y, 20);
    EXPECT_FALSE(shown.minMaxButtons);
}

TEST_F(DriveWindowFrameTest, HelpButtonAndScriptPlayerKeysGoToTheFrame)
{
    CSampleDriveDlg* dlg = Open();
    dlg->m_nIDHelp = 4321;
    dlg->SendMessage(WM_SYSCOMMAND, SC_CONTEXTHELP);
    EXPECT_EQ(m_frame.m_helpShown, std::vector<UINT>{4321});

    m_frame.m_playerTakesKeys = true;
    kvtest::PressKey(dlg, VK_NEXT);
    EXPECT_EQ(m_frame.m_playerKeys, std::vector<UINT>{VK_NEXT});

    m_frame.m_playerTakesKeys = false;
    kvtest::PressKey(dlg, VK_ESCAPE);
    EXPECT_EQ(m_frame.m_playerKeys.size(), 1u);
    EXPECT_EQ(CSampleDriveDlg::s_alive, 0) << "Escape reaches the window's Cancel button and closes it";
}

TEST_F(DriveWindowFrameTest, TutorialOpenerMovesOnAndForgetsTheClosedWindow)
{
    FakeTutorial tutorial;
    ASSERT_TRUE(tutorial.Create(nullptr, "tutorial", WS_POPUP, CRect(0, 0, 50, 50), nullptr, 0));
    CSampleDriveDlg* dlg = Open(kSampleWindowName, &tutorial);
    tutorial.m_opened = dlg;
    EXPECT_EQ(dlg->GetOpener(), &tutorial);

    dlg->AdvanceTutorialPage();
    EXPECT_EQ(tutorial.m_page, 1);

    // The window it holds keeps unsent settings and the user keeps them: no move.
    dlg->m_unsentSettings = 1;
    AfxQueueScriptedAnswer(IDNO);
    dlg->AdvanceTutorialPage();
    EXPECT_EQ(tutorial.m_page, 1);
    AfxQueueScriptedAnswer(IDYES);
    dlg->AdvanceTutorialPage();
    EXPECT_EQ(tutorial.m_page, 2);
    dlg->AdvanceTutorialPage();
    EXPECT_EQ(tutorial.m_page, 2) << "the last page does not move on";

    dlg->m_unsentSettings = 0;
    kvtest::CloseWindow(dlg);
    EXPECT_EQ(tutorial.m_closedWindows, std::vector<CGuiUpdateDlg*>{dlg});
    EXPECT_EQ(tutorial.m_opened, nullptr);
    tutorial.DestroyWindow();
}

namespace {

// A window that scrolls its content vertically, without a toolbar.
class CScrollingDlg : public CGuiUpdateDlg {
public:
    CScrollingDlg() : CGuiUpdateDlg(9200) { SetShowToolbar(0); }
    static void RegisterTemplate()
    {
        AfxRegisterDialogTemplates(R"(
DIALOG 9200 0 0 200 100 "Scrolling"
STYLE POPUP CAPTION SYSMENU VSCROLL
LTEXT 9201 0 0 50 10 "top"
LTEXT 9202 0 20 50 10 "bottom"
END
)");
    }
};

CRect ChildRect(CWnd* dlg, int id)
{
    CRect rect;
    dlg->GetDlgItem(id)->GetWindowRect(&rect);
    dlg->ScreenToClient(&rect);
    return rect;
}

}  // namespace

TEST_F(DriveWindowFrameTest, ScrollingFollowsTheContentExtentAndTheBars)
{
    CScrollingDlg::RegisterTemplate();
    auto* dlg = new CScrollingDlg;
    ASSERT_TRUE(dlg->CreateGuiWindow(0));
    // Children spanning 600 pixels, shown in a client area 400 pixels high. (The
    // window layer takes the maximum tracking size when a window is shown.)
    dlg->GetDlgItem(9201)->MoveWindow(0, 0, 100, 20);
    dlg->GetDlgItem(9202)->MoveWindow(0, 580, 100, 20);
    dlg->SetWindowPos(nullptr, 0, 0, 100, 700, SWP_NOMOVE | SWP_NOZORDER);
    dlg->SetupScrolling(-1, -1);
    CRect window;
    dlg->GetWindowRect(&window);
    EXPECT_EQ(window.Height(), 600) << "no taller than the content";
    dlg->CreateGuiWindow(1);
    dlg->SetWindowPos(nullptr, 0, 0, 100, 400, SWP_NOMOVE | SWP_NOZORDER);
    const CDlgScroller& scroller = dlg->GetScroller();
    ASSERT_TRUE(scroller.IsVertical());
    EXPECT_FALSE(scroller.IsHorizontal());
    EXPECT_EQ(scroller.GetBar(true).max, 500);
    EXPECT_EQ(scroller.GetBar(true).page, 300);
    EXPECT_TRUE(scroller.GetBar(true).visible);

    dlg->SendMessage(WM_VSCROLL, SB_PAGEDOWN);
    EXPECT_EQ(ChildRect(dlg, 9202).top, 530) << "a page moves 50 pixels";
    dlg->SendMessage(WM_VSCROLL, SB_LINEDOWN);
    EXPECT_EQ(ChildRect(dlg, 9202).top, 529) << "a line moves 1 pixel";
    dlg->SendMessage(WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 1000));
    EXPECT_EQ(scroller.GetBar(true).pos, 201) << "clamped to the range less the page";
    EXPECT_EQ(ChildRect(dlg, 9201).top, -201);

    // Written to and read back from the layout record.
    dlg->SendMessage(WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 120));
    dlg->GetProperties().SetInt("ScrollPosV", 120);
    dlg->SendMessage(WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 0));
    dlg->RestoreLayoutScrollPositions();
    EXPECT_EQ(ChildRect(dlg, 9201).top, -120) << "opens scrolled to the stored position";

    dlg->SetWindowPos(nullptr, 0, 0, 100, 650, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_FALSE(scroller.GetBar(true).visible) << "all of the content fits";
    EXPECT_EQ(scroller.GetMaxTrackSize().cy, 600);
    dlg->DestroyWindow();
}
