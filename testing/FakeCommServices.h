// The application's side of the link layer, for tests: it records alerts,
// the communication status and the reconnection flags, and keeps a
// connected-drive list and drive assignments the test sets.
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "comm/link/CommAppServices.h"

class FakeCommServices : public CCommAppServices {
public:
    struct Alert {
        std::string key;
        std::string text;
        int level;
        int flags;
        int drive;
        bool reconnected;  // the reconnection flags as the alert found them
        bool typeChanged;
    };

    FakeCommServices() { Install(this); }
    ~FakeCommServices() override { Install(nullptr); }

    void RaiseAlert(const char* key, const char* message, int level, int flags, int driveAddress) override
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_alerts.push_back({key, message, level, flags, driveAddress, m_reconnected, m_typeChanged});
    }
    void ClearAllAlerts() override {}
    void SetCommStatus(int status) override
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_status = status;
    }
    void SetDriveReconnected() override
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_reconnected = true;
    }
    void SetDriveTypeChanged() override
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_typeChanged = true;
    }
    int GetDriveFamily(int address, DWORD* dataWord = nullptr) override
    {
        std::lock_guard<std::mutex> guard(m_lock);
        for (const auto& drive : m_drives) {
            if (drive.m_address == address) {
                if (dataWord)
                    *dataWord = drive.m_data;
                return drive.m_family;
            }
        }
        return -1;
    }
    void ClearConnectedDrives() override
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_drives.clear();
    }
    void AddConnectedDrive(const CAmplifierData& drive) override
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_drives.push_back(drive);
    }
    void GetConnectedDrives(CList<CAmplifierData>& drives) override
    {
        std::lock_guard<std::mutex> guard(m_lock);
        drives.RemoveAll();
        for (const auto& drive : m_drives)
            drives.AddTail(drive);
    }
    void GetDriveAssignments(CList<CDriveAssignment>& assignments) override
    {
        std::lock_guard<std::mutex> guard(m_lock);
        assignments.RemoveAll();
        for (const auto& a : m_assignments)
            assignments.AddTail(a);
    }
    void BuildScopeDriveList(CList<CDriveAssignment>& drives) override { GetDriveAssignments(drives); }
    CString GetUserSettingsIniPath() override { return m_iniPath; }

    void Assign(int address, const char* name)
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_assignments.emplace_back(address, name);
    }
    std::vector<Alert> Alerts()
    {
        std::lock_guard<std::mutex> guard(m_lock);
        return m_alerts;
    }
    int CountAlerts(const std::string& key)
    {
        std::lock_guard<std::mutex> guard(m_lock);
        int count = 0;
        for (const auto& alert : m_alerts)
            count += alert.key == key ? 1 : 0;
        return count;
    }
    int Status()
    {
        std::lock_guard<std::mutex> guard(m_lock);
        return m_status;
    }
    bool Reconnected()
    {
        std::lock_guard<std::mutex> guard(m_lock);
        return m_reconnected;
    }
    bool TypeChanged()
    {
        std::lock_guard<std::mutex> guard(m_lock);
        return m_typeChanged;
    }

    CString m_iniPath;

private:
    std::mutex m_lock;
    std::vector<Alert> m_alerts;
    std::vector<CAmplifierData> m_drives;
    std::vector<CDriveAssignment> m_assignments;
    int m_status = -1;
    bool m_reconnected = false;
    bool m_typeChanged = false;
};
