#include "database/windows/QvxDatabaseTestDlg.h"

#include <iterator>

#include "database/QvxDatabase.h"
#include "database/windows/PumpingCloudInterface.h"
#include "database/windows/SoapComparisonReport.h"
#include "platform/ui/FileDialog.h"
#include "platform/ui/MsgBox.h"
#include "resources/ids/QvxDatabaseTestIds.h"

BEGIN_MESSAGE_MAP(CQvxDatabaseTestDlg, CDialog)
    ON_WM_CLOSE()
    ON_WM_DESTROY()
    ON_BN_CLICKED(IDC_QDT_OPEN_DB, &CQvxDatabaseTestDlg::OnOpenDb)
    ON_BN_CLICKED(IDC_QDT_CLOSE_DB, &CQvxDatabaseTestDlg::OnCloseDb)
    ON_BN_CLICKED(IDC_QDT_FIRST, &CQvxDatabaseTestDlg::OnFirst)
    ON_BN_CLICKED(IDC_QDT_PREV, &CQvxDatabaseTestDlg::OnPrev)
    ON_BN_CLICKED(IDC_QDT_NEXT, &CQvxDatabaseTestDlg::OnNext)
    ON_BN_CLICKED(IDC_QDT_LAST, &CQvxDatabaseTestDlg::OnLast)
    ON_BN_CLICKED(IDC_QDT_REQUERY, &CQvxDatabaseTestDlg::OnRequery)
    ON_BN_CLICKED(IDC_QDT_ADD, &CQvxDatabaseTestDlg::OnAdd)
    ON_BN_CLICKED(IDC_QDT_DELETE, &CQvxDatabaseTestDlg::OnDelete)
    ON_BN_CLICKED(IDC_QDT_WRITE, &CQvxDatabaseTestDlg::OnWrite)
    ON_BN_CLICKED(IDC_QDT_NEW_RECSET, &CQvxDatabaseTestDlg::OnNewRecset)
    ON_BN_CLICKED(IDC_QDT_TEST, &CQvxDatabaseTestDlg::OnTest)
    ON_BN_CLICKED(IDC_QDT_EXPORT_JSON, &CQvxDatabaseTestDlg::OnExportJson)
    ON_BN_CLICKED(IDC_QDT_EXPORT_RECORD_JSON, &CQvxDatabaseTestDlg::OnExportRecordJson)
    ON_BN_CLICKED(IDC_QDT_IMPORT_JSON, &CQvxDatabaseTestDlg::OnImportJson)
    ON_BN_CLICKED(IDC_QDT_TEST_CLOUD, &CQvxDatabaseTestDlg::OnTestCloudInterface)
END_MESSAGE_MAP()

namespace {
constexpr DWORD kFirstListFlags = 0x103;
constexpr DWORD kRowReadOnly = 0x4;
constexpr DWORD kRowNoDelete = 0x8;

const int kButtons[] = {IDC_QDT_OPEN_DB,     IDC_QDT_CLOSE_DB,    IDC_QDT_FIRST,       IDC_QDT_PREV,
                        IDC_QDT_NEXT,        IDC_QDT_LAST,        IDC_QDT_REQUERY,     IDC_QDT_ADD,
                        IDC_QDT_DELETE,      IDC_QDT_WRITE,       IDC_QDT_NEW_RECSET,  IDC_QDT_TEST,
                        IDC_QDT_EXPORT_JSON, IDC_QDT_IMPORT_JSON, IDC_QDT_EXPORT_RECORD_JSON, IDC_QDT_TEST_CLOUD};

// An import adds and updates records; records the text lacks stay.
class CKeepLocalRecords : public CQvxDatabaseSyncTableCallback {
public:
    bool MayDeleteRecord(CQvxDatabaseTable*, CQvxDatabaseTableDataRow*) override { return false; }
};
}  // namespace

std::vector<CQvxDatabaseTestDlg*> CQvxDatabaseTestDlg::s_windows;

CQvxDatabaseTestDlg::CQvxDatabaseTestDlg()
    : CDialog(IDD_QVX_DATABASE_TEST, nullptr), m_guard(*this, std::vector<int>(std::begin(kButtons), std::end(kButtons)))
{
    m_nIDHelp = IDD_QVX_DATABASE_TEST;
    s_windows.push_back(this);
}

CQvxDatabaseTestDlg::~CQvxDatabaseTestDlg() { std::erase(s_windows, this); }

CQvxDatabaseTestDlg* CQvxDatabaseTestDlg::Open(CQvxDatabase* database, const char* tableName,
                                               const char* recordsetName, CWnd* parent)
{
    return OpenShared(database, nullptr, tableName, recordsetName, parent);
}

CQvxDatabaseTestDlg* CQvxDatabaseTestDlg::OpenShared(CQvxDatabase* database, std::shared_ptr<CQvxDatabase> shared,
                                                     const CString& tableName, const CString& recordsetName,
                                                     CWnd* parent)
{
    auto* window = new CQvxDatabaseTestDlg;
    window->m_sharedDatabase = std::move(shared);
    if (!window->Show(database, tableName, recordsetName, parent)) {
        delete window;
        return nullptr;
    }
    return window;
}

BOOL CQvxDatabaseTestDlg::Show(CQvxDatabase* database, const char* tableName, const char* recordsetName,
                               CWnd* parent)
{
    if (!GetSafeHwnd() && !Create(IDD_QVX_DATABASE_TEST, parent))
        return FALSE;
    // Another database: nothing of the old one may stay bound or held.
    if (database != m_database && (GetRecordset() || m_ownDatabase))
        CloseBinding();
    if (m_sharedDatabase.get() != database) {
        m_sharedDatabase.reset();
        m_ownDatabase = false;
    }
    m_database = database;
    m_tableName = tableName ? tableName : "";
    m_recordsetName = recordsetName ? recordsetName : "";
    ShowWindow(SW_SHOW);
    return TRUE;
}

BOOL CQvxDatabaseTestDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_list1.SubclassDlgItem(IDC_QDT_LIST1, this);
    m_list2.SubclassDlgItem(IDC_QDT_LIST2, this);
    m_navCombo.SubclassDlgItem(IDC_QDT_NAV_COMBO, this);
    m_modelEdit.SubclassDlgItem(IDC_QDT_MODEL_EDIT, this);
    m_text.SubclassDlgItem(IDC_QDT_TEXT, this);
    RefreshButtons();
    return TRUE;
}

void CQvxDatabaseTestDlg::OnClose()
{
    if (!m_guard.PostponeClose())
        DestroyWindow();
}

void CQvxDatabaseTestDlg::OnDestroy()
{
    CloseBinding();
    // Windows that share a test database each hold it; the last one lets it go.
    m_database = nullptr;
    m_sharedDatabase.reset();
}

void CQvxDatabaseTestDlg::PostNcDestroy()
{
    // Gone while a request waited: the waiting handler deletes the object once it returns.
    if (m_guard.IsBusy()) {
        m_deleteWhenDone = true;
        return;
    }
    delete this;
}

// ---- binding ----

void CQvxDatabaseTestDlg::OnOpenDb()
{
    if (!IsIdle())
        return;
    CloseBinding();
    if (!m_database && !LoadOwnDatabase())
        return;
    for (CQvxGuiUpdateList* list : {&m_list1, &m_list2}) {
        list->ProcessExtLine("COLUMNSIZE:60");
        list->ResizeColumns();
    }
    m_list1.m_flags = kFirstListFlags;
    if (CQvxDatabaseRecordset* recordset = FindOrOpenRecordset())
        Bind(recordset);
    RefreshButtons();
}

bool CQvxDatabaseTestDlg::LoadOwnDatabase()
{
    CFileDialog dialog(TRUE, "txt", nullptr, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, "Text Files (*.txt)|*.txt||",
                       this);
    if (dialog.DoModal() != IDOK)
        return false;
    auto database = std::make_shared<CQvxDatabase>();
    CString error;
    if (!database->LoadTable(dialog.GetPathName(), &error)) {
        AfxMessageBox(error);
        return false;
    }
    m_sharedDatabase = std::move(database);
    m_database = m_sharedDatabase.get();
    m_ownDatabase = true;
    m_tableName = dialog.GetFileTitle();
    return true;
}

CQvxDatabaseRecordset* CQvxDatabaseTestDlg::FindOrOpenRecordset()
{
    if (CQvxDatabaseRecordset* recordset = m_database->FindRecordset(m_recordsetName))
        return recordset;
    // A new name ("New Recset") gets its own recordset over the window's table.
    if (m_recordsetName.IsEmpty() || !m_database->FindTable(m_tableName) ||
        !m_database->OpenRecordset(m_recordsetName, m_tableName, "", "", "", 0))
        return nullptr;
    return m_database->FindRecordset(m_recordsetName);
}

void CQvxDatabaseTestDlg::Bind(CQvxDatabaseRecordset* recordset)
{
    SetRecordset(recordset);
    m_list1.BindRecordset(recordset);
    m_list2.BindRecordset(recordset);
    m_navCombo.SetRecordset(recordset);
    recordset->GetDistinctValues(m_modelEdit.GetChoices(), "ModelNum", TRUE);
}

void CQvxDatabaseTestDlg::OnCloseDb()
{
    if (IsIdle())
        CloseBinding();
}

void CQvxDatabaseTestDlg::CloseBinding()
{
    SetRecordset(nullptr);
    if (m_list1.GetSafeHwnd()) {
        m_list1.BindRecordset(nullptr);
        m_list2.BindRecordset(nullptr);
        m_navCombo.DetachRecordset();
        m_modelEdit.ClosePopup();
        m_modelEdit.SetWindowText("");
    }
    m_modelEdit.GetChoices().RemoveAll();
    if (m_ownDatabase) {
        m_ownDatabase = false;
        m_database = nullptr;
        m_sharedDatabase.reset();
    }
    RefreshButtons();
}

// ---- buttons ----

void CQvxDatabaseTestDlg::EnableButton(int id, bool enable)
{
    if (CWnd* button = GetDlgItem(id))
        button->EnableWindow(enable);
}

void CQvxDatabaseTestDlg::RefreshButtons()
{
    if (!GetSafeHwnd() || m_guard.IsBusy())
        return;
    CQvxDatabaseRecordset* recordset = GetRecordset();
    const bool records = recordset && !recordset->IsEmpty();
    const CQvxDatabaseTableDataRow* row = records ? recordset->GetCurrentRecord() : nullptr;
    const bool first = records && recordset->current == recordset->GetHeadPosition();
    const bool last = records && recordset->current == recordset->GetTailPosition();
    EnableButton(IDC_QDT_FIRST, records && !first);
    EnableButton(IDC_QDT_PREV, records && !first);
    EnableButton(IDC_QDT_NEXT, records && !last);
    EnableButton(IDC_QDT_LAST, records && !last);
    // An empty recordset can take its first record.
    EnableButton(IDC_QDT_ADD, recordset != nullptr);
    EnableButton(IDC_QDT_DELETE, row && !(row->syncFlags & kRowNoDelete));
    EnableButton(IDC_QDT_WRITE, row && !(row->syncFlags & kRowReadOnly));
    const int readOnly = row && (row->syncFlags & kRowReadOnly) ? 1 : 0;
    m_list1.m_readOnly = readOnly;
    m_list2.m_readOnly = readOnly;
}

void CQvxDatabaseTestDlg::ApplyToRecordset(BOOL (CQvxDatabaseRecordset::*operation)())
{
    CQvxDatabaseRecordset* recordset = GetRecordset();
    if (!IsIdle() || !recordset)
        return;
    m_list1.EndEdit(TRUE);
    (recordset->*operation)();
    RefreshButtons();
}

void CQvxDatabaseTestDlg::OnFirst() { ApplyToRecordset(&CQvxDatabaseRecordset::MoveFirst); }
void CQvxDatabaseTestDlg::OnPrev() { ApplyToRecordset(&CQvxDatabaseRecordset::MovePrev); }
void CQvxDatabaseTestDlg::OnNext() { ApplyToRecordset(&CQvxDatabaseRecordset::MoveNext); }
void CQvxDatabaseTestDlg::OnLast() { ApplyToRecordset(&CQvxDatabaseRecordset::MoveLast); }
void CQvxDatabaseTestDlg::OnAdd() { ApplyToRecordset(&CQvxDatabaseRecordset::AddNew); }
void CQvxDatabaseTestDlg::OnDelete() { ApplyToRecordset(&CQvxDatabaseRecordset::Delete); }
void CQvxDatabaseTestDlg::OnWrite() { ApplyToRecordset(&CQvxDatabaseRecordset::Update); }

void CQvxDatabaseTestDlg::OnRequery()
{
    CQvxDatabaseRecordset* recordset = GetRecordset();
    if (!IsIdle() || !recordset)
        return;
    m_list1.EndEdit(TRUE);
    CString key;
    const bool hadRecord = recordset->GetFieldValueAt(FALSE, 1, key) != FALSE;
    recordset->Requery();
    if (hadRecord)
        recordset->FindFirstAt(key, 1);
    RefreshButtons();
}

void CQvxDatabaseTestDlg::OnNewRecset()
{
    if (!IsIdle())
        return;
    CString name;
    name.Format("%s%d", m_recordsetName.GetString(), m_newRecsetCount++);
    OpenShared(m_database, m_sharedDatabase, m_tableName, name, GetParent());
    RefreshButtons();
}

// ---- JSON ----

void CQvxDatabaseTestDlg::OnExportJson()
{
    CQvxDatabaseRecordset* recordset = GetRecordset();
    if (!IsIdle() || !recordset || !recordset->table)
        return;
    CString text;
    recordset->table->ExportJson(nullptr, text);
    m_text.SetWindowText(text);
    RefreshButtons();
}

void CQvxDatabaseTestDlg::OnExportRecordJson()
{
    CQvxDatabaseRecordset* recordset = GetRecordset();
    const CQvxDatabaseTableDataRow* record = recordset ? recordset->GetCurrentRecord() : nullptr;
    if (!IsIdle() || !record || !recordset->table)
        return;
    CString text;
    recordset->table->ExportJson(record, text);
    m_text.SetWindowText(text);
    RefreshButtons();
}

void CQvxDatabaseTestDlg::OnImportJson()
{
    CQvxDatabaseRecordset* recordset = GetRecordset();
    if (!IsIdle() || !recordset || !recordset->table)
        return;
    CString text;
    m_text.GetWindowText(text);
    CStringList keys;
    keys.AddTail("ModelNum");
    CKeepLocalRecords keep;
    CString error;
    if (recordset->table->SyncFromJson(text, keys, &keep, &error)) {
        recordset->Requery();
        AfxMessageBox("JSON data loaded successfully.");
    } else {
        AfxMessageBox("ERROR: " + error);
    }
    RefreshButtons();
}

// ---- the network ----

bool CQvxDatabaseTestDlg::RunGuarded(const std::function<void()>& work)
{
    m_guard.Run(work);
    if (m_deleteWhenDone) {
        delete this;
        return false;
    }
    if (m_guard.TakePostponedClose()) {
        DestroyWindow();
        return false;
    }
    RefreshButtons();
    return true;
}

void CQvxDatabaseTestDlg::OnTest()
{
    if (IsIdle() && GetRecordset() && GetRecordset()->table)
        RunGuarded([this] { SubmitReadyEncoders(); });
}

void CQvxDatabaseTestDlg::SubmitReadyEncoders()
{
    // Held while the request waits, should the window go meanwhile.
    const std::shared_ptr<CQvxDatabase> keep = m_sharedDatabase;
    CPumpingCloudInterface cloud;
    CString error;
    if (!cloud.SubmitEncoderRecords(GetRecordset()->table, "Anonymous", &error))
        AfxMessageBox(error);
}

void CQvxDatabaseTestDlg::OnTestCloudInterface()
{
    if (IsIdle())
        RunGuarded([this] { MakeComparisonReport(); });
}

void CQvxDatabaseTestDlg::MakeComparisonReport()
{
    // Held while the requests wait, should the window go meanwhile.
    CQvxDatabase* database = m_database;
    const std::shared_ptr<CQvxDatabase> keep = m_sharedDatabase;
    if (!database) {
        AfxMessageBox("No database is open.");
        return;
    }
    if (!CPumpingCloudInterface::IsNetworkUp())
        return;
    // The ERP host that the report asks is the one of the application's login data.
    if (!CPumpingCloudInterface::AnswersPing(CPumpingCloudInterface::AppLoginData().erpHost)) {
        AfxMessageBox("Could not find host");
        return;
    }
    CPumpingCloudInterface cloud;
    CSoapComparisonReport report(*database);
    CString error;
    if (!report.Run(cloud, CSoapComparisonReport::kFileName, error)) {
        AfxMessageBox(error);
        return;
    }
    m_text.SetWindowText(report.copyJson);
}
