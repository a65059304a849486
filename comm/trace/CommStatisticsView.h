// CCommStatisticsView: the link statistics window as the link layer sees it.
#pragma once

class CCommStatisticsView {
public:
    virtual ~CCommStatisticsView() = default;
    // Hides the window and stops its refresh; communications have closed.
    virtual void HideStatistics() = 0;
};
