// CCommunicationsStatisticsDlg: the link-wide statistics as a two-column list,
// refreshed on a timer while it is shown.
#pragma once

#include "comm/trace/CommStatisticsView.h"
#include "platform/ui/Dialog.h"
#include "resources/ids/CommunicationsStatisticsIds.h"

class CCommStatistics;

class CCommunicationsStatisticsDlg : public CDialog, public CCommStatisticsView {
public:
    enum { IDD = IDD_COMMUNICATIONS_STATISTICS };
    static constexpr int kListId = IDC_COMM_STATISTICS_LIST;
    static constexpr UINT_PTR kRefreshTimer = 0;
    static constexpr UINT kRefreshMs = 500;

    explicit CCommunicationsStatisticsDlg(CCommStatistics& statistics, CWnd* parent = nullptr);
    ~CCommunicationsStatisticsDlg() override;

    // Creates the window when needed, shows it and starts its refresh.
    BOOL ShowStatistics();
    // May be called from any thread: the hiding is posted to the window.
    void HideStatistics() override;
    // Brings every row's value up to date.
    void Refresh();

protected:
    BOOL OnInitDialog() override;
    void OnTimer(UINT_PTR id);
    LRESULT OnHideStatistics(WPARAM, LPARAM);
    DECLARE_MESSAGE_MAP()

private:
    CCommStatistics& m_statistics;
};
