#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "testing/UiPrinters.h"
#include "platform/ui/Bitmap.h"
#include "platform/ui/Button.h"
#include "platform/ui/DC.h"
#include "platform/ui/Font.h"
#include "platform/ui/Hook.h"
#include "platform/ui/Static.h"
#include "platform/ui/UserInput.h"
#include "platform/ui/WinApp.h"
#include "platform/ui/Wnd.h"

namespace {

constexpr UINT WM_WORKER_DONE = WM_USER + 1;
constexpr UINT IDC_GO = 100;

class CProbeWnd : public CWnd {
public:
    std::vector<UINT_PTR> timers;
    std::vector<std::thread::id> workerThreads;
    std::vector<LPARAM> workerValues;
    int goClicks = 0;
    int destroyed = 0;
    int lastCx = 0;
    bool* deletedFlag = nullptr;

    BOOL CreateProbe(int width = 200, int height = 100)
    {
        return CreateEx(0, nullptr, "Probe", WS_POPUP | WS_VISIBLE, CRect(0, 0, width, height), nullptr, 0);
    }

protected:
    void OnTimer(UINT_PTR id) { timers.push_back(id); }
    LRESULT OnWorkerDone(WPARAM, LPARAM lParam)
    {
        workerThreads.push_back(std::this_thread::get_id());
        workerValues.push_back(lParam);
        return lParam * 2;
    }
    void OnGo() { ++goClicks; }
    void OnDestroy() { ++destroyed; }
    void OnSize(UINT, int cx, int) { lastCx = cx; }
    void PostNcDestroy() override
    {
        if (deletedFlag) {
            *deletedFlag = true;
            delete this;
        }
    }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CProbeWnd, CWnd)
    ON_WM_TIMER()
    ON_MESSAGE(WM_WORKER_DONE, &CProbeWnd::OnWorkerDone)
    ON_BN_CLICKED(IDC_GO, &CProbeWnd::OnGo)
    ON_WM_DESTROY()
    ON_WM_SIZE()
END_MESSAGE_MAP()

// A button that keeps its left button to itself, as a jog button does.
class CHoldButton : public CButton {
public:
    int downs = 0;

protected:
    void OnLButtonDown(UINT, CPoint) { ++downs; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CHoldButton, CButton)
    ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

class CReflectingButton : public CButton {
public:
    int clicks = 0;

protected:
    void OnClicked() { ++clicks; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CReflectingButton, CButton)
    ON_CONTROL_REFLECT(BN_CLICKED, &CReflectingButton::OnClicked)
END_MESSAGE_MAP()

}  // namespace

TEST(WndTest, ChildButtonClickReachesParentMapAndHandlesAreIds)
{
    CProbeWnd wnd;
    ASSERT_TRUE(wnd.CreateProbe());
    CButton button;
    ASSERT_TRUE(button.Create("Go", WS_CHILD | WS_VISIBLE, CRect(10, 10, 80, 40), &wnd, IDC_GO));
    EXPECT_EQ(wnd.GetDlgItem(IDC_GO), &button);
    EXPECT_EQ(button.GetDlgCtrlID(), static_cast<int>(IDC_GO));
    EXPECT_EQ(button.GetParent(), &wnd);
    kvtest::Click(&button);
    EXPECT_EQ(wnd.goClicks, 1);
    button.EnableWindow(FALSE);
    kvtest::Click(&button);
    EXPECT_EQ(wnd.goClicks, 1) << "a disabled button takes no clicks";
    wnd.DestroyWindow();
    EXPECT_EQ(button.m_hWnd, nullptr) << "children go with their parent";
}

TEST(WndTest, TimersFireWithTheirIdsUntilKilled)
{
    CProbeWnd wnd;
    ASSERT_TRUE(wnd.CreateProbe());
    wnd.SetTimer(7, 5);
    wnd.SetTimer(9, 5);
    ASSERT_TRUE(AfxPumpMessagesUntil([&] { return wnd.timers.size() >= 6; }));
    EXPECT_NE(std::find(wnd.timers.begin(), wnd.timers.end(), 7u), wnd.timers.end());
    EXPECT_NE(std::find(wnd.timers.begin(), wnd.timers.end(), 9u), wnd.timers.end());
    EXPECT_TRUE(wnd.KillTimer(7));
    EXPECT_FALSE(wnd.KillTimer(7));
    wnd.KillTimer(9);
    wnd.timers.clear();
    AfxPumpMessagesUntil([] { return false; }, 30);
    EXPECT_TRUE(wnd.timers.empty());
}

TEST(WndTest, MessagesPostedByWorkersArriveOnTheGuiThreadInOrder)
{
    CProbeWnd wnd;
    ASSERT_TRUE(wnd.CreateProbe());
    std::thread worker([&wnd] {
        for (int i = 1; i <= 50; ++i)
            EXPECT_TRUE(::PostMessage(&wnd, WM_WORKER_DONE, 0, i));
    });
    worker.join();
    ASSERT_TRUE(AfxPumpMessagesUntil([&] { return wnd.workerValues.size() == 50; }));
    for (int i = 0; i < 50; ++i)
        EXPECT_EQ(wnd.workerValues[static_cast<size_t>(i)], i + 1);
    for (auto id : wnd.workerThreads)
        EXPECT_EQ(id, std::this_thread::get_id());
}

TEST(WndTest, SendMessageFromAWorkerWaitsForTheGuiThreadsAnswer)
{
    CProbeWnd wnd;
    ASSERT_TRUE(wnd.CreateProbe());
    EXPECT_EQ(wnd.SendMessage(WM_WORKER_DONE, 0, 21), 42);
    std::atomic<LRESULT> answer{0};
    std::thread worker([&] { answer = ::SendMessage(&wnd, WM_WORKER_DONE, 0, 5); });
    ASSERT_TRUE(AfxPumpMessagesUntil([&] { return answer.load() != 0; }));
    worker.join();
    EXPECT_EQ(answer.load(), 10);
    EXPECT_EQ(wnd.workerThreads.back(), std::this_thread::get_id());
}

TEST(WndTest, PostToAWindowThatIsGoneIsRefused)
{
    bool deleted = false;
    auto* wnd = new CProbeWnd;
    wnd->deletedFlag = &deleted;
    ASSERT_TRUE(wnd->CreateProbe());
    HWND handle = wnd->GetSafeHwnd();
    EXPECT_TRUE(::PostMessage(handle, WM_WORKER_DONE, 0, 1));
    EXPECT_TRUE(wnd->DestroyWindow());
    EXPECT_TRUE(deleted) << "a window made with new deletes itself after destruction";
    EXPECT_FALSE(::IsWindow(handle));
    EXPECT_FALSE(::PostMessage(handle, WM_WORKER_DONE, 0, 2));
    AfxPumpMessages();  // the message posted before destruction is dropped, not delivered to freed memory
}

TEST(WndTest, DestroyRunsOnDestroyOnceAndSizeIsReported)
{
    CProbeWnd wnd;
    ASSERT_TRUE(wnd.CreateProbe());
    wnd.MoveWindow(0, 0, 300, 120);
    EXPECT_EQ(wnd.lastCx, 300);
    CRect client;
    wnd.GetClientRect(&client);
    EXPECT_EQ(client, CRect(0, 0, 300, 120));
    EXPECT_TRUE(wnd.DestroyWindow());
    EXPECT_FALSE(wnd.DestroyWindow());
    EXPECT_EQ(wnd.destroyed, 1);
}

TEST(WndTest, OwnHandlerWithoutDefaultStopsTheControlsOwnHandling)
{
    CProbeWnd wnd;
    ASSERT_TRUE(wnd.CreateProbe());
    CHoldButton hold;
    ASSERT_TRUE(hold.Create("Hold", WS_CHILD | WS_VISIBLE, CRect(10, 10, 80, 40), &wnd, IDC_GO));
    kvtest::Click(&hold);
    EXPECT_EQ(hold.downs, 1);
    EXPECT_EQ(wnd.goClicks, 0) << "the press never reached the button, so no click";
}

TEST(WndTest, ControlNotificationsAreReflectedToTheControlFirst)
{
    CProbeWnd wnd;
    ASSERT_TRUE(wnd.CreateProbe());
    CReflectingButton button;
    ASSERT_TRUE(button.Create("R", WS_CHILD | WS_VISIBLE, CRect(10, 10, 80, 40), &wnd, IDC_GO));
    kvtest::Click(&button);
    EXPECT_EQ(button.clicks, 1);
    EXPECT_EQ(wnd.goClicks, 0);
}

namespace {
std::vector<UINT> g_hooked;
WNDPROC g_previous = nullptr;
LRESULT HookProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    g_hooked.push_back(message);
    return CallWindowProc(g_previous, hwnd, message, wParam, lParam);
}
}  // namespace

TEST(WndTest, ProcedureChainSeesEveryMessageAndCanBeUndone)
{
    CProbeWnd wnd;
    ASSERT_TRUE(wnd.CreateProbe());
    g_hooked.clear();
    g_previous = reinterpret_cast<WNDPROC>(SetWindowLongPtr(&wnd, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(&HookProc)));
    EXPECT_EQ(wnd.SendMessage(WM_WORKER_DONE, 0, 4), 8) << "the previous procedure still answers";
    wnd.PostMessage(WM_WORKER_DONE, 0, 1);
    wnd.SetTimer(3, 1);
    ASSERT_TRUE(AfxPumpMessagesUntil([&] { return !wnd.timers.empty() && wnd.workerValues.size() == 2; }));
    wnd.KillTimer(3);
    EXPECT_NE(std::find(g_hooked.begin(), g_hooked.end(), WM_TIMER), g_hooked.end());
    EXPECT_EQ(std::count(g_hooked.begin(), g_hooked.end(), WM_WORKER_DONE), 2);
    SetWindowLongPtr(&wnd, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(g_previous));
    g_hooked.clear();
    wnd.SendMessage(WM_WORKER_DONE, 0, 1);
    EXPECT_TRUE(g_hooked.empty());
}

TEST(WndTest, ScreenAndClientCoordinatesRoundTrip)
{
    CProbeWnd wnd;
    ASSERT_TRUE(wnd.CreateProbe(300, 200));
    wnd.MoveWindow(40, 30, 300, 200);
    CWnd child;
    ASSERT_TRUE(child.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(15, 25, 65, 55), &wnd, 5));
    CRect r;
    child.GetWindowRect(&r);
    wnd.ScreenToClient(&r);
    EXPECT_EQ(r, CRect(15, 25, 65, 55));
    CPoint p(1, 2);
    child.ClientToScreen(&p);
    wnd.ScreenToClient(&p);
    EXPECT_EQ(p, CPoint(16, 27));
}

namespace {
// Takes keys before its edit sees them, and keeps a minimum size.
class CKeyWnd : public CWnd {
public:
    std::vector<UINT> keys;
    std::vector<UINT> chars;
    int preTranslated = 0;
    HBRUSH OnCtlColor(CDC* dc, CWnd*, UINT)
    {
        dc->SetTextColor(RGB(255, 0, 0));
        return m_back;
    }

    CBrush m_back{RGB(0, 0, 255)};

protected:
    BOOL PreTranslateMessage(MSG* msg) override
    {
        if (msg->message == WM_KEYDOWN && msg->wParam == VK_F1) {
            ++preTranslated;
            return TRUE;
        }
        return FALSE;
    }
    void OnKeyDown(UINT key, UINT, UINT) { keys.push_back(key); }
    void OnChar(UINT ch, UINT, UINT) { chars.push_back(ch); }
    void OnGetMinMaxInfo(MINMAXINFO* info) { info->ptMinTrackSize = POINT{150, 120}; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CKeyWnd, CWnd)
    ON_WM_KEYDOWN()
    ON_WM_CHAR()
    ON_WM_GETMINMAXINFO()
    ON_WM_CTLCOLOR()
END_MESSAGE_MAP()
}  // namespace

TEST(WndTest, KeysCharsPreTranslationMinimumSizeAndControlColours)
{
    CKeyWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "Keys", WS_POPUP, CRect(0, 0, 200, 150), nullptr, 0));
    wnd.ShowWindow(SW_SHOW);
    kvtest::PressKey(&wnd, 'A', false, true);
    kvtest::PressKey(&wnd, 'C', true);
    kvtest::PressKey(&wnd, VK_F1);
    EXPECT_EQ(wnd.keys, (std::vector<UINT>{'A', 'C'}));
    EXPECT_EQ(wnd.chars, (std::vector<UINT>{'A', 3})) << "Ctrl+C types character 3";
    EXPECT_EQ(wnd.preTranslated, 1);
    wnd.chars.clear();
    kvtest::TypeText(&wnd, "xx");
    EXPECT_EQ(wnd.chars, (std::vector<UINT>{'x', 'x'})) << "every key typed is a character, one after another";

    wnd.MoveWindow(0, 0, 50, 50);
    CRect r;
    wnd.GetClientRect(&r);
    EXPECT_EQ(r.Width(), 150) << "the minimum track size holds";
    EXPECT_EQ(r.Height(), 120);

    CButton label;
    ASSERT_TRUE(label.Create("Hi", WS_CHILD | WS_VISIBLE | BS_PUSHLIKE | BS_AUTOCHECKBOX, CRect(0, 0, 60, 20), &wnd, 9));
    CStatic text;
    ASSERT_TRUE(text.Create("colour", WS_CHILD | WS_VISIBLE, CRect(0, 30, 100, 50), &wnd, 10));
    CBitmap image;
    ASSERT_TRUE(image.CreateCompatibleBitmap(nullptr, 150, 120));
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    dc.SelectObject(&image);
    wnd.PrintWindow(&dc, PW_CLIENTONLY);
    dc.SelectObject(static_cast<CBitmap*>(nullptr));
    EXPECT_EQ(image.GetPixel(98, 32), RGB(0, 0, 255)) << "the parent's brush paints the static";

    CFont marlett;
    marlett.CreatePointFont(100, "Marlett");
    text.SetFont(&marlett);
    text.SetWindowText("6");
    CString kept;
    text.GetWindowText(kept);
    EXPECT_EQ(kept, "6") << "the letters stay the window's text; the screen shows the arrow";
}

namespace {
std::vector<std::pair<WPARAM, POINT>> g_mouse;
LRESULT MouseProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION && wParam != WM_MOUSEMOVE)
        g_mouse.emplace_back(wParam, reinterpret_cast<MSLLHOOKSTRUCT*>(lParam)->pt);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
}  // namespace

TEST(WndTest, GlobalMouseHookSeesClicksOnAnyWindowUntilRemoved)
{
    CProbeWnd a, b;
    ASSERT_TRUE(a.CreateProbe());
    ASSERT_TRUE(b.CreateProbe());
    b.MoveWindow(300, 0, 200, 100);
    g_mouse.clear();
    HHOOK hook = SetWindowsHookEx(WH_MOUSE_LL, &MouseProc, nullptr, 0);
    ASSERT_NE(hook, nullptr);
    CButton button;
    ASSERT_TRUE(button.Create("Go", WS_CHILD | WS_VISIBLE, CRect(10, 10, 80, 40), &a, IDC_GO));
    kvtest::ClickAt(&button, CPoint(5, 5));
    kvtest::ClickAt(&b, CPoint(20, 30));
    ASSERT_EQ(g_mouse.size(), 4u) << "each press and release once, however far it travels";
    EXPECT_EQ(g_mouse[0].first, WM_LBUTTONDOWN);
    EXPECT_EQ(g_mouse[1].first, WM_LBUTTONUP);
    EXPECT_EQ(CPoint(g_mouse[2].second), CPoint(320, 30)) << "screen coordinates";
    EXPECT_TRUE(UnhookWindowsHookEx(hook));
    EXPECT_FALSE(UnhookWindowsHookEx(hook));
    kvtest::ClickAt(&b, CPoint(20, 30));
    EXPECT_EQ(g_mouse.size(), 4u);
}

namespace {
class CTestApp : public CWinApp {
public:
    int exits = 0;
    int ExitInstance() override { return ++exits; }
};
}  // namespace

TEST(WndTest, ApplicationLoopRunsUntilAskedToQuit)
{
    CTestApp app;
    EXPECT_EQ(AfxGetApp(), &app);
    CProbeWnd wnd;
    ASSERT_TRUE(wnd.CreateProbe());
    app.m_pMainWnd = &wnd;
    EXPECT_EQ(AfxGetMainWnd(), &wnd);
    wnd.PostMessage(WM_WORKER_DONE, 0, 1);
    AfxPostQuitMessage(3);
    EXPECT_EQ(app.Run(), 3);
    EXPECT_EQ(wnd.workerValues.size(), 1u) << "messages posted before the quit are handled";
    EXPECT_EQ(app.exits, 1);
}
