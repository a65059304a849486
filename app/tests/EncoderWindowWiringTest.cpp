// The absolute-encoder database window in the program: its menu command shows
// and hides it over the application's encoder table, and the main frame asks
// it before the program closes.
#include "AppTestFixture.h"
#include "app/AppEncoderWindow.h"
#include "platform/core/MessageBox.h"
#include "platform/ui/UserInput.h"
#include "resources/ids/EditAbsEncDbIds.h"

namespace {
using EncoderWindowWiringTest = AppFixture;
constexpr const char* kCommand = "&Tools|Absolute Encoder Database";
}  // namespace

TEST_F(EncoderWindowWiringTest, TheCommandTogglesTheWindowAndTheFrameAsksItBeforeClosing)
{
    ASSERT_TRUE(Start());
    int checked = -1;
    EXPECT_EQ(1, kvtest::MenuItemState(Frame(), kCommand, &checked));
    EXPECT_EQ(0, checked);

    ASSERT_TRUE(kvtest::ChooseMenuItem(Frame(), kCommand));
    CEditAbsEncDbDlg& window = Database()->GetEncoderWindow().GetWindow();
    ASSERT_NE(nullptr, window.GetSafeHwnd());
    EXPECT_TRUE(window.IsWindowVisible());
    ASSERT_NE(nullptr, window.GetRecordset());
    EXPECT_EQ(Database()->GetTables().FindTable("AbsEncDB"), window.GetRecordset()->table);
    EXPECT_EQ(1, kvtest::MenuItemState(Frame(), kCommand, &checked));
    EXPECT_EQ(1, checked);

    // An unsaved record: Cancel keeps the program, No lets it close.
    kvtest::Click(window.GetDlgItem(IDC_AED_ADD));
    AfxQueueScriptedAnswer(IDCANCEL);
    CloseFrame();
    ASSERT_NE(nullptr, Frame());
    EXPECT_EQ((std::vector<CString>{"Save changes to absolute encoder database?", "Exit cancelled."}), Messages());
    EXPECT_TRUE(window.IsWindowVisible());

    ASSERT_TRUE(kvtest::ChooseMenuItem(Frame(), kCommand));
    EXPECT_FALSE(window.IsWindowVisible());
    EXPECT_EQ(1, kvtest::MenuItemState(Frame(), kCommand, &checked));
    EXPECT_EQ(0, checked);

    AfxQueueScriptedAnswer(IDNO);
    CloseFrame();
    EXPECT_EQ(nullptr, Frame());
    EXPECT_EQ(std::vector<CString>{"Save changes to absolute encoder database?"}, Messages());
}
