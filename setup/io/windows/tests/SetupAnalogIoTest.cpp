// The Kreln drive's Setup Analog I/O window on the demo link: the signal lists
// per model, the tach binding, the input scale rule, the sources and the aux
// output's own test level.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "IoWindowsFixture.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/UserInput.h"
#include "setup/io/windows/QvxSetupAnalogIoDlg.h"
#include "testing/WindowShot.h"

namespace {

using namespace demo_codes;

constexpr const char* kName = "ANALOGIO";
constexpr WORD kOutputSource = 15401;
constexpr WORD kAuxOutputSource = 15433;
constexpr WORD kTestLevel = 15414;
constexpr WORD kAuxTestLevel = 15446;
constexpr WORD kTachGain = 21091;
const WORD kEtf = MnemonicToCode("ETF");

class SetupAnalogIoTest : public IoWindowsTest {
protected:
    SetupAnalogIoTest() { m_useTable = true; }
    void SetUp() override
    {
        IoWindowsTest::SetUp();
        AfxWriteProfileInt("GENERAL", "DFLTDRV", kKreln);
    }
    void RegisterIoWindows() override
    {
        m_frame.m_registry.RegisterGui(kName, RUNTIME_CLASS(CQvxSetupAnalogIoDlg), kFamilyKreln, 0);
    }
    void PrepareModel() override
    {
        SetRegister(kKreln, CS, m_cs);
        SetRegister(kKreln, kEtf, m_etf);
        SetIndexed(kKreln, MDL, MDI, 10, m_inputScale);
        SetRegister(kKreln, 3373, 0);
        SetRegister(kKreln, kOutputSource, 0);
        SetRegister(kKreln, kAuxOutputSource, 0);
        SetRegister(kKreln, kTestLevel, 1000);
        SetRegister(kKreln, kAuxTestLevel, 6554);
        SetRegister(kKreln, kTachGain, 1234);
    }
    CQvxSetupAnalogIoDlg* Open()
    {
        auto* dlg = dynamic_cast<CQvxSetupAnalogIoDlg*>(m_frame.m_registry.CreateGui(kName, nullptr, 1));
        if (dlg) {
            EXPECT_TRUE(Wait([&] { return dlg->GetDrive() == kKreln && dlg->AreStagesDone(); }));
        }
        return dlg;
    }
    // Open, and wait for the periodic update's rules (the gain's unit label is empty until then).
    CQvxSetupAnalogIoDlg* OpenReady()
    {
        auto* dlg = Open();
        if (dlg) {
            EXPECT_TRUE(Wait([&] {
                return !Text(dlg, IDC_AIO_IN_GAIN_UNIT).IsEmpty();
            }));
        }
        Settle();
        return dlg;
    }
    void UseFactoryFile(const char* text)
    {
        m_home.Write("kvfact.ini", text);
        SetIoFactoryIniPath(m_home.File("kvfact.ini").c_str());
    }
    static CComboBox* Combo(CWnd* dlg, int id) { return static_cast<CComboBox*>(dlg->GetDlgItem(id)); }
    static CString Text(CWnd* dlg, int id)
    {
        CString text;
        dlg->GetDlgItemText(id, text);
        return text;
    }
    static bool Enabled(CWnd* dlg, int id) { return dlg->GetDlgItem(id)->IsWindowEnabled() != 0; }
    static void Enter(CWnd* dlg, int id, const char* text)
    {
        CWnd* edit = dlg->GetDlgItem(id);
        edit->SetWindowText("");
        kvtest::TypeText(edit, text);
        kvtest::PressKey(edit, VK_RETURN);
    }

    LONG m_cs = 21;
    LONG m_etf = 0;
    LONG m_inputScale = 3277;
};

constexpr const char* kListsFile =
    "[AO_SIGNAL_COUNT]\r\nAnalog_Out_SIGNALS_TWO_PH=1\r\nAnalog_Out_SIGNALS_Kreln=2\r\nAnalog_Out_SIGNALS_FW3=3\r\n"
    "[Analog_Out_SIGNALS_FW3]\r\nSource 1=Velocity\r\n";

struct ListCase {
    LONG cs;
    int outputCount;
    int auxCount;
    bool auxOutputEnabled;
    bool auxInputEnabled;
};

class SetupAnalogIoListsTest : public SetupAnalogIoTest, public ::testing::WithParamInterface<ListCase> {
protected:
    void SetUp() override
    {
        m_cs = GetParam().cs;
        SetupAnalogIoTest::SetUp();
    }
};

TEST_P(SetupAnalogIoListsTest, ListsFollowTheModel)
{
    UseFactoryFile(kListsFile);
    auto* dlg = OpenReady();
    ASSERT_NE(dlg, nullptr);
    const ListCase& c = GetParam();
    EXPECT_EQ(Combo(dlg, IDC_AIO_OUT_SOURCE)->GetCount(), c.outputCount);
    EXPECT_EQ(Combo(dlg, IDC_AIO_AUX_OUT_SOURCE)->GetCount(), c.auxCount);
    for (int id : {IDC_AIO_AUX_OUT_SOURCE, IDC_AIO_AUX_OUT_GAIN_WORK, IDC_AIO_AUX_OUT_TEST_WORK})
        EXPECT_EQ(Enabled(dlg, id), c.auxOutputEnabled) << id;
    EXPECT_EQ(Enabled(dlg, IDC_AIO_AUX_IN_GAIN_WORK), c.auxInputEnabled);
    if (c.outputCount == 4) {
        // Count 3 with only source 1 given: the key names around its text.
        const char* expected[] = {"Source 0", "Velocity", "Source 2", "Source 3"};
        for (int i = 0; i < 4; ++i) {
            CString text;
            Combo(dlg, IDC_AIO_OUT_SOURCE)->GetLBText(i, text);
            EXPECT_EQ(text, expected[i]) << i;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Models, SetupAnalogIoListsTest,
                         ::testing::Values(ListCase{9, 2, 0, true, true},    // two-phase list, no aux list
                                           ListCase{21, 3, 3, true, false},  // both from the Kreln list
                                           ListCase{13, 4, 4, false, false},  // FW3; aux output greyed
                                           ListCase{5, 4, 0, true, false}));  // FW3 output only

TEST_F(SetupAnalogIoTest, ASourceChangeIsWrittenAndTheTestFieldFollowsIt)
{
    SetRegister(kKreln, kOutputSource, 2);
    auto* dlg = OpenReady();
    ASSERT_NE(dlg, nullptr);
    CComboBox* combo = Combo(dlg, IDC_AIO_OUT_SOURCE);
    ASSERT_TRUE(Wait([&] { return combo->GetCurSel() == 2; }));
    EXPECT_FALSE(Enabled(dlg, IDC_AIO_OUT_TEST_WORK));
    EXPECT_TRUE(Enabled(dlg, IDC_AIO_AUX_OUT_TEST_WORK));
    ASSERT_TRUE(kvtest::PickItem(combo, 0));
    EXPECT_TRUE(Wait([&] { return Register(kKreln, kOutputSource) == 0; }));
    EXPECT_TRUE(Wait([&] { return Enabled(dlg, IDC_AIO_OUT_TEST_WORK); })) << "after the next reading";
    // Back to the entry the window started with: the drive no longer holds it, so it is written.
    ASSERT_TRUE(kvtest::PickItem(combo, 2));
    EXPECT_TRUE(Wait([&] { return Register(kKreln, kOutputSource) == 2; }));
    EXPECT_TRUE(Wait([&] { return !Enabled(dlg, IDC_AIO_OUT_TEST_WORK); }));
    // The same again with the drive held, so no reading comes in between; it then holds another
    // value, so only the window's second write can bring back the 2.
    {
        CSingleLock hold(&Model().Lock(), TRUE);
        ASSERT_TRUE(kvtest::PickItem(combo, 0));
        ASSERT_TRUE(kvtest::PickItem(combo, 2));
        SetRegister(kKreln, kOutputSource, 5);
    }
    EXPECT_TRUE(Wait([&] { return Register(kKreln, kOutputSource) == 2 && combo->GetCurSel() == 2; }));
    ASSERT_TRUE(kvtest::PickItem(Combo(dlg, IDC_AIO_AUX_OUT_SOURCE), 1));
    EXPECT_TRUE(Wait([&] { return Register(kKreln, kAuxOutputSource) == 1; }));
    EXPECT_TRUE(Wait([&] { return !Enabled(dlg, IDC_AIO_AUX_OUT_TEST_WORK); }));
    const auto boxes = Boxes();
    EXPECT_TRUE(boxes.empty()) << (boxes.empty() ? CString() : boxes[0]);
}

TEST_F(SetupAnalogIoTest, TheAuxOutputTestPairIsTheAuxOutputsOwnTestLevel)
{
    auto* dlg = OpenReady();
    ASSERT_NE(dlg, nullptr);
    ASSERT_TRUE(Wait([&] { return Text(dlg, IDC_AIO_AUX_OUT_TEST_DRIVE) == "2.0002"; }));
    EXPECT_EQ(Text(dlg, IDC_AIO_OUT_TEST_DRIVE), "0.3052");
    Enter(dlg, IDC_AIO_AUX_OUT_TEST_WORK, "1.0");
    EXPECT_EQ(Run("ANALOGIO.SENDTOAMP(-1)"), "SUCCESS");
    EXPECT_TRUE(Wait([&] { return Register(kKreln, kAuxTestLevel) == 3277; }));
    EXPECT_EQ(Register(kKreln, kTestLevel), 1000);
}

struct InputScaleCase {
    LONG cs;
    LONG inputScale;
    bool warned;
    bool primaryEnabled;
};

class SetupAnalogIoScaleTest : public SetupAnalogIoTest, public ::testing::WithParamInterface<InputScaleCase> {
protected:
    void SetUp() override
    {
        m_cs = GetParam().cs;
        m_inputScale = GetParam().inputScale;
        SetupAnalogIoTest::SetUp();
    }
};

TEST_P(SetupAnalogIoScaleTest, AZeroInputScaleIsToldUnlessTheDriveHasNoScaledInput)
{
    auto* dlg = OpenReady();
    ASSERT_NE(dlg, nullptr);
    const InputScaleCase& c = GetParam();
    EXPECT_EQ(Shown(Boxes(), "Analog Input Scale = 0.\nTherefore you can not alter Signal Gain!"), c.warned);
    for (int id : {IDC_AIO_IN_GAIN_WORK, IDC_AIO_IN_OFFSET_DRIVE, IDC_AIO_DEAD_BAND_WORK})
        EXPECT_EQ(Enabled(dlg, id), c.primaryEnabled) << id;
}

INSTANTIATE_TEST_SUITE_P(Cases, SetupAnalogIoScaleTest,
                         ::testing::Values(InputScaleCase{21, 0, true, true}, InputScaleCase{21, 3277, false, true},
                                           InputScaleCase{10, 0, false, false}, InputScaleCase{11, 0, false, false}));

class SetupAnalogIoTachTest : public SetupAnalogIoTest {
protected:
    void SetUp() override
    {
        m_etf = 1;
        SetupAnalogIoTest::SetUp();
    }
};

TEST_F(SetupAnalogIoTachTest, TheAuxGainIsTheTachGainInHundredths)
{
    auto* dlg = OpenReady();
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(Text(dlg, IDC_AIO_AUX_IN_GAIN_LABEL), "Tach Scale:");
    EXPECT_EQ(Text(dlg, IDC_AIO_AUX_IN_GAIN_UNIT), "volt/krpm");
    EXPECT_EQ(Text(dlg, IDC_AIO_AUX_IN_OFFSET_LABEL), "Tach Offset:");
    EXPECT_EQ(Text(dlg, IDC_AIO_AUX_IN_OFFSET_UNIT), "volts");
    EXPECT_TRUE(Enabled(dlg, IDC_AIO_AUX_IN_GAIN_WORK)) << "ETF 1 gives the aux input";
    ASSERT_TRUE(Wait([&] { return Text(dlg, IDC_AIO_AUX_IN_GAIN_DRIVE) == "12.34"; }));
    EXPECT_EQ(Run("ANALOGIO.CONTROL(\"Tach Gain\").GETVALUE"), "12.34");
    EXPECT_EQ(Run("ANALOGIO.CONTROL(\"Tach Offset\").GETVALUE"), Text(dlg, IDC_AIO_AUX_IN_OFFSET_WORK));
    EXPECT_DOUBLE_EQ(dlg->SpinStepOf(CQvxSetupAnalogIoDlg::kAuxInputGain), 0.01);
    Screenshot(dlg, "io_setup_analog_io_tach");
    Enter(dlg, IDC_AIO_AUX_IN_GAIN_WORK, "5.5");
    EXPECT_EQ(Run("ANALOGIO.SENDTOAMP(-1)"), "SUCCESS");
    EXPECT_TRUE(Wait([&] { return Register(kKreln, kTachGain) == 550; }));
}

TEST_F(SetupAnalogIoTest, WithoutTachTheAuxGainIsScaledByTheInputConversion)
{
    auto* dlg = OpenReady();
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(Text(dlg, IDC_AIO_AUX_IN_GAIN_LABEL), "Signal Gain:");
    EXPECT_EQ(Text(dlg, IDC_AIO_AUX_IN_GAIN_UNIT), "amps/volt");
    EXPECT_TRUE(Wait([&] { return Text(dlg, IDC_AIO_IN_GAIN_UNIT) == "rpm/volt"; }))
        << "the demo drive is in velocity mode, once its mode has come";
    EXPECT_TRUE(Run("ANALOGIO.CONTROL(\"Aux Analog Input Signal Gain\").GETVALUE").Find("ERROR") < 0);
    EXPECT_TRUE(Run("ANALOGIO.CONTROL(\"Tach Gain\").GETVALUE").Find("ERROR") == 0);
    // Velocity mode: the input gain steps by one drive unit of its conversion.
    double perUnit = 0.0;
    ASSERT_TRUE(dlg->WorkingEdit(CQvxSetupAnalogIoDlg::kInputGain).ConvertValue(perUnit, 1.0, 1));
    EXPECT_DOUBLE_EQ(dlg->SpinStepOf(CQvxSetupAnalogIoDlg::kInputGain), std::max(std::fabs(perUnit), 0.01));
    Screenshot(dlg, "io_setup_analog_io");
}

}  // namespace
