// CPropertySheet: the platform's modeless property sheet, run inside a frame
// dialog that the caller owns (the frame object keeps its own message map and
// hands the sheet what it leaves unhandled, as a window procedure's default).
// The frame gets a tab control (id 12320, multi-line tabs), a page area below
// the tabs and the standard buttons OK, Cancel, Apply (12321) and Help. Pages
// are dialogs made from templates in the sheet's font, created when first
// shown. Messages: PSM_ADDPAGE, PSM_SETCURSEL, PSM_GETCURRENTPAGEHWND,
// PSM_ISDIALOGMESSAGE (Ctrl+Tab, Ctrl+Shift+Tab, Ctrl+Page Up/Down change the
// page); pages hear PSN_SETACTIVE, PSN_KILLACTIVE, PSN_APPLY, PSN_RESET,
// PSN_QUERYCANCEL and PSN_HELP as WM_NOTIFY from the sheet.
#pragma once

#include <memory>
#include <vector>

#include "PropertyPage.h"
#include "TabCtrl.h"

constexpr UINT PSM_SETCURSEL = WM_USER + 101;
constexpr UINT PSM_ADDPAGE = WM_USER + 103;
constexpr UINT PSM_GETTABCONTROL = WM_USER + 116;
constexpr UINT PSM_ISDIALOGMESSAGE = WM_USER + 117;
constexpr UINT PSM_GETCURRENTPAGEHWND = WM_USER + 118;

constexpr UINT PSN_FIRST = static_cast<UINT>(-200);
constexpr UINT PSN_SETACTIVE = PSN_FIRST - 0;
constexpr UINT PSN_KILLACTIVE = PSN_FIRST - 1;
constexpr UINT PSN_APPLY = PSN_FIRST - 2;
constexpr UINT PSN_RESET = PSN_FIRST - 3;
constexpr UINT PSN_HELP = PSN_FIRST - 5;
constexpr UINT PSN_WIZBACK = PSN_FIRST - 6;
constexpr UINT PSN_WIZNEXT = PSN_FIRST - 7;
constexpr UINT PSN_WIZFINISH = PSN_FIRST - 8;
constexpr UINT PSN_QUERYCANCEL = PSN_FIRST - 9;

constexpr LRESULT PSNRET_NOERROR = 0;
constexpr LRESULT PSNRET_INVALID = 1;
constexpr LRESULT PSNRET_INVALID_NOCHANGEPAGE = 2;

constexpr DWORD PSH_PROPSHEETPAGE = 0x8;
constexpr DWORD PSH_USECALLBACK = 0x100;
constexpr DWORD PSH_HASHELP = 0x200;
constexpr DWORD PSH_MODELESS = 0x400;
constexpr DWORD PSH_AEROWIZARD = 0x4000;

constexpr DWORD TCS_MULTILINE = 0x0200;
constexpr DWORD DS_3DLOOK = 0x4;
constexpr DWORD DS_CONTEXTHELP = 0x2000;

constexpr int AFX_IDC_TAB_CONTROL = 12320;
constexpr int ID_APPLY_NOW = 12321;
constexpr int IDHELP = 9;

struct PROPSHEETHEADER {
    DWORD dwFlags = PSH_PROPSHEETPAGE;
    CWnd* hwndParent = nullptr;
    CString caption;
    UINT nStartPage = 0;
    CString fontName = "MS Sans Serif";
    int fontSize = 8;
    DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    DWORD exStyle = 0;
    DWORD tabStyle = TCS_MULTILINE;
    // The sheet takes these over.
    std::vector<CPropertyPage*> pages;
};

class CPropertySheet {
public:
    CPropertySheet() = default;
    ~CPropertySheet();
    CPropertySheet(const CPropertySheet&) = delete;
    CPropertySheet& operator=(const CPropertySheet&) = delete;

    // Makes `frame`'s window, sized for the largest page; the frame's
    // OnInitDialog calls InitDialog before anything else. FALSE when the
    // frame could not be made (the pages are kept for a later try).
    BOOL Create(CDialog* frame, PROPSHEETHEADER& header);
    // The sheet's own part of the frame's initialisation: the tabs and the start page.
    BOOL InitDialog();
    // The frame's default handling: TRUE when the sheet took the message.
    BOOL DefSheetProc(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

    CTabCtrl* GetTabControl() const;
    int GetPageCount() const { return static_cast<int>(m_pages.size()); }
    int GetCurSel() const { return m_current; }
    // The window of the shown page; null once the sheet was closed by OK or Cancel.
    CDialog* GetCurrentPage() const;
    CPropertyPage* GetPage(int index) const;
    // Where pages sit, in the frame's client coordinates: the tab control less its tab row.
    CRect GetPageRect() const;
    BOOL IsClosed() const { return m_closed; }

private:
    BOOL AddPage(CPropertyPage* page);
    BOOL SetCurSel(int index);
    BOOL ShowPage(int index);
    BOOL IsDialogMessage(const MSG* msg);
    BOOL OnCommand(UINT id);
    LRESULT NotifyPage(int index, UINT code);
    BOOL ApplyAll();

    CDialog* m_frame = nullptr;
    std::vector<std::unique_ptr<CPropertyPage>> m_pages;
    int m_current = -1;
    UINT m_startPage = 0;
    BOOL m_closed = FALSE;
};
