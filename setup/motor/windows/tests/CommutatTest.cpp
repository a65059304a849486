#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "DialogReadings.h"
#include "comm/trace/CommManagerTraceClient.h"
#include "database/QvxDatabase.h"
#include "database/QvxDatabaseRecordset.h"
#include "framework/tests/DriveWindowDemoTest.h"
#include "framework/tests/FakeGuiAppServices.h"
#include "platform/ui/UserInput.h"
#include "setup/motor/windows/CommutationWindowClasses.h"
#include "setup/motor/windows/QvxGuiCommutat.h"
#include "testing/WindowShot.h"

namespace {

const char* const kMotors =
    "<tabledef>\n"
    "<fieldname=\"ID\", type=AUTOINCID>\n"
    "<fieldname=\"PartNum\", type=STRING>\n"
    "<fieldname=\"MotorType\", type=STRING>\n"
    "<fieldname=\"LinOrRot\", type=STRING>\n"
    "<fieldname=\"NumPoles\", type=NUMERIC, decdigits=0>\n"
    "<fieldname=\"LinesPerRev\", type=NUMERIC, decdigits=0>\n"
    "</tabledef>\n"
    "{\"1\", \"BR-6\", \"Brush\", \"Rotary\", \"6\", \"2000\"}\n"
    "{\"2\", \"BL-4\", \"Brushless\", \"Rotary\", \"4\", \"500\"}\n";

enum Code : WORD {
    MC = 419, MP = 432, FR = 210, CCR = 3186, CCC = 3171, CES = 3251, CIM = 3373, CCM = 3181, FT = 212,
    ETF = 5766, FER = 6322, CPL = 3596, GVS = 7891, CTT = 3732, CIR = 3378, FHR = 6418, PGAIN = 3591,
    CII = 3369, CIF = 3366, SSA = 20065,
};

}  // namespace

// The Kreln drive (address 1) holds a rotary motor of 8 poles and 1000 lines,
// Hall initialisation with Hall Edge correction, tach feedback, encoder reversed.
class CommutatWindowTest : public DriveWindowDemoTest, protected MotorDialogReadings {
protected:
    void PrepareDrives() override
    {
        SetServoFrequency(kKreln);
        const std::pair<WORD, LONG> seeds[] = {
            {MC, 0},   {MP, 8},    {FR, 1000}, {CCR, 1000}, {CCC, 1},  {CIM, 3},     {CCM, 1},
            {FT, 0},   {ETF, 1},   {FER, 1},   {CPL, 100},  {GVS, 5},  {CTT, 125},   {CIR, 1000},
            {FHR, 0},  {CII, 1000}, {CIF, 4000}, {SSA, 0},
        };
        for (const auto& [code, value] : seeds)
            SetRegister(kKreln, code, value);
        // Hardware flags: two-phase allowed (bit 3), no resolver.
        SetIndexed(kKreln, demo_codes::MDL, demo_codes::MDI, 14, 0x8);
    }
    void RegisterWindows(CGuiUpdateDlgIdMap& registry) override { RegisterCommutationWindows(registry); }
    void SetUp() override
    {
        DriveWindowDemoTest::SetUp();
        m_comm.AddClient(&m_trace);
    }
    void TearDown() override
    {
        m_comm.RemoveClient(&m_trace);
        DriveWindowDemoTest::TearDown();
    }

    CQvxGuiCommutat* Open()
    {
        AfxWriteProfileInt("GENERAL", "DFLTDRV", kKreln);
        auto* dlg = dynamic_cast<CQvxGuiCommutat*>(m_frame.m_registry.CreateGui("COMMUTATION", nullptr, 1));
        if (dlg) {
            EXPECT_TRUE(Wait([&] { return dlg->GetDrive() == kKreln && dlg->AreStagesDone(); }));
            EXPECT_TRUE(Wait([&] { return Text(dlg, IDC_COMMUTAT_ROLLOVER) == "1000"; })) << Text(dlg, IDC_COMMUTAT_ROLLOVER).GetString();
            EXPECT_TRUE(Wait([&] { return Text(dlg, IDC_COMMUTAT_RAMP_TIME) != "Waiting..."; }));
        }
        return dlg;
    }
    // Codes written to the drive since the last call, in the order they went out.
    std::vector<WORD> Writes()
    {
        CAmpMsg message;
        DWORD tag = 0;
        while (m_trace.GetNextItem(message, tag))
            if (tag == 1 && message.m_width > 0 && message.m_address == kKreln) {
                m_written.push_back(message.m_code);
            }
        return m_written;
    }
    static void Enter(CWnd* dlg, int id, const char* text)
    {
        CWnd* edit = dlg->GetDlgItem(id);
        edit->SetFocus();
        edit->SetWindowText("");
        kvtest::TypeText(edit, text);
        dlg->GetDlgItem(IDC_COMMUTAT_SEND)->SetFocus();
    }

    CCommManagerTraceClient m_trace;
    std::vector<WORD> m_written;
};

TEST_F(CommutatWindowTest, ShowsTheDriveAndSendsTheValuesThenTheSettingsInOrder)
{
    CQvxGuiCommutat* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    // Both columns: 8 poles, 1000 lines: 1000 counts, one cycle, scaling 4294967.
    for (int id : {IDC_COMMUTAT_POLES, IDC_COMMUTAT_POLES_DRIVE})
        EXPECT_TRUE(Wait([&] { return Text(dlg, id) == "8"; })) << id;
    EXPECT_EQ(Text(dlg, IDC_COMMUTAT_LINES_DRIVE), "1000");
    EXPECT_EQ(Text(dlg, IDC_COMMUTAT_COUNTS_PER_CYCLE), "1000.00");
    EXPECT_EQ(Text(dlg, IDC_COMMUTAT_SCALING), "4294967");
    EXPECT_EQ(Text(dlg, IDC_COMMUTAT_CYCLES), "1");
    EXPECT_EQ(Text(dlg, IDC_COMMUTAT_TIMER_TICKS_DRIVE), "1.28");
    EXPECT_TRUE(Checked(dlg, IDC_COMMUTAT_ROTARY) && Checked(dlg, IDC_COMMUTAT_ROTARY_DRIVE));
    EXPECT_TRUE(Checked(dlg, IDC_COMMUTAT_INIT_HALL) && Checked(dlg, IDC_COMMUTAT_INIT_HALL_DRIVE));
    EXPECT_TRUE(Checked(dlg, IDC_COMMUTAT_CORR_HALL_EDGE) && Checked(dlg, IDC_COMMUTAT_FB_TACH));
    EXPECT_TRUE(Checked(dlg, IDC_COMMUTAT_ENCODER_REVERSE));
    EXPECT_EQ(dlg->GetPendingChangesState(0), 2);
    Screenshot(dlg, "commutat_rotary");

    // The user picks a trapezoidal waveform and changes a gain; nothing is written yet.
    kvtest::Click(dlg->GetDlgItem(IDC_COMMUTAT_WAVE_TRAP));
    EXPECT_TRUE(Checked(dlg, IDC_COMMUTAT_WAVE_TRAP) && !Checked(dlg, IDC_COMMUTAT_WAVE_SINE));
    EXPECT_TRUE(Checked(dlg, IDC_COMMUTAT_WAVE_SINE_DRIVE));
    // Smart commutation opens its gains to entry.
    EXPECT_FALSE(Enabled(dlg, IDC_COMMUTAT_PROP_GAIN));
    kvtest::Click(dlg->GetDlgItem(IDC_COMMUTAT_INIT_SMART));
    EXPECT_TRUE(Checked(dlg, IDC_COMMUTAT_INIT_SMART) && !Checked(dlg, IDC_COMMUTAT_INIT_HALL));
    EXPECT_TRUE(Enabled(dlg, IDC_COMMUTAT_PROP_GAIN));
    Enter(dlg, IDC_COMMUTAT_PROP_GAIN, "1500");
    Enter(dlg, IDC_COMMUTAT_POLES, "6");
    EXPECT_EQ(dlg->GetPendingChangesState(0), 1);
    Writes();
    m_written.clear();
    Boxes();

    kvtest::Click(dlg->GetDlgItem(IDC_COMMUTAT_SEND));
    ASSERT_TRUE(Wait([&] {
        const std::vector<WORD> w = Writes();
        return std::find(w.begin(), w.end(), CCM) != w.end();
    }));
    const std::vector<CString> boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_GE(boxes[0].Find("Press OK to send the following values:"), 0);
    EXPECT_GE(boxes[0].Find("Proportional Gain = 1500"), 0) << boxes[0].GetString();
    // An unchanged phase lead is neither listed nor written.
    EXPECT_EQ(boxes[0].Find("Phase Lead"), -1) << boxes[0].GetString();

    const std::vector<WORD> w = Writes();
    EXPECT_EQ(std::count(w.begin(), w.end(), CPL), 0);
    for (WORD code : {MP, FR, CES, PGAIN, CCR, CCC})
        EXPECT_NE(std::find(w.begin(), w.end(), code), w.end()) << code;
    const std::vector<WORD> settings = {FER, CIM, FT, ETF, MC, CCM};
    const auto first = std::find(w.begin(), w.end(), FER);
    ASSERT_NE(first, w.end());
    EXPECT_EQ(std::vector<WORD>(first, w.end()), settings);
    // Every value of the group went out before the settings.
    for (auto it = w.begin(); it != first; ++it)
        EXPECT_EQ(std::find(settings.begin(), settings.end(), *it), settings.end()) << *it;
    // Unchanged settings go back as the drive had them, not as zeros.
    EXPECT_TRUE(Wait([&] { return Register(kKreln, FT) == 1 && Register(kKreln, PGAIN) == 1500; }));
    EXPECT_EQ(Register(kKreln, FER), 1);
    EXPECT_EQ(Register(kKreln, ETF), 1);
    EXPECT_EQ(Register(kKreln, CIM), 1);
    EXPECT_EQ(Register(kKreln, CTT), 125) << "a shown timer tick sent back unchanged";
    EXPECT_EQ(Register(kKreln, CIR), 1000) << "a shown ramp sent back unchanged";
    EXPECT_EQ(Register(kKreln, CES), 1073742);
    EXPECT_EQ(Register(kKreln, MP), 6);
    EXPECT_EQ(Register(kKreln, CCR), 4000);
    EXPECT_EQ(Register(kKreln, CCC), 3);
    // Both columns follow the drive after the send.
    EXPECT_TRUE(Wait([&] { return Text(dlg, IDC_COMMUTAT_POLES_DRIVE) == "6"; }));
    EXPECT_TRUE(Wait([&] { return Text(dlg, IDC_COMMUTAT_ROLLOVER_DRIVE) == "4000"; }));
    EXPECT_TRUE(Wait([&] { return dlg->GetPendingChangesState(0) == 2; }));
}

TEST_F(CommutatWindowTest, AnEnabledDriveOrAFlatRampRefusesEverySend)
{
    CQvxGuiCommutat* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    SetRegister(kKreln, SSA, 0x100);
    ASSERT_TRUE(Wait([&] { return dlg->GetEnableBit() != 0; }));
    Writes();
    m_written.clear();
    Boxes();
    CString reply;
    kvtest::Click(dlg->GetDlgItem(IDC_COMMUTAT_SEND));
    ASSERT_EQ(dlg->ExecuteCommand("SENDTOAMP(-1)", reply), 1);
    kvtest::Click(dlg->GetDlgItem(IDC_COMMUTAT_ENCODER_REVERSE));
    Settle();
    const std::vector<CString> boxes = Boxes();
    EXPECT_EQ(std::count_if(boxes.begin(), boxes.end(),
                            [](const CString& b) {
                                return b.Find("Motor is Enabled.\nCommutation values not sent to drive.") >= 0;
                            }),
              3);
    EXPECT_TRUE(Checked(dlg, IDC_COMMUTAT_ENCODER_REVERSE));
    EXPECT_TRUE(Writes().empty());
    EXPECT_EQ(Register(kKreln, FER), 1);

    // Disabled again, the immediate write goes through.
    SetRegister(kKreln, SSA, 0);
    ASSERT_TRUE(Wait([&] { return dlg->GetEnableBit() == 0; }));
    kvtest::Click(dlg->GetDlgItem(IDC_COMMUTAT_ENCODER_REVERSE));
    EXPECT_TRUE(Wait([&] { return Register(kKreln, FER) == 0; }));
    EXPECT_FALSE(Checked(dlg, IDC_COMMUTAT_ENCODER_REVERSE));

    // Final current not above the initial one: nothing is sent.
    Enter(dlg, IDC_COMMUTAT_FINAL_CURRENT, Text(dlg, IDC_COMMUTAT_INITIAL_CURRENT));
    Writes();
    m_written.clear();
    Boxes();
    kvtest::Click(dlg->GetDlgItem(IDC_COMMUTAT_SEND));
    ASSERT_EQ(dlg->ExecuteCommand("SENDTOAMP(-1)", reply), 1);
    Settle();
    const std::vector<CString> flat = Boxes();
    EXPECT_EQ(std::count_if(flat.begin(), flat.end(),
                            [](const CString& b) { return b.Find("Final Current must be greater than Initial Current") >= 0; }),
              2);
    EXPECT_TRUE(Writes().empty());
}

TEST_F(CommutatWindowTest, PolesAndLinesEntries)
{
    CQvxGuiCommutat* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    const struct {
        const char* poles;
        const char* shown;
        const char* rollover;
    } cases[] = {
        {"9", "8", "1000"},   // odd counts lose one
        {"6", "6", "4000"},   // pairs 3 share nothing with 4000 counts
        {"120", "120", "4000"},  // more than the motor takes: stays in the edit only
        {"1", "2", "4000"},      // below the limit: clamped, with the range message
    };
    for (const auto& c : cases) {
        Enter(dlg, IDC_COMMUTAT_POLES, c.poles);
        EXPECT_TRUE(Wait([&] { return Text(dlg, IDC_COMMUTAT_ROLLOVER) == c.rollover; }))
            << c.poles << " " << Text(dlg, IDC_COMMUTAT_ROLLOVER).GetString();
        EXPECT_EQ(Text(dlg, IDC_COMMUTAT_POLES), c.shown) << c.poles;
    }
    EXPECT_TRUE(Shown(Boxes(), "Number of Poles"));
    EXPECT_TRUE(Wait([&] { return Text(dlg, IDC_COMMUTAT_CYCLES) == "1"; }));
    Enter(dlg, IDC_COMMUTAT_LINES, "2000");
    EXPECT_TRUE(Wait([&] { return Text(dlg, IDC_COMMUTAT_ROLLOVER) == "8000"; }));
    // The drive column keeps what the drive holds.
    EXPECT_EQ(Text(dlg, IDC_COMMUTAT_ROLLOVER_DRIVE), "1000");
    EXPECT_EQ(Text(dlg, IDC_COMMUTAT_POLES_DRIVE), "8");
}

TEST_F(CommutatWindowTest, KindRadiosWaitASecondThenAMotorPickApplies)
{
    CQvxDatabase db;
    m_home.Write("QvxMotorDB.txt", kMotors);
    CString error;
    ASSERT_TRUE(db.LoadTable(m_home.File("QvxMotorDB.txt").c_str(), &error)) << error.GetString();
    ASSERT_TRUE(db.OpenRecordset("MotorByPartNum", "QvxMotorDB", "PartNum", "", "", 0));
    FakeGuiAppServices services;
    services.m_database = &db;
    m_app.m_seconds = 100.0;

    CQvxGuiCommutat* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    Settle();
    EXPECT_FALSE(Enabled(dlg, IDC_COMMUTAT_LINEAR));
    EXPECT_FALSE(Enabled(dlg, IDC_COMMUTAT_ROTARY));
    CQvxDatabaseRecordset* rs = db.FindRecordset("MotorByPartNum");
    ASSERT_TRUE(rs->FindFirst("PartNum", "BR-6"));
    Settle();
    // Within the first second the pick waits.
    EXPECT_TRUE(Checked(dlg, IDC_COMMUTAT_INIT_HALL));
    EXPECT_EQ(Text(dlg, IDC_COMMUTAT_ROLLOVER), "1000");

    m_app.m_seconds = 101.5;
    EXPECT_TRUE(Wait([&] { return Enabled(dlg, IDC_COMMUTAT_LINEAR) && Enabled(dlg, IDC_COMMUTAT_ROTARY); }));
    EXPECT_TRUE(Wait([&] { return Checked(dlg, IDC_COMMUTAT_INIT_BRUSH); }));
    EXPECT_FALSE(Checked(dlg, IDC_COMMUTAT_INIT_HALL));
    EXPECT_FALSE(Enabled(dlg, IDC_COMMUTAT_ENABLE_AUTOPHASE));
    EXPECT_TRUE(Wait([&] { return Text(dlg, IDC_COMMUTAT_ROLLOVER) == "8000"; }))
        << Text(dlg, IDC_COMMUTAT_ROLLOVER).GetString();
    EXPECT_EQ(Text(dlg, IDC_COMMUTAT_POLES), "6");
    EXPECT_EQ(Text(dlg, IDC_COMMUTAT_LINES), "2000");
    EXPECT_EQ(Text(dlg, IDC_COMMUTAT_CYCLES), "3");
    EXPECT_EQ(dlg->GetPendingChangesState(0), 1);

    ASSERT_TRUE(rs->FindFirst("PartNum", "BL-4"));
    EXPECT_TRUE(Wait([&] { return Checked(dlg, IDC_COMMUTAT_INIT_HALL) && !Checked(dlg, IDC_COMMUTAT_INIT_BRUSH); }));
    EXPECT_TRUE(Enabled(dlg, IDC_COMMUTAT_ENABLE_AUTOPHASE));
    EXPECT_TRUE(Wait([&] { return Text(dlg, IDC_COMMUTAT_ROLLOVER) == "1000"; }));

    // Linear and back: the rotary values come back.
    kvtest::Click(dlg->GetDlgItem(IDC_COMMUTAT_LINEAR));
    EXPECT_TRUE(Checked(dlg, IDC_COMMUTAT_LINEAR) && !Checked(dlg, IDC_COMMUTAT_ROTARY));
    EXPECT_TRUE(Checked(dlg, IDC_COMMUTAT_ROTARY_DRIVE));
    EXPECT_EQ(Text(dlg, IDC_COMMUTAT_LINES_LABEL), "Resolution (um):");
    EXPECT_TRUE(Wait([&] { return Text(dlg, IDC_COMMUTAT_ROLLOVER) == "10000"; }))
        << Text(dlg, IDC_COMMUTAT_ROLLOVER).GetString();
    Screenshot(dlg, "commutat_linear");
    kvtest::Click(dlg->GetDlgItem(IDC_COMMUTAT_ROTARY));
    EXPECT_EQ(Text(dlg, IDC_COMMUTAT_LINES_LABEL), "Lines per Revolution:");
    EXPECT_TRUE(Wait([&] { return Text(dlg, IDC_COMMUTAT_ROLLOVER) == "1000"; }));
}

TEST_F(CommutatWindowTest, ReverseRotationNeedsCurrentModeAndAutoPhasingNeedsHallEdge)
{
    CQvxGuiCommutat* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    kvtest::Click(dlg->GetDlgItem(IDC_COMMUTAT_ENABLE_AUTOPHASE));
    ASSERT_TRUE(Checked(dlg, IDC_COMMUTAT_ENABLE_AUTOPHASE));
    ASSERT_TRUE(Enabled(dlg, IDC_COMMUTAT_REVERSE_ROTATION));
    // Velocity mode: the warning answers by itself in a script.
    SetRegister(kKreln, kModeWordCode, 2);
    ASSERT_TRUE(Wait([&] { return dlg->GetModeWord() == 2; }));
    Boxes();
    kvtest::Click(dlg->GetDlgItem(IDC_COMMUTAT_REVERSE_ROTATION));
    Settle();
    EXPECT_TRUE(Shown(Boxes(), "Warning: Please switch the drive to Current Mode before changing this setting."));
    EXPECT_FALSE(Checked(dlg, IDC_COMMUTAT_REVERSE_ROTATION));
    EXPECT_EQ(Register(kKreln, FHR), 0);

    SetRegister(kKreln, kModeWordCode, 0);
    ASSERT_TRUE(Wait([&] { return dlg->GetModeWord() == 0; }));
    kvtest::Click(dlg->GetDlgItem(IDC_COMMUTAT_REVERSE_ROTATION));
    EXPECT_TRUE(Wait([&] { return Register(kKreln, FHR) == -1; }));
    EXPECT_TRUE(Checked(dlg, IDC_COMMUTAT_REVERSE_ROTATION));

    // A disabled drive cannot auto-phase; reverse rotation is taken back first.
    Boxes();
    ASSERT_TRUE(Checked(dlg, IDC_COMMUTAT_ENABLE_AUTOPHASE));
    ASSERT_TRUE(Enabled(dlg, IDC_COMMUTAT_EXECUTE_AUTOPHASE));
    kvtest::Click(dlg->GetDlgItem(IDC_COMMUTAT_EXECUTE_AUTOPHASE));
    EXPECT_TRUE(Wait([&] { return Register(kKreln, FHR) == 0; }));
    Settle();
    const std::vector<CString> boxes = Boxes();
    EXPECT_TRUE(Shown(boxes, "Drive must be enabled to execute auto-phasing!"));
    EXPECT_FALSE(Checked(dlg, IDC_COMMUTAT_REVERSE_ROTATION));
}
