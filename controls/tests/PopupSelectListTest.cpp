#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "ControlsTestKit.h"
#include "controls/DPopupSelectListDlg.h"
#include "controls/DPopupSelectListEditCtrl.h"
#include "controls/GlobalMouseHook.h"
#include "testing/UiPrinters.h"

using namespace kvcontrolstest;

namespace {

class COwner : public CDPopupSelectListEditCtrlCallback {
public:
    std::vector<std::pair<int, CString>> selections;
    std::vector<int> closes;
    std::vector<UINT> typed;
    void OnPopupSelection(int id, CString text) override { selections.emplace_back(id, text); }
    void OnPopupClosed(int id) override { closes.push_back(id); }
    void OnCharTyped(int, UINT ch) override { typed.push_back(ch); }
};

class PopupSelectTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE | WS_BORDER, CRect(10, 10, 160, 32), &parent, 501));
        for (const char* choice : {"Abacus", "absolute", "Baby", "Cab", "Drab"})
            edit.GetChoices().AddTail(choice);
        edit.SetCallback(&owner, 7);
        edit.SetFocus();
        AfxPumpMessages();
    }
    void TearDown() override { AfxPumpMessages(); }
    std::vector<CString> Listed()
    {
        std::vector<CString> rows;
        if (CDPopupSelectListDlg* popup = edit.GetPopup())
            for (int row = 0; row < popup->GetList().GetItemCount(); ++row)
                rows.push_back(popup->GetList().GetItemText(row, 0));
        return rows;
    }
    CRecordingParent parent;
    CDPopupSelectListEditCtrl edit;
    COwner owner;
};

}  // namespace

TEST_F(PopupSelectTest, TypingFiltersByPrefixInAnyCaseOrAnywhereAfterAStar)
{
    kvtest::TypeText(&edit, "ab");
    ASSERT_NE(edit.GetPopup(), nullptr);
    EXPECT_EQ(Listed(), (std::vector<CString>{"Abacus", "absolute"}));
    EXPECT_TRUE(edit.GetPopup()->IsWindowVisible());
    edit.SetWindowText("*ab");
    EXPECT_EQ(Listed(), (std::vector<CString>{"Abacus", "absolute", "Baby", "Cab", "Drab"}));
    edit.SetWindowText("*rab");
    EXPECT_EQ(Listed(), (std::vector<CString>{"Drab"}));
    edit.SetWindowText("*");
    EXPECT_EQ(Listed().size(), 5u);
    edit.SetWindowText("zz");
    EXPECT_TRUE(Listed().empty());
    EXPECT_FALSE(edit.GetPopup()->IsWindowVisible()) << "nothing matching hides the popup";
    EXPECT_EQ(CWnd::GetFocus(), &edit) << "and leaves the focus in the edit box";
    EXPECT_EQ(owner.typed.size(), 2u) << "typed characters are reported";
}

TEST_F(PopupSelectTest, EnterTakesTheSelectedRowOrWithThePopupClosedTheTypedText)
{
    kvtest::TypeText(&edit, "b");
    ASSERT_NE(edit.GetPopup(), nullptr);
    EXPECT_EQ(Listed(), (std::vector<CString>{"Baby"}));
    kvtest::PressKey(&edit.GetPopup()->GetList(), VK_RETURN);
    ASSERT_TRUE(AfxPumpMessagesUntil([&] { return edit.GetPopup() == nullptr; }));
    CString text;
    edit.GetWindowText(text);
    EXPECT_EQ(text, "Baby");
    ASSERT_EQ(owner.selections.size(), 1u);
    EXPECT_EQ(owner.selections[0], std::make_pair(7, CString("Baby")));
    AfxPumpMessages();
    // The choice itself refilled the popup; close it and type on with it closed.
    if (edit.GetPopup())
        edit.ClosePopup();
    owner.selections.clear();
    edit.SetFocus();
    kvtest::PressKey(&edit, VK_RETURN);
    ASSERT_EQ(owner.selections.size(), 1u);
    EXPECT_EQ(owner.selections[0].second, "Baby");
}

TEST_F(PopupSelectTest, SpaceOnAClosedPopupOpensEveryChoiceWithoutTypingIt)
{
    kvtest::PressKey(&edit, VK_SPACE);
    ASSERT_NE(edit.GetPopup(), nullptr);
    EXPECT_EQ(Listed().size(), 5u);
    CString text;
    edit.GetWindowText(text);
    EXPECT_EQ(text, "");
    kvtest::PressKey(&edit.GetPopup()->GetList(), VK_ESCAPE);
    EXPECT_EQ(edit.GetPopup(), nullptr);
    EXPECT_EQ(owner.closes, std::vector<int>{7});
}

TEST_F(PopupSelectTest, AClickOnThePopupKeepsItOpenAClickElsewhereClosesIt)
{
    ASSERT_TRUE(CGlobalMouseHook::Instance().IsInstalled());
    kvtest::TypeText(&edit, "a");
    CDPopupSelectListDlg* popup = edit.GetPopup();
    ASSERT_NE(popup, nullptr);
    CRect rect;
    popup->GetWindowRect(&rect);
    EXPECT_LE(rect.Height(), 200);
    kvtest::ClickAt(&popup->GetList(), CPoint(5, 5));
    AfxPumpMessages();
    EXPECT_EQ(edit.GetPopup(), popup);
    kvtest::ClickAt(&parent, CPoint(300, 250));
    ASSERT_TRUE(AfxPumpMessagesUntil([&] { return edit.GetPopup() == nullptr; }));
    EXPECT_EQ(owner.closes, std::vector<int>{7});
}

TEST_F(PopupSelectTest, ThePopupIsNeverTallerThanTwoHundredPixels)
{
    for (int i = 0; i < 60; ++i) {
        CString choice;
        choice.Format("Axis %d", i);
        edit.GetChoices().AddTail(choice);
    }
    edit.ShowPopupList("", "Axis 30");
    ASSERT_NE(edit.GetPopup(), nullptr);
    CRect rect;
    edit.GetPopup()->GetWindowRect(&rect);
    EXPECT_EQ(rect.Height(), 200);
    CListCtrl& list = edit.GetPopup()->GetList();
    POSITION pos = list.GetFirstSelectedItemPosition();
    ASSERT_NE(pos, nullptr);
    EXPECT_EQ(list.GetItemText(list.GetNextSelectedItem(pos), 0), "Axis 30") << "the preselected text is chosen";
}

TEST_F(PopupSelectTest, TheTemplateInMemoryIsTheOriginalsLayout)
{
    edit.ShowPopupList("", "");
    ASSERT_NE(edit.GetPopup(), nullptr);
    const std::vector<BYTE>& t = edit.GetPopup()->GetTemplate();
    ASSERT_EQ(t.size(), 156u);
    DWORD style = 0, exStyle = 0;
    std::memcpy(&style, &t[0], 4);
    std::memcpy(&exStyle, &t[4], 4);
    EXPECT_EQ(style, 0x80000040u);
    EXPECT_EQ(exStyle, 0x188u);
    EXPECT_EQ(t[22], 'D');
    EXPECT_EQ(t[138], 0) << "the title ends at 140";
    EXPECT_EQ(t[140], 11);
    EXPECT_EQ(t[142], 'A');
    EXPECT_EQ(t[152], 0);
    EXPECT_EQ(t[154], 0);
    CString caption;
    edit.GetPopup()->GetWindowText(caption);
    EXPECT_EQ(caption, "Dialog Template Sample -  PRESS <ESC> TO CLOSE THIS DIALOG");
}

TEST_F(PopupSelectTest, UpAndDownInTheEditBoxMoveThePopupsSelection)
{
    kvtest::TypeText(&edit, "a");
    ASSERT_NE(edit.GetPopup(), nullptr);
    edit.SetFocus();
    kvtest::PressKey(&edit, VK_DOWN);
    AfxPumpMessages();
    kvtest::PressKey(&edit, VK_RETURN);
    ASSERT_TRUE(AfxPumpMessagesUntil([&] { return !owner.selections.empty(); }));
    EXPECT_EQ(owner.selections[0].second, "absolute");
}

TEST_F(PopupSelectTest, TypingInThePopupsListGoesOnInTheEditBox)
{
    kvtest::TypeText(&edit, "a");
    ASSERT_NE(edit.GetPopup(), nullptr);
    CListCtrl& list = edit.GetPopup()->GetList();
    list.SetFocus();
    kvtest::TypeText(&list, "b");
    ASSERT_TRUE(AfxPumpMessagesUntil([&] {
        CString text;
        edit.GetWindowText(text);
        return text == "ab";
    }));
    EXPECT_EQ(Listed(), (std::vector<CString>{"Abacus", "absolute"}));
    EXPECT_EQ(CWnd::GetFocus(), &list) << "the refilled popup takes the keyboard again";
}

// The popup opens right under its edit box and shows five short choices whole, without scroll bars.
TEST_F(PopupSelectTest, ThePopupSitsUnderItsEditBoxAndShowsFiveRowsWhole)
{
    edit.ShowPopupList("", "");
    CDPopupSelectListDlg* popup = edit.GetPopup();
    ASSERT_NE(popup, nullptr);
    AfxPumpMessages();
    CRect box, at;
    edit.GetWindowRect(&box);
    popup->GetWindowRect(&at);
    EXPECT_EQ(at.left, box.left);
    EXPECT_EQ(at.top, box.bottom);
    CListCtrl& list = popup->GetList();
    ASSERT_EQ(list.GetItemCount(), 5);
    CRect client, last;
    list.GetClientRect(&client);
    list.GetItemRect(4, &last, LVIR_BOUNDS);
    EXPECT_LE(last.bottom, client.bottom) << "the fifth row is whole";
    EXPECT_FALSE(kvtest::ScrollBarShown(&list, true));
    EXPECT_FALSE(kvtest::ScrollBarShown(&list, false));
}

TEST_F(PopupSelectTest, AChoiceMadeWhileAnotherControlHadTheFocusEndsThePopupOnce)
{
    // The window's focus was last on another control: the popup going must not
    // be taken for the user leaving it, which destroyed it a second time.
    CEdit other;
    ASSERT_TRUE(other.Create(WS_CHILD | WS_VISIBLE | WS_BORDER, CRect(10, 40, 160, 62), &parent, 502));
    other.SetFocus();
    AfxPumpMessages();
    edit.ShowPopupList("", "Cab");
    ASSERT_NE(edit.GetPopup(), nullptr);
    CListCtrl& list = edit.GetPopup()->GetList();
    list.SetItemState(3, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    kvtest::PressKey(&list, VK_RETURN);
    ASSERT_TRUE(AfxPumpMessagesUntil([&] { return edit.GetPopup() == nullptr; }));
    AfxPumpMessages();
    ASSERT_EQ(owner.selections.size(), 1u);
    EXPECT_EQ(owner.selections[0].second, "Cab");
}
