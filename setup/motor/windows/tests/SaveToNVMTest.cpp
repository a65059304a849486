#include <gtest/gtest.h>

#include "MotorDemoFixture.h"
#include "platform/ui/UserInput.h"
#include "setup/motor/windows/QvxGuiSaveToNVMDlg.h"
#include "testing/WindowShot.h"

namespace {
constexpr const char* kClass = "CQvxGuiSaveToNVMDlg";

bool Logged(const std::vector<CString>& boxes, const char* text)
{
    for (const CString& box : boxes)
        if (box.Find(text) >= 0)
            return true;
    return false;
}
}  // namespace

class SaveToNVMTest : public MotorDemoTest {
protected:
    CQvxGuiSaveToNVMDlg* Open()
    {
        auto* dlg = dynamic_cast<CQvxGuiSaveToNVMDlg*>(m_frame.m_registry.CreateGui("SAVE_NVM", nullptr, 1));
        if (dlg) {
            EXPECT_TRUE(Wait([&] { return dlg->GetDrive() == kTavro && dlg->AreStagesDone(); }));
        }
        return dlg;
    }
    // Waits for the window to close and returns the boxes it showed.
    std::vector<CString> BoxesAfterClose()
    {
        std::vector<CString> boxes;
        EXPECT_TRUE(Wait([&] {
            for (CString& box : AfxTakeScriptedMessageLog())
                boxes.push_back(box);
            return !IsOpen(kClass);
        }));
        return boxes;
    }
};

TEST_F(SaveToNVMTest, YesSavesReportsAndCloses)
{
    CQvxGuiSaveToNVMDlg* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    Screenshot(dlg, "save_to_nvm");
    kvtest::Click(dlg->GetDlgItem(IDOK));
    const std::vector<CString> boxes = BoxesAfterClose();
    EXPECT_TRUE(Logged(boxes, "Successfully saved to NVM.")) << (boxes.empty() ? "" : boxes.front().GetString());
    EXPECT_EQ(Register(kTavro, CQvxGuiSaveToNVMDlg::kSaveCode), 1);
}

TEST_F(SaveToNVMTest, DriveErrorIsReportedAndTheWindowStillCloses)
{
    m_factory.m_simulator->FailWrites(kTavro, CQvxGuiSaveToNVMDlg::kSaveCode, 36);
    CQvxGuiSaveToNVMDlg* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    kvtest::Click(dlg->GetDlgItem(IDOK));
    const std::vector<CString> boxes = BoxesAfterClose();
    EXPECT_TRUE(Logged(boxes, "Communications timed-out.  Could not save to NVM."));
    EXPECT_FALSE(Logged(boxes, "Successfully"));
    EXPECT_EQ(Register(kTavro, CQvxGuiSaveToNVMDlg::kSaveCode), 0);
}

TEST_F(SaveToNVMTest, NoWritesNothing)
{
    CQvxGuiSaveToNVMDlg* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    kvtest::Click(dlg->GetDlgItem(IDCANCEL));
    ASSERT_TRUE(Wait([&] { return !IsOpen(kClass); }));
    Settle();
    EXPECT_EQ(Register(kTavro, CQvxGuiSaveToNVMDlg::kSaveCode), 0);
    EXPECT_TRUE(AfxTakeScriptedMessageLog().empty());
}
