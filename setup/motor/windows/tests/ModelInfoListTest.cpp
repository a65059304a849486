#include <gtest/gtest.h>

#include "PreprocessingListEngine.h"
#include "ProcedureDemoFixture.h"
#include "platform/core/StdioFile.h"
#include "setup/motor/windows/QvxGuiModelInfoListDlg.h"
#include "testing/WindowShot.h"

namespace {

using namespace demo_codes;

class ModelInfoListTest : public ModelInfoDemoTest {
protected:
    void PrepareDrives() override
    {
        ModelInfoDemoTest::PrepareDrives();
        SetRegister(kTavro, 12395, 7);
    }
    CQvxGuiModelInfoListDlg* Open(const char* display)
    {
        UseConfiguration(display);
        auto* dlg = OpenByName<CQvxGuiModelInfoListDlg>("MODEL_INFO_2");
        if (dlg) {
            EXPECT_TRUE(Wait([&] { return Line(dlg, "Serial Number") >= 0 && Cell(dlg, "Serial Number") == "12345678"; }))
                << Describe(dlg);
        }
        return dlg;
    }
    static int Line(CQvxGuiModelInfoListDlg* dlg, const char* label)
    {
        CQvxGuiUpdateList& list = dlg->GetList();
        for (int line = 0; line < list.GetItemCount(); ++line)
            if (list.CReportCtrl::GetItemText(line, 0) == label)
                return line;
        return -1;
    }
    static CString Cell(CQvxGuiModelInfoListDlg* dlg, const char* label)
    {
        const int line = Line(dlg, label);
        return line < 0 ? CString() : dlg->GetList().CReportCtrl::GetItemText(line, 1);
    }
    static std::string Describe(CQvxGuiModelInfoListDlg* dlg)
    {
        CQvxGuiUpdateList& list = dlg->GetList();
        std::string text = "rows:";
        for (int line = 0; line < list.GetItemCount(); ++line)
            text += std::string(" [") + list.CReportCtrl::GetItemText(line, 0).GetString() + "=" +
                    list.CReportCtrl::GetItemText(line, 1).GetString() + "]";
        if (auto* engine = dynamic_cast<CTestListEngine*>(list.GetEngine()))
            for (const std::string& error : engine->Errors())
                text += " error: " + error;
        return text;
    }
    static bool Visible(CWnd* dlg, int id) { return dlg->GetDlgItem(id)->IsWindowVisible(); }
    PreprocessingListEngineScope m_engine;
};

TEST_F(ModelInfoListTest, FactoryRowsAndABalancingRun)
{
    CQvxGuiModelInfoListDlg* dlg = Open("factory configuration");
    ASSERT_NE(dlg, nullptr);
    EXPECT_TRUE(Wait([&] { return Register(kTavro, 12395) == 0; })) << "factory access opened";
    EXPECT_TRUE(dlg->GetList().CanEditSubItem(Line(dlg, "Serial Number"), 1));
    EXPECT_GE(Line(dlg, "R Phase Offset"), 0);
    for (int id : {IDC_MIL_SEND, IDC_MIL_SAVE_MODEL, IDC_MIL_BALANCE, IDC_MIL_SAVE_OFFSETS, IDC_MIL_STATUS})
        EXPECT_TRUE(Visible(dlg, id)) << id;
    EXPECT_EQ(dlg->GetStatusLamp().m_onText, "Enable Drive");
    Screenshot(dlg, "model_info_list_factory");

    Boxes();
    kvtest::Click(dlg->GetDlgItem(IDC_MIL_BALANCE));
    EXPECT_TRUE(Shown(Boxes(), "Drive must be enabled to balance!"));
    ASSERT_TRUE(SetEnabled(dlg, true));
    EXPECT_EQ(dlg->GetStatusLamp().m_onText, "Ready");
    kvtest::Click(dlg->GetDlgItem(IDC_MIL_BALANCE));
    ASSERT_TRUE(Wait([&] { return dlg->GetBalanceButton().m_onText == "Balancing..."; }));
    EXPECT_EQ(dlg->GetBalanceButton().m_onFaceColor, 0x0000FFu);
    EXPECT_EQ(dlg->GetBalanceButton().m_blinkMode, 1);
    EXPECT_EQ(dlg->GetStatusLamp().m_onText, "Balancing...");
    EXPECT_EQ(dlg->GetStatusLamp().m_onColour, 0x00C400u);
    Screenshot(dlg, "model_info_list_balancing");

    JumpClock(3500);  // the drive balances for three seconds
    ASSERT_TRUE(Wait([&] { return dlg->GetStatusLamp().m_onText == "Completed"; }));
    EXPECT_EQ(dlg->GetBalanceButton().m_onText, "Balance");
    EXPECT_EQ(dlg->GetBalanceButton().m_onFaceColor, 0xBEBEBEu);
    EXPECT_EQ(dlg->GetBalanceButton().m_blinkMode, 0);
    EXPECT_TRUE(dlg->GetState().AreOffsetsUnsaved());

    // Closing asks about the offsets; saving them needs a disabled drive.
    AfxQueueScriptedAnswer(IDYES);
    dlg->SendMessage(WM_CLOSE);
    const auto boxes = Boxes();
    EXPECT_TRUE(Shown(boxes, "Offsets have not been saved to NVM.  Save now?"));
    EXPECT_TRUE(Shown(boxes, "Drive must be disabled to save balance offsets."));
    EXPECT_FALSE(Shown(boxes, "Model Info has not been saved"));
    EXPECT_TRUE(Wait([&] { return Register(kTavro, 12395) == 1; })) << "factory access closed";
}

TEST_F(ModelInfoListTest, TheBalanceConfigurationOffersOffsetsOnly)
{
    CQvxGuiModelInfoListDlg* dlg = Open("balance");
    ASSERT_NE(dlg, nullptr);
    EXPECT_GE(Line(dlg, "R Phase Offset"), 0);
    EXPECT_FALSE(dlg->GetList().CanEditSubItem(Line(dlg, "Serial Number"), 1));
    EXPECT_FALSE(dlg->GetDlgItem(IDC_MIL_SAVE_MODEL)->IsWindowEnabled());
    EXPECT_FALSE(dlg->GetDlgItem(IDC_MIL_SEND)->IsWindowEnabled());
    EXPECT_TRUE(dlg->GetDlgItem(IDC_MIL_BALANCE)->IsWindowEnabled());
    Screenshot(dlg, "model_info_list_balance");
    Settle();
    EXPECT_EQ(Register(kTavro, 12395), 7) << "no factory access outside the factory configuration";
}

TEST_F(ModelInfoListTest, TheCustomerSeesTheListAlone)
{
    CQvxGuiModelInfoListDlg* dlg = Open("normal configuration");
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(Line(dlg, "R Phase Offset"), -1);
    for (int id : {IDC_MIL_SEND, IDC_MIL_SAVE_MODEL, IDC_MIL_BALANCE, IDC_MIL_SAVE_OFFSETS, IDC_MIL_STATUS,
                   IDC_MIL_ENABLE})
        EXPECT_FALSE(Visible(dlg, id)) << id;
    CRect bar, list;
    dlg->GetToolbar().GetWindowRect(&bar);
    dlg->GetDlgItem(IDC_MIL_LIST)->GetWindowRect(&list);
    EXPECT_GE(list.top, bar.bottom) << "the list's header shows below the toolbar";
    Screenshot(dlg, "model_info_list_customer");
    dlg->SendMessage(WM_CLOSE);
    Settle();
    EXPECT_EQ(Register(kTavro, 12395), 7);
}

TEST_F(ModelInfoListTest, TheDefinitionRunsAsTheFileHoldsItSoErrorsNameItsLines)
{
    CQvxGuiModelInfoListDlg* dlg = Open("normal configuration");
    ASSERT_NE(dlg, nullptr);
    auto* engine = dynamic_cast<PreprocessingListEngine*>(dlg->GetList().GetEngine());
    ASSERT_NE(engine, nullptr);
    CStdioFile file;
    ASSERT_TRUE(file.Open(CQvxGuiModelInfoListDlg::DefinitionPath(), CFile::modeRead | CFile::typeText));
    CString firstLine;
    ASSERT_TRUE(file.ReadString(firstLine));
    // Line 1 of the text run is line 1 of the file: nothing is put before it.
    EXPECT_EQ(engine->m_lastTemplate.substr(0, engine->m_lastTemplate.find('\n')), std::string(firstLine.GetString()));
    EXPECT_EQ(dlg->GetList().GetColumnSize(), 100.0);
    EXPECT_EQ(dlg->GetList().GetColumnMode(), 1);
    dlg->SendMessage(WM_CLOSE);
    Settle();
}

TEST_F(ModelInfoListTest, AnEditedOffsetRowAsksAboutOffsetsOnClose)
{
    CQvxGuiModelInfoListDlg* dlg = Open("factory configuration");
    ASSERT_NE(dlg, nullptr);
    CQvxGuiUpdateList& list = dlg->GetList();
    const int line = Line(dlg, "S Phase Offset");
    ASSERT_GE(line, 0);
    ASSERT_TRUE(list.EditSubItem(1, line));
    list.GetEditBox()->SetWindowText("");
    kvtest::TypeText(list.GetEditBox(), "77\r");
    ASSERT_TRUE(Wait([&] { return list.GetModifiedCount() == 1; }));
    EXPECT_TRUE(dlg->GetState().AreOffsetsUnsaved());
    EXPECT_FALSE(dlg->GetState().HasModelChanges());

    Boxes();
    AfxQueueScriptedAnswer(IDYES);     // abandon the unsent row
    AfxQueueScriptedAnswer(IDCANCEL);  // but keep the window for the offsets
    dlg->SendMessage(WM_CLOSE);
    const auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_NE(boxes[0].Find("Changes have not been sent to the drive.  Abandon changes?"), -1);
    EXPECT_NE(boxes[1].Find("Offsets have not been saved to NVM.  Save now?"), -1);
    EXPECT_NE(m_frame.m_list.FindItem("CQvxGuiModelInfoListDlg", kTavro), nullptr) << "still open";

    // Sent and saved: nothing left to ask.
    ASSERT_TRUE(SetEnabled(dlg, false));
    kvtest::Click(dlg->GetDlgItem(IDC_MIL_SEND));
    EXPECT_TRUE(Wait([&] { return Register(kTavro, ISO) == 77; }));
    kvtest::Click(dlg->GetDlgItem(IDC_MIL_SAVE_OFFSETS));
    EXPECT_FALSE(dlg->GetState().AreOffsetsUnsaved());
    EXPECT_TRUE(Wait([&] { return Register(kTavro, 611) == 3; }));
    Boxes();
    dlg->SendMessage(WM_CLOSE);
    EXPECT_FALSE(Shown(Boxes(), "Offsets have not been saved"));
}

}  // namespace
