// The dedicated I/O settings window on the demo Tavro drive.
#include <gtest/gtest.h>

#include "IoWindowsFixture.h"
#include "platform/ui/UserInput.h"
#include "setup/io/windows/QvxDedicatedIoSettingsDlg.h"
#include "testing/WindowShot.h"

namespace {

class DedicatedIoSettingsTest : public IoWindowsTest {
protected:
    void RegisterIoWindows() override
    {
        m_frame.m_registry.RegisterGui("DEDICATED_IO", RUNTIME_CLASS(CQvxDedicatedIoSettingsDlg), kFamilyTavro, 0);
    }
    void PrepareModel() override
    {
        SetRegister(kTavro, kDedicatedEnableParameter, 0x1841);
        SetRegister(kTavro, kDedicatedPolarityParameter, 0x1003);
    }
};

TEST_F(DedicatedIoSettingsTest, UncheckingDriveOverTempEnableClearsOnlyItsBit)
{
    auto* dlg = dynamic_cast<CQvxDedicatedIoSettingsDlg*>(m_frame.m_registry.CreateGui("DEDICATED_IO", nullptr, 1));
    ASSERT_NE(dlg, nullptr);
    ASSERT_TRUE(Wait([&] {
        return dlg->IsDlgButtonChecked(IDC_DIO_DRIVE_TEMP_ENABLE_DRIVE) == BST_CHECKED &&
               dlg->IsDlgButtonChecked(IDC_DIO_BRAKE_HIGH_DRIVE) == BST_CHECKED;
    }));
    struct Box {
        UINT id;
        UINT state;
    };
    const Box boxes[] = {
        {IDC_DIO_MOTOR_TEMP_ENABLE_WORK, BST_CHECKED},  {IDC_DIO_ENCODER_ENABLE_WORK, BST_CHECKED},
        {IDC_DIO_DRIVE_TEMP_ENABLE_WORK, BST_CHECKED},  {IDC_DIO_MOTOR_TEMP_HIGH_WORK, BST_UNCHECKED},
        {IDC_DIO_DRIVE_TEMP_HIGH_WORK, BST_CHECKED},    {IDC_DIO_PULL_HIGH_WORK, BST_CHECKED},
        {IDC_DIO_BRAKE_HIGH_WORK, BST_CHECKED},         {IDC_DIO_ENCODER_HIGH_WORK, BST_CHECKED},
    };
    for (const Box& box : boxes)
        EXPECT_EQ(dlg->IsDlgButtonChecked(box.id), box.state) << box.id;
    EXPECT_FALSE(dlg->GetDlgItem(IDC_DIO_ENCODER_HIGH_WORK)->IsWindowEnabled());
    EXPECT_EQ(dlg->GetPendingChangesState(0), 2);
    Screenshot(dlg, "io_dedicated_io_settings");

    kvtest::Click(dlg->GetDlgItem(IDC_DIO_DRIVE_TEMP_ENABLE_WORK));
    ASSERT_EQ(dlg->IsDlgButtonChecked(IDC_DIO_DRIVE_TEMP_ENABLE_WORK), BST_UNCHECKED);
    ASSERT_TRUE(Wait([&] { return dlg->IsDlgButtonChecked(IDC_DIO_DRIVE_TEMP_ENABLE_DRIVE) == BST_UNCHECKED; }));
    EXPECT_EQ(Register(kTavro, kDedicatedEnableParameter), 0x0841);
    EXPECT_EQ(Register(kTavro, kDedicatedPolarityParameter), 0x1003);
    EXPECT_EQ(dlg->GetPendingChangesState(0), 2);
}

}  // namespace
