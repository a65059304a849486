// The program's tool windows in the gallery: terminal, debug watch, log
// viewer, drive names, the Windows List, the browser and the program editor, on the demo link where they need one.
#include <gtest/gtest.h>

#include <memory>

#include "GalleryWindows.h"
#include "app/KorvaneApp.h"
#include "app/MainFrame.h"
#include "app/NetworkReachability.h"
#include "app/tools/AssignDriveNamesDlg.h"
#include "app/tools/DebugWatchWindowDlg.h"
#include "app/tools/QvxEditorFrame.h"
#include "platform/core/MessageBox.h"
#include "app/tools/QvxTerminalDlg.h"
#include "app/tools/ShowLogDlg.h"
#include "app/tools/SimpleBrowser.h"
#include "platform/ui/MdiFrameWnd.h"
#include "platform/ui/UserInput.h"
#include "platform/ui/WinApp.h"
#include "resources/ids/TerminalIds.h"
#include "testing/TempDir.h"

namespace {
// The program started headless on the demo link in a fresh home folder.
class DemoProgram {
public:
    DemoProgram()
    {
        kvtest::SetNetworkAlive(0);
        m_app = std::make_unique<CKorvaneApp>();
        m_app->GetStartupOptions().splashWaitMs = 0;
        m_app->GetStartupOptions().showSplash = false;
        m_app->GetStartupOptions().networkDeadlineMs = 2000;
        m_started = m_app->InitInstance() && kvtest::ChooseMenuItem(Frame(), "&File|&Demo");
    }
    ~DemoProgram()
    {
        m_app.reset();
        kvtest::SetNetworkAlive(-1);
    }
    bool Started() const { return m_started; }
    CMainFrame* Frame() const { return m_app->GetMainFrame(); }
    CQvxTerminalDlg* OpenTerminal() const
    {
        Frame()->SendMessage(WM_COMMAND, 32799);
        return dynamic_cast<CQvxTerminalDlg*>(Frame()->GetUpdateList()->GetTail());
    }

private:
    TempDir m_home;
    std::unique_ptr<CKorvaneApp> m_app;
    bool m_started = false;
};

void Type(CQvxTerminalDlg* terminal, const char* line)
{
    CWnd* box = terminal->GetDlgItem(IDC_TERMINAL_COMMAND);
    box->SetWindowText("");
    kvtest::TypeText(box, line);
    kvtest::Click(terminal->GetDlgItem(IDC_TERMINAL_SEND));
}
}  // namespace

void ShowTerminal(GalleryShots& shots)
{
    DemoProgram program;
    ASSERT_TRUE(program.Started());
    CQvxTerminalDlg* terminal = program.OpenTerminal();
    ASSERT_NE(terminal, nullptr);
    shots.Take(terminal, "empty");
    Type(terminal, "?:TSR");
    Type(terminal, "VER");
    Type(terminal, "MOD");
    EXPECT_TRUE(AfxPumpMessagesUntil([&] { return terminal->GetResponseText().Find(":MOD ") >= 0; }, 10000));
    shots.Take(terminal, "replies");
    Type(terminal, "filter+:SSA");
    Type(terminal, "trace+:");
    EXPECT_TRUE(AfxPumpMessagesUntil([&] { return terminal->GetResponseText().Find("TRACE RX") >= 0; }, 10000));
    Type(terminal, "trace-:");
    shots.Take(terminal, "trace");
}

void ShowDebugWatch(GalleryShots& shots)
{
    CDebugWatchWindowDlg watch;
    watch.Show(nullptr, 1);
    shots.Take(&watch, "empty");
    watch.SetWatchValue("ComMngr InBuffSize", 12);
    watch.SetWatchValue("ComMngr QSize", 3);
    watch.LapTimer("GUI Update");
    watch.SetWatchValue("UndetectedDrives", 0);
    watch.AddMessage(" 1.204: TX @1:VER");
    watch.AddMessage(" 1.209: RX @1:VER $01a0");
    watch.AddMessage("MSGBOX:Drive 1 is not enabled.");
    watch.Refresh();
    shots.Take(&watch, "values and log");
}

void ShowLogViewer(GalleryShots& shots)
{
    kvtest::OnNextModal([&shots](CWnd* dialog) {
        shots.TakeOpen(dialog, "backup errors");
        kvtest::Click(dialog->GetDlgItem(IDOK));
    });
    CShowLogDlg log;
    log.ShowLog("Backup Errors",
                "ERROR: drive A did not answer register 13796 (MOD).\n"
                "ERROR: drive A register 611 could not be read.\n"
                "2 errors, 214 registers saved to \"Kreln.bk\".\n");
}

void ShowDriveNames(GalleryShots& shots)
{
    DemoProgram program;
    ASSERT_TRUE(program.Started());
    kvtest::OnNextModal([&shots](CWnd* dialog) {
        shots.TakeOpen(dialog, "demo drives");
        kvtest::Click(dialog->GetDlgItem(2723));
        shots.TakeOpen(dialog, "row added");
        kvtest::Click(dialog->GetDlgItem(IDCANCEL));
    });
    program.Frame()->SendMessage(WM_COMMAND, 33033);
}

void ShowWindowsList(GalleryShots& shots)
{
    DemoProgram program;
    ASSERT_TRUE(program.Started());
    for (int i = 0; i < 3; ++i)
        program.OpenTerminal();
    kvtest::OnNextModal([&shots](CWnd* dialog) {
        shots.TakeOpen(dialog, "three windows");
        kvtest::Click(dialog->GetDlgItem(IDOK));
    });
    program.Frame()->SendMessage(WM_COMMAND, 16000);
}

void ShowBrowser(GalleryShots& shots)
{
    TempDir pages;
    pages.Write("page.html",
                "<html><head><title>Tuning a Kreln drive</title></head><body><h2>Tuning a Kreln drive</h2>"
                "<p>Open the <a href=\"KVCLI:OPENGUI(&quot;SERVO_TUNING&quot;)\">Servo Tuning</a> window, then "
                "<a href=\"next.html\">go on</a>.</p></body></html>");
    CWnd host;
    ASSERT_TRUE(host.CreateEx(0, nullptr, "Browser", WS_POPUP, CRect(0, 0, 420, 260), nullptr, 0));
    host.ShowWindow(SW_SHOW);
    SimpleBrowser browser;
    ASSERT_EQ(browser.Create(&host, CRect(0, 0, 420, 260)), 1);
    browser.Navigate(pages.File("page.html").c_str());
    shots.Take(&host, "tutorial page");
    browser.Navigate("https://example.com/");
    shots.Take(&host, "remote page refused");
    host.DestroyWindow();
}

void ShowEditor(GalleryShots& shots)
{
    DemoProgram program;
    ASSERT_TRUE(program.Started());
    ASSERT_TRUE(kvtest::ChooseMenuItem(program.Frame(), "&File|Editor|&New File"));
    CQvxEditorFrame* editor = program.Frame()->GetEditors().GetTail();
    ASSERT_NE(editor, nullptr);
    kvtest::TypeText(&editor->GetView(), "PROG 1\nVEL 2000\nMOVE 4096\nWAIT MOVE\nEND\n");
    shots.Take(program.Frame(), "typed in the frame");
    editor->SendMessage(WM_COMMAND, ID_EDITOR_FIND);
    ASSERT_NE(editor->GetFindDialog(), nullptr);
    editor->GetFindDialog()->SetDlgItemText(CFindReplaceDialog::kFindText, "MOVE");
    kvtest::Click(editor->GetFindDialog()->GetDlgItem(IDOK));
    shots.Take(editor->GetFindDialog(), "find");
    shots.Take(program.Frame(), "found");
    AfxQueueScriptedAnswer(IDNO);
    editor->SendMessage(WM_COMMAND, ID_EDITOR_CLOSE);
}
