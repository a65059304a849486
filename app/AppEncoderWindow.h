// CAppEncoderWindow: the absolute-encoder database window as the application
// keeps it: one window object for the program's life, made into a window by
// the first menu command and then shown and hidden by the next ones. It hands
// the window the application's table database and cloud interface.
#pragma once

#include "database/windows/EditAbsEncDbDlg.h"
#include "database/windows/EncoderDatabaseServices.h"

class CAppEncoderWindow : public CEncoderDatabaseServices {
public:
    CAppEncoderWindow(CQvxDatabase& database, CQvxCloudDatabaseInterface& cloud);
    ~CAppEncoderWindow() override;
    CAppEncoderWindow(const CAppEncoderWindow&) = delete;
    CAppEncoderWindow& operator=(const CAppEncoderWindow&) = delete;

    CQvxDatabase* GetDatabase() override { return &m_database; }
    CQvxCloudDatabaseInterface* GetCloudInterface() override { return &m_cloud; }

    // Shows the window when hidden (making it first, owned by parent), hides it when shown.
    void Toggle(CWnd* parent);
    bool IsVisible() const;
    // The window's question about unsaved changes before the program closes.
    bool CanClose();
    CEditAbsEncDbDlg& GetWindow() { return m_window; }

private:
    CQvxDatabase& m_database;
    CQvxCloudDatabaseInterface& m_cloud;
    CEditAbsEncDbDlg m_window;
};
