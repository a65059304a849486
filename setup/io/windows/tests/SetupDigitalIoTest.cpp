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

TEST_F(SetupDigitalIoTest, ARadioClickWritesTheFaultPinAndKeepsTheDrivesOtherBits)
{
    auto* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    ASSERT_TRUE(Wait([&] { return dlg->IsDlgButtonChecked(IDC_SDIO_FAULT_LOW_DRIVE) == BST_CHECKED; }));
    // Every active-low box shows its bit of 0x0080 as clear: checked.
    EXPECT_EQ(dlg->IsDlgButtonChecked(IDC_SDIO_LIMIT_POS_LOW_WORK), BST_CHECKED);
    EXPECT_EQ(dlg->IsDlgButtonChecked(IDC_SDIO_PULLUP_WORK), BST_UNCHECKED);
    Screenshot(dlg, "io_setup_digital_io");
    // All working active-low boxes unchecked (their bits 1), the pull-up unchecked.
    const UINT lowBoxes[] = {IDC_SDIO_LIMIT_POS_LOW_WORK, IDC_SDIO_LIMIT_NEG_LOW_WORK, IDC_SDIO_INHIBIT_LOW_WORK,
                             IDC_SDIO_MOTOR_HEAT_LOW_WORK, IDC_SDIO_MODE_SELECT_LOW_WORK, IDC_SDIO_GO_STOP_LOW_WORK,
                             IDC_SDIO_E_STOP_LOW_WORK};
    for (UINT id : lowBoxes)
        dlg->CheckDlgButton(id, BST_UNCHECKED);
    dlg->CheckDlgButton(IDC_SDIO_EXT_RESET_LOW_WORK, BST_UNCHECKED);
    struct Case {
        UINT radio;
        LONG function;
        LONG activeHigh;
        UINT driveRadio;
    };
    const Case cases[] = {
        {IDC_SDIO_READY_HIGH_WORK, 1, 0x0080 | 0x784D | 32, IDC_SDIO_READY_HIGH_DRIVE},
        {IDC_SDIO_FAULT_LOW_WORK, 0, 0x0080 | 0x784D, IDC_SDIO_FAULT_LOW_DRIVE},
        {IDC_SDIO_READY_LOW_WORK, 1, 0x0080 | 0x784D, IDC_SDIO_READY_LOW_DRIVE},
        {IDC_SDIO_FAULT_HIGH_WORK, 0, 0x0080 | 0x784D | 32, IDC_SDIO_FAULT_HIGH_DRIVE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.radio);
        kvtest::Click(dlg->GetDlgItem(c.radio));
        ASSERT_TRUE(Wait([&] {
            return Register(kKreln, kFaultPinFunctionParameter) == c.function &&
                   Register(kKreln, kActiveHighParameter) == c.activeHigh &&
                   dlg->IsDlgButtonChecked(c.driveRadio) == BST_CHECKED;
        }));
        EXPECT_EQ(Register(kKreln, kInputEnableParameter), 0xFFCF)
            << "no input disabled: every row's bit 1, the group's unused bits 16 and 32 cleared, the rest kept";
    }
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
