#include <gtest/gtest.h>

#include "TavroCommutationFixture.h"
#include "comm/demo/DemoRegisterCodes.h"
#include "framework/QvxGuiToolbar.h"
#include "setup/motor/CommutationConfigLayout.h"
#include "framework/tests/FakeGuiAppServices.h"
#include "database/QvxDatabase.h"
#include "database/QvxDatabaseRecordset.h"
#include "database/windows/SelectAbsEncFromDbDlg.h"
#include "resources/ids/SelectAbsEncFromDbIds.h"
#include "platform/ui/DialogTemplate.h"
#include "platform/ui/UserInput.h"
#include "resources/ids/TavroCommutationAddCalcIds.h"
#include "setup/motor/windows/MotorProcedureWindowClasses.h"
#include "setup/motor/windows/QvxAutoPhasingDlg.h"
#include "testing/WindowShot.h"

IMPLEMENT_DYNCREATE(CTavroSheetStandInChild, CGuiUpdateDlg)

BEGIN_MESSAGE_MAP(CTavroSheetStandInChild, CGuiUpdateDlg)
    ON_WM_CLOSE()
END_MESSAGE_MAP()

namespace {
constexpr UINT kTavroSheetStandInTemplate = 9738;
const char kTavroSheetStandInTemplates[] = R"(
DIALOG 9738 0 0 140 40 "Procedure"
STYLE POPUP CAPTION SYSMENU
PUSHBUTTON IDCANCEL 80 20 50 14 "Close"
END
)";
}  // namespace

CTavroSheetStandInChild::CTavroSheetStandInChild() : CGuiUpdateDlg(kTavroSheetStandInTemplate) {}

void CTavroSheetStandInChild::OnClose()
{
    if (CMotorProcedureOwner* owner = Owner())
        owner->OnProcedureWindowClosed(this);
    CGuiUpdateDlg::OnClose();
}

void CTavroSheetStandInChild::Register(CGuiUpdateDlgIdMap& registry)
{
    AfxRegisterDialogTemplates(kTavroSheetStandInTemplates);
    registry.RegisterGui("TAVRO_AUTOPHASING", RUNTIME_CLASS(CTavroSheetStandInChild), 4, 0);
    registry.RegisterGui("TAVRO_ANAMOTORCALIB", RUNTIME_CLASS(CTavroSheetStandInChild), 4, 0);
}

// ---------------------------------------------------------------------------
void TavroCommutationTest::PrepareDrives()
{
    SetServoFrequency(kTavro);
    SetHardware(0x200);
    const std::pair<WORD, LONG> registers[] = {
        {kCim, 1},     {kMft, 0x01}, {419, 0},       {kLines, 1000}, {kPoles, 8},    {7891, 5},
        {3596, 100},   {3181, 0},    {3378, 100},    {3732, 125},    {9859, 12},     {kOutputWord, 0x92},
        {3171, 1},     {3186, 1000}, {3251, 4294967}, {3343, 0},     {13345, 0},     {6322, 0},
    };
    for (const auto& [code, value] : registers)
        SetRegister(kTavro, code, value);
}

void TavroCommutationTest::SetHardware(LONG word)
{
    using namespace demo_codes;
    SetIndexed(kTavro, MDL, MDI, 14, word);
}

CQvxGuiTavroCommutationSheet* TavroCommutationTest::Open()
{
    auto* sheet = dynamic_cast<CQvxGuiTavroCommutationSheet*>(
        m_frame.m_registry.CreateGui("TAVRO_COMMUTATION_SETTINGS", nullptr, 1));
    if (!sheet)
        return nullptr;
    EXPECT_TRUE(Wait([&] {
        return sheet->GetDrive() == kTavro && sheet->AreStagesDone() && sheet->GetConfigPage().AreStagesDone() &&
               sheet->GetFeedbackPage().AreStagesDone() && sheet->GetLinearOrRotary() != -1 &&
               sheet->GetSubDlg().GetMotorType() != 0;
    }));
    // The working columns hold the drive's poles and lines.
    EXPECT_TRUE(Wait([&] {
        double poles = 0, lines = 0;
        return sheet->GetConfigPage().GetWorkingPoles(poles) && sheet->GetFeedbackPage().GetWorkingLines(lines);
    }));
    Settle();
    return sheet;
}

std::vector<WORD> TavroCommutationTest::Written()
{
    CAmpMsg message;
    DWORD tag = 0;
    while (m_trace.GetNextItem(message, tag))
        if (tag == 1 && message.HasValue())
            m_written.push_back(message);
    // Index registers are written by every indexed read: they are not settings.
    std::vector<WORD> codes;
    for (const CAmpMsg& written : m_written)
        if (written.m_code != 13449 && written.m_code != 1449 && written.m_code != 1193)
            codes.push_back(written.m_code);
    return codes;
}

// ---------------------------------------------------------------------------
TEST_F(TavroCommutationTest, ShowsTheDriveAndSendsCountsLast)
{
    CQvxGuiTavroCommutationSheet* sheet = Open();
    ASSERT_NE(sheet, nullptr);
    CQvxGuiTavroCommutationSubDlg& sub = sheet->GetSubDlg();
    CQvxGuiTavroCommutationConfigPpg& config = sheet->GetConfigPage();
    CQvxGuiTavroCommutationFeedbackConfigPpg& feedback = sheet->GetFeedbackPage();
    EXPECT_TRUE(Checked(&sub, IDC_CSUB_BRUSHLESS));
    EXPECT_TRUE(Checked(&sub, IDC_CSUB_QUADRATURE));
    EXPECT_TRUE(Checked(&sub, IDC_CSUB_ROTARY_DRIVE));
    EXPECT_TRUE(Wait([&] { return Text(&config, IDC_CCFG_POLES_DRIVE) == "8"; })) << Text(&config, IDC_CCFG_POLES_DRIVE).GetString();
    EXPECT_TRUE(Wait([&] { return Text(&feedback, IDC_CFBK_LINES_DRIVE) == "1000"; }))
        << Text(&feedback, IDC_CFBK_LINES_DRIVE).GetString();
    EXPECT_TRUE(Wait([&] { return Text(&feedback, IDC_CFBK_LINES_WORK) == "1000"; }))
        << Text(&feedback, IDC_CFBK_LINES_WORK).GetString();
    // Brushless with quadrature only: smart commutation, no auto-phase.
    EXPECT_TRUE(config.GetDlgItem(IDC_CCFG_SMART_BOX)->IsWindowVisible());
    EXPECT_FALSE(config.GetDlgItem(IDC_CCFG_AUTOPHASE_BOX)->IsWindowVisible());
    EXPECT_EQ(config.GetSelectedMethod(), 1);
    EXPECT_EQ(Text(&config, IDC_CCFG_INIT_DRIVE_TEXT), "Smart Comm");
    // CPL 100 with 1000 lines, GVS 5 at 10 kHz: 100 x 1000 x 32 x 24000 / (10000 x 2^31) deg/krpm.
    EXPECT_TRUE(Wait([&] { return Text(&config, IDC_CCFG_PHASE_WORK) == "0.004"; }))
        << Text(&config, IDC_CCFG_PHASE_WORK).GetString();
    EXPECT_EQ(Text(&config, IDC_CCFG_PHASE_DRIVE), "0.004");

    EXPECT_EQ(sheet->GetPendingChangesState(0), 2);
    config.PolesEdit().SetValueText("6");
    EXPECT_EQ(Text(&config, IDC_CCFG_POLES_WORK), "6");
    EXPECT_EQ(sheet->GetPendingChangesState(0), 1);
    StartTrace();
    kvtest::Click(&sheet->GetSendButton());
    ASSERT_TRUE(Wait([&] { return Register(kTavro, 3251) == 1073742; })) << Register(kTavro, 3251);
    EXPECT_EQ(Register(kTavro, 3186), 4000);
    EXPECT_EQ(Register(kTavro, 3171), 3);
    EXPECT_EQ(Register(kTavro, kPoles), 6);
    EXPECT_EQ(Register(kTavro, kMft), 1);
    ASSERT_TRUE(Wait([&] { return IndexOf(Written(), 3251) >= 0; }));
    const std::vector<WORD> codes = Written();
    const int poles = IndexOf(codes, kPoles), mft = IndexOf(codes, kMft), mc = IndexOf(codes, 419),
              ccc = IndexOf(codes, 3171), ccr = IndexOf(codes, 3186), ces = IndexOf(codes, 3251);
    EXPECT_TRUE(poles >= 0 && poles < mft && mft < mc && mc < ccc && ccc < ccr && ccr < ces)
        << poles << " " << mft << " " << mc << " " << ccc << " " << ccr << " " << ces;
    EXPECT_GE(IndexOf(codes, kCim), 0);
    EXPECT_EQ(Register(kTavro, kCim), 1);
}

TEST_F(TavroCommutationTest, NothingReachesAnEnabledDrive)
{
    CQvxGuiTavroCommutationSheet* sheet = Open();
    ASSERT_NE(sheet, nullptr);
    CQvxGuiTavroCommutationSubDlg& sub = sheet->GetSubDlg();
    CQvxGuiTavroCommutationConfigPpg& config = sheet->GetConfigPage();
    config.PolesEdit().SetValueText("6");
    SetRegister(kTavro, demo_codes::SSA, 0x100);
    ASSERT_TRUE(Wait([&] { return sheet->GetEnableBit() && config.GetEnableBit(); }));
    Boxes();
    StartTrace();

    kvtest::Click(sub.GetDlgItem(IDC_CSUB_HALL));
    EXPECT_FALSE(Checked(&sub, IDC_CSUB_HALL));
    kvtest::Click(sub.GetDlgItem(IDC_CSUB_QUADRATURE));
    EXPECT_TRUE(Checked(&sub, IDC_CSUB_QUADRATURE));
    std::vector<CString> boxes = Boxes();
    EXPECT_TRUE(Shown(boxes, "Please DISABLE drive before changing the feedback type."));

    kvtest::Click(&sheet->GetSendButton());
    EXPECT_TRUE(Shown(Boxes(), "Please DISABLE drive before sending data."));
    CString reply;
    sheet->ExecuteCommand("SENDTOAMP(-1)", reply);
    EXPECT_TRUE(Shown(Boxes(), "Please DISABLE drive before sending data."));
    // The page alone (a script's send) refuses as a whole as well.
    EXPECT_EQ(config.SendGroup(-1), 0);
    EXPECT_TRUE(Shown(Boxes(), "Please DISABLE drive before changing the commutation init mode."));
    Settle();
    const std::vector<WORD> codes = Written();
    EXPECT_TRUE(codes.empty()) << codes.size() << " " << (codes.empty() ? 0 : codes[0]);
    EXPECT_EQ(Register(kTavro, kPoles), 8);
}

TEST_F(TavroCommutationTest, CountsThatCannotBeComputedStopTheSendBeforeAnyWrite)
{
    CQvxGuiTavroCommutationSheet* sheet = Open();
    ASSERT_NE(sheet, nullptr);
    CQvxGuiTavroCommutationSubDlg& sub = sheet->GetSubDlg();
    kvtest::Click(sub.GetDlgItem(IDC_CSUB_LINEAR_WORK));
    ASSERT_EQ(sheet->GetLinearOrRotary(), 1);
    EXPECT_EQ(Text(&sheet->GetConfigPage(), IDC_CCFG_POLES_LABEL), "Pole Pitch (.01 mm)");
    // The linear defaults take the place of the rotary entries.
    EXPECT_EQ(Text(&sheet->GetConfigPage(), IDC_CCFG_POLES_WORK), "5000");
    EXPECT_EQ(Text(&sheet->GetFeedbackPage(), IDC_CFBK_LINES_WORK), "5.00");
    // A pitch of 0 has no counts.
    sheet->GetConfigPage().PolesEdit().SetValueText("0");
    Boxes();
    StartTrace();
    kvtest::Click(&sheet->GetSendButton());
    EXPECT_TRUE(Shown(Boxes(), "Unable to set CCC, CCR and CES registers"));
    Settle();
    EXPECT_TRUE(Written().empty()) << Written().size();
    EXPECT_EQ(Register(kTavro, 419), 0);
    EXPECT_EQ(Register(kTavro, 3186), 1000);
    // Back to rotary: the entries it had before.
    kvtest::Click(sub.GetDlgItem(IDC_CSUB_ROTARY_WORK));
    EXPECT_EQ(Text(&sheet->GetConfigPage(), IDC_CCFG_POLES_WORK), "8");
    EXPECT_EQ(Text(&sheet->GetFeedbackPage(), IDC_CFBK_LINES_WORK), "1000");
}

TEST_F(TavroCommutationTest, SwitchingMotorTypeAndBackRestoresItsFeedback)
{
    SetRegister(kTavro, kMft, 0x21);  // quadrature and Hall
    CQvxGuiTavroCommutationSheet* sheet = Open();
    ASSERT_NE(sheet, nullptr);
    CQvxGuiTavroCommutationSubDlg& sub = sheet->GetSubDlg();
    ASSERT_TRUE(Checked(&sub, IDC_CSUB_HALL));
    // The sheet takes a choice on its next tick.
    const auto pick = [&](int id, int method) {
        kvtest::Click(sub.GetDlgItem(id));
        EXPECT_TRUE(Wait([&] { return sheet->GetConfigPage().GetSelectedMethod() == method; }));
    };
    pick(IDC_CSUB_BRUSH, 2);
    EXPECT_FALSE(sub.GetDlgItem(IDC_CSUB_HALL)->IsWindowEnabled());
    EXPECT_FALSE(Checked(&sub, IDC_CSUB_HALL));
    kvtest::Click(sub.GetDlgItem(IDC_CSUB_TACH));
    EXPECT_EQ(sub.GetFeedbackMask(), 0x11);
    pick(IDC_CSUB_BRUSHLESS, 3);
    EXPECT_EQ(sub.GetFeedbackMask(), 0x21);
    pick(IDC_CSUB_BRUSH, 2);
    EXPECT_EQ(sub.GetFeedbackMask(), 0x11);
}

// The drive's method and feedback read again (the toolbar's refresh) while the
// user's picks wait to be sent: the drive's side shows them, the picks stay until
// Send, after which the window follows the drive again.
TEST_F(TavroCommutationTest, AReadBackLeavesTheUsersUnsentPicksUntilSend)
{
    CQvxGuiTavroCommutationSheet* sheet = Open();
    ASSERT_NE(sheet, nullptr);
    CQvxGuiTavroCommutationSubDlg& sub = sheet->GetSubDlg();
    CQvxGuiTavroCommutationConfigPpg& config = sheet->GetConfigPage();
    const auto readBack = [&](LONG cim, LONG mft) {
        SetRegister(kTavro, kCim, cim);
        SetRegister(kTavro, kMft, mft);
        sheet->SendMessage(WM_COMMAND, kToolbarButtonCommand);
        const CString name = CCommutationConfigLayout::MethodName(static_cast<int>(cim));
        EXPECT_TRUE(Wait([&] {
            double poles = 0, lines = 0;
            return Text(&config, IDC_CCFG_INIT_DRIVE_TEXT) == name && config.GetWorkingPoles(poles) &&
                   sheet->GetFeedbackPage().GetWorkingLines(lines);
        }));
        Settle();
    };
    kvtest::Click(sub.GetDlgItem(IDC_CSUB_BRUSH));
    ASSERT_TRUE(Wait([&] { return config.GetSelectedMethod() == 2; }));
    kvtest::Click(sub.GetDlgItem(IDC_CSUB_TACH));
    ASSERT_EQ(sub.GetFeedbackMask(), 0x11);

    readBack(5, 0x00);  // induction, no feedback
    EXPECT_TRUE(Checked(&sub, IDC_CSUB_BRUSH));
    EXPECT_EQ(sub.GetMotorType(), 2);
    EXPECT_EQ(sub.GetFeedbackMask(), 0x11);
    EXPECT_EQ(config.GetSelectedMethod(), 2);
    EXPECT_EQ(sheet->GetPendingChangesState(0), 1);

    // Back to brushless, with Hall as well, and sent.
    kvtest::Click(sub.GetDlgItem(IDC_CSUB_BRUSHLESS));
    ASSERT_TRUE(Wait([&] { return config.GetSelectedMethod() != 2; }));
    kvtest::Click(sub.GetDlgItem(IDC_CSUB_HALL));
    Settle();
    const int method = config.GetSelectedMethod();
    readBack(5, 0x00);
    EXPECT_EQ(sub.GetFeedbackMask(), 0x21);
    EXPECT_EQ(config.GetSelectedMethod(), method);
    kvtest::Click(&sheet->GetSendButton());
    ASSERT_TRUE(Wait([&] { return Register(kTavro, kCim) == method && Register(kTavro, kMft) == 0x21; }))
        << Register(kTavro, kCim) << " " << Register(kTavro, kMft) << " " << ::testing::PrintToString(Boxes());
    readBack(2, 0x01);  // brush with quadrature
    EXPECT_TRUE(Checked(&sub, IDC_CSUB_BRUSH));
    EXPECT_EQ(sub.GetFeedbackMask(), 0x01);
    EXPECT_EQ(config.GetSelectedMethod(), 2);
}

TEST_F(TavroCommutationTest, OutputWordKeepsTheBitsThePageDoesNotOffer)
{
    CQvxGuiTavroCommutationSheet* sheet = Open();
    ASSERT_NE(sheet, nullptr);
    CQvxGuiTavroCommutationFeedbackConfigPpg& feedback = sheet->GetFeedbackPage();
    CComboBox* divisor = dynamic_cast<CComboBox*>(feedback.GetDlgItem(IDC_CFBK_DIVISOR));
    ASSERT_NE(divisor, nullptr);
    std::vector<CString> offered;
    for (int i = 0; i < divisor->GetCount(); ++i) {
        CString text;
        divisor->GetLBText(i, text);
        offered.push_back(text);
    }
    EXPECT_EQ(offered, (std::vector<CString>{"1", "2", "4", "5", "8"}));
    EXPECT_NE(feedback.GetControlList().FindControl("Tach Gain"), nullptr);
    EXPECT_NE(feedback.GetControlList().FindControl("Tach Scale"), feedback.GetControlList().FindControl("Tach Gain"));
    EXPECT_TRUE(Checked(&feedback, IDC_CFBK_OUTPUT_REVERSE_DRIVE));
    EXPECT_EQ(Text(&feedback, IDC_CFBK_DIVISOR_DRIVE), "2");
    ASSERT_TRUE(kvtest::PickItem(divisor, 2));
    EXPECT_EQ(feedback.GetPendingChangesState(0), 1);
    kvtest::Click(&sheet->GetSendButton());
    // Divisor 4, EZ mode 1 and the reverse bit as read.
    EXPECT_TRUE(Wait([&] { return Register(kTavro, kOutputWord) == 0x94; })) << Register(kTavro, kOutputWord);
}

TEST_F(TavroCommutationTest, AdditionalCalculationsShowZeroCountsPerCycleWithoutCycles)
{
    SetRegister(kTavro, 3171, 0);
    CQvxGuiTavroCommutationSheet* sheet = Open();
    ASSERT_NE(sheet, nullptr);
    CString working, drive;
    kvtest::OnNextModal([&](CWnd* dialog) {
        working = Text(dialog, IDC_ADDCALC_COUNTS_PER_CYCLE);
        drive = Text(dialog, IDC_ADDCALC_COUNTS_PER_CYCLE_DRIVE);
        kvtest::Click(dialog->GetDlgItem(IDOK));
    });
    Boxes();
    kvtest::Click(sheet->GetFeedbackPage().GetDlgItem(IDC_CFBK_ADDITIONAL));
    EXPECT_TRUE(Shown(Boxes(), "Could not calculate additional parameters."));
    EXPECT_EQ(atof(working), 1000.0) << working.GetString();
    EXPECT_EQ(atof(drive), 0.0) << drive.GetString();
}

TEST_F(TavroCommutationTest, AdditionalCalculationsShowSignedFormattedValuesAndNameWhatIsMissing)
{
    SetRegister(kTavro, 3171, 4096);
    SetRegister(kTavro, 3186, -367);
    CQvxGuiTavroCommutationSheet* sheet = Open();
    ASSERT_NE(sheet, nullptr);
    CString perCycle, rollover, cycles, workingPerCycle;
    kvtest::OnNextModal([&](CWnd* dialog) {
        perCycle = Text(dialog, IDC_ADDCALC_COUNTS_PER_CYCLE_DRIVE);
        rollover = Text(dialog, IDC_ADDCALC_ROLLOVER_DRIVE);
        cycles = Text(dialog, IDC_ADDCALC_CYCLES_DRIVE);
        workingPerCycle = Text(dialog, IDC_ADDCALC_COUNTS_PER_CYCLE);
        kvtest::Click(dialog->GetDlgItem(IDOK));
    });
    Boxes();
    kvtest::Click(sheet->GetFeedbackPage().GetDlgItem(IDC_CFBK_ADDITIONAL));
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(perCycle, "-0.09");
    EXPECT_EQ(rollover, "-367");
    EXPECT_EQ(cycles, "4096");
    EXPECT_EQ(workingPerCycle, "1000.00");

    // Entries that give no counts: the message says which.
    sheet->GetFeedbackPage().GetDlgItem(IDC_CFBK_LINES_WORK)->SetWindowText("");
    kvtest::Click(sheet->GetFeedbackPage().GetDlgItem(IDC_CFBK_ADDITIONAL));
    const std::vector<CString> boxes = Boxes();
    EXPECT_TRUE(Shown(boxes, "Could not calculate additional parameters.")) << boxes.size();
    EXPECT_TRUE(Shown(boxes, "The working Lines per Revolution has no value."))
        << (boxes.empty() ? CString() : boxes.back()).GetString();
}

TEST_F(TavroCommutationTest, AutoPhasingOpensByNameAndHandsBackItsButton)
{
    SetRegister(kTavro, kCim, 3);
    SetRegister(kTavro, kMft, 0x21);
    CQvxGuiTavroCommutationSheet* sheet = Open();
    ASSERT_NE(sheet, nullptr);
    CQvxGuiTavroCommutationConfigPpg& config = sheet->GetConfigPage();
    CWnd* button = config.GetDlgItem(IDC_CCFG_AUTOPHASE_BUTTON);
    ASSERT_TRUE(button->IsWindowVisible());
    kvtest::Click(button);
    auto* child = dynamic_cast<CTavroSheetStandInChild*>(config.GetAutoPhasingWindow());
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(child->GetDrive(), kTavro);
    EXPECT_FALSE(button->IsWindowEnabled());
    ASSERT_EQ(child->Owner(), static_cast<CMotorProcedureOwner*>(&config));
    child->Owner()->OnProcedureRunning(true);
    EXPECT_EQ(config.GetControlList().FindControl("Phase Alignment Offset")->IsPolling(), 0);
    child->Owner()->OnProcedureRunning(false);
    EXPECT_NE(config.GetControlList().FindControl("Phase Alignment Offset")->IsPolling(), 0);
    child->SendMessage(WM_CLOSE);
    EXPECT_TRUE(button->IsWindowEnabled());
    EXPECT_EQ(config.GetAutoPhasingWindow(), nullptr);

    // Quadrature alone takes smart commutation: the auto-phasing window goes.
    kvtest::Click(button);
    ASSERT_NE(config.GetAutoPhasingWindow(), nullptr);
    CGuiUpdateDlg* second = config.GetAutoPhasingWindow();
    kvtest::Click(sheet->GetSubDlg().GetDlgItem(IDC_CSUB_HALL));
    EXPECT_TRUE(Wait([&] { return !m_frame.m_list.Contains(second); }));
    EXPECT_EQ(config.GetAutoPhasingWindow(), nullptr);
}

// ---------------------------------------------------------------------------
namespace {
const char kMotors[] =
    "<tabledef>\n"
    "<fieldname=\"ID\", type=AUTOINCID>\n"
    "<fieldname=\"PartNum\", type=STRING>\n"
    "<fieldname=\"MotorType\", type=STRING>\n"
    "<fieldname=\"LinOrRot\", type=STRING>\n"
    "<fieldname=\"LinesPerRev\", type=STRING>\n"
    "<fieldname=\"NumPoles\", type=STRING>\n"
    "</tabledef>\n"
    "{\"1\", \"BL-2048\", \"Brushless\", \"Rotary\", \"2048\", \"4\"}\n"
    "{\"2\", \"BR-NONE\", \"Brush\", \"Rotary\", \"n/a\", \"2\"}\n";
const char kEncoders[] =
    "<tabledef>\n"
    "<fieldname=\"ID\", type=AUTOINCID>\n"
    "<fieldname=\"Manufacturer\", type=STRING>\n"
    "<fieldname=\"Model\", type=STRING>\n"
    "<fieldname=\"SingleTurn\", type=STRING>\n"
    "<fieldname=\"MultiTurn\", type=STRING>\n"
    "<fieldname=\"Frequency\", type=STRING>\n"
    "<fieldname=\"AlignBits\", type=STRING>\n"
    "<fieldname=\"CDSBits\", type=STRING>\n"
    "<fieldname=\"Protocol\", type=STRING>\n"
    "</tabledef>\n"
    "{\"1\", \"Tamagawa\", \"TS5700\", \"17\", \"16\", \"2.5\", \"3\", \"0\", \"t-format\"}\n"
    "{\"2\", \"Heidenhain\", \"EQN1325\", \"13\", \"12\", \"2\", \"4\", \"0\", \"EnDat\"}\n";
}  // namespace

class TavroCommutationDatabaseTest : public TavroCommutationTest {
protected:
    void SetUp() override
    {
        m_home.Write("QvxMotorDB.txt", kMotors);
        m_home.Write("AbsEncDB.txt", kEncoders);
        CString error;
        ASSERT_TRUE(m_database.LoadTable(m_home.File("QvxMotorDB.txt").c_str(), &error)) << error.GetString();
        ASSERT_TRUE(m_database.LoadTable(m_home.File("AbsEncDB.txt").c_str(), &error)) << error.GetString();
        ASSERT_TRUE(m_database.OpenRecordset("MotorByPartNum", "QvxMotorDB", "PartNum", "", "", 0));
        ASSERT_TRUE(m_database.OpenRecordset("AbsEncByModel", "AbsEncDB", "Model", "", "", 0));
        CQvxGuiTavroCommutationSheet::SetDatabase(&m_database);
        TavroCommutationTest::SetUp();
    }
    void TearDown() override
    {
        TavroCommutationTest::TearDown();
        CQvxGuiTavroCommutationSheet::SetDatabase(nullptr);
    }
    CQvxDatabaseRecordset* Recordset(const char* name) { return m_database.FindRecordset(name); }

    CQvxDatabase m_database;
};

TEST_F(TavroCommutationDatabaseTest, AMotorPickedFromTheDatabaseSetsTypeFeedbackPolesAndLines)
{
    SetRegister(kTavro, kCim, 5);  // induction
    SetRegister(kTavro, kMft, 0);
    CQvxGuiTavroCommutationSheet* sheet = Open();
    ASSERT_NE(sheet, nullptr);
    CQvxGuiTavroCommutationSubDlg& sub = sheet->GetSubDlg();
    ASSERT_TRUE(Checked(&sub, IDC_CSUB_INDUCTION));
    ASSERT_TRUE(Recordset("MotorByPartNum")->FindFirst("PartNum", "BL-2048"));
    EXPECT_TRUE(Wait([&] {
        return Text(&sheet->GetFeedbackPage(), IDC_CFBK_LINES_WORK) == "2048" &&
               Text(&sheet->GetConfigPage(), IDC_CCFG_POLES_WORK) == "4";
    })) << Text(&sheet->GetFeedbackPage(), IDC_CFBK_LINES_WORK).GetString() << " "
        << Text(&sheet->GetConfigPage(), IDC_CCFG_POLES_WORK).GetString();
    EXPECT_TRUE(Checked(&sub, IDC_CSUB_BRUSHLESS));
    EXPECT_TRUE(Checked(&sub, IDC_CSUB_QUADRATURE));
    EXPECT_EQ(sheet->GetConfigPage().GetSelectedMethod(), 1);
    // 4 poles and 2048 lines: 8192 counts over 2 pairs, both divisible by 2.
    const std::optional<CommutationCounts> counts = sheet->ComputeWorkingCounts();
    ASSERT_TRUE(counts.has_value());
    EXPECT_EQ(counts->counts, 4096);
    EXPECT_EQ(counts->cycles, 1);
    // The picked entries are what the send writes.
    kvtest::Click(&sheet->GetSendButton());
    EXPECT_TRUE(Wait([&] { return Register(kTavro, 3186) == 4096; })) << Register(kTavro, 3186);
    EXPECT_EQ(Register(kTavro, kLines), 2048);
    EXPECT_EQ(Register(kTavro, kPoles), 4);
    EXPECT_EQ(Register(kTavro, kCim), 1);
    // Read back, the drive matches the window again: the sent type has come back from the drive.
    EXPECT_TRUE(Wait([&] {
        return sub.GetDriveValue(sub.DriveCim()) == 1 && !sub.DriveChangesPending() &&
               sheet->GetPendingChangesState(0) == 2 && Checked(&sub, IDC_CSUB_QUADRATURE);
    }));

    // A motor without encoder lines takes the encoder boxes away.
    ASSERT_TRUE(Recordset("MotorByPartNum")->FindFirst("PartNum", "BR-NONE"));
    EXPECT_TRUE(Wait([&] { return Checked(&sub, IDC_CSUB_BRUSH) && !Checked(&sub, IDC_CSUB_QUADRATURE); }));
}

TEST_F(TavroCommutationDatabaseTest, AnEncoderPickedFromTheDatabaseFillsTheAbsoluteEncoderBox)
{
    SetHardware(0x8200);
    SetRegister(kTavro, kCim, 9);
    SetRegister(kTavro, kMft, 0x08);
    CQvxGuiTavroCommutationSheet* sheet = Open();
    ASSERT_NE(sheet, nullptr);
    CQvxGuiTavroCommutationFeedbackConfigPpg& feedback = sheet->GetFeedbackPage();
    sheet->SelectPage(&feedback);
    ASSERT_TRUE(Wait([&] { return feedback.GetDlgItem(IDC_CFBK_ABS_BOX)->IsWindowVisible(); }));
    CQvxDatabaseRecordset* encoders = Recordset("AbsEncByModel");
    // "Populate From Database": the manufacturer, then its model, as picked from the lists.
    kvtest::OnNextModal([](CWnd* dialog) {
        auto* picker = dynamic_cast<CSelectAbsEncFromDbDlg*>(dialog);
        ASSERT_NE(picker, nullptr);
        picker->OnPopupSelection(1, "Tamagawa");
        picker->OnPopupSelection(2, "TS5700");
        kvtest::Click(dialog->GetDlgItem(IDC_SAE_OK));
    });
    kvtest::Click(feedback.GetDlgItem(IDC_CFBK_POPULATE));
    EXPECT_TRUE(encoders->filterField.IsEmpty());
    EXPECT_EQ(Text(&feedback, IDC_CFBK_SINGLE_WORK), "17");
    EXPECT_EQ(Text(&feedback, IDC_CFBK_PROTOCOL), "T-format");
    // T-format carries no alignment bits.
    EXPECT_EQ(Text(&feedback, IDC_CFBK_ALIGN_WORK), "0");
    EXPECT_FALSE(feedback.GetDlgItem(IDC_CFBK_ALIGN_WORK)->IsWindowEnabled());

    ASSERT_TRUE(encoders->FindFirst("Model", "EQN1325"));
    encoders->NotifyClientsRefresh();
    EXPECT_EQ(Text(&feedback, IDC_CFBK_PROTOCOL), "Endat2.2");
    EXPECT_TRUE(feedback.GetDlgItem(IDC_CFBK_ALIGN_WORK)->IsWindowEnabled());
    Screenshot(sheet, "tavro_commutation_abs_encoder");
    kvtest::Click(&sheet->GetSendButton());
    EXPECT_TRUE(Wait([&] { return Indexed(kTavro, 1200, 1193, 3) == 1; })) << Indexed(kTavro, 1200, 1193, 3);
    EXPECT_TRUE(Wait([&] { return Indexed(kTavro, 1200, 1193, 0) == 13; })) << Indexed(kTavro, 1200, 1193, 0);
    EXPECT_EQ(Indexed(kTavro, 1200, 1193, 4), 0x40);
}

// ---------------------------------------------------------------------------
TEST_F(TavroCommutationTest, PoleEntriesAreEvenAndWithinRange)
{
    CQvxGuiTavroCommutationSheet* sheet = Open();
    ASSERT_NE(sheet, nullptr);
    CQvxGuiEditCtrl& poles = sheet->GetConfigPage().PolesEdit();
    const struct {
        const char* typed;
        const char* shown;
        bool message;
    } cases[] = {{"7", "6", false}, {"1", "2", true}, {"101", "100", false}, {"103", "100", true}};
    for (const auto& c : cases) {
        Boxes();
        poles.SetValueText(c.typed);
        EXPECT_EQ(Text(&sheet->GetConfigPage(), IDC_CCFG_POLES_WORK), c.shown) << c.typed;
        EXPECT_EQ(Shown(Boxes(), "\"Number of Poles\" must be in the range 2 to 100."), c.message) << c.typed;
    }
}

TEST_F(TavroCommutationTest, RampNeedsAFinalCurrentAboveTheInitialOne)
{
    CQvxGuiTavroCommutationSheet* sheet = Open();
    ASSERT_NE(sheet, nullptr);
    CQvxGuiTavroCommutationConfigPpg& config = sheet->GetConfigPage();
    ASSERT_TRUE(Wait([&] { return atof(Text(&config, IDC_CCFG_RAMP_DRIVE)) > 0; }))
        << Text(&config, IDC_CCFG_RAMP_DRIVE).GetString();
    // The time shown, typed back unchanged, keeps its register.
    CString shown = Text(&config, IDC_CCFG_RAMP_WORK);
    config.GetControlList().FindControl("Ramping Time")->SetValueText(shown);
    SetRegister(kTavro, 3378, 7);
    kvtest::Click(&sheet->GetSendButton());
    EXPECT_TRUE(Wait([&] { return Register(kTavro, 3378) == 100; })) << Register(kTavro, 3378);

    // A final current below the initial one has no ramp: nothing is shown or sent.
    config.GetControlList().FindControl("Final Current")->SetValueText("0.001");
    EXPECT_TRUE(Wait([&] { return Text(&config, IDC_CCFG_RAMP_WORK) == "ERROR"; }))
        << Text(&config, IDC_CCFG_RAMP_WORK).GetString();
    SetRegister(kTavro, 3378, 7);
    StartTrace();
    kvtest::Click(&sheet->GetSendButton());
    ASSERT_TRUE(Wait([&] { return IndexOf(Written(), 3251) >= 0; })) << [] {
        std::string all;
        for (const CString& box : Boxes())
            all += box.GetString() + std::string("|");
        return all;
    }();
    EXPECT_EQ(IndexOf(Written(), 3378), -1);
    EXPECT_EQ(Register(kTavro, 3378), 7);
}

// The sheet with a program settings file of its own.
class TavroCommutationIniTest : public TavroCommutationTest {
protected:
    explicit TavroCommutationIniTest(const char* ini) : m_ini(ini) {}
    void SetUp() override
    {
        m_home.Write("kvfact.ini", m_ini);
        m_services = std::make_unique<FakeGuiAppServices>(m_home.File("kvfact.ini"));
        TavroCommutationTest::SetUp();
    }
    void TearDown() override
    {
        TavroCommutationTest::TearDown();
        m_services.reset();
    }
    const char* m_ini;
    std::unique_ptr<FakeGuiAppServices> m_services;
};

class TavroCommutationFirmwareTest : public TavroCommutationIniTest {
protected:
    TavroCommutationFirmwareTest()
        : TavroCommutationIniTest("[UNLOCK_TAVRO_FUNCTION_VER]\r\nResolverFeedbackSettings=99.0\r\n"
                                  "CommutationAbsEnc=99.0\r\n")
    {
    }
};

TEST_F(TavroCommutationFirmwareTest, OlderFirmwareHasNoResolverSettingsAndNoAbsoluteEncoder)
{
    SetHardware(0x8080);
    SetRegister(kTavro, kCim, 8);
    SetRegister(kTavro, kMft, 0x04);
    CQvxGuiTavroCommutationSheet* sheet = Open();
    ASSERT_NE(sheet, nullptr);
    // Without bit 9 the drive has no output divider: told once, answered by the script.
    EXPECT_TRUE(Shown(Boxes(), "This drive does not have Encoder Output Divider."));
    CQvxGuiTavroCommutationSubDlg& sub = sheet->GetSubDlg();
    EXPECT_TRUE(Checked(&sub, IDC_CSUB_RESOLVER));
    EXPECT_FALSE(sub.GetDlgItem(IDC_CSUB_ABS_ENCODER)->IsWindowEnabled());
    kvtest::Click(sub.GetDlgItem(IDC_CSUB_QUADRATURE));
    EXPECT_FALSE(Checked(&sub, IDC_CSUB_RESOLVER));
    kvtest::Click(sub.GetDlgItem(IDC_CSUB_RESOLVER));
    EXPECT_FALSE(Checked(&sub, IDC_CSUB_QUADRATURE));
    CQvxGuiTavroCommutationFeedbackConfigPpg& feedback = sheet->GetFeedbackPage();
    sheet->SelectPage(&feedback);
    Settle();
    EXPECT_FALSE(feedback.GetDlgItem(IDC_CFBK_RESOLVER_BOX)->IsWindowVisible());
    EXPECT_FALSE(feedback.GetDlgItem(IDC_CFBK_RESOLVER_FAULT_BOX)->IsWindowVisible());
    // Neither the simulated bits nor the resolver fault box write.
    SetRegister(kTavro, 9859, 3);
    SetRegister(kTavro, 3186, 0);
    kvtest::Click(&sheet->GetSendButton());
    EXPECT_TRUE(Wait([&] { return Register(kTavro, 3186) == 1000; }));
    Settle();
    EXPECT_EQ(Register(kTavro, 9859), 3);
}

TEST_F(TavroCommutationTest, APhaseLeadBeyondItsRangeIsClampedBeforeItIsSent)
{
    CQvxGuiTavroCommutationSheet* sheet = Open();
    ASSERT_NE(sheet, nullptr);
    CQvxGuiTavroCommutationConfigPpg& config = sheet->GetConfigPage();
    ASSERT_TRUE(Wait([&] { return Text(&config, IDC_CCFG_PHASE_WORK) == "0.004"; }));
    Boxes();
    config.GetControlList().FindControl("Phase Lead")->SetValueText("5000");
    // 32767 raw is the top: 32767 x 1000 x 32 x 24000 / (10000 x 2^31) deg/krpm.
    EXPECT_TRUE(Shown(Boxes(), "\"Phase Lead\" must be in the range 0 to 1.17"));
    EXPECT_EQ(Text(&config, IDC_CCFG_PHASE_WORK), "1.171");
    kvtest::Click(&sheet->GetSendButton());
    EXPECT_TRUE(Wait([&] { return Register(kTavro, 3596) > 32000; })) << Register(kTavro, 3596);
    EXPECT_LE(Register(kTavro, 3596), 32767);
}

TEST_F(TavroCommutationTest, APhaseLeadThatCannotBeComputedReadsUnavailable)
{
    // A velocity scale shift past what a double holds makes the conversion infinite.
    SetRegister(kTavro, 7891, 4000);
    CQvxGuiTavroCommutationSheet* sheet = Open();
    ASSERT_NE(sheet, nullptr);
    CQvxGuiTavroCommutationConfigPpg& config = sheet->GetConfigPage();
    EXPECT_TRUE(Wait([&] {
        return Text(&config, IDC_CCFG_PHASE_WORK) == "Unavailable" && Text(&config, IDC_CCFG_PHASE_DRIVE) == "Unavailable";
    })) << Text(&config, IDC_CCFG_PHASE_WORK).GetString() << " / " << Text(&config, IDC_CCFG_PHASE_DRIVE).GetString();
}

class TavroCommutationFactoryTest : public TavroCommutationIniTest {
protected:
    TavroCommutationFactoryTest()
        : TavroCommutationIniTest("[MODEL DISPLAY]\r\nCustomerDisplay=factory configuration\r\n")
    {
    }
};

TEST_F(TavroCommutationFactoryTest, CalibrationOpensForSinCosAndIsRememberedInTheLayout)
{
    SetHardware(0x0210);
    SetRegister(kTavro, kMft, 0x02);
    CQvxGuiTavroCommutationSheet* sheet = Open();
    ASSERT_NE(sheet, nullptr);
    CQvxGuiTavroCommutationFeedbackConfigPpg& feedback = sheet->GetFeedbackPage();
    ASSERT_TRUE(Checked(&sheet->GetSubDlg(), IDC_CSUB_SINCOS));
    sheet->SelectPage(&feedback);
    CWnd* button = feedback.GetDlgItem(IDC_CFBK_CALIBRATION);
    ASSERT_TRUE(Wait([&] { return button->IsWindowVisible(); }));
    kvtest::Click(button);
    ASSERT_NE(feedback.GetCalibrationWindow(), nullptr);
    EXPECT_FALSE(button->IsWindowEnabled());
    CDPropertyList bag;
    feedback.ExchangeSheetProperties(bag, 0);
    int open = 0;
    EXPECT_TRUE(bag.GetInt("bOpenAnaCalibrationDlg", open) && open == 1);
    feedback.GetCalibrationWindow()->SendMessage(WM_CLOSE);
    EXPECT_TRUE(button->IsWindowEnabled());
    feedback.ExchangeSheetProperties(bag, 0);
    EXPECT_TRUE(bag.GetInt("bOpenAnaCalibrationDlg", open) && open == 0);
}

TEST_F(TavroCommutationTest, SpinArrowsStepTheTachometerFieldsWithinTheirRange)
{
    SetRegister(kTavro, kMft, 0x11);  // quadrature and tachometer
    CQvxGuiTavroCommutationSheet* sheet = Open();
    ASSERT_NE(sheet, nullptr);
    CQvxGuiTavroCommutationFeedbackConfigPpg& feedback = sheet->GetFeedbackPage();
    sheet->SelectPage(&feedback);
    CWnd* spin = feedback.GetDlgItem(IDC_CFBK_TACH_GAIN_SPIN);
    ASSERT_TRUE(Wait([&] { return spin->IsWindowVisible(); }));
    CRect area;
    spin->GetClientRect(&area);
    const struct {
        const char* start;
        bool up;
        const char* shown;
    } cases[] = {{"50", true, "51.00"}, {"50", false, "49.00"}, {"100", true, "100.00"}, {"0", false, "0.00"}};
    for (const auto& c : cases) {
        feedback.GetControlList().FindControl("Tach Gain")->SetValueText(c.start);
        kvtest::ClickAt(spin, CPoint(area.Width() / 2, c.up ? 1 : area.Height() - 2));
        EXPECT_EQ(Text(&feedback, IDC_CFBK_TACH_GAIN_WORK), c.shown) << c.start << " " << c.up;
    }
}

// ---------------------------------------------------------------------------
// The real auto-phasing window under the page that opens it.
class TavroCommutationProcedureTest : public TavroCommutationTest {
protected:
    void RegisterWindows(CGuiUpdateDlgIdMap& registry) override
    {
        RegisterCommutationWindows(registry);
        RegisterMotorProcedureWindows(registry);
    }
};

TEST_F(TavroCommutationProcedureTest, TheRealAutoPhasingWindowReportsToThePageThatOpenedIt)
{
    SetRegister(kTavro, kCim, 3);
    SetRegister(kTavro, kMft, 0x21);
    CQvxGuiTavroCommutationSheet* sheet = Open();
    ASSERT_NE(sheet, nullptr);
    CQvxGuiTavroCommutationConfigPpg& config = sheet->GetConfigPage();
    CWnd* button = config.GetDlgItem(IDC_CCFG_AUTOPHASE_BUTTON);
    ASSERT_TRUE(button->IsWindowVisible());
    kvtest::Click(button);
    auto* child = dynamic_cast<CQvxAutoPhasingDlg*>(config.GetAutoPhasingWindow());
    ASSERT_NE(child, nullptr);
    EXPECT_FALSE(button->IsWindowEnabled());
    // Closing it hands the button back: the window knew its page.
    child->SendMessage(WM_CLOSE);
    EXPECT_TRUE(Wait([&] { return button->IsWindowEnabled() && config.GetAutoPhasingWindow() == nullptr; }));
}
