// The alert log's windows in the gallery.
#include <gtest/gtest.h>

#include "GalleryWindows.h"
#include "alerts/FaultManager.h"
#include "alerts/FaultManagerDlg.h"
#include "platform/ui/Button.h"
#include "platform/ui/UserInput.h"
#include "platform/ui/WinApp.h"

void ShowAlertLog(GalleryShots& shots)
{
    CFaultManager manager;
    manager.SetPopupAnswerer([](int, const CString&, int) { return 0; });
    manager.Reset();
    CFaultManagerDlg& window = manager.GetDialog();
    ASSERT_TRUE(window.Open(nullptr));
    kvtest::Click(window.GetDlgItem(CFaultManagerDlg::kTest));
    manager.ProcessPendingFaults();
    EXPECT_TRUE(AfxPumpMessagesUntil([&] { return window.GetList().GetItemCount() == 11; }, 5000));
    shots.Take(&window, "history of the test alerts");
    kvtest::Click(window.GetDlgItem(CFaultManagerDlg::kShowSummary));
    window.RefreshList(FALSE);
    shots.Take(&window, "summary by key");
    kvtest::OnNextModal([&shots](CWnd* settings) {
        shots.Take(settings, "settings");
        kvtest::Click(settings->GetDlgItem(IDCANCEL));
    });
    kvtest::Click(window.GetDlgItem(CFaultManagerDlg::kSettings));
    window.DestroyWindow();
}

void ShowAlertPopup(GalleryShots& shots)
{
    CFaultManager manager;
    for (int level : {2, 5}) {
        kvtest::OnNextModal([&shots, level](CWnd* popup) {
            shots.Take(popup, level == 2 ? "warning" : "alert");
            kvtest::Click(popup->GetDlgItem(IDOK));
        });
        manager.ShowPopup(level, level == 2 ? "[Drive:Tavro] Serial communications failure.  Re-trying."
                                            : "[Drive:Kreln] Communications receive buffer overflow.");
    }
}
