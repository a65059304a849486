// The settings sheet opened from the scope window, and the two range dialogs,
// used as a user would.
#include <gtest/gtest.h>

#include "ScopeWindowFixture.h"
#include "platform/ui/Button.h"
#include "platform/ui/ColorDialog.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/FileDialog.h"
#include "platform/ui/SplitButton.h"
#include "platform/ui/ListCtrl.h"
#include "platform/ui/UserInput.h"
#include "resources/ids/QvxScopeIds.h"
#include "resources/ids/ScopeSettingsIds.h"
#include "resources/ids/SetPlotRangeIds.h"
#include "scope/windows/ScopeSettingSheet.h"
#include "scope/windows/SetPlotAxisRangeDlg.h"
#include "scope/windows/SetPlotTimeRangeDlg.h"
#include "testing/WindowShot.h"

namespace {

class ScopeSheetTest : public ScopeWindowTest {
protected:
    // Opens the sheet with the Settings button and runs `act` on it while it is open.
    void WithSheet(std::function<void(CScopeSettingSheet&)> act)
    {
        bool ran = false;
        CScopeSettingSheet::OnNextOpen([&](CScopeSettingSheet& sheet) {
            ran = true;
            act(sheet);
        });
        kvtest::Click(m_scope.GetDlgItem(IDC_SCOPE_SETTINGS_SPLIT));
        ASSERT_TRUE(ran);
    }
    static void ShowPage(CScopeSettingSheet& sheet, int page) { sheet.SendMessage(PSM_SETCURSEL, page, 0); }
    static void Ok(CScopeSettingSheet& sheet) { kvtest::Click(sheet.GetDlgItem(IDOK)); }
};

TEST_F(ScopeSheetTest, AChannelsColourAndWidthChangeTheTrace)
{
    Assign(0, 1, "SVC");
    ASSERT_EQ(m_scope.ShowScope(TRUE, ""), 1);
    WithSheet([&](CScopeSettingSheet& sheet) {
        CString caption;
        sheet.GetWindowText(caption);
        EXPECT_EQ(caption, "Oscilloscope Settings");
        EXPECT_FALSE(sheet.GetStyle() & WS_SYSMENU);
        ShowPage(sheet, 1);
        CScopeSettingsChannelsPpg& page = sheet.Channels;
        page.SelectChannel(0);
        CString command;
        page.GetDlgItemText(IDC_SSC_COMMAND, command);
        EXPECT_EQ(command, "SVC");
        kvtest::QueueColorDialogAnswer(static_cast<long>(RGB(255, 0, 255)));
        kvtest::Click(page.GetDlgItem(IDC_SSC_SET_COLOR));
        EXPECT_TRUE(kvtest::PickItem(page.GetDlgItem(IDC_SSC_WIDTH), 2));
        Screenshot(&sheet, "scope-settings-channels");
        Ok(sheet);
    });
    EXPECT_EQ(m_scope.m_traces[0].Color, RGB(255, 0, 255));
    EXPECT_EQ(m_scope.m_traces[0].WidthIndex, 2);
    EXPECT_EQ(m_scope.m_lastActiveSettingsPage, 1);
    // The settings file holds the change.
    CDIniFile stored;
    ASSERT_TRUE(stored.LoadFile(m_scope.GetSettingsPath()));
    CScopeTraceDataArray traces;
    traces.Load(stored);
    EXPECT_EQ(traces[0].Color, RGB(255, 0, 255));

    // The sheet reopens on the page it closed on; Cancel changes nothing.
    WithSheet([&](CScopeSettingSheet& sheet) {
        EXPECT_EQ(sheet.GetSheet().GetCurSel(), 1);
        ShowPage(sheet, 2);
        kvtest::Click(sheet.GetDlgItem(IDCANCEL));
    });
    EXPECT_EQ(m_scope.m_lastActiveSettingsPage, 2);
    EXPECT_EQ(m_scope.m_traces[0].WidthIndex, 2);
}

TEST_F(ScopeSheetTest, ADriveChosenForAnEmptyChannelGivesItACustomSource)
{
    ASSERT_EQ(m_scope.ShowScope(TRUE, ""), 1);
    WithSheet([&](CScopeSettingSheet& sheet) {
        ShowPage(sheet, 1);
        CScopeSettingsChannelsPpg& page = sheet.Channels;
        page.SelectChannel(3);
        EXPECT_FALSE(page.GetDlgItem(IDC_SSC_COMMAND)->IsWindowEnabled()) << "no source yet";
        ASSERT_TRUE(kvtest::PickItem(page.GetDlgItem(IDC_SSC_DRIVE), 0));
        EXPECT_TRUE(page.GetDlgItem(IDC_SSC_COMMAND)->IsWindowEnabled());
        CString text;
        page.GetDlgItemText(IDC_SSC_COMMAND, text);
        EXPECT_EQ(text, "<Enter custom command>");
        EXPECT_TRUE(static_cast<CListCtrl*>(page.GetDlgItem(IDC_SSC_LIST))->GetCheck(3));
        // The drive's catalogue follows "Custom" in the register list.
        auto* registers = static_cast<CComboBox*>(page.GetDlgItem(IDC_SSC_REGISTER));
        ASSERT_GT(registers->GetCount(), 1);
        ASSERT_TRUE(kvtest::PickItem(registers, 1));
        page.GetDlgItemText(IDC_SSC_COMMAND, text);
        EXPECT_NE(text, "<Enter custom command>");
        Ok(sheet);
    });
    ASSERT_NE(m_scope.m_traces[3].YSourceID, -1);
    EXPECT_EQ(m_scope.m_traces[3].Enabled, 1);
    EXPECT_EQ(m_scope.m_traces[3].Color, CScopeTraceDataArray::DefaultColor(3));
    CScopeSourceData* source = m_scope.m_sources.FindById(m_scope.m_traces[3].YSourceID, 0);
    ASSERT_NE(source, nullptr);
    EXPECT_EQ(source->AmpAddr, 1);
    EXPECT_EQ(source->QvxSourceIndex, 1);
}

TEST_F(ScopeSheetTest, AFullDriveIsRefusedToOtherChannelsOnly)
{
    for (int i = 0; i < 4; ++i)
        Assign(i, 1, "SVC");
    ASSERT_EQ(m_scope.ShowScope(TRUE, ""), 1);
    WithSheet([&](CScopeSettingSheet& sheet) {
        ShowPage(sheet, 1);
        CScopeSettingsChannelsPpg& page = sheet.Channels;
        AfxTakeScriptedMessageLog();
        page.SelectChannel(5);
        ASSERT_TRUE(kvtest::PickItem(page.GetDlgItem(IDC_SSC_DRIVE), 0));
        std::vector<CString> boxes = AfxTakeScriptedMessageLog();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_NE(boxes[0].Find("Drive \"Kreln\" has no available scope channels."), -1) << boxes[0];
        EXPECT_EQ(page.Traces[5].YSourceID, -1);
        // A channel that already uses the drive may keep choosing it.
        page.SelectChannel(0);
        ASSERT_TRUE(kvtest::PickItem(page.GetDlgItem(IDC_SSC_DRIVE), 0));
        EXPECT_TRUE(AfxTakeScriptedMessageLog().empty());
        // Unchecking one frees a place; checking it again is refused once a fifth is checked.
        page.OnChannelChecked(1, false);
        ASSERT_TRUE(kvtest::PickItem(page.GetDlgItem(IDC_SSC_DRIVE), 0));
        page.SelectChannel(5);
        ASSERT_TRUE(kvtest::PickItem(page.GetDlgItem(IDC_SSC_DRIVE), 0));
        EXPECT_NE(page.Traces[5].YSourceID, -1);
        AfxTakeScriptedMessageLog();
        page.OnChannelChecked(1, true);
        boxes = AfxTakeScriptedMessageLog();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_NE(boxes[0].Find("Checking this channel would exceed"), -1);
        EXPECT_EQ(page.Traces[1].Enabled, 0);
        kvtest::Click(sheet.GetDlgItem(IDCANCEL));
    });
    EXPECT_EQ(m_scope.m_traces[5].YSourceID, -1) << "Cancel keeps the window's channels";
}

TEST_F(ScopeSheetTest, ModeChangeAsksAndUnassignsEveryChannel)
{
    Assign(0, 1, "SVC");
    ASSERT_EQ(m_scope.ShowScope(TRUE, ""), 1);
    WithSheet([&](CScopeSettingSheet& sheet) {
        ShowPage(sheet, 0);
        CScopeSettingsGeneralPpg& general = sheet.General;
        AfxQueueScriptedAnswer(IDNO);
        kvtest::Click(general.GetDlgItem(IDC_SSG_XY));
        EXPECT_EQ(static_cast<CButton*>(general.GetDlgItem(IDC_SSG_SWEEP))->GetCheck(), BST_CHECKED);
        EXPECT_EQ(static_cast<CButton*>(general.GetDlgItem(IDC_SSG_XY))->GetCheck(), BST_UNCHECKED);
        EXPECT_FALSE(general.GetDlgItem(IDC_SSG_TAIL_POINTS)->IsWindowEnabled());
        AfxQueueScriptedAnswer(IDYES);
        kvtest::Click(general.GetDlgItem(IDC_SSG_XY));
        EXPECT_TRUE(general.GetDlgItem(IDC_SSG_TAIL_POINTS)->IsWindowEnabled());
        // Tail points out of range keep the user on the page.
        for (const char* bad : {"99", "10001"}) {
            general.SetDlgItemText(IDC_SSG_TAIL_POINTS, bad);
            AfxTakeScriptedMessageLog();
            ShowPage(sheet, 1);
            EXPECT_EQ(sheet.GetSheet().GetCurSel(), 0) << bad;
            EXPECT_EQ(AfxTakeScriptedMessageLog().size(), 1u) << bad;
        }
        general.SetDlgItemText(IDC_SSG_TAIL_POINTS, "500");
        ShowPage(sheet, 1);
        EXPECT_EQ(sheet.GetSheet().GetCurSel(), 1);
        for (int i = 0; i < CScopeTraceDataArray::kTraceCount; ++i)
            EXPECT_EQ(sheet.Channels.Traces[i].YSourceID, -1) << i;
        EXPECT_TRUE(sheet.Channels.GetDlgItem(IDC_SSC_X)->IsWindowEnabled() || sheet.Channels.GetSelectedChannel() < 0);
        Ok(sheet);
    });
    EXPECT_EQ(m_scope.m_plotMode, 2);
    EXPECT_EQ(m_scope.m_traceTailPoints, 500);
    EXPECT_EQ(m_scope.m_traces[0].YSourceID, -1);
    m_scope.UpdateTexts();
    CString caption;
    m_scope.GetDlgItem(IDC_SCOPE_RANGE_CAPTION)->GetWindowText(caption);
    EXPECT_EQ(caption, "X-range:");
}

TEST_F(ScopeSheetTest, RecordTriggersListTheChannelsAndCheckTheirRanges)
{
    const int svc = Assign(0, 1, "SVC")->SourceID;  // the sheet's OK replaces the source records
    ASSERT_EQ(m_scope.ShowScope(TRUE, ""), 1);
    WithSheet([&](CScopeSettingSheet& sheet) {
        ShowPage(sheet, 2);
        CScopeSettingsRecordTriggersPpg& page = sheet.Triggers;
        EXPECT_FALSE(page.GetDlgItem(IDC_SST_START_SOURCE)->IsWindowEnabled());
        kvtest::Click(page.GetDlgItem(IDC_SST_START_LEVEL_MODE));
        EXPECT_TRUE(page.GetDlgItem(IDC_SST_START_SOURCE)->IsWindowEnabled());
        auto* source = static_cast<CComboBox*>(page.GetDlgItem(IDC_SST_START_SOURCE));
        ASSERT_EQ(source->GetCount(), 1);
        ASSERT_TRUE(kvtest::PickItem(source, 0));
        ASSERT_TRUE(kvtest::PickItem(page.GetDlgItem(IDC_SST_START_ON), 0));
        CString label;
        page.GetDlgItem(IDC_SST_START_LEVEL_CAPTION)->GetWindowText(label);
        EXPECT_EQ(label, "Threshold:");
        page.SetDlgItemText(IDC_SST_START_LEVEL, "500");
        kvtest::Click(page.GetDlgItem(IDC_SST_STOP_TIME_MODE));
        EXPECT_TRUE(page.GetDlgItem(IDC_SST_STOP_TIME)->IsWindowEnabled());
        const struct {
            int id;
            const char* text;
        } refused[] = {{IDC_SST_STOP_TIME, "-1"}, {IDC_SST_STOP_TIME, "100000"}, {IDC_SST_ADVANCED_SECS, "5.5"}};
        for (const auto& r : refused) {
            page.SetDlgItemText(IDC_SST_STOP_TIME, "3");
            page.SetDlgItemText(IDC_SST_ADVANCED_SECS, "2");
            page.SetDlgItemText(r.id, r.text);
            ShowPage(sheet, 0);
            EXPECT_EQ(sheet.GetSheet().GetCurSel(), 2) << r.text;
        }
        page.SetDlgItemText(IDC_SST_ADVANCED_SECS, "2");
        page.SetDlgItemText(IDC_SST_STOP_TIME, "3");
        Ok(sheet);
    });
    EXPECT_EQ(m_scope.m_recordStartTrigger, 1);
    EXPECT_EQ(m_scope.m_startTrigSourceId, svc);
    EXPECT_EQ(m_scope.m_startTrigOn, 0);
    EXPECT_DOUBLE_EQ(m_scope.m_startTrigLevel, 500);
    EXPECT_EQ(m_scope.m_recordStopTrigger, 2);
    EXPECT_DOUBLE_EQ(m_scope.m_recordTime, 3);
}

TEST_F(ScopeSheetTest, SettingsDropDownSavesAndLoadsAFileBesideTheCurrentOne)
{
    Assign(0, 1, "SVC");
    ASSERT_EQ(m_scope.ShowScope(TRUE, ""), 1);
    CSplitButton& settings = m_scope.GetSettingsSplit();
    EXPECT_EQ(settings.GetDropDownCount(), 3);
    const CString current = m_scope.GetSettingsPath();
    const std::string other = m_engine.m_home.File("other.dat");
    m_scope.m_yLabel = "Saved label";
    kvtest::QueueFileDialogAnswer(other.c_str());
    AfxTakeScriptedMessageLog();
    ASSERT_TRUE(kvtest::ChooseDropDownItem(settings, ID_SCOPE_SAVE_SETTINGS));
    std::vector<CString> boxes = AfxTakeScriptedMessageLog();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].Find("Scope settings saved."), -1);

    m_scope.m_yLabel = "Changed";
    kvtest::QueueFileDialogAnswer(other.c_str());
    ASSERT_TRUE(kvtest::ChooseDropDownItem(settings, ID_SCOPE_LOAD_SETTINGS));
    EXPECT_EQ(m_scope.m_yLabel, "Saved label");
    EXPECT_EQ(m_scope.m_strYLabel, "Saved label") << "applied to the plot";
    EXPECT_EQ(m_scope.GetSettingsPath(), current) << "not made the current file";

    // A folder that does not exist: the error, nothing written.
    kvtest::QueueFileDialogAnswer(m_engine.m_home.File("no/such/folder.dat").c_str());
    ASSERT_TRUE(kvtest::ChooseDropDownItem(settings, ID_SCOPE_SAVE_SETTINGS));
    boxes = AfxTakeScriptedMessageLog();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].Find("ERROR: Could not save scope settings."), -1);
}

TEST(PlotRangeDialogs, CaptionsAndTheTimeRangesBounds)
{
    {
        CSetPlotAxisRangeDlg dialog;
        dialog.Title = "";
        kvtest::OnNextModal([](CWnd* d) {
            CString caption;
            d->GetWindowText(caption);
            EXPECT_EQ(caption, "Set Plot Axis Range");
            kvtest::Click(d->GetDlgItem(IDCANCEL));
        });
        EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    }
    const struct {
        const char* text;
        bool accepted;
    } cases[] = {{"0", true}, {"10", true}, {"1e10", true}, {"-1", false}, {"2e10", false}, {"abc", false}};
    for (const auto& c : cases) {
        CSetPlotTimeRangeDlg dialog;
        dialog.TimeRange = 5;
        bool stayed = false;
        kvtest::OnNextModal([&](CWnd* d) {
            d->SetDlgItemText(IDC_PLOT_TIME_RANGE, c.text);
            kvtest::Click(d->GetDlgItem(IDOK));
            stayed = d->IsWindowVisible() != FALSE;
            if (stayed)
                kvtest::Click(d->GetDlgItem(IDCANCEL));
        });
        const INT_PTR result = dialog.DoModal();
        EXPECT_EQ(result == IDOK, c.accepted) << c.text;
        EXPECT_EQ(stayed, !c.accepted) << c.text;
    }
}

}  // namespace
