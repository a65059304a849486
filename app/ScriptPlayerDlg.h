// CScriptPlayerDlg: the script player. It shows the sections of one script
// as rows, plays a section when the operator stops on its row (sending its
// lines through the program's command router), steps with Back, Next, Skip
// and three program-wide keys, and in Program mode lets the author add,
// edit, remove, reorder, capture and test sections and save the script.
#pragma once

#include <functional>
#include <map>

#include "ScriptPlayerSettings.h"
#include "ScriptSectionList.h"
#include "controls/ReportCtrl.h"
#include "foundation/HPTimer.h"
#include "platform/core/Mutex.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Font.h"
#include "platform/ui/RichEditCtrl.h"

class CScriptPlayerDlg : public CDialog {
public:
    static constexpr UINT IDD = 377;
    enum ControlId : int {
        kList = 2268,
        kDetails = 2295,
        kBack = 2682,
        kNext = 2057,
        kSkip = 2064,
        kRestart = 2683,
        kOpen = 2063,
        kShowDetails = 2680,
        kProgram = 2681,
        kAdd = 2058,
        kRemove = 2059,
        kEdit = 2060,
        kCapture = 2061,
        kTest = 2062,
        kSave = 2684,
    };
    enum MenuCommand : UINT {
        kSaveAsCommand = 10001,
        kNewCommand = 10002,
        kSettingsCommand = 10003,
        kTestModeCommand = 10004,
        kInsertBeforeCommand = 10005,
    };
    static constexpr UINT_PTR kTestTimer = 1;
    static constexpr UINT_PTR kPlayTimer = 2;
    static constexpr double kPlayDelaySeconds = 0.2;

    // How a section's line reaches the windows; the program's command router by default.
    using CommandRouter = std::function<int(const CString& line, CString& reply)>;
    // The first connected drive's address; -1 when none.
    using FirstDrive = std::function<int()>;

    CScriptPlayerDlg();
    ~CScriptPlayerDlg() override;

    // Makes the one player when there is none, shows it and returns it.
    static CScriptPlayerDlg* OpenScriptPlayer(CWnd* parent = nullptr);
    static CScriptPlayerDlg* GetPlayer() { return s_player; }
    // Queues one of the three keys (outside Program mode); true when taken.
    static int HandleNavigationKey(CScriptPlayerDlg* player, UINT key);

    void SetCommandRouter(CommandRouter router) { m_router = std::move(router); }
    void SetFirstDrive(FirstDrive firstDrive) { m_firstDrive = std::move(firstDrive); }

    void RunSection(CScriptSection* section);
    void ArmSection(int row);
    int SaveScript(const CString& path);
    int OpenScript(const CString& path);
    int QuerySaveModified();
    void NewScript();
    int AddSection(int position);
    int EditSection(int row);
    void RemoveSelectedSections();
    void MoveSelectedRows(int target);
    void CaptureLayout();
    void TestSection();
    int GetCurrentRow();
    void SelectRow(int row);
    void ColourRows(int row);
    void HighlightRow(int row, bool highlighted, bool resetAll);
    void SetDetailsText(const CString& text);
    void UpdateTitle();
    void UpdateControls(bool rearrange);
    void ArrangeControls(bool programToggled, bool detailsToggled);
    void SetProgramMode(bool on);
    CString GetScriptFolder() const;
    void FillSectionRows(CScriptSectionList& list);
    void CollectSections(CScriptSectionList& list);
    void ShowSectionRow(CScriptSection* section, int row);
    void DeleteRowSections();
    // Deletes the section of one row (the row stays).
    void DeleteRowSection(int row);

    void LoadSettings();
    void SaveSettings();
    void ApplySettings();
    int EditSettings();
    void SetTestMode(bool on);
    // The drop-downs of "Add" and "Save Script": their buttons have no arrow
    // part here, so a right click on the button opens them.
    void ShowAddMenu();
    void ShowSaveMenu();
    void OnNext();
    void OnSkip();
    void OnBack();
    void OnRestart();

    // What tests and the frame read.
    CReportCtrl& GetList() { return m_list; }
    CRichEditCtrl& GetDetails() { return m_details; }
    CScriptPlayerSettings& Settings() { return m_settings; }
    const CString& GetScriptPath() const { return m_scriptPath; }
    bool IsModified() const { return m_modified != 0; }
    bool IsProgramMode();
    bool IsTestMode() const { return m_testMode != 0; }
    CScriptSection* GetArmedSection() const { return m_armed; }
    CScriptSection* GetRowSection(int row) const;
    int GetPlayRow() const { return m_currentRow; }
    int GetQueuedKeyCount() const { return m_keys.GetCount(); }
    int GetDetailsHeight() const { return m_settings.m_detailsHeight; }

protected:
    BOOL OnInitDialog() override;
    void OnOK() override {}
    void OnCancel() override { OnClose(); }
    void PostNcDestroy() override;
    void OnTimer(UINT_PTR id);
    void OnClose();
    void OnDestroy();
    void OnSize(UINT type, int cx, int cy);
    void OnGetMinMaxInfo(MINMAXINFO* info);
    void OnMouseMove(UINT flags, CPoint point);
    void OnLButtonDown(UINT flags, CPoint point);
    void OnLButtonUp(UINT flags, CPoint point);
    void OnContextMenu(CWnd* wnd, CPoint point);
    void OnItemChanged(NMHDR* header, LRESULT* result);
    void OnDoubleClick(NMHDR* header, LRESULT* result);
    void OnOpenButton() { OpenScript(CString()); }
    void OnDetailsButton() { UpdateControls(true); }
    void OnProgramButton();
    void OnAddButton() { AddSection(-1); }
    void OnEditButton();
    void OnSaveButton() { SaveScript(m_scriptPath); }
    void OnSaveAs() { SaveScript(CString()); }
    void OnSettingsCommand() { EditSettings(); }
    void OnTestModeCommand() { SetTestMode(!m_testMode); }
    void OnInsertBefore();
    DECLARE_MESSAGE_MAP()

private:
    void PlayArmed();
    void TakeKeys();
    int RouteLine(const CString& line, CString& reply);
    void MarkStarted();
    void FitDescriptionColumn();
    void SetRowCheck(int row, bool checked);
    bool ShowsCheckboxes() const { return m_settings.m_showCheckboxes != 0; }
    CRect SplitterRect();
    void MoveControlY(int id, int top);
    int ControlHeight(int id);
    int TopOf(int id);
    void ShowSelectionColours(int row);

    static CScriptPlayerDlg* s_player;

    CString m_scriptPath;
    CString m_baseTitle;
    int m_modified = 0;
    int m_started = 0;
    int m_testMode = 0;
    int m_checksDirty = 0;
    int m_initialised = 0;
    int m_trackSelection = 1;
    int m_rowDrag = 0;
    int m_splitterDrag = 0;
    int m_currentRow = -1;
    int m_dropRow = -1;
    CHPTimer m_playWatch;
    CMutex m_playWatchLock;
    int m_minTrackWidth = 0;
    int m_minTrackHeight = 100;
    CScriptSection* m_armed = nullptr;
    CFont m_listFont;
    CList<int, int> m_keys;
    CPoint m_dragStart;
    CScriptPlayerSettings m_settings;
    CReportCtrl m_list;
    CRichEditCtrl m_details;
    bool m_programShown = false;
    int m_detailsCheckOffset = 0;
    int m_programCheckOffset = 0;
    bool m_detailsShown = false;
    // A row's data word is 32 bits wide: it holds a key into this table
    // of the sections the rows own.
    std::map<DWORD, CScriptSection*> m_rowSections;
    DWORD m_nextSectionKey = 1;
    CommandRouter m_router;
    FirstDrive m_firstDrive;
};
