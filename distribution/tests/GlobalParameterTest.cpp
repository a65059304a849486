#include <gtest/gtest.h>

#include <cmath>
#include <map>

#include "testing/FakeCommLink.h"
#include "distribution/DistManager.h"
#include "distribution/DmQueryVar.h"
#include "distribution/parameters/GlobalParameterKinds.h"
#include "distribution/parameters/GlobalParameterTable.h"
#include "testing/WaitFor.h"

namespace {

using Expected = std::map<int, double>;

struct Drive {
    int address;
    std::map<std::string, LONG> registers;  // "MDL13" is MDL with MDI = 13, "XCB1" XCB with XCI = 1
    Expected expected;
};

const double kOutputVolts = 5000.0 / (3.2767 * 100000000.0);

// Three drives whose registers take every branch of the formulas between them.
std::vector<Drive> Drives()
{
    Drive a{1,
            {{"CS", 10}, {"MC", 0}, {"ETF", 0}, {"FR", 4000}, {"GVS", 2}, {"AAS", 100}, {"TSC", 50}, {"PWM", 20000},
             {"GVF", 16384}, {"MOD", 0x02}, {"VER", 412}, {"WFT", 7}, {"FPN", 41005}, {"PFM", 0}, {"XCB1", 33},
             {"MDL6", 655340}, {"MDL9", 16000}, {"MDL10", 2000}, {"MDL11", 10}, {"MDL12", 5}, {"MDL13", 300},
             {"MDL14", 0x200}},
            {}};
    const double a4 = 10 * 5 * 1e6 / (20000 * 4.0), a13 = 0.5, a3 = a4 * 60 / (4 * a13 * 4000 * 4);
    a.expected = {{GPD_SERVO_FREQ_I, a4},
                  {GPD_GVF, a13},
                  {GPD_MDL13, 300},
                  {GPD_TSC, 50},
                  {GPD_A2E_VEL_INDUCTION_GAIN, a4 * 60 / (4 * 4000 * 4.0)},
                  {GPD_A2E_VEL_TACH_GAIN, 300 * 1000 / (a13 * 50 * 0.01 * 100)},
                  {GPD_A2E_VEL_ENCODER_GAIN, a3},
                  {GPD_A2E_VEL_GAIN, a3},
                  {GPD_MC, 0},
                  {GPD_CS, 10},
                  {GPD_CS_SF, 0},
                  {GPD_BUSVOLTSCALE, 16000 / 32767.0},
                  {GPD_A2E_CURRENT_GAIN, 0.2},
                  {GPD_ETF, 0},
                  {GPD_MDL14, 512},
                  {GPD_AMPDASCLTO_DAPRCNT_OUTPUT, 0.390625},
                  {GPD_AMPTOENGIOVOLTS_OUTPUT, 5 * kOutputVolts},
                  {GPD_MOD, 2},
                  {GPD_VER, 4.12},
                  {GPD_WFT, -1},
                  {GPD_TAVRO_PCB_TYPE, 1},
                  {GPD_CPU2VER, 33},
                  {GPD_PRIMARY_ANAIN_SCALE, a3 / 10},
                  {GPD_VELGAIN_CURRENTGAIN_SCALE, a3},
                  {GPD_CURRENT_LIMIT, 0.2},
                  {GPD_LSECB_TIME, 0.01},
                  {GPD_AMPTOENGIOVOLTS_INPUT, 2000 / 32767.0},
                  {GPD_AMPTOENGACCELDECELL_GAIN, a4 * a3 / 256},
                  {GPD_TSAMPLEI2TFILTERMT, 25.6 * 32768},
                  {GPD_TSAMPLEI2TFILTERAMP, 0.1},
                  {GPD_A2E_CURRENT_GAIN_RMS, 0.2 / std::sqrt(2.0)},
                  {GPD_THERMALTC, 10},
                  {GPD_AMPTOENGIOMILIVOLTS_INPUT, 2000 / 32.767},
                  {GPD_BRAKEDECEL_GAIN, a3 / 256 * a4}};

    Drive b{2,
            {{"CS", 1}, {"MC", 1}, {"ETF", 1}, {"FR", 8000}, {"GVS", 0}, {"AAS", 0}, {"TSC", 50}, {"PWM", 10000},
             {"GVF", 32767}, {"MOD", 0x0C}, {"VER", 520}, {"WFT", -4}, {"FPN", 100}, {"PFM", 3}, {"XCB1", 0},
             {"MDL6", 0}, {"MDL9", 32767}, {"MDL10", 100}, {"MDL11", 8}, {"MDL12", 5}, {"MDL13", 20},
             {"MDL14", 0x1000}},
            {}};
    const double b4 = 8 * 5 * 1e6 / 40000.0, b13 = 32767 / 32768.0, b1 = b4 * 60 / (8000 * 4.0);
    b.expected = {{GPD_A2E_VEL_INDUCTION_GAIN, b1},
                  {GPD_A2E_VEL_TACH_GAIN, 0},  // AAS is 0
                  {GPD_A2E_VEL_ENCODER_GAIN, (8000 / 100.0) * b4 / (b13 * 1000)},
                  {GPD_A2E_VEL_GAIN, 0},
                  {GPD_CS_SF, 0},
                  {GPD_A2E_CURRENT_GAIN, 0},
                  {GPD_AMPTOENGIOVOLTS_OUTPUT, 20 * kOutputVolts},
                  {GPD_VER, 5.2},
                  {GPD_WFT, 0},  // a negative WFT reads as 0
                  {GPD_TAVRO_PCB_TYPE, 0},
                  {GPD_PRIMARY_ANAIN_SCALE, 1},
                  {GPD_VELGAIN_CURRENTGAIN_SCALE, 0},
                  {GPD_CURRENT_LIMIT, b1},
                  {GPD_LSECB_TIME, 0.001},
                  {GPD_AMPTOENGACCELDECELL_GAIN, b4 * b1 / 256},
                  {GPD_TSAMPLEI2TFILTERMT, 25.6 * 32768},
                  {GPD_BUSVOLTSCALE, 1}};

    Drive c{3,
            {{"CS", 20}, {"MC", 2}, {"ETF", 0}, {"FR", 0}, {"GVS", 1}, {"AAS", 10}, {"TSC", 0}, {"PWM", 10000},
             {"GVF", 0}, {"MOD", 0x04}, {"VER", 300}, {"FPN", 41999}, {"PFM", 3}, {"MDL6", 327670}, {"MDL10", 50},
             {"MDL11", 4}, {"MDL12", 5}, {"MDL13", 7}, {"MDL14", 0}},
            {}};
    const double c4 = 4 * 5 * 1e6 / 40000.0;
    c.expected = {{GPD_A2E_VEL_ENCODER_GAIN, 1},  // MC other than 0 and 1
                  {GPD_A2E_VEL_GAIN, 1},
                  {GPD_A2E_VEL_TACH_GAIN, 0},       // TSC and GVF are 0: no division by zero
                  {GPD_A2E_VEL_INDUCTION_GAIN, 0},  // FR is 0
                  {GPD_CS_SF, 1},
                  {GPD_WFT, -1},
                  {GPD_TAVRO_PCB_TYPE, 1},
                  {GPD_VELGAIN_CURRENTGAIN_SCALE, 0.1},
                  {GPD_PRIMARY_ANAIN_SCALE, 0.1 / 50},
                  {GPD_LSECB_TIME, 128 / c4},
                  {GPD_AMPTOENGACCELDECELL_GAIN, 0},
                  {GPD_TSAMPLEI2TFILTERMT, 3.200000000000003 * 32768},
                  {GPD_AMPTOENGIOVOLTS_OUTPUT, 20 * kOutputVolts}};
    return {a, b, c};
}

void LoadRegisters(FakeCommLink& link, const Drive& drive)
{
    for (const auto& [name, value] : drive.registers) {
        if (name.rfind("MDL", 0) == 0)
            link.SetRegister(drive.address, "MDL", value, std::stol(name.substr(3)));
        else if (name == "XCB1")
            link.SetRegister(drive.address, "XCB", value, 1);
        else
            link.SetRegister(drive.address, name.c_str(), value);
    }
}

bool Near(double actual, double expected) { return std::fabs(actual - expected) <= 1e-12 * std::max(1.0, std::fabs(expected)); }

class GlobalParameterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_link.m_autoAnswer = true;
        CDistManager::Install(&m_manager);
        ASSERT_TRUE(m_manager.Start());
        m_table.SetDistManager(&m_manager);
    }
    void TearDown() override
    {
        m_table.RemoveAllDrives();
        m_manager.Stop();
        CDistManager::Install(nullptr);
    }
    bool WaitForValue(int address, int id, double expected)
    {
        return WaitFor([&] {
            double value;
            return m_table.GetParameterValue(address, id, value) && Near(value, expected);
        }, std::chrono::seconds(20));
    }

    FakeCommLink m_link;
    CDistManager m_manager{&m_link};
    CGlobalParameterTable m_table;
};

}  // namespace

TEST_F(GlobalParameterTest, EveryFormulaOnATableOfRegisterValues)
{
    const auto drives = Drives();
    for (const auto& drive : drives) {
        LoadRegisters(m_link, drive);
        m_table.AddDrive(drive.address);
    }
    EXPECT_EQ(m_table.GetDriveCount(), 3);
    for (const auto& drive : drives)
        for (const auto& [id, expected] : drive.expected)
            EXPECT_TRUE(m_table.RequestParameterQuery(drive.address, id));
    for (const auto& drive : drives) {
        for (const auto& [id, expected] : drive.expected) {
            EXPECT_TRUE(WaitForValue(drive.address, id, expected)) << "drive " << drive.address << " parameter " << id;
            double value = 0;
            m_table.GetParameterValue(drive.address, id, value);
            EXPECT_TRUE(Near(value, expected)) << "drive " << drive.address << " parameter " << id << ": " << value
                                               << " expected " << expected;
        }
    }
    int count = 0;
    const GlobalParameterKind* kinds = GetGlobalParameterKinds(count);
    EXPECT_EQ(count, 34);
    for (int i = 0; i < count; ++i)
        EXPECT_TRUE(drives[0].expected.count(kinds[i].id)) << kinds[i].name;  // drive 1 checks them all

    // Drive units to engineering units and back.
    double value = 10;
    ASSERT_TRUE(m_table.ConvertValue(1, GPD_A2E_CURRENT_GAIN, value, false));
    EXPECT_DOUBLE_EQ(value, 2.0);
    ASSERT_TRUE(m_table.ConvertValue(1, GPD_A2E_CURRENT_GAIN, value, true));
    EXPECT_DOUBLE_EQ(value, 10.0);
    // Drive 2's current gain is 0: dividing by it is refused and leaves the value.
    ASSERT_TRUE(m_table.ConvertValue(2, GPD_A2E_CURRENT_GAIN, value, false));
    EXPECT_DOUBLE_EQ(value, 0.0);
    value = 7;
    EXPECT_FALSE(m_table.ConvertValue(2, GPD_A2E_CURRENT_GAIN, value, true));
    EXPECT_DOUBLE_EQ(value, 7.0);
    EXPECT_FALSE(m_table.ConvertValue(9, GPD_A2E_CURRENT_GAIN, value, false));
    EXPECT_FALSE(m_table.ConvertValue(1, 14, value, false));
    EXPECT_DOUBLE_EQ(value, 7.0);
}

TEST_F(GlobalParameterTest, ValuesFollowTheRegistersTheyDependOn)
{
    const auto drives = Drives();
    LoadRegisters(m_link, drives[0]);
    LoadRegisters(m_link, drives[2]);
    m_table.AddDrive(1);
    m_table.AddDrive(3);
    ASSERT_TRUE(WaitForValue(1, GPD_TSAMPLEI2TFILTERMT, 25.6 * 32768));
    ASSERT_TRUE(WaitForValue(3, GPD_CS, 20));

    // A refresh of the one-shot reads picks up a changed register and
    // everything computed from it.
    m_link.SetRegister(1, "CS", 26);
    ASSERT_TRUE(m_table.ResubmitOneShotRequests(1));
    EXPECT_TRUE(WaitForValue(1, GPD_CS, 26));
    EXPECT_TRUE(WaitForValue(1, GPD_CS_SF, 1));
    EXPECT_TRUE(WaitForValue(1, GPD_TSAMPLEI2TFILTERMT, 3.200000000000003 * 32768));
    EXPECT_TRUE(WaitForValue(1, GPD_AMPTOENGIOVOLTS_OUTPUT, 20 * kOutputVolts));

    // So does a window's own reading of the register, through the subscription.
    CDmQueryVar window;
    ASSERT_TRUE(window.Query(3, static_cast<WORD>(MnemonicToCode("CS")), 20));
    m_link.SetRegister(3, "CS", 5);
    EXPECT_TRUE(WaitForValue(3, GPD_CS, 5));
    EXPECT_TRUE(WaitForValue(3, GPD_CS_SF, 0));
    EXPECT_TRUE(WaitForValue(3, GPD_TSAMPLEI2TFILTERMT, 25.6 * 32768));
    EXPECT_FALSE(m_table.ResubmitOneShotRequests(8));
}

TEST_F(GlobalParameterTest, NamesIdsAndUnknownDrives)
{
    m_table.AddDrive(1);
    EXPECT_EQ(m_table.GetParameterId(1, "GPD_CS"), GPD_CS);
    EXPECT_EQ(m_table.GetParameterId(1, "GPD_BRAKEDECEL_GAIN"), GPD_BRAKEDECEL_GAIN);
    EXPECT_EQ(m_table.GetParameterId(1, "gpd_cs"), -1);
    EXPECT_EQ(m_table.GetParameterId(1, "GPD_NOTHING"), -1);
    EXPECT_EQ(m_table.GetParameterId(4, "GPD_CS"), -2);
    EXPECT_TRUE(m_table.HasCsParameter(1));
    EXPECT_FALSE(m_table.HasCsParameter(4));
    EXPECT_FALSE(m_table.RequestParameterQuery(1, 14));

    // Added again, the drive's table is replaced, not doubled.
    m_table.AddDrive(1);
    EXPECT_EQ(m_table.GetDriveCount(), 1);
    EXPECT_TRUE(WaitForValue(1, GPD_TSAMPLEI2TFILTERAMP, 0.1));

    m_table.RemoveAllDrives();
    double value = 1;
    EXPECT_EQ(m_table.GetParameterId(1, "GPD_CS"), -2);
    EXPECT_FALSE(m_table.GetParameterValue(1, GPD_CS, value));
    EXPECT_FALSE(m_table.IsParameterValid(1, GPD_CS));
    EXPECT_FALSE(m_table.RequestParameterQuery(1, GPD_CS));
    EXPECT_FALSE(m_table.ConvertValue(1, GPD_CS, value, false));
    EXPECT_FALSE(m_table.HasCsParameter(1));
    EXPECT_FALSE(m_table.AddParameterClient(1, GPD_CS, nullptr));
    // Nothing is left asking the drives.
    EXPECT_TRUE(WaitFor([&] { return m_manager.GetJobCount() == 0 && m_manager.GetNotificationCount() == 0; }));
}

TEST_F(GlobalParameterTest, ParameterWaitsForItsDependenciesAndTellsItsClients)
{
    struct Counter : CGlobalParameterDataClient {
        void OnGlobalParameterChanged() override { ++calls; }
        std::atomic<int> calls{0};
    } counter;
    m_link.m_autoAnswer = false;  // no answers yet
    LoadRegisters(m_link, Drives()[0]);
    m_table.AddDrive(1);
    ASSERT_TRUE(m_table.AddParameterClient(1, GPD_A2E_CURRENT_GAIN_RMS, &counter));
    double value;
    EXPECT_FALSE(m_table.GetParameterValue(1, GPD_A2E_CURRENT_GAIN_RMS, value));
    ASSERT_TRUE(WaitFor([&] { return m_link.SubmittedCount() > 0; }));
    EXPECT_FALSE(m_table.IsParameterValid(1, GPD_A2E_CURRENT_GAIN_RMS));
    EXPECT_FALSE(m_table.IsParameterValid(1, GPD_A2E_CURRENT_GAIN));
    EXPECT_EQ(counter.calls, 0);

    m_link.m_autoAnswer = true;
    m_link.AnswerAllSubmitted();
    EXPECT_TRUE(WaitForValue(1, GPD_A2E_CURRENT_GAIN_RMS, 0.2 / std::sqrt(2.0)));
    EXPECT_TRUE(m_table.IsParameterValid(1, GPD_A2E_CURRENT_GAIN));
    EXPECT_GE(counter.calls, 1);
    m_table.RemoveParameterClient(&counter);
}

TEST(GlobalAmpParameterTableTest, SecondParameterWithAnIdIsDropped)
{
    CGlobalAmpParameterTable table;
    EXPECT_TRUE(table.AddParameter(GPD_CS, CreateGlobalParameter(GPD_CS), "GPD_CS"));
    EXPECT_FALSE(table.AddParameter(GPD_CS, CreateGlobalParameter(GPD_MC), "OTHER"));
    EXPECT_EQ(table.GetCount(), 1);
    EXPECT_EQ(table.GetParameterIdByName("GPD_CS"), GPD_CS);
    EXPECT_EQ(table.GetParameterIdByName("OTHER"), -1);
    EXPECT_EQ(CreateGlobalParameter(14), nullptr);
}
