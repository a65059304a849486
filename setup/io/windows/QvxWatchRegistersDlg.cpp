#include "setup/io/windows/QvxWatchRegistersDlg.h"

#include <algorithm>
#include <cmath>

#include "distribution/AmpCommandText.h"
#include "foundation/DPropertyList.h"
#include "framework/GuiUpdateList.h"
#include "platform/core/Archive.h"
#include "platform/core/Rand.h"
#include "platform/core/SpecialFolders.h"
#include "platform/ui/DC.h"
#include "platform/ui/FileDialog.h"
#include "platform/ui/Hook.h"
#include "platform/ui/Menu.h"
#include "setup/io/WatchListFile.h"
#include "setup/io/windows/SetupRegisterWatchDlg.h"
#include "setup/io/windows/WatchRegisterSettingsDlg.h"

IMPLEMENT_DYNCREATE(CQvxWatchRegistersDlg, CGuiUpdateDlg)
// The window factory finds the window by its class name.
static const CRuntimeClassRegistrar kRegistrar(RUNTIME_CLASS(CQvxWatchRegistersDlg));

BEGIN_MESSAGE_MAP(CQvxWatchRegistersDlg, CGuiUpdateDlg)
    ON_BN_CLICKED(IDC_WATCH_ADD, &CQvxWatchRegistersDlg::OnAddWatch)
    ON_BN_CLICKED(IDC_WATCH_EDIT, &CQvxWatchRegistersDlg::OnEditWatch)
    ON_BN_CLICKED(IDC_WATCH_REMOVE, &CQvxWatchRegistersDlg::OnRemoveWatch)
    ON_BN_CLICKED(IDC_WATCH_SETTINGS_MENU, &CQvxWatchRegistersDlg::OnSettingsMenu)
    ON_COMMAND(ID_WATCH_LOAD, &CQvxWatchRegistersDlg::OnLoad)
    ON_COMMAND(ID_WATCH_SAVE, &CQvxWatchRegistersDlg::OnSave)
    ON_COMMAND(ID_WATCH_LIST_SETTINGS, &CQvxWatchRegistersDlg::OnListSettings)
    ON_COMMAND(ID_WATCH_EDIT_PROPERTIES, &CQvxWatchRegistersDlg::OnEditWatch)
    ON_COMMAND(ID_WATCH_REMOVE, &CQvxWatchRegistersDlg::OnRemoveWatch)
    ON_MESSAGE(WM_REPORT_CHECKCHANGED, &CQvxWatchRegistersDlg::OnCheckChanged)
    ON_NOTIFY(LVN_ITEMCHANGED, IDC_WATCH_LIST, &CQvxWatchRegistersDlg::OnListItemChanged)
    ON_NOTIFY(NM_DBLCLK, IDC_WATCH_LIST, &CQvxWatchRegistersDlg::OnListDoubleClick)
    ON_NOTIFY(NM_RCLICK, IDC_WATCH_LIST, &CQvxWatchRegistersDlg::OnListRightClick)
    ON_WM_TIMER()
    ON_WM_SIZE()
    ON_WM_GETMINMAXINFO()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

namespace {
constexpr const char* kFilter = "Watchlist Settings File (*.wls)|*.wls||";
constexpr UINT_PTR kRefreshTimer = 0;
constexpr int kMargin = 10;
constexpr COLORREF kDropTargetText = RGB(255, 255, 255);
constexpr COLORREF kDropTargetBack = RGB(0, 120, 215);
}  // namespace

CQvxWatchRegistersDlg::CQvxWatchRegistersDlg() : CGuiUpdateDlg(IDD) {}

CQvxWatchRegistersDlg::~CQvxWatchRegistersDlg() = default;

BOOL CQvxWatchRegistersDlg::OnInitDialog()
{
    CGuiUpdateDlg::OnInitDialog();
    SetUpList();
    AttachToWindow(m_list.GetSafeHwnd());
    // New watches start on the window's drive.
    m_template.m_drive = GetDrive();
    m_settings.LoadFromProfile(kWatchWindowSection);
    m_watches.LoadFromProfile(kWatchListSection);
    ApplyLook();
    Rebuild();
    SetTimer(kRefreshTimer, 100);
    CRect window;
    GetWindowRect(&window);
    m_minSize = window.Size();
    return TRUE;
}

void CQvxWatchRegistersDlg::OnGetMinMaxInfo(MINMAXINFO* info)
{
    CGuiUpdateDlg::OnGetMinMaxInfo(info);
    if (info && m_minSize.cx > 0) {
        info->ptMinTrackSize.x = m_minSize.cx;
        info->ptMinTrackSize.y = m_minSize.cy;
    }
}

void CQvxWatchRegistersDlg::SetUpList()
{
    CWnd* holder = GetDlgItem(IDC_WATCH_LIST);
    CRect rect;
    holder->GetWindowRect(&rect);
    ScreenToClient(&rect);
    holder->DestroyWindow();
    m_list.CreateReport(this, IDC_WATCH_LIST, &rect);
    m_list.InsertColumn(0, "Register", LVCFMT_LEFT, 150);
    int width = 120;
    if (CDC* dc = m_list.GetDC()) {
        dc->SelectObject(m_list.GetFont());
        width = dc->GetTextExtent(CString("MMMMMMMMMMMMM")).cx;
        m_list.ReleaseDC(dc);
    }
    m_list.InsertColumn(1, "Value", LVCFMT_LEFT, width);
}

void CQvxWatchRegistersDlg::ApplyLook()
{
    m_list.SetExtendedStyle(LVS_EX_FULLROWSELECT | (m_settings.m_showEnableCheckboxes ? LVS_EX_CHECKBOXES : 0));
    m_listFont.DeleteObject();
    m_listFont.CreatePointFont(m_settings.m_fontPts10, "Arial");
    m_list.SetFont(&m_listFont);
    if (m_settings.m_valueColWidth > 0)
        m_list.SetColumnWidth(1, m_settings.m_valueColWidth);
    FillValueColumn();
}

std::vector<CAmplifierData> CQvxWatchRegistersDlg::Drives()
{
    CList<CAmplifierData> drives;
    int current = 0;
    GetToolbarInfo(drives, current);
    return std::vector<CAmplifierData>(drives.begin(), drives.end());
}

CString CQvxWatchRegistersDlg::RegisterText(const CWatchRegisterItem& watch)
{
    const std::vector<CAmplifierData> drives = Drives();
    if (drives.size() < 2)
        return watch.m_description;
    for (const CAmplifierData& drive : drives)
        if (drive.m_address == watch.m_drive)
            return drive.m_name + ":" + watch.m_description;
    return watch.m_description;
}

void CQvxWatchRegistersDlg::Cancel(CWatchRegisterItem* watch)
{
    if (!watch->m_jobId)
        return;
    CancelQuery(static_cast<int>(watch->m_jobId));
    m_watches.SetJob(watch, 0);
}

int CQvxWatchRegistersDlg::Submit(CWatchRegisterItem* watch)
{
    Cancel(watch);
    CAmpQryCmdFromGui query;
    if (!ParseAmpCommandText(query, watch->m_queryExpression))
        return 0;
    query.m_address = static_cast<BYTE>(watch->m_drive);
    // The distribution layer keeps periods in 16 bits.
    const double ms = std::trunc(watch->m_updateSecs * 1000.0 + 1e-9);
    query.m_time = static_cast<WORD>(std::clamp(ms, 1.0, 65535.0));
    query.m_flags = kQryDefault;
    const int id = SubmitQuery(query);
    if (id <= 0)
        return 0;
    m_watches.SetJob(watch, static_cast<DWORD>(id));
    return 1;
}

int CQvxWatchRegistersDlg::SendSetValue(const CWatchRegisterItem& watch)
{
    CAmpQryCmdFromGui command;
    if (!ParseAmpCommandText(command, watch.m_queryExpression + watch.m_setValue))
        return 0;
    command.m_address = static_cast<BYTE>(watch.m_drive);
    command.m_time = 0;
    command.m_flags = kQryCommand;
    return SubmitQuery(command) > 0;
}

void CQvxWatchRegistersDlg::Rebuild()
{
    EndDrag();
    m_filling = 1;
    m_list.DeleteAllItems();
    for (int i = 0; i < m_watches.GetCount(); ++i) {
        CWatchRegisterItem* watch = m_watches.GetAt(i);
        if (watch->m_enabled)
            Submit(watch);
        else
            watch->m_valueText = "N/A";
        AddRow(i);
    }
    m_filling = 0;
    FollowSelection();
}

void CQvxWatchRegistersDlg::AddRow(int index)
{
    m_filling = 1;
    m_list.InsertItem(index, "");
    m_list.SetItemText(index, 1, "New");
    RefreshRow(index);
    m_filling = 0;
}

void CQvxWatchRegistersDlg::RefreshRow(int index)
{
    const CWatchRegisterItem& watch = *m_watches.GetAt(index);
    const int filling = m_filling;
    m_filling = 1;
    m_list.SetItemColors(index, static_cast<COLORREF>(watch.m_textColour), static_cast<COLORREF>(watch.m_rowColour));
    m_list.SetItemText(index, 0, RegisterText(watch));
    if (m_settings.m_showEnableCheckboxes)
        m_list.SetCheck(index, watch.m_enabled);
    m_filling = filling;
}

void CQvxWatchRegistersDlg::ProcessResponses()
{
    CAmpResponseToGui response;
    while (GetNextResponse(response))
        m_watches.ApplyReply(response, m_settings.m_showValueFormat, m_settings.m_showUpdateTime);
}

void CQvxWatchRegistersDlg::OnTimer(UINT_PTR id)
{
    if (id != kRefreshTimer || m_refreshing || IsDlgButtonChecked(IDC_WATCH_PAUSE))
        return;
    m_refreshing = 1;
    bool changed = false;
    for (int row = 0; row < m_list.GetItemCount() && row < m_watches.GetCount(); ++row) {
        const CString& text = m_watches.GetAt(row)->m_valueText;
        if (m_list.GetItemText(row, 1) != text) {
            m_list.SetItemText(row, 1, text);
            changed = true;
        }
    }
    if (changed)
        ShowWholeValues();
    FollowSelection();
    m_refreshing = 0;
}

void CQvxWatchRegistersDlg::FollowSelection()
{
    const BOOL any = m_list.GetSelectedCount() > 0;
    GetDlgItem(IDC_WATCH_REMOVE)->EnableWindow(any);
    GetDlgItem(IDC_WATCH_EDIT)->EnableWindow(any);
}

std::vector<int> CQvxWatchRegistersDlg::SelectedRows() const
{
    std::vector<int> rows;
    POSITION pos = m_list.GetFirstSelectedItemPosition();
    while (pos)
        rows.push_back(m_list.GetNextSelectedItem(pos));
    return rows;
}

void CQvxWatchRegistersDlg::OnAddWatch()
{
    CWatchRegisterItem start = m_template;
    start.m_queryExpression.Empty();
    start.m_description.Empty();
    CSetupRegisterWatchDlg dlg(start, CSetupRegisterWatchDlg::kAdd, Drives(), this);
    if (dlg.DoModal() != IDOK)
        return;
    CWatchRegisterItem watch = dlg.m_watch;
    watch.m_rowColour = watch.m_rowColour == -1 ? 0xFFFFFF : watch.m_rowColour;
    watch.m_textColour = watch.m_textColour == -1 ? 0 : watch.m_textColour;
    watch.m_jobId = 0;
    watch.m_setValueRequested = 0;
    m_template = watch;
    const int count = dlg.m_expressions.GetSize();
    if (count > 1) {
        CString question = "Would you like to add the following watches?\r\n\r\n";
        for (int i = 0; i < count; ++i)
            question += dlg.m_expressions[i] + "\r\n";
        if (CGuiUpdateItem::MessageBox(question, MB_YESNO | MB_ICONQUESTION, 0, IDYES) != IDYES)
            return;
    }
    for (int i = 0; i < count; ++i) {
        if (count > 1) {
            watch.m_queryExpression = dlg.m_expressions[i];
            watch.m_description = dlg.m_expressions[i];
        }
        AppendWatch(watch);
        m_list.EnsureVisible(m_watches.GetCount() - 1, FALSE);
    }
}

void CQvxWatchRegistersDlg::OnEditWatch()
{
    const std::vector<int> rows = SelectedRows();
    if (rows.empty())
        return;
    const bool many = rows.size() > 1;
    CSetupRegisterWatchDlg dlg(*m_watches.GetAt(rows.front()),
                               many ? CSetupRegisterWatchDlg::kEditMany : CSetupRegisterWatchDlg::kEditOne, Drives(),
                               this);
    if (dlg.DoModal() != IDOK)
        return;
    const CWatchRegisterItem& edited = dlg.m_watch;
    bool failed = false;
    for (int row : rows) {
        CWatchRegisterItem* watch = m_watches.GetAt(row);
        if (dlg.m_periodMs > 0)
            watch->m_updateSecs = dlg.m_periodMs / 1000.0;
        for (auto [from, to] : {std::pair{edited.m_drive, &watch->m_drive}, std::pair{edited.m_displayAs, &watch->m_displayAs},
                                std::pair{edited.m_padAs, &watch->m_padAs}, std::pair{edited.m_rowColour, &watch->m_rowColour},
                                std::pair{edited.m_textColour, &watch->m_textColour}})
            if (from != -1)
                *to = from;
        if (!many) {
            watch->m_description = edited.m_description;
            watch->m_queryExpression = edited.m_queryExpression;
        }
        if (dlg.m_setValueChecked) {
            watch->m_setValueRequested = 1;
            watch->m_setValue = edited.m_setValue;
            failed = !SendSetValue(*watch) || failed;
        }
        if (watch->m_enabled)
            Submit(watch);
        else
            watch->m_valueText = "N/A";
        RefreshRow(row);
    }
    if (failed)
        CGuiUpdateItem::MessageBox("ERROR: Could not send all commands", MB_OK | MB_ICONEXCLAMATION, 0, IDOK);
}

void CQvxWatchRegistersDlg::OnRemoveWatch()
{
    std::vector<int> rows = SelectedRows();
    if (rows.empty() || CGuiUpdateItem::MessageBox("Remove selected watches?", MB_YESNO | MB_ICONQUESTION, 0, IDYES) != IDYES)
        return;
    std::sort(rows.rbegin(), rows.rend());
    for (int row : rows)
        RemoveRow(row);
    FollowSelection();
}

void CQvxWatchRegistersDlg::SetEnabled(int row, int enabled)
{
    CWatchRegisterItem* watch = m_watches.GetAt(row);
    watch->m_enabled = enabled;
    if (enabled) {
        Submit(watch);
    } else {
        Cancel(watch);
        watch->m_valueText = "N/A";
    }
}

LRESULT CQvxWatchRegistersDlg::OnCheckChanged(WPARAM row, LPARAM)
{
    const int index = static_cast<int>(row);
    if (m_filling || index < 0 || index >= m_watches.GetCount())
        return 0;
    const int checked = m_list.GetCheck(index) ? 1 : 0;
    if (checked != m_watches.GetAt(index)->m_enabled)
        SetEnabled(index, checked);
    return 0;
}

void CQvxWatchRegistersDlg::CheckSelected(int check)
{
    for (int row : SelectedRows()) {
        m_filling = 1;
        m_list.SetCheck(row, check);
        m_filling = 0;
        if (m_watches.GetAt(row)->m_enabled != check)
            SetEnabled(row, check);
    }
}

void CQvxWatchRegistersDlg::MoveSelectionTo(int target) { MoveRowsTo(SelectedRows(), target); }

void CQvxWatchRegistersDlg::MoveRowsTo(const std::vector<int>& rows, int target)
{
    if (rows.empty())
        return;
    std::vector<const CWatchRegisterItem*> moved;
    for (int row : rows)
        if (row >= 0 && row < m_watches.GetCount())
            moved.push_back(m_watches.GetAt(row));
    m_watches.MoveTo(rows, target);
    m_filling = 1;
    m_list.DeleteAllItems();
    for (int i = 0; i < m_watches.GetCount(); ++i) {
        AddRow(i);
        // The moved rows stay selected in their new places.
        if (std::find(moved.begin(), moved.end(), m_watches.GetAt(i)) != moved.end())
            m_list.SetItemState(i, LVIS_SELECTED, LVIS_SELECTED);
    }
    OnTimer(kRefreshTimer);
    m_filling = 0;
    FollowSelection();
}

LRESULT CQvxWatchRegistersDlg::HandleWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_list.GetSafeHwnd() && window == m_list.GetSafeHwnd() &&
        (message == WM_LBUTTONDOWN || message == WM_MOUSEMOVE || message == WM_LBUTTONUP))
        OnListMouse(message, CPoint(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))));
    return CGuiUpdateDlg::HandleWindowMessage(window, message, wParam, lParam);
}

// A press on a selected row starts a drag; the rows drop before the row under
// the release (after it when it lies below them), past the last row at the end.
void CQvxWatchRegistersDlg::OnListMouse(UINT message, CPoint point)
{
    const int row = m_list.HitTest(point);
    if (message == WM_LBUTTONDOWN) {
        EndDrag();
        const std::vector<int> selected = SelectedRows();
        if (row >= 0 && std::find(selected.begin(), selected.end(), row) != selected.end()) {
            m_dragRows = selected;
            m_pressRow = row;
        }
        return;
    }
    if (m_dragRows.empty())
        return;
    const int target = row < 0 ? m_list.GetItemCount() : row;
    if (message == WM_MOUSEMOVE) {
        if (row != m_pressRow)
            m_dragging = 1;
        if (m_dragging)
            ShowDropTarget(row);
        return;
    }
    const std::vector<int> rows = m_dragRows;
    const bool drop = m_dragging || row != m_pressRow;
    EndDrag();
    if (!drop)
        return;
    const int last = *std::max_element(rows.begin(), rows.end());
    MoveRowsTo(rows, row > last ? target + 1 : target);
}

// The drop target shows in the selection's colours; leaving it gives the row its watch's colours back.
void CQvxWatchRegistersDlg::ShowDropTarget(int row)
{
    if (row == m_dropTarget)
        return;
    if (m_dropTarget >= 0 && m_dropTarget < m_list.GetItemCount() && m_dropTarget < m_watches.GetCount()) {
        const CWatchRegisterItem& watch = *m_watches.GetAt(m_dropTarget);
        m_list.SetItemColors(m_dropTarget, static_cast<COLORREF>(watch.m_textColour),
                             static_cast<COLORREF>(watch.m_rowColour));
    }
    m_dropTarget = row;
    if (row >= 0)
        m_list.SetItemColors(row, kDropTargetText, kDropTargetBack);
}

void CQvxWatchRegistersDlg::EndDrag()
{
    ShowDropTarget(-1);
    m_dragRows.clear();
    m_pressRow = -1;
    m_dragging = 0;
}

void CQvxWatchRegistersDlg::RemoveRow(int row)
{
    // Rows taken out under a drag: the dragged rows are no longer the ones pressed.
    EndDrag();
    CWatchRegisterItem* watch = m_watches.GetAt(row);
    Cancel(watch);
    m_watches.Remove(watch);
    m_list.DeleteItem(row);
}

void CQvxWatchRegistersDlg::AppendWatch(const CWatchRegisterItem& watch)
{
    CWatchRegisterItem* added = m_watches.Add(watch);
    if (added->m_enabled)
        Submit(added);
    else
        added->m_valueText = "N/A";
    AddRow(m_watches.GetCount() - 1);
}

void CQvxWatchRegistersDlg::RandomExercise(int flags)
{
    CGuiUpdateDlg::RandomExercise(flags);
    if (m_exerciseClock.GetElapsedSeconds() < 1.0 || m_watches.GetCount() == 0)
        return;
    m_exerciseClock.Restart();
    const int count = m_watches.GetCount();
    const int row = Rand() % count;
    if (m_settings.m_showEnableCheckboxes) {
        const int check = m_watches.GetAt(row)->m_enabled ? 0 : 1;
        m_filling = 1;
        m_list.SetCheck(row, check);
        m_filling = 0;
        SetEnabled(row, check);
    }
    const int victim = Rand() % count;
    CWatchRegisterItem copy = *m_watches.GetAt(victim);
    copy.m_jobId = 0;
    RemoveRow(victim);
    AppendWatch(copy);
    FollowSelection();
}

void CQvxWatchRegistersDlg::OnListItemChanged(NMHDR*, LRESULT* result)
{
    FollowSelection();
    *result = 0;
}

void CQvxWatchRegistersDlg::OnListDoubleClick(NMHDR*, LRESULT* result)
{
    OnEditWatch();
    *result = 0;
}

void CQvxWatchRegistersDlg::OnListRightClick(NMHDR*, LRESULT* result)
{
    *result = 0;
    const std::vector<int> rows = SelectedRows();
    if (rows.empty())
        return;
    CMenu menu;
    menu.CreatePopupMenu();
    menu.AppendMenu(MF_STRING, ID_WATCH_EDIT_PROPERTIES, "Edit Properties...");
    menu.AppendMenu(MF_STRING, ID_WATCH_REMOVE, rows.size() > 1 ? "Remove Selected Watches" : "Remove Watch");
    if (m_settings.m_showEnableCheckboxes && rows.size() > 1) {
        int checked = 0;
        for (int row : rows)
            checked += m_watches.GetAt(row)->m_enabled;
        menu.AppendMenu(MF_SEPARATOR);
        menu.AppendMenu(checked == static_cast<int>(rows.size()) ? MF_GRAYED : MF_STRING, ID_WATCH_CHECK_SELECTED,
                        "Check Selected");
        menu.AppendMenu(checked == 0 ? MF_GRAYED : MF_STRING, ID_WATCH_UNCHECK_SELECTED, "Uncheck Selected");
    }
    CPoint point;
    GetCursorPos(&point);
    const UINT chosen = menu.TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD, point.x, point.y, this);
    if (chosen == ID_WATCH_CHECK_SELECTED || chosen == ID_WATCH_UNCHECK_SELECTED)
        CheckSelected(chosen == ID_WATCH_CHECK_SELECTED);
    else if (chosen)
        SendMessage(WM_COMMAND, chosen, 0);
}

void CQvxWatchRegistersDlg::OnSettingsMenu()
{
    CMenu menu;
    menu.CreatePopupMenu();
    menu.AppendMenu(MF_STRING, ID_WATCH_LOAD, "Load...");
    menu.AppendMenu(MF_STRING, ID_WATCH_SAVE, "Save...");
    menu.AppendMenu(MF_STRING, ID_WATCH_LIST_SETTINGS, "List Settings...");
    CRect rect;
    GetDlgItem(IDC_WATCH_SETTINGS_MENU)->GetWindowRect(&rect);
    const UINT chosen = menu.TrackPopupMenu(TPM_LEFTALIGN | TPM_RETURNCMD, rect.left, rect.bottom, this);
    if (chosen)
        SendMessage(WM_COMMAND, chosen, 0);
}

void CQvxWatchRegistersDlg::OnListSettings()
{
    CWatchRegisterSettingsDlg dlg(m_settings, this);
    if (dlg.DoModal() != IDOK)
        return;
    const bool boxesOff = m_settings.m_showEnableCheckboxes && !dlg.m_settings.m_showEnableCheckboxes;
    m_settings = dlg.m_settings;
    if (boxesOff)
        for (int i = 0; i < m_watches.GetCount(); ++i) {
            m_watches.GetAt(i)->m_enabled = 1;
            Submit(m_watches.GetAt(i));
        }
    ApplyLook();
    for (int i = 0; i < m_watches.GetCount(); ++i)
        RefreshRow(i);
}

void CQvxWatchRegistersDlg::OnLoad()
{
    const CString start = m_lastFile.IsEmpty() ? AfxGetSpecialFolder(CSIDL_PERSONAL) + "/*.wls" : m_lastFile;
    CFileDialog dlg(TRUE, "wls", start, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, kFilter, this);
    dlg.m_ofn.lpstrTitle = "Load Watchlist Settings";
    if (dlg.DoModal() != IDOK)
        return;
    CWatchRegisterList loaded = m_watches;
    CWatchDisplaySettings settings = m_settings;
    CString error;
    if (!CWatchListFile::Load(dlg.GetPathName(), loaded, settings, error)) {
        CGuiUpdateItem::MessageBox(error, MB_OK | MB_ICONEXCLAMATION, 0, IDOK);
        return;
    }
    m_lastFile = dlg.GetPathName();
    for (int i = 0; i < m_watches.GetCount(); ++i)
        Cancel(m_watches.GetAt(i));
    m_watches = loaded;
    for (int i = 0; i < m_watches.GetCount(); ++i)
        m_watches.SetJob(m_watches.GetAt(i), 0);
    m_settings = settings;
    ApplyLook();
    Rebuild();
}

void CQvxWatchRegistersDlg::OnSave()
{
    const CString start = m_lastFile.IsEmpty() ? AfxGetSpecialFolder(CSIDL_PERSONAL) + "/WatchlistSettings.wls" : m_lastFile;
    CFileDialog dlg(FALSE, "wls", start, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, kFilter, this);
    dlg.m_ofn.lpstrTitle = "Save Watchlist Settings";
    if (dlg.DoModal() != IDOK)
        return;
    CString error;
    m_settings.m_valueColWidth = m_list.GetColumnWidth(1);
    if (!CWatchListFile::Save(dlg.GetPathName(), m_watches, m_settings, error)) {
        CGuiUpdateItem::MessageBox(error, MB_OK | MB_ICONEXCLAMATION, 0, IDOK);
        return;
    }
    m_lastFile = dlg.GetPathName();
}

void CQvxWatchRegistersDlg::SerializeLayout(CArchive& ar, int version)
{
    CDPropertyList& bag = GetProperties();
    if (ar.IsStoring()) {
        // The record carries the bag: it must hold the watches before it is written.
        if (m_list.GetSafeHwnd())
            m_settings.m_valueColWidth = m_list.GetColumnWidth(1);
        m_settings.SaveToBag(bag);
        m_watches.SaveToBag(bag);
        CGuiUpdateDlg::SerializeLayout(ar, version);
        return;
    }
    CGuiUpdateDlg::SerializeLayout(ar, version);
    CWatchRegisterList loaded;
    if (!loaded.LoadFromBag(bag))
        return;
    for (int i = 0; i < m_watches.GetCount(); ++i)
        Cancel(m_watches.GetAt(i));
    m_watches = loaded;
    m_settings.LoadFromBag(bag);
    if (m_list.GetSafeHwnd()) {
        ApplyLook();
        Rebuild();
    }
}

void CQvxWatchRegistersDlg::OnSize(UINT type, int cx, int cy)
{
    CGuiUpdateDlg::OnSize(type, cx, cy);
    if (!m_list.GetSafeHwnd() || cx <= 0 || cy <= 0)
        return;
    CRect button;
    GetDlgItem(IDC_WATCH_ADD)->GetWindowRect(&button);
    ScreenToClient(&button);
    CRect list;
    m_list.GetWindowRect(&list);
    ScreenToClient(&list);
    const int listBottom = std::max(list.top + 20, cy - kMargin - button.Height() - 5);
    m_list.MoveWindow(kMargin, list.top, std::max(20, cx - 2 * kMargin), listBottom - list.top);
    FillValueColumn();
    for (int id : {IDC_WATCH_ADD, IDC_WATCH_REMOVE, IDC_WATCH_EDIT, IDC_WATCH_PAUSE, IDC_WATCH_SETTINGS_MENU}) {
        CWnd* control = GetDlgItem(id);
        CRect rect;
        control->GetWindowRect(&rect);
        ScreenToClient(&rect);
        control->MoveWindow(rect.left, listBottom + 5, rect.Width(), rect.Height());
    }
}

void CQvxWatchRegistersDlg::ShowWholeValues()
{
    const int width = m_list.GetColumnWidth(1);
    m_list.SetColumnWidth(1, LVSCW_AUTOSIZE);
    const int needed = m_list.GetColumnWidth(1);
    m_list.SetColumnWidth(1, width);
    if (needed <= width)
        return;
    GrowWidthBy(needed - width);  // the Value column fills the wider list
    if (m_list.GetColumnWidth(1) < needed)
        m_list.SetColumnWidth(1, needed);
}

void CQvxWatchRegistersDlg::FillValueColumn()
{
    CRect client;
    m_list.GetClientRect(&client);
    const int rest = client.Width() - m_list.GetColumnWidth(0);
    if (rest > m_list.GetColumnWidth(1))
        m_list.SetColumnWidth(1, rest);
}

void CQvxWatchRegistersDlg::OnDestroy()
{
    KillTimer(kRefreshTimer);
    if (m_list.GetSafeHwnd())
        m_settings.m_valueColWidth = m_list.GetColumnWidth(1);
    m_settings.SaveToProfile(kWatchWindowSection);
    m_watches.SaveToProfile(kWatchListSection);
    CGuiUpdateDlg::OnDestroy();
}
