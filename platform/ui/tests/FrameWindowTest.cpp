// The frame window pieces: menu bars from menu resources with update
// handlers and prompts, shortcuts, MDI children, owner-drawn status panes,
// toolbar resources and the browser control.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "platform/ui/Accelerators.h"
#include "platform/ui/Bitmap.h"
#include "platform/ui/BrowserCtrl.h"
#include "platform/ui/DC.h"
#include "platform/ui/MdiFrameWnd.h"
#include "platform/ui/MenuResource.h"
#include "platform/ui/StatusBar.h"
#include "platform/ui/StringTable.h"
#include "platform/ui/ToolBarResource.h"
#include "platform/ui/UserInput.h"
#include "platform/ui/WinApp.h"
#include "testing/UiPrinters.h"

namespace {
constexpr UINT ID_RUN = 40001;
constexpr UINT ID_STOP = 40002;
constexpr UINT ID_NOHANDLER = 40003;
constexpr UINT ID_CHECKED = 40004;
constexpr UINT ID_RESTART = 40005;

const char* const kMenu = R"(
MENU 900
POPUP "&Drive"
    MENUITEM 40001 "&Run"
    MENUITEM 40002 "&Stop"
    MENUITEM 40005 "Re&start"
    MENUITEM SEPARATOR
    POPUP "More"
        MENUITEM 40003 "Nothing here"
        MENUITEM 40004 "Checked"
    END
END
END
)";

class CTestFrame : public CMDIFrameWnd {
public:
    int runs = 0;
    int stops = 0;
    bool stopEnabled = false;
    void OnRun() { ++runs; }
    void OnStop() { ++stops; }
    void OnChecked() {}
    void OnRestart() {}
    void OnUpdateStop(CCmdUI* ui) { ui->Enable(stopEnabled); }
    void OnUpdateChecked(CCmdUI* ui) { ui->SetCheck(1); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTestFrame, CMDIFrameWnd)
    ON_COMMAND(ID_RUN, &CTestFrame::OnRun)
    ON_COMMAND(ID_STOP, &CTestFrame::OnStop)
    ON_UPDATE_COMMAND_UI(ID_STOP, &CTestFrame::OnUpdateStop)
    ON_COMMAND(ID_CHECKED, &CTestFrame::OnChecked)
    ON_COMMAND(ID_RESTART, &CTestFrame::OnRestart)
    ON_UPDATE_COMMAND_UI(ID_CHECKED, &CTestFrame::OnUpdateChecked)
END_MESSAGE_MAP()

class FrameWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_menu.LoadFromText(kMenu, 900)) << m_menu.GetError().GetString();
        ASSERT_TRUE(AfxRegisterStrings("STRINGTABLE\n40001 \"Start the drive\\nRun\"\nEND\n"));
        ASSERT_TRUE(m_frame.CreateEx(0, nullptr, "Frame", WS_OVERLAPPEDWINDOW, CRect(0, 0, 600, 400), nullptr, 0));
        ASSERT_TRUE(m_status.Create(&m_frame, WS_CHILD | WS_VISIBLE, AFX_IDW_STATUS_BAR));
        const UINT panes[] = {0, 0};
        m_status.SetIndicators(panes, 2);
        m_frame.SetMenu(m_menu.GetMenu());
        m_frame.ShowWindow(SW_SHOW);
    }
    void TearDown() override
    {
        if (m_frame.GetSafeHwnd())
            m_frame.DestroyWindow();
    }
    CMenuResource m_menu;
    CTestFrame m_frame;
    CStatusBar m_status;
};
}  // namespace

TEST_F(FrameWindowTest, MenuItemsFollowTheirHandlersAndShowTheirPrompts)
{
    EXPECT_EQ(std::vector<CString>{"&Drive"}, kvtest::MenuBarTexts(&m_frame));
    EXPECT_EQ(1, kvtest::MenuItemState(&m_frame, "&Drive|&Run"));
    EXPECT_EQ(0, kvtest::MenuItemState(&m_frame, "&Drive|&Stop")) << "its update handler disables it";
    EXPECT_EQ(0, kvtest::MenuItemState(&m_frame, "&Drive|More|Nothing here")) << "no handler: greyed";
    int checked = 0;
    EXPECT_EQ(1, kvtest::MenuItemState(&m_frame, "&Drive|More|Checked", &checked));
    EXPECT_EQ(1, checked);
    EXPECT_EQ(-1, kvtest::MenuItemState(&m_frame, "&Drive|Missing"));

    EXPECT_FALSE(kvtest::ChooseMenuItem(&m_frame, "&Drive|&Stop"));
    EXPECT_EQ(0, m_frame.stops);
    m_frame.stopEnabled = true;
    EXPECT_TRUE(kvtest::ChooseMenuItem(&m_frame, "&Drive|&Stop"));
    EXPECT_EQ(1, m_frame.stops);

    EXPECT_TRUE(kvtest::HoverMenuItem(&m_frame, "&Drive|&Run"));
    EXPECT_EQ("Start the drive", m_status.GetPaneText(0));
    EXPECT_EQ("Run", AfxGetCommandTip(ID_RUN));

    // A menu changed and redrawn shows the change; the bar sits above the client area.
    m_menu.GetMenu()->GetSubMenu(0)->DeleteMenu(ID_RUN, MF_BYCOMMAND);
    m_frame.DrawMenuBar();
    EXPECT_EQ(-1, kvtest::MenuItemState(&m_frame, "&Drive|&Run"));
    CRect client;
    m_frame.GetMDIClient()->GetWindowRect(&client);
    m_frame.ScreenToClient(&client);
    EXPECT_GT(client.top, 0);
    EXPECT_EQ(ID_NOHANDLER, 40003u);
}

TEST_F(FrameWindowTest, AMnemonicSharedInsideAMenuMovesBetweenItsItems)
{
    m_frame.stopEnabled = true;
    kvtest::PressMenuKey(&m_frame, 'D', true);
    ASSERT_EQ(kvtest::OpenMenuTitle(&m_frame), "&Drive");
    for (const char* expected : {"&Stop", "Re&start", "&Stop"}) {
        kvtest::PressMenuKey(&m_frame, 'S');
        EXPECT_EQ(kvtest::HighlightedMenuItem(&m_frame), expected);
    }
    EXPECT_EQ(0, m_frame.stops) << "a shared mnemonic chooses nothing by itself";
    kvtest::PressMenuKey(&m_frame, VK_RETURN);
    EXPECT_EQ(1, m_frame.stops);
}

TEST_F(FrameWindowTest, ShortcutsRunEnabledCommandsOnly)
{
    CAcceleratorTable keys;
    ASSERT_TRUE(keys.LoadFromText("ACCELERATORS 7\n\"Ctrl+R\" 40001\n\"Ctrl+S\" 40002\nEND\n", 7));
    ASSERT_TRUE(keys.Install(&m_frame));
    EXPECT_TRUE(AfxRunEnabledCommand(&m_frame, ID_RUN));
    EXPECT_FALSE(AfxRunEnabledCommand(&m_frame, ID_STOP));
    EXPECT_EQ(1, m_frame.runs);
    EXPECT_EQ(0, m_frame.stops);
    // The keys as the user presses them in the frame; another window keeps its own keys.
    kvtest::PressKey(&m_frame, 'R', true);
    EXPECT_EQ(2, m_frame.runs);
    kvtest::PressKey(&m_frame, 'S', true);
    EXPECT_EQ(0, m_frame.stops) << "a greyed command's key does nothing";
    CWnd other;
    ASSERT_TRUE(other.CreateEx(0, nullptr, "Other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(0, 0, 100, 80), nullptr, 0));
    kvtest::PressKey(&other, 'R', true);
    EXPECT_EQ(2, m_frame.runs);
    other.DestroyWindow();
    EXPECT_EQ("Ctrl+R", keys.KeyOf(ID_RUN));
}

TEST_F(FrameWindowTest, ChildrenCascadeAndTile)
{
    CMDIChildWnd children[3];
    for (auto& child : children)
        ASSERT_TRUE(child.Create("Child", WS_VISIBLE, CRect(0, 0, 100, 80), &m_frame));
    EXPECT_EQ(&children[2], m_frame.MDIGetActive());
    m_frame.MDIActivate(&children[0]);
    m_frame.SendMessage(WM_MDICASCADE);
    CRect client;
    m_frame.GetMDIClient()->GetClientRect(&client);
    CRect first, second, active;
    children[1].GetWindowRect(&first);
    children[2].GetWindowRect(&second);
    children[0].GetWindowRect(&active);
    m_frame.GetMDIClient()->ScreenToClient(&first);
    m_frame.GetMDIClient()->ScreenToClient(&second);
    m_frame.GetMDIClient()->ScreenToClient(&active);
    EXPECT_EQ(CPoint(0, 0), first.TopLeft());
    EXPECT_EQ(CPoint(24, 24), second.TopLeft());
    EXPECT_EQ(CPoint(48, 48), active.TopLeft()) << "the active child ends the cascade, on top";
    EXPECT_EQ(client.Width() * 2 / 3, active.Width());

    m_frame.SendMessage(WM_MDITILE);
    int area = 0;
    std::vector<CRect> tiles;
    for (auto& child : children) {
        CRect r;
        child.GetWindowRect(&r);
        m_frame.GetMDIClient()->ScreenToClient(&r);
        tiles.push_back(r);
        area += r.Width() * r.Height();
    }
    EXPECT_EQ(client.Width() * client.Height(), area) << "the tiles cover the client area";
    for (size_t i = 0; i < tiles.size(); ++i)
        for (size_t j = i + 1; j < tiles.size(); ++j) {
            CRect overlap;
            EXPECT_FALSE(overlap.IntersectRect(tiles[i], tiles[j])) << i << " " << j;
        }
    children[1].DestroyWindow();
    EXPECT_EQ(2u, m_frame.GetMDIChildren().size());
}

namespace {
class CDrawnBar : public CStatusBar {
public:
    std::vector<DRAWITEMSTRUCT> drawn;
    void DrawItem(LPDRAWITEMSTRUCT item) override
    {
        drawn.push_back(*item);
        CDC::FromHandle(item->hDC)->FillSolidRect(&item->rcItem, 0x00FF00);
    }
};
}  // namespace

TEST(StatusBarPanesTest, AnOwnerDrawnPaneIsPaintedByItsBar)
{
    CWnd host;
    ASSERT_TRUE(host.CreateEx(0, nullptr, "Host", WS_POPUP, CRect(0, 0, 400, 60), nullptr, 0));
    CDrawnBar bar;
    ASSERT_TRUE(bar.Create(&host));
    const UINT panes[] = {0, 0, 0};
    bar.SetIndicators(panes, 3);
    bar.SetPaneInfo(1, 0, SBPS_NORMAL, 100);
    bar.SetPaneInfo(2, 0, SBPS_NORMAL, 80);
    bar.SetPaneStyle(1, SBT_OWNERDRAW | SBPS_NOBORDERS);
    bar.SetPaneText(1, "kept");
    EXPECT_EQ(SBT_OWNERDRAW | SBPS_NOBORDERS, bar.GetPaneStyle(1));
    host.ShowWindow(SW_SHOW);
    CRect pane;
    bar.GetItemRect(1, &pane);
    EXPECT_EQ(100, pane.Width());
    CDC memory;
    memory.CreateCompatibleDC(nullptr);
    CBitmap image;
    CRect barRect;
    bar.GetClientRect(&barRect);
    image.CreateCompatibleBitmap(&memory, barRect.Width(), barRect.Height());
    CBitmap* old = memory.SelectObject(&image);
    bar.PrintWindow(&memory, PW_CLIENTONLY);
    memory.SelectObject(old);
    ASSERT_FALSE(bar.drawn.empty());
    EXPECT_EQ(1u, bar.drawn.back().itemID);
    EXPECT_STREQ("kept", reinterpret_cast<const char*>(bar.drawn.back().itemData));
    EXPECT_EQ(COLORREF(0x00FF00), image.GetPixel(pane.left + 50, pane.top + pane.Height() / 2));
    EXPECT_NE(COLORREF(0x00FF00), image.GetPixel(pane.right + 20, pane.top + pane.Height() / 2));
    host.DestroyWindow();
}

TEST(ToolBarResourceTest, TheMainToolbarHasItsButtonsPicturesAndTips)
{
    CWnd host;
    ASSERT_TRUE(host.CreateEx(0, nullptr, "Host", WS_POPUP, CRect(0, 0, 400, 60), nullptr, 0));
    CToolBar bar;
    ASSERT_TRUE(bar.Create(&host));
    CString error;
    ASSERT_TRUE(AfxLoadToolBar(bar, 250, &error)) << error.GetString();
    EXPECT_EQ(8, bar.GetCount());
    EXPECT_EQ(0, bar.CommandToIndex(32799));
    EXPECT_EQ(3, bar.CommandToIndex(32986));
    EXPECT_EQ(7, bar.CommandToIndex(32773));
    EXPECT_FALSE(AfxLoadToolBar(bar, 9999, &error));
    EXPECT_EQ("toolbar 9999 not found", error);
    host.DestroyWindow();
}

namespace {
class Recorder : public CBrowserEvents {
public:
    std::vector<CString> before, complete, titles;
    CString refuse;
    void OnBeforeNavigate(const CString& url, BOOL* cancel) override
    {
        before.push_back(url);
        if (!refuse.IsEmpty() && url.Find(refuse) >= 0)
            *cancel = TRUE;
    }
    void OnDocumentComplete(const CString& url) override { complete.push_back(url); }
    void OnTitleChange(const CString& title) override { titles.push_back(title); }
};
}  // namespace

TEST(BrowserCtrlTest, LinksAskTheOwnerWhoMayCancelThem)
{
    char folder[] = "/tmp/kvbrowserXXXXXX";
    ASSERT_NE(nullptr, mkdtemp(folder));
    const std::string base = folder;
    std::ofstream(base + "/a.html") << "<html><head><title>Page A</title></head><body>"
                                       "<a href=\"b.html\">to B</a> <a href=\"app:command\">run</a></body></html>";
    std::ofstream(base + "/b.html") << "<html><head><title>Page B</title></head><body>B text</body></html>";
    CWnd host;
    ASSERT_TRUE(host.CreateEx(0, nullptr, "Host", WS_POPUP, CRect(0, 0, 400, 300), nullptr, 0));
    CBrowserCtrl browser;
    Recorder events;
    ASSERT_TRUE(browser.Create(CRect(0, 0, 400, 300), &host, 5));
    browser.SetEvents(&events);
    ASSERT_TRUE(browser.Navigate((base + "/a.html").c_str()));
    EXPECT_EQ("Page A", browser.GetTitle());
    EXPECT_EQ(std::vector<CString>{"Page A"}, events.titles);

    events.refuse = "app:";
    ASSERT_TRUE(kvtest::ClickBrowserLink(browser, "app:command"));
    EXPECT_EQ("Page A", browser.GetTitle()) << "a cancelled link keeps the page";
    EXPECT_NE(-1, events.before.back().Find("app:command"));

    ASSERT_TRUE(kvtest::ClickBrowserLink(browser, "b.html"));
    EXPECT_EQ("Page B", browser.GetTitle());
    EXPECT_NE(-1, browser.GetDocumentText().Find("B text"));
    EXPECT_NE(-1, events.complete.back().Find("b.html"));
    EXPECT_TRUE(browser.GoBack());
    EXPECT_EQ("Page A", browser.GetTitle());
    EXPECT_FALSE(browser.Navigate((base + "/missing.html").c_str()));
    EXPECT_FALSE(kvtest::ClickBrowserLink(browser, "nowhere.html"));
    host.DestroyWindow();
    std::remove((base + "/a.html").c_str());
    std::remove((base + "/b.html").c_str());
    std::remove(base.c_str());
}
