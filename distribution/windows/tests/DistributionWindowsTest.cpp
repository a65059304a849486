// The distribution monitor and the parameter test window on the demo link.
#include <algorithm>

#include <gtest/gtest.h>

#include "comm/link/CommManager.h"
#include "distribution/CommManagerLink.h"
#include "distribution/DistManager.h"
#include "distribution/parameters/GlobalParameterKinds.h"
#include "distribution/parameters/GlobalParameterTable.h"
#include "distribution/windows/MonitorDistributionCenterDlg.h"
#include "distribution/windows/TestGlobalParamsDlg.h"
#include "framework/tests/SampleDriveDlg.h"
#include "framework/tests/TestFrame.h"
#include "platform/core/MessageBox.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/ListCtrl.h"
#include "platform/ui/UserInput.h"
#include "platform/ui/WinApp.h"
#include "testing/DemoEngine.h"
#include "testing/TempDir.h"
#include "testing/TestAppServices.h"
#include "testing/WindowShot.h"

namespace {

class DistributionWindowsTest : public ::testing::Test, protected DemoEngine {
protected:
    void SetUp() override
    {
        Open();
        m_table.SetDistManager(&m_dist);
        m_table.AddDrive(1);
        m_table.AddDrive(2);
        m_frame.m_list.Initialise(&m_table);
        CSampleDriveDlg::Register(m_frame.m_registry);
        m_frame.m_registry.RegisterGui("GLOBALPARAMS", RUNTIME_CLASS(CTestGlobalParamsDlg),
                                       kFamilyKreln | kFamilyTavro, 0);
        m_frame.StartTicking();
        AfxTakeScriptedMessageLog();
    }
    void TearDown() override
    {
        m_frame.StopTicking();
        m_frame.DestroyAllWindows();
        m_table.RemoveAllDrives();
        Close();
    }
    static bool Wait(const std::function<bool()>& condition) { return AfxPumpMessagesUntil(condition, 10000); }
    static std::vector<CString> Column(CListCtrl* list, int column)
    {
        std::vector<CString> texts;
        for (int row = 0; row < list->GetItemCount(); ++row)
            texts.push_back(list->GetItemText(row, column));
        return texts;
    }

    CGlobalParameterTable m_table;
    TestFrame m_frame;
};

}  // namespace

TEST_F(DistributionWindowsTest, MonitorShowsJobsAndTheirReceivers)
{
    auto* first = static_cast<CSampleDriveDlg*>(m_frame.m_registry.CreateGui(kSampleWindowName, nullptr, 1));
    auto* second = static_cast<CSampleDriveDlg*>(m_frame.m_registry.CreateGui(kSampleWindowName, nullptr, 1));
    ASSERT_TRUE(first && second);
    second->SelectDrive(2);

    CMonitorDistributionCenterDlg monitor(m_dist);
    ASSERT_TRUE(monitor.ShowMonitor());
    auto* queries = static_cast<CListCtrl*>(monitor.GetDlgItem(CMonitorDistributionCenterDlg::kQueriesListId));
    auto* sinks = static_cast<CListCtrl*>(monitor.GetDlgItem(CMonitorDistributionCenterDlg::kSinksListId));
    ASSERT_EQ(queries->GetColumnCount(), 5);
    // The main window's timer publishes; here the wait does.
    const auto publishUntil = [&](const std::function<bool()>& condition) {
        return Wait([&] {
            m_dist.PublishMonitorSnapshot();
            return condition();
        });
    };
    ASSERT_TRUE(publishUntil([&] { return queries->GetItemCount() == 6; })) << queries->GetItemCount();
    std::vector<CString> addresses = Column(queries, 0);
    EXPECT_EQ(std::count(addresses.begin(), addresses.end(), "1"), 3);
    EXPECT_EQ(std::count(addresses.begin(), addresses.end(), "2"), 3);
    const std::vector<CString> commands = Column(queries, 1);
    EXPECT_EQ(std::count(commands.begin(), commands.end(), CodeToMnemonic(kStatusWordCode)), 2);
    int statusRow = -1;
    for (int row = 0; row < queries->GetItemCount() && statusRow < 0; ++row)
        if (commands[static_cast<size_t>(row)] == CodeToMnemonic(kStatusWordCode))
            statusRow = row;
    ASSERT_TRUE(publishUntil([&] { return queries->GetItemText(statusRow, 2).Find("200 / ") == 0; }));
    EXPECT_NE(queries->GetItemText(statusRow, 3).Find(" / "), -1);

    EXPECT_EQ(sinks->GetItemCount(), 0) << "Selected queries, nothing selected";
    queries->SetItemState(statusRow, LVIS_SELECTED, LVIS_SELECTED);
    // The window and the open-window list's drive-state source share the status poll.
    ASSERT_TRUE(publishUntil([&] { return sinks->GetItemCount() == 2; }));
    std::vector<CString> receivers = Column(sinks, 2);
    std::sort(receivers.begin(), receivers.end());
    EXPECT_EQ(receivers, (std::vector<CString>{"Drive State", "Sample Drive"}));
    for (int row = 0; row < 2; ++row) {
        EXPECT_EQ(sinks->GetItemText(row, 3), "200");
        EXPECT_EQ(sinks->GetItemText(row, 0), queries->GetItemText(statusRow, 0));
    }

    // Each window's three polls and the two status polls of each drive.
    kvtest::Click(monitor.GetDlgItem(CMonitorDistributionCenterDlg::kAllRadioId));
    ASSERT_TRUE(publishUntil([&] { return sinks->GetItemCount() == 10; }));
    Screenshot(&monitor, "distribution-monitor");

    // A window that closes takes its jobs and rows with it.
    second->DestroyWindow();
    ASSERT_TRUE(publishUntil([&] { return queries->GetItemCount() == 3 && sinks->GetItemCount() == 5; }));
    addresses = Column(queries, 0);
    EXPECT_EQ(std::count(addresses.begin(), addresses.end(), "1"), 3);
}

TEST_F(DistributionWindowsTest, ParameterWindowListsItsRowsInOrderWithValues)
{
    auto* dlg = static_cast<CTestGlobalParamsDlg*>(m_frame.m_registry.CreateGui("GLOBALPARAMS", nullptr, 1));
    ASSERT_NE(dlg, nullptr);
    auto* list = static_cast<CListCtrl*>(dlg->GetDlgItem(CTestGlobalParamsDlg::kListId));
    int count = 0;
    const int* ids = CTestGlobalParamsDlg::RowIds(count);
    ASSERT_EQ(list->GetItemCount(), 33);
    ASSERT_EQ(count, 33);
    EXPECT_EQ(list->GetItemText(0, 0), "A2E_VEL_GAIN");
    EXPECT_EQ(list->GetItemText(12, 0), "MDL14");
    EXPECT_EQ(list->GetItemText(13, 0), "TSC");
    EXPECT_EQ(list->GetItemText(23, 0), "VER");
    EXPECT_EQ(list->GetItemText(32, 0), "TAVRO_PCB_TYPE");
    for (int row = 0; row < count; ++row)
        EXPECT_EQ(static_cast<int>(list->GetItemData(row)), ids[row]);

    auto* selector = static_cast<CComboBox*>(dlg->GetDlgItem(CTestGlobalParamsDlg::kDriveSelectorId));
    ASSERT_EQ(selector->GetCount(), 2);
    EXPECT_EQ(dlg->SelectedDrive(), 1);
    ASSERT_TRUE(Wait([&] { return list->GetItemText(23, 1) == "4.16"; })) << list->GetItemText(23, 1);
    ASSERT_TRUE(kvtest::PickItem(selector, 1));
    EXPECT_EQ(dlg->SelectedDrive(), 2);
    ASSERT_TRUE(Wait([&] { return list->GetItemText(23, 1) == "5.1"; }));
    const std::vector<CString> values = Column(list, 1);
    EXPECT_GT(std::count(values.begin(), values.end(), "<Unavailable>"), 0) << "the module's own parameters stay empty";
    Screenshot(dlg, "global-params");
}
