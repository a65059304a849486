#include "database/windows/EditAbsEncDbDlg.h"

#include <iterator>

#include "controls/QvxFileDialog.h"
#include "database/QvxCloudDatabaseInterface.h"
#include "database/QvxDatabase.h"
#include "database/windows/AddManufacturerDlg.h"
#include "database/windows/EditSubmitterDlg.h"
#include "database/windows/DatabaseAppServices.h"
#include "database/windows/PumpingCloudInterface.h"
#include "foundation/FileHelpers.h"
#include "foundation/SystemHelpers.h"
#include "foundation/TextHelpers.h"
#include "platform/core/Profile.h"
#include "platform/ui/MsgBox.h"
#include "platform/ui/WaitCursor.h"
#include "resources/ids/EditAbsEncDbIds.h"

namespace {
constexpr const char* kLocal = "Local";
constexpr const char* kReady = "Ready To Submit";
constexpr const char* kSubmitted = "Submitted";
constexpr const char* kApproved = "Approved";
constexpr const char* kJsonFilter = "Database Export Files (*.json)|*.json||";
constexpr const char* kProfileSection = "QVXDATABASE";
constexpr const char* kSubmitterEntry = "Submitter";

const UINT kButtons[] = {IDC_AED_FIRST, IDC_AED_PREVIOUS, IDC_AED_NEXT,  IDC_AED_LAST,
                         IDC_AED_ADD,   IDC_AED_DELETE,   IDC_AED_WRITE, IDC_AED_SUBMIT};
// What a cloud request keeps from the user while it waits.
const int kGuardedControls[] = {IDC_AED_FIRST, IDC_AED_PREVIOUS, IDC_AED_NEXT,   IDC_AED_LAST,
                                IDC_AED_ADD,   IDC_AED_DELETE,   IDC_AED_WRITE,  IDC_AED_SUBMIT,
                                IDC_AED_RECORD_SELECTOR,                         IDC_AED_RECORD_LIST};
// The controls that follow the window's size.
const UINT kPlacedControls[] = {IDC_AED_RECORD_SELECTOR, IDC_AED_RECORD_LIST, IDC_AED_FIRST,  IDC_AED_PREVIOUS,
                                IDC_AED_NEXT,            IDC_AED_LAST,        IDC_AED_ADD,    IDC_AED_DELETE,
                                IDC_AED_WRITE,           IDC_AED_SUBMIT};

struct ViewItem {
    UINT id;
    const char* filter;
};
const ViewItem kViews[] = {{ID_AED_VIEW_LOCAL, kLocal},
                           {ID_AED_VIEW_READY, kReady},
                           {ID_AED_VIEW_SUBMITTED, kSubmitted},
                           {ID_AED_VIEW_APPROVED, kApproved},
                           {ID_AED_VIEW_ALL, "All"}};

const char* ViewFilterOf(UINT id)
{
    for (const ViewItem& view : kViews)
        if (view.id == id)
            return view.filter;
    return nullptr;
}

bool IsOneOf(const CString& status, std::initializer_list<const char*> values)
{
    for (const char* value : values)
        if (status == value)
            return true;
    return false;
}
}  // namespace

BEGIN_MESSAGE_MAP(CEditAbsEncDbDlg, CDialog)
    ON_BN_CLICKED(IDC_AED_FIRST, &CEditAbsEncDbDlg::OnFirst)
    ON_BN_CLICKED(IDC_AED_PREVIOUS, &CEditAbsEncDbDlg::OnPrevious)
    ON_BN_CLICKED(IDC_AED_NEXT, &CEditAbsEncDbDlg::OnNext)
    ON_BN_CLICKED(IDC_AED_LAST, &CEditAbsEncDbDlg::OnLast)
    ON_BN_CLICKED(IDC_AED_ADD, &CEditAbsEncDbDlg::OnAdd)
    ON_BN_CLICKED(IDC_AED_DELETE, &CEditAbsEncDbDlg::OnDelete)
    ON_BN_CLICKED(IDC_AED_WRITE, &CEditAbsEncDbDlg::OnWrite)
    ON_BN_CLICKED(IDC_AED_SUBMIT, &CEditAbsEncDbDlg::OnSubmitToggle)
    ON_COMMAND(ID_AED_ADD_MANUFACTURER, &CEditAbsEncDbDlg::OnAddManufacturer)
    ON_COMMAND(ID_AED_SIZE_COLUMNS, &CEditAbsEncDbDlg::OnSizeColumns)
    ON_COMMAND(ID_AED_FILE_SAVE, &CEditAbsEncDbDlg::OnFileSave)
    ON_UPDATE_COMMAND_UI(ID_AED_FILE_SAVE, &CEditAbsEncDbDlg::OnUpdateFileSave)
    ON_COMMAND(ID_AED_FILE_RESTORE, &CEditAbsEncDbDlg::OnFileRestore)
    ON_COMMAND(ID_AED_FILE_IMPORT, &CEditAbsEncDbDlg::OnFileImport)
    ON_COMMAND(ID_AED_FILE_EXPORT, &CEditAbsEncDbDlg::OnFileExport)
    ON_COMMAND(ID_AED_CLOUD_REFRESH, &CEditAbsEncDbDlg::OnCloudRefresh)
    ON_COMMAND(ID_AED_CLOUD_SUBMIT, &CEditAbsEncDbDlg::OnCloudSubmit)
    // Greyed while a cloud request waits.
    ON_UPDATE_COMMAND_UI(ID_AED_FILE_RESTORE, &CEditAbsEncDbDlg::OnUpdateWhenIdle)
    ON_UPDATE_COMMAND_UI(ID_AED_FILE_IMPORT, &CEditAbsEncDbDlg::OnUpdateWhenIdle)
    ON_UPDATE_COMMAND_UI(ID_AED_FILE_EXPORT, &CEditAbsEncDbDlg::OnUpdateWhenIdle)
    ON_UPDATE_COMMAND_UI(ID_AED_CLOUD_REFRESH, &CEditAbsEncDbDlg::OnUpdateWhenIdle)
    ON_UPDATE_COMMAND_UI(ID_AED_CLOUD_SUBMIT, &CEditAbsEncDbDlg::OnUpdateWhenIdle)
    ON_COMMAND_RANGE(ID_AED_VIEW_LOCAL, ID_AED_VIEW_APPROVED, &CEditAbsEncDbDlg::OnView)
    ON_COMMAND_RANGE(ID_AED_VIEW_READY, ID_AED_VIEW_READY, &CEditAbsEncDbDlg::OnView)
    ON_COMMAND_RANGE(ID_AED_VIEW_ALL, ID_AED_VIEW_ALL, &CEditAbsEncDbDlg::OnView)
    ON_UPDATE_COMMAND_UI_RANGE(ID_AED_VIEW_LOCAL, ID_AED_VIEW_APPROVED, &CEditAbsEncDbDlg::OnUpdateView)
    ON_UPDATE_COMMAND_UI_RANGE(ID_AED_VIEW_READY, ID_AED_VIEW_READY, &CEditAbsEncDbDlg::OnUpdateView)
    ON_UPDATE_COMMAND_UI_RANGE(ID_AED_VIEW_ALL, ID_AED_VIEW_ALL, &CEditAbsEncDbDlg::OnUpdateView)
    ON_WM_SIZE()
    ON_WM_GETMINMAXINFO()
END_MESSAGE_MAP()

CEditAbsEncDbDlg::CEditAbsEncDbDlg(CWnd* parent)
    : CDialog(IDD_EDIT_ABS_ENC_DB, parent),
      m_guard(*this, std::vector<int>(std::begin(kGuardedControls), std::end(kGuardedControls)))
{
}

CEditAbsEncDbDlg::~CEditAbsEncDbDlg()
{
    SetRecordset(nullptr);
    if (GetSafeHwnd())
        DestroyWindow();
}

CQvxDatabase* CEditAbsEncDbDlg::Database() const
{
    CDatabaseAppServices* services = CDatabaseAppServices::Get();
    return services ? services->GetTableDatabase() : nullptr;
}

CQvxDatabaseRecordset* CEditAbsEncDbDlg::RecordsetOrSay() const
{
    CQvxDatabaseRecordset* recordset = GetRecordset();
    if (!recordset)
        AfxMessageBox(kNoRecordset);
    return recordset;
}

CQvxDatabaseTable* CEditAbsEncDbDlg::Table() const
{
    CQvxDatabaseRecordset* recordset = GetRecordset();
    return recordset ? recordset->table : nullptr;
}

bool CEditAbsEncDbDlg::HasPendingEdit() const
{
    CQvxDatabaseRecordset* recordset = GetRecordset();
    const CQvxDatabaseTableDataRow* record = recordset ? recordset->GetCurrentRecord() : nullptr;
    return record && !recordset->editBuffer.values.IsEmpty() &&
           !StringArraysEqual(recordset->editBuffer.values, record->values);
}

CString CEditAbsEncDbDlg::CurrentValue(const char* field) const
{
    CString text;
    if (CQvxDatabaseRecordset* recordset = GetRecordset())
        recordset->GetFieldValue(field, TRUE, text);
    return text;
}

// ---------------------------------------------------------------------------
// Opening and layout.

BOOL CEditAbsEncDbDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_list.SubclassDlgItem(IDC_AED_RECORD_LIST, this);
    m_list.m_flags = CQvxGuiUpdateList::kTypeValues;
    m_list.ProcessExtLine("COLUMNSIZE:60");
    m_selector.SubclassDlgItem(IDC_AED_RECORD_SELECTOR, this);

    CQvxDatabase* database = Database();
    CQvxDatabaseRecordset* recordset = nullptr;
    if (database && database->OpenRecordset(kRecordsetName, kTableName, kSortSpec, "", "", 0))
        recordset = database->FindRecordset(kRecordsetName);
    if (recordset) {
        // The window hears of each change after the list, so its enabling has the last word.
        m_list.BindRecordset(recordset);
        SetRecordset(recordset);
        BuildManufacturerChoices();
        CStringList fields;
        fields.AddTail("Manufacturer");
        fields.AddTail("Model");
        m_selector.SetRecordsetFields(fields, recordset);
    }

    GetClientRect(&m_initialClient);
    m_placements.clear();
    for (UINT id : kPlacedControls) {
        CRect rect;
        GetDlgItem(static_cast<int>(id))->GetWindowRect(&rect);
        ScreenToClient(&rect);
        m_placements.push_back({id, rect});
    }
    UpdateEnabling();
    PostMessage(WM_COMMAND, ID_AED_SIZE_COLUMNS);
    return TRUE;
}

int CEditAbsEncDbDlg::LineOfField(const char* name) const
{
    // The list gives each shown field a line, in the order of the table's fields.
    const CQvxDatabaseTable* table = Table();
    int line = 0;
    for (int i = 0; table && i < table->fields.GetSize(); ++i) {
        const CQvxDatabaseTableFieldDef* field = table->fields.GetAt(i);
        if (field->flags & CQvxDatabaseTableFieldDef::flagNoShow)
            continue;
        if (field->name == name)
            return line;
        ++line;
    }
    return -1;
}

void CEditAbsEncDbDlg::BuildManufacturerChoices()
{
    const CQvxDatabaseTable* table = Table();
    const int column = table ? table->fields.FindField("Manufacturer") : -1;
    const int line = LineOfField("Manufacturer");
    if (column < 0 || line < 0)
        return;
    CSortableStringArray* choices = m_list.GetCustomSelections().NewArray(line);
    CStringList distinct;
    for (POSITION pos = table->rows.GetHeadPosition(); pos;) {
        const CQvxDatabaseTableDataRow* record = table->rows.GetNext(pos);
        if (column < record->values.GetSize() && !distinct.Find(record->values[column]))
            distinct.AddTail(record->values[column]);
    }
    for (POSITION pos = distinct.GetHeadPosition(); pos;)
        choices->Add(distinct.GetNext(pos));
    choices->Sort();
    choices->Add(kAddManufacturer);
    m_list.SetupSelectionCells();
}

void CEditAbsEncDbDlg::OnSize(UINT, int cx, int cy)
{
    if (m_placements.empty())
        return;
    const int dx = cx - m_initialClient.Width();
    const int dy = cy - m_initialClient.Height();
    for (const Placement& placement : m_placements) {
        CWnd* control = GetDlgItem(static_cast<int>(placement.id));
        if (!control)
            continue;
        CRect rect = placement.rect;
        if (placement.id == IDC_AED_RECORD_SELECTOR) {
            rect.right += dx;
        } else if (placement.id == IDC_AED_RECORD_LIST) {
            rect.right += dx;
            rect.bottom += dy;
        } else {
            rect.OffsetRect(0, dy);
        }
        control->MoveWindow(&rect);
    }
    // The window has no separate end of a resize here: the columns follow every size.
    m_list.ResizeColumns();
}

void CEditAbsEncDbDlg::OnGetMinMaxInfo(MINMAXINFO* info)
{
    info->ptMinTrackSize.x = kMinWidth;
    info->ptMinTrackSize.y = kMinHeight;
}

void CEditAbsEncDbDlg::OnSizeColumns() { m_list.ResizeColumns(); }

// ---------------------------------------------------------------------------
// Enabling.

void CEditAbsEncDbDlg::EnableButton(UINT id, bool enable)
{
    if (CWnd* button = GetDlgItem(static_cast<int>(id)))
        button->EnableWindow(enable ? TRUE : FALSE);
}

void CEditAbsEncDbDlg::UpdateEnabling()
{
    // A waiting request keeps everything disabled; its end enables anew.
    if (!GetSafeHwnd() || m_guard.IsBusy())
        return;
    CQvxDatabaseRecordset* recordset = GetRecordset();
    if (!recordset) {
        for (UINT id : kButtons)
            EnableButton(id, false);
        m_readOnly = 1;
        m_list.m_readOnly = 1;
        return;
    }
    const CQvxDatabaseTableDataRow* record = recordset->GetCurrentRecord();
    const bool hasRows = !recordset->IsEmpty() && record;
    const CString status = record ? CurrentValue("Status") : CString();
    const DWORD flags = record ? record->syncFlags : 0;
    EnableButton(IDC_AED_FIRST, hasRows && recordset->current != recordset->GetHeadPosition());
    EnableButton(IDC_AED_PREVIOUS, hasRows && recordset->current != recordset->GetHeadPosition());
    EnableButton(IDC_AED_NEXT, hasRows && recordset->current != recordset->GetTailPosition());
    EnableButton(IDC_AED_LAST, hasRows && recordset->current != recordset->GetTailPosition());
    EnableButton(IDC_AED_ADD, true);
    EnableButton(IDC_AED_DELETE, record && !(flags & 0x8) && IsOneOf(status, {kLocal, kSubmitted, kReady}));
    const bool editable = record && !(flags & 0x4) && IsOneOf(status, {kLocal, kReady});
    EnableButton(IDC_AED_WRITE, editable);
    EnableButton(IDC_AED_SUBMIT, record && IsOneOf(status, {kLocal, kSubmitted, kReady}));
    SetDlgItemText(IDC_AED_SUBMIT, status == kReady ? "Un-Submit" : "Submit");
    m_readOnly = editable ? 0 : 1;
    if (m_list.m_readOnly != m_readOnly) {
        if (m_readOnly)
            m_list.EndEdit(FALSE);
        m_list.m_readOnly = m_readOnly;
        m_list.OnCurrentRecordChanged();  // the values take the colour of the new state
    }
    // A record that cannot be edited offers no drop-down.
    if (m_readOnly)
        m_list.SetComboCell(-1, -1);
    else
        m_list.SetupSelectionCells();
}

// ---------------------------------------------------------------------------
// Buttons.

void CEditAbsEncDbDlg::ApplyToRecordset(BOOL (CQvxDatabaseRecordset::*operation)())
{
    m_list.EndEdit(TRUE);
    if (CQvxDatabaseRecordset* recordset = GetRecordset())
        (recordset->*operation)();
    UpdateEnabling();
}

void CEditAbsEncDbDlg::OnFirst() { ApplyToRecordset(&CQvxDatabaseRecordset::MoveFirst); }
void CEditAbsEncDbDlg::OnPrevious() { ApplyToRecordset(&CQvxDatabaseRecordset::MovePrev); }
void CEditAbsEncDbDlg::OnNext() { ApplyToRecordset(&CQvxDatabaseRecordset::MoveNext); }
void CEditAbsEncDbDlg::OnLast() { ApplyToRecordset(&CQvxDatabaseRecordset::MoveLast); }
void CEditAbsEncDbDlg::OnAdd()
{
    ApplyToRecordset(&CQvxDatabaseRecordset::AddNew);
    const CQvxDatabaseRecordset* recordset = GetRecordset();
    m_addedKey = recordset ? recordset->GetCurrentKey() : nullptr;
}
void CEditAbsEncDbDlg::OnWrite() { ApplyToRecordset(&CQvxDatabaseRecordset::Update); }

void CEditAbsEncDbDlg::OnDelete()
{
    m_list.EndEdit(TRUE);
    CQvxDatabaseRecordset* recordset = GetRecordset();
    if (recordset && recordset->GetCurrentRecord()) {
        CString question;
        question.Format("Delete model \"%s\" from database?", CurrentValue("Model").GetString());
        if (AfxMessageBox(question, MB_YESNO | MB_ICONQUESTION) == IDYES) {
            if (recordset->GetCurrentKey() == m_addedKey)
                m_addedKey = nullptr;
            recordset->Delete();
        }
    }
    UpdateEnabling();
}

void CEditAbsEncDbDlg::OnSubmitToggle()
{
    m_list.EndEdit(TRUE);
    CQvxDatabaseRecordset* recordset = GetRecordset();
    if (!recordset || !recordset->GetCurrentRecord()) {
        UpdateEnabling();
        return;
    }
    const CString status = CurrentValue("Status");
    const char* next = kReady;
    if (status == kReady) {
        next = kLocal;
    } else if (status == kApproved) {
        AfxMessageBox("Cannot submit and approved model.");
        return;
    } else if (status == kSubmitted) {
        CString question;
        question.Format("Re-submit model \"%s\"?", CurrentValue("Model").GetString());
        if (AfxMessageBox(question, MB_YESNO | MB_ICONQUESTION) != IDYES)
            return;
    }
    recordset->SetFieldValue("Status", next);
    recordset->Update();
    UpdateEnabling();
}

// ---------------------------------------------------------------------------
// The recordset's notices and the added manufacturer.

void CEditAbsEncDbDlg::OnFieldValueSet(int column, const char* value)
{
    CQvxDatabaseRecordset* recordset = GetRecordset();
    const CQvxDatabaseTable* table = Table();
    if (!recordset || !table)
        return;
    const int manufacturer = table->fields.FindField("Manufacturer");
    if (column != manufacturer && column != table->fields.FindField("Model"))
        return;
    if (column == manufacturer && CString(value) == kAddManufacturer) {
        PostMessage(WM_COMMAND, ID_AED_ADD_MANUFACTURER);
        return;
    }
    // The record's place in the sort follows its names.
    recordset->Requery();
    m_selector.Refill();
}

void CEditAbsEncDbDlg::OnAddManufacturer()
{
    CQvxDatabaseRecordset* recordset = RecordsetOrSay();
    if (!recordset)
        return;
    recordset->CancelUpdate();
    CAddManufacturerDlg dialog(this);
    dialog.m_manufacturer = "New Manufacturer";
    const bool fillAdded = m_addedKey && recordset->GetCurrentKey() == m_addedKey;
    if (dialog.DoModal() == IDOK && !dialog.m_manufacturer.IsEmpty() && (fillAdded || recordset->AddNew())) {
        recordset->SetFieldValue("Manufacturer", dialog.m_manufacturer);
        recordset->Update();
    }
    m_addedKey = nullptr;
    UpdateEnabling();
}

// ---------------------------------------------------------------------------
// View, save and restore.

void CEditAbsEncDbDlg::OnView(UINT id)
{
    const char* filter = ViewFilterOf(id);
    if (!filter)
        return;
    m_list.EndEdit(TRUE);
    m_viewFilter = filter;
    if (CQvxDatabaseRecordset* recordset = GetRecordset()) {
        if (m_viewFilter == "All")
            recordset->Requery(nullptr, "", "");
        else
            recordset->Requery(nullptr, "Status", filter);
    }
    UpdateEnabling();
}

void CEditAbsEncDbDlg::OnUpdateView(CCmdUI* ui)
{
    const char* filter = ViewFilterOf(ui->m_nID);
    ui->SetCheck(filter && m_viewFilter == filter ? 1 : 0);
    ui->Enable(!m_guard.IsBusy());
}

void CEditAbsEncDbDlg::OnUpdateFileSave(CCmdUI* ui)
{
    const CQvxDatabaseTable* table = Table();
    ui->Enable(!m_guard.IsBusy() && table && (HasPendingEdit() || table->modified));
}

void CEditAbsEncDbDlg::OnUpdateWhenIdle(CCmdUI* ui) { ui->Enable(!m_guard.IsBusy()); }

bool CEditAbsEncDbDlg::SaveTable()
{
    CQvxDatabaseTable* table = Table();
    CString error;
    if (table && table->SaveToFile("", &error))
        return true;
    AfxMessageBox(error.IsEmpty() ? CString(kNoRecordset) : error, MB_ICONERROR);
    return false;
}

void CEditAbsEncDbDlg::OnFileSave()
{
    m_list.EndEdit(TRUE);
    CQvxDatabaseRecordset* recordset = RecordsetOrSay();
    if (!recordset)
        return;
    recordset->Update();
    SaveTable();
    UpdateEnabling();
}

void CEditAbsEncDbDlg::OnFileRestore()
{
    m_list.EndEdit(TRUE);
    CQvxDatabaseTable* table = Table();
    if (!table) {
        AfxMessageBox(kNoRecordset);
        return;
    }
    if (AfxMessageBox("Restore last saved database?", MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    CString error;
    if (!table->LoadFromFile("", &error))
        AfxMessageBox(error, MB_ICONERROR);
    UpdateEnabling();
}

// ---------------------------------------------------------------------------
// Closing.

bool CEditAbsEncDbDlg::QueryClose(bool reload)
{
    m_list.EndEdit(TRUE);
    CQvxDatabaseRecordset* recordset = GetRecordset();
    CQvxDatabaseTable* table = Table();
    if (!recordset || !table || (!HasPendingEdit() && !table->modified))
        return true;
    const int answer = AfxMessageBox("Save changes to absolute encoder database?", MB_YESNOCANCEL | MB_ICONQUESTION);
    if (answer == IDCANCEL)
        return false;
    if (answer == IDYES) {
        recordset->Update();
        // A failed save keeps the window and the changes: reloading now would lose them.
        if (!SaveTable())
            return false;
    }
    if (reload) {
        CString error;
        if (!table->LoadFromFile("", &error))
            AfxMessageBox(error, MB_ICONERROR);
    }
    return true;
}

bool CEditAbsEncDbDlg::CanClose()
{
    // The program cannot close under a request that still waits in this window.
    if (m_guard.IsBusy())
        return false;
    return !GetSafeHwnd() || QueryClose(false);
}

void CEditAbsEncDbDlg::OnOK() { m_list.EndEdit(TRUE); }

void CEditAbsEncDbDlg::OnCancel()
{
    if (m_guard.PostponeClose())
        return;
    if (QueryClose(true))
        ShowWindow(SW_HIDE);
}

BOOL CEditAbsEncDbDlg::OnCmdMsg(UINT id, int code)
{
    // While a request waits only a close (done once it has ended) and the
    // column sizing get through: a script's command starts nothing else.
    if (m_guard.IsBusy() && id != IDCANCEL && id != ID_AED_SIZE_COLUMNS)
        return TRUE;
    return CDialog::OnCmdMsg(id, code);
}

// ---------------------------------------------------------------------------
// The cloud service.

bool CEditAbsEncDbDlg::NetworkReady()
{
    const CString failure = CPumpingCloudInterface::CheckCloudReachable();
    if (!failure.IsEmpty())
        AfxMessageBox(failure);
    return failure.IsEmpty();
}

void CEditAbsEncDbDlg::RunCloudAction(void (CEditAbsEncDbDlg::*action)())
{
    m_list.EndEdit(TRUE);
    if (!m_guard.Run([this, action] { (this->*action)(); }))
        return;
    UpdateEnabling();
    if (m_guard.TakePostponedClose())
        OnCancel();
}

void CEditAbsEncDbDlg::OnCloudSubmit() { RunCloudAction(&CEditAbsEncDbDlg::SubmitToServer); }

void CEditAbsEncDbDlg::OnCloudRefresh() { RunCloudAction(&CEditAbsEncDbDlg::RefreshFromServer); }

int CEditAbsEncDbDlg::CountReadyRecords()
{
    CQvxDatabase* database = Database();
    CQvxDatabaseRecordset* recordset = GetRecordset();
    if (!database || !recordset)
        return 0;
    int count = 0;
    if (database->OpenRecordset(kTempRecordsetName, recordset->tableName, recordset->sortSpec, "Status", kReady, 0))
        if (const CQvxDatabaseRecordset* temp = database->FindRecordset(kTempRecordsetName))
            count = static_cast<int>(temp->GetCount());
    database->RemoveRecordset(kTempRecordsetName);
    return count;
}

void CEditAbsEncDbDlg::SubmitToServer()
{
    CQvxDatabaseRecordset* recordset = RecordsetOrSay();
    if (!recordset)
        return;
    // The edit on screen goes into the table first: the submission would drop it.
    recordset->Update();
    if (!NetworkReady())
        return;
    const int count = CountReadyRecords();
    if (count == 0) {
        AfxMessageBox("No records have been marked for submission.");
        return;
    }
    CString question;
    question.Format("Submit %u encoder record(s) to the Quorvex server now?", static_cast<unsigned>(count));
    if (AfxMessageBox(question, MB_YESNO | MB_ICONQUESTION) != IDYES) {
        AfxMessageBox("Submit cancelled.");
        return;
    }
    CEditSubmitterDlg submitter(this);
    submitter.m_submitter = AfxGetProfileString(kProfileSection, kSubmitterEntry, "");
    if (submitter.DoModal() != IDOK)
        return;
    AfxWriteProfileString(kProfileSection, kSubmitterEntry, submitter.m_submitter);

    CPumpingCloudInterface cloud;
    CString error;
    BOOL sent = FALSE;
    {
        CWaitCursor wait;
        sent = cloud.SubmitEncoderRecords(Table(), submitter.m_submitter, &error);
    }
    if (!sent) {
        AfxMessageBox("Could not submit records because of the following error:\n" + error, MB_ICONERROR);
        return;
    }
    SaveTable();
    recordset->CancelUpdate();
    CString done;
    done.Format("%u encoder record(s) successfully submitted", static_cast<unsigned>(count));
    AfxMessageBox(done, MB_ICONINFORMATION);
}

void CEditAbsEncDbDlg::RefreshFromServer()
{
    CQvxDatabaseRecordset* recordset = RecordsetOrSay();
    if (!recordset)
        return;
    m_addedNames.RemoveAll();
    m_replacedNames.RemoveAll();
    if (AfxMessageBox("Refresh database from server?", MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    recordset->Update();
    CQvxDatabaseTable* table = Table();
    // Changes the user chose not to save are not written behind his back: the
    // table is saved after the sync only when it held none or he saved them.
    bool saveAfterSync = true;
    if (table->modified) {
        if (AfxMessageBox("Save changes to database first?", MB_YESNO | MB_ICONQUESTION) == IDYES)
            saveAfterSync = SaveTable();
        else
            saveAfterSync = false;
    }
    if (!NetworkReady())
        return;
    // The reply is merged into the table here, on the GUI thread, once the request has ended.
    CPumpingCloudInterface cloud;
    CString error;
    BOOL synced = FALSE;
    {
        CWaitCursor wait;
        synced = cloud.SyncEncoderTable(table, &error);
    }
    if (!synced) {
        CString message;
        message.Format("Could not refresh from server due to the following error:\r\n%s", error.GetString());
        AfxMessageBox(message, MB_ICONERROR);
        return;
    }
    if (saveAfterSync)
        SaveTable();
    recordset->Requery();
    AfxMessageBox(cloud.FormatSyncSummary(), MB_ICONINFORMATION);
}

// ---------------------------------------------------------------------------
// JSON export and import.

void CEditAbsEncDbDlg::OnFileExport()
{
    m_list.EndEdit(TRUE);
    CQvxDatabaseRecordset* recordset = GetRecordset();
    CQvxDatabase* database = Database();
    if (!recordset || !database) {
        AfxMessageBox(kNoRecordset);
        return;
    }
    recordset->Update();
    CString text;
    bool exported = false;
    if (database->OpenRecordset(kTempRecordsetName, recordset->tableName, recordset->sortSpec, "Status", kApproved,
                                1))
        if (const CQvxDatabaseRecordset* temp = database->FindRecordset(kTempRecordsetName))
            exported = temp->ExportJson(text) != FALSE;
    database->RemoveRecordset(kTempRecordsetName);

    CQvxFileDialog dialog(FALSE, "json", "*.json", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, kJsonFilter, this);
    if (dialog.DoModal() != IDOK)
        return;
    const CString path = dialog.GetPathName();
    if (!exported || !WriteTextFile(path, text)) {
        AfxMessageBox("Could not export records.", MB_ICONERROR);
        return;
    }
    AfxMessageBox("Records successfully exported.", MB_ICONINFORMATION);
    OpenInNotepad(path);
}

void CEditAbsEncDbDlg::OnFileImport()
{
    m_list.EndEdit(TRUE);
    CQvxDatabaseRecordset* recordset = RecordsetOrSay();
    if (!recordset)
        return;
    m_addedNames.RemoveAll();
    m_replacedNames.RemoveAll();
    CQvxFileDialog dialog(TRUE, "json", "*.json", OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, kJsonFilter, this);
    if (dialog.DoModal() != IDOK)
        return;
    const int answer = AfxMessageBox("Overwrite matching encoders?", MB_YESNOCANCEL | MB_ICONQUESTION);
    if (answer == IDCANCEL)
        return;
    m_overwrite = answer == IDYES ? 1 : 0;
    recordset->Update();

    const CString path = dialog.GetPathName();
    CString text;
    CString error;
    bool merged = false;
    if (!ReadTextFile(path, text)) {
        error.Format("Cannot read file \"%s\".", path.GetString());
    } else {
        CStringList keys;
        keys.AddTail("Manufacturer");
        keys.AddTail("Model");
        merged = Table()->SyncFromJson(text, keys, this, &error);
    }
    if (!merged) {
        CString message;
        message.Format("Could not import \"%s\" due to the following error:\r\n\t%s",
                       GetFileNameFromPath(path, FALSE).GetString(), error.GetString());
        AfxMessageBox(message, MB_ICONERROR);
        UpdateEnabling();
        return;
    }
    AfxMessageBox(FormatImportReport(), MB_ICONINFORMATION);
    UpdateEnabling();
}

void CEditAbsEncDbDlg::NoteMergedRecord(CQvxDatabaseTable* table, CQvxDatabaseTableDataRow* record,
                                        CSortableStringArray& names)
{
    const int status = table->fields.FindField("Status");
    // A record marked elsewhere is not marked here: this user did not choose to submit it.
    if (status >= 0 && status < record->values.GetSize() && record->values[status] == kReady)
        record->SetValue(status, kLocal);
    names.Add(FormatAbsEncRecordName(table, record));
}

void CEditAbsEncDbDlg::OnRecordReplaced(CQvxDatabaseTable* localTable, CQvxDatabaseTableDataRow* localRecord)
{
    NoteMergedRecord(localTable, localRecord, m_replacedNames);
}

void CEditAbsEncDbDlg::OnRecordInserted(CQvxDatabaseTable* localTable, CQvxDatabaseTableDataRow* newRecord)
{
    NoteMergedRecord(localTable, newRecord, m_addedNames);
}

CString CEditAbsEncDbDlg::FormatImportReport() const
{
    if (m_addedNames.IsEmpty() && m_replacedNames.IsEmpty())
        return "No changes";
    CString report;
    auto section = [&report](const char* title, const CSortableStringArray& names) {
        if (names.IsEmpty())
            return;
        report += title;
        for (INT_PTR i = 0; i < names.GetSize(); ++i)
            report += "\t" + names[i] + "\r\n";
    };
    section("Encoders Added:\r\n", m_addedNames);
    section("Encoders Replaced:\r\n", m_replacedNames);
    return report;
}
