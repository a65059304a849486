// CMonitorDistributionCenterDlg: shows the distribution manager's jobs with
// their timings and, for chosen jobs, the receivers they serve. Snapshots
// come from the manager's thread through a queue the window owns.
#pragma once

#include <memory>
#include <set>

#include "distribution/MonitorDistCenterQueryDataMap.h"
#include "distribution/MonitorDistCenterQueryDataMapQ.h"
#include "foundation/HPTimer.h"
#include "platform/ui/Dialog.h"

class CDistManager;
class CListCtrl;

class CMonitorDistributionCenterDlg : public CDialog {
public:
    enum { IDD = 298 };
    static constexpr int kQueriesListId = 2219;
    static constexpr int kSinksListId = 2220;
    static constexpr int kSelectedRadioId = 2221;
    static constexpr int kAllRadioId = 2222;
    static constexpr UINT_PTR kTimerId = 1;
    static constexpr UINT kTimerMs = 10;
    static constexpr double kRefreshSeconds = 0.2;

    explicit CMonitorDistributionCenterDlg(CDistManager& manager, CWnd* parent = nullptr);
    ~CMonitorDistributionCenterDlg() override;

    // Creates the window when needed and shows it; the manager publishes to it from then on.
    BOOL ShowMonitor();
    // Takes the queued snapshots and shows the newest when it is time.
    void OnTimer(UINT_PTR id);
    // Refreshes both lists from a snapshot now.
    void ShowSnapshot(const CMonitorDistCenterQueryDataMap& snapshot);

    BOOL OnInitDialog() override;
    void OnShowChoice();
    void OnQuerySelectionChanged(NMHDR* header, LRESULT* result);
    void OnDestroy();

    static CString CommandText(const CMonitorDistCenterQueryData& job);

protected:
    DECLARE_MESSAGE_MAP()

private:
    CListCtrl* QueriesList();
    CListCtrl* SinksList();
    void RefreshQueries(const CMonitorDistCenterQueryDataMap& snapshot);
    void RefreshSinks(const CMonitorDistCenterQueryDataMap& snapshot);
    void FillQueryRow(int row, const CMonitorDistCenterQueryData& job);

    CDistManager& m_manager;
    CMonitorDistCenterQueryDataMapQ m_queue;
    std::unique_ptr<CMonitorDistCenterQueryDataMap> m_shown;
    CHPTimer m_refreshWatch;
    bool m_inTick = false;
};
