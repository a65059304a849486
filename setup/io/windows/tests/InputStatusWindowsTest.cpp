// The general digital input status window on the demo Tavro drive: its tabs,
// its status cells read from the drive's state word, and its reload after the
// input setup window sent new assignments.
#include <gtest/gtest.h>

#include "IoWindowsFixture.h"
#include "platform/core/Clock.h"
#include "platform/ui/TabCtrl.h"
#include "platform/ui/UserInput.h"
#include "setup/io/windows/QvxGuiSetupTavroDigitalInputDlg.h"
#include "setup/io/windows/QvxGuiTavroDedicatedDigitalInputsDlg.h"
#include "setup/io/windows/QvxGuiTavroGeneralDigitalInputsDlg.h"
#include "setup/io/windows/QvxTavroStatusLampsDlg.h"
#include "setup/io/windows/StatusCells.h"
#include "testing/ListCellText.h"
#include "testing/WindowPixels.h"
#include "testing/WindowShot.h"

namespace {

using namespace demo_codes;

constexpr const char* kStatusName = "TAVRO_GENERAL_DIGITAL_INPUTS";
constexpr const char* kSetupName = "TAVRO_SETUP_GENERAL_DIGITAL_INPUTS";

class GeneralInputsTest : public IoWindowsTest {
protected:
    void RegisterIoWindows() override
    {
        m_frame.m_registry.RegisterGui(kStatusName, RUNTIME_CLASS(CQvxGuiTavroGeneralDigitalInputsDlg), kFamilyTavro,
                                       0);
        m_frame.m_registry.RegisterGui(kSetupName, RUNTIME_CLASS(CQvxGuiSetupTavroDigitalInputDlg), kFamilyTavro, 0);
    }
    void PrepareModel() override
    {
        // Pin 1 Home Switch active low (G20), pin 2 Drive Inhibit active high (G19), pin 4 Jog Positive (G26).
        SetIndexed(kTavro, DIC, DII, 1, 0x0500);
        SetIndexed(kTavro, DIC, DII, 2, 0x0401);
        SetIndexed(kTavro, DIC, DII, 4, 0x0B01);
        SetRegister(kTavro, SDI, 0);
    }
    void TearDown() override
    {
        kvtest::SetClockOffset(0);
        IoWindowsTest::TearDown();
    }
    CQvxGuiTavroGeneralDigitalInputsDlg* OpenStatus()
    {
        auto* dlg =
            dynamic_cast<CQvxGuiTavroGeneralDigitalInputsDlg*>(m_frame.m_registry.CreateGui(kStatusName, nullptr, 1));
        if (dlg) {
            EXPECT_TRUE(Wait([&] { return dlg->GetDrive() == kTavro && dlg->List().GetItemCount() > 0; }));
        }
        return dlg;
    }
    static bool CellIs(CReportCtrl& list, int row, COLORREF colour)
    {
        CBitmap image;
        Render(list, image);
        CRect cell;
        list.GetSubItemRect(row, list.GetColumnCount() - 1, LVIR_LABEL, cell);
        return Near(image.GetPixel(cell.CenterPoint().x, cell.CenterPoint().y), colour);
    }
};

TEST_F(GeneralInputsTest, EachTabListsWhatItShouldWithBlueCellsForSetBits)
{
    auto* dlg = OpenStatus();
    ASSERT_NE(dlg, nullptr);
    CReportCtrl& list = dlg->List();
    ASSERT_EQ(dlg->GetTab(), CQvxGuiTavroGeneralDigitalInputsDlg::kPinsTab);
    ASSERT_EQ(list.GetItemCount(), 3);
    const char* functions[] = {"Home Switch (Active LOW)", "Drive Inhibit (Active HIGH)", "Jog Positive (Active HIGH)"};
    for (int row = 0; row < 3; ++row)
        EXPECT_EQ(list.GetItemText(row, 2), functions[row]);
    EXPECT_EQ(list.GetItemText(0, 0), "J1-31");
    EXPECT_EQ(list.GetItemText(0, 1), "General Input 1");
    EXPECT_TRUE(CellIs(list, 0, kStatusOffColour));

    // Pin numbers are state-word bits on the Pins tab.
    SetRegister(kTavro, SDI, 1 << 2);
    ASSERT_TRUE(Wait([&] { return list.GetItemBkColor(3, 1) == kStatusOnColour; }));
    EXPECT_TRUE(CellIs(list, 1, kStatusOnColour));
    EXPECT_TRUE(CellIs(list, 0, kStatusOffColour));
    Screenshot(dlg, "io_general_inputs_pins");

    // Status bits of the functions on the Functions tab, in the file's order.
    auto* tabs = static_cast<CTabCtrl*>(dlg->GetDlgItem(IDC_GENERAL_INPUTS_TAB));
    ASSERT_TRUE(kvtest::PickItem(tabs, 1));
    ASSERT_EQ(dlg->GetTab(), CQvxGuiTavroGeneralDigitalInputsDlg::kFunctionsTab);
    ASSERT_EQ(list.GetItemCount(), 3);
    EXPECT_EQ(list.GetItemText(0, 0), "Drive Inhibit");
    EXPECT_EQ(list.GetItemText(1, 0), "Home Switch");
    EXPECT_EQ(list.GetItemText(2, 0), "Jog Positive");
    SetRegister(kTavro, SDI, 1 << 20);
    ASSERT_TRUE(Wait([&] { return list.GetItemBkColor(1, 1) == kStatusOnColour; }));
    EXPECT_TRUE(CellIs(list, 1, kStatusOnColour));
    EXPECT_TRUE(CellIs(list, 0, kStatusOffColour));
    Screenshot(dlg, "io_general_inputs_functions");
}

TEST_F(GeneralInputsTest, ALongFunctionWithItsLevelShowsWhole)
{
    SetIndexed(kTavro, DIC, DII, 3, 0x0301);  // Negative Limit Inhibit, active high
    auto* dlg = OpenStatus();
    ASSERT_NE(dlg, nullptr);
    CReportCtrl& list = dlg->List();
    ASSERT_EQ(list.GetItemCount(), 4);
    EXPECT_EQ(list.GetItemText(2, 2), "Negative Limit Inhibit (Active HIGH)");
    for (int row = 0; row < list.GetItemCount(); ++row)
        EXPECT_TRUE(CellShowsWhole(list, row, 2));
    CRect listRect, client;
    list.GetWindowRect(&listRect);
    dlg->ScreenToClient(&listRect);
    dlg->GetClientRect(&client);
    EXPECT_LE(listRect.right, client.right) << "the list within the window";
}

TEST_F(GeneralInputsTest, TheTabIsKeptForTheNextWindow)
{
    auto* dlg = OpenStatus();
    ASSERT_NE(dlg, nullptr);
    dlg->SelectTab(1);
    dlg->SetClosing(1);
    dlg->DestroyWindow();
    EXPECT_EQ(AfxGetProfileInt("TABSAVE", "DigitalInputs", 0), 1);
    dlg = OpenStatus();
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(dlg->GetTab(), 1);
    EXPECT_EQ(dlg->List().GetItemText(0, 0), "Drive Inhibit");
    AfxWriteProfileInt("TABSAVE", "DigitalInputs", 0);
}

TEST_F(GeneralInputsTest, ASendFromTheSetupWindowMakesItReadAgainASecondLater)
{
    auto* status = OpenStatus();
    ASSERT_NE(status, nullptr);
    auto* setup =
        dynamic_cast<CQvxGuiSetupTavroDigitalInputDlg*>(m_frame.m_registry.CreateGui(kSetupName, nullptr, 1));
    ASSERT_NE(setup, nullptr);
    ASSERT_TRUE(Wait([&] { return setup->List().GetItemCount() == 13; }));
    CString reply;
    ASSERT_TRUE(setup->ExecuteCommand("DISCONNECTPIN(\"General Input 4\")", reply));
    const int receives = status->GetReceiveCount();
    AfxQueueScriptedAnswer(IDYES);
    kvtest::Click(setup->GetDlgItem(IDC_TAVRO_INPUT_SEND));
    ASSERT_TRUE(Wait([&] { return Indexed(kTavro, DIC, DII, 4) == 0; }));
    AfxPumpMessages();
    EXPECT_EQ(status->GetReceiveCount(), receives) << "not before the second has passed";
    EXPECT_EQ(status->List().GetItemCount(), 3);
    kvtest::SetClockOffset(1100);
    ASSERT_TRUE(Wait([&] { return status->GetReceiveCount() == receives + 1 && status->List().GetItemCount() == 2; }));
}

}  // namespace

namespace {

class DedicatedInputsTest : public IoWindowsTest {
protected:
    void RegisterIoWindows() override
    {
        m_frame.m_registry.RegisterGui("TAVRO_DEDICATED_DIGITAL_INPUTS",
                                       RUNTIME_CLASS(CQvxGuiTavroDedicatedDigitalInputsDlg), kFamilyTavro, 0);
    }
    void PrepareModel() override
    {
        SetRegister(kTavro, SIO, 0);
        SetIndexed(kTavro, MDL, MDI, 14, m_hardwareFlags);
        SetRegister(kTavro, MFT, m_feedbackKind);
    }
    CQvxGuiTavroDedicatedDigitalInputsDlg* Open()
    {
        auto* dlg = dynamic_cast<CQvxGuiTavroDedicatedDigitalInputsDlg*>(
            m_frame.m_registry.CreateGui("TAVRO_DEDICATED_DIGITAL_INPUTS", nullptr, 1));
        if (dlg) {
            EXPECT_TRUE(Wait([&] { return dlg->GetDrive() == kTavro && dlg->AreStagesDone(); }));
        }
        return dlg;
    }
    LONG m_hardwareFlags = 0x80;
    LONG m_feedbackKind = 0x4;
};

TEST_F(DedicatedInputsTest, SetBitsTurnTheirCellsBlueAndAResolverNamesItsFault)
{
    auto* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    CReportCtrl& list = dlg->List();
    ASSERT_EQ(list.GetItemCount(), 11);
    EXPECT_EQ(list.GetItemText(0, 0), "STO Feedback AE");
    ASSERT_TRUE(Wait([&] { return list.GetItemText(9, 0) == "Resolver Fault"; }));
    SetRegister(kTavro, SIO, (1 << 2) | (1 << 12));
    ASSERT_TRUE(Wait([&] { return list.GetItemBkColor(1, 10) == kStatusOnColour; }));
    EXPECT_EQ(list.GetItemBkColor(1, 0), kStatusOnColour);
    EXPECT_EQ(list.GetItemBkColor(1, 9), kStatusOffColour);
    CBitmap image;
    Render(list, image);
    CRect cell;
    list.GetSubItemRect(10, 1, LVIR_LABEL, cell);
    EXPECT_TRUE(Near(image.GetPixel(cell.CenterPoint().x, cell.CenterPoint().y), kStatusOnColour));
    list.GetSubItemRect(5, 1, LVIR_LABEL, cell);
    EXPECT_TRUE(Near(image.GetPixel(cell.CenterPoint().x, cell.CenterPoint().y), kStatusOffColour));
    Screenshot(dlg, "io_dedicated_inputs");
}

TEST(FeedbackFaultTextTest, ResolverOnlyWhenBothBitsAreSet)
{
    struct Case {
        DWORD flags, kind;
        const char* text;
    };
    const Case cases[] = {
        {0x80, 0x4, "Resolver Fault"}, {0x80, 0x0, "Encoder Fault"}, {0x00, 0x4, "Encoder Fault"},
        {0x7F, 0xFB, "Encoder Fault"}, {0xFF, 0xFF, "Resolver Fault"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CQvxGuiTavroDedicatedDigitalInputsDlg::FeedbackFaultText(c.flags, c.kind), c.text);
}

}  // namespace

namespace {

class TavroStatusLampsTest : public IoWindowsTest {
protected:
    void RegisterIoWindows() override
    {
        m_frame.m_registry.RegisterGui("TAVRO_STATUS", RUNTIME_CLASS(CQvxTavroStatusLampsDlg), kFamilyTavro, 0);
    }
    void PrepareModel() override
    {
        SetRegister(kTavro, SSF, 0);
        SetRegister(kTavro, kLowerLampsParameter, 0);
        SetIndexed(kTavro, MDL, MDI, 14, 0x80);
        SetRegister(kTavro, MFT, 0x4);
    }
    CQvxTavroStatusLampsDlg* Open()
    {
        auto* dlg = dynamic_cast<CQvxTavroStatusLampsDlg*>(m_frame.m_registry.CreateGui("TAVRO_STATUS", nullptr, 1));
        if (dlg) {
            EXPECT_TRUE(Wait([&] { return dlg->GetDrive() == kTavro && dlg->AreStagesDone(); }));
        }
        return dlg;
    }
    static COLORREF Face(CLampButton* lamp)
    {
        CBitmap image;
        Render(*lamp, image);
        CRect r;
        lamp->GetClientRect(&r);
        return image.GetPixel(r.Width() / 2, 2);
    }
};

TEST_F(TavroStatusLampsTest, ReservedBitsFollowTheirPanelsRuleAndLampsLightFromTheirWords)
{
    auto* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    // Drive Status names twelve bits, one of them Reserved; Motion Status six, one Reserved.
    const auto& upper = dlg->Lamps(CQvxTavroStatusLampsDlg::kUpper);
    const auto& lower = dlg->Lamps(CQvxTavroStatusLampsDlg::kLower);
    ASSERT_EQ(upper.size(), 11u) << "no gap for a reserved bit in the upper panel";
    for (const auto& lamp : upper)
        EXPECT_NE(lamp.button, nullptr);
    ASSERT_EQ(lower.size(), 6u) << "a blank place for it in the lower panel";
    EXPECT_EQ(lower[3].button, nullptr);
    EXPECT_EQ(lower[3].mask, 0u);
    EXPECT_EQ(lower[4].mask, 1u << 4);

    CLampButton* feedback = dlg->FindLamp(CQvxTavroStatusLampsDlg::kUpper, 2048);
    ASSERT_NE(feedback, nullptr);
    ASSERT_TRUE(Wait([&] { return feedback->m_onText == "Resolver"; }));

    CLampButton* overTemp = dlg->FindLamp(CQvxTavroStatusLampsDlg::kUpper, 1u << 1);
    CLampButton* atHome = dlg->FindLamp(CQvxTavroStatusLampsDlg::kLower, 1u << 0);
    ASSERT_NE(overTemp, nullptr);
    ASSERT_NE(atHome, nullptr);
    EXPECT_TRUE(Near(Face(overTemp), 0x008000, 12));
    EXPECT_TRUE(Near(Face(atHome), 0x404040, 12));
    SetRegister(kTavro, SSF, 1 << 1);
    SetRegister(kTavro, kLowerLampsParameter, 1 << 0);
    ASSERT_TRUE(Wait([&] { return overTemp->m_on && atHome->m_on; }));
    AfxPumpMessages();
    EXPECT_TRUE(Near(Face(overTemp), 0x0000FF, 12));
    EXPECT_TRUE(Near(Face(atHome), 0xFF0000, 12));
    Screenshot(dlg, "io_tavro_status_lamps");
}

}  // namespace
