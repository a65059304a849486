// CAppDatabase: the table database and its cloud interface as start-up and
// the menu commands reach them: the login data, the two table files copied
// into the data folder and loaded, their synchronisation with the cloud and
// the three standard recordsets; the windows of "Test QVX Database" and
// "Manage Cloud Database"; the absolute-encoder database window.
#pragma once

#include <memory>
#include <vector>

#include "database/QvxCloudDatabaseInterface.h"
#include "database/QvxDatabase.h"
#include "platform/core/String.h"

class CManageCloudDatabaseDlg;
class CAppEncoderWindow;

class CAppDatabase {
public:
    CAppDatabase();
    virtual ~CAppDatabase();

    // The cloud host that start-up pings when nothing else is known.
    static constexpr const char* kDefaultCloudHost = "cloud.quorvex.com";

    static constexpr const char* kMotorTable = "QvxMotorDB";
    static constexpr const char* kEncoderTable = "AbsEncDB";

    // The saved cloud login data (application profile); a damaged entry keeps the defaults.
    virtual void LoadLoginData();
    virtual CString GetCloudHost() const;

    // Copies the two table files into the data folder when missing, then loads
    // them. 1 only when both loaded; errors get one line each.
    virtual int OpenDatabaseFiles(std::vector<CString>& errors);
    // Replaces the local tables by the cloud's (the network and the host already
    // answered); one error text per failed table. The requests run beside the
    // GUI thread, which keeps its messages flowing; each is bounded in time.
    virtual void SyncTablesFromCloud(std::vector<CString>& errors);
    // The three standard recordsets; 1 when all were made.
    virtual int CreateDatabaseRecordsets();
    virtual bool HasRecordset(const char* name) const;

    CQvxDatabase& GetTables() { return m_tables; }
    CQvxCloudDatabaseInterface& GetCloud() { return m_cloud; }
    // The longest one cloud request of the start-up synchronisation may take.
    void SetSyncRequestLimitMs(long ms) { m_syncRequestLimitMs = ms; }

    // A new database test window on the motor table's recordset "MotorByPartNum".
    virtual bool HasTestWindow() const { return true; }
    virtual void OpenTestWindow();
    virtual bool HasEncoderWindow() const { return true; }
    virtual void ToggleEncoderWindow();
    virtual bool IsEncoderWindowVisible() const;
    virtual bool HasCloudManagementWindow() const { return true; }
    // Shows the window when hidden, hides it when shown; false when it cannot be made.
    virtual bool ToggleCloudManagementWindow();
    virtual bool IsCloudManagementWindowVisible() const;
    // Asked before the program closes (the encoder window's unsaved changes).
    virtual bool CanClose();
    CAppEncoderWindow& GetEncoderWindow() { return *m_encoderWindow; }
    // Null until the cloud management command first made it.
    CManageCloudDatabaseDlg* GetCloudWindow() const { return m_cloudWindow.get(); }

private:
    void SyncTables(std::vector<CString>& errors);

    CQvxDatabase m_tables;
    CQvxCloudDatabaseInterface m_cloud;
    // Made on first use; its window goes with the main frame, the object with this.
    std::unique_ptr<CManageCloudDatabaseDlg> m_cloudWindow;
    long m_syncRequestLimitMs = 15000;
    // Made with the database and gone before it.
    std::unique_ptr<CAppEncoderWindow> m_encoderWindow;
};
