// The Tavro drive's analog output window on the demo link: source lists from
// the factory file, the aux output rule, test rows and edits in drive units.
#include <gtest/gtest.h>

#include "IoWindowsFixture.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/UserInput.h"
#include "setup/io/AnalogSignalLists.h"
#include "setup/io/windows/QvxGuiTavroAnalogOutputDlg.h"
#include "testing/WindowShot.h"

namespace {

using namespace demo_codes;

constexpr const char* kName = "TAVRO_ANALOGIO";
constexpr WORD kOutputGain = 15411;
constexpr WORD kOutputOffset = 15407;

class TavroAnalogOutputTest : public IoWindowsTest {
protected:
    TavroAnalogOutputTest() { m_useTable = true; }
    void RegisterIoWindows() override
    {
        m_frame.m_registry.RegisterGui(kName, RUNTIME_CLASS(CQvxGuiTavroAnalogOutputDlg), kFamilyTavro, 0);
    }
    void PrepareModel() override
    {
        SetRegister(kTavro, VER, m_version);
        SetIndexed(kTavro, MDL, MDI, 12, m_flags12);
        SetRegister(kTavro, kAnalogOutputSource, m_outputSource);
        SetRegister(kTavro, kAuxOutputSource, 0);
        SetRegister(kTavro, kOutputGain, 256);      // 100 %
        SetRegister(kTavro, kOutputOffset, 3277);   // 1.0001 V
        SetRegister(kTavro, kAnalogOutputTestLevel, 1000);
        SetRegister(kTavro, kAuxOutputTestLevel, 6554);  // 2.0002 V
    }
    CQvxGuiTavroAnalogOutputDlg* Open()
    {
        auto* dlg = dynamic_cast<CQvxGuiTavroAnalogOutputDlg*>(m_frame.m_registry.CreateGui(kName, nullptr, 1));
        if (dlg) {
            EXPECT_TRUE(Wait([&] { return dlg->AreStagesDone(); }));
            Settle();
        }
        return dlg;
    }
    static CComboBox* Combo(CWnd* dlg, int id) { return static_cast<CComboBox*>(dlg->GetDlgItem(id)); }
    static CString Text(CWnd* dlg, int id)
    {
        CString text;
        dlg->GetDlgItemText(id, text);
        return text;
    }
    static bool Enabled(CWnd* dlg, int id) { return dlg->GetDlgItem(id)->IsWindowEnabled() != 0; }

    LONG m_version = 510;
    LONG m_flags12 = 0;
    LONG m_outputSource = 0;
};

TEST_F(TavroAnalogOutputTest, EditsShowAndSendDriveUnitsOfTheOutputConversions)
{
    auto* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    ASSERT_TRUE(Wait([&] { return Text(dlg, IDC_TAO_OUT_GAIN_DRIVE) == "100.00"; }));
    EXPECT_EQ(Text(dlg, IDC_TAO_OUT_OFFSET_WORK), "1.0001");
    EXPECT_EQ(Text(dlg, IDC_TAO_OUT_TEST_DRIVE), "0.3052");
    EXPECT_EQ(Combo(dlg, IDC_TAO_OUT_SOURCE)->GetCount(), 11) << "the program's factory file";
    Screenshot(dlg, "io_tavro_analog_output");
    // One spin step up is one drive unit of each conversion.
    EXPECT_DOUBLE_EQ(dlg->SpinStepOf(0), 0.390625);
    EXPECT_NEAR(dlg->SpinStepOf(1), 10.0 / 32767, 1e-9);
    CWnd* spin = dlg->GetDlgItem(IDC_TAO_OUT_GAIN_SPIN);
    CRect spinRect;
    spin->GetClientRect(spinRect);
    kvtest::ClickAt(spin, CPoint(spinRect.Width() / 2, 1));
    EXPECT_EQ(Text(dlg, IDC_TAO_OUT_GAIN_WORK), "100.39");
    CWnd* offset = dlg->GetDlgItem(IDC_TAO_OUT_OFFSET_WORK);
    offset->SetWindowText("");
    kvtest::TypeText(offset, "2.5");
    kvtest::PressKey(offset, VK_RETURN);
    EXPECT_EQ(Run("TAVRO_ANALOGIO.SENDTOAMP(-1)"), "SUCCESS");
    EXPECT_TRUE(Wait([&] { return Register(kTavro, kOutputGain) == 257 && Register(kTavro, kOutputOffset) == 8192; }))
        << Register(kTavro, kOutputGain) << " " << Register(kTavro, kOutputOffset);
}

TEST_F(TavroAnalogOutputTest, TheAuxTestValueIsTheAuxOutputsOwnTestLevel)
{
    auto* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    ASSERT_TRUE(Wait([&] { return Text(dlg, IDC_TAO_AUX_TEST_DRIVE) == "2.0002"; }));
    EXPECT_EQ(Text(dlg, IDC_TAO_OUT_TEST_DRIVE), "0.3052");
    CWnd* auxTest = dlg->GetDlgItem(IDC_TAO_AUX_TEST_WORK);
    auxTest->SetWindowText("");
    kvtest::TypeText(auxTest, "1.0");
    kvtest::PressKey(auxTest, VK_RETURN);
    EXPECT_EQ(Run("TAVRO_ANALOGIO.SENDTOAMP(-1)"), "SUCCESS");
    EXPECT_TRUE(Wait([&] { return Register(kTavro, kAuxOutputTestLevel) == 3277; }));
    EXPECT_EQ(Register(kTavro, kAnalogOutputTestLevel), 1000);
}

TEST_F(TavroAnalogOutputTest, ASourceOtherThanZeroDisablesItsTestRow)
{
    SetRegister(kTavro, kAnalogOutputSource, 2);
    SetRegister(kTavro, kAuxOutputSource, 5);
    auto* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    ASSERT_TRUE(Wait([&] { return Combo(dlg, IDC_TAO_OUT_SOURCE)->GetCurSel() == 2; }));
    EXPECT_EQ(Combo(dlg, IDC_TAO_AUX_SOURCE)->GetCurSel(), 5);
    for (int id : {IDC_TAO_OUT_TEST_WORK, IDC_TAO_OUT_TEST_SPIN, IDC_TAO_OUT_TEST_LABEL, IDC_TAO_AUX_TEST_WORK,
                   IDC_TAO_AUX_TEST_DRIVE})
        EXPECT_FALSE(Enabled(dlg, id)) << id;
    EXPECT_TRUE(Enabled(dlg, IDC_TAO_AUX_GAIN_WORK));
    Screenshot(dlg, "io_tavro_analog_output_sources");
    // Choosing entry 0 writes it at once and brings the test row back.
    ASSERT_TRUE(kvtest::PickItem(Combo(dlg, IDC_TAO_OUT_SOURCE), 0));
    EXPECT_TRUE(Wait([&] { return Register(kTavro, kAnalogOutputSource) == 0; }));
    EXPECT_TRUE(Enabled(dlg, IDC_TAO_OUT_TEST_WORK));
    ASSERT_TRUE(kvtest::PickItem(Combo(dlg, IDC_TAO_AUX_SOURCE), 0));
    EXPECT_TRUE(Wait([&] { return Register(kTavro, kAuxOutputSource) == 0; }));
    EXPECT_TRUE(Enabled(dlg, IDC_TAO_AUX_TEST_WORK));
    ASSERT_TRUE(kvtest::PickItem(Combo(dlg, IDC_TAO_OUT_SOURCE), 7));
    EXPECT_TRUE(Wait([&] { return Register(kTavro, kAnalogOutputSource) == 7; }));
    EXPECT_FALSE(Enabled(dlg, IDC_TAO_OUT_TEST_WORK));
    Settle();
    EXPECT_EQ(Combo(dlg, IDC_TAO_OUT_SOURCE)->GetCurSel(), 7) << "the reading after the write agrees";
}

TEST_F(TavroAnalogOutputTest, AMissingEntryShowsItsKeyName)
{
    m_home.Write("kvfact.ini", "[AO_SIGNAL_COUNT]\r\nAnalog_Out_SIGNALS_Kreln=3\r\n"
                               "[Analog_Out_SIGNALS_Kreln]\r\nSource 1=Velocity Command\r\n");
    SetIoFactoryIniPath(m_home.File("kvfact.ini").c_str());
    auto* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    CComboBox* combo = Combo(dlg, IDC_TAO_OUT_SOURCE);
    ASSERT_TRUE(Wait([&] { return combo->GetCount() == 4; }));
    const char* expected[] = {"Source 0", "Velocity Command", "Source 2", "Source 3"};
    for (int i = 0; i < 4; ++i) {
        CString text;
        combo->GetLBText(i, text);
        EXPECT_EQ(text, expected[i]) << i;
    }
    EXPECT_EQ(Combo(dlg, IDC_TAO_AUX_SOURCE)->GetCount(), 4);
}

struct AuxCase {
    LONG version;
    LONG flags12;
    bool present;
};

class TavroAnalogOutputAuxTest : public TavroAnalogOutputTest, public ::testing::WithParamInterface<AuxCase> {
protected:
    void SetUp() override
    {
        m_version = GetParam().version;
        m_flags12 = GetParam().flags12;
        TavroAnalogOutputTest::SetUp();
    }
};

TEST_P(TavroAnalogOutputAuxTest, AuxControlsFollowTheVersionAndFlag)
{
    auto* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    ASSERT_TRUE(Wait([&] { return Combo(dlg, IDC_TAO_OUT_SOURCE)->GetCount() == 11; }));
    Settle();
    const bool present = GetParam().present;
    EXPECT_EQ(Combo(dlg, IDC_TAO_AUX_SOURCE)->GetCount(), present ? 11 : 0);
    for (int id : {IDC_TAO_AUX_SOURCE, IDC_TAO_AUX_SOURCE_LABEL, IDC_TAO_AUX_GAIN_WORK, IDC_TAO_AUX_GAIN_SPIN,
                   IDC_TAO_AUX_OFFSET_WORK, IDC_TAO_AUX_OFFSET_UNIT, IDC_TAO_AUX_TEST_WORK, IDC_TAO_AUX_TEST_LABEL})
        EXPECT_EQ(Enabled(dlg, id), present) << id;
    EXPECT_TRUE(Enabled(dlg, IDC_TAO_OUT_GAIN_WORK));
    if (!present)
        Screenshot(dlg, "io_tavro_analog_output_no_aux");
}

INSTANTIATE_TEST_SUITE_P(Cases, TavroAnalogOutputAuxTest,
                         ::testing::Values(AuxCase{510, 0x0000, true}, AuxCase{500, 0x0000, true},
                                           AuxCase{416, 0x0000, false}, AuxCase{416, 0x0100, true},
                                           AuxCase{416, 0x00FF, false}));

}  // namespace
