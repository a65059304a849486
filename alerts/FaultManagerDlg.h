// CFaultManagerDlg: the Alert Log window. Lists the alert history or the
// per-key summary, and lets the user acknowledge, remove and un-suppress.
#pragma once

#include <functional>

#include "controls/ReportCtrl.h"
#include "platform/ui/Dialog.h"

class CFaultManager;

class CFaultManagerDlg : public CDialog {
public:
    enum { IDD = 311 };
    static constexpr int kList = 2268;
    static constexpr int kShowSummary = 2310;
    static constexpr int kShowAcknowledged = 2308;
    static constexpr int kClearAll = 2204;
    static constexpr int kClearAcknowledged = 2203;
    static constexpr int kResetSuppressed = 2057;
    static constexpr int kSettings = 2058;
    static constexpr int kTest = 2309;
    static constexpr int kPauseLogging = 2311;
    static constexpr UINT_PTR kRefreshTimer = 0;
    static constexpr UINT kRefreshMs = 500;
    static constexpr COLORREF kListBackground = 0xB4B4B4;
    static constexpr COLORREF kAcknowledgedColor = 0x808080;

    using AlertRaiser = std::function<void(const char* key, const char* text, int level, int flags)>;

    CFaultManagerDlg() : CDialog(IDD, nullptr) {}
    ~CFaultManagerDlg() override;

    void SetManager(CFaultManager* manager) { m_manager = manager; }
    // The "Test" button raises its alerts here (the program's own alert entry).
    void SetAlertRaiser(AlertRaiser raiser) { m_raiseAlert = std::move(raiser); }
    // Creates the window when needed, shows it and starts its refresh.
    BOOL Open(CWnd* parent);
    // Fills the list anew, hidden while it is rebuilt; nothing before the list exists.
    void RebuildList();
    void RefreshList(BOOL incremental);
    CReportCtrl& GetList() { return m_list; }

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    void OnTimer(UINT_PTR id);
    void OnClose();
    void OnSize(UINT type, int cx, int cy);
    void OnGetMinMaxInfo(MINMAXINFO* info);
    void OnItemChanged(NMHDR* header, LRESULT* result);
    LRESULT OnSortStarting(WPARAM, LPARAM);
    LRESULT OnSortDone(WPARAM, LPARAM);
    void OnClearAll() { RemoveListed(FALSE); }
    void OnClearAcknowledged() { RemoveListed(TRUE); }
    void OnResetSuppressed();
    void OnSettings();
    void OnTest();
    DECLARE_MESSAGE_MAP()

private:
    bool SummaryView() const;
    bool ListExists() const { return m_list.GetSafeHwnd() != nullptr; }
    void InsertColumns();
    void AppendRow(const class CFaultLogItem& item, int count, bool acknowledged);
    void UpdateRow(int row, const class CFaultLogItem& item, int count, bool acknowledged);
    void ApplyCheck(int row, BOOL checked);
    void RemoveListed(BOOL onlyAcknowledged);
    void WidenAlertColumn();
    void Layout(int cx, int cy);
    int TextWidth(const char* text);

    CFaultManager* m_manager = nullptr;
    CReportCtrl m_list;
    AlertRaiser m_raiseAlert;
    int m_busy = 0;
    bool m_measured = false;
    int m_listRightMargin = 0;
    int m_buttonsFromBottom = 0;
    int m_listToButtons = 0;
};
