// The application's services as the link layer's tests see them: alerts and
// message-box texts are recorded, drives and assignments are set by the test.
#pragma once

#include <atomic>

#include <mutex>
#include <string>
#include <vector>

#include "comm/link/CommAppServices.h"

struct RecordedAlert {
    std::string key;
    std::string text;
    int level;
    int flags;
    int drive;
};

class TestAppServices : public CCommAppServices {
public:
    TestAppServices() { Install(this); }
    ~TestAppServices() override { Install(nullptr); }

    void RaiseAlert(const char* key, const char* message, int level, int flags, int driveAddress) override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_alerts.push_back({key, message, level, flags, driveAddress});
    }
    void ClearAllAlerts() override { ++m_clearAllCalls; }
    void SetCommStatus(int status) override { m_commStatus = status; }
    void PostUpdateMainMenu() override { ++m_menuUpdates; }
    int GetDriveFamily(int address, DWORD* dataWord) override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (const CAmplifierData& drive : m_connected)
            if (drive.m_address == address) {
                if (dataWord)
                    *dataWord = drive.m_data;
                return drive.m_family;
            }
        return -1;
    }
    void ClearConnectedDrives() override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_connected.clear();
    }
    void AddConnectedDrive(const CAmplifierData& drive) override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_connected.push_back(drive);
    }
    void GetConnectedDrives(CList<CAmplifierData>& drives) override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (const CAmplifierData& drive : m_connected)
            drives.AddTail(drive);
    }
    void GetDriveAssignments(CList<CDriveAssignment>& assignments) override
    {
        for (const CDriveAssignment& a : m_assignments)
            assignments.AddTail(a);
    }
    void BuildScopeDriveList(CList<CDriveAssignment>& drives) override { GetDriveAssignments(drives); }
    CString GetUserSettingsIniPath() override { return m_iniPath.c_str(); }
    bool IsCommTraceOn() override { return m_traceOn; }
    void AddDebugMessage(const char* text) override { m_debugLines.push_back(text); }
    double GetGlobalSeconds() override { return m_seconds; }

    std::vector<RecordedAlert> TakeAlerts()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        std::vector<RecordedAlert> alerts;
        alerts.swap(m_alerts);
        return alerts;
    }
    int CountAlerts(const std::string& key)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        int count = 0;
        for (const RecordedAlert& alert : m_alerts)
            count += alert.key == key;
        return count;
    }
    std::vector<CAmplifierData> Connected()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_connected;
    }

    std::vector<CDriveAssignment> m_assignments;
    std::string m_iniPath;
    bool m_traceOn = false;
    double m_seconds = 0.0;
    std::vector<std::string> m_debugLines;
    int m_clearAllCalls = 0;
    std::atomic<int> m_commStatus{-1};  // the socket thread writes it too
    std::atomic<int> m_menuUpdates{0};

private:
    std::mutex m_mutex;
    std::vector<RecordedAlert> m_alerts;
    std::vector<CAmplifierData> m_connected;
};
