// The Kreln drive's Setup Digital I/O window on the demo link.
#include <gtest/gtest.h>

#include "IoWindowsFixture.h"
#include "platform/ui/UserInput.h"
#include "setup/io/windows/QvxGuiSetupDigitalIoDlg.h"
#include "testing/WindowShot.h"

namespace {

using namespace demo_codes;

constexpr int kKreln = 1;

class SetupDigitalIoTest : public IoWindowsTest {
protected:
    void SetUp() override
    {
        m_useTable = true;
        IoWindowsTest::SetUp();
        AfxWriteProfileInt("GENERAL", "DFLTDRV", kKreln);
    }
    void RegisterIoWindows() override
    {
        m_frame.m_registry.RegisterGui("DIGITALIO", RUNTIME_CLASS(CQvxGuiSetupDigitalIoDlg), kFamilyKreln, 0);
    }
    void PrepareModel() override
    {
        SetRegister(kKreln, CS, m_model);
        SetIndexed(kKreln, MDL, MDI, 14, 0x44);
        SetRegister(kKreln, kActiveHighParameter, m_activeHigh);
        SetRegister(kKreln, kInputEnableParameter, 0xFFFF);
        SetRegister(kKreln, kFaultPinFunctionParameter, 0);
    }
    CQvxGuiSetupDigitalIoDlg* Open()
    {
        auto* dlg = dynamic_cast<CQvxGuiSetupDigitalIoDlg*>(m_frame.m_registry.CreateGui("DIGITALIO", nullptr, 1));
        if (dlg) {
            EXPECT_TRUE(Wait([&] { return dlg->GetDrive() == kKreln && dlg->AreStagesDone(); }));
        }
        return dlg;
    }
    LONG m_model = 21;
    LONG m_activeHigh = 0x0080;
};

TEST_F(SetupDigitalIoTest, ARadioClickWritesTheFaultPinAloneAndKeepsTheDrivesOtherBits)
{
    auto* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    ASSERT_TRUE(Wait([&] { return dlg->IsDlgButtonChecked(IDC_SDIO_FAULT_LOW_DRIVE) == BST_CHECKED; }));
    // Every active-low box shows its bit of 0x0080 as clear: checked.
    EXPECT_EQ(dlg->IsDlgButtonChecked(IDC_SDIO_LIMIT_POS_LOW_WORK), BST_CHECKED);
    EXPECT_EQ(dlg->IsDlgButtonChecked(IDC_SDIO_PULLUP_WORK), BST_UNCHECKED);
    Screenshot(dlg, "io_setup_digital_io");
    // Input settings changed and not sent: a radio click leaves them to the Send button.
    kvtest::Click(dlg->GetDlgItem(IDC_SDIO_LIMIT_POS_LOW_WORK));
    kvtest::Click(dlg->GetDlgItem(IDC_SDIO_INHIBIT_DISABLE_WORK));
    struct Case {
        UINT radio;
        LONG function;
        LONG activeHigh;
        UINT driveRadio;
    };
    const Case cases[] = {
        {IDC_SDIO_READY_HIGH_WORK, 1, 0x0080 | 32, IDC_SDIO_READY_HIGH_DRIVE},
        {IDC_SDIO_FAULT_LOW_WORK, 0, 0x0080, IDC_SDIO_FAULT_LOW_DRIVE},
        {IDC_SDIO_READY_LOW_WORK, 1, 0x0080, IDC_SDIO_READY_LOW_DRIVE},
        {IDC_SDIO_FAULT_HIGH_WORK, 0, 0x0080 | 32, IDC_SDIO_FAULT_HIGH_DRIVE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.radio);
        kvtest::Click(dlg->GetDlgItem(c.radio));
        ASSERT_TRUE(Wait([&] {
            return Register(kKreln, kFaultPinFunctionParameter) == c.function &&
                   Register(kKreln, kActiveHighParameter) == c.activeHigh &&
                   dlg->IsDlgButtonChecked(c.driveRadio) == BST_CHECKED;
        }));
        EXPECT_EQ(Register(kKreln, kInputEnableParameter), 0xFFFF);
    }
    // Only the polarity changes: the function the drive holds is not written again.
    SetRegister(kKreln, kFaultPinFunctionParameter, 7);
    kvtest::Click(dlg->GetDlgItem(IDC_SDIO_FAULT_LOW_WORK));
    ASSERT_TRUE(Wait([&] { return Register(kKreln, kActiveHighParameter) == 0x0080; }));
    Settle();
    EXPECT_EQ(Register(kKreln, kFaultPinFunctionParameter), 7);
}

TEST_F(SetupDigitalIoTest, SendToDriveWritesTheWorkingColumnsThatChanged)
{
    auto* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    ASSERT_TRUE(Wait([&] { return dlg->IsDlgButtonChecked(IDC_SDIO_INHIBIT_LOW_DRIVE) == BST_CHECKED; }));
    // Inhibit active high from now on; the enable word is left alone.
    kvtest::Click(dlg->GetDlgItem(IDC_SDIO_INHIBIT_LOW_WORK));
    EXPECT_EQ(dlg->IsDlgButtonChecked(IDC_SDIO_INHIBIT_LOW_WORK), BST_UNCHECKED);
    SetRegister(kKreln, kInputEnableParameter, 0xFFFE);
    ASSERT_TRUE(Wait([&] { return dlg->IsDlgButtonChecked(IDC_SDIO_LIMIT_POS_DISABLE_DRIVE) == BST_CHECKED; }));
    Boxes();
    kvtest::Click(dlg->GetDlgItem(IDC_SDIO_SEND));
    EXPECT_TRUE(Shown(Boxes(), CQvxGuiSetupDigitalIoDlg::kSendQuestion));
    EXPECT_TRUE(Wait([&] {
        return Register(kKreln, kActiveHighParameter) == (0x0080 | 4) &&
               dlg->IsDlgButtonChecked(IDC_SDIO_INHIBIT_LOW_DRIVE) == BST_UNCHECKED;
    })) << Register(kKreln, kActiveHighParameter);
    Settle();
    EXPECT_EQ(Register(kKreln, kInputEnableParameter), 0xFFFE);
    EXPECT_EQ(Register(kKreln, kFaultPinFunctionParameter), 0);
    EXPECT_EQ(dlg->IsDlgButtonChecked(IDC_SDIO_INHIBIT_LOW_WORK), BST_UNCHECKED);
}

class SetupDigitalIoOldModelTest : public SetupDigitalIoTest {
protected:
    void SetUp() override
    {
        m_model = 15;
        SetupDigitalIoTest::SetUp();
    }
};

TEST_F(SetupDigitalIoOldModelTest, OptionalRowsStayDisabledForModel15)
{
    auto* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    for (UINT id : {IDC_SDIO_MODE_SELECT_LOW_WORK, IDC_SDIO_GO_STOP_DISABLE_WORK, IDC_SDIO_E_STOP_LOW_WORK,
                    IDC_SDIO_GO_STOP_LABEL})
        EXPECT_FALSE(dlg->GetDlgItem(id)->IsWindowEnabled()) << id;
    EXPECT_TRUE(dlg->GetDlgItem(IDC_SDIO_LIMIT_POS_LOW_WORK)->IsWindowEnabled());
    EXPECT_TRUE(dlg->GetDlgItem(IDC_SDIO_FAULT_LOW_WORK)->IsWindowEnabled());
}

}  // namespace
