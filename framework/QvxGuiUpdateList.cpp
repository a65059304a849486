#include "QvxGuiUpdateList.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "GuiUpdateDlg.h"
#include "GuiUpdateListSetRegDlg.h"
#include "database/QvxDatabase.h"
#include "database/QvxDatabaseRecordset.h"
#include "database/QvxDatabaseTable.h"
#include "distribution/AmpCommandText.h"
#include "foundation/NumberHelpers.h"
#include "foundation/TextHelpers.h"
#include "platform/core/MessageBox.h"
#include "platform/core/SingleLock.h"
#include "platform/ui/Hook.h"
#include "platform/ui/KeyState.h"
#include "platform/ui/Menu.h"
#include "platform/ui/MsgBox.h"
#include "pragmix/Pragmix.h"

namespace {
// Text a numeric field may take: a whole number, blanks around it allowed.
bool IsNumberFor(const CQvxDatabaseTableFieldDef* field, const CString& text)
{
    if (!field || field->type != CQvxDatabaseTableFieldDef::typeNumeric)
        return true;
    const char* start = text.GetString();
    char* end = nullptr;
    const double value = std::strtod(start, &end);
    if (end == start || !std::isfinite(value))
        return false;
    while (*end == ' ' || *end == '\t')
        ++end;
    return *end == '\0';
}
constexpr COLORREF kDefaultColours[CQvxGuiUpdateList::kColours] = {
    RGB(100, 100, 100), RGB(0, 0, 0),       RGB(255, 0, 0),     RGB(255, 255, 255), RGB(100, 100, 100),
    RGB(255, 255, 255), RGB(0, 0, 0),       RGB(255, 255, 255), RGB(255, 255, 255)};

bool StartsWith(const CString& text, const char* keyword, CString& rest)
{
    const int length = static_cast<int>(std::strlen(keyword));
    if (text.Left(length) != keyword)
        return false;
    rest = text.Mid(length);
    return true;
}

std::vector<CString> SplitAt(const CString& text, char separator)
{
    std::vector<CString> parts;
    int start = 0;
    for (int i = 0; i <= text.GetLength(); ++i)
        if (i == text.GetLength() || text[i] == separator) {
            parts.push_back(text.Mid(start, i - start));
            start = i + 1;
        }
    return parts;
}
}  // namespace

BEGIN_MESSAGE_MAP(CQvxGuiUpdateList, CDListComboCtrl)
    ON_WM_CHAR()
    ON_NOTIFY_REFLECT(NM_DBLCLK, &CQvxGuiUpdateList::OnDoubleClick)
    ON_NOTIFY_REFLECT(NM_RCLICK, &CQvxGuiUpdateList::OnRightClick)
END_MESSAGE_MAP()

CQvxGuiUpdateList::CQvxGuiUpdateList() : m_engine(CQvxGuiUpdateListEngine::Create())
{
    std::copy(std::begin(kDefaultColours), std::end(kDefaultColours), m_colours);
    m_name = "UpdateList";
    // Its rows are written through their command texts; this only lets the
    // window ask about held changes before it closes.
    m_hasWriteRegister = 1;
    SetCallback(this);
    if (m_engine)
        m_engine->SetExtProcessor(this);
}

CQvxGuiUpdateList::~CQvxGuiUpdateList()
{
    // The engine's worker may still hand lines in: it goes before the rows.
    m_engine.reset();
    CancelAllQueries();
}

// ---------------------------------------------------------------------------
// Definition lines (the engine's thread).

int CQvxGuiUpdateList::ProcessExtLine(const char* text)
{
    CSingleLock lock(&m_rowLock, TRUE);
    const CString line = text ? text : "";
    CString rest;
    if (StartsWith(line, "ADD:", rest)) {
        auto* row = new CQvxGuiUpdateListData;
        m_rows.AddTail(row);
        m_current = row;
        return ApplyRowLine(line);
    }
    if (StartsWith(line, "ONESHOTQUERIES:", rest)) {
        rest.Trim();
        m_oneShot = rest.CompareNoCase("TRUE") == 0;
        return 1;
    }
    if (StartsWith(line, "COLOR:", rest)) {
        const int equals = rest.Find('=');
        if (equals < 0) {
            SetErrorString("'=' exptected");
            return 0;
        }
        CExSolver solver;
        double value = 0.0;
        if (!solver.Solve(rest.Mid(equals + 1), value)) {
            SetErrorString("Error in color expression");
            return 0;
        }
        const int index = std::atoi(rest.Left(equals));
        if (index < 0 || index >= kColours) {
            SetErrorString("Invalid color index");
            return 0;
        }
        m_colours[index] = static_cast<COLORREF>(static_cast<LONG>(value));
        return 1;
    }
    if (StartsWith(line, "COLUMNSIZE:", rest)) {
        const std::vector<CString> parts = SplitAt(rest, '\\');
        m_columnSize = std::atof(parts[0]);
        m_columnMode = parts.size() > 1 ? std::atoi(parts[1]) : 0;
        return 1;
    }
    if (!m_current)
        return 0;  // a row line before any "ADD:"
    return ApplyRowLine(line);
}

int CQvxGuiUpdateList::ApplyRowLine(const CString& line)
{
    CQvxGuiUpdateListData* row = m_current;
    row->m_oneShot = m_oneShot;
    CString rest;
    if (StartsWith(line, "ADD:", rest)) {
        const std::vector<CString> parts = SplitAt(rest, '\\');
        if (parts.empty() || parts[0].IsEmpty()) {
            SetErrorString("Command error");
            return 0;
        }
        row->m_label = parts[0];
        if (parts.size() > 1)
            row->m_query = parts[1];
        if (parts.size() > 2)
            row->m_command = parts[2];
        row->m_labelOnly = parts.size() > 1 && !row->m_query.IsEmpty() ? 0 : 1;
        return 1;
    }
    if (StartsWith(line, "ID:", rest)) {
        rest.Trim();
        row->m_id = rest;
    } else if (StartsWith(line, "DIGITS:", rest)) {
        row->m_digits = std::atoi(rest);
    } else if (StartsWith(line, "FLAGS:", rest)) {
        CExSolver solver;
        double value = 0.0;
        row->m_flags = solver.Solve(rest, value) ? static_cast<int>(value) : 0;
    } else if (StartsWith(line, "RANGE:", rest)) {
        const std::vector<CString> parts = SplitAt(rest, '\\');
        if (parts.size() < 2) {
            SetErrorString("Command error");
            return 0;
        }
        row->m_minimum = parts[0];
        row->m_maximum = parts[1];
    } else if (StartsWith(line, "SELECT:", rest)) {
        const std::vector<CString> parts = SplitAt(rest, '\\');
        if (!row->m_selectors)
            row->m_selectors = std::make_unique<CQvxGuiUpdateListDataSelectorList>();
        if (parts.size() % 2) {
            row->m_selectors.reset();
            SetErrorString("Command error");
            return 0;
        }
        for (size_t i = 0; i + 1 < parts.size(); i += 2)
            row->m_selectors->Add(parts[i], std::atof(parts[i + 1]));
        row->m_selectors->SetCurrent(0);
    } else if (StartsWith(line, "RECSETFIELD:", rest)) {
        const int colon = rest.Find(':');
        CQvxDatabaseRecordset* recordset = colon < 0 || !m_database ? nullptr : m_database->FindRecordset(rest.Left(colon));
        const int column = recordset && recordset->table ? recordset->table->fields.FindField(rest.Mid(colon + 1)) : -1;
        if (!recordset || column < 0) {
            SetErrorString("Command error");
            return 0;
        }
        row->SetRecordset(recordset);
        row->m_recordsetField = column;
    }
    return 1;
}

void CQvxGuiUpdateList::ResetExtProcessor()
{
    CSingleLock lock(&m_rowLock, TRUE);
    m_current = nullptr;
    m_rebuildPending = 1;
}

int CQvxGuiUpdateList::GetExtValue(const char* name, double& value)
{
    {
        CSingleLock lock(&m_rowLock, TRUE);
        for (POSITION pos = m_rows.GetHeadPosition(); pos;) {
            const CQvxGuiUpdateListData* row = m_rows.GetNext(pos);
            if (row->m_id != name)
                continue;
            if (row->m_selectors) {
                const int index = row->m_selectors->FindText(row->m_value);
                CString text;
                if (index < 0 || !row->m_selectors->GetItem(index, text, value))
                    return 0;
                return 1;
            }
            value = std::atof(row->m_value);
            return 1;
        }
    }
    const CString reference(name ? name : "");
    const int colon = reference.Find(':');
    CQvxDatabaseRecordset* recordset =
        colon < 0 || !m_database ? nullptr : m_database->FindRecordset(reference.Left(colon));
    if (!recordset)
        return 0;
    CString text;
    if (!recordset->GetFieldValue(reference.Mid(colon + 1), TRUE, text))
        return 0;
    value = std::atof(text);
    return 1;
}

int CQvxGuiUpdateList::OnExtResponse(const CAmpQryCmdFromGui& query, CAmpResponseToGui& reply)
{
    CSingleLock lock(&m_replyLock, TRUE);
    const CString key = query.ToString();
    StoredReply* stored = nullptr;
    if (m_replyByKey.Lookup(key, stored)) {
        if (!stored->received)
            return 0;
        if (stored->reply.m_error == 0) {
            reply = stored->reply;
            return 1;
        }
        // A failed read is asked again.
        for (POSITION pos = m_replyById.GetStartPosition(); pos;) {
            int id = 0;
            StoredReply* entry = nullptr;
            m_replyById.GetNextAssoc(pos, id, entry);
            if (entry == stored) {
                CancelQuery(id);
                m_replyById.RemoveKey(id);
                break;
            }
        }
        m_replyByKey.RemoveKey(key);
        return 0;
    }
    CAmpQryCmdFromGui submitted = query;
    submitted.m_flags = static_cast<BYTE>(query.m_flags | (m_expansionOneShot ? 0x64 : 0x4));
    submitted.m_time = static_cast<WORD>(m_queryPeriod);
    const int id = SubmitQuery(submitted);
    if (id <= 0)
        return 0;
    m_replies.push_back(std::make_unique<StoredReply>());
    m_replyById.SetAt(id, m_replies.back().get());
    m_replyByKey.SetAt(key, m_replies.back().get());
    return 0;
}

void CQvxGuiUpdateList::CancelReplies()
{
    CancelAllQueries();
    CSingleLock lock(&m_replyLock, TRUE);
    m_replyById.RemoveAll();
    m_replyByKey.RemoveAll();
    m_replies.clear();
}

// ---------------------------------------------------------------------------
// Building.

void CQvxGuiUpdateList::SetDefinition(const char* text)
{
    m_definition = text ? text : "";
    m_sourceMode = kDefinitionMode;
}

void CQvxGuiUpdateList::SetTemplateVariable(const char* name, const char* value)
{
    if (m_engine)
        m_engine->SetUserMacro(name, value);
}

int CQvxGuiUpdateList::ListDrive() const
{
    if (m_driveOverride != -1)
        return m_driveOverride;
    const CGuiUpdateDlg* owner = GetOwnerWindow();
    return owner ? owner->GetDrive() : -1;
}

int CQvxGuiUpdateList::LoadDefinition()
{
    Build(ListDrive());
    return m_engine ? 1 : 0;
}

void CQvxGuiUpdateList::Build(int drive)
{
    // Before the rows go: the engine then drops what a run begun earlier still hands in.
    if (m_engine)
        m_engine->SetExtProcessor(this);
    CancelReplies();
    if (GetSafeHwnd()) {
        SetComboCell(-1, -1);
        DeleteAllItems();
    }
    {
        CSingleLock lock(&m_rowLock, TRUE);
        m_rows.DeleteAll();
        m_current = nullptr;
    }
    m_builtForDrive = drive;
    m_sourceMode = kDefinitionMode;
    if (!m_engine)
        return;
    ResetExtProcessor();
    m_engine->RunTemplate(drive, m_definition);
}

void CQvxGuiUpdateList::FillLines()
{
    m_rebuildPending = 0;
    if (!GetSafeHwnd())
        return;
    SetBkColor(m_colours[8]);
    SetComboCell(-1, -1);
    DeleteAllItems();
    CSingleLock lock(&m_rowLock, TRUE);
    int line = 0;
    for (POSITION pos = m_rows.GetHeadPosition(); pos; ++line) {
        CQvxGuiUpdateListData* row = m_rows.GetNext(pos);
        InsertItem(line, row->m_label);
        SetItemData(line, static_cast<DWORD_PTR>(line));
        row->m_listIndex = line;
        if (row->m_labelOnly) {
            SetItemColors(line, m_colours[5], m_colours[4], FALSE);
            continue;
        }
        SetItemTextColor(0, line, m_colours[6], FALSE);
        SetItemBkColor(0, line, m_colours[7], FALSE);
        SetItemBkColor(1, line, m_colours[3], FALSE);
        const bool writable = IsEditable(row) && MayWriteNow(row);
        SetItemTextColor(1, line, m_colours[writable ? 1 : 0], FALSE);
        if (writable && (row->m_selectors || m_customSelections.Find(line)))
            SetComboCell(1, line);
    }
    lock.Unlock();
    Invalidate();
}

void CQvxGuiUpdateList::Initialise()
{
    if (!GetSafeHwnd())
        return;
    EndEdit(TRUE);
    DeleteAllColumns();
    InsertColumn(0, "Label");
    InsertColumn(1, "Data");
    m_bEditable = TRUE;
    ResizeColumns();
    SetExtendedStyle(0x23);
}

void CQvxGuiUpdateList::ResizeColumns()
{
    if (!GetSafeHwnd() || GetColumnCount() < 2)
        return;
    CRect client;
    GetClientRect(&client);
    int value = 0;
    if (m_columnMode)
        value = std::min(static_cast<int>(m_columnSize), client.Width() - 20);
    else
        value = static_cast<int>(client.Width() * m_columnSize / 100.0);
    SetColumnWidth(1, value);
    SetColumnWidth(0, client.Width() - value);
}

// ---------------------------------------------------------------------------
// The control side.

void CQvxGuiUpdateList::Shutdown()
{
    CQvxGuiControl::Shutdown();
    CancelReplies();
}

void CQvxGuiUpdateList::StoreResponse(const CAmpResponseToGui& response)
{
    CSingleLock lock(&m_replyLock, TRUE);
    StoredReply* stored = nullptr;
    if (m_replyById.Lookup(static_cast<int>(response.m_queryId), stored)) {
        stored->reply = response;
        stored->received = 1;
    }
    m_state = 3;
}

void CQvxGuiUpdateList::OnFirstUpdate()
{
    if (m_sourceMode == kDefinitionMode && !(m_flags & kNoStartupBuild))
        Build(ListDrive());
}

void CQvxGuiUpdateList::OnUpdateControls()
{
    if (m_engine)
        m_engine->UpdateStatus();
}

void CQvxGuiUpdateList::ProcessResponses()
{
    CQvxGuiControl::ProcessResponses();
    if (m_sourceMode != kDefinitionMode)
        return;
    if (ListDrive() != m_builtForDrive) {
        Build(ListDrive());
        return;
    }
    if (m_rebuildPending) {
        if (m_engine && !m_engine->IsIdle())
            return;  // the rows are still coming
        FillLines();
        return;
    }
    PollRows();
}

void CQvxGuiUpdateList::PollRows()
{
    if (m_engine && m_engine->IsIdle()) {
        CSingleLock lock(&m_rowLock, TRUE);
        for (POSITION pos = m_rows.GetHeadPosition(); pos;) {
            CQvxGuiUpdateListData* row = m_rows.GetNext(pos);
            if (row->m_labelOnly)
                continue;
            m_expansionOneShot = row->m_oneShot;
            CString out;
            if (m_engine->ExpandText(row->m_query, out, row->m_digits, (row->m_flags & 0x4) != 0))
                row->m_value = out;
            else
                row->m_value = "Waiting...";
        }
    }
    RefreshRows();
    RefreshRecordReferences();
}

void CQvxGuiUpdateList::RefreshRows()
{
    if (!GetSafeHwnd())
        return;
    CSingleLock lock(&m_rowLock, TRUE);
    for (POSITION pos = m_rows.GetHeadPosition(); pos;) {
        CQvxGuiUpdateListData* row = m_rows.GetNext(pos);
        if (row->m_modified || row->m_labelOnly || row->m_listIndex < 0)
            continue;
        const CString shown = row->GetShownText();
        const CString cell = CDListComboCtrl::GetItemText(row->m_listIndex, 1);
        if (shown != cell) {
            Tell(row, cell, shown, 0);
            const int reopen = IsEditing() ? GetEditRow() : -1;
            if (reopen >= 0)
                EndEdit(TRUE);
            WriteCell(row->m_listIndex, shown);
            if (reopen >= 0)
                EditSubItem(1, reopen);
        }
        ApplyValueColour(row);
    }
    lock.Unlock();
    ResizeColumns();
}

void CQvxGuiUpdateList::ApplyValueColour(CQvxGuiUpdateListData* row)
{
    if (row->m_modified)
        return;
    const COLORREF colour = m_colours[IsEditable(row) && MayWriteNow(row) ? 1 : 0];
    if (GetItemTextColor(1, row->m_listIndex) != colour)
        SetItemTextColor(1, row->m_listIndex, colour, TRUE);
}

void CQvxGuiUpdateList::RefreshRecordReferences()
{
    CSingleLock lock(&m_rowLock, TRUE);
    for (POSITION pos = m_rows.GetHeadPosition(); pos;) {
        CQvxGuiUpdateListData* row = m_rows.GetNext(pos);
        if (!row->GetRecordset() || !row->m_refreshRequested || row->m_listIndex < 0)
            continue;
        row->m_refreshRequested = 0;
        CString text;
        if (!row->GetRecordset()->GetFieldValueAt(TRUE, row->m_recordsetField, text) || row->m_command.IsEmpty())
            continue;
        const CString previous = CDListComboCtrl::GetItemText(row->m_listIndex, 1);
        WriteCell(row->m_listIndex, text);
        SetItemTextColor(1, row->m_listIndex, m_colours[2], TRUE);
        if (!row->m_modified) {
            row->m_savedValue = previous;
            row->m_modified = 1;
        }
    }
}

// ---------------------------------------------------------------------------
// Rules of a row.

bool CQvxGuiUpdateList::IsDriveEnabled() const
{
    const CGuiUpdateDlg* owner = GetOwnerWindow();
    return owner && owner->GetEnableBit();
}

bool CQvxGuiUpdateList::IsEditable(const CQvxGuiUpdateListData* row) const
{
    return (m_flags & (kTypeValues | kEditRows)) || (row->m_flags & CQvxGuiUpdateListData::kSendAtOnce);
}

bool CQvxGuiUpdateList::MayWriteNow(const CQvxGuiUpdateListData* row) const
{
    if (row->m_command.IsEmpty())
        return false;
    if (row->m_flags & CQvxGuiUpdateListData::kWriteWhileEnabled)
        return IsDriveEnabled();
    if (row->m_flags & CQvxGuiUpdateListData::kWriteWhileDisabled)
        return !IsDriveEnabled();
    return true;
}

bool CQvxGuiUpdateList::IsImmediate(const CQvxGuiUpdateListData* row) const
{
    return !(m_flags & kHoldChanges) || (row->m_flags & CQvxGuiUpdateListData::kSendAtOnce);
}

void CQvxGuiUpdateList::Tell(const CQvxGuiUpdateListData* row, const CString& oldText, const CString& newText,
                             int byUser)
{
    if (m_callback)
        m_callback->OnListColumnEvent(row ? row->m_id : CString(), oldText, newText, byUser);
}

void CQvxGuiUpdateList::WriteCell(int line, const CString& text)
{
    ++m_internalUpdate;
    SetItemText(line, 1, text);
    --m_internalUpdate;
}

CString CQvxGuiUpdateList::FormatRowValue(const CQvxGuiUpdateListData* row, double value) const
{
    return FormatDouble(value, row->m_digits);
}

bool CQvxGuiUpdateList::ExpandLimit(const CString& text, int digits, double& value)
{
    CString out;
    if (!m_engine || !m_engine->ExpandText(text, out, digits, 1))
        return false;
    value = std::atof(out);
    return true;
}

bool CQvxGuiUpdateList::ClampToRange(CQvxGuiUpdateListData* row, double& value, bool& adjusted, double& low,
                                     double& high)
{
    adjusted = false;
    if (!ExpandLimit(row->m_minimum, row->m_digits, low) || !ExpandLimit(row->m_maximum, row->m_digits, high))
        return false;
    if (!row->m_rangeCheck)
        return true;
    if (value < low) {
        value = low;
        adjusted = true;
    } else if (value > high) {
        value = high;
        adjusted = true;
    }
    return true;
}

void CQvxGuiUpdateList::TellAdjusted(const CQvxGuiUpdateListData* row, double low, double high)
{
    CString message;
    message.Format("%s must be in the range %s to %s. Entered value has been automatically adjusted to fit into "
                   "this range.",
                   row->m_label.GetString(), FormatRowValue(row, low).GetString(),
                   FormatRowValue(row, high).GetString());
    CQvxGuiControl::MessageBox(message, MB_OK, IDOK);
}

int CQvxGuiUpdateList::SendRow(CQvxGuiUpdateListData* row, double value)
{
    if (!m_engine || row->m_command.IsEmpty())
        return 0;
    CString number;
    number.Format("%f", value);
    m_engine->SetMacro("_X", number);
    CString expanded;
    if (!m_engine->ExpandText(row->m_command, expanded, row->m_digits, (row->m_flags & 0x4) != 0))
        return 0;
    CAmpQryCmdFromGui query;
    if (!ParseAmpCommandText(query, expanded))
        return 0;
    const int drive = ListDrive();
    query.m_address = static_cast<BYTE>(drive == -1 ? 255 : drive);
    query.m_flags = static_cast<BYTE>(query.m_flags | kQryCommand | kQryOneShot);
    query.m_time = kCommandTimeHint;
    return SubmitQuery(query) != -1;
}

void CQvxGuiUpdateList::HoldChange(CQvxGuiUpdateListData* row, int line, const CString& previous, const CString& text)
{
    SetItemTextColor(1, line, m_colours[2], TRUE);
    Tell(row, previous, text, 1);
    WriteCell(line, text);
    if (!row->m_modified) {
        row->m_savedValue = previous;
        row->m_modified = 1;
    }
}

// ---------------------------------------------------------------------------
// Editing paths.

CQvxGuiUpdateListData* CQvxGuiUpdateList::GetRowAtLine(int line)
{
    CSingleLock lock(&m_rowLock, TRUE);
    for (POSITION pos = m_rows.GetHeadPosition(); pos;) {
        CQvxGuiUpdateListData* row = m_rows.GetNext(pos);
        if (row->m_listIndex == line && line >= 0)
            return row;
    }
    return nullptr;
}

CQvxGuiUpdateListData* CQvxGuiUpdateList::GetRowById(const char* id)
{
    CSingleLock lock(&m_rowLock, TRUE);
    for (POSITION pos = m_rows.GetHeadPosition(); pos;) {
        CQvxGuiUpdateListData* row = m_rows.GetNext(pos);
        if (row->m_id == id)
            return row;
    }
    return nullptr;
}

int CQvxGuiUpdateList::GetRowCount()
{
    CSingleLock lock(&m_rowLock, TRUE);
    return m_rows.GetCount();
}

int CQvxGuiUpdateList::GetSelectedLine() const
{
    return GetSafeHwnd() ? GetNextItem(-1, LVNI_SELECTED) : -1;
}

int CQvxGuiUpdateList::GetModifiedCount()
{
    CSingleLock lock(&m_rowLock, TRUE);
    int count = 0;
    for (POSITION pos = m_rows.GetHeadPosition(); pos;)
        count += m_rows.GetNext(pos)->m_modified ? 1 : 0;
    return count;
}

const CQvxDatabaseTableFieldDef* CQvxGuiUpdateList::FieldOfLine(int line) const
{
    if (!m_fields || line < 0 || line >= GetItemCount())
        return nullptr;
    return m_fields->GetFieldByColumn(LineData(line));
}

bool CQvxGuiUpdateList::ChoicesOfLine(int line, CStringArray& texts)
{
    texts.RemoveAll();
    if (const CSortableStringArray* custom = m_customSelections.Find(line)) {
        for (int i = 0; i < custom->GetSize(); ++i)
            texts.Add(custom->GetAt(i));
        return true;
    }
    if (m_sourceMode == kRecordsetMode) {
        const CQvxDatabaseTableFieldDef* field = FieldOfLine(line);
        if (!field || !field->IsSelector() || (field->flags & CQvxDatabaseTableFieldDef::flagReadOnly))
            return false;
        for (POSITION pos = field->selections->GetHeadPosition(); pos;)
            texts.Add(field->selections->GetNext(pos).text);
        return true;
    }
    CQvxGuiUpdateListData* row = GetRowAtLine(line);
    if (!row || !row->m_selectors || !IsEditable(row) || !MayWriteNow(row))
        return false;
    CString text;
    double value = 0.0;
    for (int i = 0; row->m_selectors->GetItem(i, text, value); ++i)
        texts.Add(text);
    return true;
}

int CQvxGuiUpdateList::GetItemSelection(CDListComboCtrl*, int row, int column)
{
    if (column != 1 || m_readOnly)
        return -1;
    CStringArray texts;
    if (!ChoicesOfLine(row, texts))
        return -1;
    const CString cell = CDListComboCtrl::GetItemText(row, 1);
    for (int i = 0; i < texts.GetSize(); ++i)
        if (texts[i] == cell)
            return i;
    return -1;
}

int CQvxGuiUpdateList::GetColumnEditType(CDListComboCtrl*, int row, int column)
{
    if (column != 1 || m_readOnly)
        return -1;
    CStringArray texts;
    if (!ChoicesOfLine(row, texts))
        return -1;
    CStringList* choices = AddComboList(1);
    choices->RemoveAll();
    for (int i = 0; i < texts.GetSize(); ++i)
        choices->AddTail(texts[i]);
    return LCC_EDIT_LIST;
}

void CQvxGuiUpdateList::OnItemSelectionChanged(CDListComboCtrl*, int line, int column, int index, BOOL unchanged)
{
    if (column != 1 || m_readOnly)
        return;
    CStringArray texts;
    if (!ChoicesOfLine(line, texts) || index < 0 || index >= texts.GetSize())
        return;
    const CString chosen = texts[index];
    if (m_sourceMode == kRecordsetMode) {
        WriteCell(line, chosen);
        // The field of the line's column, never the one the label or the line number names.
        if (CQvxDatabaseRecordset* recordset = GetRecordset()) {
            const CQvxDatabaseTableFieldDef* field = FieldOfLine(line);
            CString stored = chosen;
            if (field && field->IsSelector() && !m_customSelections.Find(line)) {
                CQvxDatabaseTableSelectionItem item;
                if (field->GetSelectionItem(index, item))
                    stored.Format("%ld", static_cast<long>(item.value));
            }
            recordset->SetFieldValueAt(stored, LineData(line));
        }
        return;
    }
    CQvxGuiUpdateListData* row = GetRowAtLine(line);
    if (!row)
        return;
    if (m_customSelections.Find(line)) {
        WriteCell(line, chosen);
        return;
    }
    const CString previous = row->GetShownText();
    if (IsImmediate(row)) {
        CString text;
        double value = 0.0;
        row->m_selectors->GetItem(index, text, value);
        SendRow(row, value);
        Tell(row, previous, chosen, 1);
        WriteCell(line, chosen);
        return;
    }
    SetItemTextColor(1, line, m_colours[2], TRUE);
    Tell(row, previous, chosen, 1);
    WriteCell(line, chosen);
    if (!unchanged && !row->m_modified) {
        row->m_savedValue = previous;
        row->m_modified = 1;
    }
}

BOOL CQvxGuiUpdateList::CanEditSubItem(int line, int column)
{
    if (column != 1 || m_readOnly || !(m_flags & kTypeValues) || m_customSelections.Find(line))
        return FALSE;
    if (m_sourceMode == kRecordsetMode) {
        const CQvxDatabaseTableFieldDef* field = FieldOfLine(line);
        if (!field || (field->flags & CQvxDatabaseTableFieldDef::flagReadOnly) ||
            field->type == CQvxDatabaseTableFieldDef::typeSelector)
            return FALSE;
    } else {
        CQvxGuiUpdateListData* row = GetRowAtLine(line);
        if (!row || row->m_selectors || !MayWriteNow(row))
            return FALSE;
    }
    m_editRow = line;
    m_editStartText = CDListComboCtrl::GetItemText(line, 1);
    return TRUE;
}

void CQvxGuiUpdateList::OnEndEdit(int line, int column, CString text, BOOL changed)
{
    CDListComboCtrl::OnEndEdit(line, column, text, changed);
    if (m_internalUpdate || m_inEndEdit || column != 1)
        return;
    m_inEndEdit = 1;
    m_editRow = -1;
    if (m_sourceMode == kRecordsetMode) {
        if (!text.IsEmpty() && GetRecordset()) {
            if (IsNumberFor(FieldOfLine(line), text)) {
                GetRecordset()->SetFieldValueAt(text, LineData(line));
            } else {
                // Nothing reaches the record: the cell goes back to what the record holds.
                CString message;
                message.Format("\"%s\" must be a number.", FieldOfLine(line)->name.GetString());
                // A list that no drive window owns (a database window) asks on its own.
                if (CQvxGuiControl::MessageBox(message, MB_OK, IDOK) == -1)
                    AfxMessageBox(message, MB_OK | MB_ICONEXCLAMATION);
                WriteCell(line, m_editStartText);
            }
        }
        m_inEndEdit = 0;
        return;
    }
    CQvxGuiUpdateListData* row = GetRowAtLine(line);
    if (row && !text.IsEmpty()) {
        double value = std::atof(RemoveAllSubstrings(text, ","));
        bool adjusted = false;
        double low = 0.0, high = 0.0;
        if (ClampToRange(row, value, adjusted, low, high)) {
            if (adjusted) {
                TellAdjusted(row, low, high);
                text = FormatRowValue(row, value);
            }
            if (IsImmediate(row)) {
                Tell(row, row->GetShownText(), text, 1);
                SendRow(row, value);
            } else if (text != m_editStartText) {
                HoldChange(row, line, m_editStartText, text);
            }
        } else {
            // Out of range limits that do not expand: the cell stays as it was.
            WriteCell(line, m_editStartText);
        }
    }
    m_inEndEdit = 0;
}

int CQvxGuiUpdateList::ModifyRow(int line)
{
    CQvxGuiUpdateListData* row = GetRowAtLine(line);
    if (!row || row->m_labelOnly)
        return 0;
    if (row->m_command.IsEmpty()) {
        CQvxGuiControl::MessageBox("This setting is read-only.", MB_OK, IDOK);
        return 0;
    }
    if ((row->m_flags & CQvxGuiUpdateListData::kWriteWhileEnabled) && !IsDriveEnabled()) {
        CQvxGuiControl::MessageBox("Please enable drive before changing this setting.", MB_OK, IDOK);
        return 0;
    }
    if (!(row->m_flags & CQvxGuiUpdateListData::kWriteWhileEnabled) &&
        (row->m_flags & CQvxGuiUpdateListData::kWriteWhileDisabled) && IsDriveEnabled()) {
        CQvxGuiControl::MessageBox("Please disable drive before changing this setting.", MB_OK, IDOK);
        return 0;
    }
    const CString previous = CDListComboCtrl::GetItemText(line, 1);
    CGuiUpdateListSetRegDlg dialog(GetParent());
    dialog.m_label = row->m_label;
    dialog.m_value = previous;
    CString text;
    double choiceValue = 0.0;
    for (int i = 0; row->m_selectors && row->m_selectors->GetItem(i, text, choiceValue); ++i)
        dialog.m_choices.Add(text);
    if (dialog.DoModal() != IDOK)
        return 0;
    CString entered = dialog.m_value;
    double value = 0.0;
    if (row->m_selectors) {
        const int index = row->m_selectors->FindText(entered);
        if (index >= 0)
            row->m_selectors->GetItem(index, text, value);
    } else {
        value = std::atof(RemoveAllSubstrings(entered, ","));
        bool adjusted = false;
        double low = 0.0, high = 0.0;
        if (!ClampToRange(row, value, adjusted, low, high))
            return 0;
        if (adjusted)
            TellAdjusted(row, low, high);
        entered = FormatRowValue(row, value);
    }
    if (IsImmediate(row))
        return SendRow(row, value);
    if (entered != previous)
        HoldChange(row, line, previous, entered);
    return 1;
}

void CQvxGuiUpdateList::RestoreRow(int line)
{
    CQvxGuiUpdateListData* row = GetRowAtLine(line);
    if (!row || !row->m_modified)
        return;
    Tell(row, CDListComboCtrl::GetItemText(line, 1), row->m_savedValue, 1);
    EndEdit(TRUE);
    WriteCell(line, row->m_savedValue);
    row->m_savedValue.Empty();
    row->m_modified = 0;
    ApplyValueColour(row);
}

void CQvxGuiUpdateList::RestoreAllRows()
{
    if (CQvxGuiControl::MessageBox("Restore all modified settings?", MB_YESNO, IDYES) != IDYES)
        return;
    for (int line = 0; line < GetItemCount(); ++line)
        RestoreRow(line);
}

int CQvxGuiUpdateList::SendValue()
{
    if (m_sourceMode != kDefinitionMode)
        return 0;
    int sent = 0;
    for (int line = 0; line < GetItemCount(); ++line) {
        CQvxGuiUpdateListData* row = GetRowAtLine(line);
        if (!row || row->m_labelOnly || !MayWriteNow(row))
            continue;
        const CString cell = CDListComboCtrl::GetItemText(line, 1);
        double value = 0.0;
        CString text;
        if (row->m_selectors) {
            const int index = row->m_selectors->FindText(cell);
            if (index < 0)
                continue;
            row->m_selectors->GetItem(index, text, value);
        } else {
            if (cell.IsEmpty() || cell == "Waiting...")
                continue;
            value = std::atof(RemoveAllSubstrings(cell, ","));
            bool adjusted = false;
            double low = 0.0, high = 0.0;
            if (!ClampToRange(row, value, adjusted, low, high))
                continue;
        }
        sent += SendRow(row, value);
        // A sent row follows the drive again.
        if (row->m_modified) {
            row->m_modified = 0;
            row->m_savedValue.Empty();
            ApplyValueColour(row);
        }
    }
    return sent > 0;
}

// ---------------------------------------------------------------------------
// Keys, menu and mouse.

int CQvxGuiUpdateList::HandleValueKey(UINT key)
{
    if (m_sourceMode != kDefinitionMode || m_readOnly || (key != ' ' && key != '+' && key != '-'))
        return 0;
    const int line = GetSelectedLine();
    CQvxGuiUpdateListData* row = GetRowAtLine(line);
    if (!row || !IsEditable(row))
        return 0;
    if (!MayWriteNow(row)) {
        MessageBeep(MB_ICONHAND);
        return 0;
    }
    double value = 0.0;
    if (row->m_selectors) {
        CQvxGuiUpdateListDataSelectorList& choices = *row->m_selectors;
        const bool wrap = (row->m_flags & CQvxGuiUpdateListData::kWrapSelections) != 0;
        const int current = choices.FindText(CDListComboCtrl::GetItemText(line, 1));
        if (current >= 0)
            choices.SetCurrent(current);
        const int before = choices.GetCurrent();
        if (!(key == '+' ? choices.StepNext(wrap) : choices.StepPrevious(wrap))) {
            MessageBeep(MB_ICONHAND);
            return 1;
        }
        CString text;
        choices.GetItem(choices.GetCurrent(), text, value);
        if (!WithinRange(row, value)) {
            // Nothing was sent: the cell and the choice stay as they were.
            choices.SetCurrent(before);
            MessageBeep(MB_ICONHAND);
            return 1;
        }
    } else if (row->m_flags & CQvxGuiUpdateListData::kStepByOne) {
        if (key == ' ') {
            MessageBeep(MB_ICONHAND);
            return 1;
        }
        value = std::atof(row->m_value) + (key == '+' ? 1.0 : -1.0);
        if (!WithinRange(row, value)) {
            MessageBeep(MB_ICONHAND);
            return 1;
        }
    } else {
        return 0;
    }
    SendRow(row, value);
    const CString before = CDListComboCtrl::GetItemText(line, 1);
    row->m_value = FormatRowValue(row, value);
    Tell(row, before, row->GetShownText(), 1);
    // Sent at once: the row follows the drive again, whatever it held before.
    row->m_modified = 0;
    row->m_savedValue.Empty();
    WriteCell(line, row->GetShownText());
    ApplyValueColour(row);
    return 1;
}

bool CQvxGuiUpdateList::WithinRange(CQvxGuiUpdateListData* row, double value)
{
    double low = 0.0, high = 0.0;
    // Limits that do not expand count as out of range.
    return ExpandLimit(row->m_minimum, row->m_digits, low) && ExpandLimit(row->m_maximum, row->m_digits, high) &&
           value >= low && value <= high;
}

void CQvxGuiUpdateList::OnChar(UINT ch, UINT repeat, UINT flags)
{
    if (HandleValueKey(ch))
        return;
    CDListComboCtrl::OnChar(ch, repeat, flags);
}

std::vector<CQvxGuiUpdateList::MenuEntry> CQvxGuiUpdateList::BuildContextMenu(int line)
{
    std::vector<MenuEntry> entries;
    if (m_readOnly || line < 0)
        return entries;
    const CString cell = CDListComboCtrl::GetItemText(line, 1);
    if (m_sourceMode == kRecordsetMode) {
        CStringArray texts;
        const CQvxDatabaseTableFieldDef* field = FieldOfLine(line);
        if (field && field->IsSelector() && ChoicesOfLine(line, texts))
            for (int i = 0; i < texts.GetSize(); ++i)
                entries.push_back({static_cast<UINT>(kMenuChoice + i), texts[i], texts[i] == cell});
        return entries;
    }
    CQvxGuiUpdateListData* row = GetRowAtLine(line);
    if (!row)
        return entries;
    if (IsEditable(row) && MayWriteNow(row)) {
        CString text;
        double value = 0.0;
        if (row->m_selectors)
            for (int i = 0; row->m_selectors->GetItem(i, text, value); ++i)
                entries.push_back({static_cast<UINT>(kMenuChoice + i), text, text == cell});
        else
            entries.push_back({kMenuModify, "Modify Drive Setting", 0});
    }
    const int modified = GetModifiedCount();
    if (row->m_modified || modified > 0) {
        if (!entries.empty())
            entries.push_back({0, "", 0});
        if (row->m_modified)
            entries.push_back({kMenuRestore, "Restore Setting", 0});
        if (modified > 0)
            entries.push_back({kMenuRestoreAll, "Restore All Modified Settings", 0});
    }
    return entries;
}

void CQvxGuiUpdateList::OnContextCommand(int line, UINT id)
{
    if (id == kMenuModify) {
        ModifyRow(line);
        return;
    }
    if (id == kMenuRestore) {
        RestoreRow(line);
        return;
    }
    if (id == kMenuRestoreAll) {
        RestoreAllRows();
        return;
    }
    if (id < kMenuChoice)
        return;
    const int index = static_cast<int>(id - kMenuChoice);
    CStringArray texts;
    if (m_sourceMode == kRecordsetMode) {
        OnItemSelectionChanged(this, line, 1, index, FALSE);
        return;
    }
    CQvxGuiUpdateListData* row = GetRowAtLine(line);
    CString text;
    double value = 0.0;
    if (!row || !row->m_selectors || !row->m_selectors->GetItem(index, text, value))
        return;
    const CString previous = CDListComboCtrl::GetItemText(line, 1);
    if (IsImmediate(row)) {
        Tell(row, previous, text, 1);
        SendRow(row, value);
    } else if (text != previous) {
        HoldChange(row, line, previous, text);
    }
}

BOOL CQvxGuiUpdateList::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const UINT id = LOWORD(static_cast<DWORD>(wParam));
    if (id == kMenuModify || id == kMenuRestore || id == kMenuRestoreAll || id >= kMenuChoice) {
        OnContextCommand(m_menuRow, id);
        return TRUE;
    }
    return CDListComboCtrl::OnCommand(wParam, lParam);
}

void CQvxGuiUpdateList::OnRightClick(NMHDR* header, LRESULT* result)
{
    *result = 0;
    m_menuRow = reinterpret_cast<NMITEMACTIVATE*>(header)->iItem;
    const std::vector<MenuEntry> entries = BuildContextMenu(m_menuRow);
    if (entries.empty())
        return;
    CPoint point;
    GetCursorPos(&point);
    CMenu menu;
    menu.CreatePopupMenu();
    for (const MenuEntry& entry : entries)
        menu.AppendMenu(entry.id ? (MF_STRING | (entry.checked ? MF_CHECKED : 0)) : MF_SEPARATOR, entry.id,
                        entry.text);
    menu.TrackPopupMenu(TPM_RIGHTBUTTON, point.x, point.y, this);
}

void CQvxGuiUpdateList::OnDoubleClick(NMHDR* header, LRESULT* result)
{
    *result = 0;
    const auto* note = reinterpret_cast<NMITEMACTIVATE*>(header);
    if (!(m_flags & kEditRows) || note->iItem < 0)
        return;
    if ((m_flags & kTypeValues) && note->iSubItem != 0)
        return;
    ModifyRow(note->iItem);
}

int CQvxGuiUpdateList::MoveByTab(bool backwards)
{
    const int start = GetSelectedLine();
    const int count = GetItemCount();
    if (start < 0 || count == 0)
        return 0;
    const bool wasEditing = IsEditing();
    if (wasEditing)
        EndEdit(TRUE);
    int line = start;
    for (;;) {
        line += backwards ? -1 : 1;
        if (m_sourceMode == kRecordsetMode) {
            if (line < 0 || line >= count)
                return 0;
            break;
        }
        line = (line + count) % count;
        if (line == start)
            return 0;
        const CQvxGuiUpdateListData* row = GetRowAtLine(line);
        if (row && !row->m_command.IsEmpty())
            break;
    }
    SetItemState(start, 0, LVIS_SELECTED | LVIS_FOCUSED);
    SetItemState(line, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    EnsureVisible(line, FALSE);
    if (wasEditing)
        EditSubItem(1, line);
    return 1;
}

BOOL CQvxGuiUpdateList::PreTranslateMessage(MSG* msg)
{
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_TAB && MoveByTab(GetKeyState(VK_SHIFT) < 0))
        return TRUE;
    return CDListComboCtrl::PreTranslateMessage(msg);
}

// ---------------------------------------------------------------------------
// Recordset mode.

void CQvxGuiUpdateList::BindRecordset(CQvxDatabaseRecordset* recordset)
{
    m_sourceMode = kRecordsetMode;
    if (GetSafeHwnd())
        DeleteAllItems();
    Initialise();
    SetRecordset(recordset);
    // Unbinding empties the lines: nothing may still point into the old table.
    m_fields = recordset && recordset->table ? &recordset->table->fields : nullptr;
    RefreshRecordset(true);
}

void CQvxGuiUpdateList::RebuildRecordsetLines()
{
    SetComboCell(-1, -1);
    DeleteAllItems();
    if (!m_fields)
        return;
    int line = 0;
    for (int i = 0; i < m_fields->GetSize(); ++i) {
        const CQvxDatabaseTableFieldDef* field = m_fields->GetAt(i);
        if (field->flags & CQvxDatabaseTableFieldDef::flagNoShow)
            continue;
        InsertItem(line, field->description.IsEmpty() ? field->name : field->description);
        SetItemData(line, static_cast<DWORD_PTR>(field->column));
        if (field->IsSelector() || m_customSelections.Find(line))
            SetComboCell(1, line);
        ++line;
    }
    ResizeColumns();
}

void CQvxGuiUpdateList::RefreshRecordset(bool rebuild)
{
    if (!GetSafeHwnd() || m_sourceMode != kRecordsetMode)
        return;
    if (rebuild)
        RebuildRecordsetLines();
    CQvxDatabaseRecordset* recordset = GetRecordset();
    for (int line = 0; line < GetItemCount(); ++line) {
        CString text;
        if (recordset)
            recordset->GetFieldValueAt(TRUE, LineData(line), text);
        // A selector stores the choice's value; the cell shows its text, as the drop-down offers it.
        if (const CQvxDatabaseTableFieldDef* field = FieldOfLine(line); field && field->IsSelector()) {
            CQvxDatabaseTableSelectionItem item;
            for (int i = 0; field->GetSelectionItem(i, item); ++i)
                if (item.value == std::atol(text) && !text.IsEmpty()) {
                    text = item.text;
                    break;
                }
        }
        if (text != CDListComboCtrl::GetItemText(line, 1)) {
            EndEdit(TRUE);
            WriteCell(line, text);
        }
        SetItemTextColor(1, line, m_colours[m_readOnly ? 0 : 1], TRUE);
    }
}

void CQvxGuiUpdateList::SetupSelectionCells()
{
    if (!m_fields)
        return;
    int line = 0;
    for (int i = 0; i < m_fields->GetSize(); ++i) {
        const CQvxDatabaseTableFieldDef* field = m_fields->GetAt(i);
        if (field->flags & CQvxDatabaseTableFieldDef::flagNoShow)
            continue;
        if (field->IsSelector() || m_customSelections.Find(line))
            SetComboCell(1, line);
        ++line;
    }
}
