#include "AppDatabase.h"

#include <atomic>
#include <thread>

#include "AppEncoderWindow.h"
#include "AppPaths.h"
#include "database/windows/ManageCloudDatabaseDlg.h"
#include "database/windows/QvxDatabaseTestDlg.h"
#include "platform/core/DebugLog.h"
#include "platform/net/HttpClient.h"
#include "platform/ui/WinApp.h"

CAppDatabase::CAppDatabase() : m_encoderWindow(std::make_unique<CAppEncoderWindow>()) {}

CAppDatabase::~CAppDatabase() = default;

void CAppDatabase::ToggleEncoderWindow() { m_encoderWindow->Toggle(AfxGetMainWnd()); }

bool CAppDatabase::IsEncoderWindowVisible() const { return m_encoderWindow->IsVisible(); }

bool CAppDatabase::CanClose()
{
    // A cloud request still waiting would run on into a window the close destroys.
    if (m_cloudWindow && m_cloudWindow->IsBusy())
        return false;
    return m_encoderWindow->CanClose();
}

void CAppDatabase::LoadLoginData()
{
    if (!CQvxCloudDatabaseLoginData::LoadFromProfile(m_cloud.loginData))
        AfxDebugLog("The saved cloud login data is damaged; the rest keeps its defaults.");
}

CString CAppDatabase::GetCloudHost() const
{
    return m_cloud.loginData.cloudHost.IsEmpty() ? CString(kDefaultCloudHost) : m_cloud.loginData.cloudHost;
}

int CAppDatabase::OpenDatabaseFiles(std::vector<CString>& errors)
{
    static const struct {
        const char* file;
        const char* failure;
    } files[] = {{"QvxMotorDB.txt", "Could not open motor database:\r\n"},
                 {"AbsEncDB.txt", "Could not open absolute encoder database:\r\n"}};
    int loaded = 0;
    for (const auto& file : files) {
        CString path, error;
        if (!GetDatabaseFilePath(file.file, path))
            error = "No application data folder.";
        else if (m_tables.LoadTable(path, &error)) {
            ++loaded;
            continue;
        }
        errors.push_back(file.failure + error);
    }
    return loaded == 2 ? 1 : 0;
}

void CAppDatabase::SyncTablesFromCloud(std::vector<CString>& errors)
{
    // Two requests at most: bound each so the whole step ends in known time.
    CHttpClient::SetTimeouts(std::min(m_syncRequestLimitMs, 5000L), m_syncRequestLimitMs);
    std::atomic<bool> done{false};
    std::vector<CString> found;
    std::thread worker([&] {
        SyncTables(found);
        done = true;
    });
    while (!done)
        AfxPumpMessagesUntil([&] { return done.load(); }, 100);
    worker.join();
    CHttpClient::SetTimeouts(0, 0);
    errors.insert(errors.end(), found.begin(), found.end());
}

void CAppDatabase::SyncTables(std::vector<CString>& errors)
{
    CString error;
    CQvxDatabaseTable* motors = m_tables.FindTable(kMotorTable);
    if (!motors)
        errors.push_back("Could not get motor table (2119).  Please contact Quorvex.");
    else if (!m_cloud.RetrieveMotorTable(motors, &error) || !motors->SaveToFile("", &error))
        errors.push_back(error);
    error.Empty();
    CQvxDatabaseTable* encoders = m_tables.FindTable(kEncoderTable);
    if (!encoders)
        errors.push_back("Could not get encoder table (2120).  Please contact Quorvex.");
    else if (!m_cloud.SyncEncoderTable(encoders, &error) || !encoders->SaveToFile("", &error))
        errors.push_back(error);
}

int CAppDatabase::CreateDatabaseRecordsets()
{
    const bool motorsByPart = m_tables.OpenRecordset("MotorByPartNum", kMotorTable, "PartNum", "", "", -1);
    const bool motorsByModel = m_tables.OpenRecordset("MotorByModelNum", kMotorTable, "ModelNum", "", "", -1);
    const bool encoders = m_tables.OpenRecordset("AbsEncByModel", kEncoderTable, "Manufacturer,Model", "", "", -1);
    return motorsByPart && motorsByModel && encoders ? 1 : 0;
}

bool CAppDatabase::HasRecordset(const char* name) const { return m_tables.FindRecordset(name) != nullptr; }

void CAppDatabase::OpenTestWindow()
{
    CQvxDatabaseTestDlg::Open(&m_tables, kMotorTable, "MotorByPartNum", AfxGetMainWnd());
}

bool CAppDatabase::ToggleCloudManagementWindow()
{
    if (!m_cloudWindow)
        m_cloudWindow = std::make_unique<CManageCloudDatabaseDlg>();
    if (!m_cloudWindow->CreateIfNeeded(AfxGetMainWnd()))
        return false;
    m_cloudWindow->ShowWindow(m_cloudWindow->IsWindowVisible() ? SW_HIDE : SW_SHOW);
    return true;
}

bool CAppDatabase::IsCloudManagementWindowVisible() const
{
    return m_cloudWindow && m_cloudWindow->GetSafeHwnd() && m_cloudWindow->IsWindowVisible();
}
