// The servo tuning window, its function generator dialog and the GVS
// calculator on the demo link's Kreln drive (velocity mode).
#include <algorithm>
#include <cmath>

#include "TuningWindowFixture.h"
#include "comm/demo/DemoRegisterCodes.h"
#include "distribution/parameters/GlobalParameterKinds.h"
#include "platform/core/IniFile.h"
#include "platform/ui/UserInput.h"
#include "resources/ids/CalculateGvsIds.h"
#include "resources/ids/SetupServoTuningIds.h"
#include "resources/ids/TuneFunctionGenIds.h"
#include "setup/tuning/windows/CalculateGvsDlg.h"
#include "setup/tuning/windows/QvxGuiTuneFunctionGenDlg.h"
#include "setup/tuning/windows/ServoScopeHost.h"

namespace {

constexpr WORD kEnable = 174;
constexpr WORD kFault = 20070;

class ScopeStandIn : public CServoScopeHost {
public:
    CString GetDataFolder() override { return "/data"; }
    void OpenScope(const CString& file) override { m_opened.push_back(file); }
    std::vector<CString> m_opened;
};

class ServoTuningTest : public TuningWindowFixture {
protected:
    // An enabled drive in position mode with its axis at `at`, the window showing both.
    void OpenEnabledInPositionModeAt(LONG at, CQvxGuiSetupServoTuningDlg*& window)
    {
        SetModel(1, demo_codes::MOD, 4);
        SetModel(1, 16995, at);
        window = OpenReady();
        ASSERT_NE(window, nullptr);
        Until([&] { return window->GetModeWord() == 4; });
        LONG position = 0;
        ASSERT_TRUE(Until([&] { return window->GetDriveValue(16995, position) && position == at; }));
        Enable(window);
    }
    // The position step from `base` to `target` with the test's settings.
    static void SetPositionStep(CQvxGuiSetupServoTuningDlg* window, double base, double target,
                                const TuningStepSettings& settings)
    {
        window->GetModes().Mode(2).m_base = base;
        window->GetModes().Mode(2).m_target = target;
        window->GetModes().m_settings = settings;
    }
    // The window with its drive's mode, conversions and polled values in.
    CQvxGuiSetupServoTuningDlg* OpenReady()
    {
        auto* window = Open<CQvxGuiSetupServoTuningDlg>("SERVO_TUNING");
        if (!window)
            return nullptr;
        EXPECT_TRUE(Until([&] {
            double value = 0;
            LONG gvs = 0;
            return window->GetDlgItem(IDC_ST_START)->IsWindowEnabled() && window->IsModeKnown() &&
                   window->GetDriveValue(7891, gvs) &&
                   m_table.GetParameterValue(1, GPD_A2E_VEL_GAIN, value) &&
                   m_table.GetParameterValue(1, GPD_A2E_VEL_TACH_GAIN, value) &&
                   m_table.GetParameterValue(1, GPD_A2E_CURRENT_GAIN, value) &&
                   m_table.GetParameterValue(1, GPD_ETF, value) && m_table.GetParameterValue(1, GPD_CS, value);
        }));
        return window;
    }
    void Enable(CQvxGuiSetupServoTuningDlg* window)
    {
        window->SendDriveEnable(1);
        ASSERT_TRUE(Until([&] { return window->GetEnableBit() == 1; }));
    }
    // A step of `counts` drive units in the velocity loop, whatever the demo's conversions.
    void SetVelocityStep(CQvxGuiSetupServoTuningDlg* window, int counts, double duration, double dwell, int steps)
    {
        TuningContext context;
        m_table.GetParameterValue(1, GPD_CS, context.cs);
        m_table.GetParameterValue(1, GPD_A2E_VEL_GAIN, context.velGain);
        m_table.GetParameterValue(1, GPD_A2E_VEL_TACH_GAIN, context.velTachGain);
        m_table.GetParameterValue(1, GPD_ETF, context.etf);
        CTFGAbstractBaseMode& velocity = window->GetModes().Mode(1);
        const double k = (context.cs > 15 && context.etf == 1.0) ? context.velTachGain : context.velGain;
        velocity.m_base = 0;
        velocity.m_target = (counts + 0.5) * k;
        TuningStepSettings& settings = window->GetModes().m_settings;
        settings.Duration = duration;
        settings.Dwell = dwell;
        settings.StepsPerTest = steps;
        settings.TestMode = steps > 0 ? 1 : 0;
        settings.Direction = 1;
    }
    void Start(CQvxGuiSetupServoTuningDlg* window)
    {
        AfxQueueScriptedAnswer(IDYES);
        kvtest::Click(window->GetDlgItem(IDC_ST_START));
        if (!window->IsTestRunning()) {
            CString lines;
            for (const CString& line : AfxTakeScriptedMessageLog())
                lines += line + "|";
            FAIL() << "not started: " << static_cast<const char*>(lines);
        }
    }
};

}  // namespace

TEST_F(ServoTuningTest, StartIsRefusedOnADisabledDriveAndOpeningWritesNothingThatMoves)
{
    auto* window = OpenReady();
    ASSERT_NE(window, nullptr);
    kvtest::Click(window->GetDlgItem(IDC_ST_START));
    EXPECT_FALSE(window->IsTestRunning());
    EXPECT_TRUE(Logged(AfxTakeScriptedMessageLog(), "Motor must be enabled to execute a step response."));
    window->SetDrive(2, 1);
    Until([&] { return window->GetDrive() == 2; });
    window->SendMessage(WM_CLOSE);
    Until([&] { return m_frame.m_list.IsEmpty(); });
    for (const CAmpMsg& write : TakeWrites())
        EXPECT_TRUE(write.m_code != 3 && write.m_code != 16995 && write.m_code != kEnable) << write.m_code;
}

TEST_F(ServoTuningTest, SampleTestWritesOncePerEdgeAndTheVelocityOvershoots)
{
    auto* window = OpenReady();
    ASSERT_NE(window, nullptr);
    Enable(window);
    SetVelocityStep(window, 1000, 0.5, 0.3, 2);
    ClearWrites();
    Start(window);
    EXPECT_TRUE(window->GetDlgItem(IDC_ST_REMAINING)->IsWindowVisible());
    CString text;
    window->GetDlgItemText(IDC_ST_REMAINING_LABEL, text);
    EXPECT_EQ(text, "Remaining:");
    EXPECT_FALSE(window->GetDlgItem(IDC_ST_SETUP_PARAMS)->IsWindowEnabled());
    // Closing is refused while the test runs.
    window->SendMessage(WM_CLOSE);
    EXPECT_TRUE(Logged(AfxTakeScriptedMessageLog(), "Please stop the function generator before closing this window"));
    EXPECT_TRUE(m_frame.m_list.Contains(window));
    LONG peak = 0;
    ASSERT_TRUE(Until(
        [&] {
            peak = std::max(peak, m_engine.Model(1, demo_codes::SVS));
            return !window->IsTestRunning();
        },
        15000));
    Until([&] { return Writes(1, 3).size() >= 5; });
    EXPECT_EQ(Writes(1, 3), (std::vector<LONG>{1000, 0, 1000, 0, 0}));
    EXPECT_TRUE(Writes(1, 16995).empty());
    EXPECT_GT(peak, 1100);  // the demo loop overshoots the step
    EXPECT_FALSE(window->GetDlgItem(IDC_ST_REMAINING)->IsWindowVisible());
    EXPECT_TRUE(window->GetDlgItem(IDC_ST_SETUP_PARAMS)->IsWindowEnabled());
}

TEST_F(ServoTuningTest, PositionModeStepsPscAndStopsWithZeroToCurrent)
{
    CQvxGuiSetupServoTuningDlg* window = nullptr;
    ASSERT_NO_FATAL_FAILURE(OpenEnabledInPositionModeAt(120, window));
    SetPositionStep(window, 100, 50, TuningStepSettings{0.2, 0.2, 1, 1, 1});
    ClearWrites();
    Start(window);
    ASSERT_TRUE(Until([&] { return !window->IsTestRunning(); }));
    Until([&] { return Writes(1, 16995).size() >= 2 && !Writes(1, 3).empty(); });
    EXPECT_EQ(Writes(1, 16995), (std::vector<LONG>{150, 100}));
    EXPECT_EQ(Writes(1, 3), (std::vector<LONG>{0}));
}

TEST_F(ServoTuningTest, AFirstMoveLongerThanTheStepWaitsForTheEngineerNamingTheDistance)
{
    CQvxGuiSetupServoTuningDlg* window = nullptr;
    ASSERT_NO_FATAL_FAILURE(OpenEnabledInPositionModeAt(196036, window));
    SetPositionStep(window, 0, 200, TuningStepSettings{0.2, 0.2, 1, 0, 1});
    ClearWrites();
    AfxTakeScriptedMessageLog();
    // "Start step response?" Yes; the long move is not confirmed.
    AfxQueueScriptedAnswer(IDYES);
    kvtest::Click(window->GetDlgItem(IDC_ST_START));
    EXPECT_FALSE(window->IsTestRunning());
    EXPECT_TRUE(Logged(AfxTakeScriptedMessageLog(), "The first step moves the axis 195836 counts, from 196036 to 200"));
    EXPECT_TRUE(Writes(1, 16995).empty());

    AfxQueueScriptedAnswer(IDYES);
    AfxQueueScriptedAnswer(IDYES);
    kvtest::Click(window->GetDlgItem(IDC_ST_START));
    EXPECT_TRUE(window->IsTestRunning());
    ASSERT_TRUE(Until([&] { return !Writes(1, 16995).empty(); }));
    EXPECT_EQ(Writes(1, 16995).front(), 200);
    kvtest::Click(window->GetDlgItem(IDC_ST_START));
}

TEST_F(ServoTuningTest, AFaultDisablingOrTheDriveChangingStopsTheTestForGood)
{
    auto* window = OpenReady();
    ASSERT_NE(window, nullptr);
    Enable(window);
    SetVelocityStep(window, 500, 0.2, 0.2, 0);

    // A fault during the test, seen through the 200 ms status poll.
    Start(window);
    ASSERT_TRUE(Until([&] { return !Writes(1, 3).empty(); }));
    SetModel(1, kFault, 8);
    ASSERT_TRUE(Until([&] { return !window->IsTestRunning(); }));
    EXPECT_TRUE(Logged(AfxTakeScriptedMessageLog(), "Step response cycle stopped due to motor fault."));
    EXPECT_TRUE(Until([&] { return Writes(1, 3).back() == 0; }));
    SetModel(1, kFault, 0);
    ASSERT_TRUE(Until([&] { return window->GetFaultWord() == 0; }));

    // Disabling the drive.
    ClearWrites();
    Start(window);
    ASSERT_TRUE(Until([&] { return !Writes(1, 3).empty(); }));
    window->SendDriveEnable(0);
    ASSERT_TRUE(Until([&] { return !window->IsTestRunning(); }));
    ASSERT_TRUE(Until([&] { return Writes(1, 3).back() == 0; }));

    // Changing the window's drive: the old drive gets its 0, the new one nothing.
    Enable(window);
    ClearWrites();
    Start(window);
    ASSERT_TRUE(Until([&] { return !Writes(1, 3).empty(); }));
    window->SetDrive(2, 1);
    EXPECT_FALSE(window->IsTestRunning());
    EXPECT_TRUE(Until([&] { return Writes(1, 3).back() == 0; }));
    AfxPumpMessagesUntil([] { return false; }, 300);  // time for any wrong write to the new drive
    EXPECT_TRUE(Writes(2, 3).empty());
    EXPECT_TRUE(Writes(2, 16995).empty());
}

TEST_F(ServoTuningTest, ExitQuestionAndErrorRepliesStopTheTest)
{
    auto* window = OpenReady();
    ASSERT_NE(window, nullptr);
    Enable(window);
    SetVelocityStep(window, 300, 0.2, 0.2, 0);
    Start(window);
    AfxQueueScriptedAnswer(IDCANCEL);
    EXPECT_EQ(window->CanExit(), 0);
    EXPECT_TRUE(window->IsTestRunning());
    AfxQueueScriptedAnswer(IDNO);
    EXPECT_EQ(window->CanExit(), 1);
    EXPECT_TRUE(window->IsTestRunning());
    AfxQueueScriptedAnswer(IDYES);
    EXPECT_EQ(window->CanExit(), 1);
    EXPECT_FALSE(window->IsTestRunning());

    // The link closing answers every write with an error: the test ends and nothing resumes.
    Start(window);
    m_engine.m_comm.CloseCommunications();
    ASSERT_TRUE(Until([&] { return !window->IsTestRunning(); }));
}

TEST_F(ServoTuningTest, LoopGainPercentBothWaysAndTheScopeFile)
{
    EXPECT_EQ(CQvxGuiSetupServoTuningDlg::LoopGainToDrive(50), 16384);
    EXPECT_EQ(CQvxGuiSetupServoTuningDlg::LoopGainToDrive(150), 32767);
    EXPECT_EQ(CQvxGuiSetupServoTuningDlg::LoopGainToDrive(-3), 0);
    EXPECT_DOUBLE_EQ(CQvxGuiSetupServoTuningDlg::LoopGainFromDrive(16384), 50.0);
    EXPECT_DOUBLE_EQ(CQvxGuiSetupServoTuningDlg::LoopGainFromDrive(-5), 0.0);
    EXPECT_DOUBLE_EQ(CQvxGuiSetupServoTuningDlg::LoopGainFromDrive(40000), 100.0);

    SetModel(1, 236, 8192);
    auto* window = OpenReady();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(Until([&] {
        CString shown;
        window->GetDlgItemText(IDC_ST_LOOP_GAIN_DRIVE, shown);
        return shown == "25.00";
    }));
    CWnd* edit = window->GetDlgItem(IDC_ST_LOOP_GAIN);
    window->SetDlgItemText(IDC_ST_LOOP_GAIN, "75");
    edit->SetFocus();
    window->OnOK();
    ASSERT_TRUE(Until([&] { return m_engine.Model(1, 236) == 24575; }));

    ScopeStandIn scope;
    CServoScopeHost::Install(&scope);
    kvtest::Click(window->GetDlgItem(IDC_ST_SCOPE));
    CServoScopeHost::Install(nullptr);
    ASSERT_EQ(scope.m_opened.size(), 1u);
    EXPECT_EQ(scope.m_opened[0], "/data/ServoScope_" + window->GetDriveName() + ".dat");
}

TEST_F(ServoTuningTest, FunctionGeneratorDialogValidatesAndKeepsTheTuningSection)
{
    auto* window = OpenReady();
    ASSERT_NE(window, nullptr);
    kvtest::Click(window->GetDlgItem(IDC_ST_SETUP_PARAMS));
    CQvxGuiTuneFunctionGenDlg* dialog = window->GetFunctionGenDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(window->GetDlgItem(IDC_ST_START)->IsWindowEnabled());
    CString label;
    dialog->GetDlgItemText(IDC_TFG_TARGET_LABEL, label);
    EXPECT_EQ(label, "Target Velocity (rpm):");

    struct Case {
        const char* duration;
        const char* dwell;
        const char* message;
    };
    for (const Case& c : {Case{"0.005", "0.1", "ERROR:\tDuration Range:0.01    ...   60.00"},
                          Case{"61", "0.1", "ERROR:\tDuration Range:"}, Case{"1", "61", "ERROR:\tDwell Range:"}}) {
        dialog->SetDlgItemText(IDC_TFG_DURATION, c.duration);
        dialog->SetDlgItemText(IDC_TFG_DWELL, c.dwell);
        kvtest::Click(dialog->GetDlgItem(IDOK));
        EXPECT_TRUE(Logged(AfxTakeScriptedMessageLog(), c.message)) << c.duration;
        ASSERT_EQ(window->GetFunctionGenDialog(), dialog);
    }
    // A velocity target beyond the register's 32767 counts.
    TuningContext context;
    m_table.GetParameterValue(1, GPD_A2E_VEL_GAIN, context.velGain);
    dialog->SetDlgItemText(IDC_TFG_DURATION, "0.25");
    dialog->SetDlgItemText(IDC_TFG_DWELL, "0.5");
    dialog->SetDlgItemText(IDC_TFG_TARGET, "1e12");
    kvtest::Click(dialog->GetDlgItem(IDOK));
    EXPECT_TRUE(Logged(AfxTakeScriptedMessageLog(), "ERROR:\tTarget Velocity\tRange:"));

    dialog->SetDlgItemText(IDC_TFG_TARGET, "0");
    kvtest::Click(dialog->GetDlgItem(IDC_TFG_SAMPLE));
    dialog->SetDlgItemText(IDC_TFG_STEPS, "40000");
    kvtest::Click(dialog->GetDlgItem(IDC_TFG_BIDIRECTIONAL));
    kvtest::Click(dialog->GetDlgItem(IDOK));
    EXPECT_TRUE(AfxTakeScriptedMessageLog().empty());
    ASSERT_TRUE(Until([&] { return window->GetFunctionGenDialog() == nullptr; }));
    EXPECT_TRUE(window->GetDlgItem(IDC_ST_START)->IsWindowEnabled());
    EXPECT_EQ(window->GetModes().m_settings.StepsPerTest, 32767);
    const CString ini = m_engine.m_app.m_iniPath.c_str();
    EXPECT_EQ(GetPrivateProfileInt("TUNING", "SR_Steps_Per_Test", 0, ini), 32767u);
    EXPECT_EQ(GetPrivateProfileInt("TUNING", "SR_Test_Direction", 5, ini), 0u);
    EXPECT_EQ(GetPrivateProfileInt("TUNING", "SR_Mode", 5, ini), 1u);
    char text[64] = {};
    GetPrivateProfileString("TUNING", "SR_Duration", "", text, sizeof text, ini);
    EXPECT_DOUBLE_EQ(std::atof(text), 0.25);
    GetPrivateProfileString("TUNING", "SR_Rise_Slew_Rate", "unwritten", text, sizeof text, ini);
    EXPECT_STREQ(text, "unwritten");
}

TEST_F(ServoTuningTest, GvsSendOnAnEnabledDriveDisablesItThenCompletes)
{
    SetModel(1, 210, 4000);
    SetModel(1, 7878, 32768);
    SetModel(1, 419, 0);
    SetModel(1, 7891, 5);
    auto* window = OpenReady();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(Until([&] {
        LONG tach = 0;
        return window->GetDriveValue(7878, tach) && tach == 32768;
    }));
    Enable(window);
    kvtest::Click(window->GetDlgItem(IDC_ST_GVS));
    CCalculateGvsDlg* gvs = window->GetGvsDialog();
    ASSERT_NE(gvs, nullptr);
    EXPECT_FALSE(window->GetDlgItem(IDC_ST_GVS)->IsWindowEnabled());
    EXPECT_EQ(gvs->GetWorkingGvs(), 5);
    AfxTakeScriptedMessageLog();

    // 16 kHz servo frequency: 3000 rpm gives GVS 9, whose maximum is 3840 rpm.
    gvs->SetDlgItemText(IDC_GVS_VELOCITY, "3000");
    gvs->OnOK();
    EXPECT_EQ(gvs->GetWorkingGvs(), 9);
    EXPECT_TRUE(Logged(AfxTakeScriptedMessageLog(), "adjusted to 3840 in order to reflect the max velocity for a calculated GVS of 9."));
    AfxQueueScriptedAnswer(IDYES);  // disable the drive now
    AfxQueueScriptedAnswer(IDYES);  // the warning
    kvtest::Click(gvs->GetDlgItem(IDC_GVS_SEND));
    ASSERT_TRUE(Until([&] { return m_engine.Model(1, 7891) == 9; }));
    EXPECT_EQ(window->GetEnableBit(), 0);
    EXPECT_FALSE(gvs->IsSendPending());
    const auto log = AfxTakeScriptedMessageLog();
    EXPECT_TRUE(Logged(log, "Drive must be disabled before GVS can be set.  Disable drive now?"));
    EXPECT_TRUE(Logged(log, "Send GVS=9 value to the drive?"));

    // Sending again: unchanged.
    ClearWrites();
    kvtest::Click(gvs->GetDlgItem(IDC_GVS_SEND));
    EXPECT_TRUE(Logged(AfxTakeScriptedMessageLog(), "GVS value has not changed"));
    AfxPumpMessagesUntil([] { return false; }, 200);
    EXPECT_TRUE(Writes(1, 7891).empty());
    kvtest::Click(gvs->GetDlgItem(IDCANCEL));
    ASSERT_TRUE(Until([&] { return window->GetGvsDialog() == nullptr; }));
    EXPECT_TRUE(window->GetDlgItem(IDC_ST_GVS)->IsWindowEnabled());
}

TEST_F(ServoTuningTest, GvsSendOfAVelocityWithoutAScaleSaysTheRangeAndLimitsTheEdit)
{
    SetModel(1, 210, 4000);
    SetModel(1, 7878, 32768);
    SetModel(1, 419, 0);
    SetModel(1, 7891, 5);
    auto* window = OpenReady();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(Until([&] {
        LONG tach = 0;
        return window->GetDriveValue(7878, tach) && tach == 32768;
    }));
    kvtest::Click(window->GetDlgItem(IDC_ST_GVS));
    CCalculateGvsDlg* gvs = window->GetGvsDialog();
    ASSERT_NE(gvs, nullptr);
    // 16 kHz servo frequency, 4000 counts, k = 1: GVS 12 allows 480 rpm, GVS 0 allows 1966080.
    const struct {
        const char* typed;
        const char* limited;
    } cases[] = {{"0", "480"}, {"-50", "480"}, {"abc", "480"}, {"nan", "480"}, {"5000000", "1966080"}};
    ClearWrites();
    for (const auto& c : cases) {
        AfxTakeScriptedMessageLog();
        gvs->SetDlgItemText(IDC_GVS_VELOCITY, c.typed);
        kvtest::Click(gvs->GetDlgItem(IDC_GVS_SEND));
        EXPECT_TRUE(Logged(AfxTakeScriptedMessageLog(), "Please enter max scaled velocity between 480.00 and 1966080.00."))
            << c.typed;
        CString shown;
        gvs->GetDlgItemText(IDC_GVS_VELOCITY, shown);
        EXPECT_EQ(shown, c.limited) << c.typed;
    }
    AfxPumpMessagesUntil([] { return false; }, 200);
    EXPECT_TRUE(Writes(1, 7891).empty());

    // Without encoder counts there is no range: the message names what is missing.
    SetModel(1, 210, 0);
    ASSERT_TRUE(Until([&] {
        LONG counts = 1;
        return window->GetDriveValue(210, counts) && counts == 0;
    }));
    AfxTakeScriptedMessageLog();
    gvs->SetDlgItemText(IDC_GVS_VELOCITY, "3000");
    kvtest::Click(gvs->GetDlgItem(IDC_GVS_SEND));
    const auto log = AfxTakeScriptedMessageLog();
    EXPECT_TRUE(Logged(log, "lacks encoder counts.")) << (log.empty() ? CString() : log.back()).GetString();
    EXPECT_FALSE(Logged(log, "between"));
    EXPECT_TRUE(Writes(1, 7891).empty());
    AfxQueueScriptedAnswer(IDYES);
    kvtest::Click(gvs->GetDlgItem(IDCANCEL));
}

TEST_F(ServoTuningTest, TheLayoutKeepsTheStepSettings)
{
    auto* window = OpenReady();
    ASSERT_NE(window, nullptr);
    window->GetModes().Mode(1).m_base = 12.5;
    window->GetModes().m_settings = TuningStepSettings{0.3, 0.2, 4, -1, 1};
    const CString path = m_engine.m_home.File("tuning.lay").c_str();
    ASSERT_EQ(m_frame.m_list.SaveLayout(path, 0, 0), 1);
    m_frame.DestroyAllWindows();
    ASSERT_TRUE(Until([&] { return m_frame.m_list.IsEmpty(); }));
    ASSERT_EQ(m_frame.m_list.LoadLayout(path), 1);
    ASSERT_FALSE(m_frame.m_list.IsEmpty());
    auto* restored = static_cast<CQvxGuiSetupServoTuningDlg*>(m_frame.m_list.GetHead());
    ASSERT_TRUE(Until([&] { return restored->GetGenerator() != nullptr; }));
    EXPECT_DOUBLE_EQ(restored->GetModes().Mode(1).m_base, 12.5);
    const TuningStepSettings& settings = restored->GetModes().m_settings;
    EXPECT_DOUBLE_EQ(settings.Duration, 0.3);
    EXPECT_DOUBLE_EQ(settings.Dwell, 0.2);
    EXPECT_EQ(settings.StepsPerTest, 4);
    EXPECT_EQ(settings.Direction, -1);
    EXPECT_EQ(settings.TestMode, 1);
}
