// The link's windows in the gallery.
#include <gtest/gtest.h>

#include <cstdlib>

#include "GalleryWindows.h"
#include "comm/link/CommManager.h"
#include "comm/link/LinkPortFactory.h"
#include "comm/windows/CommunicationsStatisticsDlg.h"
#include "platform/ui/ListCtrl.h"
#include "platform/ui/WinApp.h"
#include "testing/TempDir.h"
#include "testing/TestAppServices.h"

void ShowCommunicationsStatistics(GalleryShots& shots)
{
    TempDir home;
    TestAppServices app;
    app.m_iniPath = home.File("kvsettings.ini");
    app.m_assignments = {{1, "Kreln"}, {2, "Tavro"}};
    CCommManager manager;
    CLinkPortFactory factory(manager);
    manager.SetPortFactory(&factory);
    CCommunicationsStatisticsDlg dlg(manager.GetStatistics());
    ASSERT_EQ(manager.OpenDemoCommunications(), 1);
    ASSERT_TRUE(dlg.ShowStatistics());
    auto* list = static_cast<CListCtrl*>(dlg.GetDlgItem(CCommunicationsStatisticsDlg::kListId));
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(AfxPumpMessagesUntil([&] { return std::atoi(list->GetItemText(0, 1)) > 0; }, 10000));
    shots.Take(&dlg, "demo link running");
    manager.CloseCommunications();
    AfxPumpMessagesUntil([&] { return !dlg.IsWindowVisible(); }, 10000);
}
