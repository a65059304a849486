// CQvxWatchRegistersDlg: register watches of any connected drive, each a
// repeating query at its own period, with their values shown live.
#pragma once

#include <vector>

#include "controls/ReportCtrl.h"
#include "framework/GuiUpdateDlg.h"
#include "resources/ids/WatchRegistersIds.h"
#include "setup/io/WatchDisplaySettings.h"
#include "setup/io/WatchRegisterList.h"

class CQvxWatchRegistersDlg : public CGuiUpdateDlg {
    DECLARE_DYNCREATE(CQvxWatchRegistersDlg)

public:
    enum { IDD = IDD_WATCH_REGISTERS };
    // Commands of the "Settings" menu.
    enum { ID_WATCH_LOAD = 33100, ID_WATCH_SAVE, ID_WATCH_LIST_SETTINGS, ID_WATCH_EDIT_PROPERTIES, ID_WATCH_REMOVE,
           ID_WATCH_CHECK_SELECTED, ID_WATCH_UNCHECK_SELECTED };

    CQvxWatchRegistersDlg();
    ~CQvxWatchRegistersDlg() override;

    CString GetItemName() const override { return "Watch Registers"; }
    BOOL OnInitDialog() override;
    void ProcessResponses() override;
    // The watches run whatever drive the window's toolbar names.
    void CancelQueries() override {}
    void SerializeLayout(CArchive& ar, int version) override;
    // The GUI stress hook: toggles a random row's check box, removes and re-adds a random watch.
    void RandomExercise(int flags) override;
    // Watches the list's mouse for dragging rows.
    LRESULT HandleWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

    void OnAddWatch();
    void OnEditWatch();
    void OnRemoveWatch();
    void OnSettingsMenu();
    void OnLoad();
    void OnSave();
    void OnListSettings();
    void CheckSelected(int check);
    // Moves the selected rows, in their order, before the row `target` (the end past the last row).
    void MoveSelectionTo(int target);
    // The row highlighted as the drop target while rows are dragged, -1 when none.
    int GetDropTarget() const { return m_dropTarget; }

    const CWatchRegisterList& GetWatches() const { return m_watches; }
    const CWatchDisplaySettings& GetSettings() const { return m_settings; }
    CReportCtrl& GetList() { return m_list; }
    // Sends a watch's query anew; 0 when it does not parse or was refused.
    int Submit(CWatchRegisterItem* watch);

protected:
    void OnTimer(UINT_PTR id);
    void OnDestroy();
    void OnSize(UINT type, int cx, int cy);
    void OnGetMinMaxInfo(MINMAXINFO* info);
    LRESULT OnCheckChanged(WPARAM row, LPARAM mouse);
    void OnListItemChanged(NMHDR* header, LRESULT* result);
    void OnListDoubleClick(NMHDR* header, LRESULT* result);
    void OnListRightClick(NMHDR* header, LRESULT* result);
    DECLARE_MESSAGE_MAP()

private:
    void SetUpList();
    void ApplyLook();
    void Rebuild();
    void AddRow(int index);
    void RefreshRow(int index);
    void Cancel(CWatchRegisterItem* watch);
    void SetEnabled(int row, int enabled);
    int SendSetValue(const CWatchRegisterItem& watch);
    std::vector<int> SelectedRows() const;
    std::vector<CAmplifierData> Drives();
    CString RegisterText(const CWatchRegisterItem& watch);
    void FollowSelection();
    // The Value column takes the rest of the list's width.
    void FillValueColumn();
    // Widens the window when a value is wider than its column, so every value shows whole.
    void ShowWholeValues();
    void MoveRowsTo(const std::vector<int>& rows, int target);
    void OnListMouse(UINT message, CPoint point);
    void ShowDropTarget(int row);
    void EndDrag();
    void RemoveRow(int row);
    void AppendWatch(const CWatchRegisterItem& watch);

    CReportCtrl m_list;
    CWatchRegisterList m_watches;
    CWatchDisplaySettings m_settings;
    CWatchRegisterItem m_template;
    CString m_lastFile;
    int m_refreshing = 0;
    int m_filling = 0;
    CFont m_listFont;
    // Dragging rows: the selection when the button went down on it, the row pressed.
    std::vector<int> m_dragRows;
    int m_pressRow = -1;
    int m_dragging = 0;
    int m_dropTarget = -1;
    CHPTimer m_exerciseClock;
    CSize m_minSize{0, 0};  // the window's size as it opened: it is never made smaller
};
