// CAppEncoderWindow: the absolute-encoder database window as the application
// keeps it: one window object for the program's life, made into a window by
// the first menu command and then shown and hidden by the next ones. The
// window finds the table database and cloud interface through the
// application's CDatabaseAppServices.
#pragma once

#include "database/windows/EditAbsEncDbDlg.h"

class CAppEncoderWindow {
public:
    CAppEncoderWindow() = default;
    ~CAppEncoderWindow();
    CAppEncoderWindow(const CAppEncoderWindow&) = delete;
    CAppEncoderWindow& operator=(const CAppEncoderWindow&) = delete;

    // Shows the window when hidden (making it first, owned by parent), hides it when shown.
    void Toggle(CWnd* parent);
    bool IsVisible() const;
    // The window's question about unsaved changes before the program closes.
    bool CanClose();
    CEditAbsEncDbDlg& GetWindow() { return m_window; }

private:
    CEditAbsEncDbDlg m_window;
};
