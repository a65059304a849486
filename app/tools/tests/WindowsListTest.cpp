// The Windows List on the demo link: twelve windows in the Window menu and in
// the dialog, Bring to Front, Close Selected with a window that refuses.
#include "app/tests/AppTestFixture.h"
#include "app/tools/QvxEditorFrameList.h"
#include "app/tools/QvxOpenWindowsListDlg.h"
#include "app/tools/QvxTerminalDlg.h"
#include "framework/tests/SampleDriveDlg.h"
#include "platform/ui/MdiFrameWnd.h"
#include "resources/ids/OpenWindowsListIds.h"
#include "testing/WindowShot.h"

namespace {
class WindowsListTest : public AppFixture {
protected:
    void SetUp() override
    {
        AppFixture::SetUp();
        ASSERT_TRUE(Start());
        ASSERT_TRUE(kvtest::ChooseMenuItem(Frame(), "&File|&Demo"));
    }
    void TearDown() override
    {
        CWindowFactory::RemoveRow(32848);
        CWindowFactory::AddRow({32848, "CQvxGuiCPanelDlg", true, kUpdateGeneric, nullptr});
        AppFixture::TearDown();
    }
    int OpenCount() const { return static_cast<int>(Frame()->GetUpdateList()->GetCount()); }
    void RunList(std::function<void(CQvxOpenWindowsListDlg*)> act)
    {
        kvtest::OnNextModal([act](CWnd* dialog) { act(static_cast<CQvxOpenWindowsListDlg*>(dialog)); });
        Frame()->SendMessage(WM_COMMAND, 16000);
    }
};
}  // namespace

TEST_F(WindowsListTest, TwelveWindowsGiveTenMenuItemsAndTwelveRows)
{
    for (int i = 0; i < 12; ++i)
        Frame()->SendMessage(WM_COMMAND, 32799);
    ASSERT_EQ(12, OpenCount());
    EXPECT_EQ(1, kvtest::MenuItemState(Frame(), "&Window|&Windows..."));
    CString first;
    Frame()->GetUpdateList()->GetHead()->GetWnd()->GetWindowText(first);
    EXPECT_EQ(1, kvtest::MenuItemState(Frame(), "&Window|&1 " + first));
    int position = 0;
    for (POSITION pos = Frame()->GetUpdateList()->GetHeadPosition(); pos;) {
        CString title, item;
        Frame()->GetUpdateList()->GetNext(pos)->GetWnd()->GetWindowText(title);
        item.Format("&Window|&%d %s", ++position, title.GetString());
        EXPECT_EQ(position <= 10 ? 1 : -1, kvtest::MenuItemState(Frame(), item)) << item.GetString();
    }

    RunList([&](CQvxOpenWindowsListDlg* dialog) {
        EXPECT_EQ(12, dialog->GetList().GetItemCount());
        EXPECT_EQ(first, dialog->GetList().GetItemText(0, 0));
        EXPECT_FALSE(dialog->GetDlgItem(IDC_OPEN_WINDOWS_TO_FRONT)->IsWindowEnabled());
        EXPECT_FALSE(dialog->GetDlgItem(IDC_OPEN_WINDOWS_CLOSE)->IsWindowEnabled());
        Screenshot(dialog, "windows-list");
        kvtest::Click(dialog->GetDlgItem(IDOK));
    });
}

TEST_F(WindowsListTest, CloseSelectedKeepsARefusingWindowDeselected)
{
    CSampleDriveDlg::Register(*Frame()->GetDlgIdMap());
    CWindowFactory::AddRow({32848, "CSampleDriveDlg", true, kUpdateGeneric, nullptr});
    Frame()->SendMessage(WM_COMMAND, 32799);
    Frame()->SendMessage(WM_COMMAND, 32848);
    Frame()->SendMessage(WM_COMMAND, 32799);
    ASSERT_EQ(3, OpenCount());
    CSampleDriveDlg* refusing = nullptr;
    for (POSITION pos = Frame()->GetUpdateList()->GetHeadPosition(); pos;)
        if (auto* sample = dynamic_cast<CSampleDriveDlg*>(Frame()->GetUpdateList()->GetNext(pos)))
            refusing = sample;
    ASSERT_NE(nullptr, refusing);
    refusing->m_unsentSettings = 1;

    RunList([&](CQvxOpenWindowsListDlg* dialog) {
        CListCtrl& list = dialog->GetList();
        ASSERT_EQ(3, list.GetItemCount());
        for (int row = 0; row < 3; ++row)
            list.SetItemState(row, LVIS_SELECTED, LVIS_SELECTED);
        EXPECT_FALSE(dialog->GetDlgItem(IDC_OPEN_WINDOWS_TO_FRONT)->IsWindowEnabled()) << "two or more selected";
        kvtest::DoubleClick(&list, CPoint(20, 8));
        EXPECT_TRUE(dialog->IsWindowVisible());
        for (int row = 0; row < 3; ++row)
            list.SetItemState(row, LVIS_SELECTED, LVIS_SELECTED);
        AfxQueueScriptedAnswer(IDNO);  // keep the unsent settings
        kvtest::Click(dialog->GetDlgItem(IDC_OPEN_WINDOWS_CLOSE));
        ASSERT_EQ(1, list.GetItemCount()) << "the refusing window stays";
        EXPECT_EQ(0, list.GetSelectedCount()) << "deselected";
        CString title;
        refusing->GetWindowText(title);
        EXPECT_EQ(title, list.GetItemText(0, 0));
        kvtest::Click(dialog->GetDlgItem(IDOK));
    });
    EXPECT_TRUE(Wait([&] { return OpenCount() == 1; }));
    refusing->m_unsentSettings = 0;
}

TEST_F(WindowsListTest, AWindowGoneSinceTheListWasBuiltIsSkipped)
{
    Frame()->SendMessage(WM_COMMAND, 32799);
    Frame()->SendMessage(WM_COMMAND, 32799);
    RunList([&](CQvxOpenWindowsListDlg* dialog) {
        CListCtrl& list = dialog->GetList();
        ASSERT_EQ(2, list.GetItemCount());
        // The first window closes on its own (a script, the link) while the list is up.
        Frame()->GetUpdateList()->GetHead()->CloseItem(0);
        ASSERT_TRUE(Wait([&] { return OpenCount() == 1; }));
        list.SetItemState(0, LVIS_SELECTED, LVIS_SELECTED);
        kvtest::Click(dialog->GetDlgItem(IDC_OPEN_WINDOWS_TO_FRONT));
    });
    RunList([&](CQvxOpenWindowsListDlg* dialog) {
        EXPECT_EQ(1, dialog->GetList().GetItemCount());
        kvtest::Click(dialog->GetDlgItem(IDOK));
    });
}

// Closing an editor rebuilds the menu bar while the list, opened from that bar's
// menu, is still up: the menu must not be freed under its own feet.
TEST_F(WindowsListTest, ClosingAnEditorFromTheListOpenedByTheMenuKeepsTheProgramRunning)
{
    ASSERT_TRUE(kvtest::ChooseMenuItem(Frame(), "&File|Editor|&New File"));
    ASSERT_EQ(1, Frame()->GetEditors().GetCount());
    bool listed = false;
    kvtest::OnNextModal([&](CWnd* window) {
        auto* dialog = static_cast<CQvxOpenWindowsListDlg*>(window);
        CListCtrl& list = dialog->GetList();
        for (int row = 0; row < list.GetItemCount(); ++row)
            list.SetItemState(row, LVIS_SELECTED, LVIS_SELECTED);
        listed = list.GetItemCount() > 0;
        AfxQueueScriptedAnswer(IDNO);
        AfxQueueScriptedAnswer(IDNO);
        kvtest::Click(dialog->GetDlgItem(IDC_OPEN_WINDOWS_CLOSE));
        // The list stays up a while, as for a user, then is left with Esc.
    });
    kvtest::SetModalTimeout(300);
    ASSERT_TRUE(kvtest::ChooseMenuItemByKeys(Frame(), "&Window|&Windows..."));
    const bool closed = Wait([&] { return listed && Frame()->GetEditors().GetCount() == 0; });
    kvtest::SetModalTimeout(0);
    ASSERT_TRUE(closed);
    EXPECT_EQ(1, kvtest::MenuItemState(Frame(), "&Window|&Windows..."));
}
