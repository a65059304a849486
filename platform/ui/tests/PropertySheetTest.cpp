// The property sheet in a frame dialog: its parts, page notifications in
// order, a page that refuses to be left, pages added later, the keys that
// change the page, and OK and Cancel ending the sheet.
#include <gtest/gtest.h>

#include <vector>

#include "platform/ui/DialogTemplate.h"
#include "platform/ui/PropertySheet.h"
#include "platform/ui/UserInput.h"
#include "platform/ui/WinApp.h"

namespace {

// Every page hears the sheet's notifications here; `log` keeps "<page>:<code>".
std::vector<std::pair<int, UINT>> g_log;

class CPage : public CDialog {
public:
    explicit CPage(int number) : m_number(number) {}
    BOOL OnNotify(WPARAM, LPARAM lParam, LRESULT* result) override
    {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        g_log.emplace_back(m_number, header->code);
        *result = header->code == PSN_KILLACTIVE ? m_refuseLeave : header->code == PSN_APPLY ? m_applyAnswer : 0;
        return TRUE;
    }
    int m_number;
    LRESULT m_refuseLeave = 0;
    LRESULT m_applyAnswer = PSNRET_NOERROR;
};

class CFrame : public CDialog {
public:
    CPropertySheet m_sheet;
    BOOL OnInitDialog() override
    {
        m_sheet.InitDialog();
        return CDialog::OnInitDialog();
    }
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        LRESULT result = 0;
        if (m_sheet.DefSheetProc(message, wParam, lParam, &result))
            return result;
        return CDialog::DefWindowProc(message, wParam, lParam);
    }
    BOOL PreTranslateMessage(MSG* msg) override
    {
        if (msg->message == WM_KEYDOWN && SendMessage(PSM_ISDIALOGMESSAGE, 0, reinterpret_cast<LPARAM>(msg)))
            return TRUE;
        return CDialog::PreTranslateMessage(msg);
    }
    // The standard buttons are the sheet's, not the dialog's.
    void OnOK() override { Default(); }
    void OnCancel() override { Default(); }
};

class PropertySheetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_log.clear();
        AfxRegisterDialogTemplates(R"(
DIALOG 9501 0 0 180 80 "First"
EDITTEXT 9511 7 7 80 12 ""
END
DIALOG 9502 0 0 200 100 "Second"
EDITTEXT 9521 7 7 80 12 ""
END
DIALOG 9503 0 0 120 60 "Third"
EDITTEXT 9531 7 7 80 12 ""
END
)");
    }
    void TearDown() override
    {
        if (m_frame.GetSafeHwnd())
            m_frame.DestroyWindow();
    }
    CPropertyPage* Record(CPage& page, UINT id, const char* title = nullptr)
    {
        DialogTemplate dialog = *AfxFindDialogTemplate(id);
        dialog.faceName = "Arial";
        dialog.pointSize = 9;
        return new CPropertyPage(&page, dialog, title, title ? PSP_USETITLE : 0);
    }
    void Create(UINT startPage = 0)
    {
        PROPSHEETHEADER header;
        header.caption = "Options";
        header.fontName = "Arial";
        header.fontSize = 9;
        header.nStartPage = startPage;
        header.pages = {Record(m_first, 9501), Record(m_second, 9502, "Feedback")};
        ASSERT_TRUE(m_frame.m_sheet.Create(&m_frame, header));
        EXPECT_TRUE(header.pages.empty()) << "the sheet took the pages";
        m_frame.ShowWindow(SW_SHOW);
    }
    int Current() { return static_cast<int>(m_frame.m_sheet.GetCurSel()); }

    CPage m_first{1};
    CPage m_second{2};
    CPage m_third{3};
    CFrame m_frame;
};

}  // namespace

TEST_F(PropertySheetTest, TheFrameHasTabsPageAreaAndStandardButtons)
{
    Create(1);
    CTabCtrl* tabs = m_frame.m_sheet.GetTabControl();
    ASSERT_NE(tabs, nullptr);
    EXPECT_EQ(tabs->GetDlgCtrlID(), 12320);
    EXPECT_TRUE(tabs->GetStyle() & TCS_MULTILINE);
    EXPECT_EQ(tabs->GetItemCount(), 2);
    EXPECT_EQ(tabs->GetItemText(0), "First") << "the template's caption";
    EXPECT_EQ(tabs->GetItemText(1), "Feedback") << "the page's own title";
    for (int id : {IDOK, IDCANCEL, ID_APPLY_NOW, IDHELP})
        EXPECT_NE(m_frame.GetDlgItem(id), nullptr) << id;
    EXPECT_EQ(Current(), 1) << "the start page";
    EXPECT_FALSE(m_first.GetSafeHwnd()) << "a page's window is made when first shown";
    EXPECT_EQ(reinterpret_cast<CWnd*>(m_frame.SendMessage(PSM_GETCURRENTPAGEHWND)), &m_second);
    EXPECT_EQ(g_log, (std::vector<std::pair<int, UINT>>{{2, PSN_SETACTIVE}}));

    // The page fills the page area below the tabs; the largest page sets the area's size.
    CRect page, area;
    m_second.GetWindowRect(&page);
    tabs->GetWindowRect(&area);
    EXPECT_GT(page.top, area.top);
    EXPECT_LE(page.bottom, area.bottom);
    EXPECT_LE(page.right, area.right);
    EXPECT_EQ(CRect(m_frame.m_sheet.GetPageRect()).Height(), page.Height());
}

TEST_F(PropertySheetTest, ChangingPagesTellsBothPagesAndARefusingPageKeepsTheSheet)
{
    Create();
    g_log.clear();
    EXPECT_TRUE(m_frame.SendMessage(PSM_SETCURSEL, 1));
    EXPECT_EQ(g_log, (std::vector<std::pair<int, UINT>>{{1, PSN_KILLACTIVE}, {2, PSN_SETACTIVE}}));
    EXPECT_TRUE(m_second.IsWindowVisible());
    EXPECT_FALSE(m_first.IsWindowVisible());
    EXPECT_FALSE(m_frame.SendMessage(PSM_SETCURSEL, 5));

    // A page with entries it will not give up keeps the sheet on it, also against a click on a tab.
    m_second.m_refuseLeave = 1;
    EXPECT_FALSE(m_frame.SendMessage(PSM_SETCURSEL, 0));
    CRect first;
    ASSERT_TRUE(m_frame.m_sheet.GetTabControl()->GetItemRect(0, &first));
    kvtest::ClickAt(m_frame.m_sheet.GetTabControl(), first.CenterPoint());
    EXPECT_EQ(Current(), 1);
    EXPECT_EQ(m_frame.m_sheet.GetTabControl()->GetCurSel(), 1) << "the tab went back";
    m_second.m_refuseLeave = 0;
    kvtest::ClickAt(m_frame.m_sheet.GetTabControl(), first.CenterPoint());
    EXPECT_EQ(Current(), 0);
    EXPECT_TRUE(m_first.IsWindowVisible());
}

TEST_F(PropertySheetTest, PagesAddedLaterAndKeysThatChangeThePage)
{
    Create();
    EXPECT_TRUE(m_frame.SendMessage(PSM_ADDPAGE, 0, reinterpret_cast<LPARAM>(Record(m_third, 9503))));
    EXPECT_EQ(m_frame.m_sheet.GetPageCount(), 3);
    EXPECT_EQ(m_frame.m_sheet.GetTabControl()->GetItemText(2), "Third");

    kvtest::PressKey(m_first.GetDlgItem(9511), VK_TAB, true);
    EXPECT_EQ(Current(), 1);
    kvtest::PressKey(m_second.GetDlgItem(9521), VK_NEXT, true);
    EXPECT_EQ(Current(), 2);
    kvtest::PressKey(m_third.GetDlgItem(9531), VK_NEXT, true);
    EXPECT_EQ(Current(), 0) << "round to the first";
    kvtest::PressKey(m_first.GetDlgItem(9511), VK_PRIOR, true);
    EXPECT_EQ(Current(), 2);
    kvtest::PressKey(m_third.GetDlgItem(9531), VK_TAB, true, true);
    EXPECT_EQ(Current(), 1) << "Ctrl+Shift+Tab goes back";
    kvtest::PressKey(m_second.GetDlgItem(9521), VK_TAB);
    kvtest::PressKey(m_second.GetDlgItem(9521), VK_NEXT);
    EXPECT_EQ(Current(), 1) << "without Ctrl the keys are the page's";
    EXPECT_TRUE(m_third.IsWindowVisible() == FALSE && m_second.IsWindowVisible());
}

TEST_F(PropertySheetTest, OkAppliesEveryPageAndCancelResetsThem)
{
    Create();
    m_frame.SendMessage(PSM_SETCURSEL, 1);
    m_second.m_applyAnswer = PSNRET_INVALID_NOCHANGEPAGE;
    m_frame.SendMessage(PSM_SETCURSEL, 0);
    g_log.clear();
    kvtest::Click(m_frame.GetDlgItem(IDOK));
    EXPECT_EQ(g_log, (std::vector<std::pair<int, UINT>>{{1, PSN_KILLACTIVE}, {1, PSN_APPLY}, {2, PSN_APPLY},
                                                        {2, PSN_SETACTIVE}}))
        << "the page that refused is shown";
    EXPECT_FALSE(m_frame.m_sheet.IsClosed());
    EXPECT_EQ(Current(), 1);

    m_second.m_applyAnswer = PSNRET_NOERROR;
    kvtest::Click(m_frame.GetDlgItem(ID_APPLY_NOW));
    EXPECT_FALSE(m_frame.m_sheet.IsClosed()) << "Apply keeps the sheet";
    g_log.clear();
    kvtest::Click(m_frame.GetDlgItem(IDCANCEL));
    EXPECT_EQ(g_log, (std::vector<std::pair<int, UINT>>{{2, PSN_QUERYCANCEL}, {1, PSN_RESET}, {2, PSN_RESET}}));
    EXPECT_TRUE(m_frame.m_sheet.IsClosed());
    EXPECT_EQ(m_frame.SendMessage(PSM_GETCURRENTPAGEHWND), 0) << "no current page: the sheet is over";
}
