// CPropertyPage: one page of a property sheet as the sheet keeps it (what the
// common controls call a page handle): the dialog object that becomes the
// page's window, the template it is made from, already in the sheet's font,
// its tab text and its flags. The sheet makes the page's window, as a child
// of the sheet, the first time the page is shown.
#pragma once

#include "Dialog.h"
#include "DialogTemplate.h"

constexpr DWORD PSP_DLGINDIRECT = 0x1;
constexpr DWORD PSP_USETITLE = 0x8;
constexpr DWORD PSP_HASHELP = 0x20;
constexpr DWORD PSP_USECALLBACK = 0x80;
constexpr DWORD PSP_USEHEADERTITLE = 0x1000;
constexpr DWORD PSP_USEHEADERSUBTITLE = 0x2000;

class CPropertyPage {
public:
    // `title` is used with PSP_USETITLE; otherwise the template's caption is the tab text.
    CPropertyPage(CDialog* window, const DialogTemplate& dialog, const char* title = nullptr, DWORD flags = 0);
    CPropertyPage(const CPropertyPage&) = delete;
    CPropertyPage& operator=(const CPropertyPage&) = delete;

    CDialog* GetWindow() const { return m_window; }
    const DialogTemplate& GetTemplate() const { return m_template; }
    CString GetTitle() const;
    DWORD GetFlags() const { return m_flags; }
    // Makes the page's window inside the sheet's frame, hidden; false when that fails.
    BOOL CreatePageWindow(CWnd* frame);
    BOOL HasWindow() const { return m_window && m_window->GetSafeHwnd(); }

private:
    CDialog* m_window;
    DialogTemplate m_template;
    CString m_title;
    DWORD m_flags;
};
