// The setup motor parameters window on the demo link's Kreln drive.
#include <algorithm>
#include <cmath>
#include <iterator>

#include "TuningWindowFixture.h"
#include "distribution/parameters/GlobalParameterKinds.h"
#include "platform/core/IniFile.h"
#include "platform/ui/DialogTemplate.h"
#include "platform/ui/UserInput.h"
#include "resources/ids/SetupAutoManualTuningIds.h"
#include "setup/tuning/windows/MotorTableSource.h"

// The commutation window as the motor parameters window finds it: by class name.
class CQvxGuiCommutat : public CGuiUpdateDlg {
    DECLARE_DYNCREATE(CQvxGuiCommutat)

public:
    CQvxGuiCommutat() : CGuiUpdateDlg(9700) {}
};
IMPLEMENT_DYNCREATE(CQvxGuiCommutat, CGuiUpdateDlg)

namespace {

using Self = CQvxGuiSetupAutoManualTuningDlg;

class MotorTableFixture : public CMotorTableSource {
public:
    std::vector<MotorTableRow> Rows() override
    {
        return {{"M-100", "QX-100", 0.85, 1.20}, {"M-200", "QX-200", 2.40, 6.75}};
    }
};

class MotorParametersTest : public TuningWindowFixture {
protected:
    void SetUp() override
    {
        TuningWindowFixture::SetUp();
        AfxRegisterDialogTemplates(R"(
DIALOG 9700 0 0 120 40 "Commutation"
PUSHBUTTON IDCANCEL 60 20 50 14 "Close"
END
)");
        m_frame.m_registry.RegisterGui("COMMUTATION", RUNTIME_CLASS(CQvxGuiCommutat), 2, 0);
        SetModel(1, Self::kResistance, 150);
        SetModel(1, Self::kInductance, 250);
        SetModel(1, Self::kBusVolts, 320);
        SetModel(1, Self::kProportionalGain, 1000);
        SetModel(1, Self::kIntegralGain, 100);
        SetModel(1, Self::kMasterGain, 10);
        SetModel(1, 174, 0);
    }
    Self* OpenReady()
    {
        auto* window = Open<Self>("MOTOR_PARAMS");
        if (!window)
            return nullptr;
        EXPECT_TRUE(Until([&] {
            double value = 0;
            CString bus;
            window->GetDlgItemText(IDC_MP_BUS, bus);
            return bus == "320" && m_table.GetParameterValue(1, GPD_CS, value) &&
                   m_table.GetParameterValue(1, GPD_SERVO_FREQ_I, value) &&
                   m_table.GetParameterValue(1, GPD_A2E_CURRENT_GAIN, value) &&
                   window->GetWorkingGains().ProportionalGain == 1000;
        }));
        return window;
    }
    static CString Text(CWnd* window, int id)
    {
        CString text;
        window->GetDlgItemText(id, text);
        return text;
    }
    static void Enter(Self* window, int id, const char* text)
    {
        window->SetDlgItemText(id, text);
        window->GetDlgItem(id)->SetFocus();
        window->OnOK();
    }
    CurrentLoopConversions Conversions()
    {
        CurrentLoopConversions c;
        m_table.GetParameterValue(1, GPD_CS, c.cs);
        m_table.GetParameterValue(1, GPD_SERVO_FREQ_I, c.servoFreq);
        m_table.GetParameterValue(1, GPD_A2E_CURRENT_GAIN, c.currentGain);
        return c;
    }
};

}  // namespace

TEST(MotorParametersPercentTest, GainsShowAsPercentOfFullScale)
{
    const std::pair<int, double> cases[] = {{0, 0.0}, {32767, 100.0}, {-32767, -100.0}, {40000, 100.0}, {1000, 3.05}};
    for (const auto& [value, percent] : cases)
        EXPECT_DOUBLE_EQ(Self::GainPercent(value), percent) << value;
}

TEST_F(MotorParametersTest, FieldsInUnitsAndAManualFitToATypedBandwidth)
{
    Self* window = OpenReady();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(Text(window, IDC_MP_RESISTANCE), "1.50");
    EXPECT_EQ(Text(window, IDC_MP_INDUCTANCE_DRIVE), "2.50");
    EXPECT_EQ(Text(window, IDC_MP_GIP_DRIVE), "3.050");
    EXPECT_EQ(Text(window, IDC_MP_GIM), "10");
    EXPECT_EQ(Text(window, IDC_MP_BANDWIDTH_LABEL), "Current Loop Bandwidth (Hz):");

    Enter(window, IDC_MP_BANDWIDTH, "1000");
    CurrentLoopMotorValues fitted = window->GetWorkingGains();
    fitted.Resistance = 150;
    fitted.Inductance = 250;
    fitted.BusVolts = 320;
    EXPECT_GT(fitted.ProportionalGain, 0);
    EXPECT_NEAR(BandwidthFromProportionalGain(fitted, Conversions()), 1000.0, 20.0);

    Enter(window, IDC_MP_BANDWIDTH, "5000");
    EXPECT_TRUE(Logged(AfxTakeScriptedMessageLog(), "Current Loop Bandwidth out of range! (0...4000Hz)"));
    EXPECT_EQ(Text(window, IDC_MP_BANDWIDTH), "4000");
    window->SetDrive(2, 1);
    Until([&] { return window->GetDrive() == 2; });
    window->SendMessage(WM_CLOSE);
    Until([&] { return m_frame.m_list.IsEmpty(); });
    // Only the conversion table's index selections go out.
    const WORD moving[] = {3, 16995, 174, Self::kResistance, Self::kInductance, Self::kBusVolts,
                           Self::kProportionalGain, Self::kIntegralGain, Self::kMasterGain};
    for (const CAmpMsg& write : TakeWrites())
        EXPECT_EQ(std::count(std::begin(moving), std::end(moving), write.m_code), 0) << write.m_code;
}

TEST_F(MotorParametersTest, FineTuningThePhaseKeyAndAutoTuning)
{
    Self* window = OpenReady();
    ASSERT_NE(window, nullptr);
    kvtest::Click(window->GetDlgItem(IDC_MP_FINE));
    ASSERT_TRUE(window->IsFine());
    EXPECT_EQ(Text(window, IDC_MP_GIP_LABEL), "Proportional Gain (GIP):");
    EXPECT_EQ(Text(window, IDC_MP_BANDWIDTH_LABEL), "Effective Bandwidth(Hz):");
    EXPECT_EQ(Text(window, IDC_MP_GIP), "1000");
    EXPECT_TRUE(window->GetDlgItem(IDC_MP_AUTO)->IsWindowVisible());
    kvtest::Click(window->GetDlgItem(IDC_MP_THREE_PHASE));
    const CString ini = m_engine.m_app.m_iniPath.c_str();
    EXPECT_EQ(GetPrivateProfileInt("SETUP MOTOR PARAMETERS", "Phase", 0, ini), 3u);
    EXPECT_EQ(window->GetPhase(), 3);

    // With Manual Tuning checked the button is off; a script gets the reminder and nothing is tuned.
    EXPECT_FALSE(window->GetDlgItem(IDC_MP_AUTO)->IsWindowEnabled());
    window->OnAutoTune();
    EXPECT_TRUE(Logged(AfxTakeScriptedMessageLog(), "Please uncheck the Manual Tuning check box"));
    EXPECT_EQ(window->GetTypedGains().ProportionalGain, 1000);

    // Below 0.1 mH automatic tuning is refused.
    kvtest::Click(window->GetDlgItem(IDC_MP_MANUAL));
    ASSERT_TRUE(window->GetDlgItem(IDC_MP_AUTO)->IsWindowEnabled());
    window->SetDlgItemText(IDC_MP_INDUCTANCE, "0.05");
    kvtest::Click(window->GetDlgItem(IDC_MP_AUTO));
    EXPECT_TRUE(Logged(AfxTakeScriptedMessageLog(), "Please Use Manual Tuning for Motor Inductance less than 0.1mH"));
    EXPECT_EQ(window->GetTypedGains().ProportionalGain, 1000);

    window->SetDlgItemText(IDC_MP_INDUCTANCE, "2.50");
    kvtest::Click(window->GetDlgItem(IDC_MP_AUTO));
    EXPECT_TRUE(AfxTakeScriptedMessageLog().empty());
    EXPECT_NE(window->GetTypedGains().ProportionalGain, 1000);
    EXPECT_EQ(Text(window, IDC_MP_BANDWIDTH), CString(std::to_string(static_cast<int>(window->GetCurrentBandwidth())).c_str()));
}

TEST_F(MotorParametersTest, SendingIsRefusedWhileEnabledAndListsTheValues)
{
    Self* window = OpenReady();
    ASSERT_NE(window, nullptr);
    window->SendDriveEnable(1);
    ASSERT_TRUE(Until([&] { return window->GetEnableBit() == 1; }));
    ClearWrites();
    kvtest::Click(window->GetDlgItem(IDC_MP_SEND));
    EXPECT_TRUE(Logged(AfxTakeScriptedMessageLog(), "Motor is Enabled.\nTuning values not sent to drive."));
    window->SendDriveEnable(0);
    ASSERT_TRUE(Until([&] { return window->GetEnableBit() == 0; }));
    ClearWrites();

    window->SetDlgItemText(IDC_MP_RESISTANCE, "1.20");
    AfxQueueScriptedAnswer(IDCANCEL);
    kvtest::Click(window->GetDlgItem(IDC_MP_SEND));
    auto log = AfxTakeScriptedMessageLog();
    EXPECT_TRUE(Logged(log, "Press OK to send the following values:\r\n\r\nMotor Resistance 1.20\r\nMotor Inductance 2.50"));
    AfxPumpMessagesUntil([] { return false; }, 200);
    EXPECT_TRUE(Writes(1, Self::kResistance).empty());

    AfxQueueScriptedAnswer(IDOK);
    kvtest::Click(window->GetDlgItem(IDC_MP_SEND));
    ASSERT_TRUE(Until([&] { return m_engine.Model(1, Self::kResistance) == 120; }));
    EXPECT_EQ(m_engine.Model(1, Self::kInductance), 250);
    EXPECT_EQ(m_engine.Model(1, Self::kBusVolts), 320);
    for (const CAmpMsg& write : TakeWrites())
        EXPECT_NE(write.m_code, 174) << "sending never enables";
}

TEST_F(MotorParametersTest, SaturationAtTheHighestBandwidth)
{
    Self* window = OpenReady();
    ASSERT_NE(window, nullptr);
    // A large inductance on a low bus cannot reach 4000 Hz.
    window->SetDlgItemText(IDC_MP_INDUCTANCE, "300.00");
    window->SetDlgItemText(IDC_MP_BUS, "1");
    Enter(window, IDC_MP_BANDWIDTH, "4000");
    EXPECT_TRUE(Logged(AfxTakeScriptedMessageLog(), "You have reached proportional gain saturation!"));
}

TEST_F(MotorParametersTest, APartNumberFillsTheMotorAndOpensTheCommutationWindow)
{
    MotorTableFixture table;
    CMotorTableSource::Install(&table);
    Self* window = OpenReady();
    ASSERT_NE(window, nullptr);
    kvtest::Click(window->GetDlgItem(IDC_MP_LOAD_DEFAULTS));
    EXPECT_TRUE(Logged(AfxTakeScriptedMessageLog(), "Please provide a valid Quorvex part or model number."));
    window->SetDlgItemText(IDC_MP_PART_NUMBER, "M-999");
    kvtest::Click(window->GetDlgItem(IDC_MP_LOAD_DEFAULTS));
    EXPECT_TRUE(Logged(AfxTakeScriptedMessageLog(), "Could not find match for M-999."));
    EXPECT_EQ(m_frame.m_list.FindLastItemOfClass("CQvxGuiCommutat"), nullptr);

    // The list offers the part numbers, then the model numbers.
    const CStringList& choices = window->GetPartNumberEdit().GetChoices();
    ASSERT_EQ(choices.GetCount(), 4);
    EXPECT_EQ(choices.GetHead(), "M-100");
    EXPECT_EQ(choices.GetTail(), "QX-200");
    // The button's "6" is the drop-down arrow only in the font its template names.
    EXPECT_STREQ(window->GetDlgItem(IDC_MP_PART_LIST)->GetFont()->GetLogFontRef().lfFaceName, "Marlett");
    kvtest::Click(window->GetDlgItem(IDC_MP_PART_LIST));
    EXPECT_NE(window->GetPartNumberEdit().GetPopup(), nullptr);
    window->GetPartNumberEdit().ClosePopup();

    window->SetDlgItemText(IDC_MP_PART_NUMBER, "QX-200");
    kvtest::Click(window->GetDlgItem(IDC_MP_LOAD_DEFAULTS));
    EXPECT_EQ(Text(window, IDC_MP_RESISTANCE), "2.40");
    EXPECT_EQ(Text(window, IDC_MP_INDUCTANCE), "6.75");
    CGuiUpdateItem* commutation = m_frame.m_list.FindLastItemOfClass("CQvxGuiCommutat");
    ASSERT_NE(commutation, nullptr);
    EXPECT_EQ(commutation->GetDrive(), 1);
    // A second load finds the open one.
    kvtest::Click(window->GetDlgItem(IDC_MP_LOAD_DEFAULTS));
    EXPECT_EQ(m_frame.m_list.GetOpenCount("CQvxGuiCommutat"), 1);
    CMotorTableSource::Install(nullptr);
}

TEST_F(MotorParametersTest, TheLayoutRestoresFineTuningAndItsChecks)
{
    Self* window = OpenReady();
    ASSERT_NE(window, nullptr);
    kvtest::Click(window->GetDlgItem(IDC_MP_FINE));
    kvtest::Click(window->GetDlgItem(IDC_MP_MANUAL));
    kvtest::Click(window->GetDlgItem(IDC_MP_THREE_PHASE));
    const CString path = m_engine.m_home.File("motor.lay").c_str();
    ASSERT_EQ(m_frame.m_list.SaveLayout(path, 0, 0), 1);
    m_frame.DestroyAllWindows();
    ASSERT_TRUE(Until([&] { return m_frame.m_list.IsEmpty(); }));
    ASSERT_EQ(m_frame.m_list.LoadLayout(path), 1);
    ASSERT_FALSE(m_frame.m_list.IsEmpty());
    auto* restored = static_cast<Self*>(m_frame.m_list.GetHead());
    ASSERT_TRUE(Until([&] { return restored->IsFine(); }));
    EXPECT_FALSE(restored->IsManual());
    EXPECT_EQ(restored->GetPhase(), 3);
    EXPECT_EQ(restored->IsDlgButtonChecked(IDC_MP_THREE_PHASE), static_cast<UINT>(BST_CHECKED));
}
