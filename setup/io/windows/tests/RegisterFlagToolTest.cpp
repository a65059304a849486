// The Register Flag Tool on the demo link.
#include <gtest/gtest.h>

#include "IoDemoFixture.h"
#include "platform/core/SingleLock.h"
#include "setup/io/windows/QvxRegisterFlagTool.h"
#include "testing/WindowShot.h"

namespace {

using namespace demo_codes;

class FlagToolTest : public IoDemoTest {
protected:
    void SetUp() override
    {
        IoDemoTest::SetUp();
        m_frame.m_registry.RegisterGui("FLAG_TOOL", RUNTIME_CLASS(CQvxRegisterFlagTool), 6, 0);
    }
    void SetFlagWord(LONG value)
    {
        CSingleLock lock(&Model().Lock(), TRUE);
        SetRegister(kTavro, MDI, 14);
        SetRegister(kTavro, MDL, value);
    }
    LONG FlagWord()
    {
        CSingleLock lock(&Model().Lock(), TRUE);
        SetRegister(kTavro, MDI, 14);
        return Register(kTavro, MDL);
    }
    CQvxRegisterFlagTool* Open()
    {
        auto* dlg = dynamic_cast<CQvxRegisterFlagTool*>(m_frame.m_registry.CreateGui("FLAG_TOOL", nullptr, 1));
        if (dlg) {
            EXPECT_TRUE(Wait([&] { return dlg->HasWord() != 0; }));
        }
        return dlg;
    }
    // Checks or unchecks a row as the list does for a click on its box.
    static void Toggle(CQvxRegisterFlagTool* dlg, int row)
    {
        CReportCtrl& list = dlg->GetList();
        list.SetCheck(row, !list.GetCheck(row));
        dlg->SendMessage(WM_REPORT_CHECKCHANGED, static_cast<WPARAM>(row), WM_LBUTTONDOWN);
    }
};

TEST_F(FlagToolTest, RowsShowTheWordAndACheckWritesIt)
{
    SetFlagWord(0x0080);
    CQvxRegisterFlagTool* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    CReportCtrl& list = dlg->GetList();
    ASSERT_EQ(list.GetItemCount(), 14);
    EXPECT_EQ(std::string(list.GetItemText(2, 0)), "03");
    EXPECT_EQ(std::string(list.GetItemText(13, 1)), "Absolute Encoder");
    EXPECT_TRUE(list.GetCheck(6)) << "bit 7, Resolver";
    EXPECT_FALSE(list.GetCheck(2));
    EXPECT_TRUE(list.IsWindowEnabled());
    Screenshot(dlg, "register_flag_tool");

    Toggle(dlg, 2);
    EXPECT_TRUE(Wait([&] { return FlagWord() == 0x0088; })) << FlagWord();
}

TEST_F(FlagToolTest, BitsWithoutARowKeepTheDrivesValues)
{
    SetFlagWord(0x4081);
    CQvxRegisterFlagTool* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    Toggle(dlg, 6);
    EXPECT_TRUE(Wait([&] { return FlagWord() == 0x4001; })) << FlagWord();
}

}  // namespace
