#include "ScriptPlayerDlg.h"

#include <algorithm>
#include <vector>

#include "KorvaneApp.h"
#include "MainFrame.h"
#include "ScriptPlayerSettingsDlg.h"
#include "foundation/TextHelpers.h"
#include "foundation/WindowPlacement.h"
#include "platform/core/MessageBox.h"
#include "platform/core/SingleLock.h"
#include "platform/ui/ClientDC.h"
#include "platform/ui/FileDialog.h"
#include "platform/ui/Menu.h"
#include "platform/ui/MsgBox.h"

namespace {
constexpr const char* kFilter = "Script files (*.kvs)|*.kvs||";
constexpr int kGap = 3;
constexpr int kBottomGap = 6;

int DefaultRouter(const CString& line, CString& reply)
{
    CKorvaneApp* app = CKorvaneApp::Get();
    return app ? app->ExecuteCommandLine(line, reply) : 0;
}

int DefaultFirstDrive()
{
    CKorvaneApp* app = CKorvaneApp::Get();
    if (!app)
        return -1;
    CList<CAmplifierData> drives;
    app->GetConnectedDrives(drives);
    return drives.IsEmpty() ? -1 : drives.GetHead().m_address;
}

bool IsFailure(const CString& reply) { return reply.Left(6) == "ERROR:"; }

CString FileNameOf(const CString& path)
{
    const int slash = std::max(path.ReverseFind('\\'), path.ReverseFind('/'));
    return path.Mid(slash + 1);
}

CString TitleOf(const CString& path)
{
    CString name = FileNameOf(path);
    const int dot = name.ReverseFind('.');
    return dot > 0 ? name.Left(dot) : name;
}
}  // namespace

CScriptPlayerDlg* CScriptPlayerDlg::s_player = nullptr;

BEGIN_MESSAGE_MAP(CScriptPlayerDlg, CDialog)
    ON_WM_TIMER()
    ON_WM_CLOSE()
    ON_WM_DESTROY()
    ON_WM_SIZE()
    ON_WM_GETMINMAXINFO()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_CONTEXTMENU()
    ON_NOTIFY(LVN_ITEMCHANGED, CScriptPlayerDlg::kList, &CScriptPlayerDlg::OnItemChanged)
    ON_NOTIFY(NM_DBLCLK, CScriptPlayerDlg::kList, &CScriptPlayerDlg::OnDoubleClick)
    ON_BN_CLICKED(CScriptPlayerDlg::kBack, &CScriptPlayerDlg::OnBack)
    ON_BN_CLICKED(CScriptPlayerDlg::kNext, &CScriptPlayerDlg::OnNext)
    ON_BN_CLICKED(CScriptPlayerDlg::kSkip, &CScriptPlayerDlg::OnSkip)
    ON_BN_CLICKED(CScriptPlayerDlg::kRestart, &CScriptPlayerDlg::OnRestart)
    ON_BN_CLICKED(CScriptPlayerDlg::kOpen, &CScriptPlayerDlg::OnOpenButton)
    ON_BN_CLICKED(CScriptPlayerDlg::kShowDetails, &CScriptPlayerDlg::OnDetailsButton)
    ON_BN_CLICKED(CScriptPlayerDlg::kProgram, &CScriptPlayerDlg::OnProgramButton)
    ON_BN_CLICKED(CScriptPlayerDlg::kAdd, &CScriptPlayerDlg::OnAddButton)
    ON_BN_CLICKED(CScriptPlayerDlg::kRemove, &CScriptPlayerDlg::RemoveSelectedSections)
    ON_BN_CLICKED(CScriptPlayerDlg::kEdit, &CScriptPlayerDlg::OnEditButton)
    ON_BN_CLICKED(CScriptPlayerDlg::kCapture, &CScriptPlayerDlg::CaptureLayout)
    ON_BN_CLICKED(CScriptPlayerDlg::kTest, &CScriptPlayerDlg::TestSection)
    ON_BN_CLICKED(CScriptPlayerDlg::kSave, &CScriptPlayerDlg::OnSaveButton)
    ON_COMMAND(CScriptPlayerDlg::kSaveAsCommand, &CScriptPlayerDlg::OnSaveAs)
    ON_COMMAND(CScriptPlayerDlg::kNewCommand, &CScriptPlayerDlg::NewScript)
    ON_COMMAND(CScriptPlayerDlg::kSettingsCommand, &CScriptPlayerDlg::OnSettingsCommand)
    ON_COMMAND(CScriptPlayerDlg::kTestModeCommand, &CScriptPlayerDlg::OnTestModeCommand)
    ON_COMMAND(CScriptPlayerDlg::kInsertBeforeCommand, &CScriptPlayerDlg::OnInsertBefore)
END_MESSAGE_MAP()

CScriptPlayerDlg::CScriptPlayerDlg() : CDialog(IDD, nullptr), m_router(DefaultRouter), m_firstDrive(DefaultFirstDrive) {}

CScriptPlayerDlg::~CScriptPlayerDlg()
{
    if (s_player == this)
        s_player = nullptr;
}

CScriptPlayerDlg* CScriptPlayerDlg::OpenScriptPlayer(CWnd* parent)
{
    if (!s_player)
        s_player = new CScriptPlayerDlg;
    if (!s_player->GetSafeHwnd() && !s_player->Create(IDD, parent)) {
        delete s_player;
        return nullptr;
    }
    s_player->ShowWindow(SW_SHOW);
    return s_player;
}

int CScriptPlayerDlg::HandleNavigationKey(CScriptPlayerDlg* player, UINT key)
{
    if (!player || !player->GetSafeHwnd() || player->IsProgramMode() || key == 0)
        return 0;
    const CScriptPlayerSettings& s = player->m_settings;
    const int code = static_cast<int>(key);
    if (code != s.m_backKey && code != s.m_nextKey && code != s.m_skipKey)
        return 0;
    player->m_keys.AddTail(code);
    return 1;
}

// ---- start and end ----

BOOL CScriptPlayerDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    s_player = this;
    m_list.SubclassDlgItem(kList, this);
    m_details.SubclassDlgItem(kDetails, this);
    m_list.SetExtendedStyle(m_list.GetExtendedStyle() | LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES |
                            LVS_EX_SUBITEMIMAGES);
    int titleWidth = 120;
    {
        CClientDC dc(&m_list);
        if (CFont* font = m_list.GetFont())
            dc.SelectObject(font);
        titleWidth = dc.GetTextExtent("MMMMMMMMMMMMMM").cx;
    }
    m_list.InsertColumn(0, "Title", LVCFMT_LEFT, titleWidth);
    m_list.InsertColumn(1, "Description", LVCFMT_LEFT, 100);
    FitDescriptionColumn();
    LoadSettings();
    ApplySettings();
    GetWindowText(m_baseTitle);
    UpdateTitle();
    SetDlgItemText(kRestart, "Start");
    SetTimer(kPlayTimer, 50, nullptr);
    m_detailsCheckOffset = TopOf(kShowDetails) - TopOf(kBack);
    m_programCheckOffset = TopOf(kProgram) - TopOf(kBack);
    UpdateControls(false);
    ArrangeControls(false, false);
    if (!m_settings.m_scriptPath.IsEmpty()) {
        const CString last = m_settings.m_scriptPath;
        m_settings.m_scriptPath.Empty();
        if (AfxMessageBox("Open last script?", MB_YESNO) != IDYES || !OpenScript(last))
            m_scriptPath.Empty();
        UpdateTitle();
    }
    m_initialised = 1;
    return TRUE;
}

void CScriptPlayerDlg::OnClose()
{
    if (!QuerySaveModified())
        return;
    DestroyWindow();
}

void CScriptPlayerDlg::OnDestroy()
{
    SaveSettings();
    if (s_player == this)
        s_player = nullptr;
    KillTimer(kPlayTimer);
    KillTimer(kTestTimer);
    m_armed = nullptr;
    DeleteRowSections();
}

void CScriptPlayerDlg::PostNcDestroy() { delete this; }

// ---- settings ----

void CScriptPlayerDlg::LoadSettings()
{
    m_settings.Load();
    m_scriptPath = m_settings.m_scriptPath;
    CWindowPlacement placement;
    placement.RestoreFromProfile(FALSE, this, CScriptPlayerSettings::kSection, TRUE);
    CheckDlgButton(kShowDetails, m_settings.m_details ? BST_CHECKED : BST_UNCHECKED);
}

void CScriptPlayerDlg::SaveSettings()
{
    m_settings.m_details = IsDlgButtonChecked(kShowDetails) == BST_CHECKED;
    m_settings.m_scriptPath = m_scriptPath;
    m_settings.Save();
    CWindowPlacement placement;
    placement.SaveToProfile(this, CScriptPlayerSettings::kSection);
}

void CScriptPlayerDlg::ApplySettings()
{
    if (m_settings.m_alwaysOnTop) {
        ModifyStyleEx(0, WS_EX_TOPMOST);
    } else {
        // Ends a topmost state, then puts the player above the ordinary windows.
        ModifyStyleEx(WS_EX_TOPMOST, 0);
        SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    }
    DWORD style = m_list.GetExtendedStyle() | LVS_EX_FULLROWSELECT | LVS_EX_SUBITEMIMAGES;
    style = ShowsCheckboxes() ? (style | LVS_EX_CHECKBOXES) : (style & ~LVS_EX_CHECKBOXES);
    m_list.SetExtendedStyle(style);
    m_listFont.DeleteObject();
    m_listFont.CreatePointFont(static_cast<int>(m_settings.m_listFontSize * 10.0 + 1e-9), "Arial");
    m_list.SetFont(&m_listFont, TRUE);
    ColourRows(-1);
    m_list.SetBkColor(m_settings.m_listBg);
    CString text;
    m_details.GetWindowText(text);
    SetDetailsText(text);
}

int CScriptPlayerDlg::EditSettings()
{
    CScriptPlayerSettingsDlg dialog(this);
    dialog.m_settings = m_settings;
    if (dialog.DoModal() != IDOK)
        return 0;
    const CString path = m_settings.m_scriptPath;
    const int details = m_settings.m_details;
    m_settings = dialog.m_settings;
    m_settings.m_scriptPath = path;
    m_settings.m_details = details;
    ApplySettings();
    SaveSettings();
    UpdateControls(true);
    return 1;
}

// ---- playing ----

int CScriptPlayerDlg::RouteLine(const CString& line, CString& reply)
{
    // A line that writes no reply (a "WIZ:" line) must not inherit the last one's.
    reply.Empty();
    return m_router ? m_router(line, reply) : 0;
}

void CScriptPlayerDlg::RunSection(CScriptSection* section)
{
    if (!section)
        return;
    CString reply;
    CString command;
    command.Format("%s(\"%s\", 1)", "SETWORKINGFOLDER", GetScriptFolder().GetString());
    RouteLine(command, reply);
    if (IsFailure(reply))
        return;
    const int drive = m_firstDrive ? m_firstDrive() : -1;
    if (drive == -1)
        return;  // no drive connected: nothing runs
    command.Format("%s(\"%u\")", "SETDEFAULTAMP", static_cast<unsigned>(drive));
    RouteLine(command, reply);
    if (IsFailure(reply))
        return;
    // Lines are counted as the section's script shows them, blank ones included,
    // so an error names the line the author sees.
    const std::string script = section->m_script.GetString();
    CString errors;
    int number = 0;
    for (size_t start = 0; start < script.size();) {
        size_t end = script.find('\n', start);
        if (end == std::string::npos)
            end = script.size();
        CString line(script.substr(start, end - start).c_str());
        start = end + 1;
        ++number;
        line.Trim();
        if (line.IsEmpty())
            continue;
        RouteLine(line, reply);
        if (IsFailure(reply)) {
            CString where;
            where.Format("Line %d \"%s\": ", number, line.GetString());
            errors += where + reply + "\r\n";
        }
    }
    if (!errors.IsEmpty())
        AfxMessageBox("The following script error occurred:\r\n" + errors, MB_OK);
}

void CScriptPlayerDlg::ArmSection(int row)
{
    CScriptSection* section = GetRowSection(row);
    SetDetailsText(section ? section->m_detail : CString());
    if (IsProgramMode())
        return;
    m_armed = section;
    CSingleLock lock(&m_playWatchLock, TRUE);
    m_playWatch.Restart();
}

void CScriptPlayerDlg::OnTimer(UINT_PTR id)
{
    if (id == kTestTimer) {
        const int count = m_list.GetItemCount();
        if (count > 0)
            SelectRow(m_currentRow + 1 < count ? m_currentRow + 1 : 0);
        return;
    }
    if (id != kPlayTimer)
        return;
    PlayArmed();
    TakeKeys();
}

void CScriptPlayerDlg::PlayArmed()
{
    if (!m_armed)
        return;
    double elapsed = 0.0;
    {
        CSingleLock lock(&m_playWatchLock, TRUE);
        elapsed = m_playWatch.GetElapsedSeconds();
    }
    if (elapsed <= kPlayDelaySeconds)
        return;
    CScriptSection* section = m_armed;
    m_armed = nullptr;
    RunSection(section);
    if (GetSafeHwnd())
        SetFocus();
}

void CScriptPlayerDlg::TakeKeys()
{
    while (!m_keys.IsEmpty() && GetSafeHwnd()) {
        const int key = m_keys.RemoveHead();
        if (key == m_settings.m_backKey)
            OnBack();
        else if (key == m_settings.m_nextKey)
            OnNext();
        else if (key == m_settings.m_skipKey)
            OnSkip();
    }
}

void CScriptPlayerDlg::MarkStarted()
{
    if (m_started)
        return;
    m_started = 1;
    SetDlgItemText(kRestart, "Restart");
}

void CScriptPlayerDlg::OnItemChanged(NMHDR* header, LRESULT* result)
{
    *result = 0;
    const auto* change = reinterpret_cast<const NMLISTVIEW*>(header);
    if (!m_trackSelection || change->iItem < 0 || !(change->uChanged & LVIF_STATE))
        return;
    if (IsProgramMode())
        ShowSelectionColours(change->iItem);
    if (!(change->uNewState & LVIS_SELECTED) || (change->uOldState & LVIS_SELECTED)) {
        UpdateControls(false);
        return;
    }
    const int row = change->iItem;
    m_currentRow = row;
    if (!IsProgramMode())
        HighlightRow(row, true, true);
    ArmSection(row);
    MarkStarted();
    UpdateControls(false);
}

void CScriptPlayerDlg::OnDoubleClick(NMHDR* header, LRESULT* result)
{
    *result = 0;
    const auto* click = reinterpret_cast<const NMITEMACTIVATE*>(header);
    if (IsProgramMode() && click->iItem >= 0)
        EditSection(click->iItem);
}

// ---- stepping ----

void CScriptPlayerDlg::OnBack()
{
    if (m_currentRow > 0)
        SelectRow(m_currentRow - 1);
}

void CScriptPlayerDlg::OnNext()
{
    if (m_currentRow < 0 || m_currentRow + 1 >= m_list.GetItemCount())
        return;
    if (ShowsCheckboxes() && m_settings.m_autoCheckBoxes)
        SetRowCheck(m_currentRow, true);
    SelectRow(m_currentRow + 1);
    m_checksDirty = 1;
}

void CScriptPlayerDlg::OnSkip()
{
    if (m_currentRow < 0 || m_currentRow + 1 >= m_list.GetItemCount())
        return;
    SelectRow(m_currentRow + 1);
    m_checksDirty = 1;
}

void CScriptPlayerDlg::OnRestart()
{
    if (m_started && AfxMessageBox("Restart Script", MB_YESNO) != IDYES)
        return;
    if (ShowsCheckboxes() && (!m_checksDirty || AfxMessageBox("Clear checks?", MB_YESNO) == IDYES)) {
        for (int row = 0; row < m_list.GetItemCount(); ++row)
            SetRowCheck(row, false);
        m_checksDirty = 0;
    }
    if (m_list.GetItemCount() > 0)
        SelectRow(0);
}

void CScriptPlayerDlg::SetRowCheck(int row, bool checked)
{
    m_trackSelection = 0;
    m_list.SetCheck(row, checked ? TRUE : FALSE);
    m_trackSelection = 1;
}

void CScriptPlayerDlg::SetTestMode(bool on)
{
    m_testMode = on ? 1 : 0;
    if (on)
        SetTimer(kTestTimer, 5000, nullptr);
    else
        KillTimer(kTestTimer);
}

void CScriptPlayerDlg::ShowAddMenu()
{
    CMenu menu;
    menu.CreatePopupMenu();
    menu.AppendMenu(MF_STRING | (m_list.GetSelectedCount() == 1 ? 0 : MF_GRAYED), kInsertBeforeCommand,
                    "Insert Before...");
    CRect button;
    GetDlgItem(kAdd)->GetWindowRect(&button);
    menu.TrackPopupMenu(TPM_LEFTALIGN, button.left, button.bottom + 2, this);
}

void CScriptPlayerDlg::ShowSaveMenu()
{
    CMenu menu;
    menu.CreatePopupMenu();
    menu.AppendMenu(MF_STRING, kSaveAsCommand, "Save As...");
    menu.AppendMenu(MF_STRING, kNewCommand, "New...");
    menu.AppendMenu(MF_SEPARATOR);
    menu.AppendMenu(MF_STRING, kSettingsCommand, "Settings...");
    menu.AppendMenu(MF_SEPARATOR);
    menu.AppendMenu(MF_STRING | (m_testMode ? MF_CHECKED : 0), kTestModeCommand, "Test");
    CRect button;
    GetDlgItem(kSave)->GetWindowRect(&button);
    menu.TrackPopupMenu(TPM_LEFTALIGN, button.left, button.bottom + 2, this);
}

void CScriptPlayerDlg::OnContextMenu(CWnd* /*wnd*/, CPoint point)
{
    if (!IsProgramMode())
        return;
    CRect add;
    CRect save;
    GetDlgItem(kAdd)->GetWindowRect(&add);
    GetDlgItem(kSave)->GetWindowRect(&save);
    if (add.PtInRect(point))
        ShowAddMenu();
    else if (save.PtInRect(point))
        ShowSaveMenu();
}

// ---- rows ----

CScriptSection* CScriptPlayerDlg::GetRowSection(int row) const
{
    if (row < 0 || row >= m_list.GetItemCount())
        return nullptr;
    const auto* record = reinterpret_cast<const REPORTITEMDATA*>(m_list.GetItemData(row));
    if (!record)
        return nullptr;
    const auto found = m_rowSections.find(record->dwData);
    return found == m_rowSections.end() ? nullptr : found->second;
}

void CScriptPlayerDlg::DeleteRowSection(int row)
{
    CScriptSection* section = GetRowSection(row);
    if (!section)
        return;
    if (section == m_armed)
        m_armed = nullptr;
    for (auto it = m_rowSections.begin(); it != m_rowSections.end(); ++it)
        if (it->second == section) {
            m_rowSections.erase(it);
            break;
        }
    delete section;
}

int CScriptPlayerDlg::GetCurrentRow()
{
    if (!IsProgramMode())
        return m_currentRow;
    if (m_list.GetSelectedCount() != 1)
        return -1;
    return m_list.GetNextItem(-1, LVNI_SELECTED);
}

void CScriptPlayerDlg::SelectRow(int row)
{
    m_trackSelection = 0;
    for (int i = 0; i < m_list.GetItemCount(); ++i)
        m_list.SetItemState(i, 0, LVIS_SELECTED | LVIS_FOCUSED);
    m_trackSelection = 1;
    if (row >= 0 && row < m_list.GetItemCount()) {
        m_list.SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        m_list.EnsureVisible(row, FALSE);
    }
    m_list.SetFocus();
}

void CScriptPlayerDlg::ColourRows(int row)
{
    const int first = row < 0 ? 0 : row;
    const int last = row < 0 ? m_list.GetItemCount() - 1 : row;
    for (int i = first; i <= last && i < m_list.GetItemCount(); ++i)
        if (m_list.GetItemTextColor(0, i) != m_settings.m_listText || m_list.GetItemBkColor(0, i) != m_settings.m_listBg)
            m_list.SetItemColors(i, m_settings.m_listText, m_settings.m_listBg);
    if (IsProgramMode())
        return;
    m_trackSelection = 0;
    for (int i = 0; i < m_list.GetItemCount(); ++i)
        m_list.SetItemState(i, 0, LVIS_SELECTED);
    m_trackSelection = 1;
    if (m_currentRow >= 0 && m_currentRow < m_list.GetItemCount())
        m_list.SetItemColors(m_currentRow, m_settings.m_listTextHighlight, m_settings.m_listBgHighlight);
}

void CScriptPlayerDlg::HighlightRow(int row, bool highlighted, bool resetAll)
{
    if (resetAll)
        for (int i = 0; i < m_list.GetItemCount(); ++i)
            m_list.SetItemColors(i, m_settings.m_listText, m_settings.m_listBg);
    if (row < 0 || row >= m_list.GetItemCount())
        return;
    if (highlighted)
        m_list.SetItemColors(row, m_settings.m_listTextHighlight, m_settings.m_listBgHighlight);
    else
        m_list.SetItemColors(row, m_settings.m_listText, m_settings.m_listBg);
    // The current row is marked by colour alone, so selecting it again plays it again.
    m_trackSelection = 0;
    m_list.SetItemState(row, 0, LVIS_SELECTED);
    m_trackSelection = 1;
}

void CScriptPlayerDlg::ShowSelectionColours(int row)
{
    // The cells' own colours would hide the selection's: selected rows take the highlight pair.
    if (m_list.GetItemState(row, LVIS_SELECTED) & LVIS_SELECTED)
        m_list.SetItemColors(row, m_settings.m_listTextHighlight, m_settings.m_listBgHighlight);
    else
        m_list.SetItemColors(row, m_settings.m_listText, m_settings.m_listBg);
}

void CScriptPlayerDlg::ShowSectionRow(CScriptSection* section, int row)
{
    m_list.SetItemText(row, 0, section->m_title);
    m_list.SetItemText(row, 1, section->m_description);
    DWORD key = 0;
    for (const auto& [k, owned] : m_rowSections)
        if (owned == section)
            key = k;
    if (key == 0) {
        key = m_nextSectionKey++;
        m_rowSections[key] = section;
    }
    m_list.SetItemData(row, key);
}

void CScriptPlayerDlg::FillSectionRows(CScriptSectionList& list)
{
    m_trackSelection = 0;
    m_list.DeleteAllItems();
    for (POSITION pos = list.GetHeadPosition(); pos;) {
        CScriptSection* section = list.GetNext(pos);
        const int row = m_list.InsertItem(m_list.GetItemCount(), "New");
        m_list.SetItemColors(row, m_settings.m_listText, m_settings.m_listBg, FALSE);
        ShowSectionRow(section, row);
    }
    m_trackSelection = 1;
    FitDescriptionColumn();
}

void CScriptPlayerDlg::CollectSections(CScriptSectionList& list)
{
    list.RemoveAll();
    for (int row = 0; row < m_list.GetItemCount(); ++row)
        list.AddTail(GetRowSection(row));
}

void CScriptPlayerDlg::DeleteRowSections()
{
    m_armed = nullptr;
    for (auto& entry : m_rowSections)
        delete entry.second;
    m_rowSections.clear();
    m_trackSelection = 0;
    if (m_list.GetSafeHwnd())
        m_list.DeleteAllItems();
    m_trackSelection = 1;
}

void CScriptPlayerDlg::FitDescriptionColumn()
{
    if (!m_list.GetSafeHwnd())
        return;
    CRect client;
    m_list.GetClientRect(&client);
    m_list.SetColumnWidth(1, std::max(100, client.Width() - m_list.GetColumnWidth(0)));
}

// ---- editing ----

int CScriptPlayerDlg::AddSection(int position)
{
    auto* section = new CScriptSection;
    if (!section->Edit()) {
        delete section;
        return -1;
    }
    const int at = position < 0 || position > m_list.GetItemCount() ? m_list.GetItemCount() : position;
    m_trackSelection = 0;
    const int row = m_list.InsertItem(at, "New");
    m_list.SetItemColors(row, m_settings.m_listText, m_settings.m_listBg);
    ShowSectionRow(section, row);
    m_trackSelection = 1;
    if (m_currentRow >= row)
        ++m_currentRow;
    SetDetailsText(section->m_detail);
    FitDescriptionColumn();
    SelectRow(row);
    m_modified = 1;
    UpdateControls(false);
    return row;
}

int CScriptPlayerDlg::EditSection(int row)
{
    CScriptSection* section = GetRowSection(row);
    if (!section || !section->Edit())
        return 0;
    ShowSectionRow(section, row);
    SetDetailsText(section->m_detail);
    m_modified = 1;
    return 1;
}

void CScriptPlayerDlg::OnEditButton()
{
    const int row = GetCurrentRow();
    if (row >= 0)
        EditSection(row);
}

void CScriptPlayerDlg::OnInsertBefore()
{
    if (m_list.GetSelectedCount() == 1)
        AddSection(m_list.GetNextItem(-1, LVNI_SELECTED));
}

void CScriptPlayerDlg::RemoveSelectedSections()
{
    if (AfxMessageBox("Delete selected sections?", MB_YESNO) != IDYES)
        return;
    m_trackSelection = 0;
    for (int row = m_list.GetItemCount() - 1; row >= 0; --row) {
        if (!(m_list.GetItemState(row, LVIS_SELECTED) & LVIS_SELECTED))
            continue;
        DeleteRowSection(row);
        m_list.DeleteItem(row);
        if (m_currentRow == row)
            m_currentRow = -1;
        else if (m_currentRow > row)
            --m_currentRow;
    }
    m_trackSelection = 1;
    FitDescriptionColumn();
    m_modified = 1;
    UpdateControls(false);
}

void CScriptPlayerDlg::MoveSelectedRows(int target)
{
    const int count = m_list.GetItemCount();
    if (target < 0 || target >= count || m_list.GetSelectedCount() == 0)
        return;
    struct Row {
        CScriptSection* section;
        BOOL checked;
        bool selected;
    };
    // Each row's section and check travel with it; moved rows keep their list order.
    std::vector<Row> moved;
    std::vector<Row> rest;
    int insertAt = 0;
    for (int row = 0; row < count; ++row) {
        const bool selected = (m_list.GetItemState(row, LVIS_SELECTED) & LVIS_SELECTED) != 0;
        const Row entry{GetRowSection(row), m_list.GetCheck(row), selected};
        (selected ? moved : rest).push_back(entry);
        if (!selected && row < target)
            ++insertAt;
    }
    rest.insert(rest.begin() + insertAt, moved.begin(), moved.end());
    m_trackSelection = 0;
    for (int row = 0; row < count; ++row) {
        if (rest[row].section)
            ShowSectionRow(rest[row].section, row);
        m_list.SetCheck(row, rest[row].checked);
        m_list.SetItemState(row, rest[row].selected ? LVIS_SELECTED : 0, LVIS_SELECTED);
    }
    m_trackSelection = 1;
    m_modified = 1;
}

void CScriptPlayerDlg::CaptureLayout()
{
    if (m_scriptPath.IsEmpty()) {
        if (AfxMessageBox("You must save new script before capturing a layout.  Save now?", MB_YESNO) != IDYES) {
            AfxMessageBox("Script not saved.", MB_OK);
            return;
        }
        if (!SaveScript(CString()))
            return;
    }
    CScriptSection* section = GetRowSection(GetCurrentRow());
    CMainFrame* frame = CKorvaneApp::Get() ? CKorvaneApp::Get()->GetMainFrame() : nullptr;
    if (!section || !frame)
        return;
    CString name = section->m_layoutName;
    if (name.IsEmpty())
        name = TitleOf(m_scriptPath) + "_" + MakeIdentifier(section->m_title);
    CGuiUpdateList& windows = *frame->GetUpdateList();
    const int saved = windows.SaveLayout(GetScriptFolder() + name + ".kvl", 0, 1);
    if (saved == 0) {
        AfxMessageBox("ERROR: Could not save layout file.", MB_OK);
        return;
    }
    if (saved == 2) {
        AfxMessageBox("Layout save cancelled.", MB_OK);
        return;
    }
    const CString written = windows.GetLayoutPath();
    section->m_layoutName = written.IsEmpty() ? name : TitleOf(written);
    CString command;
    command.Format("%s(\"%s\")", "LOADLAYOUT", section->m_layoutName.GetString());
    CStringList lines;
    section->GetLines(lines);
    POSITION found = nullptr;
    for (POSITION pos = lines.GetHeadPosition(); pos && !found;) {
        const POSITION at = pos;
        if (lines.GetNext(pos).Left(10).CompareNoCase("LOADLAYOUT") == 0)
            found = at;
    }
    if (found)
        lines.SetAt(found, command);
    else
        lines.AddTail(command);
    section->SetLines(lines);
    // The captured line would be lost on close unless the script counts as changed.
    m_modified = 1;
}

void CScriptPlayerDlg::TestSection()
{
    if (m_scriptPath.IsEmpty()) {
        AfxMessageBox("You must save new script before testing.", MB_OK);
        return;
    }
    RunSection(GetRowSection(GetCurrentRow()));
    if (GetSafeHwnd())
        SetFocus();
}

// ---- files ----

int CScriptPlayerDlg::SaveScript(const CString& path)
{
    CString target = path;
    if (target.IsEmpty()) {
        CFileDialog dialog(FALSE, "kvs", "KVScript.kvs", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, kFilter, this);
        dialog.m_ofn.lpstrTitle = "Save Korvane Script";
        if (dialog.DoModal() != IDOK)
            return 0;
        target = dialog.GetPathName();
    }
    CScriptSectionList list(false);
    CollectSections(list);
    CString error;
    if (!list.SaveFile(target, error)) {
        AfxMessageBox(error, MB_OK);
        return 0;
    }
    m_scriptPath = target;
    m_modified = 0;
    UpdateTitle();
    return 1;
}

int CScriptPlayerDlg::OpenScript(const CString& path)
{
    if (!QuerySaveModified())
        return 0;
    CString source = path;
    if (source.IsEmpty()) {
        CFileDialog dialog(TRUE, "kvs", nullptr, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, kFilter, this);
        dialog.m_ofn.lpstrTitle = "Open Korvane Script";
        if (dialog.DoModal() != IDOK)
            return 0;
        source = dialog.GetPathName();
    }
    CScriptSectionList list;
    CString error;
    if (!list.LoadFile(source, error)) {
        AfxMessageBox(error, MB_OK);
        return 0;
    }
    m_armed = nullptr;
    DeleteRowSections();
    FillSectionRows(list);
    list.Release();
    m_scriptPath = source;
    m_started = 0;
    m_modified = 0;
    SetDlgItemText(kRestart, "Start");
    m_currentRow = -1;
    UpdateControls(true);
    UpdateTitle();
    ApplySettings();
    m_checksDirty = 0;
    return 1;
}

int CScriptPlayerDlg::QuerySaveModified()
{
    if (!m_modified)
        return 1;
    CString question = "Save Script?";
    if (!m_scriptPath.IsEmpty())
        question.Format("Save Script \"%s\"?", FileNameOf(m_scriptPath).GetString());
    const int answer = AfxMessageBox(question, MB_YESNOCANCEL);
    if (answer == IDYES)
        return SaveScript(m_scriptPath) ? 1 : 0;
    return answer == IDNO ? 1 : 0;
}

void CScriptPlayerDlg::NewScript()
{
    if (!QuerySaveModified())
        return;
    m_armed = nullptr;
    DeleteRowSections();
    SetDetailsText(CString());
    m_started = 0;
    m_modified = 0;
    SetDlgItemText(kRestart, "Start");
    m_currentRow = -1;
    UpdateControls(false);
    m_checksDirty = 0;
    m_scriptPath.Empty();
    UpdateTitle();
}

CString CScriptPlayerDlg::GetScriptFolder() const
{
    const int slash = std::max(m_scriptPath.ReverseFind('\\'), m_scriptPath.ReverseFind('/'));
    return slash < 0 ? CString() : m_scriptPath.Left(slash + 1);
}

// ---- look ----

void CScriptPlayerDlg::UpdateTitle()
{
    const CString name = m_scriptPath.IsEmpty() ? CString("<New Script>") : FileNameOf(m_scriptPath);
    SetWindowText(m_baseTitle + " - " + name);
}

void CScriptPlayerDlg::SetDetailsText(const CString& text)
{
    if (!m_details.GetSafeHwnd())
        return;
    m_details.SetReadOnly(FALSE);
    m_details.SetWindowText(text);
    m_details.SetReadOnly(TRUE);
    CHARFORMAT format{};
    format.cbSize = sizeof(format);
    format.dwMask = CFM_FACE | CFM_SIZE | CFM_COLOR;
    format.yHeight = static_cast<LONG>(m_settings.m_detailsFontSize * 20.0);
    format.crTextColor = m_settings.m_detailsText;
    strncpy(format.szFaceName, "Arial", sizeof(format.szFaceName) - 1);
    m_details.SetSel(0, -1);
    m_details.SetSelectionCharFormat(format);
    m_details.SetDefaultCharFormat(format);
    m_details.SetSel(0, 0);
    m_details.SetBackgroundColor(FALSE, m_settings.m_detailsBg);
}

bool CScriptPlayerDlg::IsProgramMode()
{
    return GetSafeHwnd() && IsDlgButtonChecked(kProgram) == BST_CHECKED;
}

void CScriptPlayerDlg::OnProgramButton()
{
    SetProgramMode(IsProgramMode());
    UpdateControls(true);
}

void CScriptPlayerDlg::SetProgramMode(bool on)
{
    if (on) {
        m_list.ModifyStyle(LVS_SINGLESEL, 0);
        HighlightRow(-1, false, true);
    } else {
        m_trackSelection = 0;
        for (int i = 0; i < m_list.GetItemCount(); ++i)
            m_list.SetItemState(i, 0, LVIS_SELECTED);
        m_trackSelection = 1;
        m_list.ModifyStyle(0, LVS_SINGLESEL);
        HighlightRow(m_currentRow, true, true);
    }
}

void CScriptPlayerDlg::UpdateControls(bool rearrange)
{
    if (!GetSafeHwnd())
        return;
    const bool program = IsProgramMode();
    const bool details = IsDlgButtonChecked(kShowDetails) == BST_CHECKED;
    for (int id : {kAdd, kRemove, kEdit, kCapture, kTest, kSave})
        GetDlgItem(id)->ShowWindow(program ? SW_SHOW : SW_HIDE);
    m_details.ShowWindow(details ? SW_SHOW : SW_HIDE);
    const int selected = m_list.GetSelectedCount();
    const int rows = m_list.GetItemCount();
    const bool hasNext = m_currentRow >= 0 && m_currentRow + 1 < rows;
    GetDlgItem(kEdit)->EnableWindow(selected == 1);
    GetDlgItem(kTest)->EnableWindow(selected == 1);
    GetDlgItem(kCapture)->EnableWindow(selected == 1);
    GetDlgItem(kRemove)->EnableWindow(selected >= 1);
    GetDlgItem(kRestart)->EnableWindow(rows > 0);
    GetDlgItem(kNext)->EnableWindow(hasNext);
    GetDlgItem(kSkip)->EnableWindow(hasNext && ShowsCheckboxes() && m_settings.m_autoCheckBoxes);
    GetDlgItem(kBack)->EnableWindow(m_currentRow > 0);
    if (rearrange && (program != m_programShown || details != m_detailsShown))
        ArrangeControls(program != m_programShown, details != m_detailsShown);
}

int CScriptPlayerDlg::TopOf(int id)
{
    CRect rect;
    GetDlgItem(id)->GetWindowRect(&rect);
    ScreenToClient(&rect);
    return rect.top;
}

int CScriptPlayerDlg::ControlHeight(int id)
{
    CRect rect;
    GetDlgItem(id)->GetWindowRect(&rect);
    return rect.Height();
}

void CScriptPlayerDlg::MoveControlY(int id, int top)
{
    CWnd* control = GetDlgItem(id);
    CRect rect;
    control->GetWindowRect(&rect);
    ScreenToClient(&rect);
    control->MoveWindow(rect.left, top, rect.Width(), rect.Height(), FALSE);
}

void CScriptPlayerDlg::ArrangeControls(bool programToggled, bool detailsToggled)
{
    const bool program = IsProgramMode();
    const bool details = IsDlgButtonChecked(kShowDetails) == BST_CHECKED;
    const int buttonHeight = ControlHeight(kSave);
    if (programToggled || detailsToggled) {
        CRect window;
        GetWindowRect(&window);
        int height = window.Height();
        if (programToggled)
            height += (program ? 1 : -1) * (buttonHeight + kGap);
        if (detailsToggled)
            height += (details ? 1 : -1) * (m_settings.m_detailsHeight + kGap);
        SetWindowPos(nullptr, 0, 0, window.Width(), height, SWP_NOMOVE | SWP_NOZORDER);
    }
    m_programShown = program;
    m_detailsShown = details;
    CRect client;
    GetClientRect(&client);
    int bottom = client.bottom;
    if (program) {
        for (int id : {kAdd, kRemove, kEdit, kCapture, kTest, kSave})
            MoveControlY(id, bottom - kBottomGap - buttonHeight);
        bottom -= kBottomGap + buttonHeight;
    }
    const int playTop = bottom - kGap - ControlHeight(kBack);
    for (int id : {kBack, kNext, kSkip, kRestart, kOpen})
        MoveControlY(id, playTop);
    MoveControlY(kShowDetails, playTop + m_detailsCheckOffset);
    MoveControlY(kProgram, playTop + m_programCheckOffset);
    CRect listRect;
    m_list.GetWindowRect(&listRect);
    ScreenToClient(&listRect);
    const int right = client.right - listRect.left;
    int listBottom = playTop - kBottomGap;
    if (details) {
        const int top = listBottom - m_settings.m_detailsHeight;
        m_details.MoveWindow(listRect.left, top, right - listRect.left, m_settings.m_detailsHeight, FALSE);
        listBottom = top - kGap;
    }
    m_list.MoveWindow(listRect.left, listRect.top, right - listRect.left, std::max(20, listBottom - listRect.top), FALSE);
    FitDescriptionColumn();
    CRect save;
    GetDlgItem(kSave)->GetWindowRect(&save);
    ScreenToClient(&save);
    CRect window;
    GetWindowRect(&window);
    const int frameX = window.Width() - client.Width();
    const int frameY = window.Height() - client.Height();
    m_minTrackWidth = save.right + listRect.left + frameX;
    m_minTrackHeight = frameY + listRect.top + 40 + (client.bottom - listBottom);
    Invalidate();
}

void CScriptPlayerDlg::OnSize(UINT /*type*/, int /*cx*/, int /*cy*/)
{
    if (!m_initialised)
        return;
    ArrangeControls(false, false);
}

void CScriptPlayerDlg::OnGetMinMaxInfo(MINMAXINFO* info)
{
    if (!m_initialised)
        return;
    info->ptMinTrackSize.x = m_minTrackWidth;
    info->ptMinTrackSize.y = m_minTrackHeight;
}

// ---- the details splitter ----

CRect CScriptPlayerDlg::SplitterRect()
{
    CRect list;
    CRect details;
    m_list.GetWindowRect(&list);
    m_details.GetWindowRect(&details);
    ScreenToClient(&list);
    ScreenToClient(&details);
    return CRect(list.left, list.bottom, list.right, details.top);
}

void CScriptPlayerDlg::OnLButtonDown(UINT /*flags*/, CPoint point)
{
    if (!m_detailsShown || !SplitterRect().PtInRect(point))
        return;
    m_splitterDrag = 1;
    m_dragStart = point;
    SetCapture();
}

void CScriptPlayerDlg::OnMouseMove(UINT /*flags*/, CPoint point)
{
    if (!m_splitterDrag)
        return;
    CRect details;
    m_details.GetWindowRect(&details);
    ScreenToClient(&details);
    m_settings.m_detailsHeight = std::max(10, static_cast<int>(details.bottom - point.y));
    ArrangeControls(false, false);
}

void CScriptPlayerDlg::OnLButtonUp(UINT /*flags*/, CPoint /*point*/)
{
    if (!m_splitterDrag)
        return;
    m_splitterDrag = 0;
    ReleaseCapture();
}
