#include <gtest/gtest.h>

#include <thread>

#include "testing/UiPrinters.h"
#include "platform/ui/Button.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/DialogTemplate.h"
#include "platform/ui/Edit.h"
#include "platform/ui/ListCtrl.h"
#include "platform/ui/MdiFrameWnd.h"
#include "platform/ui/Menu.h"
#include "platform/ui/MsgBox.h"
#include "platform/ui/UserInput.h"
#include "resources/ids/ExportWindowImageIds.h"
#include "platform/ui/WinApp.h"
#include "testing/TempDir.h"

namespace {

constexpr UINT IDD_SPEED = 9001;
constexpr int IDC_SPEED = 1001;
constexpr int IDC_NAME = 1002;
constexpr int IDC_FAST = 1003;
constexpr int IDC_MODE_A = 1010;
constexpr int IDC_MODE_B = 1011;
constexpr int IDC_MODE_C = 1012;
constexpr int IDC_DIR_UP = 1020;
constexpr int IDC_DIR_DOWN = 1021;

const char* kTemplates = R"(# a speed dialog for the tests
DIALOG 9001 0 0 200 120 "Speed"
FONT 8 "MS Sans Serif"
EDITTEXT 1001 10 10 60 12 ""
EDITTEXT 1002 10 26 100 12 ""
CHECKBOX 1003 10 42 60 10 "Fast"
RADIOBUTTON 1010 10 56 40 10 "A" GROUP TABSTOP
RADIOBUTTON 1011 50 56 40 10 "B"
RADIOBUTTON 1012 90 56 40 10 "C"
RADIOBUTTON 1020 10 70 40 10 "Up" GROUP
RADIOBUTTON 1021 50 70 40 10 "Down"
DEFPUSHBUTTON IDOK 90 100 50 14 "OK"
PUSHBUTTON IDCANCEL 145 100 50 14 "Cancel"
END
DIALOG 9002 0 0 100 40 "Child"
STYLE CHILD
LTEXT IDC_STATIC 2 2 90 10 "Child"
END
)";

class CSpeedDlg : public CDialog {
public:
    CSpeedDlg() : CDialog(IDD_SPEED) {}
    int m_speed = 5;
    CString m_name = "drive";
    int m_fast = 1;
    int m_mode = 1;
    int m_direction = 0;
    bool* m_deleted = nullptr;

protected:
    void DoDataExchange(CDataExchange* dx) override
    {
        DDX_Text(dx, IDC_SPEED, m_speed);
        DDV_MinMaxInt(dx, m_speed, 1, 10);
        DDX_Text(dx, IDC_NAME, m_name);
        DDV_MaxChars(dx, m_name, 8);
        DDX_Check(dx, IDC_FAST, m_fast);
        DDX_Radio(dx, IDC_MODE_A, m_mode);
        DDX_Radio(dx, IDC_DIR_UP, m_direction);
    }
    void OnCancel() override
    {
        if (m_deleted)
            DestroyWindow();
        else
            CDialog::OnCancel();
    }
    void PostNcDestroy() override
    {
        if (m_deleted) {
            *m_deleted = true;
            delete this;
        }
    }
};

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CString error;
        ASSERT_TRUE(AfxRegisterDialogTemplates(kTemplates, &error)) << error.GetString();
        AfxTakeScriptedMessageLog();
    }
};

void SetEdit(CWnd* dialog, int id, const char* text)
{
    CWnd* edit = dialog->GetDlgItem(id);
    edit->SetWindowText("");
    kvtest::TypeText(edit, text);
}

}  // namespace

TEST_F(DialogTest, ModalDialogShowsMembersAndTakesWhatTheUserTypedOnOk)
{
    CSpeedDlg dlg;
    CString shownName;
    int shownMode = -1;
    kvtest::OnNextModal([&](CWnd* d) {
        d->GetDlgItemText(IDC_NAME, shownName);
        shownMode = d->GetCheckedRadioButton(IDC_MODE_A, IDC_MODE_C);
        SetEdit(d, IDC_SPEED, "7");
        SetEdit(d, IDC_NAME, "axis");
        kvtest::Click(d->GetDlgItem(IDC_FAST));
        kvtest::Click(d->GetDlgItem(IDC_MODE_C));
        kvtest::Click(d->GetDlgItem(IDC_DIR_DOWN));
        kvtest::Click(d->GetDlgItem(IDOK));
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(shownName, "drive");
    EXPECT_EQ(shownMode, IDC_MODE_B);
    EXPECT_EQ(dlg.m_speed, 7);
    EXPECT_EQ(dlg.m_name, "axis");
    EXPECT_EQ(dlg.m_fast, 0);
    EXPECT_EQ(dlg.m_mode, 2) << "a click in one radio group unchecks its group only";
    EXPECT_EQ(dlg.m_direction, 1);
    EXPECT_EQ(dlg.m_hWnd, nullptr);
}

TEST_F(DialogTest, EnterRunsTheDefaultButtonAndEscapeCancelsWithoutTakingData)
{
    CSpeedDlg ok;
    kvtest::OnNextModal([](CWnd* d) { kvtest::PressKey(d->GetDlgItem(IDC_SPEED), VK_RETURN); });
    EXPECT_EQ(ok.DoModal(), IDOK);

    CSpeedDlg cancel;
    kvtest::OnNextModal([](CWnd* d) {
        SetEdit(d, IDC_SPEED, "9");
        kvtest::PressKey(d->GetDlgItem(IDC_SPEED), VK_ESCAPE);
    });
    EXPECT_EQ(cancel.DoModal(), IDCANCEL);
    EXPECT_EQ(cancel.m_speed, 5);

    CSpeedDlg closed;
    kvtest::OnNextModal([](CWnd* d) { kvtest::CloseWindow(d); });
    EXPECT_EQ(closed.DoModal(), IDCANCEL);
}

TEST_F(DialogTest, BadValuesAreReportedAndKeepTheDialogOpen)
{
    CSpeedDlg dlg;
    std::vector<CString> reports;
    kvtest::OnNextModal([&](CWnd* d) {
        SetEdit(d, IDC_SPEED, "11");
        kvtest::Click(d->GetDlgItem(IDOK));
        SetEdit(d, IDC_SPEED, "x1");
        kvtest::Click(d->GetDlgItem(IDOK));
        SetEdit(d, IDC_SPEED, "3");
        SetEdit(d, IDC_NAME, "muchtoolong");
        kvtest::Click(d->GetDlgItem(IDOK));
        reports = AfxTakeScriptedMessageLog();
        EXPECT_TRUE(d->IsWindowVisible()) << "still open after refusals";
        SetEdit(d, IDC_NAME, "ok");
        kvtest::Click(d->GetDlgItem(IDOK));
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    ASSERT_EQ(reports.size(), 3u);
    EXPECT_EQ(reports[0], "MSGBOX:Please enter an integer between 1 and 10.");
    EXPECT_EQ(reports[1], "MSGBOX:Please enter an integer.");
    EXPECT_EQ(reports[2], "MSGBOX:Please enter no more than 8 characters.");
    EXPECT_EQ(dlg.m_speed, 3);
}

TEST_F(DialogTest, ModelessDialogLivesOnItsOwnAndDeletesItself)
{
    bool deleted = false;
    auto* dlg = new CSpeedDlg;
    dlg->m_deleted = &deleted;
    ASSERT_TRUE(dlg->Create(IDD_SPEED));
    dlg->ShowWindow(SW_SHOW);
    EXPECT_TRUE(dlg->IsWindowVisible());
    EXPECT_EQ(dlg->GetDlgItem(IDC_SPEED)->GetStyle() & WS_CHILD, WS_CHILD);
    CString speed;
    dlg->GetDlgItemText(IDC_SPEED, speed);
    EXPECT_EQ(speed, "5");
    kvtest::Click(dlg->GetDlgItem(IDCANCEL));
    AfxPumpMessages();
    EXPECT_TRUE(deleted);
}

TEST_F(DialogTest, StuckModalLoopEndsAtTheDeadlineAndMissingTemplateFails)
{
    kvtest::SetModalTimeout(30);
    CSpeedDlg dlg;
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    kvtest::SetModalTimeout(10000);
    CDialog missing(4242);
    EXPECT_EQ(missing.DoModal(), -1);
}

TEST_F(DialogTest, ChildDialogSitsInsideItsParent)
{
    CSpeedDlg parent;
    ASSERT_TRUE(parent.Create(IDD_SPEED));
    CDialog child;
    ASSERT_TRUE(child.Create(9002, &parent));
    EXPECT_EQ(child.GetParent(), &parent);
    EXPECT_TRUE(parent.IsChild(&child));
    parent.DestroyWindow();
    EXPECT_EQ(child.m_hWnd, nullptr);
}

TEST(DialogTemplateTest, SizesAreDialogUnitsOfTheTemplateFont)
{
    ASSERT_TRUE(AfxRegisterDialogTemplates("DIALOG 9100 0 0 100 40 \"Units\"\nFONT 8 \"Arial\"\n"
                                           "PUSHBUTTON 5 4 8 40 16 \"B\"\nEND\n"));
    CDialog dlg;
    ASSERT_TRUE(dlg.Create(9100));
    CRect units(0, 0, 4, 8);
    dlg.MapDialogRect(&units);
    ASSERT_GT(units.right, 4);
    ASSERT_GT(units.bottom, 8);
    CRect client;
    dlg.GetClientRect(&client);
    EXPECT_EQ(client.Width(), 25 * units.right);
    EXPECT_EQ(client.Height(), 5 * units.bottom);
    CRect button;
    dlg.GetDlgItem(5)->GetWindowRect(&button);
    dlg.ScreenToClient(&button);
    EXPECT_EQ(button, CRect(units.right, units.bottom, 11 * units.right, 3 * units.bottom));
}

TEST(DialogTemplateTest, AControlGetsTheFontItsTemplateNames)
{
    ASSERT_TRUE(AfxRegisterDialogTemplates("DIALOG 9101 0 0 100 40 \"Fonts\"\nFONT 8 \"Arial\"\n"
                                           "LTEXT 5 4 4 40 10 \"Part\"\n"
                                           "PUSHBUTTON 6 50 4 12 12 \"6\" TABSTOP FONT 9 \"Marlett\"\nEND\n"));
    CDialog dlg;
    ASSERT_TRUE(dlg.Create(9101));
    const LOGFONT& own = dlg.GetDlgItem(6)->GetFont()->GetLogFontRef();
    EXPECT_STREQ(own.lfFaceName, "Marlett");
    EXPECT_EQ(own.lfHeight, -12);
    EXPECT_TRUE(dlg.GetDlgItem(6)->GetStyle() & WS_TABSTOP);
    EXPECT_STREQ(dlg.GetDlgItem(5)->GetFont()->GetLogFontRef().lfFaceName, "Arial");
    dlg.DestroyWindow();
}

TEST(DialogTemplateTest, MalformedTemplatesAreRefusedWithTheLine)
{
    struct Case {
        const char* text;
        const char* error;
    };
    const Case cases[] = {
        {"DIALOG 1 0 0 10 10 \"a\"\nBUTTONX 1 0 0 1 1 \"b\"\nEND\n", "line 2: unknown line 'BUTTONX'"},
        {"DIALOG 1 0 0 10 10 \"a\"\nLTEXT 1 0 0 1 1 b\nEND\n", "line 2: the control's text must be quoted"},
        {"DIALOG 1 0 0 10 10 \"a\"\nLTEXT 1 0 0 1 1 \"b\nEND\n", "line 2: unterminated text"},
        {"DIALOG 1 0 0 10 10 \"a\"\nLTEXT IDFOO 0 0 1 1 \"b\"\nEND\n", "line 2: bad control id 'IDFOO'"},
        {"DIALOG 1 0 0 10 10 \"a\"\nLTEXT 1 0 0 -1 1 \"b\"\nEND\n", "line 2: position or size out of range"},
        {"DIALOG 1 0 0 10 10 \"a\"\nLTEXT 1 0 0 1 \"b\"\nEND\n", "line 2: a control needs an id, x, y, width, height and a text"},
        {"DIALOG 1 0 0 10 10 \"a\"\nLTEXT 1 0 0 1 1 \"b\" SHINY\nEND\n", "line 2: unknown style word 'SHINY'"},
        {"DIALOG 1 0 0 10 10 \"a\"\nLTEXT 1 0 0 1 1 \"b\"\n", "dialog 1: END missing"},
        {"LTEXT 1 0 0 1 1 \"b\"\n", "line 1: 'LTEXT' outside a dialog"},
        {"DIALOG 1 0 0 10 10 \"a\"\nEND\nDIALOG 1 0 0 10 10 \"b\"\nEND\n", "line 3: dialog id used twice"},
        {"DIALOG x 0 0 10 10 \"a\"\nEND\n", "line 1: expected DIALOG id x y width height \"caption\""},
        {"DIALOG 1 0 0 10 10 \"a\"\nFONT 0 \"Arial\"\nEND\n", "line 2: expected FONT size \"face\""},
        {"DIALOG 1 0 0 10 10 \"a\"\nLTEXT 1 0 0 1 1 \"b\" FONT \"Marlett\"\nEND\n",
         "line 2: expected FONT size \"face\" in the control's style"},
        {"DIALOG 1 0 0 10 10 \"a\"\nMENU \"File\"\nEND\n", "line 2: expected MENU id"},
        {"DIALOG 1 0 0 10 10 \"a\"\nMENU 0\nEND\n", "line 2: expected MENU id"},
    };
    for (const auto& c : cases) {
        std::vector<DialogTemplate> parsed;
        CString error;
        EXPECT_FALSE(ParseDialogTemplates(c.text, parsed, error)) << c.text;
        EXPECT_EQ(error, c.error) << c.text;
        EXPECT_TRUE(parsed.empty()) << "nothing of a bad text is kept";
    }
}

TEST(DialogTemplateTest, TheProgramsResourceFilesAllRead)
{
    EXPECT_EQ(AfxGetResourceErrors(), "");
}

TEST_F(DialogTest, IdokPostedFromAWorkerEndsTheModalLoop)
{
    CSpeedDlg dlg;
    std::thread worker;
    kvtest::OnNextModal([&](CWnd* d) {
        HWND handle = d->GetSafeHwnd();
        worker = std::thread([handle] { ::PostMessage(handle, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0); });
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    worker.join();
}

namespace {
// Appends a template piece the way the original laid it out in memory.
struct TemplateWriter {
    std::vector<BYTE> bytes;
    void Raw(const void* data, size_t n)
    {
        const auto* p = static_cast<const BYTE*>(data);
        bytes.insert(bytes.end(), p, p + n);
    }
    void Word(WORD w) { Raw(&w, 2); }
    void Text(const char* text)
    {
        for (const char* c = text; *c; ++c)
            Word(static_cast<WORD>(static_cast<unsigned char>(*c)));
        Word(0);
    }
    void Align()
    {
        while (bytes.size() % 4)
            bytes.push_back(0);
    }
};
}  // namespace

TEST(DialogTemplateTest, TemplatesBuiltInMemoryMakeDialogs)
{
    TemplateWriter t;
    DLGTEMPLATE head{WS_POPUP | DS_SETFONT, 0x188, 2, 10, 10, 100, 60};
    t.Raw(&head, sizeof head);
    t.Word(0);
    t.Word(0);
    t.Text("Dialog Template Sample -  PRESS <ESC> TO CLOSE THIS DIALOG");
    t.Word(11);
    t.Text("ARIAL");
    t.Align();
    DLGITEMTEMPLATE button{WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 0, 5, 5, 40, 14, 1};
    t.Raw(&button, sizeof button);
    t.Word(0xFFFF);
    t.Word(0x0080);
    t.Text("OK");
    t.Word(0);
    t.Align();
    DLGITEMTEMPLATE list{WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, 5, 25, 90, 30, 50};
    t.Raw(&list, sizeof list);
    t.Text("SysListView32");
    t.Word(0);
    t.Word(0);

    CDialog popup;
    ASSERT_TRUE(popup.CreateIndirect(reinterpret_cast<LPCDLGTEMPLATE>(t.bytes.data()), nullptr, t.bytes.size()));
    CString title;
    popup.GetWindowText(title);
    EXPECT_EQ(title, "Dialog Template Sample -  PRESS <ESC> TO CLOSE THIS DIALOG");
    ASSERT_NE(popup.GetDlgItem(1), nullptr);
    CString caption;
    popup.GetDlgItem(1)->GetWindowText(caption);
    EXPECT_EQ(caption, "OK");
    ASSERT_NE(dynamic_cast<CListCtrl*>(popup.GetDlgItem(50)), nullptr);
    LOGFONT lf{};
    popup.GetFont()->GetLogFont(&lf);
    EXPECT_STREQ(lf.lfFaceName, "ARIAL");
    EXPECT_NE(LOWORD(static_cast<DWORD>(GetDialogBaseUnits())), 0);

    CDialog cut;
    EXPECT_FALSE(cut.CreateIndirect(reinterpret_cast<LPCDLGTEMPLATE>(t.bytes.data()), nullptr, t.bytes.size() - 3));
    EXPECT_EQ(cut.m_hWnd, nullptr);
}

// Templates name their ids from the same lists the code includes.
TEST(DialogTemplateIdsTest, NamedIdsInATemplateAreTheListsNumbers)
{
    CString error;
    std::vector<DialogTemplate> parsed;
    ASSERT_TRUE(ParseDialogTemplates("DIALOG IDD_EXPORT_WINDOW_IMAGE 0 0 100 40 \"Named\"\n"
                                     "EDITTEXT IDC_EXPORT_PATH 5 5 80 12 \"\"\nEND\n",
                                     parsed, error))
        << error.GetString();
    ASSERT_EQ(parsed.size(), 1u);
    EXPECT_EQ(parsed[0].id, static_cast<UINT>(IDD_EXPORT_WINDOW_IMAGE));
    ASSERT_EQ(parsed[0].controls.size(), 1u);
    EXPECT_EQ(parsed[0].controls[0].id, IDC_EXPORT_PATH);
    parsed.clear();
    EXPECT_FALSE(ParseDialogTemplates("DIALOG IDD_NO_SUCH_DIALOG 0 0 10 10 \"x\"\nEND\n", parsed, error));
    EXPECT_NE(error.Find("expected DIALOG id"), -1) << error.GetString();
}

namespace {

constexpr UINT kMenuDialogId = 9200;
constexpr UINT kSaveCommand = 9201;
constexpr UINT kOpenCommand = 9202;
constexpr UINT kViewAll = 9203;
constexpr UINT kViewLocal = 9204;

// A dialog whose template names a menu: one item follows an update handler,
// the others the flags the dialog sets on its menu.
class CMenuDlg : public CDialog {
public:
    CMenuDlg() : CDialog(kMenuDialogId) {}
    void OnSave() { ++m_saves; }
    void OnOpen() { ++m_opens; }
    void OnUpdateViewAll(CCmdUI* ui) { ui->SetCheck(m_showAll ? 1 : 0); }
    void OnViewAll() {}
    int m_saves = 0;
    int m_opens = 0;
    bool m_showAll = true;

protected:
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CMenuDlg, CDialog)
    ON_COMMAND(kSaveCommand, &CMenuDlg::OnSave)
    ON_COMMAND(kOpenCommand, &CMenuDlg::OnOpen)
    ON_COMMAND(kViewAll, &CMenuDlg::OnViewAll)
    ON_UPDATE_COMMAND_UI(kViewAll, &CMenuDlg::OnUpdateViewAll)
END_MESSAGE_MAP()

// Menus load from the resources folder: the test's menu lives in a folder of its own.
class ResourceFolderScope {
public:
    explicit ResourceFolderScope(const std::string& folder)
    {
        AfxGetResourceErrors();  // the program's templates are read before the folder moves
        const char* old = std::getenv("KORVANE_RESOURCES");
        m_had = old != nullptr;
        m_old = old ? old : "";
        setenv("KORVANE_RESOURCES", folder.c_str(), 1);
    }
    ~ResourceFolderScope()
    {
        if (m_had)
            setenv("KORVANE_RESOURCES", m_old.c_str(), 1);
        else
            unsetenv("KORVANE_RESOURCES");
    }

private:
    bool m_had = false;
    std::string m_old;
};

}  // namespace

TEST(DialogMenuTest, ATemplatesMenuSitsAboveTheClientAreaAndSendsItsCommandsToTheDialog)
{
    ASSERT_TRUE(AfxRegisterDialogTemplates("DIALOG 9200 0 0 100 40 \"With menu\"\nFONT 8 \"Arial\"\nMENU 9200\n"
                                           "PUSHBUTTON 5 4 8 40 16 \"B\"\nEND\n"
                                           "DIALOG 9210 0 0 100 40 \"Lost menu\"\nMENU 9299\nEND\n"));
    TempDir folder;
    folder.Write("test.menu", "MENU 9200\nPOPUP \"File\"\n    MENUITEM 9201 \"Save\"\n    MENUITEM 9202 \"Open\"\nEND\n"
                              "POPUP \"View\"\n    MENUITEM 9203 \"All\"\n    MENUITEM 9204 \"Local\"\nEND\nEND\n");
    ResourceFolderScope scope(folder.path());
    CMenuDlg dlg;
    ASSERT_TRUE(dlg.Create(kMenuDialogId));
    ASSERT_NE(dlg.GetMenu(), nullptr);
    EXPECT_EQ(kvtest::MenuBarTexts(&dlg), (std::vector<CString>{"File", "View"}));

    // The client area is the template's, below the bar; children count from its corner.
    CRect units(0, 0, 4, 8);
    dlg.MapDialogRect(&units);
    CRect client;
    dlg.GetClientRect(&client);
    EXPECT_EQ(client, CRect(0, 0, 25 * units.right, 5 * units.bottom));
    CRect window;
    dlg.GetWindowRect(&window);
    EXPECT_GT(window.Height(), client.Height()) << "the bar adds to the window";
    CRect button;
    dlg.GetDlgItem(5)->GetWindowRect(&button);
    dlg.ScreenToClient(&button);
    EXPECT_EQ(button, CRect(units.right, units.bottom, 11 * units.right, 3 * units.bottom));
    CPoint corner(0, 0);
    dlg.ClientToScreen(&corner);
    EXPECT_EQ(corner.y, window.top + window.Height() - client.Height());
    EXPECT_EQ(dlg.GetWindow(GW_CHILD), dlg.GetDlgItem(5));
    dlg.MoveWindow(0, 0, 300, 200);
    dlg.GetClientRect(&client);
    EXPECT_EQ(client.Width(), 300);
    EXPECT_EQ(client.Height(), 200 - (window.Height() - 5 * units.bottom));

    // Commands reach the dialog; a greyed item cannot be chosen.
    EXPECT_TRUE(kvtest::ChooseMenuItem(&dlg, "File|Save"));
    EXPECT_EQ(dlg.m_saves, 1);
    dlg.GetMenu()->EnableMenuItem(kOpenCommand, MF_BYCOMMAND | MF_GRAYED);
    EXPECT_EQ(kvtest::MenuItemState(&dlg, "File|Open"), 0);
    EXPECT_FALSE(kvtest::ChooseMenuItem(&dlg, "File|Open"));
    EXPECT_EQ(dlg.m_opens, 0);
    dlg.GetMenu()->EnableMenuItem(kOpenCommand, MF_BYCOMMAND | MF_ENABLED);
    EXPECT_TRUE(kvtest::ChooseMenuItem(&dlg, "File|Open"));
    EXPECT_EQ(dlg.m_opens, 1);

    // Check marks: from the update handler, or set on the menu.
    struct Check {
        bool showAll;
        UINT localCheck;
        int allChecked;
        int localChecked;
    };
    for (const Check& c : {Check{true, MF_UNCHECKED, 1, 0}, Check{false, MF_CHECKED, 0, 1}}) {
        dlg.m_showAll = c.showAll;
        dlg.GetMenu()->CheckMenuItem(kViewLocal, MF_BYCOMMAND | c.localCheck);
        int checked = -1;
        EXPECT_EQ(kvtest::MenuItemState(&dlg, "View|All", &checked), 1);
        EXPECT_EQ(checked, c.allChecked);
        EXPECT_EQ(kvtest::MenuItemState(&dlg, "View|Local", &checked), 1);
        EXPECT_EQ(checked, c.localChecked);
    }
    dlg.DestroyWindow();

    // A menu the resources lack makes no dialog, as a missing template does.
    CDialog lost;
    EXPECT_FALSE(lost.Create(9210));
    EXPECT_EQ(lost.m_hWnd, nullptr);
}
