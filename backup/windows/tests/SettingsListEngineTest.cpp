// The drive-settings list on its real engine: its definition runs as a
// template of the backup engine against the demo Tavro drive.
#include <gtest/gtest.h>

#include <string>

#include "backup/tests/BackupTestSupport.h"
#include "backup/windows/AmpBackupListEngine.h"
#include "framework/tests/DriveWindowDemoTest.h"
#include "framework/tests/SettingsListDlg.h"
#include "platform/ui/UserInput.h"
#include "testing/WindowShot.h"

namespace {

using namespace demo_codes;

// A heading, a macro-named query with a range, a choice row that only a
// template variable brings in, a row that a firmware condition leaves out.
const char kDefinition[] =
    "; drive limits\n"
    "#define PEAK TLP\n"
    "!EXTPROC:ADD:Limits\n"
    "!EXTPROC:ADD:Peak current\\{PEAK}\\TLP {_X}\n"
    "!EXTPROC:ID:Peak\n"
    "!EXTPROC:RANGE:0\\100\n"
    "#ifdef SHOWMODE\n"
    "!EXTPROC:ADD:Mode\\{MCC}\\MCC {_X}\n"
    "!EXTPROC:SELECT:Off\\0\\Slow\\1\\Fast\\2\n"
    "!EXTPROC:RANGE:0\\2\n"
    "#endif\n"
    "!IF (FW < 1.00)\n"
    "!EXTPROC:ADD:Old firmware only\n"
    "!ENDIF\n"
    "!EXTPROC:ADD:Firmware\\{VER/100}\n"
    "!EXTPROC:DIGITS:2\n";

class SettingsListEngineTest : public DriveWindowDemoTest {
protected:
    void SetUp() override
    {
        DriveWindowDemoTest::SetUp();
        m_host.m_parameters = &m_table;
        m_host.m_scopeVisible = 1;
        CAmpBackupListEngine::InstallFactory(&m_host);
    }
    void TearDown() override
    {
        DriveWindowDemoTest::TearDown();
        CAmpBackupListEngine::RemoveFactory();
        EXPECT_EQ(CSettingsListDlg::s_alive, 0);
    }
    void RegisterWindows(CGuiUpdateDlgIdMap& registry) override { CSettingsListDlg::Register(registry); }

    CSettingsListDlg* Open(const char* definition, unsigned flags = 0)
    {
        CSettingsListDlg::s_definition = definition;
        CSettingsListDlg::s_flags = flags;
        return dynamic_cast<CSettingsListDlg*>(m_frame.m_registry.CreateGui(kSettingsWindowName, nullptr, 1));
    }
    static std::string Rows(CQvxGuiUpdateList& list)
    {
        std::string text;
        for (int line = 0; line < list.GetItemCount(); ++line)
            text += std::string(line ? " " : "") + "[" + list.CReportCtrl::GetItemText(line, 0).GetString() + "=" +
                    list.CReportCtrl::GetItemText(line, 1).GetString() + "]";
        return text;
    }
    static bool Built(CQvxGuiUpdateList& list) { return !list.IsRebuildPending() && list.GetEngine()->IsIdle(); }
    bool WaitForRows(CQvxGuiUpdateList& list, const std::string& rows)
    {
        return Wait([&] { return Built(list) && Rows(list) == rows; });
    }

    FakeHost m_host;
};

}  // namespace

TEST_F(SettingsListEngineTest, RowsComeFromTheTemplateWithTheDrivesValues)
{
    SetRegister(kTavro, TLP, 80);
    SetRegister(kTavro, MCC, 1);
    CSettingsListDlg* dlg = Open(kDefinition, CQvxGuiUpdateList::kTypeValues);
    ASSERT_NE(dlg, nullptr);
    ASSERT_EQ(dlg->GetDrive(), kTavro);
    CQvxGuiUpdateList& list = dlg->m_list;
    ASSERT_TRUE(WaitForRows(list, "[Limits=] [Peak current=80] [Firmware=5.10]")) << Rows(list);

    // A template variable takes effect at the next build.
    list.SetTemplateVariable("SHOWMODE", "");
    list.LoadDefinition();
    ASSERT_TRUE(WaitForRows(list, "[Limits=] [Peak current=80] [Mode=Slow] [Firmware=5.10]")) << Rows(list);
    EXPECT_EQ(list.GetItemBkColor(0, 0), RGB(100, 100, 100)) << "the heading's colours";
    Screenshot(dlg, "settings_list_on_the_backup_engine");

    SetRegister(kTavro, TLP, 55);
    EXPECT_TRUE(WaitForRows(list, "[Limits=] [Peak current=55] [Mode=Slow] [Firmware=5.10]")) << Rows(list);

    // A typed value is held to the template's range and written through the row's command text.
    ASSERT_TRUE(list.EditSubItem(1, 1));
    ASSERT_NE(list.GetEditBox(), nullptr);
    list.GetEditBox()->SetWindowText("");
    kvtest::TypeText(list.GetEditBox(), "140\r");
    EXPECT_TRUE(Wait([&] { return Register(kTavro, TLP) == 100; })) << Register(kTavro, TLP);
    EXPECT_TRUE(Shown(Boxes(), "Peak current must be in the range 0 to 100."));

    // The list's runs are its own business: no progress window, no busy program, the scope left alone.
    EXPECT_TRUE(m_host.m_boxes.empty());
    EXPECT_EQ(m_host.m_progressOpened, 0);
    EXPECT_EQ(m_host.m_running, 0);
    EXPECT_EQ(m_host.m_scopeStops, 0);
    EXPECT_EQ(dynamic_cast<CAmpBackupListEngine*>(list.GetEngine())->GetErrorLog().Find("ERROR in line"), -1);
}

TEST_F(SettingsListEngineTest, ARebuildDuringARunShowsTheNewRowsOnly)
{
    std::string longDefinition;
    for (int row = 0; row < 200; ++row)
        longDefinition += "!EXTPROC:ADD:Old row " + std::to_string(row) + "\n";
    CSettingsListDlg* dlg = Open(longDefinition.c_str());
    ASSERT_NE(dlg, nullptr);
    CQvxGuiUpdateList& list = dlg->m_list;
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        // The window has just started a run; the new definition replaces it at once.
        list.SetDefinition("!EXTPROC:ADD:New heading\n!EXTPROC:ADD:Peak\\{TLP}\n");
        list.LoadDefinition();
        SetRegister(kTavro, TLP, 20 + round);
        ASSERT_TRUE(WaitForRows(list, "[New heading=] [Peak=" + std::to_string(20 + round) + "]")) << Rows(list);
        EXPECT_EQ(list.GetRowCount(), 2);
        list.SetDefinition(longDefinition.c_str());
        list.LoadDefinition();
    }
    // Closed with a run still going: the window goes at once and says nothing.
    dlg->SendMessage(WM_CLOSE);
    EXPECT_TRUE(Wait([] { return CSettingsListDlg::s_alive == 0; }));
    EXPECT_TRUE(m_host.m_boxes.empty());
}

TEST_F(SettingsListEngineTest, BadTemplateLinesGiveTheEnginesErrorAndTheGoodRowsStay)
{
    SetRegister(kTavro, TLP, 42);
    SetRegister(kTavro, MCC, 2);
    CSettingsListDlg* dlg = Open("!EXTPROC:ADD:Before\\{TLP}\n"
                                 "!NOSUCHDIRECTIVE\n"
                                 "!EXTPROC:COLOR:9=1\n"
                                 "#include \"missing.dat\"\n"
                                 "!BUILDTAVROIOLIST\n"
                                 "!EXTPROC:ADD:Broken\\{TLP\n"
                                 "!EXTPROC:ADD:After\\{MCC}\n");
    ASSERT_NE(dlg, nullptr);
    CQvxGuiUpdateList& list = dlg->m_list;
    ASSERT_TRUE(WaitForRows(list, "[Before=42] [Broken=Waiting...] [After=2]")) << Rows(list);
    // The list is the run's processor: its callbacks hear the outcome, no box is put up.
    EXPECT_TRUE(m_host.m_boxes.empty()) << m_host.m_boxes.front().GetString();
    auto* engine = dynamic_cast<CAmpBackupListEngine*>(list.GetEngine());
    ASSERT_NE(engine, nullptr);
    const CString log = engine->GetErrorLog();
    EXPECT_GE(log.Find("ERROR in line 2 of template file \"SettingsList.dat\":Unknown command or syntax error."), 0)
        << log.GetString();
    EXPECT_GE(log.Find("Could not open template file \"missing.dat\""), 0) << log.GetString();
    EXPECT_EQ(log.Find("color"), -1) << "a refused definition line is not an error of the run";

    // The broken row fails at every poll; the run's log does not grow with it.
    SetRegister(kTavro, TLP, 43);
    ASSERT_TRUE(WaitForRows(list, "[Before=43] [Broken=Waiting...] [After=2]")) << Rows(list);
    EXPECT_EQ(engine->GetErrorLog(), log);

    // Without a drive nothing runs.
    CAmpBackupListEngine idle;
    EXPECT_EQ(idle.RunTemplate(-1, "!EXTPROC:ADD:X\n"), 0);
    EXPECT_EQ(idle.IsIdle(), 1);
}
