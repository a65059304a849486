#include <gtest/gtest.h>

#include <cmath>

#include "ProcedureDemoFixture.h"
#include "distribution/parameters/GlobalParameterKinds.h"
#include "setup/motor/ModelInfoCalc.h"
#include "setup/motor/windows/QvxGuiModelInfo.h"
#include "testing/WindowShot.h"

namespace {

using namespace demo_codes;

class ModelInfoTest : public ModelInfoDemoTest {
protected:
    void PrepareDrives() override
    {
        ModelInfoDemoTest::PrepareDrives();
        SetRegister(kTavro, 12395, 7);
        SetIndexed(kTavro, MDL, MDI, 9, 400);     // bus volt scale
        SetIndexed(kTavro, MDL, MDI, 6, 2000);    // I feedback 20.00
        SetIndexed(kTavro, MDL, MDI, 22, 1638);   // thermal value of 2.5, for either configuration
        SetIndexed(kTavro, MDL, MDI, 11, 1638);
        SetIndexed(kTavro, MDL, MDI, 8, 0x80);    // over-temperature input active low
    }
    CQvxGuiModelInfo* Open(const char* display)
    {
        UseConfiguration(display);
        std::ofstream(m_home.File("program") + "/ModelNumber.ini") << "undefined\r\n101\r\n620\r\n";
        auto* dlg = OpenByName<CQvxGuiModelInfo>("MODEL_INFO");
        if (dlg) {
            EXPECT_TRUE(Wait([&] { return !Text(dlg, IDC_MI_THERMAL).IsEmpty() && !Text(dlg, IDC_MI_PN).IsEmpty(); }));
        }
        return dlg;
    }
    static bool Visible(CWnd* dlg, int id) { return dlg->GetDlgItem(id)->IsWindowVisible(); }
    static double Number(CWnd* dlg, int id)
    {
        CString text = Text(dlg, id);
        text.Replace(",", "");
        return std::atof(text);
    }
};

TEST_F(ModelInfoTest, TheFactoryLayoutOfATavroDriveAndItsBalancing)
{
    CQvxGuiModelInfo* dlg = Open("factory configuration");
    ASSERT_NE(dlg, nullptr);
    double cs = 0;
    ASSERT_TRUE(m_table.GetParameterValue(kTavro, GPD_CS, cs));
    EXPECT_EQ(Text(dlg, IDC_MI_FEEDBACK_LABEL), CString(CModelInfoCalc::FeedbackLabel(static_cast<int>(cs)))) << cs;
    EXPECT_EQ(Text(dlg, IDC_MI_THERMAL), "2") << "3276.8 / 1638, rounded";
    EXPECT_EQ(Text(dlg, IDC_MI_THERMAL_RAW), "1638");
    EXPECT_EQ(Visible(dlg, IDC_MI_THERMAL), CModelInfoCalc::ShowsThermalRow(static_cast<int>(cs)));
    EXPECT_TRUE(Visible(dlg, IDC_MI_PN));
    EXPECT_FALSE(Visible(dlg, IDC_MI_MODEL_LIST)) << "a Tavro drive has no model list";
    EXPECT_TRUE(Visible(dlg, IDC_MI_WORKING_HEADING));
    EXPECT_TRUE(Visible(dlg, IDC_MI_SEND));
    EXPECT_TRUE(Wait([&] { return Checked(dlg, IDC_MI_OVER_TEMP); }));
    EXPECT_DOUBLE_EQ(Number(dlg, IDC_MI_FEEDBACK), 20.0);
    Screenshot(dlg, "model_info_factory");

    Boxes();
    kvtest::Click(dlg->GetDlgItem(IDC_MI_BALANCE));
    EXPECT_TRUE(Shown(Boxes(), "Drive must be enabled to balance!"));
    ASSERT_TRUE(SetEnabled(dlg, true));
    kvtest::Click(dlg->GetDlgItem(IDC_MI_BALANCE));
    ASSERT_TRUE(Wait([&] { return dlg->IsBalancing(); }));
    EXPECT_EQ(Text(dlg, IDC_MI_BALANCING), "balancing");
    Screenshot(dlg, "model_info_balancing");
    JumpClock(3500);  // the drive balances for three seconds
    ASSERT_TRUE(Wait([&] { return !dlg->IsBalancing(); }));
    EXPECT_EQ(Text(dlg, IDC_MI_BALANCING), "balancing") << "now shown green";

    Boxes();
    dlg->SendMessage(WM_CLOSE);
    EXPECT_TRUE(Boxes().empty()) << "nothing unsent, nothing unsaved";
    EXPECT_TRUE(Wait([&] { return Register(kTavro, 12395) == 1; }));
}

TEST_F(ModelInfoTest, TheCustomerSeesValuesOnly)
{
    CQvxGuiModelInfo* dlg = Open("normal configuration");
    ASSERT_NE(dlg, nullptr);
    for (int id : {IDC_MI_THERMAL_WORK, IDC_MI_FEEDBACK_WORK, IDC_MI_WORKING_HEADING, IDC_MI_SEND, IDC_MI_BALANCE,
                   IDC_MI_SPIN_R})
        EXPECT_FALSE(Visible(dlg, id)) << id;
    EXPECT_TRUE(Visible(dlg, IDC_MI_OFFSET_R));
    EXPECT_TRUE(Visible(dlg, IDC_MI_FW_VERSION));
    Screenshot(dlg, "model_info_customer");
    dlg->SendMessage(WM_CLOSE);
    EXPECT_TRUE(Wait([&] { return Register(kTavro, 12395) == 1; })) << "every configuration leaves factory access";
}

TEST_F(ModelInfoTest, TheBalanceLayoutMakesTheOffsetsWritable)
{
    CQvxGuiModelInfo* dlg = Open("balance");
    ASSERT_NE(dlg, nullptr);
    EXPECT_TRUE(Visible(dlg, IDC_MI_BALANCE));
    EXPECT_TRUE(Visible(dlg, IDC_MI_SERIAL_WORK));
    EXPECT_FALSE(Visible(dlg, IDC_MI_THERMAL_WORK));
    EXPECT_FALSE(dlg->GetDlgItem(IDC_MI_OFFSET_R)->GetStyle() & ES_READONLY);
    Screenshot(dlg, "model_info_balance");
}

TEST_F(ModelInfoTest, SendingConvertsTheCurrentsAndAsksToSaveOnClose)
{
    CQvxGuiModelInfo* dlg = Open("factory configuration");
    ASSERT_NE(dlg, nullptr);
    ASSERT_TRUE(Wait([&] { return Number(dlg, IDC_MI_FEEDBACK_WORK) == 20.0; }))
        << Text(dlg, IDC_MI_FEEDBACK_WORK) << " / " << Text(dlg, IDC_MI_FEEDBACK) << " / " << Text(dlg, IDC_MI_FEEDBACK_RAW);
    ASSERT_TRUE(Wait([&] { return Number(dlg, IDC_MI_CONT_WORK) > 0; }));
    CString reply;
    ASSERT_EQ(dlg->ExecuteCommand("CONTROL(\"I Continuous\").SETVALUE(10)", reply), 1) << reply.GetString();
    const double amps = Number(dlg, IDC_MI_CONT_WORK);
    ASSERT_GT(amps, 0.0);
    ASSERT_TRUE(SetEnabled(dlg, true));
    Boxes();
    ASSERT_EQ(dlg->ExecuteCommand("SENDTOAMP(-1)", reply), 1);
    EXPECT_NE(reply.Find("ERROR"), -1);
    kvtest::Click(dlg->GetDlgItem(IDC_MI_SEND));
    EXPECT_TRUE(Shown(Boxes(), "Motor is Enabled.\nModel Info values not sent to drive."));
    ASSERT_TRUE(SetEnabled(dlg, false));

    // Without a working feedback nothing divides by it.
    CWnd* feedback = dlg->GetDlgItem(IDC_MI_FEEDBACK_WORK);
    CString kept;
    feedback->GetWindowText(kept);
    feedback->SetWindowText("");
    kvtest::Click(dlg->GetDlgItem(IDC_MI_SEND));
    EXPECT_TRUE(Shown(Boxes(), "Could not send values. Please try again"));
    EXPECT_FALSE(dlg->IsNvmUnsaved());
    feedback->SetWindowText(kept);

    AfxQueueScriptedAnswer(IDCANCEL);
    kvtest::Click(dlg->GetDlgItem(IDC_MI_SEND));
    EXPECT_TRUE(Shown(Boxes(), "Press OK to send these values to the drive."));
    EXPECT_FALSE(dlg->IsNvmUnsaved()) << "a Cancel sent nothing to save";
    kvtest::Click(dlg->GetDlgItem(IDC_MI_SEND));
    EXPECT_TRUE(Shown(Boxes(), "Press OK to send these values to the drive."));
    const long expected = static_cast<long>(std::trunc(amps * 3276700.0 / 2000.0 + 0.5));
    EXPECT_TRUE(Wait([&] { return Indexed(kTavro, MDL, MDI, 3) == expected; }))
        << Indexed(kTavro, MDL, MDI, 3) << " " << expected;
    EXPECT_TRUE(dlg->IsNvmUnsaved());

    SetRegister(kTavro, 611, 0);
    AfxQueueScriptedAnswer(IDYES);
    dlg->SendMessage(WM_CLOSE);
    EXPECT_TRUE(Shown(Boxes(), "You have NOT saved changes to NVM!\nPress YES if you wish changes to be saved!"));
    EXPECT_TRUE(Wait([&] { return Register(kTavro, 611) == 4 && Register(kTavro, 12395) == 1; }));
}

TEST_F(ModelInfoTest, AKrelnDriveShowsItsModelFromTheList)
{
    SetIndexed(kKreln, MDL, MDI, 0, 620);
    SetIndexed(kKreln, MDL, MDI, 1, 0x0405);
    SetIndexed(kKreln, MDL, MDI, 9, 400);
    UseConfiguration("factory configuration");
    std::ofstream(m_home.File("program") + "/ModelNumber.ini") << "undefined\r\n101\r\n620\r\n";
    auto* dlg = dynamic_cast<CQvxGuiModelInfo*>(m_frame.m_registry.CreateGui("MODEL_INFO", nullptr, 1));
    ASSERT_NE(dlg, nullptr);
    dlg->SetDrive(kKreln, 1);
    ASSERT_TRUE(Wait([&] { return dlg->GetDrive() == kKreln && dlg->AreStagesDone() && dlg->GetModelList().size() == 3; }));
    EXPECT_TRUE(Visible(dlg, IDC_MI_MODEL_LIST));
    EXPECT_FALSE(Visible(dlg, IDC_MI_PN));
    EXPECT_EQ(dlg->GetSelectedModel(), 620);
    EXPECT_TRUE(Wait([&] { return Text(dlg, IDC_MI_POWER) == "005A"; })) << Text(dlg, IDC_MI_POWER);
    EXPECT_TRUE(Visible(dlg, IDC_MI_VOLT_AMP)) << "a DAC-offset model";
    Screenshot(dlg, "model_info_kreln");

    auto* list = static_cast<CComboBox*>(dlg->GetDlgItem(IDC_MI_MODEL_LIST));
    list->SetCurSel(0);
    dlg->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_MI_MODEL_LIST, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    EXPECT_TRUE(Shown(Boxes(), "Undefined Model Number!"));
    EXPECT_EQ(dlg->GetSelectedModel(), 620);
    EXPECT_EQ(list->GetCurSel(), 2);
    dlg->SetClosing(1);
}

}  // namespace
