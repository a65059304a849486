// CGuiUpdatePropSheet: a tabbed drive window. Its frame is a drive window
// with the toolbar and drive selector; its pages are drive windows of their
// own on the sheet's drive. It can carry "Send Settings To Drive" and
// "ENABLE DRIVE" buttons under the pages and panels above and below them,
// remembers its last tab per class, and answers the tab text commands.
#pragma once

#include "GuiUpdateDlg.h"
#include "platform/core/Array.h"
#include "platform/ui/Button.h"
#include "platform/ui/PropertySheet.h"

class CGuiUpdatePpg;

constexpr int kSheetSendButtonId = 11000;
constexpr int kSheetEnableButtonId = 11001;
constexpr UINT kPageResizeMessage = WM_USER + 111;

// Bits of the sheet's buttons.
enum SheetButtons : int {
    kSheetEnableButton = 1,
    kSheetSendButton = 2,
};

class CGuiUpdatePropSheet : public CGuiUpdateDlg {
    DECLARE_DYNAMIC(CGuiUpdatePropSheet)

public:
    explicit CGuiUpdatePropSheet(const char* caption);
    ~CGuiUpdatePropSheet() override;

    // Creation by template becomes the sheet's creation.
    BOOL Create(UINT templateId, CWnd* parent = nullptr) override;
    virtual BOOL CreateSheet(CWnd* parent, DWORD style, DWORD exStyle);
    virtual void BuildPageTemplates();
    virtual int ConfirmSendSettings();

    // CGuiUpdateDlg
    int SendGroup(int group) override;
    void OnChildDialogClosed(int code) override;
    int IsSpecialInit() override { return 1; }
    int OnToolbarDriveSelected(const CString& driveText) override;
    // CGuiUpdateItem
    CString GetItemName() const override { return "GUI Property Sheet"; }
    int IsMovableWindow() override { return 1; }
    void ProcessResponses() override;
    int ExecuteCommand(const CString& command, CString& reply) override;
    void SerializeLayout(CArchive& ar, int version) override;

    void AddPage(CGuiUpdatePpg* page);
    int GetPageCount() const;
    int GetActiveIndex() const;
    int GetPageIndex(const CGuiUpdatePpg* page) const;
    CGuiUpdatePpg* GetPage(int index) const;
    int SelectPage(CGuiUpdatePpg* page);
    CGuiUpdatePpg* FindPageByTabText(const char* text) const;
    void ResizeToPageSize(int width, int height);
    int CreatePanels();
    void CreateSheetButtons();
    CTabCtrl* GetTabControl() const { return m_sheet.GetTabControl(); }
    CRect GetPageRect() const { return m_pageRect; }
    int GetPendingTab() const { return m_pendingTab; }
    // Sets the vertical scroll position to 0 and moves the content there.
    void ScrollToTop();

    void SetButtons(int buttons) { m_buttons = buttons; }
    void SetPageSize(int width, int height);
    void SetStackedTabs(int stacked) { m_stackedTabs = stacked; }
    void SetTopPanel(CDialog* panel, UINT templateId);
    void SetBottomPanel(CDialog* panel, UINT templateId);
    CButton& GetSendButton() { return m_sendButton; }
    CButton& GetEnableButton() { return m_enableButton; }

    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    BOOL PreTranslateMessage(MSG* msg) override;
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnClose();
    LRESULT OnSheetSysCommand(WPARAM wParam, LPARAM lParam);
    LRESULT OnPageResize(WPARAM wParam, LPARAM lParam);

protected:
    int GetPageTab(const char* text, CGuiUpdatePpg*& page, CString& reply) const;
    int ExecuteTabCommand(const CString& command, CString& reply);
    int SetTabIndex(const CString& command, CString& reply);
    int SetTab(const CString& command, CString& reply);
    int ListTabs(CString& reply) const;
    CString TabSaveKey() const { return GetRuntimeClass()->m_lpszClassName; }
    // A remembered tab outside the pages becomes the first.
    int ValidTab(int index) const;
    BOOL CreatePanel(CDialog* panel, UINT templateId, bool top);
    void GrowSheet(int dx, int dy);

    CPropertySheet m_sheet;
    PROPSHEETHEADER m_header;
    CRect m_pageRect;
    int m_pendingTab = -1;
    CButton m_sendButton;
    CButton m_enableButton;
    CDialog* m_pTopPanel = nullptr;
    UINT m_topPanelId = 0;
    CDialog* m_pBottomPanel = nullptr;
    UINT m_bottomPanelId = 0;
    CArray<CGuiUpdatePpg*, CGuiUpdatePpg*> m_pages;
    CString m_caption;
    int m_stackedTabs = 1;
    int m_modeless = 0;
    int m_pageWidth = -1;
    int m_pageHeight = -1;
    int m_buttons = 0;

    DECLARE_MESSAGE_MAP()
};
