// CGuiUpdateDlg: the modeless dialog every drive setup and status window is
// built on. It is a drive item of the open-window list, carries a toolbar
// with the drive selector and state indicator, names itself after its window
// and drive, asks before settings not yet sent are thrown away, and offers a
// drive enable button. It deletes itself once its window is gone.
#pragma once

#include "DlgScroller.h"
#include "GuiUpdateItem.h"
#include "QvxGuiToolbar.h"
#include "QvxGuiControlList.h"
#include "QvxGuiToolbarCB.h"
#include "foundation/DWinProcHandler.h"
#include "platform/core/Map.h"
#include "platform/core/Object.h"
#include "platform/ui/Dialog.h"

constexpr WORD kDriveEnableCode = 174;  // EN
constexpr DWORD WS_EX_CONTEXTHELP = 0x00000400;
constexpr UINT SC_CONTEXTHELP = 0xF180;
constexpr DWORD CBRS_TOP = 0x2000;
constexpr UINT WM_EXITSIZEMOVE = 0x0232;
constexpr int kCouldNotEnableHelpId = -1774;

class CGuiTutorialOpener;
class CQvxUpdateChildDlg;

class CGuiUpdateDlg : public CDialog,
                      public CGuiUpdateItem,
                      public CQvxGuiToolbarCB,
                      public CDWinProcHandler,
                      public CObject {
    DECLARE_DYNAMIC(CGuiUpdateDlg)

public:
    explicit CGuiUpdateDlg(UINT templateId = 0, CWnd* parent = nullptr);
    ~CGuiUpdateDlg() override;

    // CGuiUpdateItem
    CString GetItemName() const override { return "<NO-DLGNAME>"; }
    void AttachToUpdateList() override;
    void DetachFromUpdateList(int flags) override;
    CString GetGuiName() const override { return GetRuntimeClass()->m_lpszClassName; }
    CWnd* GetWnd() override { return this; }
    int CanClose() override;
    int IsMovableWindow() override { return 1; }
    void DeleteItem() override { DestroyWindow(); }
    void SetDrive(int drive, int restart) override;
    int GetPendingChangesState(int ignored) override;
    void RandomExercise(int flags) override;
    void ProcessResponses() override;
    void UpdateControls() override;
    int SubscribeStatusQueries() override;
    int InitialUpdate() override;
    int ExecuteCommand(const CString& command, CString& reply) override;
    void OnDriveChanged() override {}
    void SerializeLayout(CArchive& ar, int version) override;
    void OnEnableBitChanged(int bit) override;
    void OnFaultWordChanged(int value) override;
    void OnDriveStateChanged() override;

    // Own operations.
    virtual BOOL CreateGuiWindow(int show);
    virtual int CustomSend(int /*id*/, double /*value*/, CWnd* /*control*/) { return 0; }
    virtual int CustomConvert(int /*id*/, double& /*value*/, CWnd* /*control*/) { return 0; }
    // A value for a control fed by the window: 1 or 3 a value (3 redisplays), 2 no change, -1 error.
    virtual int CustomPoll(int /*id*/, double& /*value*/, CWnd* /*control*/) { return 0; }
    // One lamp's state for a lamp group fed by the window: 1 the state, 2 the lamp's own test.
    virtual int CustomLamp(int /*id*/, int /*lamp*/, int& /*state*/, CWnd* /*control*/) { return 0; }
    using CWnd::OnChildNotify;
    virtual void OnChildNotify(CWnd* /*child*/, int /*code*/) {}
    // 0 when the group could not be sent.
    virtual int SendGroup(int group) { return m_controls.SendGroup(group); }
    virtual void OnChildDialogClosed(int code);
    virtual void OnAttached() {}
    virtual int IsSpecialInit() { return 0; }
    virtual BOOL CreateToolbar();
    virtual int CanCloseNow() { return CanClose(); }
    virtual int CanCloseNow2() { return CanClose(); }

    // CQvxGuiToolbarCB
    void GetToolbarInfo(CList<CAmplifierData>& drives, int& currentDrive) override;
    int OnToolbarDriveSelected(const CString& driveText) override;
    int GetDriveEnableState() override;
    // CDWinProcHandler: watches the enable button.
    LRESULT HandleWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

    // The query id of the write, or 0 without a drive.
    int SendDriveEnable(int state);
    int SelectDrive(int drive);
    void SetAbandonPrompt(const char* text) { m_abandonPrompt = text; }
    CString GetDriveName() const { return m_toolbar.GetSafeHwnd() ? m_toolbar.GetDriveText() : CString(); }
    void SetDialogFont(const char* name, int size);
    CString GetDialogFontName() const { return m_fontName; }
    int GetDialogFontSize() const { return m_fontSize; }

    // Modeless child dialogs: the id the child got, or -1 when it could not be made.
    int AddChildDialog(CQvxUpdateChildDlg* child);
    void CloseChildDialogs();
    // A closing child takes itself out; FALSE when `id` is not that child's.
    BOOL RemoveChildDialog(int id, const CQvxUpdateChildDlg* child);
    int GetChildDialogCount() const { return m_childDialogs.GetCount(); }
    void SetEnableButton(CWnd* button);
    void UpdateTitle();
    // Makes the window wider by the pixels, up to the screen's width, so a text that needs them shows whole.
    void GrowWidthBy(int pixels);

    // Moves the tutorial that opened this window to its next page, unless the
    // drive window it holds keeps unsent settings or it is on its last page.
    void AdvanceTutorialPage();
    void SetOpener(CWnd* opener) { m_pOpener = opener; }
    CWnd* GetOpener() const { return m_pOpener; }
    void SetWindowName(const CString& name, int instance);
    CString GetWindowName() const { return m_windowName; }
    int GetInstanceNumber() const { return m_instance; }
    void SetShowToolbar(int show) { m_showToolbar = show; }
    void SetRestorePlacement(int restore) { m_restorePlacement = restore; }
    void SetKeepObject(int keep) { m_keepObject = keep; }
    void SetScrollable(int scrollable) { m_scrollable = scrollable; }

    // Scrolling of the content, for windows whose style has WS_HSCROLL or WS_VSCROLL.
    void SetupScrolling(int widthLimit, int heightLimit);
    void UpdateScrollBars();
    void ApplyScrollPosition() { m_scroller.ApplyPosition(); }
    const CDlgScroller& GetScroller() const { return m_scroller; }
    // After a layout record was read and the window placed: scrolls to the stored positions.
    void RestoreLayoutScrollPositions();
    BOOL KeepsSizeOnRestore() const;
    CQvxGuiToolbar& GetToolbar() { return m_toolbar; }
    int GetEnableRequest() const { return m_enableRequest; }
    CQvxGuiControlList& GetControlList() { return m_controls; }
    CString ListControls();

    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    BOOL PreTranslateMessage(MSG* msg) override;
    void OnClose();
    void OnDestroy();
    void OnToolbarButton() { OnChildDialogClosed(1); }
    LRESULT OnSysCommand(WPARAM wParam, LPARAM lParam);
    LRESULT OnExitSizeMove(WPARAM wParam, LPARAM lParam);
    void OnSize(UINT type, int cx, int cy);
    void OnHScroll(UINT code, UINT position, CWnd* bar);
    void OnVScroll(UINT code, UINT position, CWnd* bar);
    void OnGetMinMaxInfo(MINMAXINFO* info);
    HBRUSH OnCtlColor(CDC* dc, CWnd* child, UINT kind);

protected:
    void PostNcDestroy() override;
    void PreSubclassWindow() override;
    void UpdateEnableButton();
    void CheckEnableRequest();
    void ShutdownControls();

    CHPTimer m_enableTimer;
    CHPTimer m_exerciseTimer;
    CString m_fontName;
    int m_fontSize = 9;
    CString m_abandonPrompt;
    CQvxGuiToolbar m_toolbar;
    int m_enableRequest = 0;
    CWnd* m_pEnableButton = nullptr;
    CWnd* m_pOpener = nullptr;
    CString m_windowName;
    int m_instance = 0;
    int m_showToolbar = 1;
    int m_restorePlacement = 1;
    int m_keepObject = 0;
    int m_keepSize = 1;
    int m_cascadePending = 0;
    int m_scrollable = 0;
    CDlgScroller m_scroller;
    CMap<int, int, CQvxUpdateChildDlg*, CQvxUpdateChildDlg*> m_childDialogs;
    CQvxGuiControlList m_controls;
    int m_childCounter = 0;

private:
    CGuiTutorialOpener* GetTutorialOpener() const;
    void ReleaseOpener();
    // Moves this window 50 pixels right and down when it sits exactly on `other`.
    void CascadeFrom(CWnd* other);

    DECLARE_MESSAGE_MAP()
};
