// The register watch window on the demo link, used as a user would.
#include <gtest/gtest.h>

#include "IoDemoFixture.h"
#include "platform/ui/Button.h"
#include "platform/ui/ColorDialog.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/FileDialog.h"
#include "platform/ui/MsgBox.h"
#include "platform/ui/UserInput.h"
#include "setup/io/WatchListFile.h"
#include "setup/io/windows/QvxWatchRegistersDlg.h"
#include "testing/ListCellText.h"
#include "testing/WindowShot.h"

namespace {

class WatchWindowTest : public IoDemoTest {
protected:
    void SetUp() override
    {
        IoDemoTest::SetUp();
        m_frame.m_registry.RegisterGui("WATCH_REGISTERS", RUNTIME_CLASS(CQvxWatchRegistersDlg), 6, 0);
    }
    CQvxWatchRegistersDlg* Open()
    {
        auto* dlg = dynamic_cast<CQvxWatchRegistersDlg*>(m_frame.m_registry.CreateGui("WATCH_REGISTERS", nullptr, 1));
        if (dlg) {
            EXPECT_TRUE(Wait([&] { return dlg->AreStagesDone(); }));
        }
        return dlg;
    }
    // Fills the setup dialog as a user would and presses OK.
    static void FillSetup(const char* query, const char* period, int formId = 0, const char* setValue = nullptr)
    {
        kvtest::OnNextModal([=](CWnd* modal) {
            if (query) {
                modal->SetDlgItemText(IDC_WATCH_QUERY, "");
                kvtest::TypeText(modal->GetDlgItem(IDC_WATCH_QUERY), query);
            }
            if (period) {
                modal->SetDlgItemText(IDC_WATCH_PERIOD, "");
                kvtest::TypeText(modal->GetDlgItem(IDC_WATCH_PERIOD), period);
            }
            if (formId)
                kvtest::Click(modal->GetDlgItem(formId));
            if (setValue)
                kvtest::TypeText(modal->GetDlgItem(IDC_WATCH_SET_VALUE_TEXT), setValue);
            kvtest::Click(modal->GetDlgItem(IDOK));
            // A refused entry keeps the dialog open: cancel it then.
            if (modal->GetSafeHwnd() && modal->IsWindowVisible())
                kvtest::Click(modal->GetDlgItem(IDCANCEL));
        });
    }
    static void Add(CQvxWatchRegistersDlg* dlg, const char* query, const char* period = "100", int formId = 0)
    {
        FillSetup(query, period, formId);
        kvtest::Click(dlg->GetDlgItem(IDC_WATCH_ADD));
    }
    static void Select(CQvxWatchRegistersDlg* dlg, std::initializer_list<int> rows)
    {
        CReportCtrl& list = dlg->GetList();
        for (int row = 0; row < list.GetItemCount(); ++row)
            list.SetItemState(row, 0, LVIS_SELECTED);
        for (int row : rows)
            list.SetItemState(row, LVIS_SELECTED, LVIS_SELECTED);
        EXPECT_TRUE(Wait([&] { return dlg->GetDlgItem(IDC_WATCH_EDIT)->IsWindowEnabled() == (rows.size() > 0); }));
    }
    static CString Value(CQvxWatchRegistersDlg* dlg, int row) { return dlg->GetList().GetItemText(row, 1); }
    static CPoint RowCentre(CQvxWatchRegistersDlg* dlg, int row)
    {
        CRect rect;
        EXPECT_TRUE(dlg->GetList().GetItemRect(row, &rect, LVIR_BOUNDS));
        return CPoint(rect.left + 30, rect.CenterPoint().y);
    }
    static std::string Order(CQvxWatchRegistersDlg* dlg)
    {
        std::string order;
        for (int i = 0; i < dlg->GetWatches().GetCount(); ++i)
            order += (i ? "," : "") + std::string(dlg->GetWatches().GetAt(i)->m_queryExpression);
        return order;
    }
    // The rows show the watches, in the same order.
    static void ExpectRowsFollowTheList(CQvxWatchRegistersDlg* dlg)
    {
        ASSERT_EQ(dlg->GetList().GetItemCount(), dlg->GetWatches().GetCount());
        for (int i = 0; i < dlg->GetWatches().GetCount(); ++i)
            EXPECT_EQ(std::string(dlg->GetList().GetItemText(i, 0)),
                      "Tavro:" + std::string(dlg->GetWatches().GetAt(i)->m_description));
    }
};

TEST_F(WatchWindowTest, ARangeAddsOneWatchPerNumberAfterYes)
{
    CQvxWatchRegistersDlg* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    AfxQueueScriptedAnswer(IDYES);
    Add(dlg, "ABC[1-3]");
    ASSERT_EQ(dlg->GetWatches().GetCount(), 3);
    EXPECT_EQ(std::string(dlg->GetWatches().GetAt(2)->m_queryExpression), "ABC3");
    EXPECT_EQ(std::string(dlg->GetList().GetItemText(1, 0)), "Tavro:ABC2");
    EXPECT_TRUE(Shown(Boxes(), "Would you like to add the following watches?\r\n\r\nABC1\r\nABC2\r\nABC3\r\n"));

    AfxQueueScriptedAnswer(IDNO);
    Add(dlg, "ABC[4-5]");
    EXPECT_EQ(dlg->GetWatches().GetCount(), 3);
}

TEST_F(WatchWindowTest, RefusalsKeepTheDialogOpen)
{
    CQvxWatchRegistersDlg* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    const struct {
        const char* query;
        const char* period;
        const char* message;
    } cases[] = {
        {"ABC 100", "100", "Cannot set register value here."},
        {"abc def ghi", "100", "Invalid register query entered."},
        {"ABC", "0", "Please enter a value between 1 and 99999."},
        {"ABC", "100000", "Please enter a value between 1 and 99999."},
    };
    for (const auto& c : cases) {
        Add(dlg, c.query, c.period);
        EXPECT_TRUE(Shown(Boxes(), c.message)) << c.query << " " << c.period;
        EXPECT_EQ(dlg->GetWatches().GetCount(), 0);
    }
    Add(dlg, "ABC", "100");
    ASSERT_EQ(dlg->GetWatches().GetCount(), 1);
    Select(dlg, {0});
    FillSetup("ABC[1]", nullptr);
    kvtest::Click(dlg->GetDlgItem(IDC_WATCH_EDIT));
    EXPECT_TRUE(Shown(Boxes(), "Cannot use ranges here."));
}

// The description takes the query as the query edit loses the focus; a user who clicks into it
// and types gets the label typed, and a second click places the caret where it lands.
TEST_F(WatchWindowTest, TheLabelReadsTheDescriptionTyped)
{
    CQvxWatchRegistersDlg* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    CString filled, typed;
    kvtest::OnNextModal([&](CWnd* modal) {
        CWnd* query = modal->GetDlgItem(IDC_WATCH_QUERY);
        CWnd* description = modal->GetDlgItem(IDC_WATCH_DESCRIPTION);
        CRect box;
        description->GetClientRect(&box);
        kvtest::ClickAt(query, CPoint(5, 5));
        kvtest::TypeText(query, "PSF");
        kvtest::ClickAt(description, CPoint(box.right - 5, box.CenterPoint().y));
        description->GetWindowText(filled);
        kvtest::TypeText(description, "position");
        kvtest::ClickAt(description, CPoint(1, box.CenterPoint().y));
        kvtest::TypeText(description, "my ");
        description->GetWindowText(typed);
        kvtest::Click(modal->GetDlgItem(IDOK));
    });
    kvtest::Click(dlg->GetDlgItem(IDC_WATCH_ADD));
    EXPECT_EQ(std::string(filled), "PSF") << "the query was copied as the focus left it";
    EXPECT_EQ(std::string(typed), "my position");
    ASSERT_EQ(dlg->GetWatches().GetCount(), 1);
    EXPECT_EQ(std::string(dlg->GetWatches().GetAt(0)->m_queryExpression), "PSF");
    EXPECT_EQ(std::string(dlg->GetList().GetItemText(0, 0)), "Tavro:my position");
}

TEST_F(WatchWindowTest, ValuesFollowTheDriveUnlessPaused)
{
    const int code = MnemonicToCode("ABC");
    SetRegister(kTavro, code, 0x1A);
    CQvxWatchRegistersDlg* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    Add(dlg, "ABC", "50", IDC_WATCH_HEX);
    ASSERT_TRUE(Wait([&] { return Value(dlg, 0).Find("0000001a (hex) (") == 0; })) << Value(dlg, 0);

    kvtest::Click(dlg->GetDlgItem(IDC_WATCH_PAUSE));
    const CString paused = Value(dlg, 0);
    SetRegister(kTavro, code, 0x2B);
    ASSERT_TRUE(Wait([&] { return dlg->GetWatches().GetAt(0)->m_valueText.Find("2b") >= 0; }));
    EXPECT_EQ(Value(dlg, 0), paused);
    kvtest::Click(dlg->GetDlgItem(IDC_WATCH_PAUSE));
    EXPECT_TRUE(Wait([&] { return Value(dlg, 0).Find("0000002b") == 0; }));
    Screenshot(dlg, "watch_registers");
}

TEST_F(WatchWindowTest, AThirtyTwoBitBinaryValueShowsWhole)
{
    SetRegister(kTavro, MnemonicToCode("ABC"), 0x1A);
    CQvxWatchRegistersDlg* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    Add(dlg, "ABC", "50", IDC_WATCH_BINARY);
    ASSERT_TRUE(Wait([&] { return Value(dlg, 0).Find("00000000000000000000000000011010 (bin) (") == 0; }))
        << Value(dlg, 0);
    EXPECT_TRUE(CellShowsWhole(dlg->GetList(), 0, 1));
}

TEST_F(WatchWindowTest, CheckBoxesRemoveOrderAndSetValue)
{
    CQvxWatchRegistersDlg* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    for (const char* query : {"ABC", "XYZ", "QRS"})
        Add(dlg, query, "50");
    ASSERT_EQ(dlg->GetWatches().GetCount(), 3);

    // Unchecking a row stops its query and shows N/A.
    dlg->GetList().SetCheck(1, FALSE);
    dlg->SendMessage(WM_REPORT_CHECKCHANGED, 1, WM_LBUTTONDOWN);
    EXPECT_EQ(dlg->GetWatches().GetAt(1)->m_enabled, 0);
    EXPECT_EQ(dlg->GetWatches().GetAt(1)->m_jobId, 0u);
    EXPECT_TRUE(Wait([&] { return Value(dlg, 1) == "N/A"; }));

    // The selection moves before the first row, keeping its order.
    Select(dlg, {1, 2});
    dlg->MoveSelectionTo(0);
    EXPECT_EQ(std::string(dlg->GetWatches().GetAt(0)->m_queryExpression), "XYZ");
    EXPECT_EQ(std::string(dlg->GetWatches().GetAt(1)->m_queryExpression), "QRS");
    EXPECT_EQ(std::string(dlg->GetList().GetItemText(2, 0)), "Tavro:ABC");

    // A set value reaches the drive.
    Select(dlg, {2});
    FillSetup(nullptr, nullptr, 0, " 1234");
    kvtest::Click(dlg->GetDlgItem(IDC_WATCH_EDIT));
    EXPECT_TRUE(Wait([&] { return Register(kTavro, MnemonicToCode("ABC")) == 1234; }));

    AfxQueueScriptedAnswer(IDYES);
    Select(dlg, {0});
    kvtest::Click(dlg->GetDlgItem(IDC_WATCH_REMOVE));
    EXPECT_TRUE(Shown(Boxes(), "Remove selected watches?"));
    ASSERT_EQ(dlg->GetWatches().GetCount(), 2);
    EXPECT_EQ(dlg->GetList().GetItemCount(), 2);
    EXPECT_EQ(std::string(dlg->GetWatches().GetAt(0)->m_queryExpression), "QRS");
}

TEST_F(WatchWindowTest, ARegisterTheDriveLacksShowsError)
{
    CQvxWatchRegistersDlg* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    Add(dlg, "QQQ", "50");
    ASSERT_TRUE(Wait([&] { return Value(dlg, 0).Find("ERROR") == 0; })) << Value(dlg, 0);
    EXPECT_FALSE(dlg->GetWatches().GetAt(0)->m_errorText.IsEmpty());
}

TEST_F(WatchWindowTest, ListsSurviveClosingAndFiles)
{
    CQvxWatchRegistersDlg* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    Add(dlg, "ABC", "250", IDC_WATCH_BINARY);
    const std::string path = m_home.File("list.wls");
    kvtest::QueueFileDialogAnswer(path.c_str());
    dlg->OnSave();
    kvtest::CloseWindow(dlg);
    ASSERT_TRUE(Wait([&] { return m_frame.m_list.IsEmpty(); }));

    dlg = Open();
    ASSERT_NE(dlg, nullptr);
    ASSERT_EQ(dlg->GetWatches().GetCount(), 1);
    EXPECT_EQ(dlg->GetWatches().GetAt(0)->m_displayAs, kWatchBinary);
    EXPECT_DOUBLE_EQ(dlg->GetWatches().GetAt(0)->m_updateSecs, 0.25);

    // A damaged file changes nothing and says so once.
    m_home.Write("bad.wls", "not a list");
    kvtest::QueueFileDialogAnswer(m_home.File("bad.wls").c_str());
    dlg->OnLoad();
    EXPECT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(dlg->GetWatches().GetCount(), 1);

    AfxQueueScriptedAnswer(IDYES);
    Select(dlg, {0});
    kvtest::Click(dlg->GetDlgItem(IDC_WATCH_REMOVE));
    ASSERT_EQ(dlg->GetWatches().GetCount(), 0);
    kvtest::QueueFileDialogAnswer(path.c_str());
    dlg->OnLoad();
    ASSERT_EQ(dlg->GetWatches().GetCount(), 1);
    EXPECT_EQ(dlg->GetList().GetItemCount(), 1);
    EXPECT_NE(dlg->GetWatches().GetAt(0)->m_jobId, 0u);
}

TEST_F(WatchWindowTest, DraggedRowsDropWhereTheMouseIsReleased)
{
    CQvxWatchRegistersDlg* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    for (const char* query : {"ABC", "XYZ", "QRS", "DEF"})
        Add(dlg, query, "50");
    ASSERT_EQ(dlg->GetWatches().GetCount(), 4);
    CReportCtrl& list = dlg->GetList();

    // Upwards: the two selected rows go before the row under the release, in their order.
    Select(dlg, {2, 3});
    kvtest::MouseDown(&list, RowCentre(dlg, 3));
    kvtest::MouseUp(&list, RowCentre(dlg, 0));
    EXPECT_EQ(Order(dlg), "QRS,DEF,ABC,XYZ");
    ExpectRowsFollowTheList(dlg);
    EXPECT_EQ(dlg->GetDropTarget(), -1) << "no row stays highlighted";

    // Downwards: the row lands on the row under the release; the row under the mouse is highlighted on the way.
    Select(dlg, {0});
    kvtest::MouseDown(&list, RowCentre(dlg, 0));
    const CPoint over = RowCentre(dlg, 2);
    dlg->HandleWindowMessage(list.GetSafeHwnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(over.x, over.y));
    EXPECT_EQ(dlg->GetDropTarget(), 2);
    EXPECT_NE(list.GetItemBkColor(0, 2), RGB(255, 255, 255)) << "highlighted";
    kvtest::MouseUp(&list, RowCentre(dlg, 3));
    for (int row = 0; row < 4; ++row)
        EXPECT_EQ(list.GetItemBkColor(0, row), RGB(255, 255, 255)) << "the rows' own colours again: " << row;
    EXPECT_EQ(Order(dlg), "DEF,ABC,XYZ,QRS");
    ExpectRowsFollowTheList(dlg);

    // A press and release on the same row moves nothing; the values still follow their watches.
    Select(dlg, {1});
    kvtest::ClickAt(&list, RowCentre(dlg, 1));
    EXPECT_EQ(Order(dlg), "DEF,ABC,XYZ,QRS");
    EXPECT_TRUE(Wait([&] { return Value(dlg, 1).Find("ERROR") != 0 && Value(dlg, 1) != "New"; })) << Value(dlg, 1);
}

TEST_F(WatchWindowTest, ACancelledColourKeepsTheWatchesColours)
{
    CQvxWatchRegistersDlg* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    Add(dlg, "ABC", "50");
    Select(dlg, {0});
    auto edit = [&](long rowColour, long textColour) {
        kvtest::OnNextModal([=](CWnd* modal) {
            kvtest::QueueColorDialogAnswer(rowColour);
            kvtest::Click(modal->GetDlgItem(IDC_WATCH_ROW_COLOUR));
            kvtest::QueueColorDialogAnswer(textColour);
            kvtest::Click(modal->GetDlgItem(IDC_WATCH_TEXT_COLOUR));
            kvtest::Click(modal->GetDlgItem(IDOK));
        });
        kvtest::Click(dlg->GetDlgItem(IDC_WATCH_EDIT));
    };
    edit(RGB(0, 255, 0), RGB(255, 0, 0));
    EXPECT_EQ(dlg->GetWatches().GetAt(0)->m_rowColour, static_cast<int>(RGB(0, 255, 0)));
    EXPECT_EQ(dlg->GetWatches().GetAt(0)->m_textColour, static_cast<int>(RGB(255, 0, 0)));
    edit(-1, -1);
    EXPECT_EQ(dlg->GetWatches().GetAt(0)->m_rowColour, static_cast<int>(RGB(0, 255, 0)));
    EXPECT_EQ(dlg->GetWatches().GetAt(0)->m_textColour, static_cast<int>(RGB(255, 0, 0)));
}

TEST_F(WatchWindowTest, TheStressHookKeepsListRowsAndQueriesTogether)
{
    CQvxWatchRegistersDlg* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    for (const char* query : {"ABC", "XYZ", "QRS"})
        Add(dlg, query, "50");
    auto enabledCount = [&] {
        int enabled = 0;
        for (int i = 0; i < dlg->GetWatches().GetCount(); ++i)
            enabled += dlg->GetWatches().GetAt(i)->m_enabled;
        return enabled;
    };
    const int before = enabledCount();
    dlg->RandomExercise(63);
    EXPECT_EQ(enabledCount(), before - 1) << "one check box toggled";
    std::string order = Order(dlg);
    for (const char* query : {"ABC", "XYZ", "QRS"})
        EXPECT_NE(order.find(query), std::string::npos) << "a removed watch comes back: " << order;
    ExpectRowsFollowTheList(dlg);
    for (int i = 0; i < dlg->GetWatches().GetCount(); ++i) {
        const CWatchRegisterItem& watch = *dlg->GetWatches().GetAt(i);
        EXPECT_EQ(watch.m_jobId != 0, watch.m_enabled != 0) << watch.m_queryExpression;
        EXPECT_EQ(dlg->GetList().GetCheck(i) != 0, watch.m_enabled != 0) << watch.m_queryExpression;
    }
    const int disabled = [&] {
        for (int i = 0; i < dlg->GetWatches().GetCount(); ++i)
            if (!dlg->GetWatches().GetAt(i)->m_enabled)
                return i;
        return -1;
    }();
    ASSERT_GE(disabled, 0);
    EXPECT_TRUE(Wait([&] { return Value(dlg, disabled) == "N/A"; }));
}

TEST_F(WatchWindowTest, ResizingKeepsTheLayoutAndTheOpeningSize)
{
    CQvxWatchRegistersDlg* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    CRect opened;
    dlg->GetWindowRect(&opened);
    dlg->MoveWindow(opened.left, opened.top, opened.Width() + 200, opened.Height() + 100);
    CRect client, list, add;
    dlg->GetClientRect(&client);
    dlg->GetList().GetWindowRect(&list);
    dlg->ScreenToClient(&list);
    dlg->GetDlgItem(IDC_WATCH_ADD)->GetWindowRect(&add);
    dlg->ScreenToClient(&add);
    EXPECT_EQ(list.left, 10);
    EXPECT_EQ(client.right - list.right, 10);
    EXPECT_EQ(add.top, list.bottom + 5);
    EXPECT_GE(dlg->GetList().GetColumnWidth(0) + dlg->GetList().GetColumnWidth(1), list.Width() - 30)
        << "the Value column fills the rest";

    dlg->MoveWindow(opened.left, opened.top, 40, 40);
    CRect shrunk;
    dlg->GetWindowRect(&shrunk);
    EXPECT_GE(shrunk.Width(), opened.Width());
    EXPECT_GE(shrunk.Height(), opened.Height());
}

TEST_F(WatchWindowTest, AnUnparsableQueryIsShownButNotSubmitted)
{
    CWatchRegisterList list;
    CWatchRegisterItem good, bad;
    good.m_queryExpression = good.m_description = "ABC";
    good.m_drive = kTavro;
    bad.m_queryExpression = bad.m_description = "abc def ghi";
    bad.m_drive = kTavro;
    list.Add(good);
    list.Add(bad);
    CString error;
    const std::string path = m_home.File("mixed.wls");
    ASSERT_TRUE(CWatchListFile::Save(path.c_str(), list, CWatchDisplaySettings(), error)) << error;
    CQvxWatchRegistersDlg* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    kvtest::QueueFileDialogAnswer(path.c_str());
    dlg->OnLoad();
    ASSERT_EQ(dlg->GetWatches().GetCount(), 2);
    EXPECT_EQ(dlg->GetList().GetItemCount(), 2);
    EXPECT_NE(dlg->GetWatches().GetAt(0)->m_jobId, 0u);
    EXPECT_EQ(dlg->GetWatches().GetAt(1)->m_jobId, 0u);
    EXPECT_EQ(std::string(dlg->GetList().GetItemText(1, 0)), "Tavro:abc def ghi");
    EXPECT_TRUE(Boxes().empty());
}

}  // namespace
